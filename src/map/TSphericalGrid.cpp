// The spherical grid: meridians of latitude nodes closed over two poles, and its two flat
// layouts.
#include "map/TNetGrid.h"

#include <cmath>
#include <cstddef>

namespace orbelin::map {
namespace {

double Polar(int j, int q)
{
    return GridPi * (j + 1) / (q + 1);
}

double Azimuth(int i, int p)
{
    return GridTwoPi * i / p;
}

} // namespace

void TSphericalGrid::Build()
{
    BuildRectangular();
    if (R > 1 || TopologyDim == 3) {
        FinishBuild();
        return;
    }
    const int b = P * Q, c = P * Q + 1;
    Internal.resize(static_cast<std::size_t>(P * Q + 2), TArray1D(3, 0.0));
    for (int i = 0; i < P; ++i)
        for (int j = 0; j < Q; ++j) {
            const double theta = Polar(j, Q), phi = Azimuth(i, P);
            const double s2 = std::sin(theta) * std::sin(theta);
            Internal[static_cast<std::size_t>(i * Q + j)] = {s2 * std::cos(phi), s2 * std::sin(phi), 0.0};
        }

    for (int i = 0; i < P; ++i) {
        Edges.push_back({b, i * Q});
        Edges.push_back({c, i * Q + Q - 1});
    }
    for (int j = 0; j < Q; ++j)
        Edges.push_back({j, j + (P - 1) * Q});

    for (int i = 0; i < P; ++i) {
        Ribs.push_back({i * Q, b, i * Q + 1});
        Ribs.push_back({i * Q + Q - 1, c, i * Q + Q - 2});
    }
    for (int j = 0; j < Q; ++j) {
        Ribs.push_back({j, j + Q, j + (P - 1) * Q});
        Ribs.push_back({(P - 1) * Q + j, (P - 2) * Q + j, j});
    }
    const int half = P / 2;
    for (int o = 0; o < half; ++o) {
        Ribs.push_back({b, o * Q, (o + half) * Q});
        Ribs.push_back({c, o * Q + Q - 1, (o + half) * Q + Q - 1});
    }

    for (int v = 0; v < P - 1; ++v) {
        Triangles.push_back({v * Q, b, (v + 1) * Q});
        Triangles.push_back({v * Q + Q - 1, c, (v + 1) * Q + Q - 1});
    }
    for (int j = 0; j < Q - 1; ++j) {
        Triangles.push_back({j, j + 1, j + (P - 1) * Q + 1});
        Triangles.push_back({j, j + (P - 1) * Q, j + (P - 1) * Q + 1});
    }
    Triangles.push_back({(P - 1) * Q, b, 0});
    Triangles.push_back({P * Q - 1, c, Q - 1});

    FinishBuild();
    BuildTriangleShifts((Q + 1) / 2);
}

void TSphericalGrid::BuildTriangleShifts(int k)
{
    if (P < 1 || Q < 1 || static_cast<long long>(Triangles.size()) != 2LL * P * Q)
        return;
    TriangleShift.assign(Triangles.size(), TArray1D(3, 0.0));
    std::size_t t = 0;
    const auto pair = [&](double first, double second) {
        TriangleShift[t++][0] = first;
        TriangleShift[t++][0] = second;
    };
    // The rectangular part runs column by column, P - 1 pairs per column.
    for (int j = 0; j < Q - 1; ++j)
        for (int i = 0; i < P - 1; ++i) {
            const double s = j < k - 1 ? -1.0 : 1.0;
            pair(s, s);
        }
    for (int v = 0; v < P - 1; ++v)
        pair(-1.0, 1.0);
    for (int j = 0; j < Q - 1; ++j) {
        const double s = j <= k - 2 ? -1.0 : 1.0;
        pair(s, s);
    }
    pair(-1.0, 1.0);
}

void TSphericalGrid::SetSphereLayout(int mode)
{
    const long long n = static_cast<long long>(P) * Q + 2;
    if (P < 1 || Q < 1 || static_cast<long long>(Internal.size()) < n)
        return;
    const std::size_t b = static_cast<std::size_t>(P * Q), c = b + 1;
    for (int i = 0; i < P; ++i)
        for (int j = 0; j < Q; ++j) {
            const double theta = Polar(j, Q), phi = Azimuth(i, P);
            TArray1D& u = Internal[static_cast<std::size_t>(i * Q + j)];
            if (mode == 0) {
                u = {std::cos(theta), std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi)};
            } else {
                const double rho = theta < GridHalfPi ? 2 * theta / GridPi : 2 * (GridPi - theta) / GridPi;
                u = {rho * std::cos(phi), rho * std::sin(phi), 0.0};
            }
        }
    if (mode == 0) {
        Internal[b] = {1.0, 0.0, 0.0};
        Internal[c] = {-1.0, 0.0, 0.0};
        TriangleShift.assign(Triangles.size(), TArray1D(3, 0.0));
    } else {
        Internal[b] = {0.0, 0.0, 0.0};
        Internal[c] = {0.0, 0.0, 0.0};
        BuildTriangleShifts((Q + 1) / 2);
    }
}

} // namespace orbelin::map

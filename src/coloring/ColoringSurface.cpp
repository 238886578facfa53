// Construction, refinement and banding of the coloring surface.
#include "coloring/ColoringSurface.h"

#include "map/TNetGrid.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace orbelin::coloring {
namespace {

TArray1D Midpoint(const TArray1D& a, const TArray1D& b)
{
    TArray1D m(std::max(a.size(), b.size()), Missing());
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (!IsMissing(a[i]) && !IsMissing(b[i]))
            m[i] = (a[i] + b[i]) / 2;
    return m;
}

// a + l (b - a), entry by entry; an entry is missing when either end's is.
TArray1D Between(const TArray1D& a, const TArray1D& b, double l)
{
    // The ends themselves, so that a side's end rows stay identical to the corners.
    if (l == 0)
        return a;
    if (l == 1)
        return b;
    TArray1D p(std::max(a.size(), b.size()), Missing());
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (!IsMissing(a[i]) && !IsMissing(b[i]))
            p[i] = a[i] + l * (b[i] - a[i]);
    return p;
}

void RefineMatrix(TArray2D& rows, const TArray1I& triangle)
{
    const auto a = static_cast<std::size_t>(triangle[0]), b = static_cast<std::size_t>(triangle[1]),
               c = static_cast<std::size_t>(triangle[2]);
    const TArray1D v0 = rows[a], v1 = rows[b], v2 = rows[c];
    const TArray1D m01 = Midpoint(v0, v1), m02 = Midpoint(v0, v2), m12 = Midpoint(v1, v2);
    rows[a] = v0;
    rows[b] = m02;
    rows[c] = m01;
    for (const TArray1D* row : {&v2, &m02, &m12, &m01, &m12, &v1, &m01, &m02, &m12})
        rows.push_back(*row);
}

} // namespace

TColoringSurface BuildSurface(const map::TNetGrid& grid)
{
    TColoringSurface surface;
    const std::size_t n = grid.Nodes.size();
    const TArray2D& internal = grid.TopologyDim == 3 && grid.Lattice.size() == n ? grid.Lattice : grid.Internal;
    surface.DataVertices.reserve(grid.Triangles.size() * 3);
    surface.InternalVertices.reserve(grid.Triangles.size() * 3);
    for (std::size_t t = 0; t < grid.Triangles.size(); ++t) {
        const TArray1I& triangle = grid.Triangles[t];
        if (triangle.size() < 3)
            continue;
        bool valid = true;
        for (std::size_t k = 0; k < 3; ++k)
            valid = valid && triangle[k] >= 0 && static_cast<std::size_t>(triangle[k]) < n;
        if (!valid)
            continue;
        const auto first = static_cast<std::int32_t>(surface.DataVertices.size());
        for (std::size_t k = 0; k < 3; ++k) {
            const auto node = static_cast<std::size_t>(triangle[k]);
            surface.DataVertices.push_back(grid.Nodes[node]);
            TArray1D row(3, 0.0);
            if (node < internal.size())
                for (std::size_t j = 0; j < 3 && j < internal[node].size(); ++j)
                    row[j] = internal[node][j];
            surface.InternalVertices.push_back(row);
        }
        surface.Polygons.push_back({first, first + 1, first + 2});
        surface.BaseTriangles.push_back(static_cast<std::int32_t>(t));
    }
    return surface;
}

void RefineSurface(TArray2D& dataVertices, TArray2D& internalVertices, TArray2I& triangles, int steps)
{
    for (int step = 0; step < steps; ++step) {
        const std::size_t count = triangles.size();
        dataVertices.reserve(dataVertices.size() + 9 * count);
        internalVertices.reserve(internalVertices.size() + 9 * count);
        triangles.reserve(4 * count);
        for (std::size_t t = 0; t < count; ++t) {
            const TArray1I triangle = triangles[t];
            const auto l = static_cast<std::int32_t>(dataVertices.size());
            RefineMatrix(dataVertices, triangle);
            RefineMatrix(internalVertices, triangle);
            triangles.push_back({l + 2, l + 1, l});
            triangles.push_back({l + 5, l + 4, l + 3});
            triangles.push_back({l + 8, l + 7, l + 6});
        }
    }
}

int RefinementSteps(int smoothness, long long triangleCount, int dimension)
{
    const long long perTriangle = 3LL * (std::max(dimension, 0) + 25);
    long long values = std::max(triangleCount, 1LL) * perTriangle;
    int steps = 0;
    while (steps < smoothness - 1 && values * 4 <= SurfaceValueBudget) {
        values *= 4;
        ++steps;
    }
    return steps;
}

int SurfaceTriangleOrigin(int polygon, int baseCount)
{
    if (baseCount <= 0)
        return polygon;
    while (polygon >= baseCount) {
        // Find the step that appended the polygon: it started with `start` triangles.
        long long start = baseCount;
        while (start * 4 <= polygon)
            start *= 4;
        polygon = static_cast<int>((polygon - start) / 3);
    }
    return polygon;
}

double TintOf(const TArray2D& tints, double s)
{
    if (tints.empty() || tints[0].size() < 3)
        return 0;
    if (s <= tints[0][0])
        return tints[0][2];
    for (const TArray1D& row : tints)
        if (row.size() >= 3 && row[0] < s && s <= row[1])
            return row[2];
    return tints.back().size() >= 3 ? tints.back()[2] : 0;
}

namespace {

// A point on a side of a triangle: row a + l (row b - row a), carrying a tint.
struct TBandPoint {
    std::size_t A, B;
    double L;
    double Tint;
};

void AppendSide(std::vector<TBandPoint>& points, const TArray2D& tints, std::size_t a, std::size_t b, double sa,
                double sb)
{
    points.push_back({a, b, 0.0, TintOf(tints, sa)});
    const auto boundary = [&](double bound, double tint) {
        const double l = (bound - sa) / (sb - sa);
        if (l >= 0 && l <= 1)
            points.push_back({a, b, l, tint});
    };
    if (sb > sa) {
        for (const TArray1D& row : tints) {
            boundary(row[0], row[2]);
            boundary(row[1], row[2]);
        }
    } else if (sb < sa) {
        for (auto it = tints.rbegin(); it != tints.rend(); ++it) {
            boundary((*it)[1], (*it)[2]);
            boundary((*it)[0], (*it)[2]);
        }
    }
    points.push_back({a, b, 1.0, TintOf(tints, sb)});
}

} // namespace

void BandSurface(TColoringSurface& surface, const TArray2D& tints)
{
    if (tints.empty())
        return;
    for (const TArray1D& row : tints)
        if (row.size() < 3)
            return;
    constexpr std::size_t MaxTintsPerTriangle = 100;
    TColoringSurface banded;
    std::vector<TBandPoint> points;
    std::vector<double> distinct;
    const std::size_t rows = surface.DataVertices.size();
    for (const TArray1I& polygon : surface.Polygons) {
        if (polygon.size() != 3)
            continue;
        const std::size_t v[3] = {static_cast<std::size_t>(polygon[0]), static_cast<std::size_t>(polygon[1]),
                                  static_cast<std::size_t>(polygon[2])};
        if (v[0] >= rows || v[1] >= rows || v[2] >= rows)
            continue;
        double s[3];
        for (std::size_t k = 0; k < 3; ++k)
            s[k] = surface.Colors[v[k]].empty() ? 0.0 : surface.Colors[v[k]][0];
        points.clear();
        for (std::size_t k = 0; k < 3; ++k)
            AppendSide(points, tints, v[k], v[(k + 1) % 3], s[k], s[(k + 1) % 3]);
        distinct.clear();
        for (const TBandPoint& p : points)
            if (distinct.size() < MaxTintsPerTriangle &&
                std::find(distinct.begin(), distinct.end(), p.Tint) == distinct.end())
                distinct.push_back(p.Tint);
        for (const double tint : distinct) {
            TArray1I band;
            for (const TBandPoint& p : points) {
                if (p.Tint != tint)
                    continue;
                band.push_back(static_cast<std::int32_t>(banded.DataVertices.size()));
                banded.DataVertices.push_back(Between(surface.DataVertices[p.A], surface.DataVertices[p.B], p.L));
                banded.InternalVertices.push_back(
                    Between(surface.InternalVertices[p.A], surface.InternalVertices[p.B], p.L));
                banded.Colors.push_back({tint, tint, tint});
            }
            banded.Polygons.push_back(std::move(band));
        }
    }
    surface = std::move(banded);
}

} // namespace orbelin::coloring

// The grid base: elastic matrices and edge lookup, and the rectangular family's build
// (surface, chain and layered lattice).
#include "map/TNetGrid.h"

#include <cstddef>

namespace orbelin::map {

TNetGrid::~TNetGrid() = default;

void TNetGrid::BuildElasticMatrices()
{
    const int n = NodeCount();
    const auto inside = [n](int i) { return i >= 0 && i < n; };
    // Entries at one position are summed in the order given, so the matrices hold exactly
    // what accumulating into dense matrices edge by edge would give.
    std::vector<numeric::TTriplet> stretch;
    stretch.reserve(Edges.size() * 4);
    for (std::size_t e = 0; e < Edges.size(); ++e) {
        const int a = Edges[e][0], b = Edges[e][1];
        if (!inside(a) || !inside(b))
            continue;
        const double w = e < EdgeWeights.size() ? EdgeWeights[e] : 1.0;
        stretch.push_back({a, a, w});
        stretch.push_back({b, b, w});
        stretch.push_back({a, b, -w});
        stretch.push_back({b, a, -w});
    }
    std::vector<numeric::TTriplet> bend;
    bend.reserve(Ribs.size() * 9);
    for (std::size_t r = 0; r < Ribs.size(); ++r) {
        const int c = Ribs[r][0], a = Ribs[r][1], b = Ribs[r][2];
        if (!inside(a) || !inside(b) || !inside(c))
            continue;
        const double w = r < RibWeights.size() ? RibWeights[r] : 1.0;
        bend.push_back({a, a, w});
        bend.push_back({c, c, 4 * w});
        bend.push_back({b, b, w});
        bend.push_back({a, c, -2 * w});
        bend.push_back({c, a, -2 * w});
        bend.push_back({c, b, -2 * w});
        bend.push_back({b, c, -2 * w});
        bend.push_back({a, b, w});
        bend.push_back({b, a, w});
    }
    StretchMatrix = numeric::TSparseMatrix::FromTriplets(n, n, std::move(stretch));
    BendMatrix = numeric::TSparseMatrix::FromTriplets(n, n, std::move(bend));
}

int TNetGrid::FindEdge(int a, int b) const
{
    for (std::size_t e = 0; e < Edges.size(); ++e) {
        const int x = Edges[e][0], y = Edges[e][1];
        if ((x == a && y == b) || (x == b && y == a))
            return static_cast<int>(e);
    }
    return -1;
}

namespace {

// 2 i / (count - 1) - 1, or 0 for a single row or column.
double Spread(int i, int count)
{
    return count > 1 ? 2.0 * i / (count - 1) - 1.0 : 0.0;
}

} // namespace

void TRectangularGrid::BuildRectangular()
{
    const int layers = TopologyDim == 3 ? R : 1;
    const int layerSize = P * Q;
    const int n = layerSize * layers;
    Edges.clear();
    Ribs.clear();
    Triangles.clear();
    Tetrahedra.clear();
    TriangleShift.clear();
    Lattice.clear();
    Internal.assign(static_cast<std::size_t>(n), TArray1D(3, 0.0));

    for (int m = 0; m < layers; ++m) {
        const int o = m * layerSize;
        for (int i = 0; i < P; ++i)
            for (int j = 0; j < Q; ++j) {
                if (j < Q - 1)
                    Edges.push_back({o + i * Q + j, o + i * Q + j + 1});
                if (i < P - 1)
                    Edges.push_back({o + i * Q + j, o + (i + 1) * Q + j});
            }
    }
    for (int m = 0; m + 1 < layers; ++m)
        for (int k = 0; k < layerSize; ++k)
            Edges.push_back({m * layerSize + k, (m + 1) * layerSize + k});

    for (int m = 0; m < layers; ++m) {
        const int o = m * layerSize;
        for (int i = 0; i < P; ++i)
            for (int j = 0; j < Q; ++j) {
                if (j < Q - 2)
                    Ribs.push_back({o + i * Q + j + 1, o + i * Q + j, o + i * Q + j + 2});
                if (i < P - 2)
                    Ribs.push_back({o + (i + 1) * Q + j, o + i * Q + j, o + (i + 2) * Q + j});
            }
    }
    for (int m = 0; m + 2 < layers; ++m)
        for (int k = 0; k < layerSize; ++k)
            Ribs.push_back({(m + 1) * layerSize + k, m * layerSize + k, (m + 2) * layerSize + k});

    for (int m = 0; m < layers; ++m) {
        const int o = m * layerSize;
        for (int j = 0; j < Q - 1; ++j)
            for (int i = 0; i < P - 1; ++i) {
                Triangles.push_back({o + i * Q + j, o + i * Q + j + 1, o + (i + 1) * Q + j});
                Triangles.push_back({o + (i + 1) * Q + j + 1, o + i * Q + j + 1, o + (i + 1) * Q + j});
            }
    }

    if (TopologyDim == 3) {
        const auto node = [&](int m, int i, int j) { return m * layerSize + i * Q + j; };
        for (int m = 0; m + 1 < layers; ++m)
            for (int j = 0; j < Q - 1; ++j)
                for (int i = 0; i < P - 1; ++i) {
                    const int a = m + 1, b = i + 1;
                    // Each cell splits into its two corner tetrahedra at (m, i, j) and
                    // (a, b, j+1) and four around the middle; neighbouring cells cut their
                    // common faces along the same diagonals, so every point of the lattice
                    // lies in exactly one tetrahedron.
                    Tetrahedra.push_back({node(m, i, j), node(m, i, j + 1), node(m, b, j), node(a, i, j)});
                    Tetrahedra.push_back({node(m, i, j + 1), node(a, i, j), node(a, i, j + 1), node(m, b, j)});
                    Tetrahedra.push_back({node(a, i, j + 1), node(a, b, j), node(a, i, j), node(m, b, j)});
                    Tetrahedra.push_back({node(m, i, j + 1), node(m, b, j + 1), node(a, i, j + 1), node(m, b, j)});
                    Tetrahedra.push_back({node(a, b, j), node(m, b, j + 1), node(a, i, j + 1), node(m, b, j)});
                    Tetrahedra.push_back({node(a, b, j), node(m, b, j + 1), node(a, i, j + 1), node(a, b, j + 1)});
                }
        Lattice.assign(static_cast<std::size_t>(n), TArray1D(3, 0.0));
        for (int m = 0; m < layers; ++m)
            for (int i = 0; i < P; ++i)
                for (int j = 0; j < Q; ++j)
                    Lattice[static_cast<std::size_t>(node(m, i, j))] = {Spread(i, P), Spread(j, Q), Spread(m, R)};
        // Views, exports and the map file read Internal for every grid, so a lattice
        // carries its coordinates there as well.
        Internal = Lattice;
    } else {
        // A chain is laid out along x like the rows of a surface, so its points keep their
        // order in the internal coordinates.
        for (int i = 0; i < P; ++i)
            for (int j = 0; j < Q; ++j)
                Internal[static_cast<std::size_t>(i * Q + j)] = {Spread(i, P), Spread(j, Q), 0.0};
    }
}

void TRectangularGrid::FinishBuild()
{
    EdgeWeights.assign(Edges.size(), 1.0);
    RibWeights.assign(Ribs.size(), 1.0);
    const std::size_t n = Internal.size();
    Nodes.assign(n, TArray1D(static_cast<std::size_t>(Dimension > 0 ? Dimension : 0), 0.0));
    StretchMatrix = numeric::TSparseMatrix(static_cast<int>(n), static_cast<int>(n));
    BendMatrix = numeric::TSparseMatrix(static_cast<int>(n), static_cast<int>(n));
}

void TRectangularGrid::Build()
{
    BuildRectangular();
    FinishBuild();
}

} // namespace orbelin::map

// Map growth: extrapolation and interpolation of rectangular and hexagonal grids, the outer
// ring of a circle grid, and linear fractal growth.
#include "map/MapGrowth.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace orbelin::map {
namespace {

using numeric::VecAdd;
using numeric::VecScale;
using numeric::VecSub;

// The grid as a rows x columns surface of the rectangular family that Build can regenerate
// with other sizes, or null.
TRectangularGrid* ResizableSurface(TNetGrid& grid)
{
    auto* g = dynamic_cast<TRectangularGrid*>(&grid);
    if (!g || dynamic_cast<TSphericalGrid*>(g) || dynamic_cast<TTorusGrid*>(g) || dynamic_cast<TCircleGrid*>(g))
        return nullptr;
    if (g->TopologyDim != 2 || g->P < 2 || g->Q < 2 || g->NodeCount() != g->P * g->Q)
        return nullptr;
    // A hexagonal or toroidal grid read back from a map file is of the plain class; a
    // rebuild would drop its diagonals or seams, so only a true rectangle is resized.
    const int p = g->P, q = g->Q;
    if (!dynamic_cast<THexagonalGrid*>(g) && static_cast<int>(g->Edges.size()) != 2 * p * q - p - q)
        return nullptr;
    return g;
}

// Rebuilds the grid with P' x Q' nodes placed by position(row, column); the grid is
// replaced only once everything has been computed.
template <class TGrid>
bool Rebuild(TGrid& grid, int rows, int columns, const std::function<TArray1D(int, int)>& position)
{
    TArray2D nodes(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            nodes[static_cast<std::size_t>(r * columns + c)] = position(r, c);
    TGrid fresh;
    fresh.P = rows;
    fresh.Q = columns;
    fresh.R = 1;
    fresh.TopologyDim = 2;
    fresh.Dimension = grid.NodeCount() > 0 ? static_cast<int>(grid.Nodes[0].size()) : grid.Dimension;
    fresh.Build();
    fresh.Nodes = std::move(nodes);
    fresh.BuildElasticMatrices();
    grid = std::move(fresh);
    return true;
}

bool Resample(TRectangularGrid& grid, int rows, int columns, const std::function<TArray1D(int, int)>& position)
{
    try {
        if (auto* hexagonal = dynamic_cast<THexagonalGrid*>(&grid))
            return Rebuild(*hexagonal, rows, columns, position);
        return Rebuild(grid, rows, columns, position);
    } catch (...) {
        return false;
    }
}

} // namespace

bool Extrapolate(TNetGrid& grid, int left, int right, int up, int down)
{
    TRectangularGrid* g = ResizableSurface(grid);
    if (!g)
        return false;
    const int p = g->P, q = g->Q;
    const long long rows = static_cast<long long>(p) + up + down, columns = static_cast<long long>(q) + left + right;
    if (rows < 2 || columns < 2 || rows > 100000 || columns > 100000)
        return false;
    const TArray2D& old = g->Nodes;
    const auto y = [&old, q](int r, int c) -> const TArray1D& { return old[static_cast<std::size_t>(r * q + c)]; };
    return Resample(*g, static_cast<int>(rows), static_cast<int>(columns), [&](int newRow, int newColumn) {
        const int r = newRow - up, c = newColumn - left;
        const int rc = std::clamp(r, 0, p - 1), cc = std::clamp(c, 0, q - 1);
        TArray1D v = y(rc, cc);
        if (c < 0)
            v = VecAdd(v, VecScale(VecSub(y(rc, 1), y(rc, 0)), c));
        else if (c > q - 1)
            v = VecAdd(v, VecScale(VecSub(y(rc, q - 1), y(rc, q - 2)), c - (q - 1)));
        if (r < 0)
            v = VecAdd(v, VecScale(VecSub(y(1, cc), y(0, cc)), r));
        else if (r > p - 1)
            v = VecAdd(v, VecScale(VecSub(y(p - 1, cc), y(p - 2, cc)), r - (p - 1)));
        return v;
    });
}

bool Interpolate(TNetGrid& grid, int left, int right, int up, int down)
{
    TRectangularGrid* g = ResizableSurface(grid);
    if (!g)
        return false;
    const int p = g->P, q = g->Q;
    const long long rows = static_cast<long long>(p) + up + down, columns = static_cast<long long>(q) + left + right;
    if (rows < 2 || columns < 2 || rows > 100000 || columns > 100000)
        return false;
    const TArray2D& old = g->Nodes;
    const std::size_t d = old[0].size();
    const auto y = [&old, q](int r, int c) -> const TArray1D& { return old[static_cast<std::size_t>(r * q + c)]; };
    // a - b, or the zero vector when either node lies outside the old grid.
    const auto difference = [&](int ra, int ca, int rb, int cb) {
        if (ra >= p || ca >= q || rb >= p || cb >= q)
            return TArray1D(d, 0.0);
        return VecSub(y(ra, ca), y(rb, cb));
    };
    const int newRows = static_cast<int>(rows), newColumns = static_cast<int>(columns);
    return Resample(*g, newRows, newColumns, [&](int newRow, int newColumn) {
        const double rowAt = static_cast<double>(newRow) * (p - 1) / (newRows - 1);
        const double columnAt = static_cast<double>(newColumn) * (q - 1) / (newColumns - 1);
        const int r = std::min(static_cast<int>(std::floor(rowAt)), p - 1);
        const int c = std::min(static_cast<int>(std::floor(columnAt)), q - 1);
        const double fr = rowAt - r, fc = columnAt - c;
        if (fr == 0 && fc == 0)
            return y(r, c);
        if (fr <= 1 - fc)
            return VecAdd(VecAdd(y(r, c), VecScale(difference(r, c + 1, r, c), fc)),
                          VecScale(difference(r + 1, c, r, c), fr));
        return VecAdd(VecAdd(y(r + 1, c + 1), VecScale(difference(r + 1, c, r + 1, c + 1), 1 - fc)),
                      VecScale(difference(r, c + 1, r + 1, c + 1), 1 - fr));
    });
}

bool AddOuterRing(TNetGrid& grid)
{
    auto* g = dynamic_cast<TCircleGrid*>(&grid);
    if (!g || g->P < 2 || g->Q < 1 || g->NodeCount() != g->P * g->Q + 1 || g->Internal.size() != g->Nodes.size())
        return false;
    const int p = g->P, q = g->Q;
    TArray2D nodes = g->Nodes, internal = g->Internal;
    TArray2I edges = g->Edges, triangles = g->Triangles;
    TArray1D edgeWeights = g->EdgeWeights;
    edgeWeights.resize(edges.size(), 1.0);
    for (int j = 0; j < q; ++j) {
        const auto last = static_cast<std::size_t>((p - 1) * q + j + 1),
                   previous = static_cast<std::size_t>((p - 2) * q + j + 1);
        nodes.push_back(VecSub(VecScale(g->Nodes[last], 2), g->Nodes[previous]));
        TArray1D at(3, 0.0);
        for (std::size_t k = 0; k < 3 && k < g->Internal[last].size() && k < g->Internal[previous].size(); ++k)
            at[k] = 2 * g->Internal[last][k] - g->Internal[previous][k];
        internal.push_back(at);
    }
    const int outer = p * q; // the new ring's node at position j is outer + j + 1
    for (int j = 0; j < q; ++j)
        edges.push_back({(p - 1) * q + j + 1, outer + j + 1});
    for (int j = 0; j + 1 < q; ++j)
        edges.push_back({outer + j + 1, outer + j + 2});
    edges.push_back({outer + 1, outer + q});
    edgeWeights.resize(edges.size(), 1.0);
    for (int j = 0; j + 1 < q; ++j) {
        triangles.push_back({outer + j + 2, outer + j + 1, (p - 1) * q + j + 1});
        triangles.push_back({outer + j + 2, (p - 1) * q + j + 1, (p - 1) * q + j + 2});
    }
    triangles.push_back({(p + 1) * q, p * q, p * q + 1});
    triangles.push_back({p * q + 1, p * q, (p - 1) * q + 1});

    g->Nodes = std::move(nodes);
    g->Internal = std::move(internal);
    g->Edges = std::move(edges);
    g->EdgeWeights = std::move(edgeWeights);
    g->Triangles = std::move(triangles);
    g->P = p + 1;
    g->BuildElasticMatrices();
    return true;
}

bool GrowLinearFractal(TMap& map)
{
    if (map.Training || !map.Grid || map.Grid->Nodes.empty() || !TrainingProblem(map).empty())
        return false;
    AssignTaxons(map);
    TNetGrid& grid = *map.Grid;
    TArray1I sizes = map.TaxonSizes;
    const int n = grid.NodeCount();
    const auto inside = [n](int i) { return i >= 0 && i < n; };
    for (const TArray1I& edge : grid.Edges) {
        const int a = edge[0], b = edge[1];
        if (!inside(a) || !inside(b))
            continue;
        if (numeric::SqEuclideanDistance(grid.Nodes[static_cast<std::size_t>(a)],
                                         grid.Nodes[static_cast<std::size_t>(b)]) < 1e-8) {
            const std::int32_t half = (sizes[static_cast<std::size_t>(a)] + sizes[static_cast<std::size_t>(b)]) / 2;
            sizes[static_cast<std::size_t>(a)] = sizes[static_cast<std::size_t>(b)] = half;
        }
    }
    map.TaxonSizes = sizes;
    const auto largest = static_cast<std::size_t>(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
    const TArray1I& members = map.TaxonMembers[largest];
    if (members.empty())
        return false;
    double weight = 1.0;
    for (std::size_t e = 0; e < grid.Edges.size(); ++e)
        if (grid.Edges[e][0] == static_cast<int>(largest) || grid.Edges[e][1] == static_cast<int>(largest)) {
            weight = e < grid.EdgeWeights.size() ? grid.EdgeWeights[e] : 1.0;
            break;
        }

    TArray1D position = map.Data->Points[static_cast<std::size_t>(members.front())];
    const TArray1D& node = grid.Nodes[largest];
    for (std::size_t k = 0; k < position.size(); ++k)
        if (IsMissing(position[k]))
            position[k] = node[k];
    grid.Nodes.push_back(std::move(position));
    grid.Internal.resize(static_cast<std::size_t>(n), TArray1D(3, 0.0));
    grid.Internal.push_back(TArray1D(3, 0.0));
    grid.EdgeWeights.resize(grid.Edges.size(), 1.0);
    grid.Edges.push_back({static_cast<std::int32_t>(largest), n});
    grid.EdgeWeights.push_back(weight);
    grid.BuildElasticMatrices();
    return true;
}

TGrowthResult GrowMap(TMap& map, bool interpolation, int right, int up, int left, int down, bool negate)
{
    CheckNotTraining(map, "grow it");
    TGrowthResult result;
    if (!map.Grid) {
        result.Problem = "Map " + map.Name + " has not been initialised.";
        return result;
    }
    const auto size = [&result, &map] {
        if (const auto* g = dynamic_cast<const TRectangularGrid*>(map.Grid.get())) {
            result.Rows = g->P;
            result.Columns = g->Q;
        }
    };
    size();
    if (map.Grid->TopologyDim != 2) {
        result.Problem = "Map " + map.Name + " is not a surface: only maps of two internal dimensions grow.";
        return result;
    }
    if (negate) {
        right = -right;
        up = -up;
        left = -left;
        down = -down;
    }
    const bool resizable = map.GridType == GridRectangular || map.GridType == GridHexagonal;
    if (interpolation && resizable)
        result.Changed = Interpolate(*map.Grid, left, right, up, down);
    else if (!interpolation && resizable)
        result.Changed = Extrapolate(*map.Grid, left, right, up, down);
    else if (!interpolation && map.GridType == GridCircle)
        result.Changed = AddOuterRing(*map.Grid);
    else
        result.Problem = std::string(interpolation ? "Interpolation" : "Extrapolation") + " does not apply to map " +
                         map.Name + ": it is neither rectangular nor hexagonal" +
                         (interpolation ? "." : " nor a circle.");
    if (!result.Changed && result.Problem.empty())
        result.Problem = "Map " + map.Name + " cannot be " + (interpolation ? "resampled" : "extended") +
                         " this way: it would keep fewer than two rows or columns, it has too few to extrapolate "
                         "from, or its stored topology is not that of its grid type.";
    if (result.Changed) {
        AllocateMapArrays(map);
        coloring::InvalidateProjections(map);
    }
    size();
    return result;
}

} // namespace orbelin::map

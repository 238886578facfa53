// Layer builders of a map's view: data points, net, additional objects, line sets, rays.
#include "view/ViewGeometry.h"

#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "coloring/Projection.h"
#include "data/DatasetBuild.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "view/ViewPlacement.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <unordered_set>

namespace orbelin::view {
namespace {

constexpr std::size_t DataLayer = 0, NetLayer = 1, ObjectLayer = 3;

void ClearPoints(TVisPoint& points)
{
    points.Positions.clear();
    points.Shapes.clear();
    points.Radii.clear();
    points.Sizes.clear();
    points.FillColors.clear();
    points.BorderColors.clear();
    points.Flags.assign(2, TArray1I());
}

void ClearLines(TVisLine& lines)
{
    lines.Vertices.clear();
    lines.Polylines.clear();
    lines.Colors.clear();
    lines.Tags.clear();
}

void AddMarker(TVisPoint& points, const std::array<double, 3>& at, int shape, double radius, TArray1D fill,
               TArray1D border, int fillFlag, int borderFlag)
{
    points.Positions.push_back({at[0], at[1], at[2]});
    points.Shapes.push_back(shape);
    points.Radii.push_back(radius);
    points.Sizes.push_back(1);
    points.FillColors.push_back(std::move(fill));
    points.BorderColors.push_back(std::move(border));
    points.Flags[0].push_back(fillFlag);
    points.Flags[1].push_back(borderFlag);
}

void ScalePoints(TVisPoint& points, double cameraDistance)
{
    const double factor = std::abs(cameraDistance / 50);
    points.Sizes.resize(points.Radii.size());
    for (std::size_t i = 0; i < points.Radii.size(); ++i)
        points.Sizes[i] = factor * points.Radii[i];
}

// The height Relief adds for field colorings: Relief times the vector's coordinate k.
double ReliefOf(const map::TMap& map, numeric::TVecView x)
{
    const int k = coloring::ColoringField(map.ColoringCode);
    if (k < 0 || static_cast<std::size_t>(k) >= x.size() || IsMissing(x[static_cast<std::size_t>(k)]))
        return 0;
    return map.Relief * x[static_cast<std::size_t>(k)];
}

const PointStyle& StyleOfPoint(const data::TData& data, std::size_t point)
{
    if (data.Table && point < data.NUMXI.size()) {
        const auto record = static_cast<std::size_t>(data.NUMXI[point]);
        if (data.NUMXI[point] >= 0 && record < data.Table->PointStyles.size())
            return data.Table->PointStyles[record];
    }
    return DefaultPointStyle;
}

// Internal coordinates of the grid's nodes: the lattice set for layered grids.
const TArray2D& NodeInternal(const map::TNetGrid& grid)
{
    return grid.TopologyDim == 3 && grid.Lattice.size() == grid.Nodes.size() ? grid.Lattice : grid.Internal;
}

std::array<double, 3> InternalOf(const map::TNetGrid& grid, std::size_t node)
{
    const TArray2D& internal = NodeInternal(grid);
    std::array<double, 3> p{};
    if (node < internal.size())
        for (std::size_t k = 0; k < 3 && k < internal[node].size(); ++k)
            p[k] = internal[node][k];
    return p;
}

// A node's place in view 2: its internal coordinates lifted by the relief, moved by the
// shift when one is given.
std::array<double, 3> InternalPlace(const map::TMap& map, std::size_t node, const TArray1D* shift)
{
    std::array<double, 3> p = InternalOf(*map.Grid, node);
    p[2] += ReliefOf(map, map.Grid->Nodes[node]);
    if (shift)
        for (std::size_t k = 0; k < 3 && k < shift->size(); ++k)
            p[k] += (*shift)[k];
    return p;
}

// Normalises a vector given in table units like the dataset's coordinates.
TArray1D Normalised(const data::TData& data, numeric::TVecView values)
{
    TArray1D x(values.begin(), values.end());
    for (std::size_t k = 0; k < x.size(); ++k) {
        x[k] = data::NormaliseValue(data, static_cast<int>(k), x[k]);
        if (!IsMissing(x[k]))
            x[k] *= data.Scale;
    }
    return x;
}

void RebuildObjectLines(map::TMap& map)
{
    if (map.Layers.size() <= ObjectLayer || !map.Data)
        return;
    TVisLine& lines = map.Layers[ObjectLayer].LineObject;
    ClearLines(lines);
    const TViewPlacer placer(map);
    if (!placer.Places())
        return;
    const data::TData& data = *map.Data;
    if (map.ViewType == ViewCoordinates || map.ViewType == ViewComponents) {
        const TPlaceFunction placeTable = [&](const TArray1D& values, std::array<double, 3>& placed) {
            placed = placer.Place(Normalised(data, values));
            return true;
        };
        const TPlaceFunction placeDataset = [&](const TArray1D& values, std::array<double, 3>& placed) {
            placed = placer.Place(values);
            return true;
        };
        AppendLineSets(data.LineSets, placeTable, placeDataset, lines);
    }
    for (const TAddRay& ray : data.Rays) {
        const auto start = placer.Place(ray.RayStart), end = placer.Place(ray.RayEnd);
        const TArray1D colour = coloring::ColorFromPacked(ray.RayFillColor);
        const auto first = static_cast<std::int32_t>(lines.Vertices.size());
        lines.Vertices.push_back({start[0], start[1], start[2]});
        lines.Vertices.push_back({end[0], end[1], end[2]});
        lines.Colors.push_back(colour);
        lines.Colors.push_back(colour);
        lines.Tags.push_back(0);
        lines.Tags.push_back(0);
        lines.Polylines.push_back({first, first + 1});
    }
}

} // namespace

void RebuildDataPoints(map::TMap& map)
{
    if (map.Layers.size() <= DataLayer || !map.Data)
        return;
    const data::TData& data = *map.Data;
    const std::size_t n = data.Points.size();
    TArray2D positions(n, TArray1D(3, 0.0));
    if (map.ViewType == ViewInternal) {
        EnsureTriangleShifts(map);
        const bool projected = coloring::EnsureProjections(map) && map.Projections.size() == n;
        for (std::size_t i = 0; i < n && projected; ++i) {
            for (std::size_t k = 0; k < 3 && k < map.Projections[i].size(); ++k)
                positions[i][k] = map.Projections[i][k];
            positions[i][2] += ReliefOf(map, data.Points[i]);
        }
    } else {
        const TViewPlacer placer(map);
        if (!placer.Places())
            return;
        for (std::size_t i = 0; i < n; ++i) {
            const auto p = placer.Place(data.Points[i]);
            positions[i] = {p[0], p[1], p[2]};
        }
    }

    std::vector<int> fill(n), radius(n);
    for (std::size_t i = 0; i < n; ++i) {
        const PointStyle& style = StyleOfPoint(data, i);
        fill[i] = style[FILLCOLOR];
        radius[i] = style[RADIUS];
    }
    for (std::size_t m = 0; m < data.MarkedPoints.size(); ++m) {
        const auto point = static_cast<std::size_t>(data.MarkedPoints[m]);
        if (data.MarkedPoints[m] < 0 || point >= n)
            continue;
        if (m < data.MarkColors.size())
            fill[point] = data.MarkColors[m];
        if (m < data.MarkSizes.size())
            radius[point] = data.MarkSizes[m];
    }

    TLayer& layer = map.Layers[DataLayer];
    TVisPoint& points = layer.PointObject;
    TVisLine& lines = layer.LineObject;
    ClearPoints(points);
    ClearLines(lines);
    const auto vertexColours = [&] {
        lines.Vertices = positions;
        lines.Colors.resize(n);
        lines.Tags.assign(n, 0);
        for (std::size_t i = 0; i < n; ++i)
            lines.Colors[i] = coloring::ColorFromPacked(fill[i]);
    };
    if (map.DataAsTimeSeries) {
        vertexColours();
        for (std::size_t i = 0; i + 1 < n; ++i)
            lines.Polylines.push_back({static_cast<std::int32_t>(i), static_cast<std::int32_t>(i + 1)});
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const PointStyle& style = StyleOfPoint(data, i);
        AddMarker(points, {positions[i][0], positions[i][1], positions[i][2]}, style[POINTTYPE], radius[i],
                  coloring::ColorFromPacked(fill[i]), coloring::ColorFromPacked(style[BRDCOLOR]), style[FLFILL],
                  style[FLBRD]);
    }
    ScalePoints(points, map.View.Camera.CameraDistance);
    if (!data.ClusterLinks.empty()) {
        vertexColours();
        for (const TArray1I& link : data.ClusterLinks)
            if (link.size() >= 2 && link[0] >= 0 && link[1] >= 0 && static_cast<std::size_t>(link[0]) < n &&
                static_cast<std::size_t>(link[1]) < n)
                lines.Polylines.push_back({link[0], link[1]});
    }
}

void RebuildNet(map::TMap& map)
{
    if (map.Layers.size() <= NetLayer || !map.Grid)
        return;
    if (map.ViewType != ViewCoordinates && map.ViewType != ViewComponents && map.ViewType != ViewInternal)
        return;
    const TViewPlacer placer(map);
    if (map.ViewType != ViewInternal && !placer.Places())
        return;
    EnsureTriangleShifts(map);
    const map::TNetGrid& grid = *map.Grid;
    const std::size_t n = grid.Nodes.size();
    const bool perTriangle =
        map.ViewType == ViewInternal && map.GridType == map::GridSpherical && HasTriangleShifts(map);

    // In view 2 a position is the node's internal place, lifted by the relief and, on a
    // sphere drawn flat, moved by the shift of the first triangle the node belongs to, so
    // the node sits on the net drawn around it.
    const auto internalPlace = [&](std::size_t node, const TArray1D* shift) { return InternalPlace(map, node, shift); };
    std::vector<const TArray1D*> nodeShift(n, nullptr);
    if (perTriangle)
        for (std::size_t t = grid.Triangles.size(); t-- > 0;)
            for (const std::int32_t node : grid.Triangles[t])
                if (node >= 0 && static_cast<std::size_t>(node) < n)
                    nodeShift[static_cast<std::size_t>(node)] = &grid.TriangleShift[t];

    TArray2D positions(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto p = map.ViewType == ViewInternal ? internalPlace(i, nodeShift[i]) : placer.Place(grid.Nodes[i]);
        positions[i] = {p[0], p[1], p[2]};
    }

    TLayer& layer = map.Layers[NetLayer];
    TVisPoint& points = layer.PointObject;
    ClearPoints(points);
    const TArray2D fills = coloring::NodeFillColors(map);
    for (std::size_t i = 0; i < n; ++i) {
        const double radius = map.NodeSizeByTaxon ? (i < map.TaxonSizes.size() ? map.TaxonSizes[i] : 0) : 1;
        AddMarker(points, {positions[i][0], positions[i][1], positions[i][2]}, 5, radius,
                  i < fills.size() ? fills[i] : TArray1D{0, 0, 255}, {0, 0, 255}, 0, 1);
    }
    ScalePoints(points, map.View.Camera.CameraDistance);

    TVisLine& lines = layer.LineObject;
    ClearLines(lines);
    if (perTriangle) {
        std::unordered_set<std::uint64_t> edges;
        const auto key = [](std::int32_t a, std::int32_t b) {
            return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(std::min(a, b))) << 32) |
                   static_cast<std::uint32_t>(std::max(a, b));
        };
        for (const TArray1I& edge : grid.Edges)
            if (edge.size() >= 2)
                edges.insert(key(edge[0], edge[1]));
        for (std::size_t t = 0; t < grid.Triangles.size(); ++t) {
            const TArray1I& triangle = grid.Triangles[t];
            if (triangle.size() < 3)
                continue;
            const auto first = static_cast<std::int32_t>(lines.Vertices.size());
            for (std::size_t k = 0; k < 3; ++k) {
                const auto node = static_cast<std::size_t>(triangle[k]);
                const auto p = node < n ? internalPlace(node, &grid.TriangleShift[t]) : std::array<double, 3>{};
                lines.Vertices.push_back({p[0], p[1], p[2]});
                lines.Colors.push_back({255, 0, 0});
                lines.Tags.push_back(0);
            }
            for (std::int32_t k = 0; k < 3; ++k)
                if (edges.count(
                        key(triangle[static_cast<std::size_t>(k)], triangle[static_cast<std::size_t>((k + 1) % 3)])))
                    lines.Polylines.push_back({first + k, first + (k + 1) % 3});
        }
        return;
    }
    lines.Vertices = positions;
    lines.Colors.assign(n, TArray1D{255, 0, 0});
    lines.Tags.assign(n, 0);
    for (const TArray1I& edge : grid.Edges)
        if (edge.size() >= 2 && edge[0] >= 0 && edge[1] >= 0 && static_cast<std::size_t>(edge[0]) < n &&
            static_cast<std::size_t>(edge[1]) < n)
            lines.Polylines.push_back({edge[0], edge[1]});
}

std::vector<TTriangleCorners> NetTriangleCorners(const map::TMap& map)
{
    std::vector<TTriangleCorners> corners;
    if (!map.Grid)
        return corners;
    if (map.ViewType != ViewCoordinates && map.ViewType != ViewComponents && map.ViewType != ViewInternal)
        return corners;
    const TViewPlacer placer(map);
    if (map.ViewType != ViewInternal && !placer.Places())
        return corners;
    const map::TNetGrid& grid = *map.Grid;
    const std::size_t n = grid.Nodes.size();
    const bool perTriangle =
        map.ViewType == ViewInternal && map.GridType == map::GridSpherical && HasTriangleShifts(map);
    corners.reserve(grid.Triangles.size());
    for (std::size_t t = 0; t < grid.Triangles.size(); ++t) {
        const TArray1I& triangle = grid.Triangles[t];
        TTriangleCorners c{};
        bool inside = triangle.size() >= 3;
        for (std::size_t k = 0; k < 3 && inside; ++k) {
            const std::int32_t node = triangle[k];
            inside = node >= 0 && static_cast<std::size_t>(node) < n;
            if (inside)
                c[k] = map.ViewType == ViewInternal ? InternalPlace(map, static_cast<std::size_t>(node),
                                                                    perTriangle ? &grid.TriangleShift[t] : nullptr)
                                                    : placer.Place(grid.Nodes[static_cast<std::size_t>(node)]);
        }
        corners.push_back(c);
    }
    return corners;
}

void RebuildAdditionalObjects(map::TMap& map)
{
    if (map.Layers.size() <= ObjectLayer || !map.Data)
        return;
    data::TData& data = *map.Data;
    const TViewPlacer placer(map);
    const bool shows = (map.ViewType == ViewCoordinates || map.ViewType == ViewComponents) && placer.Places();
    PlaceAddObjects(
        data.AddObjects,
        [&](const TArray1D& values, std::array<double, 3>& placed) {
            if (!shows)
                return false;
            placed = placer.Place(Normalised(data, values));
            return true;
        },
        map.Layers[ObjectLayer].GeometryObject);
}

void RebuildLineSets(map::TMap& map)
{
    RebuildObjectLines(map);
}

void RebuildRays(map::TMap& map)
{
    if (map.Layers.size() <= ObjectLayer || !map.Data)
        return;
    TVisPoint& points = map.Layers[ObjectLayer].PointObject;
    ClearPoints(points);
    const TViewPlacer placer(map);
    if (placer.Places())
        for (const TAddRay& ray : map.Data->Rays)
            AddMarker(points, placer.Place(ray.RayEnd), ray.RayShape, ray.RayRadius,
                      coloring::ColorFromPacked(ray.RayFillColor), coloring::ColorFromPacked(ray.RayBorderColor),
                      ray.RayFillFlag, ray.RayBorderFlag);
    ScalePoints(points, map.View.Camera.CameraDistance);
    RebuildObjectLines(map);
}

void ScaleMarkers(map::TMap& map)
{
    for (TLayer& layer : map.Layers)
        ScalePoints(layer.PointObject, map.View.Camera.CameraDistance);
}

void RebuildViews(map::TMap& map)
{
    RebuildDataPoints(map);
    RebuildNet(map);
    coloring::BuildColoring(map);
    RebuildAdditionalObjects(map);
    RebuildLineSets(map);
    RebuildRays(map);
    ScaleMarkers(map);
}

void ChooseSphereLayout(map::TMap& map, int item)
{
    if (map.ViewType != ViewInternal || map.GridType != map::GridSpherical)
        return;
    auto* sphere = dynamic_cast<map::TSphericalGrid*>(map.Grid.get());
    if (!sphere)
        return;
    sphere->SetSphereLayout(item == 0 ? 0 : 1);
    coloring::InvalidateProjections(map);
    RebuildViews(map);
}

} // namespace orbelin::view

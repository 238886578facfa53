// View geometry: data points, net, additional objects, line sets and rays of a map's
// layers in every view type.
#include "view/ViewGeometry.h"
#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "coloring/ColoringFixtures.h"
#include "coloring/Projection.h"
#include "data/TDataTable.h"
#include "numeric/Missing.h"
#include "view/ViewPlacement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::view {
namespace {

using coloring::ColorFromPacked;

// Four points over a 3 x 3 sheet map; point 3 misses its second coordinate. The table
// gives each record its own style.
struct TScene {
    data::TDataTable Table;
    data::TData Data;
    map::TMap* Map;

    TScene()
    {
        test::SetPoints(Data, {{-0.5, -0.5, 1}, {0.5, 0, 2}, {0, 0.5, 4}, {0.25, Missing(), 8}});
        for (int i = 0; i < 4; ++i)
            Table.PointStyles.push_back({1, i, 3 + i, 0x010203 * (i + 1), 0x0000FF, i % 2, 1 - i % 2, 0});
        Data.Table = &Table;
        Map = &test::AddSheetMap(Data, 3, 3);
    }
    TLayer& Layer(int i) { return Map->Layers[static_cast<std::size_t>(i)]; }
    void View(int type, int a1 = 0, int a2 = 1, int a3 = 2)
    {
        Map->ViewType = type;
        Map->Axis1 = a1;
        Map->Axis2 = a2;
        Map->Axis3 = a3;
    }
};

TEST(ViewGeometryTest, DataPointsArePlacedForTheView)
{
    struct TCase {
        const char* Name;
        int View;
        std::array<int, 3> Axes;
        int Coloring;
        double Relief;
        TArray2D Expected;
    };
    const TCase cases[] = {
        {"coordinates", 0, {2, 0, 1}, 0, 0, {{1, -0.5, -0.5}, {2, 0.5, 0}, {4, 0, 0.5}, {0, 0, 0}}},
        {"one axis three times: the diagonal",
         0,
         {0, 0, 0},
         0,
         0,
         {{-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, {0, 0, 0}, {0.25, 0.25, 0.25}}},
        {"components place a point with a gap",
         1,
         {2, 0, 1},
         0,
         0,
         {{1, -0.5, -0.5}, {2, 0.5, 0}, {4, 0, 0.5}, {8, 0.25, 0}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScene scene;
        scene.View(c.View, c.Axes[0], c.Axes[1], c.Axes[2]);
        scene.Map->ColoringCode = c.Coloring;
        scene.Map->Relief = c.Relief;
        RebuildDataPoints(*scene.Map);
        const TArray2D& at = scene.Layer(0).PointObject.Positions;
        ASSERT_EQ(at.size(), 4u);
        EXPECT_EQ(at, c.Expected);
    }
}

TEST(ViewGeometryTest, InternalViewShowsTheProjectionsLiftedForFieldColorings)
{
    struct TCase {
        const char* Name;
        int Coloring;
        TArray1D Lift; // per point
    };
    const TCase cases[] = {
        {"no coloring", 0, {0, 0, 0, 0}},
        {"half the third field", 1003, {0.5, 1, 2, 4}},
        {"a gap in the field is not lifted", 1002, {-0.25, 0, 0.25, 0}},
        {"no relief for components", 2003, {0, 0, 0, 0}},
        {"no relief for densities", 111, {0, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScene scene;
        scene.View(2);
        scene.Map->ColoringCode = c.Coloring;
        scene.Map->Relief = 0.5;
        RebuildDataPoints(*scene.Map);
        ASSERT_TRUE(scene.Map->ProjectionsValid);
        const TArray2D& at = scene.Layer(0).PointObject.Positions;
        ASSERT_EQ(at.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            const TArray1D& p = scene.Map->Projections[i];
            EXPECT_EQ(at[i], (TArray1D{p[0], p[1], p[2] + c.Lift[i]}));
        }
        EXPECT_EQ(at[1], (TArray1D{0.5, 0, c.Lift[1]})); // a point on the sheet is its own projection
    }
}

TEST(ViewGeometryTest, DataPointsTakeTheirRecordsStyleAndTheSelection)
{
    TScene scene;
    scene.Data.MarkedPoints = {2};
    scene.Data.MarkColors = {0x00FF00};
    scene.Data.MarkSizes = {11};
    scene.Map->View.Camera.CameraDistance = -100;
    RebuildDataPoints(*scene.Map);
    const TVisPoint& p = scene.Layer(0).PointObject;
    ASSERT_EQ(p.Shapes.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const PointStyle& style = scene.Table.PointStyles[i];
        const bool marked = i == 2;
        EXPECT_EQ(p.Shapes[i], style[POINTTYPE]);
        EXPECT_EQ(p.Radii[i], marked ? 11 : style[RADIUS]);
        EXPECT_EQ(p.Sizes[i], 2 * p.Radii[i]); // |CameraDistance / 50| times the radius
        EXPECT_EQ(p.FillColors[i], ColorFromPacked(marked ? 0x00FF00 : style[FILLCOLOR]));
        EXPECT_EQ(p.BorderColors[i], ColorFromPacked(style[BRDCOLOR]));
        EXPECT_EQ(p.Flags[0][i], style[FLFILL]);
        EXPECT_EQ(p.Flags[1][i], style[FLBRD]);
    }
    EXPECT_TRUE(scene.Layer(0).LineObject.Polylines.empty());
}

TEST(ViewGeometryTest, ClusterLinksAndTimeSeriesAreDrawnAsLines)
{
    TScene scene;
    scene.Data.MarkedPoints = {1};
    scene.Data.MarkColors = {0x0000FF};
    scene.Data.MarkSizes = {5};
    scene.Data.ClusterLinks = {{0, 2}, {2, 3}, {1, 9}}; // the last names no point
    RebuildDataPoints(*scene.Map);
    const TVisLine& links = scene.Layer(0).LineObject;
    EXPECT_EQ(links.Vertices, scene.Layer(0).PointObject.Positions);
    EXPECT_EQ(links.Polylines, (TArray2I{{0, 2}, {2, 3}}));
    ASSERT_EQ(links.Colors.size(), 4u);
    EXPECT_EQ(links.Colors[0], ColorFromPacked(scene.Table.PointStyles[0][FILLCOLOR]));
    EXPECT_EQ(links.Colors[1], ColorFromPacked(0x0000FF));

    scene.Map->DataAsTimeSeries = true;
    RebuildDataPoints(*scene.Map);
    const TLayer& layer = scene.Layer(0);
    EXPECT_TRUE(layer.PointObject.Positions.empty());
    EXPECT_EQ(layer.LineObject.Polylines, (TArray2I{{0, 1}, {1, 2}, {2, 3}})); // N - 1 segments
    EXPECT_EQ(layer.LineObject.Colors[1], ColorFromPacked(0x0000FF));

    scene.Map->DataAsTimeSeries = false;
    scene.Data.ClusterLinks.clear();
    RebuildDataPoints(*scene.Map);
    EXPECT_TRUE(scene.Layer(0).LineObject.Vertices.empty());
    EXPECT_EQ(scene.Layer(0).PointObject.Positions.size(), 4u);
}

TEST(ViewGeometryTest, NetShowsNodesAndEdgesForTheView)
{
    TScene scene;
    scene.Map->Grid->Nodes[4][2] = 6; // the centre node stands out in the third coordinate
    scene.Map->TaxonSizes = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    struct TCase {
        const char* Name;
        int View;
        std::array<int, 3> Axes;
        int Coloring;
        bool BySize;
        TArray1D Centre; // position of node 4
    };
    const TCase cases[] = {
        {"coordinates", 0, {2, 2, 0}, 0, false, {6, 6, 0}},
        {"components", 1, {2, 1, 0}, 0, true, {6, 0, 0}},
        {"internal, lifted", 2, {0, 1, 2}, 1003, false, {0, 0, 3}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        scene.View(c.View, c.Axes[0], c.Axes[1], c.Axes[2]);
        scene.Map->ColoringCode = c.Coloring;
        scene.Map->Relief = 0.5;
        scene.Map->NodeSizeByTaxon = c.BySize;
        RebuildNet(*scene.Map);
        const TVisPoint& nodes = scene.Layer(1).PointObject;
        ASSERT_EQ(nodes.Positions.size(), 9u);
        EXPECT_EQ(nodes.Positions[4], c.Centre);
        const TArray2D fills = coloring::NodeFillColors(*scene.Map);
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(nodes.Shapes[i], 5);
            EXPECT_EQ(nodes.Flags[0][i], 0);
            EXPECT_EQ(nodes.Flags[1][i], 1);
            EXPECT_EQ(nodes.BorderColors[i], (TArray1D{0, 0, 255}));
            EXPECT_EQ(nodes.FillColors[i], fills[i]);
            EXPECT_EQ(nodes.Radii[i], c.BySize ? static_cast<double>(i) : 1.0);
        }
        const TVisLine& lines = scene.Layer(1).LineObject;
        EXPECT_EQ(lines.Vertices, nodes.Positions);
        EXPECT_EQ(lines.Polylines, scene.Map->Grid->Edges);
        for (const TArray1D& colour : lines.Colors)
            EXPECT_EQ(colour, (TArray1D{255, 0, 0}));
    }
    // The projection-pursuit view leaves the net as it was.
    const TVisPoint before = scene.Layer(1).PointObject;
    scene.View(4);
    RebuildNet(*scene.Map);
    EXPECT_EQ(scene.Layer(1).PointObject.Positions, before.Positions);
}

TEST(ViewGeometryTest, SphericalNetInInternalCoordinatesDrawsNoSegmentAcrossTheLayout)
{
    data::TData data;
    test::SetPoints(data, {{0.3, 0.2, 0.9}, {-0.2, -0.9, 0.1}});
    map::TMap& map = test::AddSheetMap(data, 2, 2);
    map.GridType = map::GridSpherical;
    map.Grid = map::CreateGrid(map::GridSpherical, 8, 6, 1, 3);
    map.Grid->TriangleShift.clear(); // as a map file without shifts: built on demand
    for (std::size_t i = 0; i < map.Grid->Nodes.size(); ++i)
        map.Grid->Nodes[i] = map.Grid->Internal[i];
    map::AllocateMapArrays(map);
    map.ViewType = 2;
    RebuildViews(map);
    ASSERT_EQ(map.Grid->TriangleShift.size(), map.Grid->Triangles.size());
    const TVisLine& net = map.Layers[1].LineObject;
    ASSERT_FALSE(net.Polylines.empty());
    std::size_t drawn = 0;
    for (const TArray1I& segment : net.Polylines) {
        const TArray1D &a = net.Vertices[segment[0]], &b = net.Vertices[segment[1]];
        // Both ends in the same half, and no longer than a side of the layout's triangles.
        EXPECT_EQ(a[0] <= 0, b[0] <= 0);
        EXPECT_LT(std::hypot(a[0] - b[0], a[1] - b[1]), 0.8);
        ++drawn;
    }
    // Every grid edge is drawn at least once.
    EXPECT_GE(drawn, map.Grid->Edges.size());
    // Node markers sit on the net drawn around them: each marker is one of the net's vertices.
    for (const TArray1D& node : map.Layers[1].PointObject.Positions)
        EXPECT_NE(std::find(net.Vertices.begin(), net.Vertices.end(), node), net.Vertices.end());
    // The data points' projections carry the same shifts: they lie in one of the discs.
    for (const TArray1D& point : map.Layers[0].PointObject.Positions)
        EXPECT_LE(std::hypot(std::abs(point[0]) - 1, point[1]), 1 + 1e-12);

    // The globe layout: nodes back on the unit sphere, no shifts.
    ChooseSphereLayout(map, 0);
    for (const TArray1D& node : map.Layers[1].PointObject.Positions)
        EXPECT_NEAR(std::hypot(node[0], node[1], node[2]), 1, 1e-12);
    // The points are projected anew onto the globe's flat triangles, inside the unit ball.
    for (const TArray1D& point : map.Layers[0].PointObject.Positions)
        EXPECT_LE(std::hypot(point[0], point[1], point[2]), 1 + 1e-12);
}

TEST(ViewGeometryTest, TriangleCornersLieWhereTheNetIsDrawn)
{
    // A plain view: the corners are the placed nodes.
    TScene scene;
    scene.View(0, 2, 0, 1);
    scene.Map->Grid->Nodes[4][2] = 6;
    RebuildNet(*scene.Map);
    const std::vector<TTriangleCorners> plain = NetTriangleCorners(*scene.Map);
    ASSERT_EQ(scene.Map->Grid->Triangles.size(), plain.size());
    const TVisPoint& nodes = scene.Layer(1).PointObject;
    for (std::size_t t = 0; t < plain.size(); ++t)
        for (std::size_t k = 0; k < 3; ++k) {
            const TArray1D& node = nodes.Positions[static_cast<std::size_t>(scene.Map->Grid->Triangles[t][k])];
            EXPECT_EQ(node, (TArray1D{plain[t][k][0], plain[t][k][1], plain[t][k][2]}));
        }
    scene.View(4);
    EXPECT_TRUE(NetTriangleCorners(*scene.Map).empty());

    // A sphere laid flat: each triangle with its own shift, as its sides are drawn, so no
    // triangle spans the layout.
    data::TData data;
    test::SetPoints(data, {{0.3, 0.2, 0.9}});
    map::TMap& map = test::AddSheetMap(data, 2, 2);
    map.GridType = map::GridSpherical;
    map.Grid = map::CreateGrid(map::GridSpherical, 8, 6, 1, 3);
    map::AllocateMapArrays(map);
    map.ViewType = 2;
    RebuildNet(map);
    const std::vector<TTriangleCorners> flat = NetTriangleCorners(map);
    const TVisLine& net = map.Layers[1].LineObject;
    ASSERT_EQ(net.Vertices.size(), 3 * flat.size());
    for (std::size_t t = 0; t < flat.size(); ++t)
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(net.Vertices[3 * t + k], (TArray1D{flat[t][k][0], flat[t][k][1], flat[t][k][2]}));
            EXPECT_LT(std::hypot(flat[t][k][0] - flat[t][(k + 1) % 3][0], flat[t][k][1] - flat[t][(k + 1) % 3][1]),
                      0.8);
        }
}

TEST(ViewGeometryTest, AdditionalObjectsAreNormalisedAndPlacedInViewsZeroAndOne)
{
    TScene scene;
    data::TData& data = scene.Data;
    // Coordinate k of a table value v normalises to (v - 1) / 2, then times the scale 3.
    data.NormStat.assign(3, data::TNormStat());
    for (data::TNormStat& s : data.NormStat) {
        s.Mean = 1;
        s.Std = 2;
    }
    data.LogFlags.assign(3, false);
    data.TanhFlags.assign(3, false);
    data.RangeFlags.assign(3, false);
    data.StdFlags.assign(3, true);
    data.Scale = 3;
    data.AddObjects.push_back(std::make_unique<TAddObject>(MakeSphere("A", {3, 5, 1}, 0.1, 0xFF)));
    data.AddObjects.push_back(std::make_unique<TAddObject>(MakeCylinder("B", {1, 1, 1}, {3, 3, 3}, 0.1, 0.2, 0)));
    data.AddObjects.push_back(std::make_unique<TAddObject>(MakeSphere("hidden", {1, 1, 1}, 0.1, 0)));
    data.AddObjects.back()->Visible = 0;

    struct TCase {
        int View;
        std::array<int, 3> Axes;
        std::size_t Shown;
        std::array<double, 3> SphereAt;
    };
    const TCase cases[] = {
        {0, {1, 0, 2}, 2, {6, 3, 0}}, {1, {0, 1, 2}, 2, {3, 6, 0}}, {2, {0, 1, 2}, 0, {}}, {4, {0, 1, 2}, 0, {}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.View);
        scene.View(c.View, c.Axes[0], c.Axes[1], c.Axes[2]);
        RebuildAdditionalObjects(*scene.Map);
        const TVisGeom& geometry = scene.Layer(3).GeometryObject;
        ASSERT_EQ(geometry.Items.size(), c.Shown);
        if (c.Shown == 0)
            continue;
        EXPECT_EQ(geometry.Items[0]->PlacedStart, c.SphereAt);
        EXPECT_EQ(geometry.Items[1]->PlacedStart, (std::array<double, 3>{0, 0, 0}));
        EXPECT_EQ(geometry.Items[1]->PlacedEnd, (std::array<double, 3>{3, 3, 3}));
    }
}

TEST(ViewGeometryTest, LineSetsAndRaysShareTheObjectLayer)
{
    TScene scene;
    data::TData& data = scene.Data;
    data.Scale = 2; // no normalisation statistics: table units only scaled
    TAddLines loaded;
    loaded.LinePoints = {{0, 0, 0}, {1, 2, 3}, {0.5, 0.5, 0.5}};
    loaded.Segments = {{0, 1}, {1, 2}};
    TAddLines connections;
    connections.LinePoints = {{1, 1, 1}, {2, 2, 2}};
    connections.Segments = {{0, 1}};
    connections.DatasetUnits = true;
    data.LineSets = {loaded, connections};
    TAddRay ray;
    ray.RayStart = {0, 0, 0};
    ray.RayEnd = {1, 0.5, 0.25};
    ray.RayRadius = 6;
    ray.RayShape = 2;
    ray.RayFillColor = 0x00FF00;
    ray.RayBorderColor = 0xFF0000;
    data.Rays = {ray};

    scene.View(0);
    RebuildViews(*scene.Map);
    const TLayer& objects = scene.Layer(3);
    const TVisLine& lines = objects.LineObject;
    const TArray2D expected = {{0, 0, 0}, {2, 4, 6}, {1, 1, 1}, {1, 1, 1}, {2, 2, 2}, {0, 0, 0}, {1, 0.5, 0.25}};
    EXPECT_EQ(lines.Vertices, expected);
    EXPECT_EQ(lines.Polylines, (TArray2I{{0, 1}, {1, 2}, {3, 4}, {5, 6}}));
    for (std::size_t v = 0; v < 5; ++v)
        EXPECT_EQ(lines.Colors[v], (TArray1D{0, 0, 255}));
    EXPECT_EQ(lines.Colors[5], ColorFromPacked(0x00FF00));
    EXPECT_EQ(lines.Colors[6], ColorFromPacked(0x00FF00));
    ASSERT_EQ(objects.PointObject.Positions, (TArray2D{{1, 0.5, 0.25}}));
    EXPECT_EQ(objects.PointObject.Shapes, (TArray1I{2}));
    EXPECT_EQ(objects.PointObject.Radii, (TArray1D{6}));
    EXPECT_EQ(objects.PointObject.BorderColors[0], ColorFromPacked(0xFF0000));
    EXPECT_EQ(objects.PointObject.Flags[0], (TArray1I{1}));
    EXPECT_EQ(objects.PointObject.Flags[1], (TArray1I{0}));

    // Rebuilding only the rays keeps the line sets, and the other way round.
    RebuildRays(*scene.Map);
    EXPECT_EQ(scene.Layer(3).LineObject.Vertices, expected);
    RebuildLineSets(*scene.Map);
    EXPECT_EQ(scene.Layer(3).LineObject.Vertices, expected);

    // Internal coordinates show neither.
    scene.View(2);
    RebuildViews(*scene.Map);
    EXPECT_TRUE(scene.Layer(3).LineObject.Vertices.empty());
    EXPECT_TRUE(scene.Layer(3).PointObject.Positions.empty());
}

TEST(ViewGeometryTest, ProjectionPursuitViewUsesTheResultsAxes)
{
    TScene scene;
    auto result = std::make_unique<TProjectorAxes>();
    result->Centre = {1, 1}; // shorter than the points: the third coordinate counts 0
    result->Directions = {{1, 0, 0}, {0, 0, 2}, {1, 1, 0}};
    scene.Data.Projectors.push_back(std::make_unique<TProjectorAxes>());
    scene.Data.Projectors.push_back(std::move(result));
    TAddRay ray;
    ray.RayStart = {1, 1, 0};
    ray.RayEnd = {3, 1, 4};
    scene.Data.Rays = {ray};
    scene.Map->PPIndex = 1;
    scene.View(4, 1, 2, 0);
    RebuildViews(*scene.Map);
    // Point 1 (0.5, 0, 2): (0.5 - 1, 0 - 1, 2) on (0, 0, 2)/4, (1, 1, 0)/2 and (1, 0, 0).
    EXPECT_EQ(scene.Layer(0).PointObject.Positions[1], (TArray1D{1, -0.75, -0.5}));
    EXPECT_EQ(scene.Layer(3).PointObject.Positions, (TArray2D{{2, 1, 2}}));
    EXPECT_TRUE(scene.Layer(1).PointObject.Positions.empty()); // the net was never built

    // A result number the dataset lacks places nothing: the points stay.
    scene.Map->PPIndex = 7;
    RebuildDataPoints(*scene.Map);
    EXPECT_EQ(scene.Layer(0).PointObject.Positions[1], (TArray1D{1, -0.75, -0.5}));
}

TEST(ViewGeometryTest, PCCoordsFollowTheFormula)
{
    const double gap = Missing();
    struct TCase {
        const char* Name;
        TArray1D X, Centre, Direction;
        double Expected;
    };
    const TCase cases[] = {
        {"unit direction", {3, 4}, {1, 1}, {1, 0}, 2},
        {"scaled direction", {3, 4}, {1, 1}, {0, 2}, 1.5},
        {"gap in x leaves its term and its norm out", {gap, 4}, {1, 1}, {1, 1}, 3},
        {"gap in the centre leaves only the term out", {3, 4}, {gap, 1}, {1, 1}, 1.5},
        {"zero norm gives 0", {3, 4}, {0, 0}, {0, 0}, 0},
        {"short centre counts 0", {3, 4}, {1}, {0, 1}, 4},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_DOUBLE_EQ(PCCoordinate(c.X, c.Centre, c.Direction), c.Expected);
    }
}

TEST(ViewGeometryTest, RebuildViewsFillsEveryLayerAndScalesItsMarkers)
{
    TScene scene;
    scene.Map->ColoringCode = coloring::FieldColoringBase;
    scene.Map->View.Camera.CameraDistance = -25;
    RebuildViews(*scene.Map);
    EXPECT_EQ(scene.Layer(0).PointObject.Positions.size(), 4u);
    EXPECT_EQ(scene.Layer(1).PointObject.Positions.size(), 9u);
    EXPECT_EQ(scene.Layer(2).PolygonObject.Polygons.size(), 8u);
    for (const TLayer& layer : scene.Map->Layers)
        for (std::size_t i = 0; i < layer.PointObject.Radii.size(); ++i)
            EXPECT_EQ(layer.PointObject.Sizes[i], 0.5 * layer.PointObject.Radii[i]);
    scene.Map->View.Camera.CameraDistance = 9;
    ScaleMarkers(*scene.Map);
    EXPECT_DOUBLE_EQ(scene.Layer(1).PointObject.Sizes[0], 0.18);
}

} // namespace
} // namespace orbelin::view

// The Datapoints/Net panel's choices: the view list, the axes, the camera or sphere layout,
// the projecting type, time series and node sizes, and the hints of the points.
#include "view/ViewChoices.h"

#include "coloring/ColoringFixtures.h"
#include "coloring/Projection.h"
#include "data/TDataTable.h"
#include "data/TableMaker.h"
#include "view/PointHints.h"
#include "view/ViewGeometry.h"
#include "view/ViewPlacement.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

// Four points of three coordinates over a 3 x 3 sheet map, with two projection-pursuit
// results.
struct TScene {
    data::TData Data;
    map::TMap* Map;

    TScene()
    {
        test::SetPoints(Data, {{-0.5, -0.5, 1}, {0.5, 0.1, 2}, {0.2, 0.5, 4}, {0.9, 0.9, 8}});
        Map = &test::AddSheetMap(Data, 3, 3);
        for (int r = 0; r < 2; ++r) {
            auto result = std::make_unique<TProjectorAxes>();
            result->Centre = {0, 0, 0};
            result->Directions = {{0, 0, 1}, {1, 0, 0}};
            Data.Projectors.push_back(std::move(result));
        }
    }
    const TArray2D& Points() const { return Map->Layers[0].PointObject.Positions; }
};

TEST(ViewChoicesTest, ViewListChoosesTheViewAndTheResult)
{
    TScene scene;
    EXPECT_EQ((TArray1S{"On coordinate plane", "On principal components", "In internal coordinates",
                        "PP0 Projection Pursuit", "PP1 Projection Pursuit"}),
              ViewListItems(&scene.Data));
    EXPECT_EQ(3u, ViewListItems(nullptr).size());

    struct TCase {
        const char* Name;
        const char* Item;
        bool Chosen;
        int ViewType, PPIndex, Row;
    };
    const TCase cases[] = {
        {"components", "On principal components", true, 1, 0, 1},
        {"internal", "In internal coordinates", true, 2, 0, 2},
        {"second result", "PP1 Projection Pursuit", true, 4, 1, 4},
        {"no such result: nothing changes", "PP2 Projection Pursuit", false, 4, 1, 4},
        {"not a view", "Sideways", false, 4, 1, 4},
        {"coordinates", "On coordinate plane", true, 0, 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Chosen, ChooseViewItem(*scene.Map, c.Item));
        EXPECT_EQ(c.ViewType, scene.Map->ViewType);
        EXPECT_EQ(c.PPIndex, scene.Map->PPIndex);
        EXPECT_EQ(c.Row, ViewListRow(*scene.Map));
    }

    // Result numbers run on past 99: "PP123" shows result 123, not result 12.
    while (scene.Data.Projectors.size() < 124)
        scene.Data.Projectors.push_back(std::make_unique<TProjectorAxes>());
    ASSERT_TRUE(ChooseViewItem(*scene.Map, ViewListItems(&scene.Data)[3 + 123]));
    EXPECT_EQ(123, scene.Map->PPIndex);
}

TEST(ViewChoicesTest, ChangingTheViewMovesThePoints)
{
    TScene scene;
    ASSERT_TRUE(ChooseViewItem(*scene.Map, "On coordinate plane"));
    EXPECT_EQ((TArray1D{0.5, 0.1, 2}), scene.Points()[1]);

    ChooseAxes(*scene.Map, 2, -1, 0);
    EXPECT_EQ((TArray1D{2, 0.1, 0.5}), scene.Points()[1]);
    EXPECT_EQ(1, scene.Map->Axis2);

    // The internal view shows the projections onto the flat sheet: the third coordinate is
    // gone and the point stays over its place on the sheet.
    ASSERT_TRUE(ChooseViewItem(*scene.Map, "In internal coordinates"));
    EXPECT_NEAR(0.5, scene.Points()[1][0], 1e-9);
    EXPECT_NEAR(0.1, scene.Points()[1][1], 1e-9);
    EXPECT_NEAR(0, scene.Points()[1][2], 1e-9);

    // Result 0 shows coordinate 2 and coordinate 0 on its first two axes.
    ChooseAxes(*scene.Map, 0, 1, 1);
    ASSERT_TRUE(ChooseViewItem(*scene.Map, "PP0 Projection Pursuit"));
    EXPECT_NEAR(2, scene.Points()[1][0], 1e-9);
    EXPECT_NEAR(0.5, scene.Points()[1][1], 1e-9);
}

TEST(ViewChoicesTest, ChoicesUnderTrainingWaitForTheNextStep)
{
    TScene scene;
    ASSERT_TRUE(ChooseViewItem(*scene.Map, "On coordinate plane"));
    const TArray2D before = scene.Points();
    scene.Map->Training = true;
    ChooseAxes(*scene.Map, 2, -1, 0);
    EXPECT_EQ(2, scene.Map->Axis1);
    EXPECT_EQ(before, scene.Points());

    RebuildViews(*scene.Map); // the run's next step
    EXPECT_EQ((TArray1D{2, 0.1, 0.5}), scene.Points()[1]);
    scene.Map->Training = false;
}

TEST(ViewChoicesTest, AxisAndViewModeListsFollowTheView)
{
    TScene scene;
    struct TCase {
        const char* Name;
        int ViewType;
        int GridType;
        TArray1S Axes, Modes;
    };
    const TCase cases[] = {
        {"coordinates", 0, map::GridRectangular, {"F0", "F1", "F2"}, {"Perspective", "Orthogonal"}},
        {"components", 1, map::GridRectangular, {"1", "2", "3"}, {"Perspective", "Orthogonal"}},
        {"internal, flat map", 2, map::GridRectangular, {}, {}},
        {"internal, sphere", 2, map::GridSpherical, {}, {"3D globe", "Polar", "Cylindrical"}},
        {"projection pursuit", 4, map::GridRectangular, {"1", "2"}, {"Perspective", "Orthogonal"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        scene.Map->ViewType = c.ViewType;
        scene.Map->GridType = c.GridType;
        EXPECT_EQ(c.Axes, AxisItems(*scene.Map));
        EXPECT_EQ(c.Modes, ViewModeItems(*scene.Map));
    }

    scene.Map->GridType = map::GridRectangular;
    scene.Map->ViewType = 0;
    ChooseViewMode(*scene.Map, 0);
    EXPECT_EQ(0, scene.Map->View.Camera.Orthogonal);
    EXPECT_EQ(0, ViewModeRow(*scene.Map));
    ChooseViewMode(*scene.Map, 1);
    EXPECT_EQ(1, scene.Map->View.Camera.Orthogonal);
    ChooseViewMode(*scene.Map, 5); // not in the list
    EXPECT_EQ(1, scene.Map->View.Camera.Orthogonal);
}

TEST(ViewChoicesTest, ProjectingTypeTimeSeriesAndNodeSizes)
{
    TScene scene;
    scene.Map->ViewType = ViewInternal;
    ChooseProjectorType(*scene.Map, map::ProjectInClosestNode);
    EXPECT_EQ(map::ProjectInClosestNode, scene.Map->ProjectorType);
    // Point 3 (0.9, 0.9) goes to the corner node (1, 1).
    EXPECT_NEAR(1, scene.Points()[3][0], 1e-9);
    EXPECT_NEAR(1, scene.Points()[3][1], 1e-9);
    ChooseProjectorType(*scene.Map, 9);
    EXPECT_EQ(map::ProjectInClosestPoint, scene.Map->ProjectorType);
    EXPECT_NEAR(0.9, scene.Points()[3][0], 1e-9);

    SetDataAsTimeSeries(*scene.Map, true);
    EXPECT_TRUE(scene.Points().empty());
    EXPECT_EQ(3u, scene.Map->Layers[0].LineObject.Polylines.size());
    SetDataAsTimeSeries(*scene.Map, false);
    EXPECT_EQ(4u, scene.Points().size());

    // Node sizes come from the points' nearest nodes, found afresh: the map was never
    // trained.
    SetNodeSizeByTaxon(*scene.Map, true);
    const TArray1D& radii = scene.Map->Layers[1].PointObject.Radii;
    ASSERT_EQ(9u, radii.size());
    double total = 0;
    for (double r : radii)
        total += r;
    EXPECT_EQ(4, total);
    SetNodeSizeByTaxon(*scene.Map, false);
    EXPECT_EQ(TArray1D(9, 1.0), scene.Map->Layers[1].PointObject.Radii);
}

TEST(ViewChoicesTest, HintsShowTheMarkedFieldsOfVisiblePoints)
{
    // Points 0..2 are table records 1..3 (record 0 was left out of the dataset).
    data::TDataTable table = test::MakeTable({{"Name", TFieldType::String}, {"Kind", TFieldType::String}},
                                             {{"r0", "x"}, {" alpha ", "a"}, {"beta", " b"}, {"gamma", "c"}});
    data::TData data;
    test::SetPoints(data, {{0}, {1}, {2}});
    data.NUMXI = {1, 2, 3};
    data.Table = &table;
    struct TCase {
        const char* Name;
        std::vector<int> Points, Fields;
        TArray1I Visibility;
        TArray1S Expected;
    };
    const TCase cases[] = {
        {"one point, two fields, trimmed", {0}, {0, 1}, {}, {"alpha/a"}},
        {"several points, field order as ticked", {2, 1}, {1, 0}, {}, {"c/gamma", "b/beta"}},
        {"hidden point passed over", {0, 1}, {0}, {1, 0, 1}, {"alpha"}},
        {"no field ticked", {0}, {}, {}, {}},
        {"outside the dataset or table", {-1, 5, 2}, {0, 9}, {}, {"gamma"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data.Visibility = c.Visibility;
        EXPECT_EQ(c.Expected, PointHintLines(data, c.Points, c.Fields));
    }
}

} // namespace
} // namespace orbelin::view

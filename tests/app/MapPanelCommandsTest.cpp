// The map panel's commands: the grid list, initialisation from the Creation page, the
// adaptation step, geometry refreshes around training, and maps joining the tree.
#include "app/MapPanelCommands.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "app/TDispatcher.h"
#include "data/TError.h"
#include "map/MapFixtures.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

TEST(MapPanelCommandsTest, GridListItemsAndCodesCorrespond)
{
    struct TCase {
        const char* Name;
        int Item;
        int Code;
    };
    const TCase cases[] = {
        {"Rectangular", 0, map::GridRectangular}, {"Spherical", 1, map::GridSpherical},
        {"Hexagonal", 2, map::GridHexagonal},     {"Toroidal", 3, map::GridToroidal},
        {"Circle", 4, map::GridCircle},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Code, GridTypeOfListItem(c.Item));
        EXPECT_EQ(c.Item, GridListItemOf(c.Code));
    }
    // Outside the list: the rectangular grid, and code 4 (unused) shows as it.
    EXPECT_EQ(map::GridRectangular, GridTypeOfListItem(-1));
    EXPECT_EQ(map::GridRectangular, GridTypeOfListItem(5));
    EXPECT_EQ(0, GridListItemOf(4));
}

struct TMapFixture {
    data::TData Dataset;
    map::TMap* Map = nullptr;
    TMapFixture()
    {
        map::fixture::FillDataset(Dataset, 60, 3);
        Map = &map::fixture::AddInitialisedMap(Dataset, "m", map::GridRectangular, 4, 4);
        RebuildViewsOnce();
    }
    void RebuildViewsOnce() { ASSERT_TRUE(RefreshMapGeometry(*Map)); }
    std::size_t NodeMarkers() const { return Map->Layers[1].PointObject.Positions.size(); }
};

TEST(MapPanelCommandsTest, InitializeTakesThePanelsSettingsAndRebuildsTheView)
{
    TMapFixture f;
    f.Map->View.Camera.RotX = 40;
    TMapPanelSettings settings;
    settings.GridItem = 2; // hexagonal
    settings.Rows = 3;
    settings.Columns = 5;
    settings.Placement = map::InitMainComps;
    settings.Size = 0.5;
    settings.NoiseOn = true;
    settings.Noise = 20;
    InitializeMapFromPanel(*f.Map, settings);

    ASSERT_NE(nullptr, f.Map->Grid);
    EXPECT_EQ(map::GridHexagonal, f.Map->GridType);
    EXPECT_EQ(15, f.Map->Grid->NodeCount());
    EXPECT_TRUE(f.Map->StopRequested);
    // The view was recreated (camera back to its defaults) and its geometry rebuilt.
    EXPECT_EQ(0, f.Map->View.Camera.RotX);
    EXPECT_EQ(15u, f.NodeMarkers());
    EXPECT_EQ(60u, f.Map->Layers[0].PointObject.Positions.size());

    // The panel shows the map's own settings again, its real grid type included.
    const TMapPanelSettings shown = MapPanelSettings(*f.Map);
    EXPECT_EQ(2, shown.GridItem);
    EXPECT_EQ(3, shown.Rows);
    EXPECT_EQ(5, shown.Columns);
    EXPECT_EQ(1, shown.Layers);
    EXPECT_DOUBLE_EQ(0.5, shown.Size);
    EXPECT_TRUE(shown.NoiseOn);
    EXPECT_DOUBLE_EQ(20, shown.Noise);
}

TEST(MapPanelCommandsTest, RefusedInitialisationLeavesTheMapAsItWas)
{
    struct TCase {
        const char* Name;
        bool Training;
        int Rows;
        const char* Message;
    };
    const TCase cases[] = {
        {"while training", true, 3, "is being trained"},
        {"no rows", false, 0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMapFixture f;
        const auto* grid = f.Map->Grid.get();
        f.Map->Training = c.Training;
        TMapPanelSettings settings;
        settings.GridItem = 1;
        settings.Rows = c.Rows;
        try {
            InitializeMapFromPanel(*f.Map, settings);
            ADD_FAILURE() << "no error";
        } catch (const TError& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find(c.Message)) << e.what();
        }
        f.Map->Training = false;
        EXPECT_EQ(grid, f.Map->Grid.get());
        EXPECT_EQ(map::GridRectangular, f.Map->GridType);
        EXPECT_EQ(4, f.Map->RequestedRows);
        EXPECT_EQ(16u, f.NodeMarkers());
    }
}

TEST(MapPanelCommandsTest, AdaptationStepGrowsOneNodeOnlyWithLinearFractalGrowth)
{
    TMapFixture f;
    EXPECT_FALSE(AdaptationStep(*f.Map, 0));
    EXPECT_EQ(16, f.Map->Grid->NodeCount());

    ASSERT_TRUE(AdaptationStep(*f.Map, 1));
    EXPECT_EQ(17, f.Map->Grid->NodeCount());
    // The per-node arrays follow the grid, so the views and the next step can use them.
    EXPECT_EQ(17u, f.Map->TaxonSizes.size());
    EXPECT_EQ(17, f.Map->NodeCount);
    EXPECT_EQ(17u, f.NodeMarkers());

    f.Map->Training = true;
    EXPECT_THROW(AdaptationStep(*f.Map, 1), TError);
    f.Map->Training = false;
    EXPECT_EQ(17, f.Map->Grid->NodeCount());
}

// While a run trains the map, only its progress routine rebuilds the views (the worker
// waits then); a rebuild from elsewhere would read nodes that are being moved.
TEST(MapPanelCommandsTest, GeometryIsNotRebuiltUnderATrainingRun)
{
    TMapFixture f;
    f.Map->Layers[1].PointObject.Positions.clear();
    f.Map->Training = true;
    EXPECT_FALSE(RefreshMapGeometry(*f.Map));
    EXPECT_TRUE(f.Map->Layers[1].PointObject.Positions.empty());
    f.Map->Training = false;
    EXPECT_TRUE(RefreshMapGeometry(*f.Map));
    EXPECT_EQ(16u, f.NodeMarkers());
}

TEST(MapPanelCommandsTest, AdoptedMapJoinsTheTreeOnceAndBecomesCurrent)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    int connected = 0;
    d.ConnectMap = [&](map::TMap&) { ++connected; };
    d.LoadTableFile(test::WriteXYTable(dir, "t", {{1, 2}, {3, 5}, {4, 1}, {2, 2}, {5, 5}}));
    SetFieldMark(*d.Project()->Script(), 1, true);
    SetFieldMark(*d.Project()->Script(), 2, true);
    d.CreateDataset();
    data::TData& dataset = *d.Project()->Script()->Dataset();

    // As the automatic construction adds a map: outside the dispatcher, layers from the
    // initialisation.
    map::TMap& map = map::AddMap(dataset, "Map011");
    map.RequestedRows = 2;
    map.RequestedColumns = 2;
    map::InitializeMap(map, 3);
    const TUpdate update = d.AdoptMap(map);
    EXPECT_TRUE(update.TreeChanged);
    EXPECT_TRUE(update.MapWindow.Show);
    EXPECT_EQ(MapPanel, update.ShowPanel);
    ASSERT_NE(nullptr, update.Select);
    EXPECT_EQ("Map011", update.Select->Label);
    EXPECT_EQ(&map, d.Current().Map);
    EXPECT_EQ(1, connected);
    const std::string tree = test::DescribeTree(d.Tree().Root());
    EXPECT_NE(std::string::npos, tree.find("      40000 Map011\n        50000 Datasets\n        50002 Coloring\n"
                                           "        60000 Objects\n"))
        << tree;

    // Adopting it again selects the same node and adds nothing.
    const TUpdate again = d.AdoptMap(map);
    EXPECT_EQ(update.Select, again.Select);
    EXPECT_EQ(tree, test::DescribeTree(d.Tree().Root()));
    EXPECT_EQ(1, connected);

    // A map the project does not hold changes nothing.
    data::TData other;
    map::TMap& stranger = map::AddMap(other, "x");
    const TUpdate none = d.AdoptMap(stranger);
    EXPECT_FALSE(none.TreeChanged);
    EXPECT_EQ(nullptr, none.Select);
    EXPECT_EQ(&map, d.Current().Map);
    EXPECT_TRUE(user.Messages.empty());
}

} // namespace
} // namespace orbelin::app

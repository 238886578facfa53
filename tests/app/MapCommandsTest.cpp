// The dispatcher's commands on maps, layer nodes and the map window.
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "app/MapMembers.h"
#include "app/TDispatcher.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;

/// Small maps, so that initialisation is quick.
void TwoByThree(map::TMap& map)
{
    map.RequestedRows = 2;
    map.RequestedColumns = 3;
}

/// One script with a table and two datasets on it; Datasets02 is current.
struct TFixture {
    test::TTempDir& Dir;
    test::TWorkingDirectory Cwd{Dir.Path()};
    TDispatcher D;
    int Connected = 0;

    explicit TFixture(test::TTempDir& dir) : Dir(dir)
    {
        D.ConnectMap = [this](map::TMap&) { ++Connected; };
        D.LoadTableFile(test::WriteXYTable(Dir, "t", {{1, 2}, {3, 5}, {4, 1}, {2, 2}}));
        SetFieldMark(*D.Project()->Script(), 1, true);
        SetFieldMark(*D.Project()->Script(), 2, true);
        D.CreateDataset();
        D.CreateDataset();
    }
    data::TData& Dataset(int k) { return *D.Project()->Script()->Datasets[static_cast<std::size_t>(k)]; }
};

TEST(MapCommandsTest, AddMapNamesInitialisesAndAddsItsNodes)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    const TUpdate first = f.D.AddMap(TwoByThree);
    f.D.AddMap(TwoByThree);
    EXPECT_EQ("10000 t\n  1 Tables\n    20000 t.OBT\n  2 Data\n    30000 Datasets01\n    30001 Datasets02\n"
              "      40000 Map011\n        50000 Datasets\n        50002 Colorings\n        60000 Objects\n"
              "      40001 Map012\n        50000 Datasets\n        50002 Colorings\n        60000 Objects\n",
              test::DescribeTree(f.D.Tree().Root()));
    EXPECT_TRUE(first.MapWindow.Show);
    EXPECT_TRUE(first.TreeChanged);
    EXPECT_EQ(2, f.Connected);
    const map::TMap& map = *f.Dataset(1).Maps[1];
    ASSERT_NE(nullptr, map.Grid);
    EXPECT_EQ(6, map.Grid->NodeCount());
    EXPECT_EQ(map.Data->CurrentMap(), f.D.Current().Map);
    EXPECT_TRUE(user.Messages.empty());

    // Without a current dataset there is nothing to add a map to.
    TDispatcher empty;
    EXPECT_FALSE(empty.AddMap().TreeChanged);
}

// Digits run together: map 11 of dataset 1 and map 1 of dataset 11 would both be "Map0111".
TEST(MapCommandsTest, MapNamesNeverRepeatInAProject)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, test::MakeXYTable("t", {{1, 2}}));
    for (int k = 0; k < 12; ++k)
        AddDataset(script, "d" + std::to_string(k));
    map::AddMap(*script.Datasets[11], NextMapName(project, 0, 11));
    EXPECT_EQ("Map0111", script.Datasets[11]->Maps[0]->Name);
    for (int m = 0; m < 10; ++m)
        map::AddMap(*script.Datasets[1], NextMapName(project, 0, 1));
    EXPECT_EQ("Map0110", script.Datasets[1]->Maps[9]->Name);
    EXPECT_EQ("Map0112", NextMapName(project, 0, 1));
}

TEST(MapCommandsTest, AddMapOnADatasetWithoutPointsKeepsTheMapAndSaysWhy)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.Dataset(1).Points.clear();
    f.Dataset(1).PointCount = 0;
    f.D.AddMap(TwoByThree);
    ASSERT_EQ(1u, f.Dataset(1).Maps.size());
    EXPECT_EQ(nullptr, f.Dataset(1).Maps[0]->Grid);
    EXPECT_EQ(1u, user.Messages.size());
    EXPECT_NE(nullptr, f.D.Tree().MapNode(0, 1, 0));
}

TEST(MapCommandsTest, LayerNodesSetTheLayerAndTheirDatasetAndMapFirst)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.D.SelectNode(*f.D.Tree().DatasetNode(0, 0));
    f.D.AddMap(TwoByThree); // Map001 on Datasets01
    f.D.SelectNode(*f.D.Tree().DatasetNode(0, 1));
    f.D.AddMap(TwoByThree); // Map011
    f.D.AddMap(TwoByThree); // Map012, current
    const TTreeNode* map1 = f.D.Tree().MapNode(0, 1, 1);

    struct TCase {
        const char* Name;
        int Code;
        int Panel;
        std::string Title;
        bool Points, Net;
        int Layer;
    };
    const TCase cases[] = {
        {"data points", 50000, ViewPanel, "     Datapoints ", true, false, 0},
        {"colorings", 50002, ColoringPanel, "", false, false, 2},
        {"selections leave the layer", 60000, SelectionsPanel, "", false, false, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // Start from the other dataset each time.
        f.D.SelectNode(*f.D.Tree().DatasetNode(0, 0));
        const TUpdate update = f.D.SelectNode(*f.D.Tree().MapNode(0, 1, 0)->Child(c.Code));
        EXPECT_EQ(c.Panel, update.ShowPanel);
        EXPECT_EQ(c.Title, update.PanelTitle);
        EXPECT_EQ(c.Points, update.DataPointSwitch);
        EXPECT_EQ(c.Net, update.NetSwitch);
        EXPECT_EQ(&f.Dataset(1), f.D.Current().Dataset);
        EXPECT_EQ(f.Dataset(1).Maps[0].get(), f.D.Current().Map);
        if (c.Layer >= 0) {
            EXPECT_EQ(c.Layer, f.D.Current().Layer);
        }
        EXPECT_TRUE(update.MapWindow.Show) << "the map window moves to the other dataset";
    }
    const TUpdate other = f.D.SelectNode(*map1);
    EXPECT_EQ(MapPanel, other.ShowPanel);
    EXPECT_FALSE(other.MapWindow.Show);
    EXPECT_TRUE(other.MapWindow.SwitchMap);
    EXPECT_EQ(1, f.Dataset(1).ActiveMap);
    EXPECT_EQ(f.D.Tree().MapNode(0, 1, 0), f.D.ListClick(TObjectList::Maps, 0).Select);
}

TEST(MapCommandsTest, DeletingMapsAndDatasetsNeverLeavesTheMapWindowOnAFreedObject)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.D.AddMap(TwoByThree);
    f.D.AddMap(TwoByThree);
    ASSERT_TRUE(f.D.MapWindowOpen());

    TUpdate update = f.D.DeleteMap(1);
    EXPECT_TRUE(update.MapWindow.SwitchMap) << "the shown map is gone";
    EXPECT_FALSE(update.MapWindow.Close);
    EXPECT_EQ(std::vector<int>{MapsPanel}, update.RefreshPanels);
    EXPECT_EQ(f.Dataset(1).Maps[0].get(), f.D.Current().Map);
    EXPECT_EQ("Map011", f.D.Tree().MapNode(0, 1, 0)->Label);
    EXPECT_EQ(nullptr, f.D.Tree().MapNode(0, 1, 1));

    update = f.D.DeleteMap(0);
    EXPECT_TRUE(update.MapWindow.Close);
    EXPECT_FALSE(f.D.MapWindowOpen());
    EXPECT_EQ(10u, update.RefreshPanels.size());

    f.D.AddMap(TwoByThree);
    ASSERT_TRUE(f.D.MapWindowOpen());
    update = f.D.DeleteDataset(1);
    EXPECT_TRUE(update.MapWindow.Close);
    EXPECT_FALSE(f.D.MapWindowOpen());
}

TEST(MapCommandsTest, SaveMapThenLoadMapBringsTableDatasetAndMap)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    fs::create_directory(dir.Path() / "out");
    std::string original;
    {
        TFixture f(dir);
        f.D.AddMap(TwoByThree);
        EXPECT_FALSE(f.D.SaveMap()) << "dialog cancelled";
        user.Files = {(dir.Path() / "out" / "shape").string()};
        ASSERT_TRUE(f.D.SaveMap());
        original = test::DescribeTree(f.D.Tree().Root());
        for (const char* file : {"shape.obm", "t.OBT", "Datasets02.obd"})
            EXPECT_TRUE(fs::exists(dir.Path() / "out" / file)) << file;
    }

    test::TWorkingDirectory cwd(dir.Path());
    TDispatcher d;
    const TUpdate update = d.LoadMapFile((dir.Path() / "out" / "shape.obm").string());
    ASSERT_TRUE(user.Messages.empty()) << user.Messages[0];
    EXPECT_EQ("10000 shape.obm\n  1 Tables\n    20000 t.OBT\n  2 Data\n    30000 shape\n      40000 shape\n"
              "        50000 Datasets\n        50002 Colorings\n        60000 Objects\n",
              test::DescribeTree(d.Tree().Root()));
    EXPECT_TRUE(update.HideDispatcher);
    EXPECT_EQ(ViewPanel, update.ShowPanel);
    EXPECT_EQ("     Datapoints ", update.PanelTitle);
    EXPECT_TRUE(update.DataPointSwitch);
    EXPECT_EQ(d.Tree().MapNode(0, 0, 0)->Child(50000), update.Select);
    ASSERT_NE(nullptr, d.Current().Map);
    ASSERT_NE(nullptr, d.Current().Map->Grid);
    EXPECT_EQ(6, d.Current().Map->Grid->NodeCount());
    EXPECT_EQ(0, d.Current().Layer);
    EXPECT_EQ(4, d.Current().Dataset->PointCount);

    fs::remove(dir.Path() / "out" / "Datasets02.obd");
    d.LoadMapFile((dir.Path() / "out" / "shape.obm").string());
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("its dataset Datasets02.obd is not in the folder"))
        << user.Messages[0];
}

TEST(MapCommandsTest, RenameAMapUnlessAnotherMapHasThatName)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.D.AddMap(TwoByThree);
    f.D.AddMap(TwoByThree);
    EXPECT_TRUE(f.D.Rename(*f.D.Tree().MapNode(0, 1, 0), "first"));
    EXPECT_EQ("first", f.Dataset(1).Maps[0]->Name);
    EXPECT_FALSE(f.D.Rename(*f.D.Tree().MapNode(0, 1, 1), "FIRST"));
    EXPECT_EQ("Map012", f.Dataset(1).Maps[1]->Name);
    EXPECT_EQ(1u, user.Messages.size());
    EXPECT_FALSE(f.D.Rename(*f.D.Tree().MapNode(0, 1, 1)->Child(50002), "Paint"));
    EXPECT_EQ("Colorings", f.D.Tree().MapNode(0, 1, 1)->Child(50002)->Label);
}

} // namespace
} // namespace orbelin::app

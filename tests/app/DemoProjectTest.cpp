// The demonstration project: what is loaded from the embedded files or a folder, and what
// is reported missing.
#include "app/DemoProject.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "app/MapMembers.h"
#include "app/TDispatcher.h"
#include "data/DatasetFile.h"
#include "data/Resources.h"
#include "map/MapFile.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "view/PointSetFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

/// Writes a complete demonstration project into the folder: the embedded table, a dataset
/// of its four numeric fields, a 4 x 4 map on it, two point-style sets and one
/// visibility set.
void WriteDemoFolder(const test::TTempDir& dir)
{
    data::TDataTable table;
    data::LoadTable(table, "IRIS.OBT", data::TTableKind::Resource);
    data::SaveTable(table, dir.File("IRIS.OBT"));

    TProject project;
    TScript& script = AddScript(project, "");
    AppendTable(script, std::move(table));
    for (int field = 0; field < 4; ++field)
        ASSERT_TRUE(SetFieldMark(script, field, true));
    TCreateDatasetResult created = CreateDataset(script, false);
    ASSERT_NE(nullptr, created.Dataset);
    data::TData& dataset = *created.Dataset;
    dataset.Name = "IRIS";
    data::WriteDatasetFile(dataset, dir.File("IRIS.obd"));

    map::TMap& map = map::AddMap(dataset, "IRIS_PC");
    map.RequestedRows = map.RequestedColumns = 4;
    map::AddLayer(map, "Datasets");
    ComputeComponentsInto(map);
    map::InitializeMap(map, 3, false);
    map::WriteMapFileTo(map, dir.File("IRIS_PC.OBM"));

    std::vector<view::TStyleSet> styles(2, script.Table()->PointStyles);
    styles[1][0][FILLCOLOR] = 0xFF;
    view::WriteStyleSets(dir.File("IRIS.OBC"), styles, {"All", "First red"});
    TArray1I flags(static_cast<std::size_t>(dataset.PointCount), 1);
    flags[0] = 0;
    view::WriteVisibilitySets(dir.File("IRIS.OBS"), {flags}, {"Without the first"});
}

TEST(DemoProjectTest, CompleteFolderLoadsLikeLoadMapWithTheSets)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    WriteDemoFolder(dir);

    TDispatcher d;
    int connected = 0;
    d.ConnectMap = [&](map::TMap&) { ++connected; };
    TDemoFiles files;
    files.Folder = dir.Path().string();
    TDemoReport report;
    const TUpdate update = d.LoadDemo(files, report);

    EXPECT_TRUE(report.Complete()) << report.Message();
    EXPECT_EQ("", report.Message());
    EXPECT_EQ((std::vector<std::string>{"IRIS.OBT", "IRIS.OBD", "IRIS_PC.OBM", "IRIS.OBC", "IRIS.OBS"}), report.Loaded);
    // The script added when there is none has an empty name.
    EXPECT_EQ("10000 \n  1 Tables\n    20000 IRIS.OBT\n  2 Data\n    30000 IRIS_PC\n      40000 IRIS_PC\n"
              "        50000 Datasets\n        50002 Colorings\n        60000 Objects\n",
              test::DescribeTree(d.Tree().Root()));
    EXPECT_EQ(1, connected);

    const TCurrentChain& chain = d.Current();
    ASSERT_NE(nullptr, chain.Map);
    ASSERT_NE(nullptr, chain.Map->Grid);
    EXPECT_EQ(16, chain.Map->Grid->NodeCount());
    EXPECT_EQ(150, chain.Dataset->PointCount);
    EXPECT_EQ(4, chain.Dataset->CoordCount);
    EXPECT_EQ(chain.Table, chain.Dataset->Table);
    EXPECT_EQ((TArray1S{"All", "First red"}), chain.Dataset->StyleSetNames);
    EXPECT_EQ(0xFF, chain.Dataset->StyleSets[1][0][FILLCOLOR]);
    EXPECT_EQ((TArray1S{"Without the first"}), chain.Dataset->VisibilitySetNames);
    // The dataset file's choices come back into the Table panel.
    const std::vector<data::TFieldChoice>& choices = *CurrentChoices(*chain.Script);
    EXPECT_TRUE(choices[0].Use && choices[3].Use && !choices[4].Use);

    EXPECT_TRUE(report.SelectFirstSets);
    EXPECT_TRUE(report.Connections);
    // One segment from every point to the map.
    ASSERT_EQ(1u, chain.Dataset->LineSets.size());
    EXPECT_EQ(150u, chain.Dataset->LineSets[0].Segments.size());
    // As Load map: the data points' panel, the map window, the dispatcher hidden.
    EXPECT_EQ(ViewPanel, update.ShowPanel);
    EXPECT_EQ("     Datapoints ", update.PanelTitle);
    EXPECT_TRUE(update.DataPointSwitch);
    ASSERT_NE(nullptr, update.Select);
    EXPECT_EQ(50000, update.Select->Code);
    EXPECT_TRUE(update.MapWindow.Show);
    EXPECT_TRUE(update.HideDispatcher);
    EXPECT_TRUE(user.Messages.empty());
}

TEST(DemoProjectTest, LoadsWhatIsThereAndNamesTheRest)
{
    struct TCase {
        const char* Name;
        std::vector<std::string> Remove;
        std::string Corrupt; ///< a file overwritten with text that is not its format
        std::vector<std::string> Missing;
        bool Errors;
        int Panel;
        std::string Tree;
    };
    const std::string withMap = "10000 \n  1 Tables\n    20000 IRIS.OBT\n  2 Data\n    30000 IRIS_PC\n"
                                "      40000 IRIS_PC\n        50000 Datasets\n        50002 Colorings\n"
                                "        60000 Objects\n";
    const std::string tableOnly = "10000 \n  1 Tables\n    20000 IRIS.OBT\n  2 Data\n";
    const TCase cases[] = {
        {"no sets", {"IRIS.OBC", "IRIS.OBS"}, "", {"IRIS.OBC", "IRIS.OBS"}, false, ViewPanel, withMap},
        {"no dataset: the table's fields are shown", {"IRIS.obd"}, "", {"IRIS.OBD"}, false, TablePanel, tableOnly},
        {"no map: the dataset gets a fresh one",
         {"IRIS_PC.OBM"},
         "",
         {"IRIS_PC.OBM"},
         false,
         ViewPanel,
         "10000 \n  1 Tables\n    20000 IRIS.OBT\n  2 Data\n    30000 IRIS\n      40000 IRIS\n"
         "        50000 Datasets\n        50002 Colorings\n        60000 Objects\n"},
        {"nothing but the sets",
         {"IRIS.OBT", "IRIS.obd", "IRIS_PC.OBM"},
         "",
         {"IRIS_PC.OBM", "IRIS.OBT", "IRIS.OBD"},
         false,
         NoPanel,
         ""},
        {"a damaged set file", {}, "IRIS.OBC", {}, true, ViewPanel, withMap},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        test::TScriptedUser user;
        WriteDemoFolder(dir);
        for (const std::string& name : c.Remove)
            fs::remove(dir.File(name));
        if (!c.Corrupt.empty())
            test::WriteBytes(dir.File(c.Corrupt), "2\r\nname\r\n1 2 x \r\n");

        TDispatcher d;
        TDemoFiles files;
        files.Folder = dir.Path().string();
        TDemoReport report;
        const TUpdate update = d.LoadDemo(files, report);
        EXPECT_EQ(c.Missing, report.Missing);
        EXPECT_EQ(c.Errors, !report.Errors.empty());
        EXPECT_FALSE(report.Complete());
        for (const std::string& name : c.Missing)
            EXPECT_NE(std::string::npos, report.Message().find(name)) << report.Message();
        EXPECT_EQ(c.Panel, update.ShowPanel);
        EXPECT_EQ(c.Tree, test::DescribeTree(d.Tree().Root()));
        // A damaged set file costs the set, not the rest.
        if (c.Errors) {
            EXPECT_TRUE(d.Current().Dataset->StyleSets.empty());
        }
        EXPECT_FALSE(update.HideDispatcher && c.Panel != ViewPanel);
    }
}

// The program carries some of the demonstration files; whatever is embedded is loaded and
// every other one is named.
TEST(DemoProjectTest, EmbeddedFilesAreLoadedAndTheOthersNamed)
{
    test::TScriptedUser user;
    TDispatcher d;
    TDemoReport report;
    d.LoadDemo(TDemoFiles(), report);
    const TDemoFiles names;
    ASSERT_TRUE(data::FindResource(names.Table).has_value());
    EXPECT_EQ(names.Table, report.Loaded.at(0));
    for (const std::string& name : {names.Map, names.Dataset, names.StyleSets, names.VisibilitySets}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(data::FindResource(name).has_value(), Contains(report.Loaded, name));
        EXPECT_EQ(!data::FindResource(name).has_value(), Contains(report.Missing, name));
    }
    EXPECT_TRUE(report.Errors.empty()) << report.Message();
    ASSERT_NE(nullptr, d.Tree().ScriptNode(0));
    EXPECT_EQ("", d.Tree().ScriptNode(0)->Label);
    ASSERT_NE(nullptr, d.Tree().TableNode(0, 0));
    EXPECT_EQ("IRIS.OBT", d.Tree().TableNode(0, 0)->Label);
    EXPECT_EQ(150, d.Current().Table->RecordCount);
}

} // namespace
} // namespace orbelin::app

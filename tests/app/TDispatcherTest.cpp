// The object dispatcher: selection, lists, renaming and the commands that change the tree.
#include "app/TDispatcher.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "app/FileDialogs.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;
using TAnswer = TUserInterface::TAnswer;

/// A dispatcher with an empty project, two scripts ("Script1", "Script2") and, in the
/// second, the tables t0 and t1 with a dataset on t1.
struct TFixture {
    test::TTempDir& Dir;
    test::TWorkingDirectory Cwd{Dir.Path()};
    TDispatcher D;

    explicit TFixture(test::TTempDir& dir) : Dir(dir)
    {
        D.NewProject();
        D.AddScript();
        D.AddScript();
        for (const char* name : {"t0", "t1"})
            D.LoadTableFile(test::WriteXYTable(Dir, name, {{1, 2}, {3, 4}, {5, 7}}));
        SetFieldMark(*D.Project()->Script(), 1, true);
        D.CreateDataset();
    }
    TScript& Script(int s) { return *D.Project()->Scripts[static_cast<std::size_t>(s)]; }
};

TEST(TDispatcherTest, SelectingANodeMakesItsObjectsCurrentAndShowsItsPanel)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    const TObjectTree& tree = f.D.Tree();
    struct TCase {
        const char* Name;
        const TTreeNode* Node;
        int Panel, Script, Table, Dataset, Page;
    };
    const TCase cases[] = {
        {"script", tree.ScriptNode(0), ScriptsPanel, 0, 0, -1, -1},
        {"tables folder", tree.ScriptNode(1)->Child(TablesFolderCode), TablesPanel, 1, 1, 0, -1},
        {"datasets folder", tree.ScriptNode(1)->Child(DatasetsFolderCode), DatasetsPanel, 1, 1, 0, -1},
        {"table", tree.TableNode(1, 0), TablePanel, 1, 0, 0, 0},
        {"dataset", tree.DatasetNode(1, 0), MapsPanel, 1, 0, 0, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_NE(nullptr, c.Node);
        const TUpdate update = f.D.SelectNode(*c.Node);
        EXPECT_EQ(c.Panel, update.ShowPanel);
        EXPECT_EQ(c.Page, update.TablePage);
        EXPECT_EQ(c.Script, f.D.Project()->CurrentScript);
        EXPECT_EQ(c.Table, f.D.Project()->Script()->CurrentTable);
        EXPECT_EQ(c.Dataset, f.D.Project()->Script()->CurrentDataset);
        EXPECT_EQ(f.D.Project()->Script(), f.D.Current().Script);
        EXPECT_EQ(f.D.Project()->Script()->Table(), f.D.Current().Table);
    }

    // Script 0 has no table: selecting it refreshes the Tables panel, which closes the
    // table window.
    const TUpdate noTable = f.D.SelectNode(*tree.ScriptNode(0));
    EXPECT_EQ(std::vector<int>{TablesPanel}, noTable.RefreshPanels);
    // A table of another script shows that script's table, not the current script's.
    f.D.SelectNode(*tree.ScriptNode(0));
    f.D.SelectNode(*tree.TableNode(1, 1));
    EXPECT_EQ(f.Script(1).Tables[1].get(), f.D.Current().Table);
}

TEST(TDispatcherTest, ListClicksSelectTheNodeAndEchoesAreIgnored)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    const TUpdate update = f.D.ListClick(TObjectList::Tables, 0);
    EXPECT_EQ(f.D.Tree().TableNode(1, 0), update.Select);
    EXPECT_EQ(TablePanel, update.ShowPanel);
    EXPECT_EQ(0, f.Script(1).CurrentTable);

    {
        // While the windows apply that update, the list and tree report the changes they
        // are told to make; those echoes change nothing.
        TDispatcher::TSyncScope scope(f.D);
        EXPECT_TRUE(f.D.ListClick(TObjectList::Tables, 1).Ignored);
        EXPECT_TRUE(f.D.SelectNode(*f.D.Tree().ScriptNode(0)).Ignored);
    }
    EXPECT_EQ(0, f.Script(1).CurrentTable);
    EXPECT_EQ(1, f.D.Project()->CurrentScript);
    EXPECT_FALSE(f.D.ListClick(TObjectList::Scripts, 0).Ignored);
    EXPECT_EQ(0, f.D.Project()->CurrentScript);
    EXPECT_EQ(nullptr, f.D.ListClick(TObjectList::Datasets, 3).Select);
}

TEST(TDispatcherTest, AddAndDeleteScriptsRenumberTheirNodes)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    const TUpdate added = f.D.AddScript();
    EXPECT_EQ("Script3", f.D.Project()->Scripts[2]->Name);
    EXPECT_EQ(2, f.D.Project()->CurrentScript);
    EXPECT_EQ(f.D.Tree().ScriptNode(2), added.Select);
    EXPECT_EQ(ScriptsPanel, added.ShowPanel);

    f.D.DeleteScript(0);
    EXPECT_EQ("10000 Script2\n"
              "  1 Tables\n"
              "    20000 t0.OBT\n"
              "    20001 t1.OBT\n"
              "  2 Data\n"
              "    30000 Datasets11\n"
              "10001 Script3\n"
              "  1 Tables\n"
              "  2 Data\n",
              test::DescribeTree(f.D.Tree().Root()));
    EXPECT_EQ(1, f.D.Project()->CurrentScript);
    f.D.DeleteScript(0);
    const TUpdate last = f.D.DeleteScript(0);
    EXPECT_EQ("", test::DescribeTree(f.D.Tree().Root()));
    EXPECT_EQ(10u, last.RefreshPanels.size());
    EXPECT_FALSE(f.D.DeleteScript(0).TreeChanged);
}

TEST(TDispatcherTest, DeleteTableAsksBeforeTakingItsDatasets)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.D.SelectNode(*f.D.Tree().TableNode(1, 0));
    SetFieldMark(f.Script(1), 2, true);
    f.D.CreateDataset(); // on t0: Datasets12
    ASSERT_EQ(2u, f.Script(1).Datasets.size());

    user.Answers = {TAnswer::No};
    EXPECT_FALSE(f.D.DeleteTable(1).TreeChanged);
    ASSERT_EQ(1u, user.Questions.size());
    EXPECT_EQ("The datasets Datasets11 are built on the table t1.OBT. Delete them together with the table?",
              user.Questions[0]);
    EXPECT_EQ(2u, f.Script(1).Tables.size());

    user.Answers = {TAnswer::Yes};
    f.D.DeleteTable(1);
    EXPECT_EQ("10000 Script1\n  1 Tables\n  2 Data\n"
              "10001 Script2\n  1 Tables\n    20000 t0.OBT\n  2 Data\n    30000 Datasets12\n",
              test::DescribeTree(f.D.Tree().Root()));
    ASSERT_EQ(1u, f.Script(1).Datasets.size());
    EXPECT_EQ(f.Script(1).Tables[0].get(), f.Script(1).Datasets[0]->Table);

    // A table without datasets goes without a question.
    user.Questions.clear();
    const TUpdate last = f.D.DeleteTable(0);
    EXPECT_EQ(1u, user.Questions.size()) << "Datasets12 is on t0";
    EXPECT_FALSE(last.TreeChanged) << "the scripted user ran out of answers: Cancel";
}

TEST(TDispatcherTest, DeleteDatasetRenumbersAndRefreshesWhenTheListEmpties)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.D.CreateDataset();
    f.D.CreateDataset();
    f.D.DeleteDataset(0);
    const TTreeNode* folder = f.D.Tree().ScriptNode(1)->Child(DatasetsFolderCode);
    ASSERT_EQ(2u, folder->Children.size());
    EXPECT_EQ(30000, folder->Children[0]->Code);
    EXPECT_EQ("Datasets12", folder->Children[0]->Label);
    EXPECT_EQ(30001, folder->Children[1]->Code);
    EXPECT_EQ(1, f.Script(1).CurrentDataset);
    EXPECT_EQ(std::vector<int>{DatasetsPanel}, f.D.DeleteDataset(1).RefreshPanels);
    EXPECT_EQ(10u, f.D.DeleteDataset(0).RefreshPanels.size());
    EXPECT_TRUE(folder->Children.empty());
}

TEST(TDispatcherTest, CreateDatasetAddsANodeAndTellsAboutValuesThatAreNotNumbers)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    EXPECT_FALSE(d.CreateDataset().TreeChanged);
    data::SaveTable(test::MakeTable({{"A", TFieldType::Float}}, {{"1"}, {"x"}, {"3"}}, "bad"), dir.File("bad.obt"));
    d.LoadTableFile(dir.File("bad.obt"));
    EXPECT_FALSE(d.CreateDataset().TreeChanged) << "no field marked";
    SetFieldMark(*d.Project()->Script(), 0, true);
    d.ExcludeGaps = true;
    const TUpdate update = d.CreateDataset();
    EXPECT_TRUE(update.TreeChanged);
    EXPECT_EQ("10000 bad\n  1 Tables\n    20000 bad.OBT\n  2 Data\n    30000 Datasets01\n",
              test::DescribeTree(d.Tree().Root()));
    EXPECT_EQ(2, d.Current().Dataset->PointCount);
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("record 2, field \"A\"")) << user.Messages[0];
}

TEST(TDispatcherTest, LoadTableChoosesTheReaderByExtension)
{
    struct TCase {
        const char* Path;
        data::TTableKind Kind;
    };
    const TCase cases[] = {
        {"a/b.obt", data::TTableKind::TableFile}, {"B.OBT", data::TTableKind::TableFile},
        {"x.dat", data::TTableKind::TextData},    {"x.DAT", data::TTableKind::TextData},
        {"x.csv", data::TTableKind::Csv},         {"x.Tsv", data::TTableKind::Csv},
        {"x.dbf", data::TTableKind::Database},    {"x.db", data::TTableKind::Database},
        {"x.txt", data::TTableKind::Database},    {"noextension", data::TTableKind::Database},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(c.Kind, TableKindOfFile(c.Path));
    }
}

TEST(TDispatcherTest, LoadTableStartsAProjectAndKeepsWhatWasAddedOnError)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    user.Files = {dir.File("absent.obt")};
    const TUpdate update = d.LoadTable();
    EXPECT_EQ(std::string(OpenFilterText(OpenTableFilter)), user.DialogFilters.at(0));
    ASSERT_NE(nullptr, d.Project());
    EXPECT_TRUE(update.ShowObjectWindows);
    EXPECT_EQ("10000 absent\n  1 Tables\n  2 Data\n", test::DescribeTree(d.Tree().Root()));
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("absent.obt")) << user.Messages[0];

    user.Files = {test::WriteXYTable(dir, "good", {{1, 2}})};
    EXPECT_EQ(std::vector<int>{TablesPanel}, d.LoadTable().RefreshPanels);
    EXPECT_EQ("good.OBT", d.Current().Table->Name);
    EXPECT_EQ(1u, d.Project()->Scripts.size());
}

TEST(TDispatcherTest, LoadDatasetBringsItsTableOrFailsBeforeAddingTheDataset)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    {
        TFixture f(dir);
        f.D.SelectNode(*f.D.Tree().DatasetNode(1, 0));
        ASSERT_TRUE(f.D.SaveDataTo(dir.File("saved.obd")));
    }
    fs::create_directory(dir.Path() / "alone");
    fs::copy_file(dir.File("saved.obd"), dir.Path() / "alone" / "saved.obd");

    test::TWorkingDirectory cwd(dir.Path());
    TDispatcher d;
    d.LoadDatasetFile((dir.Path() / "alone" / "saved.obd").string());
    EXPECT_EQ("10000 saved.obd\n  1 Tables\n  2 Data\n", test::DescribeTree(d.Tree().Root()));
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("its table t1.OBT is not in the folder")) << user.Messages[0];

    const TUpdate update = d.LoadDatasetFile(dir.File("saved.obd"));
    // The dataset comes with a map, initialised, whose layers get their nodes.
    EXPECT_EQ("10000 saved.obd\n  1 Tables\n    20000 t1.OBT\n  2 Data\n    30000 saved\n      40000 saved\n"
              "        50000 Datasets\n        50002 Colorings\n        60000 Objects\n",
              test::DescribeTree(d.Tree().Root()));
    EXPECT_TRUE(update.MapWindow.Show && update.MapWindow.Maximise);
    ASSERT_NE(nullptr, d.Current().Map);
    EXPECT_NE(nullptr, d.Current().Map->Grid);
    const TScript& script = *d.Project()->Script();
    EXPECT_EQ(3, script.Datasets[0]->PointCount);
    EXPECT_EQ(script.Tables[0].get(), script.Datasets[0]->Table);
    EXPECT_TRUE(script.FieldChoices[0][1].Use);
    EXPECT_FALSE(script.FieldChoices[0][2].Use);
}

TEST(TDispatcherTest, RenameChangesTheObjectOrRefusesTheName)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    f.D.CreateDataset(); // Datasets12
    const TObjectTree& tree = f.D.Tree();
    struct TCase {
        const char* Name;
        const TTreeNode* Node;
        std::string Label;
        bool Renamed;
    };
    const TCase cases[] = {
        {"script", tree.ScriptNode(0), "First", true},
        {"table", tree.TableNode(1, 0), "renamed.OBT", true},
        {"dataset", tree.DatasetNode(1, 0), "mine", true},
        {"dataset taken", tree.DatasetNode(1, 1), "MINE", false},
        {"table taken", tree.TableNode(1, 1), "RENAMED.obt", false},
        {"dataset with folder", tree.DatasetNode(1, 1), "../x", false},
        {"empty script name", tree.ScriptNode(1), "", false},
        {"folder", tree.ScriptNode(1)->Child(TablesFolderCode), "Mine", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string before = c.Node->Label;
        user.Messages.clear();
        EXPECT_EQ(c.Renamed, f.D.Rename(*c.Node, c.Label));
        EXPECT_EQ(c.Renamed ? c.Label : before, c.Node->Label);
    }
    EXPECT_EQ("First", f.Script(0).Name);
    EXPECT_EQ("renamed.OBT", f.Script(1).Tables[0]->Name);
    EXPECT_EQ("mine", f.Script(1).Datasets[0]->Name);
    EXPECT_EQ("Datasets12", f.Script(1).Datasets[1]->Name);
    EXPECT_EQ("Tables", tree.ScriptNode(1)->Child(TablesFolderCode)->Label);
}

TEST(TDispatcherTest, SaveDataWritesTheDatasetAndItsOwnTable)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TFixture f(dir);
    fs::create_directory(dir.Path() / "out");
    // The current table is t0, the dataset's table t1.
    f.D.SelectNode(*f.D.Tree().TableNode(1, 0));
    user.Files = {(dir.Path() / "out" / "copy").string()};
    ASSERT_TRUE(f.D.SaveData());
    EXPECT_EQ(std::string(SaveFilterText(SaveDatasetFilter)), user.DialogFilters.at(0));
    EXPECT_TRUE(fs::exists(dir.Path() / "out" / "copy.obd"));
    EXPECT_TRUE(fs::exists(dir.Path() / "out" / "t1.OBT"));
    EXPECT_FALSE(fs::exists(dir.Path() / "out" / "t0.OBT"));
    EXPECT_EQ(fs::canonical(dir.Path() / "out"), fs::current_path())
        << "the dialog's folder becomes the working directory";
}

TEST(TDispatcherTest, ZoomSliderFollowsTheViewZoom)
{
    struct TCase {
        double Z;
        int Position;
    };
    for (const TCase& c : {TCase{-10000.0 / 300 + 19, 300}, {-1, 500}, {-3981, 2}, {-19981, 0}}) {
        SCOPED_TRACE(c.Z);
        EXPECT_EQ(c.Position, ZoomSliderPosition(c.Z));
    }
}

} // namespace
} // namespace orbelin::app

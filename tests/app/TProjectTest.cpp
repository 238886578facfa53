// Ownership and current indices of projects and scripts.
#include "app/TProject.h"
#include "AppTestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

TEST(TProjectTest, RemoveScriptMovesCurrentDownWhicheverScriptGoes)
{
    struct TCase {
        const char* Name;
        int Count, Current, Removed, ExpectedCurrent;
        std::vector<std::string> Left;
    };
    const TCase cases[] = {
        {"current after removed", 3, 2, 0, 1, {"s1", "s2"}}, {"current before removed", 3, 1, 2, 0, {"s0", "s1"}},
        {"current removed at 0", 3, 0, 0, 0, {"s1", "s2"}},  {"last one", 1, 0, 0, -1, {}},
        {"outside the list", 2, 1, 5, 1, {"s0", "s1"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProject project;
        for (int i = 0; i < c.Count; ++i)
            AddScript(project, "s" + std::to_string(i));
        project.CurrentScript = c.Current;
        RemoveScript(project, c.Removed);
        EXPECT_EQ(c.ExpectedCurrent, project.CurrentScript);
        std::vector<std::string> left;
        for (const auto& s : project.Scripts)
            left.push_back(s->Name);
        EXPECT_EQ(c.Left, left);
    }
}

TEST(TProjectTest, AddTableAppendsAChoiceRowOrLeavesTheScriptAsItWas)
{
    test::TTempDir dir;
    const std::string good = test::WriteXYTable(dir, "good", {{1, 2}, {3, 4}});
    TProject project;
    TScript& script = AddScript(project, "s");
    EXPECT_EQ(nullptr, script.Table());

    data::TDataTable& table = AddTable(script, good, data::TTableKind::TableFile);
    EXPECT_EQ(0, script.CurrentTable);
    EXPECT_EQ(&table, script.Table());
    ASSERT_EQ(1u, script.FieldChoices.size());
    ASSERT_EQ(3u, script.FieldChoices[0].size());
    for (const data::TFieldChoice& c : script.FieldChoices[0])
        EXPECT_FALSE(c.Use || c.Log || c.Tanh || c.Range || c.Std);

    ORBELIN_EXPECT_ERROR(AddTable(script, dir.File("absent.obt"), data::TTableKind::TableFile), "absent.obt");
    EXPECT_EQ(1u, script.Tables.size());
    EXPECT_EQ(1u, script.FieldChoices.size());
    EXPECT_EQ(0, script.CurrentTable) << "a failed load must not move the current table past the end";
}

TEST(TProjectTest, AddDatasetRefersToTheCurrentTable)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, test::MakeXYTable("a", {{1, 2}}));
    data::TDataTable& second = AppendTable(script, test::MakeXYTable("b", {{1, 2}}));
    data::TData& dataset = AddDataset(script, "d");
    EXPECT_EQ(&second, dataset.Table);
    EXPECT_EQ(&script, dataset.Script);
    EXPECT_EQ(3u, dataset.UsedFields.size());
    EXPECT_EQ(0, script.CurrentDataset);
    EXPECT_EQ(&dataset, script.Dataset());
}

// Datasets on the removed table go with it; the others keep a valid table.
TEST(TProjectTest, RemoveTableTakesItsDatasetsAndLeavesNoDanglingTable)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, test::MakeXYTable("a", {{1, 2}}));
    script.FieldChoices[0][1].Use = true;
    AddDataset(script, "onA1");
    data::TDataTable& b = AppendTable(script, test::MakeXYTable("b", {{1, 2}}));
    script.FieldChoices[1][2].Log = true;
    AddDataset(script, "onB");
    script.CurrentTable = 0;
    AddDataset(script, "onA2");
    script.CurrentTable = 1;
    ASSERT_EQ((std::vector<int>{0, 2}), DatasetsOnTable(script, 0));

    RemoveTable(script, 0);
    ASSERT_EQ(1u, script.Tables.size());
    ASSERT_EQ(1u, script.Datasets.size());
    EXPECT_EQ("onB", script.Datasets[0]->Name);
    EXPECT_EQ(&b, script.Datasets[0]->Table);
    ASSERT_EQ(1u, script.FieldChoices.size());
    EXPECT_TRUE(script.FieldChoices[0][2].Log) << "the remaining table keeps its own choices";
    EXPECT_EQ(0, script.CurrentTable);
    EXPECT_EQ(0, script.CurrentDataset);

    RemoveTable(script, 0);
    EXPECT_TRUE(script.Tables.empty());
    EXPECT_TRUE(script.Datasets.empty());
    EXPECT_EQ(nullptr, script.Table());
    EXPECT_EQ(nullptr, script.Dataset());
}

TEST(TProjectTest, RemoveDatasetKeepsCurrentInsideTheList)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, test::MakeXYTable("a", {{1, 2}}));
    for (const char* name : {"d0", "d1", "d2"})
        AddDataset(script, name);
    RemoveDataset(script, 2);
    EXPECT_EQ(1, script.CurrentDataset);
    RemoveDataset(script, 0);
    EXPECT_EQ(0, script.CurrentDataset);
    EXPECT_EQ("d1", script.Dataset()->Name);
    RemoveDataset(script, 0);
    EXPECT_EQ(-1, script.CurrentDataset);
}

} // namespace
} // namespace orbelin::app

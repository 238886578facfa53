// Load table in two steps gives what the one-step command gives.
#include "app/TableImport.h"
#include "AppTestUtil.h"
#include "app/TDispatcher.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

TEST(TableImportTest, AddingAnImportedTableMatchesLoadTable)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    const std::string first = test::WriteXYTable(dir, "first", {{1, 2}, {3, 4}});
    const std::string second = test::WriteXYTable(dir, "second", {{5, 6}});

    TDispatcher direct, twoSteps;
    for (const std::string& path : {first, second}) {
        const TUpdate a = direct.LoadTableFile(path);
        const TUpdate b = twoSteps.AddLoadedTable(ImportTable(path));
        EXPECT_EQ(a.TreeChanged, b.TreeChanged);
        EXPECT_EQ(a.RefreshPanels, b.RefreshPanels);
        EXPECT_EQ(a.ShowObjectWindows, b.ShowObjectWindows);
    }
    // The first table names the script added for it.
    EXPECT_EQ("10000 first\n  1 Tables\n    20000 first.OBT\n    20001 second.OBT\n  2 Data\n",
              test::DescribeTree(twoSteps.Tree().Root()));
    EXPECT_EQ(test::DescribeTree(direct.Tree().Root()), test::DescribeTree(twoSteps.Tree().Root()));
    const TScript& script = *twoSteps.Project()->Script();
    EXPECT_EQ(1, script.CurrentTable);
    ASSERT_EQ(2u, script.FieldChoices.size());
    EXPECT_EQ(3u, script.FieldChoices[1].size());

    ORBELIN_EXPECT_ERROR(ImportTable(dir.File("missing.obt")), "missing.obt");
}

// The table window adds derived tables and re-reads tables behind the dispatcher's back; the
// tree follows.
TEST(TableImportTest, TablesAddedOrRereadElsewhereGetTheirNodes)
{
    test::TTempDir dir;
    test::TScriptedUser user;
    TDispatcher d;
    d.LoadTableFile(test::WriteXYTable(dir, "first", {{1, 2}, {3, 4}}));
    TScript& script = *d.Project()->Script();
    AppendTable(script, test::MakeXYTable("derived", {{1, 1}}));

    const TUpdate added = d.TableAppended(1);
    EXPECT_EQ("10000 first\n  1 Tables\n    20000 first.OBT\n    20001 derived.OBT\n  2 Data\n",
              test::DescribeTree(d.Tree().Root()));
    ASSERT_NE(nullptr, added.Select);
    EXPECT_EQ(20001, added.Select->Code);
    EXPECT_EQ(TablePanel, added.ShowPanel);
    EXPECT_EQ(1, added.TablePage);
    EXPECT_FALSE(d.TableAppended(5).TreeChanged);

    script.Tables[0]->Name = "other.OBT";
    const TUpdate reread = d.TableReread(0);
    EXPECT_TRUE(reread.TreeChanged);
    EXPECT_EQ("other.OBT", d.Tree().TableNode(0, 0)->Label);
}

} // namespace
} // namespace orbelin::app

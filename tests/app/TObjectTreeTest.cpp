// Node codes, labels and renumbering of the object tree.
#include "app/TObjectTree.h"
#include "AppTestUtil.h"
#include "app/TProject.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

TEST(TObjectTreeTest, CodesGiveKindAndIndex)
{
    struct TCase {
        int Code;
        TNodeKind Kind;
        int Index;
    };
    const TCase cases[] = {
        {1, TNodeKind::TablesFolder, 0},   {2, TNodeKind::DatasetsFolder, 0}, {10000, TNodeKind::Script, 0},
        {10012, TNodeKind::Script, 12},    {20003, TNodeKind::Table, 3},      {30000, TNodeKind::Dataset, 0},
        {40007, TNodeKind::Map, 7},        {50000, TNodeKind::Layer, 0},      {50002, TNodeKind::Layer, 2},
        {60000, TNodeKind::Selections, 0}, {60001, TNodeKind::Selections, 1}, {0, TNodeKind::None, 0},
        {70000, TNodeKind::None, 0},       {9999, TNodeKind::None, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(c.Kind, KindOfCode(c.Code));
        EXPECT_EQ(c.Index, IndexOfCode(c.Code));
    }
    struct TLayerCase {
        int Layer, Code;
    };
    for (const TLayerCase& c : {TLayerCase{0, 50000}, {1, -1}, {2, 50002}, {3, 60000}, {4, 60001}, {-1, -1}}) {
        SCOPED_TRACE(c.Layer);
        EXPECT_EQ(c.Code, LayerNodeCode(c.Layer));
    }
}

TEST(TObjectTreeTest, RebuiltAndAddedNodesAreLabelledDifferently)
{
    TProject project;
    TScript& a = AddScript(project, "alpha");
    AppendTable(a, test::MakeXYTable("t1", {{1, 2}}));
    AppendTable(a, test::MakeXYTable("t2", {{1, 2}}));
    AddDataset(a, "d1");
    AddScript(project, "beta");
    TObjectTree tree;
    tree.Rebuild(project);
    EXPECT_EQ("10000 Script alpha\n"
              "  1 Tables\n"
              "    20000 t1.OBT\n"
              "    20001 t2.OBT\n"
              "  2 Datasets\n"
              "    30000 d1\n"
              "10001 Script beta\n"
              "  1 Tables\n"
              "  2 Datasets\n",
              test::DescribeTree(tree.Root()));

    tree.AddScript(2, "gamma");
    tree.AddTable(2, 0, "t3.OBT");
    tree.AddDataset(2, 0, "d2");
    EXPECT_EQ(nullptr, tree.AddTable(5, 0, "no script"));
    EXPECT_EQ("10002 gamma\n  1 Tables\n    20000 t3.OBT\n  2 Data\n    30000 d2\n",
              test::DescribeTree(tree.Root()).substr(test::DescribeTree(tree.Root()).find("10002")));
}

// Removing a node moves the codes of the following siblings down; their own children
// keep their codes.
TEST(TObjectTreeTest, RemovalRenumbersFollowingSiblings)
{
    TObjectTree tree;
    for (int s = 0; s < 3; ++s) {
        tree.AddScript(s, "s" + std::to_string(s));
        for (int t = 0; t < 3; ++t)
            tree.AddTable(s, t, "t" + std::to_string(t));
        tree.AddDataset(s, 0, "d");
    }
    tree.RemoveScript(0);
    ASSERT_EQ(2u, tree.Root().Children.size());
    EXPECT_EQ(10000, tree.Root().Children[0]->Code);
    EXPECT_EQ("s1", tree.Root().Children[0]->Label);
    EXPECT_EQ(10001, tree.Root().Children[1]->Code);
    ASSERT_NE(nullptr, tree.TableNode(1, 2));
    EXPECT_EQ("t2", tree.TableNode(1, 2)->Label);
    ASSERT_NE(nullptr, tree.DatasetNode(1, 0));

    tree.RemoveTable(0, 1);
    const TTreeNode* tables = tree.ScriptNode(0)->Child(TablesFolderCode);
    ASSERT_EQ(2u, tables->Children.size());
    EXPECT_EQ(20000, tables->Children[0]->Code);
    EXPECT_EQ("t0", tables->Children[0]->Label);
    EXPECT_EQ(20001, tables->Children[1]->Code);
    EXPECT_EQ("t2", tables->Children[1]->Label);
    EXPECT_EQ(3u, tree.ScriptNode(1)->Child(TablesFolderCode)->Children.size());

    const TTreeNode* t2 = tree.TableNode(0, 1);
    EXPECT_EQ(t2, tree.NodeAt(tree.PathOf(*t2)));
    EXPECT_EQ((std::vector<int>{0, 0, 1}), tree.PathOf(*t2));
    EXPECT_TRUE(tree.Contains(t2));
    TTreeNode stray;
    EXPECT_FALSE(tree.Contains(&stray));
}

} // namespace
} // namespace orbelin::app

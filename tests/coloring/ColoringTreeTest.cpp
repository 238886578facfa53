// The colorings tree: its fixed entries, and the field and component entries of a map.
#include "coloring/ColoringTree.h"
#include "ColoringFixtures.h"
#include "coloring/Coloring.h"

#include <gtest/gtest.h>

namespace orbelin::coloring {
namespace {

TEST(ColoringTreeTest, OffersEveryColoringUnderItsPath)
{
    const TColoringTree tree;
    struct TCase {
        std::vector<std::string> Path;
        int Code;
    };
    const TCase cases[] = {
        {{"Fields"}, 0},
        {{"Densities"}, 0},
        {{"Densities", "2D"}, 0},
        {{"Densities", "2D", "Overall density"}, 111},
        {{"Densities", "ND", "Overall density"}, 121},
        {{"Linear functions"}, 0},
        {{"Linear functions", "LDA"}, 211},
        {{"Linear functions", "LRA"}, 212},
        {{"Linear functions", "2D Spektrum"}, 213},
        {{"Linear functions", "2D Sp Radial "}, 214},
        {{"PCs"}, 0},
    };
    for (const TCase& c : cases) {
        const std::vector<TColoringNode>* level = &tree.Roots();
        const TColoringNode* node = nullptr;
        for (const std::string& text : c.Path) {
            node = nullptr;
            for (const TColoringNode& child : *level)
                if (child.Text == text)
                    node = &child;
            ASSERT_NE(node, nullptr) << text;
            level = &node->Children;
        }
        EXPECT_EQ(node->Code, c.Code) << c.Path.back();
    }
    ASSERT_EQ(tree.Roots().size(), 4u);
    EXPECT_TRUE(tree.Roots()[0].Children.empty());
    EXPECT_TRUE(tree.Roots()[3].Children.empty());
}

TEST(ColoringTreeTest, RebuildsFieldsAndComponentsForTheMapAndSelectsItsColoring)
{
    data::TData data;
    test::SetPoints(data, {{1, 2, 3}});
    data.CoordNames = {"Length", "Width", "Weight"};
    map::TMap& map = test::AddSheetMap(data, 2, 2);
    TColoringTree tree;
    struct TCase {
        int Code;
        std::vector<int> Selected;
    };
    const TCase cases[] = {{1002, {0, 1}}, {2003, {3, 2}}, {121, {1, 1, 0}}, {214, {2, 3}}, {0, {}}, {1500, {}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        map.ColoringCode = c.Code;
        tree.Rebuild(&map);
        EXPECT_EQ(tree.Selected, c.Selected);
        if (!c.Selected.empty()) {
            EXPECT_EQ(tree.NodeAt(c.Selected)->Code, c.Code);
        }
    }
    const TColoringNode& fields = tree.Roots()[0];
    const TColoringNode& pcs = tree.Roots()[3];
    EXPECT_TRUE(fields.Expanded);
    EXPECT_TRUE(pcs.Expanded);
    ASSERT_EQ(fields.Children.size(), 3u);
    ASSERT_EQ(pcs.Children.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(fields.Children[k].Text, data.CoordNames[k]);
        EXPECT_EQ(fields.Children[k].Code, FieldColoringBase + static_cast<int>(k));
        EXPECT_EQ(pcs.Children[k].Text, "PC" + std::to_string(k + 1));
        EXPECT_EQ(pcs.Children[k].Code, ComponentColoringBase + static_cast<int>(k));
    }

    // Another map on a wider dataset: the children follow it, at most 999 of each.
    data::TData wide;
    test::SetPoints(wide, {TArray1D(1200, 0.0)});
    tree.Rebuild(&test::AddSheetMap(wide, 2, 2));
    EXPECT_EQ(tree.Roots()[0].Children.size(), 999u);
    EXPECT_EQ(tree.Roots()[3].Children.back().Text, "PC999");
    tree.Rebuild(nullptr);
    EXPECT_TRUE(tree.Roots()[0].Children.empty());
    EXPECT_TRUE(tree.Selected.empty());
}

} // namespace
} // namespace orbelin::coloring

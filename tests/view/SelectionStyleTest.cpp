// The selection dialog's style and how records take it.
#include "view/SelectionStyle.h"

#include "data/TDataTable.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

TEST(SelectionStyleTest, ApplyGivesTheRecordTheStyle)
{
    // A record that is unselected, shape 3, radius 12, odd colours, in a time series.
    const PointStyle before = {0, 3, 12, 0x123456, 0x654321, 0, 0, 1};
    TSelectionStyle noChange;
    noChange.Shape = NoChangeShape;
    noChange.Size = 20;
    TSelectionStyle noFill;
    noFill.SetBorderColor(0x00FF00);
    noFill.SetNoFill(true);
    TSelectionStyle noBorder;
    noBorder.Shape = 6;
    noBorder.Size = 50;
    noBorder.SetNoBorder(true);
    TSelectionStyle outOfRange;
    outOfRange.Shape = 9;
    outOfRange.Size = 0;

    struct TCase {
        const char* Name;
        TSelectionStyle Style;
        PointStyle Expected;
    };
    const TCase cases[] = {
        // Red fill, black border, shape 0, size 8, both drawn.
        {"defaults", TSelectionStyle(), {1, 0, 8, 0x0000FF, 0x000000, 1, 1, 0}},
        {"no-change shape keeps shape and size", noChange, {1, 3, 12, 0x0000FF, 0x000000, 1, 1, 0}},
        {"not filled: drawn in the border colour", noFill, {1, 0, 8, 0x00FF00, 0x00FF00, 0, 1, 0}},
        {"no border: border is the fill", noBorder, {1, 6, 50, 0x0000FF, 0x0000FF, 1, 0, 0}},
        {"shape and size brought into range", outOfRange, {1, 0, 1, 0x0000FF, 0x000000, 1, 1, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        PointStyle record = before;
        ApplySelectionStyle(record, c.Style);
        EXPECT_EQ(c.Expected, record);
    }
}

TEST(SelectionStyleTest, NotBoxesKeepTheTwoColoursTogether)
{
    TSelectionStyle style;
    style.SetNoFill(true);
    EXPECT_EQ(PackedBlack, style.FillColor);
    style.SetBorderColor(0x112233); // copied into the fill while unfilled
    EXPECT_EQ(0x112233, style.FillColor);
    style.SetNoFill(false);
    style.SetBorderColor(0x445566); // no longer copied
    EXPECT_EQ(0x112233, style.FillColor);

    style.SetNoBorder(true);
    EXPECT_EQ(0x112233, style.BorderColor);
    style.SetFillColor(0x778899);
    EXPECT_EQ(0x778899, style.BorderColor);
}

TEST(SelectionStyleTest, TableRecordsOutsideTheTableAreLeftAlone)
{
    data::TDataTable table;
    table.RecordCount = 2;
    table.ResetPointStyles();
    const std::vector<PointStyle> before = table.PointStyles;
    TSelectionStyle style;
    ApplySelectionStyle(table, -1, style);
    ApplySelectionStyle(table, 2, style);
    EXPECT_EQ(before, table.PointStyles);
    ApplySelectionStyle(table, 1, style);
    EXPECT_EQ(before[0], table.PointStyles[0]);
    EXPECT_EQ(PackedRed, table.PointStyles[1][FILLCOLOR]);

    EXPECT_EQ(PackedYellow, TSelectionProperties().Color);
    EXPECT_EQ(5, TSelectionProperties().Size);
}

} // namespace
} // namespace orbelin::view

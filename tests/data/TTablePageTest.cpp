// What a page of the table window shows, how it draws each cell and how it sorts rows.
#include "data/TTablePage.h"

#include "data/DatasetBuild.h"
#include "data/TData.h"
#include "data/TableMaker.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

using test::MakeTable;

// Four records; record 2 is unselected and so no point; record 3 has no X and is a point
// with a gap. Points: record 0 -> 0, 1 -> 1, 3 -> 2. Point 1 is marked in green.
class TTablePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Table = MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"Y", TFieldType::Float}},
                          {{" a ", "3", "10"}, {"B", "1", "20"}, {"c", "2", "30"}, {"D", "", "40"}}, "page");
        Table.PointStyles[1][FILLCOLOR] = 0xFFFF80;
        Table.PointStyles[2][SELECTED] = 0;
        Data.Table = &Table;
        std::vector<TFieldChoice> choices(3);
        choices[1].Use = choices[2].Use = true;
        ASSERT_TRUE(BuildFromTable(Data, choices).Built);
        ASSERT_EQ((TArray1I{0, 1, 3}), Data.NUMXI);
        MarkPoints(Data, {1}, 0x00FF00, 5, MarkAdd);
        Data.ResultColumnNames = {"Cluster"};
        Data.ResultColumns = {{"k2", "k1", "k3"}};
    }

    TDataTable Table;
    TData Data;
};

TEST_F(TTablePageTest, ShowsFieldsResultColumnsAndTheDrawingRules)
{
    const TTablePage page(Table, &Data);
    ASSERT_EQ(4, page.RowCount());
    ASSERT_EQ(4, page.ColumnCount());
    EXPECT_EQ("Cluster", page.ColumnName(3));
    EXPECT_EQ("a", page.CellText(0, 0));
    EXPECT_EQ("k1", page.CellText(1, 3));
    EXPECT_EQ("", page.CellText(2, 3)) << "record 2 is no point";
    EXPECT_EQ("k3", page.CellText(3, 3));
    EXPECT_EQ("4", page.RecordNumberText(3));

    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(column == 1 || column == 2, page.HeaderLook(column).Bold) << column;

    struct TCase {
        const char* Name;
        TCellLook Got;
        TCellLook Expected;
    };
    const TCase cases[] = {
        {"selected, dark fill: white text", page.RecordLook(0), {0x800000, PackedWhite, false}},
        {"selected, light fill: black text", page.RecordLook(1), {0xFFFF80, 0, false}},
        {"unselected record number is white", page.RecordLook(2), {PackedWhite, 0, false}},
        {"marked point: mark colour, inverted text", page.CellLook(1, 0), {0x00FF00, 0xFF00FF, false}},
        {"marked point's result cell too", page.CellLook(1, 3), {0x00FF00, 0xFF00FF, false}},
        {"unselected record: button face", page.CellLook(2, 1), {ButtonFaceColor, DefaultCellColor, false}},
        {"plain cell", page.CellLook(0, 1), {}},
        {"point with a gap, plain", page.CellLook(3, 3), {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected.Background, c.Got.Background);
        EXPECT_EQ(c.Expected.Text, c.Got.Text);
    }
    // A marked point whose record is later unselected stays drawn as marked.
    Table.PointStyles[1][SELECTED] = 0;
    EXPECT_EQ(0x00FF00, TTablePage(Table, &Data).CellLook(1, 0).Background);
}

TEST_F(TTablePageTest, DatasetOfAnotherTableIsIgnored)
{
    const TDataTable other = Table;
    const TTablePage page(other, &Data);
    EXPECT_EQ(nullptr, page.Data());
    EXPECT_EQ(3, page.ColumnCount());
    EXPECT_FALSE(page.HeaderLook(1).Bold);
    EXPECT_EQ(TCellLook(), page.CellLook(1, 0));
    EXPECT_EQ(-1, page.PointOfRecord(0));
    EXPECT_EQ(3u, page.Grid()[0].size() - 1);
}

TEST_F(TTablePageTest, SortsRowsAndKeepsTheOrderUntilTheRecordsChange)
{
    TTablePage page(Table, &Data);
    struct TStep {
        const char* Name;
        int Column; // -2: by colour
        TSortDirection Direction;
        TArray1I Expected;
    };
    const TStep steps[] = {
        // X is 3, 1, 2, empty: the empty value counts as 1e100, the largest key comes first.
        {"ascending on a Float field", 1, TSortDirection::Ascending, {3, 0, 2, 1}},
        // Smallest byte first: "B" < "D" < "a" < "c".
        {"descending on a String field", 0, TSortDirection::Descending, {1, 3, 0, 2}},
        {"ascending on a result column", 3, TSortDirection::Ascending, {3, 0, 1, 2}},
        {"record numbers ascending", -1, TSortDirection::Ascending, {3, 2, 1, 0}},
        {"record numbers descending", -1, TSortDirection::Descending, {0, 1, 2, 3}},
        // 0xFFFF80 is the largest fill; the rest share 0x800000 and keep their order.
        {"by colours", -2, TSortDirection::Ascending, {1, 0, 2, 3}},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Name);
        if (s.Column == -2)
            page.SortByColor();
        else
            page.SortByColumn(s.Column, s.Direction);
        EXPECT_EQ(s.Expected, page.Order());
    }
    // Cells follow their records, the record number included.
    EXPECT_EQ("2", page.RecordNumberText(0));
    EXPECT_EQ("B", page.CellText(0, 0));
    EXPECT_EQ("k1", page.CellText(0, 3));
    EXPECT_EQ("2", page.Grid()[1][0]);

    page.Refresh();
    EXPECT_EQ((TArray1I{1, 0, 2, 3}), page.Order());
    Table.RecordCount = 3;
    Table.Values.pop_back();
    Table.PointStyles.pop_back();
    page.Refresh();
    EXPECT_EQ((TArray1I{0, 1, 2}), page.Order());
}

TEST_F(TTablePageTest, ColumnWidthsFollowTheFieldWidths)
{
    Table.FieldWidths = {4, 1000, 6};
    const TTablePage page(Table, &Data);
    EXPECT_EQ(28, page.ColumnWidth(0));
    EXPECT_LE(page.ColumnWidth(1), MaxFieldColumnWidth);
    EXPECT_GE(page.ColumnWidth(1), MaxFieldColumnWidth - PixelsPerWidthUnit);
    EXPECT_EQ(42, page.ColumnWidth(2));
    EXPECT_EQ(60, page.ColumnWidth(3));
    EXPECT_EQ(30, page.RecordColumnWidthFor(6));

    TDataTable big;
    big.RecordCount = 100000;
    big.ResetPointStyles();
    EXPECT_EQ(6 * 8 + 8, TTablePage(big, nullptr).RecordColumnWidthFor(8));
}

} // namespace
} // namespace orbelin::data

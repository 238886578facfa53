// The table window's row sorts against a plain bubble sort of the rows.
#include "data/TableSort.h"
#include "TableMaker.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

using test::MakeTable;

// The window's bubble sort as written: passes i = 1..R-1 over the grid rows, each comparing
// neighbours from the bottom row up to row i + 1 with the row above.
TArray1I BubbleSort(const TArray1I& start, const std::vector<double>& key, bool exchangeWhenGreater)
{
    TArray1I rows = start;
    const int r = static_cast<int>(rows.size());
    for (int i = 1; i <= r - 1; ++i)
        for (int j = r; j >= i + 1; --j) {
            const double lower = key[static_cast<std::size_t>(rows[j - 1])];
            const double upper = key[static_cast<std::size_t>(rows[j - 2])];
            if (exchangeWhenGreater ? lower > upper : !(lower > upper))
                std::swap(rows[j - 1], rows[j - 2]);
        }
    return rows;
}

TDataTable FloatColumn(const TArray1S& values)
{
    TArray2S rows;
    for (const std::string& v : values)
        rows.push_back({v});
    return MakeTable({{"X", TFieldType::Float}}, rows);
}

TEST(TableSortTest, DocumentedCases)
{
    const TDataTable numbers = FloatColumn({"3", "1", "", "2", "x"});
    TArray1I order = RecordOrder(5);
    SortRowsByField(numbers, 0, TSortDirection::Ascending, order);
    // Empty and unreadable values count as 1e100 and so come first, in their order.
    EXPECT_EQ((TArray1I{2, 4, 0, 3, 1}), order);
    SortRowsByField(numbers, 0, TSortDirection::Descending, order);
    EXPECT_EQ((TArray1I{1, 3, 0, 4, 2}), order);

    const TDataTable texts = MakeTable({{"S", TFieldType::String}}, {{"a"}, {"B"}, {" b"}, {"A"}});
    order = RecordOrder(4);
    SortRowsByField(texts, 0, TSortDirection::Descending, order);
    EXPECT_EQ((TArray1I{3, 1, 0, 2}), order); // byte order: "A" < "B" < "a" < "b"

    TDataTable colours = FloatColumn({"1", "2", "3", "4"});
    const int fills[] = {0x0000FF, 0x800000, 0x0000FF, 0xFF0000};
    for (int r = 0; r < 4; ++r)
        colours.PointStyles[static_cast<std::size_t>(r)][FILLCOLOR] = fills[r];
    order = {3, 2, 1, 0};
    SortRowsByColor(colours, order);
    EXPECT_EQ((TArray1I{3, 1, 2, 0}), order);

    // An order that does not fit the table starts from the record order.
    order = {7};
    SortRowsByField(numbers, 0, TSortDirection::Ascending, order);
    EXPECT_EQ((TArray1I{2, 4, 0, 3, 1}), order);
}

TEST(TableSortTest, BothDirectionsGiveTheBubbleSortsResult)
{
    numeric::SeedRandom(7);
    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(trial);
        const int rows = numeric::RandInt(40);
        const int distinct = 1 + numeric::RandInt(trial % 2 ? 4 : 60);
        TArray1S values;
        std::vector<double> key;
        for (int r = 0; r < rows; ++r) {
            const int v = numeric::RandInt(distinct);
            values.push_back(v == 0 && trial % 3 == 0 ? "" : std::to_string(v));
            key.push_back(values.back().empty() ? 1e100 : v);
        }
        const TDataTable table = FloatColumn(values);
        // Start from an order a previous sort left behind.
        TArray1I start = RecordOrder(rows);
        for (int r = rows - 1; r > 0; --r)
            std::swap(start[static_cast<std::size_t>(r)], start[static_cast<std::size_t>(numeric::RandInt(r + 1))]);
        for (const bool ascending : {true, false}) {
            TArray1I order = start;
            SortRowsByField(table, 0, ascending ? TSortDirection::Ascending : TSortDirection::Descending, order);
            EXPECT_EQ(BubbleSort(start, key, ascending), order) << (ascending ? "ascending" : "descending");
        }
    }
}

TEST(TableSortTest, LargeTablesSortQuickly)
{
    // Two keys in alternation is the hardest case for equal keys; a bubble sort of this
    // many rows would take minutes.
    const int rows = 200000;
    TArray1S cells;
    for (int r = 0; r < rows; ++r)
        cells.push_back(r % 2 ? "b" : "a");
    TArray1I order = RecordOrder(rows);
    SortRowsByTexts(cells, TSortDirection::Descending, order);
    ASSERT_EQ(static_cast<std::size_t>(rows), order.size());
    EXPECT_EQ("a", cells[static_cast<std::size_t>(order[rows / 2 - 1])]);
    EXPECT_EQ("b", cells[static_cast<std::size_t>(order[rows / 2])]);
}

} // namespace
} // namespace orbelin::data

// Field histograms, bin lookups and the stable ordering by value.
#include "analysis/Histograms.h"

#include "TestUtil.h"
#include "data/TableMaker.h"

#include <gtest/gtest.h>

#include <random>

namespace orbelin::analysis {
namespace {

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// Fields: a string, a spread float (one empty cell), an integer of equal values and a
// float without any value. Records alternate red and blue, starting red.
data::TDataTable MakeFixture()
{
    data::TDataTable table = test::MakeTable(
        {{"name", TFieldType::String}, {"a", TFieldType::Float}, {"c", TFieldType::Integer}, {"e", TFieldType::Float}},
        {{"p", " 1 ", "7", ""},
         {"q", "2", "7", ""},
         {"r", "3", "7", " "},
         {"s", "4", "7", ""},
         {"t", "5", "7", ""},
         {"u", "", "7", ""}});
    for (std::size_t r = 0; r < table.PointStyles.size(); ++r)
        table.PointStyles[r][FILLCOLOR] = r % 2 == 0 ? Red : Blue;
    return table;
}

TEST(HistogramsTest, UnifiedCountsPutTheMaximumInTheLastBar)
{
    const data::TDataTable table = MakeFixture();
    TFieldHistograms h;
    BuildUnifiedHistograms(table, 2, h);
    // a: lo 1, hi 5, width 2: 1 and 2 in bar 0, 3 and 4 in bar 1, and 5 (bar 2) held in bar 1.
    EXPECT_DOUBLE_EQ(1, h.Lo[1]);
    EXPECT_DOUBLE_EQ(5, h.Hi[1]);
    EXPECT_EQ((TArray1D{2, 3}), h.Unified[1]);
    // Equal values: zero-width bars count nothing. No value at all: nothing either.
    EXPECT_EQ((TArray1D{0, 0}), h.Unified[2]);
    EXPECT_EQ((TArray1D{0, 0}), h.Unified[3]);
    EXPECT_EQ(0, h.Width[3]);
    EXPECT_EQ((TArray1D{0, 0}), h.Unified[0]);

    struct TCase {
        const char* Name;
        int Field;
        double Value;
        double Expected;
    };
    const TCase cases[] = {
        {"first bar", 1, 1.5, 2},
        {"last bar", 1, 5, 3},
        {"below lo held in first", 1, 0, 2},
        {"above hi held in last", 1, 99, 3},
        {"zero width gives 1", 2, 7, 1},
        {"no values gives 1", 3, 0, 1},
        {"string field gives 1", 0, 0, 1},
        {"field outside the table", 9, 0, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_DOUBLE_EQ(c.Expected, BinCount(h, c.Field, c.Value));
    }
}

TEST(HistogramsTest, ClassCountsFollowTheFillColoursInOrderOfAppearance)
{
    const data::TDataTable table = MakeFixture();
    TFieldHistograms h;
    BuildClassHistograms(table, 2, h);
    EXPECT_EQ((TArray1I{Red, Blue}), h.ClassColors);
    // a: 1 (red) and 2 (blue) in bar 0; 3 (red), 4 (blue) and 5 (red) in bar 1.
    EXPECT_EQ((TArray2D{{1, 1}, {2, 1}}), h.Classes[1]);
    EXPECT_DOUBLE_EQ(2, ClassBinCount(h, 1, 0, 4.5));
    EXPECT_DOUBLE_EQ(1, ClassBinCount(h, 1, 1, 4.5));
    EXPECT_DOUBLE_EQ(0, ClassBinCount(h, 1, 2, 4.5));
    EXPECT_DOUBLE_EQ(1, ClassBinCount(h, 2, 0, 7));
}

TEST(HistogramsTest, ACellThatIsNotANumberStopsAndKeepsTheOldHistograms)
{
    data::TDataTable table = MakeFixture();
    TFieldHistograms h;
    BuildUnifiedHistograms(table, 2, h);
    const TFieldHistograms before = h;
    table.Values[3][1] = " 4,5 ";
    ORBELIN_EXPECT_ERROR(BuildUnifiedHistograms(table, 2, h), "'4,5' is not a valid floating point value");
    ORBELIN_EXPECT_ERROR(BuildClassHistograms(table, 2, h), "'4,5' is not a valid floating point value");
    EXPECT_EQ(before.Unified, h.Unified);
    EXPECT_EQ(before.Lo, h.Lo);
    // A bad cell in a string field is never parsed.
    table.Values[3][1] = "4";
    table.Values[3][0] = "x y";
    EXPECT_NO_THROW(BuildUnifiedHistograms(table, 2, h));
}

// The ordering as written: a bubble sort that swaps neighbours only on strict inequality.
TArray1I BubbleOrder(const TArray1D& values, bool ascending)
{
    TArray1I order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    for (std::size_t pass = 0; pass < order.size(); ++pass)
        for (std::size_t j = 0; j + 1 < order.size(); ++j) {
            const double a = values[static_cast<std::size_t>(order[j])],
                         b = values[static_cast<std::size_t>(order[j + 1])];
            if (ascending ? a > b : a < b)
                std::swap(order[j], order[j + 1]);
        }
    return order;
}

TEST(HistogramsTest, OrderByValueIsStable)
{
    struct TCase {
        const char* Name;
        TArray1D Values;
        bool Ascending;
        TArray1I Expected;
    };
    const TCase cases[] = {
        {"empty", {}, true, {}},
        {"ascending", {3, 1, 2}, true, {1, 2, 0}},
        {"descending ties keep order", {3, 9, 9}, false, {1, 2, 0}},
        {"ascending ties keep order", {0.1, 0, 0.1, 0}, true, {1, 3, 0, 2}},
        {"with -1 for empty cells", {2, -1, 5, -1}, true, {1, 3, 0, 2}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, OrderByValue(c.Values, c.Ascending));
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> value(0, 5);
    for (int trial = 0; trial < 200; ++trial) {
        TArray1D values(static_cast<std::size_t>(trial % 17));
        for (double& v : values)
            v = value(random) / 2.0;
        for (const bool ascending : {true, false})
            ASSERT_EQ(BubbleOrder(values, ascending), OrderByValue(values, ascending)) << trial;
    }
}

} // namespace
} // namespace orbelin::analysis

// Welch's t-test against closed forms and against numbers computed independently.
#include "analysis/TTest.h"

#include "TestUtil.h"
#include "data/TableMaker.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

TEST(TTestTest, WelchMatchesTheClosedFormOfTwoDegreesOfFreedom)
{
    // Two samples of two values with equal variances give df = 2 exactly, where the
    // two-sided p is 1 - |t| / sqrt(t^2 + 2).
    const TWelchResult r = WelchTest({0, 2}, {3, 5});
    const double t = -3 / std::sqrt(2.0);
    EXPECT_DOUBLE_EQ(t, r.T);
    EXPECT_DOUBLE_EQ(2, r.Df);
    EXPECT_NEAR(1 - std::fabs(t) / std::sqrt(t * t + 2), r.P, 1e-14);
    EXPECT_EQ(2, r.N1);
    EXPECT_EQ(1.0, r.Mean1);
    EXPECT_EQ(4.0, r.Mean2);
    // Swapping the samples changes the sign of t only.
    const TWelchResult swapped = WelchTest({3, 5}, {0, 2});
    EXPECT_DOUBLE_EQ(-t, swapped.T);
    EXPECT_DOUBLE_EQ(r.P, swapped.P);
}

TEST(TTestTest, WelchMatchesIndependentlyComputedReferences)
{
    // t and df by the formulas, p by Simpson integration of the t density (400000
    // intervals), in a standard-library Python script written for this test.
    struct TCase {
        const char* Name;
        TArray1D A, B;
        double T, Df, P;
    };
    const TCase cases[] = {
        {"unequal",
         {5.1, 4.9, 6.2, 5.8, 6.0, 5.5, 5.3},
         {6.8, 7.1, 6.5, 7.9, 7.4},
         -5.283193608130123,
         8.048713570915126,
         0.0007287573691336924},
        {"overlap",
         {1.0, 2.5, 3.1, 4.7, 2.2, 3.3, 2.9, 1.8},
         {2.0, 3.9, 4.4, 2.8, 3.6, 5.0},
         -1.5729755045600453,
         11.034399458091565,
         0.14393967343389547},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TWelchResult r = WelchTest(c.A, c.B);
        EXPECT_NEAR(c.T, r.T, 1e-12);
        EXPECT_NEAR(c.Df, r.Df, 1e-11);
        EXPECT_NEAR(c.P, r.P, 1e-9 * c.P);
    }
}

TEST(TTestTest, WelchWithoutEnoughValuesOrSpreadGivesNoStatistic)
{
    struct TCase {
        const char* Name;
        TArray1D A, B;
    };
    const TCase cases[] = {
        {"one value", {1}, {2, 3}},
        {"empty", {}, {2, 3}},
        {"no spread", {4, 4, 4}, {5, 5}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TWelchResult r = WelchTest(c.A, c.B);
        EXPECT_TRUE(IsMissing(r.T));
        EXPECT_TRUE(IsMissing(r.Df));
        EXPECT_TRUE(IsMissing(r.P));
    }
    // One sample without spread: df is that of the other sample.
    const TWelchResult r = WelchTest({4, 4, 4}, {1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(3, r.Df);
}

TEST(TTestTest, PageTestsEveryNumericFieldBetweenTheGroups)
{
    constexpr int Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00;
    data::TDataTable table = test::MakeTable(
        {{"name", TFieldType::String}, {"a", TFieldType::Float}, {"n", TFieldType::Integer}, {"e", TFieldType::Float}},
        {{"p", "0", "1", ""},
         {"q", "2", "1", ""},
         {"r", "3", "2", ""},
         {"s", "5", "2", ""},
         {"t", " ", "9", "4"},
         {"u", "100", "9", ""}});
    const int colours[] = {Red, Red, Blue, Blue, Red, Green};
    for (std::size_t r = 0; r < 6; ++r)
        table.PointStyles[r][FILLCOLOR] = colours[r];

    // Red against blue: green's record is in neither group.
    const TRecordGroups groups = GroupsByColor(table, Red, Blue);
    EXPECT_EQ((TArray1I{1, 1, 2, 2, 1, 0}), groups);
    const TTTestPage page = CalcTTest(table, groups);
    ASSERT_EQ(3u, page.Fields.size());
    EXPECT_EQ("a", page.Fields[0].Name);
    EXPECT_EQ(1, page.Fields[0].Field);
    // The blank cell of record 4 is skipped: a is {0, 2} against {3, 5}.
    EXPECT_DOUBLE_EQ(-3 / std::sqrt(2.0), page.Fields[0].Test.T);
    EXPECT_EQ(2, page.Fields[0].Test.N1);
    // n: {1, 1, 9} against {2, 2}: the second sample has no spread, but the first has.
    EXPECT_EQ(3, page.Fields[1].Test.N1);
    EXPECT_DOUBLE_EQ(2, page.Fields[1].Test.Df);
    // e: one value only.
    EXPECT_TRUE(IsMissing(page.Fields[2].Test.T));

    EXPECT_EQ((TArray1S{"Field", "n1", "n2", "Mean 1", "Mean 2", "t", "df", "p"}), page.Grid.Cells[0]);
    EXPECT_EQ("a", page.Grid.At(1, 0));
    EXPECT_EQ(" -2.121320", page.Grid.At(1, 5));
    EXPECT_EQ("    2.0000", page.Grid.At(1, 6));
    EXPECT_EQ((TArray1S{"e", "1", "0", "  4.000000", "", "", "", ""}), page.Grid.Cells[3]);

    // Red against every other record.
    EXPECT_EQ((TArray1I{1, 1, 2, 2, 1, 2}), GroupsByColor(table, Red));
}

TEST(TTestTest, PageReportsACellThatIsNotANumber)
{
    data::TDataTable table = test::MakeTable({{"a", TFieldType::Float}}, {{"1"}, {"x1"}});
    ORBELIN_EXPECT_ERROR(CalcTTest(table, {1, 2}), "'x1' is not a valid floating point value");
}

} // namespace
} // namespace orbelin::analysis

// The "Common", "Correlations" and "PCA" pages: numbers against hand computations and the
// grid texts as the window shows them.
#include "analysis/DatasetStatistics.h"

#include "AnalysisFixtures.h"
#include "data/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

TEST(DatasetStatisticsTest, CommonPageSummarisesEachFieldAndTheWholeDataset)
{
    // Record 1 is not selected, so the points are records 0, 2, 3, 4. Field a has a tie
    // for the maximum (records 2 and 4) and a gap; field b has no value at all.
    auto f = test::MakeAnalysisFixture(
        {"a", "b", "c"}, {{"1", "", "0"}, {"9", "", "9"}, {"3", "", "2"}, {"", "", "4"}, {"3", "", "6"}}, {}, {}, {1});
    const TCommonStatistics s = CalcCommon(f->Data);
    ASSERT_EQ(3u, s.Fields.size());

    // a over 1, 3, 3: mean 7/3, population deviation sqrt(8/9); the first 3 is the max and
    // the value nearest the mean; two of three values lie within one deviation.
    const TFieldSummary& a = s.Fields[0];
    EXPECT_EQ(3, a.Count);
    EXPECT_EQ(1.0, a.Min);
    EXPECT_EQ(0, a.MinPoint);
    EXPECT_EQ(3.0, a.Max);
    EXPECT_EQ(1, a.MaxPoint);
    EXPECT_DOUBLE_EQ(7.0 / 3, a.Mean);
    EXPECT_EQ(1, a.MeanPoint);
    EXPECT_DOUBLE_EQ(std::sqrt(8.0 / 9), a.Sd);
    EXPECT_EQ(2, a.WithinSd);
    EXPECT_DOUBLE_EQ(7.0 / 3, a.RealMean);

    // Grid row of a: records shown from 1 (point 1 is record 2, shown as 3).
    EXPECT_EQ("  1.000000(#1)", s.Grid.At(2, 2));
    EXPECT_EQ("  3.000000(#3)", s.Grid.At(2, 3));
    EXPECT_EQ("  2.333333(#3)", s.Grid.At(2, 4));
    EXPECT_EQ("  0.942809(2)", s.Grid.At(2, 5));
    EXPECT_EQ("2.33333333", s.Grid.At(2, 6));
    EXPECT_EQ("  1.000000", s.Grid.At(2, 7));
    EXPECT_EQ("  3.000000", s.Grid.At(2, 8));

    // b has no value: its name and number only, no division by zero.
    EXPECT_EQ(0, s.Fields[1].Count);
    EXPECT_TRUE(IsMissing(s.Fields[1].Mean));
    EXPECT_EQ((TArray1S{"2", "b", "", "", "", "", "", "", ""}), s.Grid.Cells[3]);

    // Whole dataset: the mean vector skips b; squared distances to (7/3, -, 3) are
    // 16/9+9, 4/9+1, 0+1, 4/9+9 (the gap skipped): S^2 = (sum)/4.
    const double q[] = {16.0 / 9 + 9, 4.0 / 9 + 1, 1, 4.0 / 9 + 9};
    const double spread = std::sqrt((q[0] + q[1] + q[2] + q[3]) / 4);
    EXPECT_DOUBLE_EQ(spread, s.Spread);
    EXPECT_EQ(2, s.NearestPoint);
    EXPECT_EQ(2, s.WithinSpread);
    EXPECT_EQ((TArray1S{"N", "Field", "Min", "Max", "Mean", "Stand.dev.", "Real mean", "Real min", "Real max"}),
              s.Grid.Cells[0]);
    // The whole-dataset mean names the point's position, not its record.
    EXPECT_EQ("#2", s.Grid.At(1, 4));
    EXPECT_EQ(data::FixedText(spread, 10, 6) + "(2)", s.Grid.At(1, 5));
    EXPECT_EQ("Field", s.Grid.At(1, 1));
}

TEST(DatasetStatisticsTest, CommonPageOfAnEmptyDatasetLeavesItsCellsEmpty)
{
    data::TData empty;
    empty.CoordCount = 1;
    empty.CoordNames = {"x"};
    const TCommonStatistics s = CalcCommon(empty);
    EXPECT_TRUE(IsMissing(s.Spread));
    EXPECT_EQ("", s.Grid.At(1, 4));
    EXPECT_EQ("", s.Grid.At(1, 5));
    EXPECT_EQ("", s.Grid.At(2, 2));
}

TEST(DatasetStatisticsTest, RealValuesAreInTableUnits)
{
    // With the range step a runs over -1..1 in the dataset; the real columns undo it.
    auto f = test::MakeAnalysisFixture({"a"}, {{"10"}, {"20"}, {"40"}}, {}, {true});
    const TCommonStatistics s = CalcCommon(f->Data);
    EXPECT_DOUBLE_EQ(-1, s.Fields[0].Min);
    EXPECT_DOUBLE_EQ(10, s.Fields[0].RealMin);
    EXPECT_DOUBLE_EQ(40, s.Fields[0].RealMax);
    EXPECT_NEAR(70.0 / 3, s.Fields[0].RealMean, 1e-12);
}

TEST(DatasetStatisticsTest, CorrelationsUseCompletePointsAndLeaveNoSpreadEmpty)
{
    // b = 2a + 1 exactly, c = -a on the complete points, d constant there; the last point
    // has a gap and is left out (it would spoil every correlation).
    auto f = test::MakeAnalysisFixture({"a", "b", "c", "d"}, {{"1", "3", "-1", "5"},
                                                              {"2", "5", "-2", "5"},
                                                              {"4", "9", "-4", "5"},
                                                              {"7", "15", "-7", "5"},
                                                              {"100", "", "0", "1"}});
    const TCorrelations c = CalcCorr(f->Data);
    EXPECT_EQ(4, c.CompletePoints);
    EXPECT_NEAR(1, c.R[0][1], 1e-15);
    EXPECT_NEAR(-1, c.R[0][2], 1e-15);
    EXPECT_TRUE(IsMissing(c.R[0][3]));
    EXPECT_TRUE(IsMissing(c.R[1][0])); // lower triangle stays empty
    EXPECT_EQ("a", c.Grid.At(0, 1));
    EXPECT_EQ("d", c.Grid.At(4, 0));
    EXPECT_EQ("1.000000", c.Grid.At(1, 2));
    EXPECT_EQ("-1.000000", c.Grid.At(1, 3));
    EXPECT_EQ("", c.Grid.At(1, 4));
    EXPECT_EQ("", c.Grid.At(2, 1));
    EXPECT_EQ("", c.Grid.At(1, 1));
    EXPECT_EQ(TCellColor::Red, c.Grid.Color(1, 2));

    // No complete point at all: every cell empty.
    auto gaps = test::MakeAnalysisFixture({"a", "b"}, {{"1", ""}, {"", "2"}});
    const TCorrelations none = CalcCorr(gaps->Data);
    EXPECT_EQ(0, none.CompletePoints);
    EXPECT_EQ("", none.Grid.At(1, 2));
}

TEST(DatasetStatisticsTest, CorrelationColoursFollowTheMagnitude)
{
    // y = r x + sqrt(1 - r^2) z with x and z orthonormal over four points gives r exactly.
    struct TCase {
        const char* Name;
        double R;
        TCellColor Expected;
    };
    const TCase cases[] = {
        {"below 0.2 grey", 0.19, TCellColor::Grey},     {"from 0.2 default", 0.21, TCellColor::Default},
        {"to 0.4 default", -0.39, TCellColor::Default}, {"above 0.4 green", 0.41, TCellColor::Green},
        {"above 0.6 blue", -0.7, TCellColor::Blue},     {"above 0.8 red", 0.9, TCellColor::Red},
    };
    const double x[] = {1, -1, 1, -1}, z[] = {1, 1, -1, -1};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TArray2S rows;
        for (int p = 0; p < 4; ++p)
            rows.push_back({data::GeneralText(x[p]), data::GeneralText(c.R * x[p] + std::sqrt(1 - c.R * c.R) * z[p])});
        auto f = test::MakeAnalysisFixture({"x", "y"}, rows);
        const TCorrelations r = CalcCorr(f->Data);
        EXPECT_NEAR(c.R, r.R[0][1], 1e-12);
        EXPECT_EQ(c.Expected, r.Grid.Color(1, 2));
    }
}

TEST(DatasetStatisticsTest, ComponentsShareTheSpreadAsAnEllipseDoes)
{
    // Points (+-2, 0) and (0, +-1): variance 2 along a, 0.5 along b, S^2 = 2.5, so the
    // first component (along a) holds 0.8 and the second 0.2.
    auto f = test::MakeAnalysisFixture({"a", "b", "c"},
                                       {{"2", "0", "0"}, {"-2", "0", "0"}, {"0", "1", "0"}, {"0", "-1", "0"}});
    const TComponentStatistics s = CalcMGK(f->Data, 2, 7);
    ASSERT_EQ(2, s.Count);
    EXPECT_NEAR(0.8, s.Fractions[0], 1e-4);
    EXPECT_NEAR(0.2, s.Fractions[1], 1e-4);
    EXPECT_NEAR(1.0, s.Cumulative[1], 1e-4);
    EXPECT_NEAR(1.0, std::fabs(s.Components[0][0]), 1e-4);
    EXPECT_NEAR(1.0, std::fabs(s.Components[1][1]), 1e-4);
    // "No" by |first component|: a first; b and c (both near 0) take places 2 and 3.
    EXPECT_EQ(1, s.Rank[0]);
    EXPECT_EQ(5, s.Rank[1] + s.Rank[2]);

    ASSERT_EQ(6, s.Grid.RowCount());
    ASSERT_EQ(5, s.Grid.ColumnCount());
    EXPECT_EQ((TArray1S{"N", "No", "Field", "1", "2"}), s.Grid.Cells[0]);
    EXPECT_EQ("Dispers", s.Grid.At(1, 2));
    EXPECT_EQ(data::FixedText(s.Fractions[0], 8, 6), s.Grid.At(1, 3));
    EXPECT_EQ("Overall", s.Grid.At(2, 2));
    EXPECT_EQ(data::FixedText(s.Cumulative[1], 8, 6), s.Grid.At(2, 4));
    EXPECT_EQ("a", s.Grid.At(3, 2));
    EXPECT_EQ("1", s.Grid.At(3, 1));
    EXPECT_EQ(data::FixedText(s.Components[0][0], 8, 6), s.Grid.At(3, 3));
    EXPECT_EQ(TCellColor::Red, s.Grid.Color(3, 3));
    // Place 2 is green; place 3 of 3 fields is above 3 div 3 = 1: default colour.
    const int second = s.Rank[1] == 2 ? 4 : 5, third = 9 - second;
    EXPECT_EQ(TCellColor::Green, s.Grid.Color(second, 3));
    EXPECT_EQ(TCellColor::Default, s.Grid.Color(third, 3));
    EXPECT_EQ(TCellColor::Default, s.Grid.Color(3, 4));
}

TEST(DatasetStatisticsTest, ComponentsOfAPointOnALineAreUnitAndHoldAllTheSpread)
{
    auto f = test::MakeAnalysisFixture({"a", "b"}, {{"1", "1"}, {"2", "2"}, {"3", "3"}, {"5", "5"}});
    const TComponentStatistics s = CalcMGK(f->Data, 1, 3);
    ASSERT_EQ(1, s.Count);
    EXPECT_NEAR(std::sqrt(0.5), s.Components[0][0], 1e-6);
    EXPECT_NEAR(std::sqrt(0.5), s.Components[0][1], 1e-6);
    EXPECT_NEAR(1.0, s.Fractions[0], 1e-9);
}

TEST(DatasetStatisticsTest, ComponentsOfPointsWithoutSpreadLeaveTheFractionsEmpty)
{
    auto f = test::MakeAnalysisFixture({"a", "b"}, {{"1", "2"}, {"1", "2"}});
    const TComponentStatistics s = CalcMGK(f->Data, 2, 1);
    EXPECT_EQ(0.0, s.Spread);
    ASSERT_EQ(2, s.Count);
    EXPECT_TRUE(IsMissing(s.Fractions[0]));
    EXPECT_EQ("", s.Grid.At(1, 3));
    EXPECT_EQ("", s.Grid.At(2, 3));
}

} // namespace
} // namespace orbelin::analysis

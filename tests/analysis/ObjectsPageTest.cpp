// The "Objects" page: rankings, the distance diagram, the nearest records, the points
// behind a chart bar and centring the data.
#include "analysis/ObjectsPage.h"

#include "AnalysisFixtures.h"
#include "TestUtil.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

namespace orbelin::analysis {
namespace {

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// Fields x and y; records alternate red and blue; record 5 is not in the dataset.
std::unique_ptr<test::TAnalysisFixture> MakeObjects()
{
    return test::MakeAnalysisFixture({"x", "y"},
                                     {{"0", "0"}, {"1", "0"}, {"2", "0"}, {"3", "0"}, {"10", "0"}, {"10", "5"}},
                                     {Red, Blue, Red, Blue, Red, Blue}, {}, {5});
}

TFieldHistograms Histograms(const data::TDataTable& table, int bars)
{
    TFieldHistograms h;
    BuildUnifiedHistograms(table, bars, h);
    BuildClassHistograms(table, bars, h);
    return h;
}

TEST(ObjectsPageTest, RankingPutsTheRarestValuesFirst)
{
    auto f = MakeObjects();
    const TFieldHistograms h = Histograms(f->Table, 2);
    // x: 0..10 in two bars: 0, 1, 2, 3 in bar 0 (4 records), the two 10s in bar 1.
    // y: 0..5: five 0s in bar 0, the 5 in bar 1.
    const TObjectRanking record4 = RankObject(f->Data, f->Table, h, 4);
    ASSERT_EQ(2u, record4.Probable.size());
    EXPECT_EQ("x", record4.Probable[0].Field);
    EXPECT_EQ(2, record4.Probable[0].Count);
    EXPECT_EQ("     2", record4.Probable[0].CountText);
    EXPECT_EQ("y", record4.Probable[1].Field);
    EXPECT_EQ(5, record4.Probable[1].Count);
    // Within red (records 0, 2, 4): x in bar 1 once, y in bar 0 three times.
    EXPECT_EQ(1, record4.ProbableInClass[0].Count);
    EXPECT_EQ(3, record4.ProbableInClass[1].Count);

    // A record outside the dataset is ranked as well; equal counts keep field order.
    const TObjectRanking record5 = RankObject(f->Data, f->Table, h, 5);
    EXPECT_EQ("y", record5.Probable[0].Field);
    EXPECT_EQ(1, record5.Probable[0].Count);
    EXPECT_EQ(2, record5.Probable[1].Count);
}

TEST(ObjectsPageTest, RankingOfAnEmptyCellIsMinusOneAndABadCellIsReported)
{
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"1", ""}, {"2", "3"}, {"4", "5"}});
    const TFieldHistograms h = Histograms(f->Table, 3);
    const TObjectRanking r = RankObject(f->Data, f->Table, h, 0);
    EXPECT_EQ("y", r.Probable[0].Field);
    EXPECT_EQ(-1, r.Probable[0].Count);
    EXPECT_EQ("    -1", r.Probable[0].CountText);

    f->Table.Values[1][0] = "2,5x";
    ORBELIN_EXPECT_ERROR(RankObject(f->Data, f->Table, h, 1), "'2,5x' is not a valid floating point value");
}

TEST(ObjectsPageTest, DistanceDiagramCountsEachPointInItsClass)
{
    auto f = MakeObjects();
    // From point 0 at (0, 0): distances 0, 1, 2, 3, 10 over two bars of width 5.
    const TDistanceDiagram d = BuildDistanceDiagram(f->Table, f->Data, 0, 2);
    EXPECT_EQ((TArray1D{0, 1, 2, 3, 10}), d.Distances);
    EXPECT_EQ(0, d.Min);
    EXPECT_EQ(10, d.Max);
    EXPECT_EQ(5, d.Width);
    EXPECT_EQ((TArray1I{Red, Blue}), d.ClassColors);
    // Bar 0: red 0 and 2, blue 1 and 3; bar 1: the red 10 (the largest in the last bar).
    EXPECT_EQ((TArray2D{{2, 2}, {1, 0}}), d.Counts);
    EXPECT_EQ((TArray1D{2.5, 7.5}), d.Centres);
}

TEST(ObjectsPageTest, NearestObjectsListTheClosestRecordsWithTheirMarks)
{
    auto f = MakeObjects();
    const TDistanceDiagram d = BuildDistanceDiagram(f->Table, f->Data, 2, 2);
    // N = 5, two bars: m = round(0.5 (4 / 2 + 1)) = round(1.5) = 2 (halves to even).
    const std::vector<TNearObject> near = NearestObjects(d, f->Table, f->Data, 0, 2);
    ASSERT_EQ(2u, near.size());
    // Points 1 and 3 are both 1 away: the earlier comes first.
    EXPECT_EQ(1, near[0].Point);
    EXPECT_EQ("1\t1\t1.000", near[0].Line);
    EXPECT_EQ("2\t3\t1.000", near[1].Line);
    // One bar: m = round(0.5 (4 + 1)) = round(2.5) = 2; ten bars: round(0.7) = 1.
    EXPECT_EQ(2u, NearestObjects(d, f->Table, f->Data, 0, 1).size());
    EXPECT_EQ(1u, NearestObjects(d, f->Table, f->Data, 0, 10).size());
}

TEST(ObjectsPageTest, SelectOnMapTakesThePointsOfTheClickedBar)
{
    auto f = MakeObjects();
    const TFieldHistograms h = Histograms(f->Table, 2);
    // x bars centred at 2.5 and 7.5: records 0..3 fall nearest bar 0, records 4 and 5 bar 1.
    EXPECT_EQ((TArray1D{2.5, 7.5}), HistogramCentres(h, 0));
    EXPECT_EQ((TArray1I{0, 1, 2, 3}), HistogramBarPoints(f->Table, f->Data, h, 0, true, 0, 0));
    // Record 5 is not a point.
    EXPECT_EQ((TArray1I{4}), HistogramBarPoints(f->Table, f->Data, h, 0, true, 0, 1));
    // Per class: only the blue records of bar 0.
    EXPECT_EQ((TArray1I{1, 3}), HistogramBarPoints(f->Table, f->Data, h, 0, false, 1, 0));

    const TDistanceDiagram d = BuildDistanceDiagram(f->Table, f->Data, 0, 2);
    EXPECT_EQ((TArray1I{4}), DistanceBarPoints(d, 1));
    EXPECT_EQ((TArray1I{0, 1, 2, 3}), DistanceBarPoints(d, 0));
    // Equal bars: the first one wins.
    EXPECT_EQ(0, NearestBar({1, 3}, 2));
}

TEST(ObjectsPageTest, CenteringKeepsCoordinatesThePointLacks)
{
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"1", "5"}, {"4", ""}, {"6", "7"}});
    // Centring on point 1, which has no y: y stays as it was everywhere.
    CenterDataOnPoint(f->Data, 1);
    EXPECT_EQ((TArray1D{-3, 5}), f->Data.Points[0]);
    EXPECT_EQ(0, f->Data.Points[1][0]);
    EXPECT_TRUE(IsMissing(f->Data.Points[1][1]));
    EXPECT_EQ((TArray1D{2, 7}), f->Data.Points[2]);
    CenterDataOnPoint(f->Data, 2);
    EXPECT_EQ((TArray1D{-5, -2}), f->Data.Points[0]);
    EXPECT_EQ((TArray1D{0, 0}), f->Data.Points[2]);
}

} // namespace
} // namespace orbelin::analysis

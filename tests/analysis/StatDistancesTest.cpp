// Distance types, the distance table, the objects' distances and "Compare" with its file.
#include "analysis/StatDistances.h"

#include "AnalysisFixtures.h"
#include "TestUtil.h"
#include "data/NumberText.h"
#include "numeric/Missing.h"
#include "view/TAddObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

namespace orbelin::analysis {
namespace {

TEST(StatDistancesTest, DistanceTypesFollowTheirFormulas)
{
    const double m = Missing();
    struct TCase {
        const char* Name;
        TArray1D A, B;
        TStatDistance Kind;
        double Expected;
    };
    const TCase cases[] = {
        {"euclidean 3-4-5", {0, 0}, {3, 4}, TStatDistance::Euclidean, 5},
        {"euclidean skips a gap", {0, m, 0}, {3, 9, 4}, TStatDistance::Euclidean, 5},
        {"l1", {1, -1}, {4, 3}, TStatDistance::L1, 7},
        {"l1 skips a gap", {1, m}, {4, 3}, TStatDistance::L1, 3},
        {"1-r proportional", {1, 2, 3}, {2, 4, 6}, TStatDistance::OneMinusR, 0},
        {"1-r opposite", {1, 2, 3}, {3, 2, 1}, TStatDistance::OneMinusR, 2},
        {"1-r with a gap is 1", {1, m, 3}, {1, 2, 3}, TStatDistance::OneMinusR, 1},
        {"1-r constant is 1", {5, 5, 5}, {1, 2, 3}, TStatDistance::OneMinusR, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(c.Expected, StatDistance(c.A, c.B, c.Kind), 1e-15);
    }
    EXPECT_EQ((std::array<std::string, 3>{"Euclidean", "L1", "1-r"}), StatDistanceNames());
}

TEST(StatDistancesTest, DistanceTableIsSymmetricAndLabelledByRecords)
{
    // Record 1 is left out: the points are records 0, 2, 3.
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"0", "0"}, {"9", "9"}, {"3", "4"}, {"6", "8"}}, {}, {}, {1});
    const TDistanceResult r = CalcDist(f->Data, TStatDistance::Euclidean);
    ASSERT_TRUE(r.Message.empty());
    ASSERT_FALSE(r.Cancelled);
    const TDistanceTable& t = r.Table;
    ASSERT_EQ(3, t.PointCount());
    EXPECT_EQ(5, t.Value(0, 1));
    EXPECT_EQ(5, t.Value(1, 2));
    EXPECT_EQ(10, t.Value(2, 0));
    EXPECT_EQ(0, t.Value(1, 1));
    const TArray2S cells = t.Cells();
    EXPECT_EQ((TArray1S{"", "1", "3", "4"}), cells[0]);
    EXPECT_EQ((TArray1S{"1", "0.000000", "5.000000", "10.000000"}), cells[1]);
    EXPECT_EQ((TArray1S{"4", "10.000000", "5.000000", "0.000000"}), cells[3]);
}

TEST(StatDistancesTest, DistanceTableRefusesTooManyPointsAndCanBeCancelled)
{
    data::TData big;
    big.Name = "big";
    big.Points.assign(MaxDistanceTablePoints + 1, TArray1D{0.0});
    big.NUMXI.assign(big.Points.size(), 0);
    const TDistanceResult refused = CalcDist(big, TStatDistance::L1);
    EXPECT_NE(std::string::npos, refused.Message.find("at most 6000 points; the dataset big has 6001"));
    EXPECT_EQ(0, refused.Table.PointCount());

    big.Points.resize(500);
    big.NUMXI.resize(500);
    int calls = 0;
    const TDistanceResult cancelled = CalcDist(big, TStatDistance::L1, [&](int percent) {
        ++calls;
        return percent < 30;
    });
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(0, cancelled.Table.PointCount());
    EXPECT_GT(calls, 1);
}

TEST(StatDistancesTest, ObjectDistancesNormaliseSphereCentresAndSkipOtherKinds)
{
    // x runs over 0..10 in the table and is ranged to -1..1; y is kept as it is.
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"0", "0"}, {"10", "3"}}, {}, {true, false});
    f->Data.AddObjects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("A", {0, 0}, 1, 0x0000FF)));
    f->Data.AddObjects.push_back(
        std::make_unique<view::TAddObject>(view::MakeCylinder("C", {0, 0}, {1, 1}, 1, 1, 0x00FF00)));
    f->Data.AddObjects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("B", {5, 4}, 1, 0xFF0000)));
    const TObjectDistances d = CalcObjectDistances(f->Data, TStatDistance::Euclidean);
    // A at (-1, 0), B at (0, 4) in dataset coordinates.
    EXPECT_NEAR(std::sqrt(17.0), d.Values[2][0], 1e-12);
    EXPECT_TRUE(IsMissing(d.Values[1][0]));
    EXPECT_TRUE(IsMissing(d.Values[2][1]));
    EXPECT_TRUE(IsMissing(d.Values[0][2])); // only a < b
    EXPECT_EQ((TArray1S{"", "A", "C", "B"}), d.Grid.Cells[0]);
    EXPECT_EQ((TArray1S{"B", "4.123106", "", ""}), d.Grid.Cells[3]);
    EXPECT_EQ("", d.Grid.At(2, 1));
    EXPECT_EQ((TArray1I{0x0000FF, 0x00FF00, 0xFF0000}), d.Colors);
}

TEST(StatDistancesTest, CompareCorrelatesEveryPairAndWritesThemInOrder)
{
    test::TTempDir dir;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> u(-1, 1);
    TArray2D points(30, TArray1D(4));
    for (TArray1D& p : points)
        for (double& v : p)
            v = u(random);
    points[3][2] = Missing();

    const std::string path = dir.File("dist");
    const TCompareResult r = CompareDistances(points, TStatDistance::Euclidean, TStatDistance::L1, path);
    EXPECT_EQ(30 * 29 / 2, r.Pairs);
    // Oracle: the two lists held in full and the system's Correlation over them.
    TArray1D first, second;
    std::string expected;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            first.push_back(StatDistance(points[i], points[j], TStatDistance::Euclidean));
            second.push_back(StatDistance(points[i], points[j], TStatDistance::L1));
            expected += data::SciText(first.back(), 23) + " " + data::SciText(second.back(), 23) + "\r\n";
        }
    EXPECT_EQ(numeric::Correlation(first, second), r.Correlation);
    EXPECT_EQ("Corr.coeff = " + data::FixedText(r.Correlation, 5, 3), r.Text);
    EXPECT_EQ(expected, test::ReadBytes(path));
    // One sign position, one digit, a point, 14 decimals, E, exponent sign, 4 digits.
    const std::string line = expected.substr(0, 23);
    EXPECT_EQ(" ", expected.substr(23, 1));
    EXPECT_EQ('E', line[17]);
    EXPECT_EQ('.', line[2]);

    // A cancelled comparison leaves the file as it was.
    const TCompareResult cancelled = CompareDistances(points, TStatDistance::L1, TStatDistance::OneMinusR, path,
                                                      [](int percent) { return percent < 50; });
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(expected, test::ReadBytes(path));
}

TEST(StatDistancesTest, CompareOfOnePointHasNoPairs)
{
    test::TTempDir dir;
    const TCompareResult r = CompareDistances({{1, 2}}, TStatDistance::Euclidean, TStatDistance::L1, dir.File("dist"));
    EXPECT_EQ(0, r.Pairs);
    EXPECT_EQ(0, r.Correlation);
    EXPECT_EQ("", test::ReadBytes(dir.File("dist")));
}

} // namespace
} // namespace orbelin::analysis

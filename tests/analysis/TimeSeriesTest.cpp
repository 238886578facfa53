// The sliding-window measures: window positions, points on a plane, weights, zero spread
// and windows outside the points.
#include "analysis/TimeSeries.h"

#include "coloring/ColoringFixtures.h"
#include "data/TData.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

namespace orbelin::analysis {
namespace {

// n points of a 4-dimensional space lying on the plane spanned by (1, 1, 0, 0) and
// (0, 1, -1, 2) through (3, -1, 2, 0), spread in both directions (seeded).
data::TData PlanePoints(int n)
{
    numeric::SeedRandom(11);
    TArray2D points;
    for (int p = 0; p < n; ++p) {
        const double a = (numeric::RandInt(1000) - 500) / 100.0, b = (numeric::RandInt(1000) - 500) / 100.0;
        points.push_back({3 + a, -1 + a + b, 2 - b, 2 * b});
    }
    data::TData dataset;
    test::SetPoints(dataset, points);
    return dataset;
}

TEST(TimeSeriesTest, DefaultWindowsEndBeforeTheLastTwoPoints)
{
    data::TData dataset = PlanePoints(10);
    const TTimeSeriesSettings settings = DefaultTimeSeriesSettings(dataset);
    EXPECT_EQ(1, settings.From);
    EXPECT_EQ(10, settings.To);
    EXPECT_EQ(5, settings.Width);
    const TTimeSeries series = AnalyzeTimeSeries(dataset, settings);
    // r = 6 .. 9: windows end at points 5 .. 8 (W .. N - 2), plotted at r - W div 2.
    EXPECT_EQ((TArray1D{4, 5, 6, 7}), series.X);
    EXPECT_EQ("Effective dimension of window", series.Title);
    EXPECT_EQ(0, series.OutsideWindows);
}

TEST(TimeSeriesTest, WindowsOfPointsOnAPlaneHaveEffectiveDimensionTwo)
{
    data::TData dataset = PlanePoints(40);
    TTimeSeriesSettings settings = DefaultTimeSeriesSettings(dataset);
    settings.Width = 8;
    settings.Quality = 0.999;
    const TTimeSeries dimension = AnalyzeTimeSeries(dataset, settings);
    ASSERT_EQ(31u, dimension.Y.size());
    for (double y : dimension.Y)
        EXPECT_EQ(2, y);

    settings.Measure = TSeriesMeasure::ComponentsFraction;
    settings.Components = 2;
    const TTimeSeries two = AnalyzeTimeSeries(dataset, settings);
    EXPECT_EQ("Part of pric.comp.", two.Title);
    for (double y : two.Y)
        EXPECT_NEAR(1, y, 1e-6);
    // More components than coordinates explain everything too.
    settings.Components = 9;
    for (double y : AnalyzeTimeSeries(dataset, settings).Y)
        EXPECT_NEAR(1, y, 1e-6);
}

TEST(TimeSeriesTest, WindowWeightsSteerTheComponents)
{
    // Window 1..4: three points on the x axis and one far up that weighs nothing. The first
    // weighted component is the x axis about (0, 0): scores -1, 0, 1, 0 with variance 1/2,
    // of the total spread 77/4 (mean (0, 2.5)): the share is 2/77.
    data::TData dataset;
    test::SetPoints(dataset, {{-1, 0}, {0, 0}, {1, 0}, {0, 10}, {5, 5}, {6, 6}});
    dataset.PointWeights = {1, 1, 1, 0, 1, 1};
    TTimeSeriesSettings settings = DefaultTimeSeriesSettings(dataset);
    settings.Width = 4;
    settings.Measure = TSeriesMeasure::ComponentsFraction;
    const TTimeSeries weighted = AnalyzeTimeSeries(dataset, settings);
    ASSERT_EQ((TArray1D{3}), weighted.X);
    EXPECT_NEAR(2.0 / 77.0, weighted.Y[0], 1e-5);
    // Without weights the far point pulls the first component towards y.
    dataset.PointWeights.clear();
    EXPECT_GT(AnalyzeTimeSeries(dataset, settings).Y[0], 0.5);
}

TEST(TimeSeriesTest, WindowsThatWeighNothingAreLeftOut)
{
    data::TData dataset = PlanePoints(8);
    dataset.PointWeights = {0, 0, 0, 0, 1, 1, 1, 1};
    TTimeSeriesSettings settings = DefaultTimeSeriesSettings(dataset);
    settings.Width = 3;
    // r = 4 .. 7: the windows 1-3 and 2-4 weigh nothing.
    const TTimeSeries series = AnalyzeTimeSeries(dataset, settings);
    EXPECT_EQ(2, series.WeightlessWindows);
    EXPECT_EQ((TArray1D{5, 6}), series.X);

    dataset.PointWeights[6] = -1;
    const TTimeSeries refused = AnalyzeTimeSeries(dataset, settings);
    EXPECT_TRUE(refused.X.empty());
    EXPECT_NE(std::string::npos, refused.Problem.find("point 7 weighs -1")) << refused.Problem;
}

TEST(TimeSeriesTest, WindowsOfIdenticalPointsHaveNoShare)
{
    // Points 3..7 are equal (0.1 does not survive the mean exactly); the rest spread.
    data::TData dataset;
    test::SetPoints(dataset, {{0, 1, 2},
                              {5, -1, 3},
                              {0.1, 0.1, 0.1},
                              {0.1, 0.1, 0.1},
                              {0.1, 0.1, 0.1},
                              {0.1, 0.1, 0.1},
                              {0.1, 0.1, 0.1},
                              {4, 4, -2},
                              {1, 2, 7},
                              {3, 0, 1}});
    TTimeSeriesSettings settings = DefaultTimeSeriesSettings(dataset);
    settings.Width = 3;
    // r = 4 .. 9; the windows of r = 6, 7, 8 (points 3-5, 4-6, 5-7) are flat.
    const TTimeSeries dimension = AnalyzeTimeSeries(dataset, settings);
    EXPECT_EQ(3, dimension.FlatWindows);
    ASSERT_EQ(6u, dimension.Y.size());
    EXPECT_EQ((TArray1D{0, 0, 0}), TArray1D(dimension.Y.begin() + 2, dimension.Y.begin() + 5));
    EXPECT_GT(dimension.Y[0], 0);

    settings.Measure = TSeriesMeasure::ComponentsFraction;
    const TTimeSeries share = AnalyzeTimeSeries(dataset, settings);
    EXPECT_EQ(3, share.FlatWindows);
    EXPECT_EQ((TArray1D{3, 4, 8}), share.X);
}

TEST(TimeSeriesTest, WindowsOutsideThePointsAreCountedNotComputed)
{
    data::TData dataset = PlanePoints(10);
    struct TCase {
        const char* Name;
        int From, To, Width;
        TArray1D X;
        long long Outside;
    };
    const TCase cases[] = {
        {"from + W at to", 5, 10, 5, {}, 0},
        {"from + W above to", 8, 10, 5, {}, 0},
        // r = 6 .. 11 lie inside (the window of r = 11 ends at point 10), r = 12 .. 19 not.
        {"to past the last point", 1, 20, 5, {4, 5, 6, 7, 8, 9}, 8},
        // r = 0 .. 5 would start before point 1.
        {"from before the first point", -5, 8, 5, {4, 5}, 6},
        {"width 0", 1, 10, 0, {}, 0},
        {"to far away", 1, 2000000000, 5, {4, 5, 6, 7, 8, 9}, 2000000000LL - 12},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTimeSeriesSettings settings = DefaultTimeSeriesSettings(dataset);
        settings.From = c.From;
        settings.To = c.To;
        settings.Width = c.Width;
        const TTimeSeries series = AnalyzeTimeSeries(dataset, settings);
        EXPECT_EQ(c.X, series.X);
        EXPECT_EQ(c.Outside, series.OutsideWindows);
    }
}

TEST(TimeSeriesTest, ObserverSeesEveryWindowAndCanStop)
{
    data::TData dataset = PlanePoints(12);
    TArray1D seen;
    const TTimeSeries series = AnalyzeTimeSeries(dataset, DefaultTimeSeriesSettings(dataset), [&](double x, double) {
        seen.push_back(x);
        return seen.size() < 3;
    });
    EXPECT_TRUE(series.Cancelled);
    EXPECT_EQ((TArray1D{4, 5, 6}), seen);
    EXPECT_EQ(seen, series.X);
}

} // namespace
} // namespace orbelin::analysis

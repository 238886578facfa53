// The clustering page: colour table, the methods' K rules, marking and deviations, and
// what the results write into the dataset.
#include "analysis/ObjectClustering.h"

#include "AnalysisFixtures.h"
#include "analysis/Marking.h"
#include "coloring/ColorSchemes.h"
#include "map/TNetGrid.h"
#include "numeric/Random.h"
#include "view/TAddObject.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

constexpr int Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00;

// Two tight groups on the x axis: three points near 0 and two near 10.
std::unique_ptr<test::TAnalysisFixture> TwoGroups()
{
    return test::MakeAnalysisFixture({"x", "y"}, {{"0", "0"}, {"1", "0"}, {"0", "1"}, {"10", "0"}, {"11", "0"}},
                                     {Red, Red, Blue, Green, Green});
}

TEST(ObjectClusteringTest, ColourTableRunsFromBlueToRed)
{
    TClusterAnalysis tool;
    tool.SetK(3);
    EXPECT_EQ((TArray1I{0xFF0000, 0x00FF00, 0x0000FF}), tool.Colors);
    // FourStep(1/4) of five clusters is cyan.
    tool.SetK(5);
    EXPECT_EQ(0xFFFF00, tool.Colors[1]);
    // One cluster: blue, without dividing by K - 1 = 0.
    tool.SetK(1);
    EXPECT_EQ((TArray1I{0xFF0000}), tool.Colors);
}

TEST(ObjectClusteringTest, ByColorsMakesOneClusterPerClassColour)
{
    auto f = TwoGroups();
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::ByColors;
    EXPECT_EQ(3, tool.ChooseMethod(s, f->Data, nullptr));
    EXPECT_EQ((TArray1I{Red, Blue, Green}), tool.Colors);
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(3, s.K);
    EXPECT_EQ((TArray2I{{0, 1}, {2}, {3, 4}}), tool.Clusters);
    // Each point marked in its cluster's colour with its own size.
    EXPECT_EQ((TArray1I{0, 1, 2, 3, 4}), f->Data.MarkedPoints);
    EXPECT_EQ((TArray1I{Red, Red, Blue, Green, Green}), f->Data.MarkColors);
    EXPECT_EQ((TArray1I{4, 4, 4, 4, 4}), f->Data.MarkSizes);

    // Records all of one colour: one cluster of every point.
    for (PointStyle& style : f->Table.PointStyles)
        style[FILLCOLOR] = Red;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(1, s.K);
    EXPECT_EQ((TArray2I{{0, 1, 2, 3, 4}}), tool.Clusters);
}

TEST(ObjectClusteringTest, DeviationsShowSizeAndRootMeanDistance)
{
    auto f = TwoGroups();
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::ByColors;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    // Red {(0,0), (1,0)}: mean squared distance 0.25; blue alone 0; green 0.25.
    EXPECT_EQ("2/0.50000", tool.DeviationText(0));
    EXPECT_EQ("1/0.00000", tool.DeviationText(1));
    EXPECT_EQ("", tool.DeviationText(3));
    // sqrt((2 * 0.25 + 0 + 2 * 0.25) / 5).
    EXPECT_NEAR(std::sqrt(0.2), tool.ClassDeviation, 1e-15);
    EXPECT_EQ("Class-class deviation = 0.447214", tool.ClassDeviationText());
}

TEST(ObjectClusteringTest, KMeansFindsTheTwoGroups)
{
    auto f = TwoGroups();
    TClusterAnalysis tool;
    TClusterSettings s;
    s.K = 2;
    numeric::SeedRandom(3);
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    ASSERT_EQ(2u, tool.Clusters.size());
    TArray2I sorted = tool.Clusters;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ((TArray2I{{0, 1, 2}, {3, 4}}), sorted);
    EXPECT_EQ(2, tool.K());
}

TEST(ObjectClusteringTest, HierarchicalMethodsSetKOrTheSlider)
{
    auto f = TwoGroups();
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::Hierarchical;
    // Slider at 0: nothing merges, every point its own cluster.
    s.Sensitivity = 0;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(5, s.K);
    EXPECT_EQ(5, tool.K());
    EXPECT_TRUE(f->Data.ClusterLinks.empty());
    // Slider at 30: squared distances below 0.3 * 121 merge each group.
    s.Sensitivity = 30;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(2, s.K);
    EXPECT_EQ(3u, f->Data.ClusterLinks.size());

    // By count: two clusters; the last merge joined at squared distance 1 of 121.
    s.Method = TClusterMethod::HierarchicalCount;
    s.K = 2;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(2u, tool.Clusters.size());
    EXPECT_EQ(1, s.Sensitivity); // round(100 / 121)
    // K at or above N still merges once.
    s.K = 9;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(4u, tool.Clusters.size());
    EXPECT_EQ(9, tool.K());
}

TEST(ObjectClusteringTest, ByNodesColoursClustersByTheNodesPositions)
{
    auto f = TwoGroups();
    auto grid = map::CreateGrid(map::GridRectangular, 2, 1, 1, 2);
    grid->Nodes = {{0, 0}, {10, 0}};
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::ByNodes;
    EXPECT_EQ(2, tool.ChooseMethod(s, f->Data, grid.get()));
    ASSERT_EQ("", tool.Analyze(s, f->Data, grid.get()));
    EXPECT_EQ((TArray2I{{0, 1, 2}, {3, 4}}), tool.Clusters);
    // Node colours from LinearSpectrum of the internal position scaled to 0..1 over the
    // nodes (a coordinate without extent gives 0), channels above 255 held at 255.
    for (int node = 0; node < 2; ++node) {
        double uw[2];
        for (int a = 0; a < 2; ++a) {
            const double v0 = grid->Internal[0][static_cast<std::size_t>(a)];
            const double v1 = grid->Internal[1][static_cast<std::size_t>(a)];
            const double v = node == 0 ? v0 : v1;
            uw[a] = v0 == v1 ? 0 : (v - std::min(v0, v1)) / std::fabs(v1 - v0);
        }
        coloring::TRgb c = coloring::LinearSpectrum(uw[0], uw[1]);
        for (int& channel : c)
            channel = std::min(channel, 255);
        EXPECT_EQ(coloring::PackColor(c), tool.Colors[static_cast<std::size_t>(node)]);
    }
    EXPECT_NE(tool.Colors[0], tool.Colors[1]);

    EXPECT_NE("", tool.Analyze(s, f->Data, nullptr));
}

TEST(ObjectClusteringTest, BySelectedObjectsLeavesFarPointsOut)
{
    auto f = TwoGroups();
    f->Data.AddObjects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("a", {0, 0}, 1, 0)));
    f->Data.AddObjects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("b", {11, 0}, 1, 0)));
    f->Data.AddObjects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("c", {5, 5}, 1, 0)));
    f->Data.AddObjects[2]->Visible = 0;
    f->Data.Points[2][1] = 2e5; // farther than 1e10 (squared) from both centroids
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::BySelectedObjects;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(2, s.K);
    EXPECT_EQ((TArray2I{{0, 1}, {3, 4}}), tool.Clusters);
    EXPECT_EQ((TArray1I{0, 1, 3, 4}), f->Data.MarkedPoints);
    EXPECT_EQ((TArray1S{" 1", " 1", "", " 2", " 2"}), tool.ClassTexts(5));

    for (auto& object : f->Data.AddObjects)
        object->Visible = 0;
    EXPECT_NE("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(2u, tool.Clusters.size()); // nothing changed
}

TEST(ObjectClusteringTest, SeparateSelectedBuildsOnThePreviousCentroids)
{
    auto f = TwoGroups();
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::SeparateSelected;
    EXPECT_EQ("Mark the points to separate first.", tool.Analyze(s, f->Data, nullptr));
    AddMarks(f->Data, {0, 1, 2, 3, 4}, 0, 1);
    EXPECT_NE("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_TRUE(tool.Centroids.empty());

    // First press: the marked point 2 against the rest.
    data::ClearMarks(f->Data);
    AddMarks(f->Data, {2}, 0, 1);
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(2, s.K);
    EXPECT_EQ((TArray1D{0, 1}), tool.Centroids[0]);
    EXPECT_EQ((TArray1D{5.5, 0}), tool.Centroids[1]);
    // Second press with the far group marked: a third centroid at its mean.
    data::ClearMarks(f->Data);
    AddMarks(f->Data, {3, 4}, 0, 1);
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    EXPECT_EQ(3, s.K);
    ASSERT_EQ(3u, tool.Centroids.size());
    EXPECT_EQ((TArray1D{10.5, 0}), tool.Centroids[2]);
    EXPECT_EQ((TArray2I{{0, 1, 2}, {}, {3, 4}}), tool.Clusters);
}

TEST(ObjectClusteringTest, ASingleMemberClusterKeepsItsMarkWhenMarkedAgain)
{
    // Point 0 alone is separated from the group at 10..12. After the first press it is
    // marked in its cluster's colour (blue); the second press separates it again into a
    // cluster of the same colour. Marking a single point that way must not unmark it.
    auto f = test::MakeAnalysisFixture({"x"}, {{"0"}, {"10"}, {"11"}, {"12"}});
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::SeparateSelected;
    AddMarks(f->Data, {0}, 0, 1);
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    ASSERT_EQ((TArray2I{{0}, {1, 2, 3}}), tool.Clusters);
    data::ClearMarks(f->Data);
    AddMarks(f->Data, {0}, tool.Colors[0], 4);
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    ASSERT_EQ((TArray1I{0}), tool.Clusters[0]);
    EXPECT_EQ((TArray1I{0, 1, 2, 3}), f->Data.MarkedPoints);
    EXPECT_EQ(tool.Colors[0], f->Data.MarkColors[0]);
}

TEST(ObjectClusteringTest, ResultsGoIntoTheTableAndTheObjects)
{
    auto f = TwoGroups();
    TClusterAnalysis tool;
    TClusterSettings s;
    s.Method = TClusterMethod::ByColors;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));

    tool.NumbersInTable(f->Data);
    tool.DistancesInTable(f->Data);
    tool.NumbersInTable(f->Data); // replaces its column
    EXPECT_EQ((TArray1S{"Class", "Dist."}), f->Data.ResultColumnNames);
    EXPECT_EQ((TArray1S{" 1", " 1", " 2", " 3", " 3"}), f->Data.ResultColumns[0]);
    EXPECT_EQ("   0.50000", f->Data.ResultColumns[1][0]);
    EXPECT_EQ("   0.00000", f->Data.ResultColumns[1][2]);

    // Centroids: sizes 2, 1, 2: m = 5/3, V = 9/3 - 25/9 = 2/9.
    tool.CentroidsAsObjects(f->Data);
    ASSERT_EQ(3u, f->Data.AddObjects.size());
    EXPECT_EQ("Centr0", f->Data.AddObjects[0]->Name);
    EXPECT_EQ(Blue, f->Data.AddObjects[1]->Color);
    EXPECT_NEAR((2 - 5.0 / 3) * 0.1 / (2.0 / 9) + 0.2, f->Data.AddObjects[0]->Radius(), 1e-12);
    EXPECT_NEAR(0.05, f->Data.AddObjects[1]->Radius(), 1e-12); // raised from below 0.05
    EXPECT_EQ((TArray1D{10.5, 0}), f->Data.AddObjects[2]->Start());

    // Equal sizes have no variance: every sphere gets 0.2.
    TClusterAnalysis equal;
    equal.SetK(2);
    equal.Clusters = {{0}, {1}};
    equal.Centroids = {{0, 0}, {1, 1}};
    f->Data.AddObjects.clear();
    equal.CentroidsAsObjects(f->Data);
    EXPECT_EQ(0.2, f->Data.AddObjects[1]->Radius());

    // Remember colors turns the clusters into classes.
    s.Method = TClusterMethod::KMeans;
    s.K = 1;
    ASSERT_EQ("", tool.Analyze(s, f->Data, nullptr));
    RememberMarks(f->Data, FILLCOLOR);
    for (const PointStyle& style : f->Table.PointStyles)
        EXPECT_EQ(0xFF0000, style[FILLCOLOR]);

    // After Cancel, "Numbers in table" writes empty texts.
    tool.Cancel(f->Data);
    EXPECT_TRUE(f->Data.MarkedPoints.empty());
    tool.NumbersInTable(f->Data);
    EXPECT_EQ(TArray1S(5), f->Data.ResultColumns[0]);
}

TEST(ObjectClusteringTest, ShowOnlySomeClassesHidesTheUncheckedOnes)
{
    auto f = TwoGroups();
    const TArray1I classes = {Red, Blue, Green};
    ShowClasses(f->Data, classes, {true, false, true});
    EXPECT_EQ((TArray1I{1, 1, 0, 1, 1}), f->Data.Visibility);
    ShowClasses(f->Data, classes, {true, true, true});
    EXPECT_EQ((TArray1I{1, 1, 1, 1, 1}), f->Data.Visibility);
    EXPECT_EQ((TArray1I{3, 4}), PointsOfClass(f->Data, Green));
}

} // namespace
} // namespace orbelin::analysis

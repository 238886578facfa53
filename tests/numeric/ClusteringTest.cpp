// Nearest-centroid assignment, k-means, grouping by key and by node, and the link distance.
#include "numeric/Clustering.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/TUserInterface.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <bit>
#include <cstdint>

namespace orbelin::numeric {
namespace {

const double M = Missing();

class TMessages : public TUserInterface {
public:
    std::vector<std::string> Shown;
    void ShowMessage(const std::string& text) override { Shown.push_back(text); }
};

struct TInstalled {
    explicit TInstalled(TUserInterface* ui) { SetUserInterface(ui); }
    ~TInstalled() { SetUserInterface(nullptr); }
};

bool SameBits(const TArray2D& a, const TArray2D& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].size() != b[i].size() || !std::equal(a[i].begin(), a[i].end(), b[i].begin(), [](double x, double y) {
                return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
            }))
            return false;
    return true;
}

TEST(ClusteringTest, NearestCentroidTakesTheLowestIndexOnTiesAndSkipsMissing)
{
    const TArray2D centroids = {{0, 0}, {2, 0}, {1, 5}};
    struct TCase {
        const char* Name;
        TArray1D X;
        int Kind, Expected;
    };
    const TCase cases[] = {
        {"halfway between 0 and 1", {1, 0}, 0, 0},
        {"halfway, city-block", {1, 0}, 1, 0},
        {"nearer to 1", {1.5, 0}, 0, 1},
        {"first coordinate missing", {M, 5}, 0, 2},
        // Nothing to compare: every distance is 0, the first centroid keeps it.
        {"all missing", {M, M}, 1, 0},
        // Every distance is 1e100 or more: no centroid replaces the start.
        {"out of reach", {1e60, 1e60}, 0, 0},
    };
    TArray2D x;
    TArray2I expectedLists(3);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, NearestCentroid(c.X, centroids, c.Kind));
        if (c.Kind == 0) {
            expectedLists[c.Expected].push_back(static_cast<int>(x.size()));
            x.push_back(c.X);
        }
    }
    EXPECT_EQ(0, NearestCentroid(TArray1D{1, 2}, {}, 0));
    EXPECT_EQ(expectedLists, AssignToCentroids(x, centroids, 0));
    EXPECT_EQ(TArray2I{}, AssignToCentroids(x, {}, 0));
}

TEST(ClusteringTest, AssignToNearestLeavesOutPointsAt1e10OrMore)
{
    const TArray2D centroids = {{0}, {1e6}};
    const TArray2D x = {{99999}, {1e5}, {1e6 - 1}, {5e5}, {M}};
    // 99999^2 < 1e10 joins centroid 0; 1e5 is exactly 1e10 away and 5e5 even farther from
    // both; the missing point is at 0 from both and joins the first.
    EXPECT_EQ((TArray2I{{0, 4}, {2}}), AssignToNearest(x, centroids));
}

TEST(ClusteringTest, KMeansSeparatesDistinctGroups)
{
    TArray2D x;
    const TArray2D centres = {{0, 0}, {10, 10}, {-10, 10}};
    SeedRandom(8);
    for (int p = 0; p < 60; ++p) {
        const TArray1D& c = centres[p % 3];
        x.push_back({c[0] + RandInt(1000) / 1000.0 - 0.5, c[1] + RandInt(1000) / 1000.0 - 0.5});
    }
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind);
        SeedRandom(5);
        const TKMeansResult r = KMeans(x, 3, kind, {});
        ASSERT_EQ(3u, r.Clusters.size());
        EXPECT_LT(r.Change, NumericTolerance);
        EXPECT_LT(r.Passes, 1001);
        for (std::size_t i = 0; i < 3; ++i) {
            ASSERT_EQ(20u, r.Clusters[i].size());
            const int group = r.Clusters[i][0] % 3;
            for (std::int32_t p : r.Clusters[i])
                EXPECT_EQ(group, p % 3);
            EXPECT_NEAR(centres[group][0], r.Centroids[i][0], 0.2);
            EXPECT_NEAR(centres[group][1], r.Centroids[i][1], 0.2);
        }
    }
}

TEST(ClusteringTest, KMeansMeansAreWeightedWhenTheWeightsFit)
{
    struct TCase {
        const char* Name;
        TArray2D X;
        TArray1D W, Expected;
    };
    const TCase cases[] = {
        {"weighted", {{0, 2}, {4, 6}}, {3, 1}, {1, 3}},
        {"weights of another length", {{0, 2}, {4, 6}}, {3, 1, 1}, {2, 4}},
        {"no weight in the cluster", {{0, 2}, {4, 6}}, {0, 0}, {2, 4}},
        {"missing propagates", {{0, M}, {4, 6}}, {}, {2, M}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SeedRandom(1);
        const TKMeansResult r = KMeans(c.X, 1, 0, c.W);
        EXPECT_EQ((TArray2I{{0, 1}}), r.Clusters);
        EXPECT_TRUE(SameBits({c.Expected}, r.Centroids));
        EXPECT_EQ(2, r.Passes); // the second pass confirms
        EXPECT_EQ(0.0, r.Change);
    }
}

TEST(ClusteringTest, KMeansWithMoreClustersThanPointsRedrawsTheEmptyOnes)
{
    const TArray2D x = {{0, 0}, {0, 0}, {1, M}, {0.5, 1}};
    for (bool weighted : {false, true}) {
        SCOPED_TRACE(weighted);
        TMessages messages;
        TInstalled installed(&messages);
        SeedRandom(3);
        const TKMeansResult r = KMeans(x, 8, 0, weighted ? TArray1D(4, 1.0) : TArray1D{});
        EXPECT_TRUE(messages.Shown.empty());
        TArray1I all;
        int empty = 0;
        for (std::size_t i = 0; i < r.Clusters.size(); ++i) {
            all.insert(all.end(), r.Clusters[i].begin(), r.Clusters[i].end());
            if (!r.Clusters[i].empty())
                continue;
            ++empty;
            // Redrawn in the box of the present values, or on the unit sphere.
            const TArray1D& c = r.Centroids[i];
            if (weighted) {
                EXPECT_TRUE(c[0] >= 0 && c[0] <= 1 && c[1] >= 0 && c[1] <= 1);
            } else {
                EXPECT_NEAR(1.0, SqNorm(c), 1e-12);
            }
        }
        std::sort(all.begin(), all.end());
        EXPECT_EQ((TArray1I{0, 1, 2, 3}), all);
        EXPECT_GE(empty, 5);
    }
}

TEST(ClusteringTest, KMeansReportsThe1001stPass)
{
    TMessages messages;
    TInstalled installed(&messages);
    const double tolerance = NumericTolerance;
    NumericTolerance = 0; // a change is never below 0: only the pass limit ends the loop
    SeedRandom(2);
    const TKMeansResult r = KMeans({{0, 0}, {1, 1}, {5, 5}}, 2, 0, {});
    NumericTolerance = tolerance;
    EXPECT_EQ(1001, r.Passes);
    EXPECT_EQ(std::vector<std::string>{"Maximal number of iterations exceeded."}, messages.Shown);
    EXPECT_EQ(2u, r.Clusters.size());
}

TEST(ClusteringTest, KMeansOfNothing)
{
    const TKMeansResult none = KMeans({}, 3, 0, {});
    EXPECT_EQ(TArray2I(3), none.Clusters);
    EXPECT_EQ(3u, none.Centroids.size());
    EXPECT_TRUE(KMeans({{1}}, 0, 0, {}).Clusters.empty());
}

TEST(ClusteringTest, MeanDistanceToCentroid)
{
    const TArray2D x = {{0, 0}, {2, 0}, {1, 3}, {M, 1}};
    struct TCase {
        const char* Name;
        TArray1I Members;
        int Kind;
        double Expected;
    };
    const TCase cases[] = {
        {"pair, squared", {0, 1}, 0, 1},
        {"pair, city-block", {0, 1}, 1, 1},
        // Mean (1, 1): squared distances 2, 2, 4.
        {"three", {0, 1, 2}, 0, 8.0 / 3},
        // Mean (missing, 1/2): only the second coordinate counts.
        {"with a gap", {0, 3}, 0, 0.25},
        {"no members", {}, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_DOUBLE_EQ(c.Expected, MeanDistanceToCentroid(x, c.Members, c.Kind));
    }
}

TEST(ClusteringTest, ClusterByKeyFollowsTheFirstAppearanceOfEachKey)
{
    const TArray2D x = {{0, 0}, {1, 1}, {2, 4}, {3, 9}, {5, M}};
    const TClustering r = ClusterByKey(x, {5, 3, 5, 7, 3});
    EXPECT_EQ((TArray2I{{0, 2}, {1, 4}, {3}}), r.Clusters);
    EXPECT_TRUE(SameBits((TArray2D{{1, 2}, {3, M}, {3, 9}}), r.Centroids));
    EXPECT_EQ((TArray2I{{0, 1, 2, 3, 4}}), ClusterByKey(x, {7, 7, 7, 7, 7}).Clusters);
}

TEST(ClusteringTest, ClusterByNodesGivesEmptyNodesTheirPositions)
{
    const TArray2D nodes = {{0, 0}, {10, 0}, {5, 5}, {100, 100}};
    // (5, 0) is 25 away from nodes 0, 1 and 2 and goes to node 0.
    const TArray2D x = {{1, 0}, {9, 1}, {5, 0}};
    struct TCase {
        const char* Name;
        int NodeCount;
        TArray2I Clusters;
        TArray2D Centroids;
    };
    const TCase cases[] = {
        {"all nodes", 4, {{0, 2}, {1}, {}, {}}, {{3, 0}, {9, 1}, {5, 5}, {100, 100}}},
        {"first two", 2, {{0, 2}, {1}}, {{3, 0}, {9, 1}}},
        {"more than given", 9, {{0, 2}, {1}, {}, {}}, {{3, 0}, {9, 1}, {5, 5}, {100, 100}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TClustering r = ClusterByNodes(nodes, x, c.NodeCount);
        EXPECT_EQ(c.Clusters, r.Clusters);
        EXPECT_EQ(c.Centroids, r.Centroids);
    }
}

TEST(ClusteringTest, ClusterLinkDistanceFindsTheFirstClosestPair)
{
    const TArray2D x = {{0}, {3}, {5}, {7}, {6}};
    struct TCase {
        const char* Name;
        TArray1I A, B;
        double Distance;
        int PairA, PairB;
    };
    const TCase cases[] = {
        {"one pair", {0}, {1}, 9, 0, 1},
        {"closest of several", {0, 1}, {3, 2}, 4, 1, 2},
        // 5-6 and 7-6 are both 1 apart: the first met wins.
        {"tie broken by scan order", {2, 3}, {4}, 1, 2, 4},
        {"empty a", {}, {1}, -1, -1, -1},
        {"empty b", {1}, {}, -1, -1, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TClusterLink link = ClusterLinkDistance(c.A, c.B, x, 0);
        EXPECT_EQ(c.Distance, link.Distance);
        EXPECT_EQ(c.PairA, link.A);
        EXPECT_EQ(c.PairB, link.B);
    }
}

TEST(ClusteringTest, OneThreadAndTwoGiveTheSameClusters)
{
    SeedRandom(12);
    TArray2D x(20000, TArray1D(5));
    for (TArray1D& row : x)
        for (double& e : row)
            e = RandInt(100) == 0 ? M : RandInt(1000) / 37.0;
    TArray2D nodes(40, TArray1D(5));
    for (TArray1D& node : nodes)
        for (double& e : node)
            e = RandInt(1000) / 37.0;

    TKMeansResult kmeans[2];
    TClustering byNodes[2];
    for (int threads : {1, 2}) {
        omp_set_num_threads(threads);
        SeedRandom(6);
        kmeans[threads - 1] = KMeans(x, 12, 1, {});
        byNodes[threads - 1] = ClusterByNodes(nodes, x, 40);
    }
    omp_set_num_threads(omp_get_num_procs());
    EXPECT_EQ(kmeans[0].Clusters, kmeans[1].Clusters);
    EXPECT_TRUE(SameBits(kmeans[0].Centroids, kmeans[1].Centroids));
    EXPECT_EQ(kmeans[0].Passes, kmeans[1].Passes);
    EXPECT_EQ(byNodes[0].Clusters, byNodes[1].Clusters);
    EXPECT_TRUE(SameBits(byNodes[0].Centroids, byNodes[1].Centroids));
}

} // namespace
} // namespace orbelin::numeric

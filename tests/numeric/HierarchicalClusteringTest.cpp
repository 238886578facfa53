// Single-linkage merging: hand-worked merges, and the fast methods against a direct
// implementation of the distance-matrix procedure on random data without tied distances.
#include "numeric/Clustering.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/TUserInterface.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <bit>
#include <cstdint>

namespace orbelin::numeric {
namespace {

// The merge procedure written out over the lower triangle of the distance matrix, as the
// fast methods must reproduce it.
struct TOracle {
    TArray2I Clusters;
    TArray2D Centroids;
    TArray2I Links;
    int Count = 0;
    double Threshold = 0;
    double Ratio = 0;
};

TOracle MergeByMatrix(const TArray2D& x, int kind, double fraction, bool byCount, int k)
{
    const std::size_t n = x.size();
    TArray2D m(n);
    double largest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        m[i].resize(i + 1);
        for (std::size_t j = 0; j <= i; ++j) {
            m[i][j] = Distance(x[i], x[j], kind);
            if (m[i][j] > largest)
                largest = m[i][j];
        }
    }
    TOracle result;
    const double threshold = byCount ? 1e10 : fraction * largest;
    result.Threshold = threshold;
    TArray2I clusters(n);
    for (std::size_t i = 0; i < n; ++i)
        clusters[i] = {static_cast<std::int32_t>(i)};
    double last = 0.0;
    bool merged = false;
    for (;;) {
        double best = 1e100;
        std::size_t bi = n, bj = n;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (m[i][j] > -1 && m[i][j] < best) {
                    best = m[i][j];
                    bi = i;
                    bj = j;
                }
        if (bi == n || best >= threshold || best == -1)
            break;
        for (std::size_t c = 0; c < n; ++c)
            (c <= bj ? m[bj][c] : m[c][bj]) = -1;
        const TClusterLink link = ClusterLinkDistance(clusters[bi], clusters[bj], x, kind);
        result.Links.push_back({link.A, link.B});
        clusters[bi].insert(clusters[bi].end(), clusters[bj].begin(), clusters[bj].end());
        clusters[bj].clear();
        for (std::size_t c = 0; c < n; ++c)
            (c >= bi ? m[c][bi] : m[bi][c]) = ClusterLinkDistance(clusters[c], clusters[bi], x, kind).Distance;
        last = best;
        merged = true;
        if (byCount) {
            int count = 0;
            for (const TArray1I& members : clusters)
                count += members.empty() ? 0 : 1;
            if (count <= k)
                break;
        }
    }
    for (const TArray1I& members : clusters) {
        if (members.empty())
            continue;
        result.Clusters.push_back(members);
        TArray1D sum(x[0].size(), 0.0);
        for (std::int32_t p : members)
            sum = VecAdd(sum, x[p]);
        for (double& s : sum)
            if (!IsMissing(s))
                s /= static_cast<double>(members.size());
        result.Centroids.push_back(sum);
    }
    result.Count = static_cast<int>(result.Clusters.size());
    result.Ratio = merged && largest != 0 ? last / largest : 0.0;
    return result;
}

// Coordinates with about a billion levels each, so no two pairs share a distance.
TArray2D RandomPoints(int n, int d, int missingPerMille)
{
    TArray2D x(static_cast<std::size_t>(n), TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& row : x)
        for (double& e : row)
            e = RandInt(1000) < missingPerMille
                    ? Missing()
                    : (RandInt(1000) + RandInt(1000) / 1000.0 + RandInt(1000) / 1e6) / 1000.0;
    return x;
}

std::uint64_t Bits(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

void ExpectSameAsOracle(const TOracle& expected, const THierarchy& actual)
{
    EXPECT_EQ(expected.Count, actual.Count);
    EXPECT_EQ(expected.Clusters, actual.Clusters);
    EXPECT_EQ(expected.Links, actual.Links);
    EXPECT_EQ(Bits(expected.Ratio), Bits(actual.Ratio));
    ASSERT_EQ(expected.Centroids.size(), actual.Centroids.size());
    for (std::size_t c = 0; c < expected.Centroids.size(); ++c)
        for (std::size_t j = 0; j < expected.Centroids[c].size(); ++j)
            ASSERT_EQ(Bits(expected.Centroids[c][j]), Bits(actual.Centroids[c][j])) << "centroid " << c;
}

TEST(HierarchicalClusteringTest, MergesOfAHandWorkedLine)
{
    // Points 0, 1, 3, 7 on a line; squared distances 1 (0-1), 4 (1-3), 16 (3-7), largest 49.
    const TArray2D x = {{0}, {1}, {3}, {7}};
    struct TCase {
        const char* Name;
        bool ByCount;
        double FractionOrK;
        TArray2I Clusters, Links;
        TArray2D Centroids;
        double Threshold, Ratio;
    };
    const TCase cases[] = {
        {"threshold 0.2", false, 0.2, {{2, 1, 0}, {3}}, {{1, 0}, {2, 1}}, {{4.0 / 3}, {7}}, 0.2 * 49, 4.0 / 49},
        {"threshold 0", false, 0, {{0}, {1}, {2}, {3}}, {}, {{0}, {1}, {3}, {7}}, 0, 0},
        {"threshold 1", false, 1, {{3, 2, 1, 0}}, {{1, 0}, {2, 1}, {3, 2}}, {{11.0 / 4}}, 49, 16.0 / 49},
        {"count 1", true, 1, {{3, 2, 1, 0}}, {{1, 0}, {2, 1}, {3, 2}}, {{11.0 / 4}}, 0, 16.0 / 49},
        {"count 2", true, 2, {{2, 1, 0}, {3}}, {{1, 0}, {2, 1}}, {{4.0 / 3}, {7}}, 0, 4.0 / 49},
        // At or above the number of points one merge still happens.
        {"count 9", true, 9, {{1, 0}, {2}, {3}}, {{1, 0}}, {{0.5}, {3}, {7}}, 0, 1.0 / 49},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        double fraction = c.FractionOrK;
        const THierarchy h = c.ByCount ? HierarchicalByCount(x, 0, static_cast<int>(c.FractionOrK))
                                       : HierarchicalByThreshold(x, 0, fraction);
        EXPECT_EQ(c.Clusters, h.Clusters);
        EXPECT_EQ(c.Links, h.Links);
        EXPECT_EQ(c.Centroids, h.Centroids);
        EXPECT_EQ(static_cast<int>(c.Clusters.size()), h.Count);
        if (!c.ByCount) {
            EXPECT_EQ(c.Threshold, fraction);
        }
        EXPECT_DOUBLE_EQ(c.Ratio, h.Ratio);
    }
}

TEST(HierarchicalClusteringTest, TheMergedClusterKeepsTheLargerSlotAndListsItFirst)
{
    // 0 and 2 merge first into slot 2 as [2, 0]; point 1 joins through its closest
    // partner 2 (city-block 9 against 10), so the link lists 2 first.
    const TArray2D x = {{0}, {10}, {1}};
    const THierarchy h = HierarchicalByCount(x, 1, 1);
    EXPECT_EQ((TArray2I{{2, 0, 1}}), h.Clusters);
    EXPECT_EQ((TArray2I{{2, 0}, {2, 1}}), h.Links);
    EXPECT_DOUBLE_EQ(9.0 / 10, h.Ratio);
}

TEST(HierarchicalClusteringTest, TheObserverSeesEachLinkBeforeTheClustersJoin)
{
    struct TEvents : TUserInterface {
        int Count = 0;
        void ProcessEvents() override { ++Count; }
    } events;
    SetUserInterface(&events);
    std::vector<TArray2I> seenClusters, seenLinks;
    HierarchicalByCount({{0}, {1}, {3}, {7}}, 0, 2, [&](const TArray2I& clusters, const TArray2I& links) {
        seenClusters.push_back(clusters);
        seenLinks.push_back(links);
    });
    SetUserInterface(nullptr);
    ASSERT_EQ(2u, seenClusters.size());
    EXPECT_EQ((TArray2I{{0}, {1}, {2}, {3}}), seenClusters[0]);
    EXPECT_EQ((TArray2I{{}, {1, 0}, {2}, {3}}), seenClusters[1]);
    EXPECT_EQ((TArray2I{{1, 0}}), seenLinks[0]);
    EXPECT_EQ((TArray2I{{1, 0}, {2, 1}}), seenLinks[1]);
    EXPECT_EQ(2, events.Count);
}

TEST(HierarchicalClusteringTest, DegenerateInputs)
{
    double fraction = 0.5;
    const THierarchy none = HierarchicalByThreshold({}, 0, fraction);
    EXPECT_TRUE(none.Clusters.empty());
    EXPECT_EQ(0, none.Count);
    EXPECT_EQ(0.0, fraction);

    const THierarchy one = HierarchicalByCount({{1, 2}}, 0, 1);
    EXPECT_EQ((TArray2I{{0}}), one.Clusters);
    EXPECT_EQ(0.0, one.Ratio);

    // Identical points: every distance is 0, and so is the largest; the ratio stays 0.
    const THierarchy same = HierarchicalByCount({{1, 2}, {1, 2}, {1, 2}}, 0, 1);
    EXPECT_EQ((TArray2I{{2, 1, 0}}), same.Clusters);
    EXPECT_EQ(0.0, same.Ratio);

    // Squared distances of 1e10 or more never merge, even by count.
    const THierarchy far = HierarchicalByCount({{0}, {1e5}, {3e5}}, 0, 1);
    EXPECT_EQ(3, far.Count);
    EXPECT_TRUE(far.Links.empty());
}

TEST(HierarchicalClusteringTest, FastMethodsAgreeWithTheMatrixProcedure)
{
    struct TCase {
        const char* Name;
        int N, D, MissingPerMille, Kind;
        bool ByCount;
        double FractionOrK;
    };
    const TCase cases[] = {
        {"euclidean threshold", 400, 10, 0, 0, false, 0.05},
        {"city-block threshold", 200, 10, 0, 1, false, 0.2},
        {"threshold with gaps", 180, 6, 30, 0, false, 0.1},
        {"everything merged", 150, 3, 0, 0, false, 1.0},
        {"euclidean by count", 400, 10, 0, 0, true, 7},
        {"city-block by count with gaps", 170, 5, 40, 1, true, 3},
        {"down to one", 120, 2, 0, 1, true, 1},
    };
    SeedRandom(2024);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TArray2D x = RandomPoints(c.N, c.D, c.MissingPerMille);
        const TOracle expected = MergeByMatrix(x, c.Kind, c.FractionOrK, c.ByCount, static_cast<int>(c.FractionOrK));
        double fraction = c.FractionOrK;
        const THierarchy actual = c.ByCount ? HierarchicalByCount(x, c.Kind, static_cast<int>(c.FractionOrK))
                                            : HierarchicalByThreshold(x, c.Kind, fraction);
        ExpectSameAsOracle(expected, actual);
        if (!c.ByCount) {
            EXPECT_EQ(Bits(expected.Threshold), Bits(fraction));
        }
        EXPECT_GT(expected.Links.size(), 0u);
    }
}

TEST(HierarchicalClusteringTest, OneThreadAndTwoGiveTheSameMerges)
{
    SeedRandom(99);
    const TArray2D x = RandomPoints(3000, 10, 10);
    THierarchy results[2];
    double fractions[2];
    for (int threads : {1, 2}) {
        omp_set_num_threads(threads);
        fractions[threads - 1] = 0.02;
        results[threads - 1] = HierarchicalByThreshold(x, 0, fractions[threads - 1]);
    }
    omp_set_num_threads(omp_get_num_procs());
    EXPECT_EQ(Bits(fractions[0]), Bits(fractions[1]));
    EXPECT_EQ(results[0].Clusters, results[1].Clusters);
    EXPECT_EQ(results[0].Links, results[1].Links);
    EXPECT_GT(results[0].Links.size(), 100u);
}

} // namespace
} // namespace orbelin::numeric

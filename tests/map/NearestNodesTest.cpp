// The nearest-node search against a plain scan of every node, with exact ties, gaps in
// points and nodes, useless hints and every vector width.
#include "map/NearestNodes.h"
#include "map/SimdWidth.h"

#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

namespace orbelin::map {
namespace {

struct TScan {
    std::vector<std::int32_t> Nearest;
    std::vector<double> Distance;
};

// The plain scan: ascending nodes, replaced only on a strictly smaller sum below 1e100.
TScan Scan(const TArray2D& points, const TArray2D& nodes, TNodeGapRule rule)
{
    TScan scan;
    for (const TArray1D& x : points) {
        double best = 1e100;
        int nearest = -1;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            double s = 0;
            for (std::size_t k = 0; k < x.size(); ++k)
                if (!IsMissing(x[k]) && !(rule == TNodeGapRule::Skip && IsMissing(nodes[i][k]))) {
                    const double t = x[k] - nodes[i][k];
                    s += t * t;
                }
            if (s < best) {
                best = s;
                nearest = static_cast<int>(i);
            }
        }
        scan.Nearest.push_back(nearest);
        scan.Distance.push_back(nearest >= 0 ? best : 0.0);
    }
    return scan;
}

std::vector<int> Widths()
{
    std::vector<int> widths = {2};
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        widths.push_back(4);
    if (__builtin_cpu_supports("avx512f"))
        widths.push_back(8);
    return widths;
}

struct TCase {
    const char* Name;
    int Points, Nodes, Dimension;
    bool IntegerGrid;  ///< coordinates on a coarse integer lattice: many exact ties
    bool Duplicates;   ///< every node appears twice
    int PointGapEvery; ///< every k-th point value missing (0: none)
    bool NodeGap;      ///< one node misses a coordinate
    bool InfiniteNode; ///< one node has an infinite coordinate
    int FarEvery = 0;  ///< every k-th point scaled by 1e90, the next by 1e120 (0: none)
    int Lattice = 2;   ///< integer coordinates run from -Lattice to Lattice
    bool Flat = false; ///< nodes in the plane of the first two coordinates, points off it
};

TEST(NearestNodesTest, SearchEqualsThePlainScan)
{
    const TCase cases[] = {
        {"integer lattice, ties everywhere", 700, 37, 3, true, false, 0, false, false},
        {"duplicated nodes", 500, 40, 4, false, true, 0, false, false},
        {"points with gaps", 600, 50, 5, true, false, 3, false, false},
        {"all-gap points and duplicates", 300, 20, 2, true, true, 2, false, false},
        {"node with a gap", 400, 33, 4, true, false, 5, true, false},
        {"infinite node", 200, 19, 3, false, false, 0, false, true},
        {"one node", 50, 1, 3, false, false, 4, false, false},
        {"one coordinate", 300, 45, 1, true, false, 0, false, false},
        {"ties in five coordinates", 600, 40, 5, true, true, 0, false, false},
        {"far and huge points", 400, 30, 6, false, false, 7, false, false, 5},
        {"many lattice nodes, ties everywhere", 3000, 700, 5, true, true, 0, false, false, 0, 6},
        {"flat lattice of nodes, points off it", 3000, 500, 6, true, true, 9, false, false, 0, 8, true},
        {"many nodes in many coordinates", 2000, 900, 12, false, false, 0, false, false, 0, 2, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::mt19937_64 random(11);
        std::uniform_int_distribution<int> lattice(-c.Lattice, c.Lattice);
        std::uniform_real_distribution<double> real(-3.0, 3.0);
        const auto draw = [&] { return c.IntegerGrid ? static_cast<double>(lattice(random)) : real(random); };
        TArray2D nodes, points;
        for (int i = 0; i < c.Nodes; ++i) {
            TArray1D y(static_cast<std::size_t>(c.Dimension));
            for (std::size_t k = 0; k < y.size(); ++k)
                y[k] = c.Flat && k >= 2 ? 0.0 : draw();
            nodes.push_back(y);
            if (c.Duplicates)
                nodes.insert(nodes.begin() + static_cast<std::ptrdiff_t>(random() % nodes.size()), y);
        }
        if (c.NodeGap)
            nodes[3][1] = Missing();
        if (c.InfiniteNode)
            nodes[2][0] = std::numeric_limits<double>::infinity();
        long long counter = 0;
        for (int p = 0; p < c.Points; ++p) {
            TArray1D x(static_cast<std::size_t>(c.Dimension));
            for (double& v : x)
                v = c.PointGapEvery > 0 && ++counter % c.PointGapEvery == 0 ? Missing() : draw();
            if (c.FarEvery > 0 && p % c.FarEvery < 2)
                for (double& v : x)
                    v *= p % c.FarEvery == 0 ? 1e90 : 1e120;
            points.push_back(x);
        }
        std::vector<const double*> rows;
        std::vector<char> complete;
        for (const TArray1D& x : points) {
            rows.push_back(x.data());
            bool full = true;
            for (double v : x)
                full = full && !IsMissing(v);
            complete.push_back(full ? 1 : 0);
        }
        // Hints that are wrong, out of range, or the answer itself: none may change it.
        std::vector<std::int32_t> badHints(points.size());
        for (std::size_t p = 0; p < points.size(); ++p)
            badHints[p] = static_cast<std::int32_t>(p % 3 == 0 ? -5 : p % 3 == 1 ? 100000 : random() % nodes.size());

        TNearestNodeSearch search;
        search.SetNodes(nodes);
        EXPECT_TRUE(search.SameNodes(nodes));
        for (TNodeGapRule rule : {TNodeGapRule::Propagate, TNodeGapRule::Skip}) {
            const TScan expected = Scan(points, nodes, rule);
            for (int width : Widths()) {
                ForceSimdWidth(width);
                const std::vector<const std::int32_t*> hints = {nullptr, badHints.data(), expected.Nearest.data()};
                for (const std::int32_t* hint : hints) {
                    std::vector<std::int32_t> nearest(points.size());
                    std::vector<double> distance(points.size());
                    search.Search(rows.data(), complete.data(), points.size(), rule, hint, nearest.data(),
                                  distance.data());
                    EXPECT_EQ(expected.Nearest, nearest) << "width " << width;
                    EXPECT_EQ(0,
                              std::memcmp(expected.Distance.data(), distance.data(), distance.size() * sizeof(double)))
                        << "width " << width;
                }
            }
            ForceSimdWidth(0);
        }
    }
}

TEST(NearestNodesTest, MovedNodesAreNoticed)
{
    TArray2D nodes = {{0, 0}, {1, 1}};
    TNearestNodeSearch search;
    search.SetNodes(nodes);
    nodes[1][0] = 1.0000000000000002;
    EXPECT_FALSE(search.SameNodes(nodes));
    nodes[1][0] = 1;
    EXPECT_TRUE(search.SameNodes(nodes));
    nodes.push_back({2, 2});
    EXPECT_FALSE(search.SameNodes(nodes));
}

} // namespace
} // namespace orbelin::map

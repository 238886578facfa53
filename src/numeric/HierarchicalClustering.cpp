// Single-linkage merging without the distance matrix. The merges of the matrix procedure
// (always the closest two clusters, the merged one keeping the larger slot) are the edges
// of the minimum spanning tree taken in increasing order, so one pass of Prim's algorithm
// over all pairs, in parallel over the points, replaces the n^3 rescans of the matrix.
#include "numeric/Clustering.h"

#include "numeric/Missing.h"
#include "numeric/TUserInterface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numeric>

namespace orbelin::numeric {
namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Distance(a, b, kind) with the same arithmetic, inlined for the pair loop.
template <int Kind>
double PairDistance(const TArray1D& a, const TArray1D& b)
{
    const std::size_t d = std::min(a.size(), b.size());
    double s = 0.0;
    for (std::size_t j = 0; j < d; ++j) {
        if (IsMissing(a[j]) || IsMissing(b[j]))
            continue;
        if constexpr (Kind == 1) {
            s += std::fabs(a[j] - b[j]);
        } else {
            const double diff = a[j] - b[j];
            s += diff * diff;
        }
    }
    return s;
}

struct TTreeEdge {
    double Weight;
    std::int32_t From; // the tree point it was reached from; -1 when no distance reached it
    std::int32_t To;
};

// Prim's algorithm on the complete graph: every pair's distance is computed once, when
// the first of the two joins the tree, which also yields the largest distance. A distance
// that is not a number never becomes a tree edge, as it never wins a comparison in the
// matrix procedure either.
std::vector<TTreeEdge> SpanningTree(const TArray2D& x, int kind, double& largest)
{
    const std::size_t n = x.size();
    largest = 0.0;
    std::vector<TTreeEdge> edges;
    if (n < 2)
        return edges;
    edges.reserve(n - 1);
    std::vector<double> key(n, Infinity);
    std::vector<std::int32_t> from(n, -1);
    std::vector<std::int32_t> outside(n - 1);
    std::iota(outside.begin(), outside.end(), 1);
    std::int32_t last = 0;
    while (!outside.empty()) {
        const auto m = static_cast<std::ptrdiff_t>(outside.size());
        const TArray1D& anchor = x[static_cast<std::size_t>(last)];
        double best = Infinity, stepLargest = 0.0;
        std::int32_t bestPoint = std::numeric_limits<std::int32_t>::max();
        std::ptrdiff_t bestAt = 0;
#pragma omp parallel if (m > 512)
        {
            double threadBest = Infinity, threadLargest = 0.0;
            std::int32_t threadPoint = std::numeric_limits<std::int32_t>::max();
            std::ptrdiff_t threadAt = 0;
#pragma omp for schedule(static) nowait
            for (std::ptrdiff_t q = 0; q < m; ++q) {
                const std::int32_t u = outside[static_cast<std::size_t>(q)];
                const TArray1D& point = x[static_cast<std::size_t>(u)];
                const double d = kind == 1 ? PairDistance<1>(anchor, point) : PairDistance<0>(anchor, point);
                if (d > threadLargest)
                    threadLargest = d;
                double& k = key[static_cast<std::size_t>(u)];
                if (d < k) {
                    k = d;
                    from[static_cast<std::size_t>(u)] = last;
                }
                if (k < threadBest || (k == threadBest && u < threadPoint)) {
                    threadBest = k;
                    threadPoint = u;
                    threadAt = q;
                }
            }
            // The smallest key, ties to the lowest point, and the largest distance do not
            // depend on the order in which the threads report.
#pragma omp critical
            {
                if (threadLargest > stepLargest)
                    stepLargest = threadLargest;
                if (threadBest < best || (threadBest == best && threadPoint < bestPoint)) {
                    best = threadBest;
                    bestPoint = threadPoint;
                    bestAt = threadAt;
                }
            }
        }
        if (stepLargest > largest)
            largest = stepLargest;
        edges.push_back({best, from[static_cast<std::size_t>(bestPoint)], bestPoint});
        outside[static_cast<std::size_t>(bestAt)] = outside.back();
        outside.pop_back();
        last = bestPoint;
    }
    return edges;
}

std::int32_t FindRoot(std::vector<std::int32_t>& parent, std::int32_t p)
{
    while (parent[static_cast<std::size_t>(p)] != p) {
        const std::int32_t up = parent[static_cast<std::size_t>(p)];
        parent[static_cast<std::size_t>(p)] = parent[static_cast<std::size_t>(up)];
        p = up;
    }
    return p;
}

// Takes the tree edges in increasing order while they are below the threshold (and below
// 1e100, the matrix procedure's starting value), stopping by count when maxClusters >= 0.
THierarchy Merge(const TArray2D& x, std::vector<TTreeEdge> edges, double threshold, bool byCount, int maxClusters,
                 double largest, const TMergeObserver& redraw)
{
    const std::size_t n = x.size();
    std::stable_sort(edges.begin(), edges.end(),
                     [](const TTreeEdge& a, const TTreeEdge& b) { return a.Weight < b.Weight; });
    TArray2I members(n);
    for (std::size_t p = 0; p < n; ++p)
        members[p] = {static_cast<std::int32_t>(p)};
    std::vector<std::int32_t> parent(n), slot(n);
    std::iota(parent.begin(), parent.end(), 0);
    std::iota(slot.begin(), slot.end(), 0);

    THierarchy result;
    std::size_t clusters = n;
    double lastDistance = 0.0;
    bool merged = false;
    for (const TTreeEdge& e : edges) {
        if (!(e.Weight < 1e100) || e.Weight >= threshold)
            break;
        const std::int32_t rootFrom = FindRoot(parent, e.From), rootTo = FindRoot(parent, e.To);
        const std::int32_t slotFrom = slot[static_cast<std::size_t>(rootFrom)];
        const std::int32_t slotTo = slot[static_cast<std::size_t>(rootTo)];
        const std::int32_t i = std::max(slotFrom, slotTo), j = std::min(slotFrom, slotTo);
        // The spanning-tree edge is the closest pair; listed member of i first.
        result.Links.push_back(slotFrom == i ? TArray1I{e.From, e.To} : TArray1I{e.To, e.From});
        if (redraw)
            redraw(members, result.Links);
        TArray1I& into = members[static_cast<std::size_t>(i)];
        TArray1I& emptied = members[static_cast<std::size_t>(j)];
        into.insert(into.end(), emptied.begin(), emptied.end());
        TArray1I().swap(emptied);
        parent[static_cast<std::size_t>(rootTo)] = rootFrom;
        slot[static_cast<std::size_t>(rootFrom)] = i;
        lastDistance = e.Weight;
        merged = true;
        --clusters;
        UserInterface().ProcessEvents();
        if (byCount && maxClusters >= 0 && clusters <= static_cast<std::size_t>(maxClusters))
            break;
    }

    for (TArray1I& m : members)
        if (!m.empty()) {
            result.Centroids.push_back(MeanOfMembers(x, m));
            result.Clusters.push_back(std::move(m));
        }
    result.Count = static_cast<int>(result.Clusters.size());
    result.Ratio = merged && largest != 0.0 ? lastDistance / largest : 0.0;
    return result;
}

} // namespace

THierarchy HierarchicalByThreshold(const TArray2D& x, int kind, double& fraction, const TMergeObserver& redraw)
{
    double largest = 0.0;
    std::vector<TTreeEdge> edges = SpanningTree(x, kind, largest);
    const double threshold = fraction * largest;
    fraction = threshold;
    return Merge(x, std::move(edges), threshold, false, -1, largest, redraw);
}

THierarchy HierarchicalByCount(const TArray2D& x, int kind, int k, const TMergeObserver& redraw)
{
    double largest = 0.0;
    std::vector<TTreeEdge> edges = SpanningTree(x, kind, largest);
    return Merge(x, std::move(edges), 1e10, true, k, largest, redraw);
}

} // namespace orbelin::numeric

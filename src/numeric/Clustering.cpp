// K-means, nearest-centroid assignment and grouping by key or by map node. The searches run
// in parallel over the points; everything that sums over points or draws random numbers
// runs in point order on one thread, so results do not depend on the thread count.
#include "numeric/Clustering.h"

#include "numeric/Missing.h"
#include "numeric/TUserInterface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>

namespace orbelin::numeric {
namespace {

// Distance(a, b, kind) with the same arithmetic, except that it may give up once the sum
// reaches bound: the terms are non-negative, so the full sum could not be below the bound
// either and a strict "closer than" test gives the same answer.
template <int Kind>
double BoundedDistance(const TArray1D& a, const TArray1D& b, double bound)
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
        if (s >= bound)
            return s;
    }
    return s;
}

// Index of the strictly closest centroid from the starting bound, or none.
template <int Kind>
int Nearest(const TArray1D& x, const TArray2D& centroids, std::size_t count, double start, int none)
{
    double best = start;
    int index = none;
    for (std::size_t i = 0; i < count; ++i) {
        const double d = BoundedDistance<Kind>(x, centroids[i], best);
        if (d < best) {
            best = d;
            index = static_cast<int>(i);
        }
    }
    return index;
}

// The nearest centroid of every point (none when no distance is below start), in parallel.
std::vector<int> NearestOfEach(const TArray2D& x, const TArray2D& centroids, std::size_t count, int kind, double start,
                               int none)
{
    const auto n = static_cast<std::ptrdiff_t>(x.size());
    std::vector<int> nearest(x.size(), none);
#pragma omp parallel for schedule(static) if (n * static_cast <std::ptrdiff_t>(count) > 4096)
    for (std::ptrdiff_t p = 0; p < n; ++p) {
        const TArray1D& point = x[static_cast<std::size_t>(p)];
        nearest[static_cast<std::size_t>(p)] = kind == 1 ? Nearest<1>(point, centroids, count, start, none)
                                                         : Nearest<0>(point, centroids, count, start, none);
    }
    return nearest;
}

// Member lists from each point's cluster (negative: none), points in ascending order.
TArray2I ListsOf(const std::vector<int>& cluster, std::size_t count)
{
    TArray2I lists(count);
    for (std::size_t p = 0; p < cluster.size(); ++p)
        if (cluster[p] >= 0 && static_cast<std::size_t>(cluster[p]) < count)
            lists[static_cast<std::size_t>(cluster[p])].push_back(static_cast<std::int32_t>(p));
    return lists;
}

std::size_t DimensionOf(const TArray2D& x)
{
    return x.empty() ? 0 : x[0].size();
}

// sum += u x, with missing values propagating into the sum.
void AddScaled(TArray1D& sum, const TArray1D& x, double u, bool scale)
{
    for (std::size_t j = 0; j < sum.size(); ++j) {
        if (IsMissing(sum[j]))
            continue;
        if (j >= x.size() || IsMissing(x[j]))
            sum[j] = Missing();
        else
            sum[j] += scale ? x[j] * u : x[j];
    }
}

void Divide(TArray1D& sum, double divisor)
{
    for (double& s : sum)
        if (!IsMissing(s))
            s /= divisor;
}

} // namespace

TArray1D MeanOfMembers(const TArray2D& x, const TArray1I& members)
{
    TArray1D sum(DimensionOf(x), 0.0);
    if (members.empty())
        return sum;
    for (std::int32_t p : members)
        AddScaled(sum, x[static_cast<std::size_t>(p)], 1.0, false);
    Divide(sum, static_cast<double>(members.size()));
    return sum;
}

int NearestCentroid(TVecView x, const TArray2D& centroids, int kind)
{
    double best = 1e100;
    int index = 0;
    for (std::size_t i = 0; i < centroids.size(); ++i) {
        const TVecView c = centroids[i];
        const double d = Distance(x.first(std::min(x.size(), c.size())), c, kind);
        if (d < best) {
            best = d;
            index = static_cast<int>(i);
        }
    }
    return index;
}

TArray2I AssignToCentroids(const TArray2D& x, const TArray2D& centroids, int kind)
{
    return ListsOf(NearestOfEach(x, centroids, centroids.size(), kind, 1e100, 0), centroids.size());
}

TArray2I AssignToNearest(const TArray2D& x, const TArray2D& centroids)
{
    return ListsOf(NearestOfEach(x, centroids, centroids.size(), 0, 1e10, -1), centroids.size());
}

TKMeansResult KMeans(const TArray2D& x, int k, int kind, const TArray1D& w)
{
    TKMeansResult result;
    if (k <= 0)
        return result;
    const std::size_t count = static_cast<std::size_t>(k);
    const std::size_t n = x.size(), d = DimensionOf(x);
    if (n == 0) {
        result.Clusters.assign(count, {});
        result.Centroids.assign(count, {});
        return result;
    }
    const bool weighted = w.size() == n;

    TArray1D lo(d, 1e10), hi(d, -1e10);
    for (const TArray1D& row : x)
        for (std::size_t j = 0; j < std::min(row.size(), d); ++j) {
            if (IsMissing(row[j]))
                continue;
            if (row[j] < lo[j])
                lo[j] = row[j];
            if (row[j] > hi[j])
                hi[j] = row[j];
        }
    TArray2D centroids(count);
    for (TArray1D& c : centroids)
        c = RandomPointInBox(lo, hi);

    constexpr int MaxPasses = 1001;
    for (;;) {
        const TArray2D old = centroids;
        result.Clusters = AssignToCentroids(x, centroids, kind);
        double change = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            const TArray1I& members = result.Clusters[i];
            if (members.empty()) {
                centroids[i] = weighted ? RandomPointInBox(lo, hi) : RandomUnitVector(static_cast<int>(d));
                continue;
            }
            double total = 0.0;
            if (weighted)
                for (std::int32_t p : members)
                    total += w[static_cast<std::size_t>(p)];
            TArray1D sum(d, 0.0);
            const bool scale = weighted && total != 0.0;
            for (std::int32_t p : members)
                AddScaled(sum, x[static_cast<std::size_t>(p)], scale ? w[static_cast<std::size_t>(p)] : 1.0, scale);
            Divide(sum, scale ? total : static_cast<double>(members.size()));
            centroids[i] = std::move(sum);
            change += Distance(centroids[i], old[i], kind) / k;
        }
        ++result.Passes;
        result.Change = change;
        if (result.Passes == MaxPasses) {
            UserInterface().ShowMessage("Maximal number of iterations exceeded.");
            break;
        }
        if (change < NumericTolerance)
            break;
    }
    result.Centroids = std::move(centroids);
    return result;
}

double MeanDistanceToCentroid(const TArray2D& x, const TArray1I& members, int kind)
{
    if (members.empty())
        return 0.0;
    const TArray1D mean = MeanOfMembers(x, members);
    double sum = 0.0;
    for (std::int32_t p : members)
        sum += Distance(x[static_cast<std::size_t>(p)], mean, kind);
    return sum / static_cast<double>(members.size());
}

TClustering ClusterByKey(const TArray2D& x, const TArray1I& keys)
{
    TClustering result;
    std::unordered_map<std::int32_t, std::size_t> clusterOf;
    const std::size_t n = std::min(x.size(), keys.size());
    for (std::size_t p = 0; p < n; ++p) {
        const auto [it, added] = clusterOf.emplace(keys[p], result.Clusters.size());
        if (added)
            result.Clusters.emplace_back();
        result.Clusters[it->second].push_back(static_cast<std::int32_t>(p));
    }
    for (const TArray1I& members : result.Clusters)
        result.Centroids.push_back(MeanOfMembers(x, members));
    return result;
}

TClustering ClusterByNodes(const TArray2D& nodes, const TArray2D& x, int nodeCount)
{
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(nodeCount, 0)), nodes.size());
    TClustering result;
    result.Clusters = ListsOf(NearestOfEach(x, nodes, count, 0, 1e100, 0), count);
    for (std::size_t i = 0; i < count; ++i)
        result.Centroids.push_back(result.Clusters[i].empty() ? nodes[i] : MeanOfMembers(x, result.Clusters[i]));
    return result;
}

TClusterLink ClusterLinkDistance(const TArray1I& a, const TArray1I& b, const TArray2D& x, int kind)
{
    TClusterLink link;
    if (a.empty() || b.empty())
        return link;
    link.Distance = 1e100;
    link.A = a[0];
    link.B = b[0];
    for (std::int32_t p : a)
        for (std::int32_t q : b) {
            const double d = Distance(x[static_cast<std::size_t>(p)], x[static_cast<std::size_t>(q)], kind);
            if (d < link.Distance) {
                link.Distance = d;
                link.A = p;
                link.B = q;
            }
        }
    return link;
}

} // namespace orbelin::numeric

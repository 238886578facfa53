// Nearest-node search: the same sums as a plain scan, several nodes per vector, and whole
// blocks of nodes passed over once part of their sums shows they cannot win.
//
// Each vector lane holds one node and sums its own squared differences in coordinate
// order, with separate multiplications and additions (the core is compiled without
// contraction into fused multiply-adds), so a lane's sum is the scalar sum bit for bit.
// Lanes keep their first strictly smaller sum; the lanes are then merged by value and,
// on equal values, by the lower node index, which picks the same node as a scan in index
// order that replaces its best only on a strictly smaller sum.
//
// Passing over: adding a square never makes a sum smaller, so the sum of the first few
// coordinates is a lower bound of the whole sum, rounding included. A block is passed
// over when that partial sum exceeds, in every lane and for every point of the group, the
// exact distance of a node already known (a seed: the point's nearest node of the previous
// search, or the best of a few nodes). A node whose distance is the minimum never exceeds
// it, so the nodes that can win, ties included, are all summed in full.
//
// Nearby nodes: for complete nodes in more than three coordinates, the bound of a
// complete point is the squared distance of its three principal coordinates and its
// residual length from the node's (a lower bound of the squared distance, with margins for
// rounding). Points are taken in chunks of neighbouring seeds; a chunk is searched only
// among the nodes inside the box of principal coordinates that no farther node can pass
// (cells over the first two coordinates find them), gathered in ascending order so that
// the lowest position on ties stays the lowest node. Every node left out is one the bound
// would have passed over, so the result is that of the search over all blocks.
#include "map/NearestNodes.h"

#include "map/SimdWidth.h"
#include "numeric/Missing.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace orbelin::map {
namespace {

constexpr double NoNodeBelow = 1e100;
constexpr int PointsPerGroup = 4;
constexpr int BlocksPerPass = 2;
/// Padding unit of the node blocks: the widest vector (8 doubles) times the blocks of one pass.
constexpr int PadUnit = 8 * BlocksPerPass;
/// Coordinates summed before a block may be passed over.
constexpr int PrefixLength = 3;
/// Nodes tried for a seed when a point has no nearest node from before.
constexpr int SeedSamples = 24;
/// Points searched against one set of nearby nodes: at least MinChunk (more while their
/// seed stays the same), at most MaxChunk.
constexpr std::size_t MinChunk = 32;
constexpr std::size_t MaxChunk = 256;
/// Points ahead whose rows are fetched while a chunk's points are projected.
constexpr std::size_t PrefetchDistance = 8;
/// Relative and absolute (to the points' and nodes' distances from the node mean) margin
/// of the principal bound.
constexpr double BoundMargin = 1e-9;

template <int W>
struct TLanes {
    typedef double Vd __attribute__((vector_size(W * sizeof(double))));
    typedef long long Vi __attribute__((vector_size(W * sizeof(long long))));
};

// Vectors are passed by reference only: these are inlined into functions of several
// instruction sets, whose vector calling conventions differ.
template <class V>
[[gnu::always_inline]] inline void Load(V& v, const double* p)
{
    std::memcpy(&v, p, sizeof v);
}

template <class V, int W, class S>
[[gnu::always_inline]] inline void Splat(V& v, S s)
{
    for (int i = 0; i < W; ++i)
        v[i] = s;
}

// Whether every lane of a comparison result is set.
template <int W>
[[gnu::always_inline]] inline bool AllLanes(const typename TLanes<W>::Vi& v)
{
    long long all = v[0];
    for (int j = 1; j < W; ++j)
        all &= v[j];
    return all != 0;
}

// Merges the lanes of one point into its nearest node.
template <int W>
[[gnu::always_inline]] inline void Finish(const typename TLanes<W>::Vd& best, const typename TLanes<W>::Vi& index,
                                          int n, std::int32_t& nearest, double& distance)
{
    double value = NoNodeBelow;
    long long node = -1;
    for (int j = 0; j < W; ++j) {
        const long long i = index[j];
        if (i < 0 || i >= n)
            continue;
        if (best[j] < value || (best[j] == value && i < node)) {
            value = best[j];
            node = i;
        }
    }
    nearest = static_cast<std::int32_t>(node);
    distance = node >= 0 ? value : 0.0;
}

/// One group of four points: their coordinates (gaps as 0), their 0/1 coordinate weights
/// when some have gaps, and for each the exact distance of its seed.
struct TGroup {
    const double* X;
    const double* Mask;      ///< null when all four points are complete
    const double* Projected; ///< the points' principal coordinates, or null
    double Bound[PointsPerGroup];
};

/// The node blocks of a search: coordinates by slot, and their principal coordinates.
struct TBlocks {
    const double* Soa;       ///< [d][padded]
    const double* Principal; ///< [m][padded], padding +inf
    int Padded, N, D, M;
};

// Adds the terms of coordinates first..last-1 to the sums of the four points in the two
// blocks at column. Masked: a gap adds (0 - y) * 0 squared, an exact +0, since every
// node coordinate is finite or +inf only in padding lanes.
template <int W, bool Masked>
[[gnu::always_inline]] inline void AddTerms(typename TLanes<W>::Vd (&s)[PointsPerGroup][BlocksPerPass],
                                            const double* column, int padded, int d, int first, int last,
                                            const TGroup& group)
{
    using Vd = typename TLanes<W>::Vd;
    column += static_cast<std::ptrdiff_t>(first) * padded;
    for (int k = first; k < last; ++k, column += padded) {
        Vd y0, y1;
        Load(y0, column);
        Load(y1, column + W);
#pragma GCC unroll 4
        for (int q = 0; q < PointsPerGroup; ++q) {
            Vd xq;
            Splat<Vd, W>(xq, group.X[q * d + k]);
            Vd t0 = xq - y0, t1 = xq - y1;
            if constexpr (Masked) {
                Vd mq;
                Splat<Vd, W>(mq, group.Mask[q * d + k]);
                t0 = t0 * mq;
                t1 = t1 * mq;
            }
            s[q][0] = s[q][0] + t0 * t0;
            s[q][1] = s[q][1] + t1 * t1;
        }
    }
}

// The squared distance of the four points' principal coordinates from those of the nodes
// of the two blocks at column: a lower bound of the squared distance, up to rounding.
template <int W>
[[gnu::always_inline]] inline void AddPrincipalTerms(typename TLanes<W>::Vd (&s)[PointsPerGroup][BlocksPerPass],
                                                     const double* column, int padded, int m, const TGroup& group)
{
    using Vd = typename TLanes<W>::Vd;
    for (int j = 0; j < m; ++j, column += padded) {
        Vd y0, y1;
        Load(y0, column);
        Load(y1, column + W);
#pragma GCC unroll 4
        for (int q = 0; q < PointsPerGroup; ++q) {
            Vd xq;
            Splat<Vd, W>(xq, group.Projected[q * m + j]);
            const Vd t0 = xq - y0, t1 = xq - y1;
            s[q][0] = s[q][0] + t0 * t0;
            s[q][1] = s[q][1] + t1 * t1;
        }
    }
}

template <int W, bool Masked, bool Principal>
[[gnu::always_inline]] inline void SearchFour(const TBlocks& blocks, TGroup& group, std::int32_t* nearest,
                                              double* distance)
{
    const double* soa = blocks.Soa;
    const int padded = blocks.Padded, n = blocks.N, d = blocks.D;
    using Vd = typename TLanes<W>::Vd;
    using Vi = typename TLanes<W>::Vi;
    Vd best[PointsPerGroup];
    Vi index[PointsPerGroup];
#pragma GCC unroll 4
    for (int q = 0; q < PointsPerGroup; ++q) {
        Splat<Vd, W>(best[q], NoNodeBelow);
        Splat<Vi, W>(index[q], -1LL);
    }
    Vi iota;
    for (int j = 0; j < W; ++j)
        iota[j] = j;
    const int prefix = std::min(PrefixLength, d);

    for (int base = 0; base < padded; base += BlocksPerPass * W) {
        Vd s[PointsPerGroup][BlocksPerPass] = {};
        if constexpr (Principal)
            AddPrincipalTerms<W>(s, blocks.Principal + base, padded, blocks.M, group);
        else
            AddTerms<W, Masked>(s, soa + base, padded, d, 0, prefix, group);
        Vi above;
        Splat<Vi, W>(above, -1LL);
#pragma GCC unroll 4
        for (int q = 0; q < PointsPerGroup; ++q) {
            Vd bound;
            Splat<Vd, W>(bound, group.Bound[q]);
            above = above & (s[q][0] > bound) & (s[q][1] > bound);
        }
        if (AllLanes<W>(above))
            continue;
        if constexpr (Principal) {
            // The bound is not a partial sum: the whole sum starts again.
#pragma GCC unroll 4
            for (int q = 0; q < PointsPerGroup; ++q)
                s[q][0] = s[q][1] = Vd{};
            AddTerms<W, Masked>(s, soa + base, padded, d, 0, d, group);
        } else {
            AddTerms<W, Masked>(s, soa + base, padded, d, prefix, d, group);
        }

        const Vi first = iota + static_cast<long long>(base), second = first + static_cast<long long>(W);
#pragma GCC unroll 4
        for (int q = 0; q < PointsPerGroup; ++q) {
            Vi m = s[q][0] < best[q];
            best[q] = m ? s[q][0] : best[q];
            index[q] = m ? first : index[q];
            m = s[q][1] < best[q];
            best[q] = m ? s[q][1] : best[q];
            index[q] = m ? second : index[q];
        }
    }
    for (int q = 0; q < PointsPerGroup; ++q)
        Finish<W>(best[q], index[q], n, nearest[q], distance[q]);
}

using TGroupKernel = void (*)(const TBlocks& blocks, TGroup& group, std::int32_t* nearest, double* distance);

template <int W>
[[gnu::always_inline]] inline void Group(const TBlocks& blocks, TGroup& group, std::int32_t* nearest, double* distance)
{
    if (group.Mask)
        SearchFour<W, true, false>(blocks, group, nearest, distance);
    else if (group.Projected)
        SearchFour<W, false, true>(blocks, group, nearest, distance);
    else
        SearchFour<W, false, false>(blocks, group, nearest, distance);
}

// One group compiled for one instruction set. The parallel loop over the groups stays
// outside: a function OpenMP outlines would not keep the instruction set.
__attribute__((target("avx512f"))) void GroupAvx512(const TBlocks& blocks, TGroup& group, std::int32_t* nearest,
                                                    double* distance)
{
    Group<8>(blocks, group, nearest, distance);
}

__attribute__((target("avx2"))) void GroupAvx2(const TBlocks& blocks, TGroup& group, std::int32_t* nearest,
                                               double* distance)
{
    Group<4>(blocks, group, nearest, distance);
}

void GroupBaseline(const TBlocks& blocks, TGroup& group, std::int32_t* nearest, double* distance)
{
    Group<2>(blocks, group, nearest, distance);
}

// The sum a lane computes for node y: the point's present coordinates in order.
double PresentDistance(const double* x, const double* y, int d)
{
    double s = 0.0;
    for (int k = 0; k < d; ++k)
        if (!IsMissing(x[k])) {
            const double t = x[k] - y[k];
            s = s + t * t;
        }
    return s;
}

std::size_t RoundUpToBlocks(std::size_t count)
{
    return (count + PadUnit - 1) / PadUnit * PadUnit;
}

TGroupKernel Kernel()
{
    const int width = SimdWidth();
    return width == 8 ? GroupAvx512 : width == 4 ? GroupAvx2 : GroupBaseline;
}

} // namespace

void TNearestNodeSearch::SetNodes(const TArray2D& nodes)
{
    N_ = static_cast<int>(nodes.size());
    D_ = N_ > 0 ? static_cast<int>(nodes[0].size()) : 0;
    Padded_ = static_cast<int>(RoundUpToBlocks(static_cast<std::size_t>(N_)));
    const auto n = static_cast<std::size_t>(N_), d = static_cast<std::size_t>(D_),
               padded = static_cast<std::size_t>(Padded_);
    Rows_.assign(n * d, 0.0);
    Complete_ = true;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < d; ++k) {
            const double v = k < nodes[i].size() ? nodes[i][k] : Missing();
            Rows_[i * d + k] = v;
            // Only finite nodes take the vector path: its masked sums rely on it.
            if (!std::isfinite(v))
                Complete_ = false;
        }
    // Padding lanes sum to +inf: never a nearest node, and passed over with their block.
    Soa_.assign(d * padded, std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < d; ++k)
            Soa_[k * padded + i] = Rows_[i * d + k];
    SetPrincipalAxes();
}

bool TNearestNodeSearch::WithinBoundRange(const double* x, int d) const
{
    for (int k = 0; k < d; ++k)
        if (!(std::fabs(x[k]) <= BoundRange))
            return false;
    return true;
}

void TNearestNodeSearch::SetPrincipalAxes()
{
    M_ = 0;
    Principal_.clear();
    Cells_ = TNodeCells();
    const int m = PrincipalCount;
    if (!Complete_ || D_ <= m || N_ < 2 || !WithinBoundRange(Rows_.data(), N_ * D_))
        return;
    const auto n = static_cast<std::size_t>(N_), d = static_cast<std::size_t>(D_),
               padded = static_cast<std::size_t>(Padded_);
    Mean_.assign(d, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < d; ++k)
            Mean_[k] += Rows_[i * d + k];
    for (double& v : Mean_)
        v /= static_cast<double>(n);
    Eigen::MatrixXd scatter = Eigen::MatrixXd::Zero(D_, D_);
    Eigen::VectorXd centred(D_);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < d; ++k)
            centred[static_cast<Eigen::Index>(k)] = Rows_[i * d + k] - Mean_[k];
        scatter.noalias() += centred * centred.transpose();
    }
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(scatter);
    if (solver.info() != Eigen::Success)
        return;
    // The eigenvalues come in ascending order: the last m vectors span the most.
    Axes_.assign(static_cast<std::size_t>(m) * d, 0.0);
    for (int j = 0; j < m; ++j)
        for (std::size_t k = 0; k < d; ++k)
            Axes_[k * static_cast<std::size_t>(m) + static_cast<std::size_t>(j)] =
                solver.eigenvectors()(static_cast<Eigen::Index>(k), D_ - 1 - j);
    M_ = m;
    Principal_.assign(static_cast<std::size_t>(m + 1) * padded, std::numeric_limits<double>::infinity());
    NodeRadius_ = 0;
    for (std::size_t i = 0; i < n; ++i)
        NodeRadius_ = std::max(NodeRadius_, Project(Rows_.data() + i * d, Principal_.data() + i, padded));
    PrincipalRows_.resize(n * static_cast<std::size_t>(m + 1));
    NodeLow_.assign(static_cast<std::size_t>(m + 1), std::numeric_limits<double>::infinity());
    NodeHigh_.assign(static_cast<std::size_t>(m + 1), -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j <= static_cast<std::size_t>(m); ++j) {
            const double v = Principal_[j * padded + i];
            PrincipalRows_[i * static_cast<std::size_t>(m + 1) + j] = v;
            NodeLow_[j] = std::min(NodeLow_[j], v);
            NodeHigh_[j] = std::max(NodeHigh_[j], v);
        }
    Cells_.Build(Principal_.data(), Principal_.data() + padded, N_);
}

double TNearestNodeSearch::Project(const double* x, double* out, std::size_t stride) const
{
    // Only called with the principal axes set, M_ = PrincipalCount; one pass keeps the
    // four sums apart, so that they run side by side.
    static_assert(PrincipalCount == 3);
    const auto d = static_cast<std::size_t>(D_);
    const double* axes = Axes_.data(); // [d][3]
    double square = 0, v0 = 0, v1 = 0, v2 = 0;
    for (std::size_t k = 0; k < d; ++k) {
        const double c = x[k] - Mean_[k];
        square += c * c;
        v0 += axes[3 * k] * c;
        v1 += axes[3 * k + 1] * c;
        v2 += axes[3 * k + 2] * c;
    }
    // The residual vector is summed itself: its length from |x - mean|^2 - sum v^2 would
    // lose all its digits where it is small.
    double even = 0, odd = 0;
    for (std::size_t k = 0; k < d; ++k) {
        const double r = x[k] - Mean_[k] - v0 * axes[3 * k] - v1 * axes[3 * k + 1] - v2 * axes[3 * k + 2];
        (k % 2 == 0 ? even : odd) += r * r;
    }
    out[0] = v0;
    out[stride] = v1;
    out[2 * stride] = v2;
    out[3 * stride] = std::sqrt(even + odd);
    return std::sqrt(square);
}

double TNearestNodeSearch::PrincipalThreshold(const double* x, double seedDistance, double* principal,
                                              double& radius) const
{
    // Bessel: the principal coordinates of x - y, orthonormal axes, hold at most its
    // squared length, and the difference of the residuals' lengths at most what remains
    // (the triangle inequality). Their rounding errors are below d * 2^-52 relative to the
    // distances involved and to |x - mean| + |y - mean|; the margins are a million times that.
    radius = Project(x, principal, 1);
    const double reach = std::sqrt(seedDistance) * (1 + BoundMargin) + BoundMargin * (radius + NodeRadius_);
    return reach * reach;
}

std::int32_t TNearestNodeSearch::CellSeed(const double* x) const
{
    double principal[PrincipalCount + 1];
    Project(x, principal, 1);
    const auto padded = static_cast<std::size_t>(Padded_);
    std::int32_t best = -1;
    double value = std::numeric_limits<double>::infinity();
    Cells_.ForEachNear(principal[0], principal[1], [&](std::int32_t node) {
        double s = 0;
        for (int j = 0; j <= M_; ++j) {
            const double t =
                principal[j] - Principal_[static_cast<std::size_t>(j) * padded + static_cast<std::size_t>(node)];
            s += t * t;
        }
        if (s < value || (s == value && node < best)) {
            value = s;
            best = node;
        }
    });
    return best;
}

bool TNearestNodeSearch::SameNodes(const TArray2D& nodes) const
{
    if (nodes.size() != static_cast<std::size_t>(N_))
        return false;
    const auto d = static_cast<std::size_t>(D_);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].size() != d)
            return false;
        if (d > 0 && std::memcmp(nodes[i].data(), Rows_.data() + i * d, d * sizeof(double)) != 0)
            return false;
    }
    return true;
}

void TNearestNodeSearch::SearchNearby(const double* const* points, const std::vector<std::int32_t>& list,
                                      const std::vector<std::size_t>& chunkStart,
                                      const std::vector<double>& seedDistance, std::int32_t* nearest,
                                      double* distance) const
{
    const int d = D_, rows = M_ + 1;
    const auto dd = static_cast<std::size_t>(d), rr = static_cast<std::size_t>(rows);
    const TGroupKernel kernel = Kernel();
    const auto chunks = static_cast<std::ptrdiff_t>(chunkStart.size()) - 1;
    std::size_t largest = 0;
    for (std::ptrdiff_t c = 0; c < chunks; ++c)
        largest =
            std::max(largest, chunkStart[static_cast<std::size_t>(c) + 1] - chunkStart[static_cast<std::size_t>(c)]);
#pragma omp parallel
    {
        std::vector<std::int32_t> candidates;
        candidates.reserve(static_cast<std::size_t>(N_));
        std::vector<double> soa, principal;
        std::vector<double> x(PointsPerGroup * dd), projected(PointsPerGroup * rr);
        std::vector<double> chunkProjected(largest * rr), chunkThreshold(largest);
        std::int32_t groupNearest[PointsPerGroup];
        double groupDistance[PointsPerGroup];
#pragma omp for schedule(dynamic, 4)
        for (std::ptrdiff_t c = 0; c < chunks; ++c) {
            const std::size_t first = chunkStart[static_cast<std::size_t>(c)];
            const std::size_t size = chunkStart[static_cast<std::size_t>(c) + 1] - first;
            // The box of principal coordinates and residuals outside which no node can
            // reach the threshold T of any of the chunk's points. In each coordinate the
            // bound's terms of the other coordinates are at least their distances from the
            // nodes' range, so a node's term there is at most T less their squares.
            double lo[PrincipalCount + 1], hi[PrincipalCount + 1];
            std::fill(lo, lo + rows, std::numeric_limits<double>::infinity());
            std::fill(hi, hi + rows, -std::numeric_limits<double>::infinity());
            for (std::size_t q = 0; q < size; ++q) {
                // The points lie scattered in memory, in the order of their seeds.
                if (q + PrefetchDistance < size) {
                    const auto ahead = static_cast<std::size_t>(list[first + q + PrefetchDistance]);
                    __builtin_prefetch(points[ahead]);
                    __builtin_prefetch(points[ahead] + dd - 1);
                    __builtin_prefetch(seedDistance.data() + ahead);
                }
                const auto p = static_cast<std::size_t>(list[first + q]);
                double* own = chunkProjected.data() + q * rr;
                double radius = 0;
                const double threshold = PrincipalThreshold(points[p], seedDistance[p], own, radius);
                chunkThreshold[q] = threshold;
                const double margin = BoundMargin * (radius + NodeRadius_);
                double gap[PrincipalCount + 1];
                for (int j = 0; j < rows; ++j)
                    gap[j] = std::max(0.0, std::max(own[j] - NodeHigh_[j], NodeLow_[j] - own[j]) - margin);
                for (int j = 0; j < rows; ++j) {
                    double others = 0;
                    for (int i = 0; i < rows; ++i)
                        if (i != j)
                            others += gap[i] * gap[i];
                    const double width = std::sqrt(std::max(0.0, threshold - others)) + margin;
                    lo[j] = std::min(lo[j], own[j] - width);
                    hi[j] = std::max(hi[j], own[j] + width);
                }
            }
            candidates.clear();
            Cells_.ForEachInBox(lo[0], hi[0], lo[1], hi[1], [&](std::int32_t node) {
                const double* own = PrincipalRows_.data() + static_cast<std::size_t>(node) * rr;
                for (int j = 0; j < rows; ++j)
                    if (own[j] < lo[j] || own[j] > hi[j])
                        return;
                candidates.push_back(node);
            });
            // Each point's seed lies inside the box; should rounding ever leave it empty,
            // every node is searched.
            if (candidates.empty())
                for (int node = 0; node < N_; ++node)
                    candidates.push_back(node);
            // In ascending order, so that the kernel's lowest position on ties is the
            // lowest node.
            std::sort(candidates.begin(), candidates.end());
            const std::size_t count = candidates.size();
            const std::size_t width = RoundUpToBlocks(std::max<std::size_t>(count, 1));
            soa.assign(dd * width, std::numeric_limits<double>::infinity());
            principal.assign(rr * width, std::numeric_limits<double>::infinity());
            for (std::size_t at = 0; at < count; ++at) {
                const auto node = static_cast<std::size_t>(candidates[at]);
                const double* y = Rows_.data() + node * dd;
                for (std::size_t k = 0; k < dd; ++k)
                    soa[k * width + at] = y[k];
                const double* own = PrincipalRows_.data() + node * rr;
                for (std::size_t j = 0; j < rr; ++j)
                    principal[j * width + at] = own[j];
            }
            const TBlocks blocks{soa.data(), principal.data(), static_cast<int>(width), static_cast<int>(count), d,
                                 rows};
            for (std::size_t g = 0; g < size; g += PointsPerGroup) {
                // A short last group repeats its first point; the repeats' results are dropped.
                std::int32_t members[PointsPerGroup];
                TGroup group{x.data(), nullptr, projected.data(), {}};
                for (int q = 0; q < PointsPerGroup; ++q) {
                    const std::size_t at = g + static_cast<std::size_t>(q) < size ? g + static_cast<std::size_t>(q) : g;
                    members[q] = list[first + at];
                    std::memcpy(x.data() + static_cast<std::size_t>(q) * dd, points[members[q]], dd * sizeof(double));
                    std::memcpy(projected.data() + static_cast<std::size_t>(q) * rr, chunkProjected.data() + at * rr,
                                rr * sizeof(double));
                    group.Bound[q] = chunkThreshold[at];
                }
                kernel(blocks, group, groupNearest, groupDistance);
                for (int q = 0; q < PointsPerGroup && g + static_cast<std::size_t>(q) < size; ++q) {
                    nearest[members[q]] =
                        groupNearest[q] >= 0 ? candidates[static_cast<std::size_t>(groupNearest[q])] : -1;
                    distance[members[q]] = groupDistance[q];
                }
            }
        }
    }
}

void TNearestNodeSearch::Search(const double* const* points, const char* complete, std::size_t count, TNodeGapRule rule,
                                const std::int32_t* hint, std::int32_t* nearest, double* distance) const
{
    const int n = N_, d = D_;
    if (n == 0) {
        for (std::size_t p = 0; p < count; ++p) {
            nearest[p] = -1;
            distance[p] = 0.0;
        }
        return;
    }
    const auto row = [points](std::size_t p) { return points[p]; };
    if (!Complete_) {
        // Nodes with gaps or infinite coordinates: the plain scan, rule by rule.
        const bool skipNodeGaps = rule == TNodeGapRule::Skip;
#pragma omp parallel for schedule(dynamic, 64)
        for (std::ptrdiff_t p = 0; p < static_cast<std::ptrdiff_t>(count); ++p) {
            const double* x = row(static_cast<std::size_t>(p));
            double best = NoNodeBelow;
            int node = -1;
            for (int i = 0; i < n; ++i) {
                const double* y = Rows_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(d);
                double s = 0.0;
                for (int k = 0; k < d; ++k)
                    if (!IsMissing(x[k]) && !(skipNodeGaps && IsMissing(y[k]))) {
                        const double t = x[k] - y[k];
                        s = s + t * t;
                    }
                if (s < best) {
                    best = s;
                    node = i;
                }
            }
            nearest[p] = node;
            distance[p] = node >= 0 ? best : 0.0;
        }
        return;
    }

    // Which points take the principal bound: complete ones within its range.
    std::vector<char> nearby(count, 0);
    // Seeds: the hinted node or the best node of the point's cell, whichever is nearer, or
    // the best of a few nodes spread over the grid. Points with the same seed are searched
    // together, so that their blocks pass over alike.
    std::vector<std::int32_t> seed(count);
    std::vector<double> bound(count);
    const int stride = std::max(1, n / SeedSamples);
#pragma omp parallel for schedule(static)
    for (std::ptrdiff_t p = 0; p < static_cast<std::ptrdiff_t>(count); ++p) {
        const double* x = row(static_cast<std::size_t>(p));
        const std::int32_t hinted = hint ? hint[p] : -1;
        const bool usesCells = M_ > 0 && complete[p] && WithinBoundRange(x, d);
        nearby[static_cast<std::size_t>(p)] = usesCells ? 1 : 0;
        std::int32_t best = -1;
        double value = NoNodeBelow;
        const auto consider = [&](std::int32_t node) {
            const double s =
                PresentDistance(x, Rows_.data() + static_cast<std::size_t>(node) * static_cast<std::size_t>(d), d);
            if (best < 0 || s < value) {
                value = s;
                best = node;
            }
        };
        if (hinted >= 0 && hinted < n)
            consider(hinted);
        if (usesCells) {
            const std::int32_t cell = CellSeed(x);
            if (cell >= 0 && cell != best)
                consider(cell);
        } else if (best < 0) {
            for (int i = 0; i < n; i += stride)
                consider(i);
        }
        seed[static_cast<std::size_t>(p)] = best < 0 ? 0 : best;
        bound[static_cast<std::size_t>(p)] = value < NoNodeBelow ? value : NoNodeBelow;
    }
    std::vector<std::int32_t> start(static_cast<std::size_t>(n) + 1, 0);
    for (std::int32_t s : seed)
        ++start[static_cast<std::size_t>(s) + 1];
    for (int i = 0; i < n; ++i)
        start[static_cast<std::size_t>(i) + 1] += start[static_cast<std::size_t>(i)];
    std::vector<std::int32_t> full, gapped;
    {
        std::vector<std::int32_t> order(count);
        for (std::size_t p = 0; p < count; ++p)
            order[static_cast<std::size_t>(start[static_cast<std::size_t>(seed[p])]++)] = static_cast<std::int32_t>(p);
        full.reserve(count);
        for (std::int32_t p : order)
            (nearby[static_cast<std::size_t>(p)] || (M_ == 0 && complete[p]) ? full : gapped).push_back(p);
    }
    if (M_ > 0) {
        // Chunks of points with neighbouring seeds, cut where the seed changes.
        std::vector<std::size_t> chunkStart;
        for (std::size_t i = 0; i < full.size();) {
            chunkStart.push_back(i);
            const std::size_t first = i++;
            while (i < full.size() && i - first < MaxChunk &&
                   (i - first < MinChunk ||
                    seed[static_cast<std::size_t>(full[i])] == seed[static_cast<std::size_t>(full[i - 1])]))
                ++i;
        }
        chunkStart.push_back(full.size());
        SearchNearby(points, full, chunkStart, bound, nearest, distance);
        full.clear();
    }

    // The rest against every block of nodes: points with gaps (their sums skip them), out
    // of the bound's range, or nodes without principal axes (the prefix bound).
    const TBlocks blocks{Soa_.data(), Principal_.data(), Padded_, n, d, 0};
    const TGroupKernel kernel = Kernel();
    const std::ptrdiff_t fullGroups = (static_cast<std::ptrdiff_t>(full.size()) + PointsPerGroup - 1) / PointsPerGroup;
    const std::ptrdiff_t groups =
        fullGroups + (static_cast<std::ptrdiff_t>(gapped.size()) + PointsPerGroup - 1) / PointsPerGroup;
#pragma omp parallel
    {
        std::vector<double> x(static_cast<std::size_t>(PointsPerGroup * d));
        std::vector<double> mask(static_cast<std::size_t>(PointsPerGroup * d));
        std::int32_t groupNearest[PointsPerGroup];
        double groupDistance[PointsPerGroup];
#pragma omp for schedule(dynamic, 16)
        for (std::ptrdiff_t g = 0; g < groups; ++g) {
            const bool isFull = g < fullGroups;
            const std::vector<std::int32_t>& list = isFull ? full : gapped;
            const std::ptrdiff_t first = (isFull ? g : g - fullGroups) * PointsPerGroup;
            const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(list.size());
            // A short last group repeats its first point; the repeats' results are dropped.
            std::int32_t members[PointsPerGroup];
            TGroup group{x.data(), isFull ? nullptr : mask.data(), nullptr, {}};
            for (int q = 0; q < PointsPerGroup; ++q) {
                members[q] = list[static_cast<std::size_t>(first + q < size ? first + q : first)];
                const double* r = row(static_cast<std::size_t>(members[q]));
                for (int k = 0; k < d; ++k) {
                    const bool present = !IsMissing(r[k]);
                    x[static_cast<std::size_t>(q * d + k)] = present ? r[k] : 0.0;
                    mask[static_cast<std::size_t>(q * d + k)] = present ? 1.0 : 0.0;
                }
                group.Bound[q] = bound[static_cast<std::size_t>(members[q])];
            }
            kernel(blocks, group, groupNearest, groupDistance);
            for (int q = 0; q < PointsPerGroup && first + q < size; ++q) {
                nearest[members[q]] = groupNearest[q];
                distance[members[q]] = groupDistance[q];
            }
        }
    }
}

} // namespace orbelin::map

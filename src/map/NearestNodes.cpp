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

} // namespace

void TNearestNodeSearch::SetNodes(const TArray2D& nodes)
{
    N_ = static_cast<int>(nodes.size());
    D_ = N_ > 0 ? static_cast<int>(nodes[0].size()) : 0;
    Padded_ = (N_ + PadUnit - 1) / PadUnit * PadUnit;
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
            Axes_[static_cast<std::size_t>(j) * d + k] =
                solver.eigenvectors()(static_cast<Eigen::Index>(k), D_ - 1 - j);
    Principal_.assign(static_cast<std::size_t>(m) * padded, std::numeric_limits<double>::infinity());
    NodeRadius_ = 0;
    for (std::size_t i = 0; i < n; ++i) {
        Project(Rows_.data() + i * d, Principal_.data() + i, padded, m);
        double square = 0;
        for (std::size_t k = 0; k < d; ++k)
            square += (Rows_[i * d + k] - Mean_[k]) * (Rows_[i * d + k] - Mean_[k]);
        NodeRadius_ = std::max(NodeRadius_, std::sqrt(square));
    }
    M_ = m;
}

double TNearestNodeSearch::Project(const double* x, double* out, std::size_t stride, int m) const
{
    const auto d = static_cast<std::size_t>(D_);
    double square = 0;
    for (std::size_t k = 0; k < d; ++k)
        square += (x[k] - Mean_[k]) * (x[k] - Mean_[k]);
    for (int j = 0; j < m; ++j) {
        const double* axis = Axes_.data() + static_cast<std::size_t>(j) * d;
        double v = 0;
        for (std::size_t k = 0; k < d; ++k)
            v += axis[k] * (x[k] - Mean_[k]);
        out[static_cast<std::size_t>(j) * stride] = v;
    }
    return std::sqrt(square);
}

double TNearestNodeSearch::PrincipalThreshold(const double* x, double seedDistance, double* principal) const
{
    // Bessel: the principal coordinates of x - y, orthonormal axes, hold at most its
    // squared length. Their rounding errors are below d * 2^-52 relative to the distances
    // involved and to |x - mean| + |y - mean|; the margins are a million times that.
    const double radius = Project(x, principal, 1, M_);
    const double reach = std::sqrt(seedDistance) * (1 + BoundMargin) + BoundMargin * (radius + NodeRadius_);
    return reach * reach;
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

void TNearestNodeSearch::Search(const double* points, const char* complete, std::size_t count, TNodeGapRule rule,
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
    const auto row = [points, d](std::size_t p) { return points + p * static_cast<std::size_t>(d); };
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

    // Seeds: the hinted node, or the best of a few nodes spread over the grid. Points with
    // the same seed are searched together, so that their blocks pass over alike.
    std::vector<std::int32_t> seed(count);
    std::vector<double> bound(count);
    const int stride = std::max(1, n / SeedSamples);
#pragma omp parallel for schedule(static)
    for (std::ptrdiff_t p = 0; p < static_cast<std::ptrdiff_t>(count); ++p) {
        const double* x = row(static_cast<std::size_t>(p));
        const std::int32_t hinted = hint ? hint[p] : -1;
        std::int32_t best = -1;
        double value = NoNodeBelow;
        if (hinted >= 0 && hinted < n) {
            best = hinted;
            value =
                PresentDistance(x, Rows_.data() + static_cast<std::size_t>(hinted) * static_cast<std::size_t>(d), d);
        } else {
            for (int i = 0; i < n; i += stride) {
                const double s =
                    PresentDistance(x, Rows_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(d), d);
                if (s < value) {
                    value = s;
                    best = i;
                }
            }
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
        // Points beyond the range the principal bound is checked for take the exact path.
        for (std::int32_t p : order)
            (complete[p] && (M_ == 0 || WithinBoundRange(row(static_cast<std::size_t>(p)), d)) ? full : gapped)
                .push_back(p);
    }
    const TBlocks blocks{Soa_.data(), Principal_.data(), Padded_, n, d, M_};
    const int m = M_;

    const int width = SimdWidth();
    const TGroupKernel kernel = width == 8 ? GroupAvx512 : width == 4 ? GroupAvx2 : GroupBaseline;
    const std::ptrdiff_t fullGroups = (static_cast<std::ptrdiff_t>(full.size()) + PointsPerGroup - 1) / PointsPerGroup;
    const std::ptrdiff_t groups =
        fullGroups + (static_cast<std::ptrdiff_t>(gapped.size()) + PointsPerGroup - 1) / PointsPerGroup;
#pragma omp parallel
    {
        std::vector<double> x(static_cast<std::size_t>(PointsPerGroup * d));
        std::vector<double> mask(static_cast<std::size_t>(PointsPerGroup * d));
        std::vector<double> principal(static_cast<std::size_t>(PointsPerGroup * std::max(m, 1)));
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
            const bool usePrincipal = isFull && m > 0;
            TGroup group{x.data(), isFull ? nullptr : mask.data(), usePrincipal ? principal.data() : nullptr, {}};
            for (int q = 0; q < PointsPerGroup; ++q) {
                members[q] = list[static_cast<std::size_t>(first + q < size ? first + q : first)];
                const double* r = row(static_cast<std::size_t>(members[q]));
                for (int k = 0; k < d; ++k) {
                    const bool present = !IsMissing(r[k]);
                    x[static_cast<std::size_t>(q * d + k)] = present ? r[k] : 0.0;
                    mask[static_cast<std::size_t>(q * d + k)] = present ? 1.0 : 0.0;
                }
                const double seedDistance = bound[static_cast<std::size_t>(members[q])];
                group.Bound[q] =
                    usePrincipal ? PrincipalThreshold(r, seedDistance, principal.data() + q * m) : seedDistance;
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

// Prepared Gauss-Seidel sweeps for the node coordinates of a training step.
#include "map/TrainingSolver.h"

#include "map/SimdWidth.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orbelin::map {

namespace {

/// Sweeps between two looks at the abort flag.
constexpr int AbortCheckInterval = 16;

template <int W>
struct TVectors {
    typedef double Vd __attribute__((vector_size(W * sizeof(double))));
    typedef long long Vi __attribute__((vector_size(W * sizeof(long long))));
};

// Vectors are passed by reference only and live in plain double arrays, moved through
// unaligned loads and stores: these are inlined into functions of several instruction
// sets, whose vector calling conventions and alignments differ.
template <class V>
[[gnu::always_inline]] inline void LoadVector(V& v, const double* p)
{
    std::memcpy(&v, p, sizeof v);
}

template <class V>
[[gnu::always_inline]] inline void StoreVector(double* p, const V& v)
{
    std::memcpy(p, &v, sizeof v);
}

// The sweeps of every lane, LaneCount lanes per unknown held as G vectors of W lanes,
// compiled once per instruction set; x and start hold LaneCount values per unknown.
template <int W>
[[gnu::always_inline]] inline void SweepLanes(const TPreparedSystem& system, double* x, const double* start, int count,
                                              bool anyZeroDiagonal, double tol, const std::atomic<bool>* abort,
                                              numeric::TSolveResult* results)
{
    using Vd = typename TVectors<W>::Vd;
    using Vi = typename TVectors<W>::Vi;
    constexpr int L = TPreparedSystem::LaneCount;
    constexpr int G = L / W;
    const int n = system.Size();
    const double* diagonal = system.Diagonal();
    const std::int32_t* rowStart = system.RowStart();
    const std::int32_t* cols = system.Cols();
    const double* quotients = system.Quotients();
    Vi active[G];
    Vd tolerance, zero = {}, one;
    for (int j = 0; j < W; ++j) {
        tolerance[j] = tol;
        one[j] = 1.0;
    }
    for (int g = 0; g < G; ++g)
        for (int j = 0; j < W; ++j)
            active[g][j] = g * W + j < count ? -1 : 0;
    bool isActive[L];
    for (int c = 0; c < L; ++c)
        isActive[c] = c < count;
    int sweeps = 0, running = count;
    while (running > 0) {
        // Per lane, the rows that moved by more than tol and those that are not finite
        // (counted as doubles: comparisons of doubles stay vector operations).
        Vd unsettled[G] = {}, notFinite[G] = {};
        for (int i = 0; i < n; ++i) {
            if (diagonal[i] == 0.0)
                continue;
            const std::size_t row = static_cast<std::size_t>(i) * L;
            Vd s[G];
#pragma GCC unroll 8
            for (int g = 0; g < G; ++g)
                LoadVector(s[g], start + row + static_cast<std::size_t>(g * W));
            for (std::int32_t k = rowStart[i]; k < rowStart[i + 1]; ++k) {
                Vd q;
                for (int j = 0; j < W; ++j)
                    q[j] = quotients[k];
                const double* other = x + static_cast<std::size_t>(cols[k]) * L;
#pragma GCC unroll 8
                for (int g = 0; g < G; ++g) {
                    Vd y;
                    LoadVector(y, other + g * W);
                    s[g] = s[g] - q * y;
                }
            }
#pragma GCC unroll 8
            for (int g = 0; g < G; ++g) {
                Vd before;
                LoadVector(before, x + row + static_cast<std::size_t>(g * W));
                StoreVector(x + row + static_cast<std::size_t>(g * W), active[g] ? s[g] : before);
                const Vd change = s[g] - before;
                const Vd size = change < zero ? -change : change;
                // As |change| <= tol, with a NaN change unsettled.
                unsettled[g] += size <= tolerance ? zero : one;
                notFinite[g] += (s[g] - s[g]) == zero ? zero : one;
            }
        }
        ++sweeps;
        for (int c = 0; c < count; ++c) {
            if (!isActive[c])
                continue;
            results[c].Sweeps = sweeps;
            if (notFinite[c / W][c % W] != 0.0)
                results[c].Status = numeric::TSolveStatus::NotFinite;
            else if (unsettled[c / W][c % W] == 0.0)
                results[c].Status =
                    anyZeroDiagonal ? numeric::TSolveStatus::ZeroDiagonal : numeric::TSolveStatus::Converged;
            else
                continue;
            isActive[c] = false;
            active[c / W][c % W] = 0;
            --running;
        }
        if (running > 0 && abort && sweeps % AbortCheckInterval == 0 && abort->load(std::memory_order_relaxed)) {
            for (int c = 0; c < count; ++c)
                if (isActive[c])
                    results[c].Status = numeric::TSolveStatus::SweepLimit;
            return;
        }
    }
}

__attribute__((target("avx512f"))) void SweepLanesAvx512(const TPreparedSystem& system, double* x, const double* start,
                                                         int count, bool anyZeroDiagonal, double tol,
                                                         const std::atomic<bool>* abort, numeric::TSolveResult* results)
{
    SweepLanes<8>(system, x, start, count, anyZeroDiagonal, tol, abort, results);
}

__attribute__((target("avx2"))) void SweepLanesAvx2(const TPreparedSystem& system, double* x, const double* start,
                                                    int count, bool anyZeroDiagonal, double tol,
                                                    const std::atomic<bool>* abort, numeric::TSolveResult* results)
{
    SweepLanes<4>(system, x, start, count, anyZeroDiagonal, tol, abort, results);
}

void SweepLanesBaseline(const TPreparedSystem& system, double* x, const double* start, int count, bool anyZeroDiagonal,
                        double tol, const std::atomic<bool>* abort, numeric::TSolveResult* results)
{
    SweepLanes<2>(system, x, start, count, anyZeroDiagonal, tol, abort, results);
}

} // namespace

TPreparedSystem::TPreparedSystem(const numeric::TSparseMatrix& a, int n) : N_(std::max(n, 0))
{
    const int rows = std::min(N_, a.Rows());
    const auto size = static_cast<std::size_t>(N_);
    Diagonal_.assign(size, 0.0);
    RowStart_.assign(size + 1, 0);
    for (int i = 0; i < rows; ++i) {
        const auto cols = a.RowCols(i);
        const auto values = a.RowValues(i);
        // The last stored diagonal entry counts, as in the plain sweeps.
        for (std::size_t k = 0; k < cols.size(); ++k)
            if (cols[k] == i)
                Diagonal_[static_cast<std::size_t>(i)] = values[k];
    }
    for (int i = 0; i < N_; ++i) {
        const double diagonal = Diagonal_[static_cast<std::size_t>(i)];
        if (i < rows && diagonal != 0.0) {
            const auto cols = a.RowCols(i);
            const auto values = a.RowValues(i);
            for (std::size_t k = 0; k < cols.size(); ++k) {
                const std::int32_t j = cols[k];
                if (j != i && j < N_ && values[k] != 0.0) {
                    Cols_.push_back(j);
                    Quotients_.push_back(values[k] / diagonal);
                }
            }
        }
        RowStart_[static_cast<std::size_t>(i) + 1] = static_cast<std::int32_t>(Cols_.size());
    }
}

numeric::TSolveResult TPreparedSystem::Solve(const TArray1D& b, TArray1D& x, double tol,
                                             const std::atomic<bool>* abort) const
{
    const auto n = static_cast<std::size_t>(N_);
    if (x.size() < n)
        x.resize(n, 0.0);
    std::vector<double> start(n);
    bool anyZeroDiagonal = false;
    for (std::size_t i = 0; i < n; ++i) {
        const double diagonal = Diagonal_[i];
        if (diagonal == 0.0)
            anyZeroDiagonal = true;
        else
            start[i] = (i < b.size() ? b[i] : 0.0) / diagonal;
    }
    const std::int32_t* rowStart = RowStart_.data();
    const std::int32_t* cols = Cols_.data();
    const double* quotients = Quotients_.data();
    double* unknowns = x.data();

    numeric::TSolveResult result;
    for (;;) {
        bool converged = true, finite = true;
        for (std::size_t i = 0; i < n; ++i) {
            if (Diagonal_[i] == 0.0)
                continue;
            double s = start[i];
            for (std::int32_t k = rowStart[i]; k < rowStart[i + 1]; ++k)
                s -= quotients[k] * unknowns[cols[k]];
            const double before = unknowns[i];
            unknowns[i] = s;
            if (!std::isfinite(s))
                finite = false;
            // Written so that a NaN difference counts as not converged.
            if (!(std::fabs(s - before) <= tol))
                converged = false;
        }
        ++result.Sweeps;
        if (!finite) {
            result.Status = numeric::TSolveStatus::NotFinite;
            return result;
        }
        if (converged) {
            result.Status = anyZeroDiagonal ? numeric::TSolveStatus::ZeroDiagonal : numeric::TSolveStatus::Converged;
            return result;
        }
        if (abort && result.Sweeps % AbortCheckInterval == 0 && abort->load(std::memory_order_relaxed)) {
            result.Status = numeric::TSolveStatus::SweepLimit;
            return result;
        }
    }
}

} // namespace orbelin::map

namespace orbelin::map {

void TPreparedSystem::SolveMany(const TArray1D* const* b, TArray1D* const* x, int count, double tol,
                                const std::atomic<bool>* abort, numeric::TSolveResult* results) const
{
    count = std::clamp(count, 0, LaneCount);
    const auto n = static_cast<std::size_t>(N_);
    const std::size_t l = LaneCount;
    std::vector<double> lanes(n * l), start(n * l);
    bool anyZeroDiagonal = false;
    for (std::size_t i = 0; i < n; ++i) {
        const double diagonal = Diagonal_[i];
        anyZeroDiagonal = anyZeroDiagonal || diagonal == 0.0;
        for (int c = 0; c < LaneCount; ++c) {
            const bool used = c < count;
            TArray1D& unknowns = *x[used ? c : 0];
            if (used && unknowns.size() < n)
                unknowns.resize(n, 0.0);
            lanes[i * l + static_cast<std::size_t>(c)] = used ? unknowns[i] : 0.0;
            const TArray1D& rhs = *b[used ? c : 0];
            start[i * l + static_cast<std::size_t>(c)] =
                used && diagonal != 0.0 ? (i < rhs.size() ? rhs[i] : 0.0) / diagonal : 0.0;
        }
    }
    for (int c = 0; c < count; ++c)
        results[c] = numeric::TSolveResult();
    if (count > 0) {
        const int width = SimdWidth();
        if (width == 8)
            SweepLanesAvx512(*this, lanes.data(), start.data(), count, anyZeroDiagonal, tol, abort, results);
        else if (width == 4)
            SweepLanesAvx2(*this, lanes.data(), start.data(), count, anyZeroDiagonal, tol, abort, results);
        else
            SweepLanesBaseline(*this, lanes.data(), start.data(), count, anyZeroDiagonal, tol, abort, results);
    }
    for (int c = 0; c < count; ++c)
        for (std::size_t i = 0; i < n; ++i)
            (*x[c])[i] = lanes[i * l + static_cast<std::size_t>(c)];
}

} // namespace orbelin::map

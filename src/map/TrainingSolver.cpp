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

typedef double TLanesD __attribute__((vector_size(TPreparedSystem::LaneCount * sizeof(double))));
typedef long long TLanesI __attribute__((vector_size(TPreparedSystem::LaneCount * sizeof(long long))));

// The sweeps of every lane, compiled once per instruction set; x and start hold one lane
// per system for every unknown. Returns the number of sweeps made; stoppedAt and status
// receive per lane the sweep and the status it stopped with.
// Lane vectors live in plain double arrays and move through unaligned loads and stores.
[[gnu::always_inline]] inline void LoadLanes(TLanesD& v, const double* p)
{
    std::memcpy(&v, p, sizeof v);
}

[[gnu::always_inline]] inline void StoreLanes(double* p, const TLanesD& v)
{
    std::memcpy(p, &v, sizeof v);
}

[[gnu::always_inline]] inline void SweepLanes(const TPreparedSystem& system, double* x, const double* start, int count,
                                              bool anyZeroDiagonal, double tol, const std::atomic<bool>* abort,
                                              numeric::TSolveResult* results)
{
    constexpr std::size_t L = TPreparedSystem::LaneCount;
    const int n = system.Size();
    const double* diagonal = system.Diagonal();
    const std::int32_t* rowStart = system.RowStart();
    const std::int32_t* cols = system.Cols();
    const double* quotients = system.Quotients();
    TLanesI active;
    TLanesD tolerance, zero = {}, one;
    for (int c = 0; c < TPreparedSystem::LaneCount; ++c) {
        active[c] = c < count ? -1 : 0;
        tolerance[c] = tol;
        one[c] = 1.0;
    }
    int sweeps = 0, running = count;
    while (running > 0) {
        // Per lane, the rows that moved by more than tol and those that are not finite
        // (counted as doubles: comparisons of doubles stay vector operations).
        TLanesD unsettled = {}, notFinite = {};
        for (int i = 0; i < n; ++i) {
            if (diagonal[i] == 0.0)
                continue;
            TLanesD s, before;
            LoadLanes(s, start + static_cast<std::size_t>(i) * L);
            for (std::int32_t k = rowStart[i]; k < rowStart[i + 1]; ++k) {
                TLanesD q, other;
                for (std::size_t c = 0; c < L; ++c)
                    q[c] = quotients[k];
                LoadLanes(other, x + static_cast<std::size_t>(cols[k]) * L);
                s = s - q * other;
            }
            LoadLanes(before, x + static_cast<std::size_t>(i) * L);
            StoreLanes(x + static_cast<std::size_t>(i) * L, active ? s : before);
            const TLanesD change = s - before;
            const TLanesD size = change < zero ? -change : change;
            // As |change| <= tol, with a NaN change unsettled.
            unsettled += size <= tolerance ? zero : one;
            notFinite += (s - s) == zero ? zero : one;
        }
        ++sweeps;
        for (int c = 0; c < count; ++c) {
            if (!active[c])
                continue;
            results[c].Sweeps = sweeps;
            if (notFinite[c] != 0.0)
                results[c].Status = numeric::TSolveStatus::NotFinite;
            else if (unsettled[c] == 0.0)
                results[c].Status =
                    anyZeroDiagonal ? numeric::TSolveStatus::ZeroDiagonal : numeric::TSolveStatus::Converged;
            else
                continue;
            active[c] = 0;
            --running;
        }
        if (running > 0 && abort && sweeps % AbortCheckInterval == 0 && abort->load(std::memory_order_relaxed)) {
            for (int c = 0; c < count; ++c)
                if (active[c])
                    results[c].Status = numeric::TSolveStatus::SweepLimit;
            return;
        }
    }
}

__attribute__((target("avx512f"))) void SweepLanesAvx512(const TPreparedSystem& system, double* x, const double* start,
                                                         int count, bool anyZeroDiagonal, double tol,
                                                         const std::atomic<bool>* abort, numeric::TSolveResult* results)
{
    SweepLanes(system, x, start, count, anyZeroDiagonal, tol, abort, results);
}

__attribute__((target("avx2"))) void SweepLanesAvx2(const TPreparedSystem& system, double* x, const double* start,
                                                    int count, bool anyZeroDiagonal, double tol,
                                                    const std::atomic<bool>* abort, numeric::TSolveResult* results)
{
    SweepLanes(system, x, start, count, anyZeroDiagonal, tol, abort, results);
}

void SweepLanesBaseline(const TPreparedSystem& system, double* x, const double* start, int count, bool anyZeroDiagonal,
                        double tol, const std::atomic<bool>* abort, numeric::TSolveResult* results)
{
    SweepLanes(system, x, start, count, anyZeroDiagonal, tol, abort, results);
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

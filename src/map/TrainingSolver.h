// Gauss-Seidel sweeps over one system matrix prepared once for many right-hand sides: the
// node coordinates of a training step.
#pragma once

#include "numeric/LinearAlgebra.h"
#include "numeric/TArray.h"
#include "numeric/TSparseMatrix.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace orbelin::map {

/// The sweeps of numeric::GaussSeidelSolve on a compressed-row matrix, with the quotients
/// A[i][j]/A[i][i] worked out once instead of in every sweep. The quotients are the very
/// values the plain sweeps compute, and they are used in the same order, so a solve gives
/// the plain solver's unknowns and status bit for bit. Safe to share between threads once
/// built; each Solve works on its own vectors.
class TPreparedSystem {
public:
    /// Prepares the leading n x n block of a.
    TPreparedSystem(const numeric::TSparseMatrix& a, int n);

    /// Solves A x = b from the x given, as GaussSeidelSolve(n, a, b, x, tol) does. When
    /// abort is given and becomes true, the sweeps end early (status SweepLimit) with x as
    /// the last completed sweep left it; it is looked at every few sweeps.
    numeric::TSolveResult Solve(const TArray1D& b, TArray1D& x, double tol,
                                const std::atomic<bool>* abort = nullptr) const;

    /// How many systems SolveMany takes at once.
    static constexpr int LaneCount = 8;

    /// Solves A x[c] = b[c] for c < count <= LaneCount at once, each system with exactly
    /// the arithmetic, the stopping rule and the result of Solve: one vector lane per
    /// system, a lane kept unchanged once its system has stopped. results receives count
    /// results.
    void SolveMany(const TArray1D* const* b, TArray1D* const* x, int count, double tol, const std::atomic<bool>* abort,
                   numeric::TSolveResult* results) const;

    int Size() const { return N_; }
    const double* Diagonal() const { return Diagonal_.data(); }
    const std::int32_t* RowStart() const { return RowStart_.data(); }
    const std::int32_t* Cols() const { return Cols_.data(); }
    const double* Quotients() const { return Quotients_.data(); }

private:
    int N_ = 0;
    std::vector<double> Diagonal_;       ///< [N]; 0 where the row keeps its unknown
    std::vector<std::int32_t> RowStart_; ///< [N+1] into Cols_ and Quotients_
    std::vector<std::int32_t> Cols_;     ///< off-diagonal columns with non-zero entries
    std::vector<double> Quotients_;      ///< A[i][j]/A[i][i] of those entries
};

} // namespace orbelin::map

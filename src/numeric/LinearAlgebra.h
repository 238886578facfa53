// The iterative solver of symmetric positive definite systems and least-squares regression.
#pragma once

#include "numeric/TArray.h"
#include "numeric/TSparseMatrix.h"

namespace orbelin::numeric {

/// How a Gauss-Seidel solve ended.
enum class TSolveStatus {
    Converged,    ///< no unknown moved by more than the tolerance in the last sweep
    ZeroDiagonal, ///< converged, but rows with a zero diagonal kept their unknowns as given
    NotFinite,    ///< an unknown became infinite or not a number; the sweeps were stopped
    SweepLimit,   ///< the sweep cap was reached before convergence
};

struct TSolveResult {
    TSolveStatus Status = TSolveStatus::Converged;
    int Sweeps = 0; ///< sweeps performed, the last (confirming) one included
};

/// Solves A x = b in place by Gauss-Seidel sweeps, starting from the x given. A sweep sets,
/// for i = 0..n-1 in order, x[i] := b[i]/A[i][i] - sum over j != i of (A[i][j]/A[i][i]) x[j],
/// subtracting the terms in increasing j with the newest values of x; terms whose A[i][j]
/// is zero are skipped. The sweeps stop once every |x[i] - x[i] before the sweep| <= tol.
///
/// Meant for symmetric positive definite A, for which the sweeps converge. Guards for other
/// input: a row with a zero diagonal leaves its x[i] unchanged; an unknown that becomes
/// infinite or NaN (a divergent system, a missing value in A or b) stops the sweeps at once;
/// maxSweeps > 0 caps the number of sweeps (0: no cap). Entries outside the leading n x n
/// block of A are ignored; x is extended with zeros when it is shorter than n.
TSolveResult GaussSeidelSolve(int n, const TArray2D& a, const TArray1D& b, TArray1D& x, double tol, int maxSweeps = 0);

/// The same sweeps over the stored entries of a compressed-row matrix, with the same
/// arithmetic in the same order, so both forms give bit-identical solutions.
TSolveResult GaussSeidelSolve(int n, const TSparseMatrix& a, const TArray1D& b, TArray1D& x, double tol,
                              int maxSweeps = 0);

/// Least-squares fit y[k] ~ sum_j c[j] X[k][j] + c[D]: returns the D slopes and then the
/// intercept. Builds the normal equations M[i][j] = sum_k X[k][i] X[k][j] (i, j < D),
/// M[i][D] = M[D][i] = sum_k X[k][i], M[D][D] = n, r[i] = sum_k y[k] X[k][i],
/// r[D] = sum_k y[k], and solves them with GaussSeidelSolve from c = 0. Callers pass
/// complete data; solve, when given, receives how the solve ended.
TArray1D LinearRegression(const TArray2D& x, const TArray1D& y, double tol, TSolveResult* solve = nullptr);

} // namespace orbelin::numeric

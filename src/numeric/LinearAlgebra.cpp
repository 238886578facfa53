// Gauss-Seidel sweeps over dense and compressed-row matrices, and the regression built on them.
#include "numeric/LinearAlgebra.h"

#include <algorithm>
#include <cmath>

namespace orbelin::numeric {
namespace {

// Everything after the row arithmetic is shared by both matrix forms, so that they cannot
// drift apart: the row callback returns the new x[i], or false for a zero diagonal.
template <class TRowUpdate>
TSolveResult Sweep(int n, TArray1D& x, double tol, int maxSweeps, TRowUpdate&& updateRow)
{
    if (n < 0)
        n = 0;
    if (x.size() < static_cast<std::size_t>(n))
        x.resize(static_cast<std::size_t>(n), 0.0);
    TSolveResult result;
    for (;;) {
        bool converged = true, finite = true, zeroDiagonal = false;
        for (int i = 0; i < n; ++i) {
            double value;
            if (!updateRow(i, value)) {
                zeroDiagonal = true;
                continue;
            }
            const double before = x[static_cast<std::size_t>(i)];
            x[static_cast<std::size_t>(i)] = value;
            if (!std::isfinite(value))
                finite = false;
            // Written so that a NaN difference counts as not converged.
            if (!(std::fabs(value - before) <= tol))
                converged = false;
        }
        ++result.Sweeps;
        if (!finite) {
            result.Status = TSolveStatus::NotFinite;
            return result;
        }
        if (converged) {
            result.Status = zeroDiagonal ? TSolveStatus::ZeroDiagonal : TSolveStatus::Converged;
            return result;
        }
        if (maxSweeps > 0 && result.Sweeps >= maxSweeps) {
            result.Status = TSolveStatus::SweepLimit;
            return result;
        }
    }
}

double RightSide(const TArray1D& b, int i)
{
    return static_cast<std::size_t>(i) < b.size() ? b[static_cast<std::size_t>(i)] : 0.0;
}

} // namespace

TSolveResult GaussSeidelSolve(int n, const TArray2D& a, const TArray1D& b, TArray1D& x, double tol, int maxSweeps)
{
    return Sweep(n, x, tol, maxSweeps, [&](int i, double& value) {
        const std::size_t ii = static_cast<std::size_t>(i);
        if (ii >= a.size())
            return false;
        const TArray1D& row = a[ii];
        const std::size_t length = std::min(row.size(), static_cast<std::size_t>(n));
        const double diagonal = ii < length ? row[ii] : 0.0;
        if (diagonal == 0.0)
            return false;
        double s = RightSide(b, i) / diagonal;
        for (std::size_t j = 0; j < length; ++j)
            if (j != ii && row[j] != 0.0)
                s -= (row[j] / diagonal) * x[j];
        value = s;
        return true;
    });
}

TSolveResult GaussSeidelSolve(int n, const TSparseMatrix& a, const TArray1D& b, TArray1D& x, double tol, int maxSweeps)
{
    // Position of each row's diagonal among its stored entries, found once per solve.
    const int rows = std::min(std::max(n, 0), a.Rows());
    std::vector<std::int32_t> diagonalAt(static_cast<std::size_t>(rows), -1);
    const std::vector<std::int32_t>& start = a.RowStart();
    const std::vector<std::int32_t>& cols = a.ColIndices();
    const std::vector<double>& values = a.Values();
    for (int i = 0; i < rows; ++i)
        for (std::int32_t k = start[i]; k < start[i + 1]; ++k)
            if (cols[k] == i)
                diagonalAt[static_cast<std::size_t>(i)] = k;

    return Sweep(n, x, tol, maxSweeps, [&](int i, double& value) {
        if (i >= rows || diagonalAt[static_cast<std::size_t>(i)] < 0)
            return false;
        const double diagonal = values[diagonalAt[static_cast<std::size_t>(i)]];
        if (diagonal == 0.0)
            return false;
        double s = RightSide(b, i) / diagonal;
        for (std::int32_t k = start[i]; k < start[i + 1]; ++k) {
            const std::int32_t j = cols[k];
            if (j != i && j < n && values[k] != 0.0)
                s -= (values[k] / diagonal) * x[static_cast<std::size_t>(j)];
        }
        value = s;
        return true;
    });
}

TArray1D LinearRegression(const TArray2D& x, const TArray1D& y, double tol, TSolveResult* solve)
{
    const std::size_t n = std::min(x.size(), y.size());
    const std::size_t d = n > 0 ? x[0].size() : 0;
    TArray2D m(d + 1, TArray1D(d + 1, 0.0));
    TArray1D r(d + 1, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        const TArray1D& row = x[k];
        for (std::size_t i = 0; i < d; ++i) {
            for (std::size_t j = 0; j <= i; ++j)
                m[i][j] += row[i] * row[j];
            m[i][d] += row[i];
            r[i] += y[k] * row[i];
        }
        r[d] += y[k];
    }
    for (std::size_t i = 0; i < d; ++i) {
        for (std::size_t j = 0; j < i; ++j)
            m[j][i] = m[i][j];
        m[d][i] = m[i][d];
    }
    m[d][d] = static_cast<double>(n);
    TArray1D c(d + 1, 0.0);
    const TSolveResult result = GaussSeidelSolve(static_cast<int>(d + 1), m, r, c, tol);
    if (solve != nullptr)
        *solve = result;
    return c;
}

} // namespace orbelin::numeric

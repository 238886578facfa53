// Gauss-Seidel solves on dense and compressed-row matrices, their guards, and regression.
#include "numeric/LinearAlgebra.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace orbelin::numeric {
namespace {

double Uniform()
{
    return RandInt(1000) / 1000.0;
}

// A random symmetric positive definite matrix: a weighted graph Laplacian on a random
// sparse pattern plus a positive diagonal, with some off-diagonal entries negative
// weights of the other sign so that products of both signs occur.
TArray2D RandomSpd(int n, int neighbours)
{
    TArray2D a(static_cast<std::size_t>(n), TArray1D(static_cast<std::size_t>(n), 0.0));
    for (int i = 0; i < n; ++i) {
        a[i][i] += 0.05 + Uniform();
        for (int e = 0; e < neighbours; ++e) {
            const int j = RandInt(n);
            if (j == i)
                continue;
            const double weight = 0.1 + Uniform();
            a[i][j] -= weight;
            a[j][i] -= weight;
            a[i][i] += weight;
            a[j][j] += weight;
        }
    }
    return a;
}

std::uint64_t Bits(double x)
{
    return std::bit_cast<std::uint64_t>(x);
}

TEST(LinearAlgebraTest, GaussSeidelSolvesAndStopsByTolerance)
{
    struct TCase {
        const char* Name;
        TArray2D A;
        TArray1D B, Start, Expected;
        int Sweeps; // 0: not checked
    };
    const TCase cases[] = {
        // The first sweep lands on b/A, the second confirms it.
        {"diagonal", {{2, 0, 0}, {0, 4, 0}, {0, 0, 0.5}}, {1, 2, 3}, {0, 0, 0}, {0.5, 0.5, 6}, 2},
        {"already solved", {{2, 0}, {0, 4}}, {2, 4}, {1, 1}, {1, 1}, 1},
        // Solution (1, 2, 3) worked by hand: 4-2 = 2, -1+8-3 = 4, -2+9 = 7.
        {"tridiagonal", {{4, -1, 0}, {-1, 4, -1}, {0, -1, 3}}, {2, 4, 7}, {0, 0, 0}, {1, 2, 3}, 0},
        {"empty", {}, {}, {}, {}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int n = static_cast<int>(c.B.size());
        TArray1D dense = c.Start, sparse = c.Start;
        const TSolveResult r = GaussSeidelSolve(n, c.A, c.B, dense, 1e-10);
        const TSolveResult s = GaussSeidelSolve(n, TSparseMatrix::FromDense(c.A), c.B, sparse, 1e-10);
        EXPECT_EQ(TSolveStatus::Converged, r.Status);
        EXPECT_EQ(r.Sweeps, s.Sweeps);
        if (c.Sweeps > 0) {
            EXPECT_EQ(c.Sweeps, r.Sweeps);
        }
        ASSERT_EQ(c.Expected.size(), dense.size());
        for (std::size_t i = 0; i < dense.size(); ++i) {
            EXPECT_NEAR(c.Expected[i], dense[i], 1e-9);
            EXPECT_EQ(Bits(dense[i]), Bits(sparse[i]));
        }
    }
}

TEST(LinearAlgebraTest, SparseAndDenseSweepsAreBitIdenticalOnRandomSpdMatrices)
{
    SeedRandom(41);
    for (int trial = 0; trial < 30; ++trial) {
        SCOPED_TRACE(trial);
        const int n = 2 + RandInt(60);
        const TArray2D a = RandomSpd(n, 1 + RandInt(4));
        TArray1D b(static_cast<std::size_t>(n)), start(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            b[i] = Uniform() - 0.5;
            start[i] = trial % 3 == 0 ? 0.0 : Uniform() - 0.5;
        }
        // An explicitly stored zero must change nothing either.
        std::vector<TTriplet> triplets;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (a[i][j] != 0.0 || (i == 0 && j == n - 1))
                    triplets.push_back({i, j, a[i][j]});
        const TSparseMatrix sparse = TSparseMatrix::FromTriplets(n, n, triplets);

        TArray1D xDense = start, xSparse = start;
        const TSolveResult rd = GaussSeidelSolve(n, a, b, xDense, 1e-12);
        const TSolveResult rs = GaussSeidelSolve(n, sparse, b, xSparse, 1e-12);
        EXPECT_EQ(TSolveStatus::Converged, rd.Status);
        EXPECT_EQ(rd.Sweeps, rs.Sweeps);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(Bits(xDense[i]), Bits(xSparse[i])) << "row " << i;
        // And it is a solution: the residual is at the level of the tolerance.
        for (int i = 0; i < n; ++i) {
            double r = -b[i];
            for (int j = 0; j < n; ++j)
                r += a[i][j] * xDense[j];
            EXPECT_NEAR(0.0, r, 1e-9 * n);
        }
    }
}

TEST(LinearAlgebraTest, GaussSeidelGuardsEndTheSweeps)
{
    struct TCase {
        const char* Name;
        TArray2D A;
        TArray1D B, Start;
        int MaxSweeps;
        TSolveStatus Status;
        int Sweeps;
        double X1; // x[1] afterwards, when finite
    };
    const double M = Missing();
    const TCase cases[] = {
        // Row 1 has nothing to divide by: its unknown keeps the start value 7.
        {"zero diagonal", {{2, 0}, {0, 0}}, {4, 1}, {0, 7}, 0, TSolveStatus::ZeroDiagonal, 2, 7},
        {"short row", {{2, 0}, {0}}, {4, 1}, {0, 7}, 0, TSolveStatus::ZeroDiagonal, 2, 7},
        {"missing right side", {{2, 0}, {0, 1}}, {4, M}, {0, 0}, 0, TSolveStatus::NotFinite, 1, NAN},
        // Indefinite: the sweeps grow without bound until the numbers overflow.
        {"divergent", {{1, 2}, {2, 1}}, {1, 1}, {0, 0}, 0, TSolveStatus::NotFinite, 0, NAN},
        {"capped", {{1, 0.999}, {0.999, 1}}, {1, 0}, {0, 0}, 5, TSolveStatus::SweepLimit, 5, NAN},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int n = static_cast<int>(c.B.size());
        TArray1D dense = c.Start, sparse = c.Start;
        const TSolveResult r = GaussSeidelSolve(n, c.A, c.B, dense, 1e-9, c.MaxSweeps);
        TArray2D padded = c.A;
        for (TArray1D& row : padded)
            row.resize(static_cast<std::size_t>(n), 0.0);
        const TSolveResult s = GaussSeidelSolve(n, TSparseMatrix::FromDense(padded), c.B, sparse, 1e-9, c.MaxSweeps);
        EXPECT_EQ(c.Status, r.Status);
        EXPECT_EQ(c.Status, s.Status);
        EXPECT_EQ(r.Sweeps, s.Sweeps);
        if (c.Sweeps > 0) {
            EXPECT_EQ(c.Sweeps, r.Sweeps);
        }
        if (!std::isnan(c.X1)) {
            EXPECT_EQ(c.X1, dense[1]);
        }
    }
}

TEST(LinearAlgebraTest, SolveExtendsAShortStartVector)
{
    TArray1D x;
    const TSolveResult r = GaussSeidelSolve(2, TArray2D{{2, 0}, {0, 4}}, TArray1D{2, 8}, x, 1e-12);
    EXPECT_EQ(TSolveStatus::Converged, r.Status);
    EXPECT_EQ((TArray1D{1, 2}), x);
}

TEST(LinearAlgebraTest, LinearRegressionRecoversExactLinearModels)
{
    struct TCase {
        const char* Name;
        TArray2D X;
        TArray1D Y, Expected;
    };
    const TCase cases[] = {
        {"y = 2x + 1", {{0}, {1}, {2}}, {1, 3, 5}, {2, 1}},
        {"y = 3a - b + 0.5", {{0, 0}, {1, 0}, {0, 1}, {2, 3}, {-1, 2}}, {0.5, 3.5, -0.5, 3.5, -4.5}, {3, -1, 0.5}},
        // Least squares, not interpolation: the mean of 1 and 3 at x = 1, slope 0 (by hand).
        {"noisy constant", {{1}, {1}, {3}, {3}}, {1, 3, 1, 3}, {0, 2}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSolveResult solve;
        const TArray1D b = LinearRegression(c.X, c.Y, 1e-10, &solve);
        EXPECT_EQ(TSolveStatus::Converged, solve.Status);
        ASSERT_EQ(c.Expected.size(), b.size());
        for (std::size_t i = 0; i < b.size(); ++i)
            EXPECT_NEAR(c.Expected[i], b[i], 1e-6);
    }
    // No points: every unknown has a zero diagonal and stays 0.
    TSolveResult solve;
    EXPECT_EQ((TArray1D{0}), LinearRegression({}, {}, 1e-5, &solve));
    EXPECT_EQ(TSolveStatus::ZeroDiagonal, solve.Status);
}

} // namespace
} // namespace orbelin::numeric

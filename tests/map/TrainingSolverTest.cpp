// The prepared Gauss-Seidel sweeps against the plain solver: the same unknowns bit for bit,
// the same status and sweep count, one system at a time and several in vector lanes.
#include "map/TrainingSolver.h"
#include "map/SimdWidth.h"

#include "numeric/LinearAlgebra.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>

namespace orbelin::map {
namespace {

bool SameBits(const TArray1D& a, const TArray1D& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// A banded symmetric matrix with a diagonal of the given strength relative to the row's
// other entries (below 1 the sweeps may diverge), some rows optionally all zero.
numeric::TSparseMatrix Banded(int n, double strength, bool zeroRows, std::mt19937_64& random)
{
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<numeric::TTriplet> entries;
    std::vector<double> rowSum(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i)
        for (int j : {i + 1, i + 3, i + 7})
            if (j < n && !(zeroRows && (i % 11 == 5 || j % 11 == 5))) {
                const double v = value(random);
                entries.push_back({i, j, v});
                entries.push_back({j, i, v});
                rowSum[static_cast<std::size_t>(i)] += std::fabs(v);
                rowSum[static_cast<std::size_t>(j)] += std::fabs(v);
            }
    for (int i = 0; i < n; ++i)
        if (!(zeroRows && i % 11 == 5))
            entries.push_back({i, i, strength * rowSum[static_cast<std::size_t>(i)] + 1e-3});
    return numeric::TSparseMatrix::FromTriplets(n, n, std::move(entries));
}

TEST(TrainingSolverTest, PreparedSweepsEqualThePlainSolver)
{
    struct TCase {
        const char* Name;
        double Strength;
        bool ZeroRows;
        double Tolerance;
        numeric::TSolveStatus Expected;
    };
    const TCase cases[] = {
        {"dominant diagonal", 1.2, false, 1e-9, numeric::TSolveStatus::Converged},
        {"rows without diagonal", 1.5, true, 1e-7, numeric::TSolveStatus::ZeroDiagonal},
        {"divergent", 0.2, false, 1e-9, numeric::TSolveStatus::NotFinite},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::mt19937_64 random(5);
        const int n = 60;
        const numeric::TSparseMatrix a = Banded(n, c.Strength, c.ZeroRows, random);
        const TPreparedSystem system(a, n);
        std::uniform_real_distribution<double> value(-5.0, 5.0);
        // Seven systems: each lane of SolveMany must end on its own sweep.
        std::vector<TArray1D> b(7, TArray1D(n)), start(7, TArray1D(n));
        for (std::size_t k = 0; k < b.size(); ++k)
            for (int i = 0; i < n; ++i) {
                b[k][static_cast<std::size_t>(i)] = value(random) * static_cast<double>(k + 1);
                start[k][static_cast<std::size_t>(i)] = k == 3 ? 0.0 : value(random);
            }
        std::vector<TArray1D> many = start;
        std::vector<const TArray1D*> bs;
        std::vector<TArray1D*> xs;
        for (std::size_t k = 0; k < b.size(); ++k) {
            bs.push_back(&b[k]);
            xs.push_back(&many[k]);
        }
        // Every vector width the processor has.
        std::vector<std::vector<TArray1D>> manyByWidth;
        std::vector<std::vector<numeric::TSolveResult>> resultsByWidth;
        for (int width : {2, 4, 8}) {
            __builtin_cpu_init();
            if ((width == 4 && !__builtin_cpu_supports("avx2")) || (width == 8 && !__builtin_cpu_supports("avx512f")))
                continue;
            ForceSimdWidth(width);
            many = start;
            std::vector<numeric::TSolveResult> results(b.size());
            system.SolveMany(bs.data(), xs.data(), static_cast<int>(b.size()), c.Tolerance, nullptr, results.data());
            manyByWidth.push_back(many);
            resultsByWidth.push_back(results);
        }
        ForceSimdWidth(0);

        std::set<int> sweepCounts;
        for (std::size_t k = 0; k < b.size(); ++k) {
            TArray1D plain = start[k], prepared = start[k];
            const numeric::TSolveResult expected = numeric::GaussSeidelSolve(n, a, b[k], plain, c.Tolerance);
            const numeric::TSolveResult one = system.Solve(b[k], prepared, c.Tolerance);
            EXPECT_EQ(c.Expected, expected.Status);
            EXPECT_EQ(expected.Status, one.Status);
            EXPECT_EQ(expected.Sweeps, one.Sweeps);
            for (std::size_t w = 0; w < manyByWidth.size(); ++w) {
                EXPECT_EQ(expected.Status, resultsByWidth[w][k].Status) << w;
                EXPECT_EQ(expected.Sweeps, resultsByWidth[w][k].Sweeps) << w;
                if (expected.Status != numeric::TSolveStatus::NotFinite) {
                    EXPECT_TRUE(SameBits(plain, manyByWidth[w][k])) << w;
                }
            }
            if (expected.Status != numeric::TSolveStatus::NotFinite) {
                EXPECT_TRUE(SameBits(plain, prepared));
            }
            sweepCounts.insert(expected.Sweeps);
        }
        if (c.Expected == numeric::TSolveStatus::Converged) {
            EXPECT_GT(sweepCounts.size(), 1u) << "the lanes should stop on different sweeps";
        }
    }
}

TEST(TrainingSolverTest, AbortFlagEndsTheSweepsEarly)
{
    std::mt19937_64 random(9);
    const int n = 40;
    const numeric::TSparseMatrix a = Banded(n, 1.0001, false, random);
    const TPreparedSystem system(a, n);
    const TArray1D b(n, 1.0);
    std::atomic<bool> abort{true};
    TArray1D x(n, 0.0), y(n, 0.0);
    const numeric::TSolveResult stopped = system.Solve(b, x, 0.0, &abort);
    EXPECT_EQ(numeric::TSolveStatus::SweepLimit, stopped.Status);
    EXPECT_EQ(16, stopped.Sweeps);
    const TArray1D* bs[1] = {&b};
    TArray1D* xs[1] = {&y};
    numeric::TSolveResult result;
    system.SolveMany(bs, xs, 1, 0.0, &abort, &result);
    EXPECT_EQ(numeric::TSolveStatus::SweepLimit, result.Status);
    EXPECT_TRUE(SameBits(x, y));
}

} // namespace
} // namespace orbelin::map

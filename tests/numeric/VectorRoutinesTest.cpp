// Vector routines and their missing-value rules.
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::numeric {
namespace {

const double M = Missing();

TEST(VectorRoutinesTest, ReductionsSkipMissingEntries)
{
    struct TCase { const char* Name; TArray1D A; double Sum, Max, Min, Mean; };
    const TCase cases[] = {
        {"plain",        {1, 5, -2},  4, 5, -2, 4.0 / 3},
        {"one missing",  {1, M, 3},   4, 3, 1, 4.0 / 3}, // the divisor counts the missing entry
        {"all missing",  {M, M},      0, -1e100, 1e100, 0},
        {"empty",        {},          0, -1e100, 1e100, 0},
        {"ties",         {2, 2},      4, 2, 2, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Sum, VecSum(c.A));
        EXPECT_EQ(c.Max, VecMax(c.A));
        EXPECT_EQ(c.Min, VecMin(c.A));
        EXPECT_DOUBLE_EQ(c.Mean, VecMean(c.A));
    }
}

TEST(VectorRoutinesTest, DistancesAndDotsSkipCoordinatesWithAMissingSide)
{
    struct TCase { const char* Name; TArray1D A, B; double SqEuclid, CityBlock, Dot; };
    const TCase cases[] = {
        {"identical",       {1, 2, 3}, {1, 2, 3}, 0, 0, 14},
        {"3-4-5",           {0, 0},    {3, 4},    25, 7, 0},
        {"missing skipped", {1, M},    {4, 7},    9, 3, 4},
        {"missing in b",    {1, 2},    {M, 4},    4, 2, 8},
        {"all missing",     {M, M},    {M, M},    0, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.SqEuclid, SqEuclideanDistance(c.A, c.B));
        EXPECT_EQ(c.CityBlock, CityBlockDistance(c.A, c.B));
        EXPECT_EQ(c.SqEuclid, Distance(c.A, c.B, 0));
        EXPECT_EQ(c.CityBlock, Distance(c.A, c.B, 1));
        EXPECT_EQ(c.Dot, VecDot(c.A, c.B));
    }
    EXPECT_EQ(14.0, SqNorm(TArray1D{1, M, 2, 3}));
    // The mask removes coordinate 1 even though a and b are present there.
    EXPECT_EQ(1.0 * 4 + 3 * 6, MaskedDot(TArray1D{1, 2, 3}, TArray1D{4, 5, 6}, TArray1D{0, M, 0}));
    EXPECT_EQ(1.0 + 9, MaskedSqNorm(TArray1D{1, 2, 3}, TArray1D{7, M, 7}));
    EXPECT_EQ(0.0, MaskedSqNorm(TArray1D{M, 2}, TArray1D{1, M}));
}

TEST(VectorRoutinesTest, ElementWiseOperationsPropagateMissing)
{
    const TArray1D sum = VecAdd(TArray1D{1, M, 3}, TArray1D{M, 2, 4});
    ASSERT_EQ(3u, sum.size());
    EXPECT_TRUE(IsMissing(sum[0]));
    EXPECT_TRUE(IsMissing(sum[1]));
    EXPECT_EQ(7.0, sum[2]);

    const TArray1D diff = VecSub(TArray1D{5, M}, TArray1D{2, 1});
    EXPECT_EQ(3.0, diff[0]);
    EXPECT_TRUE(IsMissing(diff[1]));

    const TArray1D scaled = VecScale(TArray1D{2, M, -1}, 3);
    EXPECT_EQ(6.0, scaled[0]);
    EXPECT_TRUE(IsMissing(scaled[1]));
    EXPECT_EQ(-3.0, scaled[2]);

    EXPECT_TRUE(HasMissing(TArray1D{1, M}));
    EXPECT_FALSE(HasMissing(TArray1D{1, std::nan("")}));
    EXPECT_FALSE(HasMissing(TArray1D{}));
}

TEST(VectorRoutinesTest, CorrelationIsZeroForAConstantVector)
{
    EXPECT_DOUBLE_EQ(1.0, Correlation(TArray1D{1, 2, 3}, TArray1D{2, 4, 6}));
    EXPECT_DOUBLE_EQ(-1.0, Correlation(TArray1D{1, 2, 3}, TArray1D{3, 2, 1}));
    EXPECT_EQ(0.0, Correlation(TArray1D{5, 5, 5}, TArray1D{1, 2, 3}));
    EXPECT_EQ(0.0, Correlation(TArray1D{1, 2, 3}, TArray1D{0, 0, 0}));
    EXPECT_EQ(0.0, Correlation(TArray1D{}, TArray1D{}));
    EXPECT_DOUBLE_EQ(1.0, CorrelationDistance(TArray1D{5, 5, 5}, TArray1D{1, 2, 3}));
    // By hand: Sxy = 1, Sxx = 42/9, Syy = 2, so r = 3/sqrt(84).
    EXPECT_NEAR(3 / std::sqrt(84.0), Correlation(TArray1D{1, 2, 4}, TArray1D{1, 3, 2}), 1e-15);
}

TEST(VectorRoutinesTest, RandomDrawsFollowTheirFormulas)
{
    SeedRandom(7);
    for (int n : {1, 3, 10}) {
        const TArray1D v = RandomUnitVector(n);
        ASSERT_EQ(static_cast<std::size_t>(n), v.size());
        EXPECT_NEAR(1.0, SqNorm(v), 1e-12);
    }
    EXPECT_TRUE(RandomUnitVector(0).empty());

    const TArray1D lo = {0, -1, 5}, hi = {1, 1, 5};
    for (int k = 0; k < 200; ++k) {
        const TArray1D p = RandomPointInBox(lo, hi);
        for (std::size_t i = 0; i < lo.size(); ++i) {
            EXPECT_GE(p[i], lo[i]);
            // r is at most 999, so the top of the box is never reached unless it is flat.
            EXPECT_TRUE(p[i] < hi[i] || lo[i] == hi[i]);
            // Each entry is lo + (hi-lo)*r/1000 for an integer r.
            const double r = (p[i] - lo[i]) * 1000.0 / (hi[i] - lo[i] == 0 ? 1 : hi[i] - lo[i]);
            EXPECT_NEAR(std::round(r), r, 1e-9);
        }
    }
}

TEST(VectorRoutinesTest, RandomGeneratorIsUniformAndRepeatable)
{
    SeedRandom(42);
    std::vector<int> first;
    std::vector<int> counts(10, 0);
    for (int k = 0; k < 20000; ++k) {
        const int r = RandInt(1000);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 1000);
        if (k < 50)
            first.push_back(r);
        ++counts[static_cast<std::size_t>(r / 100)];
    }
    for (int c : counts) // 2000 expected per tenth; 5 standard deviations is about 210
        EXPECT_NEAR(2000, c, 250);
    SeedRandom(42);
    for (int r : first)
        EXPECT_EQ(r, RandInt(1000));
}

} // namespace
} // namespace orbelin::numeric

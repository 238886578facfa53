// The perceptron fit of a linear rule: the start plane, the corrections, the counts and
// the cases the rule has to survive (gaps, an empty class, no iterations).
#include "analysis/LinearRule.h"

#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

double Length(const TArray1D& w)
{
    double s = 0;
    for (double v : w)
        s += v * v;
    return std::sqrt(s);
}

TEST(LinearRuleTest, SeparatedClassesKeepTheStartPlaneThroughTheMidpoint)
{
    // Means 3 and -1: w = (-(9 - 1) / 2, 4) = (-4, 4), nothing wrongly placed, so the
    // unit start plane is the answer: x = 1.
    const TArray2D x = {{2}, {4}, {-1}, {-2}, {0}};
    const TArray1I labels = {1, 1, 0, 0, 0};
    const TLinearRuleFit fit = FitLinearRule(x, labels, 100);
    EXPECT_NEAR(-std::sqrt(0.5), fit.Coefficients[0], 1e-15);
    EXPECT_NEAR(std::sqrt(0.5), fit.Coefficients[1], 1e-15);
    EXPECT_EQ(2, fit.TP);
    EXPECT_EQ(3, fit.TN);
    EXPECT_EQ(0, fit.FP + fit.FN);
    // Margin: |score| summed over the correct points, scores (x - 1) / sqrt(2).
    EXPECT_NEAR((1 + 3 + 2 + 3 + 1) / std::sqrt(2.0), fit.Margin, 1e-12);

    // Zero iterations give the same start plane instead of nothing.
    const TLinearRuleFit none = FitLinearRule(x, labels, 0);
    EXPECT_NEAR(fit.Coefficients[1], none.Coefficients[1], 1e-15);
}

TEST(LinearRuleTest, CorrectionsMoveAPlaneThatMisplacesPoints)
{
    // The class means place the plane badly for an outlying negative point; the
    // corrections must end with every point on its side. The classes are separable by
    // x + y > 4.
    const TArray2D x = {{3, 3}, {4, 2}, {2, 4}, {5, 5}, {0, 0}, {1, 1}, {3.5, 0}, {0, 3.5}, {-20, -20}};
    const TArray1I labels = {1, 1, 1, 1, 0, 0, 0, 0, 0};
    const TLinearRuleFit fit = FitLinearRule(x, labels, 200);
    EXPECT_NEAR(1, Length(fit.Coefficients), 1e-12);
    EXPECT_EQ(4, fit.TP);
    EXPECT_EQ(5, fit.TN);
    for (std::size_t p = 0; p < x.size(); ++p)
        EXPECT_EQ(labels[p] == 1, LinearScore(fit.Coefficients, x[p]) > 0) << p;
}

TEST(LinearRuleTest, AScoreOfZeroCountsInNoCell)
{
    const TRuleCounts c = CountRule({0, 1}, {{0}, {0}, {1}, {-1}}, {1, 0, 1, 1});
    EXPECT_EQ(1, c.TP);
    EXPECT_EQ(1, c.FN);
    EXPECT_EQ(0, c.FP + c.TN);
    EXPECT_EQ(1, c.Margin);
}

TEST(LinearRuleTest, GapsAndAnEmptyClassDoNotSpoilTheCoefficients)
{
    const double m = Missing();
    const TArray2D x = {{2, m}, {3, 1}, {-2, 0}, {m, 0}};
    const TLinearRuleFit fit = FitLinearRule(x, {1, 1, 0, 0}, 50);
    for (double w : fit.Coefficients)
        EXPECT_TRUE(std::isfinite(w) && !IsMissing(w));
    EXPECT_EQ(2, fit.TP);

    // No point of the class: its term drops out, the result is still a unit vector.
    const TLinearRuleFit empty = FitLinearRule({{1}, {2}}, {0, 0}, 10);
    EXPECT_NEAR(1, Length(empty.Coefficients), 1e-12);
    EXPECT_EQ(0, empty.TP + empty.FN);
}

TEST(LinearRuleTest, FunctionValuesAndItems)
{
    const double m = Missing();
    EXPECT_EQ(1 + 2 * 3.0, FunctionValue({1, 2, 0}, TArray1D{3, m}));
    EXPECT_TRUE(IsMissing(FunctionValue({1, 2, 5}, TArray1D{3, m})));
    EXPECT_EQ((TArray1S{"a (2.000000)", "b", "A0 (-1.500000)"}),
              FunctionItems({"a", "b"}, {-1.5, 2, 0}, {true, false}));
    EXPECT_EQ("-", PercentText(1, 0, 4, 2));
    EXPECT_EQ("25.00", PercentText(1, 4, 4, 2));
}

} // namespace
} // namespace orbelin::analysis

// The "LR" page: the fit against exact and independently solved references, the
// arguments' rules, the quality report and its marks.
#include "analysis/Regression.h"

#include "AnalysisFixtures.h"
#include "TestUtil.h"
#include "data/NumberText.h"
#include "numeric/Missing.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <random>

namespace orbelin::analysis {
namespace {

TEST(RegressionTest, AnalyzeFitsAnExactPlaneAndUnchecksTheTargetsNamesake)
{
    // y = 2 a + 3 b + 1; y is a coordinate as well, so it cannot be its own argument.
    auto f = test::MakeAnalysisFixture(
        {"a", "b", "y"}, {{"0", "0", "1"}, {"1", "0", "3"}, {"0", "1", "4"}, {"2", "1", "8"}, {"1", "3", "12"}});
    TLrSettings s;
    s.TargetField = 2;
    const TLrResult r = AnalyzeLr(f->Data, s);
    ASSERT_EQ("", r.Message);
    EXPECT_EQ((std::vector<bool>{true, true, false}), r.UseFields);
    ASSERT_EQ(4u, r.Coefficients.size());
    EXPECT_NEAR(1, r.Coefficients[0], 1e-4);
    EXPECT_NEAR(2, r.Coefficients[1], 1e-4);
    EXPECT_NEAR(3, r.Coefficients[2], 1e-4);
    EXPECT_EQ(0, r.Coefficients[3]);
    EXPECT_EQ(r.Coefficients, f->Data.RegressionFunction);
    EXPECT_EQ(5, r.FittedPoints);
    // Sample deviation of 1, 3, 4, 8, 12 (mean 5.6, squares 77.2) over 4, divided by 5.
    EXPECT_DOUBLE_EQ(std::sqrt(77.2 / 4) / 5, r.Threshold);
    EXPECT_EQ("y", r.Items[2]);
    EXPECT_EQ("A0 (" + data::FixedText(r.Coefficients[0], 8, 6) + ")", r.Items[3]);
}

TEST(RegressionTest, AnalyzeAgreesWithAnIndependentLeastSquaresSolution)
{
    // Noisy targets: the normal equations' solution must equal a QR least-squares fit.
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, 0.3);
    std::uniform_real_distribution<double> u(-2, 2);
    TArray2S rows;
    Eigen::MatrixXd a(40, 3);
    Eigen::VectorXd y(40);
    for (int p = 0; p < 40; ++p) {
        const double x1 = u(random), x2 = u(random);
        y(p) = 0.5 * x1 - 1.5 * x2 + 4 + noise(random);
        a(p, 0) = x1;
        a(p, 1) = x2;
        a(p, 2) = 1;
        rows.push_back({data::GeneralText(x1), data::GeneralText(x2), data::GeneralText(y(p))});
        a(p, 0) = std::stod(rows.back()[0]);
        a(p, 1) = std::stod(rows.back()[1]);
        y(p) = std::stod(rows.back()[2]);
    }
    auto f = test::MakeAnalysisFixture({"x1", "x2", "t"}, rows);
    const Eigen::VectorXd expected = a.colPivHouseholderQr().solve(y);
    TLrSettings s;
    s.TargetField = 2;
    const TLrResult r = AnalyzeLr(f->Data, s);
    ASSERT_EQ("", r.Message);
    EXPECT_NEAR(expected(2), r.Coefficients[0], 1e-4);
    EXPECT_NEAR(expected(0), r.Coefficients[1], 1e-4);
    EXPECT_NEAR(expected(1), r.Coefficients[2], 1e-4);
}

TEST(RegressionTest, AnalyzeRefusesDependentArgumentsAndSkipsGaps)
{
    // b is a copy of a: the plane is not determined.
    auto f = test::MakeAnalysisFixture({"a", "b", "y"}, {{"1", "1", "2"}, {"2", "2", "4"}, {"3", "3", "7"}});
    TLrSettings s;
    s.TargetField = 2;
    const TLrResult dependent = AnalyzeLr(f->Data, s);
    EXPECT_NE(std::string::npos, dependent.Message.find("linearly dependent"));
    EXPECT_TRUE(f->Data.RegressionFunction.empty());
    s.UseFields = {true, false, false};
    ASSERT_EQ("", AnalyzeLr(f->Data, s).Message);

    // A point without target or with a gap in an argument stays out of the fit.
    auto gaps = test::MakeAnalysisFixture({"a", "y"}, {{"0", "1"}, {"1", "3"}, {"", "50"}, {"2", ""}, {"3", "7"}});
    const TLrResult r = AnalyzeLr(gaps->Data, {1, {}});
    ASSERT_EQ("", r.Message);
    EXPECT_EQ(3, r.FittedPoints);
    EXPECT_NEAR(2, r.Coefficients[1], 1e-4);
    EXPECT_TRUE(IsMissing(r.Targets[3]));
    EXPECT_NE("", AnalyzeLr(gaps->Data, {-1, {}}).Message);
    EXPECT_NE("", AnalyzeLr(gaps->Data, {1, {false, false}}).Message);

    gaps->Table.Values[0][1] = "1.2.3";
    ORBELIN_EXPECT_ERROR(AnalyzeLr(gaps->Data, {1, {}}), "'1.2.3' is not a valid floating point value");
}

TEST(RegressionTest, QualityReportCountsAndMarksTheLargeErrors)
{
    auto f = test::MakeAnalysisFixture({"a"}, {{"0"}, {"1"}, {"2"}, {"3"}});
    // f(a) = a against targets 0, 1, 4, 3: one error of 2, amplitude 4.
    const TArray1D targets = {0, 1, 4, 3};
    const TLrQuality q = LrQuality(f->Data, {0, 1}, targets, 0.5);
    EXPECT_EQ((TArray1D{0, 1, 2, 3}), q.Values);
    EXPECT_EQ(4, q.Amplitude);
    EXPECT_EQ(1, q.Errors);
    EXPECT_EQ("12.50 % from ampl.", q.AmplitudeText);
    EXPECT_EQ("number of errors = 1 (25.0000 %)", q.ErrorsText);
    MarkLrQuality(f->Data, q, targets, 0.5);
    // round(50 * 2 / 4) = 25 more than the record's radius.
    EXPECT_EQ((TArray1I{4, 4, 29, 4}), f->Data.MarkSizes);
    EXPECT_EQ(DefaultPointStyle[FILLCOLOR], f->Data.MarkColors[2]);

    // Equal targets: no amplitude, no division.
    const TLrQuality flat = LrQuality(f->Data, {1, 0}, {1, 1, 1, 1}, 0);
    EXPECT_EQ("", flat.AmplitudeText);
    EXPECT_EQ(0, flat.Errors);

    LrInTable(f->Data, {0.5, 1});
    EXPECT_EQ((TArray1S{"ЛР"}), f->Data.ResultColumnNames);
    EXPECT_EQ("3.500000", f->Data.ResultColumns[0][3]);
}

} // namespace
} // namespace orbelin::analysis

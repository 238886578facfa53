// The "LDA" page: fit on chosen fields, the dataset's separating function, the result
// lines, "Test" and the marking.
#include "analysis/Discriminant.h"

#include "AnalysisFixtures.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// a separates red (a > 1) from blue; b is noise; c is left out of the function.
std::unique_ptr<test::TAnalysisFixture> Classes()
{
    return test::MakeAnalysisFixture(
        {"a", "b", "c"}, {{"2", "1", "9"}, {"4", "-1", "9"}, {"-1", "0", "9"}, {"-2", "1", "9"}, {"0", "-1", "9"}},
        {Red, Red, Blue, Blue, Blue});
}

TEST(DiscriminantTest, AnalyzeWritesTheSeparatingFunctionOfTheUsedFields)
{
    auto f = Classes();
    TLdaSettings s;
    s.ClassColor = Red;
    s.UseFields = {true, true, false};
    const TLdaResult r = AnalyzeLda(f->Data, s);
    ASSERT_EQ("", r.Message);
    ASSERT_EQ(4u, r.Coefficients.size());
    EXPECT_EQ(0, r.Coefficients[3]);
    EXPECT_EQ(r.Coefficients, f->Data.SeparatingFunction);
    // Means (3, 0) and (-1, 0): the start plane a = 1 separates; scaled to unit length.
    EXPECT_NEAR(-std::sqrt(0.5), r.Coefficients[0], 1e-12);
    EXPECT_NEAR(std::sqrt(0.5), r.Coefficients[1], 1e-12);
    EXPECT_NEAR(0, r.Coefficients[2], 1e-12);
    EXPECT_EQ("Overall 0.000% T=5,F=0 Sn=100.00 Sp=100.00", r.Lines[0]);
    EXPECT_EQ("Error 1 type 0.000% TP=2,FN=0)", r.Lines[1]);
    EXPECT_EQ("Error 2 type 0.000% TN=3,FP=0)", r.Lines[2]);
    ASSERT_EQ(4u, r.Items.size());
    EXPECT_EQ("c", r.Items[2]);
    EXPECT_EQ("A0 (-0.707107)", r.Items[3]);
    EXPECT_EQ("a (0.707107)", r.Items[0]);
    // Every point on its side: class colour or black, own size.
    EXPECT_EQ((TArray1I{Red, Red, 0, 0, 0}), f->Data.MarkColors);
    EXPECT_EQ((TArray1I{4, 4, 4, 4, 4}), f->Data.MarkSizes);
}

TEST(DiscriminantTest, AnalyzeRefusesWhatCannotBeSeparated)
{
    auto f = Classes();
    TLdaSettings s;
    EXPECT_NE("", AnalyzeLda(f->Data, s).Message);
    s.ClassColor = 0x00FF00;
    EXPECT_NE("", AnalyzeLda(f->Data, s).Message);
    for (PointStyle& style : f->Table.PointStyles)
        style[FILLCOLOR] = Red;
    s.ClassColor = Red;
    EXPECT_NE("", AnalyzeLda(f->Data, s).Message);
    EXPECT_TRUE(f->Data.SeparatingFunction.empty());
    EXPECT_TRUE(f->Data.MarkedPoints.empty());
}

TEST(DiscriminantTest, TestCountsAnswersAndMarksTheWrongSide)
{
    auto f = Classes();
    // s = a: point 2 (a = -1) is right, point 4 (a = 0) scores exactly 0, a negative
    // answer; points 0, 1 positive. With the class blue the answers are all wrong but 4.
    const TArray1D c = {0, 1, 0, 0};
    const TLdaTest t = TestLda(f->Data, c, Blue);
    EXPECT_EQ(0, t.Counts.TP);
    EXPECT_EQ(2, t.Counts.FP);
    EXPECT_EQ(3, t.Counts.FN);
    EXPECT_EQ(0, t.Counts.TN);
    EXPECT_EQ("Overall error 100.000% (Rgt.:0,Wr.5)", t.Lines[0]);
    EXPECT_EQ("Error 1 type 100.000% (Rgt.:0,Wr.2)", t.Lines[1]);
    EXPECT_EQ("Error 2 type 100.000% (Rgt.:0,Wr.3)", t.Lines[2]);
    // Positive scores in the class colour, the rest black; wrong ones grow by 10 |s|.
    EXPECT_EQ((TArray1I{Blue, Blue, 0, 0, 0}), f->Data.MarkColors);
    EXPECT_EQ((TArray1I{4 + 20, 4 + 40, 4 + 10, 4 + 20, 4}), f->Data.MarkSizes);

    // With the class red: all right.
    const TLdaTest right = TestLda(f->Data, c, Red);
    EXPECT_EQ(2, right.Counts.TP);
    EXPECT_EQ(3, right.Counts.TN);
    EXPECT_EQ("Error 1 type 0.000% (Rgt.:2,Wr.0)", right.Lines[1]);
    // No positive answer: the share among positive answers is undefined.
    const TLdaTest none = TestLda(f->Data, {-100, 0, 0, 0}, Red);
    EXPECT_EQ("Error 1 type -% (Rgt.:0,Wr.0)", none.Lines[1]);
}

TEST(DiscriminantTest, PointsWithoutAScoreAreNeitherCountedNorRecoloured)
{
    auto f = Classes();
    f->Data.Points[1][0] = Missing();
    const TLdaTest t = TestLda(f->Data, {0, 1, 0, 0}, Red);
    EXPECT_EQ(1, t.Counts.TP);
    EXPECT_EQ(4, t.Counts.TP + t.Counts.TN + t.Counts.FP + t.Counts.FN);
    EXPECT_EQ(Red, f->Data.MarkColors[1]); // its own fill colour
    LdaInTable(f->Data, {0, 1, 0, 0});
    EXPECT_EQ((TArray1S{"LDA"}), f->Data.ResultColumnNames);
    EXPECT_EQ((TArray1S{"2.000000", "", "-1.000000", "-2.000000", "0.000000"}), f->Data.ResultColumns[0]);
}

} // namespace
} // namespace orbelin::analysis

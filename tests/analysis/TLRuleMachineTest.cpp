// The linear separation machine: rules that separate a separable class, the cascade and
// its discrete outputs, "Find the best", "Test", "Test on the table", the rule texts and
// the chart.
#include "analysis/TLRuleMachine.h"

#include "AnalysisFixtures.h"
#include "analysis/LinearRule.h"
#include "data/NumberText.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// Red where x + y > 1.2, blue where x + y < 0.8, on a 6 x 6 grid of the unit square:
// separable by a line, but by neither field alone.
std::unique_ptr<test::TAnalysisFixture> Separable()
{
    TArray2S rows;
    TArray1I colours;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            const double x = i / 5.0, y = j / 5.0;
            if (std::fabs(x + y - 1) < 0.2)
                continue;
            rows.push_back({std::to_string(x), std::to_string(y), std::to_string(x - y)});
            colours.push_back(x + y > 1 ? Red : Blue);
        }
    return test::MakeAnalysisFixture({"x", "y", "d"}, rows, colours);
}

TMachineSettings RedSettings(bool discrete = false)
{
    TMachineSettings s;
    s.TargetColor = Red;
    s.Discrete = discrete;
    return s;
}

TEST(TLRuleMachineTest, RuleOnBothFieldsSeparatesASeparableClass)
{
    auto f = Separable();
    TLRuleMachine m;
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(), {0, 1}));
    ASSERT_EQ(1u, m.Rules.size());
    const TLRule& r = m.Rules[0];
    EXPECT_EQ(-1, r.Previous);
    ASSERT_EQ(3u, r.Coefficients.size());
    int reds = 0;
    for (std::size_t p = 0; p < f->Data.Points.size(); ++p) {
        const bool red = m.Labels[p] == 1;
        reds += red ? 1 : 0;
        EXPECT_EQ(red, m.RuleOutput(0, f->Data.Points[p]) > 0) << "point " << p;
    }
    EXPECT_EQ(reds, r.TP);
    EXPECT_EQ(static_cast<int>(f->Data.Points.size()) - reds, r.TN);
    EXPECT_EQ(0, r.FP + r.FN);
    EXPECT_EQ(1.0, r.Sn);
    EXPECT_EQ(1.0, r.Sp);
    EXPECT_GT(r.Margin, 0);
    EXPECT_NEAR(1, std::sqrt(r.Coefficients[0] * r.Coefficients[0] + r.Coefficients[1] * r.Coefficients[1] +
                             r.Coefficients[2] * r.Coefficients[2]),
                1e-12);
    EXPECT_EQ((TArray1I{2}), m.FreeFields(3));

    m.Test(f->Data, RedSettings());
    const std::string n = std::to_string(f->Data.Points.size() - static_cast<std::size_t>(reds));
    EXPECT_EQ((TArray1S{"", "Testing...", m.RuleText(0, f->Data.CoordNames),
                        "TP=" + std::to_string(reds) + " TN=" + n + " (100.00%)", "FP=0 FN=0 (100.00%)",
                        "Overall=100.00%"}),
              m.Protocol);
}

TEST(TLRuleMachineTest, CascadeFeedsThePreviousOutputAndDiscreteRulesPassOnlyPlusOrMinusOne)
{
    auto f = Separable();
    TLRuleMachine m;
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(true), {0}));
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(false), {1}));
    ASSERT_EQ(2u, m.Rules.size());
    EXPECT_TRUE(m.Rules[0].Discrete);
    EXPECT_FALSE(m.Rules[1].Discrete);
    EXPECT_EQ(0, m.Rules[1].Previous);
    const TArray1D& w = m.Rules[1].Coefficients;
    ASSERT_EQ(3u, w.size()) << "constant, y and the previous rule's output";
    for (const TArray1D& x : f->Data.Points) {
        const double previous = m.RuleOutput(0, x);
        EXPECT_TRUE(previous == 1 || previous == -1) << previous;
        EXPECT_NEAR(w[0] + w[1] * x[1] + w[2] * previous, m.RuleOutput(1, x), 1e-12);
    }
    EXPECT_NE(std::string::npos, m.RuleText(1, f->Data.CoordNames).find('*'));

    m.CancelLast();
    EXPECT_EQ(1u, m.Rules.size());
    m.Test(f->Data, RedSettings());
    EXPECT_FALSE(m.Protocol.empty());
    m.CancelAll();
    EXPECT_TRUE(m.Rules.empty());
    EXPECT_TRUE(m.Protocol.empty());
}

// Two points sit on the start plane: the fit counts them in no cell, "Test" as negative
// answers, and with nothing placed wrongly the start plane is the result.
TEST(TLRuleMachineTest, ScoreOfZeroIsCountedInNoCellWhenFittingButNegativeInTest)
{
    auto f = test::MakeAnalysisFixture({"x"}, {{"-1"}, {"1"}, {"0"}, {"0"}}, {Blue, Red, Red, Blue});
    TLRuleMachine m;
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(), {0}));
    const TLRule& r = m.Rules[0];
    // Means 0.5 and -0.5: w = (0, 1), already of unit length.
    EXPECT_NEAR(0, r.Coefficients[0], 1e-15);
    EXPECT_NEAR(1, r.Coefficients[1], 1e-15);
    EXPECT_EQ(1, r.TP);
    EXPECT_EQ(1, r.TN);
    EXPECT_EQ(0, r.FP);
    EXPECT_EQ(0, r.FN);

    m.Test(f->Data, RedSettings());
    EXPECT_EQ(1, m.Rules[0].TP);
    EXPECT_EQ(2, m.Rules[0].TN);
    EXPECT_EQ(0, m.Rules[0].FP);
    EXPECT_EQ(1, m.Rules[0].FN);
    EXPECT_EQ("TP=1 TN=2 (50.00%)", m.Protocol[3]);
    EXPECT_EQ("FP=0 FN=1 (100.00%)", m.Protocol[4]);
    EXPECT_EQ("Overall=75.00%", m.Protocol[5]);
}

TEST(TLRuleMachineTest, FindTheBestKeepsTheFieldOfLeastErrorAndWritesItsProtocol)
{
    // a separates red from blue; b and c have equal class means, so their rules answer
    // nothing and count as wrong on both sides.
    auto f = test::MakeAnalysisFixture({"a", "b", "c"},
                                       {{"2", "1", "5"}, {"3", "-1", "5"}, {"-1", "1", "5"}, {"-2", "-1", "5"}},
                                       {Red, Red, Blue, Blue});
    TLRuleMachine m;
    ASSERT_EQ("", m.FindTheBest(f->Data, RedSettings(), {1, 0, 2}, true));
    ASSERT_EQ(1u, m.Rules.size());
    EXPECT_EQ((TArray1I{0}), m.Rules[0].Fields);
    ASSERT_EQ(3u, m.Protocol.size());
    EXPECT_EQ("Starting find the best...", m.Protocol[0]);
    EXPECT_EQ("Er=2.00 b", m.Protocol[1]);
    EXPECT_EQ("Er=0.00 a", m.Protocol[2]);
    EXPECT_EQ((TArray1I{1, 2}), m.FreeFields(3));

    // Without "Make protocol" the same rule comes, silently; an empty list does nothing.
    TLRuleMachine quiet;
    ASSERT_EQ("", quiet.FindTheBest(f->Data, RedSettings(), {1, 0, 2}, false));
    EXPECT_TRUE(quiet.Protocol.empty());
    EXPECT_EQ(m.Rules[0].Coefficients, quiet.Rules[0].Coefficients);
    EXPECT_EQ("", quiet.FindTheBest(f->Data, RedSettings(), {}, true));
    EXPECT_EQ(1u, quiet.Rules.size());

    // One field in the list still writes its line and adds its rule.
    TLRuleMachine single;
    ASSERT_EQ("", single.FindTheBest(f->Data, RedSettings(), {2}, true));
    EXPECT_EQ((TArray1S{"Starting find the best...", "Er=2.00 c"}), single.Protocol);
    EXPECT_EQ((TArray1I{2}), single.Rules[0].Fields);
}

TEST(TLRuleMachineTest, FindTheBestDecidesEqualErrorsByTheLargerMargin)
{
    // a and b separate alike; b is a stretched copy of a, so its unit-length rule has
    // another margin; e is an exact copy of a and never takes the lead from it.
    auto f = test::MakeAnalysisFixture(
        {"a", "b", "e"}, {{"1", "3", "1"}, {"2", "6", "2"}, {"-1", "-3", "-1"}, {"-3", "-9", "-3"}},
        {Red, Red, Blue, Blue});
    const auto margin = [&](int field) {
        TArray2D x;
        for (const TArray1D& p : f->Data.Points)
            x.push_back({p[static_cast<std::size_t>(field)]});
        return FitLinearRule(x, {1, 1, 0, 0}, 100).Margin;
    };
    ASSERT_NE(margin(0), margin(1));

    TLRuleMachine m;
    ASSERT_EQ("", m.FindTheBest(f->Data, RedSettings(), {0, 2, 1}, true));
    const bool stretchedWins = margin(1) > margin(0);
    EXPECT_EQ((TArray1I{stretchedWins ? 1 : 0}), m.Rules[0].Fields);
    ASSERT_EQ(stretchedWins ? 3u : 2u, m.Protocol.size());
    EXPECT_EQ("Er=0.00 a", m.Protocol[1]);
    if (stretchedWins) {
        EXPECT_EQ("Er=0.00 b(" + data::FixedText(margin(1), 2, 2) + ") better than a(" +
                      data::FixedText(margin(0), 2, 2) + ")",
                  m.Protocol[2]);
    }
}

TEST(TLRuleMachineTest, ClassWithoutPointsOrWithEveryPointIsRefused)
{
    auto f = Separable();
    struct TCase {
        const char* Name;
        int Colour;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no point has the colour", 0x00FF00, "No point of the dataset has the colour of the class"},
        {"no colour chosen", -1, "No point of the dataset has the colour of the class"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMachineSettings s;
        s.TargetColor = c.Colour;
        TLRuleMachine m;
        EXPECT_NE(std::string::npos, m.AddRule(f->Data, s, {0}).find(c.Fragment));
        EXPECT_NE(std::string::npos, m.FindTheBest(f->Data, s, {0, 1}, true).find(c.Fragment));
        EXPECT_TRUE(m.Rules.empty());
        EXPECT_TRUE(m.Protocol.empty());
    }
    auto all = test::MakeAnalysisFixture({"x"}, {{"1"}, {"2"}}, {Red, Red});
    TLRuleMachine m;
    EXPECT_NE(std::string::npos, m.AddRule(all->Data, RedSettings(), {0}).find("Every point"));
    EXPECT_NE(std::string::npos, m.AddRule(all->Data, RedSettings(), {}).find("Select the fields"));
    EXPECT_NE(std::string::npos, m.AddRule(all->Data, RedSettings(), {3}).find("not a coordinate"));
    EXPECT_TRUE(m.Rules.empty());
}

TEST(TLRuleMachineTest, ZeroIterationsKeepTheStartPlane)
{
    auto f = test::MakeAnalysisFixture({"x"}, {{"-1"}, {"3"}}, {Blue, Red});
    TMachineSettings s = RedSettings();
    s.Iterations = 0;
    TLRuleMachine m;
    ASSERT_EQ("", m.AddRule(f->Data, s, {0}));
    // Means 3 and -1: w = (-(9 - 1)/2, 4) = (-4, 4), scaled to unit length.
    EXPECT_NEAR(-std::sqrt(0.5), m.Rules[0].Coefficients[0], 1e-12);
    EXPECT_NEAR(std::sqrt(0.5), m.Rules[0].Coefficients[1], 1e-12);
    EXPECT_EQ(1, m.Rules[0].TP);
    EXPECT_EQ(1, m.Rules[0].TN);
}

TEST(TLRuleMachineTest, RuleTextJoinsShortestCoefficientsWithTheirSigns)
{
    struct TCase {
        const char* Name;
        TArray1I Fields;
        TArray1D Coefficients;
        int Previous;
        const char* Expected;
    };
    const TCase cases[] = {
        {"two fields", {0, 1}, {0.5, -1.25, 2}, -1, "0.5-1.25a+2b"},
        {"negative constant", {1}, {-1, 0.25}, -1, "-1+0.25b"},
        {"previous output", {0}, {1, 2, -3}, 0, "1+2a-3*"},
        {"missing coefficient", {0}, {1, Missing()}, -1, "1a"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLRuleMachine m;
        m.Rules.resize(2);
        m.Rules[1].Fields = c.Fields;
        m.Rules[1].Coefficients = c.Coefficients;
        m.Rules[1].Previous = c.Previous;
        EXPECT_EQ(c.Expected, m.RuleText(1, {"a", "b"}));
    }
}

TEST(TLRuleMachineTest, TestOnTheTableNormalisesTheSelectedRowsAndRefusesAnotherLayout)
{
    // x runs 0..10 and is ranged to (-1;1): the rule is fitted in normalised units, the
    // table's cells are raw.
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"0", "1"}, {"2", "1"}, {"8", "1"}, {"10", "1"}},
                                       {Blue, Blue, Red, Red}, {true, false});
    TLRuleMachine m;
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(), {0}));
    data::TDataTable other = test::MakeTable({{"X", TFieldType::Float}, {"y", TFieldType::Float}},
                                             {{"9", "1"}, {"1", "1"}, {"7", "1"}, {"oops", "1"}, {"6", "1"}}, "u");
    other.PointStyles[0][FILLCOLOR] = Red;
    other.PointStyles[1][FILLCOLOR] = Blue;
    other.PointStyles[2][FILLCOLOR] = Blue; // answered positive: a false positive
    other.PointStyles[3][FILLCOLOR] = Red;  // not a number: skipped
    other.PointStyles[4][SELECTED] = 0;     // not selected: skipped
    TMachineSample sample;
    ASSERT_EQ("", m.TestOnTable(f->Data, RedSettings(), other, sample));
    EXPECT_EQ((TArray1I{0, 1, 2}), sample.Records);
    ASSERT_EQ(3u, sample.Points.size());
    EXPECT_NEAR(0.8, sample.Points[0][0], 1e-12);
    EXPECT_EQ(1, m.Rules[0].TP);
    EXPECT_EQ(1, m.Rules[0].TN);
    EXPECT_EQ(1, m.Rules[0].FP);
    EXPECT_EQ(0, m.Rules[0].FN);
    EXPECT_EQ("", m.Protocol[0]);
    EXPECT_EQ("Testing on table u.OBT...", m.Protocol[1]);
    EXPECT_EQ("TP=1 TN=1 (100.00%)", m.Protocol[3]);
    EXPECT_EQ("FP=1 FN=0 (50.00%)", m.Protocol[4]);

    const data::TDataTable swapped =
        test::MakeTable({{"y", TFieldType::Float}, {"x", TFieldType::Float}}, {{"1", "9"}}, "v");
    const data::TDataTable shorter = test::MakeTable({{"x", TFieldType::Float}}, {{"9"}}, "w");
    for (const data::TDataTable* table : {&swapped, &shorter}) {
        SCOPED_TRACE(table->Name);
        const std::size_t lines = m.Protocol.size();
        const std::string message = m.TestOnTable(f->Data, RedSettings(), *table, sample);
        EXPECT_NE(std::string::npos, message.find("same fields in the same order")) << message;
        EXPECT_NE(std::string::npos, message.find(table->Name)) << message;
        EXPECT_EQ(lines, m.Protocol.size());
    }
}

TEST(TLRuleMachineTest, ChartShowsTheRuleCountsPointsAndSeparatingLine)
{
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"-1", "0.5"}, {"1", "-0.5"}, {"3", "0.25"}},
                                       {Blue, Red, Red});
    TLRuleMachine m;
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(), {0}));
    const TLRule& r = m.Rules[0];
    ASSERT_EQ(0, r.FP + r.FN);
    const TRuleChart one = m.Chart(0, DatasetSample(f->Data, Red), f->Data.Table, 1);
    EXPECT_EQ("TP=2 TN=1 100.00% FP=0 FN=0 100.00% Ov=100.00% Sn=100.00% Sp=100.00%", one.Title);
    ASSERT_EQ(3u, one.Points.size());
    EXPECT_EQ(3, one.Points[2].X);
    EXPECT_EQ(0, one.Points[2].Y) << "one field and no previous rule";
    EXPECT_FALSE(one.Points[0].InClass);
    EXPECT_TRUE(one.Points[1].InClass);
    EXPECT_EQ("-0.5", one.Points[1].Mark);
    // The vertical line x = -w0 / w1 from y = -1 in steps of 0.02.
    ASSERT_EQ(100u, one.Line.size());
    EXPECT_NEAR(-r.Coefficients[0] / r.Coefficients[1], one.Line[0][0], 1e-12);
    EXPECT_NEAR(-1, one.Line[0][1], 1e-12);
    EXPECT_NEAR(0.98, one.Line[99][1], 1e-12);

    // A rule after it: y is the previous output and the line solves w0 + w1 x + w2 y = 0.
    ASSERT_EQ("", m.AddRule(f->Data, RedSettings(), {1}));
    const TRuleChart two = m.Chart(1, DatasetSample(f->Data, Red), nullptr, -1);
    const TArray1D& w = m.Rules[1].Coefficients;
    ASSERT_EQ(3u, two.Points.size());
    EXPECT_EQ(0.5, two.Points[0].X);
    EXPECT_NEAR(m.RuleOutput(0, f->Data.Points[0]), two.Points[0].Y, 1e-15);
    ASSERT_EQ(100u, two.Line.size());
    EXPECT_NEAR(-0.5, two.Line[0][0], 1e-12);
    for (const TArray1D& p : two.Line)
        EXPECT_NEAR(0, w[0] + w[1] * p[0] + w[2] * p[1], 1e-9);
}

} // namespace
} // namespace orbelin::analysis

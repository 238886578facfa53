// Principal components: the alternating-least-squares step and its missing-value rule,
// convergence, deflation, the components dialog, projections and explained variance.
#include "numeric/Components.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/TUserInterface.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace orbelin::numeric {
namespace {

const double M = Missing();
const double R = std::sqrt(0.5);

// Points centre + a u1 + b u2 (+ e u3) on a full factorial grid of (a, b, e), so the
// scores along the orthonormal u's are exactly uncorrelated and their population
// variances are known: a in -3..3 (4), b in {-1, 0, 1} (2/3), e in {-0.5, 0.5} (1/4).
TArray2D Factorial(const TArray1D& centre, const TArray2D& u)
{
    const TArray1D as = {-3, -2, -1, 0, 1, 2, 3}, bs = {-1, 0, 1}, es = {-0.5, 0.5};
    const std::size_t d = centre.size();
    TArray2D x;
    for (double a : as)
        for (double b : bs)
            for (std::size_t k = 0; k < (u.size() > 2 ? es.size() : 1); ++k) {
                TArray1D p = centre;
                for (std::size_t j = 0; j < d; ++j) {
                    p[j] += a * u[0][j] + b * u[1][j];
                    if (u.size() > 2)
                        p[j] += es[k] * u[2][j];
                }
                x.push_back(p);
            }
    return x;
}

const TArray1D Centre4 = {1, 2, 3, 4};
const TArray2D Axes4 = {{0.5, 0.5, 0.5, 0.5}, {0.5, -0.5, 0.5, -0.5}};

void ExpectNear(const TArray1D& expected, const TArray1D& actual, double tol)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t j = 0; j < expected.size(); ++j)
        EXPECT_NEAR(expected[j], actual[j], tol) << "entry " << j;
}

bool SameBits(const TArray2D& a, const TArray2D& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size())
            return false;
        for (std::size_t j = 0; j < a[i].size(); ++j)
            if (std::bit_cast<std::uint64_t>(a[i][j]) != std::bit_cast<std::uint64_t>(b[i][j]))
                return false;
    }
    return true;
}

class TFakeDialog : public TUserInterface {
public:
    bool Accept = true;
    std::vector<int> Counts; // successive answers of ComponentsDialogCount; the last repeats
    std::size_t Reads = 0;
    int Begun = 0, Ended = 0, FieldCount = -1, Events = 0;
    std::vector<int> Progress;

    bool BeginComponentsDialog(int fieldCount) override
    {
        ++Begun;
        FieldCount = fieldCount;
        return Accept;
    }
    int ComponentsDialogCount(int) override { return Counts[std::min(Reads++, Counts.size() - 1)]; }
    void SetComponentsProgress(int percent) override { Progress.push_back(percent); }
    void EndComponentsDialog() override { ++Ended; }
    void ProcessEvents() override { ++Events; }
};

struct TInstalled {
    explicit TInstalled(TUserInterface* ui) { SetUserInterface(ui); }
    ~TInstalled() { SetUserInterface(nullptr); }
};

TEST(ComponentsTest, StepFitsEachCoordinateOverItsPresentValues)
{
    // Worked by hand from the step's formulas. The point with a missing second coordinate
    // counts in S_tt, S_t and S_1 but not in that coordinate's S_xt and S_x; the score
    // divides by |v|^2 over every coordinate.
    struct TCase {
        const char* Name;
        TArray1D V, C, W, ExpectedV, ExpectedC;
    };
    const TCase cases[] = {
        {"unweighted", {1, 0}, {0, 0}, {}, {1, 1}, {0, -1.0 / 3}},
        {"weighted", {1, 0}, {0, 0}, {1, 2, 1}, {1, 1}, {0, -1}},
        {"weights of another length", {1, 0}, {0, 0}, {1, 2}, {1, 1}, {0, -1.0 / 3}},
        {"oblique start", {1, 1}, {0, 0}, {}, {0.75, 1.25}, {0.875, -0.875}},
    };
    const TArray2D x = {{1, 2}, {3, M}, {5, 6}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TArray1D v = c.V, centre = c.C;
        ComponentStep(x, v, centre, c.W);
        ExpectNear(c.ExpectedV, v, 1e-15);
        ExpectNear(c.ExpectedC, centre, 1e-15);
    }
}

TEST(ComponentsTest, StepWithoutSpreadOfScoresChangesNothing)
{
    struct TCase {
        const char* Name;
        TArray2D X;
        TArray1D W, V;
    };
    const TCase cases[] = {
        {"one point", {{1, 2}}, {}, {0.6, 0.8}},
        {"identical points", {{1, 2}, {1, 2}, {1, 2}}, {}, {0.6, -0.8}},
        {"no weight", {{1, 2}, {3, 5}}, {0, 0}, {0.6, 0.8}},
        {"no points", {}, {}, {0.6, 0.8}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TArray1D v = c.V, centre = {0.5, 0.25};
        ComponentStep(c.X, v, centre, c.W);
        EXPECT_EQ(c.V, v);
        EXPECT_EQ((TArray1D{0.5, 0.25}), centre);
        // FirstComponent tries the start and every axis, then keeps the start direction.
        v = c.V;
        EXPECT_EQ(3, FirstComponent(c.X, v, centre, c.W));
        EXPECT_EQ((TArray1D{0.5, 0.25}), centre);
        const double length = std::sqrt(SqNorm(c.V));
        if (length > 0) {
            ExpectNear({c.V[0] / length, c.V[1] / length}, v, 1e-15);
        }
    }
}

TEST(ComponentsTest, FirstComponentOfPointsOnALineIsItsDirectionWhateverTheStart)
{
    // A start orthogonal to the line (every score equal) or zero must not stay there.
    const TArray2D x = {{1, 1}, {2, 2}, {3, 3}};
    const TArray2D starts = {{1, 0}, {0, 1}, {-1, -0.2}, {-0.3, 1}, {0.6, -0.6}, {-0.5, 0.5}, {0, 0}};
    for (const TArray1D& start : starts) {
        SCOPED_TRACE(testing::PrintToString(start));
        TArray1D v = start, c = {0, 0};
        FirstComponent(x, v, c, {});
        ExpectNear({R, R}, v, 1e-12);
        EXPECT_NEAR(c[0], c[1], 1e-12); // the fitted centre lies on the line
    }
}

TEST(ComponentsTest, FirstComponentKeepsIteratingWhenTheCentreIsTheOrigin)
{
    // Points in +/- pairs: every fitted centre is exactly 0, so a relative centre change
    // would be 0/0. The iteration must still run until the direction settles.
    TArray2D x;
    for (double a : {1.0, 2.0, 3.0})
        for (double b : {-0.5, 0.5}) {
            const TArray1D p = {(a + b) * R, (a - b) * R};
            x.push_back(p);
            x.push_back({-p[0], -p[1]});
        }
    TArray1D v = {std::cos(1.4), std::sin(1.4)}, c = {0, 0};
    const int steps = FirstComponent(x, v, c, {});
    EXPECT_GT(steps, 2);
    ExpectNear({R, R}, v, 1e-3);
    EXPECT_EQ(0.0, SqNorm(c));
}

TEST(ComponentsTest, PrincipalComponentsRecoverKnownAxesAndFillTheRestWithUnitVectors)
{
    const TArray2D x = Factorial(Centre4, Axes4);
    struct TCase {
        const char* Name;
        int K, Count, Fitted;
        TArray1D W;
    };
    const TCase cases[] = {
        {"two of four", 2, 2, 2, {}},
        {"more than D", 10, 4, 4, {}},
        {"none", 0, 0, 0, {}},
        {"below -1", -5, 0, 0, {}},
        {"uniform weights", 2, 2, 2, TArray1D(x.size(), 3.0)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SeedRandom(7);
        const TPrincipalComponents pc = PrincipalComponents(x, c.W, c.K);
        EXPECT_EQ(c.Count, pc.Count);
        ASSERT_EQ(4u, pc.Components.size());
        ExpectNear(Centre4, pc.Centre, 1e-12);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            if (i < 2 && i < c.Fitted) {
                ExpectNear(Axes4[i], pc.Components[i], 1e-3);
            } else if (i >= c.Fitted) {
                TArray1D unit(4, 0.0);
                unit[i] = 1.0;
                EXPECT_EQ(unit, pc.Components[i]);
            } else {
                EXPECT_NEAR(1.0, SqNorm(pc.Components[i]), 1e-12);
            }
        }
    }
}

TEST(ComponentsTest, WeightsCountLikeRepeatedPointsAndOtherLengthsAreIgnored)
{
    // An oblique cloud: a weight of 3 on the first half must act as three copies of it.
    SeedRandom(11);
    TArray2D x, repeated;
    TArray1D w;
    for (int p = 0; p < 40; ++p) {
        const double a = RandInt(1000) / 100.0, b = RandInt(1000) / 400.0;
        const TArray1D point = {a + b, a - 2 * b, 0.5 * a + b + 1};
        x.push_back(point);
        const int copies = p < 20 ? 3 : 1;
        w.push_back(copies);
        for (int k = 0; k < copies; ++k)
            repeated.push_back(point);
    }
    SeedRandom(5);
    const TPrincipalComponents weighted = PrincipalComponents(x, w, 2);
    SeedRandom(5);
    const TPrincipalComponents copies = PrincipalComponents(repeated, {}, 2);
    ExpectNear(copies.Centre, weighted.Centre, 1e-12);
    for (int i = 0; i < 2; ++i)
        ExpectNear(copies.Components[i], weighted.Components[i], 1e-3);

    TArray1D shortWeights(w.begin(), w.end() - 1);
    SeedRandom(5);
    const TPrincipalComponents ignored = PrincipalComponents(x, shortWeights, 2);
    SeedRandom(5);
    const TPrincipalComponents plain = PrincipalComponents(x, {}, 2);
    EXPECT_TRUE(SameBits(plain.Components, ignored.Components));
    EXPECT_TRUE(SameBits({plain.Centre}, {ignored.Centre}));
}

TEST(ComponentsTest, MissingValuesAreToleratedAndMakeTheCentreCoordinateMissing)
{
    TArray2D x = Factorial(Centre4, Axes4);
    x[3][1] = M;
    x[10][2] = M;
    x[17][1] = M;
    SeedRandom(3);
    const TPrincipalComponents pc = PrincipalComponents(x, {}, 2);
    EXPECT_EQ(2, pc.Count);
    EXPECT_FALSE(IsMissing(pc.Centre[0]));
    EXPECT_TRUE(IsMissing(pc.Centre[1]));
    EXPECT_TRUE(IsMissing(pc.Centre[2]));
    EXPECT_EQ(4.0, pc.Centre[3]);
    // Three gaps among 84 values move the axes only a little (a score divides by |v|^2
    // over every coordinate, so a point with a gap is pulled towards the centre).
    for (int i = 0; i < 2; ++i)
        for (double e : pc.Components[i])
            ASSERT_FALSE(std::isnan(e));
    ExpectNear(Axes4[0], pc.Components[0], 0.1);
    ExpectNear(Axes4[1], pc.Components[1], 0.1);
}

TEST(ComponentsTest, TheDialogChoosesTheCountAndShowsProgress)
{
    const TArray2D x = Factorial(Centre4, Axes4);
    struct TCase {
        const char* Name;
        bool Accept;
        std::vector<int> Counts;
        int Count;
        std::vector<int> Progress;
        int Events, Ended;
    };
    const TCase cases[] = {
        // round(100 i / N) before component i; 150 is shown as 100.
        {"two chosen", true, {2}, 2, {0, 50, 100, 100}, 4, 1},
        {"three chosen", true, {3}, 3, {0, 33, 67, 100}, 4, 1},
        {"none chosen", true, {0}, 0, {100, 100, 100, 100}, 4, 1},
        {"more than D", true, {9}, 4, {0, 25, 50, 75}, 4, 1},
        // The count is read again before every component.
        {"lowered while running", true, {3, 3, 1}, 1, {0, 100, 100, 100}, 4, 1},
        {"cancelled", false, {3}, -1, {}, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeDialog dialog;
        dialog.Accept = c.Accept;
        dialog.Counts = c.Counts;
        TInstalled installed(&dialog);
        SeedRandom(1);
        const TPrincipalComponents pc = PrincipalComponents(x, {}, -1);
        EXPECT_EQ(c.Count, pc.Count);
        EXPECT_EQ(1, dialog.Begun);
        EXPECT_EQ(4, dialog.FieldCount);
        EXPECT_EQ(c.Progress, dialog.Progress);
        EXPECT_EQ(c.Events, dialog.Events);
        EXPECT_EQ(c.Ended, dialog.Ended);
        if (!c.Accept) {
            EXPECT_EQ(TArray2D(4, TArray1D(4, 0.0)), pc.Components);
            EXPECT_EQ(TArray1D(4, 0.0), pc.Centre);
        } else if (c.Count >= 1) {
            ExpectNear(Axes4[0], pc.Components[0], 1e-3);
        }
    }
}

TEST(ComponentsTest, ComputationWithoutTheDialogStillLetsEventsThrough)
{
    TFakeDialog dialog;
    dialog.Counts = {1};
    TInstalled installed(&dialog);
    PrincipalComponents(Factorial(Centre4, Axes4), {}, 2);
    EXPECT_EQ(0, dialog.Begun);
    EXPECT_TRUE(dialog.Progress.empty());
    EXPECT_EQ(4, dialog.Events);
}

TEST(ComponentsTest, ProjectionsSolveTheGramSystemOverPresentCoordinates)
{
    // x - centre = (2, 3, 4, missing) = -1 C1 + 3 C2 + 4 C3 on the present coordinates.
    // Counting the missing coordinate, C3 would have |C3|^2 = 2 and t3 would halve.
    const TArray2D components = {{1, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 1}, {0, 0, 0, 1}};
    const TArray1D centre = {1, 1, 1, 1};
    struct TCase {
        const char* Name;
        TArray1D X;
        int K1, K2, K3;
        TArray1D Joint, Independent;
    };
    const TCase cases[] = {
        {"missing coordinate", {3, 4, 5, M}, 0, 1, 2, {-1, 3, 4}, {2, 2.5, 4}},
        {"complete", {3, 4, 5, 6}, 0, 1, 2, {-1, 3, 4.5}, {2, 2.5, 4.5}},
        // With two equal components G is singular: every coordinate is a plain projection.
        {"singular", {3, 4, 5, 6}, 0, 0, 2, {2, 2, 4.5}, {2, 2, 4.5}},
        // The only coordinate of component 3 is missing: nothing to divide by, 0.
        {"masked away", {3, 4, 5, M}, 0, 1, 3, {2, 2.5, 0}, {2, 2.5, 0}},
        {"no such component", {3, 4, 5, 6}, 0, 1, 9, {2, 2.5, 0}, {2, 2.5, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TArray2D x = {c.X, c.X};
        const TArray2D joint = ProjectOnComponents(x, centre, components, c.K1, c.K2, c.K3, false);
        const TArray2D independent = ProjectOnComponents(x, centre, components, c.K1, c.K2, c.K3, true);
        ASSERT_EQ(2u, joint.size());
        ExpectNear(c.Joint, joint[1], 1e-12);
        ExpectNear(c.Independent, independent[1], 1e-12);
        ExpectNear(c.Independent, ProjectPointOnComponents(c.X, centre, components, c.K1, c.K2, c.K3), 1e-12);
    }
}

TEST(ComponentsTest, ExplainedVarianceAccumulatesComponentByComponent)
{
    // Variances 4, 2/3 and 1/4 along three orthonormal axes: shares 0.8136, 0.1356, 0.0508.
    const TArray2D axes = {{R, R, 0}, {R, -R, 0}, {0, 0, 1}};
    const TArray2D x = Factorial({5, -1, 2}, axes);
    const double total = 4 + 2.0 / 3 + 0.25;
    struct TCase {
        const char* Name;
        int K;
        double Fraction;
    };
    const TCase explained[] = {
        {"one", 1, 4 / total}, {"two", 2, (4 + 2.0 / 3) / total}, {"three", 3, 1.0}, {"none", 0, 0.0}};
    for (const TCase& c : explained) {
        SCOPED_TRACE(c.Name);
        TArray2D rows = x;
        SeedRandom(2);
        EXPECT_NEAR(c.Fraction, ExplainedFraction(rows, c.K, {}), 1e-4);
        if (c.K == 3)
            for (const TArray1D& row : rows)
                ExpectNear({0, 0, 0}, row, 1e-3); // the rows now hold the residuals
    }
    struct TCountCase {
        const char* Name;
        double Fraction;
        int Count;
    };
    const TCountCase counts[] = {{"0.8", 0.8, 1}, {"0.9", 0.9, 2},          {"0.99", 0.99, 3},
                                 {"all", 1.0, 3}, {"beyond reach", 5.0, 3}, {"zero", 0, 0}};
    for (const TCountCase& c : counts) {
        SCOPED_TRACE(c.Name);
        TArray2D rows = x;
        SeedRandom(2);
        EXPECT_EQ(c.Count, ComponentsForFraction(rows, {}, c.Fraction));
    }
}

TEST(ComponentsTest, ExplainedVarianceOfRowsWithoutSpreadIsZero)
{
    for (TArray2D rows : {TArray2D{{1, 2}, {1, 2}}, TArray2D{}}) {
        const TArray2D before = rows;
        EXPECT_EQ(0, ComponentsForFraction(rows, {}, 0.8));
        EXPECT_EQ(0.0, ExplainedFraction(rows, 2, {}));
        EXPECT_EQ(before, rows);
    }
}

TEST(ComponentsTest, OneThreadAndTwoGiveTheSameBits)
{
    SeedRandom(17);
    TArray2D x(5000, TArray1D(6));
    for (TArray1D& row : x)
        for (std::size_t j = 0; j < row.size(); ++j)
            row[j] = RandInt(50) == 0 ? M : (RandInt(1000) - 500) / 100.0 * (j + 1);
    TArray1D w(x.size());
    for (double& e : w)
        e = 1 + RandInt(5);

    TArray2D results[2];
    for (int threads : {1, 2}) {
        omp_set_num_threads(threads);
        SeedRandom(4);
        const TPrincipalComponents pc = PrincipalComponents(x, w, 3);
        TArray2D all = pc.Components;
        all.push_back(pc.Centre);
        for (const TArray1D& row : ProjectOnComponents(x, pc.Centre, pc.Components, 0, 1, 2, false))
            all.push_back(row);
        TArray2D rows = x;
        SeedRandom(4);
        all.push_back({ExplainedFraction(rows, 2, w)});
        results[threads - 1] = all;
    }
    omp_set_num_threads(omp_get_num_procs());
    EXPECT_TRUE(SameBits(results[0], results[1]));
}

// The method as written: each component fitted to a working copy of the rows, which is
// then deflated by the scores of the input rows; the fast version keeps one flat block.
TEST(ComponentsTest, ComponentsEqualFittingToADeflatedCopy)
{
    SeedRandom(23);
    TArray2D x(400, TArray1D(5));
    for (TArray1D& row : x)
        for (std::size_t j = 0; j < row.size(); ++j)
            row[j] = RandInt(40) == 0 ? M : (RandInt(1000) - 500) / 100.0 * (5 - j) + (j == 2 ? row[0] : 0.0);
    x[7].resize(3); // a short row: its missing end is neither fitted nor deflated
    TArray1D w(x.size());
    for (double& e : w)
        e = 1 + RandInt(3);
    for (const bool weighted : {true, false}) {
        SCOPED_TRACE(weighted ? "weighted" : "unweighted");
        const TArray1D u = weighted ? w : TArray1D();
        SeedRandom(8);
        const TPrincipalComponents fast = PrincipalComponents(x, u, 4);
        SeedRandom(8);
        TArray2D work = x;
        TArray1D centre(5, 0.0);
        for (std::size_t i = 0; i < 4; ++i) {
            TArray1D v = RandomUnitVector(5);
            FirstComponent(work, v, centre, u);
            EXPECT_TRUE(SameBits({v}, {fast.Components[i]})) << "component " << i;
            const double vv = SqNorm(v);
            for (std::size_t p = 0; p < x.size(); ++p) {
                double s = 0;
                for (std::size_t j = 0; j < x[p].size(); ++j)
                    if (!IsMissing(x[p][j]) && !IsMissing(centre[j]) && !IsMissing(v[j]))
                        s += (x[p][j] - centre[j]) * v[j];
                const double t = vv != 0 ? s / vv : 0;
                for (std::size_t j = 0; j < work[p].size(); ++j)
                    if (!IsMissing(work[p][j]))
                        work[p][j] = IsMissing(v[j]) || IsMissing(centre[j]) ? M : work[p][j] - (v[j] * t + centre[j]);
            }
        }
    }
}

} // namespace
} // namespace orbelin::numeric

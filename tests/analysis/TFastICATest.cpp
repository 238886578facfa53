// FastICA against known sources: non-Gaussian signals mixed by a known matrix must come
// back as the found components, their directions as the matrix's columns. Also the
// whiteness test, deflation, the log of "Calculate" and its refusals and reductions.
#include "analysis/TFastICA.h"

#include "AnalysisFixtures.h"
#include "data/DatasetBuild.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <algorithm>

namespace orbelin::analysis {
namespace {

// Three independent sources of unit variance: uniform (sub-Gaussian), Laplace
// (super-Gaussian) and a two-peaked one (sub-Gaussian), drawn from a seeded generator of
// the standard library, independent of the generator under test.
TArray2D Sources(std::size_t n)
{
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> uniform(-std::sqrt(3.0), std::sqrt(3.0));
    std::exponential_distribution<double> exponential(std::sqrt(2.0));
    std::bernoulli_distribution coin(0.5);
    std::normal_distribution<double> noise(0, 0.3);
    TArray2D s(n, TArray1D(3));
    for (std::size_t p = 0; p < n; ++p) {
        s[p][0] = uniform(random);
        s[p][1] = (coin(random) ? 1 : -1) * exponential(random);
        s[p][2] = ((coin(random) ? 1.0 : -1.0) + noise(random)) / std::sqrt(1 + 0.09);
    }
    return s;
}

const TArray2D Mixing = {{1.0, 0.4, 0.2}, {0.3, 1.0, -0.5}, {0.2, -0.3, 1.0}};

TArray2D Mix(const TArray2D& sources)
{
    TArray2D x(sources.size(), TArray1D(3, 0.0));
    for (std::size_t p = 0; p < sources.size(); ++p)
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                x[p][i] += Mixing[i][j] * sources[p][j];
    // Off the origin, so that the centre matters.
    for (TArray1D& row : x)
        row[0] += 0.5;
    return x;
}

double CorrelationOf(const TArray1D& a, const TArray1D& b)
{
    return numeric::Correlation(a, b);
}

double Cosine(const TArray1D& a, const TArray1D& b)
{
    return numeric::VecDot(a, b) / std::sqrt(numeric::SqNorm(a) * numeric::SqNorm(b));
}

TEST(TFastICATest, FindsKnownNonGaussianSourcesMixedByAKnownMatrix)
{
    const TArray2D s = Sources(3000);
    const TArray2D x = Mix(s);
    struct TCase {
        const char* Name;
        int Method;
        double SampleSize;
    };
    const TCase cases[] = {{"log cosh", 0, 100}, {"exp", 1, 100}, {"log cosh, sampled", 0, 60}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        numeric::SeedRandom(7);
        TFastICA ica;
        ica.Method = c.Method;
        ica.SampleSize = c.SampleSize;
        ASSERT_EQ(3, ica.PrepareData(x, 3));
        ica.FindVectors(3);
        ASSERT_EQ(3u, ica.Vectors.size());
        ASSERT_EQ(3u, ica.Directions.size());
        ASSERT_EQ(3u, ica.Log.size());

        std::vector<bool> matched(3, false);
        for (std::size_t j = 0; j < 3; ++j) {
            EXPECT_NEAR(1, numeric::SqNorm(ica.Vectors[j]), 1e-9);
            for (std::size_t i = 0; i < j; ++i)
                EXPECT_NEAR(0, numeric::VecDot(ica.Vectors[i], ica.Vectors[j]), 1e-9);
            TArray1D scores;
            for (const TArray1D& z : ica.Samples)
                scores.push_back(numeric::VecDot(ica.Vectors[j], z));
            // The source this component recovers: one correlation near +-1.
            std::size_t best = 0;
            double bestR = 0;
            for (std::size_t q = 0; q < 3; ++q) {
                TArray1D source;
                for (const TArray1D& row : s)
                    source.push_back(row[q]);
                const double r = std::fabs(CorrelationOf(scores, source));
                if (r > bestR) {
                    bestR = r;
                    best = q;
                }
            }
            EXPECT_GT(bestR, 0.98) << "component " << j;
            EXPECT_FALSE(matched[best]) << "source " << best << " found twice";
            matched[best] = true;
            // Its direction in data space is the mixing matrix's column of that source.
            const TArray1D column = {Mixing[0][best], Mixing[1][best], Mixing[2][best]};
            EXPECT_GT(std::fabs(Cosine(ica.Directions[j], column)), 0.98) << "component " << j;
        }
        // A data point's coordinates on the found vectors are its whitened scores.
        const TArray1D projected = ica.ProjectPoint(x[5]);
        ASSERT_EQ(3u, projected.size());
        for (std::size_t j = 0; j < 3; ++j)
            EXPECT_NEAR(numeric::VecDot(ica.Vectors[j], ica.Samples[5]), projected[j], 1e-9);
    }
}

TEST(TFastICATest, SameSeedRepeatsTheRun)
{
    const TArray2D x = Mix(Sources(500));
    const auto run = [&] {
        numeric::SeedRandom(99);
        TFastICA ica;
        ica.SampleSize = 50;
        ica.PrepareData(x, 3);
        ica.FindVectors(2);
        return ica.Vectors;
    };
    EXPECT_EQ(run(), run());
}

TEST(TFastICATest, WhitenessTestChecksUnitVariancesAndSignedCovariances)
{
    struct TCase {
        const char* Name;
        TArray2D Samples;
        bool White;
    };
    const TCase cases[] = {
        {"identity covariance", {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}, true},
        {"variance 1.0201", {{1.01, 1}, {1.01, -1}, {-1.01, 1}, {-1.01, -1}}, false},
        {"variance 1.0009", {{1.00045, 1}, {1.00045, -1}, {-1.00045, 1}, {-1.00045, -1}}, true},
        {"positive covariance", {{1, 1}, {1, 1}, {-1, -1}, {-1, -1}}, false},
        {"negative covariance passes", {{1, -1}, {1, -1}, {-1, 1}, {-1, 1}}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFastICA ica;
        ica.Samples = c.Samples;
        EXPECT_EQ(c.White, ica.IsWhite());
    }
    // Prepared data are white up to the components' own accuracy.
    TFastICA ica;
    ica.PrepareData(Mix(Sources(800)), 2);
    EXPECT_TRUE(ica.IsWhite());
}

TEST(TFastICATest, DeflationRemovesTheFoundVectors)
{
    TProjectionPursuit pp;
    TArray1D w = {1, 1, 1};
    pp.Deflate(w);
    EXPECT_EQ((TArray1D{1, 1, 1}), w) << "nothing found yet: unchanged, not scaled";
    pp.AddVector({1, 0, 0});
    pp.Deflate(w);
    EXPECT_NEAR(0, w[0], 1e-15);
    EXPECT_NEAR(std::sqrt(0.5), w[1], 1e-15);
    EXPECT_NEAR(std::sqrt(0.5), w[2], 1e-15);
    TArray1D inside = {2, 0, 0};
    pp.Deflate(inside);
    EXPECT_EQ((TArray1D{0, 0, 0}), inside) << "nothing is left to scale";
}

// Mixed sources as a dataset whose first field is ranged to (-1;1), so that the log's
// directions in table units differ from the normalised ones.
std::unique_ptr<test::TAnalysisFixture> Small()
{
    TArray2S rows;
    const TArray2D x = Mix(Sources(200));
    for (const TArray1D& p : x)
        rows.push_back({std::to_string(p[0]), std::to_string(p[1]), std::to_string(p[2])});
    return test::MakeAnalysisFixture({"alpha_long_name", "b", "c"}, rows, {}, {true, false, false});
}

TEST(TFastICATest, CalculateWritesTheLogOfEveryVectorAndFieldInTableUnits)
{
    auto f = Small();
    TFastIcaSettings s;
    s.VectorCount = 2;
    s.Seed = 3;
    const TFastIcaRun run = CalculateFastIca(f->Data, s);
    ASSERT_EQ("", run.Message);
    ASSERT_NE(nullptr, run.Projector);
    const TFastICA& ica = *run.Projector;
    ASSERT_EQ(2u, ica.Directions.size());
    ASSERT_EQ(9u, run.Lines.size());
    EXPECT_EQ("Whitening data...", run.Lines[0]);
    EXPECT_EQ(run.White ? "The data is white..." : "The data isn't white...", run.Lines[1]);
    EXPECT_EQ("Calculate...", run.Lines[2]);
    for (std::size_t j = 0; j < 2; ++j) {
        const TFastIcaRecord& r = ica.Log[j];
        EXPECT_EQ("B:" + LogNumber(r.Before) + " A:" + LogNumber(r.After) + " I:" + std::to_string(r.Iterations),
                  run.Lines[3 + j]);
        EXPECT_LE(LogNumber(r.Before).size(), 5u);
    }
    EXPECT_EQ("Finished...", run.Lines[5]);
    const TArray1S names = {"alpha_long", "b         ", "c         "};
    for (int i = 0; i < 3; ++i) {
        std::string expected = names[static_cast<std::size_t>(i)];
        for (const TArray1D& direction : ica.Directions)
            expected += " " + LogNumber(data::DenormaliseValue(f->Data, i, direction[static_cast<std::size_t>(i)]));
        EXPECT_EQ(expected, run.Lines[6 + static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ("0.125", LogNumber(0.125));
    EXPECT_EQ("-0.33", LogNumber(-1.0 / 3));
    EXPECT_EQ("1E-7", LogNumber(1e-7));
}

TEST(TFastICATest, OnlyWhiteTakesTheScaledComponentsWithoutIterating)
{
    auto f = Small();
    TFastIcaSettings s;
    s.OnlyWhite = true;
    s.Dimension = 2;
    s.SampleSize = 0; // not needed without iterations
    s.Seed = 1;
    const TFastIcaRun run = CalculateFastIca(f->Data, s);
    ASSERT_EQ("", run.Message);
    const TFastICA& ica = *run.Projector;
    EXPECT_EQ(ica.ScaledComponents, ica.Directions);
    ASSERT_EQ(2u, ica.Directions.size());
    EXPECT_EQ((TArray2D{{1, 0}, {0, 1}}), ica.Vectors);
    EXPECT_TRUE(ica.Log.empty());
    for (const std::string& line : run.Lines)
        EXPECT_NE(0u, line.rfind("B:", 0)) << line;
    // Scaled component i is c_i times the spread of reduced coordinate i.
    for (std::size_t i = 0; i < 2; ++i) {
        const double sigma = std::sqrt(ica.SumsOfSquares[i] / static_cast<double>(ica.Samples.size()));
        for (std::size_t j = 0; j < 3; ++j)
            EXPECT_NEAR(ica.Components[i][j] * sigma, ica.Directions[i][j], 1e-12);
    }
    // The view's centre is the data-space centre the data were reduced about.
    EXPECT_EQ(ica.DataMean, ica.Centre);
    EXPECT_EQ(3u, ica.Centre.size());
}

TEST(TFastICATest, OpenSettingsAreRefusedOrReducedWithAClearLine)
{
    auto f = Small();
    struct TCase {
        const char* Name;
        int Dimension;
        double SampleSize;
        int MaxIterations;
        int Vectors;
        const char* Message; ///< refusal, or ""
        const char* Line;    ///< a log line that must be there, or ""
        std::size_t Directions;
    };
    const TCase cases[] = {
        {"dimension 0", 0, 100, 100, 3, "\"New dimension\" is 0", "", 0},
        {"sample size 0", 3, 0, 100, 3, "\"Sample size\" is 0%", "", 0},
        {"dimension above the dataset's", 7, 100, 100, 3, "", "New dimension 7 is above the dataset's dimension 3", 3},
        {"more vectors than dimensions", 2, 100, 100, 5, "", "Only 2 vectors exist in 2 dimensions", 2},
        {"zero iterations", 3, 100, 0, 2, "", "B:", 2},
        {"tiny sample", 3, 0.1, 100, 1, "", "B:", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFastIcaSettings s;
        s.Dimension = c.Dimension;
        s.SampleSize = c.SampleSize;
        s.MaxIterations = c.MaxIterations;
        s.VectorCount = c.Vectors;
        s.Seed = 5;
        const TFastIcaRun run = CalculateFastIca(f->Data, s);
        if (*c.Message) {
            EXPECT_NE(std::string::npos, run.Message.find(c.Message)) << run.Message;
            EXPECT_EQ(nullptr, run.Projector);
            continue;
        }
        ASSERT_EQ("", run.Message);
        ASSERT_NE(nullptr, run.Projector);
        EXPECT_TRUE(std::any_of(run.Lines.begin(), run.Lines.end(),
                                [&](const std::string& line) { return line.find(c.Line) != std::string::npos; }));
        ASSERT_EQ(c.Directions, run.Projector->Directions.size());
        for (const TArray1D& direction : run.Projector->Directions)
            for (double v : direction)
                EXPECT_TRUE(std::isfinite(v));
        for (const TArray1D& v : run.Projector->Vectors)
            EXPECT_NEAR(1, numeric::SqNorm(v), 1e-9);
        for (const TFastIcaRecord& r : run.Projector->Log) {
            EXPECT_TRUE(std::isfinite(r.Before) && std::isfinite(r.After));
            if (c.MaxIterations == 0)
                EXPECT_EQ(0, r.Iterations);
        }
    }
}

TEST(TFastICATest, CoordinatesWithoutSpreadAreDroppedBeforeWhitening)
{
    // b repeats a: the points lie on a line, and the second reduced coordinate has no
    // spread to whiten.
    TArray2S rows;
    for (const TArray1D& p : Mix(Sources(300)))
        rows.push_back({std::to_string(p[0]), std::to_string(p[0])});
    auto f = test::MakeAnalysisFixture({"a", "b"}, rows);
    TFastIcaSettings s;
    s.Seed = 2;
    const TFastIcaRun run = CalculateFastIca(f->Data, s);
    ASSERT_EQ("", run.Message);
    const TFastICA& ica = *run.Projector;
    EXPECT_EQ(1, ica.Dimension());
    EXPECT_TRUE(std::any_of(run.Lines.begin(), run.Lines.end(), [](const std::string& line) {
        return line.find("spread in 1 of the 2 dimensions") != std::string::npos;
    }));
    EXPECT_TRUE(run.White);
    ASSERT_EQ(1u, ica.Directions.size());
    EXPECT_NEAR(ica.Directions[0][0], ica.Directions[0][1], 1e-9);

    auto none = test::MakeAnalysisFixture({"a"}, {{"1"}, {"1"}});
    EXPECT_NE(std::string::npos, CalculateFastIca(none->Data, s).Message.find("no spread"));
    auto empty = test::MakeAnalysisFixture({"a"}, {{"1"}}, {}, {}, {0});
    EXPECT_NE(std::string::npos, CalculateFastIca(empty->Data, s).Message.find("no points"));
}

} // namespace
} // namespace orbelin::analysis

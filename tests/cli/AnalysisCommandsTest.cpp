// orbelin-cli stats, ttest, analyze, values, lda and regress on a small table whose
// answers are known: two classes apart on a and b, and y = 2 a + 3 b + 1 exactly.
#include "TestUtil.h"
#include "cli/CliFixtures.h"
#include "cli/JsonReader.h"
#include "cli/RunInFolder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin {
namespace {

using test::TJson;

constexpr const char* PointsCsv = "a,b,y,kind\n"
                                  "0,0,1,lo\n"
                                  "1,0,3,lo\n"
                                  "0,1,4,lo\n"
                                  "5,1,14,hi\n"
                                  "6,2,19,hi\n"
                                  "5,3,20,hi\n";

// The table as CSV and its dataset of a, b and y without normalisation.
void WritePoints(const test::TTempDir& dir)
{
    test::WriteBytes(dir.File("pts.csv"), PointsCsv);
    const TRun run = RunIn(dir, "dataset pts.csv -o pts.obd --fields a,b,y --no-std");
    ASSERT_EQ(0, run.Status) << run.Err;
}

TJson JsonOf(const test::TTempDir& dir, const std::string& arguments)
{
    const TRun run = RunIn(dir, arguments);
    EXPECT_EQ(0, run.Status) << arguments << ": " << run.Err;
    return run.Status == 0 ? test::ReadJson(run.Out) : TJson();
}

std::vector<double> Numbers(const TJson& array)
{
    std::vector<double> v;
    for (const TJson& item : array.Items)
        v.push_back(item.Number);
    return v;
}

TEST(AnalysisCommandsTest, StatsCommonGivesTheGridAndTheNumbersBehindIt)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson out = JsonOf(dir, "stats pts.obd --page common");
    EXPECT_EQ("common", out["page"].Text);
    ASSERT_EQ(5u, out["grid"].Size());
    EXPECT_EQ("Stand.dev.", out["grid"][0][5].Text);
    const TJson& a = out["fields"][0];
    EXPECT_EQ("a", a["name"].Text);
    EXPECT_EQ(0, a["min"].Number);
    EXPECT_EQ(1, a["min_record"].Number);
    EXPECT_EQ(6, a["max"].Number);
    EXPECT_EQ(5, a["max_record"].Number);
    EXPECT_DOUBLE_EQ(17.0 / 6, a["mean"].Number);
    EXPECT_EQ("  0.000000(#1)", out["grid"][2][2].Text);
    EXPECT_EQ(6, a["real_max"].Number);
    // Mean (17/6, 7/6, 61/6): squared distances about 93.4, 56.1, 46.1, 19.4, 88.7 and
    // 104.8, so point 3 is nearest, and points 1, 2 and 3 lie within S^2 = 68.1.
    EXPECT_EQ(3, out["overall"]["nearest_point"].Number);
    EXPECT_EQ(3, out["overall"]["within"].Number);
    EXPECT_EQ("#3", out["grid"][1][4].Text);
}

TEST(AnalysisCommandsTest, StatsOtherPagesGiveTheirNumbers)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson corr = JsonOf(dir, "stats pts.obd --page correlations");
    EXPECT_EQ(3u, corr["fields"].Size());
    EXPECT_EQ(TJson::TKind::Null, corr["r"][1][0].Kind);
    EXPECT_EQ(TJson::TKind::Null, corr["r"][0][0].Kind);
    EXPECT_GT(corr["r"][0][2].Number, 0.9);

    const TJson pca = JsonOf(dir, "stats pts.obd --page pca --components 3");
    ASSERT_EQ(3u, pca["components"].Size());
    double length = 0;
    for (double v : Numbers(pca["components"][0]))
        length += v * v;
    EXPECT_NEAR(1, length, 1e-12);
    EXPECT_NEAR(1, pca["cumulative"][2].Number, 1e-4);

    const TJson dist = JsonOf(dir, "stats pts.obd --page distances --distance l1");
    // |0 - 5| + |0 - 1| + |1 - 14| between the first and the fourth point.
    EXPECT_EQ(19, dist["matrix"][0][3].Number);
    EXPECT_EQ(19, dist["matrix"][3][0].Number);
    EXPECT_EQ("19.000000", dist["grid"][1][4].Text);
    EXPECT_EQ("4", dist["grid"][0][4].Text);

    const TJson compared = JsonOf(dir, "stats pts.obd --page common --compare l1 --dist-file d.txt");
    EXPECT_EQ(15, compared["pairs"].Number);
    EXPECT_GT(compared["correlation"].Number, 0.9);
    const std::string file = test::ReadBytes(dir.File("d.txt"));
    EXPECT_EQ(15, std::count(file.begin(), file.end(), '\n'));

    const TRun noPage = RunIn(dir, "stats pts.obd");
    EXPECT_EQ(2, noPage.Status);
    EXPECT_NE(std::string::npos, noPage.Err.find("--page"));
    EXPECT_EQ(2, RunIn(dir, "stats pts.obd --page common --compare l1").Status);
}

TEST(AnalysisCommandsTest, TTestComparesAClassWithTheRest)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson out = JsonOf(dir, "ttest pts.obd --class-field kind --class lo");
    ASSERT_EQ(3u, out["fields"].Size());
    const TJson& a = out["fields"][0];
    EXPECT_EQ("a", a["name"].Text);
    // {0, 1, 0} against {5, 6, 5}; p by Simpson integration of the t density with 4
    // degrees of freedom (a standard-library Python script).
    EXPECT_NEAR(-10.606601717798213, a["t"].Number, 1e-12);
    EXPECT_NEAR(4, a["df"].Number, 1e-12);
    EXPECT_NEAR(0.00044723807045699004, a["p"].Number, 1e-12);
    EXPECT_EQ(3, a["n1"].Number);
    EXPECT_EQ(3, a["n2"].Number);
    const TJson versus = JsonOf(dir, "ttest pts.obd --class-field kind --class hi --versus lo");
    EXPECT_NEAR(10.606601717798213, versus["fields"][0]["t"].Number, 1e-12);

    struct TCase {
        const char* Name;
        const char* Arguments;
        const char* Fragment;
    };
    const TCase errors[] = {
        {"unknown field", "ttest pts.obd --class-field sort --class lo", "no field \"sort\""},
        {"unknown class", "ttest pts.obd --class-field kind --class mid", "no class \"mid\""},
        {"same class", "ttest pts.obd --class-field kind --class lo --versus lo", "two groups"},
    };
    for (const TCase& c : errors) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunIn(dir, c.Arguments);
        EXPECT_EQ(1, run.Status);
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
    }
}

TEST(AnalysisCommandsTest, AnalyzeClustersByEachMethod)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson colors = JsonOf(dir, "analyze pts.obd --method colors --class-field kind");
    EXPECT_EQ(2, colors["k"].Number);
    ASSERT_EQ(2u, colors["clusters"].Size());
    EXPECT_EQ((std::vector<double>{0, 1, 2}), Numbers(colors["clusters"][0]["members"]));
    EXPECT_EQ("#0000ff", colors["clusters"][0]["colour"].Text);
    EXPECT_EQ("#ff0000", colors["clusters"][1]["colour"].Text);
    EXPECT_EQ(3, colors["clusters"][1]["size"].Number);
    // lo: (0,0,1), (1,0,3), (0,1,4) about their mean (1/3, 1/3, 8/3): squared distances
    // 27/9, 6/9 and 21/9, on average 2.
    EXPECT_NEAR(std::sqrt(2.0), colors["clusters"][0]["deviation"].Number, 1e-12);
    EXPECT_EQ(" 1", colors["columns"]["Class"][0].Text);
    EXPECT_EQ(" 2", colors["columns"]["Class"][5].Text);
    EXPECT_EQ(6u, colors["columns"]["Dist."].Size());

    const TJson kmeans = JsonOf(dir, "analyze pts.obd --method kmeans --k 2 --seed 4");
    EXPECT_EQ(2, kmeans["k"].Number);
    EXPECT_EQ(3, kmeans["clusters"][0]["size"].Number);

    const TJson separate = JsonOf(dir, "analyze pts.obd --method separate --class-field kind");
    EXPECT_EQ(2, separate["k"].Number);
    EXPECT_EQ((std::vector<double>{3, 4, 5}), Numbers(separate["clusters"][1]["members"]));

    const TJson apart = JsonOf(dir, "analyze pts.obd --method hierarchical --sensitivity 0");
    EXPECT_EQ(6, apart["k"].Number);
    EXPECT_EQ(0, apart["sensitivity"].Number);
    const TJson count = JsonOf(dir, "analyze pts.obd --method hierarchical-count --k 2");
    EXPECT_EQ(2, count["k"].Number);
    EXPECT_GT(count["sensitivity"].Number, 0);

    const TRun noMap = RunIn(dir, "analyze pts.obd --method nodes");
    EXPECT_EQ(1, noMap.Status);
    EXPECT_NE(std::string::npos, noMap.Err.find("--map")) << noMap.Err;
    const TRun noObjects = RunIn(dir, "analyze pts.obd --method objects");
    EXPECT_EQ(1, noObjects.Status);
    // Two spheres (centres in table units) near each class are the centroids.
    test::WriteBytes(dir.File("two.obo"), "A sphere 0 0 2 0.1 255 0 0\r\nB sphere 5 2 18 0.1 0 0 255\r\n");
    const TJson objects = JsonOf(dir, "analyze pts.obd --method objects --objects two.obo");
    EXPECT_EQ(2, objects["k"].Number);
    EXPECT_EQ((std::vector<double>{3, 4, 5}), Numbers(objects["clusters"][1]["members"]));
    EXPECT_EQ(2, RunIn(dir, "analyze pts.obd --method separate").Status);
    EXPECT_EQ(2, RunIn(dir, "analyze pts.obd --method cubes").Status);
}

TEST(AnalysisCommandsTest, AnalyzeAndValuesUseAMap)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    ASSERT_EQ(0, RunIn(dir, "init pts.obd -o pts.obm --rows 2 --cols 2").Status);
    const TJson nodes = JsonOf(dir, "analyze pts.obd --method nodes --map pts.obm");
    EXPECT_EQ(4, nodes["k"].Number);
    double members = 0;
    for (const TJson& cluster : nodes["clusters"].Items)
        members += cluster["size"].Number;
    EXPECT_EQ(6, members);

    const TJson node = JsonOf(dir, "values pts.obd --map pts.obm --quantity node");
    ASSERT_EQ(6u, node["values"].Size());
    const TJson projection = JsonOf(dir, "values pts.obd --map pts.obm --quantity projection");
    for (std::size_t p = 0; p < 6; ++p)
        EXPECT_LE(projection["values"][p].Number, node["values"][p].Number + 1e-12);
    EXPECT_EQ(1, RunIn(dir, "values pts.obd --quantity unstability").Status);
}

TEST(AnalysisCommandsTest, ValuesMapAFieldToSizes)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson out = JsonOf(dir, "values pts.obd --quantity field:y --min-size 1 --max-size 20");
    EXPECT_EQ((std::vector<double>{1, 3, 4, 14, 19, 20}), Numbers(out["values"]));
    EXPECT_EQ(1, out["lo"].Number);
    EXPECT_EQ(20, out["hi"].Number);
    EXPECT_DOUBLE_EQ(61.0 / 6, out["mean"].Number);
    // a = 1 and b = 0: the size is the value.
    EXPECT_EQ((std::vector<double>{1, 3, 4, 14, 19, 20}), Numbers(out["sizes"]));
    const TJson weight = JsonOf(dir, "values pts.obd --quantity weight");
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 0, 0}), Numbers(weight["values"]));
    const TRun unknown = RunIn(dir, "values pts.obd --quantity field:z");
    EXPECT_EQ(1, unknown.Status);
    EXPECT_NE(std::string::npos, unknown.Err.find("no field \"z\"")) << unknown.Err;
    const TRun text = RunIn(dir, "values pts.obd --quantity field:kind");
    EXPECT_EQ(1, text.Status);
    EXPECT_NE(std::string::npos, text.Err.find("'lo' is not a valid floating point value")) << text.Err;
}

TEST(AnalysisCommandsTest, LdaSeparatesAClassOnChosenFields)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson out = JsonOf(dir, "lda pts.obd --class-field kind --class hi");
    ASSERT_EQ(4u, out["coefficients"].Size());
    EXPECT_EQ(3, out["tp"].Number);
    EXPECT_EQ(3, out["tn"].Number);
    EXPECT_EQ(0, out["fp"].Number + out["fn"].Number);
    EXPECT_EQ("Error 1 type 0.000% TP=3,FN=0)", out["lines"][1].Text);
    ASSERT_EQ(6u, out["scores"].Size());
    for (std::size_t p = 0; p < 6; ++p)
        EXPECT_EQ(p >= 3, out["scores"][p].Number > 0) << p;

    const TJson onA = JsonOf(dir, "lda pts.obd --class-field kind --class lo --fields a --iterations 10");
    EXPECT_EQ(0, onA["coefficients"][2].Number);
    EXPECT_EQ(0, onA["coefficients"][3].Number);
    EXPECT_NE(0, onA["coefficients"][1].Number);

    const TRun unknown = RunIn(dir, "lda pts.obd --class-field kind --class lo --fields a,c");
    EXPECT_EQ(1, unknown.Status);
    EXPECT_NE(std::string::npos, unknown.Err.find("no coordinate \"c\"")) << unknown.Err;
}

TEST(AnalysisCommandsTest, RegressFitsTheTargetAndCountsLargeErrors)
{
    test::TTempDir dir;
    ASSERT_NO_FATAL_FAILURE(WritePoints(dir));
    const TJson out = JsonOf(dir, "regress pts.obd --target y --args a,b");
    const std::vector<double> c = Numbers(out["coefficients"]);
    ASSERT_EQ(4u, c.size());
    EXPECT_NEAR(1, c[0], 1e-4);
    EXPECT_NEAR(2, c[1], 1e-4);
    EXPECT_NEAR(3, c[2], 1e-4);
    EXPECT_EQ(0, c[3]);
    EXPECT_EQ(19, out["amplitude"].Number);
    EXPECT_EQ(0, out["errors"].Number);
    EXPECT_NEAR(14, out["values"][3].Number, 1e-3);
    // y itself is unchecked as an argument of y, whatever --args says.
    const TJson all = JsonOf(dir, "regress pts.obd --target y --quality 0");
    EXPECT_EQ(0, all["coefficients"][3].Number);
    EXPECT_EQ(0, all["threshold"].Number);

    struct TCase {
        const char* Name;
        const char* Arguments;
        const char* Fragment;
    };
    const TCase errors[] = {
        {"unknown target", "regress pts.obd --target z", "no field \"z\""},
        {"text target", "regress pts.obd --target kind", "not numeric"},
        {"unknown argument", "regress pts.obd --target y --args a,q", "no coordinate \"q\""},
    };
    for (const TCase& e : errors) {
        SCOPED_TRACE(e.Name);
        const TRun run = RunIn(dir, e.Arguments);
        EXPECT_EQ(1, run.Status);
        EXPECT_NE(std::string::npos, run.Err.find(e.Fragment)) << run.Err;
    }
}

} // namespace
} // namespace orbelin

// orbelin-cli pca and cluster on dataset files written for the test.
#include "TestUtil.h"
#include "data/DatasetBuild.h"
#include "data/DatasetFile.h"
#include "data/TableMaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <sys/wait.h>

namespace orbelin {
namespace {

struct TRun {
    int Status;
    std::string Out, Err;
};

TRun RunIn(const test::TTempDir& dir, const std::string& arguments)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string command = std::string("'") + ORBELIN_CLI + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(out), test::ReadBytes(err)};
}

std::string Shortest(double x)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, x).ptr);
}

// A table with one field per column of rows and the given record fill colours, saved
// with its dataset (every field a coordinate, no normalisation) as name.obt / name.obd.
std::string WriteDataset(const test::TTempDir& dir, const std::string& name, const TArray2S& rows,
                         const TArray1I& colours)
{
    std::vector<std::pair<std::string, TFieldType>> fields;
    for (std::size_t j = 0; j < rows[0].size(); ++j)
        fields.push_back({"F" + std::to_string(j), TFieldType::Float});
    data::TDataTable table = test::MakeTable(fields, rows, name);
    for (std::size_t r = 0; r < colours.size(); ++r)
        table.PointStyles[r][FILLCOLOR] = colours[r];
    data::SaveTable(table, dir.File(name + ".obt"));
    data::TData data;
    data.Name = name;
    data.Table = &table;
    EXPECT_TRUE(data::BuildFromTable(data, std::vector<data::TFieldChoice>(rows[0].size(), {true})).Built);
    data::Normalise(data);
    const std::string path = dir.File(name + ".obd");
    data::WriteDatasetFile(data, path);
    return "'" + path + "'";
}

TEST(NumericCommandsTest, PcaPrintsCountCentreAndEveryComponentRow)
{
    test::TTempDir dir;
    // Points on the line through (0, 1, 5) along the first axis; the fourth is of its own
    // class, which the class-proportional weights count three times.
    const std::string path =
        WriteDataset(dir, "line", {{"0", "1", "5"}, {"2", "1", "5"}, {"4", "1", "5"}, {"10", "1", "5"}},
                     {0xFF, 0xFF, 0xFF, 0xFF0000});
    struct TCase {
        const char* Name;
        std::string Options, Prefix, Suffix;
    };
    const TCase cases[] = {
        {"one component", "--components 1", "{\"count\":1,\"centre\":[4,1,5],\"components\":[[1,",
         "],[0,1,0],[0,0,1]]}\n"},
        {"weighted", "--components 1 --weights", "{\"count\":1,\"centre\":[6,1,5],\"components\":[[1,",
         "],[0,1,0],[0,0,1]]}\n"},
        {"none", "--components 0", "{\"count\":0,\"centre\":[4,1,5],\"components\":[[1,0,0],[0,1,0],[0,0,1]]}\n", ""},
        {"more than the fields", "--components 7", "{\"count\":3,\"centre\":[4,1,5],\"components\":[[1,", "]]}\n"},
        {"all by default", "", "{\"count\":3,", "]]}\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunIn(dir, "pca " + path + " " + c.Options);
        ASSERT_EQ(0, run.Status) << run.Err;
        EXPECT_EQ(0u, run.Out.find(c.Prefix)) << run.Out;
        EXPECT_TRUE(run.Out.size() >= c.Suffix.size() &&
                    run.Out.compare(run.Out.size() - c.Suffix.size(), c.Suffix.size(), c.Suffix) == 0)
            << run.Out;
        EXPECT_EQ("", run.Err);
    }
}

TEST(NumericCommandsTest, ClusterPrintsTheMethodsResults)
{
    test::TTempDir dir;
    // 0, 1, 3 and 7 on a line: squared distances 1, 4 and 16 join neighbours, 49 is largest.
    const std::string line = WriteDataset(dir, "line", {{"0"}, {"1"}, {"3"}, {"7"}}, {0xFF, 0xFF00, 0xFF, 0xFF});
    struct TCase {
        const char* Name;
        std::string Options, Expected;
    };
    const TCase cases[] = {
        {"hierarchical", "--method hierarchical --fraction 0.2",
         "{\"clusters\":[[2,1,0],[3]],\"centroids\":[[" + Shortest(4.0 / 3) +
             "],[7]],\"links\":[[1,0],[2,1]],\"threshold\":" + Shortest(0.2 * 49) + "}\n"},
        {"hierarchical, city-block", "--method hierarchical --fraction 0.5 --distance l1",
         "{\"clusters\":[[2,1,0],[3]],\"centroids\":[[" + Shortest(4.0 / 3) +
             "],[7]],\"links\":[[1,0],[2,1]],\"threshold\":3.5}\n"},
        {"by count", "--method hierarchical-count --k 1",
         "{\"clusters\":[[3,2,1,0]],\"centroids\":[[2.75]],\"links\":[[1,0],[2,1],[3,2]],\"ratio\":" +
             Shortest(16.0 / 49) + "}\n"},
        {"by count, default k", "--method hierarchical-count",
         "{\"clusters\":[[1,0],[2],[3]],\"centroids\":[[0.5],[3],[7]],\"links\":[[1,0]],\"ratio\":" +
             Shortest(1.0 / 49) + "}\n"},
        {"colors", "--method colors",
         "{\"clusters\":[[0,2,3],[1]],\"centroids\":[[" + Shortest(10.0 / 3) + "],[1]]}\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunIn(dir, "cluster " + line + " " + c.Options);
        ASSERT_EQ(0, run.Status) << run.Err;
        EXPECT_EQ(c.Expected, run.Out);
        EXPECT_EQ("", run.Err);
    }
}

TEST(NumericCommandsTest, KMeansIsRepeatableBySeed)
{
    test::TTempDir dir;
    const std::string path = WriteDataset(
        dir, "groups", {{"0", "0"}, {"0.5", "0"}, {"0", "0.5"}, {"10", "10"}, {"10.5", "10"}, {"10", "10.5"}}, {});
    const TRun first = RunIn(dir, "cluster " + path + " --method kmeans --k 2 --seed 4 --distance l1");
    ASSERT_EQ(0, first.Status) << first.Err;
    const bool ordered = first.Out.find("{\"clusters\":[[0,1,2],[3,4,5]],\"centroids\":[[" + Shortest(1.0 / 6) + "," +
                                        Shortest(1.0 / 6) + "],[" + Shortest(61.0 / 6)) == 0;
    const bool swapped = first.Out.find("{\"clusters\":[[3,4,5],[0,1,2]],") == 0;
    EXPECT_TRUE(ordered || swapped) << first.Out;
    EXPECT_EQ(first.Out, RunIn(dir, "cluster " + path + " --method kmeans --k 2 --seed 4 --distance l1").Out);
}

TEST(NumericCommandsTest, BadOptionsAreUsageErrors)
{
    test::TTempDir dir;
    const std::string path = WriteDataset(dir, "small", {{"0"}, {"1"}}, {});
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no dataset", "pca", 2, "pca needs a DATASET.obd"},
        {"two datasets", "pca " + path + " other.obd", 2, "takes one DATASET.obd"},
        {"negative count", "pca " + path + " --components -1", 2, "--components expects a whole number"},
        {"count without value", "pca " + path + " --components", 2, "--components needs a value"},
        {"unknown option", "pca " + path + " --fast", 2, "unknown option \"--fast\""},
        {"no method", "cluster " + path, 2, "cluster needs --method"},
        {"unknown method", "cluster " + path + " --method ward", 2, "unknown --method \"ward\""},
        {"zero clusters", "cluster " + path + " --method kmeans --k 0", 2, "--k expects a whole number from 1"},
        {"k not a number", "cluster " + path + " --method kmeans --k 3x", 2, "found \"3x\""},
        {"fraction above 1", "cluster " + path + " --method hierarchical --fraction 1.5", 2, "from 0 to 1"},
        {"unknown distance", "cluster " + path + " --method kmeans --distance cosine", 2, "euclidean or l1"},
        {"k for colors", "cluster " + path + " --method colors --k 2", 2, "--k does not apply to --method colors"},
        {"fraction by count", "cluster " + path + " --method hierarchical-count --fraction 0.1", 2,
         "--fraction does not apply"},
        {"absent dataset", "cluster /nonexistent/x.obd --method colors", 1, "/nonexistent/x.obd"},
        {"absent dataset, pca", "pca /nonexistent/x.obd", 1, "/nonexistent/x.obd"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunIn(dir, c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        EXPECT_EQ(0u, run.Err.find("orbelin-cli: ")) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n'));
        EXPECT_EQ("", run.Out);
    }
}

} // namespace
} // namespace orbelin

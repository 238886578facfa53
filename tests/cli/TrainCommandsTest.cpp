// orbelin-cli train and grow as a user runs them: the trained map equals the one the
// library trains the same way, progress on stderr, growth, and the errors.
#include "TestUtil.h"
#include "analysis/PointWeights.h"
#include "data/DatasetBuild.h"
#include "data/DatasetFile.h"
#include "data/NumberText.h"
#include "data/PointStyle.h"
#include "data/TableMaker.h"
#include "map/MapFile.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <sys/wait.h>

namespace orbelin {
namespace {

struct TRun {
    int Status;
    std::string Out, Err;
};

TRun RunCli(const test::TTempDir& dir, const std::string& arguments)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string command = std::string("cd '") + dir.Path().string() + "' && '" + ORBELIN_CLI + "' " + arguments +
                                " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(out), test::ReadBytes(err)};
}

// A curved cloud of 120 points in three fields, in three classes of 80, 30 and 10 points,
// written as name.obt and name.obd.
void WriteDataset(const test::TTempDir& dir, const std::string& name)
{
    TArray2S rows;
    for (int r = 0; r < 120; ++r) {
        const double u = (r % 12) / 11.0 - 0.5, v = (r / 12) / 9.0 - 0.5;
        rows.push_back(
            {data::GeneralText(3 * u), data::GeneralText(2 * v + 0.1 * (r % 5)), data::GeneralText(u * u - v * v)});
    }
    data::TDataTable table =
        test::MakeTable({{"A", TFieldType::Float}, {"B", TFieldType::Float}, {"C", TFieldType::Float}}, rows, name);
    for (std::size_t r = 0; r < rows.size(); ++r)
        table.PointStyles[r][FILLCOLOR] = r < 80 ? 0xFF : r < 110 ? 0xFF00 : 0xFF0000;
    data::SaveTable(table, dir.File(name + ".obt"));
    data::TData dataset;
    dataset.Name = name;
    dataset.Table = &table;
    ASSERT_TRUE(data::BuildFromTable(dataset, std::vector<data::TFieldChoice>(3, {true})).Built);
    data::Normalise(dataset);
    data::WriteDatasetFile(dataset, dir.File(name + ".obd"));
}

// The number after "key": in a JSON text.
double JsonNumber(const std::string& json, const std::string& key)
{
    const std::size_t at = json.find("\"" + key + "\":");
    EXPECT_NE(std::string::npos, at) << key << " in " << json;
    if (at == std::string::npos)
        return NAN;
    const char* first = json.data() + at + key.size() + 3;
    double value = 0;
    std::from_chars(first, json.data() + json.size(), value);
    return value;
}

// The map the library trains as the command does: initialised with that seed, then the
// state "Adjust map" sets.
void TrainLikeTheCommand(const test::TTempDir& dir, int seed, double lambda, int maxIterations,
                         const std::optional<analysis::TWeightSettings>& weights, map::TMap*& trained,
                         data::TData& dataset, data::TDataTable& table)
{
    data::LoadDatasetWithTable(dir.File("cloud.obd"), dataset, table);
    map::TMap& map = map::AddMap(dataset, "expected");
    map.RequestedRows = 4;
    map.RequestedColumns = 5;
    numeric::SeedRandom(static_cast<std::uint64_t>(seed));
    map::InitializeMap(map, 3, false);
    if (weights)
        analysis::AssignWeights(dataset, &map, *weights);
    map.StopRequested = false;
    map.PreviousEnergy = 1e100;
    map.Lambda = lambda;
    map.MaxIterations = maxIterations;
    map::TrainUntilStopped(map);
    trained = &map;
}

TEST(TrainCommandsTest, TrainWritesTheMapTheLibraryTrains)
{
    test::TTempDir dir;
    WriteDataset(dir, "cloud");
    struct TCase {
        const char* Name;
        std::string Options;
        double Lambda;
        int MaxIterations;
        std::optional<analysis::TWeightSettings> Weights;
    };
    analysis::TWeightSettings radial;
    radial.Rule = analysis::TWeightRule::RadialCenter;
    radial.Function = analysis::TRadialFunction::Exp;
    radial.A = 0.5;
    radial.CalcAverage = false;
    const TCase cases[] = {
        {"defaults", "", 1, 10000, std::nullopt},
        {"soft, three steps at most", "--lambda 0.1 --max-iter 2", 0.1, 2, std::nullopt},
        {"class weights", "--weights --max-iter 5", 1, 5, analysis::TWeightSettings{}},
        {"radial weights", "--weights radial --function exp --a 0.5 --no-average --max-iter 5", 1, 5, radial},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, "train cloud.obd -o out.obm --rows 4 --cols 5 --seed 9 " + c.Options);
        ASSERT_EQ(0, run.Status) << run.Err;
        data::TData dataset;
        data::TDataTable table;
        map::TMap* expected = nullptr;
        TrainLikeTheCommand(dir, 9, c.Lambda, c.MaxIterations, c.Weights, expected, dataset, table);
        EXPECT_EQ(expected->IterationCount, JsonNumber(run.Out, "steps"));
        EXPECT_EQ(expected->ApproximationError, JsonNumber(run.Out, "approximation_error"));
        EXPECT_EQ(expected->StretchingEnergy, JsonNumber(run.Out, "stretching_energy"));
        EXPECT_EQ(expected->BendingEnergy, JsonNumber(run.Out, "bending_energy"));
        EXPECT_EQ(expected->TotalEnergy, JsonNumber(run.Out, "total_energy"));
        EXPECT_GE(JsonNumber(run.Out, "seconds"), 0);
        // One progress line per step.
        EXPECT_EQ(expected->IterationCount, std::count(run.Err.begin(), run.Err.end(), '\n')) << run.Err;
        EXPECT_EQ(0u, run.Err.find("step 1: approximation error ")) << run.Err;

        map::TMap& written = map::AddMap(dataset, "out");
        ASSERT_TRUE(map::ReadMapFileFrom(dataset, dir.File("out.obm")));
        ASSERT_EQ(20, written.Grid->NodeCount());
        for (std::size_t i = 0; i < 20; ++i)
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(expected->Grid->Nodes[i][k], written.Grid->Nodes[i][k],
                            1e-12 * std::max(1.0, std::fabs(expected->Grid->Nodes[i][k])));
    }
}

TEST(TrainCommandsTest, TrainGoesOnFromAStartMapQuietly)
{
    test::TTempDir dir;
    WriteDataset(dir, "cloud");
    ASSERT_EQ(0, RunCli(dir, "init cloud.obd -o start.obm --rows 3 --cols 3 --seed 1").Status);
    const TRun first = RunCli(dir, "train cloud.obd -o once.obm --map start.obm --max-iter 0");
    ASSERT_EQ(0, first.Status) << first.Err;
    EXPECT_EQ("", first.Err) << "no step, no progress line";
    EXPECT_EQ(0, JsonNumber(first.Out, "steps"));
    const TRun second = RunCli(dir, "train cloud.obd -o twice.obm --map once.obm --max-iter 3 --quiet");
    ASSERT_EQ(0, second.Status) << second.Err;
    EXPECT_EQ(4, JsonNumber(second.Out, "steps"));
    const TRun info = RunCli(dir, "info twice.obm");
    EXPECT_NE(std::string::npos, info.Out.find("\"name\":\"twice\"")) << info.Out;
    EXPECT_NE(std::string::npos, info.Out.find("\"nodes\":9")) << info.Out;
}

TEST(TrainCommandsTest, GrowExtendsResamplesAndRings)
{
    test::TTempDir dir;
    WriteDataset(dir, "cloud");
    ASSERT_EQ(0, RunCli(dir, "init cloud.obd -o rect.obm --rows 4 --cols 5 --seed 1").Status);
    ASSERT_EQ(0, RunCli(dir, "init cloud.obd -o ring.obm --grid circle --rows 3 --cols 8 --seed 1").Status);
    struct TCase {
        const char* Name;
        std::string Arguments;
        std::string Fragment;
    };
    const TCase cases[] = {
        {"extrapolate", "grow rect.obm -o big.obm --extrapolate 1,2,0,1", "\"rows\":5,\"cols\":8,\"nodes\":40"},
        {"drop columns", "grow rect.obm -o small.obm --extrapolate -1,0,0,0", "\"rows\":4,\"cols\":4,\"nodes\":16"},
        {"interpolate", "grow rect.obm -o fine.obm --interpolate 1,1,1,1", "\"rows\":6,\"cols\":7,\"nodes\":42"},
        {"ring", "grow ring.obm -o ring4.obm --ring", "\"grid\":\"CIRCLE\",\"rows\":4,\"cols\":8,\"nodes\":33"},
        {"dataset given", "grow rect.obm -o given.obm --extrapolate 0,0,0,1 --dataset cloud.obd", "\"rows\":5"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, c.Arguments);
        ASSERT_EQ(0, run.Status) << run.Err;
        EXPECT_NE(std::string::npos, run.Out.find(c.Fragment)) << run.Out;
    }
    const TRun info = RunCli(dir, "info big.obm");
    EXPECT_NE(std::string::npos, info.Out.find("\"nodes\":40")) << info.Out;
}

TEST(TrainCommandsTest, ErrorsAreOneLineWithTheirExitStatus)
{
    test::TTempDir dir;
    WriteDataset(dir, "cloud");
    ASSERT_EQ(0, RunCli(dir, "init cloud.obd -o rect.obm --rows 3 --cols 3 --seed 1").Status);
    ASSERT_EQ(0, RunCli(dir, "init cloud.obd -o ring.obm --grid circle --rows 3 --cols 6 --seed 1").Status);
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no output", "train cloud.obd", 2, "train needs -o MAP.obm"},
        {"start map and sizes", "train cloud.obd -o x.obm --map rect.obm --rows 4", 2, "does not go with --map"},
        {"lambda out of range", "train cloud.obd -o x.obm --lambda 0", 2,
         "--lambda expects a number from 1E-6 to 1000"},
        {"bad cap", "train cloud.obd -o x.obm --max-iter -2", 2, "--max-iter expects a whole number from -1"},
        {"absent start map", "train cloud.obd -o x.obm --map none.obm", 1, "none.obm"},
        {"no way to grow", "grow rect.obm -o x.obm", 2, "exactly one of"},
        {"two ways", "grow rect.obm -o x.obm --ring --interpolate 1,1,1,1", 2, "exactly one of"},
        {"short list", "grow rect.obm -o x.obm --extrapolate 1,2", 2, "4 whole numbers"},
        {"ring on a rectangle", "grow rect.obm -o x.obm --ring", 1, "circle maps only"},
        {"amounts on a circle", "grow ring.obm -o x.obm --extrapolate 1,1,1,1", 1, "with --ring"},
        {"shrunk away", "grow rect.obm -o x.obm --extrapolate -1,-1,0,0", 1, "fewer than two"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        EXPECT_EQ("", run.Out);
        EXPECT_EQ(0u, run.Err.find("orbelin-cli: ")) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n')) << run.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.obm")));
}

} // namespace
} // namespace orbelin

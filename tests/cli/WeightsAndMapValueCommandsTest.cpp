// orbelin-cli weights, pca and train with --weights RULE, timeseries and mapvalue, as a
// user runs them: the numbers against closed forms, the written files, and the errors.
#include "TestUtil.h"
#include "cli/CliFixtures.h"
#include "cli/JsonReader.h"
#include "coloring/Projection.h"
#include "data/PointStyle.h"
#include "map/MapFile.h"
#include "map/TMap.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin {
namespace {

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// Four points around (3, 2) in fields X and Y, a weight field W, a kind; records 0 and 2
// red, 1 and 3 blue. No normalisation: the points are the table's numbers.
std::string WriteSquare(const test::TTempDir& dir)
{
    data::TDataTable table = test::MakeTable(
        {{"X", TFieldType::Float}, {"Y", TFieldType::Float}, {"W", TFieldType::Float}, {"kind", TFieldType::String}},
        {{"2", "1", "0.5", "a"}, {"4", "1", "1", "b"}, {"2", "3", "1.5", "b"}, {"4", "3", "", "b"}}, "square");
    table.PointStyles[0][FILLCOLOR] = table.PointStyles[2][FILLCOLOR] = Red;
    table.PointStyles[1][FILLCOLOR] = table.PointStyles[3][FILLCOLOR] = Blue;
    data::SaveTable(table, dir.File("square.obt"));
    data::TData dataset;
    dataset.Name = "square";
    dataset.Table = &table;
    std::vector<data::TFieldChoice> choices(4);
    choices[0].Use = choices[1].Use = true;
    EXPECT_TRUE(data::BuildFromTable(dataset, choices).Built);
    data::Normalise(dataset);
    data::WriteDatasetFile(dataset, dir.File("square.obd"));
    return Quoted(dir.File("square.obd"));
}

std::vector<double> Numbers(const test::TJson& array)
{
    std::vector<double> numbers;
    for (const test::TJson& item : array.Items)
        numbers.push_back(item.Kind == test::TJson::TKind::Null ? NAN : item.Number);
    return numbers;
}

void ExpectNear(const std::vector<double>& expected, const std::vector<double>& actual, double tolerance)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(expected[i], actual[i], tolerance) << "entry " << i;
}

TEST(WeightsCommandTest, EveryRulePrintsOneWeightPerPoint)
{
    test::TTempDir dir;
    const std::string square = WriteSquare(dir);
    const double e = std::exp(1.0);
    struct TCase {
        const char* Name;
        std::string Options;
        std::vector<double> Expected;
    };
    const TCase cases[] = {
        {"class, by colour", "--rule class", {1, 1, 1, 1}},
        // kind: one a, three b.
        {"class, by a field", "--rule class --class-field kind", {3, 1, 1, 1}},
        {"one class by colour", "--rule one-class --class '#ff0000'", {1, 0, 1, 0}},
        {"one class by field value", "--rule one-class --class-field kind --class b", {0, 1, 1, 1}},
        // Each point sqrt(2) from the mean (3, 2).
        {"radial, R^2 about the mean", "--rule radial", {2, 2, 2, 2}},
        {"radial, exp(R^2 / 2)", "--rule radial --function exp-square --a 0.5", {e, e, e, e}},
        {"radial, squared distance from the origin", "--rule radial --no-average", {5, 17, 13, 25}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, "weights " + square + " " + c.Options);
        ASSERT_EQ(0, run.Status) << run.Err;
        const test::TJson json = test::TJsonReader(run.Out).Read();
        EXPECT_EQ(1u, json.Size());
        ExpectNear(c.Expected, Numbers(json["weights"]), 1e-12);
    }
}

TEST(WeightsCommandTest, BadRulesAndCellsAreRefused)
{
    test::TTempDir dir;
    const std::string square = WriteSquare(dir);
    struct TCase {
        const char* Name;
        std::string Options;
        int Status;
        std::string Message;
    };
    const TCase cases[] = {
        {"empty weight cell", "--rule field:W", 1, "'' is not a valid floating point value"},
        {"no such field", "--rule field:V", 1, "the table square.OBT has no field \"V\" (its fields: X, Y, W, kind)"},
        {"field not numeric", "--rule field:kind", 1, "the field kind of square.OBT is not numeric"},
        {"no such class field", "--rule class --class-field V", 1, "--class-field: the table square.OBT has no field"},
        {"no such class", "--rule one-class --class-field kind --class c", 1,
         "--class: the field kind has no class \"c\""},
        {"one class without a class", "--rule one-class", 2, "the rule one-class needs --class VALUE"},
        {"colour that is none", "--rule one-class --class red", 2, "--class expects a colour #rrggbb"},
        {"unknown rule", "--rule heavy", 2, "--rule expects class, one-class, radial or field:NAME"},
        {"setting of another rule", "--rule class --a 3", 2, "--a does not apply to the rule class"},
        {"infinite weight", "--rule radial --function exp --a 1e300", 1, "is not a finite number"},
        {"no rule", "", 2, "weights needs --rule"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, "weights " + square + " " + c.Options);
        EXPECT_EQ(c.Status, run.Status) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Message)) << run.Err;
        EXPECT_EQ("", run.Out);
    }
}

TEST(WeightsCommandTest, PcaTakesTheRuleOfWeights)
{
    test::TTempDir dir;
    const std::string square = WriteSquare(dir);
    // Only the red points (2, 1) and (2, 3) weigh: the centre is their mean and the first
    // component runs along Y.
    const TRun run = RunCli(dir, "pca " + square + " --weights one-class --class '#ff0000' --components 1");
    ASSERT_EQ(0, run.Status) << run.Err;
    const test::TJson json = test::TJsonReader(run.Out).Read();
    ExpectNear({2, 2}, Numbers(json["centre"]), 1e-12);
    const std::vector<double> first = Numbers(json["components"][0]);
    ExpectNear({0, 1}, {std::fabs(first.at(0)), std::fabs(first.at(1))}, 1e-6);

    // Alone, --weights keeps meaning the class sizes; its settings go only with it.
    const TRun bare = RunCli(dir, "pca " + square + " --components 1 --weights");
    ASSERT_EQ(0, bare.Status) << bare.Err;
    ExpectNear({3, 2}, Numbers(test::TJsonReader(bare.Out).Read()["centre"]), 1e-12);
    const TRun stray = RunCli(dir, "pca " + square + " --class-field kind");
    EXPECT_EQ(2, stray.Status);
    EXPECT_NE(std::string::npos, stray.Err.find("--class-field goes with --weights")) << stray.Err;
    const TRun bad = RunCli(dir, "pca " + square + " --weights heavy");
    EXPECT_EQ(2, bad.Status);
    EXPECT_NE(std::string::npos, bad.Err.find("expects class, one-class, radial or field:NAME, found \"heavy\""))
        << bad.Err;
}

// Thirty points of four coordinates on a plane, in their order.
std::string WritePlane(const test::TTempDir& dir)
{
    TArray2S rows;
    for (int i = 0; i < 30; ++i) {
        const double a = (i * 7 % 11) / 5.0, b = (i * 5 % 13) / 4.0;
        rows.push_back(
            {data::GeneralText(a), data::GeneralText(a + b), data::GeneralText(2 - b), data::GeneralText(2 * b - a)});
    }
    data::TDataTable table = test::MakeTable(
        {{"A", TFieldType::Float}, {"B", TFieldType::Float}, {"C", TFieldType::Float}, {"D", TFieldType::Float}}, rows,
        "plane");
    data::SaveTable(table, dir.File("plane.obt"));
    data::TData dataset;
    dataset.Name = "plane";
    dataset.Table = &table;
    EXPECT_TRUE(data::BuildFromTable(dataset, std::vector<data::TFieldChoice>(4, {true})).Built);
    data::Normalise(dataset);
    data::WriteDatasetFile(dataset, dir.File("plane.obd"));
    return Quoted(dir.File("plane.obd"));
}

TEST(TimeSeriesCommandTest, WindowsOfAPlaneHaveDimensionTwo)
{
    test::TTempDir dir;
    const std::string plane = WritePlane(dir);
    const TRun run = RunCli(dir, "timeseries " + plane + " --dimension --quality 0.999 --width 8");
    ASSERT_EQ(0, run.Status) << run.Err;
    const test::TJson json = test::TJsonReader(run.Out).Read();
    EXPECT_EQ("Effective dimension of window", json["title"].Text);
    // r = 9 .. 29 at r - 4.
    std::vector<double> x;
    for (int r = 9; r < 30; ++r)
        x.push_back(r - 4);
    EXPECT_EQ(x, Numbers(json["x"]));
    EXPECT_EQ(std::vector<double>(x.size(), 2.0), Numbers(json["y"]));

    const TRun share = RunCli(dir, "timeseries " + plane + " --fraction --components 2 --from 20 --to 40");
    ASSERT_EQ(0, share.Status) << share.Err;
    const test::TJson shares = test::TJsonReader(share.Out).Read();
    EXPECT_EQ("Part of pric.comp.", shares["title"].Text);
    // Windows of five from r = 25 to 31 (ending at point 30); r = 32 .. 39 would not fit.
    EXPECT_EQ((std::vector<double>{23, 24, 25, 26, 27, 28, 29}), Numbers(shares["x"]));
    ExpectNear(std::vector<double>(7, 1.0), Numbers(shares["y"]), 1e-6);
    EXPECT_EQ(8, shares["outside_windows"].Number);

    for (const char* options : {"", "--dimension --fraction", "--dimension --components 2", "--fraction --quality 1"}) {
        SCOPED_TRACE(options);
        EXPECT_EQ(2, RunCli(dir, "timeseries " + plane + " " + options).Status);
    }
}

// A 6 x 6 map initialised along the principal components of the plane points.
std::string WritePlaneMap(const test::TTempDir& dir, const std::string& plane)
{
    const TRun init = RunCli(dir, "init " + plane + " --rows 6 --cols 6 --seed 3 -o " + Quoted(dir.File("m.obm")));
    EXPECT_EQ(0, init.Status) << init.Err;
    return Quoted(dir.File("m.obm"));
}

struct TReadMap {
    data::TDataTable Table;
    data::TData Dataset;
    map::TMap* Map = nullptr;
    TReadMap(const test::TTempDir& dir, const std::string& map)
    {
        data::LoadDatasetWithTable(dir.File("plane.obd"), Dataset, Table);
        Map = &map::AddMap(Dataset, "m");
        EXPECT_TRUE(map::ReadMapFileFrom(Dataset, dir.File(map)));
    }
};

TEST(MapValueCommandTest, MoveTurnsAndShiftsTheWrittenMap)
{
    test::TTempDir dir;
    const std::string plane = WritePlane(dir);
    const std::string map = WritePlaneMap(dir, plane);
    const TReadMap before(dir, "m.obm");
    struct TCase {
        const char* Name;
        std::string Move;
        double Shift; // along the first component
        double Tolerance;
    };
    const TCase cases[] = {
        {"still", "0,0,0,0,0,0", 0, 0},
        {"full turns", "50,50,50,0,0,0", 0, 1e-5},
        {"one component along", "0,0,0,50,0,0", 1, 1e-12},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, "mapvalue " + map + " --move " + c.Move + " -o " + Quoted(dir.File("moved.obm")));
        ASSERT_EQ(0, run.Status) << run.Err;
        EXPECT_EQ("{\"nodes\":36,\"file\":\"" + dir.File("moved.obm") + "\"}\n", run.Out);
        const TReadMap moved(dir, "moved.obm");
        for (std::size_t i = 0; i < 36; ++i)
            for (std::size_t k = 0; k < 4; ++k)
                EXPECT_NEAR(before.Map->Grid->Nodes[i][k] + c.Shift * before.Map->Components[0][k],
                            moved.Map->Grid->Nodes[i][k], c.Tolerance + 1e-12);
    }
}

TEST(MapValueCommandTest, SubtractProjectionsAndComponentsOfTheNodes)
{
    test::TTempDir dir;
    const std::string plane = WritePlane(dir);
    const std::string map = WritePlaneMap(dir, plane);
    const TReadMap original(dir, "m.obm");

    const TRun columns = RunCli(dir, "mapvalue " + map + " --projections");
    ASSERT_EQ(0, columns.Status) << columns.Err;
    const test::TJson xy = test::TJsonReader(columns.Out).Read();
    ASSERT_EQ(30u, xy["X"].Size());
    ASSERT_EQ(30u, xy["Y"].Size());
    coloring::EnsureProjections(*original.Map);
    EXPECT_NEAR(original.Map->Projections[4][0], xy["X"][4].Number, 0.005 + 1e-12);
    EXPECT_NEAR(original.Map->Projections[4][1], xy["Y"][4].Number, 0.005 + 1e-12);

    const TRun subtract = RunCli(dir, "mapvalue " + map + " --subtract -o " + Quoted(dir.File("rest.obd")));
    ASSERT_EQ(0, subtract.Status) << subtract.Err;
    EXPECT_EQ("{\"points\":30,\"file\":\"" + dir.File("rest.obd") + "\"}\n", subtract.Out);
    data::TDataTable table;
    data::TData rest;
    data::LoadDatasetWithTable(dir.File("rest.obd"), rest, table);
    const coloring::TPointProjection foot =
        coloring::ProjectToClosestPoint(*original.Map->Grid, original.Dataset.Points[4]);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(original.Dataset.Points[4][k] - foot.Point[k], rest.Points[4][k], 1e-6);

    const TRun recalc = RunCli(dir, "mapvalue " + map + " --recalc-pc -o " + Quoted(dir.File("pc.obm")));
    ASSERT_EQ(0, recalc.Status) << recalc.Err;
    const test::TJson pc = test::TJsonReader(recalc.Out).Read();
    ASSERT_EQ(4u, pc["components"].Size());
    const TReadMap written(dir, "pc.obm");
    ExpectNear(Numbers(pc["components"][0]), written.Map->Components[0], 1e-12);
    double norm = 0;
    for (double v : written.Map->Components[0])
        norm += v * v;
    EXPECT_NEAR(1, norm, 1e-9);

    struct TCase {
        const char* Name;
        std::string Options;
        std::string Message;
    };
    const TCase errors[] = {
        {"no command", "", "exactly one of --subtract, --projections, --recalc-pc and --move"},
        {"two commands", "--projections --recalc-pc -o x.obm", "exactly one of"},
        {"no output", "--subtract", "needs -o OUT.obd"},
        {"wrong output", "--recalc-pc -o x.obd", "must end in .obm"},
        {"a file for the columns", "--projections -o x.obm", "--projections prints the columns"},
        {"rotation below 0", "--move -1,0,0,0,0,0 -o x.obm", "rotations of --move run from 0 to 100"},
        {"five numbers", "--move 1,2,3,4,5 -o x.obm", "--move"},
    };
    for (const TCase& c : errors) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, "mapvalue " + map + " " + c.Options);
        EXPECT_EQ(2, run.Status) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Message)) << run.Err;
    }
}

} // namespace
} // namespace orbelin

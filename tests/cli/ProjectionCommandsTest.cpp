// orbelin-cli machine, ica, biplot and export --rays on dataset files written for the test.
#include "CliFixtures.h"
#include "JsonReader.h"
#include "view/PointSetFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace orbelin {
namespace {

using test::ReadJson;

// A table of x, y and a class name ("a" where x + 2y > 3, else "b"), whose dataset uses x
// and y without normalisation; written as name.obt and name.obd.
TArray2S ClassRows()
{
    TArray2S rows;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 5; ++j) {
            const double x = i * 0.5, y = j * 0.5;
            if (std::fabs(x + 2 * y - 3) < 0.4)
                continue;
            rows.push_back({data::GeneralText(x), data::GeneralText(y), x + 2 * y > 3 ? "a" : "b"});
        }
    return rows;
}

std::string WriteClassDataset(const test::TTempDir& dir, const std::string& name, const TArray2S& rows)
{
    data::TDataTable table = test::MakeTable(
        {{"x", TFieldType::Float}, {"y", TFieldType::Float}, {"kind", TFieldType::String}}, rows, name);
    data::SaveTable(table, dir.File(name + ".obt"));
    data::TData dataset;
    dataset.Name = name;
    dataset.Table = &table;
    EXPECT_TRUE(data::BuildFromTable(dataset, {{true}, {true}, {false}}).Built);
    data::Normalise(dataset);
    data::WriteDatasetFile(dataset, dir.File(name + ".obd"));
    return Quoted(dir.File(name + ".obd"));
}

double Score(const test::TJson& coefficients, double x, double y)
{
    return coefficients[0].Number + coefficients[1].Number * x + coefficients[2].Number * y;
}

TEST(ProjectionCommandsTest, MachineAddsAndFindsRulesInTheOrderGiven)
{
    test::TTempDir dir;
    const TArray2S rows = ClassRows();
    const std::string dataset = WriteClassDataset(dir, "classes", rows);
    // The table to test on: the same layout, three records of its own.
    test::WriteBytes(dir.File("other.csv"), "x,y,kind\n3,2,a\n0,0,b\n0.5,2,a\n");

    const TRun run = RunCli(dir, "machine " + dataset + " --class-field kind --class a --rule x,y --find-best y " +
                                     "--test-table " + Quoted(dir.File("other.csv")));
    ASSERT_EQ(0, run.Status) << run.Err;
    const test::TJson json = ReadJson(run.Out);
    const test::TJson& rules = json["rules"];
    ASSERT_EQ(2u, rules.Size());
    ASSERT_EQ(2u, rules[0]["fields"].Size());
    EXPECT_EQ("x", rules[0]["fields"][0].Text);
    EXPECT_EQ("y", rules[0]["fields"][1].Text);
    // The first rule separates the class: every record on its side.
    int members = 0;
    for (const TArray1S& row : rows) {
        const bool a = row[2] == "a";
        members += a ? 1 : 0;
        EXPECT_EQ(a, Score(rules[0]["coefficients"], std::stod(row[0]), std::stod(row[1])) > 0) << row[0] << "," << row[1];
    }
    EXPECT_EQ(members, rules[0]["tp"].Number);
    EXPECT_EQ(static_cast<double>(rows.size()) - members, rules[0]["tn"].Number);
    EXPECT_EQ(0, rules[0]["fp"].Number + rules[0]["fn"].Number);
    EXPECT_EQ(1, rules[0]["sn"].Number);
    EXPECT_EQ(1, rules[0]["sp"].Number);
    EXPECT_GT(rules[0]["margin"].Number, 0);
    EXPECT_NE(std::string::npos, rules[0]["text"].Text.find("x"));
    EXPECT_EQ("y", rules[1]["fields"][0].Text);
    EXPECT_EQ(3u, rules[1]["coefficients"].Size()) << "the constant, its field and the previous output";
    EXPECT_NE(std::string::npos, rules[1]["text"].Text.find('*'));

    const test::TJson& protocol = json["protocol"];
    EXPECT_EQ("Starting find the best...", protocol[0].Text);
    const test::TJson& test = json["test"];
    EXPECT_EQ("other.OBT", test["table"].Text);
    EXPECT_EQ(3, test["records"].Number);
    ASSERT_EQ(2u, test["rules"].Size());
    EXPECT_EQ(2, test["rules"][0]["tp"].Number);
    EXPECT_EQ(1, test["rules"][0]["tn"].Number);
    bool tested = false;
    for (const test::TJson& line : protocol.Items)
        tested = tested || line.Text == "Testing on table other.OBT...";
    EXPECT_TRUE(tested);

    // Without a list "--find-best" tries every field no rule uses; without a test table
    // there is no "test".
    const TRun again = RunCli(dir, "machine " + dataset + " --class-field kind --class a --find-best --rule x");
    ASSERT_EQ(0, again.Status) << again.Err;
    const test::TJson second = ReadJson(again.Out);
    EXPECT_THROW(second["test"], std::runtime_error);
    EXPECT_EQ(1u, second["rules"][0]["fields"].Size());
    EXPECT_EQ("x", second["rules"][1]["fields"][0].Text);
    std::size_t tried = 0;
    for (const test::TJson& line : second["protocol"].Items)
        tried += line.Text.rfind("Er=", 0) == 0 ? 1 : 0;
    EXPECT_GE(tried, 1u);
}

TEST(ProjectionCommandsTest, MachineRefusesBadClassesFieldsAndTables)
{
    test::TTempDir dir;
    const std::string dataset = WriteClassDataset(dir, "classes", ClassRows());
    test::WriteBytes(dir.File("swapped.csv"), "y,x,kind\n1,2,a\n");
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"unknown class field", "--class-field sort --class a --rule x", 1, "has no field \"sort\""},
        {"class without points", "--class-field kind --class c --rule x", 1, "no point of the dataset has kind = c"},
        {"no rule", "--class-field kind --class a", 2, "needs at least one --rule or --find-best"},
        {"unknown rule field", "--class-field kind --class a --rule x,z", 1, "no field \"z\""},
        {"no field left to try", "--class-field kind --class a --rule x,y --find-best", 1, "every field"},
        {"iterations out of range", "--class-field kind --class a --iterations -1 --rule x", 2, "--iterations"},
        {"table of another layout",
         "--class-field kind --class a --rule x --test-table " + Quoted(dir.File("swapped.csv")), 1,
         "same fields in the same order"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, "machine " + dataset + " " + c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ("", run.Out);
    }
}

// Two independent sources, uniform and two-peaked, mixed into three fields.
std::string WriteMixedDataset(const test::TTempDir& dir)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> uniform(-1, 1);
    std::bernoulli_distribution coin(0.5);
    TArray2S rows;
    for (int p = 0; p < 300; ++p) {
        const double s = uniform(random), t = (coin(random) ? 1 : -1) + 0.2 * uniform(random);
        rows.push_back({data::GeneralText(s + 0.5 * t), data::GeneralText(0.3 * s - t), data::GeneralText(s + t)});
    }
    data::TDataTable table = test::MakeTable(
        {{"a", TFieldType::Float}, {"b", TFieldType::Float}, {"c", TFieldType::Float}}, rows, "mixed");
    data::SaveTable(table, dir.File("mixed.obt"));
    data::TData dataset;
    dataset.Name = "mixed";
    dataset.Table = &table;
    EXPECT_TRUE(data::BuildFromTable(dataset, std::vector<data::TFieldChoice>(3, {true})).Built);
    data::Normalise(dataset);
    data::WriteDatasetFile(dataset, dir.File("mixed.obd"));
    return Quoted(dir.File("mixed.obd"));
}

TEST(ProjectionCommandsTest, IcaPrintsVectorsDirectionsCentreAndLog)
{
    test::TTempDir dir;
    const std::string dataset = WriteMixedDataset(dir);
    const TRun run = RunCli(dir, "ica " + dataset + " --vectors 2 --dimension 2 --seed 4");
    ASSERT_EQ(0, run.Status) << run.Err;
    const test::TJson json = ReadJson(run.Out);
    EXPECT_EQ(test::TJson::TKind::Bool, json["white"].Kind);
    ASSERT_EQ(2u, json["vectors"].Size());
    ASSERT_EQ(2u, json["directions"].Size());
    for (std::size_t j = 0; j < 2; ++j) {
        ASSERT_EQ(2u, json["vectors"][j].Size());
        EXPECT_NEAR(1, std::hypot(json["vectors"][j][0].Number, json["vectors"][j][1].Number), 1e-9);
        EXPECT_EQ(3u, json["directions"][j].Size()) << "one entry per dataset field";
    }
    EXPECT_EQ(3u, json["centre"].Size());
    ASSERT_EQ(2u, json["log"].Size());
    EXPECT_GE(json["log"][0]["iterations"].Number, 0);
    const test::TJson& lines = json["lines"];
    EXPECT_EQ("Whitening data...", lines[0].Text);
    EXPECT_EQ("B:", lines[3].Text.substr(0, 2));
    EXPECT_EQ("Finished...", lines[5].Text);
    EXPECT_EQ(9u, lines.Size());
    // The same seed repeats the run.
    EXPECT_EQ(run.Out, RunCli(dir, "ica " + dataset + " --vectors 2 --dimension 2 --seed 4").Out);

    const test::TJson white = ReadJson(RunCli(dir, "ica " + dataset + " --only-white --method exp").Out);
    ASSERT_EQ(3u, white["vectors"].Size());
    EXPECT_EQ(1, white["vectors"][1][1].Number);
    EXPECT_EQ(0u, white["log"].Size());

    struct TCase {
        const char* Name;
        const char* Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"sample size 0", "--sample 0", 1, "\"Sample size\" is 0%"},
        {"dimension 0", "--dimension 0", 1, "\"New dimension\" is 0"},
        {"unknown method", "--method tanh", 2, "--method"},
        {"sample above 100", "--sample 120", 2, "--sample"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun bad = RunCli(dir, "ica " + dataset + " " + c.Arguments);
        EXPECT_EQ(c.Status, bad.Status);
        EXPECT_NE(std::string::npos, bad.Err.find(c.Fragment)) << bad.Err;
    }
}

// A dual-space set for three fields: the first and the third become rays, in a colour
// nothing else of the scene has.
std::string WriteDualStyles(const test::TTempDir& dir)
{
    view::TStyleSet set;
    for (int f = 0; f < 3; ++f)
        set.push_back({f == 1 ? 0 : 1, 2, 6, 0x336699, 0x336699, 1, 0, 0});
    const std::string path = dir.File("dual.obc");
    view::WriteStyleSets(path, {set}, {"fields"});
    return Quoted(path);
}

TEST(ProjectionCommandsTest, BiplotPrintsTheRaysOfTheSelectedFields)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "d");
    const std::string dataset = Quoted(dir.File("d.obd")), styles = WriteDualStyles(dir);
    const TRun run = RunCli(dir, "biplot " + dataset + " --styles " + styles);
    ASSERT_EQ(0, run.Status) << run.Err;
    const test::TJson json = ReadJson(run.Out);
    EXPECT_EQ("2 selected points from 3", json["status"].Text);
    ASSERT_EQ(2u, json["rays"].Size());
    EXPECT_EQ("F0", json["rays"][0]["field"].Text);
    EXPECT_EQ("F2", json["rays"][1]["field"].Text);
    EXPECT_EQ(-3, json["rays"][1]["start"][2].Number);
    EXPECT_EQ(0, json["rays"][1]["start"][0].Number);
    EXPECT_EQ(3, json["rays"][1]["end"][2].Number);

    const test::TJson met = ReadJson(RunCli(dir, "biplot " + dataset + " --styles " + styles + " --scale -3").Out);
    EXPECT_NEAR(0.01, met["rays"][0]["start"][0].Number, 1e-12);
    EXPECT_NEAR(0.01, met["rays"][0]["end"][0].Number, 1e-12);

    const TRun missing = RunCli(dir, "biplot " + dataset + " --styles " + Quoted(dir.File("none.obc")));
    EXPECT_EQ(1, missing.Status);
    EXPECT_NE(std::string::npos, missing.Err.find("none.obc")) << missing.Err;
    EXPECT_EQ(2, RunCli(dir, "biplot " + dataset + " --styles " + styles + " --scale 101").Status);
    EXPECT_EQ(2, RunCli(dir, "biplot " + dataset).Status);
}

TEST(ProjectionCommandsTest, ExportShowsTheRaysOfABiplot)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "d");
    const std::string map = Quoted(dir.File("m.obm"));
    ASSERT_EQ(0, RunCli(dir, "init " + Quoted(dir.File("d.obd")) + " -o " + map).Status);
    const std::string styles = WriteDualStyles(dir);

    const TRun plain = RunCli(dir, "export " + map + " --view pca --vrml " + Quoted(dir.File("plain.wrl")));
    ASSERT_EQ(0, plain.Status) << plain.Err;
    const TRun rays = RunCli(dir, "export " + map + " --view pca --vrml " + Quoted(dir.File("rays.wrl")) +
                                      " --rays " + styles + " --ray-scale 1");
    ASSERT_EQ(0, rays.Status) << rays.Err;
    EXPECT_EQ(2, ReadJson(rays.Out)["rays"].Number);
    EXPECT_THROW(ReadJson(plain.Out)["rays"], std::runtime_error);
    // The rays' colour (0x336699: red 0.6, green 0.4, blue 0.2) is in the scene only with them.
    EXPECT_EQ(std::string::npos, test::ReadBytes(dir.File("plain.wrl")).find("0.60 0.40 0.20"));
    EXPECT_NE(std::string::npos, test::ReadBytes(dir.File("rays.wrl")).find("0.60 0.40 0.20"));

    const TRun unscaled = RunCli(dir, "export " + map + " --vrml " + Quoted(dir.File("x.wrl")) + " --ray-scale 1");
    EXPECT_EQ(2, unscaled.Status);
    EXPECT_NE(std::string::npos, unscaled.Err.find("--ray-scale")) << unscaled.Err;
}

} // namespace
} // namespace orbelin

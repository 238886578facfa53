// orbelin-cli dataset and info on every kind of table and on datasets.
#include "CliRun.h"
#include "data/DatasetBuild.h"
#include "data/DatasetFile.h"
#include "data/TDataTable.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace orbelin {
namespace {

using test::RunCli;
using test::TRun;

const std::string Fixtures = ORBELIN_FIXTURES;
const std::string PublicData = ORBELIN_PUBLIC_DATA;

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

TEST(DatasetCommandTest, WritesADatasetAndItsTableThatReadBack)
{
    test::TTempDir dir;
    const std::string out = dir.File("wine.obd");
    const TRun run = RunCli("dataset " + Quoted(PublicData + "/wine.csv") + " -o " + Quoted(out) +
                            " --fields alcohol,magnesium,proline --log proline --range=magnesium");
    ASSERT_EQ(0, run.Status) << run.Err;
    EXPECT_EQ("", run.Err);

    // The same dataset built in this process is the reference.
    data::TDataTable table;
    data::LoadTable(table, PublicData + "/wine.csv", data::TTableKind::Csv);
    std::vector<data::TFieldChoice> choices(static_cast<std::size_t>(table.FieldCount));
    choices[0] = {true, false, false, false, true};
    choices[4] = {true, false, false, true, true};
    choices[12] = {true, true, false, false, true};
    data::TData expected;
    expected.Table = &table;
    ASSERT_TRUE(data::BuildFromTable(expected, choices).Built);
    data::Normalise(expected);
    EXPECT_EQ(0u, run.Out.find("{\"points\":178,\"coords\":3,\"coord_names\":[\"alcohol\",\"magnesium\",\"proline\"],"
                               "\"normstat\":[[11.03,14.83,"));
    // Three rows of eight numbers.
    const std::string normstat = run.Out.substr(run.Out.find("\"normstat\""));
    EXPECT_EQ(4, std::count(normstat.begin(), normstat.end(), '['));
    EXPECT_EQ(3 * 7 + 2, std::count(normstat.begin(), normstat.end(), ','));
    EXPECT_EQ("]]}\n", run.Out.substr(run.Out.size() - 4));

    // The pair reads back: the table beside the dataset under its Name.
    data::TData back;
    data::TDataTable backTable;
    std::vector<data::TFieldChoice> backChoices;
    data::LoadDatasetWithTable(out, back, backTable, &backChoices);
    EXPECT_EQ("wine", back.Name);
    EXPECT_EQ("wine.OBT", backTable.Name);
    EXPECT_EQ(table.Values, backTable.Values);
    EXPECT_EQ(expected.CoordNames, back.CoordNames);
    EXPECT_EQ((TArray1B{false, false, true}), back.LogFlags);
    EXPECT_EQ((TArray1B{false, true, false}), back.RangeFlags);
    EXPECT_EQ((TArray1B{true, true, true}), back.StdFlags);
    EXPECT_TRUE(backChoices[12].Log);
    ASSERT_EQ(expected.PointCount, back.PointCount);
    for (int i = 0; i < back.PointCount; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(expected.Points[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)],
                        back.Points[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)], 5e-7)
                << i << " " << k;

    const TRun info = RunCli("info " + Quoted(out));
    ASSERT_EQ(0, info.Status) << info.Err;
    EXPECT_EQ("{\"kind\":\"dataset\",\"name\":\"wine\",\"table\":\"wine.OBT\",\"points\":178,\"coords\":3,"
              "\"coord_names\":[\"alcohol\",\"magnesium\",\"proline\"],\"exclude_gaps\":false}\n",
              info.Out);
}

TEST(DatasetCommandTest, StandardDeviationAndGapOptions)
{
    test::TTempDir dir;
    const std::string table = dir.File("gaps.csv");
    test::WriteBytes(table, "a,b,c\n1,2,x\n,4,y\n3,,z\n5,6,w\n7,8,\"1,5\"\n");
    struct TCase {
        const char* Name;
        const char* Options;
        TArray1B Std;
        int Points;
        bool ExcludeGaps;
    };
    const TCase cases[] = {
        {"every used field by default", "--fields a,b", {true, true}, 5, false},
        {"--std names them", "--fields a,b --std b", {false, true}, 5, false},
        {"--no-std", "--fields A,b --no-std", {false, false}, 5, false},
        {"--exclude-gaps", "--fields a,b --exclude-gaps", {true, true}, 3, true},
        {"only the used fields count for gaps", "--fields=b --exclude-gaps", {true}, 4, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string out = dir.File("gaps.obd");
        const TRun run = RunCli("dataset " + Quoted(table) + " -o " + Quoted(out) + " " + c.Options);
        ASSERT_EQ(0, run.Status) << run.Err;
        data::TData back;
        data::TDataTable backTable;
        data::LoadDatasetWithTable(out, back, backTable);
        EXPECT_EQ(c.Std, back.StdFlags);
        EXPECT_EQ(c.Points, back.PointCount);
        EXPECT_EQ(c.ExcludeGaps, back.ExcludeGaps);
        EXPECT_EQ(0u, run.Out.find("{\"points\":" + std::to_string(c.Points) + ","));
    }
}

TEST(DatasetCommandTest, UnreadableValuesAreMissingAndReported)
{
    test::TTempDir dir;
    const std::string table = dir.File("t.dat");
    test::WriteBytes(table, "2 3\nX FLOAT\nY FLOAT\n1 2\nabc 4\n5 6\n");
    const TRun run = RunCli("dataset " + Quoted(table) + " -o " + Quoted(dir.File("t.obd")) + " --fields X,Y");
    ASSERT_EQ(0, run.Status) << run.Err;
    EXPECT_NE(std::string::npos, run.Err.find("warning: 1 values of the chosen fields are not numbers and count "
                                              "as missing (the first in record 2, field X)"))
        << run.Err;
    data::TData back;
    data::TDataTable backTable;
    data::LoadDatasetWithTable(dir.File("t.obd"), back, backTable);
    EXPECT_TRUE(IsMissing(back.Points[1][0]));
}

TEST(DatasetCommandTest, BadUsageAndBadInputAreOneLineErrors)
{
    test::TTempDir dir;
    const std::string iris = Quoted(PublicData + "/iris.csv");
    const std::string out = Quoted(dir.File("o.obd"));
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no table", "dataset -o " + out + " --fields a", 2, "dataset needs a TABLE"},
        {"no output", "dataset " + iris + " --fields a", 2, "dataset needs -o OUT.obd"},
        {"no fields", "dataset " + iris + " -o " + out, 2, "dataset needs --fields A,B,..."},
        {"output not .obd", "dataset " + iris + " -o x.txt --fields a", 2, "must end in .obd"},
        {"unknown table kind", "dataset notes.txt -o " + out + " --fields a", 2, "is not a table file"},
        {"unknown option", "dataset " + iris + " -o " + out + " --fields a --frob", 2, "unknown option \"--frob\""},
        {"option twice", "dataset " + iris + " -o " + out + " --fields a --fields b", 2, "--fields is given twice"},
        {"missing value", "dataset " + iris + " -o " + out + " --fields", 2, "--fields needs a value"},
        {"std and no-std", "dataset " + iris + " -o " + out + " --fields a --std a --no-std", 2, "exclude each other"},
        {"unknown field", "dataset " + iris + " -o " + out + " --fields petal,sepal_length_cm", 2,
         "--fields: the table iris.OBT has no field petal"},
        {"text field", "dataset " + iris + " -o " + out + " --fields species", 2,
         "the field species is of type STRING, not numeric"},
        {"empty name", "dataset " + iris + " -o " + out + " --fields sepal_length_cm,", 2, "empty field name"},
        {"step of an unused field", "dataset " + iris + " -o " + out + " --fields sepal_length_cm --log petal_width_cm",
         2, "--log: the field petal_width_cm is not among --fields"},
        {"absent table", "dataset /nonexistent/t.csv -o " + out + " --fields a", 1,
         "cannot open file /nonexistent/t.csv"},
        {"no records", "dataset " + Quoted(dir.File("empty.dat")) + " -o " + out + " --fields X", 1,
         "the table has no records"},
    };
    test::WriteBytes(dir.File("empty.dat"), "1 0\nX FLOAT\n");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        EXPECT_EQ(0u, run.Err.find("orbelin-cli: ")) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n'));
        EXPECT_EQ("", run.Out);
    }
}

// Texts with quotes and characters outside Windows-1251 go through a dataset, a project
// save and a reopen unchanged.
TEST(DatasetCommandTest, EveryTextOfACsvSurvivesTheDatasetAndTheProject)
{
    test::TTempDir dir;
    const std::string csv = Fixtures + "/hostile/texts.csv";
    const TRun dataset = RunCli("dataset " + Quoted(csv) + " -o " + Quoted(dir.File("texts.obd")) + " --fields value");
    ASSERT_EQ(0, dataset.Status) << dataset.Err;
    const TRun project = RunCli("project " + Quoted(dir.File("p.obp")) + " " + Quoted(dir.File("texts.obd")));
    ASSERT_EQ(0, project.Status) << project.Err;
    const TRun info = RunCli("info " + Quoted(dir.File("p.obp")));
    ASSERT_EQ(0, info.Status) << info.Err;
    EXPECT_EQ("", info.Err);

    data::TDataTable source, saved;
    data::LoadTable(source, csv, data::TTableKind::Csv);
    data::LoadTable(saved, dir.File("texts.OBT"), data::TTableKind::TableFile);
    EXPECT_EQ(source.Values, saved.Values);
    EXPECT_EQ("She said \"hi\"", saved.Values[0][1]);
    EXPECT_EQ("\xF0\x9F\x98\x80 ok", saved.Values[5][1]);
    EXPECT_EQ(0u, test::ReadBytes(dir.File("texts.OBT")).find("# ENCODING UTF-8\r\n"));
}

// Building a dataset beside its own table file never writes over that file.
TEST(DatasetCommandTest, TheSourceTableIsNeverRewritten)
{
    test::TTempDir dir;
    // Padded as hand-made and older files are; a rewrite would drop the padding.
    const std::string table = "# TABLENAME\r\nown.OBT\r\n\r\n# FIELDCOUNT\r\n2\r\n\r\n# TABLECOUNT\r\n2\r\n\r\n\r\n"
                              "# TABLEFIELDS\r\nName STRING TRUE\r\nX FLOAT TRUE\r\n\r\n# STRINGTABLE\r\n"
                              "\"a   \"      1.50 \r\n\"b   \"      2.50 \r\n\r\n";
    for (const char* name : {"own.OBT", "own.obt"}) {
        SCOPED_TRACE(name);
        test::WriteBytes(dir.File(name), table);
        const TRun run = RunCli("dataset " + Quoted(dir.File(name)) + " -o " + Quoted(dir.File("own.obd")) +
                                " --fields X");
        ASSERT_EQ(0, run.Status) << run.Err;
        EXPECT_EQ(table, test::ReadBytes(dir.File(name)));
        EXPECT_FALSE(std::filesystem::exists(dir.File(std::string(name) == "own.OBT" ? "own.obt" : "own.OBT")));
        std::filesystem::remove(dir.File(name));
    }
}

// Each of these files once read "successfully" into wrong data, hung or blew up.
TEST(DatasetCommandTest, HostileFilesGiveClearAnswers)
{
    test::TTempDir dir;
    std::filesystem::create_directory(dir.File("folder.obt"));
    const std::string h = Fixtures + "/hostile/";
    struct TCase { const char* Command; std::string Path; std::string Rest; int Status; const char* Fragment; };
    const TCase cases[] = {
        {"info", h + "empty.obt", "", 1, "no \"# FIELDCOUNT\" section; this is not a table file"},
        {"info", h + "garbage.obt", "", 1, "no \"# FIELDCOUNT\" section"},
        {"info", h + "cut.dat", "", 1, "declares 150 records of 5 fields"},
        {"info", dir.File("folder.obt"), "", 1, "folder.obt is a directory"},
        {"info", h + "empty-names.csv", "", 0, ""},
        {"info", h + "plain.obd", "", 0, ""},
        {"info", h + "shift-split.obd", "", 1, "section \"# DATAVALUES\", line 30: row 1 holds more than its 2 numbers"},
        {"info", h + "shift-nul.obd", "", 1, "section \"# DATAVALUES\", line 30: row 1 holds more than its 2 numbers"},
        {"info", h + "nan-value.obd", "", 1, "line 31: \"nan\" is not a valid floating-point value"},
        {"info", h + "nan-node.obm", "", 1, "section \"# GRIDNODES\", line 43: \"nan\" is not a valid"},
        {"dataset", h + "huge-value.csv", " -o " + Quoted(dir.File("huge.obd")) + " --fields x,y", 0, ""},
    };
    for (const TCase& c : cases) {
        const std::string args = std::string(c.Command) + " " + Quoted(c.Path) + c.Rest;
        SCOPED_TRACE(args);
        const TRun run = RunCli(args);
        EXPECT_EQ(c.Status, run.Status) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ(std::string::npos, run.Out.find("nan")) << run.Out;
        EXPECT_EQ(std::string::npos, run.Out.find("null")) << run.Out;
    }
}

TEST(DatasetCommandTest, InfoDescribesEveryKindOfTable)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("t.dat"), "2 1\nX FLOAT\nName STRING\n1.5 \"a b\"\n");
    test::WriteBytes(dir.File("t.tsv"), "x\ty\n1\t2\n3\t4\n");
    struct TCase {
        std::string Path;
        std::string Start;
    };
    const TCase cases[] = {
        {Fixtures + "/cyrillic.obt", "{\"kind\":\"table\",\"name\":\"cyrillic.OBT\",\"records\":3,"},
        {dir.File("t.dat"), "{\"kind\":\"table\",\"name\":\"t.OBT\",\"records\":1,\"fields\":[{\"name\":\"X\","
                            "\"type\":\"FLOAT\",\"width\":3},{\"name\":\"Name\",\"type\":\"STRING\",\"width\":6}]}"},
        {dir.File("t.tsv"), "{\"kind\":\"table\",\"name\":\"t.OBT\",\"records\":2,\"fields\":[{\"name\":\"x\","
                            "\"type\":\"INTEGER\""},
        {PublicData + "/iris.csv", "{\"kind\":\"table\",\"name\":\"iris.OBT\",\"records\":150,"},
        {Fixtures + "/cities.dbf", "{\"kind\":\"table\",\"name\":\"cities.OBT\",\"records\":3,\"fields\":["
                                   "{\"name\":\"NAME\",\"type\":\"STRING\",\"width\":6},{\"name\":\"POP\","
                                   "\"type\":\"FLOAT\",\"width\":5},{\"name\":\"CODE\",\"type\":\"SMALLINT\""},
        {Fixtures + "/stock.db", "{\"kind\":\"table\",\"name\":\"stock.OBT\",\"records\":3,"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        const TRun run = RunCli("info " + Quoted(c.Path));
        ASSERT_EQ(0, run.Status) << run.Err;
        EXPECT_EQ(0u, run.Out.find(c.Start)) << run.Out;
    }
    const TRun damaged = RunCli("info " + Quoted(Fixtures + "/cyrillic.obt") + ".obd");
    EXPECT_EQ(1, damaged.Status);
    EXPECT_NE(std::string::npos, damaged.Err.find("cannot open file")) << damaged.Err;
}

} // namespace
} // namespace orbelin

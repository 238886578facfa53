// orbelin-cli init, project-points and info on map files, as a user runs them.
#include "TestUtil.h"
#include "cli/CliFixtures.h"
#include "coloring/Projection.h"
#include "data/DatasetBuild.h"
#include "data/DatasetFile.h"
#include "data/NumberText.h"
#include "data/TRWFile.h"
#include "data/TableMaker.h"
#include "map/MapFile.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace orbelin {
namespace {

TEST(MapCommandsTest, InitWritesTheMapAndDescribesIt)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "pts");
    const std::string dataset = Quoted(dir.File("pts.obd"));
    struct TCase {
        const char* Name;
        std::string Options, Json;
    };
    const TCase cases[] = {
        {"panel defaults", "",
         R"("grid":"RECTANGULAR","rows":10,"cols":10,"nodes":100,"edges":180,"ribs":160,"triangles":162,"dimension":3)"},
        {"sphere", "--grid spherical --rows 20 --cols 20 --init axes --size 1",
         R"("grid":"SPHERICAL","rows":20,"cols":20,"nodes":402,"edges":820,"ribs":820,"triangles":800,"dimension":3)"},
        {"hexagon", "--grid hexagonal --rows 4 --cols 5 --noise 30",
         R"("grid":"RECTANGULAR","rows":4,"cols":5,"nodes":20,"edges":43,"ribs":28,"triangles":24,"dimension":3)"},
        {"torus", "--grid toroidal --rows 5 --cols 4 --init random",
         R"("grid":"RECTANGULAR","rows":5,"cols":4,"nodes":20,"edges":40,"ribs":40,"triangles":24,"dimension":3)"},
        {"circle", "--grid circle --rows 2 --cols 6",
         R"("grid":"CIRCLE","rows":2,"cols":6,"nodes":13,"edges":24,"ribs":21,"triangles":18,"dimension":3)"},
        {"lattice", "--rows 3 --cols 4 --layers 3",
         R"("grid":"RECTANGULAR","rows":3,"cols":4,"nodes":36,"edges":75,"ribs":42,"triangles":36,"dimension":3)"},
        {"chain", "--rows 7 --cols 1",
         R"("grid":"RECTANGULAR","rows":7,"cols":1,"nodes":7,"edges":6,"ribs":5,"triangles":0,"dimension":3)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("m.obm");
        std::filesystem::remove(path);
        const TRun init = RunCli(dir, "init " + dataset + " -o " + Quoted(path) + " " + c.Options);
        ASSERT_EQ(0, init.Status) << init.Err;
        EXPECT_EQ("{\"kind\":\"map\",\"name\":\"m\"," + c.Json + ",\"dataset\":\"pts\",\"file\":\"" + path + "\"}\n",
                  init.Out);
        const TRun info = RunCli(dir, "info " + Quoted(path));
        ASSERT_EQ(0, info.Status) << info.Err;
        EXPECT_EQ("{\"kind\":\"map\",\"name\":\"m\"," + c.Json + "}\n", info.Out);
        EXPECT_NE(std::string::npos,
                  test::ReadBytes(path).find("# DATAFILENAME\r\npts\r\n\r\n# TABLENAME\r\npts.OBT\r\n"));
    }
}

TEST(MapCommandsTest, InitWithASeedIsRepeatable)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "pts");
    for (const char* options : {"--init random", "--noise 10 --grid spherical --rows 6 --cols 6", ""}) {
        SCOPED_TRACE(options);
        const std::string common = "init " + Quoted(dir.File("pts.obd")) + " " + options + " --seed 42 -o ";
        ASSERT_EQ(0, RunCli(dir, common + Quoted(dir.File("a.obm"))).Status);
        ASSERT_EQ(0, RunCli(dir, common + Quoted(dir.File("b.obm"))).Status);
        const std::string a = test::ReadBytes(dir.File("a.obm"));
        EXPECT_EQ(a, test::ReadBytes(dir.File("b.obm")));
        EXPECT_NE(std::string::npos, a.find("# GRIDNODES"));
    }
}

TEST(MapCommandsTest, InitRefusesBadOptionsAndSizes)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "pts");
    const std::string dataset = Quoted(dir.File("pts.obd"));
    const std::string out = " -o " + Quoted(dir.File("x.obm"));
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no output", "init " + dataset, 2, "init needs -o MAP.obm"},
        {"no dataset", "init" + out, 2, "init needs a DATASET.obd"},
        {"unknown grid", "init " + dataset + out + " --grid square", 2, "--grid expects rectangular|spherical"},
        {"rows out of range", "init " + dataset + out + " --rows 101", 2,
         "--rows expects a whole number from 1 to 100"},
        {"rows not a number", "init " + dataset + out + " --rows ten", 2, "found \"ten\""},
        {"bad size", "init " + dataset + out + " --size big", 2, "--size expects a number from 0 to 100"},
        {"unknown option", "init " + dataset + out + " --colour red", 2, "unknown option \"--colour\""},
        {"option twice", "init " + dataset + out + " --rows 3 --rows 4", 2, "--rows is given twice"},
        {"one row", "init " + dataset + out + " --rows 1 --cols 5", 1, "one row must have one column"},
        {"hexagonal chain", "init " + dataset + out + " --grid hexagonal --cols 1", 1, "at least 2 columns"},
        {"layered sphere", "init " + dataset + out + " --grid spherical --layers 2", 1, "only rectangular maps"},
        {"size 0", "init " + dataset + out + " --size 0", 1, "the size must be greater than 0"},
        {"noise 0", "init " + dataset + out + " --noise 0", 1, "the noise must be greater than 0"},
        {"absent dataset", "init " + Quoted(dir.File("none.obd")) + out, 1, "cannot open file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        EXPECT_EQ(0u, run.Err.find("orbelin-cli: ")) << run.Err;
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n'));
        EXPECT_EQ("", run.Out);
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.obm")));
    }
}

// The export as the core writes it for the same map and dataset.
std::string ExpectedExport(const std::string& datasetPath, const std::string& mapPath, int projector)
{
    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(datasetPath, dataset, table);
    map::TMap& map = map::AddMap(dataset, "m");
    EXPECT_TRUE(map::ReadMapFileFrom(dataset, mapPath));
    std::string text;
    for (const TArray1D& row : coloring::ProjectPoints(*map.Grid, dataset.Points, projector))
        text += data::GeneralText(row[0]) + " " + data::GeneralText(row[1]) + "\r\n";
    return text;
}

TEST(MapCommandsTest, ProjectPointsExportsEveryPoint)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "pts");
    const std::string map = dir.File("m.obm");
    ASSERT_EQ(
        0, RunCli(dir, "init " + Quoted(dir.File("pts.obd")) + " --rows 6 --cols 5 --seed 1 -o " + Quoted(map)).Status);

    const TRun point = RunCli(dir, "project-points " + Quoted(map) + " -o " + Quoted(dir.File("p.txt")));
    ASSERT_EQ(0, point.Status) << point.Err;
    EXPECT_EQ("{\"kind\":\"projections\",\"map\":\"m\",\"dataset\":\"pts\",\"projector\":\"In closest point\","
              "\"points\":40,\"file\":\"" +
                  dir.File("p.txt") + "\"}\n",
              point.Out);
    const std::string closestPoint = test::ReadBytes(dir.File("p.txt"));
    EXPECT_EQ(40, std::count(closestPoint.begin(), closestPoint.end(), '\n'));
    EXPECT_EQ(ExpectedExport(dir.File("pts.obd"), map, map::ProjectInClosestPoint), closestPoint);

    const TRun node = RunCli(dir, "project-points " + Quoted(map) + " --node -o " + Quoted(dir.File("n.txt")));
    ASSERT_EQ(0, node.Status) << node.Err;
    EXPECT_NE(std::string::npos, node.Out.find("\"projector\":\"In closest node\""));
    const std::string closestNode = test::ReadBytes(dir.File("n.txt"));
    EXPECT_EQ(ExpectedExport(dir.File("pts.obd"), map, map::ProjectInClosestNode), closestNode);
    EXPECT_NE(closestPoint, closestNode);
    // Closest nodes sit on the 6 x 5 layout: x in steps of 0.4, y in steps of 0.5.
    for (const TArray1S& row : [&] {
             data::TRWFile file;
             file.OpenBytes(closestNode, "n.txt");
             return file.ReadStringMatrix(2, 40);
         }()) {
        double x = 0, y = 0;
        ASSERT_TRUE(data::ParseDecimal(row[0], x) && data::ParseDecimal(row[1], y));
        EXPECT_NEAR(0.0, std::remainder(x + 1, 0.4), 1e-12) << row[0];
        EXPECT_NEAR(0.0, std::remainder(y + 1, 0.5), 1e-12) << row[1];
    }

    // A map kept away from its dataset needs --dataset.
    std::filesystem::create_directory(dir.File("maps"));
    std::filesystem::copy_file(map, dir.File("maps/m.obm"));
    const TRun lost =
        RunCli(dir, "project-points " + Quoted(dir.File("maps/m.obm")) + " -o " + Quoted(dir.File("l.txt")));
    EXPECT_EQ(1, lost.Status);
    EXPECT_NE(std::string::npos, lost.Err.find("its dataset pts.obd is not in the folder")) << lost.Err;
    const TRun found = RunCli(dir, "project-points " + Quoted(dir.File("maps/m.obm")) + " --dataset " +
                                       Quoted(dir.File("pts.obd")) + " -o " + Quoted(dir.File("l.txt")));
    ASSERT_EQ(0, found.Status) << found.Err;
    EXPECT_EQ(closestPoint, test::ReadBytes(dir.File("l.txt")));
}

TEST(MapCommandsTest, ProjectPointsReportsWhatItCannotRead)
{
    test::TTempDir dir;
    WriteDataset(dir.Path().string(), "pts");
    WriteDataset(dir.Path().string(), "wide", 4);
    const std::string map = dir.File("m.obm");
    ASSERT_EQ(0, RunCli(dir, "init " + Quoted(dir.File("pts.obd")) + " --rows 3 --cols 3 -o " + Quoted(map)).Status);
    test::WriteBytes(dir.File("broken.obm"), "# GRIDTYPE\r\nHEXAGON\r\n");
    const std::string out = " -o " + Quoted(dir.File("o.txt"));
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no output", "project-points " + Quoted(map), 2, "project-points needs -o OUT.txt"},
        {"unknown flag", "project-points " + Quoted(map) + out + " --nodes", 2, "unknown option \"--nodes\""},
        {"other dimension", "project-points " + Quoted(map) + " --dataset " + Quoted(dir.File("wide.obd")) + out, 1,
         "the map has 3 coordinates, but its dataset wide has 4"},
        {"broken map",
         "project-points " + Quoted(dir.File("broken.obm")) + " --dataset " + Quoted(dir.File("pts.obd")) + out, 1,
         "found \"HEXAGON\""},
        {"no map", "project-points " + Quoted(dir.File("none.obm")) + out, 1, "cannot open file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(dir, c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        EXPECT_NE(std::string::npos, run.Err.find(c.Fragment)) << run.Err;
        EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n'));
        EXPECT_FALSE(std::filesystem::exists(dir.File("o.txt")));
    }
}

} // namespace
} // namespace orbelin

// orbelin-cli demo DIR and project: projects written as project files with their members,
// read back by info, by the project loader and by the demonstration loader.
#include "TestUtil.h"
#include "app/DemoProject.h"
#include "app/ProjectFile.h"
#include "app/TDispatcher.h"
#include "cli/CliFixtures.h"
#include "cli/JsonReader.h"
#include "cli/RunInFolder.h"
#include "map/TMap.h"
#include "map/TNetGrid.h"
#include "view/PointSetFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace orbelin {
namespace {

using test::TJson;

TEST(DemoCommandTest, WritesTheDemonstrationAsAProjectThatReadsBack)
{
    test::TTempDir dir;
    const TRun run = RunIn(dir, "demo out/demo");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const TJson out = test::ReadJson(run.Out);
    EXPECT_EQ(out["project"].Text, "out/demo/IRIS.obp");
    ASSERT_EQ(out["files"].Size(), 6u);
    for (std::size_t i = 0; i < out["files"].Size(); ++i)
        EXPECT_TRUE(std::filesystem::exists(dir.File("out/demo/" + out["files"][i].Text))) << out["files"][i].Text;

    const TRun info = RunIn(dir, "info out/demo/IRIS.obp");
    ASSERT_EQ(info.Status, 0) << info.Err;
    EXPECT_EQ(info.Out, "{\"kind\":\"project\",\"name\":\"IRIS\",\"scripts\":[{\"name\":\"\",\"tables\":[\"IRIS.OBT\"],"
                        "\"datasets\":[{\"name\":\"IRIS_PC\",\"points\":150,\"maps\":[\"IRIS_PC\"]}]}]}\n");
    EXPECT_EQ(info.Err, "");

    // The project loader gets the trained map with its labels and the styled points.
    app::TProject project;
    std::string error;
    app::TLoadProjectOptions options;
    options.Error = &error;
    ASSERT_TRUE(app::LoadProject(project, dir.File("out/demo/IRIS.obp"), options)) << error;
    const data::TData& dataset = *project.Scripts.at(0)->Datasets.at(0);
    const map::TMap& map = *dataset.Maps.at(0);
    ASSERT_NE(map.Grid, nullptr);
    EXPECT_EQ(map.Grid->NodeCount(), 402);
    EXPECT_EQ(static_cast<double>(map.Annotations.size()), out["annotations"].Number);
    std::set<int> colours;
    for (const PointStyle& style : dataset.Table->PointStyles)
        colours.insert(style[FILLCOLOR]);
    EXPECT_EQ(colours.size(), 3u);

    // The folder is also a complete demonstration for the desktop program's loader.
    app::TDispatcher dispatcher;
    app::TDemoFiles files;
    files.Folder = dir.File("out/demo");
    app::TDemoReport report;
    dispatcher.LoadDemo(files, report);
    EXPECT_TRUE(report.Complete()) << report.Message();
    EXPECT_EQ(dispatcher.Current().Dataset->StyleSets.size(), static_cast<std::size_t>(out["style_sets"].Number));

    // Writing again over the same folder replaces the files.
    EXPECT_EQ(RunIn(dir, "demo out/demo").Status, 0);
}

TEST(DemoCommandTest, WithoutAFolderDescribesTheTableAndRefusesBadFolders)
{
    test::TTempDir dir;
    const TRun table = RunIn(dir, "demo");
    ASSERT_EQ(table.Status, 0) << table.Err;
    EXPECT_EQ(test::ReadJson(table.Out)["kind"].Text, "table");

    test::WriteBytes(dir.File("plain"), "x");
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {"two folders", "demo a b", 2, "demo takes at most one DIR"},
        {"an option", "demo --force", 2, "unknown option \"--force\""},
        {"a file in the way", "demo plain", 1, "cannot create the folder plain"},
        {"a folder below a file", "demo plain/sub", 1, "plain/sub"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunIn(dir, c.Arguments);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Err.rfind("orbelin-cli: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
}

// The example project shipped in examples/ reads completely, and each map's labels name
// the class of the point they stand on.
TEST(DemoCommandTest, ShippedExampleProjectReadsCompletely)
{
    const std::filesystem::path examples =
        std::filesystem::path(ORBELIN_FIXTURES).parent_path().parent_path().parent_path() / "examples";
    app::TProject project;
    std::string error;
    std::vector<std::string> warnings;
    app::TLoadProjectOptions options;
    options.Error = &error;
    options.Warnings = &warnings;
    ASSERT_TRUE(app::LoadProject(project, (examples / "Examples.obp").string(), options)) << error;
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    ASSERT_EQ(project.Scripts.size(), 2u);
    const struct {
        const char* Script;
        int Points, Coords;
        std::set<std::string> Classes;
    } expected[] = {{"WINE", 178, 13, {"class_0", "class_1", "class_2"}}, {"CANCER", 569, 30, {"malignant", "benign"}}};
    for (std::size_t s = 0; s < 2; ++s) {
        SCOPED_TRACE(expected[s].Script);
        const app::TScript& script = *project.Scripts[s];
        EXPECT_EQ(script.Name, expected[s].Script);
        const data::TData& dataset = *script.Datasets.at(0);
        EXPECT_EQ(dataset.PointCount, expected[s].Points);
        EXPECT_EQ(dataset.CoordCount, expected[s].Coords);
        const map::TMap& map = *dataset.Maps.at(0);
        ASSERT_NE(map.Grid, nullptr);
        const std::size_t classField = static_cast<std::size_t>(dataset.Table->FieldCount - 1);
        std::set<std::string> labelled;
        for (const TArray1S& row : map.Annotations) {
            const int p = std::stoi(row.at(0));
            ASSERT_TRUE(p >= 0 && p < dataset.PointCount) << p;
            const int record = dataset.NUMXI[static_cast<std::size_t>(p)];
            EXPECT_NE(dataset.Table->Values[static_cast<std::size_t>(record)][classField].find(row.at(3)),
                      std::string::npos);
            labelled.insert(row.at(3));
        }
        EXPECT_EQ(labelled, expected[s].Classes);
    }
}

TEST(ProjectCommandTest, GathersMapsAndDatasetsOneScriptPerTable)
{
    test::TTempDir dir;
    std::filesystem::create_directories(dir.File("a"));
    std::filesystem::create_directories(dir.File("b"));
    WriteDataset(dir.File("a"), "pts");
    WriteDataset(dir.File("b"), "other", 2);
    ASSERT_EQ(RunIn(dir, "init a/pts.obd -o a/first.obm --rows 3 --cols 3").Status, 0);
    ASSERT_EQ(RunIn(dir, "init a/pts.obd -o a/second.obm --rows 2 --cols 4").Status, 0);

    const TRun run = RunIn(dir, "project out/P.obp a/first.obm b/other.obd a/second.obm");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const TRun info = RunIn(dir, "info out/P.obp");
    ASSERT_EQ(info.Status, 0) << info.Err;
    // Both maps of pts stay with it; other was saved without maps.
    EXPECT_EQ(info.Out,
              "{\"kind\":\"project\",\"name\":\"P\",\"scripts\":["
              "{\"name\":\"pts\",\"tables\":[\"pts.OBT\"],\"datasets\":[{\"name\":\"pts\",\"points\":40,"
              "\"maps\":[\"first\",\"second\"]}]},"
              "{\"name\":\"other\",\"tables\":[\"other.OBT\"],\"datasets\":[{\"name\":\"other\",\"points\":40,"
              "\"maps\":[]}]}]}\n");
    for (const char* member : {"pts.OBT", "pts.obd", "first.obm", "second.obm", "other.OBT", "other.obd"})
        EXPECT_TRUE(std::filesystem::exists(dir.File(std::string("out/") + member))) << member;

    app::TProject project;
    ASSERT_TRUE(app::LoadProject(project, dir.File("out/P.obp")));
    const data::TData& pts = *project.Scripts.at(0)->Datasets.at(0);
    ASSERT_EQ(pts.Maps.size(), 2u);
    EXPECT_EQ(pts.Maps[1]->Grid->NodeCount(), 8);
    EXPECT_EQ(project.Scripts.at(1)->Datasets.at(0)->CoordCount, 2);

    // Two members of one file name would overwrite each other in the project's folder.
    WriteDataset(dir.File("b"), "pts");
    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {"no members", "project out/Q.obp", 2, "needs at least one map (.obm) or dataset (.obd)"},
        {"not a project file", "project out/Q.txt a/pts.obd", 2, "must end in .obp"},
        {"not a member", "project out/Q.obp a/pts.obt", 2, "is neither a map (.obm) nor a dataset (.obd)"},
        {"missing map", "project out/Q.obp a/none.obm", 1, "none.obm"},
        {"one name twice", "project out/Q.obp a/pts.obd b/pts.obd", 1, "would both be saved as pts."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun bad = RunIn(dir, c.Arguments);
        EXPECT_EQ(bad.Status, c.Status);
        EXPECT_EQ(bad.Err.rfind("orbelin-cli: ", 0), 0u) << bad.Err;
        EXPECT_NE(bad.Err.find(c.Message), std::string::npos) << bad.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/Q.obp")));
}

} // namespace
} // namespace orbelin

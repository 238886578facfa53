// orbelin-cli info on project files.
#include "TestUtil.h"
#include "app/FieldChoices.h"
#include "app/ProjectFile.h"
#include "data/TableMaker.h"
#include "map/MapInit.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace orbelin {
namespace {

struct TRun {
    int Status;
    std::string Out, Err;
};

TRun RunInfo(const test::TTempDir& dir, const std::string& path)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string command = std::string("'") + ORBELIN_CLI + "' info '" + path + "' >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(out), test::ReadBytes(err)};
}

TEST(ProjectInfoTest, DescribesScriptsTablesDatasetsAndMaps)
{
    test::TTempDir dir;
    app::TProject project;
    project.Name = "Проект";
    for (const char* name : {"first", "second"}) {
        app::TScript& script = app::AddScript(project, name);
        app::AppendTable(script, test::MakeTable({{"X", TFieldType::Float}, {"Y", TFieldType::Integer}},
                                                 {{"1", "2"}, {"3", "4"}, {"", "6"}}, std::string("t_") + name));
        app::SetFieldMark(script, 0, true);
    }
    app::CreateDataset(*project.Scripts[0], false);
    app::CreateDataset(*project.Scripts[0], true);
    for (const char* name : {"Map001", "Map002"}) {
        map::TMap& map = map::AddMap(*project.Scripts[0]->Datasets[0], name);
        map.RequestedRows = map.RequestedColumns = 2;
        map::InitializeMap(map, 3, false);
    }
    const std::string file = dir.File("p.obp");
    app::SaveProject(project, file);

    const TRun run = RunInfo(dir, file);
    ASSERT_EQ(0, run.Status) << run.Err;
    EXPECT_EQ("{\"kind\":\"project\",\"name\":\"Проект\",\"scripts\":["
              "{\"name\":\"first\",\"tables\":[\"t_first.OBT\"],\"datasets\":["
              "{\"name\":\"Datasets01\",\"points\":3,\"maps\":[\"Map001\",\"Map002\"]},"
              "{\"name\":\"Datasets02\",\"points\":2,\"maps\":[]}]},"
              "{\"name\":\"second\",\"tables\":[\"t_second.OBT\"],\"datasets\":[]}]}\n",
              run.Out);
    EXPECT_EQ("", run.Err);
}

TEST(ProjectInfoTest, ProjectThatCannotBeReadIsAOneLineError)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("bad.obp"), "# PROJECTNAME\r\nb\r\n# SCRIPTCOUNT\r\n1\r\n# SCRIPTNAME0\r\ns\r\n"
                                          "# TABLECOUNT0\r\n1\r\n# TABLENAMES0\r\ngone.OBT \r\n");
    const TRun run = RunInfo(dir, dir.File("bad.obp"));
    EXPECT_EQ(1, run.Status);
    EXPECT_EQ("", run.Out);
    EXPECT_EQ(0u, run.Err.find("orbelin-cli: cannot open file ")) << run.Err;
    EXPECT_NE(std::string::npos, run.Err.find("gone.OBT")) << run.Err;
    EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n'));
}

} // namespace
} // namespace orbelin

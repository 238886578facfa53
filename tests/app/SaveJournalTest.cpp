// Project saves that are killed, or that meet another save of the same project, leave a
// project whose members all belong to one save.
#include "app/ProjectFile.h"
#include "app/SaveJournal.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "data/SafeFiles.h"
#include "map/MapInit.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>

#include <unistd.h>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;

using TFiles = std::map<std::string, std::string>; ///< file name -> bytes

/// Every file of the folder but the folder lock's and our temporaries.
TFiles FilesOf(const fs::path& folder)
{
    TFiles files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = test::ReadBytes(entry.path().string());
    return files;
}

bool HasOwnLeftovers(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".orbelin-tmp") || name.ends_with(".orbelin-journal"))
            return true;
    }
    return false;
}

/// A project of one table, one dataset and one trained-looking map; version 2 differs in
/// every member file, and its second script brings a table that has no file yet.
struct TTwoVersions {
    explicit TTwoVersions(const test::TTempDir& dir)
    {
        for (int version = 0; version < 2; ++version) {
            TProject& project = Projects[version];
            project.Name = version == 0 ? "old" : "new";
            TScript& script = AddScript(project, "s");
            AddTable(script, test::WriteXYTable(dir, "t", {{1, 2}, {3, 5}, {4, 1}, {2, 2}}),
                     data::TTableKind::TableFile);
            SetFieldMark(script, 1, true);
            SetFieldMark(script, 2, true);
            CreateDataset(script, false);
            data::TData& dataset = *script.Datasets[0];
            dataset.Points[0][0] = version == 0 ? 0.5 : 42;
            map::TMap& map = map::AddMap(dataset, "Map1");
            map.RequestedRows = 2;
            map.RequestedColumns = 2;
            map::InitializeMap(map, 3, false);
            map.Lambda = version == 0 ? 1 : 0.25;
            if (version == 1) {
                TScript& second = AddScript(project, "imported");
                test::WriteBytes(dir.File("extra.csv"), "A,B\n1,2\n3,4\n");
                AddTable(second, dir.File("extra.csv"), data::TTableKind::Csv);
            }
        }
        std::filesystem::remove(dir.File("extra.csv"));
    }
    TProject Projects[2];
};

/// Runs the save in a child process that is killed at its n-th rename; true when the save
/// ended before that rename came.
bool SaveKilledAtRename(TProject& project, const std::string& file, int n)
{
    const int status = test::WaitForChild(test::RunInChild([&] {
        int renames = 0;
        data::SetRenameFaultHook([&renames, n](const std::string&, const std::string&) {
            if (++renames == n)
                std::raise(SIGKILL);
        });
        SaveProject(project, file);
        return true;
    }));
    EXPECT_TRUE(status == 0 || status == -SIGKILL) << "the save failed at rename " << n << ": " << status;
    return status == 0;
}

// Killed at every rename in turn, the save leaves a folder that opens as the old project
// or as the new one, every member matching; the next save leaves no temporaries behind.
TEST(SaveJournalTest, SaveKilledAtEveryRenameOpensAsTheOldOrTheNewProject)
{
    test::TTempDir dir;
    TTwoVersions versions(dir);
    const fs::path work = dir.Path() / "work";
    const fs::path reference = dir.Path() / "reference";
    TFiles saved[2];
    for (int version = 0; version < 2; ++version) {
        fs::remove_all(reference);
        fs::create_directories(reference);
        fs::copy_file(dir.File("t.obt"), reference / "t.obt");
        SaveProject(versions.Projects[version], (reference / "p.obp").string());
        saved[version] = FilesOf(reference);
    }
    ASSERT_NE(saved[0].at("Datasets01.obd"), saved[1].at("Datasets01.obd"));
    ASSERT_NE(saved[0].at("Map1.obm"), saved[1].at("Map1.obm"));
    ASSERT_TRUE(saved[1].count("extra.OBT"));

    int outcomes[2] = {0, 0};
    bool finished = false;
    for (int n = 1; n < 40 && !finished; ++n) {
        SCOPED_TRACE("killed at rename " + std::to_string(n));
        fs::remove_all(work);
        fs::create_directories(work);
        for (const auto& [name, bytes] : saved[0])
            test::WriteBytes((work / name).string(), bytes);
        const std::string file = (work / "p.obp").string();
        finished = SaveKilledAtRename(versions.Projects[1], file, n);

        TProject opened;
        std::string error;
        TLoadProjectOptions options;
        options.Error = &error;
        std::vector<std::string> warnings;
        options.Warnings = &warnings;
        ASSERT_TRUE(LoadProject(opened, file, options)) << error;
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        EXPECT_FALSE(fs::exists(JournalPath(file)));
        TFiles now = FilesOf(work);
        std::erase_if(now, [](const auto& entry) { return entry.first.ends_with(".orbelin-tmp"); });
        const int version = now == saved[1] ? 1 : 0;
        EXPECT_EQ(saved[version], now) << "the folder mixes the two saves";
        EXPECT_EQ(version == 0 ? "old" : "new", opened.Name);
        ++outcomes[version];

        SaveProject(opened, file);
        EXPECT_FALSE(HasOwnLeftovers(work));
    }
    EXPECT_TRUE(finished);
    EXPECT_GT(outcomes[0], 1);
    EXPECT_GT(outcomes[1], 1); // some kills came after the journal: the open completed them
}

// Two processes saving different versions of one project at once both succeed, and the
// folder then holds one of the two whole.
TEST(SaveJournalTest, TwoSimultaneousSavesLeaveOneWholeProject)
{
    test::TTempDir dir;
    TTwoVersions versions(dir);
    const std::string file = dir.File("p.obp");
    TFiles saved[2];
    for (int version = 0; version < 2; ++version) {
        SaveProject(versions.Projects[version], file);
        saved[version] = FilesOf(dir.Path());
        std::filesystem::remove(dir.File("extra.OBT"));
    }
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::filesystem::remove(dir.File("extra.OBT"));
        pid_t children[2];
        for (int version = 0; version < 2; ++version)
            children[version] = test::RunInChild([&] {
                for (int k = 0; k < 3; ++k)
                    SaveProject(versions.Projects[version], file);
                return true;
            });
        for (const pid_t child : children)
            EXPECT_EQ(0, test::WaitForChild(child));
        EXPECT_FALSE(HasOwnLeftovers(dir.Path()));
        TFiles now = FilesOf(dir.Path());
        // The table of version 2 stays once written; version 1 does not name it.
        if (now.at("p.obp") == saved[0].at("p.obp"))
            now.erase("extra.OBT");
        EXPECT_TRUE(now == saved[0] || now == saved[1]) << "the folder mixes the two saves";
    }
}

TEST(SaveJournalTest, DamagedJournalIsReportedAndNothingIsRenamed)
{
    test::TTempDir dir;
    TTwoVersions versions(dir);
    const std::string file = dir.File("p.obp");
    SaveProject(versions.Projects[0], file);
    const TFiles before = FilesOf(dir.Path());
    struct TCase { const char* Name; std::string Text; const char* Fragment; };
    const TCase cases[] = {
        {"foreign", "hello\n", "does not begin with"},
        {"cut", "orbelin project save journal 1\nx.orbelin-tmp\tp.obp", "last line is incomplete"},
        {"outside the folder", "orbelin project save journal 1\n../a.orbelin-tmp\tp.obp\n", "names no rename"},
        {"not a temporary", "orbelin project save journal 1\nt.obt\tp.obp\n", "names no rename"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::WriteBytes(JournalPath(file), c.Text);
        TProject opened;
        std::string error;
        TLoadProjectOptions options;
        options.Error = &error;
        EXPECT_FALSE(LoadProject(opened, file, options));
        EXPECT_NE(std::string::npos, error.find("its last save was interrupted")) << error;
        EXPECT_NE(std::string::npos, error.find(c.Fragment)) << error;
        fs::remove(JournalPath(file));
        EXPECT_EQ(before, FilesOf(dir.Path()));
    }
}

} // namespace
} // namespace orbelin::app

// Commands that would free a map while a training run works on it are refused with a
// message; the others go on.
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "app/TDispatcher.h"
#include "map/TMap.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

void Small(map::TMap& map)
{
    map.RequestedRows = 2;
    map.RequestedColumns = 3;
}

// A dataset of two fields over a small table, with the given number of small maps.
void LoadDatasetWithMaps(TDispatcher& d, const test::TTempDir& dir, int maps)
{
    d.LoadTableFile(test::WriteXYTable(dir, "t", {{1, 2}, {3, 5}, {4, 1}, {2, 2}}));
    SetFieldMark(*d.Project()->Script(), 1, true);
    SetFieldMark(*d.Project()->Script(), 2, true);
    d.CreateDataset();
    for (int k = 0; k < maps; ++k)
        d.AddMap(Small);
}

TEST(TrainingRefusalTest, CommandsThatFreeATrainingMapAreRefused)
{
    struct TCase {
        const char* Name;
        std::function<TUpdate(TDispatcher&)> Command;
        bool Refused;
    };
    const TCase cases[] = {
        {"Delete map", [](TDispatcher& d) { return d.DeleteMap(0); }, true},
        {"Delete dataset", [](TDispatcher& d) { return d.DeleteDataset(0); }, true},
        {"Delete table", [](TDispatcher& d) { return d.DeleteTable(0); }, true},
        {"Delete script", [](TDispatcher& d) { return d.DeleteScript(0); }, true},
        {"New project", [](TDispatcher& d) { return d.NewProject(); }, true},
        {"Open project", [](TDispatcher& d) { return d.OpenProject(); }, true},
        {"Open project file", [](TDispatcher& d) { return d.OpenProjectFile("elsewhere.obp"); }, true},
        {"Close project", [](TDispatcher& d) { return d.CloseProject(); }, true},
        {"Add map beside it", [](TDispatcher& d) { return d.AddMap(Small); }, false},
        {"Delete the other map", [](TDispatcher& d) { return d.DeleteMap(1); }, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        test::TWorkingDirectory cwd(dir.Path());
        test::TScriptedUser user;
        TDispatcher d;
        LoadDatasetWithMaps(d, dir, 2);
        data::TData& dataset = *d.Project()->Script()->Datasets[0];
        map::TMap* training = dataset.Maps[0].get();
        training->Training = true; // as from StartTraining until its end is handled
        const std::string treeBefore = test::DescribeTree(d.Tree().Root());
        user.Messages.clear();
        user.Answers = {TUserInterface::TAnswer::Yes, TUserInterface::TAnswer::No};

        const TUpdate update = c.Command(d);
        if (c.Refused) {
            ASSERT_EQ(1u, user.Messages.size());
            EXPECT_NE(std::string::npos, user.Messages[0].find("Map001 is being trained")) << user.Messages[0];
            EXPECT_TRUE(user.Questions.empty()) << "refused before any question";
            EXPECT_TRUE(user.DialogFilters.empty()) << "refused before any dialog";
            EXPECT_FALSE(update.TreeChanged);
            EXPECT_EQ(treeBefore, test::DescribeTree(d.Tree().Root()));
            ASSERT_NE(nullptr, d.Project());
            EXPECT_EQ(training, d.Project()->Script()->Datasets[0]->Maps[0].get());
        } else {
            EXPECT_TRUE(update.TreeChanged);
            EXPECT_TRUE(user.Messages.empty());
        }
        training->Training = false;
        // Once the run has ended, the same command goes through.
        if (c.Refused && std::string(c.Name).rfind("Delete", 0) == 0) {
            user.Messages.clear();
            EXPECT_TRUE(c.Command(d).TreeChanged);
        }
    }
}

// A map saved mid-step would hold half-solved nodes: saving the project or the map waits
// for the end of the run, and nothing is written meanwhile.
TEST(TrainingRefusalTest, SavesWaitForTheEndOfTheRun)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    LoadDatasetWithMaps(d, dir, 1);
    map::TMap* training = d.Project()->Script()->Datasets[0]->CurrentMap();
    ASSERT_NE(nullptr, training);
    const std::string out = (dir.Path() / "out").string();
    std::filesystem::create_directory(out);

    training->Training = true;
    user.Messages.clear();
    EXPECT_FALSE(d.SaveProject());
    EXPECT_FALSE(d.SaveProjectAs());
    EXPECT_FALSE(d.SaveMap());
    EXPECT_FALSE(d.SaveMapTo(out + "/m.obm"));
    ASSERT_EQ(4u, user.Messages.size());
    for (const std::string& message : user.Messages)
        EXPECT_NE(std::string::npos, message.find("is being trained")) << message;
    EXPECT_TRUE(user.DialogFilters.empty()) << "refused before any dialog";
    EXPECT_TRUE(std::filesystem::is_empty(out));

    training->Training = false;
    EXPECT_TRUE(d.SaveMapTo(out + "/m.obm"));
    EXPECT_TRUE(std::filesystem::exists(out + "/m.obm"));
}

} // namespace
} // namespace orbelin::app

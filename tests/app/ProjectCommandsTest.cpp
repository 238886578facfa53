// The project commands and their questions.
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "app/FileDialogs.h"
#include "app/TDispatcher.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;
using TAnswer = TUserInterface::TAnswer;

/// A project with one script, one table file of the folder and one dataset on it.
void FillProject(TDispatcher& d, const test::TTempDir& dir, const std::string& table)
{
    d.LoadTableFile(test::WriteXYTable(dir, table, {{1, 2}, {3, 4}}));
    SetFieldMark(*d.Project()->Script(), 1, true);
    d.CreateDataset();
}

TEST(ProjectCommandsTest, NewProjectFollowsTheAnswer)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    const TUpdate first = d.NewProject();
    EXPECT_TRUE(user.Questions.empty()) << "no project was open";
    ASSERT_NE(nullptr, d.Project());
    EXPECT_EQ(-1, d.Project()->CurrentScript);
    EXPECT_TRUE(first.ShowObjectWindows);
    FillProject(d, dir, "t");
    d.Project()->Name = "named";
    const TProject* open = d.Project();

    struct TCase {
        const char* Name;
        TAnswer Answer;
        bool SameProject;
        bool Saved;
    };
    const TCase cases[] = {
        {"cancel", TAnswer::Cancel, true, false},
        {"yes saves and keeps the project", TAnswer::Yes, true, true},
        {"no discards it", TAnswer::No, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove(dir.File("named.obp"));
        user.Questions.clear();
        user.Answers = {c.Answer};
        const TUpdate update = d.NewProject();
        ASSERT_EQ(1u, user.Questions.size());
        EXPECT_EQ("Save changes in the project?", user.Questions[0]);
        EXPECT_EQ(c.SameProject, d.Project() == open);
        EXPECT_EQ(c.Saved, fs::exists(dir.File("named.obp")));
        EXPECT_EQ(!c.SameProject, update.TreeChanged);
    }
    EXPECT_TRUE(d.Project()->Scripts.empty());
    EXPECT_EQ("", test::DescribeTree(d.Tree().Root()));
}

TEST(ProjectCommandsTest, OpenAsksAfterTheFileIsChosenAndCancelChangesNothing)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    d.NewProject();
    FillProject(d, dir, "saved");
    user.Files = {dir.File("p.obp")};
    ASSERT_TRUE(d.SaveProjectAs());
    EXPECT_EQ("p", d.Project()->Name);

    TDispatcher other;
    other.NewProject();
    FillProject(other, dir, "mine");
    const TProject* open = other.Project();
    const std::string tree = test::DescribeTree(other.Tree().Root());

    user.Files = {dir.File("p.obp")};
    user.Answers = {TAnswer::Cancel};
    user.Questions.clear();
    other.OpenProject();
    EXPECT_EQ(std::vector<std::string>{"Save chenges in the project?"}, user.Questions);
    EXPECT_EQ(open, other.Project());
    EXPECT_EQ(tree, test::DescribeTree(other.Tree().Root()));

    user.Files = {dir.File("p.obp")};
    user.Answers = {TAnswer::No};
    const TUpdate update = other.OpenProject();
    EXPECT_TRUE(update.TreeChanged);
    EXPECT_EQ(10u, update.RefreshPanels.size());
    EXPECT_EQ("p", other.Project()->Name);
    // The dataset was saved without an initialised map: it comes back with a fresh one.
    EXPECT_EQ("10000 Script saved\n  1 Tables\n    20000 saved.OBT\n  2 Datasets\n    30000 Datasets01\n"
              "      40000 Datasets01\n        50000 Datasets\n",
              test::DescribeTree(other.Tree().Root()));
    EXPECT_EQ(other.Project()->Scripts[0]->Datasets[0].get(), other.Current().Dataset);
    EXPECT_TRUE(update.MapWindow.Show);
    EXPECT_EQ(other.Current().Dataset->Maps[0].get(), other.Current().Map);
}

TEST(ProjectCommandsTest, ProjectThatCannotBeReadIsReportedAndTheOpenOneStays)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    d.NewProject();
    FillProject(d, dir, "t");
    const TProject* open = d.Project();
    test::WriteBytes(dir.File("broken.obp"), "# PROJECTNAME\r\nb\r\n# SCRIPTCOUNT\r\nx\r\n");
    user.Answers = {TAnswer::No};
    EXPECT_FALSE(d.OpenProjectFile(dir.File("broken.obp")).TreeChanged);
    EXPECT_EQ(open, d.Project());
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("broken.obp")) << user.Messages[0];
}

// The working directory moves with every file dialog; Save keeps writing the file the
// project was saved as.
TEST(ProjectCommandsTest, SaveWritesWhereTheProjectWasSavedAs)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    fs::create_directory(dir.Path() / "proj");
    fs::create_directory(dir.Path() / "data");
    TDispatcher d;
    d.NewProject();
    FillProject(d, dir, "t");

    user.Files = {(dir.Path() / "proj" / "work").string()};
    ASSERT_TRUE(d.SaveProject()) << "without a name, Save is Save as";
    EXPECT_EQ(std::vector<std::string>{SaveFilterText(SaveProjectFilter)}, user.DialogFilters);
    EXPECT_EQ("work", d.Project()->Name);
    EXPECT_TRUE(fs::exists(dir.Path() / "proj" / "work.obp"));
    EXPECT_TRUE(fs::exists(dir.Path() / "proj" / "Datasets01.obd"));

    test::WriteXYTable(dir, "other", {{5, 6}});
    fs::rename(dir.File("other.obt"), dir.Path() / "data" / "other.obt");
    user.Files = {(dir.Path() / "data" / "other.obt").string()};
    d.LoadTable();
    ASSERT_EQ(fs::canonical(dir.Path() / "data"), fs::current_path());
    ASSERT_TRUE(d.SaveProject());
    EXPECT_FALSE(fs::exists(dir.Path() / "data" / "work.obp"));
    EXPECT_NE(std::string::npos, test::ReadBytes((dir.Path() / "proj" / "work.obp").string()).find("other.OBT"));
    EXPECT_TRUE(fs::exists(dir.Path() / "proj" / "other.OBT"));
    EXPECT_EQ(2u, user.DialogFilters.size()) << "Save as and Load table asked for files, Save did not";

    // A save that fails is reported, and reported as a failure.
    d.Project()->Scripts[0]->Datasets[0]->Name = "";
    user.Messages.clear();
    EXPECT_FALSE(d.SaveProject());
    EXPECT_EQ(1u, user.Messages.size());
}

TEST(ProjectCommandsTest, CloseAsksAndFreesTheProject)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    test::TScriptedUser user;
    TDispatcher d;
    EXPECT_FALSE(d.CloseProject().TreeChanged);
    EXPECT_TRUE(user.Questions.empty());
    d.NewProject();
    FillProject(d, dir, "t");

    user.Answers = {TAnswer::Cancel};
    EXPECT_FALSE(d.CloseProject().TreeChanged);
    EXPECT_NE(nullptr, d.Project());

    // Yes, but the save dialog is cancelled: nothing was saved, so nothing is closed.
    user.Answers = {TAnswer::Yes};
    EXPECT_FALSE(d.CloseProject().TreeChanged);
    EXPECT_NE(nullptr, d.Project());

    user.Answers = {TAnswer::No};
    const TUpdate update = d.CloseProject();
    EXPECT_EQ(nullptr, d.Project());
    EXPECT_TRUE(update.ToggleObjectWindows);
    EXPECT_EQ("", test::DescribeTree(d.Tree().Root()));
    EXPECT_EQ(nullptr, d.Current().Script);
    EXPECT_FALSE(d.AddScript().TreeChanged) << "no project, no command";

    user.Questions.clear();
    EXPECT_TRUE(d.Exit().CloseMainWindow);
    EXPECT_TRUE(user.Questions.empty());
}

} // namespace
} // namespace orbelin::app

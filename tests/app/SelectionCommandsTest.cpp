// The Selections panel's commands: naming and applying sets, their files through the
// dialogs, additional objects, and the marked points' values.
#include "app/SelectionCommands.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"

#include <gtest/gtest.h>

#include <optional>

namespace orbelin::app {
namespace {

/// Answers the naming dialogs: each entry is typed in, or cancels when empty; the
/// proposal is accepted once they run out.
class TNamingUser : public test::TScriptedUser {
public:
    std::vector<std::optional<std::string>> Names;
    std::vector<std::string> Proposals;
    std::vector<std::string> Captions;

    bool AskText(const std::string& caption, const std::string& prompt, std::string& value) override
    {
        EXPECT_EQ("Enter name: ", prompt);
        Captions.push_back(caption);
        Proposals.push_back(value);
        if (Names.empty())
            return true;
        const std::optional<std::string> name = Names.front();
        Names.erase(Names.begin());
        if (!name)
            return false;
        value = *name;
        return true;
    }
};

/// A project with one table of four records and a dataset of its two numeric fields.
struct TFixture {
    TProject Project;
    TScript& Script = AddScript(Project, "s");
    data::TData* Dataset = nullptr;

    TFixture()
    {
        AppendTable(Script, test::MakeXYTable("t", {{1, 2}, {3, 5}, {4, 1}, {2, 2}}));
        SetFieldMark(Script, 1, true);
        SetFieldMark(Script, 2, true);
        Dataset = CreateDataset(Script, false).Dataset;
    }
    std::vector<PointStyle>& Styles() { return Script.Table()->PointStyles; }
};

TEST(SelectionCommandsTest, RememberedSetsAreNamedAndApplyBack)
{
    TNamingUser user;
    TFixture f;
    ASSERT_NE(nullptr, f.Dataset);
    user.Names = {std::nullopt}; // the first naming dialog is cancelled
    EXPECT_FALSE(RememberStyles(*f.Dataset));
    EXPECT_TRUE(f.Dataset->StyleSets.empty());
    EXPECT_TRUE(RememberStyles(*f.Dataset));
    f.Styles()[1][FILLCOLOR] = 0xFF;
    user.Names = {std::string("Red second")};
    EXPECT_TRUE(RememberStyles(*f.Dataset));
    EXPECT_EQ((std::vector<std::string>{"Colors and sizes 1", "Colors and sizes 1", "Colors and sizes 2"}),
              user.Proposals);
    EXPECT_EQ((TArray1S{"Colors and sizes 1", "Red second"}), f.Dataset->StyleSetNames);

    EXPECT_TRUE(ChooseStyleSet(*f.Dataset, 0));
    EXPECT_EQ(DefaultPointStyle, f.Styles()[1]);
    EXPECT_TRUE(ChooseStyleSet(*f.Dataset, 1));
    EXPECT_EQ(0xFF, f.Styles()[1][FILLCOLOR]);
    EXPECT_FALSE(ChooseStyleSet(*f.Dataset, 2));

    // A visibility set remembered before the points were drawn shows every point.
    EXPECT_TRUE(RememberVisibility(*f.Dataset));
    EXPECT_EQ("Name for this visibility setting", user.Captions.back());
    EXPECT_EQ("Visibility 1", user.Proposals.back());
    EXPECT_EQ((TArray2I{{1, 1, 1, 1}}), f.Dataset->VisibilitySets);
    f.Dataset->Visibility = {0, 0, 0, 0};
    EXPECT_TRUE(ChooseVisibilitySet(*f.Dataset, 0));
    EXPECT_EQ((TArray1I{1, 1, 1, 1}), f.Dataset->Visibility);
}

TEST(SelectionCommandsTest, SetFilesGoThroughTheDialogsAndSurviveBadFiles)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(std::filesystem::temp_directory_path());
    TNamingUser user;
    TFixture f;
    RememberStyles(*f.Dataset);
    RememberVisibility(*f.Dataset);

    // A name typed without an extension gets the filter's; the folder becomes the
    // working directory.
    user.Files = {dir.File("styles"), dir.File("flags")};
    EXPECT_TRUE(SaveStyleSetsToFile(*f.Dataset));
    EXPECT_TRUE(SaveVisibilitySetsToFile(*f.Dataset));
    EXPECT_TRUE(std::filesystem::exists(dir.File("styles.obc")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("flags.obs")));
    EXPECT_EQ(std::filesystem::canonical(dir.Path()), std::filesystem::current_path());
    EXPECT_EQ((std::vector<std::string>{StyleSetFilter, VisibilitySetFilter}), user.DialogFilters);

    TFixture g;
    user.Files = {dir.File("styles.obc"), dir.File("flags.obs")};
    EXPECT_TRUE(LoadStyleSetsFromFile(*g.Dataset));
    EXPECT_TRUE(LoadVisibilitySetsFromFile(*g.Dataset));
    EXPECT_EQ(f.Dataset->StyleSets, g.Dataset->StyleSets);
    EXPECT_EQ(f.Dataset->VisibilitySetNames, g.Dataset->VisibilitySetNames);

    // A damaged file is reported and costs nothing; a cancelled dialog does nothing.
    test::WriteBytes(dir.File("bad.obc"), "1\r\nname\r\n1 1 \r\n1 x \r\n");
    user.Files = {dir.File("bad.obc")};
    EXPECT_FALSE(LoadStyleSetsFromFile(*g.Dataset));
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("bad.obc")) << user.Messages[0];
    EXPECT_EQ(f.Dataset->StyleSets, g.Dataset->StyleSets);
    EXPECT_FALSE(LoadVisibilitySetsFromFile(*g.Dataset));
    EXPECT_EQ(1u, user.Messages.size());
}

TEST(SelectionCommandsTest, ObjectsAreAppendedKeptOnErrorsTickedAndCleared)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(std::filesystem::temp_directory_path());
    test::TScriptedUser user;
    TFixture f;
    test::WriteBytes(dir.File("a.obo"), "A sphere 1 2 0.5 255 0 0\r\nB sphere 3 4 0.5 0 255 0\r\n"
                                        "C cylinder CONNECT A Z 0.1 0.1 0 0 255\r\n");
    user.Files = {dir.File("a.obo")};
    EXPECT_FALSE(LoadObjectsFromFile(*f.Dataset));
    ASSERT_EQ(1u, user.Messages.size());
    ASSERT_EQ(2u, f.Dataset->AddObjects.size());

    SetObjectsVisible(*f.Dataset, {false});
    EXPECT_EQ(0, f.Dataset->AddObjects[0]->Visible);
    EXPECT_EQ(1, f.Dataset->AddObjects[1]->Visible);

    user.Files = {dir.File("saved")};
    EXPECT_TRUE(SaveObjectsToFile(*f.Dataset));
    ClearObjects(*f.Dataset);
    EXPECT_TRUE(f.Dataset->AddObjects.empty());
    user.Files = {dir.File("saved.obo")};
    EXPECT_TRUE(LoadObjectsFromFile(*f.Dataset));
    ASSERT_EQ(2u, f.Dataset->AddObjects.size());
    EXPECT_EQ("B", f.Dataset->AddObjects[1]->Name);

    test::WriteBytes(dir.File("l.obv"), "0 0\r\n1 1\r\n2 2\r\n");
    user.Files = {dir.File("l.obv")};
    EXPECT_TRUE(LoadLinesFromFile(*f.Dataset));
    ASSERT_EQ(1u, f.Dataset->LineSets.size());
    EXPECT_EQ(3u, f.Dataset->LineSets[0].LinePoints.size());
}

TEST(SelectionCommandsTest, WriteSelectedWritesTickedFieldsOfMarkedPointsInMarkOrder)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(std::filesystem::temp_directory_path());
    test::TScriptedUser user;
    TFixture f;
    // Mark order, not point order; a point the dataset does not have is passed over.
    f.Dataset->MarkedPoints = {2, 0, 9};
    f.Dataset->MarkColors = {1, 1, 1};
    f.Dataset->MarkSizes = {5, 5, 5};
    EXPECT_EQ((std::vector<std::string>{"p2", f.Script.Table()->Values[2][2], "p0", f.Script.Table()->Values[0][2]}),
              MarkedRecordValues(*f.Dataset, {0, 2, 7}));

    user.Files = {dir.File("marked")};
    EXPECT_TRUE(WriteSelectedToFile(*f.Dataset, {0}));
    EXPECT_EQ("p2\r\np0\r\n", test::ReadBytes(dir.File("marked.txt")));

    // A folder that cannot be written to is reported.
    user.Files = {dir.File("no/such/folder/marked.txt")};
    EXPECT_FALSE(WriteSelectedToFile(*f.Dataset, {0}));
}

} // namespace
} // namespace orbelin::app

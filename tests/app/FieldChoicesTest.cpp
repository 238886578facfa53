// The Table panel's field choices and Create dataset.
#include "app/FieldChoices.h"
#include "AppTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace orbelin::app {
namespace {

/// Fields: 0 Name (String), 1 A (Float), 2 B (Integer), 3 C (Float), 4 D (Date).
data::TDataTable FiveFieldTable()
{
    return test::MakeTable({{"Name", TFieldType::String},
                            {"A", TFieldType::Float},
                            {"B", TFieldType::Integer},
                            {"C", TFieldType::Float},
                            {"D", TFieldType::Date}},
                           {{"x", "1", "2", "3", "2001-01-01"}, {"y", "4", "5", "6", "2001-01-02"}});
}

/// Use and Std of every field as "us" letters: "U" use, "S" std, "-" neither.
std::string UseStd(const TScript& script)
{
    std::string text;
    for (const data::TFieldChoice& c : *CurrentChoices(script))
        text += std::string(c.Use ? "U" : "-") + (c.Std ? "S" : "-") + " ";
    return text;
}

TEST(FieldChoicesTest, MarksSetUseAndResetStdOfEveryField)
{
    using TStep = std::function<void(TScript&)>;
    struct TCase {
        const char* Name;
        std::vector<TStep> Steps;
        std::string Expected;
    };
    const std::vector<int> all = {0, 1, 2, 3, 4};
    const TCase cases[] = {
        {"marking sets std", {[](TScript& s) { SetFieldMark(s, 1, true); }}, "-- US -- -- -- "},
        {"string and date cannot be marked",
         {[](TScript& s) { EXPECT_FALSE(SetFieldMark(s, 0, true)); }, [](TScript& s) { SetFieldMark(s, 4, true); }},
         "-- -- -- -- -- "},
        {"unmarking clears a separately set std",
         {[](TScript& s) { SetFieldMark(s, 1, true); },
          [](TScript& s) {
              SetNormalisation(s, {1, 3}, TNormalisation::Std, true);
          },
          [](TScript& s) { SetFieldMark(s, 1, false); }},
         "-- -- -- -- -- "},
        {"any mark change resets std to the marks",
         {[](TScript& s) { SetFieldMark(s, 1, true); },
          [](TScript& s) { SetNormalisation(s, {1}, TNormalisation::Std, false); },
          [](TScript& s) { SetNormalisation(s, {3}, TNormalisation::Std, true); },
          [](TScript& s) { SetFieldMark(s, 2, true); }},
         "-- US US -- -- "},
        {"mark skips fields that cannot be marked",
         {[&](TScript& s) { ApplyMarkOperation(s, all, TMarkOperation::Mark); }},
         "-- US US US -- "},
        {"invert skips fields that cannot be marked",
         {[](TScript& s) { SetFieldMark(s, 1, true); },
          [&](TScript& s) {
              ApplyMarkOperation(s, {0, 1, 2}, TMarkOperation::Invert);
          }},
         "-- -- US -- -- "},
        {"clear marks only the highlighted",
         {[&](TScript& s) { ApplyMarkOperation(s, all, TMarkOperation::Mark); },
          [](TScript& s) { ApplyMarkOperation(s, {2}, TMarkOperation::Clear); }},
         "-- US -- US -- "},
        {"field outside the table", {[](TScript& s) { EXPECT_FALSE(SetFieldMark(s, 9, true)); }}, "-- -- -- -- -- "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProject project;
        TScript& script = AddScript(project, "s");
        AppendTable(script, FiveFieldTable());
        for (const TStep& step : c.Steps)
            step(script);
        EXPECT_EQ(c.Expected, UseStd(script));
    }
}

TEST(FieldChoicesTest, NormalisationBoxesActOnHighlightedFieldsOnly)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, FiveFieldTable());
    ApplyMarkOperation(script, {1, 2, 3}, TMarkOperation::Mark);

    SetNormalisation(script, {}, TNormalisation::Log, true);
    for (const data::TFieldChoice& c : *CurrentChoices(script))
        EXPECT_FALSE(c.Log);

    SetNormalisation(script, {1, 2, 3}, TNormalisation::Log, true);
    SetNormalisation(script, {2}, TNormalisation::Tanh, true);
    SetNormalisation(script, {3}, TNormalisation::Range, true);
    const auto& choices = *CurrentChoices(script);
    EXPECT_TRUE(choices[1].Log && choices[2].Log && choices[3].Log);
    EXPECT_FALSE(choices[0].Log || choices[4].Log);
    EXPECT_TRUE(choices[2].Tanh && !choices[1].Tanh);
    EXPECT_TRUE(choices[3].Range && !choices[2].Range);
}

TEST(FieldChoicesTest, GroupCaptionFollowsTheHighlight)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, FiveFieldTable());
    SetFieldMark(script, 2, true);
    SetNormalisation(script, {2}, TNormalisation::Tanh, true);

    struct TCase {
        const char* Name;
        std::vector<int> Highlighted;
        std::string Caption;
        int Shown;
    };
    const TCase cases[] = {
        {"one field", {2}, "Normalizing field : B", 2},
        {"none shows field 0", {}, "Normalizing field : Name", 0},
        {"several", {1, 2}, "Normalizing selected fields", -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TNormalisationGroup group = GroupAfterClick(script, c.Highlighted);
        EXPECT_EQ(c.Caption, group.Caption);
        EXPECT_EQ(c.Shown, group.ShownField);
        EXPECT_EQ(c.Shown >= 0, group.BoxesShowField);
    }
    const TNormalisationGroup one = GroupAfterClick(script, {2});
    EXPECT_TRUE(one.Shown.Std && one.Shown.Tanh && !one.Shown.Log);
    std::string list;
    for (const TFieldListRow& row : FieldList(script))
        list += row.Name + (row.Marked ? "+" : "-") + (row.Enabled ? "e " : "d ");
    EXPECT_EQ("Name-d A-e B+e C-e D-d ", list);
    EXPECT_EQ("Field normal. : ...", GroupOnRefresh(script).Caption);
    EXPECT_EQ(0, GroupOnRefresh(script).ShownField);
}

TEST(FieldChoicesTest, CreateDatasetNamesBuildsAndNormalises)
{
    TProject project;
    AddScript(project, "s0");
    TScript& script = AddScript(project, "s1");
    AppendTable(script, FiveFieldTable());
    SetFieldMark(script, 1, true);
    SetFieldMark(script, 3, true);

    const TCreateDatasetResult first = CreateDataset(script, true);
    ASSERT_NE(nullptr, first.Dataset);
    EXPECT_EQ("Datasets11", first.Dataset->Name);
    EXPECT_TRUE(first.Dataset->ExcludeGaps);
    EXPECT_EQ(2, first.Dataset->CoordCount);
    EXPECT_EQ(2, first.Dataset->PointCount);
    // A and C with the deviation step: (1, 4) and (3, 6) both become (-1, 1).
    EXPECT_NEAR(-1.0, first.Dataset->Points[0][0], 1e-12);
    EXPECT_NEAR(1.0, first.Dataset->Points[1][1], 1e-12);
    EXPECT_EQ(0, first.UnparsedCells);
    EXPECT_EQ("", UnparsedCellsMessage(first));

    const TCreateDatasetResult second = CreateDataset(script, false);
    ASSERT_NE(nullptr, second.Dataset);
    EXPECT_EQ("Datasets12", second.Dataset->Name);
    EXPECT_EQ(1, script.CurrentDataset);
}

TEST(FieldChoicesTest, CreateDatasetWithoutMarksAddsNothing)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, FiveFieldTable());
    SetFieldMark(script, 1, true);
    ASSERT_NE(nullptr, CreateDataset(script, false).Dataset);
    SetFieldMark(script, 1, false);
    const TCreateDatasetResult none = CreateDataset(script, false);
    EXPECT_EQ(nullptr, none.Dataset);
    EXPECT_EQ(1u, script.Datasets.size());
    EXPECT_EQ(0, script.CurrentDataset);

    TScript& empty = AddScript(project, "no table");
    EXPECT_EQ(nullptr, CreateDataset(empty, false).Dataset);
    EXPECT_TRUE(empty.Datasets.empty());
}

TEST(FieldChoicesTest, CreateDatasetReportsValuesThatAreNotNumbers)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, test::MakeTable({{"A", TFieldType::Float}, {"B", TFieldType::Float}},
                                        {{"1", "2"}, {"3", "oops"}, {"x", "6"}, {"7", "8"}}));
    ApplyMarkOperation(script, {0, 1}, TMarkOperation::Mark);
    const TCreateDatasetResult result = CreateDataset(script, false);
    ASSERT_NE(nullptr, result.Dataset);
    EXPECT_EQ(2, result.UnparsedCells);
    EXPECT_EQ(1, result.FirstUnparsedRecord);
    EXPECT_EQ(1, result.FirstUnparsedField);
    EXPECT_EQ("Datasets01: 2 values of the marked fields are not numbers and were taken as gaps (the first in "
              "record 2, field \"B\").",
              UnparsedCellsMessage(result));
}

// Digits run together, and deleted datasets free low numbers: a name already in the
// project is passed over, because two datasets of one name would share one file.
TEST(FieldChoicesTest, DatasetNamesNeverRepeatInAProject)
{
    TProject project;
    for (int s = 0; s < 12; ++s)
        AddScript(project, "s" + std::to_string(s));
    TScript& eleven = *project.Scripts[11];
    AppendTable(eleven, FiveFieldTable());
    SetFieldMark(eleven, 1, true);
    CreateDataset(eleven, false);
    EXPECT_EQ("Datasets112", CreateDataset(eleven, false).Dataset->Name);

    // Script 1's eleventh dataset would be "Datasets111", script 11's first.
    TScript& one = *project.Scripts[1];
    AppendTable(one, FiveFieldTable());
    SetFieldMark(one, 1, true);
    for (int i = 0; i < 10; ++i)
        CreateDataset(one, false);
    EXPECT_EQ("Datasets110", one.Datasets.back()->Name);
    EXPECT_EQ("Datasets113", CreateDataset(one, false).Dataset->Name);

    RemoveDataset(one, 0);
    EXPECT_EQ("Datasets114", CreateDataset(one, false).Dataset->Name);
}

} // namespace
} // namespace orbelin::app

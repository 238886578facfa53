// The table window's commands on records, points and tables.
#include "app/TableWindowCommands.h"

#include "AppTestUtil.h"
#include "data/DatasetBuild.h"
#include "data/TTablePage.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace orbelin::app {
namespace {

using test::TScriptedUser;

// A script in a fresh working directory with the table "xy" (Name, X, Y; four records)
// and a dataset on X and Y built without normalisation. Record 2 is unselected, so the
// points are records 0, 1 and 3.
class TableWindowCommandsTest : public ::testing::Test {
protected:
    TableWindowCommandsTest() : Folder_(Dir.Path()) {}

    void SetUp() override
    {
        Script = &AddScript(Project, "S");
        Table = &AppendTable(*Script, test::MakeXYTable("xy", {{1, 1}, {2, 2}, {3, 3}, {4, 5}}));
        Table->PointStyles[2][SELECTED] = 0;
        Data = &AddDataset(*Script, "D");
        std::vector<data::TFieldChoice> choices(3);
        choices[1].Use = choices[2].Use = true;
        ASSERT_TRUE(data::BuildFromTable(*Data, choices).Built);
        data::Normalise(*Data);
        ASSERT_EQ((TArray1I{0, 1, 3}), Data->NUMXI);
    }

    map::TMap& AddMap(TArray2D components)
    {
        auto map = std::make_unique<map::TMap>();
        map->Data = Data;
        map->Components = std::move(components);
        Data->Maps.push_back(std::move(map));
        Data->ActiveMap = static_cast<int>(Data->Maps.size()) - 1;
        return *Data->Maps.back();
    }

    test::TTempDir Dir;
    test::TWorkingDirectory Folder_;
    TProject Project;
    TScript* Script = nullptr;
    data::TDataTable* Table = nullptr;
    data::TData* Data = nullptr;
};

TEST_F(TableWindowCommandsTest, RightClickMarkAndUnmarkChangeRecordStyles)
{
    view::TSelectionStyle style;
    style.SetFillColor(0x00FF00);
    const PointStyle before = Table->PointStyles[0];

    EXPECT_FALSE(ToggleRecordSelection(*Table, 0, style));
    EXPECT_EQ(0, Table->PointStyles[0][SELECTED]);
    EXPECT_EQ(before[FILLCOLOR], Table->PointStyles[0][FILLCOLOR]) << "deselecting keeps the style";
    EXPECT_TRUE(ToggleRecordSelection(*Table, 0, style));
    EXPECT_EQ((PointStyle{1, 0, 8, 0x00FF00, 0, 1, 1, 0}), Table->PointStyles[0]);
    const std::vector<PointStyle> all = Table->PointStyles;
    EXPECT_FALSE(ToggleRecordSelection(*Table, 4, style));
    EXPECT_FALSE(ToggleRecordSelection(*Table, -1, style));
    EXPECT_EQ(all, Table->PointStyles);

    style.SetFillColor(0x0000FF);
    MarkRecords(*Table, {1, 2, 99}, style);
    EXPECT_EQ(1, Table->PointStyles[2][SELECTED]);
    EXPECT_EQ(0x0000FF, Table->PointStyles[1][FILLCOLOR]);
    EXPECT_EQ(0x0000FF, Table->PointStyles[2][FILLCOLOR]);
    UnmarkRecords(*Table, {1, -1, 99});
    EXPECT_EQ(0, Table->PointStyles[1][SELECTED]);
    EXPECT_EQ(0x0000FF, Table->PointStyles[1][FILLCOLOR]);
    EXPECT_EQ(1, Table->PointStyles[2][SELECTED]);
}

TEST_F(TableWindowCommandsTest, SelectDeselectAndReverseMarkThePointsOfRecords)
{
    view::TSelectionProperties marks;
    struct TStep {
        const char* Name;
        std::vector<int> Records;
        int Mode;
        int Size;
        bool Result;
        TArray1I Marked;
        TArray1I Sizes;
    };
    const TStep steps[] = {
        {"select a point and a record that is none", {0, 2}, data::MarkAdd, 5, true, {0}, {5}},
        {"select the marked record again keeps its mark", {0}, data::MarkAdd, 7, true, {0}, {7}},
        {"select two, one already marked", {0, 3}, data::MarkAdd, 6, true, {0, 2}, {6, 6}},
        {"reverse", {0, 1}, data::MarkToggle, 5, true, {2, 1}, {6, 5}},
        {"deselect", {3, 1}, data::MarkRemove, 5, true, {}, {}},
        {"no point among the records", {2}, data::MarkAdd, 5, false, {}, {}},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Name);
        marks.Size = s.Size;
        EXPECT_EQ(s.Result, MarkRecordPoints(*Data, s.Records, marks, s.Mode));
        EXPECT_EQ(s.Marked, Data->MarkedPoints);
        EXPECT_EQ(s.Sizes, Data->MarkSizes);
        EXPECT_EQ(s.Marked.size(), Data->MarkColors.size());
        for (const int colour : Data->MarkColors)
            EXPECT_EQ(view::PackedYellow, colour);
    }
}

TEST_F(TableWindowCommandsTest, SyncronizeRebuildsPointsOrLeavesTheDatasetWhole)
{
    TScriptedUser user;
    Data->Visibility = {1, 0, 1};
    MarkRecordPoints(*Data, {3}, view::TSelectionProperties(), data::MarkAdd);
    map::TMap& map = AddMap({});
    map.ProjectionsValid = true;

    Table->PointStyles[0][SELECTED] = 0;
    Table->PointStyles[2][SELECTED] = 1;
    ASSERT_TRUE(SyncronizeWithTable(*Data));
    EXPECT_EQ((TArray1I{1, 2, 3}), Data->NUMXI);
    EXPECT_EQ(3, Data->PointCount);
    EXPECT_EQ((TArray1I{0, 1, 1}), Data->Visibility) << "flags follow records, new points are shown";
    EXPECT_EQ((TArray1I{2}), Data->MarkedPoints);
    EXPECT_FALSE(map.ProjectionsValid);
    EXPECT_TRUE(user.Messages.empty());

    for (PointStyle& style : Table->PointStyles)
        style[SELECTED] = 0;
    EXPECT_FALSE(SyncronizeWithTable(*Data));
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("left as it was")) << user.Messages[0];
    EXPECT_EQ((TArray1I{1, 2, 3}), Data->NUMXI);
    EXPECT_EQ(3u, Data->Points.size());

    Table->PointStyles[0][SELECTED] = 1;
    Table->Values[0][1] = "abc";
    EXPECT_TRUE(SyncronizeWithTable(*Data));
    ASSERT_EQ(2u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[1].find("not a number")) << user.Messages[1];
}

TEST_F(TableWindowCommandsTest, ChangeTableRereadsOnlyWhatTheDatasetsCanFollow)
{
    TScriptedUser user;
    const std::string more = test::WriteXYTable(Dir, "more", {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
    const std::string noX = Dir.File("nox.obt");
    data::SaveTable(test::MakeTable({{"Name", TFieldType::String}, {"Y", TFieldType::Float}}, {{"a", "1"}}, "nox"),
                    noX);
    const std::string fewer = test::WriteXYTable(Dir, "fewer", {{1, 1}, {2, 2}});
    Script->FieldChoices[0][1].Use = true;

    user.Files = {more};
    ASSERT_TRUE(ChangeTableCommand(*Script, 0));
    EXPECT_EQ(Table, Script->Tables[0].get()) << "the same table object is refilled";
    EXPECT_EQ(5, Table->RecordCount);
    EXPECT_EQ("more.OBT", Table->Name);
    EXPECT_EQ(3u, Script->FieldChoices[0].size());
    EXPECT_FALSE(Script->FieldChoices[0][1].Use);
    EXPECT_EQ((TArray1B{false, true, true}), Data->UsedFields);

    struct TCase {
        const char* Name;
        std::string Path;
        const char* Message;
    };
    const TCase refused[] = {
        {"a coordinate's field is missing", noX, "uses the field X"},
        {"too few records for the points", fewer, "has a point of record 4"},
        {"no such file", Dir.File("absent.obt"), "absent.obt"},
    };
    for (const TCase& c : refused) {
        SCOPED_TRACE(c.Name);
        user.Messages.clear();
        EXPECT_FALSE(ChangeTableFromFile(*Script, 0, c.Path));
        ASSERT_EQ(1u, user.Messages.size());
        EXPECT_NE(std::string::npos, user.Messages[0].find(c.Message)) << user.Messages[0];
        EXPECT_EQ("more.OBT", Table->Name);
        EXPECT_EQ(5, Table->RecordCount);
    }

    user.Messages.clear();
    EXPECT_FALSE(ChangeTableCommand(*Script, 0)) << "dialog cancelled";
    EXPECT_TRUE(user.Messages.empty());
}

TEST_F(TableWindowCommandsTest, DerivedTablesAreWrittenAndAddedToTheScript)
{
    TScriptedUser user;
    EXPECT_EQ(-1, AddTableWithoutFirstComponent(*Script)) << "no map";
    TScript& empty = AddScript(Project, "E");
    AppendTable(empty, test::MakeXYTable("lone", {{1, 1}}));
    EXPECT_EQ(-1, AddTransposedTable(empty)) << "no dataset";
    EXPECT_EQ(1u, empty.Tables.size());

    ASSERT_EQ(1, AddTransposedTable(*Script));
    const data::TDataTable& transposed = *Script->Tables[1];
    EXPECT_EQ(1, Script->CurrentTable);
    EXPECT_EQ("xy.OBT_T.OBT", transposed.Name);
    EXPECT_TRUE(std::filesystem::exists(Dir.File("xy.OBT_T.obt")));
    EXPECT_EQ((TArray1S{"Feature", "F1", "F2", "F3"}), transposed.FieldNames);
    EXPECT_EQ(2, transposed.RecordCount);

    // Along X, the first direction takes all of X away and leaves Y.
    AddMap({{1, 0}, {0, 1}});
    ASSERT_EQ(2, AddTableWithoutFirstComponent(*Script));
    const data::TDataTable& reduced = *Script->Tables[2];
    EXPECT_EQ("xy.OBT_sPC1.OBT", reduced.Name);
    ASSERT_EQ(4, reduced.RecordCount);
    const char* y[] = {"1", "2", "3", "5"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ("0", reduced.Values[static_cast<std::size_t>(r)][1]) << r;
        EXPECT_EQ(y[r], reduced.Values[static_cast<std::size_t>(r)][2]) << r;
    }
    EXPECT_TRUE(user.Messages.empty());
}

TEST_F(TableWindowCommandsTest, FirstDirectionComesFromTheMapOrIsFitted)
{
    const map::TMap& withComponents = AddMap({{0.6, 0.8}, {-0.8, 0.6}});
    EXPECT_EQ((TArray1D{0.6, 0.8}), FirstPrincipalDirection(*Data, withComponents));

    // Points on the line y = 2x: the direction is (1, 2) / sqrt(5).
    Data->Points = {{0, 0}, {1, 2}, {2, 4}, {3, 6}};
    const map::TMap& without = AddMap({});
    const map::TMap& wrongSize = AddMap({{1, 0, 0}});
    for (const map::TMap* map : {&without, &wrongSize}) {
        const TArray1D v = FirstPrincipalDirection(*Data, *map);
        ASSERT_EQ(2u, v.size());
        EXPECT_NEAR(1 / std::sqrt(5.0), v[0], 1e-4);
        EXPECT_NEAR(2 / std::sqrt(5.0), v[1], 1e-4);
    }
}

TEST_F(TableWindowCommandsTest, ExportsWriteThePageGrid)
{
    TScriptedUser user;
    const data::TDataTable small =
        test::MakeTable({{"x", TFieldType::String}, {"y", TFieldType::String}}, {{" a", "b "}}, "small");
    const data::TTablePage page(small, nullptr);

    EXPECT_FALSE(ExportPageCsv(page)) << "dialog cancelled";
    user.Files = {Dir.File("out")};
    ASSERT_TRUE(ExportPageCsv(page));
    EXPECT_EQ("\xEF\xBB\xBF\"\";\"x\";\"y\";\r\n\"1\";\"a\";\"b\";\r\n", test::ReadBytes(Dir.File("out.csv")));

    ASSERT_TRUE(ExportPageXlsx(page, Dir.File("out.xlsx")));
    EXPECT_EQ("PK", test::ReadBytes(Dir.File("out.xlsx")).substr(0, 2));
    EXPECT_FALSE(ExportPageXlsx(page, Dir.File("absent/out.xlsx")));
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_NE(std::string::npos, user.Messages[0].find("out.xlsx")) << user.Messages[0];
}

} // namespace
} // namespace orbelin::app

// The table window's grid texts and their CSV export.
#include "data/TableGrid.h"
#include "TableMaker.h"
#include "TestUtil.h"
#include "data/CsvTable.h"
#include "data/DatasetBuild.h"
#include "data/TableSort.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

using test::MakeTable;

TEST(TableGridTest, GridShowsRecordsInDisplayOrderWithResultColumns)
{
    TDataTable table =
        MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}}, {{"  a ", " 1.5"}, {"b", ""}, {"c", "3"}});
    TData data;
    data.Table = &table;
    std::vector<TFieldChoice> choices(2);
    choices[1].Use = true;
    data.ExcludeGaps = true;
    ASSERT_TRUE(BuildFromTable(data, choices).Built); // records 0 and 2 are points
    data.ResultColumnNames = {"Class", "Annot"};
    data.ResultColumns = {{"k1", "k2"}, {"first"}};

    EXPECT_EQ((TArray2S{{"", "Name", "X", "Class", "Annot"},
                        {"3", "c", "3", "k2", ""},
                        {"1", "a", "1.5", "k1", "first"},
                        {"2", "b", "", "", ""}}),
              TableGrid(table, &data, {2, 0, 1}));
    // Without the dataset of this table, or with an order that does not fit, the plain grid.
    TDataTable other = table;
    EXPECT_EQ((TArray2S{{"", "Name", "X"}, {"1", "a", "1.5"}, {"2", "b", ""}, {"3", "c", "3"}}),
              TableGrid(other, &data, {5}));
    EXPECT_EQ(1u, TableGrid(MakeTable({{"X", TFieldType::Float}}, {}), nullptr).size());
}

TEST(TableGridTest, CsvExportQuotesEveryCellAndReadsBack)
{
    test::TTempDir dir;
    const std::string path = dir.File("grid.csv");
    test::WriteBytes(path, "old");
    const TArray2S grid = {{"", "Name", "Note"}, {"1", "x", "y"}, {"2", "Ёлкино", "say \"hi\"; bye"}};
    WriteGridCsv(grid, path);
    EXPECT_EQ("\xEF\xBB\xBF\"\";\"Name\";\"Note\";\r\n"
              "\"1\";\"x\";\"y\";\r\n"
              "\"2\";\"Ёлкино\";\"say \"\"hi\"\"; bye\";\r\n",
              test::ReadBytes(path));

    // Every cell comes back, the empty last one that the closing semicolon makes aside.
    TDataTable back;
    ReadCsvBytes(test::ReadBytes(path), path, back);
    EXPECT_EQ((TArray1S{"_", "Name", "Note", "__2"}), back.FieldNames);
    EXPECT_EQ((TArray2S{{"1", "x", "y", ""}, {"2", "Ёлкино", "say \"hi\"; bye", ""}}), back.Values);

    ORBELIN_EXPECT_ERROR(WriteGridCsv(grid, dir.File("no/such/folder/g.csv")), "no/such/folder/g.csv");
}

} // namespace
} // namespace orbelin::data

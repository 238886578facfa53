// Syncronize, Change table, Transpose and Subtract first PC.
#include "data/TableOperations.h"
#include "TableMaker.h"
#include "TestUtil.h"
#include "data/DatasetBuild.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::data {
namespace {

using test::MakeTable;

const std::string Fixtures = ORBELIN_FIXTURES;

TDataTable Measurements()
{
    return MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"Y", TFieldType::Integer}},
                     {{"a", "1", "2"}, {"b", "2", "4"}, {"c", "3", "9"}, {"d", "6", "1"}});
}

// A dataset of X (deviation step) and Y (no step) built on table.
void Build(TData& data, TDataTable& table, bool excludeGaps = false)
{
    data.Name = "Datasets01";
    data.Table = &table;
    data.ExcludeGaps = excludeGaps;
    std::vector<TFieldChoice> choices(3);
    choices[1] = {true, false, false, false, true};
    choices[2] = {true, false, false, false, false};
    ASSERT_TRUE(BuildFromTable(data, choices).Built);
    Normalise(data);
}

TEST(TableOperationsTest, SyncronizeRebuildsPointsWithTheStoredStatistics)
{
    for (const bool excludeGaps : {false, true}) {
        SCOPED_TRACE(excludeGaps);
        TDataTable table = Measurements();
        TData data;
        Build(data, table, excludeGaps);
        const TNormStat xStat = data.NormStat[0];

        table.Values[1][1] = "10";
        table.Values[3][2] = ""; // a gap
        table.Values[2][2] = "n/a";
        table.PointStyles[0][SELECTED] = 0;
        const TBuildResult result = SyncronizeDataset(data, table);
        EXPECT_EQ(1, result.UnparsedCells);
        EXPECT_EQ(2, result.FirstUnparsedRecord);
        EXPECT_EQ(2, result.FirstUnparsedField);
        // Records with a gap stay points with a missing coordinate unless gaps are excluded.
        EXPECT_EQ((excludeGaps ? TArray1I{1} : TArray1I{1, 2, 3}), data.NUMXI);
        ASSERT_EQ(static_cast<int>(data.NUMXI.size()), data.PointCount);
        EXPECT_DOUBLE_EQ((10 - xStat.Mean) / xStat.Std, data.Points[0][0]);
        EXPECT_EQ(4.0, data.Points[0][1]);
        EXPECT_EQ(xStat.Mean, data.NormStat[0].Mean);
        EXPECT_EQ(xStat.Std, data.NormStat[0].Std);
        if (!excludeGaps) {
            EXPECT_TRUE(IsMissing(data.Points[1][1]));
            EXPECT_TRUE(IsMissing(data.Points[2][1]));
        }
    }
}

TEST(TableOperationsTest, SyncronizeKeepsScaleAndMovesPerPointDataWithTheRecords)
{
    TDataTable table = Measurements();
    TData data;
    Build(data, table);
    ScaleDataset(data);
    MarkPoints(data, {0, 2}, 0xFF, 5, MarkAdd);
    data.ResultColumnNames = {"Class"};
    data.ResultColumns = {{"p", "q", "r", "s"}};
    data.PointWeights = {1, 2, 3, 4};

    table.PointStyles[0][SELECTED] = 0;
    SyncronizeDataset(data, table);
    EXPECT_EQ((TArray1I{1, 2, 3}), data.NUMXI);
    EXPECT_EQ(2 * 4.0, data.Points[0][1]); // the dataset is still scaled by 2
    EXPECT_EQ(2.0, data.Scale);
    // Record 0 left the dataset with its mark; record 2's mark moved to its new index.
    EXPECT_EQ((TArray1I{1}), data.MarkedPoints);
    EXPECT_EQ((TArray1I{0xFF}), data.MarkColors);
    EXPECT_EQ((TArray1I{5}), data.MarkSizes);
    EXPECT_EQ((TArray2S{{"q", "r", "s"}}), data.ResultColumns);
    EXPECT_EQ((TArray1D{2, 3, 4}), data.PointWeights);

    // A record that comes back has no mark, no result text and weight 0.
    table.PointStyles[0][SELECTED] = 1;
    SyncronizeDataset(data, table);
    EXPECT_EQ((TArray1I{0, 1, 2, 3}), data.NUMXI);
    EXPECT_EQ((TArray1I{2}), data.MarkedPoints);
    EXPECT_EQ((TArray2S{{"", "q", "r", "s"}}), data.ResultColumns);
    EXPECT_EQ((TArray1D{0, 2, 3, 4}), data.PointWeights);

    TDataTable other = MakeTable({{"X", TFieldType::Float}}, {{"1"}});
    ORBELIN_EXPECT_ERROR(SyncronizeDataset(data, other), "has no field Y");
}

TEST(TableOperationsTest, ChangeTableRereadsByTheExtension)
{
    test::TTempDir dir;
    TDataTable table;
    LoadTable(table, Fixtures + "/cyrillic.obt", TTableKind::TableFile);
    struct TCase {
        std::string Path;
        const char* Name;
        int Fields;
    };
    test::WriteBytes(dir.File("m.csv"), "a;b\n1;2\n");
    SaveTable(table, dir.File("UPPER.OBT"));
    const TCase cases[] = {
        {Fixtures + "/cities.dbf", "cities.OBT", 10},
        {Fixtures + "/stock.db", "stock.OBT", 10},
        {dir.File("m.csv"), "m.OBT", 2},
        {dir.File("UPPER.OBT"), "UPPER.OBT", 4},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        ChangeTable(table, c.Path);
        EXPECT_EQ(c.Path, table.Path);
        EXPECT_EQ(c.Name, table.Name);
        EXPECT_EQ(c.Fields, table.FieldCount);
    }
    test::WriteBytes(dir.File("notes.txt"), "text");
    ORBELIN_EXPECT_ERROR(ChangeTable(table, dir.File("notes.txt")), "as a database table");
    EXPECT_EQ("UPPER.OBT", table.Name); // a failed re-read leaves the table as it was
}

TEST(TableOperationsTest, TransposeWithoutAnnotations)
{
    TDataTable table = MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"Y", TFieldType::Float}},
                                 {{"a", "1", "2"}, {"", "2", "4"}, {"c", "3", "9"}}, "t");
    TData data;
    data.Table = &table;
    std::vector<TFieldChoice> choices(3);
    choices[1].Use = choices[2].Use = true;
    ASSERT_TRUE(BuildFromTable(data, choices).Built);
    Normalise(data);
    data.Points[1][1] = Missing();

    const TDataTable x = TransposeTable(data, table);
    EXPECT_EQ("t.OBT_T.obt", x.Path);
    EXPECT_EQ("t.OBT_T.OBT", x.Name);
    EXPECT_EQ((TArray1S{"Feature", "F1", "F2", "F3"}), x.FieldNames);
    EXPECT_EQ((TArray1T{TFieldType::String, TFieldType::Float, TFieldType::Float, TFieldType::Float}), x.FieldTypes);
    EXPECT_EQ((TArray1I{5, 5, 5, 5}), x.FieldWidths);
    EXPECT_EQ((TArray2S{{"X", "1.0000", "2.0000", "3.0000"}, {"Y", "2.0000", "", "9.0000"}}), x.Values);
    EXPECT_EQ(2, x.RecordCount);
    EXPECT_EQ((TArray1S{"F1", "FLOAT", "TRUE", "\"a\""}), x.FieldDescriptors[1]);
    EXPECT_EQ((TArray1S{"F2", "FLOAT", "TRUE", "@"}), x.FieldDescriptors[2]);
    EXPECT_EQ(2u, x.PointStyles.size());
}

TEST(TableOperationsTest, TransposeCarriesAnnotationsAndReadsBack)
{
    test::TTempDir dir;
    TDataTable table = MakeTable({{"Town", TFieldType::String},
                                  {"Kind", TFieldType::String},
                                  {"X", TFieldType::Float},
                                  {"Y", TFieldType::Float}},
                                 {{"Ann Arbor", "k1", "1", "2"}, {"Tver", "", "-0.5", "4"}}, "t");
    table.FieldDescriptors[2] = {"X", "FLOAT", "TRUE", "cm", "length"};
    table.FieldDescriptors[3] = {"Y", "FLOAT", "TRUE", "kg"};
    TData data;
    data.Table = &table;
    std::vector<TFieldChoice> choices(4);
    choices[2].Use = choices[3].Use = true;
    ASSERT_TRUE(BuildFromTable(data, choices).Built);
    Normalise(data);

    const TDataTable x = TransposeTable(data, table);
    EXPECT_EQ((TArray1S{"Feature", "D1", "D2", "F1", "F2"}), x.FieldNames);
    EXPECT_EQ((TArray2S{{"X", "cm", "length", "1.0000", "-0.5000"}, {"Y", "kg", "", "2.0000", "4.0000"}}), x.Values);
    EXPECT_EQ((TArray1S{"F1", "FLOAT", "TRUE", "\"Ann Arbor\"", "\"k1\""}), x.FieldDescriptors[3]);
    EXPECT_EQ((TArray1S{"F2", "FLOAT", "TRUE", "\"Tver\"", "@"}), x.FieldDescriptors[4]);

    const std::string path = dir.File(DerivedTableFileName(table, "_T"));
    SaveTable(x, path);
    TDataTable back;
    LoadTable(back, path, TTableKind::TableFile);
    EXPECT_EQ(x.Name, back.Name);
    EXPECT_EQ(x.Values, back.Values);
    EXPECT_EQ((TArray1S{"F1", "FLOAT", "TRUE", "Ann Arbor", "k1"}), back.FieldDescriptors[3]);
}

TEST(TableOperationsTest, SubtractFirstComponentRemovesTheDirection)
{
    TDataTable table = Measurements();
    table.Values[3][2] = "";
    table.PointStyles[0][SELECTED] = 0; // not a point, but a record all the same
    TData data;
    data.Table = &table;
    std::vector<TFieldChoice> choices(3);
    choices[1].Use = choices[2].Use = true; // no normalisation: the values are the coordinates
    ASSERT_TRUE(BuildFromTable(data, choices).Built);
    Normalise(data);

    const TDataTable y = SubtractFirstComponent(data, table, {0.6, 0.8});
    EXPECT_EQ("t.OBT_sPC1.obt", y.Path);
    EXPECT_EQ("t.OBT_sPC1.OBT", y.Name);
    // (1, 2): t = 2.2, (1 - 1.32, 2 - 1.76). (6, missing): t = 3.6, (6 - 2.16, missing).
    EXPECT_EQ((TArray1S{"a", "-0.32", "0.24"}), y.Values[0]);
    EXPECT_EQ((TArray1S{"b", "-0.64", "0.48"}), y.Values[1]);
    EXPECT_EQ((TArray1S{"d", "3.84", ""}), y.Values[3]);
    EXPECT_EQ(TFieldType::Float, y.FieldTypes[2]);
    EXPECT_EQ("FLOAT", y.FieldDescriptors[2][1]);
    EXPECT_EQ(table.PointStyles, y.PointStyles);
    EXPECT_EQ("2", table.Values[0][2]); // the source table is untouched
}

TEST(TableOperationsTest, SubtractFirstComponentWorksInNormalisedUnits)
{
    TDataTable table = Measurements();
    TData data;
    Build(data, table); // X with the deviation step, Y without
    const TDataTable y = SubtractFirstComponent(data, table, {1, 0});
    // Along X everything is removed: every X becomes the mean; Y is untouched.
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_NEAR(data.NormStat[0].Mean, std::stod(y.Values[static_cast<std::size_t>(r)][1]), 1e-12);
        EXPECT_EQ(table.Values[static_cast<std::size_t>(r)][2], y.Values[static_cast<std::size_t>(r)][2]);
    }
    ORBELIN_EXPECT_ERROR(SubtractFirstComponent(data, table, {1}), "the direction has 1 entries for the 2");
    TDataTable other = MakeTable({{"X", TFieldType::Float}}, {{"1"}});
    ORBELIN_EXPECT_ERROR(SubtractFirstComponent(data, other, {1, 0}), "has no field Y");
}

} // namespace
} // namespace orbelin::data

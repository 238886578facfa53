// dBase tables: field types, values, NULLs, deleted records, code pages and damaged files.
#include "TestUtil.h"
#include "data/DatasetBuild.h"
#include "data/TDataTable.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

// The fixtures are written by shapelib's own writer (fixtures/MakeDbFixtures.cpp).
const std::string Fixtures = ORBELIN_FIXTURES;

TEST(DbfTableTest, ReadsTypesValuesAndNullsAndSkipsDeletedRecords)
{
    TDataTable table;
    LoadTable(table, Fixtures + "/cities.dbf", TTableKind::Database);
    EXPECT_EQ("cities.OBT", table.Name);
    EXPECT_EQ((TArray1S{"NAME", "POP", "CODE", "AREA", "BIGNUM", "CAPITAL", "FOUNDED", "RATIO", "NOTE", "ГОРОД"}),
              table.FieldNames);
    EXPECT_EQ(
        (TArray1T{TFieldType::String, TFieldType::Float, TFieldType::SmallInt, TFieldType::Integer, TFieldType::Float,
                  TFieldType::Boolean, TFieldType::Date, TFieldType::Float, TFieldType::Memo, TFieldType::String}),
        table.FieldTypes);
    EXPECT_EQ((TArray1S{"CODE", "INTEGER", "TRUE"}), table.FieldDescriptors[2]);
    // Numbers keep the file's text; the third stored record is deleted.
    EXPECT_EQ((TArray2S{
                  {"Москва", "12.66", "77", "2511", "123456789012", "TRUE", "1147-01-01", "0.125", "", "столица"},
                  {"Tver", "", "69", "", "", "FALSE", "", "", "", ""},
                  {"Ёлкино", "-0.50", "-12", "0", "-1", "", "2024-01-02", "1000.000", "", "село"},
              }),
              table.Values);
    EXPECT_EQ(3, table.RecordCount);
    EXPECT_EQ((TArray1I{6, 5, 6, 6, 12, 9, 10, 8, 6, 7}), table.FieldWidths);
    EXPECT_EQ(3u, table.PointStyles.size());
}

TEST(DbfTableTest, DecodesTheDeclaredCodePage)
{
    struct TCase {
        const char* File;
        int Record;
    };
    const TCase cases[] = {
        {"cities.dbf", 2}, // language driver 201, Windows-1251
        {"dos866.dbf", 0}, // language driver 101, DOS 866
        {"utf8.dbf", 0},   // "UTF-8" in utf8.cpg
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TDataTable table;
        LoadTable(table, Fixtures + "/" + c.File, TTableKind::Database);
        EXPECT_EQ("Ёлкино", table.Values[static_cast<std::size_t>(c.Record)][0]);
    }
}

TEST(DbfTableTest, NumericFieldsBuildADatasetAndTheTableSavesAndReadsBack)
{
    test::TTempDir dir;
    TDataTable table;
    LoadTable(table, Fixtures + "/cities.dbf", TTableKind::Database);
    std::vector<TFieldChoice> choices(static_cast<std::size_t>(table.FieldCount));
    for (int j = 0; j < table.FieldCount; ++j)
        choices[static_cast<std::size_t>(j)].Use = IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(j)]);
    TData data;
    data.Table = &table;
    ASSERT_TRUE(BuildFromTable(data, choices).Built);
    EXPECT_EQ((TArray1S{"POP", "CODE", "AREA", "BIGNUM", "RATIO"}), data.CoordNames);
    ASSERT_EQ(3, data.PointCount);
    EXPECT_EQ(-0.5, data.Points[2][0]);
    EXPECT_EQ(123456789012.0, data.Points[0][3]);
    EXPECT_TRUE(IsMissing(data.Points[1][0]));

    SaveTable(table, dir.File("back.obt"));
    TDataTable back;
    LoadTable(back, dir.File("back.obt"), TTableKind::TableFile);
    EXPECT_EQ(table.FieldNames, back.FieldNames);
    EXPECT_EQ(table.Values, back.Values);
    // Types without a keyword of their own are saved under the nearest one.
    EXPECT_EQ(TFieldType::Integer, back.FieldTypes[2]);
    EXPECT_EQ(TFieldType::String, back.FieldTypes[8]);
}

TEST(DbfTableTest, DamagedFilesGiveErrorsThatNameTheFile)
{
    test::TTempDir dir;
    const std::string good = test::ReadBytes(Fixtures + "/cities.dbf");
    std::string manyRecords = good;
    manyRecords[7] = '\x7F'; // the record count's high byte
    std::string noHeader = good;
    noHeader[8] = noHeader[9] = 0; // header length 0
    std::string wideField = good;
    wideField[32 + 16] = '\xFF'; // the first field's width runs past the record
    struct TCase {
        const char* Name;
        std::string Bytes;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"truncated", good.substr(0, good.size() / 2), "but the file is"},
        {"too short for a header", "hello", "too short to hold a dBase header"},
        {"record count beyond the file", manyRecords, "records of"},
        {"header length zero", noHeader, "0 header bytes"},
        {"field beyond the record", wideField, "cannot be opened"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("damaged.dbf");
        test::WriteBytes(path, c.Bytes);
        TDataTable table;
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::Database), c.Fragment);
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::Database), path);
    }
    TDataTable table;
    ORBELIN_EXPECT_ERROR(LoadTable(table, dir.File("absent.dbf"), TTableKind::Database), "cannot open file");
    test::WriteBytes(dir.File("table.txt"), good);
    ORBELIN_EXPECT_ERROR(LoadTable(table, dir.File("table.txt"), TTableKind::Database),
                         "expected a dBase (.dbf) or Paradox (.db) file");
}

} // namespace
} // namespace orbelin::data

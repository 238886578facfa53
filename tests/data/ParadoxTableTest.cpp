// Paradox tables: field types, values, NULLs, code page and damaged files.
#include "TestUtil.h"
#include "data/DatasetBuild.h"
#include "data/TDataTable.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

// The fixture is written by pxlib's own writer (fixtures/MakeDbFixtures.cpp), dates and
// times made by pxlib's PX_make_date, PX_make_time and PX_make_timestamp.
const std::string Fixtures = ORBELIN_FIXTURES;

TEST(ParadoxTableTest, ReadsEveryFieldTypeAndNulls)
{
    TDataTable table;
    LoadTable(table, Fixtures + "/stock.db", TTableKind::Database);
    EXPECT_EQ("stock.OBT", table.Name);
    // A blank inside a name cannot stand in a table file.
    EXPECT_EQ((TArray1S{"Name", "Qty", "Count", "Price", "Unit_weight", "InStock", "Since", "At", "Stamp", "Id"}),
              table.FieldNames);
    EXPECT_EQ((TArray1T{TFieldType::String, TFieldType::SmallInt, TFieldType::Integer, TFieldType::Currency,
                        TFieldType::Float, TFieldType::Boolean, TFieldType::Date, TFieldType::Time,
                        TFieldType::DateTime, TFieldType::Integer}),
              table.FieldTypes);
    // The second record has nothing but its name; a stored 0 is not a NULL.
    EXPECT_EQ(
        (TArray2S{
            {"Гвозди", "-3", "100000", "12.5", "-0.25", "TRUE", "2024-01-02", "13:45:30", "1999-12-31 23:59:58", "1"},
            {"Screws", "", "", "", "", "", "", "", "", ""},
            {"Nuts", "0", "-7", "0.1", "0.001", "FALSE", "1900-03-01", "00:00:01", "2024-02-29 00:00:00", "3"},
        }),
        table.Values);
    EXPECT_EQ((TArray1S{"Stamp", "DATE", "TRUE"}), table.FieldDescriptors[8]);
    EXPECT_EQ((TArray1I{6, 5, 7, 7, 13, 9, 10, 8, 19, 4}), table.FieldWidths);
}

TEST(ParadoxTableTest, NumericFieldsBuildADatasetAndTheTableSavesAndReadsBack)
{
    test::TTempDir dir;
    TDataTable table;
    LoadTable(table, Fixtures + "/stock.db", TTableKind::Database);
    std::vector<TFieldChoice> choices(static_cast<std::size_t>(table.FieldCount));
    for (int j = 0; j < table.FieldCount; ++j)
        choices[static_cast<std::size_t>(j)].Use = IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(j)]);
    TData data;
    data.Table = &table;
    ASSERT_TRUE(BuildFromTable(data, choices).Built);
    EXPECT_EQ((TArray1S{"Qty", "Count", "Price", "Unit_weight", "Id"}), data.CoordNames);
    EXPECT_EQ(0.1, data.Points[2][2]);
    EXPECT_TRUE(IsMissing(data.Points[1][2]));

    SaveTable(table, dir.File("back.obt"));
    TDataTable back;
    LoadTable(back, dir.File("back.obt"), TTableKind::TableFile);
    EXPECT_EQ(table.FieldNames, back.FieldNames);
    EXPECT_EQ(table.Values, back.Values); // date-times are quoted, so they read back whole
    EXPECT_EQ(TFieldType::Float, back.FieldTypes[3]);
}

TEST(ParadoxTableTest, DamagedFilesGiveErrorsThatNameTheFile)
{
    test::TTempDir dir;
    const std::string good = test::ReadBytes(Fixtures + "/stock.db");
    std::string indexFile = good;
    indexFile[4] = 1; // a primary index, not a data table
    std::string manyRecords = good;
    manyRecords[9] = '\x7F'; // the record count's high byte
    std::string noFields = good;
    noFields[0x21] = noFields[0x22] = 0;
    std::string hugeBlocks = good;
    hugeBlocks[5] = 100; // 100 KB blocks
    std::string loop = good;
    loop[0x800] = 1; // the only data block names itself as the next one
    std::string fewerRecords = good;
    fewerRecords[6] = 2;
    std::string protectedTable = good;
    protectedTable[0x5C] = 1;
    std::string badField = good;
    badField[0x78] = 0; // the first field's type
    struct TCase {
        const char* Name;
        std::string Bytes;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"too short for a header", "hello", "too short to hold a Paradox header"},
        {"index file", indexFile, "not a Paradox data table"},
        {"record count beyond the file", manyRecords, "cannot hold"},
        {"no fields", noFields, "in 0 fields"},
        {"block size", hugeBlocks, "cannot hold"},
        {"text", std::string(4096, 'x'), "not a Paradox data table"},
        {"block chain loops", loop, "the chain of data blocks is broken at block 1"},
        {"records in blocks", fewerRecords, "its data blocks hold 3 records, but the header declares 2"},
        {"password", protectedTable, "password-protected"},
        {"field type", badField, "field 1 has type 0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("damaged.db");
        test::WriteBytes(path, c.Bytes);
        TDataTable table;
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::Database), c.Fragment);
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::Database), path);
    }
    TDataTable table;
    ORBELIN_EXPECT_ERROR(LoadTable(table, dir.File("absent.db"), TTableKind::Database), "cannot open file");
}

} // namespace
} // namespace orbelin::data

// Text data files (.dat): counts, field lines and a stream of value tokens.
#include "TestUtil.h"
#include "data/TDataTable.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

TDataTable LoadDat(const test::TTempDir& dir, const std::string& text, const std::string& name = "in.dat")
{
    const std::string path = dir.File(name);
    test::WriteBytes(path, text);
    TDataTable table;
    LoadTable(table, path, TTableKind::TextData);
    return table;
}

TEST(TextDataFileTest, ReadsFieldsTypesAnnotationsAndValues)
{
    test::TTempDir dir;
    // The documented layout, with a lower-case keyword, a field without a type, an
    // annotated field and a quoted value with a blank; line breaks inside the values do
    // not matter.
    const TDataTable table = LoadDat(dir, "4 3\r\n"
                                          "X FLOAT\r\n"
                                          "Y integer\r\n"
                                          "Tag\r\n"
                                          "Town STRING north \"big one\"\r\n"
                                          "1.5 2 a \"New York\"\r\n"
                                          "@ 3 NaN\r\nx\r\n"
                                          "0.25 7 nan \"\"\r\n");
    EXPECT_EQ("in.OBT", table.Name);
    ASSERT_EQ(4, table.FieldCount);
    ASSERT_EQ(3, table.RecordCount);
    EXPECT_EQ((TArray1S{"X", "Y", "Tag", "Town"}), table.FieldNames);
    EXPECT_EQ((TArray1T{TFieldType::Float, TFieldType::Integer, TFieldType::Unknown, TFieldType::String}),
              table.FieldTypes);
    EXPECT_EQ((TArray1S{"Y", "integer", "TRUE"}), table.FieldDescriptors[1]);
    EXPECT_EQ((TArray1S{"Tag", "", "TRUE"}), table.FieldDescriptors[2]);
    EXPECT_EQ((TArray1S{"Town", "STRING", "TRUE", "north", "big one"}), table.FieldDescriptors[3]);
    EXPECT_EQ((TArray2S{{"1.5", "2", "a", "New York"}, {"", "3", "", "x"}, {"0.25", "7", "", ""}}), table.Values);
    EXPECT_EQ((TArray1I{4, 3, 5, 8}), table.FieldWidths);
    EXPECT_EQ(3u, table.PointStyles.size());
}

TEST(TextDataFileTest, LineBreaksBetweenValuesDoNotMatter)
{
    test::TTempDir dir;
    const TDataTable table = LoadDat(dir, "2 3\nA FLOAT\nB FLOAT\n1\n2 3\n@ 5 6");
    EXPECT_EQ((TArray2S{{"1", "2"}, {"3", ""}, {"5", "6"}}), table.Values);
}

TEST(TextDataFileTest, SavedTableReadsBackTheSameTexts)
{
    test::TTempDir dir;
    const TDataTable table = LoadDat(dir, "3 2\nA FLOAT\nB STRING note\nC INTEGER\n1e-3 \"two words\" 4\n@ x -5\n");
    SaveTable(table, dir.File("back.obt"));
    TDataTable back;
    LoadTable(back, dir.File("back.obt"), TTableKind::TableFile);
    EXPECT_EQ(table.FieldNames, back.FieldNames);
    EXPECT_EQ(table.FieldTypes, back.FieldTypes);
    EXPECT_EQ(table.Values, back.Values);
    EXPECT_EQ((TArray1S{"B", "STRING", "TRUE", "note"}), back.FieldDescriptors[1]);
}

TEST(TextDataFileTest, BrokenFilesGiveErrorsThatNameTheFile)
{
    test::TTempDir dir;
    struct TCase {
        const char* Name;
        const char* Text;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"empty file", "", "expected the field count as a non-negative integer on the first line, found the end"},
        {"word for a count", "two 3\nA FLOAT\n",
         "expected the field count as a non-negative integer on the first "
         "line, found \"two\""},
        {"negative count", "2 -3\nA FLOAT\nB FLOAT\n", "found \"-3\""},
        {"fractional count", "2 1.5\n", "record count"},
        {"impossible count", "3 2000000000\nA FLOAT\nB FLOAT\nC FLOAT\n", "declares 2000000000 records of 3 fields"},
        {"missing field lines", "3 1\nA FLOAT\n", "expected 3 lines, found 1"},
        {"field without a name", "2 0\nA FLOAT\n\"\" FLOAT\n", "field 2 has no name"},
        {"values cut short", "2 3\nA FLOAT\nB FLOAT\n1 2\n3",
         "declares 3 records of 2 fields, but ends in record 2 before the value of field B"},
        {"no values", "2 2\nA FLOAT\nB FLOAT\n", "ends in record 1 before the value of field A"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("broken.dat");
        test::WriteBytes(path, c.Text);
        TDataTable table;
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::TextData), c.Fragment);
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::TextData), path);
        EXPECT_EQ(0, table.FieldCount);
    }
    TDataTable table;
    ORBELIN_EXPECT_ERROR(LoadTable(table, dir.File("absent.dat"), TTableKind::TextData), "cannot open file");
}

} // namespace
} // namespace orbelin::data

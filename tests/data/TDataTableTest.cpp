// Table files: reading, writing and the shared table operations.
#include "data/Cp1251.h"
#include "data/TDataTable.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

const std::string Fixtures = ORBELIN_FIXTURES;

std::string TableText(const std::string& utf8)
{
    std::string bytes;
    Utf8ToCp1251(utf8, bytes);
    return bytes;
}

TEST(TDataTableTest, ReadsCyrillicQuotedMissingAndAnUnterminatedLastLine)
{
    TDataTable table;
    LoadTable(table, Fixtures + "/cyrillic.obt", TTableKind::TableFile);
    EXPECT_EQ("cyrillic.OBT", table.Name);
    EXPECT_EQ(Fixtures + "/cyrillic.obt", table.Path);
    ASSERT_EQ(4, table.FieldCount);
    ASSERT_EQ(3, table.RecordCount);
    EXPECT_EQ((TArray1S{"Город", "Население", "Код", "Note"}), table.FieldNames);
    EXPECT_EQ((TArray1T{TFieldType::String, TFieldType::Float, TFieldType::Integer, TFieldType::String}),
              table.FieldTypes);
    EXPECT_EQ((TArray1S{"Note", "STRING", "TRUE", "D1", "D2"}), table.FieldDescriptors[3]);
    // Padding inside quotes is part of the value; "@", "Nan" and a quoted "nan" are empty.
    EXPECT_EQ((TArray1S{"Москва          ", "12.6", "77", "big city"}), table.Values[0]);
    EXPECT_EQ((TArray1S{"Нижний Новгород", "", "", ""}), table.Values[1]);
    EXPECT_EQ((TArray1S{"Ёлкино", "0.005", "3", ""}), table.Values[2]);
    // Widths in characters, at least the name's length plus 2.
    EXPECT_EQ((TArray1I{16, 11, 5, 8}), table.FieldWidths);
    ASSERT_EQ(3u, table.PointStyles.size());
    EXPECT_EQ(DefaultPointStyle, table.PointStyles[2]);
    EXPECT_EQ(0x800000, table.PointStyles[0][FILLCOLOR]);
}

TEST(TDataTableTest, SavedTableReadsBackTheSameTexts)
{
    test::TTempDir dir;
    TDataTable table;
    LoadTable(table, Fixtures + "/cyrillic.obt", TTableKind::TableFile);
    table.FieldTypes.push_back(TFieldType::DateTime);
    table.FieldNames.push_back("When");
    table.FieldDescriptors.push_back({"When", "DATE", "TRUE"});
    ++table.FieldCount;
    const char* stamps[] = {"2024-01-02 10:11:12", "", "1999-12-31 23:59:59"};
    for (int i = 0; i < 3; ++i)
        table.Values[static_cast<std::size_t>(i)].push_back(stamps[i]);
    table.Values[2][0] = "@"; // a String "@" is quoted but reads back empty

    const std::string path = dir.File("saved.obt");
    SaveTable(table, path);
    const std::string bytes = test::ReadBytes(path);
    EXPECT_EQ(0u, bytes.find("# TABLENAME\r\ncyrillic.OBT\r\n\r\n# FIELDCOUNT\r\n5\r\n\r\n# TABLECOUNT\r\n3\r\n\r\n\r\n"
                             "# TABLEFIELDS\r\n"));
    EXPECT_NE(std::string::npos, bytes.find(TableText("Note STRING TRUE D1 D2\r\nWhen DATE TRUE\r\n\r\n# STRINGTABLE\r\n")));
    EXPECT_NE(std::string::npos,
              bytes.find(TableText("\"Москва          \" 12.6 77 \"big city\" \"2024-01-02 10:11:12\" \r\n")));
    EXPECT_NE(std::string::npos, bytes.find(TableText("\"Нижний Новгород\" @ @ @ @ \r\n")));
    EXPECT_EQ("\r\n\r\n", bytes.substr(bytes.size() - 4));

    TDataTable back;
    LoadTable(back, path, TTableKind::TableFile);
    EXPECT_EQ("saved.OBT", back.Name);
    EXPECT_EQ(table.FieldNames, back.FieldNames);
    EXPECT_EQ((TArray1T{TFieldType::String, TFieldType::Float, TFieldType::Integer, TFieldType::String,
                        TFieldType::Date}),
              back.FieldTypes);
    table.Values[2][0] = "";
    EXPECT_EQ(table.Values, back.Values);
}

TEST(TDataTableTest, TypeKeywordsAreCaseSensitiveInTableFiles)
{
    test::TTempDir dir;
    const std::string path = dir.File("t.dat");
    test::WriteBytes(path, "# FIELDCOUNT\r\n3\r\n# TABLECOUNT\r\n1\r\n# TABLEFIELDS\r\nA float TRUE\r\nB\r\nC BOOLEAN\r\n"
                           "# STRINGTABLE\r\n1 2 TRUE\r\n");
    TDataTable table;
    LoadTable(table, path, TTableKind::TableFile);
    EXPECT_EQ("t.OBT", table.Name); // any extension: the name is the base name and ".OBT"
    EXPECT_EQ((TArray1T{TFieldType::Unknown, TFieldType::Unknown, TFieldType::Boolean}), table.FieldTypes);
    EXPECT_EQ(0, FieldIndex(table, "a"));
    EXPECT_EQ(2, FieldIndex(table, "c"));
    EXPECT_EQ(-1, FieldIndex(table, "D"));

    // A type without a keyword writes no keyword, and so reads back Unknown.
    SaveTable(table, dir.File("u.obt"));
    TDataTable back;
    LoadTable(back, dir.File("u.obt"), TTableKind::TableFile);
    EXPECT_EQ(TFieldType::Unknown, back.FieldTypes[0]);
    EXPECT_EQ((TArray1S{"1", "2", "TRUE"}), back.Values[0]);
}

TEST(TDataTableTest, FieldIndexIgnoresCyrillicLetterCase)
{
    TDataTable table;
    LoadTable(table, Fixtures + "/cyrillic.obt", TTableKind::TableFile);
    EXPECT_EQ(0, FieldIndex(table, "ГОРОД"));
    EXPECT_EQ(1, FieldIndex(table, "население"));
}

TEST(TDataTableTest, EmptyAndSectionlessTables)
{
    test::TTempDir dir;
    const std::string empty = dir.File("empty.obt");
    test::WriteBytes(empty, "# FIELDCOUNT\r\n2\r\n# TABLECOUNT\r\n0\r\n# TABLEFIELDS\r\nLong_name FLOAT TRUE\r\nX STRING TRUE\r\n"
                            "# STRINGTABLE\r\n");
    TDataTable table;
    LoadTable(table, empty, TTableKind::TableFile);
    EXPECT_EQ(0, table.RecordCount);
    EXPECT_EQ((TArray1I{11, 3}), table.FieldWidths);
    SaveTable(table, empty);
    TDataTable back;
    LoadTable(back, empty, TTableKind::TableFile);
    EXPECT_EQ(table.FieldNames, back.FieldNames);
    EXPECT_EQ(0, back.RecordCount);

}

TEST(TDataTableTest, BrokenFilesGiveErrorsThatNameTheFile)
{
    test::TTempDir dir;
    struct TCase { const char* Name; const char* Text; const char* Fragment; };
    const TCase cases[] = {
        {"bad count", "# FIELDCOUNT\r\nthree\r\n", "\"three\" is not a valid integer value"},
        {"negative count", "# FIELDCOUNT\r\n-1\r\n# TABLECOUNT\r\n0\r\n", "negative field or record count"},
        {"impossible count", "# FIELDCOUNT\r\n100000\r\n# TABLECOUNT\r\n100000\r\n", "is only"},
        {"truncated values", "# FIELDCOUNT\r\n2\r\n# TABLECOUNT\r\n3\r\n# TABLEFIELDS\r\nA FLOAT\r\nB FLOAT\r\n"
                             "# STRINGTABLE\r\n1 2\r\n3 4\r\n5", "expected 6 values, found 5"},
        {"row too long", "# FIELDCOUNT\r\n2\r\n# TABLECOUNT\r\n2\r\n# TABLEFIELDS\r\nA FLOAT\r\nB FLOAT\r\n"
                         "# STRINGTABLE\r\n1 2 3\r\n4 5\r\n", "line 9: row 1 holds more than its 2 values"},
        {"missing fields", "# FIELDCOUNT\r\n2\r\n# TABLECOUNT\r\n0\r\n# TABLEFIELDS\r\nA FLOAT\r\n",
                           "expected 2 lines, found 1"},
        {"no field count", "# TABLECOUNT\r\n2\r\n# STRINGTABLE\r\n\r\n\r\n", "no \"# FIELDCOUNT\" section"},
        {"empty file", "", "no \"# FIELDCOUNT\" section"},
        {"garbage", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR", "no \"# FIELDCOUNT\" section"},
        {"no field lines", "# FIELDCOUNT\r\n1\r\n# TABLECOUNT\r\n0\r\n# STRINGTABLE\r\n",
                           "no \"# TABLEFIELDS\" section"},
        {"no values", "# FIELDCOUNT\r\n1\r\n# TABLECOUNT\r\n1\r\n# TABLEFIELDS\r\nA FLOAT\r\n",
                      "no \"# STRINGTABLE\" section"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("broken.obt");
        test::WriteBytes(path, c.Text);
        TDataTable table;
        table.Name = "untouched";
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::TableFile), c.Fragment);
        ORBELIN_EXPECT_ERROR(LoadTable(table, path, TTableKind::TableFile), path);
        EXPECT_EQ("untouched", table.Name); // a failed load leaves the table as it was
    }
    TDataTable table;
    ORBELIN_EXPECT_ERROR(LoadTable(table, dir.File("absent.obt"), TTableKind::TableFile), "cannot open file");
}

// The values a CSV really holds survive a table file exactly: where Windows-1251 holds
// them the file is written as always, otherwise as a UTF-8 table file.
TEST(TDataTableTest, EveryTextReadsBackFromTheTableFile)
{
    test::TTempDir dir;
    struct TCase { const char* Name; std::string Value; bool Utf8; };
    const TCase cases[] = {
        {"plain", "Paris", false},
        {"cyrillic", "Москва", false},
        {"quote", "She said \"hi\"", true},
        {"accents", "M\xC3\xBCnchen, caf\xC3\xA9", true},
        {"cjk", "\xE6\x9D\xB1\xE4\xBA\xAC", true},
        {"emoji", "\xF0\x9F\x98\x80 \"\"", true},
        {"line break", "two\r\nlines", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDataTable table;
        table.Name = "Q.OBT";
        table.FieldCount = 2;
        table.RecordCount = 2;
        table.FieldNames = {"Text", "X"};
        table.FieldTypes = {TFieldType::String, TFieldType::Float};
        table.FieldDescriptors = {{"Text", "STRING", "TRUE"}, {"X", "FLOAT", "TRUE"}};
        table.Values = {{c.Value, "1.5"}, {"", "2"}};
        const std::string path = dir.File("q.obt");
        SaveTable(table, path);
        const std::string bytes = test::ReadBytes(path);
        EXPECT_EQ(c.Utf8, bytes.starts_with("# ENCODING UTF-8\r\n"));
        if (!c.Utf8) {
            // Byte for byte the Windows-1251 table file of before.
            std::string value;
            Utf8ToCp1251(c.Value, value);
            EXPECT_EQ("# TABLENAME\r\nQ.OBT\r\n\r\n# FIELDCOUNT\r\n2\r\n\r\n# TABLECOUNT\r\n2\r\n\r\n\r\n"
                      "# TABLEFIELDS\r\nText STRING TRUE\r\nX FLOAT TRUE\r\n\r\n# STRINGTABLE\r\n\"" +
                          value + "\" 1.5 \r\n@ 2 \r\n\r\n",
                      bytes);
        }
        TDataTable back;
        LoadTable(back, path, TTableKind::TableFile);
        EXPECT_EQ(table.Values, back.Values);
        EXPECT_EQ(table.FieldNames, back.FieldNames);
        EXPECT_EQ(table.FieldTypes, back.FieldTypes);
    }
}

TEST(TDataTableTest, EmbeddedTableReadsLikeItsFile)
{
    TDataTable table;
    LoadTable(table, "somewhere/iris.obt", TTableKind::Resource);
    EXPECT_EQ("iris.OBT", table.Name);
    EXPECT_EQ(150, table.RecordCount);
    EXPECT_EQ(5, table.FieldCount);
    EXPECT_EQ("setosa", table.Values[0][4]);
    EXPECT_EQ(TFieldType::Float, table.FieldTypes[0]);
    TDataTable missing;
    ORBELIN_EXPECT_ERROR(LoadTable(missing, "nothing.obt", TTableKind::Resource), "nothing.OBT");
}

} // namespace
} // namespace orbelin::data

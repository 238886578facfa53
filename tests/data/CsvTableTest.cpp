// CSV and TSV files read as tables: delimiters, quoting, encodings, types and names.
#include "data/CsvTable.h"
#include "TestUtil.h"
#include "data/Cp1251.h"
#include "data/TDataTable.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

const std::string PublicData = ORBELIN_PUBLIC_DATA;

TDataTable ReadCsv(const std::string& bytes, const std::string& name = "in.csv")
{
    TDataTable table;
    ReadCsvBytes(bytes, name, table);
    return table;
}

std::string Cp1251(const std::string& utf8)
{
    std::string bytes;
    Utf8ToCp1251(utf8, bytes);
    return bytes;
}

std::string Utf16Le(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(CsvTableTest, DelimitersQuotingEncodingsAndLineEnds)
{
    const TArray1S ab = {"a", "b"};
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::string FileName;
        TArray1S Names;
        TArray2S Values;
    };
    const TCase cases[] = {
        {"comma, LF", "a,b\n1,x\n2,y\n", "t.csv", ab, {{"1", "x"}, {"2", "y"}}},
        {"semicolon, CR LF, decimal comma", "a;b\r\n1,5;x\r\n", "t.csv", ab, {{"1.5", "x"}}},
        {"tab", "a\tb\n1\tx, y\n", "t.csv", ab, {{"1", "x, y"}}},
        {"comma beats tab in a .csv", "a,b\tc\n1,2\tz\n", "t.csv", {"a", "b_c"}, {{"1", "2\tz"}}},
        {"tab preferred in a .tsv", "a,b\tc\n1,2\tz\n", "t.tsv", {"a,b", "c"}, {{"1.2", "z"}}},
        {"rows decide between candidates", "a;b,c\n1;2\n3;4\n", "t.csv", {"a", "b,c"}, {{"1", "2"}, {"3", "4"}}},
        {"sep line", "sep=;\na,b;c\n1;2,5\n", "t.csv", {"a,b", "c"}, {{"1", "2.5"}}},
        {"single column", "name\nSmith, John\n", "t.csv", {"name"}, {{"Smith, John"}}},
        {"quoted delimiter, doubled quote and line break",
         "a,b\n\"x,1\",\"say \"\"hi\"\"\"\n\"two\r\nlines\",3\n",
         "t.csv",
         ab,
         {{"x,1", "say \"hi\""}, {"two\r\nlines", "3"}}},
        {"stray text after a closing quote is kept", "a,b\n\"x\"y,2\n", "t.csv", ab, {{"xy", "2"}}},
        {"CR line ends, no final line end", "a,b\r1,2\r3,4", "t.csv", ab, {{"1", "2"}, {"3", "4"}}},
        {"UTF-8 with BOM", "\xEF\xBB\xBFГород,b\nЁлкино,1\n", "t.csv", {"Город", "b"}, {{"Ёлкино", "1"}}},
        // Found by fuzzing: the damaged bytes went into the table and its file as they were.
        {"UTF-8 with BOM and damaged bytes", "\xEF\xBB\xBF" "a,b\n\"\xBF\xC4x\",1\n", "t.csv", ab,
         {{"\xEF\xBF\xBD\xEF\xBF\xBDx", "1"}}},
        {"Windows-1251", Cp1251("Город,b\nЁлкино,1\n"), "t.csv", {"Город", "b"}, {{"Ёлкино", "1"}}},
        {"UTF-16 with BOM", Utf16Le("a,b\r\n1,x\r\n"), "t.csv", ab, {{"1", "x"}}},
        {"empty and blank lines skipped", "\na,b\n\n1,2\n   \n3,4\n\n", "t.csv", ab, {{"1", "2"}, {"3", "4"}}},
        {"short rows filled, empty surplus dropped", "a,b\n1\n2,3,,\n", "t.csv", ab, {{"1", ""}, {"2", "3"}}},
        {"trailing delimiter at the end", "a,b\n1,", "t.csv", ab, {{"1", ""}}},
        {"@ and nan are empty", "a,b\n@,NaN\n\"nan\",x\n", "t.csv", ab, {{"", ""}, {"", "x"}}},
        {"header only", "a,b\n", "t.csv", ab, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDataTable table = ReadCsv(c.Bytes, c.FileName);
        EXPECT_EQ(c.Names, table.FieldNames);
        EXPECT_EQ(static_cast<int>(c.Names.size()), table.FieldCount);
        EXPECT_EQ(c.Values, table.Values);
        EXPECT_EQ(static_cast<int>(c.Values.size()), table.RecordCount);
    }
}

TEST(CsvTableTest, TypesAreInferredPerColumn)
{
    const TDataTable table = ReadCsv("int,float,text,blank,mixed,big,spaced\n"
                                     "1,1.5,x,,1,2147483647, 7 \n"
                                     "-2,2,y,,a,2147483648,\n"
                                     ",1e-3,,,,,8\n"
                                     "+3,@,3,,2,0,  \n");
    EXPECT_EQ((TArray1T{TFieldType::Integer, TFieldType::Float, TFieldType::String, TFieldType::String,
                        TFieldType::String, TFieldType::Float, TFieldType::Integer}),
              table.FieldTypes);
    EXPECT_EQ((TArray1S{"int", "INTEGER", "TRUE"}), table.FieldDescriptors[0]);
    EXPECT_EQ((TArray1S{"float", "FLOAT", "TRUE"}), table.FieldDescriptors[1]);
    EXPECT_EQ((TArray1S{"text", "STRING", "TRUE"}), table.FieldDescriptors[2]);
    // Numbers lose their blanks; texts keep them.
    EXPECT_EQ("7", table.Values[0][6]);
    EXPECT_EQ("", table.Values[3][6]);
    const TDataTable texts = ReadCsv("a,b\n x ,1\n");
    EXPECT_EQ(" x ", texts.Values[0][0]);

    // Decimal commas make numbers where the comma does not separate values; a column
    // with thousands separators or a text stays text.
    const TDataTable commas = ReadCsv("a;b;c;d\n1,5;1.234,5;x,1;2\n-2,25e1;7;1;3,0\n");
    EXPECT_EQ((TArray1T{TFieldType::Float, TFieldType::String, TFieldType::String, TFieldType::Float}),
              commas.FieldTypes);
    EXPECT_EQ((TArray2S{{"1.5", "1.234,5", "x,1", "2"}, {"-2.25e1", "7", "1", "3.0"}}), commas.Values);

    // "NA" is a missing number in a numeric column and a text among texts.
    const TDataTable na = ReadCsv("n,f,country,only\n1,NA,NA,NA\n n/a ,2.5,DE,\nNA,na,FR,N/A\n");
    EXPECT_EQ((TArray1T{TFieldType::Integer, TFieldType::Float, TFieldType::String, TFieldType::String}),
              na.FieldTypes);
    EXPECT_EQ((TArray2S{{"1", "", "NA", "NA"}, {"", "2.5", "DE", ""}, {"", "", "FR", "N/A"}}), na.Values);
}

TEST(CsvTableTest, FieldNamesAreMadeSafeForTheTableFile)
{
    const TDataTable table = ReadCsv("\"first name\",,x,X,x,\"a\"\"b\",nan,#id,日本,  pad  ,@\n");
    EXPECT_EQ((TArray1S{"first_name", "_", "x", "X_2", "x_3", "a_b", "_nan", "_id", "__", "pad", "_@"}),
              table.FieldNames);
    EXPECT_EQ(table.FieldNames[0], table.FieldDescriptors[0][0]);
}

TEST(CsvTableTest, SavedTableReadsBackTheSame)
{
    test::TTempDir dir;
    const std::string path = dir.File("awkward.csv");
    test::WriteBytes(path, "\xEF\xBB\xBF"
                           "first name;Город;n;x\r\n"
                           "\"Ann Lee\";\"Нижний Новгород\";1;0.5\r\n"
                           "@;;;-2e3\r\n"
                           "\"a;b\";\"line\nbreak\";3;\r\n");
    TDataTable table;
    LoadTable(table, path, TTableKind::TableFile); // the extension decides
    EXPECT_EQ("awkward.OBT", table.Name);
    EXPECT_EQ(path, table.Path);
    EXPECT_EQ((TArray1I{12, 15, 3, 4}), table.FieldWidths);
    EXPECT_EQ(3u, table.PointStyles.size());

    SaveTable(table, dir.File("back.obt"));
    TDataTable back;
    LoadTable(back, dir.File("back.obt"), TTableKind::TableFile);
    EXPECT_EQ(table.FieldNames, back.FieldNames);
    EXPECT_EQ(table.FieldTypes, back.FieldTypes);
    EXPECT_EQ(table.Values, back.Values);
}

TEST(CsvTableTest, BrokenFilesGiveErrorsThatNameTheFileAndLine)
{
    struct TCase {
        const char* Name;
        std::string Bytes;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"empty", "", "holds no header row"},
        {"only blank lines", "\r\n\n", "holds no header row"},
        {"open quote", "a,b\n1,2\n3,\"x\n\n", "the quoted value that begins on line 3 is not closed"},
        {"long row", "a,b\n1,2\n1,2,3\n", "line 3: 3 values, but the header names only 2 fields"},
        {"long row after a multi-line value", "a,b\n\"1\n2\",2\n1,2,3\n", "line 4: 3 values"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDataTable table;
        ORBELIN_EXPECT_ERROR(ReadCsvBytes(c.Bytes, "dir/in.csv", table), c.Fragment);
        ORBELIN_EXPECT_ERROR(ReadCsvBytes(c.Bytes, "dir/in.csv", table), "dir/in.csv");
    }
    // A wide header over many nearly empty lines would need far more memory than the
    // file's size to fill; it is refused.
    std::string wide;
    for (int j = 0; j < 20000; ++j)
        wide += "c" + std::to_string(j) + ",";
    wide += "z\n";
    for (int i = 0; i < 30; ++i)
        wide += "1\n";
    TDataTable table;
    ORBELIN_EXPECT_ERROR(ReadCsvBytes(wide, "wide.csv", table), "too many short rows");
    ORBELIN_EXPECT_ERROR(LoadTable(table, "/nonexistent/x.csv", TTableKind::Csv),
                         "cannot open file /nonexistent/x.csv");
}

TEST(CsvTableTest, ReadsThePublicDatasets)
{
    struct TCase {
        const char* File;
        int Records;
        int Fields;
        std::vector<int> IntegerFields;
        TArray1S FirstRecordEnds;
    };
    const TCase cases[] = {
        {"iris.csv", 150, 5, {}, {"5.1", "setosa"}},
        {"wine.csv", 178, 14, {4, 12}, {"14.23", "class_0"}},
        {"breast_cancer.csv", 569, 31, {}, {"17.99", "malignant"}},
    };
    test::TTempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TDataTable table;
        LoadTable(table, PublicData + "/" + c.File, TTableKind::Csv);
        ASSERT_EQ(c.Records, table.RecordCount);
        ASSERT_EQ(c.Fields, table.FieldCount);
        for (int j = 0; j < c.Fields; ++j) {
            const bool integer = std::count(c.IntegerFields.begin(), c.IntegerFields.end(), j) > 0;
            const TFieldType expected = j == c.Fields - 1 ? TFieldType::String
                                        : integer         ? TFieldType::Integer
                                                          : TFieldType::Float;
            EXPECT_EQ(expected, table.FieldTypes[static_cast<std::size_t>(j)]) << table.FieldNames[j];
        }
        EXPECT_EQ(c.FirstRecordEnds[0], table.Values[0].front());
        EXPECT_EQ(c.FirstRecordEnds[1], table.Values[0].back());

        SaveTable(table, dir.File("back.obt"));
        TDataTable back;
        LoadTable(back, dir.File("back.obt"), TTableKind::TableFile);
        EXPECT_EQ(table.FieldNames, back.FieldNames);
        EXPECT_EQ(table.FieldTypes, back.FieldTypes);
        EXPECT_EQ(table.Values, back.Values);
    }
}

} // namespace
} // namespace orbelin::data

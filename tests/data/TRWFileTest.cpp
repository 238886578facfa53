// Token file reading and writing.
#include "data/TRWFile.h"
#include "numeric/Missing.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace orbelin::data {
namespace {

// A reader over bytes in memory.
struct TReader {
    explicit TReader(const std::string& bytes) { File.OpenBytes(bytes, "test.obt"); }
    TRWFile File;
};

TEST(TRWFileTest, ReadTokenHandlesQuotesSeparatorsAndTheEnd)
{
    TReader r("  alpha \"two words\"#x:y;z\r\n\xC3\xEE\xF0\xEE\xE4 1.5e-3 last");
    EXPECT_EQ("alpha", r.File.ReadToken());
    EXPECT_EQ("two words", r.File.ReadToken());
    EXPECT_EQ("x", r.File.ReadToken());
    EXPECT_EQ("y", r.File.ReadToken());
    EXPECT_EQ("z", r.File.ReadToken());
    EXPECT_EQ("Город", r.File.ReadToken());
    EXPECT_EQ("1.5e-3", r.File.ReadToken());
    EXPECT_EQ("last", r.File.ReadToken()); // a token at the end keeps its last character
    EXPECT_EQ("", r.File.ReadToken());
    EXPECT_TRUE(r.File.AtEnd());
}

TEST(TRWFileTest, ReadLineKeepsALastLineWithoutLineEnd)
{
    TReader r(std::string("first\r\n\r\nsecond has\0nul\r\nlast", 29));
    EXPECT_EQ("first", r.File.ReadLine());
    EXPECT_EQ("", r.File.ReadLine());
    EXPECT_EQ(std::string("second has\0nul", 14), r.File.ReadLine());
    EXPECT_EQ("last", r.File.ReadLine());
    EXPECT_TRUE(r.File.AtEnd());
}

TEST(TRWFileTest, FindKeyMatchesTheFirstHeaderContainingTheKey)
{
    const std::string text = "PROJECTNAME in a plain line\r\n# PROJECTNAME\r\nshort\r\n# FULLPROJECTNAME\r\nlong\r\n";
    TReader r(text);
    ASSERT_TRUE(r.File.FindKey("PROJECTNAME"));
    EXPECT_EQ("short", r.File.ReadLine());
    ASSERT_TRUE(r.File.FindKey("FULLPROJECTNAME"));
    EXPECT_EQ("long", r.File.ReadLine());
    EXPECT_FALSE(r.File.FindKey("projectname")); // letter case significant
    EXPECT_TRUE(r.File.AtEnd());
    EXPECT_EQ("", r.File.ReadToken());

    // Written the other way round, the shorter key lands on the longer header.
    TReader wrong("# FULLPROJECTNAME\r\nlong\r\n# PROJECTNAME\r\nshort\r\n");
    ASSERT_TRUE(wrong.File.FindKey("PROJECTNAME"));
    EXPECT_EQ("long", wrong.File.ReadLine());
}

TEST(TRWFileTest, LineModeMatrixSplitsEachLine)
{
    TReader r("# F\r\n\r\nNAME STRING TRUE\r\nA#B:C D\r\n\"Q R\" S\r\n");
    ASSERT_TRUE(r.File.FindKey("F"));
    const TArray2S rows = r.File.ReadStringMatrix(0, 3);
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ((TArray1S{"NAME", "STRING", "TRUE"}), rows[0]);
    EXPECT_EQ((TArray1S{"A", "B", "C", "D"}), rows[1]);
    // A row that begins with a quoted token reads as that token alone, split again.
    EXPECT_EQ((TArray1S{"Q", "R"}), rows[2]);
}

TEST(TRWFileTest, LineModeAcceptsLinesEndedByLfAlone)
{
    TReader r("a b\nc d\n");
    const TArray2S rows = r.File.ReadStringMatrix(0, 2);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((TArray1S{"a", "b"}), rows[0]);
    EXPECT_EQ((TArray1S{"c", "d"}), rows[1]);
}

TEST(TRWFileTest, StringMatrixReadsAStreamOfTokens)
{
    TReader r("a \"b c\" @\r\n\"@\" nan NAN \"nan\" \"\" x\r\n");
    const TArray2S rows = r.File.ReadStringMatrix(3, 3, TRWFile::TRowLayout::Stream);
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ((TArray1S{"a", "b c", ""}), rows[0]);
    EXPECT_EQ((TArray1S{"", "", ""}), rows[1]);
    EXPECT_EQ((TArray1S{"", "", "x"}), rows[2]);
}

TEST(TRWFileTest, NumberMatricesFollowTheMissingRules)
{
    TReader r("1 -2.5 Nan @ +Inf\r\n1e3 .5 +7 -Inf 1e-400\r\n");
    const TArray2D m = r.File.ReadFloatMatrix(5, 2);
    ASSERT_EQ(2u, m.size());
    EXPECT_EQ(1.0, m[0][0]);
    EXPECT_EQ(-2.5, m[0][1]);
    EXPECT_TRUE(IsMissing(m[0][2]));
    EXPECT_TRUE(IsMissing(m[0][3]));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), m[0][4]); // the writers' own form
    EXPECT_EQ(1000.0, m[1][0]);
    EXPECT_EQ(0.5, m[1][1]);
    EXPECT_EQ(7.0, m[1][2]);
    EXPECT_EQ(-std::numeric_limits<double>::infinity(), m[1][3]);
    EXPECT_EQ(0.0, m[1][4]);

    TReader ints("3 -4 Nan\r\n@ 0 -0\r\n");
    const TArray2I k = ints.File.ReadIntMatrix(3, 2);
    EXPECT_EQ((TArray1I{3, -4, 0}), k[0]);
    EXPECT_EQ((TArray1I{0, 0, 0}), k[1]);
}

// Every token that is not a number of the system's files is an error naming the section
// and the line: none of them reads as 0 any more.
TEST(TRWFileTest, NumberMatricesRefuseTokensThatAreNoNumbers)
{
    struct TCase { const char* Token; bool Float; };
    const TCase cases[] = {
        {"NAN", true}, {"nan", true}, {"inf", true}, {"1e400", true}, {"x", true}, {"1,5", true},
        {"2.5", false}, {"99999999999", false}, {"x", false}
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Token);
        TReader r(std::string("# GRIDNODES\r\n1 2\r\n3 ") + c.Token + "\r\n");
        ASSERT_TRUE(r.File.FindKey("GRIDNODES"));
        const std::string message = std::string("test.obt, section \"# GRIDNODES\", line 3: \"") + c.Token +
                                    "\" is not a valid " + (c.Float ? "floating-point" : "integer") + " value";
        if (c.Float)
            ORBELIN_EXPECT_ERROR(r.File.ReadFloatMatrix(2, 2), message);
        else
            ORBELIN_EXPECT_ERROR(r.File.ReadIntMatrix(2, 2), message);
    }
}

// Rows written one per line must read back one per line: a token too many or too few
// would otherwise shift every later value by one place.
TEST(TRWFileTest, RowsThatDoNotFitTheirLinesAreErrors)
{
    struct TCase { const char* Name; std::string Text; const char* Fragment; };
    const TCase cases[] = {
        {"split number", "1 2\r\n14 .23 7\r\n5 6\r\n", "line 3: row 2 holds more than its 2 numbers"},
        {"nul byte", std::string("1 2\r\n14.") + '\0' + "23 7\r\n5 6\r\n", "line 3: row 2 holds more than its 2"},
        {"short row", "1 2\r\n3\r\n5 6\r\n", "line 3: row 2 holds 1 of its 2 numbers"},
        {"leftover row", "1 2\r\n3 4\r\n5 6\r\n7 8\r\n\r\n# NEXT\r\n", "line 5: a value follows the 3 rows"},
        {"leftover token", "1 2\r\n3 4\r\n5 6 7\r\n", "line 4: row 3 holds more than its 2 numbers"},
        {"missing row", "1 2\r\n3 4\r\n\r\n# NEXT\r\n5 6\r\n", "the section ends after 2 of its 3 rows"},
        {"row cut by a header", "1 2\r\n3 4\r\n5\r\n# NEXT\r\n6\r\n", "row 3 holds 1 of its 2"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TReader r("# LIST\r\n" + c.Text);
        ASSERT_TRUE(r.File.FindKey("LIST"));
        ORBELIN_EXPECT_ERROR(r.File.ReadFloatMatrix(2, 3), c.Fragment);
    }
    // Blank lines between rows, spacing, a quoted value over two lines and a following
    // section are all fine.
    TReader ok("# LIST\r\n  1   2 \r\n\r\n\"a\r\nb\" 4\r\n5 6\r\n\r\n# NEXT\r\n7\r\n");
    ASSERT_TRUE(ok.File.FindKey("LIST"));
    const TArray2S rows = ok.File.ReadStringMatrix(2, 3);
    EXPECT_EQ((TArray1S{"a\r\nb", "4"}), rows[1]);
    EXPECT_EQ((TArray1S{"5", "6"}), rows[2]);
}

TEST(TRWFileTest, MatrixThatRunsPastTheEndIsAnError)
{
    TReader r("# STRINGTABLE\r\na b c\r\n");
    ASSERT_TRUE(r.File.FindKey("STRINGTABLE"));
    ORBELIN_EXPECT_ERROR(r.File.ReadStringMatrix(2, 2, TRWFile::TRowLayout::Stream),
                         "section \"# STRINGTABLE\": expected 4 values, found 3");
    TReader lines("x\r\n");
    ORBELIN_EXPECT_ERROR(lines.File.ReadStringMatrix(0, 1000000000), "expected 1000000000 lines, found 1");
    TReader floats("1 2");
    ORBELIN_EXPECT_ERROR(floats.File.ReadFloatMatrix(2000000000, 2000000000), "found 2");
}

TEST(TRWFileTest, ScalarReadsParseOrRaiseAndLeaveTheVariableAtTheEnd)
{
    TReader r("42 -7 2.5 Nan 1e400 x 99999999999");
    int i = 0;
    double d = 0;
    r.File.ReadInt(i);
    EXPECT_EQ(42, i);
    r.File.ReadInt(i);
    EXPECT_EQ(-7, i);
    r.File.ReadFloat(d);
    EXPECT_EQ(2.5, d);
    r.File.ReadFloat(d);
    EXPECT_TRUE(IsMissing(d));
    ORBELIN_EXPECT_ERROR(r.File.ReadFloat(d), "\"1e400\" is not a valid floating-point value");
    ORBELIN_EXPECT_ERROR(r.File.ReadInt(i), "test.obt, line 1: \"x\" is not a valid integer value");
    ORBELIN_EXPECT_ERROR(r.File.ReadInt(i), "\"99999999999\" is not a valid integer value");
    i = 5;
    d = 6;
    r.File.ReadInt(i);
    r.File.ReadFloat(d);
    EXPECT_EQ(5, i);
    EXPECT_EQ(6.0, d);

    TReader hex("\"$1F\" \"-$10\"");
    hex.File.ReadInt(i);
    EXPECT_EQ(31, i);
    hex.File.ReadInt(i);
    EXPECT_EQ(-16, i);
}

TEST(TRWFileTest, SplitTokensStopsAtTheFirstEmptyToken)
{
    EXPECT_EQ((TArray1S{"a", "b c", "d"}), TRWFile::SplitTokens("a \"b c\" d"));
    EXPECT_EQ((TArray1S{"a"}), TRWFile::SplitTokens("a \"\" b"));
    EXPECT_TRUE(TRWFile::SplitTokens("   ").empty());
    EXPECT_EQ((TArray1S{"Город", "Ёж"}), TRWFile::SplitTokens("Город:Ёж"));
}

TEST(TRWFileTest, WritingReplacesTheFileOnlyWhenClosed)
{
    test::TTempDir dir;
    const std::string path = dir.File("out.obt");
    test::WriteBytes(path, "old contents");
    {
        TRWFile file;
        file.CreateForWriting(path);
        file.Write("Город ");
        file.WriteLine("1");
        file.WriteLine("");
        EXPECT_EQ("old contents", test::ReadBytes(path));
        file.Close();
    }
    EXPECT_EQ("\xC3\xEE\xF0\xEE\xE4 1\r\n\r\n", test::ReadBytes(path));

    {
        TRWFile file;
        file.CreateForWriting(path);
        file.WriteLine("half a file");
        // Destroyed without Close, as when a writer raises midway.
    }
    EXPECT_EQ("\xC3\xEE\xF0\xEE\xE4 1\r\n\r\n", test::ReadBytes(path));

    TRWFile nowhere;
    ORBELIN_EXPECT_ERROR(nowhere.CreateForWriting(dir.File("missing/dir/x.obt")), "cannot create file");
    ORBELIN_EXPECT_ERROR(nowhere.OpenForReading(dir.File("absent.obt")), "absent.obt");
    ORBELIN_EXPECT_ERROR(nowhere.OpenResource("NO-SUCH-RESOURCE"), "NO-SUCH-RESOURCE");
    ORBELIN_EXPECT_ERROR(nowhere.OpenForReading(dir.Path().string()), dir.Path().string() + " is a directory");
    ORBELIN_EXPECT_ERROR(nowhere.CreateForWriting(dir.Path().string()), dir.Path().string() + " is a directory");
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

// Text that Windows-1251 cannot hold, or a double quote inside a quoted token, makes the
// file a UTF-8 one with a first line that no older file has; everything else is written
// as before, byte for byte.
TEST(TRWFileTest, TextOutsideTheCodePageIsWrittenAsUtf8AndReadsBack)
{
    test::TTempDir dir;
    struct TCase { const char* Name; std::string Value; bool Utf8; };
    const TCase cases[] = {
        {"cyrillic", "Город", false},
        {"quote", "She said \"hi\"", true},
        {"accents", "M\xC3\xBCnchen caf\xC3\xA9", true},
        {"cjk and emoji", "\xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80", true},
        {"quotes only", "\"\"", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("t.obt");
        {
            TRWFile file;
            file.CreateForWriting(path);
            file.WriteLine("# VALUES");
            file.WriteLine(file.QuotedToken(c.Value) + " plain " + file.QuotedToken(c.Value));
            file.WriteLine("# FIELD");
            file.WriteLine("x " + file.QuotedToken(c.Value));
            file.Close();
        }
        const std::string bytes = test::ReadBytes(path);
        EXPECT_EQ(c.Utf8, bytes.starts_with("# ENCODING UTF-8\r\n")) << bytes;
        TRWFile file;
        file.OpenForReading(path);
        EXPECT_EQ(c.Utf8, file.IsUtf8());
        ASSERT_TRUE(file.FindKey("VALUES"));
        EXPECT_EQ((TArray2S{{c.Value, "plain", c.Value}}), file.ReadStringMatrix(3, 1));
        ASSERT_TRUE(file.FindKey("FIELD"));
        EXPECT_EQ((TArray2S{{"x", c.Value}}), file.ReadStringMatrix(0, 1));
    }
    // A file that claims UTF-8 but is not is refused with its line.
    test::WriteBytes(dir.File("bad.obt"), "# ENCODING UTF-8\r\n# A\r\n\xC3\xEE\xF0\r\n");
    TRWFile bad;
    ORBELIN_EXPECT_ERROR(bad.OpenForReading(dir.File("bad.obt")), "bad.obt, line 3: the file declares UTF-8");
    // Found by fuzzing: a line that begins with a quoted token holding a quote gave a token
    // of blanks; the quote separates like any other.
    TRWFile quotedLine;
    quotedLine.OpenBytes("# ENCODING UTF-8\r\n\"\"\"\"\r\n\"a\"\"b c\"\r\n", "q.obt");
    EXPECT_EQ((TArray2S{{}, {"a", "b", "c"}}), quotedLine.ReadStringMatrix(0, 2));
    // In a Windows-1251 file a doubled quote still ends the token, as it always did.
    TReader old("\"a\"\"b\"");
    EXPECT_EQ("a", old.File.ReadToken());
    EXPECT_EQ("b", old.File.ReadToken());
}

TEST(TRWFileTest, ParseDecimalAcceptsOnlyDecimalNumbers)
{
    struct TCase { const char* Text; bool Ok; double Value; };
    const TCase cases[] = {
        {"1", true, 1}, {"-0.5", true, -0.5}, {"+2.", true, 2}, {".25", true, 0.25},
        {"1E+2", true, 100}, {"1e-400", true, 0}, {"", false, 0}, {".", false, 0},
        {"1e", false, 0}, {"inf", false, 0}, {"nan", false, 0}, {"0x10", false, 0},
        {"1.2.3", false, 0}, {" 1", false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        double v = -99;
        EXPECT_EQ(c.Ok, ParseDecimal(c.Text, v));
        if (c.Ok) {
            EXPECT_EQ(c.Value, v);
        }
    }
}

} // namespace
} // namespace orbelin::data

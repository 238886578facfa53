// Token file reading and writing.
#include "data/TRWFile.h"
#include "numeric/Missing.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    const TArray2S rows = r.File.ReadStringMatrix(3, 3);
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ((TArray1S{"a", "b c", ""}), rows[0]);
    EXPECT_EQ((TArray1S{"", "", ""}), rows[1]);
    EXPECT_EQ((TArray1S{"", "", "x"}), rows[2]);
}

TEST(TRWFileTest, NumberMatricesFollowTheMissingRules)
{
    TReader r("1 -2.5 Nan @ NAN 1e3 x .5 +7 1,5");
    const TArray2D m = r.File.ReadFloatMatrix(5, 2);
    ASSERT_EQ(2u, m.size());
    EXPECT_EQ(1.0, m[0][0]);
    EXPECT_EQ(-2.5, m[0][1]);
    EXPECT_TRUE(IsMissing(m[0][2]));
    EXPECT_TRUE(IsMissing(m[0][3]));
    EXPECT_EQ(0.0, m[0][4]); // "NAN" is not "Nan": it does not parse
    EXPECT_FALSE(IsMissing(m[0][4]));
    EXPECT_EQ(1000.0, m[1][0]);
    EXPECT_EQ(0.0, m[1][1]);
    EXPECT_EQ(0.5, m[1][2]);
    EXPECT_EQ(7.0, m[1][3]);
    EXPECT_EQ(0.0, m[1][4]);

    TReader ints("3 -4 Nan @ 2.5 99999999999");
    const TArray2I k = ints.File.ReadIntMatrix(3, 2);
    EXPECT_EQ((TArray1I{3, -4, 0}), k[0]);
    EXPECT_EQ((TArray1I{0, 0, 0}), k[1]);
}

TEST(TRWFileTest, MatrixThatRunsPastTheEndIsAnError)
{
    TReader r("# STRINGTABLE\r\na b c\r\n");
    ASSERT_TRUE(r.File.FindKey("STRINGTABLE"));
    ORBELIN_EXPECT_ERROR(r.File.ReadStringMatrix(2, 2), "section \"# STRINGTABLE\": expected 4 values, found 3");
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
    ORBELIN_EXPECT_ERROR(r.File.ReadInt(i), "test.obt: \"x\" is not a valid integer value");
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

    {
        TRWFile lossy;
        lossy.CreateForWriting(path);
        ORBELIN_EXPECT_ERROR(lossy.WriteLine("caf\xC3\xA9"), "Windows-1251");
    }

    TRWFile nowhere;
    ORBELIN_EXPECT_ERROR(nowhere.CreateForWriting(dir.File("missing/dir/x.obt")), "cannot create file");
    ORBELIN_EXPECT_ERROR(nowhere.OpenForReading(dir.File("absent.obt")), "absent.obt");
    ORBELIN_EXPECT_ERROR(nowhere.OpenResource("NO-SUCH-RESOURCE"), "NO-SUCH-RESOURCE");
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
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

// Colours-and-sizes and visibility sets: remembering, applying, and their files.
#include "view/PointSetFiles.h"
#include "view/PointSets.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TEST(PointSetsTest, RememberedSetsTakeTheProposedNamesAndApplyToTheLeadingRecords)
{
    TPointSetsAndObjects sets;
    std::vector<PointStyle> styles(3, DefaultPointStyle);
    RememberStyleSet(sets, styles, DefaultStyleSetName(static_cast<int>(sets.StyleSets.size())));
    styles[1][FILLCOLOR] = 0xFFFF;
    RememberStyleSet(sets, styles, DefaultStyleSetName(static_cast<int>(sets.StyleSets.size())));
    EXPECT_EQ((TArray1S{"Colors and sizes 1", "Colors and sizes 2"}), sets.StyleSetNames);
    EXPECT_EQ("Visibility 1", DefaultVisibilitySetName(0));

    // A set of three records applied to a table of two, and to one of four.
    std::vector<PointStyle> shorter(2, DefaultPointStyle), longer(4, DefaultPointStyle);
    longer[3][RADIUS] = 9;
    ApplyStyleSet(sets.StyleSets[1], shorter);
    ApplyStyleSet(sets.StyleSets[1], longer);
    EXPECT_EQ(0xFFFF, shorter[1][FILLCOLOR]);
    EXPECT_EQ(0xFFFF, longer[1][FILLCOLOR]);
    EXPECT_EQ(9, longer[3][RADIUS]);

    // Visibility: nothing while the flags are empty, then point by point.
    TArray1I visibility;
    ApplyVisibilitySet({0, 1, 0}, visibility);
    EXPECT_TRUE(visibility.empty());
    EnsureVisibility(visibility, 4);
    ApplyVisibilitySet({0, 1, 0}, visibility);
    EXPECT_EQ((TArray1I{0, 1, 0, 1}), visibility);
    sets.Visibility = visibility;
    RememberVisibilitySet(sets, "Europe");
    EXPECT_EQ((TArray2I{{0, 1, 0, 1}}), sets.VisibilitySets);
}

TEST(PointSetFilesTest, StyleSetsAreWrittenLineByLineWithHexadecimalColours)
{
    TTempDir dir;
    const PointStyle yellow = {1, 2, 4, 0xFFFF, 0x80, 1, 0, 0};
    const PointStyle blue = {0, 6, 12, 0xFF0000, 0, 0, 1, 1};
    const std::vector<TStyleSet> sets = {{yellow, blue}, {}};
    const TArray1S names = {"Colors and sizes 1", "Классы"};
    const std::string file = dir.File("sets.obc");
    WriteStyleSets(file, sets, names);
    const std::string expected = "2\r\n"
                                 "Colors and sizes 1\r\n"
                                 "1 0 \r\n"
                                 "2 6 \r\n"
                                 "4 12 \r\n"
                                 "FFFF FF0000 \r\n"
                                 "0080 0000 \r\n"
                                 "1 0 \r\n"
                                 "0 1 \r\n"
                                 "0 1 \r\n"
                                 "\xCA\xEB\xE0\xF1\xF1\xFB\r\n"
                                 "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    EXPECT_EQ(expected, ReadBytes(file));

    std::vector<TStyleSet> back;
    TArray1S backNames;
    ReadStyleSets(file, back, backNames);
    EXPECT_EQ(sets, back);
    EXPECT_EQ(names, backNames);
}

TEST(PointSetFilesTest, VisibilitySetsReadAndWriteTheDocumentedExample)
{
    TTempDir dir;
    const std::string file = dir.File("vis.obs");
    const std::string example = "2\r\nAll countries\r\n1 1 1 \r\nEurope\r\n0 1 1 \r\n";
    WriteBytes(file, example);
    TArray2I sets;
    TArray1S names;
    ReadVisibilitySets(file, sets, names);
    EXPECT_EQ((TArray2I{{1, 1, 1}, {0, 1, 1}}), sets);
    EXPECT_EQ((TArray1S{"All countries", "Europe"}), names);

    const std::string copy = dir.File("copy.obs");
    WriteVisibilitySets(copy, sets, names);
    EXPECT_EQ(example, ReadBytes(copy));
    // Lone line feeds, lower-case colours and a blank line before the count read as well.
    WriteBytes(file, "\n1\nlf\n2 0 \n");
    ReadVisibilitySets(file, sets, names);
    EXPECT_EQ((TArray2I{{2, 0}}), sets);
    WriteBytes(file, "1\ns\n1\n1\n1\nff\nabcdef\n1\n1\n1\n");
    std::vector<TStyleSet> styleSets;
    ReadStyleSets(file, styleSets, names);
    EXPECT_EQ((PointStyle{1, 1, 1, 0xFF, 0xABCDEF, 1, 1, 1}), styleSets.at(0).at(0));
}

TEST(PointSetFilesTest, BadFilesRaiseErrorsNamingTheFileAndKeepTheSets)
{
    struct TCase {
        const char* Name;
        bool Style;
        std::string Bytes;
        std::string Fragment;
    };
    const std::string style8 = "1 \r\n1 \r\n1 \r\nFF \r\nFF \r\n1 \r\n1 \r\n1 \r\n";
    const TCase cases[] = {
        {"empty file", true, "", "expected the number of sets, found nothing"},
        {"count not a number", true, "two\r\n", "line 1: expected the number of sets, found \"two\""},
        {"negative count", false, "-1\r\n", "expected the number of sets"},
        {"fewer sets than counted", true, "3\r\nA\r\n" + style8, "expected 3 sets, found 1 before the end"},
        {"set cut short", true, "1\r\nA\r\n1 \r\n1 \r\n", "expected the RADIUS line of set \"A\", found nothing"},
        {"short line", true, "1\r\nA\r\n1 1 \r\n1 \r\n",
         "line 4: expected 2 values as on the set's first line, found 1"},
        {"bad decimal", true, "1\r\nA\r\n1 \r\nx \r\n", "line 4: \"x\" is not a valid integer value"},
        {"bad hexadecimal", true, "1\r\nA\r\n1 \r\n1 \r\n1 \r\nGG \r\n", "line 6: \"GG\" is not a valid hexadecimal"},
        {"visibility flags missing", false, "1\r\nA\r\n", "expected the flags of set \"A\", found nothing"},
        {"visibility bad flag", false, "1\r\nA\r\n1 y\r\n", "line 3: \"y\" is not a valid integer value"},
        {"huge count", false, "2000000000\r\n", "expected 2000000000 sets, found 0"},
    };
    TTempDir dir;
    const std::string file = dir.File("bad.set");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(file, c.Bytes);
        std::vector<TStyleSet> styleSets = {{DefaultPointStyle}};
        TArray2I visibilitySets = {{1}};
        TArray1S names = {"kept"};
        if (c.Style)
            ORBELIN_EXPECT_ERROR(ReadStyleSets(file, styleSets, names), "file " + file);
        else
            ORBELIN_EXPECT_ERROR(ReadVisibilitySets(file, visibilitySets, names), "file " + file);
        if (c.Style)
            ORBELIN_EXPECT_ERROR(ReadStyleSets(file, styleSets, names), c.Fragment);
        else
            ORBELIN_EXPECT_ERROR(ReadVisibilitySets(file, visibilitySets, names), c.Fragment);
        EXPECT_EQ(1u, styleSets.size());
        EXPECT_EQ((TArray2I{{1}}), visibilitySets);
        EXPECT_EQ((TArray1S{"kept"}), names);
    }
    std::vector<TStyleSet> none;
    TArray1S noNames;
    ORBELIN_EXPECT_ERROR(ReadStyleSets(dir.File("absent.obc"), none, noNames), "absent.obc");
}

TEST(PointSetFilesTest, ANameWithALineBreakIsRefusedBeforeTheFileIsTouched)
{
    TTempDir dir;
    const std::string file = dir.File("sets.obs");
    WriteBytes(file, "old");
    ORBELIN_EXPECT_ERROR(WriteVisibilitySets(file, {{1}}, {"two\nlines"}), "holds a line break");
    EXPECT_EQ("old", ReadBytes(file));
}

} // namespace
} // namespace orbelin::view

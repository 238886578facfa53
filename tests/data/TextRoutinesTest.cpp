// Small text helpers and the Windows-1251 codec.
#include "data/Cp1251.h"
#include "data/TextRoutines.h"

#include <gtest/gtest.h>

namespace orbelin::data {
namespace {

TEST(TextRoutinesTest, IndexHelpersReturnTheLastMatch)
{
    const TArray1S names = {"a", "B", "a"};
    EXPECT_EQ(2, IndexOfText(names, "a"));
    EXPECT_EQ(-1, IndexOfText(names, "b")); // letter case significant
    EXPECT_EQ(-1, IndexOfText({}, "a"));
    EXPECT_EQ(3, IndexOfInt({4, 5, 6, 5}, 5));
    EXPECT_EQ(-1, IndexOfInt({4, 5}, 7));
    EXPECT_EQ((TArray1I{1, 3}), DeleteAt({1, 2, 3}, 1));
    EXPECT_EQ((TArray1I{}), DeleteAt({9}, 0));
}

TEST(TextRoutinesTest, BaseNameDropsFolderAndLastExtension)
{
    struct TCase { const char* Path; const char* Expected; };
    const TCase cases[] = {
        {"iris.obt", "iris"},
        {"/home/u/data/iris.tar.gz", "iris.tar"},
        {"C:\\data\\POLIS.DB", "POLIS"},
        {"name.obt  ", "name"},   // blanks after the extension belong to it
        {"no_extension", "no_extension"},
        {"dir.v2/file", "file"},
        {"", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(c.Expected, BaseName(c.Path));
    }
}

TEST(TextRoutinesTest, SplitBlanksDropsEmptyWords)
{
    EXPECT_EQ((TArray1S{"a", "bc", "d"}), SplitBlanks("  a bc   d "));
    EXPECT_TRUE(SplitBlanks("    ").empty());
    EXPECT_EQ("x y", TrimBlanks("  x y  "));
}

TEST(Cp1251Test, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    std::string back;
    EXPECT_TRUE(Utf8ToCp1251(utf8, back));
    EXPECT_EQ(all, back);
}

TEST(Cp1251Test, CyrillicLettersMapToTheirCodePoints)
{
    // Bytes from Python's cp1251 codec: "Ёё" = A8 B8, "Аяж" = C0 FF E6, "№" = B9.
    EXPECT_EQ("Ёё", Cp1251ToUtf8("\xA8\xB8"));
    EXPECT_EQ("Аяж", Cp1251ToUtf8("\xC0\xFF\xE6"));
    EXPECT_EQ("№", Cp1251ToUtf8("\xB9"));
    std::string bytes;
    EXPECT_TRUE(Utf8ToCp1251("Город", bytes));
    EXPECT_EQ("\xC3\xEE\xF0\xEE\xE4", bytes);
    // Characters outside the code page cannot be stored.
    EXPECT_FALSE(Utf8ToCp1251("caf\xC3\xA9", bytes));
    EXPECT_EQ("caf?", bytes);
    EXPECT_FALSE(Utf8ToCp1251("\xFF", bytes)); // not UTF-8 at all
    EXPECT_EQ(5u, Utf8Length("Город"));
    EXPECT_EQ("город ёлка abc", FoldCase("ГОРОД Ёлка ABC"));
}

} // namespace
} // namespace orbelin::data

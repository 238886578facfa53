// The lines file (.obv): points, repeated coordinates, segments and round trips.
#include "view/LineSetFile.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TEST(LineSetFileTest, FivePointsGiveTwoSegmentsAndShortLinesKeepThePreviousValues)
{
    TTempDir dir;
    const std::string file = dir.File("lines.obv");
    // Line 2 gives only x, line 4 more than d numbers; the blank line holds no point.
    WriteBytes(file, "1 2 3\r\n4\r\n\r\n5 6 7 8 junk\r\n-1.5e1\t0.25 1\r\n9\r\n");
    const TAddLines set = ReadLineSet(file, 3);
    EXPECT_EQ((TArray2D{{1, 2, 3}, {4, 2, 3}, {5, 6, 7}, {-15, 0.25, 1}, {9, 0.25, 1}}), set.LinePoints);
    EXPECT_EQ((TArray2I{{0, 1}, {2, 3}}), set.Segments);
    EXPECT_FALSE(set.DatasetUnits);

    // The first line's missing coordinates are 0.
    WriteBytes(file, "7\n");
    EXPECT_EQ((TArray2D{{7, 0}}), ReadLineSet(file, 2).LinePoints);
    EXPECT_TRUE(ReadLineSet(file, 2).Segments.empty());
}

TEST(LineSetFileTest, ABadNumberNamesTheFileAndLine)
{
    TTempDir dir;
    const std::string file = dir.File("lines.obv");
    WriteBytes(file, "1 2\r\n3 4,5\r\n");
    ORBELIN_EXPECT_ERROR(ReadLineSet(file, 2),
                         "file " + file + ", line 2: \"4,5\" is not a valid floating-point value");
    ORBELIN_EXPECT_ERROR(ReadLineSet(dir.File("absent.obv"), 2), "absent.obv");
}

TEST(LineSetFileTest, WrittenSetsReadBackWithTheSameSegments)
{
    TTempDir dir;
    const std::string file = dir.File("lines.obv");
    struct TCase {
        const char* Name;
        TAddLines Set;
        std::string Bytes;
        TAddLines Back;
    };
    const TCase cases[] = {
        {"consecutive pairs and a lone point",
         {{{0.5, -1}, {1e-7, 2}, {3, 4}}, {{0, 1}}, false},
         "0.5 -1\r\n1e-07 2\r\n3 4\r\n",
         {{{0.5, -1}, {1e-7, 2}, {3, 4}}, {{0, 1}}, false}},
        {"shared end points are written per segment",
         {{{0, 0}, {1, 0}, {1, 1}}, {{0, 1}, {1, 2}}, false},
         "0 0\r\n1 0\r\n1 0\r\n1 1\r\n",
         {{{0, 0}, {1, 0}, {1, 0}, {1, 1}}, {{0, 1}, {2, 3}}, false}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteLineSet(file, c.Set);
        EXPECT_EQ(c.Bytes, ReadBytes(file));
        const TAddLines back = ReadLineSet(file, 2);
        EXPECT_EQ(c.Back.LinePoints, back.LinePoints);
        EXPECT_EQ(c.Back.Segments, back.Segments);
    }
}

} // namespace
} // namespace orbelin::view

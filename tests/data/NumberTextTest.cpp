// Number text forms of the files and grids.
#include "data/NumberText.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <limits>

namespace orbelin::data {
namespace {

TEST(NumberTextTest, FixedTextRoundsHalfAwayFromZeroAndPads)
{
    struct TCase { double X; int W, D; const char* Expected; };
    const TCase cases[] = {
        {0.92, 15, 6, "       0.920000"},
        {-0.99, 7, 4, "-0.9900"},
        {1, 7, 4, " 1.0000"},
        {0.125, 0, 2, "0.13"},     // binary 0.125 is exact: the half goes away from zero
        {-0.125, 0, 2, "-0.13"},
        {2.5, 0, 0, "3"},
        {0.5, 0, 0, "1"},
        {9.9996, 0, 3, "10.000"},  // the carry adds a digit
        {0.006, 0, 2, "0.01"},
        {0.004, 0, 2, "0.00"},
        {-0.004, 0, 2, "0.00"},    // no minus sign on a value that rounds to zero
        {0.0001234, 0, 9, "0.000123400"},
        {123456789.0, 4, 1, "123456789.0"}, // never cut
        {1e20, 0, 0, "100000000000000000000"},
        {0, 5, 2, " 0.00"},
        {12345.678, 10, 2, "  12345.68"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(c.Expected, FixedText(c.X, c.W, c.D));
    }
}

TEST(NumberTextTest, NonFiniteAndHugeValues)
{
    EXPECT_EQ("  Nan", FixedText(Missing(), 5, 2));
    EXPECT_EQ("Nan", FixedText(std::numeric_limits<double>::quiet_NaN(), 0, 2));
    EXPECT_EQ(" +Inf", FixedText(std::numeric_limits<double>::infinity(), 5, 2));
    EXPECT_EQ("-Inf", SciText(-std::numeric_limits<double>::infinity(), 4));
    EXPECT_EQ("       Nan", SciText(Missing(), 10));
    EXPECT_EQ(" 1.0E+0036", FixedText(1e36, 10, 2));
}

TEST(NumberTextTest, SciTextKeepsWidthMinusEightDigits)
{
    struct TCase { double X; int W; const char* Expected; };
    const TCase cases[] = {
        {1234, 10, " 1.2E+0003"},
        {0.00012345, 13, " 1.2345E-0004"},
        {-1234567, 13, "-1.2346E+0006"},
        {0.123, 10, " 1.2E-0001"},
        {9.96, 10, " 1.0E+0001"},  // rounding carries into the exponent
        {0, 10, " 0.0E+0000"},
        {1e-7, 13, " 1.0000E-0007"},
        {5, 6, " 5.0E+0000"},      // at least two digits, not cut to the width
        {1.5, 30, "     1.50000000000000000E+0000"},  // at most 18 digits
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(c.Expected, SciText(c.X, c.W));
    }
}

TEST(NumberTextTest, ShortestTextChoosesTheFormByValue)
{
    struct TCase { double X; const char* Expected; };
    const TCase cases[] = {
        {1e-7, " 1.0000E-0007"},
        {3.14159265, "  3.141593"},
        {0.123456789, "0.123456789"},
        {250.5, "250.5"},
        {1234.123456, "  1234.123"},
        {0.5, "0.5"},
        {25824882, "25824882"},
        {-3, "-3"},
        {0.1, "0.1"},
        {0.07, "0.070000000"},
        {0, "0"},
        {123456.1234567, "123456.123"},
        {1234567.1234567, " 1.2346E+0006"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(c.Expected, ShortestText(c.X));
    }
    EXPECT_EQ("", ShortestText(Missing()));
    EXPECT_EQ("TRUE", BoolText(true));
    EXPECT_EQ("FALSE", BoolText(false));
}

} // namespace
} // namespace orbelin::data

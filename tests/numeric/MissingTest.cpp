// The missing-value marker is defined by bits, not by NaN-ness.
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

namespace orbelin {
namespace {

double FromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }
std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

TEST(MissingTest, IsMissingLooksAtTheTopSixteenBitsOnly)
{
    struct TCase { const char* Name; std::uint64_t Bits; bool Missing; };
    const TCase cases[] = {
        {"marker",                 0x7FFF000000000000ull, true},
        {"marker with low bits",   0x7FFF123456789ABCull, true},
        {"positive quiet NaN",     0x7FF8000000000000ull, false},
        {"negative NaN from 0/0",  0xFFF8000000000000ull, false},
        {"plus infinity",          0x7FF0000000000000ull, false},
        {"minus infinity",         0xFFF0000000000000ull, false},
        {"negative marker bits",   0xFFFF000000000000ull, false},
        {"one",                    0x3FF0000000000000ull, false},
        {"zero",                   0x0000000000000000ull, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Missing, IsMissing(FromBits(c.Bits)));
    }
    EXPECT_FALSE(IsMissing(std::numeric_limits<double>::quiet_NaN()));
}

TEST(MissingTest, SetMissingKeepsTheLowBits)
{
    double one = 1.0;
    SetMissing(one);
    EXPECT_EQ(0x7FFF000000000000ull, Bits(one));

    double zero = 0.0;
    SetMissing(zero);
    EXPECT_EQ(0x7FFF000000000000ull, Bits(zero));

    double x = FromBits(0x400921FB54442D18ull); // pi
    SetMissing(x);
    EXPECT_EQ(0x7FFF21FB54442D18ull, Bits(x));
    EXPECT_TRUE(IsMissing(x));

    EXPECT_EQ(0x7FFF000000000000ull, Bits(Missing()));
}

} // namespace
} // namespace orbelin

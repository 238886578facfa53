// The general number form of the map file and the exports.
#include "data/NumberText.h"
#include "data/TRWFile.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <limits>

namespace orbelin::data {
namespace {

TEST(GeneralTextTest, ShortestFormUpToFifteenDigits)
{
    struct TCase {
        const char* Name;
        double Value;
        const char* Expected;
    };
    const TCase cases[] = {
        {"integer", 1.0, "1"},
        {"negative zero", -0.0, "0"},
        {"fraction", 0.25, "0.25"},
        {"negative", -1234.5, "-1234.5"},
        {"binary tail cut at 15 digits", 0.1 + 0.2, "0.3"},
        {"fifteen digits kept", 3.14159265358979, "3.14159265358979"},
        {"small fixed", 0.0001, "0.0001"},
        {"small scientific", 1.5e-7, "1.5E-7"},
        {"large fixed", 123456789012345.0, "123456789012345"},
        {"large scientific", 2e20, "2E20"},
        {"three-digit exponent", -1e-300, "-1E-300"},
        {"missing", Missing(), "Nan"},
        {"infinity", std::numeric_limits<double>::infinity(), "+Inf"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, GeneralText(c.Value));
    }
}

TEST(GeneralTextTest, ReadsBackWithinFifteenDigits)
{
    for (double x : {1.0 / 3, -2.0 / 7 * 1e-9, 6.02214076e23, 0.1, 1e-5, 123.456}) {
        double back = 0;
        ASSERT_TRUE(ParseDecimal(GeneralText(x), back)) << GeneralText(x);
        EXPECT_NEAR(x, back, std::abs(x) * 1e-14);
    }
}

} // namespace
} // namespace orbelin::data

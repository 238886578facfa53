// The JSON text orbelin-cli prints: escaping, numbers and member order.
#include "cli/JsonOutput.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace orbelin {
namespace {

using cli::JsonText;
using cli::TJson;

TEST(JsonOutputTest, NumbersAreTheShortestTextThatReadsBack)
{
    // The texts std::to_chars gives (shortest round trip, plain or exponent form, whichever
    // is shorter), which the command-line tool has always printed.
    struct TCase {
        const char* Name;
        double Value;
        const char* Text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const TCase cases[] = {
        {"whole", 4, "4"},
        {"negative whole", -7, "-7"},
        {"zero", 0, "0"},
        {"negative zero", -0.0, "-0"},
        {"tenth", 0.1, "0.1"},
        {"third", 1.0 / 3, "0.3333333333333333"},
        {"small", 1e-5, "1e-05"},
        {"shorter as exponent", 100000, "1e+05"},
        {"shorter plain", 1000, "1000"},
        {"large", 1.5e300, "1.5e+300"},
        {"smallest denormal", std::numeric_limits<double>::denorm_min(), "5e-324"},
        {"largest", std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
        {"infinity", inf, "null"},
        {"minus infinity", -inf, "null"},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), "null"},
        {"missing value", Missing(), "null"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Text, JsonText(TJson(c.Value)));
        EXPECT_EQ(std::string("[") + c.Text + "]", JsonText(TJson::array({c.Value})));
    }

    std::mt19937_64 random(11);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 2000; ++i) {
        double x;
        const std::uint64_t b = bits(random);
        std::memcpy(&x, &b, sizeof x);
        if (!std::isfinite(x))
            continue;
        const std::string text = JsonText(TJson(x));
        SCOPED_TRACE(text);
        EXPECT_EQ(x, std::strtod(text.c_str(), nullptr));
        char longest[32];
        std::snprintf(longest, sizeof longest, "%.17g", x);
        EXPECT_LE(text.size(), std::string(longest).size());
    }
}

TEST(JsonOutputTest, WholeNumbersBooleansAndNull)
{
    struct TCase {
        const char* Name;
        TJson Value;
        const char* Text;
    };
    const TCase cases[] = {
        {"int", TJson(42), "42"},
        {"smallest 64-bit", TJson(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        {"largest unsigned", TJson(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
        {"size", TJson(std::size_t(0)), "0"},
        {"true", TJson(true), "true"},
        {"false", TJson(false), "false"},
        {"null", TJson(), "null"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Text, JsonText(c.Value));
    }
}

TEST(JsonOutputTest, StringsAreEscapedAndStayUtf8)
{
    struct TCase {
        const char* Name;
        std::string Value;
        const char* Text;
    };
    const TCase cases[] = {
        {"plain", "petal_length", R"("petal_length")"},
        {"quote and backslash", R"(a"b\c)", R"("a\"b\\c")"},
        {"line ends and tab", "a\r\nb\tc", R"("a\r\nb\tc")"},
        {"other control characters", std::string("\x01\x1f\0", 3), R"("\u0001\u001f\u0000")"},
        {"backspace and form feed", "\b\f", R"("\b\f")"},
        {"Cyrillic stays as it is", "Город", "\"Город\""},
        {"slash and DEL pass", "a/b\x7f", "\"a/b\x7f\""},
        {"bytes that are not UTF-8", "ab\xE0\xFF", "\"ab\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Text, JsonText(TJson(c.Value)));
    }
}

TEST(JsonOutputTest, ObjectsKeepTheOrderTheirMembersWereAddedIn)
{
    TJson json;
    json["kind"] = "map";
    json["zoom"] = 320.0;
    json["rows"] = std::vector<double>{1, 2.5};
    json["empty"] = TJson::array();
    json["none"] = TJson::object();
    json["files"]["vrml"] = "a \"b\".wrl";
    json["Имя"] = std::vector<std::vector<int>>{{1}, {}};
    EXPECT_EQ(R"({"kind":"map","zoom":320,"rows":[1,2.5],"empty":[],"none":{},"files":{"vrml":"a \"b\".wrl"},)"
              R"("Имя":[[1],[]]})",
              JsonText(json));
}

} // namespace
} // namespace orbelin

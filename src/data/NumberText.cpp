// Number text forms. Both fixed and scientific forms start from the value's first 18
// significant decimal digits (as printf gives them, correctly rounded from binary) and
// round those digits half away from zero, which is what the files have always held.
#include "data/NumberText.h"

#include "data/TextRoutines.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orbelin::data {
namespace {

constexpr int SignificantDigits = 18;

std::string PadLeft(std::string s, int w)
{
    if (static_cast<int>(s.size()) < w)
        s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
    return s;
}

bool NonFiniteText(double x, int w, std::string& out)
{
    if (std::isnan(x)) {
        out = PadLeft("Nan", w);
        return true;
    }
    if (std::isinf(x)) {
        out = PadLeft(x > 0 ? "+Inf" : "-Inf", w);
        return true;
    }
    return false;
}

// The 18 significant digits of |x| and the decimal exponent e of the first one, so that
// |x| = 0.d1d2... * 10^(e+1). Zero gives all zeros and e = 0.
void DecimalDigits(double x, std::string& digits, int& exponent)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", SignificantDigits - 1, std::fabs(x));
    digits.clear();
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    exponent = *p == 'e' ? std::atoi(p + 1) : 0;
}

// Rounds the digit string to keep digits, half away from zero. Returns true when the
// carry ran out of the front (the kept digits are then "1" followed by zeros, one longer).
bool RoundDigits(std::string& digits, int keep)
{
    if (keep >= static_cast<int>(digits.size()))
        return false;
    const bool up = keep >= 0 && digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(std::max(keep, 0)));
    if (!up)
        return false;
    for (int i = keep - 1; i >= 0; --i) {
        char& c = digits[static_cast<std::size_t>(i)];
        if (c == '9') {
            c = '0';
        } else {
            ++c;
            return false;
        }
    }
    digits.insert(digits.begin(), '1');
    return true;
}

} // namespace

std::string FixedText(double x, int w, int d)
{
    std::string out;
    if (NonFiniteText(x, w, out))
        return out;
    if (std::fabs(x) >= 1e36)
        return SciText(x, w);
    d = std::max(d, 0);
    std::string digits;
    int e;
    DecimalDigits(x, digits, e);
    if (x == 0.0)
        e = 0;
    // Digits kept: those before the point (e+1) and d after it.
    int keep = e + 1 + d;
    if (keep < 0) {
        digits.clear();
    } else {
        if (RoundDigits(digits, keep))
            ++e;
        keep = e + 1 + d;
        while (static_cast<int>(digits.size()) < keep)
            digits += '0';
    }
    // Lay the digits out around the decimal point.
    std::string intPart, fracPart;
    for (int pos = e; pos >= -d; --pos) {
        const int index = e - pos;
        const char c = index >= 0 && index < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(index)] : '0';
        if (pos >= 0)
            intPart += c;
        else
            fracPart += c;
    }
    // Values below 1 have no integer digits, and their leading fraction zeros lie
    // between the point and the first kept digit.
    if (intPart.empty())
        intPart = "0";
    if (static_cast<int>(fracPart.size()) < d)
        fracPart.insert(0, static_cast<std::size_t>(d) - fracPart.size(), '0');
    std::string body = intPart + (d > 0 ? "." + fracPart : "");
    const bool zero = body.find_first_not_of("0.") == std::string::npos;
    if (x < 0 && !zero)
        body.insert(0, "-");
    return PadLeft(body, w);
}

std::string SciText(double x, int w)
{
    std::string out;
    if (NonFiniteText(x, w, out))
        return out;
    const int n = std::clamp(w - 8, 2, SignificantDigits);
    std::string digits;
    int e;
    DecimalDigits(x, digits, e);
    if (x == 0.0)
        e = 0;
    if (RoundDigits(digits, n)) {
        ++e;
        digits.resize(static_cast<std::size_t>(n));
    }
    std::string body;
    body += x < 0 ? '-' : ' ';
    body += digits[0];
    body += '.';
    body += digits.substr(1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%04d", e < 0 ? '-' : '+', std::abs(e));
    body += exp;
    return PadLeft(body, w);
}

std::string ShortestText(double x)
{
    if (IsMissing(x))
        return {};
    if (std::isnan(x) || std::isinf(x))
        return TrimBlanks(FixedText(x, 0, 0));
    double c = x;
    for (int i = 0; i <= 5; ++i) {
        if (i > 0)
            c = c * 10.0;
        if (std::fabs(c - std::nearbyint(c)) < 1e-64)
            return TrimBlanks(FixedText(x, 10, i));
    }
    const double a = std::fabs(x);
    if (a > 1e-64 && (a < 1e-6 || a > 1e6))
        return SciText(x, 13);
    if (a < 1e-64)
        return "0";
    if (a < 1)
        return FixedText(x, 10, 9);
    if (a < 100)
        return FixedText(x, 10, 6);
    // Up to 1e6 the three-decimal form continues; the scientific form begins above it.
    return FixedText(x, 10, 3);
}

std::string GeneralText(double x)
{
    if (std::isnan(x))
        return "Nan";
    if (std::isinf(x))
        return x > 0 ? "+Inf" : "-Inf";
    if (x == 0.0)
        return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    std::string text = buf;
    const std::size_t e = text.find('e');
    if (e == std::string::npos)
        return text;
    // printf writes "1.5e-07"; the files carry "1.5E-7".
    const std::string mantissa = text.substr(0, e);
    const bool negative = text[e + 1] == '-';
    std::size_t digits = e + 2;
    while (digits + 1 < text.size() && text[digits] == '0')
        ++digits;
    return mantissa + "E" + (negative ? "-" : "") + text.substr(digits);
}

std::string BoolText(bool b)
{
    return b ? "TRUE" : "FALSE";
}

} // namespace orbelin::data

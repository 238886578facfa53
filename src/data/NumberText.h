// The number text forms of the system's files and grids. All use "." as the decimal
// separator whatever the locale.
#pragma once

#include <string>

namespace orbelin::data {

/// x rounded to d decimals in fixed notation, right-aligned to width w (never cut).
/// Rounding works on the first 18 significant digits, a following 5 or more rounding away
/// from zero. Magnitudes of 1e36 and above use SciText(x, w). NaN (missing values
/// included) gives "Nan", the infinities "+Inf" and "-Inf".
std::string FixedText(double x, int w, int d);

/// Scientific notation with w-8 significant digits (2 to 18): sign or blank, digit, ".",
/// digits, "E", exponent sign, four exponent digits; right-aligned to width w.
std::string SciText(double x, int w);

/// The shortest of the fixed forms that shows x exactly with at most five decimals, else a
/// fixed or scientific form chosen by magnitude; empty for a missing value.
std::string ShortestText(double x);

/// The shortest general form with up to 15 significant digits: fixed notation for
/// exponents from -5 to 14 ("1", "0.25", "-1234.5"), otherwise a mantissa with "E" and the
/// exponent ("1.5E-7", "2E20"). A missing value gives "Nan", the infinities "+Inf" and
/// "-Inf"; negative zero gives "0".
std::string GeneralText(double x);

/// "TRUE" or "FALSE".
std::string BoolText(bool b);

} // namespace orbelin::data

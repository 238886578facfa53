// Colour schemes, band tables, spectra and colour grading.
#include "coloring/ColorSchemes.h"

#include <charconv>
#include <cmath>

namespace orbelin::coloring {
namespace {

int Channel(TColorScheme s) { return static_cast<int>(s); }

} // namespace

const std::array<std::string, 9>& ColorSchemeNames()
{
    static const std::array<std::string, 9> names = {"Color", "Gray",  "Red",  "Green",    "Blue",
                                                     "Yellow", "Pink", "Cyan", "Green-Red"};
    return names;
}

int ColorSchemeIndex(const std::string& name)
{
    const auto& names = ColorSchemeNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

int Nearest(double x)
{
    // nearbyint follows the current rounding mode, which is round-half-even by default.
    return static_cast<int>(std::nearbyint(x));
}

TRgb FourStep(double v)
{
    if (v <= 0.25)
        return {0, Nearest(1020 * v), 255};
    if (v <= 0.5)
        return {0, 255, Nearest(255 - 1020 * (v - 0.25))};
    if (v <= 0.75)
        return {Nearest(1020 * (v - 0.5)), 255, 0};
    return {255, Nearest(255 - 1020 * (v - 0.75)), 0};
}

TRgb SixStep(double v)
{
    const double s = 1.0 / 6;
    if (v <= s)
        return {0, Nearest(255 * v / s), 255};
    if (v <= 2 * s)
        return {0, 255, Nearest(255 - 255 * (v - s) / s)};
    if (v <= 3 * s)
        return {Nearest(255 * (v - 2 * s) / s), 255, 0};
    if (v <= 4 * s)
        return {255, Nearest(255 - 255 * (v - 3 * s) / s), 0};
    if (v <= 5 * s)
        return {255, 0, Nearest(255 * (v - 4 * s) / s)};
    return {Nearest(255 - 255 * (v - 5 * s) / s), 0, 255};
}

TRgb SchemeColor(int scheme, double x)
{
    if (scheme == Channel(TColorScheme::Color))
        return FourStep(1 - x);
    if (scheme == Channel(TColorScheme::Gray)) {
        const int g = Nearest(255 * x);
        return {g, g, g};
    }
    if (scheme == Channel(TColorScheme::GreenRed)) {
        TRgb c = {10, 10, 10};
        if (x > 0.5)
            c[0] = Nearest((x - 0.5) * 490 + 10);
        if (x < 0.5)
            c[1] = Nearest((0.5 - x) * 490 + 10);
        return c;
    }
    const bool bright = x > 0.5;
    const int f = bright ? 255 : Nearest(255 - (0.5 - x) * 230);
    const int l = Nearest(255 * x);
    switch (static_cast<TColorScheme>(scheme)) {
    case TColorScheme::Red: return {f, l, l};
    case TColorScheme::Green: return {l, f, l};
    case TColorScheme::Blue: return {l, l, f};
    case TColorScheme::Yellow: return {f, f, l};
    case TColorScheme::Pink: return {f, l, f};
    case TColorScheme::Cyan: return {l, f, f};
    default: return {l, l, l};
    }
}

void ApplyColorScheme(TArray2D& rows, int scheme)
{
    for (TArray1D& row : rows) {
        if (row.empty())
            continue;
        const int g = Nearest(255 * row[0]);
        TRgb c;
        if (scheme == Channel(TColorScheme::Gray))
            c = {g, g, g};
        else if (scheme == Channel(TColorScheme::Color))
            c = FourStep(1 - g / 255.0);
        else
            c = SchemeColor(scheme, g / 255.0);
        row.assign({c[0] / 255.0, c[1] / 255.0, c[2] / 255.0});
    }
}

TArray2D BuildTints(int n)
{
    TArray2D tints;
    if (n <= 0)
        return tints;
    for (int i = 0; i < n; ++i) {
        // A table of one tint has no second level to spread over; it gets level 0.
        const double c = n > 1 ? Nearest(255.0 * i / (n - 1)) / 255.0 : 0.0;
        tints.push_back({static_cast<double>(i) / n, static_cast<double>(i + 1) / n, c, c});
    }
    return tints;
}

std::string TintLabel(const TArray1D& tint)
{
    return std::to_string(Nearest(100 * tint[1]));
}

TRgb TintColor(int scheme, double c)
{
    if (scheme == Channel(TColorScheme::Color))
        return FourStep(c);
    if (scheme == Channel(TColorScheme::Gray)) {
        const int g = 255 - Nearest(255 * c);
        return {g, g, g};
    }
    return SchemeColor(scheme, c);
}

TRgb LinearSpectrum(double u, double w)
{
    return {Nearest(280 * (1 - u / 2 - w / 2)), Nearest(280 * (0.5 - u / 2 + w / 2)), Nearest(255 * u)};
}

TRgb RadialSpectrum(double u, double w)
{
    const double p = u - 0.5, q = w - 0.5;
    const double rho = std::sqrt(p * p + q * q);
    double t = 0;
    if (p > 0 && q > 0)
        t = -std::atan(q / p);
    else if (p > 0 && q < 0)
        t = std::atan(-q / p);
    else if (p < 0 && q < 0)
        t = std::atan(p / q) + 1.570963;
    else if (p < 0 && q > 0)
        t = std::atan(-q / p) + 3.141926;
    // On the axes the angle is the value the neighbouring quadrant's formula starts from.
    else if (p > 0 && q == 0)
        t = 0;
    else if (p == 0 && q < 0)
        t = 1.570963;
    else if (p < 0 && q == 0)
        t = 3.141926;
    else if (p == 0 && q > 0)
        t = -1.5707963;
    t += 0.7854815;
    if (t < 0)
        t += 6.283852;
    const TRgb hue = SixStep(t / 2 / 3.1415926);
    const double k = 1 / (std::pow(3 * rho, 3) + 1);
    TRgb c;
    for (int i = 0; i < 3; ++i)
        c[static_cast<std::size_t>(i)] = Nearest((1 - k) * hue[static_cast<std::size_t>(i)] + 85 * k);
    return c;
}

int PackColor(const TRgb& rgb)
{
    return rgb[0] + 256 * rgb[1] + 65536 * rgb[2];
}

TRgb UnpackColor(int packed)
{
    return {packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF};
}

TArray1D ColorFromPacked(int packed)
{
    const TRgb c = UnpackColor(packed);
    return {c[0] / 256.0, c[1] / 256.0, c[2] / 256.0};
}

TArray1D RowFromChannels(const TRgb& rgb)
{
    return {rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0};
}

TRgb GradingColor(double t, TGradingScheme scheme)
{
    switch (scheme) {
    case TGradingScheme::GreenRed:
        return SchemeColor(static_cast<int>(TColorScheme::GreenRed), t);
    case TGradingScheme::BlackWhite: {
        const int g = Nearest(255 - 255 * t);
        return {g, g, g};
    }
    case TGradingScheme::Spektrum:
        break;
    }
    return FourStep(t);
}

std::vector<TGradingRow> BuildColorGrading(double min, double max, int n, TGradingScheme scheme)
{
    std::vector<TGradingRow> rows;
    if (n <= 0)
        return rows;
    const double step = (max - min) / n;
    double bound = min;
    for (int i = 0; i < n; ++i) {
        const double next = bound + step;
        const double t = max != min ? (next - min) / (max - min) : 0.0;
        const TRgb c = GradingColor(t, scheme);
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, bound, std::chars_format::general, 15).ptr;
        rows.push_back({bound, std::string(text, end), PackColor(c)});
        bound = next;
    }
    return rows;
}

} // namespace orbelin::coloring

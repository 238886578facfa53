// Colour schemes and palettes: grey levels, band tables and positions turned into
// colours with integer channel arithmetic, so colours are reproducible exactly.
#pragma once

#include "numeric/TArray.h"

#include <array>
#include <string>
#include <vector>

namespace orbelin::coloring {

/// Channels r, g, b in 0..255 (the linear spectrum may exceed 255).
using TRgb = std::array<int, 3>;

/// Indices of the "Color scheme" list; the map's ColorScheme field holds the index.
enum class TColorScheme : int { Color, Gray, Red, Green, Blue, Yellow, Pink, Cyan, GreenRed };

/// The list items, in index order: "Color", "Gray", ..., "Green-Red".
const std::array<std::string, 9>& ColorSchemeNames();
/// Index of a scheme's list item, or -1.
int ColorSchemeIndex(const std::string& name);

/// x rounded to the nearest integer, halves to even.
int Nearest(double x);

/// Blue through cyan, green and yellow to red as v runs from 0 to 1.
TRgb FourStep(double v);
/// A hue circle over v in 0..1 (blue, cyan, green, yellow, red, magenta, blue).
TRgb SixStep(double v);
/// The channels of grey level x in 0..1 for the single-hue and Green-Red schemes; the
/// grey scheme gives (255x, 255x, 255x) and "Color" gives FourStep(1 - x).
TRgb SchemeColor(int scheme, double x);
/// Replaces every colour row by the scheme's colour of its grey level, the level being
/// nearest(255 * first component).
void ApplyColorScheme(TArray2D& rows, int scheme);

/// The band table of n tints: rows (lo, hi, c, c) with lo = i/n, hi = (i+1)/n and
/// c = nearest(255 i / (n-1)) / 255.
TArray2D BuildTints(int n);
/// The text the tints grid shows for a tint: nearest(100 hi) as an integer.
std::string TintLabel(const TArray1D& tint);
/// The colour the tints grid paints for a tint of level c under a scheme.
TRgb TintColor(int scheme, double c);

/// "2D Spektrum": channels of a position with u, w in 0..1.
TRgb LinearSpectrum(double u, double w);
/// "2D Sp Radial ": a hue by angle around the centre, greyer towards it.
TRgb RadialSpectrum(double u, double w);

/// r + 256 g + 65536 b.
int PackColor(const TRgb& rgb);
TRgb UnpackColor(int packed);
/// (r/256, g/256, b/256): the row of point styles, the background and spheres.
TArray1D ColorFromPacked(int packed);
/// Channels divided by 255.
TArray1D RowFromChannels(const TRgb& rgb);

/// Options of the colour-grading dialog.
enum class TGradingScheme { BlackWhite, GreenRed, Spektrum };

/// The colour of a relative position t in 0..1 by a grading scheme: the "Green-Red"
/// scheme's colour, FourStep(t), or the grey nearest(255 - 255 t).
TRgb GradingColor(double t, TGradingScheme scheme);

/// One interval of a colour grading: its lower bound, the bound's text and its colour.
struct TGradingRow {
    double Bound;
    std::string BoundText;
    int Color;
};

/// Divides [min, max] into n intervals with accumulated bounds and colours each at the
/// relative position of its upper bound. A range of zero width colours every interval as
/// its lower end.
std::vector<TGradingRow> BuildColorGrading(double min, double max, int n, TGradingScheme scheme);

} // namespace orbelin::coloring

// What the colorings tree and the "Parameters of coloring" panel do to a map: each event
// sets the map's coloring parameters and rebuilds what depends on them.
#pragma once

namespace orbelin::map {
class TMap;
}

namespace orbelin::view {

/// A node of the colorings tree is selected: ColoringCode := code. A group node (code 0)
/// changes nothing else; any other code rebuilds the data points, the net and the coloring.
void SelectColoring(map::TMap& map, int code);

/// "Smoothness:" (1 to 100, clamped): rebuilds the coloring.
void SetSmoothness(map::TMap& map, int smoothness);

/// "Corr. radius:": 0 (or less) is ignored and returns false; otherwise the radius is
/// stored (at most 100) and the coloring rebuilt.
bool SetCorrRadius(map::TMap& map, double radius);

/// The relief track bar (0 to 100, clamped): Relief := position / 100; rebuilds the data
/// points, the net and the coloring.
void SetRelief(map::TMap& map, int position);

/// "Palette": "Continuous" (false) or "Discrete" (true); rebuilds the coloring.
void SetDiscretePalette(map::TMap& map, bool discrete);

/// The "Color scheme" list or the tints number changed: ColorScheme := scheme, Tints :=
/// BuildTints(tints) (2 to 256, clamped), and the coloring is rebuilt.
void SetSchemeAndTints(map::TMap& map, int scheme, int tints);

/// "Apply": rebuilds the coloring.
void ApplyColoring(map::TMap& map);

/// "Color inversion " and "Logarithmic coloring": the value colorings' grey levels are
/// inverted, or follow the logarithm of the value (coloring/ColoringOptions.h); the
/// coloring and the net, whose nodes carry field colours, are rebuilt.
void SetColorInversion(map::TMap& map, bool on);
void SetLogColoring(map::TMap& map, bool on);

} // namespace orbelin::view

// The map panel's commands as plain functions: the Creation page's settings and "Initialize
// map", "FlatTuning", the growth buttons, and the views rebuilt after each.
#pragma once

#include <string>

namespace orbelin::map {
class TMap;
}

namespace orbelin::app {

/// The grid list of the Creation page: "Rectangular", "Spherical", "Hexagonal",
/// "Toroidal", "Circle".
constexpr int GridListCount = 5;
/// The grid type code of a list item (0, 1, 2, 3, 5); items outside the list give the
/// rectangular code.
int GridTypeOfListItem(int item);
/// The list item that shows a grid type code; unknown codes show "Rectangular".
int GridListItemOf(int gridType);

/// The Creation page and the l and m fields as the map panel holds them.
struct TMapPanelSettings {
    int GridItem = 0;  ///< item of the grid list
    int Rows = 10;     ///< "vertical:", P
    int Columns = 10;  ///< "horizontal:", Q
    int Layers = 1;    ///< "in depth", R
    int Placement = 2; ///< "Map position :": 0 random, 1 along coord.axes, 2 along princ.comps.
    double Size = 0.25;
    bool NoiseOn = false;
    double Noise = 30;
    double Lambda = 1;
    double Mu = 1;
};

/// What the panel shows for a map: its grid type, requested sizes, placement, size, noise,
/// l and m.
TMapPanelSettings MapPanelSettings(const map::TMap& map);

/// "Initialize map": the settings are copied into the map, the map is initialised with three components, its view is
/// recreated and its view geometry rebuilt. Raises TError, changing nothing, while the map is being trained and when
/// the map cannot be initialised with these settings.
void InitializeMapFromPanel(map::TMap& map, const TMapPanelSettings& settings);

/// "FlatTuning": RunFlatTuning, then the view geometry rebuilt. Raises TError while the
/// map is being trained.
void FlatTuneMap(map::TMap& map);

/// The adaptation "+" of the Interpolation/Extrapolation page: with "Linear fractal
/// growth" chosen (adaptation 1), one node grown onto the map, the map's arrays resized and
/// its view geometry rebuilt. Returns false when nothing grew (adaptation "No", or no
/// grid or points). Raises TError while the map is being trained.
bool AdaptationStep(map::TMap& map, int adaptation);

/// Rebuilds the map's view geometry unless a training run works on it: the run's progress
/// routine rebuilds it after every step, and rebuilding meanwhile would read nodes the
/// worker moves. Returns whether it rebuilt.
bool RefreshMapGeometry(map::TMap& map);

} // namespace orbelin::app

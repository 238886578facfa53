// The drawing switches of the main window and what each does to the layers of a map's view.
#pragma once

#include "view/SceneObjects.h"

#include <span>

namespace orbelin::view {

/// The switches that show or hide layer objects ("Axis X/Y/Z" live in TSceneStyle, and
/// "Connections" changes the line sets, not visibility).
enum class TDrawingSwitch { NotDrawAll, Datas, NetNodes, NetLines, Net, Colorings, Selections, Objects, Rays };

/// The switches' states, with the main window's defaults.
struct TDrawingSwitches {
    bool NotDrawAll = false; ///< "Not draw all"
    bool Datas = true;       ///< "Datas" and the data-point switch
    bool NetNodes = false;   ///< "Net nodes"
    bool NetLines = true;    ///< "Net lines"
    bool Net = true;         ///< the net panel's own switch
    bool Colorings = false;  ///< "Colorings" (both switches)
    bool Selections = false; ///< "Selections"
    bool Objects = true;     ///< "Objects"
    bool Rays = true;        ///< "Rays"

    bool& operator[](TDrawingSwitch which);
    bool operator[](TDrawingSwitch which) const;
};

/// Applies the new state of one switch to the layers (0 "Datasets", 1 "Net", 2 "Coloring",
/// 3 "Objects" and any further ones); layers a map lacks are skipped.
/// - "Datas": layer 0; "Net nodes"/"Net lines": layer 1's markers/lines; the net switch:
///   layer 1; "Colorings": layer 2; "Selections": layers 3 and above.
/// - "Objects": layer 3's geometry object (the spheres and cylinders).
/// - "Rays": layer 3's markers and lines, where the ray ends and ray segments are drawn.
/// - "Not draw all" on hides every layer; off shows each layer as its switch says: layer 0
///   "Datas", layer 1's markers and lines "Net nodes" and "Net lines", layer 2 "Colorings",
///   layers 3 and above "Selections".
void ApplyDrawingSwitch(std::span<TLayer> layers, const TDrawingSwitches& switches, TDrawingSwitch changed);

} // namespace orbelin::view

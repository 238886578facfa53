// Events of the colorings tree and the coloring panel.
#include "view/ColoringEvents.h"

#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "map/TMap.h"
#include "view/ViewGeometry.h"

#include <algorithm>

namespace orbelin::view {

void SelectColoring(map::TMap& map, int code)
{
    map.ColoringCode = code;
    if (code == coloring::ColoringNone)
        return;
    RebuildDataPoints(map);
    RebuildNet(map);
    coloring::BuildColoring(map);
}

void SetSmoothness(map::TMap& map, int smoothness)
{
    map.Smoothness = std::clamp(smoothness, 1, 100);
    coloring::BuildColoring(map);
}

bool SetCorrRadius(map::TMap& map, double radius)
{
    if (!(radius > 0))
        return false;
    map.CorrRadius = std::clamp(radius, 1e-5, 100.0);
    coloring::BuildColoring(map);
    return true;
}

void SetRelief(map::TMap& map, int position)
{
    map.Relief = std::clamp(position, 0, 100) / 100.0;
    RebuildDataPoints(map);
    RebuildNet(map);
    coloring::BuildColoring(map);
}

void SetDiscretePalette(map::TMap& map, bool discrete)
{
    map.DiscretePalette = discrete;
    coloring::BuildColoring(map);
}

void SetSchemeAndTints(map::TMap& map, int scheme, int tints)
{
    map.ColorScheme = std::clamp(scheme, 0, static_cast<int>(coloring::ColorSchemeNames().size()) - 1);
    map.Tints = coloring::BuildTints(std::clamp(tints, 2, 256));
    coloring::BuildColoring(map);
}

void ApplyColoring(map::TMap& map)
{
    coloring::BuildColoring(map);
}

void SetColorInversion(map::TMap& map, bool on)
{
    map.ColorInversion = on;
    RebuildNet(map);
    coloring::BuildColoring(map);
}

void SetLogColoring(map::TMap& map, bool on)
{
    map.LogColoring = on;
    RebuildNet(map);
    coloring::BuildColoring(map);
}

} // namespace orbelin::view

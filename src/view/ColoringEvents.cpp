// Events of the colorings tree and the coloring panel.
#include "view/ColoringEvents.h"

#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "map/TMap.h"
#include "view/ViewGeometry.h"

#include <algorithm>

namespace orbelin::view {

namespace {

enum TAlsoRebuild { SurfaceOnly, AlsoNet, AlsoPointsAndNet };

// Colours the map anew after a panel change, with its net and points where the change
// shows on them too. While a training run moves the nodes the views wait: the run's next
// step draws them with the new settings.
void Recolor(map::TMap& map, TAlsoRebuild also)
{
    if (map.Training)
        return;
    if (also == AlsoPointsAndNet)
        RebuildDataPoints(map);
    if (also != SurfaceOnly)
        RebuildNet(map);
    coloring::BuildColoring(map);
}

} // namespace

void SelectColoring(map::TMap& map, int code)
{
    map.ColoringCode = code;
    if (code == coloring::ColoringNone)
        return;
    Recolor(map, AlsoPointsAndNet);
}

void SetSmoothness(map::TMap& map, int smoothness)
{
    map.Smoothness = std::clamp(smoothness, 1, 100);
    Recolor(map, SurfaceOnly);
}

bool SetCorrRadius(map::TMap& map, double radius)
{
    if (!(radius > 0))
        return false;
    map.CorrRadius = std::clamp(radius, 1e-5, 100.0);
    Recolor(map, SurfaceOnly);
    return true;
}

void SetRelief(map::TMap& map, int position)
{
    map.Relief = std::clamp(position, 0, 100) / 100.0;
    Recolor(map, AlsoPointsAndNet);
}

void SetDiscretePalette(map::TMap& map, bool discrete)
{
    map.DiscretePalette = discrete;
    Recolor(map, SurfaceOnly);
}

void SetSchemeAndTints(map::TMap& map, int scheme, int tints)
{
    map.ColorScheme = std::clamp(scheme, 0, static_cast<int>(coloring::ColorSchemeNames().size()) - 1);
    map.Tints = coloring::BuildTints(std::clamp(tints, 2, 256));
    Recolor(map, SurfaceOnly);
}

void ApplyColoring(map::TMap& map)
{
    Recolor(map, SurfaceOnly);
}

void SetColorInversion(map::TMap& map, bool on)
{
    map.ColorInversion = on;
    Recolor(map, AlsoNet);
}

void SetLogColoring(map::TMap& map, bool on)
{
    map.LogColoring = on;
    Recolor(map, AlsoNet);
}

} // namespace orbelin::view

// The map panel's commands: initialisation from the Creation page, flat tuning, the
// adaptation step, and the view geometry rebuilt after them.
#include "app/MapPanelCommands.h"

#include "coloring/Projection.h"
#include "map/MapGrowth.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "view/ViewGeometry.h"

#include <array>

namespace orbelin::app {

namespace {

constexpr std::array<int, GridListCount> GridCodes = {map::GridRectangular, map::GridSpherical, map::GridHexagonal,
                                                      map::GridToroidal, map::GridCircle};

/// The map fields "Initialize map" writes, so that a refused initialisation can put them back.
struct TCreationFields {
    int GridType, Rows, Columns, Layers, InitType;
    double InitSize, InitNoise;
    bool InitNoiseOn;
    double Lambda, Mu;

    explicit TCreationFields(const map::TMap& map)
        : GridType(map.GridType), Rows(map.RequestedRows), Columns(map.RequestedColumns), Layers(map.RequestedLayers),
          InitType(map.InitType), InitSize(map.InitSize), InitNoise(map.InitNoise), InitNoiseOn(map.InitNoiseOn),
          Lambda(map.Lambda), Mu(map.Mu)
    {
    }
    void RestoreInto(map::TMap& map) const
    {
        map.GridType = GridType;
        map.RequestedRows = Rows;
        map.RequestedColumns = Columns;
        map.RequestedLayers = Layers;
        map.InitType = InitType;
        map.InitSize = InitSize;
        map.InitNoise = InitNoise;
        map.InitNoiseOn = InitNoiseOn;
        map.Lambda = Lambda;
        map.Mu = Mu;
    }
};

} // namespace

int GridTypeOfListItem(int item)
{
    return item >= 0 && item < GridListCount ? GridCodes[static_cast<std::size_t>(item)] : map::GridRectangular;
}

int GridListItemOf(int gridType)
{
    for (int item = 0; item < GridListCount; ++item)
        if (GridCodes[static_cast<std::size_t>(item)] == gridType)
            return item;
    return 0;
}

TMapPanelSettings MapPanelSettings(const map::TMap& map)
{
    TMapPanelSettings settings;
    settings.GridItem = GridListItemOf(map.GridType);
    settings.Rows = map.RequestedRows;
    settings.Columns = map.RequestedColumns;
    settings.Layers = map.RequestedLayers;
    settings.Placement = map.InitType;
    settings.Size = map.InitSize;
    settings.NoiseOn = map.InitNoiseOn;
    settings.Noise = map.InitNoise;
    settings.Lambda = map.Lambda;
    settings.Mu = map.Mu;
    return settings;
}

void InitializeMapFromPanel(map::TMap& map, const TMapPanelSettings& settings)
{
    map::CheckNotTraining(map, "re-initialise it");
    const TCreationFields before(map);
    map.GridType = GridTypeOfListItem(settings.GridItem);
    map.RequestedRows = settings.Rows;
    map.RequestedColumns = settings.Columns;
    map.RequestedLayers = settings.Layers;
    map.InitType = settings.Placement;
    map.InitSize = settings.Size;
    map.InitNoise = settings.Noise;
    map.InitNoiseOn = settings.NoiseOn;
    map.Lambda = settings.Lambda;
    map.Mu = settings.Mu;
    map.StopRequested = true;
    try {
        map::InitializeMap(map, 3);
    } catch (...) {
        before.RestoreInto(map);
        throw;
    }
    map::RecreateView(map);
    view::RebuildViews(map);
}

void FlatTuneMap(map::TMap& map)
{
    map::RunFlatTuning(map);
    view::RebuildViews(map);
}

bool AdaptationStep(map::TMap& map, int adaptation)
{
    map::CheckNotTraining(map, "grow it");
    if (adaptation != 1 || !map::GrowLinearFractal(map))
        return false;
    map::AllocateMapArrays(map);
    coloring::InvalidateProjections(map);
    view::RebuildViews(map);
    return true;
}

bool RefreshMapGeometry(map::TMap& map)
{
    if (map.Training)
        return false;
    view::RebuildViews(map);
    return true;
}

} // namespace orbelin::app

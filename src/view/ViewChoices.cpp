// The Datapoints/Net panel's choices applied to a map.
#include "view/ViewChoices.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "view/ViewGeometry.h"
#include "view/ViewPlacement.h"

#include <algorithm>
#include <cctype>

namespace orbelin::view {

namespace {

const TArray1S& FixedViews()
{
    static const TArray1S items = {"On coordinate plane", "On principal components", "In internal coordinates"};
    return items;
}

int ResultCount(const map::TMap& map)
{
    return map.Data ? static_cast<int>(map.Data->Projectors.size()) : 0;
}

bool Spherical(const map::TMap& map)
{
    return map.GridType == map::GridSpherical;
}

// Rebuilds the map's views for a new choice, unless a training run is moving its nodes:
// then the run's next step draws the views with the choice.
void RebuildForChoice(map::TMap& map)
{
    if (!map.Training)
        RebuildViews(map);
}

// The taxons of the nodes as they stand: a map read from its file or moved since its last
// training step holds none, or stale ones. A training run keeps them itself.
void RefreshTaxons(map::TMap& map)
{
    if (map.Grid && map.Data && !map.Training)
        map::AssignTaxons(map);
}

} // namespace

TArray1S ViewListItems(const data::TData* dataset)
{
    TArray1S items = FixedViews();
    if (dataset)
        for (std::size_t i = 0; i < dataset->Projectors.size(); ++i)
            items.push_back("PP" + std::to_string(i) + " Projection Pursuit");
    return items;
}

int ViewListRow(const map::TMap& map)
{
    if (map.ViewType >= ViewCoordinates && map.ViewType <= ViewInternal)
        return map.ViewType;
    if (map.ViewType == ViewProjectionPursuit && map.PPIndex >= 0 && map.PPIndex < ResultCount(map))
        return 3 + map.PPIndex;
    return -1;
}

bool ChooseViewItem(map::TMap& map, const std::string& item)
{
    const TArray1S& fixed = FixedViews();
    const auto it = std::find(fixed.begin(), fixed.end(), item);
    if (it != fixed.end()) {
        map.ViewType = static_cast<int>(it - fixed.begin());
    } else {
        // Every digit after "PP" counts, so results beyond 99 are shown too.
        if (item.size() < 3 || item.compare(0, 2, "PP") != 0)
            return false;
        std::size_t pos = 2;
        long long index = 0;
        while (pos < item.size() && std::isdigit(static_cast<unsigned char>(item[pos])) && index < 1000000)
            index = index * 10 + (item[pos++] - '0');
        if (pos == 2 || index >= ResultCount(map) || !map.Data->Projectors[static_cast<std::size_t>(index)])
            return false;
        map.ViewType = ViewProjectionPursuit;
        map.PPIndex = static_cast<int>(index);
    }
    RebuildForChoice(map);
    return true;
}

TArray1S AxisItems(const map::TMap& map)
{
    TArray1S items;
    const auto numbers = [&items](std::size_t n) {
        for (std::size_t i = 1; i <= n; ++i)
            items.push_back(std::to_string(i));
    };
    switch (map.ViewType) {
    case ViewCoordinates:
        if (map.Data)
            items = map.Data->CoordNames;
        break;
    case ViewComponents:
        if (map.Data)
            numbers(static_cast<std::size_t>(map.Data->CoordCount));
        break;
    case ViewProjectionPursuit:
        if (map.PPIndex >= 0 && map.PPIndex < ResultCount(map))
            if (const auto& result = map.Data->Projectors[static_cast<std::size_t>(map.PPIndex)])
                numbers(result->Directions.size());
        break;
    default:
        break;
    }
    return items;
}

void ChooseAxes(map::TMap& map, int axis1, int axis2, int axis3)
{
    if (axis1 >= 0)
        map.Axis1 = axis1;
    if (axis2 >= 0)
        map.Axis2 = axis2;
    if (axis3 >= 0)
        map.Axis3 = axis3;
    RebuildForChoice(map);
}

TArray1S ViewModeItems(const map::TMap& map)
{
    if (map.ViewType != ViewInternal)
        return {"Perspective", "Orthogonal"};
    if (Spherical(map))
        return {"3D globe", "Polar", "Cylindrical"};
    return {};
}

int ViewModeRow(const map::TMap& map)
{
    if (map.ViewType == ViewInternal)
        return -1;
    return map.View.Camera.Orthogonal ? 1 : 0;
}

void ChooseViewMode(map::TMap& map, int row)
{
    const int count = static_cast<int>(ViewModeItems(map).size());
    if (row < 0 || row >= count)
        return;
    if (map.ViewType == ViewInternal) {
        // The layout moves the nodes' internal coordinates, which training reads.
        map::CheckNotTraining(map, "lay the sphere out anew");
        ChooseSphereLayout(map, row);
        return;
    }
    map.View.Camera.Orthogonal = row == 1 ? 1 : 0;
    ScaleMarkers(map);
}

void ChooseProjectorType(map::TMap& map, int type)
{
    map.ProjectorType = type == map::ProjectInClosestNode ? map::ProjectInClosestNode : map::ProjectInClosestPoint;
    coloring::InvalidateProjections(map);
    RebuildForChoice(map);
}

void SetDataAsTimeSeries(map::TMap& map, bool on)
{
    map.DataAsTimeSeries = on;
    if (map.Training)
        return;
    RebuildDataPoints(map);
    ScaleMarkers(map);
}

void SetNodeSizeByTaxon(map::TMap& map, bool on)
{
    map.NodeSizeByTaxon = on;
    if (map.Training)
        return;
    if (on)
        RefreshTaxons(map);
    RebuildNet(map);
}

} // namespace orbelin::view

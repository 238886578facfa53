// A small dataset and a flat map laid in its first two coordinates, for the coloring and
// view tests: the map's data space and its internal coordinates coincide on that plane.
#pragma once

#include "data/TData.h"
#include "map/TMap.h"
#include "map/TNetGrid.h"

#include <string>

namespace orbelin::test {

/// Sets the dataset's points (d = the first row's length) with fields "F0", "F1", ... and
/// table records 0, 1, 2, ...
inline void SetPoints(data::TData& data, const TArray2D& points)
{
    data.Points = points;
    data.PointCount = static_cast<int>(points.size());
    data.CoordCount = points.empty() ? 0 : static_cast<int>(points[0].size());
    data.CoordNames.clear();
    for (int k = 0; k < data.CoordCount; ++k)
        data.CoordNames.push_back("F" + std::to_string(k));
    data.NUMXI.clear();
    for (int i = 0; i < data.PointCount; ++i)
        data.NUMXI.push_back(i);
}

/// A rows x cols rectangular map with the four layers, its node (i, j) at data coordinates
/// (x, y, 0, ..., 0) for its internal (x, y) in -1..1; centre 0 and identity components,
/// so that principal-component coordinates are the data coordinates.
inline map::TMap& AddSheetMap(data::TData& data, int rows, int cols)
{
    const int d = data.CoordCount;
    map::TMap& map = map::AddMap(data, "sheet");
    for (const char* name : {"Datasets", "Net", "Colorings", "Objects"})
        map::AddLayer(map, name);
    map.GridType = map::GridRectangular;
    map.Grid = map::CreateGrid(map::GridRectangular, rows, cols, 1, d);
    for (std::size_t i = 0; i < map.Grid->Nodes.size(); ++i)
        for (std::size_t k = 0; k < 2 && k < static_cast<std::size_t>(d); ++k)
            map.Grid->Nodes[i][k] = map.Grid->Internal[i][k];
    map::AllocateMapArrays(map);
    map.Centre.assign(static_cast<std::size_t>(d), 0.0);
    map.Components.assign(static_cast<std::size_t>(d), TArray1D(static_cast<std::size_t>(d), 0.0));
    for (std::size_t k = 0; k < static_cast<std::size_t>(d); ++k)
        map.Components[k][k] = 1;
    return map;
}

} // namespace orbelin::test

// Small datasets and maps for the map tests.
#pragma once

#include "data/TData.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"

#include <string>

namespace orbelin::map::fixture {

/// n points of d coordinates spread mostly along the first coordinate, then the second,
/// with every thirteenth value missing when gaps is set. Seeded, so it is the same on
/// every run.
inline void FillDataset(data::TData& dataset, int n, int d, bool gaps = false, std::uint64_t seed = 1)
{
    numeric::SeedRandom(seed);
    dataset.Name = "points";
    dataset.CoordCount = d;
    dataset.PointCount = n;
    dataset.Points.assign(static_cast<std::size_t>(n), TArray1D(static_cast<std::size_t>(d)));
    dataset.NUMXI.clear();
    int counter = 0;
    for (int p = 0; p < n; ++p) {
        dataset.NUMXI.push_back(p);
        for (int k = 0; k < d; ++k) {
            const double scale = k == 0 ? 4.0 : k == 1 ? 2.0 : 0.5;
            double v = (numeric::RandInt(2001) - 1000) / 1000.0 * scale + 0.1 * (k + 1);
            if (gaps && ++counter % 13 == 0)
                v = Missing();
            dataset.Points[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)] = v;
        }
    }
}

/// Adds a map of that grid, initialised with a fixed seed.
inline TMap& AddInitialisedMap(data::TData& dataset, const std::string& name, int gridType, int rows, int columns,
                               int layers = 1, int initType = InitMainComps, std::uint64_t seed = 2)
{
    TMap& map = AddMap(dataset, name);
    map.GridType = gridType;
    map.RequestedRows = rows;
    map.RequestedColumns = columns;
    map.RequestedLayers = layers;
    map.InitType = initType;
    numeric::SeedRandom(seed);
    InitializeMap(map, 3, false);
    return map;
}

} // namespace orbelin::map::fixture

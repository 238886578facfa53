// Reads arbitrary bytes as a map file onto a small dataset, then projects the dataset's
// points onto whatever was read, and writes and reads the map back.
#include "coloring/Projection.h"
#include "data/TData.h"
#include "data/TError.h"
#include "map/MapFile.h"
#include "map/TMap.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    static const std::string path = FuzzFolder() + "/map.obm";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    }
    data::TData dataset;
    dataset.Name = "fuzz";
    dataset.CoordCount = 2;
    dataset.Points = {{0.5, -1}, {2, 3}, {-1, 0.25}};
    dataset.PointCount = 3;
    map::TMap& map = map::AddMap(dataset, "fuzz");
    if (!map::ReadMapFileFrom(dataset, path))
        return 0;
    for (int projector : {map::ProjectInClosestPoint, map::ProjectInClosestNode}) {
        map.ProjectorType = projector;
        coloring::InvalidateProjections(map);
        coloring::EnsureProjections(map);
    }
    try {
        map::WriteMapFileTo(map, path);
        map::ReadMapFileFrom(dataset, path);
    } catch (const TError&) {
    }
    return 0;
}

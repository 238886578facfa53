// The connection set of the "Connections" switch.
#include "view/ConnectionSet.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "view/ViewGeometry.h"

#include <cstddef>
#include <cstdint>

namespace orbelin::view {

TAddLines BuildConnectionSet(const map::TMap& map)
{
    TAddLines set;
    set.DatasetUnits = true;
    if (!map.Grid || !map.Data || map.Grid->Nodes.empty())
        return set;
    const map::TNetGrid& grid = *map.Grid;
    const int d = static_cast<int>(grid.Nodes[0].size());
    const std::array<int, 3> axes = {map.Axis1, map.Axis2, map.Axis3};
    for (const int axis : axes)
        if (axis < 0 || axis >= d)
            return set;

    // The map seen on the three coordinates: same topology and cells, reduced nodes.
    map::TRectangularGrid reduced;
    reduced.Edges = grid.Edges;
    reduced.Triangles = grid.Triangles;
    reduced.Tetrahedra = grid.Tetrahedra;
    reduced.Internal = grid.Internal;
    reduced.Lattice = grid.Lattice;
    reduced.TopologyDim = grid.TopologyDim;
    reduced.TriangleShift = grid.TriangleShift;
    reduced.Dimension = 3;
    reduced.Nodes.reserve(grid.Nodes.size());
    for (const TArray1D& node : grid.Nodes) {
        TArray1D row(3);
        for (std::size_t k = 0; k < 3; ++k)
            row[k] = static_cast<std::size_t>(axes[k]) < node.size() ? node[static_cast<std::size_t>(axes[k])] : 0.0;
        reduced.Nodes.push_back(row);
    }
    const coloring::TProjector projector(reduced);

    const data::TData& data = *map.Data;
    double point3[3], projected[3];
    for (std::size_t i = 0; i < data.Points.size(); ++i) {
        if (i < data.Visibility.size() && data.Visibility[i] != 1)
            continue;
        const TArray1D& point = data.Points[i];
        for (std::size_t k = 0; k < 3; ++k)
            point3[k] =
                static_cast<std::size_t>(axes[k]) < point.size() ? point[static_cast<std::size_t>(axes[k])] : 0.0;
        projector.ClosestPoint(point3, projected);
        TArray1D end(point.size(), 0.0);
        for (std::size_t k = 0; k < 3; ++k)
            if (static_cast<std::size_t>(axes[k]) < end.size())
                end[static_cast<std::size_t>(axes[k])] = projected[k];
        const auto first = static_cast<std::int32_t>(set.LinePoints.size());
        set.LinePoints.push_back(point);
        set.LinePoints.push_back(std::move(end));
        set.Segments.push_back({first, first + 1});
    }
    return set;
}

void ApplyConnectionsSwitch(map::TMap& map, bool on)
{
    if (!map.Data)
        return;
    if (on)
        map.Data->LineSets.push_back(BuildConnectionSet(map));
    else
        map.Data->LineSets.clear();
    RebuildLineSets(map);
}

} // namespace orbelin::view

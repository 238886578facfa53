// Placement of data-space vectors on the axes of a map's view.
#include "view/ViewPlacement.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cstddef>

namespace orbelin::view {

double PCCoordinate(numeric::TVecView x, numeric::TVecView centre, numeric::TVecView direction)
{
    const std::size_t n = std::min(x.size(), direction.size());
    double dot = 0, norm = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double v = direction[i];
        if (IsMissing(v) || IsMissing(x[i]))
            continue;
        norm += v * v;
        const double m = i < centre.size() ? centre[i] : 0.0;
        if (!IsMissing(m))
            dot += (x[i] - m) * v;
    }
    return norm != 0 ? dot / norm : 0.0;
}

std::array<double, 3> PCCoords(numeric::TVecView x, numeric::TVecView centre,
                               const std::array<numeric::TVecView, 3>& directions)
{
    return {PCCoordinate(x, centre, directions[0]), PCCoordinate(x, centre, directions[1]),
            PCCoordinate(x, centre, directions[2])};
}

TViewPlacer::TViewPlacer(const map::TMap& map) : View_(map.ViewType), Axes_{map.Axis1, map.Axis2, map.Axis3}
{
    const TArray2D* directions = nullptr;
    if (View_ == ViewCoordinates) {
        Places_ = true;
    } else if (View_ == ViewComponents) {
        Centre_ = map.Centre;
        directions = &map.Components;
        Places_ = !map.Components.empty();
    } else if (View_ == ViewProjectionPursuit && map.Data && map.PPIndex >= 0 &&
               map.PPIndex < static_cast<int>(map.Data->Projectors.size()) &&
               map.Data->Projectors[static_cast<std::size_t>(map.PPIndex)]) {
        const TProjectorAxes& axes = *map.Data->Projectors[static_cast<std::size_t>(map.PPIndex)];
        Centre_ = axes.Centre;
        directions = &axes.Directions;
        Places_ = true;
    }
    if (directions)
        for (std::size_t k = 0; k < 3; ++k)
            if (Axes_[k] >= 0 && Axes_[k] < static_cast<int>(directions->size()))
                Directions_[k] = (*directions)[static_cast<std::size_t>(Axes_[k])];
}

std::array<double, 3> TViewPlacer::Place(numeric::TVecView x) const
{
    if (!Places_)
        return {0, 0, 0};
    if (View_ == ViewCoordinates) {
        std::array<double, 3> p{};
        for (std::size_t k = 0; k < 3; ++k) {
            const int axis = Axes_[k];
            if (axis < 0 || axis >= static_cast<int>(x.size()) || IsMissing(x[static_cast<std::size_t>(axis)]))
                return {0, 0, 0};
            p[k] = x[static_cast<std::size_t>(axis)];
        }
        return p;
    }
    return PCCoords(x, Centre_, {Directions_[0], Directions_[1], Directions_[2]});
}

bool HasTriangleShifts(const map::TMap& map)
{
    const map::TNetGrid* grid = map.Grid.get();
    return grid && grid->TopologyDim != 1 && grid->TopologyDim != 3 && !grid->Triangles.empty() &&
           grid->TriangleShift.size() == grid->Triangles.size();
}

void EnsureTriangleShifts(map::TMap& map)
{
    if (map.ViewType != ViewInternal || map.GridType != map::GridSpherical || !map.Grid ||
        !map.Grid->TriangleShift.empty())
        return;
    auto* sphere = dynamic_cast<map::TSphericalGrid*>(map.Grid.get());
    if (!sphere)
        return;
    sphere->BuildTriangleShifts((sphere->Q + 1) / 2);
    coloring::InvalidateProjections(map);
}

} // namespace orbelin::view

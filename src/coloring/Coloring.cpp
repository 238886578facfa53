// Values, grey levels and colours of every coloring code on the refined surface.
#include "coloring/Coloring.h"

#include "coloring/ColorSchemes.h"
#include "coloring/ColoringOptions.h"
#include "coloring/ColoringSurface.h"
#include "coloring/Densities.h"
#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "view/ViewPlacement.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace orbelin::coloring {

int ColoringField(int code)
{
    return code >= FieldColoringBase && code < FieldColoringBase + ColoringChildLimit ? code - FieldColoringBase : -1;
}

int ColoringComponent(int code)
{
    return code >= ComponentColoringBase && code < ComponentColoringBase + ColoringChildLimit
               ? code - ComponentColoringBase
               : -1;
}

double LinearFunctionValue(numeric::TVecView coefficients, numeric::TVecView x)
{
    if (coefficients.empty())
        return 0;
    double f = coefficients[0];
    for (std::size_t i = 1; i < coefficients.size() && i - 1 < x.size(); ++i) {
        const double xi = x[i - 1];
        // A missing coordinate poisons the score, as in the analysis tools.
        f += IsMissing(xi) ? xi : coefficients[i] * xi;
    }
    return f;
}

namespace {

int GridDimension(const map::TNetGrid& grid)
{
    return grid.Nodes.empty() ? grid.Dimension : static_cast<int>(grid.Nodes[0].size());
}

// The code can be computed for the map as it is now.
bool Computable(const map::TMap& map, int code)
{
    const int d = GridDimension(*map.Grid);
    if (const int k = ColoringField(code); k >= 0)
        return k < d;
    if (const int k = ColoringComponent(code); k >= 0)
        return k < static_cast<int>(map.Components.size());
    switch (code) {
    case ColoringDensity2D:
        return map.Data && map.CorrRadius > 0;
    case ColoringDensityND:
        return map.Data && map.CorrRadius > 0 && map.Data->CoordCount == d;
    case ColoringLDA:
    case ColoringLRA:
        return map.Data != nullptr;
    case ColoringSpectrum:
    case ColoringRadialSpectrum:
        return true;
    default:
        return false;
    }
}

// Flat views draw each triangle moved by its shift; the surface's descendants of a grid
// triangle move with it.
void ShiftInternalVertices(TColoringSurface& surface, const map::TNetGrid& grid, int baseCount)
{
    for (std::size_t p = 0; p < surface.Polygons.size(); ++p) {
        const int origin = SurfaceTriangleOrigin(static_cast<int>(p), baseCount);
        const TArray1D& shift =
            grid.TriangleShift[static_cast<std::size_t>(surface.BaseTriangles[static_cast<std::size_t>(origin)])];
        for (const std::int32_t row : surface.Polygons[p])
            for (std::size_t k = 0; k < 3 && k < shift.size(); ++k)
                surface.InternalVertices[static_cast<std::size_t>(row)][k] += shift[k];
    }
}

TArray2D Greys(const TArray1D& levels)
{
    TArray2D rows(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i)
        rows[i] = {levels[i], levels[i], levels[i]};
    return rows;
}

enum class TGreyRule { Rounded, Normalized, Levels };

// The grey rows of a value list by the code's rule, reshaped by the panel's logarithmic
// and inversion switches.
TArray2D ValueGreys(const map::TMap& map, TArray1D values, TGreyRule rule)
{
    if (map.LogColoring && rule != TGreyRule::Levels)
        LogScaleValues(values);
    TArray2D rows = rule == TGreyRule::Rounded      ? RoundedGrayLevels(values)
                    : rule == TGreyRule::Normalized ? NormalizeToGray(values)
                                                    : Greys(values);
    if (map.ColorInversion)
        InvertGreys(rows);
    return rows;
}

// The colour rows of the code on the surface, before banding and scheme.
TArray2D SurfaceColors(map::TMap& map, int code, TColoringSurface& surface)
{
    const std::size_t count = surface.DataVertices.size();
    TArray1D values(count);
    if (const int k = ColoringField(code); k >= 0) {
        for (std::size_t i = 0; i < count; ++i)
            values[i] = static_cast<std::size_t>(k) < surface.DataVertices[i].size()
                            ? surface.DataVertices[i][static_cast<std::size_t>(k)]
                            : Missing();
        return ValueGreys(map, std::move(values), TGreyRule::Rounded);
    }
    if (const int k = ColoringComponent(code); k >= 0) {
        const TArray1D& component = map.Components[static_cast<std::size_t>(k)];
        for (std::size_t i = 0; i < count; ++i)
            values[i] = view::PCCoordinate(surface.DataVertices[i], map.Centre, component);
        return ValueGreys(map, std::move(values), TGreyRule::Rounded);
    }
    switch (code) {
    case ColoringLRA:
        for (std::size_t i = 0; i < count; ++i)
            values[i] = LinearFunctionValue(map.Data->RegressionFunction, surface.DataVertices[i]);
        return ValueGreys(map, std::move(values), TGreyRule::Rounded);
    case ColoringLDA:
        for (std::size_t i = 0; i < count; ++i)
            values[i] = LinearFunctionValue(map.Data->SeparatingFunction, surface.DataVertices[i]) > 0 ? 1.0 : 0.0;
        return ValueGreys(map, std::move(values), TGreyRule::Levels);
    case ColoringDensity2D:
        if (!EnsureProjections(map))
            return ValueGreys(map, GaussianDensity2D({}, surface.InternalVertices, map.CorrRadius),
                              TGreyRule::Normalized);
        return ValueGreys(map, GaussianDensity2D(map.Projections, surface.InternalVertices, map.CorrRadius),
                          TGreyRule::Normalized);
    case ColoringDensityND:
        return ValueGreys(map, GaussianDensityND(map.Data->Points, surface.DataVertices, map.CorrRadius),
                          TGreyRule::Normalized);
    default: {
        TArray2D rows(count);
        for (std::size_t i = 0; i < count; ++i) {
            const double u = (surface.InternalVertices[i][0] + 1) / 2, w = (surface.InternalVertices[i][1] + 1) / 2;
            rows[i] = RowFromChannels(code == ColoringSpectrum ? LinearSpectrum(u, w) : RadialSpectrum(u, w));
        }
        return rows;
    }
    }
}

} // namespace

bool BuildColoring(map::TMap& map)
{
    const int code = map.ColoringCode;
    if (map.Layers.size() < 3 || code == ColoringNone || !map.Grid)
        return false;
    if (map.ViewType != view::ViewCoordinates && map.ViewType != view::ViewComponents &&
        map.ViewType != view::ViewInternal)
        return false;
    if (!Computable(map, code))
        return false;
    view::EnsureTriangleShifts(map);

    const map::TNetGrid& grid = *map.Grid;
    TColoringSurface surface = BuildSurface(grid);
    const int baseCount = static_cast<int>(surface.Polygons.size());
    RefineSurface(surface.DataVertices, surface.InternalVertices, surface.Polygons,
                  RefinementSteps(map.Smoothness, baseCount, GridDimension(grid)));

    const bool spectrum = code == ColoringSpectrum || code == ColoringRadialSpectrum;
    // The spectra colour the map's own places; the density compares vertices with
    // projections, which carry the triangle shifts.
    if (spectrum)
        surface.Colors = SurfaceColors(map, code, surface);
    if (view::HasTriangleShifts(map))
        ShiftInternalVertices(surface, grid, baseCount);
    if (!spectrum)
        surface.Colors = SurfaceColors(map, code, surface);

    if (map.DiscretePalette)
        BandSurface(surface, map.Tints);
    if (!spectrum)
        ApplyColorScheme(surface.Colors, map.ColorScheme);

    view::TVisPol& polygons = map.Layers[2].PolygonObject;
    polygons.Polygons = std::move(surface.Polygons);
    polygons.Colors = std::move(surface.Colors);
    polygons.Smooth = 1;
    const std::size_t count = surface.DataVertices.size();
    polygons.Vertices.assign(count, TArray1D(3, 0.0));
    if (map.ViewType == view::ViewInternal) {
        const int field = ColoringField(code);
        for (std::size_t i = 0; i < count; ++i) {
            TArray1D& row = polygons.Vertices[i];
            row = surface.InternalVertices[i];
            if (field >= 0 && static_cast<std::size_t>(field) < surface.DataVertices[i].size() &&
                !IsMissing(surface.DataVertices[i][static_cast<std::size_t>(field)]))
                row[2] += map.Relief * surface.DataVertices[i][static_cast<std::size_t>(field)];
        }
    } else {
        const view::TViewPlacer placer(map);
        for (std::size_t i = 0; i < count; ++i) {
            const auto p = placer.Place(surface.DataVertices[i]);
            polygons.Vertices[i] = {p[0], p[1], p[2]};
        }
    }
    return true;
}

TArray2D NodeFillColors(const map::TMap& map)
{
    const std::size_t n = map.Grid ? map.Grid->Nodes.size() : 0;
    const int k = map.Grid ? ColoringField(map.ColoringCode) : -1;
    TArray2D rows;
    if (k >= 0 && k < GridDimension(*map.Grid)) {
        TArray1D values(n);
        for (std::size_t i = 0; i < n; ++i)
            values[i] = static_cast<std::size_t>(k) < map.Grid->Nodes[i].size()
                            ? map.Grid->Nodes[i][static_cast<std::size_t>(k)]
                            : Missing();
        rows = ValueGreys(map, std::move(values), TGreyRule::Rounded);
    } else {
        rows.assign(n, TArray1D{0, 0, 255});
    }
    ApplyColorScheme(rows, map.ColorScheme);
    return rows;
}

} // namespace orbelin::coloring

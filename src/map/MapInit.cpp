// Map initialisation: grid, centre and axes, node placement and noise.
#include "map/MapInit.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "data/TError.h"
#include "map/TMap.h"
#include "numeric/Components.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <cmath>
#include <string>

namespace orbelin::map {
namespace {

// Row r of the components, or a zero vector where the dataset has fewer dimensions.
TArray1D ComponentRow(const TArray2D& components, std::size_t r, std::size_t d)
{
    if (r < components.size() && components[r].size() == d)
        return components[r];
    return TArray1D(d, 0.0);
}

TArray1D UnitAxis(int axis, std::size_t d)
{
    TArray1D e(d, 0.0);
    if (axis >= 0 && static_cast<std::size_t>(axis) < d)
        e[static_cast<std::size_t>(axis)] = 1.0;
    return e;
}

// centre + f1 a1 + f2 a2 + f3 a3, coordinate by coordinate.
void Place(TArray1D& node, const TMap& map, double f1, double f2, double f3)
{
    for (std::size_t k = 0; k < node.size(); ++k)
        node[k] = map.Centre[k] + map.PlaceAxis1[k] * f1 + map.PlaceAxis2[k] * f2 + map.PlaceAxis3[k] * f3;
}

void PlaceSphere(TMap& map, TRectangularGrid& g, double h)
{
    const int p = g.P, q = g.Q;
    for (int i = 0; i < p; ++i)
        for (int j = 0; j < q; ++j) {
            const double theta = GridPi * (j + 1) / (q + 1), phi = GridTwoPi * i / p;
            Place(g.Nodes[static_cast<std::size_t>(i * q + j)], map, h * std::cos(theta),
                  h * std::sin(theta) * std::cos(phi), h * std::sin(theta) * std::sin(phi));
        }
    if (g.Nodes.size() >= static_cast<std::size_t>(p * q + 2)) {
        Place(g.Nodes[static_cast<std::size_t>(p * q)], map, h, 0, 0);
        Place(g.Nodes[static_cast<std::size_t>(p * q + 1)], map, -h, 0, 0);
    }
}

void PlaceAlongComponents(TMap& map, TRectangularGrid& g)
{
    const int p = g.P, q = g.Q, layers = g.TopologyDim == 3 ? g.R : 1;
    const double size = map.InitSize, h = 1.0 / size;
    switch (map.GridType) {
    case GridSpherical:
        PlaceSphere(map, g, h);
        break;
    case GridToroidal:
        for (int i = 0; i < p; ++i)
            for (int j = 0; j < q; ++j) {
                const double alpha = GridTwoPi * i / p, beta = GridTwoPi * j / q;
                const double ring = h * (1 + 0.2 * std::sin(beta));
                Place(g.Nodes[static_cast<std::size_t>(i * q + j)], map, ring * std::cos(alpha), ring * std::sin(alpha),
                      0.2 * h * std::cos(beta));
            }
        break;
    case GridCircle:
        for (int i = 0; i < p; ++i)
            for (int j = 0; j < q; ++j) {
                const double alpha = GridTwoPi * j / q, gamma = GridPi * (i + 1) / (2.0 * (p + 1));
                Place(g.Nodes[static_cast<std::size_t>(i * q + j + 1)], map, h * std::sin(gamma) * std::cos(alpha),
                      h * std::sin(gamma) * std::sin(alpha), h * std::cos(gamma));
            }
        Place(g.Nodes[0], map, 0, 0, h);
        break;
    default: {
        // Rectangular and hexagonal; a single row, column or layer spans nothing.
        const double a = p > 1 ? 2 / ((p - 1) * size) : 0, b = q > 1 ? 2 / ((q - 1) * size) : 0,
                     c = layers > 1 ? 2 / ((layers - 1) * size) : 0;
        for (int m = 0; m < layers; ++m)
            for (int i = 0; i < p; ++i)
                for (int j = 0; j < q; ++j) {
                    const double row = map.GridType == GridHexagonal && j % 2 == 1 ? i - 0.5 : i;
                    Place(g.Nodes[static_cast<std::size_t>(m * p * q + i * q + j)], map, a * row, b * j, c * m);
                }
    }
    }
    // Centring: the nodes' mean moves onto the data centre.
    const std::size_t d = map.Centre.size();
    TArray1D mean(d, 0.0);
    for (const TArray1D& node : g.Nodes)
        for (std::size_t k = 0; k < d; ++k)
            mean[k] += node[k];
    for (double& v : mean)
        v /= static_cast<double>(g.Nodes.size());
    for (TArray1D& node : g.Nodes)
        for (std::size_t k = 0; k < d; ++k)
            node[k] = node[k] - mean[k] + map.Centre[k];
}

double Draw()
{
    return numeric::RandInt(1000);
}

} // namespace

TArray1D ComputeMapComponents(TMap& map, int componentCount)
{
    const data::TData& dataset = *map.Data;
    numeric::TPrincipalComponents pc =
        numeric::PrincipalComponents(dataset.Points, dataset.PointWeights, componentCount);
    map.Components = std::move(pc.Components);
    const TArray1D present = PresentMeans(dataset);
    TArray1D centre = std::move(pc.Centre);
    centre.resize(present.size(), Missing());
    for (std::size_t k = 0; k < centre.size(); ++k)
        if (IsMissing(centre[k]))
            centre[k] = present[k];
    return centre;
}

void CentreAndRandomAxes(TMap& map, bool reseedFromClock)
{
    if (reseedFromClock)
        numeric::SeedRandomFromClock();
    const int d = map.Data ? map.Data->CoordCount : 0;
    map.Centre = map.Data ? PresentMeans(*map.Data) : TArray1D();
    map.SavedCentre = map.Centre;
    map.PlaceAxis1 = numeric::RandomUnitVector(d);
    map.PlaceAxis2.assign(static_cast<std::size_t>(d > 0 ? d : 0), 0.0);
    if (d < 2)
        return; // one coordinate has no second direction
    // p1 - a2 |p1|^2 / (p1 . a2) is orthogonal to p1. A draw orthogonal or parallel to p1
    // leaves no direction, so it is drawn again; a thousand failures in a row do not occur
    // for d >= 2 in practice, and leave the axis zero.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const TArray1D a2 = numeric::RandomUnitVector(d);
        const double dot = numeric::VecDot(map.PlaceAxis1, a2);
        if (dot == 0)
            continue;
        TArray1D v = numeric::VecSub(map.PlaceAxis1, numeric::VecScale(a2, numeric::SqNorm(map.PlaceAxis1) / dot));
        const double norm = std::sqrt(numeric::SqNorm(v));
        if (!(norm > 1e-12))
            continue;
        map.PlaceAxis2 = numeric::VecScale(v, 1 / norm);
        return;
    }
}

void InitializeMap(TMap& map, int componentCount, bool reseedFromClock)
{
    CheckNotTraining(map, "re-initialise it");
    const std::string what = "map " + map.Name + " cannot be initialised: ";
    if (!map.Data)
        throw TError(what + "it belongs to no dataset");
    const data::TData& dataset = *map.Data;
    const int d = dataset.CoordCount;
    if (d < 1 || dataset.Points.empty())
        throw TError(what + "its dataset " + dataset.Name + " has no points with coordinates");
    CheckGridSizes(map.GridType, map.RequestedRows, map.RequestedColumns, map.RequestedLayers);
    if (map.InitType != InitRandom && map.InitType != InitCoordAxes && map.InitType != InitMainComps)
        throw TError(what + "unknown placement " + std::to_string(map.InitType) +
                     " (expected 0 random, 1 along coordinate axes or 2 along principal components)");
    const bool usesSize =
        map.InitType == InitMainComps || (map.InitType == InitCoordAxes && map.GridType == GridSpherical);
    // The placements divide by the size, and the noise by its value.
    if (usesSize && !(map.InitSize > 0))
        throw TError(what + "the size must be greater than 0, found " + std::to_string(map.InitSize));
    if (map.InitNoiseOn && !(map.InitNoise > 0))
        throw TError(what + "the noise must be greater than 0, found " + std::to_string(map.InitNoise));

    map.Lambda = 1.0;
    map.Mu = 1.0;
    map.Smoothness = 1;
    if (map.Layers.empty()) {
        for (const char* name : {"Datasets", "Net", "Coloring", "Objects"})
            AddLayer(map, name);
    } else if (map.Layers.size() == 1) {
        for (const char* name : {"Net", "Colorings", "Objects"})
            AddLayer(map, name);
    }

    const auto dd = static_cast<std::size_t>(d);
    bool haveComponents = map.Components.size() == dd;
    for (const TArray1D& row : map.Components)
        haveComponents = haveComponents && row.size() == dd;
    if (!haveComponents)
        map.Centre = ComputeMapComponents(map, componentCount);

    map.Grid = CreateGrid(map.GridType, map.RequestedRows, map.RequestedColumns, map.RequestedLayers, d);
    AllocateMapArrays(map);
    CentreAndRandomAxes(map, reseedFromClock);
    if (map.PlaceAxis3.size() != dd)
        map.PlaceAxis3.assign(dd, 0.0);

    auto& grid = static_cast<TRectangularGrid&>(*map.Grid);
    switch (map.InitType) {
    case InitRandom:
        if (reseedFromClock)
            numeric::SeedRandomFromClock();
        for (TArray1D& node : grid.Nodes)
            for (double& v : node)
                v = 4 * Draw() / 1000 - 3;
        break;
    case InitMainComps:
        map.PlaceAxis1 = ComponentRow(map.Components, 0, dd);
        map.PlaceAxis2 = ComponentRow(map.Components, 1, dd);
        map.PlaceAxis3 = ComponentRow(map.Components, 2, dd);
        PlaceAlongComponents(map, grid);
        break;
    case InitCoordAxes:
        // Only a sphere has a placement on the axes; other grids keep their nodes at the
        // origin, for the noise (if any) and training to spread.
        if (map.GridType == GridSpherical) {
            map.Centre.assign(dd, 0.0);
            map.PlaceAxis1 = UnitAxis(map.Axis1, dd);
            map.PlaceAxis2 = UnitAxis(map.Axis2, dd);
            map.PlaceAxis3 = UnitAxis(map.Axis3, dd);
            PlaceSphere(map, grid, 1.0 / map.InitSize);
        }
        break;
    }

    if (map.InitNoiseOn) {
        const double s = std::sqrt((numeric::SqNorm(map.PlaceAxis1) + numeric::SqNorm(map.PlaceAxis2)) / 2);
        for (TArray1D& node : grid.Nodes)
            for (double& v : node)
                v += (Draw() - 500) * (s / map.InitNoise) / 500;
    }

    map.Grid->BuildElasticMatrices();
    coloring::InvalidateProjections(map);
    map.StopRequested = true;
}

} // namespace orbelin::map

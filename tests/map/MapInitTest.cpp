// Map initialisation: layers, components, centre and axes, placements, noise, refusals.
#include "map/MapInit.h"
#include "MapFixtures.h"
#include "TestUtil.h"
#include "map/TMap.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::map {
namespace {

using numeric::SqNorm;
using numeric::VecDot;

TArray1D NodeMean(const TNetGrid& g)
{
    TArray1D mean(g.Nodes[0].size(), 0.0);
    for (const TArray1D& node : g.Nodes)
        for (std::size_t k = 0; k < mean.size(); ++k)
            mean[k] += node[k] / static_cast<double>(g.Nodes.size());
    return mean;
}

TEST(MapInitTest, SphereOnTheCoordinateAxes)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 40, 4);
    TMap& map = AddMap(dataset, "globe");
    map.GridType = GridSpherical;
    map.RequestedRows = map.RequestedColumns = 20;
    map.InitType = InitCoordAxes;
    map.InitSize = 1;
    InitializeMap(map, 3, false);
    const TArray2D& nodes = map.Grid->Nodes;
    ASSERT_EQ(402u, nodes.size());
    const auto expectNear = [](const TArray1D& expected, const TArray1D& got) {
        ASSERT_EQ(expected.size(), got.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(expected[k], got[k], 1e-5) << k;
    };
    expectNear({0.98883, 0.14904, 0, 0}, nodes[0]);
    expectNear({0.98883, 0.14175, 0.04606, 0}, nodes[20]);
    EXPECT_EQ((TArray1D{1, 0, 0, 0}), nodes[400]);
    EXPECT_EQ((TArray1D{-1, 0, 0, 0}), nodes[401]);
    EXPECT_EQ((TArray1D{0, 0, 0, 0}), map.Centre);
    EXPECT_EQ((TArray1D{0, 0, 1, 0}), map.PlaceAxis3);

    // Other axes put the sphere into other coordinates.
    map.Axis1 = 3;
    map.Axis2 = 2;
    map.Axis3 = 1;
    InitializeMap(map, 3, false);
    expectNear({0, 0, 0.14904, 0.98883}, map.Grid->Nodes[0]);
}

TEST(MapInitTest, RectangleAlongPrincipalComponentsSpansTwiceTheInverseSize)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 200, 3);
    TMap& map = fixture::AddInitialisedMap(dataset, "r", GridRectangular, 10, 10);
    const TNetGrid& g = *map.Grid;
    ASSERT_EQ(3u, map.Components.size());
    // 2 / (9 x 0.25) per row step: 8 units from the first row to the last.
    for (std::size_t c = 0; c < 2; ++c) {
        double lo = 1e100, hi = -1e100;
        for (const TArray1D& node : g.Nodes) {
            const double t = VecDot(node, map.Components[c]);
            lo = std::min(lo, t);
            hi = std::max(hi, t);
        }
        EXPECT_NEAR(8.0, hi - lo, 1e-9) << "component " << c;
    }
    const TArray1D mean = NodeMean(g);
    const TArray1D centre = PresentMeans(dataset);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(centre[k], mean[k], 1e-12);
    EXPECT_EQ(centre, map.Centre);
    EXPECT_EQ(map.Centre, map.SavedCentre);
    // Row i, column j sits at i steps along the first component and j along the second.
    const TArray1D step = numeric::VecSub(g.Nodes[10], g.Nodes[0]);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(8.0 / 9 * map.Components[0][k], step[k], 1e-12);
}

TEST(MapInitTest, EveryGridPlacesItsNodesAroundTheDataCentre)
{
    struct TCase {
        const char* Name;
        int Type, P, Q, R;
    };
    const TCase cases[] = {
        {"rectangle", GridRectangular, 4, 5, 1}, {"chain", GridRectangular, 6, 1, 1},
        {"lattice", GridRectangular, 3, 3, 3},   {"hexagon", GridHexagonal, 4, 5, 1},
        {"torus", GridToroidal, 5, 6, 1},        {"sphere", GridSpherical, 6, 5, 1},
        {"circle", GridCircle, 3, 8, 1},
    };
    data::TData dataset;
    fixture::FillDataset(dataset, 100, 4, true);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMap& map = fixture::AddInitialisedMap(dataset, c.Name, c.Type, c.P, c.Q, c.R);
        const TNetGrid& g = *map.Grid;
        const TArray1D mean = NodeMean(g);
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(map.Centre[k], mean[k], 1e-12);
        for (std::size_t i = 0; i < g.Nodes.size(); ++i) {
            for (double v : g.Nodes[i])
                ASSERT_TRUE(std::isfinite(v));
            for (std::size_t j = 0; j < i; ++j)
                ASSERT_GT(numeric::SqEuclideanDistance(g.Nodes[i], g.Nodes[j]), 1e-6) << i << " and " << j;
        }
        EXPECT_EQ(c.Type, map.GridType);
        EXPECT_EQ(c.Q == 1 ? 1 : c.R > 1 ? 3 : 2, g.TopologyDim);
        EXPECT_GT(g.StretchMatrix.NonZeros(), 0u);
        EXPECT_EQ(g.NodeCount(), map.NodeCount);
    }
}

TEST(MapInitTest, SphereAlongComponentsLiesOnASphereOfRadiusInverseSize)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 100, 3);
    TMap& map = fixture::AddInitialisedMap(dataset, "s", GridSpherical, 8, 7);
    for (const TArray1D& node : map.Grid->Nodes)
        EXPECT_NEAR(4.0, std::sqrt(numeric::SqEuclideanDistance(node, map.Centre)), 1e-5);
}

TEST(MapInitTest, HexagonalOddColumnsMoveHalfARowBack)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 100, 3);
    TMap& map = fixture::AddInitialisedMap(dataset, "h", GridHexagonal, 3, 4);
    const TArray2D& nodes = map.Grid->Nodes;
    const double a = 2 / (2 * 0.25);
    // Node (0, 1) lies half a row step behind node (0, 0) along the first component.
    const TArray1D shift =
        numeric::VecSub(numeric::VecSub(nodes[1], nodes[0]), numeric::VecScale(map.Components[1], 2 / (3 * 0.25)));
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(-0.5 * a * map.Components[0][k], shift[k], 1e-12);
}

TEST(MapInitTest, RandomPlacementIgnoresTheData)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 30, 5);
    for (TArray1D& p : dataset.Points)
        for (double& v : p)
            v += 1000;
    TMap& map = fixture::AddInitialisedMap(dataset, "r", GridRectangular, 6, 6, 1, InitRandom, 4);
    for (const TArray1D& node : map.Grid->Nodes)
        for (double v : node) {
            EXPECT_GE(v, -3.0);
            EXPECT_LE(v, 0.996 + 1e-12);
        }
    // The components were computed by the first run; from the same seed the next runs
    // draw the same axes and nodes.
    numeric::SeedRandom(4);
    InitializeMap(map, 3, false);
    const TArray2D second = map.Grid->Nodes;
    numeric::SeedRandom(4);
    InitializeMap(map, 3, false);
    EXPECT_EQ(second, map.Grid->Nodes);
}

TEST(MapInitTest, NoiseMovesEveryCoordinateByAtMostTheAxisScaleOverTheNoise)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 80, 4);
    for (int type : {InitMainComps, InitCoordAxes}) {
        SCOPED_TRACE(type);
        TMap& map = fixture::AddInitialisedMap(dataset, "n", GridRectangular, 5, 5, 1, type, 9);
        const TArray2D quiet = map.Grid->Nodes;
        map.InitNoiseOn = true;
        map.InitNoise = 30;
        numeric::SeedRandom(9);
        InitializeMap(map, 3, false);
        double largest = 0;
        for (std::size_t i = 0; i < quiet.size(); ++i)
            for (std::size_t k = 0; k < 4; ++k)
                largest = std::max(largest, std::fabs(map.Grid->Nodes[i][k] - quiet[i][k]));
        EXPECT_LE(largest, 1.0 / 30 + 1e-12);
        EXPECT_GT(largest, 0.5 / 30);
        if (type == InitCoordAxes) {
            for (const TArray1D& node : quiet)
                EXPECT_EQ(TArray1D(4, 0.0), node); // a rectangle has no placement on the axes
        }
    }
}

TEST(MapInitTest, ResetsTrainingStateAndAddsTheMissingLayers)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 20, 3);
    TMap& fresh = AddMap(dataset, "fresh");
    fresh.Lambda = 5;
    fresh.Mu = 0.1;
    fresh.Smoothness = 4;
    fresh.StopRequested = false;
    fresh.ProjectionsValid = true;
    numeric::SeedRandom(1);
    InitializeMap(fresh, 3, false);
    EXPECT_EQ(1.0, fresh.Lambda);
    EXPECT_EQ(1.0, fresh.Mu);
    EXPECT_EQ(1, fresh.Smoothness);
    EXPECT_TRUE(fresh.StopRequested);
    EXPECT_FALSE(fresh.ProjectionsValid);
    ASSERT_EQ(4u, fresh.Layers.size());
    EXPECT_EQ("Datasets", fresh.Layers[0]->Name);
    EXPECT_EQ("Coloring", fresh.Layers[2]->Name);
    EXPECT_EQ(16u, fresh.View.Objects.size());

    TMap& one = AddMap(dataset, "one");
    AddLayer(one, "Datasets");
    InitializeMap(one, 3, false);
    ASSERT_EQ(4u, one.Layers.size());
    EXPECT_EQ("Colorings", one.Layers[2]->Name);

    // A second initialisation keeps the layers and the components.
    view::TLayer* layer = fresh.Layers[1].get();
    fresh.Components = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    InitializeMap(fresh, 3, false);
    EXPECT_EQ(layer, fresh.Layers[1].get());
    EXPECT_EQ((TArray2D{{0, 0, 1}, {0, 1, 0}, {1, 0, 0}}), fresh.Components);
    EXPECT_EQ((TArray1D{0, 0, 1}), fresh.PlaceAxis1);
}

TEST(MapInitTest, CentreSkipsMissingValuesAndAxesAreOrthonormal)
{
    data::TData dataset;
    dataset.CoordCount = 3;
    dataset.Points = {{1, Missing(), 3}, {3, 4, Missing()}, {Missing(), 8, 5}};
    TMap& map = AddMap(dataset, "c");
    numeric::SeedRandom(12);
    for (int run = 0; run < 50; ++run) {
        CentreAndRandomAxes(map, false);
        EXPECT_EQ((TArray1D{2, 6, 4}), map.Centre);
        EXPECT_EQ(map.Centre, map.SavedCentre);
        EXPECT_NEAR(1.0, SqNorm(map.PlaceAxis1), 1e-12);
        EXPECT_NEAR(1.0, SqNorm(map.PlaceAxis2), 1e-12);
        EXPECT_NEAR(0.0, VecDot(map.PlaceAxis1, map.PlaceAxis2), 1e-12);
    }
    dataset.CoordCount = 1;
    dataset.Points = {{Missing()}, {Missing()}};
    CentreAndRandomAxes(map, false);
    EXPECT_EQ((TArray1D{0}), map.Centre);
    EXPECT_EQ((TArray1D{0}), map.PlaceAxis2);
}

TEST(MapInitTest, ComponentCentreFallsBackToPresentMeans)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 60, 3, true);
    TMap& map = AddMap(dataset, "m");
    const TArray1D centre = ComputeMapComponents(map, 2);
    ASSERT_EQ(3u, map.Components.size());
    EXPECT_EQ(PresentMeans(dataset), centre);
}

TEST(MapInitTest, RefusesWhatCannotBeBuiltAndLeavesTheMapAsItWas)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 20, 3);
    TMap& map = fixture::AddInitialisedMap(dataset, "keep", GridRectangular, 4, 4);
    const TNetGrid* grid = map.Grid.get();
    const TArray2D nodes = grid->Nodes;
    struct TCase {
        const char* Name;
        int Type, P, Q, R, InitType;
        double Size;
        bool NoiseOn;
        double Noise;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"one row", GridRectangular, 1, 10, 1, InitMainComps, 0.25, false, 30, "one row must have one column"},
        {"hexagonal chain", GridHexagonal, 10, 1, 1, InitMainComps, 0.25, false, 30, "at least 2 columns"},
        {"layered sphere", GridSpherical, 10, 10, 3, InitMainComps, 0.25, false, 30, "only rectangular"},
        {"size 0", GridRectangular, 5, 5, 1, InitMainComps, 0, false, 30, "the size must be greater than 0"},
        {"sphere on axes of size 0", GridSpherical, 5, 5, 1, InitCoordAxes, 0, false, 30, "size must be greater"},
        {"noise 0", GridRectangular, 5, 5, 1, InitRandom, 0.25, true, 0, "the noise must be greater than 0"},
        {"placement 7", GridRectangular, 5, 5, 1, 7, 0.25, false, 30, "unknown placement 7"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        map.GridType = c.Type;
        map.RequestedRows = c.P;
        map.RequestedColumns = c.Q;
        map.RequestedLayers = c.R;
        map.InitType = c.InitType;
        map.InitSize = c.Size;
        map.InitNoiseOn = c.NoiseOn;
        map.InitNoise = c.Noise;
        ORBELIN_EXPECT_ERROR(InitializeMap(map, 3, false), c.Fragment);
        EXPECT_EQ(grid, map.Grid.get());
        EXPECT_EQ(nodes, map.Grid->Nodes);
    }
    // A size of 0 is harmless where the placement does not use it.
    map.GridType = GridRectangular;
    map.RequestedRows = map.RequestedColumns = 3;
    map.RequestedLayers = 1;
    map.InitType = InitRandom;
    map.InitSize = 0;
    map.InitNoiseOn = false;
    EXPECT_NO_THROW(InitializeMap(map, 3, false));

    TMap orphan;
    orphan.Name = "orphan";
    ORBELIN_EXPECT_ERROR(InitializeMap(orphan, 3, false), "map orphan cannot be initialised: it belongs to no dataset");
    data::TData empty;
    empty.Name = "empty";
    TMap& none = AddMap(empty, "none");
    ORBELIN_EXPECT_ERROR(InitializeMap(none, 3, false), "its dataset empty has no points");
}

TEST(MapInitTest, LargeMapInitialisesWithoutDenseStorage)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 500, 3);
    TMap& map = fixture::AddInitialisedMap(dataset, "big", GridRectangular, 100, 100);
    EXPECT_EQ(10000, map.NodeCount);
    EXPECT_EQ(10000, map.SystemMatrix.Rows());
    EXPECT_EQ(0u, map.SystemMatrix.NonZeros());
    EXPECT_EQ(10000u, map.TaxonMembers.size());
    for (const TArray1I& members : map.TaxonMembers)
        ASSERT_EQ(0u, members.capacity());
    EXPECT_LT(map.Grid->BendMatrix.NonZeros(), 13u * 10000);
}

} // namespace
} // namespace orbelin::map

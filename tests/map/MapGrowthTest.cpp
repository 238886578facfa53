// Growth of maps: extrapolated and dropped borders, resampling over the same surface, the
// outer ring of a circle, linear fractal growth and the panel's growth command.
#include "MapFixtures.h"
#include "TestUtil.h"

#include "map/MapGrowth.h"
#include "map/Training.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orbelin::map {
namespace {

using numeric::VecAdd;
using numeric::VecScale;
using numeric::VecSub;

bool SameBits(const TArray1D& a, const TArray1D& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// A map whose nodes are scattered at random, so that no growth is exact by accident.
TMap& RandomMap(data::TData& dataset, int gridType, int rows, int columns)
{
    fixture::FillDataset(dataset, 50, 3);
    return fixture::AddInitialisedMap(dataset, "grown", gridType, rows, columns, 1, InitRandom);
}

TEST(MapGrowthTest, ExtrapolationAddsAndDropsBorders)
{
    data::TData dataset;
    TMap& map = RandomMap(dataset, GridRectangular, 10, 10);
    auto& grid = static_cast<TRectangularGrid&>(*map.Grid);
    const TArray2D old = grid.Nodes;
    const auto y = [&old](int r, int c) { return old[static_cast<std::size_t>(r * 10 + c)]; };

    ASSERT_TRUE(Extrapolate(grid, 1, 1, 1, 1));
    EXPECT_EQ(12, grid.P);
    EXPECT_EQ(12, grid.Q);
    ASSERT_EQ(144u, grid.Nodes.size());
    EXPECT_EQ(2u * 144 - 24, grid.Edges.size());
    EXPECT_EQ(144, grid.StretchMatrix.Rows());
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            EXPECT_TRUE(SameBits(y(r, c), grid.Nodes[static_cast<std::size_t>((r + 1) * 12 + c + 1)])) << r << c;
    // The corner continues both border lines from the old corner; a side node its row.
    EXPECT_EQ(VecAdd(VecAdd(y(0, 0), VecScale(VecSub(y(0, 1), y(0, 0)), -1)), VecScale(VecSub(y(1, 0), y(0, 0)), -1)),
              grid.Nodes[0]);
    EXPECT_EQ(VecAdd(y(4, 9), VecScale(VecSub(y(4, 9), y(4, 8)), 1)), grid.Nodes[5 * 12 + 11]);

    // "--" with the same amounts takes the map back to its old nodes.
    ASSERT_TRUE(Extrapolate(grid, -1, -1, -1, -1));
    EXPECT_EQ(10, grid.P);
    EXPECT_EQ(old, grid.Nodes);

    // Uneven amounts: two columns on the left, one row at the bottom.
    ASSERT_TRUE(Extrapolate(grid, 2, 0, 0, 1));
    EXPECT_EQ(11, grid.P);
    EXPECT_EQ(12, grid.Q);
    EXPECT_TRUE(SameBits(y(3, 4), grid.Nodes[3 * 12 + 6]));
    EXPECT_EQ(VecAdd(y(9, 0), VecScale(VecSub(y(9, 0), y(8, 0)), 1)), grid.Nodes[10 * 12 + 2]);
}

TEST(MapGrowthTest, ExtrapolationKeepsGapsAndTheHexagonalTopology)
{
    data::TData dataset;
    TMap& map = RandomMap(dataset, GridHexagonal, 4, 5);
    map.Grid->Nodes[0][1] = Missing();
    ASSERT_TRUE(Extrapolate(*map.Grid, 1, 1, 1, 1));
    ASSERT_NE(nullptr, dynamic_cast<THexagonalGrid*>(map.Grid.get()));
    const int p = 6, q = 7;
    EXPECT_EQ(static_cast<std::size_t>(3 * p * q - 2 * p - 2 * q + 1), map.Grid->Edges.size());
    EXPECT_TRUE(IsMissing(map.Grid->Nodes[0][1])) << "the corner continues a node with a gap";
    EXPECT_TRUE(IsMissing(map.Grid->Nodes[1 * q + 1][1]));
    EXPECT_FALSE(IsMissing(map.Grid->Nodes[0][0]));
}

TEST(MapGrowthTest, InterpolationResamplesTheSameSurface)
{
    // A 2 x 2 map in one coordinate: y00 = 0, y01 = 1, y10 = 2, y11 = 10. Resampled to
    // 4 x 4, node (r', c') lies at (r'/3, c'/3) of the cell, on the triangle of y00 below
    // the diagonal and on that of y11 above it.
    data::TData dataset;
    fixture::FillDataset(dataset, 20, 1);
    TMap& map = fixture::AddInitialisedMap(dataset, "cell", GridRectangular, 2, 2);
    map.Grid->Nodes = {{0}, {1}, {2}, {10}};
    ASSERT_TRUE(Interpolate(*map.Grid, 1, 1, 1, 1));
    ASSERT_EQ(16u, map.Grid->Nodes.size());
    const auto at = [&map](int r, int c) { return map.Grid->Nodes[static_cast<std::size_t>(r * 4 + c)][0]; };
    EXPECT_EQ(0, at(0, 0));
    EXPECT_EQ(1, at(0, 3));
    EXPECT_EQ(2, at(3, 0));
    EXPECT_EQ(10, at(3, 3));
    EXPECT_NEAR(2.0 / 3 * 1 + 1.0 / 3 * 2, at(1, 2), 1e-12);
    EXPECT_NEAR(10 - 8.0 / 3 - 9.0 / 3, at(2, 2), 1e-12);
    EXPECT_NEAR(2 + 8 * 2.0 / 3, at(3, 2), 1e-12) << "the last row has no row below it";

    // On a map along the principal components (a plane), resampling stays on the plane
    // and keeps the corners.
    data::TData planeData;
    fixture::FillDataset(planeData, 60, 3);
    TMap& plane = fixture::AddInitialisedMap(planeData, "plane", GridRectangular, 10, 10);
    const TArray2D old = plane.Grid->Nodes;
    ASSERT_TRUE(Interpolate(*plane.Grid, 1, 1, 1, 1));
    const auto& g = static_cast<const TRectangularGrid&>(*plane.Grid);
    ASSERT_EQ(12, g.P);
    for (int corner : {0, 11, 132, 143}) {
        const int oldCorner = corner == 0 ? 0 : corner == 11 ? 9 : corner == 132 ? 90 : 99;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(old[static_cast<std::size_t>(oldCorner)][k], g.Nodes[static_cast<std::size_t>(corner)][k],
                        1e-12);
    }
    const TArray1D rowStep = VecScale(VecSub(old[90], old[0]), 1.0 / 11);
    const TArray1D columnStep = VecScale(VecSub(old[9], old[0]), 1.0 / 11);
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 12; ++c) {
            const TArray1D expected = VecAdd(VecAdd(old[0], VecScale(rowStep, r)), VecScale(columnStep, c));
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(expected[k], g.Nodes[static_cast<std::size_t>(r * 12 + c)][k], 1e-9) << r << "," << c;
        }
}

TEST(MapGrowthTest, ResizingRefusesGridsItCannotRebuild)
{
    struct TCase {
        const char* Name;
        int GridType, Rows, Columns;
        int Left, Right, Up, Down;
        bool ExtraEdge; ///< a rectangular-class grid whose edges are not its rectangle's
    };
    const TCase cases[] = {
        {"sphere", GridSpherical, 5, 5, 1, 1, 1, 1, false},
        {"torus", GridToroidal, 5, 5, 1, 1, 1, 1, false},
        {"circle", GridCircle, 3, 8, 1, 1, 1, 1, false},
        {"chain", GridRectangular, 6, 1, 0, 0, 1, 1, false},
        {"shrunk to one row", GridRectangular, 3, 4, 0, 0, -1, -1, false},
        {"shrunk to nothing", GridRectangular, 3, 4, -3, -3, 0, 0, false},
        {"read-back hexagon", GridRectangular, 4, 4, 1, 1, 1, 1, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TData dataset;
        TMap& map = RandomMap(dataset, c.GridType, c.Rows, c.Columns);
        if (c.ExtraEdge) {
            map.Grid->Edges.push_back({0, 5});
            map.Grid->EdgeWeights.push_back(1);
        }
        const TArray2D nodes = map.Grid->Nodes;
        const std::size_t edges = map.Grid->Edges.size();
        EXPECT_FALSE(Extrapolate(*map.Grid, c.Left, c.Right, c.Up, c.Down));
        EXPECT_FALSE(Interpolate(*map.Grid, c.Left, c.Right, c.Up, c.Down));
        EXPECT_EQ(nodes, map.Grid->Nodes);
        EXPECT_EQ(edges, map.Grid->Edges.size());
    }
}

TEST(MapGrowthTest, OuterRingContinuesTheCircle)
{
    data::TData dataset;
    TMap& map = RandomMap(dataset, GridCircle, 3, 8);
    auto& grid = static_cast<TCircleGrid&>(*map.Grid);
    const TArray2D nodes = grid.Nodes, internal = grid.Internal;
    const std::size_t edges = grid.Edges.size(), ribs = grid.Ribs.size(), triangles = grid.Triangles.size();
    ASSERT_TRUE(AddOuterRing(grid));
    EXPECT_EQ(4, grid.P);
    ASSERT_EQ(nodes.size() + 8, grid.Nodes.size());
    EXPECT_EQ(edges + 16, grid.Edges.size());
    EXPECT_EQ(edges + 16, grid.EdgeWeights.size());
    EXPECT_EQ(triangles + 16, grid.Triangles.size());
    EXPECT_EQ(ribs, grid.Ribs.size());
    EXPECT_EQ(grid.Nodes.size(), static_cast<std::size_t>(grid.StretchMatrix.Rows()));
    for (int j = 0; j < 8; ++j) {
        const auto last = static_cast<std::size_t>(2 * 8 + j + 1), previous = static_cast<std::size_t>(8 + j + 1);
        EXPECT_EQ(VecSub(VecScale(nodes[last], 2), nodes[previous]), grid.Nodes[static_cast<std::size_t>(24 + j + 1)]);
        EXPECT_DOUBLE_EQ(2 * internal[last][0] - internal[previous][0],
                         grid.Internal[static_cast<std::size_t>(24 + j + 1)][0]);
    }
    EXPECT_EQ((TArray1I{17, 25}), grid.Edges[edges]) << "the first radial edge";
    EXPECT_EQ((TArray1I{25, 32}), grid.Edges.back()) << "the edge closing the ring";
    EXPECT_EQ((TArray1I{32, 24, 25}), grid.Triangles[triangles + 14]);
    EXPECT_EQ((TArray1I{25, 24, 17}), grid.Triangles.back());

    data::TData other;
    TMap& rectangle = RandomMap(other, GridRectangular, 3, 8);
    EXPECT_FALSE(AddOuterRing(*rectangle.Grid));
}

TEST(MapGrowthTest, LinearFractalGrowthAddsANodeAtTheBusiestTaxon)
{
    data::TData dataset;
    dataset.Name = "line";
    dataset.CoordCount = 2;
    dataset.PointCount = 6;
    // Three points near node 0, two near node 2, one near node 3.
    dataset.Points = {{0.1, Missing()}, {0.2, 0}, {2, 0}, {-0.1, 0}, {2.1, 0}, {3, 0}};
    dataset.NUMXI = {0, 1, 2, 3, 4, 5};
    TMap& map = fixture::AddInitialisedMap(dataset, "chain", GridRectangular, 4, 1);
    map.Grid->Nodes = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    map.Grid->EdgeWeights = {0.5, 2, 3};
    ASSERT_TRUE(GrowLinearFractal(map));
    ASSERT_EQ(5u, map.Grid->Nodes.size());
    EXPECT_EQ((TArray1D{0.1, 0}), map.Grid->Nodes[4]) << "the taxon's first point, its gap from the node";
    EXPECT_EQ((TArray1I{0, 4}), map.Grid->Edges.back());
    EXPECT_EQ(0.5, map.Grid->EdgeWeights.back());
    EXPECT_EQ((TArray1D{0, 0, 0}), map.Grid->Internal.back());
    EXPECT_EQ(5, map.Grid->StretchMatrix.Rows());
    EXPECT_EQ(2u, map.Grid->Ribs.size()) << "no ribs are added";

    // Two nodes on top of each other share their taxon: 3 and 0 become 1 and 1, so node 2
    // with its two points is now the busiest.
    map.Grid->Nodes = {{0, 0}, {0, 0}, {2, 0}, {3, 0}};
    map.Grid->Nodes.resize(4);
    map.Grid->Edges.resize(3);
    map.Grid->EdgeWeights.resize(3);
    map.Grid->Internal.resize(4);
    map.Grid->BuildElasticMatrices();
    ASSERT_TRUE(GrowLinearFractal(map));
    EXPECT_EQ((TArray1I{1, 1, 2, 1}), map.TaxonSizes);
    EXPECT_EQ(dataset.Points[2], map.Grid->Nodes[4]);
    EXPECT_EQ((TArray1I{2, 4}), map.Grid->Edges.back());
    EXPECT_EQ(2, map.Grid->EdgeWeights.back()) << "the weight of the first edge at node 2";

    TMap& bare = AddMap(dataset, "bare");
    EXPECT_FALSE(GrowLinearFractal(bare));
}

TEST(MapGrowthTest, GrowthCommandFollowsTheGridType)
{
    struct TCase {
        const char* Name;
        int GridType, Rows, Columns, Layers;
        bool Interpolation, Negate;
        bool Changed;
        int RowsAfter, ColumnsAfter;
        const char* Problem;
    };
    const TCase cases[] = {
        {"rectangle grows", GridRectangular, 5, 6, 1, false, false, true, 7, 9, ""},
        {"rectangle shrinks with --", GridRectangular, 5, 6, 1, false, true, true, 3, 3, ""},
        {"hexagon resampled", GridHexagonal, 5, 6, 1, true, false, true, 7, 9, ""},
        {"circle gets a ring", GridCircle, 3, 8, 1, false, false, true, 4, 8, ""},
        {"circle is not resampled", GridCircle, 3, 8, 1, true, false, false, 3, 8, "does not apply"},
        {"sphere", GridSpherical, 5, 5, 1, false, false, false, 5, 5, "does not apply"},
        {"lattice", GridRectangular, 3, 3, 3, false, false, false, 3, 3, "not a surface"},
        {"too small to shrink", GridRectangular, 3, 3, 1, false, true, false, 3, 3, "fewer than two"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TData dataset;
        fixture::FillDataset(dataset, 50, 3);
        TMap& map = fixture::AddInitialisedMap(dataset, "m", c.GridType, c.Rows, c.Columns, c.Layers);
        map.ProjectionsValid = true;
        // Amounts as the panel lists them: right 2, up 1, left 1, down 1.
        const TGrowthResult result = GrowMap(map, c.Interpolation, 2, 1, 1, 1, c.Negate);
        EXPECT_EQ(c.Changed, result.Changed);
        EXPECT_EQ(c.RowsAfter, result.Rows);
        EXPECT_EQ(c.ColumnsAfter, result.Columns);
        EXPECT_NE(std::string::npos, result.Problem.find(c.Problem)) << result.Problem;
        EXPECT_EQ(!c.Changed, map.ProjectionsValid.load());
        EXPECT_EQ(map.Grid->NodeCount(), map.NodeCount);
        EXPECT_EQ(static_cast<std::size_t>(map.Grid->NodeCount()), map.TaxonSizes.size());
    }
}

} // namespace
} // namespace orbelin::map

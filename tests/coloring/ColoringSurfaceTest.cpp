// The coloring surface: construction from the grid, refinement and discrete banding.
#include "coloring/ColoringSurface.h"
#include "coloring/ColorSchemes.h"
#include "map/TNetGrid.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace orbelin::coloring {
namespace {

double Area(const TArray2D& rows, const TArray1I& t)
{
    const TArray1D &a = rows[t[0]], &b = rows[t[1]], &c = rows[t[2]];
    return std::abs((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
}

TEST(ColoringSurfaceTest, BuildsThreeUnsharedRowsPerGridTriangle)
{
    auto grid = map::CreateGrid(map::GridRectangular, 3, 4, 1, 2);
    for (std::size_t i = 0; i < grid->Nodes.size(); ++i)
        grid->Nodes[i] = {10.0 + i, -1.0 * i};
    const TColoringSurface s = BuildSurface(*grid);
    ASSERT_EQ(grid->Triangles.size(), 12u); // 2 (P - 1)(Q - 1)
    ASSERT_EQ(s.Polygons.size(), grid->Triangles.size());
    ASSERT_EQ(s.DataVertices.size(), 3 * grid->Triangles.size());
    for (std::size_t t = 0; t < grid->Triangles.size(); ++t) {
        EXPECT_EQ(s.Polygons[t], (TArray1I{int(3 * t), int(3 * t + 1), int(3 * t + 2)}));
        for (std::size_t k = 0; k < 3; ++k) {
            const auto node = static_cast<std::size_t>(grid->Triangles[t][k]);
            EXPECT_EQ(s.DataVertices[3 * t + k], grid->Nodes[node]);
            EXPECT_EQ(s.InternalVertices[3 * t + k], grid->Internal[node]);
        }
    }
    // A chain has no triangles.
    EXPECT_TRUE(BuildSurface(*map::CreateGrid(map::GridRectangular, 5, 1, 1, 2)).Polygons.empty());
}

TEST(ColoringSurfaceTest, RefinementSplitsEachTriangleIntoFourQuarters)
{
    TArray2D data = {{0, 0}, {4, 0}, {0, 4}};
    TArray2D internal = {{0, 0, 1}, {4, 0, 1}, {0, 4, 1}};
    TArray2I triangles = {{0, 1, 2}};
    RefineSurface(data, internal, triangles, 1);
    // Rows: V0, m02, m01, then V2, m02, m12, m01, m12, V1, m01, m02, m12.
    const TArray2D expected = {{0, 0}, {0, 2}, {2, 0}, {0, 4}, {0, 2}, {2, 2},
                               {2, 0}, {2, 2}, {4, 0}, {2, 0}, {0, 2}, {2, 2}};
    EXPECT_EQ(data, expected);
    EXPECT_EQ(triangles, (TArray2I{{0, 1, 2}, {5, 4, 3}, {8, 7, 6}, {11, 10, 9}}));
    for (std::size_t i = 0; i < internal.size(); ++i)
        EXPECT_EQ(internal[i], (TArray1D{expected[i][0], expected[i][1], 1.0}));

    // Two more steps: 64 triangles of a sixty-fourth of the area, covering the original.
    RefineSurface(data, internal, triangles, 2);
    ASSERT_EQ(triangles.size(), 64u);
    EXPECT_EQ(data.size(), 192u);
    double total = 0;
    for (const TArray1I& t : triangles) {
        EXPECT_DOUBLE_EQ(Area(data, t), 8.0 / 64);
        total += Area(internal, t);
    }
    EXPECT_DOUBLE_EQ(total, 8.0);
}

TEST(ColoringSurfaceTest, MidpointsOfAMissingCoordinateAreMissing)
{
    TArray2D data = {{0, Missing()}, {2, 2}, {4, 4}};
    TArray2D internal = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    TArray2I triangles = {{0, 1, 2}};
    RefineSurface(data, internal, triangles, 1);
    EXPECT_EQ(data[1][0], 2); // m02
    EXPECT_TRUE(IsMissing(data[1][1]));
    EXPECT_TRUE(IsMissing(data[2][1]));   // m01
    EXPECT_EQ(data[5], (TArray1D{3, 3})); // m12
}

TEST(ColoringSurfaceTest, SmoothnessIsBoundedByTheSurfaceBudget)
{
    struct TCase {
        const char* Name;
        int Smoothness;
        long long Triangles;
        int Dimension;
        int Steps;
    };
    const TCase cases[] = {
        {"smoothness 1 refines nothing", 1, 4802, 4, 0},
        {"smoothness 0 refines nothing", 0, 4802, 4, 0},
        {"smoothness 3 on a 50 x 50 map", 3, 4802, 4, 2},
        {"100 levels are cut to what fits", 100, 4802, 4, 3},
        {"a single triangle", 100, 1, 3, 9},
        {"many coordinates fit fewer levels", 100, 4802, 500, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int steps = RefinementSteps(c.Smoothness, c.Triangles, c.Dimension);
        EXPECT_EQ(steps, c.Steps);
        double values = static_cast<double>(c.Triangles) * 3 * (c.Dimension + 25);
        for (int s = 0; s < steps; ++s)
            values *= 4;
        EXPECT_LE(values, static_cast<double>(SurfaceValueBudget));
    }
}

TEST(ColoringSurfaceTest, RefinedPolygonsTraceBackToTheirGridTriangle)
{
    // Tag each triangle's rows by its index and refine: a polygon's rows keep the tag.
    TArray2D data, internal;
    TArray2I triangles;
    for (int t = 0; t < 5; ++t) {
        for (int k = 0; k < 3; ++k) {
            data.push_back({double(t), double(k == 1), double(k == 2)});
            internal.push_back({0, 0, 0});
        }
        triangles.push_back({3 * t, 3 * t + 1, 3 * t + 2});
    }
    RefineSurface(data, internal, triangles, 3);
    ASSERT_EQ(triangles.size(), 5u * 64);
    for (std::size_t p = 0; p < triangles.size(); ++p) {
        const int origin = SurfaceTriangleOrigin(static_cast<int>(p), 5);
        for (const int row : triangles[p]) {
            EXPECT_EQ(data[row][0], origin);
            EXPECT_EQ(static_cast<std::size_t>(row) / 3, p); // polygon p owns rows 3p..3p+2
        }
    }
}

TEST(ColoringSurfaceTest, TintOfFindsTheBandOfAScalar)
{
    const TArray2D tints = BuildTints(4); // bands of 0.25, levels 0, 1/3, 2/3, 1
    struct TCase {
        double S, Tint;
    };
    const TCase cases[] = {{-1, 0},  {0, 0}, {0.25, 0}, {0.2500001, 85 / 255.0}, {0.5, 85 / 255.0}, {0.75, 170 / 255.0},
                           {0.9, 1}, {1, 1}, {7, 1}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.S);
        EXPECT_DOUBLE_EQ(TintOf(tints, c.S), c.Tint);
    }
    EXPECT_EQ(TintOf({}, 0.3), 0);
}

// One triangle (0,0), (1,0), (0,1) whose grey level equals x.
TColoringSurface GreyRamp()
{
    TColoringSurface s;
    s.DataVertices = {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}};
    s.InternalVertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.Polygons = {{0, 1, 2}};
    s.Colors = {{0, 0, 0}, {1, 1, 1}, {0, 0, 0}};
    return s;
}

TEST(ColoringSurfaceTest, TwoTintsSplitATriangleAlongHalfItsGreyRange)
{
    TColoringSurface s = GreyRamp();
    BandSurface(s, BuildTints(2));
    ASSERT_EQ(s.Polygons.size(), 2u);
    ASSERT_EQ(s.Colors.size(), s.DataVertices.size());
    ASSERT_EQ(s.InternalVertices.size(), s.DataVertices.size());
    for (std::size_t p = 0; p < 2; ++p) {
        const double tint = p == 0 ? 0.0 : 1.0; // tint of the first vertex comes first
        for (const int v : s.Polygons[p]) {
            EXPECT_EQ(s.Colors[v], (TArray1D{tint, tint, tint}));
            if (tint == 0)
                EXPECT_LE(s.DataVertices[v][0], 0.5);
            else
                EXPECT_GE(s.DataVertices[v][0], 0.5);
            EXPECT_EQ(s.DataVertices[v][2], 5);
            EXPECT_EQ(s.DataVertices[v][0], s.InternalVertices[v][0]);
            EXPECT_EQ(s.DataVertices[v][1], s.InternalVertices[v][1]);
        }
    }
    // The cut runs through the side midpoints (0.5, 0) and (0.5, 0.5), on both polygons.
    for (const TArray1D& point : {TArray1D{0.5, 0}, TArray1D{0.5, 0.5}})
        for (std::size_t p = 0; p < 2; ++p)
            EXPECT_TRUE(std::any_of(s.Polygons[p].begin(), s.Polygons[p].end(), [&](int v) {
                return s.DataVertices[v][0] == point[0] && s.DataVertices[v][1] == point[1];
            }));
}

TEST(ColoringSurfaceTest, BandingCountsTheTintsATriangleSpans)
{
    struct TCase {
        const char* Name;
        TArray1D Greys;
        int Tints;
        std::size_t Polygons;
    };
    const TCase cases[] = {
        {"uniform grey stays one polygon of its corners' sides", {0.3, 0.3, 0.3}, 5, 1},
        {"full range over five tints", {0, 1, 0.5}, 5, 5},
        {"within one band", {0.41, 0.45, 0.5}, 5, 1},
        {"256 tints over the full range", {0, 1, 0}, 256, 100},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TColoringSurface s = GreyRamp();
        for (std::size_t v = 0; v < 3; ++v)
            s.Colors[v] = {c.Greys[v], c.Greys[v], c.Greys[v]};
        BandSurface(s, BuildTints(c.Tints));
        EXPECT_EQ(s.Polygons.size(), c.Polygons);
    }
}

} // namespace
} // namespace orbelin::coloring

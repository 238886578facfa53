// Colorings of a map's surface: values and colours per coloring code, banding, node colours
// and the display positions of each view.
#include "coloring/Coloring.h"
#include "ColoringFixtures.h"
#include "coloring/ColorSchemes.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace orbelin::coloring {
namespace {

constexpr int Gray = static_cast<int>(TColorScheme::Gray);

// Points spread over the sheet, three coordinates; a 3 x 3 sheet map (8 triangles) whose
// third coordinate is 0 except at the centre node 4, where it is 10.
struct TSheet {
    data::TData Data;
    map::TMap* Map;

    explicit TSheet(int rows = 3, int cols = 3)
    {
        test::SetPoints(Data, {{-0.8, -0.8, 1}, {0.1, 0.2, 2}, {0.9, -0.3, 3}, {0.5, 0.9, 4}});
        Map = &test::AddSheetMap(Data, rows, cols);
        Map->Grid->Nodes[static_cast<std::size_t>(rows * cols / 2)][2] = 10;
    }
    const view::TVisPol& Surface() const { return Map->Layers[2].PolygonObject; }
    bool Build(int code, int scheme = Gray)
    {
        Map->ColoringCode = code;
        Map->ColorScheme = scheme;
        return BuildColoring(*Map);
    }
};

TArray1D Grey(double g)
{
    return {g, g, g};
}

TEST(ColoringTest, SmoothnessOneGivesTheGridTrianglesAndEachLevelFourTimesAsMany)
{
    TSheet sheet;
    for (const int smoothness : {1, 2, 3}) {
        SCOPED_TRACE(smoothness);
        sheet.Map->Smoothness = smoothness;
        ASSERT_TRUE(sheet.Build(FieldColoringBase));
        const std::size_t triangles = 8u << (2 * (smoothness - 1));
        EXPECT_EQ(sheet.Surface().Polygons.size(), triangles);
        EXPECT_EQ(sheet.Surface().Vertices.size(), 3 * triangles);
        EXPECT_EQ(sheet.Surface().Colors.size(), 3 * triangles);
    }
}

TEST(ColoringTest, FieldColoringPaintsTheLargestValueBlackAndRedInColor)
{
    TSheet sheet;
    sheet.Map->ViewType = 2;
    struct TCase {
        int Scheme;
        TArray1D Largest, Smallest;
    };
    const TCase cases[] = {{Gray, Grey(0), Grey(1)}, {static_cast<int>(TColorScheme::Color), {1, 0, 0}, {0, 0, 1}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Scheme);
        ASSERT_TRUE(sheet.Build(FieldColoringBase + 2, c.Scheme));
        const view::TVisPol& s = sheet.Surface();
        for (std::size_t v = 0; v < s.Vertices.size(); ++v) {
            const bool centre = s.Vertices[v][0] == 0 && s.Vertices[v][1] == 0;
            EXPECT_EQ(s.Colors[v], centre ? c.Largest : c.Smallest) << v;
        }
    }
    // Node colours follow the same rule on the nodes' own coordinate.
    const TArray2D nodes = NodeFillColors(*sheet.Map);
    ASSERT_EQ(nodes.size(), 9u);
    const TArray1D red = {1, 0, 0}, blue = {0, 0, 1};
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(nodes[i], i == 4 ? red : blue);
}

TEST(ColoringTest, NodesOfOtherColoringsTakeTheDefaultRowThroughTheScheme)
{
    TSheet sheet;
    struct TCase {
        int Code, Scheme;
        TArray1D Row;
    };
    // The default row (0, 0, 255) reads as grey level 0.
    const TCase cases[] = {{ColoringDensity2D, Gray, Grey(0)},
                           {ColoringNone, static_cast<int>(TColorScheme::Color), {1, 0, 0}},
                           {ComponentColoringBase, static_cast<int>(TColorScheme::Red), {140 / 255.0, 0, 0}}};
    for (const TCase& c : cases) {
        sheet.Map->ColoringCode = c.Code;
        sheet.Map->ColorScheme = c.Scheme;
        for (const TArray1D& row : NodeFillColors(*sheet.Map))
            EXPECT_EQ(row, c.Row);
    }
}

TEST(ColoringTest, ComponentColoringReadsTheVertexAlongTheComponent)
{
    TSheet sheet;
    sheet.Map->Smoothness = 2;
    // Component 2 points along the second coordinate, about a shifted centre: its values are
    // the second coordinate scaled and shifted, which give the same grey levels.
    sheet.Map->Components[1] = {0, 2, 0};
    sheet.Map->Centre = {5, -3, 1};
    ASSERT_TRUE(sheet.Build(ComponentColoringBase + 1));
    const TArray2D byComponent = sheet.Surface().Colors;
    ASSERT_TRUE(sheet.Build(FieldColoringBase + 1));
    EXPECT_EQ(byComponent, sheet.Surface().Colors);
}

TEST(ColoringTest, LinearFunctionsPaintTheirSignAndTheirValue)
{
    TSheet sheet;
    sheet.Map->Smoothness = 2;
    sheet.Data.SeparatingFunction = {-0.1, 1, 0, 0}; // f = x - 0.1
    ASSERT_TRUE(sheet.Build(ColoringLDA));
    const view::TVisPol lda = sheet.Surface();
    for (std::size_t v = 0; v < lda.Vertices.size(); ++v)
        EXPECT_EQ(lda.Colors[v], Grey(lda.Vertices[v][0] > 0.1 ? 1 : 0)) << v;

    sheet.Data.RegressionFunction = {1, 0, -2, 0}; // f = 1 - 2y: white at y = 1, black at y = -1
    ASSERT_TRUE(sheet.Build(ColoringLRA));
    const view::TVisPol& lra = sheet.Surface();
    for (std::size_t v = 0; v < lra.Vertices.size(); ++v) {
        const double y = lra.Vertices[v][1];
        EXPECT_EQ(lra.Colors[v], Grey((255 - Nearest(255 * (1 - y) / 2)) / 255.0)) << v;
    }

    // No stored function: f = 0 everywhere, a uniform middle grey; LDA then black.
    sheet.Data.RegressionFunction.clear();
    sheet.Data.SeparatingFunction.clear();
    ASSERT_TRUE(sheet.Build(ColoringLRA));
    for (const TArray1D& row : sheet.Surface().Colors)
        EXPECT_EQ(row, Grey(128 / 255.0));
    ASSERT_TRUE(sheet.Build(ColoringLDA));
    for (const TArray1D& row : sheet.Surface().Colors)
        EXPECT_EQ(row, Grey(0));
}

TEST(ColoringTest, DensitiesAreDarkestWhereThePointsLie)
{
    struct TCase {
        const char* Name;
        int Code;
        TArray1D Point;                // every data point sits here
        std::array<double, 2> Darkest; // internal place of the darkest vertices
    };
    const TCase cases[] = {
        {"2D on the centre node", ColoringDensity2D, {0, 0, 10}, {0, 0}},
        {"2D on a corner node", ColoringDensity2D, {1, -1, 0}, {1, -1}},
        {"ND on a corner node", ColoringDensityND, {-1, 1, 0}, {-1, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSheet sheet;
        sheet.Map->ViewType = 2;
        sheet.Map->Smoothness = 2;
        test::SetPoints(sheet.Data, TArray2D(5, c.Point));
        ASSERT_TRUE(sheet.Build(c.Code));
        const view::TVisPol& s = sheet.Surface();
        double darkest = 2;
        for (const TArray1D& row : s.Colors)
            darkest = std::min(darkest, row[0]);
        EXPECT_EQ(darkest, 0);
        for (std::size_t v = 0; v < s.Vertices.size(); ++v) {
            const bool at = s.Vertices[v][0] == c.Darkest[0] && s.Vertices[v][1] == c.Darkest[1];
            EXPECT_EQ(s.Colors[v][0] == 0, at) << v;
        }
    }
}

TEST(ColoringTest, DensityOfNoPointsIsUniformGrey)
{
    TSheet sheet;
    test::SetPoints(sheet.Data, {});
    sheet.Data.CoordCount = 3;
    for (const int code : {ColoringDensity2D, ColoringDensityND}) {
        ASSERT_TRUE(sheet.Build(code));
        for (const TArray1D& row : sheet.Surface().Colors)
            EXPECT_EQ(row, Grey(128 / 255.0));
    }
}

TEST(ColoringTest, SpectraColourTheMapsOwnPlacesWithoutAScheme)
{
    TSheet sheet;
    sheet.Map->ViewType = 2;
    sheet.Map->Smoothness = 2;
    for (const int code : {ColoringSpectrum, ColoringRadialSpectrum}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(sheet.Build(code, Gray));
        const view::TVisPol& s = sheet.Surface();
        for (std::size_t v = 0; v < s.Vertices.size(); ++v) {
            const double u = (s.Vertices[v][0] + 1) / 2, w = (s.Vertices[v][1] + 1) / 2;
            EXPECT_EQ(s.Colors[v],
                      RowFromChannels(code == ColoringSpectrum ? LinearSpectrum(u, w) : RadialSpectrum(u, w)));
        }
    }
    // Corner (-1, -1) of the linear spectrum: (280, 140, 0); the radial centre: grey 85.
    ASSERT_TRUE(sheet.Build(ColoringSpectrum));
    EXPECT_EQ(sheet.Surface().Colors[0], (TArray1D{280 / 255.0, 140 / 255.0, 0}));
}

TEST(ColoringTest, DiscretePaletteCutsTrianglesIntoBandsOfTintColours)
{
    TSheet sheet;
    sheet.Map->DiscretePalette = true;
    sheet.Map->Tints = BuildTints(2);
    ASSERT_TRUE(sheet.Build(FieldColoringBase)); // grey level runs with x across the sheet
    const view::TVisPol& s = sheet.Surface();
    EXPECT_GT(s.Polygons.size(), 8u);
    EXPECT_LE(s.Polygons.size(), 16u);
    for (const TArray1I& polygon : s.Polygons) {
        ASSERT_FALSE(polygon.empty());
        for (const int v : polygon)
            EXPECT_EQ(s.Colors[v], s.Colors[polygon[0]]);
        const double tint = s.Colors[polygon[0]][0];
        EXPECT_TRUE(tint == 0 || tint == 1);
        // White bands hold the small values (x <= 0), black ones the large; the cut lies
        // where the grey is 0.5, just left of x = 0, whose rounded grey is 127/255.
        for (const int v : polygon)
            EXPECT_TRUE(tint == 1 ? s.Vertices[v][0] <= 0 : s.Vertices[v][0] >= -0.01) << s.Vertices[v][0];
    }
}

TEST(ColoringTest, NothingChangesWhenTheColoringCannotBeBuilt)
{
    struct TCase {
        const char* Name;
        void (*Change)(TSheet&);
    };
    const TCase cases[] = {
        {"code 0 (a group node)", [](TSheet& s) { s.Map->ColoringCode = 0; }},
        {"a field the map lacks", [](TSheet& s) { s.Map->ColoringCode = FieldColoringBase + 3; }},
        {"a component the map lacks", [](TSheet& s) { s.Map->ColoringCode = ComponentColoringBase + 3; }},
        {"an unknown code", [](TSheet& s) { s.Map->ColoringCode = 5; }},
        {"a density of radius 0", [](TSheet& s) { s.Map->ColoringCode = ColoringDensity2D, s.Map->CorrRadius = 0; }},
        {"the projection-pursuit view", [](TSheet& s) { s.Map->ViewType = 4; }},
        {"fewer than three layers", [](TSheet& s) { map::DropLayer(*s.Map, 3), map::DropLayer(*s.Map, 2); }},
        {"no grid", [](TSheet& s) { s.Map->Grid.reset(); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSheet sheet;
        ASSERT_TRUE(sheet.Build(FieldColoringBase + 2));
        const view::TVisPol before = sheet.Surface();
        c.Change(sheet);
        EXPECT_FALSE(BuildColoring(*sheet.Map));
        if (sheet.Map->Layers.size() >= 3) {
            EXPECT_EQ(sheet.Surface().Vertices, before.Vertices);
            EXPECT_EQ(sheet.Surface().Colors, before.Colors);
        }
    }
}

TEST(ColoringTest, DisplayPositionsFollowTheView)
{
    TSheet sheet;
    sheet.Map->Relief = 0.5;
    struct TCase {
        const char* Name;
        int View, Code;
        std::array<int, 3> Axes;
        // Display position of a vertex at data (x, y, f) and internal (x, y, 0).
        TArray1D (*Expected)(double x, double y, double f);
    };
    const TCase cases[] = {
        {"coordinates on chosen axes",
         0,
         FieldColoringBase + 2,
         {2, 0, 1},
         [](double x, double y, double f) {
             return TArray1D{f, x, y};
         }},
        {"the same axis three times",
         0,
         FieldColoringBase + 2,
         {1, 1, 1},
         [](double, double y, double) {
             return TArray1D{y, y, y};
         }},
        {"principal components",
         1,
         FieldColoringBase + 2,
         {1, 2, 0},
         [](double x, double y, double f) {
             return TArray1D{y, f, x};
         }},
        {"internal, lifted by half the field",
         2,
         FieldColoringBase + 2,
         {0, 1, 2},
         [](double x, double y, double f) {
             return TArray1D{x, y, 0.5 * f};
         }},
        {"internal, no relief for densities",
         2,
         ColoringDensityND,
         {0, 1, 2},
         [](double x, double y, double) {
             return TArray1D{x, y, 0};
         }},
        {"internal, no relief for components",
         2,
         ComponentColoringBase + 2,
         {0, 1, 2},
         [](double x, double y, double) {
             return TArray1D{x, y, 0};
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        sheet.Map->ViewType = c.View;
        sheet.Map->Axis1 = c.Axes[0];
        sheet.Map->Axis2 = c.Axes[1];
        sheet.Map->Axis3 = c.Axes[2];
        ASSERT_TRUE(sheet.Build(c.Code));
        const map::TNetGrid& grid = *sheet.Map->Grid;
        const view::TVisPol& s = sheet.Surface();
        for (std::size_t t = 0; t < grid.Triangles.size(); ++t)
            for (std::size_t k = 0; k < 3; ++k) {
                const TArray1D& node = grid.Nodes[static_cast<std::size_t>(grid.Triangles[t][k])];
                EXPECT_EQ(s.Vertices[3 * t + k], c.Expected(node[0], node[1], node[2]));
            }
    }
}

TEST(ColoringTest, MissingNodeCoordinateGreysItsVerticesAndKeepsTheRange)
{
    TSheet sheet;
    sheet.Map->Grid->Nodes[0][2] = Missing();
    sheet.Map->ViewType = 2;
    ASSERT_TRUE(sheet.Build(FieldColoringBase + 2));
    const view::TVisPol& s = sheet.Surface();
    for (std::size_t v = 0; v < s.Vertices.size(); ++v) {
        const TArray1D& at = s.Vertices[v];
        const TArray1D expected = at[0] == -1 && at[1] == -1 ? Grey(128 / 255.0)
                                  : at[0] == 0 && at[1] == 0 ? Grey(0)
                                                             : Grey(1);
        EXPECT_EQ(s.Colors[v], expected) << v;
    }
}

TEST(ColoringTest, SphericalSurfaceIsDrawnPerHalfLikeItsNet)
{
    data::TData data;
    test::SetPoints(data, {{0.2, 0.1, 0.9}, {-0.5, 0.5, -0.1}});
    map::TMap& map = test::AddSheetMap(data, 2, 2);
    map.GridType = map::GridSpherical;
    map.Grid = map::CreateGrid(map::GridSpherical, 6, 5, 1, 3);
    for (std::size_t i = 0; i < map.Grid->Nodes.size(); ++i)
        map.Grid->Nodes[i] = map.Grid->Internal[i];
    map::AllocateMapArrays(map);
    map.ViewType = 2;
    for (const int smoothness : {1, 3}) {
        for (const int code : {FieldColoringBase, ColoringDensity2D}) {
            SCOPED_TRACE(smoothness * 10000 + code);
            map.Smoothness = smoothness;
            map.ColoringCode = code;
            ASSERT_TRUE(BuildColoring(map));
            const view::TVisPol& s = map.Layers[2].PolygonObject;
            // The two-disc layout: each half is a disc of radius 1 moved one unit aside.
            int left = 0, right = 0;
            for (const TArray1I& polygon : s.Polygons) {
                const bool isLeft = s.Vertices[polygon[0]][0] <= 0;
                (isLeft ? left : right)++;
                for (const int v : polygon) {
                    const double x = s.Vertices[v][0] + (isLeft ? 1 : -1), y = s.Vertices[v][1];
                    EXPECT_LE(x * x + y * y, 1 + 1e-12);
                }
            }
            EXPECT_GT(left, 0);
            EXPECT_GT(right, 0);
        }
    }
}

} // namespace
} // namespace orbelin::coloring

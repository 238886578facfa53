// What the colorings tree and the coloring panel do to a map.
#include "view/ColoringEvents.h"
#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "coloring/ColoringFixtures.h"
#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

struct TSheet {
    data::TData Data;
    map::TMap* Map;

    TSheet()
    {
        test::SetPoints(Data, {{-0.5, -0.5, 1}, {0.5, 0, 2}});
        Map = &test::AddSheetMap(Data, 3, 3);
        Map->Grid->Nodes[4][2] = 4;
        Map->ViewType = 2;
        SelectColoring(*Map, coloring::FieldColoringBase + 2);
    }
    const TVisPol& Surface() const { return Map->Layers[2].PolygonObject; }
};

TEST(ColoringEventsTest, GroupNodeAndZeroRadiusChangeNothing)
{
    TSheet sheet;
    sheet.Map->Relief = 0.5;
    const TVisPol surface = sheet.Surface();
    const TArray2D points = sheet.Map->Layers[0].PointObject.Positions;
    const TArray2D nodes = sheet.Map->Layers[1].PointObject.Positions;

    SelectColoring(*sheet.Map, 0); // "Densities"
    EXPECT_EQ(sheet.Map->ColoringCode, 0);
    EXPECT_FALSE(SetCorrRadius(*sheet.Map, 0));
    EXPECT_EQ(sheet.Map->CorrRadius, 0.25);
    EXPECT_EQ(sheet.Surface().Vertices, surface.Vertices);
    EXPECT_EQ(sheet.Surface().Colors, surface.Colors);
    EXPECT_EQ(sheet.Map->Layers[0].PointObject.Positions, points);
    EXPECT_EQ(sheet.Map->Layers[1].PointObject.Positions, nodes);

    SelectColoring(*sheet.Map, coloring::ColoringDensity2D);
    const TArray2D density = sheet.Surface().Colors;
    EXPECT_TRUE(SetCorrRadius(*sheet.Map, 0.05));
    EXPECT_EQ(sheet.Map->CorrRadius, 0.05);
    EXPECT_NE(sheet.Surface().Colors, density);
}

TEST(ColoringEventsTest, ReliefLiftsPointsNetAndSurfaceOfAFieldColoring)
{
    TSheet sheet;
    SetRelief(*sheet.Map, 50);
    EXPECT_EQ(sheet.Map->Relief, 0.5);
    EXPECT_EQ(sheet.Map->Layers[1].PointObject.Positions[4], (TArray1D{0, 0, 2}));
    EXPECT_EQ(sheet.Map->Layers[0].PointObject.Positions[1][2], 1);
    double top = 0;
    for (const TArray1D& v : sheet.Surface().Vertices)
        top = std::max(top, v[2]);
    EXPECT_EQ(top, 2);
    SetRelief(*sheet.Map, 500);
    EXPECT_EQ(sheet.Map->Relief, 1);
}

TEST(ColoringEventsTest, PanelParametersRebuildTheSurface)
{
    TSheet sheet;
    SetSmoothness(*sheet.Map, 2);
    EXPECT_EQ(sheet.Surface().Polygons.size(), 32u);
    SetSmoothness(*sheet.Map, -4);
    EXPECT_EQ(sheet.Map->Smoothness, 1);
    EXPECT_EQ(sheet.Surface().Polygons.size(), 8u);

    SetSchemeAndTints(*sheet.Map, static_cast<int>(coloring::TColorScheme::Gray), 2);
    EXPECT_EQ(sheet.Map->Tints, coloring::BuildTints(2));
    for (const TArray1D& row : sheet.Surface().Colors)
        EXPECT_EQ(row[0], row[2]); // grey
    SetDiscretePalette(*sheet.Map, true);
    EXPECT_GT(sheet.Surface().Polygons.size(), 8u);
    SetSchemeAndTints(*sheet.Map, 40, 1000);
    EXPECT_EQ(sheet.Map->ColorScheme, 8);
    EXPECT_EQ(sheet.Map->Tints.size(), 256u);
}

// While a training run moves the nodes, panel changes are kept but the views are left to
// the run's next step, which draws them with the new settings.
TEST(ColoringEventsTest, ChangesUnderTrainingWaitForTheNextStep)
{
    TSheet sheet;
    SetRelief(*sheet.Map, 50);
    const TVisPol surface = sheet.Surface();
    const TArray2D points = sheet.Map->Layers[0].PointObject.Positions;
    const TArray2D nodes = sheet.Map->Layers[1].PointObject.Positions;

    sheet.Map->Training = true;
    SetRelief(*sheet.Map, 0);
    SetSmoothness(*sheet.Map, 2);
    SetColorInversion(*sheet.Map, true);
    EXPECT_EQ(0, sheet.Map->Relief);
    EXPECT_EQ(2, sheet.Map->Smoothness);
    EXPECT_EQ(surface.Vertices, sheet.Surface().Vertices);
    EXPECT_EQ(surface.Colors, sheet.Surface().Colors);
    EXPECT_EQ(points, sheet.Map->Layers[0].PointObject.Positions);
    EXPECT_EQ(nodes, sheet.Map->Layers[1].PointObject.Positions);

    RebuildViews(*sheet.Map); // as the run's step does, with the worker waiting
    EXPECT_EQ(32u, sheet.Surface().Polygons.size());
    EXPECT_EQ((TArray1D{0, 0, 0}), sheet.Map->Layers[1].PointObject.Positions[4]);
    sheet.Map->Training = false;
}

} // namespace
} // namespace orbelin::view

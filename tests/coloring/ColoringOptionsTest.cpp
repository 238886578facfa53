// The logarithmic and inverted grey levels of the coloring panel's switches, alone and in
// whole colorings of a map.
#include "coloring/ColoringOptions.h"
#include "ColoringFixtures.h"
#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "numeric/Missing.h"
#include "view/ColoringEvents.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::coloring {
namespace {

TEST(ColoringOptionsTest, LogScaleKeepsTheEndsAndSpreadsSmallValues)
{
    const double ln100 = std::log(100.0);
    struct TCase {
        const char* Name;
        TArray1D Values;
        TArray1D Expected;
    };
    const TCase cases[] = {
        // t = 0, 0.01, 0.5, 1: ln(1 + 99 t) / ln(100).
        {"spread", {0, 1, 50, 100}, {0, std::log(1.99) / ln100, std::log(50.5) / ln100, 1}},
        {"shifted and scaled alike", {-10, -9.9, -5, 0}, {0, std::log(1.99) / ln100, std::log(50.5) / ln100, 1}},
        {"uniform list left alone", {3, 3, 3}, {3, 3, 3}},
        {"empty", {}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TArray1D values = c.Values;
        LogScaleValues(values);
        ASSERT_EQ(c.Expected.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_NEAR(c.Expected[i], values[i], 1e-12) << i;
    }
    TArray1D withMissing = {0, Missing(), 100};
    LogScaleValues(withMissing);
    EXPECT_TRUE(IsMissing(withMissing[1]));
    EXPECT_NEAR(1.0, withMissing[2], 1e-12);
}

TEST(ColoringOptionsTest, SwitchesReshapeFieldColoringsAndTheirNodes)
{
    // A 3 x 3 sheet: field 0 is the node's internal x in -1, 0, 1; the refined surface's
    // vertices take every value of x their corners give.
    data::TData data;
    test::SetPoints(data, {{-0.5, 0.5, 0}, {0.5, -0.5, 0}});
    map::TMap& map = test::AddSheetMap(data, 3, 3);
    map.ColorScheme = static_cast<int>(TColorScheme::Gray);
    view::SelectColoring(map, FieldColoringBase);
    const auto greyAt = [&map](double x) {
        const view::TVisPol& surface = map.Layers[2].PolygonObject;
        for (std::size_t i = 0; i < surface.Vertices.size(); ++i)
            if (std::abs(surface.Vertices[i][0] - x) < 1e-9)
                return surface.Colors[i][0];
        ADD_FAILURE() << "no vertex at x = " << x;
        return -1.0;
    };
    const auto nodeGrey = [&map](int node) { return NodeFillColors(map)[static_cast<std::size_t>(node)][0]; };

    struct TCase {
        const char* Name;
        bool Inversion, Log;
        double Left, Middle, Right; // grey of x = -1, 0, 1
    };
    // The middle value: linear t = 0.5 gives 255 - nearest(127.5) = 127; log gives
    // t' = ln(50.5) / ln(100) = 0.8515, 255 - nearest(217.1) = 38.
    const TCase cases[] = {
        {"plain: largest black", false, false, 1, 127 / 255.0, 0},
        {"inverted: largest white", true, false, 0, 128 / 255.0, 1},
        {"logarithmic: middle darker", false, true, 1, 38 / 255.0, 0},
        {"both", true, true, 0, 217 / 255.0, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        view::SetColorInversion(map, c.Inversion);
        view::SetLogColoring(map, c.Log);
        EXPECT_NEAR(c.Left, greyAt(-1), 1e-12);
        EXPECT_NEAR(c.Middle, greyAt(0), 1e-12);
        EXPECT_NEAR(c.Right, greyAt(1), 1e-12);
        // The nodes follow the same switches.
        for (std::size_t i = 0; i < map.Grid->Nodes.size(); ++i) {
            const double x = map.Grid->Nodes[i][0];
            EXPECT_NEAR(x < -0.5 ? c.Left : x > 0.5 ? c.Right : c.Middle, nodeGrey(static_cast<int>(i)), 1e-12) << i;
        }
        EXPECT_EQ(NodeFillColors(map), map.Layers[1].PointObject.FillColors);
    }
}

TEST(ColoringOptionsTest, InversionTurnsTheColorSchemeAroundAndLeavesSpectraAlone)
{
    data::TData data;
    test::SetPoints(data, {{-0.5, 0.5, 0}, {0.5, -0.5, 0}});
    map::TMap& map = test::AddSheetMap(data, 3, 3);
    view::SelectColoring(map, FieldColoringBase);
    const TArray2D plain = map.Layers[2].PolygonObject.Colors;
    view::SetColorInversion(map, true);
    const TArray2D inverted = map.Layers[2].PolygonObject.Colors;
    ASSERT_EQ(plain.size(), inverted.size());
    // Under "Color", red (1, 0, 0) marks the largest value; inverted, the same vertices
    // are blue (0, 0, 1) and vice versa.
    int swapped = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == TArray1D{1, 0, 0}) {
            EXPECT_EQ((TArray1D{0, 0, 1}), inverted[i]);
            ++swapped;
        }
    }
    EXPECT_GT(swapped, 0);

    view::SetColorInversion(map, false);
    view::SelectColoring(map, ColoringSpectrum);
    const TArray2D spectrum = map.Layers[2].PolygonObject.Colors;
    view::SetColorInversion(map, true);
    view::SetLogColoring(map, true);
    EXPECT_EQ(spectrum, map.Layers[2].PolygonObject.Colors);
}

} // namespace
} // namespace orbelin::coloring

// Colour schemes and palettes: every formula is integer channel arithmetic, so colours
// are checked exactly.
#include "coloring/ColorSchemes.h"

#include <gtest/gtest.h>

namespace orbelin::coloring {
namespace {

int Scheme(TColorScheme s) { return static_cast<int>(s); }

TEST(ColorSchemesTest, ApplyColorSchemeMapsGreyLevels)
{
    struct TCase { const char* Name; TColorScheme Scheme; double Grey; TRgb Expected; };
    const TCase cases[] = {
        {"color black is red",       TColorScheme::Color, 0.0, {255, 0, 0}},
        {"color white is blue",      TColorScheme::Color, 1.0, {0, 0, 255}},
        {"color mid grey",           TColorScheme::Color, 0.5, {0, 255, 2}},   // G = 128, v = 127/255
        {"gray",                     TColorScheme::Gray,  0.5, {128, 128, 128}},
        {"red half, ties to even",   TColorScheme::Red,   0.5, {255, 128, 128}},
        {"red dark",                 TColorScheme::Red,   0.0, {140, 0, 0}},
        {"red white",                TColorScheme::Red,   1.0, {255, 255, 255}},
        {"yellow dark",              TColorScheme::Yellow, 0.0, {140, 140, 0}},
        {"pink dark",                TColorScheme::Pink,  0.0, {140, 0, 140}},
        {"cyan dark",                TColorScheme::Cyan,  0.0, {0, 140, 140}},
        {"green dark",               TColorScheme::Green, 0.0, {0, 140, 0}},
        {"blue dark",                TColorScheme::Blue,  0.0, {0, 0, 140}},
        {"green-red low is green",   TColorScheme::GreenRed, 0.0, {10, 255, 10}},
        {"green-red near middle",    TColorScheme::GreenRed, 0.5, {11, 10, 10}}, // G = 128 is above 0.5
        {"green-red high is red",    TColorScheme::GreenRed, 1.0, {255, 10, 10}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TArray2D rows = {{c.Grey, 0.7, 0.9}};
        ApplyColorScheme(rows, Scheme(c.Scheme));
        ASSERT_EQ(3u, rows[0].size());
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(c.Expected[k] / 255.0, rows[0][k]) << "channel " << k;
    }
    EXPECT_EQ((TRgb{10, 10, 10}), SchemeColor(Scheme(TColorScheme::GreenRed), 0.5));
    EXPECT_EQ((TRgb{255, 128, 128}), SchemeColor(Scheme(TColorScheme::Red), 0.5));
}

TEST(ColorSchemesTest, BuildTintsSpreadsLevelsOverTheBands)
{
    const TArray2D two = BuildTints(2);
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ((TArray1D{0, 0.5, 0, 0}), two[0]);
    EXPECT_EQ((TArray1D{0.5, 1, 1, 1}), two[1]);
    EXPECT_EQ("50", TintLabel(two[0]));
    EXPECT_EQ("100", TintLabel(two[1]));

    const TArray2D all = BuildTints(256);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(i / 255.0, all[i][2]);
    EXPECT_EQ(5u, BuildTints(5).size());
    EXPECT_EQ((TRgb{0, 0, 255}), TintColor(Scheme(TColorScheme::Color), 0));
    EXPECT_EQ((TRgb{255, 255, 255}), TintColor(Scheme(TColorScheme::Gray), 0));
}

TEST(ColorSchemesTest, SpectraFollowTheirCorners)
{
    EXPECT_EQ((TRgb{280, 140, 0}), LinearSpectrum(0, 0));
    EXPECT_EQ((TRgb{0, 140, 255}), LinearSpectrum(1, 1));
    EXPECT_EQ((TRgb{85, 85, 85}), RadialSpectrum(0.5, 0.5));
    // Each axis gives the colour its neighbouring quadrants approach.
    const double eps = 1e-9;
    const std::pair<double, double> axes[] = {{0.9, 0.5}, {0.5, 0.1}, {0.1, 0.5}, {0.5, 0.9}};
    const std::pair<double, double> near[] = {{0.9, 0.5 + eps}, {0.5 - eps, 0.1}, {0.1, 0.5 - eps}, {0.5 - eps, 0.9}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const TRgb a = RadialSpectrum(axes[i].first, axes[i].second);
        const TRgb b = RadialSpectrum(near[i].first, near[i].second);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(b[k], a[k], 1);
    }
    EXPECT_EQ((TRgb{0, 0, 255}), SixStep(0));
    EXPECT_EQ((TRgb{255, 255, 0}), SixStep(0.5));
}

TEST(ColorSchemesTest, PackedColoursKeepRedInTheLowByte)
{
    EXPECT_EQ(0x800000, PackColor({0, 0, 128}));
    EXPECT_EQ((TRgb{255, 255, 0}), UnpackColor(0xFFFF));
    EXPECT_EQ((TArray1D{0, 0, 0.5}), ColorFromPacked(0x800000));
    EXPECT_EQ((TArray1D{1, 0, 0}), RowFromChannels({255, 0, 0}));
}

TEST(ColorSchemesTest, ColorGradingAccumulatesBounds)
{
    const auto rows = BuildColorGrading(0, 1, 4, TGradingScheme::BlackWhite);
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ("0", rows[0].BoundText);
    EXPECT_EQ("0.75", rows[3].BoundText);
    EXPECT_EQ(PackColor({191, 191, 191}), rows[0].Color); // t = 0.25: 255 - 63.75 -> 191
    EXPECT_EQ(0, rows[3].Color);                          // t = 1: black
    const auto spectrum = BuildColorGrading(-2, 2, 2, TGradingScheme::Spektrum);
    EXPECT_EQ(PackColor(FourStep(0.5)), spectrum[0].Color);
    EXPECT_EQ(PackColor({255, 0, 0}), spectrum[1].Color);
    const auto greenRed = BuildColorGrading(0, 10, 10, TGradingScheme::GreenRed);
    EXPECT_EQ(PackColor({255, 10, 10}), greenRed[9].Color);
    // A flat range still gives defined colours.
    const auto flat = BuildColorGrading(3, 3, 3, TGradingScheme::Spektrum);
    for (const auto& row : flat)
        EXPECT_EQ(PackColor(FourStep(0)), row.Color);
    EXPECT_EQ("Green-Red", ColorSchemeNames()[8]);
    EXPECT_EQ(1, ColorSchemeIndex("Gray"));
    EXPECT_EQ(-1, ColorSchemeIndex("gray"));
}

} // namespace
} // namespace orbelin::coloring

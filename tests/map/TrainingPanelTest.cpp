// The training controls of the map panel: slider and field conversions, presets, the
// progress label, and what "Adjust map" sets before it starts.
#include "FakeEventLoop.h"
#include "MapFixtures.h"

#include "map/TrainingPanel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::map {
namespace {

TEST(TrainingPanelTest, SlidersAndFieldsConvert)
{
    struct TCase {
        const char* Name;
        int Slider;
        double Value;
    };
    // The field value of a slider position is e^(-p/10)/100, the position of a value
    // -round(10 ln(100 value)); the presets sit where their values put them.
    const TCase cases[] = {
        {"superrigid", -62, 5},
        {"rigid", -46, 1},
        {"soft", -23, 0.1},
        {"supersoft", 0, 0.01},
        {"smallest field value", 40, 1e-6},
        {"largest field value", -100, 1000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Slider, CoefficientSlider(c.Value));
    }
    EXPECT_NEAR(0.99484, SliderCoefficient(-46), 1e-5);
    EXPECT_DOUBLE_EQ(0.01, SliderCoefficient(0));
    EXPECT_DOUBLE_EQ(std::exp(-4.0) / 100, SliderCoefficient(40));
    for (int p = SliderMin; p <= SliderMax; ++p)
        EXPECT_EQ(p, CoefficientSlider(SliderCoefficient(p))) << p;
    EXPECT_EQ(SliderMax, CoefficientSlider(0)) << "a value the log cannot take";

    for (const TTrainingPreset& preset : TrainingPresets())
        EXPECT_EQ(preset.Slider, CoefficientSlider(preset.Value)) << preset.Caption;
    EXPECT_DOUBLE_EQ(0.02, MuSpinIncrement(1));
    EXPECT_EQ("0.12345679", ApproximationText(0.123456789));
    EXPECT_EQ("12.00000000", ApproximationText(12));
}

TEST(TrainingPanelTest, AdjustMapStartsFromAFreshState)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    fixture::FillDataset(dataset, 200, 3);
    TMap& map = fixture::AddInitialisedMap(dataset, "m", GridRectangular, 4, 4);
    map.IterationCount = 7;
    map.AssignTime = 100;
    map.SolveTime = 100;
    map.TotalEnergy = 5;
    map.MaxIterations = 0;
    bool finished = false;
    int progress = 0;
    AdjustMap(
        map, 0.3, 0.7, [&] { ++progress; }, [&] { finished = true; });
    ASSERT_TRUE(loop.RunUntil([&] { return finished; }));
    // No step with a cap of 0, then the one evaluation after it, which moves the energy
    // evaluated before training into the previous energy.
    EXPECT_EQ(0, progress);
    EXPECT_EQ(0, map.IterationCount);
    EXPECT_EQ(0, map.AssignTime);
    EXPECT_EQ(0, map.SolveTime);
    EXPECT_EQ(5, map.PreviousEnergy);
    EXPECT_EQ(0.3, map.Lambda);
    EXPECT_EQ(0.7, map.Mu);
    EXPECT_TRUE(map.StopRequested);
}

} // namespace
} // namespace orbelin::map

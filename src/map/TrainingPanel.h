// The training controls of the map panel as the desktop program calls them: "Adjust map",
// "Interrupt", the l and m fields with their logarithmic sliders, and the presets.
#pragma once

#include "map/TMap.h"

#include <array>
#include <functional>
#include <string>

namespace orbelin::map {

/// Range of the l and m fields.
constexpr double CoefficientMin = 1e-6;
constexpr double CoefficientMax = 1000;
/// Range and default of the l and m sliders (the default stands for about 1).
constexpr int SliderMin = -100;
constexpr int SliderMax = 40;
constexpr int SliderDefault = -46;

/// The field value of a slider position p: e^(-p/10) / 100.
double SliderCoefficient(int position);
/// The slider position of a field value: -round(10 ln(100 value)), halves to even, kept
/// within the slider's range.
int CoefficientSlider(double value);
/// The spin increment of the m field: m / 50.
double MuSpinIncrement(double mu);

/// "Superrigid", "Rigid", "Soft" and "Supersoft": l and m both set to Value, both sliders
/// to Slider.
struct TTrainingPreset {
    const char* Caption;
    double Value;
    int Slider;
};
const std::array<TTrainingPreset, 4>& TrainingPresets();

/// "Adjust map": IterationCount, AssignTime and SolveTime := 0, StopRequested := false,
/// PreviousEnergy := 1e100, the progress callback, lambda and mu from the fields, then
/// StartTraining with onFinished. Raises TError, changing nothing, when the map is being
/// trained or cannot be trained (TrainingProblem).
void AdjustMap(TMap& map, double lambda, double mu, TMapCallback progress, std::function<void()> onFinished);
/// The state "Adjust map" gives a map before its run, for callers that train it on their own
/// thread: the counters and times 0, StopRequested false, PreviousEnergy 1e100, lambda and
/// mu. Raises TError, changing nothing, when the map cannot be trained (TrainingProblem).
void PrepareTrainingRun(TMap& map, double lambda, double mu);

/// "Interrupt": the run ends after the step in progress and one more energy evaluation.
void InterruptTraining(TMap& map);

/// The l field changed: lambda takes the value now, or before the next step while the
/// map is being trained.
void SetTrainingLambda(TMap& map, double value);
/// The m field changed, as SetTrainingLambda.
void SetTrainingMu(TMap& map, double value);

/// The "Approximation :" label's text: the value with 8 decimals ("0.00000000").
std::string ApproximationText(double approximationError);

} // namespace orbelin::map

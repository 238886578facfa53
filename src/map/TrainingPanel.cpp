// The training controls of the map panel.
#include "map/TrainingPanel.h"

#include "data/TError.h"
#include "map/TCalcMapThread.h"
#include "map/Training.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orbelin::map {

double SliderCoefficient(int position)
{
    return std::exp(-position / 10.0) / 100;
}

int CoefficientSlider(double value)
{
    if (!(value > 0))
        return SliderMax;
    // nearbyint rounds halves to even in the default rounding mode.
    const double position = -std::nearbyint(10 * std::log(100 * value));
    return static_cast<int>(std::clamp(position, static_cast<double>(SliderMin), static_cast<double>(SliderMax)));
}

double MuSpinIncrement(double mu)
{
    return mu / 50;
}

const std::array<TTrainingPreset, 4>& TrainingPresets()
{
    static const std::array<TTrainingPreset, 4> presets = {{
        {"Superrigid", 5, -62},
        {"Rigid", 1, -46},
        {"Soft", 0.1, -23},
        {"Supersoft", 0.01, 0},
    }};
    return presets;
}

void AdjustMap(TMap& map, double lambda, double mu, TMapCallback progress, std::function<void()> onFinished)
{
    CheckNotTraining(map, "start training it again");
    PrepareTrainingRun(map, lambda, mu);
    map.ProgressCallback = std::move(progress);
    StartTraining(map, std::move(onFinished));
}

void PrepareTrainingRun(TMap& map, double lambda, double mu)
{
    const std::string problem = TrainingProblem(map);
    if (!problem.empty())
        throw TError(problem);
    map.IterationCount = 0;
    map.AssignTime = 0;
    map.SolveTime = 0;
    map.StopRequested = false;
    map.PreviousEnergy = 1e100;
    map.Lambda = lambda;
    map.Mu = mu;
}

void InterruptTraining(TMap& map)
{
    map.StopRequested = true;
}

void SetTrainingLambda(TMap& map, double value)
{
    if (map.Training)
        map.PendingLambda = value;
    else
        map.Lambda = value;
}

void SetTrainingMu(TMap& map, double value)
{
    if (map.Training)
        map.PendingMu = value;
    else
        map.Mu = value;
}

std::string ApproximationText(double approximationError)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.8f", approximationError);
    return text;
}

} // namespace orbelin::map

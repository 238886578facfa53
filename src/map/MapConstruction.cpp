// Automatic map construction: the stages of a recipe chained through the end-of-run
// handlers of the training threads.
#include "map/MapConstruction.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "data/TError.h"
#include "map/MapGrowth.h"
#include "map/MapInit.h"
#include "map/TCalcMapThread.h"
#include "map/Training.h"

#include <cmath>
#include <filesystem>
#include <functional>

namespace orbelin::map {

void AddEpoch(TMapCreationAlg& recipe)
{
    recipe.EpochLambdas.push_back(recipe.EpochLambdas.empty() ? 0.0 : recipe.EpochLambdas.back());
    recipe.EpochMus.push_back(recipe.EpochMus.empty() ? 0.0 : recipe.EpochMus.back());
}

void DeleteEpoch(TMapCreationAlg& recipe)
{
    if (!recipe.EpochLambdas.empty())
        recipe.EpochLambdas.pop_back();
    if (!recipe.EpochMus.empty())
        recipe.EpochMus.pop_back();
}

std::string EpochCaption(int index)
{
    return "Эпоха " + std::to_string(index);
}

std::string EpochTitle(int epoch)
{
    return "Epoch " + std::to_string(epoch) + "...";
}

void StartConstruction(TMapConstruction& construction, data::TData& dataset, const TMapCreationAlg& recipe)
{
    construction.Start(dataset, recipe);
}

void TMapConstruction::Start(data::TData& dataset, const TMapCreationAlg& recipe)
{
    if (Running())
        throw TError("A map construction is running already: stop it before you start another.");
    const bool addMap = AddNewMap || dataset.Maps.empty() || !dataset.CurrentMap();
    if (!addMap)
        CheckNotTraining(*dataset.CurrentMap(), "construct a map in it");
    TMap& map = addMap ? AddMap(dataset, NewMapName) : *dataset.CurrentMap();

    map.GridType = recipe.GridType;
    map.InitType = recipe.InitType;
    map.InitNoise = recipe.InitNoise;
    map.InitNoiseOn = recipe.InitNoiseOn;
    map.InitSize = recipe.InitSize;
    map.RequestedColumns = recipe.Columns;
    map.RequestedRows = recipe.Rows;
    map.RequestedLayers = recipe.Layers;
    try {
        InitializeMap(map, recipe.ComponentCount);
    } catch (...) {
        if (addMap)
            data::RemoveMap(dataset, static_cast<int>(dataset.Maps.size()) - 1);
        throw;
    }
    Recipe_ = recipe;
    // Epochs hold their l and m in two lists; an epoch is one entry of both.
    const std::size_t epochs = std::min(Recipe_.EpochLambdas.size(), Recipe_.EpochMus.size());
    Recipe_.EpochLambdas.resize(epochs);
    Recipe_.EpochMus.resize(epochs);
    Dataset_ = &dataset;
    Map_ = &map;
    Epoch_ = 0;
    GrowthCount_ = 0;
    AdaptationEnded_ = false;

    EvaluateEnergy(map);
    InitialEnergy_ = map.TotalEnergy;
    map.Tolerance = InitialEnergy_ * Recipe_.BaseAccuracy;
    if (epochs == 0) {
        map.Lambda = 0;
        map.Mu = 0;
        GrowthSteps();
        return;
    }
    NextEpoch();
}

void TMapConstruction::Stop()
{
    if (!Running())
        return;
    Map_->StopRequested = true;
    Epoch_ = static_cast<int>(Recipe_.EpochLambdas.size());
    Recipe_.ExtrapolationSteps = 0;
    Recipe_.InterpolationSteps = 0;
    AdaptationEnded_ = true;
}

void TMapConstruction::StepEnd() const
{
    if (Notifications.StepEnd)
        Notifications.StepEnd();
}

void TMapConstruction::TrainOnce(std::function<void()> then)
{
    TMap& map = *Map_;
    map.ProgressCallback = [this] {
        EvaluateEnergy(*Map_);
        StepEnd();
    };
    StartTraining(map, std::move(then));
}

void TMapConstruction::NextEpoch()
{
    if (Epoch_ >= static_cast<int>(Recipe_.EpochLambdas.size())) {
        GrowthSteps();
        return;
    }
    const int epoch = Epoch_++;
    if (Notifications.EpochStart)
        Notifications.EpochStart(epoch);
    TMap& map = *Map_;
    map.StopRequested = false;
    map.Lambda = Recipe_.EpochLambdas[static_cast<std::size_t>(epoch)];
    map.Mu = Recipe_.EpochMus[static_cast<std::size_t>(epoch)];
    TrainOnce([this] { NextEpoch(); });
}

void TMapConstruction::GrowthSteps()
{
    TMap& map = *Map_;
    // Each step adds one row and column on every side of a rectangular map, by
    // extrapolating the border or by resampling the map, then counts as a step.
    const auto grow = [this, &map](int steps, const std::function<void()>& notify,
                                   bool (*resize)(TNetGrid&, int, int, int, int)) {
        for (int step = 0; step < steps; ++step) {
            if (notify)
                notify();
            if (map.GridType == GridRectangular && resize(*map.Grid, 1, 1, 1, 1)) {
                const auto& grid = static_cast<const TRectangularGrid&>(*map.Grid);
                map.RequestedColumns = grid.Q;
                map.RequestedRows = grid.P;
                coloring::InvalidateProjections(map);
            }
            EvaluateEnergy(map);
            StepEnd();
        }
    };
    grow(Recipe_.ExtrapolationSteps, Notifications.ExtrapolationStep, Extrapolate);
    grow(Recipe_.InterpolationSteps, Notifications.InterpolationStep, Interpolate);
    if (Recipe_.Adaptation == 0) {
        Finish();
        return;
    }
    GrowthCount_ = 0;
    AdaptationRound();
}

void TMapConstruction::AdaptationRound()
{
    TMap& map = *Map_;
    if (AdaptationEnded_) {
        Finish();
        return;
    }
    if (Recipe_.Adaptation == 1)
        GrowLinearFractal(map);
    const bool goOn = Recipe_.StopByCount ? GrowthCount_ < Recipe_.GrowthSteps
                                          : std::sqrt(map.ApproximationError) > Recipe_.AccuracyLevel;
    if (!goOn) {
        Finish();
        return;
    }
    ++GrowthCount_;
    TrainOnce([this] { AdaptationRound(); });
}

void TMapConstruction::Finish()
{
    TMap& map = *Map_;
    map.ProgressCallback = nullptr;
    // Growth without a training run after it leaves the per-node arrays of the old grid.
    if (map.Grid && map.TaxonSizes.size() != map.Grid->Nodes.size())
        AllocateMapArrays(map);
    Map_ = nullptr;
    Dataset_ = nullptr;
    if (Notifications.Finished)
        Notifications.Finished(map);
}

std::string FindSettingsFile(const std::string& programFolder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::path(programFolder) / SettingsFileName;
    return fs::is_regular_file(path, ec) ? path.string() : std::string();
}

} // namespace orbelin::map

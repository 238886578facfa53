// Automatic construction of a map from a recipe: initialisation, a schedule of training
// epochs, growth and refinement, and adaptive growth, chained run after run on the
// training thread.
#pragma once

#include "map/TMap.h"
#include "numeric/TArray.h"

#include <functional>
#include <string>

namespace orbelin::data {
class TData;
}

namespace orbelin::map {

/// A construction recipe, with the defaults of the "Auto-create map" dialog.
struct TMapCreationAlg {
    int GridType = GridRectangular;
    std::string Name; ///< name of a stored recipe
    int InitType = InitMainComps;
    int Columns = 10; ///< Q
    int Rows = 10;    ///< P
    int Layers = 1;   ///< R
    double InitSize = 0.5;
    bool InitNoiseOn = false;
    double InitNoise = 30;
    double BaseAccuracy = 0; ///< every run's tolerance is the initial energy times this
    TArray1D EpochLambdas;   ///< l of every epoch, in order
    TArray1D EpochMus;       ///< m of every epoch
    int ExtrapolationSteps = 0;
    int InterpolationSteps = 0;
    int ComponentCount = 3;   ///< principal components computed at initialisation
    int Adaptation = 0;       ///< 0 "no", 1 "Linear fractal growth"
    bool StopByCount = false; ///< adaptation stops after GrowthSteps, else at AccuracyLevel
    double AccuracyLevel = 0.1;
    int GrowthSteps = 10;
};

/// "Add epoch": a new last epoch with the l and m of the last one (0 and 0 for the first).
void AddEpoch(TMapCreationAlg& recipe);
/// "Delete epoch": removes the last epoch.
void DeleteEpoch(TMapCreationAlg& recipe);
/// The epoch list's item: "Эпоха " and the index.
std::string EpochCaption(int index);

/// The chart titles of the dialog.
constexpr const char* ProcessingTitle = "Processing...";
constexpr const char* ExtrapolationTitle = "Extrapolation...";
constexpr const char* InterpolationTitle = "Interpolation...";
constexpr const char* FinishedTitle = "Almost ready...";
/// "Epoch " + index + "...".
std::string EpochTitle(int epoch);

/// The five notifications of a construction, all run on the user-interface thread.
struct TConstructionNotifications {
    std::function<void(int epoch)> EpochStart;
    std::function<void()> StepEnd; ///< after every step and growth step; the energy is fresh
    std::function<void()> ExtrapolationStep;
    std::function<void()> InterpolationStep;
    std::function<void(TMap& map)> Finished; ///< the state is cleared before this runs
};

/// The state of one construction while it runs (the script keeps one). Each training run
/// is started by the end-of-run handler of the previous one, so at most one training
/// thread works on the map at a time. The object must outlive the construction.
class TMapConstruction {
public:
    TConstructionNotifications Notifications;
    /// The opening command asked for a new map ("Autosetting", "See It!"); otherwise the
    /// dataset's current map is re-used when there is one.
    bool AddNewMap = false;
    /// The name a new map gets (the one "Add map" would give).
    std::string NewMapName = "Map";

    /// StartConstruction.
    void Start(data::TData& dataset, const TMapCreationAlg& recipe);
    /// "Stop": the construction finishes after the training run in progress, skipping the
    /// remaining epochs, growth steps and adaptation.
    void Stop();

    bool Running() const { return Map_ != nullptr; }
    TMap* Map() const { return Map_; }
    const TMapCreationAlg& Recipe() const { return Recipe_; }
    double InitialEnergy() const { return InitialEnergy_; }
    /// The index of the next epoch to start.
    int NextEpochIndex() const { return Epoch_; }

private:
    void NextEpoch();
    void GrowthSteps();
    void AdaptationRound();
    void Finish();
    void TrainOnce(std::function<void()> then);
    void StepEnd() const;

    TMapCreationAlg Recipe_;
    double InitialEnergy_ = 0;
    int Epoch_ = 0;
    int GrowthCount_ = 0;
    bool AdaptationEnded_ = false;
    data::TData* Dataset_ = nullptr;
    TMap* Map_ = nullptr;
};

/// Runs a recipe on the dataset and returns at once; the stages go on on training threads:
/// 1. a new map (when asked for or when the dataset has none) or the current one;
/// 2. the recipe's grid, sizes and placement copied into it, InitializeMap with its
///    component count, EvaluateEnergy; the map's Tolerance := that energy times
///    BaseAccuracy;
/// 3. without epochs, lambda = mu = 0 and on to step 5;
/// 4. every epoch: its start notified, StopRequested cleared, its l and m set, and a
///    training run whose progress callback evaluates the energy and notifies a step end;
/// 5. ExtrapolationSteps times the extrapolation notification, a rectangular map grown by
///    one row and column on every side (its requested rows and columns following), the
///    energy evaluated and a step end notified; the same InterpolationSteps times with
///    interpolation; these steps do not train;
/// 6. with an adaptation: repeatedly linear fractal growth (adaptation 1) and one more
///    training run, while the growth count is below GrowthSteps (StopByCount) or the root
///    of the approximation error above AccuracyLevel;
/// 7. the end notified.
/// Raises TError, starting nothing, when a construction is running already, when the map
/// to re-use is being trained, or when the map cannot be initialised (a map added for the
/// construction is then removed again).
void StartConstruction(TMapConstruction& construction, data::TData& dataset, const TMapCreationAlg& recipe);

/// The settings file of stored recipes, looked for beside the program.
constexpr const char* SettingsFileName = "Orbelin.alg";
/// The path of the settings file in programFolder, or "" when there is none there. Its
/// content is not read: the list of stored recipes starts empty.
std::string FindSettingsFile(const std::string& programFolder);

} // namespace orbelin::map

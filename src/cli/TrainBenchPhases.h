// The large training workload W3 of bench training: its points, and a training run timed
// phase by phase with the peak memory of each part.
#pragma once

#include "cli/JsonOutput.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::cli {


/// Peak and current resident memory of this process in megabytes ("VmHWM:", "VmRSS:").
double MemoryMegabytes(const char* key);
/// Starts a new peak: VmHWM falls back to the memory in use now (where the kernel allows).
void ResetMemoryPeak();

/// The points of W3: 1,000,000 points in 10 coordinates near a curved sheet, by the
/// generator of W1 with a seed of their own.
void MakeW3Points(data::TData& dataset);

/// What a timed run of training steps measured.
struct TTimedTraining {
    int Steps = 0;
    double Seconds = 0;                    ///< the whole run, steps and energies
    double SearchSeconds = 0;              ///< nearest-node searches
    double TaxonSeconds = 0;               ///< taxon sizes and members
    double BuildSeconds = 0;               ///< system matrices
    double SolveSeconds = 0;               ///< right-hand sides and sweeps
    double EnergySeconds = 0;              ///< the rest of the energy evaluations
    double PeakMegabytes = 0;              ///< peak resident memory during the run
    std::vector<double> StepSeconds;       ///< each step with its energy
    std::vector<std::uint64_t> NodeHashes; ///< FNV-1a of the nodes' bits after each step
};

/// Trains the map (set up as PlaceMap leaves it) for the given number of steps,
/// TrainUntilStopped as the train command runs it, and reports the phases.
TTimedTraining TrainTimed(map::TMap& map, int steps);

/// How bench training places a map of rows x columns nodes along the principal components.
using TPlaceMap = map::TMap& (*)(data::TData& dataset, int rows, int columns);

/// W3: its points made, a 100 x 100 map placed and trained for 3 steps, with the figures
/// as the member "w3" of the JSON object; with an export folder, the points and the
/// starting nodes written there (w3_points.f64, w3_nodes.f64) for the peer measurement.
void RunW3(TJson& json, TPlaceMap place, const std::string& exportFolder);

/// Writes the rows' doubles one after another, for the peer measurement.
void WriteRawRows(const std::string& path, const std::vector<std::vector<double>>& rows);

} // namespace orbelin::cli

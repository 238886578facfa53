// The experimenter's corner: a map trained again and again from fresh initialisations, and
// the distinct local minima of the energy it reaches.
#pragma once

#include "map/TMap.h"
#include "numeric/TArray.h"

#include <functional>
#include <string>
#include <vector>

namespace orbelin::map {

/// One distinct minimum.
struct TMinimum {
    std::string Key;     ///< the total energy with 4 decimals, 10 characters wide
    double Distance = 0; ///< to the nearest minimum stored before (1e100 for the first)
    double MeanEdge = 0; ///< mean edge length of the nodes
    TArray2D Nodes;      ///< the node positions reached
};

/// The key of a total energy: "%10.4f".
std::string MinimumKey(double totalEnergy);
/// The label after the runs: "Минимумов = " and the count.
std::string MinimaLabel(int count);

/// Runs Starts + 1 trainings of one map, each from a new InitializeMap with one component
/// and the map's own placement settings, with l = Lambda, m = Mu and the map's Tolerance
/// := Accuracy. After each run the energy is evaluated; a total energy whose key has not
/// been seen is a new minimum. The runs follow one another through the end-of-run
/// handlers, on the user-interface thread. The object must outlive the runs.
class TMinimaExperiment {
public:
    double Lambda = 1.0;
    double Mu = 1.0;
    int Starts = 8;
    double Accuracy = 1.0;

    TMapCallback Progress;                           ///< the map's progress callback in each run
    std::function<void(TMap&)> StartPosition;        ///< after each initialisation
    std::function<void(int run)> RunEnded;           ///< the run counter, after each run
    std::function<void(const TMinimum&)> NewMinimum; ///< a distinct minimum was found
    std::function<void(int minima)> Finished;        ///< after the last run

    /// "Run": clears the minima and starts the first run. Raises TError, starting nothing,
    /// while the map is being trained or when it cannot be initialised.
    void Run(TMap& map);
    /// Ends the experiment after the run in progress.
    void Stop();

    bool Running() const { return Map_ != nullptr; }
    int RunCount() const { return Runs_; }
    const std::vector<TMinimum>& Minima() const { return Minima_; }

private:
    void StartRun();
    void EndRun();

    TMap* Map_ = nullptr;
    int Runs_ = 0;
    bool Stopped_ = false;
    std::vector<TMinimum> Minima_;
};

} // namespace orbelin::map

// The experimenter's corner: repeated training runs and their distinct minima.
#include "map/MinimaExperiment.h"

#include "data/TError.h"
#include "map/MapInit.h"
#include "map/TCalcMapThread.h"
#include "map/Training.h"
#include "numeric/TUserInterface.h"
#include "numeric/VectorRoutines.h"

#include <cmath>
#include <cstdio>

namespace orbelin::map {

std::string MinimumKey(double totalEnergy)
{
    char text[64];
    std::snprintf(text, sizeof text, "%10.4f", totalEnergy);
    return text;
}

std::string MinimaLabel(int count)
{
    return "Минимумов = " + std::to_string(count);
}

void TMinimaExperiment::Run(TMap& map)
{
    if (Running())
        throw TError("The runs of the experimenter's corner are going on already.");
    CheckNotTraining(map, "run the experimenter's corner on it");
    map.Tolerance = Accuracy;
    Minima_.clear();
    Runs_ = 0;
    Stopped_ = false;
    Map_ = &map;
    try {
        StartRun();
    } catch (...) {
        Map_ = nullptr;
        throw;
    }
}

void TMinimaExperiment::Stop()
{
    if (!Running())
        return;
    Stopped_ = true;
    Map_->StopRequested = true;
}

void TMinimaExperiment::StartRun()
{
    TMap& map = *Map_;
    InitializeMap(map, 1);
    if (StartPosition)
        StartPosition(map);
    map.IterationCount = 0;
    map.StopRequested = false;
    map.PreviousEnergy = 1e100;
    map.Lambda = Lambda;
    map.Mu = Mu;
    map.ProgressCallback = Progress;
    StartTraining(map, [this] { EndRun(); });
}

void TMinimaExperiment::EndRun()
{
    TMap& map = *Map_;
    EvaluateEnergy(map);
    ++Runs_;
    if (RunEnded)
        RunEnded(Runs_);
    const TArray2D& nodes = map.Grid->Nodes;
    double distance = 1e100;
    for (const TMinimum& stored : Minima_) {
        if (stored.Nodes.size() != nodes.size())
            continue;
        double sum = 0;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            sum += numeric::SqEuclideanDistance(nodes[i], stored.Nodes[i]);
        distance = std::min(distance, sum);
    }
    const std::string key = MinimumKey(map.TotalEnergy);
    bool known = false;
    for (const TMinimum& stored : Minima_)
        known = known || stored.Key == key;
    if (!known) {
        TMinimum minimum;
        minimum.Key = key;
        minimum.Distance = distance;
        minimum.Nodes = nodes;
        double length = 0;
        for (const TArray1I& edge : map.Grid->Edges)
            length += std::sqrt(numeric::SqEuclideanDistance(nodes[static_cast<std::size_t>(edge[0])],
                                                             nodes[static_cast<std::size_t>(edge[1])]));
        minimum.MeanEdge = map.Grid->Edges.empty() ? 0.0 : length / static_cast<double>(map.Grid->Edges.size());
        Minima_.push_back(std::move(minimum));
        if (NewMinimum)
            NewMinimum(Minima_.back());
    }
    if (Runs_ <= Starts && !Stopped_) {
        try {
            StartRun();
            return;
        } catch (const std::exception& e) {
            UserInterface().ShowMessage(e.what());
        }
    }
    Map_ = nullptr;
    if (Finished)
        Finished(static_cast<int>(Minima_.size()));
}

} // namespace orbelin::map

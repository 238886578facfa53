// W3 points and phase-by-phase timing of training for bench training.
#include "cli/TrainBenchPhases.h"

#include "cli/JsonOutput.h"

#include "TrainingOracle.h"
#include "data/TData.h"
#include "data/TError.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "map/TrainingCache.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <omp.h>

namespace orbelin::cli {
namespace {

using TClock = std::chrono::steady_clock;

std::uint64_t HashNodes(const TArray2D& nodes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (const TArray1D& node : nodes)
        for (double v : node) {
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int b = 0; b < 8; ++b) {
                h ^= (bits >> (8 * b)) & 0xff;
                h *= 1099511628211ull;
            }
        }
    return h;
}

} // namespace

double MemoryMegabytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, length, key) == 0)
            return std::stod(line.substr(length + 1)) / 1024.0;
    return 0;
}

void ResetMemoryPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void MakeW3Points(data::TData& dataset)
{
    map::oracle::MakeSheet(dataset, 1000000, 10, 2025);
}

TTimedTraining TrainTimed(map::TMap& map, int steps)
{
    TTimedTraining timed;
    ResetMemoryPeak();
    map.MaxIterations = steps - 1;
    const map::TTrainingPhaseSeconds before = map::TrainingCacheOf(map).Seconds;
    const auto start = TClock::now();
    auto stepStart = start;
    map::TrainUntilStopped(map, [&] {
        const auto now = TClock::now();
        timed.StepSeconds.push_back(std::chrono::duration<double>(now - stepStart).count());
        timed.NodeHashes.push_back(HashNodes(map.Grid->Nodes));
        stepStart = TClock::now();
    });
    timed.Seconds = std::chrono::duration<double>(TClock::now() - start).count();
    timed.Steps = map.IterationCount;
    const map::TTrainingPhaseSeconds& after = map::TrainingCacheOf(map).Seconds;
    timed.SearchSeconds = after.Search - before.Search;
    timed.TaxonSeconds = after.Taxons - before.Taxons;
    timed.BuildSeconds = after.SystemBuild - before.SystemBuild;
    timed.SolveSeconds = after.Solve - before.Solve;
    timed.EnergySeconds = after.Energy - before.Energy;
    timed.PeakMegabytes = MemoryMegabytes("VmHWM:");
    return timed;
}

void WriteRawRows(const std::string& path, const std::vector<std::vector<double>>& rows)
{
    std::ofstream file(path, std::ios::binary);
    for (const std::vector<double>& row : rows)
        file.write(reinterpret_cast<const char*>(row.data()),
                   static_cast<std::streamsize>(row.size() * sizeof(double)));
    if (!file)
        throw TError("cannot write " + path);
}

void RunW3(TJson& json, TPlaceMap place, const std::string& exportFolder)
{
    const auto start = TClock::now();
    data::TData dataset;
    MakeW3Points(dataset);
    const double pointsSeconds = std::chrono::duration<double>(TClock::now() - start).count();
    const double pointsMegabytes = MemoryMegabytes("VmRSS:");
    ResetMemoryPeak();
    const auto initStart = TClock::now();
    map::TMap& map = place(dataset, 100, 100);
    const double initSeconds = std::chrono::duration<double>(TClock::now() - initStart).count();
    const double initPeak = MemoryMegabytes("VmHWM:");
    if (!exportFolder.empty()) {
        WriteRawRows(exportFolder + "/w3_points.f64", dataset.Points);
        WriteRawRows(exportFolder + "/w3_nodes.f64", map.Grid->Nodes);
    }
    const TTimedTraining run = TrainTimed(map, 3);
    TJson& w3 = json["w3"];
    w3["points"] = 1000000;
    w3["dimension"] = 10;
    w3["nodes"] = map.Grid->NodeCount();
    w3["threads"] = omp_get_max_threads();
    w3["steps"] = run.Steps;
    w3["points_seconds"] = pointsSeconds;
    w3["points_mb"] = pointsMegabytes;
    w3["init_seconds"] = initSeconds;
    w3["init_peak_mb"] = initPeak;
    w3["train_seconds"] = run.Seconds;
    w3["step_seconds"] = run.Steps > 0 ? run.Seconds / run.Steps : 0.0;
    w3["search_seconds"] = run.SearchSeconds;
    w3["taxon_seconds"] = run.TaxonSeconds;
    w3["build_seconds"] = run.BuildSeconds;
    w3["solve_seconds"] = run.SolveSeconds;
    w3["energy_seconds"] = run.EnergySeconds;
    w3["each_step_seconds"] = run.StepSeconds;
    TJson& hashes = w3["node_hashes"] = TJson::array();
    for (std::uint64_t h : run.NodeHashes)
        hashes.push_back(std::to_string(h));
    w3["train_peak_mb"] = run.PeakMegabytes;
}

} // namespace orbelin::cli

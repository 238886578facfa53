// W3 points and phase-by-phase timing of training for bench training.
#include "cli/TrainBenchPhases.h"

#include "cli/TJsonWriter.h"

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

void RunW3(TJsonWriter& json, TPlaceMap place, const std::string& exportFolder)
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
    json.Key("w3").BeginObject();
    json.Key("points").Int(1000000).Key("dimension").Int(10).Key("nodes").Int(map.Grid->NodeCount());
    json.Key("threads").Int(omp_get_max_threads()).Key("steps").Int(run.Steps);
    json.Key("points_seconds").Number(pointsSeconds).Key("points_mb").Number(pointsMegabytes);
    json.Key("init_seconds").Number(initSeconds).Key("init_peak_mb").Number(initPeak);
    json.Key("train_seconds").Number(run.Seconds);
    json.Key("step_seconds").Number(run.Steps > 0 ? run.Seconds / run.Steps : 0.0);
    json.Key("search_seconds").Number(run.SearchSeconds).Key("taxon_seconds").Number(run.TaxonSeconds);
    json.Key("build_seconds").Number(run.BuildSeconds).Key("solve_seconds").Number(run.SolveSeconds);
    json.Key("energy_seconds").Number(run.EnergySeconds);
    json.Key("each_step_seconds").BeginArray();
    for (double s : run.StepSeconds)
        json.Number(s);
    json.EndArray().Key("node_hashes").BeginArray();
    for (std::uint64_t h : run.NodeHashes)
        json.String(std::to_string(h));
    json.EndArray();
    json.Key("train_peak_mb").Number(run.PeakMegabytes);
    json.EndObject();
}

} // namespace orbelin::cli

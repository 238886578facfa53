// bench training: the training workloads W1 (speed against the plain dense method), W2
// (memory of a large map) and W3 (a million points on a large map), with their figures as JSON.
#include "TrainingOracle.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TJsonWriter.h"
#include "cli/TrainBenchPhases.h"
#include "data/TError.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "numeric/Random.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <omp.h>

namespace orbelin::cli {
namespace {

constexpr const char* BenchUsage = "bench training [--workload w1|w2|w3|both] [--no-oracle] [--export DIR]";

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point start)
{
    return std::chrono::duration<double>(TClock::now() - start).count();
}

map::TMap& PlaceMap(data::TData& dataset, int rows, int columns)
{
    map::TMap& map = map::AddMap(dataset, "bench");
    map.GridType = map::GridRectangular;
    map.RequestedRows = rows;
    map.RequestedColumns = columns;
    map.InitType = map::InitMainComps;
    numeric::SeedRandom(7);
    map::InitializeMap(map, 3, false);
    map.Lambda = 1;
    map.Mu = 1;
    map.Tolerance = 1e-5;
    map.IterationCount = 0;
    map.StopRequested = false;
    map.PreviousEnergy = 1e100;
    return map;
}

void RunW2(TJsonWriter& json)
{
    const double before = MemoryMegabytes("VmHWM:");
    const auto start = TClock::now();
    data::TData dataset;
    map::oracle::MakeSheet(dataset, 10000, 10, 11);
    map::TMap& map = PlaceMap(dataset, 100, 100);
    const double initSeconds = SecondsSince(start);
    map.MaxIterations = 4;
    const auto trainStart = TClock::now();
    map::TrainUntilStopped(map);
    const double trainSeconds = SecondsSince(trainStart);
    json.Key("w2").BeginObject();
    json.Key("points").Int(10000).Key("dimension").Int(10).Key("nodes").Int(map.Grid->NodeCount());
    json.Key("steps").Int(map.IterationCount);
    json.Key("init_seconds").Number(initSeconds).Key("train_seconds").Number(trainSeconds);
    json.Key("assign_ms").Int(map.AssignTime).Key("solve_ms").Int(map.SolveTime);
    json.Key("peak_mb_before").Number(before).Key("peak_mb").Number(MemoryMegabytes("VmHWM:"));
    json.EndObject();
}

void RunW1(TJsonWriter& json, bool withOracle, const std::string& exportFolder)
{
    data::TData dataset;
    map::oracle::MakeSheet(dataset, 100000, 10, 2024);
    map::TMap& map = PlaceMap(dataset, 30, 30);
    map.MaxIterations = 19; // at most 20 steps
    if (!exportFolder.empty()) {
        WriteRawRows(exportFolder + "/w1_points.f64", dataset.Points);
        WriteRawRows(exportFolder + "/w1_nodes.f64", map.Grid->Nodes);
    }
    map::oracle::TOracleMap expected = map::oracle::FromMap(map);

    std::vector<TArray2D> nodes;
    std::vector<double> energies;
    const auto engineStart = TClock::now();
    map::TrainUntilStopped(map, [&] {
        if (withOracle) {
            nodes.push_back(map.Grid->Nodes);
            energies.push_back(map.TotalEnergy);
        }
    });
    const double engineSeconds = SecondsSince(engineStart);
    const int steps = map.IterationCount;

    json.Key("w1").BeginObject();
    json.Key("points").Int(100000).Key("dimension").Int(10).Key("nodes").Int(map.Grid->NodeCount());
    json.Key("threads").Int(omp_get_max_threads()).Key("steps").Int(steps);
    json.Key("engine_seconds").Number(engineSeconds);
    json.Key("engine_step_seconds").Number(steps > 0 ? engineSeconds / steps : 0.0);
    json.Key("assign_ms").Int(map.AssignTime).Key("solve_ms").Int(map.SolveTime);
    if (withOracle) {
        const map::oracle::TOracleData points{&dataset.Points, &dataset.PointWeights};
        std::size_t step = 0;
        bool equal = true;
        double energyDifference = 0;
        const auto oracleStart = TClock::now();
        map::oracle::Train(expected, points, [&] {
            if (step < nodes.size()) {
                for (std::size_t i = 0; i < nodes[step].size(); ++i)
                    equal = equal && std::memcmp(nodes[step][i].data(), expected.Nodes[i].data(),
                                                 expected.Nodes[i].size() * sizeof(double)) == 0;
                const double scale = std::max(1.0, std::fabs(expected.TotalEnergy));
                energyDifference = std::max(energyDifference, std::fabs(energies[step] - expected.TotalEnergy) / scale);
            }
            ++step;
        });
        const double oracleSeconds = SecondsSince(oracleStart);
        json.Key("oracle_seconds").Number(oracleSeconds).Key("oracle_steps").Int(expected.IterationCount);
        json.Key("ratio").Number(oracleSeconds / engineSeconds);
        json.Key("nodes_equal").Bool(equal && step == nodes.size());
        json.Key("energy_relative_difference").Number(energyDifference);
    }
    json.Key("peak_mb").Number(MemoryMegabytes("VmHWM:"));
    json.EndObject();
}

} // namespace

void RunBench(const TArgs& args)
{
    const TOptions options =
        ParseOptions(args, "bench", BenchUsage, "benchmark name", {"--workload", "--export"}, {"--no-oracle"});
    if (options.Path != "training")
        options.Fail("bench: unknown benchmark \"" + options.Path + "\"");
    const std::string workload = ChoiceOption(options, "--workload", "both", {"w1", "w2", "w3", "both"});
    TJsonWriter json;
    json.BeginObject();
    // W2 first: the peak memory of the process is its own.
    const std::string exportFolder = options.Value("--export").value_or("");
    if (workload == "w3")
        RunW3(json, PlaceMap, exportFolder);
    if (workload == "w2" || workload == "both")
        RunW2(json);
    if (workload == "w1" || workload == "both")
        RunW1(json, !options.Flag("--no-oracle"), exportFolder);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

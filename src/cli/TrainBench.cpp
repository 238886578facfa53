// bench training: the training workloads W1 (speed against the plain dense method) and W2
// (memory of a large map), with their figures as JSON.
#include "TrainingOracle.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/TError.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "numeric/Random.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <omp.h>

namespace orbelin::cli {
namespace {

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point start)
{
    return std::chrono::duration<double>(TClock::now() - start).count();
}

// Peak and current resident memory of this process in megabytes.
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

void WriteRaw(const std::string& path, const TArray2D& rows)
{
    std::ofstream file(path, std::ios::binary);
    for (const TArray1D& row : rows)
        file.write(reinterpret_cast<const char*>(row.data()),
                   static_cast<std::streamsize>(row.size() * sizeof(double)));
    if (!file)
        throw TError("cannot write " + path);
}

void RunW2(TJson& json)
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
    TJson& w2 = json["w2"];
    w2["points"] = 10000;
    w2["dimension"] = 10;
    w2["nodes"] = map.Grid->NodeCount();
    w2["steps"] = map.IterationCount;
    w2["init_seconds"] = initSeconds;
    w2["train_seconds"] = trainSeconds;
    w2["assign_ms"] = map.AssignTime;
    w2["solve_ms"] = map.SolveTime;
    w2["peak_mb_before"] = before;
    w2["peak_mb"] = MemoryMegabytes("VmHWM:");
}

void RunW1(TJson& json, bool withOracle, const std::string& exportFolder)
{
    data::TData dataset;
    map::oracle::MakeSheet(dataset, 100000, 10, 2024);
    map::TMap& map = PlaceMap(dataset, 30, 30);
    map.MaxIterations = 19; // at most 20 steps
    if (!exportFolder.empty()) {
        WriteRaw(exportFolder + "/w1_points.f64", dataset.Points);
        WriteRaw(exportFolder + "/w1_nodes.f64", map.Grid->Nodes);
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

    TJson& w1 = json["w1"];
    w1["points"] = 100000;
    w1["dimension"] = 10;
    w1["nodes"] = map.Grid->NodeCount();
    w1["threads"] = omp_get_max_threads();
    w1["steps"] = steps;
    w1["engine_seconds"] = engineSeconds;
    w1["engine_step_seconds"] = steps > 0 ? engineSeconds / steps : 0.0;
    w1["assign_ms"] = map.AssignTime;
    w1["solve_ms"] = map.SolveTime;
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
        w1["oracle_seconds"] = oracleSeconds;
        w1["oracle_steps"] = expected.IterationCount;
        w1["ratio"] = oracleSeconds / engineSeconds;
        w1["nodes_equal"] = equal && step == nodes.size();
        w1["energy_relative_difference"] = energyDifference;
    }
    w1["peak_mb"] = MemoryMegabytes("VmHWM:");
}

} // namespace

void RunBench(const TOptions& options)
{
    if (options.Path != "training")
        options.Fail("bench: unknown benchmark \"" + options.Path + "\"");
    const std::string workload = ChoiceOption(options, "--workload", "both");
    TJson json = TJson::object();
    // W2 first: the peak memory of the process is its own.
    if (workload != "w1")
        RunW2(json);
    if (workload != "w2")
        RunW1(json, !options.Flag("--no-oracle"), options.Value("--export").value_or(""));
    PrintJson(json);
}

void AddBenchCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("bench", "time map training against the plain method", RunBench);
    AddPath(command, "BENCHMARK", "the benchmark to run: training");
    AddChoice(command, "--workload", {"w1", "w2", "both"},
              "w1: speed on 100000 points against the plain method; w2: memory of a 100x100 map")
        ->default_str("both");
    AddFlag(command, "--no-oracle", "leave out the plain method's run of w1");
    AddValue(command, "--export", "DIR", "write w1's points and starting nodes into DIR as raw doubles");
}

} // namespace orbelin::cli

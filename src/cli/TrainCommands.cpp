// train and grow: a map trained on a dataset file as "Adjust map" trains it, and a map
// file grown or refined as the map panel's growth command does it.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/MapLoading.h"
#include "cli/MapOptions.h"
#include "cli/WeightOptions.h"
#include "data/DatasetFile.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/MapGrowth.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "map/TrainingPanel.h"

#include <chrono>
#include <cstdio>

namespace orbelin::cli {
namespace {

void WriteEnergies(TJson& json, const map::TMap& map)
{
    json["approximation_error"] = map.ApproximationError;
    json["stretching_energy"] = map.StretchingEnergy;
    json["bending_energy"] = map.BendingEnergy;
    json["total_energy"] = map.TotalEnergy;
}

} // namespace

void RunTrain(const TOptions& options)
{
    const auto output = options.Value("-o");
    const auto start = options.Value("--map");
    if (start)
        for (const std::string& name : InitOptionNames())
            if (options.Value(name))
                options.Fail("train: " + name + " initialises a new map and does not go with --map");
    const TInitSettings settings = ReadInitOptions(options);
    // The l and m fields of the training panel.
    const double lambda = NumberOption(options, "--lambda", 1, 1e-6, 1000);
    const double mu = NumberOption(options, "--mu", 1, 1e-6, 1000);
    const int maxIterations = static_cast<int>(WholeOption(options, "--max-iter", 10000, -1, 1000000000));
    const bool quiet = options.Flag("--quiet");
    const std::optional<std::string> weights = WeightsRule(options);

    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(options.Path, dataset, table);
    map::TMap& map = map::AddMap(dataset, data::BaseName(*output));
    if (start) {
        std::string error;
        if (!map::ReadMapFileFrom(dataset, *start, &error))
            throw TError(error);
        map.Name = data::BaseName(*output);
    } else {
        InitialiseMap(map, settings);
    }
    if (weights)
        AssignWeightRule(options, *weights, dataset, table, &map);
    // The state "Adjust map" sets before it starts the training thread.
    map::PrepareTrainingRun(map, lambda, mu);
    map.Tolerance = 1e-5;
    map.MaxIterations = maxIterations;
    const auto started = std::chrono::steady_clock::now();
    int printed = 0;
    const std::string failure = map::TrainUntilStopped(map, [&map, &printed, quiet] {
        // The evaluation after a refused step or a cap of 0 belongs to no step.
        if (quiet || map.IterationCount == printed)
            return;
        printed = map.IterationCount;
        std::fprintf(stderr, "step %d: approximation error %.10g, stretching %.10g, bending %.10g\n",
                     map.IterationCount, map.ApproximationError, map.StretchingEnergy, map.BendingEnergy);
    });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!failure.empty())
        throw TError(failure);
    map::WriteMapFileTo(map, *output);

    TJson json;
    json["steps"] = map.IterationCount;
    WriteEnergies(json, map);
    json["seconds"] = seconds;
    PrintJson(json);
}

void RunGrow(const TOptions& options)
{
    const auto output = options.Value("-o");
    const int ways = (options.Value("--extrapolate") ? 1 : 0) + (options.Value("--interpolate") ? 1 : 0) +
                     (options.Flag("--ring") ? 1 : 0);
    if (ways != 1)
        options.Fail("grow needs exactly one of --extrapolate, --interpolate and --ring");
    const bool interpolation = options.Value("--interpolate").has_value();
    std::vector<int> amounts(4, 0); // left, right, up, down
    if (!options.Flag("--ring"))
        amounts = WholeListOption(options, interpolation ? "--interpolate" : "--extrapolate", 4, -100, 100);

    std::string datasetPath;
    if (const auto given = options.Value("--dataset")) {
        datasetPath = *given;
    } else {
        map::TMap alone;
        map::ReadMapAlone(alone, options.Path);
        datasetPath = DatasetBeside(options.Path, alone.DataFileName);
    }
    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(datasetPath, dataset, table);
    map::TMap& map = map::AddMap(dataset, data::BaseName(*output));
    std::string error;
    if (!map::ReadMapFileFrom(dataset, options.Path, &error))
        throw TError(error);
    map.Name = data::BaseName(*output);

    const bool circle = map.GridType == map::GridCircle;
    if (options.Flag("--ring") && !circle)
        throw TError("map file " + options.Path + " holds no circle map: --ring adds a ring to circle maps only");
    if (!options.Flag("--ring") && circle)
        throw TError("map file " + options.Path + " holds a circle map: it grows by rings, with --ring");
    const map::TGrowthResult result =
        map::GrowMap(map, interpolation, amounts[1], amounts[2], amounts[0], amounts[3], false);
    if (!result.Changed)
        throw TError("map file " + options.Path + ": " + result.Problem);
    map::WriteMapFileTo(map, *output);

    TJson json;
    json["kind"] = "map";
    WriteMapJson(json, map);
    json["file"] = *output;
    PrintJson(json);
}

void AddTrainCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("train", "initialise (or read) a map and train it", RunTrain);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "-o", "MAP.obm", "the map file to write")->required();
    AddInitOptions(command);
    AddValue(command, "--map", "START.obm", "train this map instead of a new one");
    // The l and m fields of the training panel.
    AddValue(command, "--lambda", "L", "the stretching coefficient")->default_str("1");
    AddValue(command, "--mu", "M", "the bending coefficient")->default_str("1");
    AddValue(command, "--max-iter", "N", "steps allowed after the first one; -1: no limit")->default_str("10000");
    AddWeightsOption(command);
    AddWeightRuleOptions(command);
    AddFlag(command, "--quiet", "print no line per step on stderr");
}

void AddGrowCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("grow", "extend, resample or ring a map", RunGrow);
    AddPath(command, "MAP.obm", "the map");
    AddValue(command, "-o", "OUT.obm", "the map file to write")->required();
    AddValue(command, "--extrapolate", "L,R,U,D",
             "columns to add on the left and the right, rows to add above and below (fewer where negative)");
    AddValue(command, "--interpolate", "L,R,U,D", "resample the same surface with that many more columns and rows");
    AddFlag(command, "--ring", "add a ring around a circle map");
    command.footer("Give exactly one of --extrapolate, --interpolate and --ring.");
    AddDatasetOption(command);
}

} // namespace orbelin::cli

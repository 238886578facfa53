// init, project-points and the map kind of info: maps built on dataset files, their
// description and the export of their points' projections.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/MapLoading.h"
#include "cli/MapOptions.h"
#include "coloring/Projection.h"
#include "data/Cp1251.h"
#include "data/DatasetFile.h"
#include "data/NumberText.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "numeric/Random.h"

#include <map>

namespace orbelin::cli {
void AddInitOptions(CLI::App& command)
{
    // The map panel's defaults.
    AddChoice(command, "--grid", {"rectangular", "spherical", "hexagonal", "toroidal", "circle"}, "the grid of nodes")
        ->default_str("rectangular");
    AddValue(command, "--rows", "P", "rows of nodes; on a circle, its rings")->default_str("10");
    AddValue(command, "--cols", "Q", "columns of nodes; on a circle, the nodes of each ring")->default_str("10");
    AddValue(command, "--layers", "R", "layers of a rectangular lattice")->default_str("1");
    AddChoice(command, "--init", {"pca", "random", "axes"},
              "the placement: along the principal components, at random or along the coordinate axes")
        ->default_str("pca");
    AddValue(command, "--size", "S", "the size of the placement")->default_str("0.25");
    AddValue(command, "--noise", "X", "noise added to the placement (without it: none)");
    AddValue(command, "--seed", "S", "the seed of the random numbers (without it: from the clock)");
}

const std::vector<std::string>& InitOptionNames()
{
    static const std::vector<std::string> names = {"--grid", "--rows", "--cols",  "--layers",
                                                   "--init", "--size", "--noise", "--seed"};
    return names;
}

TInitSettings ReadInitOptions(const TOptions& options)
{
    static const std::map<std::string, int> grids = {{"rectangular", map::GridRectangular},
                                                     {"spherical", map::GridSpherical},
                                                     {"hexagonal", map::GridHexagonal},
                                                     {"toroidal", map::GridToroidal},
                                                     {"circle", map::GridCircle}};
    static const std::map<std::string, int> placements = {
        {"random", map::InitRandom}, {"axes", map::InitCoordAxes}, {"pca", map::InitMainComps}};
    TInitSettings settings;
    settings.GridType = grids.at(ChoiceOption(options, "--grid", "rectangular"));
    settings.InitType = placements.at(ChoiceOption(options, "--init", "pca"));
    // The map panel's ranges and defaults.
    settings.Rows = static_cast<int>(WholeOption(options, "--rows", 10, 1, 100));
    settings.Columns = static_cast<int>(WholeOption(options, "--cols", 10, 1, 100));
    settings.Layers = static_cast<int>(WholeOption(options, "--layers", 1, 1, 100));
    settings.Size = NumberOption(options, "--size", 0.25, 0, 100);
    settings.Noise = NumberOption(options, "--noise", 30, 0, 100);
    settings.NoiseOn = options.Value("--noise").has_value();
    settings.Seed = static_cast<int>(WholeOption(options, "--seed", -1, 0, 2147483647));
    return settings;
}

void InitialiseMap(map::TMap& map, const TInitSettings& settings)
{
    map.GridType = settings.GridType;
    map.RequestedRows = settings.Rows;
    map.RequestedColumns = settings.Columns;
    map.RequestedLayers = settings.Layers;
    map.InitType = settings.InitType;
    map.InitSize = settings.Size;
    map.InitNoise = settings.Noise;
    map.InitNoiseOn = settings.NoiseOn;
    if (settings.Seed >= 0)
        numeric::SeedRandom(static_cast<std::uint64_t>(settings.Seed));
    map::InitializeMap(map, 3, settings.Seed < 0);
}

void WriteMapJson(TJson& json, const map::TMap& map)
{
    const map::TNetGrid& g = *map.Grid;
    const auto* rectangular = dynamic_cast<const map::TRectangularGrid*>(&g);
    json["name"] = map.Name;
    json["grid"] = map::GridTypeWord(g);
    json["rows"] = rectangular ? rectangular->P : g.NodeCount();
    json["cols"] = rectangular ? rectangular->Q : 1;
    json["nodes"] = g.NodeCount();
    json["edges"] = g.Edges.size();
    json["ribs"] = g.Ribs.size();
    json["triangles"] = g.Triangles.size();
    json["dimension"] = g.NodeCount() > 0 ? static_cast<long long>(g.Nodes[0].size()) : g.Dimension;
}

void PrintMapInfo(const std::string& path)
{
    map::TMap map;
    map::ReadMapAlone(map, path);
    TJson json;
    json["kind"] = "map";
    WriteMapJson(json, map);
    PrintJson(json);
}

void RunInit(const TOptions& options)
{
    const auto output = options.Value("-o");
    const TInitSettings settings = ReadInitOptions(options);

    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(options.Path, dataset, table);
    map::TMap& map = map::AddMap(dataset, data::BaseName(*output));
    InitialiseMap(map, settings);
    map::WriteMapFileTo(map, *output);

    TJson json;
    json["kind"] = "map";
    WriteMapJson(json, map);
    json["dataset"] = dataset.Name;
    json["file"] = *output;
    PrintJson(json);
}

void RunProjectPoints(const TOptions& options)
{
    const auto output = options.Value("-o");
    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(options.Path, options.Value("--dataset"), dataset, table);
    map.ProjectorType = options.Flag("--node") ? map::ProjectInClosestNode : map::ProjectInClosestPoint;
    coloring::WriteProjections(map, *output);

    TJson json;
    json["kind"] = "projections";
    json["map"] = map.Name;
    json["dataset"] = dataset.Name;
    json["projector"] = map.ProjectorType == map::ProjectInClosestNode ? "In closest node" : "In closest point";
    json["points"] = map.Projections.size();
    json["file"] = *output;
    PrintJson(json);
}

void AddInitCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("init", "initialise a map on a dataset and write it", RunInit);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "-o", "MAP.obm", "the map file to write")->required();
    AddInitOptions(command);
}

void AddProjectPointsCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("project-points", "export the projections of a map's points", RunProjectPoints);
    AddPath(command, "MAP.obm", "the map");
    AddDatasetOption(command);
    AddFlag(command, "--node", "project each point into its closest node instead of the closest point of the map");
    AddValue(command, "-o", "OUT.txt", "the text file to write")->required();
}

} // namespace orbelin::cli

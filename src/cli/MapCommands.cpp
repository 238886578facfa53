// init, project-points and the map kind of info: maps built on dataset files, their
// description and the export of their points' projections.
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

#include <cstdio>
#include <map>
#include <set>

namespace orbelin::cli {
namespace {

const std::string InitUsage = std::string("init DATASET.obd -o MAP.obm ") + InitOptionsUsage;
constexpr const char* ProjectUsage = "project-points MAP.obm [--dataset DATASET.obd] [--node] -o OUT.txt";

} // namespace

const char* const InitOptionsUsage = "[--grid rectangular|spherical|hexagonal|toroidal|circle] [--rows P] "
                                     "[--cols Q] [--layers R] [--init pca|random|axes] [--size S] [--noise X] "
                                     "[--seed S]";

const std::set<std::string>& InitOptionNames()
{
    static const std::set<std::string> names = {"--grid", "--rows", "--cols",  "--layers",
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
    settings.GridType = grids.at(ChoiceOption(options, "--grid", "rectangular",
                                              {"rectangular", "spherical", "hexagonal", "toroidal", "circle"}));
    settings.InitType = placements.at(ChoiceOption(options, "--init", "pca", {"pca", "random", "axes"}));
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

void RunInit(const TArgs& args)
{
    std::set<std::string> valued = InitOptionNames();
    valued.insert("-o");
    const TOptions options = ParseOptions(args, "init", InitUsage, "DATASET.obd", valued, {});
    const auto output = options.Value("-o");
    if (!output)
        options.Fail("init needs -o MAP.obm");
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

void RunProjectPoints(const TArgs& args)
{
    const TOptions options =
        ParseOptions(args, "project-points", ProjectUsage, "MAP.obm", {"-o", "--dataset"}, {"--node"});
    const auto output = options.Value("-o");
    if (!output)
        options.Fail("project-points needs -o OUT.txt");
    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(options.Path, options.Value("--dataset"), dataset, table);
    map.ProjectorType = options.Flags.count("--node") ? map::ProjectInClosestNode : map::ProjectInClosestPoint;
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

} // namespace orbelin::cli

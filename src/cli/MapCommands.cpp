// init, project-points and the map kind of info: maps built on dataset files, their
// description and the export of their points' projections.
#include "cli/Commands.h"
#include "cli/MapLoading.h"
#include "cli/TJsonWriter.h"
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

#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace orbelin::cli {
namespace {

constexpr const char* InitUsage =
    "init DATASET.obd -o MAP.obm [--grid rectangular|spherical|hexagonal|toroidal|circle] [--rows P] [--cols Q] "
    "[--layers R] [--init pca|random|axes] [--size S] [--noise X] [--seed S]";
constexpr const char* ProjectUsage = "project-points MAP.obm [--dataset DATASET.obd] [--node] -o OUT.txt";

struct TOptions {
    std::string Path;
    std::map<std::string, std::string> Values;
    std::set<std::string> Flags;

    std::optional<std::string> Value(const std::string& name) const
    {
        const auto it = Values.find(name);
        return it == Values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

TOptions ParseOptions(const TArgs& args, const std::string& command, const std::string& usage, const char* positional,
                      const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    const std::string hint = " (usage: orbelin-cli " + usage + ")";
    TOptions options;
    bool havePath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            if (flags.count(arg)) {
                options.Flags.insert(arg);
            } else if (valued.count(arg)) {
                if (i + 1 >= args.size())
                    throw TUsageError(command + ": " + arg + " needs a value" + hint);
                if (options.Values.count(arg))
                    throw TUsageError(command + ": " + arg + " is given twice" + hint);
                options.Values[arg] = args[++i];
            } else {
                throw TUsageError(command + ": unknown option \"" + arg + "\"" + hint);
            }
        } else if (!havePath) {
            options.Path = arg;
            havePath = true;
        } else {
            throw TUsageError(command + " takes one " + positional + ", found also \"" + arg + "\"" + hint);
        }
    }
    if (!havePath)
        throw TUsageError(command + " needs a " + positional + hint);
    return options;
}

int WholeOption(const TOptions& options, const std::string& command, const std::string& name, int fallback, int lo,
                int hi)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    long long value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < lo || value > hi)
        throw TUsageError(command + ": " + name + " expects a whole number from " + std::to_string(lo) + " to " +
                          std::to_string(hi) + ", found \"" + *text + "\"");
    return static_cast<int>(value);
}

double NumberOption(const TOptions& options, const std::string& command, const std::string& name, double fallback,
                    double lo, double hi)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    double value = 0;
    if (!data::ParseDecimal(*text, value) || value < lo || value > hi)
        throw TUsageError(command + ": " + name + " expects a number from " + data::GeneralText(lo) + " to " +
                          data::GeneralText(hi) + ", found \"" + *text + "\"");
    return value;
}

std::string Choice(const TOptions& options, const std::string& command, const std::string& name,
                   const std::string& fallback, const std::vector<std::string>& allowed)
{
    const std::string value = options.Value(name).value_or(fallback);
    for (const std::string& a : allowed)
        if (value == a)
            return value;
    std::string list;
    for (const std::string& a : allowed)
        list += (list.empty() ? "" : "|") + a;
    throw TUsageError(command + ": " + name + " expects " + list + ", found \"" + value + "\"");
}

void WriteMapJson(TJsonWriter& json, const map::TMap& map)
{
    const map::TNetGrid& g = *map.Grid;
    const auto* rectangular = dynamic_cast<const map::TRectangularGrid*>(&g);
    json.Key("name").String(map.Name).Key("grid").String(map::GridTypeWord(g));
    json.Key("rows")
        .Int(rectangular ? rectangular->P : g.NodeCount())
        .Key("cols")
        .Int(rectangular ? rectangular->Q : 1);
    json.Key("nodes").Int(g.NodeCount()).Key("edges").Int(static_cast<long long>(g.Edges.size()));
    json.Key("ribs").Int(static_cast<long long>(g.Ribs.size()));
    json.Key("triangles").Int(static_cast<long long>(g.Triangles.size()));
    json.Key("dimension").Int(g.NodeCount() > 0 ? static_cast<long long>(g.Nodes[0].size()) : g.Dimension);
}

} // namespace

void PrintMapInfo(const std::string& path)
{
    map::TMap map;
    map::ReadMapAlone(map, path);
    TJsonWriter json;
    json.BeginObject().Key("kind").String("map");
    WriteMapJson(json, map);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

void RunInit(const TArgs& args)
{
    const TOptions options =
        ParseOptions(args, "init", InitUsage, "DATASET.obd",
                     {"-o", "--grid", "--rows", "--cols", "--layers", "--init", "--size", "--noise", "--seed"}, {});
    const auto output = options.Value("-o");
    if (!output)
        throw TUsageError(std::string("init needs -o MAP.obm (usage: orbelin-cli ") + InitUsage + ")");
    static const std::map<std::string, int> grids = {{"rectangular", map::GridRectangular},
                                                     {"spherical", map::GridSpherical},
                                                     {"hexagonal", map::GridHexagonal},
                                                     {"toroidal", map::GridToroidal},
                                                     {"circle", map::GridCircle}};
    static const std::map<std::string, int> placements = {
        {"random", map::InitRandom}, {"axes", map::InitCoordAxes}, {"pca", map::InitMainComps}};
    const std::string grid = Choice(options, "init", "--grid", "rectangular",
                                    {"rectangular", "spherical", "hexagonal", "toroidal", "circle"});
    const std::string placement = Choice(options, "init", "--init", "pca", {"pca", "random", "axes"});
    // The map panel's ranges and defaults.
    const int rows = WholeOption(options, "init", "--rows", 10, 1, 100);
    const int cols = WholeOption(options, "init", "--cols", 10, 1, 100);
    const int layers = WholeOption(options, "init", "--layers", 1, 1, 100);
    const double size = NumberOption(options, "init", "--size", 0.25, 0, 100);
    const double noise = NumberOption(options, "init", "--noise", 30, 0, 100);
    const int seed = WholeOption(options, "init", "--seed", -1, 0, 2147483647);

    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(options.Path, dataset, table);
    map::TMap& map = map::AddMap(dataset, data::BaseName(*output));
    map.GridType = grids.at(grid);
    map.RequestedRows = rows;
    map.RequestedColumns = cols;
    map.RequestedLayers = layers;
    map.InitType = placements.at(placement);
    map.InitSize = size;
    map.InitNoise = noise;
    map.InitNoiseOn = options.Value("--noise").has_value();
    if (seed >= 0)
        numeric::SeedRandom(static_cast<std::uint64_t>(seed));
    map::InitializeMap(map, 3, seed < 0);
    map::WriteMapFileTo(map, *output);

    TJsonWriter json;
    json.BeginObject().Key("kind").String("map");
    WriteMapJson(json, map);
    json.Key("dataset").String(dataset.Name).Key("file").String(*output);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

void RunProjectPoints(const TArgs& args)
{
    const TOptions options =
        ParseOptions(args, "project-points", ProjectUsage, "MAP.obm", {"-o", "--dataset"}, {"--node"});
    const auto output = options.Value("-o");
    if (!output)
        throw TUsageError(std::string("project-points needs -o OUT.txt (usage: orbelin-cli ") + ProjectUsage + ")");
    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(options.Path, options.Value("--dataset"), dataset, table);
    map.ProjectorType = options.Flags.count("--node") ? map::ProjectInClosestNode : map::ProjectInClosestPoint;
    coloring::WriteProjections(map, *output);

    TJsonWriter json;
    json.BeginObject().Key("kind").String("projections").Key("map").String(map.Name);
    json.Key("dataset").String(dataset.Name);
    json.Key("projector")
        .String(map.ProjectorType == map::ProjectInClosestNode ? "In closest node" : "In closest point");
    json.Key("points").Int(static_cast<long long>(map.Projections.size())).Key("file").String(*output);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

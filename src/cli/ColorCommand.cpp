// color: a map coloured and laid out for one view, written as the geometry of its four
// layers.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MapLoading.h"
#include "cli/SceneOptions.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "map/TMap.h"
#include "view/ExportSupport.h"
#include "view/ViewGeometry.h"

namespace orbelin::cli {
namespace {

std::string LayersJson(const map::TMap& map)
{
    TJson json;
    json["map"] = map.Name;
    json["coloring"] = map.ColoringCode;
    json["view"] = map.ViewType;
    TJson& layers = json["layers"] = TJson::array();
    for (const view::TLayer& layer : map.Layers) {
        TJson& out = layers.emplace_back();
        out["name"] = layer.Name;
        const view::TVisPoint& p = layer.PointObject;
        TJson& points = out["points"];
        points["positions"] = p.Positions;
        points["shapes"] = p.Shapes;
        points["radii"] = p.Radii;
        points["fillColors"] = p.FillColors;
        points["borderColors"] = p.BorderColors;
        TJson& lines = out["lines"];
        lines["vertices"] = layer.LineObject.Vertices;
        lines["polylines"] = layer.LineObject.Polylines;
        lines["colors"] = layer.LineObject.Colors;
        TJson& polygons = out["polygons"];
        polygons["vertices"] = layer.PolygonObject.Vertices;
        polygons["polygons"] = layer.PolygonObject.Polygons;
        polygons["colors"] = layer.PolygonObject.Colors;
    }
    return JsonText(json) + "\n";
}

} // namespace

void RunColor(const TOptions& options)
{
    // The plain option values are checked before any file is read.
    const TSceneSettings settings = ReadSceneSettings(options);

    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(options.Path, options.Value("--dataset"), dataset, table);
    ApplySceneSettings(map, dataset, settings, options);
    view::RebuildViews(map);

    const std::string output = *options.Value("-o");
    view::WriteFileReplacing(output, LayersJson(map));

    const view::TVisPol& surface = map.Layers.size() > 2 ? map.Layers[2].PolygonObject : view::TVisPol();
    TJson json;
    json["kind"] = "coloring";
    json["map"] = map.Name;
    json["dataset"] = dataset.Name;
    json["coloring"] = map.ColoringCode;
    json["vertices"] = surface.Vertices.size();
    json["polygons"] = surface.Polygons.size();
    json["file"] = output;
    PrintJson(json);
}

void AddColorCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("color", "colour a map and write its layers' geometry for a view", RunColor);
    AddPath(command, "MAP.obm", "the map");
    AddDatasetOption(command);
    AddSceneOptions(command, true);
    AddValue(command, "-o", "OUT.json", "the file to write the layers' geometry into")->required();
}

} // namespace orbelin::cli

// color: a map coloured and laid out for one view, written as the geometry of its four
// layers.
#include "cli/Commands.h"
#include "cli/MapLoading.h"
#include "cli/SceneOptions.h"
#include "cli/TJsonWriter.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "map/TMap.h"
#include "view/ExportSupport.h"
#include "view/ViewGeometry.h"

#include <cstdio>
#include <set>

namespace orbelin::cli {
namespace {

const std::string ColorUsage = std::string("color MAP.obm [--dataset D.obd] --coloring ") + ColoringValuesUsage + " " +
                               SceneOptionsUsage + " -o OUT.json";

void Rows(TJsonWriter& json, const char* key, const TArray2D& rows)
{
    json.Key(key).BeginArray();
    for (const TArray1D& row : rows) {
        json.BeginArray();
        for (const double v : row)
            json.Number(v);
        json.EndArray();
    }
    json.EndArray();
}

void IndexRows(TJsonWriter& json, const char* key, const TArray2I& rows)
{
    json.Key(key).BeginArray();
    for (const TArray1I& row : rows) {
        json.BeginArray();
        for (const int v : row)
            json.Int(v);
        json.EndArray();
    }
    json.EndArray();
}

std::string LayersJson(const map::TMap& map)
{
    TJsonWriter json;
    json.BeginObject().Key("map").String(map.Name).Key("coloring").Int(map.ColoringCode);
    json.Key("view").Int(map.ViewType).Key("layers").BeginArray();
    for (const view::TLayer& layer : map.Layers) {
        json.BeginObject().Key("name").String(layer.Name);
        const view::TVisPoint& p = layer.PointObject;
        json.Key("points").BeginObject();
        Rows(json, "positions", p.Positions);
        json.Key("shapes").BeginArray();
        for (const int shape : p.Shapes)
            json.Int(shape);
        json.EndArray().Key("radii").BeginArray();
        for (const double radius : p.Radii)
            json.Number(radius);
        json.EndArray();
        Rows(json, "fillColors", p.FillColors);
        Rows(json, "borderColors", p.BorderColors);
        json.EndObject();
        json.Key("lines").BeginObject();
        Rows(json, "vertices", layer.LineObject.Vertices);
        IndexRows(json, "polylines", layer.LineObject.Polylines);
        Rows(json, "colors", layer.LineObject.Colors);
        json.EndObject();
        json.Key("polygons").BeginObject();
        Rows(json, "vertices", layer.PolygonObject.Vertices);
        IndexRows(json, "polygons", layer.PolygonObject.Polygons);
        Rows(json, "colors", layer.PolygonObject.Colors);
        json.EndObject();
        json.EndObject();
    }
    json.EndArray().EndObject();
    return json.Text() + "\n";
}

} // namespace

void RunColor(const TArgs& args)
{
    std::set<std::string> valued = SceneOptionNames();
    valued.insert({"--dataset", "-o"});
    const TOptions options = ParseOptions(args, "color", ColorUsage, "MAP.obm", valued, {});
    if (!options.Value("--coloring"))
        options.Fail("color: needs --coloring");
    if (!options.Value("-o"))
        options.Fail("color: needs -o OUT.json");
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
    TJsonWriter json;
    json.BeginObject().Key("kind").String("coloring").Key("map").String(map.Name);
    json.Key("dataset").String(dataset.Name).Key("coloring").Int(map.ColoringCode);
    json.Key("vertices").Int(static_cast<long long>(surface.Vertices.size()));
    json.Key("polygons").Int(static_cast<long long>(surface.Polygons.size()));
    json.Key("file").String(output).EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

// color: a map coloured and laid out for one view, written as the geometry of its four
// layers.
#include "app/MapMembers.h"
#include "cli/Commands.h"
#include "cli/MapLoading.h"
#include "cli/TJsonWriter.h"
#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TRWFile.h"
#include "map/TMap.h"
#include "view/ExportSupport.h"
#include "view/ViewGeometry.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>

namespace orbelin::cli {
namespace {

constexpr const char* ColorUsage =
    "color MAP.obm [--dataset D.obd] --coloring field:NAME|pc:K|density2d|densitynd|lda|lra|spectrum|radial "
    "[--smoothness S] [--radius R] [--scheme NAME] [--palette continuous|discrete] [--tints N] [--relief X] "
    "[--view coords|pca|internal] [--axes A,B,C] -o OUT.json";

[[noreturn]] void Usage(const std::string& problem)
{
    throw TUsageError("color: " + problem + " (usage: orbelin-cli " + ColorUsage + ")");
}

struct TColorOptions {
    std::string MapPath;
    std::map<std::string, std::string> Values;

    const std::string* Value(const std::string& name) const
    {
        const auto it = Values.find(name);
        return it == Values.end() ? nullptr : &it->second;
    }
};

TColorOptions ParseColorOptions(const TArgs& args)
{
    static const char* const valued[] = {"--dataset", "--coloring", "--smoothness", "--radius", "--scheme", "--palette",
                                         "--tints",   "--relief",   "--view",       "--axes",   "-o"};
    TColorOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            if (std::find(std::begin(valued), std::end(valued), arg) == std::end(valued))
                Usage("unknown option \"" + arg + "\"");
            if (i + 1 >= args.size())
                Usage(arg + " needs a value");
            if (!options.Values.emplace(arg, args[++i]).second)
                Usage(arg + " is given twice");
        } else if (options.MapPath.empty()) {
            options.MapPath = arg;
        } else {
            Usage("takes one MAP.obm, found also \"" + arg + "\"");
        }
    }
    if (options.MapPath.empty())
        Usage("needs a MAP.obm");
    if (!options.Value("--coloring"))
        Usage("needs --coloring");
    if (!options.Value("-o"))
        Usage("needs -o OUT.json");
    return options;
}

bool WholeNumber(const std::string& text, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int WholeOption(const TColorOptions& options, const std::string& name, int fallback, int lo, int hi)
{
    const std::string* text = options.Value(name);
    int value = fallback;
    if (text && (!WholeNumber(*text, value) || value < lo || value > hi))
        Usage(name + " expects a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", found \"" +
              *text + "\"");
    return value;
}

double NumberOption(const TColorOptions& options, const std::string& name, double fallback, double lo, double hi)
{
    const std::string* text = options.Value(name);
    double value = fallback;
    if (text && (!data::ParseDecimal(*text, value) || value < lo || value > hi))
        Usage(name + " expects a number from " + view::GeneralText(lo) + " to " + view::GeneralText(hi) + ", found \"" +
              *text + "\"");
    return value;
}

std::string FieldList(const data::TData& dataset)
{
    std::string list;
    for (const std::string& name : dataset.CoordNames)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

int ColoringCodeOf(const std::string& text, const data::TData& dataset)
{
    static const std::map<std::string, int> plain = {{"density2d", coloring::ColoringDensity2D},
                                                     {"densitynd", coloring::ColoringDensityND},
                                                     {"lda", coloring::ColoringLDA},
                                                     {"lra", coloring::ColoringLRA},
                                                     {"spectrum", coloring::ColoringSpectrum},
                                                     {"radial", coloring::ColoringRadialSpectrum}};
    if (const auto it = plain.find(text); it != plain.end())
        return it->second;
    const int d = std::min(dataset.CoordCount, coloring::ColoringChildLimit);
    if (text.rfind("field:", 0) == 0) {
        const std::string name = text.substr(6);
        for (int k = 0; k < d && k < static_cast<int>(dataset.CoordNames.size()); ++k)
            if (dataset.CoordNames[static_cast<std::size_t>(k)] == name)
                return coloring::FieldColoringBase + k;
        Usage("--coloring " + text + ": the dataset has no field \"" + name + "\" (its fields: " + FieldList(dataset) +
              ")");
    }
    if (text.rfind("pc:", 0) == 0) {
        int k = 0;
        if (!WholeNumber(text.substr(3), k) || k < 1 || k > d)
            Usage("--coloring " + text + ": the component number runs from 1 to " + std::to_string(d));
        return coloring::ComponentColoringBase + k - 1;
    }
    Usage("--coloring expects field:NAME, pc:K, density2d, densitynd, lda, lra, spectrum or radial, found \"" + text +
          "\"");
}

// "A,B,C": each a number from 1 to d, or on the coordinate view a field name.
std::array<int, 3> AxesOf(const std::string& text, const data::TData& dataset, bool names)
{
    std::array<int, 3> axes{};
    std::size_t start = 0;
    for (std::size_t a = 0; a < 3; ++a) {
        const std::size_t comma = text.find(',', start);
        if ((a < 2) != (comma != std::string::npos))
            Usage("--axes expects three entries A,B,C, found \"" + text + "\"");
        const std::string item = text.substr(start, a < 2 ? comma - start : std::string::npos);
        start = comma + 1;
        int k = 0;
        if (WholeNumber(item, k) && k >= 1 && k <= dataset.CoordCount) {
            axes[a] = k - 1;
            continue;
        }
        const auto named = std::find(dataset.CoordNames.begin(), dataset.CoordNames.end(), item);
        if (!names || named == dataset.CoordNames.end())
            Usage("--axes: \"" + item + "\" is not a number from 1 to " + std::to_string(dataset.CoordCount) +
                  (names ? " nor a field of the dataset (" + FieldList(dataset) + ")" : ""));
        axes[a] = static_cast<int>(named - dataset.CoordNames.begin());
    }
    return axes;
}

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
    const TColorOptions options = ParseColorOptions(args);
    // The plain option values are checked before any file is read.
    const int smoothness = WholeOption(options, "--smoothness", 1, 1, 100);
    const double radius = NumberOption(options, "--radius", 0.25, 1e-5, 100);
    const int tints = WholeOption(options, "--tints", 5, 2, 256);
    const double relief = NumberOption(options, "--relief", 0, 0, 1);
    int scheme = 0;
    if (const std::string* name = options.Value("--scheme")) {
        scheme = coloring::ColorSchemeIndex(*name);
        if (scheme < 0) {
            std::string list;
            for (const std::string& item : coloring::ColorSchemeNames())
                list += (list.empty() ? "\"" : ", \"") + item + "\"";
            Usage("--scheme expects one of " + list + ", found \"" + *name + "\"");
        }
    }
    bool discrete = false;
    if (const std::string* palette = options.Value("--palette")) {
        if (*palette != "continuous" && *palette != "discrete")
            Usage("--palette expects continuous|discrete, found \"" + *palette + "\"");
        discrete = *palette == "discrete";
    }
    int viewType = 0;
    if (const std::string* view = options.Value("--view")) {
        static const std::map<std::string, int> views = {{"coords", 0}, {"pca", 1}, {"internal", 2}};
        const auto it = views.find(*view);
        if (it == views.end())
            Usage("--view expects coords|pca|internal, found \"" + *view + "\"");
        viewType = it->second;
    }

    data::TDataTable table;
    data::TData dataset;
    const std::string* datasetPath = options.Value("--dataset");
    map::TMap& map = LoadMapWithDataset(
        options.MapPath, datasetPath ? std::optional<std::string>(*datasetPath) : std::nullopt, dataset, table);
    // Adding the layers resets the coloring parameters, as opening a map does.
    app::AddStandardLayers(map);
    map.ColoringCode = ColoringCodeOf(*options.Value("--coloring"), dataset);
    map.Smoothness = smoothness;
    map.CorrRadius = radius;
    map.ColorScheme = scheme;
    map.Tints = coloring::BuildTints(tints);
    map.DiscretePalette = discrete;
    map.Relief = relief;
    map.ViewType = viewType;
    if (const std::string* axes = options.Value("--axes")) {
        const auto chosen = AxesOf(*axes, dataset, viewType == 0);
        map.Axis1 = chosen[0];
        map.Axis2 = chosen[1];
        map.Axis3 = chosen[2];
    }
    view::RebuildViews(map);

    const std::string& output = *options.Value("-o");
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

// export: a map's scene, coloured and laid out as color does it and seen with a camera,
// written as a VRML scene, a PostScript plot of the data points and an HTML image map.
#include "cli/BiplotOptions.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MapLoading.h"
#include "cli/SceneOptions.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "map/TMap.h"
#include "view/ExportSupport.h"
#include "view/HtmlViewExport.h"
#include "view/PostScriptExport.h"
#include "view/TCamera.h"
#include "view/ViewGeometry.h"
#include "view/VrmlExport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace orbelin::cli {
namespace {

// What the map window shows when it opens.
constexpr int DefaultWidth = 800;
constexpr int DefaultHeight = 600;
constexpr double DefaultZoom = 320;

// The HTML options dialog as a user leaves it for a first page: the first field names the
// points and every field is shown in the description box.
view::THtmlViewOptions HtmlOptions(const data::TDataTable& table)
{
    view::THtmlViewOptions options;
    if (!table.FieldNames.empty())
        options.MainField = table.FieldNames.front();
    options.DescriptionFields = table.FieldNames;
    return options;
}

} // namespace

void RunExport(const TOptions& options)
{
    const auto vrml = options.Value("--vrml");
    const auto ps = options.Value("--ps");
    const auto html = options.Value("--html");
    if (!vrml && !ps && !html)
        options.Fail("export: needs at least one of --vrml, --ps and --html");
    if (options.Flag("--gzip") && !vrml)
        options.Fail("export: --gzip compresses the --vrml scene and needs it");
    if (options.Value("--ray-scale") && !options.Value("--rays"))
        options.Fail("export: --ray-scale scales the --rays of a biplot and needs them");
    const TSceneSettings settings = ReadSceneSettings(options);
    view::TCamera camera;
    const int width = static_cast<int>(WholeOption(options, "--width", DefaultWidth, 1, 16384));
    const int height = static_cast<int>(WholeOption(options, "--height", DefaultHeight, 1, 16384));
    const double zoom = NumberOption(options, "--zoom", DefaultZoom, 20, 1000);
    camera.CameraDistance = view::CameraDistanceForZoom(zoom);
    camera.RotX = static_cast<int>(WholeOption(options, "--rotx", 0, -180, 180));
    camera.RotZ = static_cast<int>(WholeOption(options, "--rotz", 0, -180, 180));

    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(options.Path, options.Value("--dataset"), dataset, table);
    ApplySceneSettings(map, dataset, settings, options);
    if (options.Value("--rays")) {
        // The biplot's rays, in the "Objects" layer as "Create biplot" shows them.
        analysis::TBiplotStyles styles;
        dataset.Rays = RaysOfOptions(options, "--rays", "--ray-scale", dataset, styles);
        if (map.Layers.size() > 3)
            map.Layers[3].SetVisible(true);
    }
    // The markers' drawn sizes follow the camera distance, so the camera goes first.
    map.View.Camera = camera;
    view::RebuildViews(map);

    const view::TVisPoint noPoints;
    view::TExportView exportView;
    exportView.DataPoints = map.Layers.empty() ? &noPoints : &map.Layers[0].PointObject;
    exportView.Camera = camera;
    exportView.Width = width;
    exportView.Height = height;

    TJson json;
    json["kind"] = "export";
    json["map"] = map.Name;
    json["dataset"] = dataset.Name;
    json["coloring"] = map.ColoringCode;
    json["view"] = map.ViewType;
    json["width"] = width;
    json["height"] = height;
    json["zoom"] = zoom;
    json["rotx"] = camera.RotX;
    json["rotz"] = camera.RotZ;
    const auto placed = view::MarkerWindowPositions(*exportView.DataPoints, camera, width, height);
    json["points"] = placed.size();
    json["placed"] = std::count_if(placed.begin(), placed.end(), [](const auto& p) { return p.Placed; });
    if (options.Value("--rays"))
        json["rays"] = dataset.Rays.size();
    TJson& files = json["files"] = TJson::object();
    if (vrml)
        files["vrml"] = view::WriteVrml(map.Layers, map.View.Style, *vrml, options.Flag("--gzip"));
    if (ps) {
        view::WritePostScript(*ps, exportView, dataset, table, map.Annotations, view::TPostScriptOptions());
        files["ps"] = *ps;
    }
    if (html) {
        std::error_code error;
        std::filesystem::create_directories(*html, error);
        if (error)
            throw TError("cannot create the folder " + *html + " for the HTML page: " + error.message());
        files["html"] = view::WriteHtmlView(*html, exportView, dataset, table, HtmlOptions(table));
        std::fprintf(stderr, "orbelin-cli: note: the page shows the view's picture from image.jpg beside it, which "
                             "export does not draw\n");
    }
    PrintJson(json);
}

void AddExportCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "export", "write a map's scene, seen with a camera, as VRML, a PostScript plot or an HTML image map",
        RunExport);
    AddPath(command, "MAP.obm", "the map");
    AddDatasetOption(command);
    AddSceneOptions(command, false);
    AddValue(command, "--width", "W", "the width of the view in pixels")->default_str(std::to_string(DefaultWidth));
    AddValue(command, "--height", "H", "the height of the view in pixels")->default_str(std::to_string(DefaultHeight));
    AddValue(command, "--zoom", "Z", "the zoom of the view, from 20 to 1000")->default_str("320");
    AddValue(command, "--rotx", "A", "the turn about the X axis in degrees")->default_str("0");
    AddValue(command, "--rotz", "A", "the turn about the Z axis in degrees")->default_str("0");
    AddValue(command, "--vrml", "OUT.wrl", "write the scene as VRML 2.0");
    AddFlag(command, "--gzip", "compress the --vrml scene (.wrz)");
    AddValue(command, "--ps", "OUT.ps", "write a PostScript plot of the data points");
    AddValue(command, "--html", "DIR", "write an HTML image map of the data points into DIR");
    AddValue(command, "--rays", "DUAL.obc", "show the fields as biplot rays, styled by this dual-space set");
    AddValue(command, "--ray-scale", "S", "the biplot's scale slider, from -100 to 100");
    command.footer("Give at least one of --vrml, --ps and --html.");
}

} // namespace orbelin::cli

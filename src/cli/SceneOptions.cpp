// The coloring and view options of the commands that build a map's scene.
#include "cli/SceneOptions.h"

#include "app/MapMembers.h"
#include "cli/CommandLine.h"
#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "data/TData.h"
#include "data/TRWFile.h"
#include "map/TMap.h"
#include "view/ExportSupport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>

namespace orbelin::cli {
namespace {

bool WholeNumber(const std::string& text, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// NumberOption with the bounds in the exporters' general form ("1e-05").
double DecimalOption(const TOptions& options, const std::string& name, double fallback, double lo, double hi)
{
    const auto text = options.Value(name);
    CheckDefault(options, name, fallback);
    double value = fallback;
    if (text && (!data::ParseDecimal(*text, value) || !(value >= lo && value <= hi)))
        options.Fail(options.Command + ": " + name + " expects a number from " + view::GeneralText(lo) + " to " +
                     view::GeneralText(hi) + ", found \"" + *text + "\"");
    return value;
}

std::string FieldList(const data::TData& dataset)
{
    std::string list;
    for (const std::string& name : dataset.CoordNames)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

int ColoringCodeOf(const std::string& text, const data::TData& dataset, const TOptions& options)
{
    const auto fail = [&](const std::string& problem) { options.Fail(options.Command + ": " + problem); };
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
        fail("--coloring " + text + ": the dataset has no field \"" + name + "\" (its fields: " + FieldList(dataset) +
             ")");
    }
    if (text.rfind("pc:", 0) == 0) {
        int k = 0;
        if (!WholeNumber(text.substr(3), k) || k < 1 || k > d)
            fail("--coloring " + text + ": the component number runs from 1 to " + std::to_string(d));
        return coloring::ComponentColoringBase + k - 1;
    }
    fail("--coloring expects field:NAME, pc:K, density2d, densitynd, lda, lra, spectrum or radial, found \"" + text +
         "\"");
    return coloring::ColoringNone;
}

// "A,B,C": each a number from 1 to d, or on the coordinate view a field name.
std::array<int, 3> AxesOf(const std::string& text, const data::TData& dataset, bool names, const TOptions& options)
{
    const auto fail = [&](const std::string& problem) { options.Fail(options.Command + ": " + problem); };
    std::array<int, 3> axes{};
    std::size_t start = 0;
    for (std::size_t a = 0; a < 3; ++a) {
        const std::size_t comma = text.find(',', start);
        if ((a < 2) != (comma != std::string::npos))
            fail("--axes expects three entries A,B,C, found \"" + text + "\"");
        const std::string item = text.substr(start, a < 2 ? comma - start : std::string::npos);
        start = comma + 1;
        int k = 0;
        if (WholeNumber(item, k) && k >= 1 && k <= dataset.CoordCount) {
            axes[a] = k - 1;
            continue;
        }
        const auto named = std::find(dataset.CoordNames.begin(), dataset.CoordNames.end(), item);
        if (!names || named == dataset.CoordNames.end())
            fail("--axes: \"" + item + "\" is not a number from 1 to " + std::to_string(dataset.CoordCount) +
                 (names ? " nor a field of the dataset (" + FieldList(dataset) + ")" : ""));
        axes[a] = static_cast<int>(named - dataset.CoordNames.begin());
    }
    return axes;
}

} // namespace

void AddSceneOptions(CLI::App& command, bool coloringRequired)
{
    CLI::Option* coloring =
        AddValue(command, "--coloring", "field:NAME|pc:K|density2d|densitynd|lda|lra|spectrum|radial",
                 "colour the map by a field, a principal component, the 2D or the ND density of "
                 "its points, the discriminant or regression coloring, or a spectrum");
    if (coloringRequired)
        coloring->required();
    AddValue(command, "--smoothness", "S", "the smoothness of the coloring")->default_str("1");
    AddValue(command, "--radius", "R", "the radius of the density colorings")->default_str("0.25");
    AddValue(command, "--scheme", "NAME", "the colour scheme, by its name in the colour-grading dialog");
    AddChoice(command, "--palette", {"continuous", "discrete"}, "a continuous palette or bands of tints")
        ->default_str("continuous");
    AddValue(command, "--tints", "N", "the number of tints of the discrete palette")->default_str("5");
    AddValue(command, "--relief", "X", "the relief of the coloured surface, from 0 to 1")->default_str("0");
    AddChoice(command, "--view", {"coords", "pca", "internal"},
              "the view: data coordinates, principal components or the map's internal coordinates")
        ->default_str("coords");
    AddValue(command, "--axes", "A,B,C",
             "the view's three axes: numbers from 1, or on the coordinate view field names");
}

TSceneSettings ReadSceneSettings(const TOptions& options)
{
    TSceneSettings settings;
    settings.Coloring = options.Value("--coloring");
    settings.Smoothness = static_cast<int>(WholeOption(options, "--smoothness", 1, 1, 100));
    settings.Radius = DecimalOption(options, "--radius", 0.25, 1e-5, 100);
    settings.Tints = static_cast<int>(WholeOption(options, "--tints", 5, 2, 256));
    settings.Relief = DecimalOption(options, "--relief", 0, 0, 1);
    if (const auto name = options.Value("--scheme")) {
        settings.Scheme = coloring::ColorSchemeIndex(*name);
        if (settings.Scheme < 0) {
            std::string list;
            for (const std::string& item : coloring::ColorSchemeNames())
                list += (list.empty() ? "\"" : ", \"") + item + "\"";
            options.Fail(options.Command + ": --scheme expects one of " + list + ", found \"" + *name + "\"");
        }
    }
    settings.Discrete = ChoiceOption(options, "--palette", "continuous") == "discrete";
    static const std::map<std::string, int> views = {{"coords", 0}, {"pca", 1}, {"internal", 2}};
    settings.ViewType = views.at(ChoiceOption(options, "--view", "coords"));
    settings.Axes = options.Value("--axes");
    return settings;
}

void ApplySceneSettings(map::TMap& map, const data::TData& dataset, const TSceneSettings& settings,
                        const TOptions& options)
{
    // Adding the layers resets the coloring parameters, as opening a map does.
    app::AddStandardLayers(map);
    map.ColoringCode =
        settings.Coloring ? ColoringCodeOf(*settings.Coloring, dataset, options) : int(coloring::ColoringNone);
    map.Smoothness = settings.Smoothness;
    map.CorrRadius = settings.Radius;
    map.ColorScheme = settings.Scheme;
    map.Tints = coloring::BuildTints(settings.Tints);
    map.DiscretePalette = settings.Discrete;
    map.Relief = settings.Relief;
    map.ViewType = settings.ViewType;
    if (settings.Axes) {
        const auto chosen = AxesOf(*settings.Axes, dataset, settings.ViewType == 0, options);
        map.Axis1 = chosen[0];
        map.Axis2 = chosen[1];
        map.Axis3 = chosen[2];
    }
}

} // namespace orbelin::cli

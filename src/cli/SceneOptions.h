// The options that colour a map and lay it out for a view, shared by the commands that
// build a map's scene (color, export).
#pragma once

#include "cli/Options.h"

#include <optional>
#include <string>

namespace CLI {
class App;
}
namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::cli {

/// Declares --coloring (required where coloringRequired is set), --smoothness, --radius,
/// --scheme, --palette, --tints, --relief, --view and --axes.
void AddSceneOptions(CLI::App& command, bool coloringRequired);

/// The coloring and view settings of a command line; the plain values are checked when
/// they are read, the coloring and the axes once the dataset is known.
struct TSceneSettings {
    std::optional<std::string> Coloring; ///< absent: the map shows no coloring surface
    int Smoothness = 1;
    double Radius = 0.25;
    int Scheme = 0;
    int Tints = 5;
    bool Discrete = false;
    double Relief = 0;
    int ViewType = 0;
    std::optional<std::string> Axes;
};

/// Reads and checks the plain option values (TUsageError).
TSceneSettings ReadSceneSettings(const TOptions& options);

/// Gives a map read from its file its four layers and the settings' coloring and view;
/// raises TUsageError for a coloring or axes the dataset does not have. The caller then
/// places the camera and rebuilds the views.
void ApplySceneSettings(map::TMap& map, const data::TData& dataset, const TSceneSettings& settings,
                        const TOptions& options);

} // namespace orbelin::cli

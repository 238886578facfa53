// What the map commands share: the options that initialise a new map and the JSON
// description of a map.
#pragma once

#include "cli/JsonOutput.h"
#include "cli/Options.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::cli {

/// Declares the options that initialise a new map: --grid, --rows, --cols, --layers,
/// --init, --size, --noise, --seed.
void AddInitOptions(CLI::App& command);
/// Their names.
const std::vector<std::string>& InitOptionNames();

/// The initialisation settings given on a command line, with the map panel's defaults.
struct TInitSettings {
    int GridType = 0;
    int Rows = 10, Columns = 10, Layers = 1;
    int InitType = 2;
    double Size = 0.25, Noise = 30;
    bool NoiseOn = false;
    int Seed = -1; ///< -1: seeded from the clock
};
/// Reads and checks the initialisation options (TUsageError).
TInitSettings ReadInitOptions(const TOptions& options);
/// Copies the settings into the map and initialises it (TError when it cannot be built).
void InitialiseMap(map::TMap& map, const TInitSettings& settings);

/// Name, grid word, sizes, element counts and dimension of a map, as members of the
/// object being written.
void WriteMapJson(TJson& json, const map::TMap& map);

} // namespace orbelin::cli

// What the project and its commands do to a dataset's maps: their layers, their
// components and their names.
#pragma once

#include "app/TProject.h"
#include "map/TMap.h"

#include <string>

namespace orbelin::app {

/// The layers a read map gets when it has none: "Datasets", "Net", "Colorings", "Objects".
void AddStandardLayers(map::TMap& map);

/// The dataset's principal components (three, with the point weights) and their centre,
/// computed into the map; nothing for a dataset without points or coordinates.
void ComputeComponentsInto(map::TMap& map);

/// The name Add map gives a new map of dataset k of script s: "Map", s, k and the
/// dataset's map count + 1, digits run together ("Map001"). A name another map of the
/// project already has is passed over, as the count goes on, because two maps of one
/// name would share one file.
std::string NextMapName(const TProject& project, int s, int k);

/// When map is not null (a map that is being trained), shows why the command cannot run
/// ("... before you " + action) and returns true; false otherwise.
bool RefusedWhileTraining(const map::TMap* map, const std::string& action);

/// Whether another map of the project (not self) would be saved under the same file.
bool MapNameTaken(const TProject& project, const std::string& name, const map::TMap* self);

} // namespace orbelin::app

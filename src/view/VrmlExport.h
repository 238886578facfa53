// The VRML 2.0 scene of a map's view: background, viewpoints, axes, markers as spheres,
// line objects as indexed line sets and polygon objects as indexed face sets.
#pragma once

#include "view/SceneObjects.h"

#include <string>
#include <vector>

namespace orbelin::view {

/// The VRML text of the scene, lines ending in CR LF. Objects are taken from the layers
/// in objects-list order (object index 4 x layer + kind); only objects whose Visible byte
/// is set and that hold markers or vertices are written: all markers first, then all line
/// objects, then all polygon objects. Geometry objects and the camera are not part of it.
std::string VrmlText(const std::vector<TLayer>& layers, const TSceneStyle& style);

/// Writes VrmlText to fileName, replacing it only once the new file is complete. With
/// compress set, the text is written gzip-compressed to fileName + ".wrz" instead (a scene
/// named scene.wrl ends as scene.wrl.wrz) and fileName is not touched. Returns the name of
/// the file written. Raises TError naming the file when it cannot be written.
std::string WriteVrml(const std::vector<TLayer>& layers, const TSceneStyle& style, const std::string& fileName,
                      bool compress);

} // namespace orbelin::view

// The scene state of a map's 3D view as plain data: camera, axes, background, tool mode
// and the list of the layers' objects that the view draws.
#pragma once

#include "view/SceneObjects.h"
#include "view/TCamera.h"

#include <vector>

namespace orbelin::map {

/// One entry of the view's objects list: object index = 4 x layer + kind.
struct TViewObject {
    int Layer = 0;
    view::TObjectKind Kind = view::ObjectPoints;
};

/// What the desktop program's view widget draws from, so that exports and tests see the
/// same state. RecreateView resets it.
struct TMapView {
    view::TCamera Camera;
    view::TSceneStyle Style;
    view::TToolMode ToolMode = view::TToolMode::Rotate;
    view::TMouseState Mouse;
    std::vector<TViewObject> Objects;
};

} // namespace orbelin::map

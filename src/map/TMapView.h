// The scene state of a map's 3D view as plain data: camera, axes, background, tool mode
// and the list of the layers' objects that the view draws.
#pragma once

#include "view/SceneObjects.h"
#include "view/TCamera.h"

#include <vector>

namespace orbelin::map {

/// Packed colours (red in the low byte) of the axes and the background of a new view.
constexpr int AxisColorTeal = 0x808000;
constexpr int AxisColorPurple = 0x800080;
constexpr int AxisColorNavy = 0x800000;
constexpr int ViewBackgroundWhite = 0xFFFFFF;

/// One entry of the view's objects list: object index = 4 x layer + kind.
struct TViewObject {
    int Layer = 0;
    view::TObjectKind Kind = view::ObjectPoints;
};

/// What the desktop program's view widget draws from, so that exports and tests see the
/// same state. RecreateView resets it.
struct TMapView {
    view::TCamera Camera;
    bool AxisVisible[3] = {true, true, true};
    int AxisColor[3] = {AxisColorTeal, AxisColorPurple, AxisColorNavy};
    int BackgroundColor = ViewBackgroundWhite;
    view::TToolMode ToolMode = view::TToolMode::Rotate;
    view::TMouseState Mouse;
    std::vector<TViewObject> Objects;
};

} // namespace orbelin::map

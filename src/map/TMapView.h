// The scene state of a map's 3D view as plain data: camera, axes, background, tool mode
// and the list of the layers' objects that the view draws.
#pragma once

#include "view/SceneObjects.h"
#include "view/TCamera.h"

#include <array>
#include <vector>

namespace orbelin::map {

/// The colours and axis switches of a view; colours are packed (red in the low byte).
struct TViewStyle {
    int BackgroundColor = 0xFFFFFF;                             ///< the usual window colour
    std::array<unsigned char, 3> AxisVisible{1, 1, 1};          ///< X, Y, Z
    std::array<int, 3> AxisColor{0x808000, 0x800080, 0x800000}; ///< teal, purple, navy
};

/// One entry of the view's objects list: object index = 4 x layer + kind.
struct TViewObject {
    int Layer = 0;
    view::TObjectKind Kind = view::ObjectPoints;
};

/// What the desktop program's view widget draws from, so that exports and tests see the
/// same state. RecreateView resets it.
struct TMapView {
    view::TCamera Camera;
    TViewStyle Style;
    view::TToolMode ToolMode = view::TToolMode::Rotate;
    view::TMouseState Mouse;
    std::vector<TViewObject> Objects;
};

} // namespace orbelin::map

// The look of a map's 3D view that is not data: background and coordinate axes.
#pragma once

#include <array>

namespace orbelin::view {

/// Colours are packed (red in the low byte). The axis colours are the text colours of the
/// main window's "Axis X", "Axis Y" and "Axis Z" switches: teal, purple and navy.
struct TSceneStyle {
    int BackgroundColor = 0xFFFFFF; ///< the window colour
    std::array<bool, 3> AxisVisible = {true, true, true};
    std::array<int, 3> AxisColor = {0x808000, 0x800080, 0x800000};
};

} // namespace orbelin::view

// The seven marker shapes of the 3D view and their copies turned to face the viewer.
#pragma once

#include "numeric/TArray.h"

#include <array>

namespace orbelin::view {

constexpr int MarkerShapeCount = 7;

/// Each shape is a loop of vertices of radius 0.01 in the z = 0 plane; vertex j of a
/// shape with angles a_j is (sin(a_j) / 100, cos(a_j) / 100, 0). Shape 0 is a square,
/// 1 a triangle, 2 a diamond, 3 to 6 regular 5-, 6-, 10- and 20-gons.
using TMarkerShapes = std::array<TArray2D, MarkerShapeCount>;

const TMarkerShapes& MarkerShapes();

/// The shapes turned against the view's rotation about X and Z, so markers face the
/// viewer. The border copy lies 0.001 in front of the fill copy.
struct TFacingShapes {
    TMarkerShapes Fill;
    TMarkerShapes Border;
};

TFacingShapes UpdateFacing(int rotX, int rotZ);

} // namespace orbelin::view

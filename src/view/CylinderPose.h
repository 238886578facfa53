// Where a cylinder of the 3D view stands: its length and the turn that carries the z axis,
// along which a quadric cylinder is built, onto the line between its two placed ends.
#pragma once

#include <array>

namespace orbelin::view {

/// Draw a cylinder by translating to its first end, rotating by Angle degrees about Axis
/// and building Length along z.
struct TCylinderPose {
    double Length = 0;
    double Angle = 0;                       ///< degrees
    std::array<double, 3> Axis = {0, 0, 1}; ///< never the zero vector
};

/// With dir the unit vector from start to end, the turn is acos(dir.z) about
/// (-dir.y, dir.x, 0). Where that axis vanishes (dir = +z or -z) the axis becomes x, so a
/// cylinder pointing down is turned over instead of degenerating; coinciding ends give
/// length 0 and no turn, and so do ends that are not finite.
TCylinderPose PoseCylinder(const std::array<double, 3>& start, const std::array<double, 3>& end);

} // namespace orbelin::view

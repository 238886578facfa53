// Length and rotation of a cylinder between two points.
#include "view/CylinderPose.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbelin::view {

TCylinderPose PoseCylinder(const std::array<double, 3>& start, const std::array<double, 3>& end)
{
    TCylinderPose pose;
    const double dx = end[0] - start[0], dy = end[1] - start[1], dz = end[2] - start[2];
    pose.Length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(pose.Length > 0) || !std::isfinite(pose.Length)) {
        pose.Length = 0;
        return pose;
    }
    const double ux = dx / pose.Length, uy = dy / pose.Length, uz = dz / pose.Length;
    pose.Angle = std::acos(std::clamp(uz, -1.0, 1.0)) * 180 / std::numbers::pi;
    // A nearly vertical axis is normalised by GL, which would divide by almost nothing.
    if (std::hypot(ux, uy) < 1e-12)
        pose.Axis = {1, 0, 0};
    else
        pose.Axis = {-uy, ux, 0};
    return pose;
}

} // namespace orbelin::view

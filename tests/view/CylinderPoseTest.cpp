// The turn that stands a cylinder between its two ends.
#include "view/CylinderPose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace orbelin::view {
namespace {

// Rodrigues' rotation of v about the unit axis k by the angle in degrees: an independent
// statement of what glRotated does to a vector.
std::array<double, 3> Rotate(const std::array<double, 3>& v, const std::array<double, 3>& axis, double degrees)
{
    const double n = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const std::array<double, 3> k = {axis[0] / n, axis[1] / n, axis[2] / n};
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const double dot = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
    const std::array<double, 3> cross = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2],
                                         k[0] * v[1] - k[1] * v[0]};
    std::array<double, 3> r;
    for (int i = 0; i < 3; ++i)
        r[i] = v[i] * c + cross[i] * s + k[i] * dot * (1 - c);
    return r;
}

TEST(CylinderPoseTest, TurnsTheZAxisOntoTheCylinder)
{
    struct TCase {
        const char* Name;
        std::array<double, 3> Start, End;
        double Length, Angle;
    };
    const TCase cases[] = {
        {"upright", {1, 2, 3}, {1, 2, 5}, 2, 0},
        {"pointing down", {0, 0, 1}, {0, 0, -2}, 3, 180},
        {"along x", {0, 0, 0}, {4, 0, 0}, 4, 90},
        {"slanted", {1, 1, 1}, {2, 3, 3}, 3, std::acos(2.0 / 3) * 180 / std::numbers::pi},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TCylinderPose pose = PoseCylinder(c.Start, c.End);
        EXPECT_NEAR(c.Length, pose.Length, 1e-12);
        EXPECT_NEAR(c.Angle, pose.Angle, 1e-9);
        const std::array<double, 3> tip = Rotate({0, 0, pose.Length}, pose.Axis, pose.Angle);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(c.End[i], c.Start[i] + tip[i], 1e-9);
    }
}

TEST(CylinderPoseTest, DegenerateEndsGiveNoLength)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& end : {std::array<double, 3>{1, 2, 3}, std::array<double, 3>{inf, 0, 0}}) {
        const TCylinderPose pose = PoseCylinder({1, 2, 3}, end);
        EXPECT_EQ(0, pose.Length);
        EXPECT_EQ(0, pose.Angle);
        EXPECT_NE(0, pose.Axis[0] * pose.Axis[0] + pose.Axis[1] * pose.Axis[1] + pose.Axis[2] * pose.Axis[2]);
    }
}

} // namespace
} // namespace orbelin::view

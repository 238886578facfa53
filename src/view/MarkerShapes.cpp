// Marker shape templates and their facing copies.
#include "view/MarkerShapes.h"

#include <cmath>
#include <numbers>

namespace orbelin::view {

const TMarkerShapes& MarkerShapes()
{
    static const TMarkerShapes shapes = [] {
        TMarkerShapes s;
        const double pi = std::numbers::pi;
        const int counts[MarkerShapeCount] = {4, 3, 4, 5, 6, 10, 20};
        for (int k = 0; k < MarkerShapeCount; ++k)
            for (int j = 0; j < counts[k]; ++j) {
                const double a = k == 0 ? pi / 4 + j * pi / 2 : 2 * pi * j / counts[k];
                s[static_cast<std::size_t>(k)].push_back({std::sin(a) / 100, std::cos(a) / 100, 0});
            }
        return s;
    }();
    return shapes;
}

TFacingShapes UpdateFacing(int rotX, int rotZ)
{
    // The view's own degree-to-radian factor, kept so facing shapes match the saved
    // pictures to the last digit.
    const double toRadians = 0.017453292385;
    const double cz = std::cos(rotZ * toRadians), sz = std::sin(rotZ * toRadians);
    const double cx = std::cos(rotX * toRadians), sx = std::sin(rotX * toRadians);
    const auto turn = [&](const TArray1D& v, double dz) {
        const double X = v[0], Y = v[1], Z = v[2] + dz;
        const double t = Y * cx + Z * sx, u = -Y * sx + Z * cx;
        return TArray1D{X * cz + t * sz, -X * sz + t * cz, u};
    };
    TFacingShapes facing;
    const TMarkerShapes& shapes = MarkerShapes();
    for (std::size_t k = 0; k < shapes.size(); ++k)
        for (const TArray1D& v : shapes[k]) {
            facing.Fill[k].push_back(turn(v, 0));
            facing.Border[k].push_back(turn(v, 0.001));
        }
    return facing;
}

} // namespace orbelin::view

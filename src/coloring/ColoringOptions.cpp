// The logarithmic scale and the inversion of coloring grey levels.
#include "coloring/ColoringOptions.h"

#include <cmath>

namespace orbelin::coloring {

void LogScaleValues(TArray1D& values)
{
    double lo = 1e100, hi = -1e100;
    for (const double v : values) {
        if (v < lo)
            lo = v;
        if (v > hi)
            hi = v;
    }
    if (!(hi > lo))
        return;
    const double decades = std::log(100.0);
    for (double& v : values) {
        const double t = (v - lo) / (hi - lo);
        if (t >= 0 && t <= 1)
            v = std::log1p(99 * t) / decades;
    }
}

void InvertGreys(TArray2D& rows)
{
    for (TArray1D& row : rows) {
        if (row.empty())
            continue;
        const double g = 1 - row[0];
        for (double& c : row)
            c = g;
    }
}

} // namespace orbelin::coloring

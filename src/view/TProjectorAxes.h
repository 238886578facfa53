// What a projection-pursuit result offers the views: a centre and data-space directions.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::view {

/// The axes of a projection-pursuit view. The analysis tool's projector derives from this
/// and fills both members; the views read nothing else of it. A centre shorter than the
/// directions counts 0 for the coordinates it lacks.
struct TProjectorAxes {
    virtual ~TProjectorAxes() = default;
    TArray1D Centre;     ///< subtracted from a vector before it is projected
    TArray2D Directions; ///< one data-space direction per row, the view's candidate axes
};

} // namespace orbelin::view

// The coloring panel's two switches that reshape the grey levels of the value colorings:
// a logarithmic scale and the inversion of light and dark.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::coloring {

/// "Logarithmic coloring": every value v becomes ln(1 + 99 t) / ln(100) with
/// t = (v - min) / (max - min) over the values that are numbers, so the grey levels follow
/// the logarithm of the value's height above the minimum over two decades, and the many
/// small values of a skewed field or density get distinct tints. The order of the values,
/// the smallest (0) and the largest (1) are kept. A uniform list, and values that are not
/// numbers, are left as they are.
void LogScaleValues(TArray1D& values);

/// "Color inversion ": every grey row's first component g becomes 1 - g on all three
/// components, so the smallest values are dark (red under the "Color" scheme) and the
/// largest light.
void InvertGreys(TArray2D& rows);

} // namespace orbelin::coloring

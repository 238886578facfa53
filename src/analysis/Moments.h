// The mean and the sum of squared deviations of a sample, the two passes the deviations of
// the analysis tools are made of.
#pragma once

#include "numeric/TArray.h"

#include <cstddef>

namespace orbelin::analysis {

struct TMoments {
    std::size_t Count = 0;
    double Mean = 0;    ///< 0 for no values
    double Squares = 0; ///< sum of (v - Mean)^2
};

inline TMoments Moments(const TArray1D& values)
{
    TMoments m;
    m.Count = values.size();
    if (m.Count == 0)
        return m;
    for (double v : values)
        m.Mean += v;
    m.Mean /= static_cast<double>(m.Count);
    for (double v : values)
        m.Squares += (v - m.Mean) * (v - m.Mean);
    return m;
}

} // namespace orbelin::analysis

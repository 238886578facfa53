// Deflation and the shared members of the projection-pursuit projectors.
#include "analysis/TProjectionPursuit.h"

#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {

double ScaleToUnit(TArray1D& w)
{
    const double length = std::sqrt(numeric::SqNorm(w));
    if (length > 0)
        for (double& x : w)
            x /= length;
    return length;
}

TArray1D TProjectionPursuit::ProjectPoint(const TArray1D& x) const
{
    (void)x;
    return {};
}

TArray1D TProjectionPursuit::BackProject(const TArray1D& c) const
{
    (void)c;
    return {};
}

void TProjectionPursuit::Deflate(TArray1D& w) const
{
    if (Vectors.empty())
        return;
    const TArray1D before = w;
    for (const TArray1D& v : Vectors) {
        const double along = numeric::VecDot(before, v);
        for (std::size_t i = 0; i < w.size() && i < v.size(); ++i)
            w[i] -= along * v[i];
    }
    // What is left of a vector in the span of the found ones is rounding noise: scaling it
    // up would make a direction of nothing.
    if (std::sqrt(numeric::SqNorm(w)) <= 1e-12 * std::sqrt(numeric::SqNorm(before))) {
        std::fill(w.begin(), w.end(), 0.0);
        return;
    }
    ScaleToUnit(w);
}

void TProjectionPursuit::AddVector(const TArray1D& v)
{
    Vectors.push_back(v);
}

int TProjectionPursuit::SampleCount() const
{
    const auto n = static_cast<double>(Samples.size());
    if (Samples.empty() || SampleSize <= 0)
        return 0;
    const auto m = static_cast<int>(std::nearbyint(n * SampleSize / 100));
    return std::max(m, 1);
}

int TProjectionPursuit::Dimension() const
{
    return Samples.empty() ? static_cast<int>(ScaledComponents.size()) : static_cast<int>(Samples.front().size());
}

} // namespace orbelin::analysis

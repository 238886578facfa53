// Element-wise and reducing vector routines with the system's missing-value rules.
#pragma once

#include "numeric/TArray.h"

#include <span>

namespace orbelin::numeric {

using TVecView = std::span<const double>;

/// Sum of the present entries; 0 for an empty or all-missing vector.
double VecSum(TVecView a);
/// Largest present entry, or -1e100 when there is none.
double VecMax(TVecView a);
/// Smallest present entry, or 1e100 when there is none.
double VecMin(TVecView a);
/// Sum of the present entries divided by the full length (missing entries count in the
/// divisor). An empty vector gives 0.
double VecMean(TVecView a);

/// Sum of (a[i]-b[i])^2 over coordinates where both are present.
double SqEuclideanDistance(TVecView a, TVecView b);
/// Sum of |a[i]-b[i]| over coordinates where both are present.
double CityBlockDistance(TVecView a, TVecView b);
/// kind 0: SqEuclideanDistance, kind 1: CityBlockDistance.
double Distance(TVecView a, TVecView b, int kind);

/// a-b; an entry is missing when either operand is.
TArray1D VecSub(TVecView a, TVecView b);
/// a+b; an entry is missing when either operand is.
TArray1D VecAdd(TVecView a, TVecView b);
/// a*x; an entry is missing when a[i] is.
TArray1D VecScale(TVecView a, double x);

/// Sum of a[i]*b[i] over coordinates where both are present.
double VecDot(TVecView a, TVecView b);
/// Sum of a[i]*b[i] over coordinates where a[i], b[i] and mask[i] are present.
double MaskedDot(TVecView a, TVecView b, TVecView mask);
/// Sum of the squares of the present entries.
double SqNorm(TVecView a);
/// Sum of a[i]^2 over coordinates where a[i] and mask[i] are present.
double MaskedSqNorm(TVecView a, TVecView mask);
bool HasMissing(TVecView a);

/// Pearson correlation, Sxy / sqrt(Sxx*Syy); 0 when either variance is exactly 0.
/// Callers pass complete vectors.
double Correlation(TVecView a, TVecView b);
/// 1 - Correlation(a, b).
double CorrelationDistance(TVecView a, TVecView b);

/// Entries (r-500)/500 for fresh draws r in 0..999, scaled to unit length. A draw of all
/// 500s (probability 1000^-n) is drawn again.
TArray1D RandomUnitVector(int n);
/// Entry i is lo[i] + (hi[i]-lo[i])*r/1000 for a fresh draw r in 0..999.
TArray1D RandomPointInBox(TVecView lo, TVecView hi);

} // namespace orbelin::numeric

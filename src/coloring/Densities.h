// Gaussian kernel densities of data points at the vertices of a coloring surface, and
// the grey levels of a value list.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::coloring {

/// e^x for x <= 0, as the density kernels evaluate it: 2^k e^r with k = round(x / ln 2)
/// and e^r by its Taylor polynomial of degree 13 (|r| <= ln 2 / 2, truncation below
/// 5e-18), within a few units in the last place of std::exp. Arguments below -708, whose
/// e^x is under 3.3e-308, give 0. Written so that the compiler evaluates several at once.
double KernelExp(double x);

/// Density of the projections (rows whose first two entries are internal x and y) at
/// every vertex's internal (x, y), with r the radius and N the projection count:
/// D = sum over j of exp(-((x - p_j)^2 + (y - q_j)^2) / r^2) / (pi N r^2). No projections
/// give 0 everywhere.
///
/// Costs vertices x points; vertices at the same position are computed once, and blocks
/// of positions run in parallel, each position summing its terms (KernelExp, with 1 / r^2
/// as a factor) point by point in order, so the result does not depend on the number of
/// threads or the width of the processor's vector unit. Positions that fill most of a
/// lattice (distinct x times distinct y at most four times their number, as a refined
/// rectangular map gives) take each term as the product of its x and its y factor, summed
/// in chunks of points: a product of two tables, within a few units in the last place of
/// every term.
TArray1D GaussianDensity2D(const TArray2D& projections, const TArray2D& vertices, double radius);

/// Density of the points (rows of d coordinates) at every data-space vertex, with
/// h = radius * (d - 1) (radius itself when d is 1, where d - 1 would give no width):
/// D = sum over j of exp(-S_j) / (pi N h^2), S_j = sum over k of ((x_jk - v_k) / h)^2.
/// A coordinate missing in the point or the vertex is left out of S_j, as every other
/// distance leaves it out. No points give 0 everywhere. Parallel like GaussianDensity2D.
TArray1D GaussianDensityND(const TArray2D& points, const TArray2D& vertices, double radius);

/// One grey row (g, g, g) per value, g = 1 - (D - min) / (max - min) over the values
/// (the largest value black, the smallest white), not rounded. When max equals min, or for
/// a value that is not a number, g is the middle grey 0.5.
TArray2D NormalizeToGray(const TArray1D& values);

/// One grey row per value by the rounded rule of the field, component and regression
/// colorings: g = (255 - nearest(255 (v - min) / (max - min))) / 255, max and min over the
/// values that are numbers (missing values do not take part). A uniform value list, and a
/// value that is not a number, get the middle grey 0.5.
TArray2D RoundedGrayLevels(const TArray1D& values);

} // namespace orbelin::coloring

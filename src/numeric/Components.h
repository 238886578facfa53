// Principal components fitted directly to data with missing values, by alternating least
// squares and deflation, and the projections and variance shares built on them.
#pragma once

#include "numeric/TArray.h"

#include <span>

namespace orbelin::numeric {

/// One alternating-least-squares step for the line X[p][j] ~ c[j] + v[j] t[p].
/// Scores: t[p] = sum over the present X[p][j] of (X[p][j] - c[j]) v[j], divided by
/// sum_j v[j]^2. Then every coordinate is refitted by weighted least squares, with
/// u = w[p] when w has one entry per point and 1 otherwise: S_tt, S_t, S_1 run over all
/// points, S_xt = sum u X t and S_x = sum u X over the points where X[p][j] is present;
/// F = S_tt S_1 - S_t^2, v[j] = (S_1 S_xt - S_t S_x)/F, c[j] = (S_tt S_x - S_t S_xt)/F.
///
/// Guards: a zero v gives every score 0; F = 0 (all scores equal: one point, identical
/// points, no weight, or v orthogonal to every difference of points) leaves v and c
/// unchanged and returns false. A coordinate beyond the end of a row counts as missing.
/// The sums run over fixed blocks of points merged in block order, so the result does not
/// depend on the thread count.
bool ComponentStep(const TArray2D& x, TArray1D& v, TArray1D& c, const TArray1D& w);

/// Iterates ComponentStep from the given v and c while the relative changes
/// |v - v_before|^2/|v|^2 + |c - c_before|^2/|c|^2 exceed NumericTolerance, for at most
/// 101 steps. A zero |v|^2 or |c|^2 makes its change absolute instead of relative, so a
/// centre at the origin does not end the iteration early. When the first steps find all
/// scores equal, the iteration starts again along e_0, e_1, ... in turn; when none of
/// them shows any spread, v keeps its start direction. v is returned with unit length
/// (unchanged when it is zero) and a non-negative first entry; c is the fitted centre.
/// Returns the number of steps taken.
int FirstComponent(const TArray2D& x, TArray1D& v, TArray1D& c, const TArray1D& w);

/// What PrincipalComponents returns.
struct TPrincipalComponents {
    TArray2D Components; ///< D x D, one component per row in extraction order
    TArray1D Centre;     ///< D; missing where a coordinate is missing in any point
    int Count = 0;       ///< components fitted; -1 when the dialog was cancelled
};

/// The first k principal components of x (rows beyond k are the unit vectors e_i). k > D
/// fits D; any other negative k than -1 fits none. With k = -1 the user chooses the number
/// in the principal-components dialog (UserInterface()); a cancelled dialog fits nothing
/// and gives Count -1 with zero components and centre. Each component starts from
/// RandomUnitVector(D) and the centre of the previous one; after each, the working copy is
/// deflated by the scores of the input rows. Pending user-interface events are let through
/// before every component. The centre is the (weighted) mean of the input rows.
TPrincipalComponents PrincipalComponents(const TArray2D& x, const TArray1D& w, int k);

/// Coordinates (n x 3) of every point on components k1, k2, k3. For each point, b_a is
/// the dot product of (x - centre) with component a and G is the Gram matrix of the three
/// components over the point's present coordinates; t solves G t = b by Cramer's rule,
/// or t_a = b_a/G_aa when |det G| <= 1e-8 or independent is set. A zero G_aa gives 0; a
/// component index outside the matrix stands for a zero component.
TArray2D ProjectOnComponents(const TArray2D& x, const TArray1D& centre, const TArray2D& components, int k1, int k2,
                             int k3, bool independent);

/// The three coordinates of one point, each an independent projection
/// t_a = VecDot(x - centre, C_a) / MaskedSqNorm(C_a, x) (0 when the denominator is 0).
TArray1D ProjectPointOnComponents(std::span<const double> x, const TArray1D& centre, const TArray2D& components, int k1,
                                  int k2, int k3);

/// Fits components to x one after another, overwriting its rows by the residuals, until
/// they explain the fraction of the total variance T (mean squared distance of the rows
/// from their per-coordinate means over present values). Returns the number fitted. Stops
/// after D components whatever the fraction (a fraction of 1 or more is never reached);
/// with T = 0 (no spread, no points) nothing is fitted and the result is 0.
int ComponentsForFraction(TArray2D& x, const TArray1D& w, double fraction);

/// Fits exactly k components to x as ComponentsForFraction does and returns the fraction
/// of T they explain; 0, with nothing fitted, when T = 0.
double ExplainedFraction(TArray2D& x, int k, const TArray1D& w);

} // namespace orbelin::numeric

// The linear decision rule fitted by a perceptron from the plane between two class
// means: the routine shared by the discriminant page and the linear separation machine.
#pragma once

#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

#include <string>
#include <vector>

namespace orbelin::analysis {

/// Score of a rule on one input row: w[0] + sum_j w[j + 1] x[j], the coordinates that are
/// missing (or beyond the row) left out.
double LinearScore(const TArray1D& w, numeric::TVecView x);

/// A linear function of a dataset's coordinates as the "LDA" and "LR" pages keep it: the
/// constant, then one coefficient per coordinate. Its value on x is missing when a
/// coordinate with a non-zero coefficient is missing.
double FunctionValue(const TArray1D& c, numeric::TVecView x);

/// The items of a "Separating function" or "Function arguments" list: each used field as
/// its name, " (", its coefficient as 8:6 and ")", the others by name only, then
/// "A0 (" and the constant as 8:6 and ")".
TArray1S FunctionItems(const TArray1S& fields, const TArray1D& c, const std::vector<bool>& used);

/// part / whole * 100 as W:P, or "-" when whole is 0.
std::string PercentText(double part, double whole, int width, int decimals);

/// The four counts and the margin of a rule on labelled rows: a score above 0 is a
/// positive answer, below 0 a negative one; a score of exactly 0 is counted in no cell.
/// The margin sums |score| over the correctly answered rows.
struct TRuleCounts {
    int TP = 0, TN = 0, FP = 0, FN = 0;
    double Margin = 0;
};
TRuleCounts CountRule(const TArray1D& w, const TArray2D& x, const TArray1I& labels);

/// What FitLinearRule returns: the constant, then one coefficient per input column, with
/// unit length over all of them, and its counts.
struct TLinearRuleFit : TRuleCounts {
    TArray1D Coefficients;
};

/// FitLinearRule(X, labels, iterations): labels 1 (the class) and 0 (the rest), one row
/// of X per point. Starts from the plane through the midpoint of the two class means,
/// normal to their difference; then, iterations times, adds (n - 1) / 10 times the sum of
/// the wrongly placed rows (signed by label, with a leading 1 for the constant), keeping
/// the coefficients with the best TP / t + TN / u (t and u the class sizes), the larger
/// margin deciding between equal ones; it stops early once nothing is wrongly placed.
/// The kept coefficients are scaled to unit length and counted again.
///
/// Missing coordinates add nothing to a score, a mean or a correction, so a point with
/// gaps still takes part with its present coordinates. A class without points drops its
/// term from the criterion (its mean is zero). With zero iterations the result is the
/// start plane; coefficients that are all zero stay so.
TLinearRuleFit FitLinearRule(const TArray2D& x, const TArray1I& labels, int iterations);

} // namespace orbelin::analysis

// The "LR" page of the object analysis tool: a numeric table field fitted by least squares
// as a linear function of dataset coordinates, and the report of its large errors.
#pragma once

#include "analysis/LinearRule.h"
#include "numeric/TArray.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

struct TLrSettings {
    int TargetField = -1;        ///< "Calculate field": a table field
    std::vector<bool> UseFields; ///< "Function arguments": one per coordinate (all when shorter)
};

struct TLrResult {
    TArray1D Coefficients;       ///< the constant, then one per coordinate (0 when not an argument)
    TArray1D Targets;            ///< the target of each point in table units; missing for an empty cell
    std::vector<bool> UseFields; ///< the arguments used: the target's namesake is unchecked
    double Threshold = 0;        ///< "For quality": the sample deviation of the targets / 5
    int FittedPoints = 0;        ///< points with a target and every argument
    TArray1S Items;              ///< the "Function arguments" list after the fit
    std::string Message;         ///< why nothing was fitted, or empty
};

/// "Analyze": fits the target on the arguments over the points that have both (normal
/// equations solved by Gauss-Seidel sweeps) and makes it the dataset's RegressionFunction.
/// Arguments that are linearly dependent over those points (two identical fields, fewer
/// points than coefficients) would leave the solution undetermined: nothing is fitted and
/// Message says so. Raises TError "'TEXT' is not a valid floating point value" for a target
/// cell that is not a number.
TLrResult AnalyzeLr(data::TData& data, const TLrSettings& settings);

/// The quality report for a threshold.
struct TLrQuality {
    TArray1D Values;           ///< f(x) per point (missing where a used coordinate is)
    double Amplitude = 0;      ///< max(y) - min(y) over the points with a target
    int Errors = 0;            ///< points whose |y - f(x)| is above the threshold
    std::string AmplitudeText; ///< threshold / amplitude * 100 as 4:2 and " % from ampl."
    std::string ErrorsText;    ///< "number of errors = ", e, " (", e / N * 100 as 6:4, " %)"
};
TLrQuality LrQuality(const data::TData& data, const TArray1D& coefficients, const TArray1D& targets, double threshold);

/// Marks every point in its own colour; a point whose error is above the threshold grows by
/// round(50 |y - f(x)| / amplitude).
void MarkLrQuality(data::TData& data, const TLrQuality& quality, const TArray1D& targets, double threshold);

/// "Values in table": the "ЛР" column with f(x) of every point as 8:6.
void LrInTable(data::TData& data, const TArray1D& coefficients);

} // namespace orbelin::analysis

// The "LDA" page of the object analysis tool: one class colour separated from the other
// points by a linear function of chosen coordinates.
#pragma once

#include "analysis/LinearRule.h"
#include "numeric/TArray.h"

#include <array>
#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

struct TLdaSettings {
    int ClassColor = -1;         ///< "Separate class with color"
    std::vector<bool> UseFields; ///< "Separating function": one per coordinate (all when shorter)
    int Iterations = 100;        ///< "Iteration number"
    double Step = 1;             ///< "Step": kept with the settings; the fit does not use it
};

struct TLdaResult {
    TArray1D Coefficients;            ///< the constant, then one per coordinate (0 when not used)
    TRuleCounts Counts;               ///< of the fit
    std::array<std::string, 3> Lines; ///< "Overall ...", "Error 1 type ...", "Error 2 type ..."
    TArray1S Items;                   ///< the "Separating function" list after the fit
    std::string Message;              ///< why nothing was fitted, or empty
};

/// 1 for every point whose record has the colour, else 0.
TArray1I ClassLabels(const data::TData& data, int color);

/// "Analyze": fits the rule on the used coordinates, makes it the dataset's
/// SeparatingFunction and marks the points by it (MarkByFunction). Without the class
/// colour, with no point in the class or every point in it, or without a used field,
/// nothing changes and Message says why.
TLdaResult AnalyzeLda(data::TData& data, const TLdaSettings& settings);

/// The three lines of "Analyze": errors among the true classes.
std::array<std::string, 3> FitLines(const TRuleCounts& c);

/// "Test": counts every point by the function (a score of 0 or below is a negative
/// answer; a point whose score is missing is not counted) and marks the points.
struct TLdaTest {
    TRuleCounts Counts;
    std::array<std::string, 3> Lines; ///< errors among the answers
};
TLdaTest TestLda(data::TData& data, const TArray1D& coefficients, int color);
std::array<std::string, 3> TestLines(const TRuleCounts& c);

/// The marking of both commands: a positive score gives the class colour, any other
/// black; a point on the wrong side grows by round(10 |s|). A point without a score keeps
/// its own colour and size.
void MarkByFunction(data::TData& data, const TArray1D& coefficients, const TArray1I& labels, int color);

/// FunctionValue of every point.
TArray1D FunctionScores(const data::TData& data, const TArray1D& coefficients);

/// "Values in table": the "LDA" column with every point's score as 8:6.
void LdaInTable(data::TData& data, const TArray1D& coefficients);

} // namespace orbelin::analysis

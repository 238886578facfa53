// Point weights of a dataset: read from a table field, balanced by class, restricted to one
// class or set by the distance from the data centre; and what the weights tool does with
// them (clearing, the table column, the principal components).
#pragma once

#include "numeric/TArray.h"

#include <optional>
#include <string>

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::analysis {

/// The class of each point: the fill colour (FILLCOLOR) of its table record. Raises TError
/// when the dataset has no table or a point refers to a record the table does not have.
TArray1I PointClasses(const data::TData& dataset);

/// "Class proportional ": with n_k points in class k and M the largest n_k, every point of
/// class k weighs M / n_k (the largest class weighs 1), one weight per point in point
/// order. Raises TError as PointClasses does.
TArray1D ClassProportionalWeights(const data::TData& dataset);

/// Where "Assign" takes the weights from.
enum class TWeightSource : int { Automatic, TableField };
/// The automatic rules, in list order; "Density proportional" is offered by no window and
/// assigns nothing.
enum class TWeightRule : int { ClassProportional, RadialCenter, OnlyOneClass, DensityProportional };
/// The radial functions of the distance R from the centre: "R^A", "Exp(R*A)", "Exp(R*R*A)".
enum class TRadialFunction : int { Power, Exp, ExpSquare };

/// The weights window's choices.
struct TWeightSettings {
    TWeightSource Source = TWeightSource::Automatic;
    std::string FieldName; ///< the table field of TableField (the last field of that name)
    TWeightRule Rule = TWeightRule::ClassProportional;
    std::optional<int> ClassColor; ///< "Only one class": the chosen packed colour, if any
    TRadialFunction Function = TRadialFunction::Power;
    double A = 2;            ///< "A = "
    bool CalcAverage = true; ///< the centre is the mean of the points, else the origin
};

/// What Assign did, for the window's status line.
struct TWeightAssignment {
    bool FieldFound = true;  ///< TableField: false when no field has that name
    bool MapFlagged = false; ///< the map's UseWeights was set
};

/// The weight of a point at distance r from the centre: r^a, exp(r a) or exp(r^2 a).
double RadialWeight(TRadialFunction function, double r, double a);

/// "Assign": PointWeights is sized to the points (weights already there keep their values,
/// new ones start at 0), the map's UseWeights is set (map may be null: the weights are
/// assigned all the same, for k-means, the components and the time-series tool), then the
/// source and rule fill them:
/// - table field: each point's number in the field, in point order; an empty or
///   non-numeric cell raises TError "'TEXT' is not a valid floating point value" and the
///   weights assigned before it stay; a field name that is not found changes nothing;
/// - class proportional: ClassProportionalWeights;
/// - only one class: 0 for every point, 1 for the points whose record has the colour;
/// - radial: R is the Euclidean distance from the centre over the coordinates present in
///   both (the centre is the plain mean of all points, missing where any point misses the
///   coordinate, or the origin without CalcAverage). A weight that comes out infinite or
///   not a number (0^A with A < 0, an exponent that overflows) would make every weighted
///   sum meaningless: TError names the first such point and no weight changes.
/// Raises TError when the dataset has no table (field and class rules).
TWeightAssignment AssignWeights(data::TData& dataset, map::TMap* map, const TWeightSettings& settings);

/// Why the dataset's weights cannot weigh a fit (one weight per point, but one of them not
/// finite or negative, or all of them 0), or empty when they can or when the points carry
/// no weights. The fits divide by the weights' sum and would give no numbers at all.
std::string WeightsProblem(const data::TData& dataset);

/// "Clear": the map's UseWeights is cleared (map may be null), PointWeights emptied, and
/// what the clustering's "Cancel" clears of the dataset: the point selection and the
/// cluster links.
void ClearWeights(data::TData& dataset, map::TMap* map);

/// The "Weights" column: each weight as FixedText(w, 5, 3), one per point; empty cells
/// for points without a weight.
TArray1S WeightTexts(const data::TData& dataset);
/// "To table": the "Weights" result column, replacing an earlier one of that name.
void WeightsToTable(data::TData& dataset);

/// "Recalc PC": the map's components and centre from the dataset's points and weights
/// (three components fitted); a centre coordinate that a missing value leaves without a
/// mean takes the mean of the present values. Then the map's views are rebuilt. Raises
/// TError with WeightsProblem, the map unchanged.
void RecalcWeightedComponents(map::TMap& map);

} // namespace orbelin::analysis

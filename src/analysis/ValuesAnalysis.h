// The "Values analysis" page of the object analysis tool: one quantity per point shown as
// the point's size.
#pragma once

#include "numeric/Missing.h"
#include "numeric/TArray.h"

#include <array>
#include <string>

namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data
namespace orbelin::map {
class TNetGrid;
}

namespace orbelin::analysis {

enum class TValueQuantity : int { NodeDistance, ProjectionDistance, Unstability, FieldValue, Weight };
/// "Distance from node", "Distance from proj.", "Projection unstability", "Field value", "Weight".
const std::array<std::string, 5>& ValueQuantityNames();

struct TValueSettings {
    TValueQuantity Quantity = TValueQuantity::NodeDistance;
    int Field = -1;   ///< the table field of "Field value"
    int MinSize = 5;  ///< "Minimal size", 1 to 100
    int MaxSize = 20; ///< "Maximal size", 1 to 100
};

/// The values, their range and the sizes they map to: size = round(A v + B).
struct TValueAnalysis {
    TValueQuantity Quantity = TValueQuantity::NodeDistance;
    TArray1D Values;                ///< one per point; missing where there is no value
    double Lo = 1e100, Hi = -1e100; ///< VecMin and VecMax: 1e100 and -1e100 without values
    double Mean = 0;                ///< VecMean: the present values' sum over all points
    double A = 0, B = 0;
    TArray1I Sizes;      ///< one per point; a point without a value keeps its record's radius
    std::string Message; ///< why nothing was computed, or empty

    /// lo, hi and mean as 6:4 (empty without values).
    std::string LoText() const;
    std::string HiText() const;
    std::string MeanText() const;
};

/// "Analyze" without the marking. The three map quantities need grid (the current map's),
/// of the dataset's dimension; without it Message says so. "Projection unstability" is the
/// squared distance in internal coordinates (the lattice ones for layered grids) between
/// the nearest and the second-nearest node. Raises TError "'TEXT' is not a valid floating
/// point value" for a "Field value" cell that is not a number.
TValueAnalysis AnalyzeValues(const data::TData& data, const map::TNetGrid* grid, const TValueSettings& settings);

/// Clears the point selection and adds every point in its record's colour with its size.
void MarkValues(data::TData& data, const TValueAnalysis& analysis);

/// "Values in table": "MSE", "MSPE" or "ProjUnst" for the distance quantities, an unnamed
/// column otherwise, the values as 6:4 (empty where missing).
void ValuesInTable(data::TData& data, const TValueAnalysis& analysis);

/// The numeric fields of the table (what "Field value" and "Calculate field" offer).
TArray1I NumericFields(const data::TDataTable& table);

/// The table cell of a point's record as a number: missing for an empty cell; raises
/// TError for a cell that is not a number.
double PointFieldValue(const data::TData& data, int point, int field);

} // namespace orbelin::analysis

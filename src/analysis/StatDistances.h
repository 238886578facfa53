// Distances between points and between additional objects for the statistics tool: the
// three distance types, the "Distances" page, the objects' distances and "Compare".
#pragma once

#include "analysis/StatGrid.h"
#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

/// The items of "Distance type" and "Second distance".
enum class TStatDistance : int { Euclidean = 0, L1 = 1, OneMinusR = 2 };

/// "Euclidean", "L1", "1-r".
const std::array<std::string, 3>& StatDistanceNames();

/// "Euclidean": the root of the sum of squared differences over the coordinates present
/// in both; "L1": the sum of absolute differences over them; "1-r": 1 - Correlation of the
/// two vectors taken as samples, exactly 1 when either has a missing coordinate or no
/// spread.
double StatDistance(numeric::TVecView a, numeric::TVecView b, TStatDistance kind);

/// Most points the "Distances" page tabulates: the table is held in memory.
constexpr int MaxDistanceTablePoints = 6000;

/// The "Distances" page: the distances between all points, held once per pair, and the
/// grid texts made from them on demand (the grid of many points is too large to hold as
/// texts). Row 0 and column 0 show the points' table records counted from 1; the cell in
/// column i + 1, row j + 1 the distance of points i and j as 8:6.
class TDistanceTable {
public:
    TDistanceTable() = default;
    /// records: the table record of each point; lower: for each point i in turn its
    /// distances to points 0..i.
    TDistanceTable(TArray1I records, std::vector<double> lower) : Records_(std::move(records)), Lower_(std::move(lower))
    {
    }

    int PointCount() const { return static_cast<int>(Records_.size()); }
    /// The distance of points i and j.
    double Value(int i, int j) const;
    int RowCount() const { return PointCount() + 1; }
    int ColumnCount() const { return PointCount() + 1; }
    std::string Text(int row, int column) const;
    /// Every cell as text.
    TArray2S Cells() const;

private:
    TArray1I Records_;
    std::vector<double> Lower_; ///< row i holds the distances to points 0..i
};

struct TDistanceResult {
    TDistanceTable Table;
    bool Cancelled = false;
    std::string Message; ///< why nothing was computed, or empty
};

/// CalcDist over the dataset's points. More than MaxDistanceTablePoints points give a
/// message and no table; progress may cancel.
TDistanceResult CalcDist(const data::TData& data, TStatDistance kind, const TProgress& progress = {});

/// The distances between the dataset's additional objects ("Objects" of the "Distances"
/// page): for every pair a < b of spheres, the distance of their centres, normalised like
/// the dataset's coordinates; missing for other pairs.
struct TObjectDistances {
    TArray1S Names;
    TArray1I Colors; ///< packed colour of each object, for the header cells
    TArray2D Values; ///< [b][a] for a < b
    TStatGrid Grid;  ///< names in row 0 and column 0; the distance of a < b in column a + 1, row b + 1, as 8:6
};
TObjectDistances CalcObjectDistances(const data::TData& data, TStatDistance kind);

/// "Compare": the distances of every pair of points i < j by two types, their
/// correlation, and the file of the pairs.
struct TCompareResult {
    double Correlation = 0;
    long long Pairs = 0;
    bool Cancelled = false;
    std::string Text; ///< "Corr.coeff = " and the correlation as 5:3
};

/// Writes one line per pair, in order, to distPath: the first distance, a blank, the
/// second, each as SciText(x, 23). The correlation is that of Correlation over the two
/// lists; they are computed twice instead of held, so any number of points fits. The file
/// is replaced only when complete; a cancel leaves it as it was. Raises TError when the
/// file cannot be written.
TCompareResult CompareDistances(const TArray2D& points, TStatDistance first, TStatDistance second,
                                const std::string& distPath, const TProgress& progress = {});

} // namespace orbelin::analysis

// The dataset pages of the statistics tool: per-field summaries ("Common"), correlations
// of the complete points and the shares of spread along the principal components ("PCA").
#pragma once

#include "analysis/StatGrid.h"
#include "numeric/Missing.h"
#include "numeric/TArray.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

/// One field of the "Common" page, over the points where the coordinate is present.
/// Without any present value (Count 0) the numbers are missing and the points -1.
struct TFieldSummary {
    std::string Name;
    int Count = 0;
    double Min = Missing(), Max = Missing(), Mean = Missing();
    double Sd = Missing(); ///< population deviation, divided by Count
    int MinPoint = -1, MaxPoint = -1;
    int MeanPoint = -1; ///< the point nearest to the mean
    int WithinSd = 0;   ///< values strictly closer to the mean than Sd
    double RealMin = Missing(), RealMax = Missing(), RealMean = Missing(); ///< in table units
};

/// The "Common" page. Points are dataset positions; the grid shows their table records.
struct TCommonStatistics {
    std::vector<TFieldSummary> Fields;
    TArray1D Mean;             ///< the field means (missing for fields without values)
    double Spread = Missing(); ///< S, the root mean squared distance to Mean; missing without points
    int NearestPoint = -1;     ///< the point nearest to Mean
    int WithinSpread = 0;      ///< points whose squared distance to Mean is below S^2
    TStatGrid Grid;
};

/// CalcCommon: the grid has the header row ("N", "Field", "Min", "Max", "Mean",
/// "Stand.dev.", "Real mean", "Real min", "Real max"), the whole-dataset row and one row
/// per field. Minimum, maximum and nearest points keep the earliest point on ties. Cells
/// of a field without values, and the whole-dataset cells of a dataset without points,
/// are empty.
TCommonStatistics CalcCommon(const data::TData& data);

/// The "Correlations" page over the points without any missing coordinate.
struct TCorrelations {
    TArray1S Fields;
    TArray2D R; ///< [d][d] r for i < j; missing elsewhere and where a field has no spread
    int CompletePoints = 0;
    TStatGrid Grid; ///< names in row 0 and column 0, r as 8:6 above the diagonal
};

/// CalcCorr. A field with no spread among the complete points, and every pair when there
/// is no complete point, leaves its cells empty. Text colours by |r|: below 0.2 grey,
/// above 0.4 green, above 0.6 blue, above 0.8 red.
TCorrelations CalcCorr(const data::TData& data);

/// The "PCA" page.
struct TComponentStatistics {
    int Count = 0;             ///< components fitted; -1 when the components dialog was cancelled
    TArray2D Components;       ///< [Count][d] unit vectors in the order fitted
    TArray1D Fractions;        ///< (sd of the projections / S)^2 per component; missing when S is 0
    TArray1D Cumulative;       ///< running sums of Fractions
    TArray1I Rank;             ///< [d] "No": place of each field by |first component|, from 1
    double Spread = Missing(); ///< S of the "Common" page
    TStatGrid Grid;
};

/// CalcMGK: components of the points with the dataset's weights; components -1 lets the
/// user choose their number in the components dialog. Each unit component takes the
/// projections of the points' residuals, which then lose that component. The random
/// generator is seeded with seed, or from the clock when there is none. A cancelled
/// dialog gives Count -1 and a grid of the first two columns only.
TComponentStatistics CalcMGK(const data::TData& data, int components, std::optional<std::uint64_t> seed = {});

} // namespace orbelin::analysis

// Dataset creation from a table and the normalisation of its coordinates.
#pragma once

#include "data/TData.h"

#include <vector>

namespace orbelin::data {

/// What BuildFromTable did. A value of a used field that is not a number does not stop
/// the build: the cell becomes a missing coordinate (and, with ExcludeGaps, its record is
/// left out like any record with a gap), and it is counted here so that the caller can
/// tell the user.
struct TBuildResult {
    bool Built = false;          ///< false: the table has no records or no field is used
    int UnparsedCells = 0;       ///< values of used fields that did not parse as numbers
    int FirstUnparsedRecord = -1; ///< table record of the first such value, -1 if none
    int FirstUnparsedField = -1;  ///< table field of the first such value, -1 if none
};

/// Fills data from data.Table with one choice per table field (fields beyond the end of
/// choices are not used) and data.ExcludeGaps. Only selected records become points; an
/// empty value becomes a missing coordinate, or leaves its record out with ExcludeGaps.
/// Clears the point selection, result columns and weights, which belong to the old points.
TBuildResult BuildFromTable(TData& data, const std::vector<TFieldChoice>& choices);

/// Applies each coordinate's chain (logarithm, deviation, tangent, range, in this order)
/// to Points and records NormStat. Mean and Std divide by PointCount, missing values
/// included in the count.
void Normalise(TData& data);

/// Coordinate k's forward chain with the stored NormStat. A missing x stays missing; so
/// does a value the logarithm step has no result for (1 or more below RawMin).
double NormaliseValue(const TData& data, int k, double x);
/// The inverse of NormaliseValue; a missing x passes through.
double DenormaliseValue(const TData& data, int k, double x);

/// "Scale dataset": Points and Scale times 2 (missing values stay missing).
void ScaleDataset(TData& data);
/// "Unscale dataset": Points and Scale divided by 2.
void UnscaleDataset(TData& data);

} // namespace orbelin::data

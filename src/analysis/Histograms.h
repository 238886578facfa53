// Histograms of a table's numeric fields, unified and per class colour, and the lookups
// and stable ordering the statistics and annotation tools build on.
#pragma once

#include "data/TDataTable.h"
#include "numeric/TArray.h"

#include <string>

namespace orbelin::analysis {

/// The histograms of every table field. A class is a distinct fill colour of the table's
/// records (PointStyle FILLCOLOR), numbered in order of first appearance over the records.
struct TFieldHistograms {
    TArray1D Lo;          ///< [F] smallest parsed value, 1e100 when none
    TArray1D Hi;          ///< [F] largest parsed value, -1e100 when none
    TArray1D Width;       ///< [F] bar width (Hi - Lo) / B; 0 when nothing was counted
    TArray2D Unified;     ///< [F][B] counts over all records
    TArray3D Classes;     ///< [F][B][K] counts per class
    TArray1I ClassColors; ///< [K] the class colours
};

/// The distinct fill colours of the records, in order of first appearance.
TArray1I ClassColorList(const data::TDataTable& table);

/// A cell as a number: blanks trimmed, "." as the decimal separator. False for a cell that
/// is empty after trimming; TError "'TEXT' is not a valid floating point value" for any
/// other text that is not a number.
bool ParseCell(const std::string& cell, double& value);

/// Fills Lo, Hi, Width and Unified with bars bins per field (bars is held within 1..100).
/// Every numeric field's non-empty cells widen [Lo, Hi]; value v lands in bin
/// trunc((v - Lo) / Width), the largest value in the last bin. A field of equal values,
/// or with no value at all, has Width 0 and counts nothing. Raises TError for a cell that
/// is not a number; the histograms are then left as they were.
void BuildUnifiedHistograms(const data::TDataTable& table, int bars, TFieldHistograms& histograms);
/// The same per class: fills Lo, Hi, Width, Classes and ClassColors.
void BuildClassHistograms(const data::TDataTable& table, int bars, TFieldHistograms& histograms);

/// The bin value v falls into, by the binning rule, held within the field's bins (a value
/// outside [Lo, Hi] lands in the first or last bin); -1 when the field has Width 0 or no
/// bins.
int HistogramBin(const TFieldHistograms& histograms, int field, double value, int binCount);

/// Unified[field][bin of v]; 1 when the field has Width 0 or lies outside the histograms.
double BinCount(const TFieldHistograms& histograms, int field, double value);
/// Classes[field][bin of v][classIndex]; 1 when the field has Width 0, 0 for a class
/// outside the class list.
double ClassBinCount(const TFieldHistograms& histograms, int field, int classIndex, double value);

/// The positions 0..n-1 ordered by value, ascending or descending; equal values keep their
/// input order (a stable sort, as the bubble sort that swaps only on strict inequality).
TArray1I OrderByValue(const TArray1D& values, bool ascending);

} // namespace orbelin::analysis

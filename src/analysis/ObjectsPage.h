// The "Objects" page of the statistics tool: how rare a record's values are, the
// distances from its point to all others, the nearest records, selecting the points
// behind a chart bar, and centring the data on a point.
#pragma once

#include "analysis/Histograms.h"
#include "numeric/TArray.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data

namespace orbelin::analysis {

/// One line of a ranking: a dataset field and the count of its bar, -1 for an empty cell.
struct TRankEntry {
    std::string Field;
    double Count = -1;
    std::string CountText; ///< the count rounded, right-aligned in 6 characters
};

/// "Probabl." and "Prob.class." of a record: the dataset's fields ordered by the count of
/// the bar the record's value falls into, rarest first (equal counts keep field order).
struct TObjectRanking {
    std::vector<TRankEntry> Probable;        ///< by the unified histograms
    std::vector<TRankEntry> ProbableInClass; ///< by the histograms of the record's class
};

/// The rankings of a table record, with both kinds of histograms built in histograms.
/// Each dataset field is looked up by name among the table's fields (the last of that
/// name). Raises TError "'TEXT' is not a valid floating point value" for a cell that is
/// not a number.
TObjectRanking RankObject(const data::TData& data, const data::TDataTable& table, const TFieldHistograms& histograms,
                          int record);

/// The distance diagram of one point: the Euclidean distances from it to every point
/// (itself included), binned between their smallest and largest, counted per class of
/// each point's record.
struct TDistanceDiagram {
    int Point = -1;
    TArray1D Distances; ///< one per point
    double Min = 1e100, Max = -1e100;
    double Width = 0;     ///< (Max - Min) / bars; 0 counts nothing
    TArray2D Counts;      ///< [bar][class]
    TArray1I ClassColors; ///< the table's class colours, in order of first appearance
    TArray1D Centres;     ///< bar centres Min + (b + 1/2) Width
};
TDistanceDiagram BuildDistanceDiagram(const data::TDataTable& table, const data::TData& data, int point, int bars);

/// One entry of the nearest-object list.
struct TNearObject {
    int Point = -1;
    double Distance = 0;
    std::string Line; ///< "k", TAB, the record's trimmed text in markField, TAB, the distance as "0.000"
};
/// The round(0.5 ((N - 1) / bars + 1)) points nearest to the diagram's point, nearest
/// first, the earliest point on ties.
std::vector<TNearObject> NearestObjects(const TDistanceDiagram& diagram, const data::TDataTable& table,
                                        const data::TData& data, int markField, int bars);

/// The bar whose centre is nearest to v (the first of equal ones), -1 without bars.
int NearestBar(const TArray1D& centres, double v);

/// "Select on map" on a histogram bar: the points of the records whose value in the field
/// falls nearest to the bar (of their class's series unless unified).
TArray1I HistogramBarPoints(const data::TDataTable& table, const data::TData& data, const TFieldHistograms& histograms,
                            int field, bool unified, int series, int bar);
/// "Select on map" on a bar of the distance diagram: the points whose distance falls
/// nearest to the bar, whatever their class.
TArray1I DistanceBarPoints(const TDistanceDiagram& diagram, int bar);

/// The bar centres of a field's histogram: Lo + b Width + Width / 2.
TArray1D HistogramCentres(const TFieldHistograms& histograms, int field);

/// "Center data on this point": every point becomes x - x_point where both coordinates
/// are present; a coordinate the point lacks is left as it is in the others.
void CenterDataOnPoint(data::TData& data, int point);

} // namespace orbelin::analysis

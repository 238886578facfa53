// How the analysis tools speak through a dataset: marks in its point selection, result
// columns, and the class colour and size of each point's table record.
#pragma once

#include "numeric/TArray.h"

#include <string>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

/// Colour -1 and size -1 stand for each point's own fill colour and radius.
constexpr int OwnStyle = -1;

/// Adds the points to the selection with the colour and size (OwnStyle for the point's
/// own); points already marked take the new colour and size. Unlike MarkPoints it never
/// removes a mark, so a cluster or class of one point already in the selection keeps it.
/// Indices outside the points are ignored.
void AddMarks(data::TData& data, const TArray1I& points, int colour, int size);
/// Adds the members of cluster i with colours[i] and their own sizes, as AddMarks does.
void AddClusterMarks(data::TData& data, const TArray2I& clusters, const TArray1I& colours);
/// Clears the selection and marks every point, point p with colours[p] and sizes[p]
/// (OwnStyle for its own), in point order.
void MarkAllPoints(data::TData& data, const TArray1I& colours, const TArray1I& sizes);
/// Removes the points' marks.
void RemoveMarks(data::TData& data, const TArray1I& points);

/// The result column of that name gets the values (one per point), replacing a column of
/// the same name, or is appended.
void SetResultColumn(data::TData& data, const std::string& name, TArray1S values);

/// "Remember colors" (key FILLCOLOR) and "Remember sizes" (key RADIUS): the record of
/// every marked point takes the point's mark colour or mark size.
void RememberMarks(data::TData& data, int key);

/// The fill colour (class colour) of each point's table record; the default style's for a
/// point whose record the table lacks.
TArray1I PointColors(const data::TData& data);
/// The radius of each point's table record.
TArray1I PointRadii(const data::TData& data);

/// The dataset's point of a table record (the last one), or -1.
int PointOfRecord(const data::TData& data, int record);

} // namespace orbelin::analysis

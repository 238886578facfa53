// The hint the 3D view shows for the data points under the mouse.
#pragma once

#include "numeric/TArray.h"

#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::view {

/// One line per point under the mouse that is visible (its Visibility flag is 1, or the
/// dataset has no flags yet): the values of the point's table record in the fields, each
/// trimmed, joined by "/". Points outside the dataset, fields outside the table and a
/// dataset without a table are passed over; no field gives no lines.
TArray1S PointHintLines(const data::TData& dataset, const std::vector<int>& points, const std::vector<int>& fields);

} // namespace orbelin::view

// The choices of the Datapoints/Net panel: which view a map is shown in, on which axes,
// with which camera or sphere layout, and how its points are projected and drawn. Each
// choice sets the map's view parameters and rebuilds what depends on them.
#pragma once

#include "numeric/TArray.h"

#include <string>

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::view {

/// The view list: "On coordinate plane", "On principal components", "In internal
/// coordinates", then "PP" + i + " Projection Pursuit" for each projection-pursuit result
/// i of the dataset (none without a dataset).
TArray1S ViewListItems(const data::TData* dataset);

/// The view list's row of the map's view: ViewType 0 to 2, or 3 + PPIndex for an existing
/// projection-pursuit result; -1 otherwise.
int ViewListRow(const map::TMap& map);

/// Choosing a view list item: the first three set ViewType to the row; a "PP" item sets
/// ViewType 4 and PPIndex to the number that follows "PP". Then every layer is rebuilt.
/// False, with nothing changed, for an item that names no view or no result of the
/// map's dataset.
bool ChooseViewItem(map::TMap& map, const std::string& item);

/// The items of the "Axis 1:" to "Axis 3:" lists in the map's view: the dataset's
/// coordinate names (view 0), "1" to "d" (view 1), "1" to the result's direction count
/// (view 4); none in view 2, where the lists are hidden.
TArray1S AxisItems(const map::TMap& map);

/// The axis lists changed: Axis1..Axis3 := the rows (a negative row keeps the axis), then
/// every layer is rebuilt.
void ChooseAxes(map::TMap& map, int axis1, int axis2, int axis3);

/// The "View:" list: "Perspective" and "Orthogonal", except in view 2, where a spherical
/// map offers "3D globe", "Polar" and "Cylindrical" and other maps nothing.
TArray1S ViewModeItems(const map::TMap& map);

/// The "View:" row that shows the camera ("Perspective" 0, "Orthogonal" 1); -1 in view 2.
int ViewModeRow(const map::TMap& map);

/// Choosing a "View:" row: the camera becomes perspective or orthogonal (markers are
/// rescaled), or the sphere is laid out anew (ChooseSphereLayout; refused with TError while
/// a training run works on the map). Rows the list does not hold change nothing.
void ChooseViewMode(map::TMap& map, int row);

/// "Projecting type:": 0 "In closest point", 1 "In closest node" (other values are taken
/// as 0). The projections are recomputed and every layer rebuilt.
void ChooseProjectorType(map::TMap& map, int type);

/// "Datapoints as timeseries": the data points are rebuilt.
void SetDataAsTimeSeries(map::TMap& map, bool on);

/// "Node size": the net is rebuilt.
void SetNodeSizeByTaxon(map::TMap& map, bool on);

} // namespace orbelin::view

// The "Connections" drawing switch: segments from the data points to their projections
// onto the map as seen on the three chosen coordinates.
#pragma once

#include "view/TAddObject.h"

namespace orbelin::map {
class TMap;
}

namespace orbelin::view {

/// One segment per visible data point (every point while the visibility flags are still
/// empty): from the point to its closest point on the map reduced to the coordinates
/// Axis1, Axis2, Axis3 (nodes and point alike, same cells). The segment's end holds the
/// three projected values at Axis1, Axis2, Axis3 and 0 elsewhere. The set is in dataset
/// units. Empty when the map has no grid or dataset, or an axis is not a coordinate.
TAddLines BuildConnectionSet(const map::TMap& map);

/// The switch turned on appends BuildConnectionSet to the dataset's line sets; turned off
/// it empties the line sets, loaded ones included. Either way the line sets are rebuilt.
void ApplyConnectionsSwitch(map::TMap& map, bool on);

} // namespace orbelin::view

// The geometry of a map's view: what each of the map's four layers shows for the current
// view type, rebuilt from the map, its dataset and their sets and objects.
#pragma once

#include <array>
#include <vector>

namespace orbelin::map {
class TMap;
}

namespace orbelin::view {

/// Rebuilds every layer in this order: data points, net, coloring (BuildColoring), the
/// additional objects, the line sets and the rays; then ScaleMarkers. Layers the map lacks
/// are skipped.
void RebuildViews(map::TMap& map);

/// Layer 0: one marker per data point, placed for the view (view 2: the projections,
/// lifted by Relief times the point's field value for field colorings), styled by its
/// table record and the point selection; the cluster links as lines; or, with
/// DataAsTimeSeries, the points joined in dataset order and no markers. A view that places
/// nothing leaves the layer as it was.
void RebuildDataPoints(map::TMap& map);

/// Layer 1: node markers (shape 5, border only, radius 1 or the node's point count with
/// NodeSizeByTaxon, fill colours of NodeFillColors) and the grid's edges in red. Views other
/// than 0, 1 and 2 leave the layer as it was. A spherical map in view 2 draws the net per
/// triangle, each triangle moved by its shift, with only the sides that are grid edges.
void RebuildNet(map::TMap& map);

/// The display positions of one grid triangle's three corners.
using TTriangleCorners = std::array<std::array<double, 3>, 3>;

/// The corners of every grid triangle where the current view draws the net (views 0, 1
/// and 2; in view 2 a spherical map with triangle shifts moves each triangle by its own
/// shift, as its net is drawn), one entry per triangle in triangle order (a triangle naming
/// a node the grid lacks has its corners at the origin). Empty without a grid and in the
/// views that do not place the net.
std::vector<TTriangleCorners> NetTriangleCorners(const map::TMap& map);

/// Layer 3's geometry: the visible additional objects, normalised like dataset coordinates
/// and placed, in views 0 and 1; none in other views.
void RebuildAdditionalObjects(map::TMap& map);

/// Layer 3's lines: the line sets (views 0 and 1; loaded sets normalised, the connection
/// set as it is), then the ray segments. Rebuilding either the line sets or the rays
/// rebuilds this whole list, so neither wipes out the other.
void RebuildLineSets(map::TMap& map);

/// Layer 3's markers, one per ray end with the ray's style, and its lines (as
/// RebuildLineSets). Rays are placed in views 0, 1 and 4, like the data points.
void RebuildRays(map::TMap& map);

/// Every point object's drawing sizes become abs(CameraDistance / 50) times its radii.
void ScaleMarkers(map::TMap& map);

/// The "View:" list of a spherical map in view 2: 0 "3D globe", 1 "Polar", 2 "Cylindrical".
/// Lays the sphere out anew (the grid knows the globe and the two-disc layouts; every item
/// other than "3D globe" gives the discs), marks the projections for recomputation and
/// rebuilds all views. Does nothing for other maps and views.
void ChooseSphereLayout(map::TMap& map, int item);

} // namespace orbelin::view

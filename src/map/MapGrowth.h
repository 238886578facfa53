// Growth of a trained map: rows and columns extrapolated from its border, resampling with
// more or fewer nodes, one more ring of a circle map, and growth node by node.
#pragma once

#include <string>

namespace orbelin::map {

class TMap;
class TNetGrid;

/// Adds left columns before column 0, right columns after the last, up rows before row 0
/// and down rows after the last row of a rectangular or hexagonal surface grid; a negative
/// amount removes that many from its side. Old nodes keep their positions; a new node is
/// extrapolated linearly from the border row or column (a corner node from the corner
/// with both increments), with missing coordinates staying missing. The grid is then
/// rebuilt with the new sizes and its elastic matrices refilled. Returns false, leaving
/// the grid as it was, when it is not such a grid (a spherical, toroidal or circle grid,
/// a chain, a lattice, or a rectangular-class grid whose stored edges are not those of
/// its rectangle), when the new sizes would leave no row or column, or when a side to
/// extrapolate from has fewer than two rows or columns.
bool Extrapolate(TNetGrid& grid, int left, int right, int up, int down);

/// Resamples such a grid with Q + left + right columns and P + up + down rows over the
/// same surface: new node (r', c') is the point of the old surface at grid coordinates
/// (r' (P-1)/(P'-1), c' (Q-1)/(Q'-1)), found on the triangle of its cell that holds it.
/// Corner nodes stay where they were. Returns false, leaving the grid as it was, for the
/// grids Extrapolate refuses and when the new grid would have fewer than two rows or
/// columns.
bool Interpolate(TNetGrid& grid, int left, int right, int up, int down);

/// Adds one ring outside the last ring of a circle grid: each new node continues the line
/// from the second-last ring through the last one, in data space and in internal
/// coordinates; new radial and ring edges (weight 1) and triangles, no ribs. Returns false,
/// leaving the grid as it was, for other grids and for a circle of fewer than two rings.
bool AddOuterRing(TNetGrid& grid);

/// Grows the map by one node: after AssignTaxons, the two nodes of every edge whose squared
/// length is below 1e-8 share their taxon sizes (each gets the integer half of the sum); the node with the largest
/// taxon (the first on ties) gets a new neighbour placed at the first point of its taxon, joined by an edge of the
/// weight of the first edge touching it (1 when none does). A coordinate the point lacks is taken from the node, so
/// that the new node has no gap. No ribs or triangles are added; the internal coordinates of the new node are 0.
/// Returns false, changing nothing, when the map has no grid, no nodes or no points to place a node at.
bool GrowLinearFractal(TMap& map);

/// The map panel's growth command ("Interpolation/Extrapolation" page). amounts are right,
/// up, left and down as the panel lists them; negate applies them negated ("--").
struct TGrowthResult {
    bool Changed = false; ///< the grid was grown or shrunk
    int Rows = 0;         ///< the grid's P afterwards, for the "vertical:" field
    int Columns = 0;      ///< the grid's Q afterwards, for the "horizontal:" field
    std::string Problem;  ///< why nothing changed, or ""
};
/// Acts on maps with a grid of topology dimension 2 only. Extrapolation grows
/// rectangular and hexagonal maps with Extrapolate and circle maps with AddOuterRing (the
/// amounts ignored); interpolation resamples rectangular and hexagonal maps; other grids
/// are left as they are. After a change the map's arrays are resized and its projections
/// invalidated. Raises TError, changing nothing, when the map is being trained.
TGrowthResult GrowMap(TMap& map, bool interpolation, int right, int up, int left, int down, bool negate);

} // namespace orbelin::map

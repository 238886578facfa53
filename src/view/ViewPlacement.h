// Where the current view of a map puts a vector of data-space coordinates: on three chosen
// coordinates, on three principal components or on three projection-pursuit directions.
#pragma once

#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

#include <array>

namespace orbelin::map {
class TMap;
}

namespace orbelin::view {

/// View types of TMap::ViewType.
enum TViewType : int { ViewCoordinates = 0, ViewComponents = 1, ViewInternal = 2, ViewProjectionPursuit = 4 };

/// Coordinate of x on a direction v about a centre m: VecDot(x - m, v) / MaskedSqNorm(v, x).
/// An entry of x - m is missing when x or m is; the centre counts 0 beyond its length. A
/// direction with no present entry where x has one (a zero norm) gives 0.
double PCCoordinate(numeric::TVecView x, numeric::TVecView centre, numeric::TVecView direction);

/// The three coordinates of x on the directions about the centre; an absent direction
/// gives 0.
std::array<double, 3> PCCoords(numeric::TVecView x, numeric::TVecView centre,
                               const std::array<numeric::TVecView, 3>& directions);

/// The placement of data-space vectors for the map's current view. Views 0 (coordinates
/// Axis1, Axis2, Axis3; a vector missing any of them sits at the origin), 1 (PCCoords on
/// the map's components Axis1..3 about its centre) and 4 (PCCoords on the directions
/// Axis1..3 of projection-pursuit result PPIndex about its centre) place vectors; view 2
/// and views without their data (no components, no such result) place none. Copies what
/// it needs, so it stays valid while the map changes.
class TViewPlacer {
public:
    explicit TViewPlacer(const map::TMap& map);

    /// The view places data-space vectors.
    bool Places() const { return Places_; }
    int ViewType() const { return View_; }
    /// The placed position of x; the origin when the view places none.
    std::array<double, 3> Place(numeric::TVecView x) const;

private:
    int View_ = 0;
    bool Places_ = false;
    std::array<int, 3> Axes_{};
    TArray1D Centre_;
    std::array<TArray1D, 3> Directions_;
};

/// The grid keeps one shift row per triangle, which flat views add to the triangle's
/// internal coordinates (the projections add it too).
bool HasTriangleShifts(const map::TMap& map);

/// In the internal-coordinates view of a spherical map, builds the grid's triangle shifts
/// when it has none, and then marks the projections for recomputation, since the
/// projections carry the shifts.
void EnsureTriangleShifts(map::TMap& map);

} // namespace orbelin::view

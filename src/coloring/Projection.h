// Projection of data points onto a map: the closest node or the closest point of the
// map's edges, triangles or tetrahedra, in data space and in the map's internal
// coordinates; the map's projection table and its export.
#pragma once

#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orbelin::map {
class TMap;
class TNetGrid;
} // namespace orbelin::map

namespace orbelin::coloring {

/// The closest node of a point and the node's internal coordinates (z is 0 unless the grid
/// is layered).
struct TNodeProjection {
    int Node = 0;
    std::array<double, 3> Internal{};
};

/// The closest point of the map: in data space and in internal coordinates.
struct TPointProjection {
    TArray1D Point;
    std::array<double, 3> Internal{};
};

/// A grid prepared for projecting many points: node positions in one contiguous block and,
/// per node, the cells (edges of a chain, triangles of a surface, tetrahedra of a lattice)
/// it belongs to, in cell-list order. Use it where the same grid projects many points;
/// the free functions below build one per call. It copies what it needs, so the grid may
/// change afterwards without affecting it. Safe to share between threads.
class TProjector {
public:
    explicit TProjector(const map::TNetGrid& grid);

    /// The node with the smallest squared distance over the coordinates present in both;
    /// ties go to the lower index, and node 0 wins when no distance is below 1e100.
    TNodeProjection ClosestNode(const double* point) const;
    /// Projects onto the cells around the closest node: a cell holding the foot of the
    /// point scores 0, others the squared distance to their nearest face, edge or end;
    /// the first best cell wins. Returns the internal coordinates; projection receives the
    /// data-space point (Dimension() values) when it is not null.
    std::array<double, 3> ClosestPoint(const double* point, double* projection) const;

    int Dimension() const { return D_; }
    int NodeCount() const { return N_; }

private:
    struct TScore {
        double Score;
        double P[3];
    };
    const double* Node(int i) const
    {
        return Nodes_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(D_);
    }
    TScore EdgeScore(const double* x, const double* a, const double* b) const;
    TScore TriangleScore(const double* x, const double* a, const double* b, const double* c) const;
    TScore TetrahedronScore(const double* x, const std::int32_t* cell) const;

    int D_ = 0;
    int N_ = 0;
    int Kind_ = 2;                        ///< 1 chain, 2 surface, 3 layered
    int CellSize_ = 3;                    ///< vertices per cell
    std::vector<double> Nodes_;           ///< [N][D]
    std::vector<double> Internal_;        ///< [N][3]
    std::vector<std::int32_t> Cells_;     ///< [cells][CellSize_]
    std::vector<std::int32_t> CellStart_; ///< per node into NodeCells_
    std::vector<std::int32_t> NodeCells_;
    bool Shifted_ = false;
    std::vector<double> Shifts_; ///< [triangles][3] when Shifted_
};

/// The closest node of a point: the "In closest node" projection.
TNodeProjection ProjectToClosestNode(const map::TNetGrid& grid, numeric::TVecView point);
/// The closest point of the map near the point's closest node: "In closest point".
TPointProjection ProjectToClosestPoint(const map::TNetGrid& grid, numeric::TVecView point);
/// One row (x, y, z) of internal coordinates per point, in point order; projectorType 0
/// projects in the closest point, 1 in the closest node. Runs in parallel over the points
/// with the same results for any number of threads.
TArray2D ProjectPoints(const map::TNetGrid& grid, const TArray2D& points, int projectorType);

/// Recomputes the map's Projections from its grid and its dataset's points when they are
/// not valid. False when the map has no grid or dataset, or their dimensions differ.
bool EnsureProjections(map::TMap& map);
/// Marks the map's Projections for recomputation before their next use.
void InvalidateProjections(map::TMap& map);

/// The projection export: after EnsureProjections, one line per point, x and y of its
/// projection in the general number form. Raises TError when the map cannot be projected
/// or the file cannot be written.
void WriteProjections(map::TMap& map, const std::string& path);

} // namespace orbelin::coloring

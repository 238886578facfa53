// The nearest node of every data point, found with exactly the sums and the tie rule of a
// plain point-by-node scan, but vectorised across nodes and run over points in parallel.
#pragma once

#include "map/NodeCells.h"
#include "numeric/TArray.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orbelin::map {

/// How a coordinate missing in a node counts when a distance is summed. Gaps of the point
/// are always skipped.
enum class TNodeGapRule {
    /// The term is computed anyway: a node with a gap where the point has a value gets a
    /// distance that is not a number and never becomes the nearest node (the assignment of
    /// training points to nodes).
    Propagate,
    /// The term is skipped, as SqEuclideanDistance skips it (the energy evaluation).
    Skip,
};

/// Node positions laid out for the search: coordinate by coordinate, padded to whole
/// vector blocks. Use one per set of node positions; SameNodes tells whether the nodes
/// have moved since.
///
/// The distance of point x to node y is the sum, over the coordinates k in ascending order
/// where x[k] is present, of (x[k] - y[k])^2, each lane of a vector summing its own node
/// in that order, so every distance is bit for bit the one a scalar loop gives. The
/// nearest node is the one with the smallest distance below 1e100, the lowest index on
/// ties; a point whose distances are all 1e100 or more (or not numbers) has none (-1).
class TNearestNodeSearch {
public:
    /// Copies the nodes (every row of the same length, the dimension).
    void SetNodes(const TArray2D& nodes);
    /// Whether nodes equals, bit for bit, what SetNodes was given last.
    bool SameNodes(const TArray2D& nodes) const;
    /// Whether no node has a missing coordinate (then both gap rules give the same sums).
    bool NodesComplete() const { return Complete_; }
    int NodeCount() const { return N_; }
    int Dimension() const { return D_; }

    /// For each of count points, points[p] its row (Dimension() values; complete[p]
    /// tells that point p has no gap): nearest[p] and distance[p] (0 for a point with no
    /// nearest node). hint, when given, holds a node for every point that is probably
    /// near it (the nearest node of a previous search; any value is safe): the closer the
    /// hints, the more nodes are passed over. Runs over the points in parallel; the results
    /// depend neither on the hints nor on the number of threads.
    void Search(const double* const* points, const char* complete, std::size_t count, TNodeGapRule rule,
                const std::int32_t* hint, std::int32_t* nearest, double* distance) const;

private:
    /// Principal axes of the nodes used for the bound of complete points.
    static constexpr int PrincipalCount = 3;
    /// The bound is used for points and nodes whose coordinates are all within this range,
    /// where no square or sum it takes can overflow.
    static constexpr double BoundRange = 1e100;

    void SetPrincipalAxes();
    bool WithinBoundRange(const double* x, int d) const;
    /// Writes the M_ principal coordinates of x and then its residual (the length of what
    /// the axes leave of x - mean), stride apart; returns |x - mean|.
    double Project(const double* x, double* out, std::size_t stride) const;
    /// The squared distance a block's principal bound must exceed for the point x with
    /// that seed distance to pass it over; writes the point's principal coordinates.
    double PrincipalThreshold(const double* x, double seedDistance, double* principal, double& radius) const;
    /// A node near x to start from: of the nodes in x's cell, the one with the smallest
    /// principal bound.
    std::int32_t CellSeed(const double* x) const;
    /// Searches the complete points listed, in order, among the nodes that their principal
    /// bounds leave, chunk by chunk; seedDistance[p] is the distance of a node known.
    void SearchNearby(const double* const* points, const std::vector<std::int32_t>& list,
                      const std::vector<std::size_t>& chunkStart, const std::vector<double>& seedDistance,
                      std::int32_t* nearest, double* distance) const;

    int N_ = 0;
    int D_ = 0;
    int Padded_ = 0;           ///< N_ rounded up to whole blocks
    bool Complete_ = true;     ///< no node coordinate is missing
    std::vector<double> Soa_;  ///< [D_][Padded_], padding lanes +inf
    int M_ = 0;                ///< principal coordinates in use (0: the prefix bound)
    std::vector<double> Mean_; ///< [D_] mean of the nodes
    std::vector<double> Axes_; ///< [D_][M_] orthonormal columns
    /// [M_ + 1][Padded_]: the nodes' principal coordinates and their residuals, padding +inf
    std::vector<double> Principal_;
    std::vector<double> PrincipalRows_;      ///< [N_][M_ + 1], the same node by node
    std::vector<double> NodeLow_, NodeHigh_; ///< [M_ + 1] their ranges over the nodes
    double NodeRadius_ = 0;                  ///< largest |y - mean|
    TNodeCells Cells_;                       ///< over the first two principal coordinates
    std::vector<double> Rows_;               ///< [N_][D_], for the scalar path and SameNodes
};

} // namespace orbelin::map

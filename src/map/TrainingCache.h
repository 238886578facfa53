// What map training keeps between steps: the points in one block and their nearest nodes
// for the node positions they were found for.
#pragma once

#include "map/NearestNodes.h"
#include "numeric/TArray.h"

#include <cstdint>
#include <vector>

namespace orbelin::map {

class TMap;

/// Seconds spent in the phases of training, added up over the steps and energy
/// evaluations made with one cache (never reset by training itself): for benchmarks.
struct TTrainingPhaseSeconds {
    double Search = 0;      ///< nearest-node searches, for the assignment or the energy
    double Taxons = 0;      ///< the rest of AssignTaxons: sizes, members, weights
    double SystemBuild = 0; ///< BuildSystemMatrix
    double Solve = 0;       ///< right-hand sides and sweeps of every coordinate
    double Energy = 0;      ///< the rest of EvaluateEnergy
};

/// Held by a map (TMap::TrainingCache). The nearest nodes of a step's assignment are
/// those of the energy evaluation after the previous step, as long as the nodes and the
/// points are unchanged: the cache compares the nodes bit for bit, and the points by a
/// 64-bit hash of their bits (keeping no copy of a million points), before it hands them
/// out.
struct TTrainingCache {
    std::vector<const double*> Points; ///< [n] the dataset's rows, d values each
    std::vector<char> Complete;        ///< [n] the point has no gap
    std::uint64_t PointsHash = 0;
    std::size_t PointCount = 0;
    int Dimension = 0;

    TNearestNodeSearch Search;
    std::vector<std::int32_t> Nearest; ///< [n] assignment rule, -1 for none
    std::vector<double> Distance;      ///< [n] its sums
    bool NearestValid = false;
    /// The energy's own search, needed only while some node has a gap.
    std::vector<std::int32_t> EnergyNearest;
    std::vector<double> EnergyDistance;
    bool EnergyValid = false;

    TTrainingPhaseSeconds Seconds;

    /// Takes the rows of the points (every row of at least d values); drops the nearest
    /// nodes when their values differ from those seen last.
    void SyncPoints(const TArray2D& points, int d);
    /// Takes the node positions when they differ from those held; drops the nearest nodes then.
    void SyncNodes(const TArray2D& nodes);
};

/// The map's cache, created on first use.
TTrainingCache& TrainingCacheOf(TMap& map);

} // namespace orbelin::map

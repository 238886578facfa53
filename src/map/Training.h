// Training of an elastic map: points assigned to their nearest nodes, the node positions
// solved coordinate by coordinate, the energy of the result, and flat tuning.
#pragma once

#include "numeric/LinearAlgebra.h"

#include <functional>
#include <string>

namespace orbelin::map {

class TMap;

/// Why the map cannot be trained as it stands, or "" when it can: no grid or no nodes, no
/// dataset or no points, points whose number of coordinates differs from the nodes', or
/// weighted training (UseWeights with one weight per point) whose weights are not all
/// finite and non-negative with a positive sum.
std::string TrainingProblem(const TMap& map);

/// Whether training weights the points: UseWeights is set and the dataset holds one
/// weight per point.
bool TrainsWithWeights(const TMap& map);

/// The coefficients of the stretching and bending matrices in the system matrix, with
/// b = TopologyDim (2 when the grid gives no usable value) and N nodes:
/// lambda * N^((2-b)/b) / 100 and mu * N^((2-b)/b) / 10^b.
struct TElasticFactors {
    double Stretch = 0;
    double Bend = 0;
};
TElasticFactors ElasticFactors(const TMap& map);

/// What TrainingStep did.
struct TStepResult {
    bool Made = false;   ///< the nodes were solved for (IterationCount grew)
    std::string Problem; ///< why the step was refused or its result dropped, else ""
};

/// One training step:
/// 1. MaxIterations 0, or a TrainingProblem: StopRequested is set, nothing else changes;
/// 2. AssignTaxons;
/// 3. BuildSystemMatrix;
/// 4. every coordinate solved as SolveCoordinate does (in parallel, each on its own);
///    when a solve does not stay finite, no node moves and StopRequested is set;
/// 5. IterationCount + 1; the milliseconds of steps 2 and 4 added to AssignTime and
///    SolveTime;
/// 6. the progress callback;
/// 7. StopRequested when MaxIterations is not -1 and IterationCount exceeds it;
/// 8. StopRequested when |PreviousEnergy - TotalEnergy| < Tolerance.
/// A step started with StopRequested clear ends its solves early once it becomes set.
TStepResult TrainingStep(TMap& map);

/// approximationError := the mean over the points of the squared distance (gaps of either
/// side skipped) to the nearest node; stretchingEnergy := lambda * sum over edges of
/// w_e |y_a - y_b|^2 / N; bendingEnergy := mu * sum over ribs of w_r times the sum over
/// the coordinates present in all three nodes of (y_a + y_b - 2 y_c)^2, / N;
/// PreviousEnergy := TotalEnergy; TotalEnergy := approximationError + lambda *
/// stretchingEnergy + mu * bendingEnergy. Without points the approximation error is 0.
/// Reuses the nearest nodes of the last assignment while neither the nodes nor the
/// points have changed since.
void EvaluateEnergy(TMap& map);

/// Every point joins the taxon of its nearest node: the node with the smallest sum over the
/// point's present coordinates of (x - y)^2, below 1e100, the lowest index on ties (a point
/// without such a node joins none). Fills TaxonSizes, TaxonMembers (each node's points in
/// ascending order) and TaxonWeights (weight sums when TrainsWithWeights, else zeros),
/// resizes the map's arrays to the grid, and sets the dataset's TotalWeight to the sum of
/// its point weights. Reuses the nearest nodes of the last energy evaluation while neither
/// the nodes nor the points have changed since.
void AssignTaxons(TMap& map);

/// SystemMatrix := lambda' StretchMatrix + mu' BendMatrix (ElasticFactors), then t_i added
/// to every diagonal entry (subtracted when lambda < 0): the taxon's weight over the total
/// weight when TrainsWithWeights, its size over the number of points otherwise.
void BuildSystemMatrix(TMap& map);

/// The right-hand side of coordinate k: per node, the sum over its taxon's points present in
/// coordinate k of their value (times their weight when TrainsWithWeights), divided by the
/// total weight or the number of points; then GaussSeidelSolve from the nodes' coordinate k
/// (a missing start value starts at 0) with the map's Tolerance; the nodes' coordinate k
/// becomes the solution unless it is not finite. Rhs and Solution keep the vectors. Does
/// nothing (0 sweeps) for a map that cannot be trained or a coordinate it does not have.
numeric::TSolveResult SolveCoordinate(TMap& map, int k);

/// Steps until StopRequested: the lambda and mu typed meanwhile (PendingLambda, PendingMu)
/// taken, TrainingStep, EvaluateEnergy, the projections invalidated, then afterStep when
/// given. Returns the last problem a step reported, or "".
std::string TrainUntilStopped(TMap& map, const std::function<void()>& afterStep = {});

/// Re-places the nodes of the map's first RequestedRows x RequestedColumns nodes from the
/// points' projections: with hx = 1/P and hy = 1/Q, each point projected inside the box
/// |dx| <= hx, |dy| <= hy around a node's internal position u weighs hx hy - d^4 (d^2 the
/// squared distance of the projection from u); a coordinate of the node becomes the
/// weighted mean of the points' values when the weights do not sum to 0 and no point in
/// the box lacks that coordinate, else it keeps its value. False, changing nothing, while
/// the map is being trained and when the points cannot be projected (no grid, no dataset,
/// other dimensions).
bool FlatTuning(TMap& map);

/// The "FlatTuning" command: refuses a map that is being trained (TError), initialises a map
/// without a grid (InitializeMap with 3 components), runs FlatTuning, recomputes the
/// components and the centre with 3 components and invalidates the projections.
void RunFlatTuning(TMap& map);

} // namespace orbelin::map

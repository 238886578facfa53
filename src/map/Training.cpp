// Map training: the assignment of points to nodes, the system matrix and its solves, the
// energy, the step with its stopping rules, and flat tuning.
#include "map/Training.h"

#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "map/TrainingCache.h"
#include "map/TrainingSolver.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <omp.h>

namespace orbelin::map {

namespace {

// A hash of the rows' first d values, bit by bit, in fixed blocks of rows combined in
// order (so the same for any number of threads).
std::uint64_t HashRows(const TArray2D& rows, std::size_t d)
{
    constexpr std::size_t BlockRows = 4096;
    const std::size_t blocks = (rows.size() + BlockRows - 1) / BlockRows;
    std::vector<std::uint64_t> hashes(blocks);
    const auto blockCount = static_cast<std::ptrdiff_t>(blocks);
#pragma omp parallel for schedule(static) if (blockCount > 1)
    for (std::ptrdiff_t b = 0; b < blockCount; ++b) {
        // Four lanes, values k, k + 4, ... to lane k % 4, so that the multiplications of
        // one row run side by side.
        std::uint64_t h[4] = {0x243F6A8885A308D3ull ^ static_cast<std::uint64_t>(b), 0x13198A2E03707344ull,
                              0xA4093822299F31D0ull, 0x082EFA98EC4E6C89ull};
        const std::size_t first = static_cast<std::size_t>(b) * BlockRows;
        for (std::size_t p = first; p < std::min(rows.size(), first + BlockRows); ++p)
            for (std::size_t k = 0; k < d; ++k) {
                std::uint64_t bits;
                std::memcpy(&bits, rows[p].data() + k, sizeof bits);
                std::uint64_t& lane = h[k % 4];
                // Both steps are one-to-one, so any change of one value changes its lane.
                lane = (lane ^ bits) * 0x9E3779B97F4A7C15ull;
                lane ^= lane >> 29;
            }
        hashes[static_cast<std::size_t>(b)] = ((h[0] * 31 + h[1]) * 31 + h[2]) * 31 + h[3];
    }
    std::uint64_t h = rows.size() * 0x94D049BB133111EBull + d;
    for (std::uint64_t part : hashes) {
        h = (h ^ part) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
    }
    return h;
}

} // namespace

void TTrainingCache::SyncPoints(const TArray2D& points, int d)
{
    const auto dd = static_cast<std::size_t>(d);
    Points.resize(points.size());
    for (std::size_t p = 0; p < points.size(); ++p)
        Points[p] = points[p].data();
    const std::uint64_t hash = HashRows(points, dd);
    if (PointCount == points.size() && Dimension == d && PointsHash == hash)
        return;
    PointCount = points.size();
    Dimension = d;
    PointsHash = hash;
    Complete.assign(PointCount, 1);
    for (std::size_t p = 0; p < PointCount; ++p)
        for (std::size_t k = 0; k < dd; ++k)
            if (IsMissing(points[p][k]))
                Complete[p] = 0;
    NearestValid = EnergyValid = false;
}

void TTrainingCache::SyncNodes(const TArray2D& nodes)
{
    if (Search.SameNodes(nodes))
        return;
    Search.SetNodes(nodes);
    NearestValid = EnergyValid = false;
}

TTrainingCache& TrainingCacheOf(TMap& map)
{
    if (!map.TrainingCache)
        map.TrainingCache = std::make_shared<TTrainingCache>();
    return *map.TrainingCache;
}

namespace {

using TClock = std::chrono::steady_clock;

long long Milliseconds(TClock::time_point from, TClock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

double Seconds(TClock::time_point from, TClock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

int NodeDimension(const TNetGrid& grid)
{
    return grid.Nodes.empty() ? 0 : static_cast<int>(grid.Nodes[0].size());
}

// Whether the dataset's points can be measured against the nodes.
bool PointsFitNodes(const TMap& map)
{
    if (!map.Grid || !map.Data || map.Grid->Nodes.empty() || map.Data->Points.empty())
        return false;
    const std::size_t d = map.Grid->Nodes[0].size();
    for (const TArray1D& node : map.Grid->Nodes)
        if (node.size() != d)
            return false;
    for (const TArray1D& point : map.Data->Points)
        if (point.size() != d)
            return false;
    return true;
}

// The nearest nodes by the assignment rule, for a cache that has just taken the points
// and the nodes.
void SearchAssignment(TTrainingCache& cache)
{
    if (!cache.NearestValid) {
        // The nearest nodes found for the previous node positions are the hints.
        std::vector<std::int32_t> hint;
        hint.swap(cache.Nearest);
        cache.Nearest.resize(cache.PointCount);
        cache.Distance.resize(cache.PointCount);
        const TClock::time_point start = TClock::now();
        cache.Search.Search(cache.Points.data(), cache.Complete.data(), cache.PointCount, TNodeGapRule::Propagate,
                            hint.size() == cache.PointCount ? hint.data() : nullptr, cache.Nearest.data(),
                            cache.Distance.data());
        cache.Seconds.Search += Seconds(start, TClock::now());
        cache.NearestValid = true;
    }
}

// The nearest nodes by the assignment rule for the current nodes and points.
const TTrainingCache& AssignmentNearest(TMap& map)
{
    TTrainingCache& cache = TrainingCacheOf(map);
    cache.SyncPoints(map.Data->Points, NodeDimension(*map.Grid));
    cache.SyncNodes(map.Grid->Nodes);
    SearchAssignment(cache);
    return cache;
}

// The nearest nodes and distances of the energy: those of the assignment while no node
// has a gap (the two rules then agree), else a search of its own.
void EnergyNearest(TMap& map, const std::vector<std::int32_t>*& nearest, const std::vector<double>*& distance)
{
    TTrainingCache& cache = TrainingCacheOf(map);
    cache.SyncPoints(map.Data->Points, NodeDimension(*map.Grid));
    cache.SyncNodes(map.Grid->Nodes);
    if (cache.Search.NodesComplete()) {
        SearchAssignment(cache);
        nearest = &cache.Nearest;
        distance = &cache.Distance;
        return;
    }
    if (!cache.EnergyValid) {
        cache.EnergyNearest.resize(cache.PointCount);
        cache.EnergyDistance.resize(cache.PointCount);
        const TClock::time_point start = TClock::now();
        cache.Search.Search(cache.Points.data(), cache.Complete.data(), cache.PointCount, TNodeGapRule::Skip, nullptr,
                            cache.EnergyNearest.data(), cache.EnergyDistance.data());
        cache.Seconds.Search += Seconds(start, TClock::now());
        cache.EnergyValid = true;
    }
    nearest = &cache.EnergyNearest;
    distance = &cache.EnergyDistance;
}

// Sizes the map's per-node arrays to the grid (growth changes the node count).
void FitMapArrays(TMap& map)
{
    const int n = map.Grid ? map.Grid->NodeCount() : 0;
    const auto size = static_cast<std::size_t>(n);
    map.NodeCount = n;
    if (map.TaxonSizes.size() != size)
        map.TaxonSizes.assign(size, 0);
    if (map.TaxonWeights.size() != size)
        map.TaxonWeights.assign(size, 0.0);
    if (map.TaxonMembers.size() != size)
        map.TaxonMembers.resize(size);
    if (map.Rhs.size() != size)
        map.Rhs.assign(size, 0.0);
    if (map.Solution.size() != size)
        map.Solution.assign(size, 0.0);
}

// n, or the total weight when training is weighted.
double Divisor(const TMap& map)
{
    return TrainsWithWeights(map) ? map.Data->TotalWeight : static_cast<double>(map.Data->Points.size());
}

// The right-hand sides of the coordinates first..first+count-1, rhs[c][i] for coordinate
// first + c: per node, its taxon's present values (weighted when training is) summed in
// point order, over the divisor.
std::vector<TArray1D> RightSides(TMap& map, int first, int count)
{
    const TTrainingCache& cache = *map.TrainingCache;
    const auto n = static_cast<std::ptrdiff_t>(map.TaxonMembers.size());
    const bool weighted = TrainsWithWeights(map);
    const double divisor = Divisor(map);
    const TArray1D& weights = map.Data->PointWeights;
    std::vector<TArray1D> rhs(static_cast<std::size_t>(count), TArray1D(static_cast<std::size_t>(n), 0.0));
#pragma omp parallel
    {
        std::vector<double> sum(static_cast<std::size_t>(count));
#pragma omp for schedule(static)
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            std::fill(sum.begin(), sum.end(), 0.0);
            for (std::int32_t p : map.TaxonMembers[static_cast<std::size_t>(i)]) {
                const double* row = cache.Points[static_cast<std::size_t>(p)];
                for (int c = 0; c < count; ++c) {
                    const double v = row[first + c];
                    if (!IsMissing(v))
                        sum[static_cast<std::size_t>(c)] += weighted ? v * weights[static_cast<std::size_t>(p)] : v;
                }
            }
            for (int c = 0; c < count; ++c)
                rhs[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
                    sum[static_cast<std::size_t>(c)] / divisor;
        }
    }
    return rhs;
}

// Coordinate k of every node, a missing one as 0: a gap in the start would spread to the
// neighbours' unknowns and leave the whole coordinate not a number.
TArray1D StartValues(const TNetGrid& grid, int k)
{
    TArray1D x(grid.Nodes.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double v = grid.Nodes[i][static_cast<std::size_t>(k)];
        x[i] = IsMissing(v) ? 0.0 : v;
    }
    return x;
}

bool AllFinite(const TArray1D& x)
{
    for (double v : x)
        if (!std::isfinite(v))
            return false;
    return true;
}

std::string DivergedMessage(const TMap& map, int k)
{
    return "Training of map " + map.Name + " stopped: the equations of coordinate " + std::to_string(k + 1) +
           " gave no finite solution, so the nodes were left as they were before the step.";
}

// Step 4 for every coordinate, in parallel. Returns the problem when a solve fails.
std::string SolveAll(TMap& map, const std::atomic<bool>* abort)
{
    TNetGrid& grid = *map.Grid;
    const int d = NodeDimension(grid);
    if (d == 0)
        return {};
    const std::vector<TArray1D> rhs = RightSides(map, 0, d);
    const TPreparedSystem system(map.SystemMatrix, grid.NodeCount());
    std::vector<TArray1D> solutions(static_cast<std::size_t>(d));
    std::vector<numeric::TSolveResult> results(static_cast<std::size_t>(d));
    std::vector<char> finite(static_cast<std::size_t>(d), 1);
    const double tolerance = map.Tolerance;
    for (int k = 0; k < d; ++k)
        solutions[static_cast<std::size_t>(k)] = StartValues(grid, k);
    // The coordinates in groups of lanes, as many groups as threads where that fits.
    const int lanes = TPreparedSystem::LaneCount;
    const int groups = std::max((d + lanes - 1) / lanes, std::min(d, omp_get_max_threads()));
#pragma omp parallel for schedule(dynamic, 1)
    for (int g = 0; g < groups; ++g) {
        const int first = g * d / groups, last = (g + 1) * d / groups;
        std::vector<const TArray1D*> b;
        std::vector<TArray1D*> x;
        for (int k = first; k < last; ++k) {
            b.push_back(&rhs[static_cast<std::size_t>(k)]);
            x.push_back(&solutions[static_cast<std::size_t>(k)]);
        }
        system.SolveMany(b.data(), x.data(), last - first, tolerance, abort, results.data() + first);
    }
    for (int k = 0; k < d; ++k)
        finite[static_cast<std::size_t>(k)] =
            results[static_cast<std::size_t>(k)].Status != numeric::TSolveStatus::NotFinite &&
            AllFinite(solutions[static_cast<std::size_t>(k)]);
    map.Rhs = rhs.back();
    map.Solution = solutions.back();
    for (int k = 0; k < d; ++k)
        if (!finite[static_cast<std::size_t>(k)])
            return DivergedMessage(map, k);
    for (int k = 0; k < d; ++k)
        for (std::size_t i = 0; i < grid.Nodes.size(); ++i)
            grid.Nodes[i][static_cast<std::size_t>(k)] = solutions[static_cast<std::size_t>(k)][i];
    return {};
}

void TakePendingCoefficients(TMap& map)
{
    const double lambda = map.PendingLambda.exchange(std::numeric_limits<double>::quiet_NaN());
    if (!std::isnan(lambda))
        map.Lambda = lambda;
    const double mu = map.PendingMu.exchange(std::numeric_limits<double>::quiet_NaN());
    if (!std::isnan(mu))
        map.Mu = mu;
}

} // namespace

bool TrainsWithWeights(const TMap& map)
{
    return map.UseWeights && map.Data && !map.Data->Points.empty() &&
           map.Data->PointWeights.size() == map.Data->Points.size();
}

std::string TrainingProblem(const TMap& map)
{
    if (!map.Grid || map.Grid->Nodes.empty())
        return "Map " + map.Name + " has not been initialised.";
    if (!map.Data)
        return "Map " + map.Name + " belongs to no dataset.";
    const data::TData& dataset = *map.Data;
    if (dataset.Points.empty())
        return "The dataset " + dataset.Name + " of map " + map.Name + " has no points.";
    if (!PointsFitNodes(map))
        return "The points of dataset " + dataset.Name + " do not have the " +
               std::to_string(map.Grid->Nodes[0].size()) + " coordinates of the nodes of map " + map.Name + ".";
    if (TrainsWithWeights(map)) {
        double sum = 0;
        bool usable = true;
        for (double w : dataset.PointWeights) {
            usable = usable && std::isfinite(w) && w >= 0;
            sum += w;
        }
        if (!usable || !(sum > 0))
            return "The point weights of dataset " + dataset.Name + " cannot weight the training of map " + map.Name +
                   ": they must be finite numbers, none negative, with a sum above 0.";
    }
    return {};
}

TElasticFactors ElasticFactors(const TMap& map)
{
    const int b = map.Grid && map.Grid->TopologyDim >= 1 && map.Grid->TopologyDim <= 3 ? map.Grid->TopologyDim : 2;
    const double nodes = map.Grid ? static_cast<double>(map.Grid->NodeCount()) : 0.0;
    const double scale = std::pow(nodes, (2.0 - b) / b);
    return {map.Lambda * scale / 100, map.Mu * scale / std::pow(10.0, b)};
}

void AssignTaxons(TMap& map)
{
    const TClock::time_point start = TClock::now();
    const double searchBefore = TrainingCacheOf(map).Seconds.Search;
    FitMapArrays(map);
    const std::size_t n = map.TaxonSizes.size();
    std::fill(map.TaxonSizes.begin(), map.TaxonSizes.end(), 0);
    std::fill(map.TaxonWeights.begin(), map.TaxonWeights.end(), 0.0);
    for (TArray1I& members : map.TaxonMembers)
        members.clear();
    if (map.Data)
        map.Data->TotalWeight = numeric::VecSum(map.Data->PointWeights);
    if (!PointsFitNodes(map))
        return;

    const TTrainingCache& cache = AssignmentNearest(map);
    for (std::int32_t node : cache.Nearest)
        if (node >= 0)
            ++map.TaxonSizes[static_cast<std::size_t>(node)];
    for (std::size_t i = 0; i < n; ++i)
        map.TaxonMembers[i].reserve(static_cast<std::size_t>(map.TaxonSizes[i]));
    for (std::size_t p = 0; p < cache.Nearest.size(); ++p)
        if (cache.Nearest[p] >= 0)
            map.TaxonMembers[static_cast<std::size_t>(cache.Nearest[p])].push_back(static_cast<std::int32_t>(p));
    if (TrainsWithWeights(map)) {
        const TArray1D& weights = map.Data->PointWeights;
        for (std::size_t i = 0; i < n; ++i)
            for (std::int32_t p : map.TaxonMembers[i])
                map.TaxonWeights[i] += weights[static_cast<std::size_t>(p)];
    }
    TTrainingPhaseSeconds& seconds = TrainingCacheOf(map).Seconds;
    seconds.Taxons += Seconds(start, TClock::now()) - (seconds.Search - searchBefore);
}

void BuildSystemMatrix(TMap& map)
{
    TNetGrid& grid = *map.Grid;
    const int n = grid.NodeCount();
    if (grid.StretchMatrix.Rows() != n || grid.BendMatrix.Rows() != n)
        grid.BuildElasticMatrices();
    const TElasticFactors factors = ElasticFactors(map);
    const bool weighted = TrainsWithWeights(map);
    const double divisor = map.Data ? Divisor(map) : 0.0;

    std::vector<numeric::TTriplet> entries;
    entries.reserve(grid.StretchMatrix.NonZeros() + grid.BendMatrix.NonZeros() + static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        // The union of both rows and the diagonal, each entry lambda' s + mu' b with an
        // absent entry as 0: what the dense sum of the two matrices holds there.
        const auto sCols = grid.StretchMatrix.RowCols(i), bCols = grid.BendMatrix.RowCols(i);
        const auto sValues = grid.StretchMatrix.RowValues(i), bValues = grid.BendMatrix.RowValues(i);
        std::size_t a = 0, b = 0;
        bool diagonal = false;
        while (a < sCols.size() || b < bCols.size() || !diagonal) {
            const std::int32_t sc = a < sCols.size() ? sCols[a] : INT32_MAX;
            const std::int32_t bc = b < bCols.size() ? bCols[b] : INT32_MAX;
            std::int32_t col = std::min(sc, bc);
            if (!diagonal && i < col)
                col = i;
            const double s = sc == col ? sValues[a++] : 0.0;
            const double v = bc == col ? bValues[b++] : 0.0;
            entries.push_back({i, col, factors.Stretch * s + factors.Bend * v});
            diagonal = diagonal || col == i;
        }
        const std::size_t node = static_cast<std::size_t>(i);
        double t = 0.0;
        if (node < map.TaxonSizes.size() && divisor != 0.0)
            t = weighted ? map.TaxonWeights[node] / divisor : map.TaxonSizes[node] / divisor;
        entries.push_back({i, i, map.Lambda < 0 ? -t : t});
    }
    map.SystemMatrix = numeric::TSparseMatrix::FromTriplets(n, n, std::move(entries));
}

numeric::TSolveResult SolveCoordinate(TMap& map, int k)
{
    if (!PointsFitNodes(map) || k < 0 || k >= NodeDimension(*map.Grid))
        return {};
    TNetGrid& grid = *map.Grid;
    FitMapArrays(map);
    TTrainingCache& cache = TrainingCacheOf(map);
    cache.SyncPoints(map.Data->Points, NodeDimension(grid));
    map.Rhs = RightSides(map, k, 1).front();
    map.Solution = StartValues(grid, k);
    const TPreparedSystem system(map.SystemMatrix, grid.NodeCount());
    const numeric::TSolveResult result = system.Solve(map.Rhs, map.Solution, map.Tolerance);
    if (result.Status != numeric::TSolveStatus::NotFinite && AllFinite(map.Solution))
        for (std::size_t i = 0; i < grid.Nodes.size(); ++i)
            grid.Nodes[i][static_cast<std::size_t>(k)] = map.Solution[i];
    return result;
}

TStepResult TrainingStep(TMap& map)
{
    TStepResult result;
    if (map.MaxIterations == 0) {
        map.StopRequested = true;
        return result;
    }
    result.Problem = TrainingProblem(map);
    if (!result.Problem.empty()) {
        map.StopRequested = true;
        return result;
    }
    // Only a run in progress can be interrupted halfway through its solves.
    const bool running = !map.StopRequested;

    const TClock::time_point assignStart = TClock::now();
    AssignTaxons(map);
    const TClock::time_point assignEnd = TClock::now();
    BuildSystemMatrix(map);
    const TClock::time_point solveStart = TClock::now();
    result.Problem = SolveAll(map, running ? &map.StopRequested : nullptr);
    const TClock::time_point solveEnd = TClock::now();
    TTrainingPhaseSeconds& seconds = TrainingCacheOf(map).Seconds;
    seconds.SystemBuild += Seconds(assignEnd, solveStart);
    seconds.Solve += Seconds(solveStart, solveEnd);
    if (!result.Problem.empty()) {
        map.StopRequested = true;
        return result;
    }

    result.Made = true;
    ++map.IterationCount;
    map.AssignTime += Milliseconds(assignStart, assignEnd);
    map.SolveTime += Milliseconds(solveStart, solveEnd);
    // A copy, so that the callback may replace the map's callback while it runs.
    if (const TMapCallback callback = map.ProgressCallback)
        callback();
    if (map.MaxIterations != -1 && map.IterationCount > map.MaxIterations)
        map.StopRequested = true;
    if (std::fabs(map.PreviousEnergy - map.TotalEnergy) < map.Tolerance)
        map.StopRequested = true;
    return result;
}

void EvaluateEnergy(TMap& map)
{
    if (!map.Grid)
        return;
    const TClock::time_point start = TClock::now();
    TTrainingPhaseSeconds& seconds = TrainingCacheOf(map).Seconds;
    const double searchBefore = seconds.Search;
    const TNetGrid& grid = *map.Grid;
    const int n = grid.NodeCount();
    double approximation = 0.0;
    if (PointsFitNodes(map)) {
        const std::vector<std::int32_t>* nearest = nullptr;
        const std::vector<double>* distance = nullptr;
        EnergyNearest(map, nearest, distance);
        double sum = 0.0;
        for (std::size_t p = 0; p < nearest->size(); ++p)
            if ((*nearest)[p] >= 0)
                sum += (*distance)[p];
        approximation = sum / static_cast<double>(nearest->size());
    }
    const auto inside = [n](int i) { return i >= 0 && i < n; };

    double stretching = 0.0;
    for (std::size_t e = 0; e < grid.Edges.size(); ++e) {
        const int a = grid.Edges[e][0], b = grid.Edges[e][1];
        if (!inside(a) || !inside(b))
            continue;
        const double w = e < grid.EdgeWeights.size() ? grid.EdgeWeights[e] : 1.0;
        stretching += w * numeric::SqEuclideanDistance(grid.Nodes[static_cast<std::size_t>(a)],
                                                       grid.Nodes[static_cast<std::size_t>(b)]);
    }
    double bending = 0.0;
    for (std::size_t r = 0; r < grid.Ribs.size(); ++r) {
        const int c = grid.Ribs[r][0], a = grid.Ribs[r][1], b = grid.Ribs[r][2];
        if (!inside(a) || !inside(b) || !inside(c))
            continue;
        const TArray1D &ya = grid.Nodes[static_cast<std::size_t>(a)], &yb = grid.Nodes[static_cast<std::size_t>(b)],
                       &yc = grid.Nodes[static_cast<std::size_t>(c)];
        double s = 0.0;
        for (std::size_t k = 0; k < ya.size() && k < yb.size() && k < yc.size(); ++k)
            if (!IsMissing(ya[k]) && !IsMissing(yb[k]) && !IsMissing(yc[k])) {
                const double t = ya[k] + yb[k] - 2 * yc[k];
                s += t * t;
            }
        const double w = r < grid.RibWeights.size() ? grid.RibWeights[r] : 1.0;
        bending += w * s;
    }
    const double nodes = n > 0 ? static_cast<double>(n) : 1.0;
    map.ApproximationError = approximation;
    map.StretchingEnergy = map.Lambda * stretching / nodes;
    map.BendingEnergy = map.Mu * bending / nodes;
    map.PreviousEnergy = map.TotalEnergy;
    map.TotalEnergy = map.ApproximationError + map.Lambda * map.StretchingEnergy + map.Mu * map.BendingEnergy;
    seconds.Energy += Seconds(start, TClock::now()) - (seconds.Search - searchBefore);
}

std::string TrainUntilStopped(TMap& map, const std::function<void()>& afterStep)
{
    std::string problem;
    do {
        TakePendingCoefficients(map);
        TStepResult step = TrainingStep(map);
        if (!step.Problem.empty())
            problem = std::move(step.Problem);
        EvaluateEnergy(map);
        map.ProjectionsValid = false;
        if (afterStep)
            afterStep();
    } while (!map.StopRequested);
    return problem;
}

bool FlatTuning(TMap& map)
{
    if (map.Training || !coloring::EnsureProjections(map) || !PointsFitNodes(map))
        return false;
    TNetGrid& grid = *map.Grid;
    const TArray2D& points = map.Data->Points;
    const int rows = map.RequestedRows, columns = map.RequestedColumns;
    if (rows < 1 || columns < 1)
        return true;
    const double hx = 1.0 / rows, hy = 1.0 / columns;
    const std::size_t d = grid.Nodes[0].size();
    const std::ptrdiff_t count =
        std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(rows) * columns, grid.NodeCount());
    const std::size_t internalSize = grid.Internal.size();
#pragma omp parallel
    {
        std::vector<double> weighted(d);
        std::vector<char> gap(d);
#pragma omp for schedule(dynamic, 4)
        for (std::ptrdiff_t node = 0; node < count; ++node) {
            if (static_cast<std::size_t>(node) >= internalSize)
                continue;
            const TArray1D& u = grid.Internal[static_cast<std::size_t>(node)];
            double total = 0.0;
            std::fill(weighted.begin(), weighted.end(), 0.0);
            std::fill(gap.begin(), gap.end(), 0);
            for (std::size_t p = 0; p < points.size() && p < map.Projections.size(); ++p) {
                const TArray1D& projection = map.Projections[p];
                if (!(std::fabs(projection[0] - u[0]) <= hx && std::fabs(projection[1] - u[1]) <= hy))
                    continue;
                const double d2 = numeric::SqEuclideanDistance(projection, u);
                const double omega = hx * hy - d2 * d2;
                total += omega;
                for (std::size_t k = 0; k < d; ++k) {
                    if (IsMissing(points[p][k]))
                        gap[k] = 1;
                    else
                        weighted[k] += omega * points[p][k];
                }
            }
            if (total == 0.0)
                continue;
            TArray1D& y = grid.Nodes[static_cast<std::size_t>(node)];
            for (std::size_t k = 0; k < d; ++k)
                if (!gap[k])
                    y[k] = weighted[k] / total;
        }
    }
    coloring::InvalidateProjections(map);
    return true;
}

void RunFlatTuning(TMap& map)
{
    CheckNotTraining(map, "tune it");
    if (!map.Grid)
        InitializeMap(map, 3);
    FlatTuning(map);
    map.Centre = ComputeMapComponents(map, 3);
    coloring::InvalidateProjections(map);
}

} // namespace orbelin::map

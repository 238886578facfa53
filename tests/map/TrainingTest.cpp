// Training steps on small maps: the stopping rules, gaps, the elastic coefficients, refused
// and failed steps, the step's bookkeeping, and flat tuning.
#include "MapFixtures.h"
#include "TrainingOracle.h"

#include "coloring/Projection.h"
#include "map/Training.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>

namespace orbelin::map {
namespace {

// A 5 x 5 map along the principal components of a seeded sheet, ready to train.
TMap& SheetMap(data::TData& dataset, int points = 400)
{
    oracle::MakeSheet(dataset, points, 3, 21);
    TMap& map = fixture::AddInitialisedMap(dataset, "sheet", GridRectangular, 5, 5);
    map.StopRequested = false;
    map.PreviousEnergy = 1e100;
    return map;
}

TEST(TrainingTest, StoppingRulesCountTheSteps)
{
    struct TCase {
        const char* Name;
        int MaxIterations;
        bool SettledFirst;   ///< trained to rest before, so the energy no longer changes
        bool EnergyEachStep; ///< steps followed by EvaluateEnergy, as the training thread runs them
        int ExpectedSteps;
    };
    const TCase cases[] = {
        {"no step allowed", 0, false, true, 0},
        {"cap of 2, energy never compared", 2, false, false, 3},
        {"settled map still makes two steps", 10000, true, true, 2},
        {"settled map with a cap of 1", 1, true, true, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TData dataset;
        TMap& map = SheetMap(dataset);
        if (c.SettledFirst) {
            TrainUntilStopped(map);
            ASSERT_LT(map.IterationCount, 10000);
            map.IterationCount = 0;
            map.StopRequested = false;
            map.PreviousEnergy = 1e100;
        }
        map.MaxIterations = c.MaxIterations;
        const TArray2D before = map.Grid->Nodes;
        int evaluations = 0;
        if (c.EnergyEachStep) {
            TrainUntilStopped(map, [&] { ++evaluations; });
            EXPECT_EQ(std::max(c.ExpectedSteps, 1), evaluations);
        } else {
            for (int guard = 0; !map.StopRequested && guard < 100; ++guard)
                TrainingStep(map);
        }
        EXPECT_EQ(c.ExpectedSteps, map.IterationCount);
        EXPECT_TRUE(map.StopRequested);
        if (c.ExpectedSteps == 0) {
            EXPECT_EQ(before, map.Grid->Nodes);
        }
    }
}

TEST(TrainingTest, GapCountsInTheDiagonalButNotInTheRightHandSide)
{
    // One node: its position is the sum of the present values over the number of points,
    // so a gap pulls the coordinate towards 0.
    data::TData dataset;
    dataset.Name = "two";
    dataset.CoordCount = 2;
    dataset.PointCount = 2;
    dataset.Points = {{2, Missing()}, {4, 6}};
    dataset.NUMXI = {0, 1};
    TMap& map = fixture::AddInitialisedMap(dataset, "one", GridRectangular, 1, 1);
    map.StopRequested = false;
    map.MaxIterations = 0 + 5;
    ASSERT_TRUE(TrainingStep(map).Made);
    EXPECT_EQ((TArray2I{{0, 1}}), map.TaxonMembers);
    EXPECT_EQ((TArray1D{3, 3}), map.Grid->Nodes[0]);
    // The energy skips the gap: (2-3)^2 + (4-3)^2 + (6-3)^2 over two points.
    EvaluateEnergy(map);
    EXPECT_DOUBLE_EQ(11.0 / 2, map.ApproximationError);
}

TEST(TrainingTest, LambdaScalesTheStretchingTermOnly)
{
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    AssignTaxons(map);
    BuildSystemMatrix(map);
    EvaluateEnergy(map);
    const TArray2D single = map.SystemMatrix.ToDense();
    const double stretching = map.StretchingEnergy, bending = map.BendingEnergy, total = map.TotalEnergy;
    map.Lambda = 2;
    BuildSystemMatrix(map);
    EvaluateEnergy(map);
    const TArray2D twice = map.SystemMatrix.ToDense();
    const TArray2D stretch = map.Grid->StretchMatrix.ToDense();
    // On a surface the stretching coefficient is lambda / 100.
    for (std::size_t i = 0; i < single.size(); ++i)
        for (std::size_t j = 0; j < single.size(); ++j)
            EXPECT_NEAR(twice[i][j] - single[i][j], stretch[i][j] / 100, 1e-15) << i << "," << j;
    EXPECT_EQ(2 * stretching, map.StretchingEnergy);
    EXPECT_EQ(bending, map.BendingEnergy);
    // lambda enters the total twice: 2 lambda * 2 stretching.
    EXPECT_NEAR(total + 3 * stretching, map.TotalEnergy, 1e-12 * total);
}

TEST(TrainingTest, ElasticFactorsFollowTheTopology)
{
    struct TCase {
        const char* Name;
        int Rows, Columns, Layers;
        double Stretch, Bend; // for lambda = mu = 1
    };
    const TCase cases[] = {
        {"surface", 4, 5, 1, 0.01, 0.01},
        {"chain of 20", 20, 1, 1, 20.0 / 100, 20.0 / 10},
        {"lattice of 27", 3, 3, 3, 1.0 / 3 / 100, 1.0 / 3 / 1000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TData dataset;
        fixture::FillDataset(dataset, 60, 3);
        TMap& map = fixture::AddInitialisedMap(dataset, "m", GridRectangular, c.Rows, c.Columns, c.Layers);
        const TElasticFactors factors = ElasticFactors(map);
        EXPECT_NEAR(c.Stretch, factors.Stretch, 1e-15);
        EXPECT_NEAR(c.Bend, factors.Bend, 1e-15);
    }
}

TEST(TrainingTest, UntrainableMapsAreRefused)
{
    struct TCase {
        const char* Name;
        std::function<void(TMap&, data::TData&)> Spoil;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"no grid", [](TMap& m, data::TData&) { m.Grid.reset(); }, "has not been initialised"},
        {"points of another dimension", [](TMap&, data::TData& d) { d.Points[7].push_back(1); }, "coordinates"},
        {"weights summing to 0",
         [](TMap& m, data::TData& d) {
             m.UseWeights = true;
             d.PointWeights.assign(d.Points.size(), 0.0);
         },
         "point weights"},
        {"a negative weight",
         [](TMap& m, data::TData& d) {
             m.UseWeights = true;
             d.PointWeights.assign(d.Points.size(), 1.0);
             d.PointWeights[3] = -1;
         },
         "point weights"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TData dataset;
        TMap& map = SheetMap(dataset, 100);
        c.Spoil(map, dataset);
        const TStepResult step = TrainingStep(map);
        EXPECT_FALSE(step.Made);
        EXPECT_NE(std::string::npos, step.Problem.find(c.Fragment)) << step.Problem;
        EXPECT_TRUE(map.StopRequested);
        EXPECT_EQ(0, map.IterationCount);
        map.StopRequested = false;
        EXPECT_EQ(step.Problem, TrainUntilStopped(map));
    }
    // Weights of another length are not weights of these points: training is unweighted.
    data::TData dataset;
    TMap& map = SheetMap(dataset, 100);
    map.UseWeights = true;
    dataset.PointWeights = {1, 2};
    EXPECT_TRUE(TrainingStep(map).Made);
}

TEST(TrainingTest, DivergentSolveLeavesTheNodesWhereTheyWere)
{
    // With lambda < 0 the taxon terms are subtracted: strong bending keeps the system
    // positive on bent node positions and the rest makes it negative on flat ones.
    data::TData dataset;
    TMap& map = SheetMap(dataset, 200);
    map.Lambda = -0.01;
    map.Mu = 1000;
    const TArray2D before = map.Grid->Nodes;
    const TStepResult step = TrainingStep(map);
    EXPECT_FALSE(step.Made);
    EXPECT_NE(std::string::npos, step.Problem.find("no finite solution")) << step.Problem;
    EXPECT_TRUE(map.StopRequested);
    EXPECT_EQ(before, map.Grid->Nodes);
}

TEST(TrainingTest, StepKeepsItsBooksAndCallsBack)
{
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    dataset.PointWeights.assign(dataset.Points.size(), 0.5);
    map.MaxIterations = 3;
    std::vector<int> seen;
    std::vector<double> energies;
    map.ProgressCallback = [&] {
        seen.push_back(map.IterationCount);
        energies.push_back(map.TotalEnergy);
    };
    std::vector<double> evaluated;
    TrainUntilStopped(map, [&] { evaluated.push_back(map.TotalEnergy); });
    // The callback runs inside the step, after the count grows and before the step's own
    // evaluation: it sees the energy of the step before.
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), seen);
    ASSERT_EQ(4u, energies.size());
    for (std::size_t s = 1; s < energies.size(); ++s)
        EXPECT_EQ(evaluated[s - 1], energies[s]);
    EXPECT_GE(map.AssignTime, 0);
    EXPECT_GE(map.SolveTime, 0);
    EXPECT_EQ(dataset.Points.size() * 0.5, dataset.TotalWeight);
    EXPECT_EQ(static_cast<int>(dataset.Points.size()),
              std::accumulate(map.TaxonSizes.begin(), map.TaxonSizes.end(), 0));
    EXPECT_EQ(TArray1D(map.TaxonSizes.size(), 0.0), map.TaxonWeights) << "unweighted training sums no weights";
}

// The assignment reuses the nearest nodes the energy found only while the points are the
// same: a point moved, replaced by a copy elsewhere in memory, or given a gap is assigned anew.
TEST(TrainingTest, ChangedPointsAreAssignedAnew)
{
    const std::vector<std::pair<const char*, std::function<void(data::TData&, const TMap&)>>> changes = {
        {"moved onto another node",
         [](data::TData& d, const TMap& m) { d.Points[5] = m.Grid->Nodes[m.Grid->Nodes.size() - 1]; }},
        {"last bit changed", [](data::TData& d, const TMap&) { d.Points[9][0] = std::nextafter(d.Points[9][0], 1e9); }},
        {"all rows copied and one moved",
         [](data::TData& d, const TMap& m) {
             TArray2D copy = d.Points;
             copy[3] = m.Grid->Nodes[0];
             d.Points = copy;
         }},
        {"a gap", [](data::TData& d, const TMap&) { d.Points[11][1] = Missing(); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        data::TData dataset;
        TMap& map = SheetMap(dataset);
        map.MaxIterations = 1;
        TrainUntilStopped(map);
        change(dataset, map);
        AssignTaxons(map);
        oracle::TOracleMap expected = oracle::FromMap(map);
        oracle::Assign(expected, {&dataset.Points, &dataset.PointWeights});
        EXPECT_EQ(expected.TaxonMembers, map.TaxonMembers);
    }
}

TEST(TrainingTest, PendingCoefficientsAreTakenBeforeTheNextStep)
{
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    map.MaxIterations = 0;
    map.PendingLambda = 0.25;
    map.PendingMu = 4;
    TrainUntilStopped(map);
    EXPECT_EQ(0.25, map.Lambda);
    EXPECT_EQ(4, map.Mu);
    EXPECT_TRUE(std::isnan(map.PendingLambda.load()));
}

TEST(TrainingTest, FlatTuningPlacesNodesAtTheirPointsMeans)
{
    // Projected into their closest node, the points of a node sit on it (d = 0) and weigh
    // alike, so the node moves to their mean; a node without points stays, and so does a
    // coordinate one of its points lacks.
    data::TData dataset;
    fixture::FillDataset(dataset, 300, 3, true, 4);
    TMap& map = fixture::AddInitialisedMap(dataset, "flat", GridRectangular, 4, 4);
    map.ProjectorType = ProjectInClosestNode;
    ASSERT_TRUE(coloring::EnsureProjections(map));
    TArray2D sums(16, TArray1D(3, 0.0));
    std::vector<int> counts(16, 0);
    std::vector<std::vector<bool>> gap(16, std::vector<bool>(3, false));
    for (std::size_t p = 0; p < dataset.Points.size(); ++p) {
        const auto node = static_cast<std::size_t>(coloring::ProjectToClosestNode(*map.Grid, dataset.Points[p]).Node);
        ++counts[node];
        for (std::size_t k = 0; k < 3; ++k) {
            if (IsMissing(dataset.Points[p][k]))
                gap[node][k] = true;
            else
                sums[node][k] += dataset.Points[p][k];
        }
    }
    const TArray2D before = map.Grid->Nodes;
    ASSERT_TRUE(FlatTuning(map));
    EXPECT_FALSE(map.ProjectionsValid);
    int moved = 0;
    for (std::size_t i = 0; i < 16; ++i)
        for (std::size_t k = 0; k < 3; ++k) {
            if (counts[i] == 0 || gap[i][k]) {
                EXPECT_EQ(before[i][k], map.Grid->Nodes[i][k]) << i << "," << k;
            } else {
                EXPECT_NEAR(sums[i][k] / counts[i], map.Grid->Nodes[i][k], 1e-12) << i << "," << k;
                ++moved;
            }
        }
    EXPECT_GT(moved, 10);
}

} // namespace
} // namespace orbelin::map

// The fast training engine against the plain dense implementation kept in TrainingOracle.h:
// the same node positions bit for bit, the same energies, the same number of steps.
#include "TrainingOracle.h"
#include "MapFixtures.h"

#include "map/Training.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <cstring>

namespace orbelin::map {
namespace {

// Nodes compared bit for bit (a missing value equals only itself).
bool SameBits(const TArray2D& a, const TArray2D& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].size() != b[i].size() || std::memcmp(a[i].data(), b[i].data(), a[i].size() * sizeof(double)) != 0)
            return false;
    return true;
}

void ExpectRelativelyNear(double expected, double actual, const char* what)
{
    EXPECT_LE(std::fabs(expected - actual), 1e-12 * std::max(1.0, std::fabs(expected))) << what;
}

struct TCase {
    const char* Name;
    int GridType;
    int Rows, Columns, Layers;
    int Points, Dimension;
    int GapEvery;  ///< 0: no gaps
    bool Weighted; ///< class-like weights 1, 2, 3 in turn
    double Lambda, Mu;
    int MaxIterations;
};

TEST(TrainingOracleTest, EngineMatchesThePlainMethodStepByStep)
{
    const TCase cases[] = {
        {"sheet on a rectangle", GridRectangular, 12, 14, 1, 3000, 6, 0, false, 1, 1, 19},
        {"gaps and weights", GridRectangular, 9, 9, 1, 1500, 5, 7, true, 0.3, 2, 14},
        {"hexagonal, soft", GridHexagonal, 8, 10, 1, 1200, 4, 0, false, 0.01, 0.01, 9},
        {"spherical", GridSpherical, 6, 7, 1, 900, 4, 0, false, 5, 5, 9},
        {"circle with gaps", GridCircle, 4, 9, 1, 900, 4, 11, false, 1, 0.1, 9},
        {"chain", GridRectangular, 25, 1, 1, 800, 3, 0, false, 1, 1, 9},
        {"layered lattice", GridRectangular, 4, 4, 3, 800, 3, 0, false, 1, 1, 6},
        {"energy settles", GridRectangular, 5, 5, 1, 400, 3, 0, false, 1, 1, 10000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TData dataset;
        oracle::MakeSheet(dataset, c.Points, c.Dimension, 17, c.GapEvery);
        if (c.Weighted)
            for (std::size_t p = 0; p < dataset.Points.size(); ++p)
                dataset.PointWeights.push_back(1.0 + static_cast<double>(p % 3));
        TMap& map = fixture::AddInitialisedMap(dataset, "m", c.GridType, c.Rows, c.Columns, c.Layers);
        map.UseWeights = c.Weighted;
        map.Lambda = c.Lambda;
        map.Mu = c.Mu;
        map.MaxIterations = c.MaxIterations;
        map.StopRequested = false;
        map.PreviousEnergy = 1e100;

        oracle::TOracleMap expected = oracle::FromMap(map);
        const oracle::TOracleData points{&dataset.Points, &dataset.PointWeights};
        std::vector<TArray2D> expectedNodes;
        std::vector<double> expectedEnergy;
        oracle::Train(expected, points, [&] {
            expectedNodes.push_back(expected.Nodes);
            expectedEnergy.push_back(expected.TotalEnergy);
        });

        std::size_t step = 0;
        bool sameNodes = true;
        TrainUntilStopped(map, [&] {
            ASSERT_LT(step, expectedNodes.size());
            sameNodes = sameNodes && SameBits(expectedNodes[step], map.Grid->Nodes);
            ExpectRelativelyNear(expectedEnergy[step], map.TotalEnergy, "total energy");
            ++step;
        });
        EXPECT_TRUE(sameNodes);
        EXPECT_EQ(expectedNodes.size(), step);
        EXPECT_EQ(expected.IterationCount, map.IterationCount);
        EXPECT_EQ(expected.TaxonSizes, map.TaxonSizes);
        EXPECT_EQ(expected.TaxonMembers, map.TaxonMembers);
        ExpectRelativelyNear(expected.ApproximationError, map.ApproximationError, "approximation");
        ExpectRelativelyNear(expected.StretchingEnergy, map.StretchingEnergy, "stretching");
        ExpectRelativelyNear(expected.BendingEnergy, map.BendingEnergy, "bending");
        EXPECT_EQ(expected.SystemMatrix, map.SystemMatrix.ToDense());
    }
}

TEST(TrainingOracleTest, ThreadCountDoesNotChangeTheResult)
{
    data::TData dataset;
    oracle::MakeSheet(dataset, 2000, 5, 3, 9);
    TArray2D nodes[2];
    double energy[2] = {};
    const int threads[2] = {1, 2};
    for (int run = 0; run < 2; ++run) {
        omp_set_num_threads(threads[run]);
        dataset.Maps.clear();
        TMap& map = fixture::AddInitialisedMap(dataset, "m", GridRectangular, 10, 10);
        map.MaxIterations = 5;
        map.StopRequested = false;
        TrainUntilStopped(map);
        nodes[run] = map.Grid->Nodes;
        energy[run] = map.TotalEnergy;
    }
    omp_set_num_threads(omp_get_num_procs());
    EXPECT_TRUE(SameBits(nodes[0], nodes[1]));
    EXPECT_EQ(energy[0], energy[1]);
}

} // namespace
} // namespace orbelin::map

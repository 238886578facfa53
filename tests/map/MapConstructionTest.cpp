// Automatic construction and the experimenter's corner, driven through a fake event loop:
// the order of the stages and their notifications, "Stop", growth, and counted minima.
#include "FakeEventLoop.h"
#include "MapFixtures.h"
#include "TestUtil.h"
#include "TrainingOracle.h"

#include "map/MapConstruction.h"
#include "map/MinimaExperiment.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orbelin::map {
namespace {

// Records the notifications of a construction as text, in order.
struct TLog {
    std::vector<std::string> Events;
    int Steps = 0;
    TMap* Finished = nullptr;

    TConstructionNotifications Notifications()
    {
        TConstructionNotifications n;
        n.EpochStart = [this](int epoch) { Events.push_back(EpochTitle(epoch)); };
        n.StepEnd = [this] { ++Steps; };
        n.ExtrapolationStep = [this] { Events.push_back(ExtrapolationTitle); };
        n.InterpolationStep = [this] { Events.push_back(InterpolationTitle); };
        n.Finished = [this](TMap& map) {
            Events.push_back(FinishedTitle);
            Finished = &map;
        };
        return n;
    }
};

void Sheet(data::TData& dataset)
{
    oracle::MakeSheet(dataset, 500, 3, 31);
}

TEST(MapConstructionTest, EmptyRecipeOnlyInitialises)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    Sheet(dataset);
    TLog log;
    TMapConstruction construction;
    construction.Notifications = log.Notifications();
    construction.NewMapName = "Map111";
    TMapCreationAlg recipe;
    recipe.Rows = 4;
    recipe.Columns = 6;
    construction.Start(dataset, recipe);
    // Nothing to train: the construction has finished before Start returns.
    EXPECT_FALSE(construction.Running());
    EXPECT_EQ((std::vector<std::string>{"Almost ready..."}), log.Events);
    ASSERT_EQ(1u, dataset.Maps.size());
    TMap& map = *dataset.Maps[0];
    EXPECT_EQ(&map, log.Finished);
    EXPECT_EQ("Map111", map.Name);
    EXPECT_EQ(24, map.Grid->NodeCount());
    EXPECT_EQ(0, map.Lambda);
    EXPECT_EQ(0, map.Mu);
    EXPECT_EQ(0, map.Tolerance) << "base accuracy 0";
    EXPECT_EQ(0, map.IterationCount);
    EXPECT_EQ(map.TotalEnergy, construction.InitialEnergy());
    EXPECT_GT(construction.InitialEnergy(), 0);
}

TEST(MapConstructionTest, StagesRunInOrderOnTheTrainingThread)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    Sheet(dataset);
    TLog log;
    TMapConstruction construction;
    construction.Notifications = log.Notifications();
    TMapCreationAlg recipe;
    recipe.Rows = 5;
    recipe.Columns = 6;
    recipe.BaseAccuracy = 1e-3;
    recipe.EpochLambdas = {1, 0.1};
    recipe.EpochMus = {1, 0.1};
    recipe.ExtrapolationSteps = 1;
    recipe.InterpolationSteps = 1;
    construction.Start(dataset, recipe);
    EXPECT_TRUE(construction.Running());
    ASSERT_TRUE(loop.RunUntil([&] { return log.Finished != nullptr; }));
    EXPECT_FALSE(construction.Running());
    EXPECT_EQ((std::vector<std::string>{"Epoch 0...", "Epoch 1...", "Extrapolation...", "Interpolation...",
                                        "Almost ready..."}),
              log.Events);
    TMap& map = *log.Finished;
    EXPECT_FALSE(map.Training);
    EXPECT_NEAR(construction.InitialEnergy() * 1e-3, map.Tolerance, 1e-18);
    EXPECT_EQ(0.1, map.Lambda);
    EXPECT_EQ(0.1, map.Mu);
    // Every training step and every growth step ends with a step notification.
    EXPECT_GE(map.IterationCount, 2);
    EXPECT_EQ(map.IterationCount + 2, log.Steps);
    // One row and column more on every side, then resampled with one more again.
    const auto& grid = static_cast<const TRectangularGrid&>(*map.Grid);
    EXPECT_EQ(9, grid.P);
    EXPECT_EQ(10, grid.Q);
    EXPECT_EQ(9, map.RequestedRows);
    EXPECT_EQ(10, map.RequestedColumns);
    EXPECT_EQ(90u, map.TaxonSizes.size());
    EXPECT_FALSE(map.ProgressCallback);
}

TEST(MapConstructionTest, StopFinishesAfterTheRunInProgress)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    Sheet(dataset);
    TLog log;
    TMapConstruction construction;
    construction.Notifications = log.Notifications();
    construction.Notifications.StepEnd = [&] {
        ++log.Steps;
        construction.Stop();
    };
    TMapCreationAlg recipe;
    recipe.Rows = recipe.Columns = 5;
    recipe.EpochLambdas = recipe.EpochMus = {1, 1, 1};
    recipe.ExtrapolationSteps = 2;
    recipe.Adaptation = 1;
    construction.Start(dataset, recipe);
    ASSERT_TRUE(loop.RunUntil([&] { return log.Finished != nullptr; }));
    EXPECT_EQ((std::vector<std::string>{"Epoch 0...", "Almost ready..."}), log.Events);
    EXPECT_EQ(1, log.Finished->IterationCount);
    EXPECT_EQ(25, log.Finished->Grid->NodeCount()) << "no growth after Stop";
}

TEST(MapConstructionTest, GrowthStepsFollowTheGridType)
{
    struct TCase {
        const char* Name;
        int GridType;
        int Nodes;
    };
    const TCase cases[] = {
        {"sphere: reported, not grown", GridSpherical, 6 * 6 + 2},
        {"circle: code 5 makes a circle", GridCircle, 6 * 6 + 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::TFakeEventLoop loop;
        data::TData dataset;
        Sheet(dataset);
        TLog log;
        TMapConstruction construction;
        construction.Notifications = log.Notifications();
        TMapCreationAlg recipe;
        recipe.GridType = c.GridType;
        recipe.Rows = recipe.Columns = 6;
        recipe.ExtrapolationSteps = 2;
        construction.Start(dataset, recipe);
        ASSERT_NE(nullptr, log.Finished);
        EXPECT_EQ(c.GridType, log.Finished->GridType);
        EXPECT_EQ(c.GridType == GridCircle, dynamic_cast<TCircleGrid*>(log.Finished->Grid.get()) != nullptr);
        EXPECT_EQ(c.Nodes, log.Finished->Grid->NodeCount());
        EXPECT_EQ(2, log.Steps);
        EXPECT_EQ((std::vector<std::string>{"Extrapolation...", "Extrapolation...", "Almost ready..."}), log.Events);
    }
}

TEST(MapConstructionTest, AdaptationGrowsUntilTheCount)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    Sheet(dataset);
    TLog log;
    TMapConstruction construction;
    construction.Notifications = log.Notifications();
    TMapCreationAlg recipe;
    recipe.Rows = 8;
    recipe.Columns = 1;
    recipe.EpochLambdas = recipe.EpochMus = {1};
    recipe.Adaptation = 1;
    recipe.StopByCount = true;
    recipe.GrowthSteps = 3;
    construction.Start(dataset, recipe);
    ASSERT_TRUE(loop.RunUntil([&] { return log.Finished != nullptr; }));
    // Growth before every test of the count: three rounds with training, then the
    // fourth growth finds the count reached.
    EXPECT_EQ(8 + 4, log.Finished->Grid->NodeCount());
    EXPECT_EQ(7u + 4, log.Finished->Grid->Edges.size());
}

TEST(MapConstructionTest, StartRefusesAndCleansUp)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    Sheet(dataset);
    TMapConstruction construction;
    TMapCreationAlg bad;
    bad.Rows = 1;
    bad.Columns = 5;
    ORBELIN_EXPECT_ERROR(construction.Start(dataset, bad), "");
    EXPECT_TRUE(dataset.Maps.empty()) << "the map added for it is removed again";
    EXPECT_FALSE(construction.Running());

    // A current map is re-used unless a new one is asked for.
    TMapCreationAlg recipe;
    recipe.Rows = recipe.Columns = 3;
    TLog log;
    construction.Notifications = log.Notifications();
    construction.Start(dataset, recipe);
    construction.Start(dataset, recipe);
    EXPECT_EQ(1u, dataset.Maps.size());
    construction.AddNewMap = true;
    construction.Start(dataset, recipe);
    EXPECT_EQ(2u, dataset.Maps.size());

    recipe.EpochLambdas = recipe.EpochMus = {1};
    recipe.BaseAccuracy = 1e-3;
    log.Finished = nullptr;
    construction.Start(dataset, recipe);
    ORBELIN_EXPECT_ERROR(construction.Start(dataset, recipe), "running already");
    ASSERT_TRUE(loop.RunUntil([&] { return log.Finished != nullptr; }));
}

TEST(MapConstructionTest, RecipeEpochsAndSettingsFile)
{
    TMapCreationAlg recipe;
    AddEpoch(recipe);
    EXPECT_EQ((TArray1D{0}), recipe.EpochLambdas);
    recipe.EpochLambdas[0] = 2;
    recipe.EpochMus[0] = 0.5;
    AddEpoch(recipe);
    EXPECT_EQ((TArray1D{2, 2}), recipe.EpochLambdas);
    EXPECT_EQ((TArray1D{0.5, 0.5}), recipe.EpochMus);
    DeleteEpoch(recipe);
    EXPECT_EQ(1u, recipe.EpochMus.size());
    EXPECT_EQ("Эпоха 3", EpochCaption(3));

    test::TTempDir dir;
    EXPECT_EQ("", FindSettingsFile(dir.Path().string()));
    std::ofstream(dir.File("Orbelin.alg")) << "anything";
    EXPECT_EQ(dir.File("Orbelin.alg"), FindSettingsFile(dir.Path().string()));
}

TEST(MapConstructionTest, ExperimenterCountsDistinctMinima)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    Sheet(dataset);
    TMap& map = fixture::AddInitialisedMap(dataset, "tried", GridRectangular, 4, 4, 1, InitRandom);
    TMinimaExperiment experiment;
    experiment.Starts = 2;
    experiment.Accuracy = 1e-3;
    experiment.Lambda = 0.5;
    std::vector<int> runs;
    int starts = 0, minima = -1;
    experiment.StartPosition = [&](TMap&) { ++starts; };
    experiment.RunEnded = [&](int run) { runs.push_back(run); };
    experiment.Finished = [&](int count) { minima = count; };
    experiment.Run(map);
    ASSERT_TRUE(loop.RunUntil([&] { return minima >= 0; }));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), runs);
    EXPECT_EQ(3, starts);
    EXPECT_GE(minima, 1);
    EXPECT_LE(minima, 3);
    ASSERT_EQ(static_cast<std::size_t>(minima), experiment.Minima().size());
    EXPECT_EQ(1e100, experiment.Minima()[0].Distance);
    EXPECT_GT(experiment.Minima()[0].MeanEdge, 0);
    EXPECT_EQ(0.5, map.Lambda);
    EXPECT_EQ(1e-3, map.Tolerance);
    EXPECT_EQ("    1.2346", MinimumKey(1.23456));
    EXPECT_EQ("Минимумов = 2", MinimaLabel(2));
}

} // namespace
} // namespace orbelin::map

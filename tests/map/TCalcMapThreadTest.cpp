// The training thread with a fake event loop on the test's thread: progress handed over
// while the worker waits, the end of the run delivered on the loop, interruption, l and m
// typed during training, and the commands a training map refuses.
#include "FakeEventLoop.h"
#include "MapFixtures.h"
#include "TestUtil.h"
#include "TrainingOracle.h"

#include "map/MapConstruction.h"
#include "map/MapFile.h"
#include "map/MapGrowth.h"
#include "map/TCalcMapThread.h"
#include "map/Training.h"
#include "map/TrainingPanel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace orbelin::map {
namespace {

TMap& SheetMap(data::TData& dataset)
{
    oracle::MakeSheet(dataset, 600, 3, 8);
    return fixture::AddInitialisedMap(dataset, "sheet", GridRectangular, 6, 6);
}

TEST(TCalcMapThreadTest, ProgressRunsOnTheUiThreadWhileTheWorkerWaits)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    map.MaxIterations = 4;
    int calls = 0;
    bool onUi = true, held = true, finished = false, trainingAtEnd = true;
    AdjustMap(
        map, 1, 1,
        [&] {
            ++calls;
            onUi = onUi && loop.OnUiThread();
            const TArray2D nodes = map.Grid->Nodes;
            const int steps = map.IterationCount;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            held = held && nodes == map.Grid->Nodes && steps == map.IterationCount;
        },
        [&] {
            finished = true;
            trainingAtEnd = map.Training;
            onUi = onUi && loop.OnUiThread();
        });
    EXPECT_TRUE(map.Training);
    ASSERT_TRUE(loop.RunUntil([&] { return finished; }));
    EXPECT_EQ(5, calls);
    EXPECT_EQ(5, map.IterationCount);
    EXPECT_TRUE(onUi);
    EXPECT_TRUE(held) << "the worker went on while the progress routine ran";
    EXPECT_FALSE(trainingAtEnd);
    EXPECT_FALSE(map.Training);
    EXPECT_FALSE(map.ProgressCallback) << "the callback is cleared, not restored";
    EXPECT_TRUE(loop.Messages.empty());
    // A step outside the thread calls nothing.
    map.StopRequested = false;
    EXPECT_TRUE(TrainingStep(map).Made);
}

TEST(TCalcMapThreadTest, InterruptEndsTheRunAfterOneMoreEvaluation)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    double energyAfterFirstStep = 0;
    bool finished = false;
    AdjustMap(
        map, 1, 1,
        [&] {
            if (map.IterationCount == 2) {
                energyAfterFirstStep = map.TotalEnergy;
                InterruptTraining(map);
            }
        },
        [&] { finished = true; });
    ASSERT_TRUE(loop.RunUntil([&] { return finished; }));
    EXPECT_EQ(2, map.IterationCount);
    // One evaluation after step 2: the previous energy is the one after step 1, and the
    // total that of the nodes as they are.
    EXPECT_EQ(energyAfterFirstStep, map.PreviousEnergy);
    const double total = map.TotalEnergy;
    EvaluateEnergy(map);
    EXPECT_EQ(total, map.TotalEnergy);
}

TEST(TCalcMapThreadTest, LambdaTypedDuringTrainingTakesEffectFromTheNextStep)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    map.MaxIterations = 2;
    std::vector<double> lambdas;
    bool finished = false;
    AdjustMap(
        map, 1, 1,
        [&] {
            lambdas.push_back(map.Lambda);
            if (map.IterationCount == 1) {
                SetTrainingLambda(map, 3);
                SetTrainingMu(map, 0.5);
                lambdas.push_back(map.Lambda);
            }
        },
        [&] { finished = true; });
    ASSERT_TRUE(loop.RunUntil([&] { return finished; }));
    EXPECT_EQ((std::vector<double>{1, 1, 3, 3}), lambdas);
    EXPECT_EQ(0.5, map.Mu);
}

TEST(TCalcMapThreadTest, TrainingMapRefusesCommandsThatReplaceOrFreeIt)
{
    test::TFakeEventLoop loop;
    test::TTempDir dir;
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    const std::string file = dir.File("saved.obm");
    WriteMapFileTo(map, file);
    bool checked = false, finished = false;
    AdjustMap(
        map, 1, 1,
        [&] {
            if (checked)
                return;
            checked = true;
            ORBELIN_EXPECT_ERROR(InitializeMap(map, 3), "is being trained");
            std::string error;
            EXPECT_FALSE(ReadMapFileFrom(dataset, file, &error));
            EXPECT_NE(std::string::npos, error.find("is being trained")) << error;
            ORBELIN_EXPECT_ERROR(GrowMap(map, false, 1, 1, 1, 1, false), "is being trained");
            ORBELIN_EXPECT_ERROR(StartTraining(map, {}), "is being trained");
            ORBELIN_EXPECT_ERROR(AdjustMap(map, 1, 1, {}, {}), "is being trained");
            ORBELIN_EXPECT_ERROR(RunFlatTuning(map), "is being trained");
            TMapConstruction construction;
            ORBELIN_EXPECT_ERROR(construction.Start(dataset, TMapCreationAlg()), "is being trained");
            EXPECT_TRUE(AnyMapTraining(dataset));
            InterruptTraining(map);
        },
        [&] { finished = true; });
    ASSERT_TRUE(loop.RunUntil([&] { return finished; }));
    EXPECT_TRUE(checked);
    EXPECT_EQ("sheet", map.Name) << "a refused read leaves the name";
    EXPECT_FALSE(AnyMapTraining(dataset));
    InitializeMap(map, 3);
    std::string error;
    EXPECT_TRUE(ReadMapFileFrom(dataset, file, &error)) << error;
}

TEST(TCalcMapThreadTest, ProblemThatStopsTheRunIsShownOnTheUiThread)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    TMap& map = SheetMap(dataset);
    bool finished = false;
    std::size_t messagesAtEnd = 0;
    AdjustMap(
        map, 1, 1,
        [&] {
            // Weights that cannot weight the next step.
            map.UseWeights = true;
            dataset.PointWeights.assign(dataset.Points.size(), 0.0);
        },
        [&] {
            finished = true;
            messagesAtEnd = loop.Messages.size();
        });
    ASSERT_TRUE(loop.RunUntil([&] { return finished; }));
    EXPECT_EQ(1, map.IterationCount);
    ASSERT_EQ(1u, messagesAtEnd) << "the message comes before the end handler";
    EXPECT_NE(std::string::npos, loop.Messages[0].find("point weights")) << loop.Messages[0];
}

TEST(TCalcMapThreadTest, AdjustMapRefusesAMapThatCannotBeTrained)
{
    test::TFakeEventLoop loop;
    data::TData dataset;
    fixture::FillDataset(dataset, 10, 2);
    TMap& map = AddMap(dataset, "empty");
    ORBELIN_EXPECT_ERROR(AdjustMap(map, 1, 1, {}, {}), "has not been initialised");
    EXPECT_FALSE(map.Training);
    EXPECT_TRUE(map.StopRequested);
}

} // namespace
} // namespace orbelin::map

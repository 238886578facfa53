// Benchmarks of map training on the W1 workload (100,000 points near a curved sheet in
// 10 coordinates, a 30 x 30 map along the principal components): the nearest-node search
// with and without hints, the coordinate solves, and whole steps.
#include "../tests/map/TrainingOracle.h"

#include "map/MapInit.h"
#include "map/NearestNodes.h"
#include "map/SimdWidth.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "map/TrainingCache.h"
#include "map/TrainingSolver.h"
#include "numeric/Random.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace orbelin;

struct TWorkload {
    data::TData Dataset;
    map::TMap* Map = nullptr;
};

// The W1 map after a few steps, when the nodes have found the sheet.
TWorkload& Workload()
{
    static std::unique_ptr<TWorkload> workload = [] {
        auto w = std::make_unique<TWorkload>();
        map::oracle::MakeSheet(w->Dataset, 100000, 10, 2024);
        map::TMap& m = map::AddMap(w->Dataset, "bench");
        m.RequestedRows = m.RequestedColumns = 30;
        numeric::SeedRandom(7);
        map::InitializeMap(m, 3, false);
        m.MaxIterations = 2;
        m.StopRequested = false;
        map::TrainUntilStopped(m);
        w->Map = &m;
        return w;
    }();
    return *workload;
}

void BM_NearestSearch(benchmark::State& state)
{
    TWorkload& w = Workload();
    map::TTrainingCache& cache = map::TrainingCacheOf(*w.Map);
    cache.SyncPoints(w.Dataset.Points, 10);
    map::TNearestNodeSearch search;
    search.SetNodes(w.Map->Grid->Nodes);
    std::vector<std::int32_t> nearest(cache.PointCount), hint(cache.PointCount);
    std::vector<double> distance(cache.PointCount);
    search.Search(cache.Points.data(), cache.Complete.data(), cache.PointCount, map::TNodeGapRule::Propagate, nullptr,
                  hint.data(), distance.data());
    const bool hinted = state.range(0) != 0;
    map::ForceSimdWidth(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        search.Search(cache.Points.data(), cache.Complete.data(), cache.PointCount, map::TNodeGapRule::Propagate,
                      hinted ? hint.data() : nullptr, nearest.data(), distance.data());
        benchmark::DoNotOptimize(nearest.data());
    }
    map::ForceSimdWidth(0);
}
// Arguments: hints from the search before (0/1), vector width (0 the widest).
BENCHMARK(BM_NearestSearch)->Args({0, 0})->Args({1, 0})->Args({1, 8})->Args({1, 4})->Args({1, 2})->Unit(benchmark::kMillisecond);

// One step and the energy after it, as the training thread runs them.
void BM_TrainingStep(benchmark::State& state)
{
    TWorkload& w = Workload();
    for (auto _ : state) {
        w.Map->StopRequested = false;
        w.Map->MaxIterations = -1;
        map::TrainingStep(*w.Map);
        map::EvaluateEnergy(*w.Map);
    }
}
BENCHMARK(BM_TrainingStep)->Unit(benchmark::kMillisecond);

// The ten coordinate solves of one step from the same start, one after another (0) or as
// two groups of five lanes (1), on one thread.
void BM_Solves(benchmark::State& state)
{
    TWorkload& w = Workload();
    map::AssignTaxons(*w.Map);
    map::BuildSystemMatrix(*w.Map);
    const int n = w.Map->Grid->NodeCount();
    const map::TPreparedSystem system(w.Map->SystemMatrix, n);
    std::vector<TArray1D> rhs(10, TArray1D(static_cast<std::size_t>(n))), start(10);
    for (int k = 0; k < 10; ++k) {
        map::SolveCoordinate(*w.Map, k); // fills Rhs
        rhs[static_cast<std::size_t>(k)] = w.Map->Rhs;
        start[static_cast<std::size_t>(k)].resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            start[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)] =
                w.Map->Grid->Nodes[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] + 0.01 * (i % 7);
    }
    long long sweeps = 0;
    map::ForceSimdWidth(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        std::vector<TArray1D> x = start;
        if (state.range(0) == 0) {
            for (int k = 0; k < 10; ++k)
                sweeps += system.Solve(rhs[static_cast<std::size_t>(k)], x[static_cast<std::size_t>(k)], 1e-5).Sweeps;
        } else {
            for (int g = 0; g < 2; ++g) {
                const TArray1D* b[5];
                TArray1D* xs[5];
                numeric::TSolveResult results[5];
                for (int c = 0; c < 5; ++c) {
                    b[c] = &rhs[static_cast<std::size_t>(g * 5 + c)];
                    xs[c] = &x[static_cast<std::size_t>(g * 5 + c)];
                }
                system.SolveMany(b, xs, 5, 1e-5, nullptr, results);
                for (const auto& r : results)
                    sweeps += r.Sweeps;
            }
        }
        benchmark::DoNotOptimize(x.data());
    }
    map::ForceSimdWidth(0);
    state.counters["sweeps"] = benchmark::Counter(static_cast<double>(sweeps), benchmark::Counter::kAvgIterations);
}
// Arguments: one at a time (0) or in lanes (1), vector width (0 the widest).
BENCHMARK(BM_Solves)->Args({0, 0})->Args({1, 0})->Args({1, 8})->Args({1, 4})->Args({1, 2})->Unit(benchmark::kMillisecond);

} // namespace

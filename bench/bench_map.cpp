// Grids, elastic matrices and the projection of points onto maps of growing size.
#include "coloring/Projection.h"
#include "map/TNetGrid.h"
#include "numeric/Random.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orbelin;

// A side x side rectangle in 10 dimensions, its nodes scattered around a plane.
std::unique_ptr<map::TRectangularGrid> ScatteredGrid(int side)
{
    auto g = map::CreateGrid(map::GridRectangular, side, side, 1, 10);
    numeric::SeedRandom(1);
    for (std::size_t i = 0; i < g->Nodes.size(); ++i)
        for (std::size_t k = 0; k < 10; ++k)
            g->Nodes[i][k] = (k < 2 ? g->Internal[i][k] : 0.0) + (numeric::RandInt(1000) - 500) / 5000.0;
    return g;
}

TArray2D ScatteredPoints(int n)
{
    numeric::SeedRandom(2);
    TArray2D points(static_cast<std::size_t>(n), TArray1D(10));
    for (TArray1D& x : points)
        for (double& v : x)
            v = (numeric::RandInt(2000) - 1000) / 800.0;
    return points;
}

void BM_BuildElasticMatrices(benchmark::State& state)
{
    auto g =
        map::CreateGrid(map::GridRectangular, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)), 1, 3);
    for (auto _ : state)
        g->BuildElasticMatrices();
    state.SetItemsProcessed(state.iterations() * g->NodeCount());
}
BENCHMARK(BM_BuildElasticMatrices)->Arg(20)->Arg(100);

// 10,000 points onto maps of 400 and 10,000 nodes, in the closest point (0) or node (1).
void BM_ProjectPoints(benchmark::State& state)
{
    const auto g = ScatteredGrid(static_cast<int>(state.range(0)));
    const TArray2D points = ScatteredPoints(10000);
    for (auto _ : state)
        benchmark::DoNotOptimize(coloring::ProjectPoints(*g, points, static_cast<int>(state.range(1))));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(points.size()));
}
BENCHMARK(BM_ProjectPoints)
    ->Args({20, 0})
    ->Args({20, 1})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

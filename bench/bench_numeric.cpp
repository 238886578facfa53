// The distance routines that sit in the innermost loops of training.
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orbelin;

void BM_SqEuclideanDistance(benchmark::State& state)
{
    const int d = static_cast<int>(state.range(0));
    numeric::SeedRandom(3);
    const TArray1D a = numeric::RandomUnitVector(d), b = numeric::RandomUnitVector(d);
    for (auto _ : state)
        benchmark::DoNotOptimize(numeric::SqEuclideanDistance(a, b));
    state.SetItemsProcessed(state.iterations() * d);
}
BENCHMARK(BM_SqEuclideanDistance)->Arg(10)->Arg(50);

} // namespace

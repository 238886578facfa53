// The distance routines of the training loops, principal components, k-means and the
// single-linkage methods on seeded random data.
#include "numeric/Clustering.h"
#include "numeric/Components.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orbelin;

double Uniform()
{
    return numeric::RandInt(1000) / 1000.0 + numeric::RandInt(1000) / 1e6;
}

// n points of d coordinates: a few latent factors of decreasing spread mixed by random
// directions, plus uniform noise, so the leading components are well defined.
TArray2D FactorData(int n, int d)
{
    numeric::SeedRandom(11);
    const double spreads[] = {5, 3, 2, 1, 0.5};
    TArray2D directions;
    for (int f = 0; f < 5; ++f)
        directions.push_back(numeric::RandomUnitVector(d));
    TArray2D x(static_cast<std::size_t>(n), TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& row : x) {
        for (double& e : row)
            e = 0.2 * (Uniform() - 0.5);
        for (int f = 0; f < 5; ++f) {
            const double score = spreads[f] * (Uniform() - 0.5);
            for (int j = 0; j < d; ++j)
                row[j] += score * directions[f][j];
        }
    }
    return x;
}

// n points scattered around `groups` random centres in the unit cube.
TArray2D GroupedData(int n, int d, int groups)
{
    numeric::SeedRandom(12);
    TArray2D centres(static_cast<std::size_t>(groups), TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& c : centres)
        for (double& e : c)
            e = Uniform();
    TArray2D x(static_cast<std::size_t>(n), TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& row : x) {
        const TArray1D& c = centres[static_cast<std::size_t>(numeric::RandInt(groups))];
        for (int j = 0; j < d; ++j)
            row[j] = c[j] + 0.1 * (Uniform() - 0.5);
    }
    return x;
}

TArray2D UniformData(int n, int d)
{
    numeric::SeedRandom(13);
    TArray2D x(static_cast<std::size_t>(n), TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& row : x)
        for (double& e : row)
            e = Uniform();
    return x;
}

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

void BM_PrincipalComponents(benchmark::State& state)
{
    const TArray2D x = FactorData(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int k = static_cast<int>(state.range(2));
    for (auto _ : state) {
        numeric::SeedRandom(1);
        benchmark::DoNotOptimize(numeric::PrincipalComponents(x, {}, k));
    }
}
BENCHMARK(BM_PrincipalComponents)->Args({100000, 50, 3})->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_KMeans(benchmark::State& state)
{
    const int k = static_cast<int>(state.range(2));
    const TArray2D x = GroupedData(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), k);
    int passes = 0;
    for (auto _ : state) {
        numeric::SeedRandom(1);
        const numeric::TKMeansResult r = numeric::KMeans(x, k, 0, {});
        passes = r.Passes;
    }
    state.counters["passes"] = passes;
}
BENCHMARK(BM_KMeans)->Args({100000, 10, 50})->Unit(benchmark::kMillisecond)->Iterations(1);

// Without groups to find the centroids wander much longer.
void BM_KMeansUniform(benchmark::State& state)
{
    const TArray2D x = UniformData(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int passes = 0;
    for (auto _ : state) {
        numeric::SeedRandom(1);
        passes = numeric::KMeans(x, static_cast<int>(state.range(2)), 0, {}).Passes;
    }
    state.counters["passes"] = passes;
}
BENCHMARK(BM_KMeansUniform)->Args({100000, 10, 50})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HierarchicalByThreshold(benchmark::State& state)
{
    const TArray2D x = UniformData(static_cast<int>(state.range(0)), 10);
    int clusters = 0;
    for (auto _ : state) {
        double fraction = 0.3;
        clusters = numeric::HierarchicalByThreshold(x, 0, fraction).Count;
    }
    state.counters["clusters"] = clusters;
}
BENCHMARK(BM_HierarchicalByThreshold)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HierarchicalByCount(benchmark::State& state)
{
    const TArray2D x = UniformData(static_cast<int>(state.range(0)), 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(numeric::HierarchicalByCount(x, 1, 3));
}
BENCHMARK(BM_HierarchicalByCount)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

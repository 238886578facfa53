// Densities and whole colorings of a 50 x 50 rectangular map refined at smoothness 3 over
// 100,000 points.
#include "coloring/Coloring.h"
#include "coloring/ColoringSurface.h"
#include "coloring/Densities.h"
#include "coloring/Projection.h"
#include "data/TData.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "numeric/Random.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

using namespace orbelin;

struct TFixture {
    data::TData Data;
    map::TMap* Map = nullptr;
    coloring::TColoringSurface Surface;
};

// 100,000 points of d coordinates spread mostly along the first two, and a 50 x 50 map
// placed along their principal components; its surface refined twice (smoothness 3).
TFixture& Fixture(int d)
{
    static std::map<int, std::unique_ptr<TFixture>> fixtures;
    auto& slot = fixtures[d];
    if (slot)
        return *slot;
    slot = std::make_unique<TFixture>();
    TFixture& f = *slot;
    numeric::SeedRandom(7);
    f.Data.CoordCount = d;
    f.Data.PointCount = 100000;
    f.Data.Points.assign(100000, TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& x : f.Data.Points)
        for (std::size_t k = 0; k < x.size(); ++k)
            x[k] = (numeric::RandInt(2001) - 1000) / 1000.0 * (k == 0 ? 4.0 : k == 1 ? 2.0 : 0.3);
    for (int i = 0; i < 100000; ++i)
        f.Data.NUMXI.push_back(i);
    map::TMap& m = map::AddMap(f.Data, "bench");
    m.RequestedRows = m.RequestedColumns = 50;
    map::InitializeMap(m, 3, false);
    m.Smoothness = 3;
    coloring::EnsureProjections(m);
    f.Map = &m;
    f.Surface = coloring::BuildSurface(*m.Grid);
    coloring::RefineSurface(f.Surface.DataVertices, f.Surface.InternalVertices, f.Surface.Polygons, 2);
    return f;
}

void BM_GaussianDensity2D(benchmark::State& state)
{
    TFixture& f = Fixture(4);
    for (auto _ : state)
        benchmark::DoNotOptimize(coloring::GaussianDensity2D(f.Map->Projections, f.Surface.InternalVertices, 0.25));
    state.counters["vertices"] = static_cast<double>(f.Surface.InternalVertices.size());
}
BENCHMARK(BM_GaussianDensity2D)->Unit(benchmark::kSecond)->Iterations(1);

// The formula as written, one vertex row and one point at a time with std::exp, on the
// first tenth of the vertex rows: the reference the figures above are compared with.
void BM_PlainDensity2DTenth(benchmark::State& state)
{
    TFixture& f = Fixture(4);
    const TArray2D& vertices = f.Surface.InternalVertices;
    const TArray2D& projections = f.Map->Projections;
    const double r2 = 0.25 * 0.25;
    for (auto _ : state) {
        TArray1D density(vertices.size() / 10, 0.0);
        for (std::size_t v = 0; v < density.size(); ++v)
            for (const TArray1D& p : projections) {
                const double dx = vertices[v][0] - p[0], dy = vertices[v][1] - p[1];
                density[v] += std::exp(-(dx * dx + dy * dy) / r2);
            }
        benchmark::DoNotOptimize(density);
    }
}
BENCHMARK(BM_PlainDensity2DTenth)->Unit(benchmark::kSecond)->Iterations(1);

// Argument: the dimension d.
void BM_GaussianDensityND(benchmark::State& state)
{
    TFixture& f = Fixture(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(coloring::GaussianDensityND(f.Data.Points, f.Surface.DataVertices, 0.25));
    state.counters["vertices"] = static_cast<double>(f.Surface.DataVertices.size());
}
BENCHMARK(BM_GaussianDensityND)->Arg(4)->Arg(10)->Unit(benchmark::kSecond)->Iterations(1);

// The whole coloring: surface, refinement, density, scheme and display rows.
// Argument: the coloring code (111 2D density, 121 ND density, 1001 a field: the surface
// alone).
void BM_BuildColoring(benchmark::State& state)
{
    TFixture& f = Fixture(4);
    f.Map->ColoringCode = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(coloring::BuildColoring(*f.Map));
}
BENCHMARK(BM_BuildColoring)->Arg(111)->Arg(121)->Arg(1001)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

// Reading and writing table files of realistic size.
#include "data/TDataTable.h"
#include "numeric/Random.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace {

using namespace orbelin;

// A table of `records` rows: one quoted name and 20 numbers each.
std::string MakeTable(int records)
{
    data::TDataTable table;
    table.Name = "BENCH.OBT";
    table.FieldCount = 21;
    table.RecordCount = records;
    table.FieldNames.push_back("Name");
    table.FieldTypes.push_back(TFieldType::String);
    for (int j = 1; j < 21; ++j) {
        table.FieldNames.push_back("F" + std::to_string(j));
        table.FieldTypes.push_back(TFieldType::Float);
    }
    numeric::SeedRandom(1);
    for (int i = 0; i < records; ++i) {
        TArray1S row = {"record " + std::to_string(i)};
        for (int j = 1; j < 21; ++j)
            row.push_back(std::to_string(numeric::RandInt(1000) / 7.0));
        table.Values.push_back(row);
    }
    table.FieldDescriptors.resize(21);
    const std::string path = (std::filesystem::temp_directory_path() / "orbelin-bench.obt").string();
    data::SaveTable(table, path);
    return path;
}

void BM_LoadTable(benchmark::State& state)
{
    const std::string path = MakeTable(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        data::TDataTable table;
        data::LoadTable(table, path, data::TTableKind::TableFile);
        benchmark::DoNotOptimize(table.Values.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

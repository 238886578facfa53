// Reading table files and CSV files of realistic size.
#include "data/TDataTable.h"
#include "numeric/Random.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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

// A CSV file of about `megabytes` MB: an integer id, ten numbers and a quoted label per
// row, as an export from a spreadsheet or a database would give.
std::string MakeCsv(int megabytes)
{
    const std::string path = (std::filesystem::temp_directory_path() / "orbelin-bench.csv").string();
    std::ofstream out(path, std::ios::binary);
    out << "id";
    for (int j = 1; j <= 10; ++j)
        out << ",x" << j;
    out << ",label\r\n";
    numeric::SeedRandom(1);
    const long long target = static_cast<long long>(megabytes) << 20;
    std::string line;
    for (long long id = 0; out.tellp() < target; ++id) {
        line = std::to_string(id);
        for (int j = 1; j <= 10; ++j)
            line += "," + std::to_string(numeric::RandInt(1000000) / 1000.0 - 500);
        line += ",\"class " + std::to_string(id % 7) + "\"\r\n";
        out << line;
    }
    return path;
}

void BM_LoadCsv(benchmark::State& state)
{
    const std::string path = MakeCsv(static_cast<int>(state.range(0)));
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        data::TDataTable table;
        data::LoadTable(table, path, data::TTableKind::Csv);
        benchmark::DoNotOptimize(table.Values.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadCsv)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

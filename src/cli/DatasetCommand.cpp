// dataset: builds a dataset from a table's numeric fields and writes it with its table.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/Cp1251.h"
#include "data/DatasetBuild.h"
#include "data/DatasetFile.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

namespace orbelin::cli {
namespace {

/// The command's usage line, from its declaration.
std::string DatasetUsage;

struct TDatasetOptions {
    std::string Table;
    std::string Out;
    std::map<std::string, std::string> Lists; // --fields, --log, --tanh, --range, --std
    bool NoStd = false;
    bool ExcludeGaps = false;
};

[[noreturn]] void Usage(const std::string& problem)
{
    throw TUsageError("dataset: " + problem + " (usage: orbelin-cli " + DatasetUsage + ")");
}

TDatasetOptions ReadDatasetOptions(const TOptions& line)
{
    DatasetUsage = line.Usage;
    TDatasetOptions options;
    options.Table = line.Path;
    options.Out = line.Value("-o").value_or("");
    for (const char* list : {"--fields", "--log", "--tanh", "--range", "--std"})
        if (const auto value = line.Value(list)) {
            if (value->empty())
                Usage(std::string(list) + " needs a value");
            options.Lists[list] = *value;
        }
    options.NoStd = line.Flag("--no-std");
    options.ExcludeGaps = line.Flag("--exclude-gaps");
    if (!data::TableKindOfPath(options.Table))
        Usage("TABLE " + options.Table + " is not a table file (.obt, .dat, .csv, .tsv, .dbf or .db)");
    if (options.Out.empty())
        Usage("-o needs a value");
    if (data::LowerExtension(options.Out) != ".obd")
        Usage("the output file " + options.Out + " must end in .obd");
    if (options.NoStd && options.Lists.count("--std"))
        Usage("--std and --no-std exclude each other");
    return options;
}

// The table fields a comma-separated list names; each must be a field of the table, and
// for the coordinate lists a numeric one.
std::vector<int> NamedFields(const data::TDataTable& table, const std::string& option, const std::string& list)
{
    std::vector<int> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string name = data::TrimBlanks(list.substr(start, comma - start));
        if (name.empty())
            Usage(option + " holds an empty field name");
        const int f = data::FieldIndex(table, name);
        if (f < 0)
            Usage(option + ": the table " + table.Name + " has no field " + name);
        if (!data::IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(f)]))
            Usage(option + ": the field " + name + " is of type " +
                  data::FieldTypeName(table.FieldTypes[static_cast<std::size_t>(f)]) + ", not numeric");
        fields.push_back(f);
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

// True when the table file the dataset is read with (its Name in the folder, letter case
// ignored, as loading the dataset finds it) is the source itself.
bool IsSourceTable(const std::string& source, const std::filesystem::path& folder, const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::equivalent(source, folder / name, ec))
        return true;
    const fs::path sourcePath(source);
    return data::TableKindOfPath(source) == data::TTableKind::TableFile &&
           fs::equivalent(sourcePath.parent_path().empty() ? fs::path(".") : sourcePath.parent_path(),
                          folder.empty() ? fs::path(".") : folder, ec) &&
           data::FoldCase(sourcePath.filename().string()) == data::FoldCase(name);
}

} // namespace

void RunDataset(const TOptions& line)
{
    const TDatasetOptions options = ReadDatasetOptions(line);
    data::TDataTable table;
    data::LoadTable(table, options.Table, *data::TableKindOfPath(options.Table));

    std::vector<data::TFieldChoice> choices(static_cast<std::size_t>(table.FieldCount));
    for (const int f : NamedFields(table, "--fields", options.Lists.at("--fields"))) {
        choices[static_cast<std::size_t>(f)].Use = true;
        choices[static_cast<std::size_t>(f)].Std = !options.NoStd && !options.Lists.count("--std");
    }
    const std::pair<const char*, bool data::TFieldChoice::*> steps[] = {{"--log", &data::TFieldChoice::Log},
                                                                        {"--tanh", &data::TFieldChoice::Tanh},
                                                                        {"--range", &data::TFieldChoice::Range},
                                                                        {"--std", &data::TFieldChoice::Std}};
    for (const auto& [option, step] : steps) {
        if (!options.Lists.count(option))
            continue;
        for (const int f : NamedFields(table, option, options.Lists.at(option))) {
            if (!choices[static_cast<std::size_t>(f)].Use)
                Usage(std::string(option) + ": the field " + table.FieldNames[static_cast<std::size_t>(f)] +
                      " is not among --fields");
            choices[static_cast<std::size_t>(f)].*step = true;
        }
    }

    data::TData dataset;
    dataset.Name = data::BaseName(options.Out);
    dataset.Table = &table;
    dataset.ExcludeGaps = options.ExcludeGaps;
    const data::TBuildResult built = data::BuildFromTable(dataset, choices);
    if (!built.Built)
        throw TError("cannot build a dataset from " + options.Table + ": the table has no records");
    data::Normalise(dataset);
    if (built.UnparsedCells > 0)
        std::fprintf(stderr,
                     "orbelin-cli: warning: %d values of the chosen fields are not numbers and count as missing "
                     "(the first in record %d, field %s)\n",
                     built.UnparsedCells, built.FirstUnparsedRecord + 1,
                     table.FieldNames[static_cast<std::size_t>(built.FirstUnparsedField)].c_str());

    // The table goes beside the dataset under its Name, where loading the dataset looks for
    // it; a table file that is already there as the source is never written over.
    const std::filesystem::path folder = std::filesystem::path(options.Out).parent_path();
    if (!IsSourceTable(options.Table, folder, table.Name))
        data::SaveTable(table, (folder / table.Name).string());
    data::WriteDatasetFile(dataset, options.Out);

    TJson json;
    json["points"] = dataset.PointCount;
    json["coords"] = dataset.CoordCount;
    json["coord_names"] = dataset.CoordNames;
    TJson& normstat = json["normstat"] = TJson::array();
    for (const data::TNormStat& stat : dataset.NormStat) {
        TJson& row = normstat.emplace_back(TJson::array());
        for (int i = 0; i < data::TNormStat::Count; ++i)
            row.push_back(stat.At(i));
    }
    PrintJson(json);
}

void AddDatasetCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("dataset", "build a dataset from a table's numeric fields", RunDataset);
    AddPath(command, "TABLE", "the table: .obt, .dat, .csv, .tsv, .dbf or .db");
    AddValue(command, "-o,--output", "OUT.obd", "the dataset file to write; its table is written beside it")
        ->required();
    AddValue(command, "--fields", "A,B,...", "the numeric fields that span the data space")->required();
    AddValue(command, "--log", "A,...", "fields taken on their logarithm");
    AddValue(command, "--tanh", "A,...", "fields taken on their hyperbolic tangent");
    AddValue(command, "--range", "A,...", "fields scaled into (-1;1)");
    AddValue(command, "--std", "A,...", "fields divided by their standard deviation (without it: every field)");
    AddFlag(command, "--no-std", "divide no field by its standard deviation");
    AddFlag(command, "--exclude-gaps", "leave out the records with an empty value in a chosen field");
}

} // namespace orbelin::cli

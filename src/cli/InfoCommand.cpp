// info: one JSON object describing a file, by the file's kind.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"

namespace orbelin::cli {
void PrintTableInfo(const data::TDataTable& table)
{
    TJson json;
    json["kind"] = "table";
    json["name"] = table.Name;
    json["records"] = table.RecordCount;
    json["fields"] = TJson::array();
    for (int j = 0; j < table.FieldCount; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        TJson& field = json["fields"].emplace_back();
        field["name"] = table.FieldNames[jj];
        field["type"] = data::FieldTypeName(table.FieldTypes[jj]);
        field["width"] = table.FieldWidths[jj];
    }
    PrintJson(json);
}

namespace {

// A dataset file on its own: its table need not be at hand.
void PrintDataset(const std::string& path)
{
    data::TData dataset;
    data::TRWFile file;
    file.OpenForReading(path);
    data::ReadDataset(dataset, file);
    file.Close();
    TJson json;
    json["kind"] = "dataset";
    json["name"] = data::BaseName(path);
    json["table"] = data::DatasetTableName(path);
    json["points"] = dataset.PointCount;
    json["coords"] = dataset.CoordCount;
    json["coord_names"] = dataset.CoordNames;
    json["exclude_gaps"] = dataset.ExcludeGaps;
    PrintJson(json);
}

} // namespace

std::string ExtensionOf(const std::string& path)
{
    return data::LowerExtension(path);
}

void RunInfo(const TOptions& line)
{
    const std::string& path = line.Path;
    const std::string ext = ExtensionOf(path);
    if (ext == ".obd") {
        PrintDataset(path);
        return;
    }
    if (const std::optional<data::TTableKind> kind = data::TableKindOfPath(path)) {
        data::TDataTable table;
        data::LoadTable(table, path, *kind);
        PrintTableInfo(table);
        return;
    }
    if (ext == ".obm") {
        PrintMapInfo(path);
        return;
    }
    if (ext == ".obp") {
        PrintProjectInfo(path);
        return;
    }
    throw TError(
        "cannot describe " + path + ": unknown kind of file \"" + ext +
        "\" (expected a table .obt, .dat, .csv, .tsv, .dbf or .db, a dataset .obd, a map .obm or a project .obp)");
}

void AddInfoCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("info", "describe a table, dataset, map or project file as JSON", RunInfo);
    AddPath(command, "PATH",
            "a table (.obt, .dat, .csv, .tsv, .dbf, .db), dataset (.obd), map (.obm) or project (.obp)");
}

} // namespace orbelin::cli

// info: one JSON object describing a file, by the file's kind.
#include "cli/Commands.h"
#include "cli/TJsonWriter.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"

#include <cstdio>

namespace orbelin::cli {
void PrintTableInfo(const data::TDataTable& table)
{
    TJsonWriter json;
    json.BeginObject().Key("kind").String("table").Key("name").String(table.Name);
    json.Key("records").Int(table.RecordCount).Key("fields").BeginArray();
    for (int j = 0; j < table.FieldCount; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        json.BeginObject()
            .Key("name")
            .String(table.FieldNames[jj])
            .Key("type")
            .String(data::FieldTypeName(table.FieldTypes[jj]))
            .Key("width")
            .Int(table.FieldWidths[jj])
            .EndObject();
    }
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
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
    TJsonWriter json;
    json.BeginObject().Key("kind").String("dataset").Key("name").String(data::BaseName(path));
    json.Key("table").String(data::DatasetTableName(path));
    json.Key("points").Int(dataset.PointCount).Key("coords").Int(dataset.CoordCount);
    json.Key("coord_names").BeginArray();
    for (const std::string& name : dataset.CoordNames)
        json.String(name);
    json.EndArray().Key("exclude_gaps").Bool(dataset.ExcludeGaps).EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace

std::string ExtensionOf(const std::string& path)
{
    return data::LowerExtension(path);
}

void RunInfo(const TArgs& args)
{
    if (args.size() != 1)
        throw TUsageError("info takes one PATH (usage: orbelin-cli info PATH)");
    const std::string& path = args[0];
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

} // namespace orbelin::cli

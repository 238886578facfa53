// info: one JSON object describing a file, by the file's kind.
#include "cli/Commands.h"
#include "cli/TJsonWriter.h"
#include "data/Resources.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace orbelin::cli {
namespace {

void PrintTable(const data::TDataTable& table)
{
    TJsonWriter json;
    json.BeginObject().Key("kind").String("table").Key("name").String(table.Name);
    json.Key("records").Int(table.RecordCount).Key("fields").BeginArray();
    for (int j = 0; j < table.FieldCount; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        json.BeginObject()
            .Key("name").String(table.FieldNames[jj])
            .Key("type").String(data::FieldTypeName(table.FieldTypes[jj]))
            .Key("width").Int(table.FieldWidths[jj])
            .EndObject();
    }
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace

std::string ExtensionOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

void RunInfo(const TArgs& args)
{
    if (args.size() != 1)
        throw TUsageError("info takes one PATH (usage: orbelin-cli info PATH)");
    const std::string& path = args[0];
    const std::string ext = ExtensionOf(path);
    if (ext == ".obt") {
        data::TDataTable table;
        data::LoadTable(table, path, data::TTableKind::TableFile);
        PrintTable(table);
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
    throw TError("cannot describe " + path + ": unknown kind of file \"" + ext + "\" (expected .obt or .obm)");
}

void RunDemo(const TArgs& args)
{
    if (!args.empty())
        throw TUsageError("demo takes no arguments");
    data::TDataTable table;
    data::LoadTable(table, "IRIS.OBT", data::TTableKind::Resource);
    PrintTable(table);
}

} // namespace orbelin::cli

// Dataset, field and class arguments of the analysis commands.
#include "cli/AnalysisInput.h"

#include "analysis/PointWeights.h"
#include "cli/MapLoading.h"
#include "coloring/ColorSchemes.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"

#include <cstdio>
#include <unordered_map>

namespace orbelin::cli {

namespace {

std::string List(const TArray1S& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

} // namespace

void LoadAnalysisDataset(const std::string& path, data::TData& data, data::TDataTable& table)
{
    data::LoadDatasetWithTable(path, data, table);
    analysis::PointClasses(data); // every point's record must be in the table
}

void TAnalysisInput::Load(const std::string& path, const std::optional<std::string>& mapPath)
{
    if (mapPath) {
        Map = &LoadMapWithDataset(*mapPath, path, Data, Table);
        analysis::PointClasses(Data); // every point's record must be in the table
    } else {
        LoadAnalysisDataset(path, Data, Table);
    }
}

const map::TNetGrid* TAnalysisInput::Grid() const
{
    return Map ? Map->Grid.get() : nullptr;
}

TClassOptions ClassOptions(const TOptions& line)
{
    if (!line.Value("--class-field") || !line.Value("--class"))
        line.Fail(line.Command + " needs --class-field NAME and --class VALUE");
    return {*line.Value("--class-field"), *line.Value("--class")};
}

int TableFieldOption(const data::TDataTable& table, const std::string& option, const std::string& name)
{
    const int field = data::FieldIndex(table, name);
    if (field < 0)
        throw TError(option + ": the table " + table.Name + " has no field \"" + name +
                     "\" (its fields: " + List(table.FieldNames) + ")");
    return field;
}

std::vector<bool> CoordinateFlags(const data::TData& data, const std::string& option,
                                  const std::optional<std::string>& list)
{
    std::vector<bool> flags(data.CoordNames.size(), !list.has_value());
    if (!list)
        return flags;
    std::size_t start = 0;
    while (start <= list->size()) {
        const std::size_t end = std::min(list->find(',', start), list->size());
        const std::string name = data::TrimBlanks(std::string_view(*list).substr(start, end - start));
        int k = -1;
        for (std::size_t i = 0; i < data.CoordNames.size(); ++i)
            if (data.CoordNames[i] == name)
                k = static_cast<int>(i);
        if (k < 0)
            throw TError(option + ": the dataset " + data.Name + " has no coordinate \"" + name +
                         "\" (its coordinates: " + List(data.CoordNames) + ")");
        flags[static_cast<std::size_t>(k)] = true;
        start = end + 1;
    }
    return flags;
}

TFieldClasses ColourRecordsByField(data::TDataTable& table, int field)
{
    TFieldClasses classes;
    classes.Field = table.FieldNames[static_cast<std::size_t>(field)];
    std::unordered_map<std::string, int> index;
    TArray1I recordClass;
    for (const TArray1S& record : table.Values) {
        const std::string value = static_cast<std::size_t>(field) < record.size()
                                      ? data::TrimBlanks(record[static_cast<std::size_t>(field)])
                                      : "";
        const auto [it, added] = index.emplace(value, static_cast<int>(classes.Values.size()));
        if (added)
            classes.Values.push_back(value);
        recordClass.push_back(it->second);
    }
    const std::size_t k = classes.Values.size();
    for (std::size_t c = 0; c < k; ++c)
        classes.Colors.push_back(
            coloring::PackColor(coloring::FourStep(k > 1 ? static_cast<double>(c) / static_cast<double>(k - 1) : 0.0)));
    for (std::size_t r = 0; r < recordClass.size() && r < table.PointStyles.size(); ++r)
        table.PointStyles[r][FILLCOLOR] = classes.Colors[static_cast<std::size_t>(recordClass[r])];
    return classes;
}

int ClassColorOption(const TFieldClasses& classes, const std::string& option, const std::string& value)
{
    const std::string wanted = data::TrimBlanks(value);
    for (std::size_t c = 0; c < classes.Values.size(); ++c)
        if (classes.Values[c] == wanted)
            return classes.Colors[c];
    throw TError(option + ": the field " + classes.Field + " has no class \"" + wanted +
                 "\" (its classes: " + List(classes.Values) + ")");
}

std::string HexColor(int packed)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    return text;
}

} // namespace orbelin::cli

// The table window's commands on records, points and tables.
#include "app/TableWindowCommands.h"

#include "app/FieldChoices.h"
#include "app/FileDialogs.h"
#include "data/GridXlsx.h"
#include "data/TError.h"
#include "data/TTablePage.h"
#include "data/TableGrid.h"
#include "data/TableOperations.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "numeric/Components.h"
#include "numeric/TUserInterface.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace orbelin::app {

namespace {

PointStyle* StyleOf(data::TDataTable& table, int record)
{
    if (record < 0 || static_cast<std::size_t>(record) >= table.PointStyles.size())
        return nullptr;
    return &table.PointStyles[static_cast<std::size_t>(record)];
}

// The points of those records, found through NUMXI.
TArray1I PointsOf(const data::TData& data, const std::vector<int>& records)
{
    std::unordered_map<int, int> pointOfRecord;
    pointOfRecord.reserve(data.NUMXI.size());
    for (std::size_t p = 0; p < data.NUMXI.size(); ++p)
        pointOfRecord.emplace(data.NUMXI[p], static_cast<int>(p));
    TArray1I points;
    for (const int record : records)
        if (const auto it = pointOfRecord.find(record); it != pointOfRecord.end())
            points.push_back(it->second);
    return points;
}

// A dataset with data's coordinates and normalisation but no points, to try a rebuild on.
data::TData TrialCopy(const data::TData& data)
{
    data::TData trial;
    trial.Name = data.Name;
    trial.Table = data.Table;
    trial.CoordCount = data.CoordCount;
    trial.CoordNames = data.CoordNames;
    trial.LogFlags = data.LogFlags;
    trial.TanhFlags = data.TanhFlags;
    trial.RangeFlags = data.RangeFlags;
    trial.StdFlags = data.StdFlags;
    trial.ExcludeGaps = data.ExcludeGaps;
    trial.Scale = data.Scale;
    trial.NormStat = data.NormStat;
    return trial;
}

// Why the dataset cannot stay on table once it holds the values read from the file, or
// "" when it can.
std::string DatasetMisfit(const data::TData& dataset, const data::TDataTable& table, const std::string& path)
{
    for (const std::string& name : dataset.CoordNames)
        if (data::FieldIndex(table, name) < 0)
            return "the dataset " + dataset.Name + " uses the field " + name + ", which " + path + " does not have";
    int lastRecord = -1;
    for (const int record : dataset.NUMXI)
        lastRecord = std::max(lastRecord, record);
    if (lastRecord >= table.RecordCount)
        return "the dataset " + dataset.Name + " has a point of record " + std::to_string(lastRecord + 1) + ", but " +
               path + " has " + std::to_string(table.RecordCount) + " records";
    return {};
}

} // namespace

bool ToggleRecordSelection(data::TDataTable& table, int record, const view::TSelectionStyle& style)
{
    PointStyle* point = StyleOf(table, record);
    if (!point)
        return false;
    if ((*point)[SELECTED] != 0) {
        (*point)[SELECTED] = 0;
        return false;
    }
    view::ApplySelectionStyle(*point, style);
    return true;
}

void MarkRecords(data::TDataTable& table, const std::vector<int>& records, const view::TSelectionStyle& style)
{
    for (const int record : records)
        view::ApplySelectionStyle(table, record, style);
}

void UnmarkRecords(data::TDataTable& table, const std::vector<int>& records)
{
    for (const int record : records)
        if (PointStyle* point = StyleOf(table, record))
            (*point)[SELECTED] = 0;
}

bool MarkRecordPoints(data::TData& data, const std::vector<int>& records, const view::TSelectionProperties& marks,
                      int mode)
{
    const TArray1I points = PointsOf(data, records);
    if (points.empty())
        return false;
    if (mode == data::MarkAdd && points.size() == 1) {
        const auto it = std::find(data.MarkedPoints.begin(), data.MarkedPoints.end(), points[0]);
        const auto m = static_cast<std::size_t>(it - data.MarkedPoints.begin());
        if (it != data.MarkedPoints.end() && m < data.MarkColors.size() && data.MarkColors[m] == marks.Color) {
            if (m < data.MarkSizes.size())
                data.MarkSizes[m] = marks.Size;
            return true;
        }
    }
    data::MarkPoints(data, points, marks.Color, marks.Size, mode);
    return true;
}

bool SyncronizeWithTable(data::TData& data)
{
    if (!data.Table)
        return false;
    data::TBuildResult built;
    try {
        data::TData trial = TrialCopy(data);
        data::SyncronizeDataset(trial, *data.Table);
        if (trial.PointCount == 0) {
            UserInterface().ShowMessage("No selected record of the table " + data.Table->Name +
                                        " gives a point of the dataset " + data.Name +
                                        ": the dataset is left as it was.");
            return false;
        }
        const TArray1I oldRecords = data.NUMXI;
        built = data::SyncronizeDataset(data, *data.Table);
        if (!data.Visibility.empty()) {
            std::unordered_map<int, int> shown;
            for (std::size_t p = 0; p < oldRecords.size() && p < data.Visibility.size(); ++p)
                shown.emplace(oldRecords[p], data.Visibility[p]);
            TArray1I visibility(data.NUMXI.size(), 1);
            for (std::size_t p = 0; p < data.NUMXI.size(); ++p)
                if (const auto it = shown.find(data.NUMXI[p]); it != shown.end())
                    visibility[p] = it->second;
            data.Visibility = std::move(visibility);
        }
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
    for (const auto& map : data.Maps)
        map->ProjectionsValid = false;
    TCreateDatasetResult report;
    report.Dataset = &data;
    report.UnparsedCells = built.UnparsedCells;
    report.FirstUnparsedRecord = built.FirstUnparsedRecord;
    report.FirstUnparsedField = built.FirstUnparsedField;
    if (const std::string message = UnparsedCellsMessage(report); !message.empty())
        UserInterface().ShowMessage(message);
    return true;
}

bool ChangeTableFromFile(TScript& script, int k, const std::string& path)
{
    if (k < 0 || static_cast<std::size_t>(k) >= script.Tables.size())
        return false;
    data::TDataTable& table = *script.Tables[static_cast<std::size_t>(k)];
    const std::vector<int> dependents = DatasetsOnTable(script, k);
    try {
        data::TDataTable fresh;
        data::ChangeTable(fresh, path);
        for (const int d : dependents)
            if (const std::string misfit = DatasetMisfit(*script.Datasets[static_cast<std::size_t>(d)], fresh, path);
                !misfit.empty())
                throw TError("cannot change the table " + table.Name + ": " + misfit);
        table = std::move(fresh);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
    const auto fieldCount = static_cast<std::size_t>(std::max(table.FieldCount, 0));
    if (script.FieldChoices.size() < script.Tables.size())
        script.FieldChoices.resize(script.Tables.size());
    script.FieldChoices[static_cast<std::size_t>(k)].assign(fieldCount, data::TFieldChoice());
    for (const int d : dependents) {
        data::TData& dataset = *script.Datasets[static_cast<std::size_t>(d)];
        dataset.UsedFields.assign(fieldCount, false);
        for (const std::string& name : dataset.CoordNames)
            dataset.UsedFields[static_cast<std::size_t>(data::FieldIndex(table, name))] = true;
    }
    return true;
}

bool ChangeTableCommand(TScript& script, int k)
{
    if (k < 0 || static_cast<std::size_t>(k) >= script.Tables.size())
        return false;
    std::string path = script.Tables[static_cast<std::size_t>(k)]->Path;
    if (!UserInterface().ChooseOpenFile("", path))
        return false;
    try {
        SetWorkingDirectoryOf(path);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
    return ChangeTableFromFile(script, k, path);
}

int AddDerivedTable(TScript& script, const data::TDataTable& derived)
{
    try {
        data::SaveTable(derived, derived.Path);
        AddTable(script, derived.Path, data::TTableKind::TableFile);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return -1;
    }
    return static_cast<int>(script.Tables.size()) - 1;
}

int AddTransposedTable(TScript& script)
{
    const data::TData* dataset = script.Dataset();
    if (!dataset || !dataset->Table)
        return -1;
    return AddDerivedTable(script, data::TransposeTable(*dataset, *dataset->Table));
}

TArray1D FirstPrincipalDirection(const data::TData& data, const map::TMap& map)
{
    const auto d = static_cast<std::size_t>(std::max(data.CoordCount, 0));
    if (!map.Components.empty() && map.Components[0].size() == d) {
        const TArray1D& first = map.Components[0];
        double norm = 0;
        for (const double x : first)
            norm += std::isfinite(x) ? x * x : 0.0;
        if (norm > 0 && std::all_of(first.begin(), first.end(), [](double x) { return std::isfinite(x); }))
            return first;
    }
    numeric::TPrincipalComponents pc = numeric::PrincipalComponents(data.Points, data.PointWeights, 1);
    if (pc.Components.empty())
        return TArray1D(d, 0.0);
    return pc.Components[0];
}

int AddTableWithoutFirstComponent(TScript& script)
{
    const data::TData* dataset = script.Dataset();
    const map::TMap* map = dataset ? dataset->CurrentMap() : nullptr;
    if (!map || !dataset->Table)
        return -1;
    try {
        const TArray1D direction = FirstPrincipalDirection(*dataset, *map);
        return AddDerivedTable(script, data::SubtractFirstComponent(*dataset, *dataset->Table, direction));
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return -1;
    }
}

bool ExportPageCsv(const data::TTablePage& page)
{
    std::string path = data::BaseName(page.Table().Name) + ".csv";
    if (!UserInterface().ChooseSaveFile("", ".csv", path))
        return false;
    if (data::LowerExtension(path).empty())
        path += ".csv";
    try {
        SetWorkingDirectoryOf(path);
        data::WriteGridCsv(page.Grid(), path);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
    return true;
}

bool ExportPageXlsx(const data::TTablePage& page, const std::string& path)
{
    try {
        data::WriteGridXlsx(page.Grid(), path);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
    return true;
}

} // namespace orbelin::app

// The Table panel's field choices and the Create dataset command.
#include "app/FieldChoices.h"

#include "data/DatasetBuild.h"
#include "data/TDataTable.h"

#include <set>

namespace orbelin::app {

namespace {

bool IsField(const std::vector<data::TFieldChoice>& choices, int field)
{
    return field >= 0 && field < static_cast<int>(choices.size());
}

bool Markable(const data::TDataTable& table, int field)
{
    return field >= 0 && field < static_cast<int>(table.FieldTypes.size()) &&
           data::IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(field)]);
}

/// The marks are the Use choices; storing them resets every Std to its mark.
void StoreMarks(std::vector<data::TFieldChoice>& choices)
{
    for (data::TFieldChoice& c : choices)
        c.Std = c.Use;
}

std::string FieldName(const data::TDataTable& table, int field)
{
    if (field < 0 || field >= static_cast<int>(table.FieldNames.size()))
        return {};
    return table.FieldNames[static_cast<std::size_t>(field)];
}

} // namespace

std::vector<data::TFieldChoice>* CurrentChoices(TScript& script)
{
    if (!script.Table() || script.CurrentTable >= static_cast<int>(script.FieldChoices.size()))
        return nullptr;
    return &script.FieldChoices[static_cast<std::size_t>(script.CurrentTable)];
}

const std::vector<data::TFieldChoice>* CurrentChoices(const TScript& script)
{
    return CurrentChoices(const_cast<TScript&>(script));
}

bool SetFieldMark(TScript& script, int field, bool marked)
{
    std::vector<data::TFieldChoice>* choices = CurrentChoices(script);
    if (!choices || !IsField(*choices, field) || (marked && !Markable(*script.Table(), field)))
        return false;
    (*choices)[static_cast<std::size_t>(field)].Use = marked;
    StoreMarks(*choices);
    return true;
}

void ApplyMarkOperation(TScript& script, const std::vector<int>& highlighted, TMarkOperation operation)
{
    std::vector<data::TFieldChoice>* choices = CurrentChoices(script);
    if (!choices)
        return;
    for (int field : highlighted) {
        if (!IsField(*choices, field))
            continue;
        bool& use = (*choices)[static_cast<std::size_t>(field)].Use;
        const bool markable = Markable(*script.Table(), field);
        switch (operation) {
        case TMarkOperation::Mark:
            if (markable)
                use = true;
            break;
        case TMarkOperation::Clear:
            use = false;
            break;
        case TMarkOperation::Invert:
            if (markable)
                use = !use;
            break;
        }
    }
    StoreMarks(*choices);
}

void SetNormalisation(TScript& script, const std::vector<int>& highlighted, TNormalisation which, bool state)
{
    std::vector<data::TFieldChoice>* choices = CurrentChoices(script);
    if (!choices)
        return;
    for (int field : highlighted) {
        if (!IsField(*choices, field))
            continue;
        data::TFieldChoice& c = (*choices)[static_cast<std::size_t>(field)];
        switch (which) {
        case TNormalisation::Log:
            c.Log = state;
            break;
        case TNormalisation::Tanh:
            c.Tanh = state;
            break;
        case TNormalisation::Range:
            c.Range = state;
            break;
        case TNormalisation::Std:
            c.Std = state;
            break;
        }
    }
}

std::vector<TFieldListRow> FieldList(const TScript& script)
{
    std::vector<TFieldListRow> rows;
    const data::TDataTable* table = script.Table();
    const std::vector<data::TFieldChoice>* choices = CurrentChoices(script);
    if (!table || !choices)
        return rows;
    for (int j = 0; j < table->FieldCount; ++j) {
        TFieldListRow row;
        row.Name = FieldName(*table, j);
        row.Marked = IsField(*choices, j) && (*choices)[static_cast<std::size_t>(j)].Use;
        row.Enabled = Markable(*table, j);
        rows.push_back(row);
    }
    return rows;
}

TNormalisationGroup GroupAfterClick(const TScript& script, const std::vector<int>& highlighted)
{
    TNormalisationGroup group;
    if (highlighted.size() >= 2) {
        group.Caption = "Normalizing selected fields";
        return group;
    }
    const data::TDataTable* table = script.Table();
    const std::vector<data::TFieldChoice>* choices = CurrentChoices(script);
    const int field = highlighted.empty() ? 0 : highlighted.back();
    group.Caption = "Normalizing field : " + (table ? FieldName(*table, field) : std::string());
    if (choices && IsField(*choices, field)) {
        group.ShownField = field;
        group.Shown = (*choices)[static_cast<std::size_t>(field)];
        group.BoxesShowField = true;
    }
    return group;
}

TNormalisationGroup GroupOnRefresh(const TScript& script)
{
    TNormalisationGroup group = GroupAfterClick(script, {});
    group.Caption = "Field normal. : ...";
    return group;
}

std::string NextDatasetName(const TScript& script)
{
    std::set<std::string> taken;
    const TProject* project = script.Project;
    if (project) {
        for (const auto& s : project->Scripts)
            for (const auto& d : s->Datasets)
                taken.insert(d->Name);
    } else {
        for (const auto& d : script.Datasets)
            taken.insert(d->Name);
    }
    const int scriptIndex = project ? std::max(project->IndexOfScript(&script), 0) : 0;
    const std::string prefix = "Datasets" + std::to_string(scriptIndex);
    for (std::size_t n = script.Datasets.size() + 1;; ++n) {
        std::string name = prefix + std::to_string(n);
        if (!taken.count(name))
            return name;
    }
}

TCreateDatasetResult CreateDataset(TScript& script, bool excludeGaps)
{
    TCreateDatasetResult result;
    const std::vector<data::TFieldChoice>* choices = CurrentChoices(script);
    if (!choices)
        return result;
    const std::vector<data::TFieldChoice> used = *choices;
    const int previousCurrent = script.CurrentDataset;
    data::TData& dataset = AddDataset(script, NextDatasetName(script));
    dataset.ExcludeGaps = excludeGaps;
    const data::TBuildResult built = data::BuildFromTable(dataset, used);
    if (!built.Built) {
        RemoveDataset(script, static_cast<int>(script.Datasets.size()) - 1);
        script.CurrentDataset = previousCurrent;
        return result;
    }
    data::Normalise(dataset);
    result.Dataset = &dataset;
    result.UnparsedCells = built.UnparsedCells;
    result.FirstUnparsedRecord = built.FirstUnparsedRecord;
    result.FirstUnparsedField = built.FirstUnparsedField;
    return result;
}

std::string UnparsedCellsMessage(const TCreateDatasetResult& result)
{
    if (!result.Dataset || result.UnparsedCells <= 0)
        return {};
    std::string field;
    if (result.Dataset->Table)
        field = FieldName(*result.Dataset->Table, result.FirstUnparsedField);
    const std::string where = "record " + std::to_string(result.FirstUnparsedRecord + 1) + ", field \"" + field + "\"";
    if (result.UnparsedCells == 1)
        return result.Dataset->Name + ": 1 value of the marked fields is not a number and was taken as a gap (" +
               where + ").";
    return result.Dataset->Name + ": " + std::to_string(result.UnparsedCells) +
           " values of the marked fields are not numbers and were taken as gaps (the first in " + where + ").";
}

} // namespace orbelin::app

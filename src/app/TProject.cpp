// The project and its scripts: ownership, add and remove operations, current indices.
#include "app/TProject.h"

#include "map/TMap.h"

#include <algorithm>

namespace orbelin::app {

namespace {

template <class T>
T* At(const std::vector<std::unique_ptr<T>>& list, int index)
{
    if (index < 0 || index >= static_cast<int>(list.size()))
        return nullptr;
    return list[static_cast<std::size_t>(index)].get();
}

template <class T>
int IndexOf(const std::vector<std::unique_ptr<T>>& list, const T* item)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (item && list[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

/// Keeps an index that pointed past the end on the new last element (-1 for none).
void ClampToLast(int& index, std::size_t count)
{
    if (index >= static_cast<int>(count))
        index = static_cast<int>(count) - 1;
}

} // namespace

TScript::TScript(TProject* project, std::string name) : Name(std::move(name)), Project(project) {}

TScript::~TScript()
{
    // The datasets refer to the tables, so they go first.
    Datasets.clear();
    Tables.clear();
}

data::TDataTable* TScript::Table() const
{
    return At(Tables, CurrentTable);
}

data::TData* TScript::Dataset() const
{
    return At(Datasets, CurrentDataset);
}

int TScript::IndexOfTable(const data::TDataTable* table) const
{
    return IndexOf(Tables, table);
}

int TScript::IndexOfDataset(const data::TData* dataset) const
{
    return IndexOf(Datasets, dataset);
}

TScript* TProject::Script() const
{
    return At(Scripts, CurrentScript);
}

int TProject::IndexOfScript(const TScript* script) const
{
    return IndexOf(Scripts, script);
}

TScript& AddScript(TProject& project, const std::string& name)
{
    project.Scripts.push_back(std::make_unique<TScript>(&project, name));
    project.CurrentScript = static_cast<int>(project.Scripts.size()) - 1;
    return *project.Scripts.back();
}

void RemoveScript(TProject& project, int k)
{
    if (k < 0 || k >= static_cast<int>(project.Scripts.size()))
        return;
    project.Scripts.erase(project.Scripts.begin() + k);
    project.CurrentScript = project.Scripts.empty() ? -1 : std::max(project.CurrentScript - 1, 0);
}

data::TDataTable& AddTable(TScript& script, const std::string& path, data::TTableKind kind)
{
    data::TDataTable table;
    data::LoadTable(table, path, kind);
    return AppendTable(script, std::move(table));
}

data::TDataTable& AppendTable(TScript& script, data::TDataTable table)
{
    const auto fieldCount = static_cast<std::size_t>(std::max(table.FieldCount, 0));
    script.Tables.push_back(std::make_unique<data::TDataTable>(std::move(table)));
    script.FieldChoices.emplace_back(fieldCount);
    script.CurrentTable = static_cast<int>(script.Tables.size()) - 1;
    return *script.Tables.back();
}

data::TData& AddDataset(TScript& script, const std::string& name)
{
    auto dataset = std::make_unique<data::TData>();
    dataset->Name = name;
    dataset->Script = &script;
    dataset->Table = script.Table();
    dataset->UsedFields.assign(dataset->Table ? static_cast<std::size_t>(dataset->Table->FieldCount) : 0, false);
    dataset->Scale = 1;
    script.Datasets.push_back(std::move(dataset));
    script.CurrentDataset = static_cast<int>(script.Datasets.size()) - 1;
    return *script.Datasets.back();
}

std::vector<int> DatasetsOnTable(const TScript& script, int k)
{
    std::vector<int> found;
    const data::TDataTable* table = At(script.Tables, k);
    for (std::size_t i = 0; table && i < script.Datasets.size(); ++i)
        if (script.Datasets[i]->Table == table)
            found.push_back(static_cast<int>(i));
    return found;
}

void RemoveTable(TScript& script, int k)
{
    if (k < 0 || k >= static_cast<int>(script.Tables.size()))
        return;
    const std::vector<int> dependents = DatasetsOnTable(script, k);
    for (auto it = dependents.rbegin(); it != dependents.rend(); ++it)
        RemoveDataset(script, *it);
    script.Tables.erase(script.Tables.begin() + k);
    if (static_cast<std::size_t>(k) < script.FieldChoices.size())
        script.FieldChoices.erase(script.FieldChoices.begin() + k);
    ClampToLast(script.CurrentTable, script.Tables.size());
}

void RemoveDataset(TScript& script, int k)
{
    if (k < 0 || k >= static_cast<int>(script.Datasets.size()))
        return;
    script.Datasets.erase(script.Datasets.begin() + k);
    ClampToLast(script.CurrentDataset, script.Datasets.size());
}

map::TMap* TrainingMapIn(const TScript& script)
{
    for (const auto& dataset : script.Datasets)
        for (const auto& map : dataset->Maps)
            if (map->Training)
                return map.get();
    return nullptr;
}

map::TMap* TrainingMapIn(const TProject& project)
{
    for (const auto& script : project.Scripts)
        if (map::TMap* map = TrainingMapIn(*script))
            return map;
    return nullptr;
}

} // namespace orbelin::app

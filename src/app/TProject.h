// The project and its scripts: who owns which table, dataset and map, and which of them
// is current.
#pragma once

#include "data/TData.h"
#include "data/TDataTable.h"

#include <memory>
#include <string>
#include <vector>

namespace orbelin::app {

class TProject;

/// A named container that groups tables with the datasets built on them. A script owns
/// both; every dataset's Table points at one of the script's own tables. Datasets are
/// destroyed before tables, so no dataset ever outlives its table.
class TScript {
public:
    TScript(TProject* project, std::string name);
    ~TScript();
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    std::string Name;
    TProject* Project = nullptr;                           ///< owning project, not owned here
    std::vector<std::unique_ptr<data::TDataTable>> Tables; ///< owned, in order
    std::vector<std::unique_ptr<data::TData>> Datasets;    ///< owned, in order
    int CurrentTable = 0;                                  ///< 0 in a new script, even without tables
    int CurrentDataset = -1;
    /// The dataset-creation choices, [table][field]: one row per table, as long as that
    /// table's field count; a new row is all false.
    std::vector<std::vector<data::TFieldChoice>> FieldChoices;
    int TableWindowState = 0; ///< the table window's state, remembered when its pages are cleared

    /// Tables[CurrentTable], or null when the index is outside the list.
    data::TDataTable* Table() const;
    /// Datasets[CurrentDataset], or null when the index is outside the list.
    data::TData* Dataset() const;
    /// Index of the table in Tables, -1 if it is not one of this script's tables.
    int IndexOfTable(const data::TDataTable* table) const;
    /// Index of the dataset in Datasets, -1 if it is not one of this script's datasets.
    int IndexOfDataset(const data::TData* dataset) const;
};

/// Everything the user builds: scripts in order, and the current one. Name is the base
/// name of the project file, empty for a project never saved.
class TProject {
public:
    TProject() = default;
    TProject(const TProject&) = delete;
    TProject& operator=(const TProject&) = delete;

    std::string Name;
    std::string FullName;                          ///< the project file's path as last chosen
    std::vector<std::unique_ptr<TScript>> Scripts; ///< owned, in order
    int CurrentScript = -1;

    /// Scripts[CurrentScript], or null when the index is outside the list.
    TScript* Script() const;
    /// Index of the script in Scripts, -1 if it is not one of this project's scripts.
    int IndexOfScript(const TScript* script) const;
};

/// Appends a script without tables or datasets and makes it current.
TScript& AddScript(TProject& project, const std::string& name);
/// Frees script k (its datasets, then its tables) and closes the gap. CurrentScript goes
/// down by one, whichever script was removed, but not below 0; -1 once no script is left.
/// An index outside the list does nothing.
void RemoveScript(TProject& project, int k);

/// Loads a table with data::LoadTable and appends it with a row of unset field choices;
/// it becomes the current table. When the load fails the error propagates and nothing
/// changes.
data::TDataTable& AddTable(TScript& script, const std::string& path, data::TTableKind kind);
/// Appends an already loaded table, as AddTable does after a successful load.
data::TDataTable& AppendTable(TScript& script, data::TDataTable table);
/// Appends an empty dataset on the script's current table (none when the script has no
/// tables), with UsedFields sized to that table's field count; it becomes current.
data::TData& AddDataset(TScript& script, const std::string& name);
/// Indices of the datasets built on table k, in order.
std::vector<int> DatasetsOnTable(const TScript& script, int k);
/// Frees table k together with every dataset built on it (a dataset must never refer to
/// a freed table), closes the gaps in Tables, Datasets and FieldChoices, and brings the
/// current indices back inside their lists. An index outside the list does nothing.
void RemoveTable(TScript& script, int k);
/// Frees dataset k with its maps and closes the gap; CurrentDataset moves to the new last
/// index if it pointed past the end. An index outside the list does nothing.
void RemoveDataset(TScript& script, int k);

/// The first map of the script, or of the whole project, that a training run works on;
/// null when none does. Commands that would free such a map refuse to run.
map::TMap* TrainingMapIn(const TScript& script);
map::TMap* TrainingMapIn(const TProject& project);

} // namespace orbelin::app

// The dispatcher's commands that add, load, create, delete and save tree objects.
#include "app/FieldChoices.h"
#include "app/FileDialogs.h"
#include "app/MapMembers.h"
#include "app/MemberFiles.h"
#include "app/TDispatcher.h"
#include "data/DatasetFile.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapInit.h"
#include "numeric/TUserInterface.h"

namespace orbelin::app {

namespace {

// The first of the dataset's maps that is being trained, or null.
const map::TMap* TrainingMap(const data::TData& dataset)
{
    for (const auto& map : dataset.Maps)
        if (map->Training)
            return map.get();
    return nullptr;
}

void RefreshAll(TUpdate& update)
{
    update.RefreshPanels.clear();
    for (int panel = 1; panel <= 10; ++panel)
        update.RefreshPanels.push_back(panel);
}

void Refresh(TUpdate& update, int panel)
{
    for (int p : update.RefreshPanels)
        if (p == panel)
            return;
    update.RefreshPanels.push_back(panel);
}

} // namespace

void TDispatcher::EnsureProject(TUpdate& update)
{
    if (Project_)
        return;
    const TUpdate created = NewProject();
    update.ShowObjectWindows = created.ShowObjectWindows;
    update.MenusChanged = true;
    update.TreeChanged = true;
}

TScript& TDispatcher::EnsureScript(const std::string& name, TUpdate& update)
{
    if (TScript* script = Project_->Script())
        return *script;
    TScript& script = app::AddScript(*Project_, name);
    Tree_.AddScript(Project_->CurrentScript, name);
    update.TreeChanged = true;
    update.MenusChanged = true;
    return script;
}

TUpdate TDispatcher::AddScript()
{
    TUpdate update;
    RecomputeCurrent();
    if (!Project_)
        return update;
    const std::string name = "Script" + std::to_string(Project_->Scripts.size() + 1);
    app::AddScript(*Project_, name);
    const TTreeNode& node = Tree_.AddScript(Project_->CurrentScript, name);
    RunSelection(node, update);
    update.Select = &node;
    update.TreeChanged = true;
    update.MenusChanged = true;
    return update;
}

TUpdate TDispatcher::DeleteScript(int index)
{
    TUpdate update;
    RecomputeCurrent();
    if (!Project_ || index < 0 || index >= static_cast<int>(Project_->Scripts.size()))
        return update;
    if (RefusedWhileTraining(TrainingMapIn(*Project_->Scripts[static_cast<std::size_t>(index)]), "delete its script"))
        return update;
    Tree_.RemoveScript(index);
    app::RemoveScript(*Project_, index);
    Current_ = CurrentChain(Project_.get());
    CheckMapWindowObjects(update);
    update.TreeChanged = true;
    update.MenusChanged = true;
    if (Project_->Scripts.empty())
        RefreshAll(update);
    else
        Refresh(update, ScriptsPanel);
    return update;
}

TUpdate TDispatcher::LoadTable()
{
    std::string path;
    if (!ChooseFileToOpen(OpenTableFilter, path))
        return {};
    return LoadTableFile(path);
}

TUpdate TDispatcher::LoadTableFile(const std::string& path)
{
    TUpdate update;
    RecomputeCurrent();
    EnsureProject(update);
    TScript& script = EnsureScript(data::BaseName(path), update);
    try {
        const data::TDataTable& table = app::AddTable(script, path, TableKindOfFile(path));
        Tree_.AddTable(Project_->CurrentScript, script.CurrentTable, table.Name);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return update;
    }
    Current_ = CurrentChain(Project_.get());
    update.TreeChanged = true;
    update.MenusChanged = true;
    Refresh(update, TablesPanel);
    return update;
}

TUpdate TDispatcher::LoadDataset()
{
    std::string path;
    if (!ChooseFileToOpen(OpenDatasetFilter, path))
        return {};
    return LoadDatasetFile(path);
}

TUpdate TDispatcher::LoadDatasetFile(const std::string& path)
{
    TUpdate update;
    RecomputeCurrent();
    EnsureProject(update);
    TScript& script = EnsureScript(FilePart(path), update);
    const int s = Project_->CurrentScript;
    try {
        const std::string tableName = data::DatasetTableName(path);
        if (!IsPlainFileName(tableName))
            throw TError("dataset file " + path + ": the table name " + tableName + " is not a plain file name");
        const std::string tablePath = FindMember(FolderOf(path), tableName);
        if (tablePath.empty())
            throw TError("dataset file " + path + ": its table " + tableName + " is not in the folder " +
                         FolderOf(path));
        data::TDataTable& table = app::AddTable(script, tablePath, data::TTableKind::TableFile);
        Tree_.AddTable(s, script.CurrentTable, table.Name);
        update.TreeChanged = true;
        update.MenusChanged = true;
        Refresh(update, TablesPanel);

        data::TData& dataset = app::AddDataset(script, data::BaseName(path));
        Tree_.AddDataset(s, script.CurrentDataset, dataset.Name);
        std::vector<data::TFieldChoice> choices;
        data::TRWFile file;
        file.OpenForReading(path);
        data::ReadDataset(dataset, file, &choices);
        file.Close();
        script.FieldChoices[static_cast<std::size_t>(script.CurrentTable)] = choices;
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        Current_ = CurrentChain(Project_.get());
        return update;
    }

    data::TData& dataset = *script.Dataset();
    map::TMap& map = map::AddMap(dataset, dataset.Name);
    if (map.Layers.empty())
        map::AddLayer(map, "Datasets");
    const int k = script.CurrentDataset, m = dataset.ActiveMap;
    Tree_.AddMapWithLayers(s, k, m, map);
    ComputeComponentsInto(map);
    if (ConnectMap)
        ConnectMap(map);
    Current_ = CurrentChain(Project_.get());
    Refresh(update, MapsPanel);
    UpdateMapWindow(update);
    update.MapWindow.Maximise = true;
    try {
        map::InitializeMap(map, 3);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
    }
    Tree_.AddLayerNodes(s, k, m, map);
    return update;
}

TUpdate TDispatcher::CreateDataset()
{
    TUpdate update;
    RecomputeCurrent();
    if (!Current_.Script || !Current_.Table)
        return update;
    const TCreateDatasetResult result = app::CreateDataset(*Current_.Script, ExcludeGaps);
    if (!result.Dataset)
        return update;
    Tree_.AddDataset(Project_->CurrentScript, Current_.Script->CurrentDataset, result.Dataset->Name);
    Current_ = CurrentChain(Project_.get());
    update.TreeChanged = true;
    update.MenusChanged = true;
    Refresh(update, DatasetsPanel);
    const std::string message = UnparsedCellsMessage(result);
    if (!message.empty())
        UserInterface().ShowMessage(message);
    return update;
}

TUpdate TDispatcher::DeleteTable(int index)
{
    TUpdate update;
    RecomputeCurrent();
    TScript* script = Current_.Script;
    if (!script || index < 0 || index >= static_cast<int>(script->Tables.size()))
        return update;
    const std::vector<int> dependents = DatasetsOnTable(*script, index);
    for (int k : dependents)
        if (RefusedWhileTraining(TrainingMap(*script->Datasets[static_cast<std::size_t>(k)]), "delete its table"))
            return update;
    if (!dependents.empty()) {
        std::string names;
        for (int k : dependents)
            names += (names.empty() ? "" : ", ") + script->Datasets[static_cast<std::size_t>(k)]->Name;
        const std::string question = "The datasets " + names + " are built on the table " +
                                     script->Tables[static_cast<std::size_t>(index)]->Name +
                                     ". Delete them together with the table?";
        if (UserInterface().Ask(question, false, TUserInterface::TAnswer::No) != TUserInterface::TAnswer::Yes)
            return update;
    }
    const int s = Project_->CurrentScript;
    for (auto it = dependents.rbegin(); it != dependents.rend(); ++it)
        Tree_.RemoveDataset(s, *it);
    Tree_.RemoveTable(s, index);
    app::RemoveTable(*script, index);
    Current_ = CurrentChain(Project_.get());
    CheckMapWindowObjects(update);
    update.TreeChanged = true;
    update.MenusChanged = true;
    if (script->Tables.empty()) {
        RefreshAll(update);
    } else {
        Refresh(update, TablesPanel);
        if (!dependents.empty())
            Refresh(update, DatasetsPanel);
    }
    return update;
}

TUpdate TDispatcher::DeleteDataset(int index)
{
    TUpdate update;
    RecomputeCurrent();
    TScript* script = Current_.Script;
    if (!script || index < 0 || index >= static_cast<int>(script->Datasets.size()))
        return update;
    if (RefusedWhileTraining(TrainingMap(*script->Datasets[static_cast<std::size_t>(index)]), "delete its dataset"))
        return update;
    Tree_.RemoveDataset(Project_->CurrentScript, index);
    app::RemoveDataset(*script, index);
    Current_ = CurrentChain(Project_.get());
    CheckMapWindowObjects(update);
    update.TreeChanged = true;
    update.MenusChanged = true;
    if (script->Datasets.empty())
        RefreshAll(update);
    else
        Refresh(update, DatasetsPanel);
    return update;
}

bool TDispatcher::SaveData()
{
    RecomputeCurrent();
    if (!Current_.Dataset)
        return false;
    std::string path = Current_.Dataset->Name;
    if (!ChooseFileToSave(SaveDatasetFilter, path))
        return false;
    return SaveDataTo(path);
}

bool TDispatcher::SaveDataTo(const std::string& path)
{
    RecomputeCurrent();
    const data::TData* dataset = Current_.Dataset;
    if (!dataset)
        return false;
    try {
        if (!dataset->Table)
            throw TError("cannot save dataset " + dataset->Name + ": it has no table");
        const std::string folder = FolderOf(path);
        data::WriteDatasetFile(*dataset, MemberPath(folder, data::BaseName(path) + ".obd"));
        // The dataset file names its own table, which need not be the current one.
        data::SaveTable(*dataset->Table, MemberPath(folder, dataset->Table->Name));
        return true;
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
}

} // namespace orbelin::app

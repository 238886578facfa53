// The dispatcher's commands on maps: Add map, Delete map, Load map and Save map.
#include "app/FileDialogs.h"
#include "app/MapMembers.h"
#include "app/MemberFiles.h"
#include "app/TDispatcher.h"
#include "data/DatasetFile.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/MapInit.h"
#include "numeric/TUserInterface.h"

namespace orbelin::app {

namespace {

void Refresh(TUpdate& update, int panel)
{
    for (int p : update.RefreshPanels)
        if (p == panel)
            return;
    update.RefreshPanels.push_back(panel);
}

/// The text of the line after a map file's header, "" when the header is missing.
std::string SectionLine(data::TRWFile& file, const char* key)
{
    return file.FindKey(key) && !file.AtEnd() ? data::TrimBlanks(file.ReadLine()) : std::string();
}

/// The member of that name in the folder; raises TError naming the map file otherwise.
std::string RequireMember(const std::string& mapPath, const std::string& what, const std::string& name)
{
    if (!IsPlainFileName(name))
        throw TError("map file " + mapPath + ": the " + what + " name \"" + name + "\" is not a plain file name");
    const std::string found = FindMember(FolderOf(mapPath), name);
    if (found.empty())
        throw TError("map file " + mapPath + ": its " + what + " " + name + " is not in the folder " +
                     FolderOf(mapPath));
    return found;
}

} // namespace

TUpdate TDispatcher::AddMap(const std::function<void(map::TMap&)>& readPanel)
{
    TUpdate update;
    RecomputeCurrent();
    data::TData* dataset = Current_.Dataset;
    if (!dataset)
        return update;
    const int s = Project_->CurrentScript, k = Current_.Script->CurrentDataset;
    map::TMap& map = map::AddMap(*dataset, NextMapName(*Project_, s, k));
    map::AddLayer(map, "Datasets");
    const int m = dataset->ActiveMap;
    Tree_.AddMapWithLayers(s, k, m, map);
    ComputeComponentsInto(map);
    if (ConnectMap)
        ConnectMap(map);
    if (readPanel)
        readPanel(map);
    try {
        map::InitializeMap(map, 3);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
    }
    Tree_.AddLayerNodes(s, k, m, map);
    Current_ = CurrentChain(Project_.get());
    UpdateMapWindow(update);
    update.TreeChanged = true;
    update.MenusChanged = true;
    Refresh(update, MapsPanel);
    return update;
}

TUpdate TDispatcher::DeleteMap(int index)
{
    TUpdate update;
    RecomputeCurrent();
    data::TData* dataset = Current_.Dataset;
    if (!dataset || index < 0 || index >= static_cast<int>(dataset->Maps.size()))
        return update;
    const map::TMap* map = dataset->Maps[static_cast<std::size_t>(index)].get();
    if (RefusedWhileTraining(map->Training ? map : nullptr, "delete it"))
        return update;
    Tree_.RemoveMap(Project_->CurrentScript, Current_.Script->CurrentDataset, index);
    data::RemoveMap(*dataset, index);
    Current_ = CurrentChain(Project_.get());
    CheckMapWindowObjects(update);
    update.TreeChanged = true;
    update.MenusChanged = true;
    if (dataset->Maps.empty())
        for (int panel = 1; panel <= 10; ++panel)
            Refresh(update, panel);
    else
        Refresh(update, MapsPanel);
    return update;
}

TUpdate TDispatcher::LoadMap()
{
    std::string path;
    if (!ChooseFileToOpen(OpenMapFilter, path))
        return {};
    return LoadMapFile(path);
}

TUpdate TDispatcher::LoadMapFile(const std::string& path)
{
    TUpdate update;
    RecomputeCurrent();
    std::string dataFile, tableName;
    try {
        data::TRWFile file;
        file.OpenForReading(path);
        dataFile = SectionLine(file, "DATAFILENAME");
        tableName = SectionLine(file, "TABLENAME");
        file.Close();
        if (dataFile.empty() || tableName.empty())
            throw TError("map file " + path +
                         " does not name its dataset and table (\"# DATAFILENAME\", \"# TABLENAME\")");
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return update;
    }

    EnsureProject(update);
    TScript& script = EnsureScript(FilePart(path), update);
    const int s = Project_->CurrentScript;
    try {
        data::TDataTable& table =
            app::AddTable(script, RequireMember(path, "table", tableName), data::TTableKind::TableFile);
        Tree_.AddTable(s, script.CurrentTable, table.Name);
        update.TreeChanged = true;
        update.MenusChanged = true;
        Refresh(update, TablesPanel);

        data::TData& dataset = app::AddDataset(script, data::BaseName(path));
        const int k = script.CurrentDataset;
        Tree_.AddDataset(s, k, dataset.Name);
        std::vector<data::TFieldChoice> choices;
        data::TRWFile file;
        file.OpenForReading(RequireMember(path, "dataset", data::BaseName(dataFile) + ".obd"));
        data::ReadDataset(dataset, file, &choices);
        file.Close();
        script.FieldChoices[static_cast<std::size_t>(script.CurrentTable)] = choices;

        map::TMap& map = map::AddMap(dataset, data::BaseName(path));
        const int m = dataset.ActiveMap;
        std::string error;
        const bool read = map::ReadMapFileFrom(dataset, path, &error);
        AddStandardLayers(map);
        if (ConnectMap)
            ConnectMap(map);
        Tree_.AddMapWithLayers(s, k, m, map);
        if (!read)
            throw TError(error);
        const TTreeNode* layerNode = Tree_.MapNode(s, k, m)->Child(LayerNodeCode(0));
        if (layerNode) {
            RunSelection(*layerNode, update);
            update.Select = layerNode;
        }
        update.HideDispatcher = true;
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
    }
    Current_ = CurrentChain(Project_.get());
    return update;
}

bool TDispatcher::SaveMap()
{
    RecomputeCurrent();
    if (!Current_.Map || RefusedWhileTraining(Current_.Map->Training ? Current_.Map : nullptr, "save it"))
        return false;
    std::string path = Current_.Map->Name;
    if (!ChooseFileToSave(SaveMapFilter, path))
        return false;
    return SaveMapTo(path);
}

bool TDispatcher::SaveMapTo(const std::string& path)
{
    RecomputeCurrent();
    const map::TMap* map = Current_.Map;
    if (!map)
        return false;
    // Mid-step the nodes are half solved; the file would hold no map the engine made.
    if (RefusedWhileTraining(map->Training ? map : nullptr, "save it"))
        return false;
    try {
        const data::TData& dataset = *map->Data;
        if (!map->Grid)
            throw TError("cannot save map " + map->Name + ": it has not been initialised");
        if (!dataset.Table)
            throw TError("cannot save map " + map->Name + ": its dataset has no table");
        const std::string folder = FolderOf(path);
        map::WriteMapFileTo(*map, MemberPath(folder, data::BaseName(path) + ".obm"));
        data::SaveTable(*dataset.Table, MemberPath(folder, dataset.Table->Name));
        // The map file names its dataset's file; without it there the map cannot be loaded.
        const std::string datasetFile = data::BaseName(dataset.Name) + ".obd";
        if (FindMember(folder, datasetFile).empty())
            data::WriteDatasetFile(dataset, MemberPath(folder, datasetFile));
        return true;
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
}

} // namespace orbelin::app

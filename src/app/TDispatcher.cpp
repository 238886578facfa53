// The object dispatcher: current chain, node selection, list clicks, renaming and the map
// window rule.
#include "app/TDispatcher.h"

#include "app/MapMembers.h"
#include "app/MemberFiles.h"
#include "data/Cp1251.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"

#include <cmath>

namespace orbelin::app {

TCurrentChain CurrentChain(const TProject* project)
{
    TCurrentChain chain;
    if (!project)
        return chain;
    chain.Script = project->Script();
    if (!chain.Script)
        return chain;
    chain.Table = chain.Script->Table();
    chain.Dataset = chain.Script->Dataset();
    if (chain.Dataset)
        chain.Map = chain.Dataset->CurrentMap();
    if (chain.Map && chain.Map->CurrentLayer >= 0 &&
        chain.Map->CurrentLayer < static_cast<int>(chain.Map->Layers.size()))
        chain.Layer = chain.Map->CurrentLayer;
    return chain;
}

int ZoomSliderPosition(double z)
{
    return static_cast<int>(std::nearbyint(-10000.0 / (z - 19.0)));
}

TDispatcher::TDispatcher() = default;
TDispatcher::~TDispatcher() = default;

const TCurrentChain& TDispatcher::RecomputeCurrent()
{
    Previous_ = Current_;
    Current_ = CurrentChain(Project_.get());
    return Current_;
}

TUpdate TDispatcher::SelectNode(const TTreeNode& node)
{
    TUpdate update;
    if (Syncing()) {
        update.Ignored = true;
        return update;
    }
    RecomputeCurrent();
    if (Project_ && Tree_.Contains(&node))
        RunSelection(node, update);
    return update;
}

void TDispatcher::RunSelection(const TTreeNode& node, TUpdate& update)
{
    TProject& project = *Project_;
    const TTreeNode* scriptNode = node.Ancestor(TNodeKind::Script);
    if (!scriptNode || scriptNode->Index() >= static_cast<int>(project.Scripts.size()))
        return;
    // The node's script, dataset and map become current before the node itself, so that
    // a node of another script or dataset is shown with its own objects.
    project.CurrentScript = scriptNode->Index();
    TScript& script = *project.Scripts[static_cast<std::size_t>(project.CurrentScript)];
    if (const TTreeNode* datasetNode = node.Ancestor(TNodeKind::Dataset)) {
        if (datasetNode->Index() >= static_cast<int>(script.Datasets.size()))
            return;
        script.CurrentDataset = datasetNode->Index();
        if (const TTreeNode* mapNode = node.Ancestor(TNodeKind::Map)) {
            if (mapNode->Index() >= static_cast<int>(script.Dataset()->Maps.size()))
                return;
            script.Dataset()->ActiveMap = mapNode->Index();
        }
    }

    bool mapWindow = true;
    switch (node.Kind()) {
    case TNodeKind::TablesFolder:
        update.ShowPanel = TablesPanel;
        mapWindow = false;
        break;
    case TNodeKind::DatasetsFolder:
        update.ShowPanel = DatasetsPanel;
        mapWindow = false;
        break;
    case TNodeKind::Script:
        update.ShowPanel = ScriptsPanel;
        mapWindow = false;
        break;
    case TNodeKind::Table:
        if (node.Index() >= static_cast<int>(script.Tables.size()))
            return;
        script.CurrentTable = node.Index();
        update.ShowPanel = TablePanel;
        update.TablePage = node.Index();
        mapWindow = false;
        break;
    case TNodeKind::Dataset:
        update.ShowPanel = MapsPanel;
        break;
    case TNodeKind::Map:
        update.ShowPanel = MapPanel;
        break;
    case TNodeKind::Layer:
        SelectLayer(node.Index(), update);
        break;
    case TNodeKind::Selections:
        update.ShowPanel = SelectionsPanel;
        break;
    case TNodeKind::None:
        return;
    }
    Current_ = CurrentChain(Project_.get());
    if (!mapWindow && !Current_.Table)
        update.RefreshPanels.push_back(TablesPanel);
    if (mapWindow || !Current_.Map)
        UpdateMapWindow(update);
}

void TDispatcher::SelectLayer(int layer, TUpdate& update)
{
    map::TMap* map = CurrentChain(Project_.get()).Map;
    if (map && layer < static_cast<int>(map->Layers.size()))
        map->CurrentLayer = layer;
    switch (layer) {
    case 0:
        update.ShowPanel = ViewPanel;
        update.PanelTitle = "     Datapoints ";
        update.DataPointSwitch = true;
        break;
    case 1:
        update.ShowPanel = ViewPanel;
        update.PanelTitle = "     Net ";
        update.NetSwitch = true;
        break;
    case 2:
        update.ShowPanel = ColoringPanel;
        break;
    default:
        break;
    }
}

TUpdate TDispatcher::ListClick(TObjectList list, int index)
{
    TUpdate update;
    if (Syncing()) {
        update.Ignored = true;
        return update;
    }
    RecomputeCurrent();
    if (!Project_)
        return update;
    const int s = Project_->CurrentScript;
    const int k = Current_.Script ? Current_.Script->CurrentDataset : -1;
    const TTreeNode* node = nullptr;
    switch (list) {
    case TObjectList::Scripts:
        node = Tree_.ScriptNode(index);
        break;
    case TObjectList::Tables:
        node = Tree_.TableNode(s, index);
        break;
    case TObjectList::Datasets:
        node = Tree_.DatasetNode(s, index);
        break;
    case TObjectList::Maps:
        node = Tree_.MapNode(s, k, index);
        break;
    }
    if (!node)
        return update;
    RunSelection(*node, update);
    update.Select = node;
    return update;
}

namespace {

bool SameFileName(const std::string& a, const std::string& b)
{
    return data::FoldCase(data::BaseName(a)) == data::FoldCase(data::BaseName(b));
}

/// Whether another dataset of the project has a name that gives the same file.
bool DatasetNameTaken(const TProject& project, const std::string& name, const data::TData* self)
{
    for (const auto& script : project.Scripts)
        for (const auto& dataset : script->Datasets)
            if (dataset.get() != self && SameFileName(dataset->Name, name))
                return true;
    return false;
}

bool TableNameTaken(const TProject& project, const std::string& name, const data::TDataTable* self)
{
    for (const auto& script : project.Scripts)
        for (const auto& table : script->Tables)
            if (table.get() != self && data::FoldCase(table->Name) == data::FoldCase(name))
                return true;
    return false;
}

bool Refuse(const std::string& message)
{
    UserInterface().ShowMessage(message);
    return false;
}

} // namespace

bool TDispatcher::Rename(const TTreeNode& node, const std::string& label)
{
    RecomputeCurrent();
    if (!Project_ || !Tree_.Contains(&node))
        return false;
    const TTreeNode* scriptNode = node.Ancestor(TNodeKind::Script);
    const int s = scriptNode ? scriptNode->Index() : -1;
    if (s < 0 || s >= static_cast<int>(Project_->Scripts.size()))
        return false;
    TScript& script = *Project_->Scripts[static_cast<std::size_t>(s)];
    const TNodeKind kind = node.Kind();
    const bool fileName = kind == TNodeKind::Table || kind == TNodeKind::Dataset || kind == TNodeKind::Map;
    if (kind == TNodeKind::Script) {
        if (label.empty() || label.find_first_of("\r\n") != std::string::npos)
            return Refuse("A script name must be one line of text.");
    } else if (fileName && !IsPlainFileName(label)) {
        return Refuse("\"" + label + "\" cannot be used as a name: it names a file, which must have no folder.");
    }

    const TTreeNode* datasetNode = node.Ancestor(TNodeKind::Dataset);
    const int k = datasetNode ? datasetNode->Index() : -1;
    data::TData* dataset = k >= 0 && k < static_cast<int>(script.Datasets.size())
                               ? script.Datasets[static_cast<std::size_t>(k)].get()
                               : nullptr;
    switch (kind) {
    case TNodeKind::Script:
        script.Name = label;
        break;
    case TNodeKind::Table: {
        if (node.Index() >= static_cast<int>(script.Tables.size()))
            return false;
        data::TDataTable& table = *script.Tables[static_cast<std::size_t>(node.Index())];
        if (TableNameTaken(*Project_, label, &table))
            return Refuse("The name \"" + label + "\" is already used by another table of the project.");
        table.Name = label;
        break;
    }
    case TNodeKind::Dataset:
        if (!dataset)
            return false;
        if (DatasetNameTaken(*Project_, label, dataset))
            return Refuse("The name \"" + label + "\" is already used by another dataset of the project.");
        dataset->Name = label;
        break;
    case TNodeKind::Map: {
        if (!dataset || node.Index() >= static_cast<int>(dataset->Maps.size()))
            return false;
        map::TMap& map = *dataset->Maps[static_cast<std::size_t>(node.Index())];
        if (MapNameTaken(*Project_, label, &map))
            return Refuse("The name \"" + label + "\" is already used by another map of the project.");
        map.Name = label;
        break;
    }
    default:
        return false;
    }
    const_cast<TTreeNode&>(node).Label = label;
    return true;
}

void TDispatcher::UpdateMapWindow(TUpdate& update)
{
    const TCurrentChain chain = CurrentChain(Project_.get());
    if (!MapWindowOpen_ || chain.Dataset != MapWindowDataset_) {
        if (chain.Map) {
            update.MapWindow.Show = true;
            MapWindowOpen_ = true;
            MapWindowDataset_ = chain.Dataset;
        } else if (MapWindowOpen_) {
            update.MapWindow.Close = true;
            MapWindowOpen_ = false;
            MapWindowDataset_ = nullptr;
            MapWindowMap_ = nullptr;
        }
    }
    if (MapWindowOpen_ && chain.Map != MapWindowMap_) {
        update.MapWindow.SwitchMap = true;
        MapWindowMap_ = chain.Map;
    }
}

void TDispatcher::CheckMapWindowObjects(TUpdate& update)
{
    bool datasetFound = false, mapFound = false;
    if (Project_)
        for (const auto& script : Project_->Scripts)
            for (const auto& dataset : script->Datasets) {
                if (dataset.get() != MapWindowDataset_)
                    continue;
                datasetFound = true;
                for (const auto& map : dataset->Maps)
                    mapFound = mapFound || map.get() == MapWindowMap_;
            }
    if (datasetFound && mapFound)
        return;
    // A freed object's address may be taken by a new one: forget it, so that the window
    // is never left showing it.
    if (!datasetFound)
        MapWindowDataset_ = nullptr;
    if (!mapFound)
        MapWindowMap_ = nullptr;
    if (!MapWindowOpen_)
        return;
    if (!CurrentChain(Project_.get()).Map) {
        update.MapWindow.Close = true;
        MapWindowOpen_ = false;
        MapWindowDataset_ = nullptr;
        return;
    }
    UpdateMapWindow(update);
}

} // namespace orbelin::app

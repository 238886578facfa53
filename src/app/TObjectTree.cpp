// The object tree: node codes, building, adding, removing and renumbering nodes.
#include "app/TObjectTree.h"

#include "app/TProject.h"
#include "map/TMap.h"

namespace orbelin::app {

namespace {

/// Removes the child of that code and moves the codes of the following children of the
/// same kind down by 1, so every code keeps matching its object's index.
void RemoveAndRenumber(TTreeNode* parent, int code)
{
    if (!parent)
        return;
    auto& children = parent->Children;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i]->Code != code)
            continue;
        const TNodeKind kind = children[i]->Kind();
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
        for (std::size_t j = i; j < children.size(); ++j)
            if (children[j]->Kind() == kind && children[j]->Code > code)
                --children[j]->Code;
        return;
    }
}

/// The nodes of a map in a rebuilt tree: layers 0 and 2, and one "Selections" node
/// standing for the layers from 3 on.
void AddRebuiltMap(TTreeNode& datasetNode, int m, const map::TMap& map)
{
    TTreeNode& mapNode = datasetNode.Add(MapCodeBase + m, map.Name);
    for (int layer : {0, 2})
        if (layer < static_cast<int>(map.Layers.size()))
            mapNode.Add(LayerNodeCode(layer), map.Layers[static_cast<std::size_t>(layer)].Name);
    if (map.Layers.size() > 3)
        mapNode.Add(SelectionsCodeBase, "Selections");
}

} // namespace

TNodeKind KindOfCode(int code)
{
    if (code == TablesFolderCode)
        return TNodeKind::TablesFolder;
    if (code == DatasetsFolderCode)
        return TNodeKind::DatasetsFolder;
    switch (code / 10000) {
    case 1:
        return TNodeKind::Script;
    case 2:
        return TNodeKind::Table;
    case 3:
        return TNodeKind::Dataset;
    case 4:
        return TNodeKind::Map;
    case 5:
        return TNodeKind::Layer;
    case 6:
        return TNodeKind::Selections;
    default:
        return TNodeKind::None;
    }
}

int IndexOfCode(int code)
{
    return code >= ScriptCodeBase && code < 70000 ? code % 10000 : 0;
}

int LayerNodeCode(int layer)
{
    if (layer < 0 || layer == 1)
        return -1;
    return layer < 3 ? LayerCodeBase + layer : SelectionsCodeBase + layer - 3;
}

TTreeNode& TTreeNode::Add(int code, std::string label)
{
    Children.push_back(std::make_unique<TTreeNode>());
    TTreeNode& child = *Children.back();
    child.Code = code;
    child.Label = std::move(label);
    child.Parent = this;
    return child;
}

TTreeNode* TTreeNode::Child(int code) const
{
    for (const auto& child : Children)
        if (child->Code == code)
            return child.get();
    return nullptr;
}

const TTreeNode* TTreeNode::Ancestor(TNodeKind kind) const
{
    for (const TTreeNode* node = this; node; node = node->Parent)
        if (node->Kind() == kind)
            return node;
    return nullptr;
}

void TObjectTree::Clear()
{
    Root_.Children.clear();
}

void TObjectTree::Rebuild(const TProject& project)
{
    Clear();
    for (std::size_t s = 0; s < project.Scripts.size(); ++s) {
        const TScript& script = *project.Scripts[s];
        TTreeNode& scriptNode = Root_.Add(ScriptCodeBase + static_cast<int>(s), "Script " + script.Name);
        TTreeNode& tables = scriptNode.Add(TablesFolderCode, "Tables");
        TTreeNode& datasets = scriptNode.Add(DatasetsFolderCode, "Datasets");
        for (std::size_t t = 0; t < script.Tables.size(); ++t)
            tables.Add(TableCodeBase + static_cast<int>(t), script.Tables[t]->Name);
        for (std::size_t k = 0; k < script.Datasets.size(); ++k) {
            const data::TData& dataset = *script.Datasets[k];
            TTreeNode& datasetNode = datasets.Add(DatasetCodeBase + static_cast<int>(k), dataset.Name);
            for (std::size_t m = 0; m < dataset.Maps.size(); ++m)
                AddRebuiltMap(datasetNode, static_cast<int>(m), *dataset.Maps[m]);
        }
    }
}

TTreeNode& TObjectTree::AddScript(int script, const std::string& name)
{
    TTreeNode& node = Root_.Add(ScriptCodeBase + script, name);
    node.Add(TablesFolderCode, "Tables");
    node.Add(DatasetsFolderCode, "Data");
    return node;
}

TTreeNode* TObjectTree::AddTable(int script, int table, const std::string& name)
{
    TTreeNode* scriptNode = ScriptNode(script);
    TTreeNode* folder = scriptNode ? scriptNode->Child(TablesFolderCode) : nullptr;
    return folder ? &folder->Add(TableCodeBase + table, name) : nullptr;
}

TTreeNode* TObjectTree::AddDataset(int script, int dataset, const std::string& name)
{
    TTreeNode* scriptNode = ScriptNode(script);
    TTreeNode* folder = scriptNode ? scriptNode->Child(DatasetsFolderCode) : nullptr;
    return folder ? &folder->Add(DatasetCodeBase + dataset, name) : nullptr;
}

TTreeNode* TObjectTree::AddMap(int script, int dataset, int map, const std::string& name)
{
    TTreeNode* datasetNode = DatasetNode(script, dataset);
    return datasetNode ? &datasetNode->Add(MapCodeBase + map, name) : nullptr;
}

TTreeNode* TObjectTree::AddLayer(int script, int dataset, int map, int layer, const std::string& name)
{
    TTreeNode* mapNode = MapNode(script, dataset, map);
    const int code = LayerNodeCode(layer);
    if (!mapNode || code < 0 || mapNode->Child(code))
        return nullptr;
    return &mapNode->Add(code, name);
}

TTreeNode* TObjectTree::AddMapWithLayers(int script, int dataset, int map, const map::TMap& object)
{
    TTreeNode* node = AddMap(script, dataset, map, object.Name);
    AddLayerNodes(script, dataset, map, object);
    return node;
}

void TObjectTree::AddLayerNodes(int script, int dataset, int map, const map::TMap& object)
{
    for (std::size_t layer = 0; layer < object.Layers.size(); ++layer)
        AddLayer(script, dataset, map, static_cast<int>(layer), object.Layers[layer].Name);
}

void TObjectTree::RemoveScript(int script)
{
    RemoveAndRenumber(&Root_, ScriptCodeBase + script);
}

void TObjectTree::RemoveTable(int script, int table)
{
    TTreeNode* scriptNode = ScriptNode(script);
    RemoveAndRenumber(scriptNode ? scriptNode->Child(TablesFolderCode) : nullptr, TableCodeBase + table);
}

void TObjectTree::RemoveDataset(int script, int dataset)
{
    TTreeNode* scriptNode = ScriptNode(script);
    RemoveAndRenumber(scriptNode ? scriptNode->Child(DatasetsFolderCode) : nullptr, DatasetCodeBase + dataset);
}

void TObjectTree::RemoveMap(int script, int dataset, int map)
{
    RemoveAndRenumber(DatasetNode(script, dataset), MapCodeBase + map);
}

TTreeNode* TObjectTree::ScriptNode(int script) const
{
    return Root_.Child(ScriptCodeBase + script);
}

TTreeNode* TObjectTree::TableNode(int script, int table) const
{
    TTreeNode* scriptNode = ScriptNode(script);
    TTreeNode* folder = scriptNode ? scriptNode->Child(TablesFolderCode) : nullptr;
    return folder ? folder->Child(TableCodeBase + table) : nullptr;
}

TTreeNode* TObjectTree::DatasetNode(int script, int dataset) const
{
    TTreeNode* scriptNode = ScriptNode(script);
    TTreeNode* folder = scriptNode ? scriptNode->Child(DatasetsFolderCode) : nullptr;
    return folder ? folder->Child(DatasetCodeBase + dataset) : nullptr;
}

TTreeNode* TObjectTree::MapNode(int script, int dataset, int map) const
{
    TTreeNode* datasetNode = DatasetNode(script, dataset);
    return datasetNode ? datasetNode->Child(MapCodeBase + map) : nullptr;
}

bool TObjectTree::Contains(const TTreeNode* node) const
{
    while (node && node->Parent)
        node = node->Parent;
    return node == &Root_;
}

std::vector<int> TObjectTree::PathOf(const TTreeNode& node) const
{
    std::vector<int> path;
    for (const TTreeNode* n = &node; n->Parent; n = n->Parent) {
        const auto& siblings = n->Parent->Children;
        for (std::size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i].get() == n)
                path.insert(path.begin(), static_cast<int>(i));
    }
    return path;
}

const TTreeNode* TObjectTree::NodeAt(const std::vector<int>& path) const
{
    const TTreeNode* node = &Root_;
    for (int i : path) {
        if (i < 0 || i >= static_cast<int>(node->Children.size()))
            return nullptr;
        node = node->Children[static_cast<std::size_t>(i)].get();
    }
    return node;
}

} // namespace orbelin::app

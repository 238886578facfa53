// The object tree of the dispatcher window: one node per script, folder, table, dataset,
// map and layer, identified by its code.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace orbelin::map {
class TMap;
}

namespace orbelin::app {

class TProject;

/// Node codes. The kind of a node follows from the range of its code and its index from
/// the difference to the range's base; codes are renumbered when a sibling is removed.
enum TNodeCode : int {
    TablesFolderCode = 1,
    DatasetsFolderCode = 2,
    ScriptCodeBase = 10000,
    TableCodeBase = 20000,
    DatasetCodeBase = 30000,
    MapCodeBase = 40000,
    LayerCodeBase = 50000,
    SelectionsCodeBase = 60000,
};

enum class TNodeKind { None, TablesFolder, DatasetsFolder, Script, Table, Dataset, Map, Layer, Selections };

/// The kind a code stands for (None for codes outside every range).
TNodeKind KindOfCode(int code);
/// The index a code carries: script, table, dataset or map index, layer number, or the
/// number of a selections node; 0 for folders.
int IndexOfCode(int code);
/// The code of a layer node as layers are added: 50000 for layer 0, 50002 for layer 2,
/// 60000 for layer 3, 60001 for layer 4 and so on; -1 for layer 1 ("Net"), which has no
/// node of its own.
int LayerNodeCode(int layer);

/// One node. Children are owned; Parent is null for the tree's root.
struct TTreeNode {
    int Code = 0;
    std::string Label;
    TTreeNode* Parent = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> Children;

    TNodeKind Kind() const { return KindOfCode(Code); }
    int Index() const { return IndexOfCode(Code); }
    /// Appends a child and returns it.
    TTreeNode& Add(int code, std::string label);
    /// The first child of that code, or null.
    TTreeNode* Child(int code) const;
    /// The nearest node of that kind on the way to the root, this node included.
    const TTreeNode* Ancestor(TNodeKind kind) const;
};

/// The tree's root carries no code; its children are the script nodes. A node's address
/// stays valid until the node or one of its ancestors is removed.
class TObjectTree {
public:
    const TTreeNode& Root() const { return Root_; }
    /// Removes every node.
    void Clear();
    /// Builds the whole tree from a project: script nodes labelled "Script " and the
    /// name, folders "Tables" and "Datasets", a node per map with its layer-0 and layer-2
    /// nodes and one "Selections" node when the map has further layers.
    void Rebuild(const TProject& project);

    /// A script node labelled with the bare name and the folders "Tables" and "Data".
    TTreeNode& AddScript(int script, const std::string& name);
    TTreeNode* AddTable(int script, int table, const std::string& name);
    TTreeNode* AddDataset(int script, int dataset, const std::string& name);
    TTreeNode* AddMap(int script, int dataset, int map, const std::string& name);
    /// A layer node as layers are added (see LayerNodeCode); null for layer 1 or when the
    /// map node is missing or the layer node exists already.
    TTreeNode* AddLayer(int script, int dataset, int map, int layer, const std::string& name);

    /// A map node with a node for each of the map's layers, as layers are added.
    TTreeNode* AddMapWithLayers(int script, int dataset, int map, const map::TMap& object);
    /// Adds the nodes of the map's layers that have none yet (layers added since).
    void AddLayerNodes(int script, int dataset, int map, const map::TMap& object);

    /// Removes the node of script i and moves the codes of the following scripts down by 1.
    void RemoveScript(int script);
    void RemoveTable(int script, int table);
    void RemoveDataset(int script, int dataset);
    void RemoveMap(int script, int dataset, int map);

    TTreeNode* ScriptNode(int script) const;
    TTreeNode* TableNode(int script, int table) const;
    TTreeNode* DatasetNode(int script, int dataset) const;
    TTreeNode* MapNode(int script, int dataset, int map) const;
    /// True when the node belongs to this tree.
    bool Contains(const TTreeNode* node) const;

    /// The positions of a node's ancestors and of itself among their siblings, from the
    /// root down: a stable address for views that rebuild their own items.
    std::vector<int> PathOf(const TTreeNode& node) const;
    /// The node at that path, or null.
    const TTreeNode* NodeAt(const std::vector<int>& path) const;

private:
    TTreeNode Root_;
};

} // namespace orbelin::app

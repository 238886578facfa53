// The colorings tree of the main window as a model: node texts, nesting and codes, with
// the field and component entries rebuilt for the current map.
#pragma once

#include <string>
#include <vector>

namespace orbelin::map {
class TMap;
}

namespace orbelin::coloring {

/// One node of the tree. Group nodes have code 0.
struct TColoringNode {
    std::string Text;
    int Code = 0;
    bool Expanded = false;
    std::vector<TColoringNode> Children;
};

/// The tree that offers the colorings: "Fields" (one child per dataset field), "Densities"
/// ("2D" and "ND", each with "Overall density"), "Linear functions" ("LDA", "LRA",
/// "2D Spektrum", "2D Sp Radial ") and "PCs" ("PC1", "PC2", ...). Selecting a node sets the
/// map's ColoringCode to the node's code.
class TColoringTree {
public:
    /// The fixed entries, with "Fields" and "PCs" still empty.
    TColoringTree();

    /// For the current map (null for none): one "Fields" child per field of the map's
    /// dataset and one "PCs" child per field, at most 999 each; "Fields" and "PCs" are
    /// expanded and the node whose code equals the map's ColoringCode is selected (none
    /// for code 0 or a code the tree does not offer).
    void Rebuild(const map::TMap* map);

    const std::vector<TColoringNode>& Roots() const { return Roots_; }
    /// The node at a path of child indices from the roots, or null.
    const TColoringNode* NodeAt(const std::vector<int>& path) const;
    /// The path of the first node with that code in depth-first order; empty for 0 and
    /// for codes the tree does not hold.
    std::vector<int> PathOf(int code) const;

    /// The selected node's path, empty when nothing is selected.
    std::vector<int> Selected;

private:
    std::vector<TColoringNode> Roots_;
};

} // namespace orbelin::coloring

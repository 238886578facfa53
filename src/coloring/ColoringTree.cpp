// The colorings tree model.
#include "coloring/ColoringTree.h"

#include "coloring/Coloring.h"
#include "data/TData.h"
#include "map/TMap.h"

#include <algorithm>
#include <cstddef>

namespace orbelin::coloring {
namespace {

constexpr std::size_t FieldsRoot = 0, ComponentsRoot = 3;

bool FindPath(const std::vector<TColoringNode>& nodes, int code, std::vector<int>& path)
{
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        path.push_back(static_cast<int>(i));
        if (nodes[i].Code == code || FindPath(nodes[i].Children, code, path))
            return true;
        path.pop_back();
    }
    return false;
}

} // namespace

TColoringTree::TColoringTree()
{
    Roots_ = {
        {"Fields", 0, false, {}},
        {"Densities",
         0,
         false,
         {{"2D", 0, false, {{"Overall density", ColoringDensity2D, false, {}}}},
          {"ND", 0, false, {{"Overall density", ColoringDensityND, false, {}}}}}},
        {"Linear functions",
         0,
         false,
         {{"LDA", ColoringLDA, false, {}},
          {"LRA", ColoringLRA, false, {}},
          {"2D Spektrum", ColoringSpectrum, false, {}},
          {"2D Sp Radial ", ColoringRadialSpectrum, false, {}}}},
        {"PCs", 0, false, {}},
    };
}

void TColoringTree::Rebuild(const map::TMap* map)
{
    TColoringNode& fields = Roots_[FieldsRoot];
    TColoringNode& components = Roots_[ComponentsRoot];
    fields.Children.clear();
    components.Children.clear();
    Selected.clear();
    if (!map)
        return;
    if (const data::TData* data = map->Data) {
        const int count = std::min(std::max(data->CoordCount, 0), ColoringChildLimit);
        for (int k = 0; k < count; ++k) {
            const std::string name = static_cast<std::size_t>(k) < data->CoordNames.size()
                                         ? data->CoordNames[static_cast<std::size_t>(k)]
                                         : "";
            fields.Children.push_back({name, FieldColoringBase + k, false, {}});
            components.Children.push_back({"PC" + std::to_string(k + 1), ComponentColoringBase + k, false, {}});
        }
    }
    fields.Expanded = true;
    components.Expanded = true;
    Selected = PathOf(map->ColoringCode);
}

const TColoringNode* TColoringTree::NodeAt(const std::vector<int>& path) const
{
    const std::vector<TColoringNode>* level = &Roots_;
    const TColoringNode* node = nullptr;
    for (const int i : path) {
        if (i < 0 || static_cast<std::size_t>(i) >= level->size())
            return nullptr;
        node = &(*level)[static_cast<std::size_t>(i)];
        level = &node->Children;
    }
    return node;
}

std::vector<int> TColoringTree::PathOf(int code) const
{
    std::vector<int> path;
    if (code == ColoringNone || !FindPath(Roots_, code, path))
        return {};
    return path;
}

} // namespace orbelin::coloring

// Maps that reach a dataset outside the dispatcher's own commands join the tree.
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "map/TMap.h"

namespace orbelin::app {

TUpdate TDispatcher::AdoptMap(const map::TMap& map)
{
    TUpdate update;
    RecomputeCurrent();
    if (!Project_ || !Current_.Script)
        return update;
    const int s = Project_->CurrentScript;
    TScript& script = *Current_.Script;
    for (std::size_t k = 0; k < script.Datasets.size(); ++k) {
        data::TData& dataset = *script.Datasets[k];
        for (std::size_t m = 0; m < dataset.Maps.size(); ++m) {
            if (dataset.Maps[m].get() != &map)
                continue;
            const int datasetIndex = static_cast<int>(k), mapIndex = static_cast<int>(m);
            const TTreeNode* node = Tree_.MapNode(s, datasetIndex, mapIndex);
            if (!node) {
                node = Tree_.AddMapWithLayers(s, datasetIndex, mapIndex, map);
                if (ConnectMap)
                    ConnectMap(*dataset.Maps[m]);
            } else {
                Tree_.AddLayerNodes(s, datasetIndex, mapIndex, map);
            }
            update.TreeChanged = true;
            update.MenusChanged = true;
            if (!node)
                return update;
            RunSelection(*node, update);
            update.Select = node;
            update.RefreshPanels.push_back(MapsPanel);
            return update;
        }
    }
    return update;
}

} // namespace orbelin::app

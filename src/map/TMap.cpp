// The map object: creation in its dataset, layers, view state and the arrays of training.
#include "map/TMap.h"

#include "coloring/ColorSchemes.h"
#include "data/TData.h"
#include "data/TError.h"
#include "numeric/Missing.h"

#include <cstddef>

namespace orbelin::map {

TMap::TMap() : Tints(coloring::BuildTints(5)) {}

TMap::~TMap() = default;

view::TLayer* TMap::CurrentLayerPtr()
{
    if (CurrentLayer < 0 || CurrentLayer >= static_cast<int>(Layers.size()))
        return nullptr;
    return &Layers[static_cast<std::size_t>(CurrentLayer)];
}

const view::TLayer* TMap::CurrentLayerPtr() const
{
    return const_cast<TMap*>(this)->CurrentLayerPtr();
}

TMap& AddMap(data::TData& dataset, const std::string& name)
{
    auto map = std::make_unique<TMap>();
    map->Name = name;
    map->Data = &dataset;
    RecreateView(*map);
    dataset.Maps.push_back(std::move(map));
    dataset.ActiveMap = static_cast<int>(dataset.Maps.size()) - 1;
    return *dataset.Maps.back();
}

namespace {

void ListViewObjects(TMap& map)
{
    map.View.Objects.clear();
    for (int layer = 0; layer < static_cast<int>(map.Layers.size()); ++layer)
        for (view::TObjectKind kind :
             {view::ObjectPoints, view::ObjectLines, view::ObjectPolygons, view::ObjectGeometry})
            map.View.Objects.push_back({layer, kind});
}

} // namespace

view::TLayer& AddLayer(TMap& map, const std::string& name)
{
    view::TLayer& layer = map.Layers.emplace_back();
    layer.Map = &map;
    layer.Name = name;
    map.CurrentLayer = static_cast<int>(map.Layers.size()) - 1;
    map.Smoothness = 1;
    map.CorrRadius = 0.25;
    // The view lists objects by layer position, so the list follows every change of the
    // layers rather than pointing at a freed one until the view is recreated.
    ListViewObjects(map);
    return map.Layers.back();
}

void DropLayer(TMap& map, int index)
{
    if (index < 0 || index >= static_cast<int>(map.Layers.size()))
        return;
    map.Layers.erase(map.Layers.begin() + index);
    map.CurrentLayer = static_cast<int>(map.Layers.size()) - 1;
    ListViewObjects(map);
}

void RecreateView(TMap& map)
{
    map.View = TMapView();
    ListViewObjects(map);
}

void AllocateMapArrays(TMap& map)
{
    const int n = map.Grid ? map.Grid->NodeCount() : 0;
    map.NodeCount = n;
    if (map.Grid && n > 0)
        map.Grid->Dimension = static_cast<int>(map.Grid->Nodes[0].size());
    const auto size = static_cast<std::size_t>(n);
    map.TaxonSizes.assign(size, 0);
    map.TaxonWeights.assign(size, 0.0);
    map.TaxonMembers.assign(size, TArray1I());
    map.SystemMatrix = numeric::TSparseMatrix(n, n);
    map.Rhs.assign(size, 0.0);
    map.Solution.assign(size, 0.0);
}

std::string TrainingRefusal(const TMap& map, const std::string& action)
{
    return "Map " + map.Name + " is being trained. Press \"Interrupt\" and wait for the training to end before you " +
           action + ".";
}

void CheckNotTraining(const TMap& map, const std::string& action)
{
    if (map.Training)
        throw TError(TrainingRefusal(map, action));
}

bool AnyMapTraining(const data::TData& dataset)
{
    for (const auto& map : dataset.Maps)
        if (map && map->Training)
            return true;
    return false;
}

TArray1D PresentMeans(const data::TData& dataset)
{
    const auto d = static_cast<std::size_t>(dataset.CoordCount > 0 ? dataset.CoordCount : 0);
    TArray1D sum(d, 0.0);
    std::vector<long long> count(d, 0);
    for (const TArray1D& point : dataset.Points)
        for (std::size_t k = 0; k < d && k < point.size(); ++k)
            if (!IsMissing(point[k])) {
                sum[k] += point[k];
                ++count[k];
            }
    // A coordinate without any present value would give 0/0; it is centred at 0 instead.
    for (std::size_t k = 0; k < d; ++k)
        sum[k] = count[k] > 0 ? sum[k] / static_cast<double>(count[k]) : 0.0;
    return sum;
}

} // namespace orbelin::map

// The map object: creation in a dataset, layers, view state, arrays and removal.
#include "map/TMap.h"
#include "MapFixtures.h"

#include <gtest/gtest.h>

namespace orbelin::map {
namespace {

TEST(TMapTest, AddMapAppendsAMapWithItsDefaultsAndMakesItCurrent)
{
    data::TData dataset;
    TMap& first = AddMap(dataset, "Map111");
    TMap& second = AddMap(dataset, "Map112");
    ASSERT_EQ(2u, dataset.Maps.size());
    EXPECT_EQ(1, dataset.ActiveMap);
    EXPECT_EQ(&second, dataset.CurrentMap());
    EXPECT_EQ(&dataset, first.Data);
    EXPECT_EQ("Map111", first.Name);
    EXPECT_EQ(nullptr, first.Grid);
    EXPECT_TRUE(first.StopRequested);
    EXPECT_FALSE(first.ProjectionsValid);
    EXPECT_EQ(1e-5, first.Tolerance);
    EXPECT_EQ(10000, first.MaxIterations);
    EXPECT_EQ(1.0, first.Lambda);
    EXPECT_EQ(1.0, first.Mu);
    EXPECT_EQ(0, first.Axis1);
    EXPECT_EQ(1, first.Axis2);
    EXPECT_EQ(2, first.Axis3);
    EXPECT_EQ(0.25, first.CorrRadius);
    EXPECT_EQ(5u, first.Tints.size());
    EXPECT_EQ(-30, first.View.Camera.CameraDistance);
    EXPECT_EQ(view::TToolMode::Rotate, first.View.ToolMode);
    EXPECT_TRUE(first.Layers.empty());
}

TEST(TMapTest, LayersAndTheViewObjectsListStayInStep)
{
    data::TData dataset;
    TMap& map = AddMap(dataset, "m");
    for (const char* name : {"Datasets", "Net", "Colorings", "Objects"}) {
        map.Smoothness = 3;
        map.CorrRadius = 1;
        view::TLayer& layer = AddLayer(map, name);
        EXPECT_EQ(&map, layer.Map);
        EXPECT_EQ(1, map.Smoothness);
        EXPECT_EQ(0.25, map.CorrRadius);
    }
    EXPECT_EQ(3, map.CurrentLayer);
    EXPECT_EQ("Objects", map.CurrentLayerPtr()->Name);
    ASSERT_EQ(16u, map.View.Objects.size());
    // Object index = 4 x layer + kind.
    EXPECT_EQ(2, map.View.Objects[9].Layer);
    EXPECT_EQ(view::ObjectLines, map.View.Objects[9].Kind);

    map.CurrentLayer = 0;
    DropLayer(map, 1);
    ASSERT_EQ(3u, map.Layers.size());
    EXPECT_EQ("Colorings", map.Layers[1]->Name);
    EXPECT_EQ(2, map.CurrentLayer);
    EXPECT_EQ(12u, map.View.Objects.size());
    DropLayer(map, 7);
    EXPECT_EQ(3u, map.Layers.size());

    map.View.Camera.RotX = 40;
    map.View.Objects.clear();
    RecreateView(map);
    EXPECT_EQ(0, map.View.Camera.RotX);
    EXPECT_EQ(12u, map.View.Objects.size());
}

TEST(TMapTest, AllocateMapArraysSizesEverythingByTheGrid)
{
    data::TData dataset;
    fixture::FillDataset(dataset, 30, 3);
    TMap& map = AddMap(dataset, "m");
    map.Grid = CreateGrid(GridSpherical, 4, 5, 1, 3);
    map.Grid->Dimension = 0;
    AllocateMapArrays(map);
    EXPECT_EQ(22, map.NodeCount);
    EXPECT_EQ(3, map.Grid->Dimension);
    EXPECT_EQ(22u, map.TaxonSizes.size());
    EXPECT_EQ(22u, map.TaxonWeights.size());
    EXPECT_EQ(22u, map.TaxonMembers.size());
    EXPECT_EQ(22, map.SystemMatrix.Rows());
    EXPECT_EQ(22, map.SystemMatrix.Cols());
    EXPECT_EQ(TArray1D(22, 0.0), map.Rhs);
    EXPECT_EQ(TArray1D(22, 0.0), map.Solution);
}

TEST(TMapTest, RemovingMapsFreesThemAndKeepsTheCurrentIndexInside)
{
    data::TData dataset;
    for (const char* name : {"a", "b", "c"})
        AddLayer(AddMap(dataset, name), "Datasets");
    dataset.ActiveMap = 2;
    data::RemoveMap(dataset, 2);
    EXPECT_EQ(1, dataset.ActiveMap);
    EXPECT_EQ("b", dataset.CurrentMap()->Name);
    data::RemoveMap(dataset, 0);
    EXPECT_EQ(0, dataset.ActiveMap);
    EXPECT_EQ("b", dataset.CurrentMap()->Name);
    data::RemoveMap(dataset, 5);
    EXPECT_EQ(1u, dataset.Maps.size());
}

} // namespace
} // namespace orbelin::map

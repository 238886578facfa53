// The "Connections" switch: segments from the visible points to their projections.
#include "view/ConnectionSet.h"
#include "coloring/ColoringFixtures.h"
#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

TEST(ConnectionSetTest, JoinsEachVisiblePointToItsProjectionOnTheChosenCoordinates)
{
    data::TData data;
    // Four coordinates; the sheet lies in the first two, so a point's projection on the
    // coordinates (0, 1, 2) drops its third coordinate, and the fourth is not seen.
    test::SetPoints(data, {{0.2, 0.3, 0.7, 5}, {-0.4, 0.1, -2, 6}, {3, 0.5, 0, 7}, {0, 0, 1, 8}});
    map::TMap& map = test::AddSheetMap(data, 3, 3);
    data.Visibility = {1, 1, 1, 0};
    map.Axis1 = 0;
    map.Axis2 = 1;
    map.Axis3 = 2;
    const TAddLines set = BuildConnectionSet(map);
    EXPECT_TRUE(set.DatasetUnits);
    const TArray2D expected = {{0.2, 0.3, 0.7, 5}, {0.2, 0.3, 0, 0}, {-0.4, 0.1, -2, 6},
                               {-0.4, 0.1, 0, 0},  {3, 0.5, 0, 7},   {1, 0.5, 0, 0}};
    ASSERT_EQ(set.LinePoints.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(set.LinePoints[i][k], expected[i][k], 1e-12) << i << "," << k;
    EXPECT_EQ(set.Segments, (TArray2I{{0, 1}, {2, 3}, {4, 5}}));

    // Seen on the coordinates (1, 0, 3), with the sheet raised to 1 in the fourth: the end
    // takes the projected values back to their own coordinates, and 0 in the third.
    for (TArray1D& node : map.Grid->Nodes)
        node[3] = 1;
    map.Axis1 = 1;
    map.Axis2 = 0;
    map.Axis3 = 3;
    const TAddLines turned = BuildConnectionSet(map);
    ASSERT_EQ(turned.LinePoints.size(), 6u);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(turned.LinePoints[1][k], (TArray1D{0.2, 0.3, 0, 1})[k], 1e-12);

    map.Axis3 = 4; // not a coordinate
    EXPECT_TRUE(BuildConnectionSet(map).LinePoints.empty());
}

TEST(ConnectionSetTest, SwitchAppendsTheSetAndClearsEveryLineSet)
{
    data::TData data;
    test::SetPoints(data, {{0.2, 0.3, 0.7}, {-0.4, 0.1, -2}});
    map::TMap& map = test::AddSheetMap(data, 3, 3);
    TAddLines loaded;
    loaded.LinePoints = {{0, 0, 0}, {1, 1, 1}};
    loaded.Segments = {{0, 1}};
    data.LineSets = {loaded};
    ApplyConnectionsSwitch(map, true);
    ASSERT_EQ(data.LineSets.size(), 2u);
    EXPECT_EQ(data.LineSets[1].Segments.size(), 2u);
    EXPECT_EQ(map.Layers[3].LineObject.Polylines.size(), 3u);
    EXPECT_EQ(map.Layers[3].LineObject.Vertices[3], (TArray1D{0.2, 0.3, 0})); // the first point's end

    ApplyConnectionsSwitch(map, false);
    EXPECT_TRUE(data.LineSets.empty());
    EXPECT_TRUE(map.Layers[3].LineObject.Vertices.empty());
}

} // namespace
} // namespace orbelin::view

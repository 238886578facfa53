// The biplot: rays from a dual-space style file, their scale, "Create biplot" on a map,
// the field-annotation items and the hints of the rays.
#include "analysis/Biplot.h"

#include "AnalysisFixtures.h"
#include "TestUtil.h"
#include "map/TMap.h"
#include "view/PointSetFiles.h"

#include <gtest/gtest.h>

namespace orbelin::analysis {
namespace {

PointStyle Style(int selected, int shape, int radius, int fill)
{
    return {selected, shape, radius, fill, 0x00FF00, 1, 0, 0};
}

TBiplotStyles Loaded(std::vector<PointStyle> records)
{
    TBiplotStyles s;
    s.Loaded = true;
    s.Records = std::move(records);
    return s;
}

TEST(BiplotTest, SelectedRecordsBelowTheDimensionBecomeRaysAlongTheirAxes)
{
    // Record 3 is selected but lies beyond the three coordinates.
    const TBiplotStyles styles =
        Loaded({Style(1, 2, 7, 0x0000FF), Style(0, 1, 4, 0), Style(1, 5, 3, 0xFF0000), Style(1, 1, 4, 0)});
    EXPECT_EQ("3 selected points from 4", BiplotStatus(styles));
    const std::vector<view::TAddRay> rays = BiplotRays(styles, 3);
    ASSERT_EQ(2u, rays.size());
    EXPECT_EQ((TArray1D{-3, 0, 0}), rays[0].RayStart);
    EXPECT_EQ((TArray1D{3, 0, 0}), rays[0].RayEnd);
    EXPECT_EQ(7, rays[0].RayRadius);
    EXPECT_EQ(2, rays[0].RayShape);
    EXPECT_EQ(0x0000FF, rays[0].RayFillColor);
    EXPECT_EQ(0x00FF00, rays[0].RayBorderColor);
    EXPECT_EQ(1, rays[0].RayFillFlag);
    EXPECT_EQ(0, rays[0].RayBorderFlag);
    EXPECT_EQ(0, rays[0].RayField);
    EXPECT_EQ((TArray1D{0, 0, 3}), rays[1].RayEnd);
    EXPECT_EQ(2, rays[1].RayField);

    EXPECT_EQ("(not loaded)", BiplotStatus(TBiplotStyles()));
    const TBiplotStyles none = Loaded({Style(0, 1, 4, 0), Style(2, 1, 4, 0)});
    EXPECT_EQ("0 selected points from 2", BiplotStatus(none));
    EXPECT_TRUE(BiplotRays(none, 3).empty());
}

TEST(BiplotTest, ScaleMovesTheNonZeroEndsAndTurnsTheRayRoundBelowMinusThree)
{
    struct TCase {
        const char* Name;
        int Scale;
        double Start, End;
    };
    const TCase cases[] = {
        {"slider at 0", 0, -2.99, 3.01},
        {"slider at 10", 10, -12.99, 13.01},
        {"both ends meet at -3", -3, 0.01, 0.01},
        {"reversed below -3", -5, 2.01, -1.99},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<view::TAddRay> rays = BiplotRays(Loaded({Style(0, 1, 4, 0), Style(1, 1, 4, 0)}), 2);
        // Moving the slider twice: the second position holds, whatever came before.
        ScaleRays(rays, 40);
        ScaleRays(rays, c.Scale);
        ASSERT_EQ(1u, rays.size());
        EXPECT_EQ(0, rays[0].RayStart[0]);
        EXPECT_EQ(0, rays[0].RayEnd[0]);
        EXPECT_NEAR(c.Start, rays[0].RayStart[1], 1e-12);
        EXPECT_NEAR(c.End, rays[0].RayEnd[1], 1e-12);
    }
}

TEST(BiplotTest, StylesComeFromTheFirstSetOfAColorsAndSizesFile)
{
    test::TTempDir dir;
    const std::string path = dir.File("dual.obc");
    view::WriteStyleSets(path, {{Style(1, 3, 6, 0x00FFFF), Style(0, 1, 4, 0)}, {Style(0, 1, 4, 0)}}, {"fields", "other"});
    TBiplotStyles styles;
    LoadBiplotStyles(path, styles);
    EXPECT_TRUE(styles.Loaded);
    ASSERT_EQ(2u, styles.Records.size());
    EXPECT_EQ(Style(1, 3, 6, 0x00FFFF), styles.Records[0]);
    EXPECT_EQ("1 selected points from 2", BiplotStatus(styles));

    // A file that does not read leaves the list as it was.
    test::WriteBytes(dir.File("bad.obc"), "1\r\nfields\r\n1 x \r\n");
    ORBELIN_EXPECT_ERROR(LoadBiplotStyles(dir.File("bad.obc"), styles), "bad.obc");
    EXPECT_EQ(2u, styles.Records.size());
}

TEST(BiplotTest, CreateBiplotReplacesTheRaysAndShowsThemOnTheMap)
{
    auto f = test::MakeAnalysisFixture({"a", "b", "c"}, {{"1", "2", "3"}, {"2", "1", "0"}});
    map::TMap& map = map::AddMap(f->Data, "m");
    for (const char* name : {"Datasets", "Net", "Coloring", "Objects"})
        map::AddLayer(map, name);
    map.Layers[3].SetVisible(false);

    // Before a style file is loaded there is nothing to draw the fields with.
    f->Data.Rays.resize(1);
    const std::string refusal = CreateBiplot(map, TBiplotStyles());
    EXPECT_NE(std::string::npos, refusal.find("Load a Colors and Sizes table")) << refusal;
    EXPECT_EQ(1u, f->Data.Rays.size());
    EXPECT_FALSE(map.Layers[3].Visible);

    ASSERT_EQ("", CreateBiplot(map, Loaded({Style(1, 2, 7, 0x0000FF), Style(0, 1, 4, 0), Style(1, 5, 3, 0)})));
    ASSERT_EQ(2u, f->Data.Rays.size());
    const view::TLayer& objects = map.Layers[3];
    EXPECT_TRUE(objects.Visible);
    EXPECT_EQ(1, objects.PointObject.Visible);
    EXPECT_EQ(1, objects.LineObject.Visible);
    // On the coordinate plane (axes 0, 1, 2) a ray ends on its own axis.
    ASSERT_EQ(2u, objects.PointObject.Positions.size());
    EXPECT_EQ((TArray1D{3, 0, 0}), objects.PointObject.Positions[0]);
    EXPECT_EQ((TArray1D{0, 0, 3}), objects.PointObject.Positions[1]);
    EXPECT_EQ(4u, objects.LineObject.Vertices.size());

    ScaleBiplot(map, 1);
    EXPECT_NEAR(4.01, map.Layers[3].PointObject.Positions[0][0], 1e-12);
    ASSERT_EQ("", CreateBiplot(map, Loaded({})));
    EXPECT_TRUE(f->Data.Rays.empty());
    EXPECT_TRUE(map.Layers[3].PointObject.Positions.empty());
}

TEST(BiplotTest, AnnotationItemsListTheDistinctDescriptorsOfEachPosition)
{
    data::TDataTable table = test::MakeTable(
        {{"a", TFieldType::Float}, {"b", TFieldType::Float}, {"c", TFieldType::Float}, {"d", TFieldType::Float}},
        {});
    table.FieldDescriptors[0] = {"a", "FLOAT", "TRUE", "Europe", "big"};
    table.FieldDescriptors[1] = {"b", "FLOAT", "TRUE", "Asia"};
    table.FieldDescriptors[2] = {"c", "FLOAT", "TRUE", "@", "small"};
    table.FieldDescriptors[3] = {"d", "FLOAT", "TRUE", "Europe", "big"};
    EXPECT_EQ((TArray1S{"Field Name", "D1(Europe,Asia,...)", "D2(big,small,...)"}), AnnotationItems(table));

    // Values stop once the text passes 25 characters.
    table.FieldDescriptors[0] = {"a", "FLOAT", "TRUE", "Northern_Europe"};
    table.FieldDescriptors[1] = {"b", "FLOAT", "TRUE", "South_East_Asia"};
    table.FieldDescriptors[2] = {"c", "FLOAT", "TRUE", "Oceania"};
    table.FieldDescriptors[3] = {"d", "FLOAT", "TRUE"};
    EXPECT_EQ((TArray1S{"Field Name", "D1(Northern_Europe,South_East_Asia,...)"}), AnnotationItems(table));

    data::TDataTable plain = test::MakeTable({{"a", TFieldType::Float}}, {});
    EXPECT_EQ((TArray1S{"Field Name"}), AnnotationItems(plain));
}

TEST(BiplotTest, RayHintShowsTheChosenColumnsOfTheRaysField)
{
    // The dataset uses fields a and c of the table; b is a text field.
    data::TDataTable table = test::MakeTable(
        {{"a", TFieldType::Float}, {"b", TFieldType::String}, {"c", TFieldType::Float}}, {{"1", "x", "2"}});
    table.FieldDescriptors[0] = {"a", "FLOAT", "TRUE", "Europe", "big"};
    table.FieldDescriptors[2] = {"c", "FLOAT", "TRUE", "@"};
    data::TData data;
    data.Table = &table;
    data.UsedFields = {true, false, true};
    data.CoordCount = 2;
    data.CoordNames = {"a", "c"};
    data.Rays = BiplotRays(Loaded({Style(1, 1, 4, 0), Style(1, 1, 4, 0)}), 2);

    struct TCase {
        const char* Name;
        std::vector<int> Rays;
        TArray1I Columns;
        TArray1S Expected;
    };
    const TCase cases[] = {
        {"field name", {0, 1}, {0}, {"a", "c"}},
        {"name and descriptors", {0}, {0, 1, 2}, {"a/Europe/big"}},
        {"none or @ shows nothing", {1}, {1, 2}, {"/"}},
        {"rays outside the list", {5, -1}, {0}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, RayHintLines(data, c.Rays, c.Columns));
    }

    map::TMap& map = map::AddMap(data, "m");
    EXPECT_EQ((TArray1I{0}), ShownAnnotationColumns(map));
    map.AnnotationColumns = {0, 2};
    EXPECT_EQ((TArray1I{0, 2}), ShownAnnotationColumns(map));
}

} // namespace
} // namespace orbelin::analysis

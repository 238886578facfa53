// The map/value analysis tool: the pages' contents, the map values under the cursor, the
// turns and shifts of "Move", and the commands that write back.
#include "analysis/MapAnalysis.h"

#include "TestUtil.h"
#include "coloring/ColoringFixtures.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TableMaker.h"
#include "map/TMap.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

using coloring::TGradingScheme;

// Three points: a string, two Float fields (one of equal values), an Integer field and a
// Float field with an empty cell. Record 1 is no point of the dataset.
struct TFieldsFixture {
    data::TDataTable Table = test::MakeTable({{"name", TFieldType::String},
                                              {"a", TFieldType::Float},
                                              {"same", TFieldType::Float},
                                              {"n", TFieldType::Integer},
                                              {"b", TFieldType::Float}},
                                             {{"p", "1", "7", "100", "-2"},
                                              {"skipped", "50", "7", "0", "40"},
                                              {"q", "3", "7", "200", ""},
                                              {"r", "5", "7", "300", "2"}});
    data::TData Dataset;
    TFieldsFixture()
    {
        Dataset.Table = &Table;
        test::SetPoints(Dataset, {{0, 0}, {1, 1}, {2, 2}});
        Dataset.NUMXI = {0, 2, 3};
    }
};

TEST(MapAnalysisTest, FloatFieldsAndTheirExtremesOverThePoints)
{
    const TFieldsFixture f;
    const TFloatFields fields = ReadFloatFields(f.Dataset);
    EXPECT_EQ((TArray1I{1, 2, 4}), fields.Fields);
    EXPECT_EQ((TArray1S{"a", "same", "b"}), fields.Names);
    EXPECT_EQ((TArray1D{1, 7, -2}), fields.Lo);
    EXPECT_EQ((TArray1D{5, 7, 2}), fields.Hi);
    EXPECT_EQ(-2, fields.OverallLo);
    EXPECT_EQ(7, fields.OverallHi);
    EXPECT_TRUE(IsMissing(fields.Values[2][1]));
    EXPECT_TRUE(fields.Problem.empty());
    EXPECT_EQ(" 0 1 2", DefaultXCoordinates(3));
}

TEST(MapAnalysisTest, ObjectsPageNormalisesAndColoursEachValue)
{
    const TFieldsFixture f;
    const TFloatFields fields = ReadFloatFields(f.Dataset);
    const TObjectsPage page = BuildObjectsPage(fields, {2, 0, 1}, false, TGradingScheme::Spektrum);
    ASSERT_EQ(3u, page.Cells.size());
    const auto texts = [&](std::size_t field) {
        TArray1S row;
        for (const TObjectsCell& cell : page.Cells[field])
            row.push_back(cell.Text);
        return row;
    };
    EXPECT_EQ((TArray1S{"1", "0", "0.5"}), texts(0));
    // Equal values in every point: 0 in every cell.
    EXPECT_EQ((TArray1S{"0", "0", "0"}), texts(1));
    // The empty cell has no value and no colour.
    EXPECT_EQ((TArray1S{"1", "0", ""}), texts(2));
    EXPECT_EQ(0xFFFFFF, page.Cells[2][2].Color);
    EXPECT_EQ(coloring::PackColor(coloring::FourStep(0.5)), page.Cells[0][2].Color);

    // The overall interval -2..7 for every field: a = 3 gives 5/9.
    const TObjectsPage overall = BuildObjectsPage(fields, {1}, true, TGradingScheme::Spektrum);
    EXPECT_EQ(data::ShortestText(5.0 / 9.0), overall.Cells[0][0].Text);
    EXPECT_EQ("1", overall.Cells[1][0].Text);

    struct TCase {
        const char* Name;
        double T;
        TGradingScheme Scale;
        coloring::TRgb Expected;
    };
    const TCase cases[] = {
        {"green-red at 0", 0, TGradingScheme::GreenRed, {10, 255, 10}},
        {"green-red at 1/2", 0.5, TGradingScheme::GreenRed, {10, 10, 10}},
        {"green-red at 1", 1, TGradingScheme::GreenRed, {255, 10, 10}},
        {"black-white at 0", 0, TGradingScheme::BlackWhite, {255, 255, 255}},
        {"black-white at 1", 1, TGradingScheme::BlackWhite, {0, 0, 0}},
        {"spektrum at 0", 0, TGradingScheme::Spektrum, coloring::FourStep(0)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(coloring::PackColor(c.Expected), ScaleColor(c.T, c.Scale));
    }
}

TEST(MapAnalysisTest, TableWithoutFloatFieldsGivesEmptyPages)
{
    data::TDataTable table = test::MakeTable({{"n", TFieldType::Integer}}, {{"1"}, {"2"}});
    data::TData dataset;
    dataset.Table = &table;
    test::SetPoints(dataset, {{1}, {2}});
    const TFloatFields fields = ReadFloatFields(dataset);
    EXPECT_TRUE(fields.Fields.empty());
    EXPECT_TRUE(BuildObjectsPage(fields, {0, 1}, false, TGradingScheme::Spektrum).Cells.empty());
    EXPECT_EQ(2u, BuildGraphLines(fields, {}, {0, 1}).size());
    EXPECT_TRUE(BuildGraphLines(fields, {}, {0, 1})[0].X.empty());
    EXPECT_TRUE(ReadFloatFields(data::TData{}).Fields.empty());
}

TEST(MapAnalysisTest, MarkedPointsComeFirstAndGraphLinesSkipGaps)
{
    TFieldsFixture f;
    data::MarkPoints(f.Dataset, {2, 1}, 0xFF, 5, data::MarkAdd);
    EXPECT_EQ((TArray1I{2, 1, 0}), AnalysisPoints(f.Dataset, {1, 0, 7, -1}));
    EXPECT_EQ((TArray1I{2, 1}), AnalysisPoints(f.Dataset, {}));

    const TXCoordinates x = ParseXCoordinates("  10 2.5e1 x", 3);
    EXPECT_EQ((TArray1D{10, 25, 2}), x.X);
    EXPECT_EQ("'x' is not a valid floating point value", x.Problem);
    EXPECT_EQ((TArray1D{0, 1, 2}), ParseXCoordinates(" 0", 3).X);

    const std::vector<TGraphLine> lines = BuildGraphLines(ReadFloatFields(f.Dataset), x.X, {1, 2});
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ((TArray1D{10, 25}), lines[0].X); // point 1 has no "b"
    EXPECT_EQ((TArray1D{3, 7}), lines[0].Y);
    EXPECT_EQ((TArray1D{5, 7, 2}), lines[1].Y);
}

void ExpectNodes(const TArray2D& expected, const TArray2D& nodes, double tolerance)
{
    ASSERT_EQ(expected.size(), nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (std::size_t k = 0; k < nodes[i].size(); ++k)
            EXPECT_NEAR(expected[i][k], nodes[i][k], tolerance) << "node " << i << " coordinate " << k;
}

TEST(MapAnalysisTest, MoveTurnsAboutTheCentreInThePrincipalPlanes)
{
    const TArray2D snapshot = {{2, 3, 5}, {1, 1, 1}, {-4, 0, 2}};
    const TArray1D centre = {1, 1, 1};
    // A component of length 2: turns use the unit direction, shifts the axis as it is.
    const TArray2D components = {{2, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    struct TCase {
        const char* Name;
        TMoveSliders Sliders;
        TArray1D FirstNode;
    };
    const TCase cases[] = {
        {"all at 0", {}, {2, 3, 5}},
        {"Z half turn in (e1, e2)", {0, 0, 25}, {0, -1, 5}},
        {"X half turn in (e2, e3)", {25, 0, 0}, {2, -1, -3}},
        {"Y half turn in (e1, e3)", {0, 25, 0}, {0, 3, -3}},
        // Each turn from the snapshot; the displacements add up.
        {"Z and X half turns", {25, 0, 25}, {0, -5, -3}},
        {"full turns", {50, 50, 50}, {2, 3, 5}},
        {"shifts along the axes as they are", {0, 0, 0, 50, -25, 100}, {4, 2.5, 7}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TArray2D moved = MovedNodes(snapshot, centre, components, c.Sliders);
        // 3.1415926 is not pi: a full turn misses by about 1e-7 of the radius.
        ExpectNodes({c.FirstNode}, {moved[0]}, 1e-5);
        // The centre itself only shifts.
        const double sx = 2 * c.Sliders.ShiftX / 50.0, sy = c.Sliders.ShiftY / 50.0, sz = c.Sliders.ShiftZ / 50.0;
        ExpectNodes({{1 + sx, 1 + sy, 1 + sz}}, {moved[1]}, 1e-12);
    }
    EXPECT_EQ(snapshot, MovedNodes(snapshot, centre, components, {}));
    EXPECT_DOUBLE_EQ(2 * 3.1415926, SliderAngle(50));
    EXPECT_DOUBLE_EQ(3.1415926, SliderAngle(25));

    // A plane with an axis the map lacks does not turn.
    const TArray2D flat = {{2, 3}};
    ExpectNodes({{2, 3}}, MovedNodes(flat, {0, 0}, {{1, 0}, {0, 1}}, {30, 40, 0}), 1e-12);
    ExpectNodes({{-2, -3}}, MovedNodes(flat, {0, 0}, {{1, 0}, {0, 1}}, {0, 0, 25}), 1e-6);
}

// A 3 x 3 sheet over -1..1 in the plane z = 0 of a 3-dimensional dataset.
struct TSheetFixture {
    data::TData Dataset;
    map::TMap* Map = nullptr;
    TSheetFixture()
    {
        Dataset.Name = "sheet";
        test::SetPoints(Dataset, {{0.2, 0.3, 0.7}, {2, 0, 0}, {-0.5, 0.25, Missing()}});
        Map = &test::AddSheetMap(Dataset, 3, 3);
    }
};

TEST(MapAnalysisTest, MapValuesAreThePointsOfTheSurfaceUnderTheCursor)
{
    TSheetFixture f;
    const view::TCamera camera; // orthographic, distance -30: the window spans +-2.625
    const int size = 200;
    const auto mouse = [&](double x, double y) {
        return std::pair<int, int>{static_cast<int>(std::lround((x / 2.625 + 1) * size / 2)),
                                   static_cast<int>(std::lround(size - (y / 2.625 + 1) * size / 2))};
    };
    const std::vector<TScreenTriangle> triangles = ScreenTriangles(*f.Map, camera, size, size);
    EXPECT_EQ(f.Map->Grid->Triangles.size(), triangles.size());

    const auto [mx, my] = mouse(0.33, -0.61);
    const TArray2D values = MapValuesAt(*f.Map, triangles, mx, my, size);
    ASSERT_EQ(3u, values.size());
    ASSERT_EQ(1u, values[0].size());
    // The sheet is the plane itself: the value is where the cursor points, to a pixel.
    const double pixel = 2 * 2.625 / size;
    EXPECT_NEAR((mx * 2.0 / size - 1) * 2.625, values[0][0], 1e-9);
    EXPECT_NEAR(((size - my) * 2.0 / size - 1) * 2.625, values[1][0], 1e-9);
    EXPECT_NEAR(0.33, values[0][0], pixel);
    EXPECT_EQ(0, values[2][0]);

    const auto [ox, oy] = mouse(1.5, 0);
    EXPECT_TRUE(MapValuesAt(*f.Map, triangles, ox, oy, size)[0].empty());

    // A scaled dataset still reads in table units, through its normalisation.
    f.Dataset.Scale = 2;
    f.Dataset.NormStat.assign(3, data::TNormStat{});
    f.Dataset.RangeFlags = {true, false, false};
    f.Dataset.LogFlags = f.Dataset.TanhFlags = f.Dataset.StdFlags = {false, false, false};
    f.Dataset.NormStat[0].PreRangeMin = 10;
    f.Dataset.NormStat[0].PreRangeMax = 20;
    const TArray2D scaled = MapValuesAt(*f.Map, triangles, mx, my, size);
    EXPECT_NEAR(10 + 10 * (values[0][0] / 2 + 1) / 2, scaled[0][0], 1e-9);
    EXPECT_NEAR(values[1][0] / 2, scaled[1][0], 1e-9);

    // Views that do not place the net have no triangles.
    f.Map->ViewType = 4;
    EXPECT_TRUE(ScreenTriangles(*f.Map, camera, size, size).empty());
}

TEST(MapAnalysisTest, SubtractLeavesTheResidualsOfThePoints)
{
    TSheetFixture f;
    SubtractMap(*f.Map);
    ExpectNodes({{0, 0, 0.7}, {1, 0, 0}}, {f.Dataset.Points[0], f.Dataset.Points[1]}, 1e-12);
    EXPECT_NEAR(0, f.Dataset.Points[2][0], 1e-12);
    EXPECT_TRUE(IsMissing(f.Dataset.Points[2][2]));
    EXPECT_FALSE(f.Map->ProjectionsValid);

    f.Map->Training = true;
    ORBELIN_EXPECT_ERROR(SubtractMap(*f.Map), "train");
    ORBELIN_EXPECT_ERROR(MoveMap(*f.Map, f.Map->Grid->Nodes, {}), "train");
    f.Map->Training = false;
}

TEST(MapAnalysisTest, ProjectionColumnsShowTheCurrentProjections)
{
    TSheetFixture f;
    // Stale rows from before the last training step must not reach the table.
    f.Map->Projections = {{9, 9, 0}, {9, 9, 0}, {9, 9, 0}};
    f.Map->ProjectionsValid = false;
    ProjectionsToTable(*f.Map);
    EXPECT_EQ((TArray1S{"X", "Y"}), f.Dataset.ResultColumnNames);
    EXPECT_EQ((TArray1S{"      0.20", "      1.00", "     -0.50"}), f.Dataset.ResultColumns[0]);
    EXPECT_EQ((TArray1S{"      0.30", "      0.00", "      0.25"}), f.Dataset.ResultColumns[1]);
    ProjectionsToTable(*f.Map);
    EXPECT_EQ(2u, f.Dataset.ResultColumns.size());
}

TEST(MapAnalysisTest, RecalcPcFromNodesSpansTheSheet)
{
    TSheetFixture f;
    f.Map->Components.clear();
    RecalcComponentsFromNodes(*f.Map);
    ASSERT_EQ(3u, f.Map->Components.size());
    for (int i = 0; i < 2; ++i)
        EXPECT_NEAR(0, f.Map->Components[static_cast<std::size_t>(i)][2], 1e-6) << "component " << i;
    EXPECT_NEAR(0,
                std::fabs(f.Map->Components[0][0] * f.Map->Components[1][0] +
                          f.Map->Components[0][1] * f.Map->Components[1][1]),
                1e-6);
    ExpectNodes({{0, 0, 0}}, {f.Map->Centre}, 1e-12);
}

TEST(MapAnalysisTest, MoveWorksFromTheSnapshot)
{
    TSheetFixture f;
    const TArray2D snapshot = f.Map->Grid->Nodes;
    MoveMap(*f.Map, snapshot, {0, 0, 0, 50, 0, 0});
    MoveMap(*f.Map, snapshot, {0, 0, 0, 50, 0, 0});
    EXPECT_NEAR(snapshot[0][0] + 1, f.Map->Grid->Nodes[0][0], 1e-12);
    EXPECT_EQ(f.Map->Grid->Nodes.size(), f.Map->Layers[1].PointObject.Positions.size());
    EXPECT_NEAR(snapshot[0][0] + 1, f.Map->Layers[1].PointObject.Positions[0][0], 1e-12);
    MoveMap(*f.Map, snapshot, {});
    EXPECT_EQ(snapshot, f.Map->Grid->Nodes);
    ORBELIN_EXPECT_ERROR(MoveMap(*f.Map, {{0, 0, 0}}, {}), "show the window again");
}

} // namespace
} // namespace orbelin::analysis

// Values analysis: the quantities against a small map, the size mapping and what the page
// writes into the dataset and the table.
#include "analysis/ValuesAnalysis.h"

#include "analysis/Marking.h"

#include "AnalysisFixtures.h"
#include "TestUtil.h"
#include "map/TNetGrid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

// A 2 x 2 map spanning the square (0, 0)..(2, 2).
std::unique_ptr<map::TRectangularGrid> SquareMap()
{
    auto grid = map::CreateGrid(map::GridRectangular, 2, 2, 1, 2);
    grid->Nodes = {{0, 0}, {2, 0}, {0, 2}, {2, 2}};
    return grid;
}

TEST(ValuesAnalysisTest, MapQuantitiesOfPointsOnAndBetweenNodes)
{
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"1", "0.5"}, {"2", "2"}, {"2", "3"}});
    const auto grid = SquareMap();
    TValueSettings s;
    const TValueAnalysis node = AnalyzeValues(f->Data, grid.get(), s);
    ASSERT_EQ("", node.Message);
    // (1, 0.5) is as far from nodes 0 and 1; node 0 wins the tie.
    EXPECT_DOUBLE_EQ(std::sqrt(1.25), node.Values[0]);
    EXPECT_EQ(0, node.Values[1]);
    EXPECT_EQ(1, node.Values[2]);

    s.Quantity = TValueQuantity::ProjectionDistance;
    const TValueAnalysis projection = AnalyzeValues(f->Data, grid.get(), s);
    // Inside the square the map passes through the point; on a node both are 0.
    EXPECT_NEAR(0, projection.Values[0], 1e-12);
    EXPECT_NEAR(0, projection.Values[1], 1e-12);
    EXPECT_NEAR(1, projection.Values[2], 1e-12);

    s.Quantity = TValueQuantity::Unstability;
    const TValueAnalysis unstability = AnalyzeValues(f->Data, grid.get(), s);
    // Nearest node 0, second nearest node 1: their squared internal distance.
    const double dx = grid->Internal[0][0] - grid->Internal[1][0], dy = grid->Internal[0][1] - grid->Internal[1][1];
    EXPECT_DOUBLE_EQ(dx * dx + dy * dy, unstability.Values[0]);
    EXPECT_GT(unstability.Values[0], 0);

    // Without a map, or with a map of another dimension, nothing is computed.
    EXPECT_NE("", AnalyzeValues(f->Data, nullptr, s).Message);
    auto other = map::CreateGrid(map::GridRectangular, 2, 2, 1, 3);
    EXPECT_NE("", AnalyzeValues(f->Data, other.get(), s).Message);
}

TEST(ValuesAnalysisTest, SizesFollowTheRangeOfTheValues)
{
    struct TCase {
        const char* Name;
        TArray1S Cells;
        TArray1I Sizes;
    };
    const TCase cases[] = {
        // a = 15 / 4, b = 5 - a: the middle size 12.5 rounds to even.
        {"spread", {"1", "3", "5"}, {5, 12, 20}},
        // All equal and non-zero: a = smin / lo, so every point gets smin.
        {"equal", {"2", "2", "2"}, {5, 5, 5}},
        {"all zero", {"0", "0", "0"}, {5, 5, 5}},
        // A point without a value keeps its record's radius (4).
        {"gap", {"1", "", "5"}, {5, 4, 20}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TArray2S rows;
        for (const std::string& cell : c.Cells)
            rows.push_back({"0", cell});
        auto f = test::MakeAnalysisFixture({"x", "v"}, rows);
        TValueSettings s;
        s.Quantity = TValueQuantity::FieldValue;
        s.Field = 1;
        const TValueAnalysis a = AnalyzeValues(f->Data, nullptr, s);
        ASSERT_EQ("", a.Message);
        EXPECT_EQ(c.Sizes, a.Sizes);
    }
}

TEST(ValuesAnalysisTest, MeanDividesByAllPointsAndTextsShowTheRange)
{
    auto f = test::MakeAnalysisFixture({"x", "v"}, {{"0", "1"}, {"0", ""}, {"0", "5"}});
    TValueSettings s;
    s.Quantity = TValueQuantity::FieldValue;
    s.Field = 1;
    const TValueAnalysis a = AnalyzeValues(f->Data, nullptr, s);
    EXPECT_EQ(2, a.Mean); // 6 / 3, the gap counted
    EXPECT_EQ("1.0000", a.LoText());
    EXPECT_EQ("5.0000", a.HiText());
    EXPECT_EQ("2.0000", a.MeanText());

    // Weights: zero without weights; the dataset's weights when they match the points.
    s.Quantity = TValueQuantity::Weight;
    EXPECT_EQ((TArray1D{0, 0, 0}), AnalyzeValues(f->Data, nullptr, s).Values);
    f->Data.PointWeights = {1, 2, 3};
    EXPECT_EQ((TArray1D{1, 2, 3}), AnalyzeValues(f->Data, nullptr, s).Values);

    // No value at all: empty texts, every point its own size.
    auto gaps = test::MakeAnalysisFixture({"x", "v"}, {{"0", ""}, {"1", ""}});
    s.Quantity = TValueQuantity::FieldValue;
    const TValueAnalysis none = AnalyzeValues(gaps->Data, nullptr, s);
    EXPECT_EQ("", none.LoText());
    EXPECT_EQ((TArray1I{4, 4}), none.Sizes);

    f->Table.Values[0][1] = "one";
    ORBELIN_EXPECT_ERROR(AnalyzeValues(f->Data, nullptr, s), "'one' is not a valid floating point value");
}

TEST(ValuesAnalysisTest, MarksColumnsAndSizesGoIntoTheDatasetAndTable)
{
    auto f = test::MakeAnalysisFixture({"x", "y"}, {{"1", "0.5"}, {"2", "2"}}, {0x0000FF, 0x00FF00});
    const auto grid = SquareMap();
    TValueSettings s;
    s.MinSize = 2;
    s.MaxSize = 9;
    const TValueAnalysis a = AnalyzeValues(f->Data, grid.get(), s);
    MarkValues(f->Data, a);
    EXPECT_EQ((TArray1I{0, 1}), f->Data.MarkedPoints);
    EXPECT_EQ((TArray1I{0x0000FF, 0x00FF00}), f->Data.MarkColors);
    EXPECT_EQ((TArray1I{9, 2}), f->Data.MarkSizes);

    ValuesInTable(f->Data, a);
    EXPECT_EQ((TArray1S{"MSE"}), f->Data.ResultColumnNames);
    EXPECT_EQ((TArray1S{"1.1180", "0.0000"}), f->Data.ResultColumns[0]);
    s.Quantity = TValueQuantity::Unstability;
    ValuesInTable(f->Data, AnalyzeValues(f->Data, grid.get(), s));
    EXPECT_EQ((TArray1S{"MSE", "ProjUnst"}), f->Data.ResultColumnNames);

    RememberMarks(f->Data, RADIUS);
    EXPECT_EQ(9, f->Table.PointStyles[0][RADIUS]);
    EXPECT_EQ(2, f->Table.PointStyles[1][RADIUS]);
    EXPECT_EQ((TArray1I{0, 1}), NumericFields(f->Table));
}

} // namespace
} // namespace orbelin::analysis

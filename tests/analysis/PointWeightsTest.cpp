// Point weights: the rules of "Assign" against closed forms, "Clear", the table column
// and the weighted principal components.
#include "analysis/PointWeights.h"
#include "TestUtil.h"
#include "coloring/ColoringFixtures.h"
#include "data/PointStyle.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TableMaker.h"
#include "map/TMap.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::analysis {
namespace {

TEST(PointWeightsTest, ClassProportionalWeightsBalanceTheClasses)
{
    struct TCase {
        const char* Name;
        TArray1I Colours; ///< fill colour of each record
        TArray1I Records; ///< the dataset's points
        TArray1D Expected;
    };
    const TCase cases[] = {
        {"one class", {5, 5, 5}, {0, 1, 2}, {1, 1, 1}},
        // Classes of 3, 2 and 1 points: M = 3.
        {"three classes", {7, 7, 9, 7, 9, 4}, {0, 1, 2, 3, 4, 5}, {1, 1, 1.5, 1, 1.5, 3}},
        // Only the records that are points count.
        {"records left out", {7, 9, 9, 9}, {0, 3}, {1, 1}},
        {"no points", {7}, {}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TDataTable table;
        table.Name = "t.OBT";
        table.PointStyles.assign(c.Colours.size(), DefaultPointStyle);
        for (std::size_t r = 0; r < c.Colours.size(); ++r)
            table.PointStyles[r][FILLCOLOR] = c.Colours[r];
        data::TData dataset;
        dataset.Table = &table;
        dataset.NUMXI = c.Records;
        EXPECT_EQ(c.Expected, ClassProportionalWeights(dataset));
    }
}

TEST(PointWeightsTest, PointsWithoutRecordsAreReported)
{
    data::TDataTable table;
    table.Name = "t.OBT";
    table.PointStyles.assign(2, DefaultPointStyle);
    data::TData dataset;
    dataset.Name = "d";
    dataset.NUMXI = {0, 2};
    ORBELIN_EXPECT_ERROR(ClassProportionalWeights(dataset), "has no table");
    dataset.Table = &table;
    ORBELIN_EXPECT_ERROR(ClassProportionalWeights(dataset), "point 1 refers to record 2, but the table t.OBT has 2");
}

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// Four points on the square around (3, 2), each sqrt(2) from its centre; records 0 and 2 red,
// 1 and 3 blue. Field "w" holds 0.5, 1, 1.5, 2.
struct TWeightsFixture {
    data::TDataTable Table = test::MakeTable({{"name", TFieldType::String}, {"w", TFieldType::Float}},
                                             {{"a", "0.5"}, {"b", "1"}, {"c", " 1.5 "}, {"d", "2"}});
    data::TData Dataset;
    map::TMap* Map = nullptr;

    TWeightsFixture()
    {
        Table.PointStyles[0][FILLCOLOR] = Table.PointStyles[2][FILLCOLOR] = Red;
        Table.PointStyles[1][FILLCOLOR] = Table.PointStyles[3][FILLCOLOR] = Blue;
        Dataset.Name = "square";
        Dataset.Table = &Table;
        test::SetPoints(Dataset, {{2, 1}, {4, 1}, {2, 3}, {4, 3}});
        Map = &map::AddMap(Dataset, "m");
    }
};

TEST(PointWeightsTest, AssignFollowsTheChosenRule)
{
    const double e = std::exp(1.0);
    struct TCase {
        const char* Name;
        TWeightSettings Settings;
        TArray1D Expected;
    };
    TWeightSettings field;
    field.Source = TWeightSource::TableField;
    field.FieldName = "w";
    TWeightSettings one;
    one.Rule = TWeightRule::OnlyOneClass;
    one.ClassColor = Blue;
    TWeightSettings none = one;
    none.ClassColor.reset();
    TWeightSettings radial;
    radial.Rule = TWeightRule::RadialCenter;
    TWeightSettings origin = radial;
    origin.CalcAverage = false;
    TWeightSettings exp = radial;
    exp.Function = TRadialFunction::Exp;
    exp.A = std::log(2.0) / std::sqrt(2.0);
    TWeightSettings expSquare = radial;
    expSquare.Function = TRadialFunction::ExpSquare;
    expSquare.A = 0.5;
    const TCase cases[] = {
        {"table field", field, {0.5, 1, 1.5, 2}},
        {"class proportional, two equal classes", TWeightSettings{}, {1, 1, 1, 1}},
        {"only one class", one, {0, 1, 0, 1}},
        {"only one class without a colour", none, {0, 0, 0, 0}},
        // R = sqrt(2) from the mean (3, 2): R^2 = 2, exp(R ln2/sqrt2) = 2, exp(R^2 / 2) = e.
        {"R^A about the mean", radial, {2, 2, 2, 2}},
        {"Exp(R*A)", exp, {2, 2, 2, 2}},
        {"Exp(R*R*A)", expSquare, {e, e, e, e}},
        // Squared distances from the origin: 4+1, 16+1, 4+9, 16+9.
        {"R^A about the origin", origin, {5, 17, 13, 25}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TWeightsFixture f;
        const TWeightAssignment result = AssignWeights(f.Dataset, f.Map, c.Settings);
        EXPECT_TRUE(result.MapFlagged);
        EXPECT_TRUE(f.Map->UseWeights);
        ASSERT_EQ(c.Expected.size(), f.Dataset.PointWeights.size());
        for (std::size_t p = 0; p < c.Expected.size(); ++p)
            EXPECT_NEAR(c.Expected[p], f.Dataset.PointWeights[p], 1e-12) << "point " << p;
    }
}

TEST(PointWeightsTest, RadialCentreSkipsACoordinateThatAPointMisses)
{
    TWeightsFixture f;
    f.Dataset.Points[1][0] = Missing();
    TWeightSettings radial;
    radial.Rule = TWeightRule::RadialCenter;
    AssignWeights(f.Dataset, f.Map, radial);
    // The centre's first coordinate is missing: only y counts, 1 from the mean 2.
    EXPECT_EQ((TArray1D{1, 1, 1, 1}), f.Dataset.PointWeights);
}

TEST(PointWeightsTest, AssignKeepsWhatItCannotReplace)
{
    TWeightSettings field;
    field.Source = TWeightSource::TableField;
    {
        SCOPED_TRACE("field not found: old weights stay, new points start at 0");
        TWeightsFixture f;
        f.Dataset.PointWeights = {7, 8};
        field.FieldName = "W"; // letter case counts
        EXPECT_FALSE(AssignWeights(f.Dataset, f.Map, field).FieldFound);
        EXPECT_EQ((TArray1D{7, 8, 0, 0}), f.Dataset.PointWeights);
    }
    {
        SCOPED_TRACE("a cell that is no number stops the assignment where it is");
        TWeightsFixture f;
        f.Table.Values[2][1] = "1,5x";
        field.FieldName = "w";
        ORBELIN_EXPECT_ERROR(AssignWeights(f.Dataset, f.Map, field), "'1,5x' is not a valid floating point value");
        EXPECT_EQ((TArray1D{0.5, 1, 0, 0}), f.Dataset.PointWeights);
        f.Table.Values[2][1] = "  ";
        ORBELIN_EXPECT_ERROR(AssignWeights(f.Dataset, f.Map, field), "'' is not a valid floating point value");
    }
    {
        SCOPED_TRACE("an infinite radial weight changes nothing");
        TWeightsFixture f;
        f.Dataset.PointWeights = {1, 2, 3, 4};
        TWeightSettings radial;
        radial.Rule = TWeightRule::RadialCenter;
        radial.CalcAverage = false;
        radial.A = -1;
        f.Dataset.Points[2] = {0, 0}; // 0^-1
        ORBELIN_EXPECT_ERROR(AssignWeights(f.Dataset, f.Map, radial), "weight of point 3 at distance 0");
        EXPECT_EQ((TArray1D{1, 2, 3, 4}), f.Dataset.PointWeights);
    }
    {
        SCOPED_TRACE("density: sized, nothing assigned");
        TWeightsFixture f;
        f.Dataset.PointWeights = {5};
        TWeightSettings density;
        density.Rule = TWeightRule::DensityProportional;
        AssignWeights(f.Dataset, f.Map, density);
        EXPECT_EQ((TArray1D{5, 0, 0, 0}), f.Dataset.PointWeights);
    }
}

TEST(PointWeightsTest, AssignWithoutAMapStillWeighsThePoints)
{
    TWeightsFixture f;
    const TWeightAssignment result = AssignWeights(f.Dataset, nullptr, TWeightSettings{});
    EXPECT_FALSE(result.MapFlagged);
    EXPECT_FALSE(f.Map->UseWeights);
    EXPECT_EQ((TArray1D{1, 1, 1, 1}), f.Dataset.PointWeights);
}

TEST(PointWeightsTest, ClearDropsWeightsMarksAndLinks)
{
    TWeightsFixture f;
    AssignWeights(f.Dataset, f.Map, TWeightSettings{});
    data::MarkPoints(f.Dataset, {0, 2}, Red, 5, data::MarkAdd);
    f.Dataset.ClusterLinks = {{0, 1}};
    ClearWeights(f.Dataset, f.Map);
    EXPECT_FALSE(f.Map->UseWeights);
    EXPECT_TRUE(f.Dataset.PointWeights.empty());
    EXPECT_TRUE(f.Dataset.MarkedPoints.empty());
    EXPECT_TRUE(f.Dataset.ClusterLinks.empty());
}

TEST(PointWeightsTest, ToTableWritesOneWeightsColumn)
{
    TWeightsFixture f;
    f.Dataset.ResultColumnNames = {"Class"};
    f.Dataset.ResultColumns = {{"1", "2", "1", "2"}};
    f.Dataset.PointWeights = {1.5, 0.25, 12.3456};
    WeightsToTable(f.Dataset);
    f.Dataset.PointWeights[0] = 2;
    WeightsToTable(f.Dataset);
    EXPECT_EQ((TArray1S{"Class", "Weights"}), f.Dataset.ResultColumnNames);
    // Fixed-point, 3 decimals, right-aligned in 5; the fourth point has no weight.
    EXPECT_EQ((TArray1S{"2.000", "0.250", "12.346", ""}), f.Dataset.ResultColumns[1]);
}

TEST(PointWeightsTest, RecalcPcFollowsTheHeavyPoints)
{
    // Points along x carry the weight, points along y none: the first weighted component
    // is the x axis and the centre the weighted mean (1, 5).
    data::TData dataset;
    test::SetPoints(dataset, {{-2, 5}, {0, 5}, {2, 5}, {4, 5}, {1, -20}, {1, 30}, {1, 40}});
    dataset.PointWeights = {1, 1, 1, 1, 0, 0, 0};
    map::TMap& map = map::AddMap(dataset, "m");
    RecalcWeightedComponents(map);
    ASSERT_EQ(2u, map.Components.size());
    EXPECT_NEAR(1, std::fabs(map.Components[0][0]), 1e-6);
    EXPECT_NEAR(0, map.Components[0][1], 1e-6);
    EXPECT_NEAR(1, map.Centre[0], 1e-12);
    EXPECT_NEAR(5, map.Centre[1], 1e-12);

    // Weights that weigh nothing, or that no fit can take, leave the map as it was.
    const TArray2D components = map.Components;
    for (const TArray1D& weights : {TArray1D(7, 0.0), TArray1D{1, 1, 1, 1, 0, -2, 0}}) {
        dataset.PointWeights = weights;
        ORBELIN_EXPECT_ERROR(RecalcWeightedComponents(map), "The point weights of dataset");
        EXPECT_EQ(components, map.Components);
    }
}

} // namespace
} // namespace orbelin::analysis

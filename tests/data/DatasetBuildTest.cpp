// Dataset creation, the normalisation chains, the point selection and the scale commands.
#include "data/DatasetBuild.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "TableMaker.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace orbelin::data {
namespace {

using test::MakeTable;

std::vector<TFieldChoice> Use(std::initializer_list<bool> used)
{
    std::vector<TFieldChoice> choices;
    for (bool u : used)
        choices.push_back({u, false, false, false, u});
    return choices;
}

TEST(DatasetBuildTest, BuildTakesSelectedRecordsAndHandlesGaps)
{
    TDataTable table = MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"Y", TFieldType::Integer}},
                                 {{"a", "1.5", "2"}, {"b", "", "3"}, {"c", "0.25", "7"}, {"d", "4", " 5 "}});
    table.PointStyles[2][SELECTED] = 0;
    for (bool excludeGaps : {false, true}) {
        SCOPED_TRACE(excludeGaps);
        TData data;
        data.Table = &table;
        data.ExcludeGaps = excludeGaps;
        const TBuildResult result = BuildFromTable(data, Use({false, true, true}));
        ASSERT_TRUE(result.Built);
        EXPECT_EQ(0, result.UnparsedCells);
        EXPECT_EQ((TArray1B{false, true, true}), data.UsedFields);
        EXPECT_EQ(2, data.CoordCount);
        EXPECT_EQ((TArray1S{"X", "Y"}), data.CoordNames);
        EXPECT_EQ((TArray1B{true, true}), data.StdFlags);
        if (excludeGaps) {
            EXPECT_EQ((TArray1I{0, 3}), data.NUMXI);
        } else {
            EXPECT_EQ((TArray1I{0, 1, 3}), data.NUMXI);
            EXPECT_TRUE(IsMissing(data.Points[1][0]));
            EXPECT_EQ(3.0, data.Points[1][1]);
        }
        EXPECT_EQ(static_cast<int>(data.NUMXI.size()), data.PointCount);
        EXPECT_EQ(5.0, data.Points.back()[1]); // blanks around a number are not part of it
    }
}

TEST(DatasetBuildTest, NothingToBuildWithoutRecordsOrUsedFields)
{
    TDataTable empty = MakeTable({{"X", TFieldType::Float}}, {});
    TDataTable one = MakeTable({{"X", TFieldType::Float}}, {{"1"}});
    TData data;
    data.Table = &empty;
    EXPECT_FALSE(BuildFromTable(data, Use({true})).Built);
    data.Table = &one;
    EXPECT_FALSE(BuildFromTable(data, Use({false})).Built);
    EXPECT_FALSE(BuildFromTable(data, {}).Built);
    // Every record unselected still builds, with no points.
    one.PointStyles[0][SELECTED] = 0;
    const TBuildResult result = BuildFromTable(data, Use({true}));
    EXPECT_TRUE(result.Built);
    EXPECT_EQ(0, data.PointCount);
}

// A value that is not a number used to end the record's reading and leave its remaining
// coordinates at 0.0 without a word; now only that cell is missing and it is counted.
TEST(DatasetBuildTest, UnparsedValueBecomesMissingAndIsCounted)
{
    TDataTable table = MakeTable({{"A", TFieldType::Float}, {"B", TFieldType::Float}, {"C", TFieldType::Float}},
                                 {{"1", "2", "3"}, {"4", "n/a", "6"}, {"7", "8", "1,5"}, {"10", "11", "12"}});
    TData data;
    data.Table = &table;
    TBuildResult result = BuildFromTable(data, Use({true, true, true}));
    ASSERT_TRUE(result.Built);
    EXPECT_EQ(2, result.UnparsedCells);
    EXPECT_EQ(1, result.FirstUnparsedRecord);
    EXPECT_EQ(1, result.FirstUnparsedField);
    ASSERT_EQ(4, data.PointCount);
    EXPECT_EQ(4.0, data.Points[1][0]);
    EXPECT_TRUE(IsMissing(data.Points[1][1]));
    EXPECT_EQ(6.0, data.Points[1][2]); // the rest of the record is still read
    EXPECT_EQ(8.0, data.Points[2][1]);
    EXPECT_TRUE(IsMissing(data.Points[2][2]));

    // With gaps excluded, a record with an unreadable value is a record with a gap.
    data.ExcludeGaps = true;
    result = BuildFromTable(data, Use({true, true, true}));
    EXPECT_EQ(2, result.UnparsedCells);
    EXPECT_EQ((TArray1I{0, 3}), data.NUMXI);
}

TData BuiltData(TDataTable& table, const std::vector<TFieldChoice>& choices)
{
    TData data;
    data.Table = &table;
    EXPECT_TRUE(BuildFromTable(data, choices).Built);
    Normalise(data);
    return data;
}

TEST(DatasetBuildTest, NormaliseCountsMissingValuesInMeanAndStd)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"1"}, {"2"}, {""}});
    TData data = BuiltData(table, {{true, false, false, false, false}});
    const TNormStat& s = data.NormStat[0];
    // By hand: mean (1 + 2) / 3 = 1, std sqrt((0 + 1) / 3).
    EXPECT_DOUBLE_EQ(1.0, s.Mean);
    EXPECT_DOUBLE_EQ(std::sqrt(1.0 / 3), s.Std);
    EXPECT_EQ(1.0, s.RawMin);
    EXPECT_EQ(2.0, s.RawMax);
    EXPECT_EQ(2.0, s.FinalMax);
    EXPECT_TRUE(IsMissing(data.Points[2][0]));
}

TEST(DatasetBuildTest, NormaliseAppliesTheChainInFixedOrder)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"1"}, {"3"}, {"7"}});
    TData data = BuiltData(table, {{true, true, true, true, true}});
    // By hand: log(x - 1 + 1) = 0, ln 3, ln 7; then deviation, tanh, range to (-1;1).
    const double l[3] = {0, std::log(3.0), std::log(7.0)};
    const double mean = (l[0] + l[1] + l[2]) / 3;
    double sq = 0;
    for (double v : l)
        sq += (v - mean) * (v - mean);
    const double sd = std::sqrt(sq / 3);
    double t[3];
    for (int i = 0; i < 3; ++i)
        t[i] = std::tanh((l[i] - mean) / sd);
    const TNormStat& s = data.NormStat[0];
    EXPECT_DOUBLE_EQ(mean, s.Mean);
    EXPECT_DOUBLE_EQ(sd, s.Std);
    EXPECT_DOUBLE_EQ(t[0], s.PreRangeMin);
    EXPECT_DOUBLE_EQ(t[2], s.PreRangeMax);
    EXPECT_DOUBLE_EQ(-1.0, data.Points[0][0]);
    EXPECT_DOUBLE_EQ((t[1] - t[0]) * 2 / (t[2] - t[0]) - 1, data.Points[1][0]);
    EXPECT_DOUBLE_EQ(1.0, data.Points[2][0]);
    EXPECT_EQ(-1.0, s.FinalMin);
    EXPECT_EQ(1.0, s.FinalMax);
}

TEST(DatasetBuildTest, ValueConversionsInvertEveryChain)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"2"}, {"3.5"}, {"10"}, {""}, {"4"}});
    for (int mask = 0; mask < 16; ++mask) {
        SCOPED_TRACE(mask);
        const TFieldChoice c{true, (mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0};
        TData data = BuiltData(table, {c});
        const double raws[] = {2, 3.5, 10, 0, 4};
        for (int i = 0; i < 5; ++i) {
            if (i == 3) {
                EXPECT_TRUE(IsMissing(data.Points[3][0]));
                continue;
            }
            EXPECT_NEAR(data.Points[static_cast<std::size_t>(i)][0], NormaliseValue(data, 0, raws[i]), 1e-12);
            // tanh near its asymptote leaves atanh few digits to work with.
            EXPECT_NEAR(raws[i], DenormaliseValue(data, 0, NormaliseValue(data, 0, raws[i])), 1e-7);
        }
        EXPECT_TRUE(IsMissing(NormaliseValue(data, 0, Missing())));
        EXPECT_TRUE(IsMissing(DenormaliseValue(data, 0, Missing())));
    }
}

TEST(DatasetBuildTest, ConstantCoordinatesAndTheEdgesOfTheInverse)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}, {"Y", TFieldType::Float}}, {{"5", "5"}, {"5", "5"}});
    TData data = BuiltData(table, {{true, false, false, false, true}, {true, false, false, true, false}});
    EXPECT_EQ(0.0, data.NormStat[0].Std);
    EXPECT_EQ(0.0, data.Points[0][0]);
    EXPECT_EQ(5.0, DenormaliseValue(data, 0, 0.0)); // the mean
    EXPECT_EQ(0.0, data.Points[0][1]);
    EXPECT_EQ(5.0, DenormaliseValue(data, 1, 0.3)); // PreRangeMin

    TDataTable t2 = MakeTable({{"X", TFieldType::Float}}, {{"-1"}, {"1"}});
    TData tanh = BuiltData(t2, {{true, false, true, false, false}});
    EXPECT_EQ(DBL_MAX, DenormaliseValue(tanh, 0, 1.0));
    EXPECT_EQ(-DBL_MAX, DenormaliseValue(tanh, 0, -1.0));
    EXPECT_DOUBLE_EQ(std::atanh(0.999999), DenormaliseValue(tanh, 0, 3.0));

    // The logarithm has no result 1 or more below RawMin: missing, not an ordinary NaN.
    TData log = BuiltData(t2, {{true, true, false, false, false}});
    EXPECT_TRUE(IsMissing(NormaliseValue(log, 0, -2.0)));
    EXPECT_EQ(0.0, NormaliseValue(log, 0, -1.0));
}

TEST(DatasetBuildTest, ScaleCommandsDoubleAndHalvePoints)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"1.5"}, {""}});
    TData data = BuiltData(table, {{true, false, false, false, false}});
    ScaleDataset(data);
    ScaleDataset(data);
    EXPECT_EQ(6.0, data.Points[0][0]);
    EXPECT_TRUE(IsMissing(data.Points[1][0]));
    EXPECT_EQ(4.0, data.Scale);
    UnscaleDataset(data);
    EXPECT_EQ(3.0, data.Points[0][0]);
    EXPECT_EQ(2.0, data.Scale);
}

TEST(DatasetBuildTest, MarkPointsFollowsModesAndSinglePointRules)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"1"}, {"2"}, {"3"}, {"4"}});
    table.PointStyles[2][FILLCOLOR] = 0xFF;
    table.PointStyles[2][RADIUS] = 9;
    TData data = BuiltData(table, {{true, false, false, false, false}});

    MarkPoints(data, {0, 2, 7}, -1, -1, MarkAdd); // 7 is not a point
    EXPECT_EQ((TArray1I{0, 2}), data.MarkedPoints);
    EXPECT_EQ((TArray1I{0x800000, 0xFF}), data.MarkColors);
    EXPECT_EQ((TArray1I{4, 9}), data.MarkSizes);

    MarkPoints(data, {0, 1}, 0x123, 6, MarkToggle); // 0 removed, 1 added
    EXPECT_EQ((TArray1I{2, 1}), data.MarkedPoints);
    EXPECT_EQ((TArray1I{0xFF, 0x123}), data.MarkColors);

    MarkPoints(data, {2, 3}, 0x55, 2, MarkAdd); // re-coloured, not removed
    EXPECT_EQ((TArray1I{2, 1, 3}), data.MarkedPoints);
    EXPECT_EQ((TArray1I{0x55, 0x123, 0x55}), data.MarkColors);

    MarkPoints(data, {3, 1}, 0, 0, MarkRemove);
    EXPECT_EQ((TArray1I{2}), data.MarkedPoints);

    // One point already marked in the same colour is unmarked in every mode; in another
    // colour it is re-coloured by add and unmarked by remove and toggle.
    struct TCase { const char* Name; int Colour; int Mode; bool StaysMarked; };
    const TCase cases[] = {
        {"same colour, add", 0x55, MarkAdd, false},       {"same colour, remove", 0x55, MarkRemove, false},
        {"same colour, toggle", 0x55, MarkToggle, false}, {"other colour, add", 0x66, MarkAdd, true},
        {"other colour, remove", 0x66, MarkRemove, false}, {"other colour, toggle", 0x66, MarkToggle, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ClearMarks(data);
        MarkPoints(data, {2}, 0x55, 3, MarkAdd);
        MarkPoints(data, {2}, c.Colour, 3, c.Mode);
        EXPECT_EQ(c.StaysMarked, data.MarkedPoints == TArray1I{2});
        if (c.StaysMarked) {
            EXPECT_EQ(TArray1I{c.Colour}, data.MarkColors);
        }
        EXPECT_EQ(data.MarkedPoints.size(), data.MarkColors.size());
        EXPECT_EQ(data.MarkedPoints.size(), data.MarkSizes.size());
    }
    // With colour -1 the point's own colour counts as the same colour.
    ClearMarks(data);
    MarkPoints(data, {2}, -1, -1, MarkAdd);
    MarkPoints(data, {2}, -1, -1, MarkAdd);
    EXPECT_TRUE(data.MarkedPoints.empty());
}

TEST(DatasetBuildTest, RemoveMapFreesItAndKeepsActiveMapInside)
{
    TData data;
    for (int i = 0; i < 3; ++i) {
        data.Maps.push_back(std::make_unique<map::TMap>());
        data.Maps.back()->Data = &data;
    }
    map::TMap* second = data.Maps[1].get();
    data.ActiveMap = 2;
    RemoveMap(data, 0);
    EXPECT_EQ(2u, data.Maps.size());
    EXPECT_EQ(second, data.Maps[0].get());
    EXPECT_EQ(1, data.ActiveMap);
    RemoveMap(data, 5);
    EXPECT_EQ(2u, data.Maps.size());
    RemoveMap(data, 1);
    RemoveMap(data, 0);
    EXPECT_TRUE(data.Maps.empty());
    EXPECT_EQ(nullptr, data.CurrentMap());
}

} // namespace
} // namespace orbelin::data

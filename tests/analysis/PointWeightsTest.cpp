// Point weights by class: the class-proportional rule and records a dataset cannot point to.
#include "analysis/PointWeights.h"
#include "TestUtil.h"
#include "data/PointStyle.h"
#include "data/TData.h"
#include "data/TDataTable.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace orbelin::analysis

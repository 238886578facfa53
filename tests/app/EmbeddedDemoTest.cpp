// The demonstration project the program embeds: every file loads completely through the
// start-up loader, and the table, dataset, map, sets and labels agree with each other.
#include "AppTestUtil.h"
#include "app/DemoProject.h"
#include "app/FieldChoices.h"
#include "app/MapMembers.h"
#include "app/TDispatcher.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "numeric/VectorRoutines.h"
#include "view/Annotations.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <set>

namespace orbelin::app {
namespace {

// The text of the line after a section header of an embedded file.
std::string EmbeddedSection(const std::string& resource, const char* key)
{
    data::TRWFile file;
    file.OpenResource(resource);
    const std::string line = file.FindKey(key) && !file.AtEnd() ? data::TrimBlanks(file.ReadLine()) : "";
    file.Close();
    return line;
}

// Mean over the points of the squared distance to the nearest node.
double ApproximationError(const data::TData& dataset, const TArray2D& nodes)
{
    double sum = 0;
    for (const TArray1D& point : dataset.Points) {
        double best = std::numeric_limits<double>::infinity();
        for (const TArray1D& node : nodes)
            best = std::min(best, numeric::SqEuclideanDistance(point, node));
        sum += best;
    }
    return sum / static_cast<double>(dataset.Points.size());
}

TEST(EmbeddedDemoTest, EveryFileLoadsAndTheyAgree)
{
    test::TScriptedUser user;
    TDispatcher d;
    TDemoReport report;
    d.LoadDemo(TDemoFiles(), report);
    ASSERT_TRUE(report.Complete()) << report.Message();
    EXPECT_EQ(report.Loaded, (std::vector<std::string>{"IRIS.OBT", "IRIS.OBD", "IRIS_PC.OBM", "IRIS.OBC", "IRIS.OBS"}));
    EXPECT_TRUE(user.Messages.empty());

    // The map names the embedded table and dataset.
    EXPECT_EQ(EmbeddedSection("IRIS_PC.OBM", "TABLENAME"), "IRIS.OBT");
    EXPECT_EQ(EmbeddedSection("IRIS_PC.OBM", "DATAFILENAME") + ".OBD", "IRIS.OBD");
    EXPECT_EQ(EmbeddedSection("IRIS.OBD", "TABLENAME"), "IRIS.OBT");

    // The table: four measurements and the species.
    const TCurrentChain& chain = d.Current();
    ASSERT_NE(chain.Table, nullptr);
    const data::TDataTable& table = *chain.Table;
    ASSERT_EQ(table.RecordCount, 150);
    ASSERT_EQ(table.FieldCount, 5);
    const int species = data::FieldIndex(table, "species");
    ASSERT_GE(species, 0);
    std::map<std::string, int> perSpecies;
    for (int f = 0; f < 5; ++f)
        EXPECT_EQ(table.FieldTypes[static_cast<std::size_t>(f)], f == species ? TFieldType::String : TFieldType::Float);
    for (const TArray1S& record : table.Values)
        ++perSpecies[data::TrimBlanks(record[static_cast<std::size_t>(species)])];
    EXPECT_EQ(perSpecies, (std::map<std::string, int>{{"setosa", 50}, {"versicolor", 50}, {"virginica", 50}}));

    // The dataset: every record, the four measurements standardised and nothing else.
    ASSERT_NE(chain.Dataset, nullptr);
    const data::TData& dataset = *chain.Dataset;
    EXPECT_EQ(dataset.Table, chain.Table);
    ASSERT_EQ(dataset.PointCount, 150);
    ASSERT_EQ(dataset.CoordCount, 4);
    for (int p = 0; p < 150; ++p)
        ASSERT_EQ(dataset.NUMXI[static_cast<std::size_t>(p)], p);
    const std::vector<data::TFieldChoice>& choices = *CurrentChoices(*chain.Script);
    for (int f = 0; f < 5; ++f) {
        SCOPED_TRACE(f);
        const data::TFieldChoice& c = choices[static_cast<std::size_t>(f)];
        EXPECT_EQ(c.Use, f != species);
        EXPECT_EQ(c.Std, f != species);
        EXPECT_EQ(c.Range, f != species);
        EXPECT_FALSE(c.Log || c.Tanh);
        if (f != species) {
            EXPECT_NE(std::find(dataset.CoordNames.begin(), dataset.CoordNames.end(),
                                table.FieldNames[static_cast<std::size_t>(f)]),
                      dataset.CoordNames.end());
        }
    }

    // The map: a 20 x 20 sphere in the dataset's space, trained: nearer the points than
    // the same grid as initialisation leaves it.
    ASSERT_NE(chain.Map, nullptr);
    const map::TMap& demoMap = *chain.Map;
    ASSERT_NE(demoMap.Grid, nullptr);
    EXPECT_EQ(demoMap.GridType, map::GridSpherical);
    EXPECT_EQ(demoMap.Grid->NodeCount(), 402);
    EXPECT_EQ(demoMap.Grid->Dimension, 4);
    const TArray2D trainedNodes = demoMap.Grid->Nodes;
    data::TData& mutableDataset = *chain.Dataset;
    map::TMap& fresh = map::AddMap(mutableDataset, "fresh");
    fresh.GridType = map::GridSpherical;
    fresh.RequestedRows = fresh.RequestedColumns = 20;
    map::AddLayer(fresh, "Datasets");
    ComputeComponentsInto(fresh);
    map::InitializeMap(fresh, 3, false);
    ASSERT_EQ(fresh.Grid->NodeCount(), 402);
    EXPECT_LT(ApproximationError(dataset, trainedNodes), 0.5 * ApproximationError(dataset, fresh.Grid->Nodes));

    // The first colours-and-sizes set gives each species its own colour and shape and is
    // what the dataset file gave the records; every set covers every record.
    ASSERT_FALSE(dataset.StyleSets.empty());
    EXPECT_EQ(dataset.StyleSets.size(), dataset.StyleSetNames.size());
    for (const view::TStyleSet& set : dataset.StyleSets)
        EXPECT_EQ(set.size(), 150u);
    const view::TStyleSet& classes = dataset.StyleSets[0];
    EXPECT_EQ(classes, table.PointStyles);
    std::map<std::string, PointStyle> styleOf;
    std::set<int> colours, shapes;
    for (int r = 0; r < 150; ++r) {
        const std::string name = data::TrimBlanks(table.Values[static_cast<std::size_t>(r)][species]);
        const PointStyle& style = classes[static_cast<std::size_t>(r)];
        const auto [it, added] = styleOf.emplace(name, style);
        EXPECT_EQ(it->second, style) << "record " << r;
        if (added) {
            colours.insert(style[FILLCOLOR]);
            shapes.insert(style[POINTTYPE]);
        }
    }
    EXPECT_EQ(colours.size(), 3u);
    EXPECT_EQ(shapes.size(), 3u);

    // Visibility sets cover every point; the first, chosen at start-up, hides none.
    ASSERT_FALSE(dataset.VisibilitySets.empty());
    EXPECT_EQ(dataset.VisibilitySets.size(), dataset.VisibilitySetNames.size());
    for (const TArray1I& set : dataset.VisibilitySets)
        EXPECT_EQ(set.size(), 150u);
    EXPECT_EQ(dataset.VisibilitySets[0], TArray1I(150, 1));

    // One label per species, each on a point of that species.
    std::set<std::string> labelled;
    for (const TArray1S& row : demoMap.Annotations) {
        const int p = view::AnnotationPoint(row, dataset.PointCount);
        ASSERT_GE(p, 0) << row[view::AnnotPoint];
        const std::string& name = table.Values[static_cast<std::size_t>(dataset.NUMXI[static_cast<std::size_t>(p)])]
                                              [static_cast<std::size_t>(species)];
        EXPECT_EQ(row[view::AnnotText], data::TrimBlanks(name));
        labelled.insert(row[view::AnnotText]);
    }
    EXPECT_EQ(demoMap.Annotations.size(), 3u);
    EXPECT_EQ(labelled, (std::set<std::string>{"setosa", "versicolor", "virginica"}));
}

} // namespace
} // namespace orbelin::app

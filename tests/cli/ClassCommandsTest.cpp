// orbelin-cli classes and annotate: points styled by the classes of a table field, the
// matching style and visibility sets, and one label per class at its typical point.
#include "TestUtil.h"
#include "cli/CliFixtures.h"
#include "cli/JsonReader.h"
#include "cli/RunInFolder.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "map/MapFile.h"
#include "map/TMap.h"
#include "view/PointSetFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace orbelin {
namespace {

using test::TJson;

// Eight records; the first has a gap, so with --exclude-gaps point p is record p + 1. The
// class a lies at x = 0, 1, 2 (typical: record 3), b at 10, 14, 15 (mean 13: record 4);
// c has only the gap record and the last record's class is blank. y = 2x throughout.
constexpr const char* ClassCsv = "x,y,kind\n"
                                 "5,,c\n"
                                 "0,0,a\n"
                                 "10,20,b\n"
                                 "1,2,a\n"
                                 "14,28,b\n"
                                 "2,4,a\n"
                                 "15,30,b\n"
                                 "7,14,\n";

TEST(ClassCommandsTest, StylesEachClassAndWritesTheMatchingSets)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("pts.csv"), ClassCsv);
    ASSERT_EQ(RunIn(dir, "dataset pts.csv -o pts.obd --fields x,y --no-std --exclude-gaps").Status, 0);
    const TRun run = RunIn(dir, "classes pts.obd --field KIND -o styled.obd --styles pts.obc --visibility pts.obs");
    ASSERT_EQ(run.Status, 0) << run.Err;

    const TJson out = test::ReadJson(run.Out);
    EXPECT_EQ(out["field"].Text, "kind");
    const TJson& classes = out["classes"];
    ASSERT_EQ(classes.Size(), 4u);
    const struct {
        const char* Value;
        int Records, Points;
    } expected[] = {{"c", 1, 0}, {"a", 3, 3}, {"b", 3, 3}, {"", 1, 1}};
    for (std::size_t c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(classes[c]["value"].Text, expected[c].Value);
        EXPECT_EQ(classes[c]["records"].Number, expected[c].Records);
        EXPECT_EQ(classes[c]["points"].Number, expected[c].Points);
    }

    // The restyled dataset: its points as before, one style per class, distinct classes
    // told apart by colour and shape.
    data::TDataTable beforeTable, table;
    data::TData before, styled;
    data::LoadDatasetWithTable(dir.File("pts.obd"), before, beforeTable);
    data::LoadDatasetWithTable(dir.File("styled.obd"), styled, table);
    ASSERT_EQ(styled.PointCount, 7);
    EXPECT_EQ(styled.Points, before.Points);
    EXPECT_EQ(styled.NUMXI, before.NUMXI);
    const int classOf[] = {0, 1, 2, 1, 2, 1, 2, 3};
    ASSERT_EQ(table.PointStyles.size(), 8u);
    std::set<int> colours, shapes;
    for (int r = 0; r < 8; ++r) {
        SCOPED_TRACE(r);
        const PointStyle& style = table.PointStyles[static_cast<std::size_t>(r)];
        for (int q = 0; q < 8; ++q)
            EXPECT_EQ(classOf[q] == classOf[r], style == table.PointStyles[static_cast<std::size_t>(q)]) << q;
        EXPECT_EQ(style[SELECTED], 1);
        EXPECT_EQ(style[FLFILL], 1);
        colours.insert(style[FILLCOLOR]);
        shapes.insert(style[POINTTYPE]);
    }
    EXPECT_EQ(colours.size(), 4u);
    EXPECT_EQ(shapes.size(), 4u);
    // The input is left alone.
    EXPECT_EQ(beforeTable.PointStyles, std::vector<PointStyle>(8, DefaultPointStyle));

    // Style sets hold one style per record, visibility sets one flag per point.
    std::vector<view::TStyleSet> styleSets;
    TArray1S styleNames;
    view::ReadStyleSets(dir.File("pts.obc"), styleSets, styleNames);
    EXPECT_EQ(styleNames, (TArray1S{"kind classes", "Plain"}));
    ASSERT_EQ(styleSets.size(), 2u);
    EXPECT_EQ(styleSets[0], table.PointStyles);
    EXPECT_EQ(styleSets[1], std::vector<PointStyle>(8, DefaultPointStyle));

    TArray2I visibility;
    TArray1S visibilityNames;
    view::ReadVisibilitySets(dir.File("pts.obs"), visibility, visibilityNames);
    EXPECT_EQ(visibilityNames, (TArray1S{"All points", "kind: c", "kind: a", "kind: b", "kind: (blank)"}));
    EXPECT_EQ(visibility, (TArray2I{{1, 1, 1, 1, 1, 1, 1},
                                    {0, 0, 0, 0, 0, 0, 0},
                                    {1, 0, 1, 0, 1, 0, 0},
                                    {0, 1, 0, 1, 0, 1, 0},
                                    {0, 0, 0, 0, 0, 0, 1}}));
}

TEST(ClassCommandsTest, AnnotateLabelsEachNamedClassOnceAtItsTypicalPoint)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("pts.csv"), ClassCsv);
    ASSERT_EQ(RunIn(dir, "dataset pts.csv -o pts.obd --fields x,y --no-std --exclude-gaps").Status, 0);
    ASSERT_EQ(RunIn(dir, "init pts.obd -o pts.obm --rows 2 --cols 2").Status, 0);
    const std::string original = test::ReadBytes(dir.File("pts.obm"));

    const TRun first = RunIn(dir, "annotate pts.obm --class kind --font-size 9 -o labelled.obm");
    ASSERT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(test::ReadBytes(dir.File("pts.obm")), original);
    const TJson added = test::ReadJson(first.Out)["added"];
    ASSERT_EQ(added.Size(), 2u);
    // Point p is record p + 1: a's typical record 3 is point 2, b's record 4 is point 3.
    EXPECT_EQ(added[0]["point"].Number, 2);
    EXPECT_EQ(added[0]["text"].Text, "a");
    EXPECT_EQ(added[1]["point"].Number, 3);
    EXPECT_EQ(added[1]["text"].Text, "b");

    map::TMap labelled;
    map::ReadMapAlone(labelled, dir.File("labelled.obm"));
    EXPECT_EQ(labelled.Annotations, (TArray2S{{"2", "9", "N", "a"}, {"3", "9", "N", "b"}}));

    // A second run in place finds the labels there and adds nothing.
    const TRun second = RunIn(dir, "annotate labelled.obm --class kind -o labelled.obm");
    ASSERT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(test::ReadJson(second.Out)["added"].Size(), 0u);
    EXPECT_EQ(test::ReadJson(second.Out)["annotations"].Number, 2);
}

TEST(ClassCommandsTest, BadFieldsAndOptionsAreRefused)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("pts.csv"), ClassCsv);
    std::string many = "x,label\n";
    for (int r = 0; r < 71; ++r)
        many += std::to_string(r) + ",L" + std::to_string(r) + "\n";
    test::WriteBytes(dir.File("many.csv"), many);
    ASSERT_EQ(RunIn(dir, "dataset pts.csv -o pts.obd --fields x,y --no-std").Status, 0);
    ASSERT_EQ(RunIn(dir, "dataset many.csv -o many.obd --fields x").Status, 0);
    ASSERT_EQ(RunIn(dir, "init pts.obd -o pts.obm --rows 2 --cols 2").Status, 0);

    struct TCase {
        const char* Name;
        std::string Arguments;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {"no field", "classes pts.obd -o o.obd", 2, "classes needs --field NAME"},
        {"unknown field", "classes pts.obd --field colour -o o.obd", 2,
         "has no field \"colour\" (its fields: x, y, kind)"},
        {"output not a dataset", "classes pts.obd --field kind -o o.txt", 2, "must end in .obd"},
        {"too many classes", "classes many.obd --field label -o o.obd", 1, "has 71 distinct values"},
        {"missing dataset", "classes none.obd --field kind -o o.obd", 1, "none.obd"},
        {"annotate without class", "annotate pts.obm -o o.obm", 2, "annotate needs --class NAME"},
        {"annotate unknown field", "annotate pts.obm --class colour -o o.obm", 2, "has no field \"colour\""},
        {"annotate output", "annotate pts.obm --class kind -o o.obd", 2, "must end in .obm"},
        {"font size", "annotate pts.obm --class kind --font-size 0 -o o.obm", 2, "--font-size expects a whole number"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunIn(dir, c.Arguments);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Err.rfind("orbelin-cli: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.obd")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.obm")));
}

} // namespace
} // namespace orbelin

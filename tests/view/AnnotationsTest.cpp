// Annotation rows: making them in every mode, copying them to a result column, and
// placing their labels.
#include "view/Annotations.h"

#include "ExportFixture.h"
#include "TestUtil.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

#include <set>

namespace orbelin::view {
namespace {

using namespace test;

// Fields: a name and three numbers; records 0, 1 and 4 are red, 2 and 3 blue. Record 3
// has an empty cell in "c". The ten-bar histograms of the whole table give these relative
// frequencies (bar: share):
//   a (lo 1, hi 3): 0: 3/5, 5: 1/5, 9: 1/5     red 0, 5, 9: 1/3 each   blue 0: 1
//   b (lo 1, hi 9): 0: 3/5, 1: 1/5, 9: 1/5     red 0: 2/3, 9: 1/3      blue 0, 1: 1/2 each
//   c (lo 1, hi 9): 0: 2/4, 1: 1/4, 9: 1/4     red 0: 2/3, 9: 1/3      blue 1: 1
data::TDataTable MakeAnnotTable()
{
    data::TDataTable table = MakeTable({{"name", TFieldType::String},
                                        {"a", TFieldType::Float},
                                        {"b", TFieldType::Integer},
                                        {"c", TFieldType::Currency}},
                                       {{" Альфа ", "3", "9", "9"},
                                        {"Beta", "1", "1", "1"},
                                        {"Gamma", "1", "1", "2"},
                                        {"Delta", "1", "2", ""},
                                        {"Eps", "2", "1", "1"}});
    const int colors[] = {Red, Red, Blue, Blue, Red};
    for (std::size_t r = 0; r < 5; ++r)
        table.PointStyles[r][FILLCOLOR] = colors[r];
    return table;
}

data::TData MakeAnnotData(data::TDataTable& table, int points)
{
    data::TData data;
    data.Table = &table;
    data.PointCount = points;
    data.Points.assign(static_cast<std::size_t>(points), TArray1D{0});
    for (int p = 0; p < points; ++p)
        data.NUMXI.push_back(p % table.RecordCount);
    return data;
}

TEST(AnnotationsTest, TextsOfEveryModeForTheSelectedPoints)
{
    data::TDataTable table = MakeAnnotTable();
    data::TData data = MakeAnnotData(table, 5);
    struct TCase {
        const char* Name;
        TAnnotText Text;
        TArray1I Ticked;
        int Depth;
        TArray1I Points;
        TArray1S Expected;
        int MaxLength = 50;
    };
    const TCase cases[] = {
        {"all fields, trimmed", TAnnotText::AllFields, {0, 2}, 1, {0, 3}, {"Альфа/9", "Delta/2"}},
        {"one field has no slash", TAnnotText::AllFields, {3}, 1, {3}, {""}},
        {"max values keep field order on ties", TAnnotText::MaxValues, {1, 2, 3}, 2, {0}, {"b/c"}},
        {"min values name numeric fields only", TAnnotText::MinValues, {0, 3, 1}, 1, {0, 3}, {"a", "c"}},
        {"min values, empty cell is 0", TAnnotText::MinValues, {1, 2, 3}, 3, {3}, {"c/a/b"}},
        {"depth 0 gives empty texts", TAnnotText::MaxValues, {1, 2}, 0, {1}, {""}},
        {"unexpected", TAnnotText::Unexpected, {1, 2, 3}, 3, {0, 3}, {"a/b/c", "b/c/a"}},
        {"unexpected in class", TAnnotText::UnexpectedInClass, {1, 2, 3}, 3, {0, 2, 3}, {"a/b/c", "b/a/c", "c/b/a"}},
        {"max length counts characters", TAnnotText::AllFields, {0, 1}, 1, {0}, {"Аль"}, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TAnnotationSettings settings;
        settings.Text = c.Text;
        settings.TickedFields = c.Ticked;
        settings.Depth = c.Depth;
        settings.MaxLength = c.MaxLength;
        data.MarkedPoints = c.Points;
        TAnnotationState state;
        ASSERT_TRUE(MakeAnnotations({}, data, table, settings, state));
        ASSERT_EQ(c.Expected.size(), state.NewRows.size());
        for (std::size_t i = 0; i < c.Expected.size(); ++i) {
            EXPECT_EQ(std::to_string(c.Points[i]), state.NewRows[i][AnnotPoint]);
            EXPECT_EQ("7", state.NewRows[i][AnnotFontSize]);
            EXPECT_EQ("N", state.NewRows[i][AnnotBorder]);
            EXPECT_EQ(c.Expected[i], state.NewRows[i][AnnotText]);
        }
    }
}

TEST(AnnotationsTest, ApplyAppendsTheRowsAndClearsTheSelection)
{
    data::TDataTable table = MakeAnnotTable();
    data::TData data = MakeAnnotData(table, 5);
    TArray2S annotations = {{"3", "7", "N", "old"}};
    TAnnotationSettings settings;
    settings.TickedFields = {0};
    settings.FontSize = 9;
    TAnnotationState state;

    // Selected: every selected point in selection order, also one that has a label; a
    // selected index outside the dataset is passed over.
    data.MarkedPoints = {3, 1, 7};
    data.MarkColors = {0, 0, 0};
    data.MarkSizes = {5, 5, 5};
    ASSERT_TRUE(ApplyAnnotations(annotations, data, table, settings, state));
    EXPECT_EQ((TArray2S{{"3", "7", "N", "old"}, {"3", "9", "N", "Delta"}, {"1", "9", "N", "Beta"}}), annotations);
    EXPECT_TRUE(data.MarkedPoints.empty());

    // No ticked field: nothing happens.
    settings.TickedFields = {};
    EXPECT_FALSE(ApplyAnnotations(annotations, data, table, settings, state));
    EXPECT_TRUE(state.NewRows.empty());
    EXPECT_EQ(3u, annotations.size());

    // By colour: an error until a colour is chosen, then the points of that colour.
    settings.TickedFields = {0};
    settings.Points = TAnnotPoints::ByColor;
    ORBELIN_EXPECT_ERROR(MakeAnnotations(annotations, data, table, settings, state), "Choose a colour");
    RefreshClassColors(state, table);
    EXPECT_EQ((TArray1I{Red, Blue}), state.ClassColors);
    settings.ColorItem = 1;
    ASSERT_TRUE(MakeAnnotations(annotations, data, table, settings, state));
    ASSERT_EQ(2u, state.NewRows.size());
    EXPECT_EQ("Gamma", state.NewRows[0][AnnotText]);
    EXPECT_EQ("Delta", state.NewRows[1][AnnotText]);

    // A ticked numeric cell that is not a number stops everything.
    table.Values[2][1] = " 1,5 ";
    settings.TickedFields = {1};
    settings.Text = TAnnotText::MinValues;
    data.MarkedPoints = {0};
    ORBELIN_EXPECT_ERROR(ApplyAnnotations(annotations, data, table, settings, state),
                         "'1,5' is not a valid floating point value");
    EXPECT_EQ(3u, annotations.size());
    EXPECT_EQ((TArray1I{0}), data.MarkedPoints);
}

TEST(AnnotationsTest, RandomChoiceAnnotatesPointsWithoutLabels)
{
    data::TDataTable table = MakeAnnotTable();
    data::TData data = MakeAnnotData(table, 11);
    TAnnotationSettings settings;
    settings.Points = TAnnotPoints::Random;
    settings.TickedFields = {0};
    struct TCase {
        const char* Name;
        TArray2S Annotations;
        int Percentage;
        std::size_t Expected;
    };
    const TCase cases[] = {
        // (11 - 1) x 50 % = 5 rows.
        {"half of the rest", {{"4", "7", "N", "x"}}, 50, 5},
        // (11 - 2) x 50 % = 4.5, rounded to even.
        {"halves to even", {{"4", "7", "N", "x"}, {"4", "7", "N", "y"}}, 50, 4},
        {"all of the rest", {{"4", "7", "N", "x"}, {"9", "7", "N", "y"}}, 100, 9},
        {"more rows than points", TArray2S(12, TArray1S{"0", "7", "N", "x"}), 100, 0},
        {"rows naming no point count too", {{"99", "7", "N", "x"}, {"z", "7", "N", "y"}}, 100, 9},
    };
    numeric::SeedRandom(11);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        settings.Percentage = c.Percentage;
        TAnnotationState state;
        ASSERT_TRUE(MakeAnnotations(c.Annotations, data, table, settings, state));
        ASSERT_EQ(c.Expected, state.NewRows.size());
        std::set<int> seen;
        for (const TArray1S& row : c.Annotations)
            seen.insert(AnnotationPoint(row, 11));
        for (const TArray1S& row : state.NewRows) {
            const int p = AnnotationPoint(row, 11);
            ASSERT_GE(p, 0);
            EXPECT_TRUE(seen.insert(p).second) << "point " << p << " annotated twice";
        }
    }
}

TEST(AnnotationsTest, ToTableAppendsAColumnWhereTheLastRowOfAPointWins)
{
    data::TDataTable table = MakeAnnotTable();
    data::TData data = MakeAnnotData(table, 3);
    const TArray2S annotations = {{"2", "7", "N", "first"},
                                  {"0", "7", "N", "zero"},
                                  {"2", "7", "N", "last"},
                                  {"3", "7", "N", "gone"},
                                  {"-1", "7", "N", "neg"},
                                  {"1x", "7", "N", "bad"},
                                  {"1"}};
    AnnotationsToTable(annotations, data);
    AnnotationsToTable(annotations, data);
    EXPECT_EQ((TArray1S{"Annot", "Annot"}), data.ResultColumnNames);
    EXPECT_EQ((TArray1S{"zero", "", "last"}), data.ResultColumns.at(1));
}

TEST(AnnotationsTest, LabelsSkipEmptyHiddenAndForeignRows)
{
    const TVisPoint markers = MakeExportMarkers();
    const TExportView view = MakeExportView(markers);
    const TArray2S annotations = {{"0", "7", "N", "small"},     {"1", "8", "N", "large"}, {"1", "8", "N", ""},
                                  {"2", "7", "N", "no marker"}, {"0", "12", "N"}};
    const std::vector<TAnnotationLabel> labels =
        AnnotationLabels(annotations, markers, {}, view.Camera, view.Width, view.Height);
    ASSERT_EQ(2u, labels.size());
    // Corners at the markers' window positions, y counted from the top.
    EXPECT_EQ(500, labels[0].X);
    EXPECT_EQ(200, labels[0].Y);
    EXPECT_EQ("Small Fonts", labels[0].FontName);
    EXPECT_EQ(7, labels[0].FontSize);
    EXPECT_EQ("small", labels[0].Text);
    EXPECT_EQ(200, labels[1].X);
    EXPECT_EQ(400, labels[1].Y);
    EXPECT_EQ("MS Sans Serif", labels[1].FontName);

    // A point hidden by the visibility flags keeps its rows but shows no label.
    const auto hidden = AnnotationLabels(annotations, markers, {0, 1}, view.Camera, view.Width, view.Height);
    ASSERT_EQ(1u, hidden.size());
    EXPECT_EQ("large", hidden[0].Text);
    // The last row of a point gives its text, also when that text is empty.
    EXPECT_EQ((TArray1S{"", ""}), LastAnnotationTexts(annotations, 2));
    EXPECT_EQ((TArray1S{"small", "large", ""}), LastAnnotationTexts({annotations[0], annotations[1]}, 3));
}

// A row whose point index or font size is not an integer stops the drawing with a
// conversion message; the labels of the rows before it are drawn.
TEST(AnnotationsTest, RowThatIsNoIntegerStopsTheLabels)
{
    const TVisPoint markers = MakeExportMarkers();
    const TExportView view = MakeExportView(markers);
    struct TCase { const char* Name; TArray1S Row; const char* Message; };
    const TCase cases[] = {
        {"font size", {"0", "big", "N", "bad size"}, "'big' is not a valid integer value"},
        {"point index", {"1.5", "8", "N", "bad point"}, "'1.5' is not a valid integer value"},
        {"empty index", {"", "8", "N", "no point"}, "'' is not a valid integer value"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TArray2S annotations = {{"0", "7", "N", "first"}, c.Row, {"1", "8", "N", "after"}};
        std::string error;
        const auto labels = AnnotationLabels(annotations, markers, {}, view.Camera, view.Width, view.Height, &error);
        EXPECT_EQ(c.Message, error);
        ASSERT_EQ(1u, labels.size());
        EXPECT_EQ("first", labels[0].Text);
    }
    std::string error = "stale";
    EXPECT_EQ(1u, AnnotationLabels({{"0", "7", "N", "first"}}, markers, {}, view.Camera, view.Width, view.Height, &error)
                      .size());
    EXPECT_EQ("", error);
}

} // namespace
} // namespace orbelin::view

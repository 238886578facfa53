// The map/value analysis, weights and time-series windows in a real session: a table
// becomes a dataset and a map through the main window's commands, the windows open from
// their toggles, follow the mouse over the 3D view and write their results back.
#include "GuiTestUtil.h"
#include "analysis/ValuesAnalysis.h"
#include "app/AppTestUtil.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/TTablePanel.h"
#include "gui/TVisMap.h"
#include "gui/TfmColorPoints.h"
#include "gui/TfmDataStat.h"
#include "gui/TfmMapAnalyze.h"
#include "gui/TfmTimeSerAnalysis.h"
#include "gui/TfmWeights.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "numeric/Random.h"
#include "view/TCamera.h"
#include "view/ViewGeometry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::gui {
namespace {

using test::ItemAt;

constexpr int Red = 0x0000FF, Blue = 0xFF0000;

// Thirty points on a tilted plane in three Float fields, and a name.
std::string WritePlane(const test::TTempDir& dir)
{
    std::string text = "name,x,y,z\n";
    for (int i = 0; i < 30; ++i) {
        const double a = (i % 6) / 5.0, b = (i / 6) / 4.0;
        text += "p" + std::to_string(i) + "," + std::to_string(a) + "," + std::to_string(b) + "," +
                std::to_string(0.5 * a - b) + "\n";
    }
    test::WriteBytes(dir.File("plane.csv"), text);
    return dir.File("plane.csv");
}

struct TSession {
    test::TTempDir Dir;
    test::TWorkingDirectory Cwd{Dir.Path()};
    test::TScriptedUser User;
    TfrmMainWnd Window{false};
    data::TDataTable* Table = nullptr;
    data::TData* Dataset = nullptr;
    map::TMap* Map = nullptr;

    void Start()
    {
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.LoadTableFile(WritePlane(Dir));
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 1, 20000}));
        auto* panel = static_cast<TTablePanel*>(Window.Panels()->Panel(app::TablePanel));
        for (int field = 1; field < 4; ++field)
            panel->Fields()->item(field)->setCheckState(Qt::Checked);
        Click(Window, "CreateDataset");
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 2, 30000}));
        Click(Window, "AddMap");
        const app::TCurrentChain chain = app::CurrentChain(Window.Dispatcher().Project());
        ASSERT_TRUE(chain.Table && chain.Dataset && chain.Map && chain.Map->Grid);
        Table = chain.Table;
        Dataset = chain.Dataset;
        Map = chain.Map;
        ASSERT_NE(nullptr, Window.MapWindow());
        ASSERT_TRUE(User.Messages.empty()) << User.Messages.front();
        QTest::qWait(200);
    }
    static void Click(const QWidget& window, const char* name)
    {
        auto* button = window.findChild<QPushButton*>(name);
        ASSERT_NE(nullptr, button) << name;
        button->click();
    }
    TVisMap& View() { return *Window.MapWindow()->View(); }
    /// Where a position of the view's scene is under the mouse (y from the top).
    QPoint MouseAt(const std::array<double, 3>& scene)
    {
        const view::TCamera& camera = View().Camera();
        const int w = View().width(), h = View().height();
        double window[3];
        EXPECT_TRUE(view::ProjectToWindow(scene.data(), view::ModelViewMatrix(camera),
                                          view::ProjectionMatrix(camera, w, h), w, h, window));
        return {static_cast<int>(std::lround(window[0])), static_cast<int>(std::lround(h - window[1]))};
    }
    void MoveMouse(QPoint at) { QTest::mouseMove(&View(), at); }
};

TEST(MapAnalysisWindowsTest, WeightsWindowAssignsEveryRuleAndTrainingUsesThem)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    for (int r = 0; r < s.Table->RecordCount; ++r)
        s.Table->PointStyles[static_cast<std::size_t>(r)][FILLCOLOR] = r < 10 ? Red : Blue;
    QAction* toggle = s.Window.Action("Weights");
    ASSERT_TRUE(toggle->isEnabled());
    toggle->trigger();
    TfmWeights& weights = *s.Window.WeightsWindow();
    ASSERT_TRUE(weights.isVisible());
    EXPECT_EQ("Weights", weights.windowTitle());
    // The lists of the current table: its three numeric fields and two class colours.
    EXPECT_EQ(3, weights.FieldList()->count());
    ASSERT_EQ(2, weights.ColorList()->count());

    // "Class proportional ": ten red, twenty blue.
    TSession::Click(weights, "Assign");
    ASSERT_EQ(30u, s.Dataset->PointWeights.size());
    EXPECT_EQ(2, s.Dataset->PointWeights[0]);
    EXPECT_EQ(1, s.Dataset->PointWeights[29]);
    EXPECT_TRUE(s.Map->UseWeights);
    EXPECT_TRUE(map::TrainsWithWeights(*s.Map));

    // "Only one class", blue.
    weights.RuleOption(analysis::TWeightRule::OnlyOneClass)->click();
    weights.ColorList()->setCurrentRow(1);
    TSession::Click(weights, "Assign");
    EXPECT_EQ(0, s.Dataset->PointWeights[0]);
    EXPECT_EQ(1, s.Dataset->PointWeights[29]);

    // "R^A" about the origin with A = 2: the squared distance of each point.
    weights.RuleOption(analysis::TWeightRule::RadialCenter)->click();
    weights.CalcAverage()->setChecked(false);
    TSession::Click(weights, "Assign");
    const TArray1D& p = s.Dataset->Points[7];
    EXPECT_NEAR(p[0] * p[0] + p[1] * p[1] + p[2] * p[2], s.Dataset->PointWeights[7], 1e-12);

    // From a table field.
    weights.SourceOption(analysis::TWeightSource::TableField)->click();
    weights.FieldList()->setCurrentText("y");
    TSession::Click(weights, "Assign");
    EXPECT_DOUBLE_EQ(1, s.Dataset->PointWeights[29]);
    EXPECT_DOUBLE_EQ(0.25, s.Dataset->PointWeights[6]);

    // "To table", "Recalc PC": the column and the weighted components.
    TSession::Click(weights, "ToTable");
    ASSERT_EQ((TArray1S{"Weights"}), s.Dataset->ResultColumnNames);
    EXPECT_EQ("1.000", s.Dataset->ResultColumns[0][29]);
    s.Map->Components.clear();
    TSession::Click(weights, "RecalcPC");
    EXPECT_EQ(3u, s.Map->Components.size());
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();

    // A number that is none stops Assign with the system's message.
    weights.SourceOption(analysis::TWeightSource::Automatic)->click();
    weights.AEdit()->setText("two");
    TSession::Click(weights, "Assign");
    ASSERT_EQ(1u, s.User.Messages.size());
    EXPECT_EQ("'two' is not a valid floating point value", s.User.Messages[0]);

    // "Show Values": the value analysis of "Weight" sizes the points by their weights.
    s.User.Messages.clear();
    TSession::Click(weights, "ShowValues");
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    TfmColorPoints& objects = *s.Window.ObjectAnalysisWindow();
    EXPECT_EQ(analysis::TValueQuantity::Weight, objects.Values().Quantity);
    EXPECT_EQ(s.Dataset->PointWeights, objects.Values().Values);
    ASSERT_EQ(30u, s.Dataset->MarkedPoints.size());
    EXPECT_LT(s.Dataset->MarkSizes[0], s.Dataset->MarkSizes[29]);

    // "Clear", with the clustering's "Cancel"; then closing the window releases the toggle.
    TSession::Click(weights, "Clear");
    EXPECT_TRUE(s.Dataset->PointWeights.empty());
    EXPECT_FALSE(s.Map->UseWeights);
    EXPECT_TRUE(s.Dataset->MarkedPoints.empty());
    EXPECT_TRUE(toggle->isChecked());
    weights.close();
    EXPECT_FALSE(toggle->isChecked());
}

TEST(MapAnalysisWindowsTest, MapAnalysisFollowsTheMouseAndMovesTheMap)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    QAction* toggle = s.Window.Action("ValueMapAnalysis");
    ASSERT_TRUE(toggle->isEnabled());
    ASSERT_TRUE(s.Window.Action("MapAnalysis")->isEnabled());
    toggle->trigger();
    TfmMapAnalyze& analyze = *s.Window.MapAnalysisWindow();
    ASSERT_TRUE(analyze.isVisible());
    EXPECT_EQ("Map/value analyze", analyze.windowTitle());
    EXPECT_TRUE(s.Window.Action("MapAnalysis")->isChecked());
    EXPECT_EQ(s.Map, analyze.Map());
    EXPECT_EQ(s.Map->Grid->Nodes, analyze.Snapshot());
    EXPECT_EQ(" 0 1 2", analyze.XCoordinates()->text());
    EXPECT_TRUE(analyze.ObjectsMessage()->isVisible());
    EXPECT_EQ("No points correspond\nto the cursor position", analyze.ObjectsMessage()->text());

    // The mouse over a data point: the Objects page lists it, a row per Float field.
    const int target = 13;
    const TArray1D& marker = s.Map->Layers[0].PointObject.Positions[target];
    const QPoint over = s.MouseAt({marker[0], marker[1], marker[2]});
    const std::vector<int> picked =
        s.View().PickPoints(TVisMap::DataPointObject, over.x(), over.y(), over.x(), over.y());
    ASSERT_NE(picked.end(), std::find(picked.begin(), picked.end(), target));
    s.MoveMouse(over);
    ASSERT_TRUE(QTest::qWaitFor([&] { return analyze.ObjectsGrid()->isVisible(); }, 5000));
    EXPECT_EQ(3, analyze.ObjectsGrid()->rowCount());
    ASSERT_GE(analyze.ObjectsGrid()->columnCount(), 2);
    EXPECT_EQ(QString::number(target + 1), analyze.ObjectsGrid()->horizontalHeaderItem(1)->text());
    EXPECT_EQ("x", analyze.ObjectsGrid()->item(0, 0)->text());

    // Hover reports are coalesced: a burst of them refreshes the page once, with the last.
    const int before = analyze.RefreshCount();
    for (int i = 0; i < 50; ++i)
        analyze.Hover({i % 30}, QPoint(0, 0), s.View());
    ASSERT_TRUE(QTest::qWaitFor([&] { return analyze.RefreshCount() == before + 1; }, 5000));
    QTest::qWait(3 * TfmMapAnalyze::RefreshInterval);
    EXPECT_EQ(before + 1, analyze.RefreshCount());
    EXPECT_EQ("20", analyze.ObjectsGrid()->horizontalHeaderItem(1)->text()); // point 19, the last

    // The Graph page draws one line per listed point over the X coordinates.
    analyze.Pages()->setCurrentIndex(TfmMapAnalyze::GraphPage);
    ASSERT_EQ(1, analyze.Graph()->chart()->series().size());
    EXPECT_EQ(3, static_cast<QLineSeries*>(analyze.Graph()->chart()->series()[0])->count());

    // Map values: the mouse inside a triangle of the net reads the map surface there.
    analyze.Pages()->setCurrentIndex(TfmMapAnalyze::MapValuesPage);
    const view::TTriangleCorners corners = view::NetTriangleCorners(*s.Map)[5];
    std::array<double, 3> centroid{};
    for (int k = 0; k < 3; ++k)
        centroid[static_cast<std::size_t>(k)] =
            (corners[0][static_cast<std::size_t>(k)] + corners[1][static_cast<std::size_t>(k)] +
             corners[2][static_cast<std::size_t>(k)]) /
            3;
    s.MoveMouse(s.MouseAt(centroid));
    ASSERT_TRUE(QTest::qWaitFor([&] { return analyze.MapValuesGrid()->isVisible(); }, 5000));
    EXPECT_EQ(3, analyze.MapValuesGrid()->rowCount());
    EXPECT_GE(analyze.MapValuesGrid()->columnCount(), 2);

    // Move: a full turn and back to 0 leave the nodes where they were; a shift moves them
    // along the first component.
    const TArray2D snapshot = analyze.Snapshot();
    analyze.Pages()->setCurrentIndex(TfmMapAnalyze::MovePage);
    analyze.Slider(2)->setValue(50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.Map->Grid->Nodes != snapshot; }, 5000));
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(snapshot[4][k], s.Map->Grid->Nodes[4][k], 1e-5);
    analyze.Slider(2)->setValue(0);
    analyze.Slider(3)->setValue(50);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return std::fabs(s.Map->Grid->Nodes[0][0] - snapshot[0][0] - s.Map->Components[0][0]) < 1e-12; }, 5000));
    analyze.Slider(3)->setValue(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.Map->Grid->Nodes == snapshot; }, 5000));

    // The commands write back.
    TSession::Click(analyze, "ProjectionsToTable");
    EXPECT_EQ((TArray1S{"X", "Y"}), s.Dataset->ResultColumnNames);
    const TArray1D first = s.Dataset->Points[0];
    TSession::Click(analyze, "Subtract");
    EXPECT_NE(first, s.Dataset->Points[0]);
    s.Map->Components.clear();
    TSession::Click(analyze, "RecalcPC");
    EXPECT_EQ(3u, s.Map->Components.size());
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();

    analyze.close();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(s.Window.Action("MapAnalysis")->isChecked());
}

TEST(MapAnalysisWindowsTest, TimeSeriesWindowChartsTheWindows)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    TfmTimeSerAnalysis series(*s.Dataset, &s.Window);
    EXPECT_EQ("Data Analysis as Time Series", series.windowTitle());
    EXPECT_EQ(1, series.FromEdit()->value());
    EXPECT_EQ(30, series.ToEdit()->value());
    EXPECT_EQ(4, series.WidthEdit()->value());
    EXPECT_DOUBLE_EQ(0.8, series.QualityEdit()->value());
    series.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&series));

    // Points on a plane: windows of four points have dimension 2 or less; r = 5 .. 29.
    series.QualityEdit()->setValue(0.999);
    TSession::Click(series, "Analyze");
    EXPECT_EQ(25, series.Curve()->count());
    EXPECT_EQ("Effective dimension of window", series.Chart()->chart()->title());
    for (const QPointF& point : series.Curve()->points())
        EXPECT_LE(point.y(), 2);
    EXPECT_DOUBLE_EQ(3, series.Curve()->at(0).x());

    series.FractionOption()->setChecked(true);
    series.ComponentsEdit()->setValue(2);
    series.ToEdit()->setValue(40);
    TSession::Click(series, "Analyze");
    EXPECT_EQ("Part of pric.comp.", series.Chart()->chart()->title());
    EXPECT_EQ(27, series.Curve()->count()); // the windows ending at points 29 and 30 as well
    for (const QPointF& point : series.Curve()->points())
        EXPECT_NEAR(1, point.y(), 1e-6);
    EXPECT_TRUE(series.Status()->text().contains("8 window positions reach outside the points 1 to 30"));

    // The statistics window's "TS analysis" shows it modally.
    s.Window.Action("Statistics")->trigger();
    TfmDataStat& statistics = *s.Window.StatisticsWindow();
    ASSERT_TRUE(statistics.isVisible());
    statistics.Pages()->setCurrentIndex(TfmDataStat::PcaPage);
    QString shown;
    QTimer::singleShot(200, [&shown] {
        if (auto* modal = qobject_cast<TfmTimeSerAnalysis*>(QApplication::activeModalWidget())) {
            shown = modal->windowTitle() + " " + QString::number(modal->ToEdit()->value());
            modal->close();
        }
    });
    TSession::Click(statistics, "TSAnalysis");
    EXPECT_EQ("Data Analysis as Time Series 30", shown);
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
}

TEST(MapAnalysisWindowsTest, WindowsWorkOnTheDemonstrationProject)
{
    test::TScriptedUser user;
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.LoadDemo();
    const app::TCurrentChain chain = app::CurrentChain(window.Dispatcher().Project());
    if (!chain.Map || !chain.Map->Grid)
        GTEST_SKIP() << "the embedded demonstration has no map: " << window.DemoReport().Message();
    window.Action("MapAnalysis")->trigger();
    TfmMapAnalyze& analyze = *window.MapAnalysisWindow();
    ASSERT_TRUE(analyze.isVisible());
    EXPECT_EQ(chain.Map->Grid->Nodes.size(), analyze.Snapshot().size());
    // Marked points are listed wherever the mouse is.
    data::MarkPoints(*chain.Dataset, {0, 1}, Red, 5, data::MarkAdd);
    analyze.RefreshPage();
    ASSERT_TRUE(analyze.ObjectsGrid()->isVisible());
    EXPECT_EQ(3, analyze.ObjectsGrid()->columnCount());
    EXPECT_GE(analyze.ObjectsGrid()->rowCount(), 1);

    window.Action("Weights")->trigger();
    TSession::Click(*window.WeightsWindow(), "Assign");
    ASSERT_EQ(chain.Dataset->Points.size(), chain.Dataset->PointWeights.size());
    EXPECT_TRUE(chain.Map->UseWeights);
    EXPECT_TRUE(user.Messages.empty()) << user.Messages.front();
}

} // namespace
} // namespace orbelin::gui

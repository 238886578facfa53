// The linear separation machine, projection pursuit and biplot windows and the principal
// components dialog under a real X server, driven from the main window's menu entries
// through their main paths on the demonstration project and on a CSV table.
#include "GuiTestUtil.h"
#include "analysis/DatasetStatistics.h"
#include "data/TDataTable.h"
#include "gui/TAnalysisGrid.h"
#include "gui/TMapViewOverlay.h"
#include "gui/TQtUserInterface.h"
#include "gui/TRuleChartView.h"
#include "gui/TViewPanel.h"
#include "gui/TVisMap.h"
#include "gui/TfmBiplot.h"
#include "gui/TfmDataStat.h"
#include "gui/TfmLinearMachine.h"
#include "gui/TfmMainCompCalc.h"
#include "gui/TfmProjectionPursuit.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"
#include "numeric/Components.h"
#include "view/PointSetFiles.h"
#include "view/ViewPlacement.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::gui {
namespace {

using test::AnswerNextDialog;
using test::Click;
using test::CountColour;
using test::TDemoSession;

QStringList Lines(const QPlainTextEdit* text)
{
    return text->toPlainText().split('\n');
}

TEST(ProjectionToolsTest, ComponentsDialogAsksForTheCountShowsProgressAndCancels)
{
    TQtUserInterface ui;
    SetUserInterface(&ui);
    TfmMainCompCalc dialog;
    ui.SetComponentsDialog(&dialog);
    const TArray2D x = {{1, 2, 0, 4}, {2, 1, 1, 3}, {4, 0, 2, 1}, {3, 3, 0, 0}, {0, 1, 5, 2}};

    int maximum = 0;
    QString fields;
    AnswerNextDialog([&](QWidget* modal) {
        if (modal != &dialog)
            return;
        EXPECT_EQ("Calculating principal components", dialog.windowTitle());
        EXPECT_EQ(0, dialog.Progress()->value());
        maximum = dialog.CountBox()->maximum();
        fields = dialog.FieldCountLabel()->text();
        dialog.CountBox()->setValue(2);
        dialog.CalculateButton()->click();
    });
    const numeric::TPrincipalComponents pc = numeric::PrincipalComponents(x, {}, -1);
    EXPECT_EQ(4, maximum);
    EXPECT_EQ("of 4", fields);
    EXPECT_EQ(2, pc.Count);
    EXPECT_EQ((TArray1D{0, 0, 1, 0}), pc.Components[2]);
    EXPECT_EQ(100, dialog.Progress()->value());
    EXPECT_FALSE(dialog.isVisible());

    // Closing it any other way computes nothing.
    AnswerNextDialog([&](QWidget* modal) {
        if (modal == &dialog)
            dialog.reject();
    });
    const numeric::TPrincipalComponents cancelled = numeric::PrincipalComponents(x, {}, -1);
    EXPECT_EQ(-1, cancelled.Count);
    EXPECT_EQ((TArray1D{0, 0, 0, 0}), cancelled.Components[0]);
    SetUserInterface(nullptr);
}

TEST(ProjectionToolsTest, StatisticsPcaPageAsksTheMainWindowsComponentsDialog)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd{dir.Path()};
    TQtUserInterface ui;
    SetUserInterface(&ui);
    {
        TfrmMainWnd window{false};
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.LoadDemo();
        ASSERT_TRUE(window.DemoLoaded());
        window.Action("Statistics")->trigger();
        TfmDataStat* stat = window.StatisticsWindow();
        stat->Pages()->setCurrentIndex(TfmDataStat::PcaPage);
        TfmMainCompCalc* dialog = window.ComponentsDialog();
        AnswerNextDialog([dialog](QWidget* modal) {
            if (modal != dialog)
                return;
            dialog->CountBox()->setValue(2);
            dialog->CalculateButton()->click();
        });
        Click(*stat, "Calculate");
        // Two components: the columns "N", "No", "Field" and one per component.
        EXPECT_EQ(5, stat->Grid(TfmDataStat::PcaPage)->ColumnCount());
        EXPECT_FALSE(dialog->isVisible());
    }
    SetUserInterface(nullptr);
}

TEST(ProjectionToolsTest, LinearMachineSeparatesADemonstrationSpecies)
{
    TDemoSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    QAction* open = s.Window.Action("LinearMachine");
    ASSERT_TRUE(open->isEnabled());
    TfmLinearMachine* w = s.Window.LinearMachineWindow();
    // The menu entry opens the window modally on the current dataset.
    bool shown = false;
    AnswerNextDialog([&](QWidget* modal) {
        if (modal != w)
            return;
        shown = true;
        EXPECT_EQ("Linear separation machine", w->windowTitle());
        EXPECT_EQ(4, w->FieldList()->count());
        w->reject();
    });
    open->trigger();
    EXPECT_TRUE(shown);

    w->show();
    ASSERT_EQ(3, w->ClassColor()->count()) << "three species";
    w->ClassColor()->setCurrentIndex(0);
    EXPECT_EQ(100, w->Iterations()->value());
    EXPECT_TRUE(w->MakeProtocol()->isChecked());

    // "Find the best" over every field, then a rule on two more fields after it.
    w->Command("FindTheBest")->trigger();
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    ASSERT_EQ(1u, w->Machine().Rules.size());
    EXPECT_EQ("Starting find the best...", Lines(w->Protocol()).first());
    EXPECT_EQ(3, w->FieldList()->count());
    EXPECT_EQ(1, w->RuleList()->count());
    // The first species is separable by one field: the chart shows every point right.
    EXPECT_TRUE(w->Chart()->Title().startsWith("TP=50 TN=100 100.00% FP=0 FN=0")) << w->Chart()->Title().toStdString();
    EXPECT_EQ(50, w->Chart()->ClassPointCount());
    EXPECT_EQ(100, w->Chart()->OtherPointCount());
    EXPECT_EQ(100, w->Chart()->LinePointCount());

    w->FieldList()->item(0)->setSelected(true);
    w->FieldList()->item(1)->setSelected(true);
    w->Command("AddRule")->trigger();
    ASSERT_EQ(2u, w->Machine().Rules.size());
    EXPECT_EQ(0, w->Machine().Rules[1].Previous);
    EXPECT_EQ(1, w->FieldList()->count());
    EXPECT_NE(-1, w->RuleList()->item(1)->text().indexOf('*'));

    w->Command("Test")->trigger();
    QStringList protocol = Lines(w->Protocol());
    ASSERT_TRUE(protocol.contains("Testing..."));
    EXPECT_EQ("Overall=100.00%", protocol.last());

    // "Test on the table" on the demonstration table itself charts the last rule on it.
    ASSERT_EQ(1, w->Tables()->count());
    w->Command("TestOnTheTable")->trigger();
    protocol = Lines(w->Protocol());
    EXPECT_TRUE(protocol.contains("Testing on table " + w->Tables()->currentText() + "..."));
    EXPECT_EQ(150, w->Chart()->ClassPointCount() + w->Chart()->OtherPointCount());

    // Marks and hints carry the label field's texts.
    w->ShowLegend()->setChecked(true);
    w->LabelField()->setCurrentIndex(0);
    w->RuleList()->setCurrentRow(0);
    w->ShowRule(0);
    EXPECT_EQ(150, w->Chart()->MarkCount());
    w->Chart()->HoverPoint(true, 0, true);
    EXPECT_FALSE(w->Chart()->HintText().isEmpty());

    // "Delete" takes the entry from the list only; "Cancel last" and "Cancel all rules".
    w->FieldList()->item(0)->setSelected(true);
    w->Command("Delete")->trigger();
    EXPECT_EQ(0, w->FieldList()->count());
    EXPECT_EQ(2u, w->Machine().Rules.size());
    w->Command("CancelLast")->trigger();
    EXPECT_EQ(1u, w->Machine().Rules.size());
    EXPECT_EQ(3, w->FieldList()->count());
    w->Command("CancelAllRules")->trigger();
    EXPECT_TRUE(w->Machine().Rules.empty());
    EXPECT_TRUE(w->Protocol()->toPlainText().isEmpty());
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();

    // "Add rule" without fields says what to do.
    w->Command("AddRule")->trigger();
    ASSERT_EQ(1u, s.User.Messages.size());
    EXPECT_NE(std::string::npos, s.User.Messages[0].find("Select the fields"));
    w->close();
}

// Selects the view list item of that text in the view panel; false when it is not listed.
bool ChooseView(TfrmMainWnd& window, const QString& text)
{
    QListWidget* views = window.ViewPanel()->ViewList();
    const QList<QListWidgetItem*> items = views->findItems(text, Qt::MatchExactly);
    if (items.isEmpty())
        return false;
    views->setCurrentItem(items.first());
    // The axis lists follow the view once the panel has refilled them.
    QCoreApplication::processEvents();
    return true;
}

// Shows the view panel of the current map's data points.
void ShowViewPanel(TfrmMainWnd& window)
{
    const app::TCurrentChain chain = app::CurrentChain(window.Dispatcher().Project());
    const int script = 10000 + chain.Script->Project->CurrentScript;
    const int dataset = 30000 + chain.Script->CurrentDataset;
    const int map = 40000 + chain.Dataset->ActiveMap;
    window.Tree()->setCurrentItem(test::ItemAt(*window.Tree(), {script, 2, dataset, map, 50000}));
}

TEST(ProjectionToolsTest, ProjectionPursuitViewIsShownInTheMapWindowAfterAddToList)
{
    TDemoSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    map::TMap* map = s.Dataset->CurrentMap();
    ASSERT_NE(nullptr, map);
    ShowViewPanel(s.Window);
    ASSERT_TRUE(ChooseView(s.Window, "On coordinate plane"));
    const QImage before = s.Window.MapWindow()->View()->GrabPicture();

    s.Window.Action("ProjectionPursuit")->trigger();
    TfmProjectionPursuit* w = s.Window.ProjectionPursuitWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ("Projection Pursuit methods", w->windowTitle());
    EXPECT_EQ(4, w->Dimension()->value());
    EXPECT_EQ(100, w->SampleSize()->value());
    EXPECT_EQ(100, w->MaxIterations()->value());
    EXPECT_EQ(3, w->VectorCount()->value());

    // "Add to list" before anything was calculated.
    Click(*w, "AddToList");
    ASSERT_EQ(1u, s.User.Messages.size());
    EXPECT_TRUE(s.Dataset->Projectors.empty());

    Click(*w, "Calculate");
    const QStringList log = Lines(w->Log());
    EXPECT_EQ("Whitening data...", log.first());
    EXPECT_TRUE(log.contains("Calculate..."));
    EXPECT_TRUE(log.contains("Finished..."));
    EXPECT_EQ(3, log.filter(QRegularExpression("^B:")).size());
    EXPECT_EQ(4, log.size() - log.indexOf("Finished...") - 1) << "one line per field";
    ASSERT_NE(nullptr, w->Projector());
    ASSERT_EQ(3u, w->Projector()->Directions.size());

    Click(*w, "AddToList");
    ASSERT_EQ(1u, s.Dataset->Projectors.size());
    EXPECT_EQ(w->Projector()->Directions, s.Dataset->Projectors[0]->Directions);
    ASSERT_TRUE(ChooseView(s.Window, "PP0 Projection Pursuit"));
    EXPECT_EQ(view::ViewProjectionPursuit, map->ViewType);
    EXPECT_EQ(0, map->PPIndex);
    EXPECT_EQ(3, s.Window.ViewPanel()->Axis(0)->count());

    // The data points stand on the found directions about the projector's centre.
    const view::TProjectorAxes& axes = *s.Dataset->Projectors[0];
    const TArray2D& placed = map->Layers[0].PointObject.Positions;
    ASSERT_EQ(150u, placed.size());
    for (std::size_t p = 0; p < placed.size(); p += 37) {
        const auto expected =
            view::PCCoords(s.Dataset->Points[p], axes.Centre, {axes.Directions[0], axes.Directions[1], axes.Directions[2]});
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(expected[k], placed[p][k], 1e-9);
    }
    TfrmMap* mapWindow = s.Window.MapWindow();
    ASSERT_NE(nullptr, mapWindow);
    EXPECT_EQ(map, mapWindow->Map());
    QTest::qWait(50);
    EXPECT_GT(test::DifferingPixels(before, mapWindow->View()->GrabPicture()), 50);

    // Adding twice lists the result twice.
    Click(*w, "AddToList");
    EXPECT_EQ(2u, s.Dataset->Projectors.size());
    EXPECT_TRUE(ChooseView(s.Window, "PP1 Projection Pursuit"));
    Click(*w, "ClearLog");
    EXPECT_TRUE(w->Log()->toPlainText().isEmpty());
    EXPECT_EQ(1u, s.User.Messages.size());
}

// A dual-space colours-and-sizes set for the four demonstration fields: the first, third
// and fourth become rays, in a colour nothing else in the picture has.
constexpr int RayColour = 0x20C0A0; // red 0xA0, green 0xC0, blue 0x20

std::string WriteDualStyles(const test::TTempDir& dir, int fields)
{
    view::TStyleSet set;
    for (int f = 0; f < fields; ++f)
        set.push_back({f == 1 ? 0 : 1, 0, 12, RayColour, RayColour, 1, 1, 0});
    const std::string path = dir.File("dual.obc");
    view::WriteStyleSets(path, {set}, {"fields"});
    return path;
}

TEST(ProjectionToolsTest, BiplotRaysAreDrawnAndHintedAfterCreateBiplot)
{
    TDemoSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    map::TMap* map = s.Dataset->CurrentMap();
    ShowViewPanel(s.Window);
    ASSERT_TRUE(ChooseView(s.Window, "On coordinate plane"));
    TVisMap* view = s.Window.MapWindow()->View();
    const QImage before = view->GrabPicture();
    ASSERT_EQ(0, CountColour(before, 0xA0, 0xC0, 0x20));

    QAction* open = s.Window.Action("CreateBiplot");
    ASSERT_TRUE(open->isEnabled());
    open->trigger();
    TfmBiplot* w = s.Window.BiplotWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ("Create a biplot", w->windowTitle());
    EXPECT_EQ("(not loaded)", w->Status()->text());
    ASSERT_GE(w->Annotations()->count(), 1);
    EXPECT_EQ("Field Name", w->Annotations()->item(0)->text());
    EXPECT_EQ(Qt::Checked, w->Annotations()->item(0)->checkState());
    EXPECT_EQ((TArray1I{0}), map->AnnotationColumns);

    // Before a style file is loaded there is nothing to draw the fields with.
    Click(*w, "CreateBiplot");
    ASSERT_EQ(1u, s.User.Messages.size());
    EXPECT_NE(std::string::npos, s.User.Messages[0].find("Load a Colors and Sizes table"));
    EXPECT_TRUE(s.Dataset->Rays.empty());

    s.User.Files = {WriteDualStyles(s.Dir, 4)};
    Click(*w, "LoadColorsAndSizes");
    EXPECT_EQ("3 selected points from 4", w->Status()->text());
    Click(*w, "CreateBiplot");
    ASSERT_EQ(3u, s.Dataset->Rays.size());
    EXPECT_EQ(3u, map->Layers[3].PointObject.Positions.size());
    EXPECT_TRUE(s.Window.ViewPanel()->Switch("Selections")->isChecked());
    QTest::qWait(50);
    const QImage drawn = view->GrabPicture();
    EXPECT_GT(CountColour(drawn, 0xA0, 0xC0, 0x20), 20);

    // The slider lengthens the rays.
    w->Scale()->setValue(2);
    EXPECT_NEAR(5.01, s.Dataset->Rays[0].RayEnd[0], 1e-12);
    EXPECT_NEAR(-4.99, s.Dataset->Rays[0].RayStart[0], 1e-12);

    // The mouse over a ray's end shows its field.
    TMapViewOverlay* overlay = TMapViewOverlay::Attach(view);
    QPoint end(-1, -1);
    for (int y = 0; y < view->height() && end.x() < 0; y += 2)
        for (int x = 0; x < view->width(); x += 2)
            if (!view->PickPoints(TVisMap::RayEndObject, x, y, x, y).empty() &&
                view->PickPoints(TVisMap::DataPointObject, x, y, x, y).empty()) {
                end = QPoint(x, y);
                break;
            }
    ASSERT_GE(end.x(), 0) << "no ray end on the screen";
    const int ray = view->PickPoints(TVisMap::RayEndObject, end.x(), end.y(), end.x(), end.y()).front();
    QMouseEvent move(QEvent::MouseMove, QPointF(end), view->mapToGlobal(QPointF(end)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    const int field = s.Dataset->Rays[static_cast<std::size_t>(ray)].RayField;
    EXPECT_EQ(QString::fromStdString(s.Dataset->CoordNames[static_cast<std::size_t>(field)]), overlay->HintText());

    // Unchecking "Field Name" leaves the map an empty annotation list.
    w->Annotations()->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(map->AnnotationColumns.empty());
    w->close();
}

TEST(ProjectionToolsTest, TheThreeWindowsWorkOnADatasetFromACsvTable)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd{dir.Path()};
    test::TScriptedUser user;
    TfrmMainWnd window{false};
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    test::WriteBytes(dir.File("clouds.csv"), test::TwoCloudsCsv);
    EXPECT_FALSE(window.Action("LinearMachine")->isEnabled());
    EXPECT_FALSE(window.Action("ProjectionPursuit")->isEnabled());
    EXPECT_FALSE(window.Action("CreateBiplot")->isEnabled());
    ASSERT_NO_FATAL_FAILURE(test::CreateDatasetAndMap(window, dir.File("clouds.csv"), 3));
    const app::TCurrentChain chain = app::CurrentChain(window.Dispatcher().Project());
    ASSERT_TRUE(chain.Dataset && chain.Map);
    ASSERT_EQ(10, chain.Dataset->PointCount);
    EXPECT_TRUE(window.Action("LinearMachine")->isEnabled());
    EXPECT_TRUE(window.Action("CreateBiplot")->isEnabled());
    // The second cloud becomes a class of its own, as the selection tools colour it.
    for (int r = 5; r < 10; ++r)
        chain.Table->PointStyles[static_cast<std::size_t>(r)][FILLCOLOR] = 0x0000FF;

    TfmLinearMachine* machine = window.LinearMachineWindow();
    machine->show();
    ASSERT_EQ(2, machine->ClassColor()->count());
    machine->ClassColor()->setCurrentIndex(1);
    for (int row = 0; row < machine->FieldList()->count(); ++row)
        machine->FieldList()->item(row)->setSelected(true);
    machine->Command("AddRule")->trigger();
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    ASSERT_EQ(1u, machine->Machine().Rules.size());
    EXPECT_EQ(5, machine->Machine().Rules[0].TP);
    EXPECT_EQ(5, machine->Machine().Rules[0].TN);
    machine->close();

    window.Action("ProjectionPursuit")->trigger();
    TfmProjectionPursuit* pursuit = window.ProjectionPursuitWindow();
    EXPECT_EQ(3, pursuit->Dimension()->value());
    pursuit->VectorCount()->setValue(2);
    Click(*pursuit, "Calculate");
    Click(*pursuit, "AddToList");
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    ShowViewPanel(window);
    ASSERT_TRUE(ChooseView(window, "PP0 Projection Pursuit"));
    EXPECT_EQ(view::ViewProjectionPursuit, chain.Map->ViewType);
    EXPECT_EQ(2, window.ViewPanel()->Axis(0)->count());

    ASSERT_TRUE(ChooseView(window, "On principal components"));
    window.Action("CreateBiplot")->trigger();
    TfmBiplot* biplot = window.BiplotWindow();
    biplot->LoadStyles(WriteDualStyles(dir, 3));
    Click(*biplot, "CreateBiplot");
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    EXPECT_EQ(2u, chain.Dataset->Rays.size());
    EXPECT_EQ(2u, chain.Map->Layers[3].PointObject.Positions.size());

    // Without a map the biplot window goes; without a dataset the other two.
    window.Tree()->setCurrentItem(test::ItemAt(*window.Tree(), {10000, 2}));
    user.Answers = {TUserInterface::TAnswer::Yes};
    Click(window, "DeleteDataset");
    EXPECT_FALSE(biplot->isVisible());
    EXPECT_FALSE(pursuit->isVisible());
    EXPECT_EQ(nullptr, pursuit->Projector());
    EXPECT_FALSE(window.Action("ProjectionPursuit")->isEnabled());
    EXPECT_FALSE(window.Action("LinearMachine")->isEnabled());
    EXPECT_FALSE(window.Action("CreateBiplot")->isEnabled());
}

} // namespace
} // namespace orbelin::gui

// The map window and the map panel in a real session: a table becomes a dataset and a
// map, "Adjust map" trains it on the training thread, the view draws it and turns with the
// mouse, the select tool marks points, and every export writes a file its reader takes.
#include "GuiTestUtil.h"
#include "app/AppTestUtil.h"
#include "gui/TEnergyChart.h"
#include "gui/TMapPanel.h"
#include "gui/TQtUserInterface.h"
#include "gui/TTablePanel.h"
#include "gui/TfmAutoMap.h"
#include "gui/TfmMinimaExperiment.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"
#include "map/TrainingPanel.h"
#include "view/TCamera.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QtCharts/QLineSeries>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace orbelin::gui {
namespace {

using test::ItemAt;

/// The Qt service, so that training hands its steps to this thread, with the dialogs
/// answered from a script and the messages kept.
class TQtScriptedUser : public TQtUserInterface {
public:
    TQtScriptedUser() { SetUserInterface(this); }
    ~TQtScriptedUser() override { SetUserInterface(nullptr); }

    std::vector<std::string> Messages;
    std::vector<std::string> Files;

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    TAnswer Ask(const std::string&, bool, TAnswer) override { return TAnswer::Yes; }
    bool ChooseSaveFile(const std::string&, const std::string&, std::string& fileName) override
    {
        if (Files.empty())
            return false;
        fileName = Files.front();
        Files.erase(Files.begin());
        return true;
    }
};

/// Three clouds of points in three numeric fields, and a name field.
std::string WriteClouds(const test::TTempDir& dir)
{
    std::string text = "name,x,y,z\n";
    for (int i = 0; i < 60; ++i) {
        const int cloud = i % 3;
        const double t = (i / 3) / 20.0;
        text += "p" + std::to_string(i) + "," + std::to_string(cloud * 4 + t) + "," +
                std::to_string(std::sin(3 * t) + cloud) + "," + std::to_string(t * t - cloud) + "\n";
    }
    test::WriteBytes(dir.File("clouds.csv"), text);
    return dir.File("clouds.csv");
}

/// A main window with a dataset of the clouds and a map added to it, shown in the map
/// window.
struct TSession {
    test::TTempDir Dir;
    test::TWorkingDirectory Cwd{Dir.Path()};
    TQtScriptedUser User;
    TfrmMainWnd Window{false};
    map::TMap* Map = nullptr;
    data::TData* Dataset = nullptr;

    TSession()
    {
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.LoadTableFile(WriteClouds(Dir));
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 1, 20000}));
        auto* panel = static_cast<TTablePanel*>(Window.Panels()->Panel(app::TablePanel));
        for (int field = 1; field < 4; ++field)
            panel->Fields()->item(field)->setCheckState(Qt::Checked);
        Click("CreateDataset");
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 2, 30000}));
        Click("AddMap");
        Dataset = Window.Dispatcher().Project()->Script()->Dataset();
        Map = Dataset ? Dataset->CurrentMap() : nullptr;
        // The map's node shows the map panel.
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 2, 30000, 40000}));
        EXPECT_TRUE(User.Messages.empty()) << User.Messages.front();
        // Toolbars shown for the map move the workspace once more before the view settles.
        QTest::qWait(200);
    }
    ~TSession() { Window.StopTrainingAndWait(); }

    void Click(const char* name)
    {
        auto* button = Window.findChild<QPushButton*>(name);
        ASSERT_NE(nullptr, button) << name;
        button->click();
    }
    TfrmMap& MapWindow() { return *Window.MapWindow(); }
    TMapPanel& Panel() { return *Window.MapPanel(); }
    QImage Picture() { return MapWindow().View()->GrabPicture(); }

    /// Trains the current map with "Adjust map" until its run has ended.
    void Train()
    {
        Panel().AdjustButton()->click();
        ASSERT_TRUE(User.Messages.empty()) << User.Messages.front();
        EXPECT_FALSE(Panel().AdjustButton()->isEnabled());
        EXPECT_FALSE(Window.Action("Adjust")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(Panel().AdjustButton()->isEnabled(), 120000);
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QWidget* view = MapWindow().View();
        QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    }
    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
};

int Channel(double c)
{
    return static_cast<int>(std::lround(c * 255));
}

using test::CountColour;
using test::DifferingPixels;

/// Runs a reader; its exit code, what it wrote to stderr in errorText and to stdout in output.
int RunReader(const QString& program, const QStringList& arguments, QString& errorText, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    errorText = QString::fromLocal8Bit(process.readAllStandardError());
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST(MapWindowTest, AdjustMapTrainsToTheEndWithTheCurvesAndTheViewDrawsTheMap)
{
    TSession s;
    ASSERT_NE(nullptr, s.Map);
    ASSERT_NE(nullptr, s.Window.MapWindow());
    EXPECT_EQ(s.Map, s.MapWindow().Map());
    EXPECT_EQ("Map - " + QString::fromStdString(s.Map->Name), s.MapWindow().windowTitle());
    EXPECT_EQ(1, s.MapWindow().Tabs()->count());
    EXPECT_EQ(app::MapPanel, s.Window.Panels()->CurrentPanel());
    // A new map window starts at zoom 320.
    EXPECT_EQ(320, s.MapWindow().ZoomTrackBar()->value());
    EXPECT_DOUBLE_EQ(view::CameraDistanceForZoom(320), s.Map->View.Camera.CameraDistance);

    s.Panel().LambdaField()->setValue(0.5);
    s.Train();
    EXPECT_FALSE(s.Map->Training);
    EXPECT_GT(s.Map->IterationCount, 1);
    EXPECT_TRUE(s.Window.Action("Adjust")->isEnabled());
    // One point per step on each of the three curves, the last one the map's final values
    // but one: the callback runs before the worker's evaluation of its step.
    const TEnergyChart& chart = *s.Panel().Chart();
    ASSERT_GT(chart.PointCount(), 1);
    for (int curve = 0; curve < 3; ++curve)
        EXPECT_EQ(chart.PointCount(), chart.Curve(curve)->count());
    EXPECT_EQ("A", chart.Curve(0)->name());
    EXPECT_EQ("E", chart.Curve(1)->name());
    EXPECT_EQ("R", chart.Curve(2)->name());
    EXPECT_LT(chart.Curve(0)->at(chart.PointCount() - 1).y(), chart.Curve(0)->at(0).y())
        << "training lowers the approximation error";
    // The chart and the label end with the energy of the trained map.
    EXPECT_EQ(map::ApproximationText(s.Map->ApproximationError), s.Panel().Approximation()->text().toStdString());
    EXPECT_DOUBLE_EQ(s.Map->ApproximationError, chart.Curve(0)->at(chart.PointCount() - 1).y());
    EXPECT_DOUBLE_EQ(s.Map->BendingEnergy, chart.Curve(2)->at(chart.PointCount() - 1).y());

    // The view draws the trained map: the net's red edges and the data points' fill colour
    // on the background.
    const QImage picture = s.Picture();
    ASSERT_FALSE(picture.isNull());
    const view::TVisPoint& points = s.Map->Layers[0].PointObject;
    ASSERT_EQ(60u, points.Positions.size());
    const int background = s.Map->View.Style.BackgroundColor;
    const int backgroundPixels = CountColour(picture, background & 0xFF, (background >> 8) & 0xFF, background >> 16);
    EXPECT_GT(backgroundPixels, picture.width() * picture.height() / 3);
    EXPECT_LT(backgroundPixels, picture.width() * picture.height());
    EXPECT_GT(CountColour(picture, 255, 0, 0), 50) << "net edges";
    const TArray1D& fill = points.FillColors[0];
    EXPECT_GT(CountColour(picture, Channel(fill[0]), Channel(fill[1]), Channel(fill[2])), 20) << "data points";
    // The view's geometry is that of the trained nodes.
    ASSERT_EQ(static_cast<std::size_t>(s.Map->Grid->NodeCount()), s.Map->Layers[1].PointObject.Positions.size());

    // "+" extrapolates a row or column on every side, "--" takes them off again; the size
    // fields and the view follow.
    s.Click("Grow");
    EXPECT_EQ(144, s.Map->Grid->NodeCount());
    EXPECT_EQ(144u, s.Map->Layers[1].PointObject.Positions.size());
    EXPECT_EQ(12, s.Panel().Settings().Rows);
    EXPECT_EQ(12, s.Panel().Settings().Columns);
    s.Click("Shrink");
    EXPECT_EQ(100, s.Map->Grid->NodeCount());
    EXPECT_EQ(10, s.Panel().Settings().Rows);
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
}

TEST(MapWindowTest, MouseTurnsTheViewAndTheSelectToolMarksAPoint)
{
    TSession s;
    ASSERT_NE(nullptr, s.Map);
    const view::TCamera& camera = s.Map->View.Camera;
    const QImage before = s.Picture();

    // Rotate mode: x moves turn about Z, y moves about X, the track bars follow.
    ASSERT_EQ(1, s.Window.MouseTool());
    const QPoint centre(s.MapWindow().View()->width() / 2, s.MapWindow().View()->height() / 2);
    s.Drag(centre, centre + QPoint(30, 12));
    EXPECT_EQ(30, camera.RotZ);
    EXPECT_EQ(12, camera.RotX);
    EXPECT_EQ(30, s.MapWindow().RotationZSlider()->value());
    EXPECT_EQ(12, s.MapWindow().RotationXSlider()->value());
    EXPECT_NE(before, s.Picture());
    // The track bar turns the view as well; reset puts both angles back to 0.
    s.MapWindow().RotationZSlider()->setValue(-90);
    EXPECT_EQ(-90, camera.RotZ);
    s.MapWindow().ResetButton()->click();
    EXPECT_EQ(0, camera.RotZ);
    EXPECT_EQ(0, camera.RotX);
    EXPECT_EQ(QString("%1x%2").arg(s.MapWindow().View()->width()).arg(s.MapWindow().View()->height()),
              s.MapWindow().SizeLabel()->text());

    // "Last" turns the view 11 degrees about Z, one degree per frame; an empty pause box
    // waits not at all.
    s.Window.findChild<QLineEdit*>("RotationPause")->clear();
    s.Window.Action("RotateZ11")->trigger();
    QTRY_COMPARE(camera.RotZ, 11);
    EXPECT_EQ(11, s.MapWindow().RotationZSlider()->value());
    // The zoom box clamps what is typed and moves the track bar and the camera.
    auto* zoom = s.Window.findChild<QLineEdit*>("ZoomValue");
    zoom->setText("5");
    QTest::keyClick(zoom, Qt::Key_Return);
    EXPECT_EQ(20, s.MapWindow().ZoomTrackBar()->value());
    EXPECT_DOUBLE_EQ(-481, camera.CameraDistance);

    // Select mode: a click on a data point marks it in the selection colour; a second
    // click unmarks it.
    s.Window.Action("ToolSelect")->trigger();
    EXPECT_EQ(view::TToolMode::Select, s.MapWindow().View()->ToolMode());
    const view::TVisPoint& points = s.Map->Layers[0].PointObject;
    const int w = s.MapWindow().View()->width(), h = s.MapWindow().View()->height();
    const int target = 7;
    double p[3] = {points.Positions[target][0], points.Positions[target][1], points.Positions[target][2]};
    double window[3];
    ASSERT_TRUE(
        view::ProjectToWindow(p, view::ModelViewMatrix(camera), view::ProjectionMatrix(camera, w, h), w, h, window));
    const QPoint at(static_cast<int>(std::lround(window[0])), static_cast<int>(std::lround(h - window[1])));
    s.Drag(at, at);
    ASSERT_FALSE(s.Dataset->MarkedPoints.empty());
    EXPECT_NE(s.Dataset->MarkedPoints.end(),
              std::find(s.Dataset->MarkedPoints.begin(), s.Dataset->MarkedPoints.end(), target));
    EXPECT_EQ(s.Window.SelectionProperties().Color, s.Dataset->MarkColors.front());
    const std::size_t marked = s.Dataset->MarkedPoints.size();
    s.Drag(at, at);
    EXPECT_LT(s.Dataset->MarkedPoints.size(), marked);
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
}

TEST(MapWindowTest, EveryExportWritesAFileItsReaderTakes)
{
    TSession s;
    ASSERT_NE(nullptr, s.Map);
    TfrmMap& window = s.MapWindow();

    // The bitmap holds the picture exactly.
    const std::string bitmap = s.Dir.File("picture.bmp");
    window.SaveBitmap(bitmap);
    const QImage picture = s.Picture();
    QImage read(QString::fromStdString(bitmap));
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(picture.size(), read.size());
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), read.convertToFormat(QImage::Format_RGB32));
    // Through the menu, a name without an extension gets the bitmap's.
    s.User.Files = {s.Dir.File("named")};
    window.findChild<QAction*>("SaveBmp")->trigger();
    EXPECT_FALSE(QImage(QString::fromStdString(s.Dir.File("named.BMP"))).isNull());

    // Rotation frames: 51 bitmaps, the first and last of the same angle.
    window.MakeRotationFrames(s.Dir.File("turn.bmp"));
    for (const char* frame : {"turn00.bmp", "turn25.bmp", "turn50.bmp"})
        EXPECT_FALSE(QImage(QString::fromStdString(s.Dir.File(frame))).isNull()) << frame;
    // -180 and 180 degrees differ only in the last bits of the rotation: a few pixels at most.
    EXPECT_LT(DifferingPixels(QImage(QString::fromStdString(s.Dir.File("turn00.bmp"))),
                              QImage(QString::fromStdString(s.Dir.File("turn50.bmp")))),
              picture.width() * picture.height() / 1000);
    EXPECT_GT(DifferingPixels(QImage(QString::fromStdString(s.Dir.File("turn00.bmp"))),
                              QImage(QString::fromStdString(s.Dir.File("turn25.bmp")))),
              100);
    EXPECT_EQ(180, s.Map->View.Camera.RotX);
    EXPECT_EQ(180, window.RotationXSlider()->value());

    // PostScript, read by Ghostscript.
    const std::string plot = s.Dir.File("plot.ps");
    window.WritePostScript(plot);
    const QString gs = QStandardPaths::findExecutable("gs");
    if (gs.isEmpty()) {
        ADD_FAILURE() << "Ghostscript (gs) is not installed: the PostScript plot is not checked";
    } else {
        QString errors;
        EXPECT_EQ(
            0,
            RunReader(gs, {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", QString::fromStdString(plot)},
                      errors))
            << errors.toStdString();
        EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
    }

    // The HTML page: one area per data point, and the picture it maps beside it.
    view::THtmlViewOptions options;
    options.MainField = "name";
    options.DescriptionFields = {"x", "y"};
    const std::string page = window.WriteHtmlPage(options);
    ASSERT_FALSE(page.empty());
    const std::string html = test::ReadBytes(page);
    std::ptrdiff_t areas = 0;
    for (std::size_t at = html.find("<area "); at != std::string::npos; at = html.find("<area ", at + 1))
        ++areas;
    EXPECT_EQ(60, areas);
    EXPECT_NE(std::string::npos, html.find("alt=\"p7\""));
    EXPECT_EQ(s.Picture().size(), QImage(QString::fromStdString(s.Dir.File("image.jpg"))).size());

    // VRML, plain and compressed, read by a VRML browser's converter.
    const std::string scene = s.Dir.File("scene.wrl");
    window.SaveVrml(scene);
    s.User.Files = {s.Dir.File("packed.wrz")};
    window.findChild<QAction*>("SaveVrml")->trigger();
    ASSERT_TRUE(std::filesystem::exists(s.Dir.File("packed.wrz")));
    EXPECT_EQ("\x1f\x8b", test::ReadBytes(s.Dir.File("packed.wrz")).substr(0, 2)) << "gzip-compressed";
    const QString reader = QStandardPaths::findExecutable("tovrmlx3d");
    if (reader.isEmpty()) {
        ADD_FAILURE() << "tovrmlx3d (view3dscene) is not installed: the VRML scenes are not checked";
    } else {
        for (const std::string& file : {scene, s.Dir.File("packed.wrz")}) {
            SCOPED_TRACE(file);
            QString errors, output;
            EXPECT_EQ(0, RunReader(reader, {QString::fromStdString(file), "--encoding=xml"}, errors, &output));
            // The scene's shared coordinates stand at the top level, which the reader notes
            // and then resolves; anything else it says is a fault.
            const QStringList lines = errors.split('\n', Qt::SkipEmptyParts);
            for (const QString& line : lines)
                EXPECT_TRUE(line.contains("\"Coordinate\" is not allowed at the top level")) << line.toStdString();
            // Markers become spheres, the net's edges a line set, the coloring a face set.
            EXPECT_GE(output.count("<Sphere"), 60);
            EXPECT_TRUE(output.contains("<IndexedLineSet")) << "net edges";
            EXPECT_TRUE(output.contains("<Coordinate USE=")) << "shared coordinates resolved";
        }
    }
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
}

TEST(MapWindowTest, ClosingWhileTrainingStopsTheRunAndCommandsOnTheMapAreRefused)
{
    TSession s;
    ASSERT_NE(nullptr, s.Map);
    // A run that would go on for a long time.
    s.Map->MaxIterations = -1;
    s.Panel().AdjustButton()->click();
    ASSERT_TRUE(s.Map->Training);
    QTRY_VERIFY_WITH_TIMEOUT(s.Panel().Chart()->PointCount() >= 2, 60000);

    // Re-initialising or deleting the map is refused with the core's message.
    s.Click("InitializeMap");
    s.Window.Tree()->setCurrentItem(ItemAt(*s.Window.Tree(), {10000, 2, 30000}));
    s.Click("DeleteMap");
    ASSERT_EQ(2u, s.User.Messages.size());
    for (const std::string& message : s.User.Messages)
        EXPECT_NE(std::string::npos, message.find("is being trained")) << message;
    EXPECT_EQ(1u, s.Dataset->Maps.size());

    s.Window.close();
    EXPECT_FALSE(s.Map->Training);
    EXPECT_TRUE(s.Panel().AdjustButton()->isEnabled());
}

TEST(MapWindowTest, AutoCreateBuildsANewMapAndTheExperimenterCountsMinima)
{
    TSession s;
    ASSERT_NE(nullptr, s.Map);
    TfmAutoMap& dialog = *s.Window.AutoMapDialog();
    dialog.SetAddNewMap(true);
    dialog.Rows()->setValue(4);
    dialog.Columns()->setValue(5);
    dialog.AddEpochClick();
    dialog.EpochLambda()->setValue(1);
    dialog.EpochMu()->setValue(1);
    dialog.AddEpochClick();
    dialog.EpochLambda()->setValue(0.1);
    dialog.ExtrapolationSteps()->setValue(1);
    // Each run stops once the energy changes by less than a thousandth of the initial one.
    dialog.findChild<QDoubleSpinBox*>("BaseAccuracy")->setValue(0.001);
    const map::TMapCreationAlg recipe = dialog.Recipe();
    ASSERT_EQ((TArray1D{1, 0.1}), recipe.EpochLambdas);
    ASSERT_EQ((TArray1D{1, 1}), recipe.EpochMus);

    dialog.StartClick();
    ASSERT_TRUE(dialog.Running());
    EXPECT_FALSE(dialog.StartButton()->isEnabled());
    // The new map is listed and shown while it is being built.
    ASSERT_EQ(2u, s.Dataset->Maps.size());
    map::TMap* built = s.Dataset->Maps[1].get();
    EXPECT_EQ(built, s.MapWindow().Map());
    EXPECT_NE(nullptr, ItemAt(*s.Window.Tree(), {10000, 2, 30000, 40001}));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Running(), 120000);
    EXPECT_TRUE(dialog.StartButton()->isEnabled());
    EXPECT_EQ("Almost ready...", dialog.Chart()->Title());
    EXPECT_GT(dialog.Chart()->PointCount(), 2);
    // One extrapolation step grew the 4 x 5 map by a row and a column on every side.
    EXPECT_EQ(42, built->Grid->NodeCount());
    EXPECT_EQ(42u, built->Layers[1].PointObject.Positions.size());
    EXPECT_EQ(built, s.Window.Dispatcher().Current().Map);
    EXPECT_EQ(2, s.MapWindow().Tabs()->count());

    // The experimenter's corner: N = 1 makes two runs and finds one or two minima.
    TfmMinimaExperiment& corner = *s.Window.ExperimentsDialog();
    corner.SetMap(built);
    corner.StartsField()->setText("1.0");
    corner.AccuracyField()->setText("0.001");
    corner.RunClick();
    ASSERT_TRUE(corner.Running());
    QTRY_VERIFY_WITH_TIMEOUT(!corner.Running(), 120000);
    EXPECT_EQ("Run", corner.RunButton()->text());
    const int minima = corner.MinimaList()->count();
    EXPECT_GE(minima, 1);
    EXPECT_LE(minima, 2);
    EXPECT_EQ(QString("Минимумов = %1").arg(minima), corner.CountLabel()->text());
    EXPECT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
}

TEST(MapWindowTest, DemonstrationMapIsTurnedAndKeepsRotatingAboutX)
{
    TQtScriptedUser user;
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.LoadDemo();
    if (!window.MapWindow() || !window.MapWindow()->Map())
        GTEST_SKIP() << "the embedded demonstration has no map: " << window.DemoReport().Message();
    const view::TCamera& camera = window.MapWindow()->Map()->View.Camera;
    EXPECT_EQ(20, camera.RotZ);
    const int start = camera.RotX;
    QTRY_VERIFY(camera.RotX >= start + 3);
    EXPECT_EQ(camera.RotX, window.MapWindow()->RotationXSlider()->value());
    // Pressing the mouse on the view stops it.
    QWidget* view = window.MapWindow()->View();
    const QPoint centre(view->width() / 2, view->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(centre), view->mapToGlobal(QPointF(centre)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(centre), view->mapToGlobal(QPointF(centre)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &release);
    const int stopped = camera.RotX;
    QTest::qWait(300);
    EXPECT_EQ(stopped, camera.RotX);
    EXPECT_TRUE(user.Messages.empty()) << user.Messages.front();
}

} // namespace
} // namespace orbelin::gui

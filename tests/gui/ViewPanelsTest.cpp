// The view panels and the selection and annotation windows on a real session: a table
// loaded, a dataset and a map made through the commands, then coloured, viewed, selected
// from and annotated through the windows' own controls.
#include "GuiTestUtil.h"
#include "app/AppTestUtil.h"
#include "coloring/ColorSchemes.h"
#include "coloring/Coloring.h"
#include "data/TData.h"
#include "gui/TColoringPanel.h"
#include "gui/TMapViewOverlay.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TTablePanel.h"
#include "gui/TViewPanel.h"
#include "gui/TVisMap.h"
#include "gui/TfmAnnot.h"
#include "gui/TfmColorScale.h"
#include "gui/TfmSelectData.h"
#include "gui/TfrmMainWnd.h"
#include "map/TMap.h"
#include "view/TCamera.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

namespace orbelin::gui {
namespace {

using test::ItemAt;

void Click(const QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(nullptr, button) << name;
    button->click();
}

// Twelve records spread over the square -1..1 in x and y, with a class field.
constexpr const char* Flowers = "x,y,z,kind\n"
                                "-0.9,-0.9,0.1,a\n0.9,-0.9,0.2,b\n-0.9,0.9,0.3,a\n0.9,0.9,0.4,b\n"
                                "0,0,0.5,c\n-0.5,0.4,-0.3,a\n0.5,-0.4,0.6,c\n0.3,0.7,-0.6,b\n"
                                "-0.7,0.2,0.9,c\n0.6,0.1,-0.9,a\n-0.2,-0.6,0,b\n0.1,0.5,0.7,c\n";

// The session every test starts from: the table loaded, a dataset on its three numbers,
// a map on the dataset, all through the main window's commands.
// Tests before may leave the process in a folder they have removed (a file chosen in a
// dialog makes its folder the working directory).
struct TValidWorkingDirectory {
    TValidWorkingDirectory()
    {
        std::error_code error;
        const std::filesystem::path here = std::filesystem::current_path(error);
        if (error || here.empty())
            std::filesystem::current_path(std::filesystem::temp_directory_path());
    }
};

struct TSession {
    TValidWorkingDirectory Valid;
    test::TTempDir Dir;
    test::TWorkingDirectory Cwd{Dir.Path()};
    test::TScriptedUser User;
    TfrmMainWnd Window{false};
    data::TDataTable* Table = nullptr;
    data::TData* Dataset = nullptr;
    map::TMap* Map = nullptr;

    void Start()
    {
        test::WriteBytes(Dir.File("flowers.csv"), Flowers);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.LoadTableFile(Dir.File("flowers.csv"));
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 1, 20000}));
        auto* panel = static_cast<TTablePanel*>(Window.Panels()->Panel(app::TablePanel));
        ASSERT_EQ(4, panel->Fields()->count());
        for (int field = 0; field < 3; ++field)
            panel->Fields()->item(field)->setCheckState(Qt::Checked);
        Click(Window, "CreateDataset");
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 2, 30000}));
        Click(Window, "AddMap");
        ASSERT_TRUE(User.Messages.empty()) << User.Messages.front();
        const app::TCurrentChain chain = app::CurrentChain(Window.Dispatcher().Project());
        ASSERT_TRUE(chain.Table && chain.Dataset && chain.Map && chain.Map->Grid);
        Table = chain.Table;
        Dataset = chain.Dataset;
        Map = chain.Map;
        ASSERT_EQ(12, Dataset->PointCount);
        ASSERT_GE(Map->Layers.size(), 4u);
    }
    void SelectLayerNode(int code)
    {
        Window.Tree()->setCurrentItem(ItemAt(*Window.Tree(), {10000, 2, 30000, 40000, code}));
    }
    const TArray2D& Points() const { return Map->Layers[0].PointObject.Positions; }
    const TArray2D& SurfaceColors() const { return Map->Layers[2].PolygonObject.Colors; }
};

TEST(ViewPanelsTest, ColoringChosenInTheTreePaintsTheMapSurface)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    s.SelectLayerNode(50002);
    ASSERT_EQ(app::ColoringPanel, s.Window.Panels()->CurrentPanel());
    TColoringPanel* panel = s.Window.ColoringPanel();
    // The tree offers the dataset's three fields and components.
    QTreeWidgetItem* fields = panel->Tree()->topLevelItem(0);
    ASSERT_EQ("Fields", fields->text(0));
    ASSERT_EQ(3, fields->childCount());
    EXPECT_EQ("z", fields->child(2)->text(0));
    EXPECT_TRUE(fields->isExpanded());

    // Field x: the surface is coloured from blue (smallest) to red (largest) along x.
    panel->Tree()->setCurrentItem(panel->ItemOf(coloring::FieldColoringBase));
    ASSERT_EQ(coloring::FieldColoringBase, s.Map->ColoringCode);
    const view::TVisPol& surface = s.Map->Layers[2].PolygonObject;
    ASSERT_FALSE(surface.Colors.empty());
    ASSERT_EQ(surface.Vertices.size(), surface.Colors.size());
    std::size_t lowest = 0, highest = 0;
    for (std::size_t i = 0; i < surface.Vertices.size(); ++i) {
        if (surface.Vertices[i][0] < surface.Vertices[lowest][0])
            lowest = i;
        if (surface.Vertices[i][0] > surface.Vertices[highest][0])
            highest = i;
    }
    EXPECT_EQ((TArray1D{0, 0, 1}), surface.Colors[lowest]);
    EXPECT_EQ((TArray1D{1, 0, 0}), surface.Colors[highest]);
    const TArray2D byX = s.SurfaceColors();

    struct TStep {
        const char* Name;
        std::function<void()> Act;
        bool Changes;
    };
    const TStep steps[] = {
        {"field z", [&] { panel->Tree()->setCurrentItem(panel->ItemOf(coloring::FieldColoringBase + 2)); }, true},
        {"a group node changes nothing", [&] { panel->Tree()->setCurrentItem(panel->Tree()->topLevelItem(1)); }, false},
        {"2D density", [&] { panel->Tree()->setCurrentItem(panel->ItemOf(coloring::ColoringDensity2D)); }, true},
        {"Gray scheme",
         [&] {
             panel->Scheme()->setCurrentIndex(static_cast<int>(coloring::TColorScheme::Gray));
             emit panel->Scheme()->activated(panel->Scheme()->currentIndex());
         },
         true},
        {"inversion", [&] { panel->Inversion()->click(); }, true},
        {"logarithmic", [&] { panel->Logarithmic()->click(); }, true},
        {"smoothness 2", [&] { panel->Smoothness()->setValue(2); }, true},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        const TArray2D before = s.SurfaceColors();
        step.Act();
        EXPECT_TRUE(s.User.Messages.empty());
        EXPECT_EQ(step.Changes, before != s.SurfaceColors());
    }
    EXPECT_NE(byX, s.SurfaceColors());
    EXPECT_EQ(4 * 2 * 81u * 3, s.SurfaceColors().size()); // 81 cells, 2 triangles, refined once
    EXPECT_TRUE(s.Map->ColorInversion);

    // The panel shows the map's own values when its node is selected again.
    s.SelectLayerNode(50000);
    s.SelectLayerNode(50002);
    EXPECT_EQ(panel->ItemOf(coloring::ColoringDensity2D), panel->Tree()->currentItem());
    EXPECT_EQ(2, panel->Smoothness()->value());
    EXPECT_TRUE(panel->Inversion()->isChecked());
    EXPECT_EQ("Gray", panel->Scheme()->currentText());
}

TEST(ViewPanelsTest, ViewTypeChangeMovesThePointsAndSwitchesHideLayers)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    s.SelectLayerNode(50000);
    ASSERT_EQ(app::ViewPanel, s.Window.Panels()->CurrentPanel());
    TViewPanel* panel = s.Window.ViewPanel();
    ASSERT_EQ(3, panel->ViewList()->count());

    panel->ViewList()->setCurrentRow(1);
    panel->ViewList()->setCurrentRow(0);
    ASSERT_EQ(0, s.Map->ViewType);
    ASSERT_EQ(12u, s.Points().size());
    const TArray1D& point1 = s.Dataset->Points[1];
    EXPECT_EQ(point1, s.Points()[1]);

    // The second axis shows z.
    QApplication::processEvents();
    ASSERT_EQ(3, panel->Axis(1)->count());
    panel->Axis(1)->setCurrentIndex(2);
    emit panel->Axis(1)->activated(2);
    EXPECT_EQ((TArray1D{point1[0], point1[2], point1[2]}), s.Points()[1]);
    const TArray2D onCoordinates = s.Points();

    // The map's internal coordinates: the points sit on their projections, and the axis
    // lists go.
    panel->ViewList()->setCurrentRow(2);
    EXPECT_EQ(2, s.Map->ViewType);
    QApplication::processEvents();
    ASSERT_EQ(s.Map->Projections.size(), s.Points().size());
    for (std::size_t i = 0; i < s.Points().size(); ++i)
        for (std::size_t k = 0; k < 2; ++k)
            EXPECT_DOUBLE_EQ(s.Map->Projections[i][k], s.Points()[i][k]);
    EXPECT_NE(onCoordinates, s.Points());
    EXPECT_FALSE(panel->Axis(0)->isVisibleTo(panel));
    EXPECT_EQ(0, panel->ViewMode()->count()); // a flat map has no layouts

    // "Not draw all" hides every layer and gives back exactly the ones that were shown.
    std::vector<bool> shown;
    for (const view::TLayer& layer : s.Map->Layers)
        shown.push_back(layer.Visible);
    panel->Switch("Net lines")->click();
    EXPECT_FALSE(s.Map->Layers[1].LineObject.Visible);
    panel->Switch("Not draw all")->click();
    for (const view::TLayer& layer : s.Map->Layers)
        EXPECT_FALSE(layer.Visible);
    panel->Switch("Not draw all")->click();
    EXPECT_EQ(bool(shown[0]), s.Map->Layers[0].Visible);
    EXPECT_FALSE(s.Map->Layers[1].LineObject.Visible);
    EXPECT_EQ(bool(shown[3]), s.Map->Layers[3].Visible);

    // Time series: the points become one line and no markers.
    panel->TimeSeries()->click();
    EXPECT_TRUE(s.Points().empty());
    EXPECT_EQ(11u, s.Map->Layers[0].LineObject.Polylines.size());
    EXPECT_TRUE(s.User.Messages.empty());
}

TEST(ViewPanelsTest, SelectionDialogMarksTheRecordsOfACondition)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    s.SelectLayerNode(50000);
    s.Window.ViewPanel()->ViewList()->setCurrentRow(1);
    s.Window.ViewPanel()->ViewList()->setCurrentRow(0);
    s.Window.Action("SelectingObjects")->trigger();
    TfmSelectData* dialog = s.Window.SelectDataDialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_TRUE(s.Window.Action("ObjectSelectionButton")->isChecked());

    // kind = b, in the dialog's default style (red, black border, shape 0, size 8).
    ASSERT_EQ(4, dialog->Field(0)->count());
    dialog->Field(0)->setCurrentIndex(3);
    emit dialog->Field(0)->activated(3);
    ASSERT_EQ(3, dialog->Value(0)->count());
    dialog->Operator(0)->setCurrentText("=");
    dialog->Value(0)->setEditText("b");
    Click(*dialog, "Select");
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    const std::set<int> kindB = {1, 3, 7, 10};
    for (int r = 0; r < 12; ++r) {
        SCOPED_TRACE(r);
        const PointStyle& style = s.Table->PointStyles[static_cast<std::size_t>(r)];
        if (kindB.count(r)) {
            EXPECT_EQ((PointStyle{1, 0, 8, view::PackedRed, view::PackedBlack, 1, 1, 0}), style);
            // The map's data points were rebuilt in the new style.
            EXPECT_EQ(coloring::ColorFromPacked(view::PackedRed),
                      s.Map->Layers[0].PointObject.FillColors[static_cast<std::size_t>(r)]);
        } else {
            EXPECT_EQ(DefaultPointStyle, style);
        }
    }

    // y below the value a quarter of the records lie under, from the preset.
    dialog->Field(0)->setCurrentIndex(1);
    emit dialog->Field(0)->activated(1);
    dialog->Operator(0)->setCurrentText("<");
    dialog->Percentage(0)->setCurrentText("25");
    emit dialog->Percentage(0)->textActivated("25");
    EXPECT_EQ("-0.40000", dialog->Value(0)->currentText().toStdString());

    // AutoInt on x: every record takes the colour of its interval in the grading dialog.
    dialog->Field(0)->setCurrentIndex(0);
    emit dialog->Field(0)->activated(0);
    TfmColorScale* scale = s.Window.ColorScaleDialog();
    QTimer::singleShot(0, scale, [scale] { scale->accept(); });
    Click(*dialog, "AutoInt");
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    EXPECT_EQ(-0.9, scale->Min());
    EXPECT_EQ(0.9, scale->Max());
    ASSERT_EQ(10u, scale->Rows().size());
    std::set<int> colours;
    for (const PointStyle& style : s.Table->PointStyles)
        colours.insert(style[FILLCOLOR]);
    EXPECT_EQ(scale->Rows().front().Color, s.Table->PointStyles[0][FILLCOLOR]); // x = -0.9
    EXPECT_EQ(scale->Rows().back().Color, s.Table->PointStyles[1][FILLCOLOR]);  // x = 0.9
    for (int colour : colours)
        EXPECT_TRUE(std::any_of(scale->Rows().begin(), scale->Rows().end(),
                                [colour](const coloring::TGradingRow& row) { return row.Color == colour; }));

    Click(*dialog, "Close");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(s.Window.Action("SelectingObjects")->isChecked());
}

TEST(ViewPanelsTest, AnnotationAndHintAppearOverTheMapView)
{
    TSession s;
    ASSERT_NO_FATAL_FAILURE(s.Start());
    s.SelectLayerNode(50000);
    s.Window.ViewPanel()->ViewList()->setCurrentRow(1);
    s.Window.ViewPanel()->ViewList()->setCurrentRow(0);
    // A 3D view of the map in the workspace, as the map window shows it.
    auto* view = new TVisMap;
    view->SetLayers(s.Map->Layers);
    view->SetCamera(&s.Map->View.Camera);
    QMdiSubWindow* frame = s.Window.Workspace()->addSubWindow(view);
    frame->resize(480, 380);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));

    // Annotate the marked point 4 (the centre, kind c) with x and kind.
    data::MarkPoints(*s.Dataset, {4}, view::PackedYellow, 5, data::MarkAdd);
    s.Window.Action("Annotation")->trigger();
    TfmAnnot* annot = s.Window.AnnotationWindow();
    ASSERT_TRUE(annot->isVisible());
    ASSERT_EQ(4, annot->Fields()->count());
    EXPECT_EQ(Qt::Checked, annot->Fields()->item(0)->checkState());
    annot->Fields()->item(3)->setCheckState(Qt::Checked);
    annot->FontSize()->setValue(12);
    Click(*annot, "Apply");
    ASSERT_TRUE(s.User.Messages.empty()) << s.User.Messages.front();
    ASSERT_EQ(1u, s.Map->Annotations.size());
    EXPECT_EQ((TArray1S{"4", "12", "N", "0/c"}), s.Map->Annotations[0]);
    EXPECT_TRUE(s.Dataset->MarkedPoints.empty());

    auto* overlay = view->findChild<TMapViewOverlay*>();
    ASSERT_NE(nullptr, overlay);
    QTRY_COMPARE_WITH_TIMEOUT(overlay->LabelCount(), 1, 3000);
    // The label's box: framed in black at the marker's window position, filled in the
    // tooltip colour.
    const TArray1D centre = s.Points()[4];
    double at[3];
    ASSERT_TRUE(view::ProjectToWindow(centre.data(), view::ModelViewMatrix(s.Map->View.Camera),
                                      view::ProjectionMatrix(s.Map->View.Camera, view->width(), view->height()),
                                      view->width(), view->height(), at));
    const QPoint corner(static_cast<int>(std::lround(at[0])), view->height() - static_cast<int>(std::lround(at[1])));
    const QImage picture = view->grab().toImage();
    EXPECT_EQ(QColor(Qt::black).rgb(), picture.pixel(corner + QPoint(3, 0)));
    const QRgb fill = overlay->palette().color(QPalette::ToolTipBase).rgb();
    int filled = 0;
    for (int dx = 1; dx < 20; ++dx)
        for (int dy = 1; dy < 8; ++dy)
            filled += picture.pixel(corner + QPoint(dx, dy)) == fill ? 1 : 0;
    EXPECT_GT(filled, 40);

    // The hint of a point shows the fields ticked in the " Marks " list.
    s.SelectLayerNode(60000);
    ASSERT_EQ(4, s.Window.SelectionsPanel()->Marks()->count());
    s.Window.SelectionsPanel()->Marks()->item(3)->setCheckState(Qt::Checked);
    s.Window.SelectionsPanel()->Marks()->item(2)->setCheckState(Qt::Checked);
    const TArray1D corner1 = s.Points()[1];
    ASSERT_TRUE(view::ProjectToWindow(corner1.data(), view::ModelViewMatrix(s.Map->View.Camera),
                                      view::ProjectionMatrix(s.Map->View.Camera, view->width(), view->height()),
                                      view->width(), view->height(), at));
    const QPointF mouse(std::floor(at[0]), std::floor(view->height() - at[1]));
    QMouseEvent move(QEvent::MouseMove, mouse, view->mapToGlobal(mouse), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    EXPECT_EQ("0.2/b", overlay->HintText().toStdString());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    EXPECT_TRUE(overlay->HintText().isEmpty());

    // "To table" copies the labels into a result column; "Clear" takes them away.
    Click(*annot, "ToTable");
    ASSERT_EQ((TArray1S{"Annot"}), s.Dataset->ResultColumnNames);
    EXPECT_EQ("0/c", s.Dataset->ResultColumns[0][4]);
    Click(*annot, "Clear");
    EXPECT_TRUE(s.Map->Annotations.empty());
    QTRY_COMPARE_WITH_TIMEOUT(overlay->LabelCount(), 0, 3000);
    Click(*annot, "Close");
    EXPECT_FALSE(s.Window.Action("Annotation")->isChecked());
}

} // namespace
} // namespace orbelin::gui

// The main window under a real X server: start-up with the demonstration project, the
// tree and its panels, list clicks, renaming.
#include "GuiTestUtil.h"
#include "app/AppTestUtil.h"
#include "data/Resources.h"
#include "gui/TObjectPanels.h"
#include "gui/TTablePanel.h"
#include "gui/TViewPanel.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "gui/TfrmTable.h"
#include "map/TMap.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace orbelin::gui {
namespace {

using test::ItemAt;

QPushButton* Button(const QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(name);
    EXPECT_NE(nullptr, button) << name;
    return button;
}

/// Selects the item as a click would.
void Select(TfrmMainWnd& window, QTreeWidgetItem* item)
{
    ASSERT_NE(nullptr, item);
    window.Tree()->setCurrentItem(item);
}

TEST(MainWindowTest, StartUpLoadsTheDemoAndRoutesEveryNodeToItsPanel)
{
    test::TScriptedUser user;
    TfrmMainWnd window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ("Orbelin", window.windowTitle());
    // New project at first show: the two object windows are docked and shown.
    EXPECT_NE(nullptr, window.Dispatcher().Project());
    EXPECT_TRUE(window.ObjectsDock()->isVisible());
    EXPECT_NEAR(188, window.ObjectsDock()->width(), 8);
    EXPECT_FALSE(window.DemoLoaded());

    // One second later the demonstration project.
    QTRY_VERIFY_WITH_TIMEOUT(window.DemoLoaded(), 5000);
    const app::TDemoReport& report = window.DemoReport();
    EXPECT_TRUE(report.Errors.empty()) << report.Message();
    for (const std::string& name : report.Missing)
        EXPECT_FALSE(data::FindResource(name).has_value()) << name;
    if (!report.Complete())
        EXPECT_NE(-1, window.statusBar()->currentMessage().indexOf("Missing"));
    // The demonstration starts with the connections drawn, and its switch says so.
    EXPECT_TRUE(report.Connections);
    EXPECT_TRUE(window.ConnectionsOn());
    EXPECT_TRUE(window.ViewPanel()->Switch("Connections")->isChecked());
    // The tree widget shows the dispatcher's tree, node for node.
    EXPECT_EQ(test::DescribeTree(window.Dispatcher().Tree().Root()), test::DescribeItems(*window.Tree()));
    QTreeWidgetItem* table = ItemAt(*window.Tree(), {10000, 1, 20000});
    ASSERT_NE(nullptr, table);
    EXPECT_EQ("IRIS.OBT", table->text(0));
    EXPECT_EQ("", ItemAt(*window.Tree(), {10000})->text(0));

    // The table's fields: mark the four measurements, create a dataset, add a map to it.
    Select(window, table);
    ASSERT_EQ(app::TablePanel, window.Panels()->CurrentPanel());
    auto* panel = static_cast<TTablePanel*>(window.Panels()->Panel(app::TablePanel));
    ASSERT_EQ(5, panel->Fields()->count());
    EXPECT_FALSE(panel->Fields()->item(4)->flags() & Qt::ItemIsUserCheckable);
    for (int field = 0; field < 4; ++field)
        panel->Fields()->item(field)->setCheckState(Qt::Checked);
    EXPECT_TRUE(window.Dispatcher().Project()->Script()->FieldChoices[0][3].Std);
    const std::size_t datasetsBefore = window.Dispatcher().Project()->Script()->Datasets.size();
    Button(window, "CreateDataset")->click();
    const app::TScript& script = *window.Dispatcher().Project()->Script();
    ASSERT_EQ(datasetsBefore + 1, script.Datasets.size());
    const int k = static_cast<int>(datasetsBefore);
    QTreeWidgetItem* dataset = ItemAt(*window.Tree(), {10000, 2, 30000 + k});
    ASSERT_NE(nullptr, dataset);
    EXPECT_EQ(script.Datasets.back()->Name, dataset->text(0).toStdString());
    Select(window, dataset);
    EXPECT_EQ(app::MapsPanel, window.Panels()->CurrentPanel());
    Button(window, "AddMap")->click();
    const map::TMap* map = script.Datasets.back()->Maps.back().get();
    ASSERT_NE(nullptr, map->Grid);
    ASSERT_NE(nullptr, window.MapWindow());
    EXPECT_EQ(map, window.MapWindow()->Map());
    EXPECT_TRUE(window.Toolbar("Instruments")->isVisible());
    EXPECT_EQ(test::DescribeTree(window.Dispatcher().Tree().Root()), test::DescribeItems(*window.Tree()));

    const int m = static_cast<int>(script.Datasets.back()->Maps.size()) - 1;
    struct TCase {
        const char* Name;
        std::vector<int> Codes;
        int Panel;
        QString Title;
    };
    const TCase cases[] = {
        {"script", {10000}, app::ScriptsPanel, "Scripts"},
        {"tables folder", {10000, 1}, app::TablesPanel, "Tables"},
        {"table", {10000, 1, 20000}, app::TablePanel, "Table"},
        {"datasets folder", {10000, 2}, app::DatasetsPanel, "Datasets"},
        {"dataset", {10000, 2, 30000 + k}, app::MapsPanel, "Maps"},
        {"map", {10000, 2, 30000 + k, 40000 + m}, app::MapPanel, "Map"},
        {"data points", {10000, 2, 30000 + k, 40000 + m, 50000}, app::ViewPanel, "     Datapoints "},
        {"coloring", {10000, 2, 30000 + k, 40000 + m, 50002}, app::ColoringPanel, "Coloring"},
        {"objects", {10000, 2, 30000 + k, 40000 + m, 60000}, app::SelectionsPanel, "Selections"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Select(window, ItemAt(*window.Tree(), c.Codes));
        EXPECT_EQ(c.Panel, window.Panels()->CurrentPanel());
        EXPECT_EQ(c.Title, window.Panels()->Panel(c.Panel)->Title());
    }
    // The data points' node shows the data-point switch, not the net's.
    Select(window, ItemAt(*window.Tree(), {10000, 2, 30000 + k, 40000 + m, 50000}));
    auto* view = window.ViewPanel();
    EXPECT_TRUE(view->DataPointSwitch()->isVisibleTo(view));
    EXPECT_FALSE(view->NetSwitch()->isVisibleTo(view));

    // A list click makes its entry current and selects the matching node.
    Select(window, ItemAt(*window.Tree(), {10000, 2}));
    auto* datasets = static_cast<TListPanel*>(window.Panels()->Panel(app::DatasetsPanel));
    ASSERT_EQ(k + 1, datasets->List()->count());
    EXPECT_EQ(k, datasets->List()->currentRow());
    if (k > 0) {
        datasets->List()->setCurrentRow(0);
        EXPECT_EQ(0, window.Dispatcher().Project()->Script()->CurrentDataset);
        EXPECT_EQ(ItemAt(*window.Tree(), {10000, 2, 30000}), window.Tree()->currentItem());
        EXPECT_EQ(app::MapsPanel, window.Panels()->CurrentPanel());
    }
    EXPECT_TRUE(user.Messages.empty()) << user.Messages.front();
}

TEST(MainWindowTest, RenamingANodeRenamesItsObjectOrPutsTheLabelBack)
{
    test::TScriptedUser user;
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.LoadDemo();
    QTreeWidgetItem* script = ItemAt(*window.Tree(), {10000});
    QTreeWidgetItem* table = ItemAt(*window.Tree(), {10000, 1, 20000});
    QTreeWidgetItem* folder = ItemAt(*window.Tree(), {10000, 1});
    ASSERT_TRUE(script && table && folder);
    EXPECT_TRUE(table->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(folder->flags() & Qt::ItemIsEditable);

    script->setText(0, "Flowers");
    EXPECT_EQ("Flowers", window.Dispatcher().Project()->Scripts[0]->Name);
    table->setText(0, "flowers.obt");
    EXPECT_EQ("flowers.obt", window.Dispatcher().Project()->Scripts[0]->Tables[0]->Name);
    EXPECT_EQ("flowers.obt", window.Dispatcher().Tree().TableNode(0, 0)->Label);
    ASSERT_NE(nullptr, window.TableWindow());
    EXPECT_EQ("flowers.obt", window.TableWindow()->Pages()->tabText(0));
    // A table's name is its file's name: a folder is refused, and the label comes back.
    table->setText(0, "sub/flowers.obt");
    ASSERT_EQ(1u, user.Messages.size());
    EXPECT_EQ("flowers.obt", table->text(0));
    EXPECT_EQ("flowers.obt", window.Dispatcher().Project()->Scripts[0]->Tables[0]->Name);
}

TEST(MainWindowTest, MenusFollowTheCurrentObjects)
{
    test::TScriptedUser user;
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto visible = [&](const char* menu) { return window.Menu(menu)->menuAction()->isVisible(); };
    // An empty project: scripts yes, data and maps no.
    EXPECT_TRUE(visible("ScriptMenu"));
    EXPECT_FALSE(visible("DataMenu"));
    EXPECT_FALSE(visible("MapMenu"));
    EXPECT_FALSE(window.Action("AddTable")->isVisible());
    EXPECT_FALSE(window.Toolbar("WorkWithTable")->isVisible());
    EXPECT_FALSE(window.Action("ShowWorkWithTable")->isEnabled());

    window.LoadDemo();
    EXPECT_TRUE(visible("DataMenu"));
    EXPECT_TRUE(window.Action("AddTable")->isVisible());
    EXPECT_TRUE(window.Toolbar("WorkWithTable")->isVisible());
    EXPECT_TRUE(window.Action("ShowWorkWithTable")->isChecked());
    // Entries without behaviour stay visible; hidden ones stay hidden.
    EXPECT_TRUE(window.Action("LoadScript")->isVisible());
    EXPECT_FALSE(window.Action("Import")->isVisible());
    EXPECT_FALSE(window.Action("ScriptRun")->isVisible());

    // Close: the question, then no project and the menus for none.
    user.Answers = {TUserInterface::TAnswer::No};
    window.Action("Close")->trigger();
    EXPECT_EQ((std::vector<std::string>{"Save changes in the project?"}), user.Questions);
    EXPECT_EQ(nullptr, window.Dispatcher().Project());
    EXPECT_EQ(0, window.Tree()->topLevelItemCount());
    EXPECT_FALSE(visible("ScriptMenu"));
    EXPECT_FALSE(window.Action("Close")->isVisible());
    EXPECT_FALSE(window.Action("SaveProjectButton")->isEnabled());
}

} // namespace
} // namespace orbelin::gui

// A user's first session through the real commands: load a CSV file, create a dataset, add
// a map, save the project, close it and open it again; and a table file dropped on the
// window.
#include "GuiTestUtil.h"
#include "app/AppTestUtil.h"
#include "gui/TTablePanel.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "gui/TfrmTable.h"
#include "map/TMap.h"

#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

namespace orbelin::gui {
namespace {

using test::ItemAt;

void Click(const QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(nullptr, button) << name;
    button->click();
}

TEST(ProjectFlowTest, CsvToDatasetToMapSavedAndReopened)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(dir.Path());
    // Three numeric columns, a text column, and a gap: a file a user might export.
    test::WriteBytes(dir.File("plants.csv"), "height,width,depth,kind\n"
                                             "1.0,2.0,0.5,a\n2.0,1.5,0.7,b\n3.5,2.5,,a\n4.0,3.0,1.1,b\n"
                                             "5.5,2.0,1.3,a\n6.0,4.5,1.9,b\n7.5,3.5,2.2,a\n8.0,5.0,2.5,b\n");
    test::TScriptedUser user;
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Load table through the menu: the open dialog gets the table filter.
    user.Files = {dir.File("plants.csv")};
    window.Action("LoadTable")->trigger();
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    EXPECT_NE(std::string::npos, user.DialogFilters.at(0).find("*.csv"));
    QTreeWidgetItem* table = ItemAt(*window.Tree(), {10000, 1, 20000});
    ASSERT_NE(nullptr, table);
    EXPECT_EQ("plants.OBT", table->text(0));
    EXPECT_EQ("plants", ItemAt(*window.Tree(), {10000})->text(0));
    // The Tables panel was refreshed: the table window shows one page per table.
    ASSERT_NE(nullptr, window.TableWindow());
    EXPECT_EQ(1, window.TableWindow()->Pages()->count());

    // Mark the numeric fields, leave out the record with a gap, create the dataset.
    window.Tree()->setCurrentItem(table);
    ASSERT_EQ(app::TablePanel, window.Panels()->CurrentPanel());
    auto* panel = static_cast<TTablePanel*>(window.Panels()->Panel(app::TablePanel));
    ASSERT_EQ(4, panel->Fields()->count());
    for (int field = 0; field < 3; ++field)
        panel->Fields()->item(field)->setCheckState(Qt::Checked);
    panel->ExcludeGaps()->click();
    Click(window, "CreateDataset");
    const app::TScript& script = *window.Dispatcher().Project()->Script();
    ASSERT_EQ(1u, script.Datasets.size());
    EXPECT_EQ(7, script.Datasets[0]->PointCount);
    QTreeWidgetItem* dataset = ItemAt(*window.Tree(), {10000, 2, 30000});
    ASSERT_NE(nullptr, dataset);
    EXPECT_EQ("Datasets01", dataset->text(0));

    // Add a map to it from the Maps panel.
    window.Tree()->setCurrentItem(dataset);
    Click(window, "AddMap");
    ASSERT_EQ(1u, script.Datasets[0]->Maps.size());
    EXPECT_NE(nullptr, script.Datasets[0]->Maps[0]->Grid);
    EXPECT_EQ("Map001", ItemAt(*window.Tree(), {10000, 2, 30000, 40000})->text(0).toStdString());
    ASSERT_NE(nullptr, window.MapWindow());
    EXPECT_EQ(script.Datasets[0].get(), window.MapWindow()->Dataset());
    const std::string treeBefore = test::DescribeTree(window.Dispatcher().Tree().Root());

    // Save as: the project file and its members beside it.
    user.Files = {dir.File("garden")};
    window.Action("SaveAs")->trigger();
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    for (const char* file : {"garden.obp", "plants.OBT", "Datasets01.obd", "Map001.obm"})
        EXPECT_TRUE(std::filesystem::exists(dir.File(file))) << file;

    // Close, answering that nothing is to be saved; then open the file again.
    user.Answers = {TUserInterface::TAnswer::No};
    window.Action("Close")->trigger();
    EXPECT_EQ(nullptr, window.Dispatcher().Project());
    EXPECT_EQ(0, window.Tree()->topLevelItemCount());
    EXPECT_EQ(nullptr, window.TableWindow());
    EXPECT_EQ(nullptr, window.MapWindow());

    user.Files = {dir.File("garden.obp")};
    window.Action("Open")->trigger();
    ASSERT_TRUE(user.Messages.empty()) << user.Messages.front();
    ASSERT_NE(nullptr, window.Dispatcher().Project());
    // A rebuilt tree labels scripts "Script ..." and the datasets folder "Datasets", and gives
    // the map its layers' nodes.
    EXPECT_EQ("10000 Script plants\n  1 Tables\n    20000 plants.OBT\n  2 Datasets\n    30000 Datasets01\n"
              "      40000 Map001\n        50000 Datasets\n        50002 Colorings\n        60000 Selections\n",
              test::DescribeItems(*window.Tree()));
    EXPECT_NE(treeBefore, test::DescribeItems(*window.Tree()));
    const app::TScript& reopened = *window.Dispatcher().Project()->Script();
    ASSERT_EQ(1u, reopened.Datasets.size());
    EXPECT_EQ(7, reopened.Datasets[0]->PointCount);
    ASSERT_EQ(1u, reopened.Datasets[0]->Maps.size());
    ASSERT_NE(nullptr, reopened.Datasets[0]->Maps[0]->Grid);
    EXPECT_EQ(100, reopened.Datasets[0]->Maps[0]->Grid->NodeCount());
    EXPECT_EQ(dir.File("garden.obp"), window.Dispatcher().Project()->FullName);
}

TEST(ProjectFlowTest, DroppedTableFileIsLoaded)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(std::filesystem::temp_directory_path());
    test::TScriptedUser user;
    const std::string path = test::WriteXYTable(dir, "dropped", {{1, 2}, {3, 4}});
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path)),
                  QUrl::fromLocalFile(QString::fromStdString(dir.File("notes.txt")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QTRY_VERIFY(ItemAt(*window.Tree(), {10000, 1, 20000}) != nullptr);
    EXPECT_EQ("dropped.OBT", ItemAt(*window.Tree(), {10000, 1, 20000})->text(0));
    EXPECT_TRUE(user.Messages.empty());
    // A dropped file counts as one chosen in a dialog: its folder is the working directory.
    EXPECT_EQ(std::filesystem::canonical(dir.Path()), std::filesystem::current_path());

    // Files the program does not read are not taken.
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("notes.txt")))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QCoreApplication::sendEvent(&window, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST(ProjectFlowTest, TableWindowFollowsTheTreeAndTheTreeFollowsItsPages)
{
    test::TTempDir dir;
    test::TWorkingDirectory cwd(std::filesystem::temp_directory_path());
    test::TScriptedUser user;
    TfrmMainWnd window(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.LoadTableFile(test::WriteXYTable(dir, "first", {{1, 2}, {3, 4}}));
    window.LoadTableFile(test::WriteXYTable(dir, "second", {{5, 6}}));
    TfrmTable* tables = window.TableWindow();
    ASSERT_NE(nullptr, tables);
    EXPECT_EQ(2, tables->Pages()->count());
    EXPECT_EQ(1, tables->CurrentPage());
    EXPECT_TRUE(window.Action("Cascade")->isEnabled());

    // A table node turns the window to its page; turning a page selects the node.
    window.Tree()->setCurrentItem(ItemAt(*window.Tree(), {10000, 1, 20000}));
    EXPECT_EQ(0, tables->CurrentPage());
    tables->Pages()->setCurrentIndex(1);
    EXPECT_EQ(ItemAt(*window.Tree(), {10000, 1, 20001}), window.Tree()->currentItem());
    EXPECT_EQ(1, window.Dispatcher().Project()->Script()->CurrentTable);
    EXPECT_EQ(app::TablePanel, window.Panels()->CurrentPanel());

    // Deleting a table shows the rest; a script without tables closes the window.
    window.Action("DeleteTable")->trigger();
    ASSERT_EQ(window.TableWindow(), tables);
    EXPECT_EQ(1, tables->Pages()->count());
    EXPECT_EQ("10000 first\n  1 Tables\n    20000 first.OBT\n  2 Data\n", test::DescribeItems(*window.Tree()));
    window.Action("AddScript")->trigger();
    EXPECT_EQ(nullptr, window.TableWindow());
    QTRY_VERIFY(!window.Action("Cascade")->isEnabled());
    EXPECT_TRUE(user.Messages.empty());
}

} // namespace
} // namespace orbelin::gui

// The main window under a real X server.
#include "gui/TfrmMainWnd.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace orbelin::gui {
namespace {

TEST(MainWindowTest, ShowsTheDemonstrationTable)
{
    TfrmMainWnd window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ("Orbelin", window.windowTitle());
    window.LoadDemo();
    EXPECT_EQ(150, window.Grid()->rowCount());
    EXPECT_EQ(5, window.Grid()->columnCount());
    EXPECT_EQ("setosa", window.Grid()->item(0, 4)->text());
    EXPECT_EQ("sepal_length_cm", window.Grid()->horizontalHeaderItem(0)->text());
}

} // namespace
} // namespace orbelin::gui

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

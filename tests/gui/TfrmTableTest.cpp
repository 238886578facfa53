// The table window under a real X server: pages, layout and colours, right clicks, the
// pop-up menu's sorts and exports, and the selection properties dialog.
#include "gui/TfrmTable.h"
#include "gui/TfmSelectionProperties.h"
#include "gui/TfrmTableGrid.h"

#include "TestUtil.h"
#include "app/TProject.h"
#include "data/DatasetBuild.h"
#include "data/TableMaker.h"
#include "numeric/TUserInterface.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace orbelin::gui {
namespace {

class TFakeUser : public TUserInterface {
public:
    TFakeUser() { SetUserInterface(this); }
    ~TFakeUser() override { SetUserInterface(nullptr); }
    std::vector<std::string> Messages;
    std::vector<std::string> Files;

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    bool ChooseSaveFile(const std::string&, const std::string&, std::string& fileName) override
    {
        if (Files.empty())
            return false;
        fileName = Files.front();
        Files.erase(Files.begin());
        return true;
    }
};

// Script "S" with the tables "first" and "second". On "first" a dataset of X and Y:
// record 2 is unselected and no point, record 3 has no X; records 0, 1, 3 are points, and
// record 1's point is marked in green. The dataset has one result column.
class TfrmTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Script = &app::AddScript(Project, "S");
        First = &app::AppendTable(
            *Script, test::MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"Y", TFieldType::Float}},
                                     {{"a", "3", "10"}, {"b", "1", "20"}, {"c", "2", "30"}, {"d", "", "40"}}, "first"));
        First->PointStyles[2][SELECTED] = 0;
        app::AppendTable(*Script, test::MakeTable({{"Only", TFieldType::String}}, {{"z"}}, "second"));
        Script->CurrentTable = 0;
        Data = &app::AddDataset(*Script, "D");
        std::vector<data::TFieldChoice> choices(3);
        choices[1].Use = choices[2].Use = true;
        ASSERT_TRUE(data::BuildFromTable(*Data, choices).Built);
        data::MarkPoints(*Data, {1}, 0x00FF00, 5, data::MarkAdd);
        Data->ResultColumnNames = {"Cluster"};
        Data->ResultColumns = {{"k2", "k1", "k3"}};

        Window = new TfrmTable;
        Window->SetSelectionStyle(&Style);
        Window->SetSelectionProperties(&Marks);
    }
    void TearDown() override { delete Window.data(); }

    void ShowWindow()
    {
        Window->ShowTables(Script);
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
    }
    TTableGrid* Grid() const { return Window->Grid(Window->CurrentPage()); }
    // A point inside the record number cell of a row, away from its text and lines.
    QPoint RecordCellPoint(int row) const
    {
        return QPoint(3, Grid()->RecordHeader()->sectionViewportPosition(row) + data::GridRowHeight / 2);
    }
    QColor RecordCellPixel(int row) const
    {
        const QPoint at = Grid()->RecordHeader()->viewport()->mapTo(Grid(), RecordCellPoint(row));
        return Grid()->grab().toImage().pixelColor(at * Grid()->devicePixelRatioF());
    }
    QColor ValueCellPixel(int row, int column) const
    {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, column));
        const QPoint at = Grid()->viewport()->mapTo(Grid(), cell.topLeft() + QPoint(3, 3));
        return Grid()->grab().toImage().pixelColor(at * Grid()->devicePixelRatioF());
    }
    QStringList RecordNumbers() const
    {
        QStringList numbers;
        for (int row = 0; row < Grid()->model()->rowCount(); ++row)
            numbers << Grid()->model()->headerData(row, Qt::Vertical).toString();
        return numbers;
    }
    void RightClickCell(int row, int column)
    {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, column));
        QTest::mouseClick(Grid()->viewport(), Qt::RightButton, {}, cell.center());
    }

    app::TProject Project;
    app::TScript* Script = nullptr;
    data::TDataTable* First = nullptr;
    data::TData* Data = nullptr;
    view::TSelectionStyle Style;
    view::TSelectionProperties Marks;
    QPointer<TfrmTable> Window;
};

TEST_F(TfrmTableTest, ShowsOnePagePerTableWithItsLayoutAndColours)
{
    EXPECT_EQ("Table - Noname:[Path]", Window->windowTitle());
    ShowWindow();
    ASSERT_EQ(2, Window->Pages()->count());
    EXPECT_EQ("first.OBT", Window->Pages()->tabText(0));
    EXPECT_EQ("second.OBT", Window->Pages()->tabText(1));
    EXPECT_EQ("Table - first.OBT", Window->windowTitle());

    TTableGrid* grid = Grid();
    ASSERT_EQ(4, grid->model()->rowCount());
    ASSERT_EQ(4, grid->model()->columnCount());
    EXPECT_EQ("Cluster", grid->model()->headerData(3, Qt::Horizontal).toString());
    EXPECT_EQ("k3", grid->model()->index(3, 3).data().toString());
    EXPECT_EQ(data::GridRowHeight, grid->rowHeight(2));
    EXPECT_EQ(First->FieldWidths[1] * 7, grid->columnWidth(1));
    EXPECT_EQ(60, grid->columnWidth(3));
    EXPECT_EQ(data::GridFontSize, grid->font().pointSize());
    EXPECT_GE(grid->RecordHeader()->width(), 30);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(column == 1 || column == 2,
                  grid->model()->headerData(column, Qt::Horizontal, Qt::FontRole).value<QFont>().bold())
            << column;

    // Drawn colours: the record number cell in the fill colour (dark blue, packed 0x800000)
    // when selected and white otherwise; values of an unselected record in the button face;
    // a marked point's values in the mark colour with the inverted text colour.
    EXPECT_EQ(QColor(0, 0, 0x80), RecordCellPixel(0));
    EXPECT_EQ(QColor(Qt::white), RecordCellPixel(2));
    EXPECT_EQ(QApplication::palette().color(QPalette::Button), ValueCellPixel(2, 1));
    EXPECT_EQ(QColor(0, 0xFF, 0), ValueCellPixel(1, 0));
    EXPECT_EQ(QColor(0xFF, 0, 0xFF), grid->model()->index(1, 0).data(Qt::ForegroundRole).value<QColor>());
    EXPECT_EQ(QColor(Qt::white), ValueCellPixel(0, 0));

    QSignalSpy changed(Window, &TfrmTable::CurrentTableChanged);
    Window->Pages()->setCurrentIndex(1);
    ASSERT_EQ(1, changed.count());
    EXPECT_EQ(1, changed.front().front().toInt());
    EXPECT_EQ(1, Script->CurrentTable);
    EXPECT_EQ("Table - second.OBT", Window->windowTitle());
    Window->SetCurrentPage(0);
    EXPECT_EQ(1, changed.count()) << "following the current table reports nothing back";
    EXPECT_EQ("Table - first.OBT", Window->windowTitle());

    QSignalSpy closed(Window, &TfrmTable::Closed);
    Window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(1, closed.count());
    EXPECT_TRUE(Window.isNull()) << "closing destroys the window";
}

TEST_F(TfrmTableTest, RightClickOnARecordNumberTogglesThatRecordsSelection)
{
    ShowWindow();
    Style.SetFillColor(0x00FFFF);
    // Sorted so that row 0 shows record 4 (X empty counts as the largest key).
    Grid()->setCurrentIndex(Grid()->model()->index(0, 1));
    Window->Action(TTableAction::SortAscending)->trigger();
    ASSERT_EQ("4", RecordNumbers().front());

    QSignalSpy styles(Window, &TfrmTable::StylesChanged);
    QTest::mouseClick(Grid()->RecordHeader()->viewport(), Qt::RightButton, {}, RecordCellPoint(0));
    EXPECT_EQ(0, First->PointStyles[3][SELECTED]);
    EXPECT_EQ(1, First->PointStyles[0][SELECTED]);
    EXPECT_EQ(QColor(Qt::white), RecordCellPixel(0));
    QTest::mouseClick(Grid()->RecordHeader()->viewport(), Qt::RightButton, {}, RecordCellPoint(0));
    EXPECT_EQ(1, First->PointStyles[3][SELECTED]);
    EXPECT_EQ(0x00FFFF, First->PointStyles[3][FILLCOLOR]);
    EXPECT_EQ(QColor(Qt::yellow), RecordCellPixel(0));
    EXPECT_EQ(2, styles.count());
    EXPECT_FALSE(Window->PopupMenu()->isVisible());
}

TEST_F(TfrmTableTest, PopUpMenuSortsAndMarksTheSelectedRows)
{
    ShowWindow();
    // A right click on a value of X opens the menu, with the dataset's entries.
    RightClickCell(0, 1);
    ASSERT_TRUE(Window->PopupMenu()->isVisible());
    EXPECT_TRUE(Window->Action(TTableAction::Select)->isVisible());
    EXPECT_TRUE(Window->Action(TTableAction::Syncronize)->isVisible());
    EXPECT_FALSE(Window->Action(TTableAction::SubtractFirstPC)->isEnabled()) << "no map";
    Window->Action(TTableAction::SortAscending)->trigger();
    Window->PopupMenu()->hide();
    // X is 3, 1, 2, empty: the empty value first, then the largest.
    EXPECT_EQ((QStringList{"4", "1", "3", "2"}), RecordNumbers());
    EXPECT_EQ("d", Grid()->model()->index(0, 0).data().toString());

    Grid()->setCurrentIndex(Grid()->model()->index(0, 0));
    Window->Action(TTableAction::SortDescending)->trigger();
    EXPECT_EQ((QStringList{"1", "2", "3", "4"}), RecordNumbers());

    // Rows 2 and 3 (records 3 and 4): "Mark" selects both, "Select" marks the one point.
    QSignalSpy marks(Window, &TfrmTable::MarksChanged);
    Grid()->selectionModel()->select(QItemSelection(Grid()->model()->index(2, 0), Grid()->model()->index(3, 2)),
                                     QItemSelectionModel::ClearAndSelect);
    Window->Action(TTableAction::Mark)->trigger();
    EXPECT_EQ(1, First->PointStyles[2][SELECTED]);
    EXPECT_EQ(view::PackedRed, First->PointStyles[2][FILLCOLOR]);
    EXPECT_EQ(view::PackedRed, First->PointStyles[3][FILLCOLOR]);
    EXPECT_EQ(0x800000, First->PointStyles[1][FILLCOLOR]);
    Window->Action(TTableAction::Select)->trigger();
    ASSERT_EQ((TArray1I{1, 2}), Data->MarkedPoints) << "point 1 was marked; record 4's point 2 joins";
    EXPECT_EQ(view::PackedYellow, Data->MarkColors[1]);
    EXPECT_EQ(1, marks.count());

    // The second table has no dataset: its menu leaves the dataset's entries out.
    Window->Pages()->setCurrentIndex(1);
    RightClickCell(0, 0);
    ASSERT_TRUE(Window->PopupMenu()->isVisible());
    EXPECT_FALSE(Window->Action(TTableAction::Select)->isVisible());
    EXPECT_FALSE(Window->Action(TTableAction::Syncronize)->isVisible());
    Window->PopupMenu()->hide();
}

TEST_F(TfrmTableTest, ExportsWriteTheGridAsShown)
{
    TFakeUser user;
    test::TTempDir dir;
    ShowWindow();
    Grid()->setCurrentIndex(Grid()->model()->index(0, 1));
    Window->Action(TTableAction::SortAscending)->trigger();

    user.Files = {dir.File("grid.csv")};
    Window->Action(TTableAction::InCsv)->trigger();
    EXPECT_EQ("\xEF\xBB\xBF"
              "\"\";\"Name\";\"X\";\"Y\";\"Cluster\";\r\n"
              "\"4\";\"d\";\"\";\"40\";\"k3\";\r\n"
              "\"1\";\"a\";\"3\";\"10\";\"k2\";\r\n"
              "\"3\";\"c\";\"2\";\"30\";\"\";\r\n"
              "\"2\";\"b\";\"1\";\"20\";\"k1\";\r\n",
              test::ReadBytes(dir.File("grid.csv")));

    QString opened;
    Window->OpenDocument = [&opened](const QUrl& url) {
        opened = url.toLocalFile();
        return true;
    };
    Window->Action(TTableAction::InExcel)->trigger();
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_TRUE(opened.endsWith(".xlsx"));
    EXPECT_EQ("PK", test::ReadBytes(opened.toStdString()).substr(0, 2));
    QFile::remove(opened);
    EXPECT_TRUE(user.Messages.empty());
}

TEST(TfmSelectionPropertiesTest, OkKeepsTheChoiceAndCancelDropsIt)
{
    TfmSelectionProperties dialog;
    dialog.ChooseColor = [](const QColor&, QWidget*) { return QColor(0xFF, 0, 0); };
    view::TSelectionProperties marks;
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_EQ(5, dialog.SizeBox()->value());
        dialog.ColorButton()->click();
        dialog.SizeBox()->setValue(9);
        dialog.accept();
    });
    ASSERT_TRUE(dialog.Edit(marks));
    EXPECT_EQ(0x0000FF, marks.Color);
    EXPECT_EQ(9, marks.Size);

    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.SizeBox()->setValue(20);
        dialog.reject();
    });
    EXPECT_FALSE(dialog.Edit(marks));
    EXPECT_EQ(9, marks.Size);
}

} // namespace
} // namespace orbelin::gui

// The colour-grading dialog: its rows follow the range, the count and the option, and
// "Change" recolours one row.
#include "gui/TfmColorScale.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace orbelin::gui {
namespace {

TEST(TfmColorScaleTest, RowsFollowTheRangeCountAndOptionAndChangeRecoloursOne)
{
    TfmColorScale dialog;
    // Created on 0..1 in ten "Spektrum" rows.
    ASSERT_EQ(10u, dialog.Rows().size());
    EXPECT_EQ(10, dialog.Grid()->rowCount());
    EXPECT_TRUE(dialog.Option(coloring::TGradingScheme::Spektrum)->isChecked());

    dialog.SetRange(0, 100);
    dialog.ColorsNumber()->setValue(4);
    ASSERT_EQ(4u, dialog.Rows().size());
    EXPECT_EQ((std::vector<std::string>{"0", "25", "50", "75"}),
              (std::vector<std::string>{dialog.Rows()[0].BoundText, dialog.Rows()[1].BoundText,
                                        dialog.Rows()[2].BoundText, dialog.Rows()[3].BoundText}));
    EXPECT_EQ("75", dialog.Grid()->item(3, 0)->text().toStdString());
    // The last interval ends at the top of the range: red.
    EXPECT_EQ(coloring::PackColor({255, 0, 0}), dialog.Rows()[3].Color);

    // "Change" on row 1 takes the chosen colour; the same range keeps it.
    dialog.ChooseColor = [](const QColor&, QWidget*) { return QColor(1, 2, 3); };
    dialog.Grid()->setCurrentCell(1, 0);
    dialog.findChild<QPushButton*>("Change")->click();
    EXPECT_EQ(coloring::PackColor({1, 2, 3}), dialog.Rows()[1].Color);
    EXPECT_EQ(QColor(1, 2, 3), dialog.Grid()->item(1, 1)->background().color());
    dialog.SetRange(0, 100);
    EXPECT_EQ(coloring::PackColor({1, 2, 3}), dialog.Rows()[1].Color);
    // A cancelled chooser changes nothing.
    dialog.ChooseColor = [](const QColor&, QWidget*) { return QColor(); };
    dialog.findChild<QPushButton*>("Change")->click();
    EXPECT_EQ(coloring::PackColor({1, 2, 3}), dialog.Rows()[1].Color);

    // Another option recomputes every row: "BlackWhite" runs from grey to black.
    dialog.Option(coloring::TGradingScheme::BlackWhite)->click();
    EXPECT_EQ(coloring::PackColor({191, 191, 191}), dialog.Rows()[0].Color); // 255 - nearest(63.75)
    EXPECT_EQ(coloring::PackColor({0, 0, 0}), dialog.Rows()[3].Color);
    // A new range recomputes too.
    dialog.SetRange(-1, 1);
    EXPECT_EQ("-1", dialog.Rows()[0].BoundText);
    EXPECT_EQ("0.5", dialog.Rows()[3].BoundText);
}

} // namespace
} // namespace orbelin::gui

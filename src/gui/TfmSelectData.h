// The selection dialog: records of the current table marked as selected and given a point
// style, chosen by conditions, at random or by colour, or coloured value by value.
#pragma once

#include "view/RecordSelection.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace orbelin::gui {

class TfrmMainWnd;

/// "Points and classes selection". Edits the main window's selection style, which the
/// table window also gives the records clicked there, and works on the current table
/// through view/RecordSelection.h. It stays on top of the main window; closing it calls
/// OnClosed, so that the main window releases its toggle.
class TfmSelectData : public QDialog {
    Q_OBJECT
public:
    explicit TfmSelectData(TfrmMainWnd& host);

    /// Refills both field lists from the current table (nothing chosen) and the shape list
    /// from the style.
    void Refresh();
    /// The condition rows, the random options and the chosen colour entry.
    view::TRecordChoice Choice() const;

    void btnSelectClick();
    void btnDeselectClick();
    void btnAutoClick();
    void btnAutoIntClick();

    /// Asks for a colour for the two swatches; an invalid colour means cancelled. The
    /// default is the desktop's colour dialog.
    std::function<QColor(const QColor& initial, QWidget* parent)> ChooseColor;
    std::function<void()> OnClosed;

    QComboBox* Field(int row) const { return Rows_[row].Field; }
    QComboBox* Operator(int row) const { return Rows_[row].Op; }
    QComboBox* Value(int row) const { return Rows_[row].Value; }
    QComboBox* Percentage(int row) const { return Rows_[row].Percent; }
    QRadioButton* ChoiceOption(view::TSelectChoice choice) const;
    QListWidget* ColorList() const { return Colors_; }
    QComboBox* Shape() const { return Shape_; }
    QSpinBox* Size() const { return Size_; }
    QSpinBox* RandomPercentage() const { return RandomPercent_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TRow {
        QComboBox* Field;
        QComboBox* Op;
        QComboBox* Value;
        QComboBox* Percent;
    };
    QWidget* MakeRow(int row);
    void FieldChosen(int row);
    void PercentChosen(int row);
    void ChoiceChosen();
    void FillColorList(int keepRow);
    void ShowStyle();
    void PickColor(bool fill);
    /// Runs a command on the current table; afterwards the views show the new styles.
    void OnTable(const std::function<void(data::TDataTable&)>& command);

    TfrmMainWnd& Host_;
    std::vector<view::TColorEntry> Entries_;
    TRow Rows_[2];
    QButtonGroup* Choices_;
    QRadioButton* And_;
    QPushButton* FillButton_;
    QPushButton* BorderButton_;
    QCheckBox* NoFill_;
    QCheckBox* NoBorder_;
    QComboBox* Shape_;
    QSpinBox* Size_;
    QSpinBox* RandomPercent_;
    QCheckBox* Including_;
    QListWidget* Colors_;
    QPushButton* Auto_;
    QPushButton* AutoInt_;
    std::vector<QWidget*> ConditionWidgets_;
};

} // namespace orbelin::gui

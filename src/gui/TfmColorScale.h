// The colour-grading dialog: a value range cut into intervals, each with a colour the user
// may change.
#pragma once

#include "coloring/ColorSchemes.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <vector>

class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace orbelin::gui {

/// "Color Grading Schema". The caller sets the range, shows the dialog modally and reads
/// Rows() after OK. Every change of the colour count or the option recomputes all rows
/// (coloring::BuildColorGrading); "Change" recolours the selected row.
class TfmColorScale : public QDialog {
    Q_OBJECT
public:
    explicit TfmColorScale(QWidget* parent = nullptr);

    /// A new range recomputes the rows; the same range keeps them, changed colours included.
    void SetRange(double min, double max);
    double Min() const { return Min_; }
    double Max() const { return Max_; }
    const std::vector<coloring::TGradingRow>& Rows() const { return Rows_; }

    /// Asks for a colour for "Change"; an invalid colour means cancelled. The default is
    /// the desktop's colour dialog.
    std::function<QColor(const QColor& initial, QWidget* parent)> ChooseColor;

    QSpinBox* ColorsNumber() const { return Count_; }
    QTableWidget* Grid() const { return Grid_; }
    QRadioButton* Option(coloring::TGradingScheme scheme) const;

private:
    void Recompute();
    void ShowRows();
    void btnChangeClick();

    double Min_ = 0, Max_ = 1;
    std::vector<coloring::TGradingRow> Rows_;
    QSpinBox* Count_;
    QRadioButton* Options_[3];
    QTableWidget* Grid_;
};

} // namespace orbelin::gui

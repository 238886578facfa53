// The selection properties dialog ("Select prop..."): the colour and size with which points
// are added to a dataset's point selection.
#pragma once

#include "view/SelectionStyle.h"

#include <QColor>
#include <QDialog>

#include <functional>

class QPushButton;
class QSpinBox;

namespace orbelin::gui {

/// Edits a copy of the properties; Edit writes them back only when the dialog is closed
/// with OK.
class TfmSelectionProperties : public QDialog {
    Q_OBJECT
public:
    explicit TfmSelectionProperties(QWidget* parent = nullptr);

    void SetProperties(const view::TSelectionProperties& marks);
    view::TSelectionProperties Properties() const;
    /// Shows the dialog modally on marks; true, with marks changed, after OK.
    bool Edit(view::TSelectionProperties& marks);

    /// Asks for a colour, starting from the one shown; an invalid colour means cancelled.
    /// The default is the desktop's colour dialog.
    std::function<QColor(const QColor& initial, QWidget* parent)> ChooseColor;

    QPushButton* ColorButton() const { return ColorButton_; }
    QSpinBox* SizeBox() const { return SizeBox_; }

private:
    void btnColorClick();
    void ShowColor();

    int Color_ = view::PackedYellow;
    QPushButton* ColorButton_;
    QSpinBox* SizeBox_;
};

} // namespace orbelin::gui

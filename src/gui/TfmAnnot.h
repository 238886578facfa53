// The annotation window: labels for chosen points of the current map, made from their
// table records.
#pragma once

#include "view/Annotations.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace orbelin::gui {

class TfrmMainWnd;

/// "Annotation": works on the current table, dataset and map through view/Annotations.h.
/// It stays on top of the main window and keeps its state between showings; closing it
/// calls OnClosed, so that the main window releases its toggle.
class TfmAnnot : public QDialog {
    Q_OBJECT
public:
    explicit TfmAnnot(TfrmMainWnd& host);

    /// Refills the field list from the current table: the first field ticked and selected.
    void Refresh();
    /// The controls as settings.
    view::TAnnotationSettings Settings() const;
    const view::TAnnotationState& State() const { return State_; }

    void btnApplyClick();
    void btnClearClick();
    void btnToTableClick();

    std::function<void()> OnClosed;

    QListWidget* Fields() const { return Fields_; }
    QListWidget* ColorList() const { return Colors_; }
    QSpinBox* Percentage() const { return Percentage_; }
    QSpinBox* Depth() const { return Depth_; }
    QSpinBox* FontSize() const { return FontSize_; }
    QRadioButton* PointsOption(view::TAnnotPoints points) const;
    QRadioButton* TextOption(view::TAnnotText text) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void PointsChosen();
    void FillColorList();

    TfrmMainWnd& Host_;
    view::TAnnotationState State_;
    QButtonGroup* PointsGroup_;
    QButtonGroup* TextGroup_;
    QSpinBox* Percentage_;
    QListWidget* Colors_;
    QListWidget* Fields_;
    QSpinBox* Depth_;
    QSpinBox* FontSize_;
    QSpinBox* MaxLength_;
};

} // namespace orbelin::gui

// The projection pursuit window: the FastICA settings, "Calculate", the log, and "Add to
// list", which offers the result as a view of the current dataset.
#pragma once

#include "analysis/TFastICA.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace orbelin::data {
class TData;
}

namespace orbelin::gui {

class TfrmMainWnd;

/// "Projection Pursuit methods", one page "FastICA". Works on the main window's current
/// dataset. Every "Calculate" makes a new projector, which replaces the window's current
/// one; "Add to list" hands a copy of it to the dataset it was calculated on.
class TfmProjectionPursuit : public QDialog {
    Q_OBJECT
public:
    explicit TfmProjectionPursuit(TfrmMainWnd& host);

    /// What showing the window does, and what the main window calls when the current
    /// dataset changes: the method back to the first, "New dimension" to the dataset's
    /// dimension, the sample size and iterations from the current projector. A projector
    /// of another dataset is dropped.
    void Refresh();

    void btnCalculateClick();
    void btnAddToListClick();
    void btnClearLogClick();

    /// Called after "Add to list" added a view.
    std::function<void()> OnAdded;

    analysis::TFastIcaSettings Settings() const;
    const analysis::TFastICA* Projector() const { return Projector_.get(); }
    QComboBox* Method() const { return Method_; }
    QSpinBox* Dimension() const { return Dimension_; }
    QSpinBox* SampleSize() const { return Sample_; }
    QSpinBox* MaxIterations() const { return MaxIterations_; }
    QSpinBox* VectorCount() const { return Vectors_; }
    QCheckBox* OnlyWhite() const { return OnlyWhite_; }
    QPlainTextEdit* Log() const { return Log_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    data::TData* Dataset() const;
    QPushButton* AddButton(const char* text, const char* name, void (TfmProjectionPursuit::*command)());

    TfrmMainWnd& Host_;
    std::unique_ptr<analysis::TFastICA> Projector_;
    const data::TData* ProjectorData_ = nullptr; ///< the dataset the projector was calculated on
    QTabWidget* Pages_;
    QComboBox* Method_;
    QSpinBox* Dimension_;
    QSpinBox* Sample_;
    QSpinBox* MaxIterations_;
    QSpinBox* Vectors_;
    QCheckBox* OnlyWhite_;
    QPlainTextEdit* Log_;
};

} // namespace orbelin::gui

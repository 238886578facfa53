// The principal components dialog: asks how many components to compute, then shows the
// progress of the computation.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace orbelin::gui {

/// "Calculating principal components". Created once with the main window; the desktop's
/// user-interface service hands it the component counts and progress of every computation
/// that lets the user choose the number (the "PCA" page of the statistics window).
class TfmMainCompCalc : public QDialog {
    Q_OBJECT
public:
    explicit TfmMainCompCalc(QWidget* parent = nullptr);

    /// Shown modally with the progress at 0, allowing 1 to fieldCount components (the
    /// number shown beside the setting). True after "Calculate": the dialog then stays on
    /// screen, not modal, until Finish. Any other way of closing it is false, and so is a
    /// dataset without fields.
    bool Begin(int fieldCount);
    /// The number of components the dialog shows now.
    int Count() const;
    /// The progress bar, 0 to 100.
    void SetProgress(int percent);
    /// Hides the dialog after the computation.
    void Finish();

    QSpinBox* CountBox() const { return Count_; }
    QLabel* FieldCountLabel() const { return Fields_; }
    QProgressBar* Progress() const { return Progress_; }
    QPushButton* CalculateButton() const { return Calculate_; }

private:
    QSpinBox* Count_;
    QLabel* Fields_;
    QProgressBar* Progress_;
    QPushButton* Calculate_;
};

} // namespace orbelin::gui

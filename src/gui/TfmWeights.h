// The weights window: every point of the current dataset gets a weight from a table field,
// by class or by its distance from the data centre.
#pragma once

#include "analysis/PointWeights.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace orbelin::gui {

class TfrmMainWnd;

/// "Weights": works on the current table, dataset and map through analysis/PointWeights.h.
/// The field and class-colour lists are rebuilt whenever the window is shown or
/// activated; closing it calls OnClosed, so that the main window releases its toggle.
class TfmWeights : public QDialog {
    Q_OBJECT
public:
    explicit TfmWeights(TfrmMainWnd& host);

    /// Refills the numeric fields and the class colours of the current table, keeping the
    /// chosen field and colour where they are still there.
    void Refresh();
    /// The controls as settings; raises TError when the radial rule is chosen and "A = "
    /// holds no number.
    analysis::TWeightSettings Settings() const;

    void btnAssignClick();
    /// Also what the object analysis window's clustering "Cancel" does.
    void btnClearClick();
    void btnToTableClick();
    void btnRecalcPCClick();
    /// The object analysis window's value analysis of "Weight": the points are sized by
    /// their weights.
    void btnShowValuesClick();

    std::function<void()> OnClosed;

    QRadioButton* SourceOption(analysis::TWeightSource source) const;
    QRadioButton* RuleOption(analysis::TWeightRule rule) const;
    QComboBox* FieldList() const { return Fields_; }
    QListWidget* ColorList() const { return Colors_; }
    QComboBox* FunctionList() const { return Function_; }
    QLineEdit* AEdit() const { return A_; }
    QCheckBox* CalcAverage() const { return CalcAverage_; }
    /// What the last command did, as the status line shows it.
    QString Status() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ShowStatus(const QString& text);
    void ChoicesChanged();

    TfrmMainWnd& Host_;
    QButtonGroup* Sources_;
    QButtonGroup* Rules_;
    QComboBox* Fields_;
    QListWidget* Colors_;
    TArray1I ColorValues_;
    QComboBox* Function_;
    QLineEdit* A_;
    QCheckBox* CalcAverage_;
    QLabel* Status_;
};

} // namespace orbelin::gui

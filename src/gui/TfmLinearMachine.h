// The linear separation machine window: its toolbar commands, the "Fields" and "Decision
// rules" lists, the protocol and the chart of a rule, over the machine of the analysis core.
#pragma once

#include "analysis/TLRuleMachine.h"

#include <QDialog>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;
class QToolBar;

namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data

namespace orbelin::gui {

class TRuleChartView;
class TfrmMainWnd;

/// "Linear separation machine", opened modally on the main window's current dataset. The
/// rules survive between showings; the lists, class colours and tables are taken again on
/// every showing and the settings before every command.
class TfmLinearMachine : public QDialog {
    Q_OBJECT
public:
    explicit TfmLinearMachine(TfrmMainWnd& host);

    /// What showing the window does: the class colours, the label fields, the tables and
    /// both lists. A machine of another dataset loses its rules.
    void Refresh();

    void tbbAddRuleClick();
    void tbbFindTheBestClick();
    void tbbCancelAllClick();
    void tbbCancelLastClick();
    void tbbTestClick();
    void tbbTestOnTableClick();
    void tbbDeleteClick();
    /// Selecting rule i in "Decision rules": its chart on the dataset.
    void ShowRule(int rule);

    const analysis::TLRuleMachine& Machine() const { return Machine_; }
    /// The settings as the window's controls give them.
    analysis::TMachineSettings Settings() const;
    QAction* Command(const QString& name) const;
    QListWidget* FieldList() const { return Fields_; }
    QListWidget* RuleList() const { return Rules_; }
    QPlainTextEdit* Protocol() const { return Protocol_; }
    QComboBox* ClassColor() const { return Class_; }
    QCheckBox* Discrete() const { return Discrete_; }
    QSpinBox* Iterations() const { return Iterations_; }
    QDoubleSpinBox* Step() const { return Step_; }
    QCheckBox* MakeProtocol() const { return MakeProtocol_; }
    QComboBox* LabelField() const { return Label_; }
    QComboBox* Tables() const { return Tables_; }
    QSpinBox* PointSize() const { return PointSize_; }
    QCheckBox* ShowLegend() const { return ShowLegend_; }
    TRuleChartView* Chart() const { return Chart_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    data::TData* Dataset() const;
    data::TDataTable* Table() const;
    /// Shows the message of a refused command.
    void Report(const std::string& message);
    void FillLists();
    void WriteProtocol();
    void DrawChart(int rule, const analysis::TMachineSample& sample, const data::TDataTable* table);

    TfrmMainWnd& Host_;
    analysis::TLRuleMachine Machine_;
    const data::TData* MachineData_ = nullptr; ///< the dataset the rules were fitted on
    int MachineCoords_ = 0;
    TArray1I ListedFields_; ///< the coordinate of every "Fields" entry
    QToolBar* Toolbar_;
    QListWidget* Fields_;
    QListWidget* Rules_;
    QPlainTextEdit* Protocol_;
    QComboBox* Class_;
    QCheckBox* Discrete_;
    QSpinBox* Iterations_;
    QDoubleSpinBox* Step_;
    QCheckBox* MakeProtocol_;
    QComboBox* Label_;
    QComboBox* Tables_;
    QSpinBox* PointSize_;
    QCheckBox* ShowLegend_;
    TRuleChartView* Chart_;
};

} // namespace orbelin::gui

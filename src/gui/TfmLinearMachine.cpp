// The linear separation machine window.
#include "gui/TfmLinearMachine.h"

#include "analysis/Histograms.h"
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/AnalysisSupport.h"
#include "gui/TRuleChartView.h"
#include "gui/TfrmMainWnd.h"
#include "numeric/TUserInterface.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace orbelin::gui {

namespace {

QListWidget* TitledList(QWidget* parent, const char* name, QVBoxLayout* into, const QString& title)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    auto* list = new QListWidget(box);
    list->setObjectName(name);
    layout->addWidget(list);
    into->addWidget(box, 1);
    return list;
}

} // namespace

TfmLinearMachine::TfmLinearMachine(TfrmMainWnd& host) : QDialog(&host), Host_(host)
{
    setObjectName("LinearMachine");
    setWindowTitle("Linear separation machine");
    setModal(true);

    Toolbar_ = new QToolBar(this);
    Toolbar_->setObjectName("MachineToolbar");
    const auto command = [this](const char* name, const char* hint, void (TfmLinearMachine::*slot)()) {
        QAction* action = Toolbar_->addAction(hint);
        action->setObjectName(name);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, [this, slot] { Host_.Run([this, slot] { (this->*slot)(); }); });
    };
    command("AddRule", "Add rule", &TfmLinearMachine::tbbAddRuleClick);
    command("FindTheBest", "Find the best", &TfmLinearMachine::tbbFindTheBestClick);
    Toolbar_->addSeparator();
    command("CancelAllRules", "Cancel all rules", &TfmLinearMachine::tbbCancelAllClick);
    command("CancelLast", "Cancel last", &TfmLinearMachine::tbbCancelLastClick);
    Toolbar_->addSeparator();
    command("Test", "Test", &TfmLinearMachine::tbbTestClick);
    command("TestOnTheTable", "Test on the table", &TfmLinearMachine::tbbTestOnTableClick);
    Toolbar_->addSeparator();
    command("Delete", "Delete", &TfmLinearMachine::tbbDeleteClick);

    // Settings.
    auto* settings = new QGroupBox("Settings", this);
    auto* form = new QFormLayout(settings);
    Class_ = new QComboBox(settings);
    Class_->setObjectName("ClassColor");
    form->addRow("Color of the class", Class_);
    Discrete_ = new QCheckBox("Dicrete answer", settings);
    Discrete_->setObjectName("DiscreteAnswer");
    form->addRow(Discrete_);
    Iterations_ = new QSpinBox(settings);
    Iterations_->setObjectName("Iterations");
    Iterations_->setRange(0, 1000000);
    Iterations_->setValue(100);
    form->addRow("Iterations number", Iterations_);
    Step_ = new QDoubleSpinBox(settings);
    Step_->setObjectName("Step");
    Step_->setRange(0, 1000000);
    Step_->setDecimals(4);
    Step_->setValue(1);
    form->addRow("Step", Step_);
    MakeProtocol_ = new QCheckBox("Make protocol", settings);
    MakeProtocol_->setObjectName("MakeProtocol");
    MakeProtocol_->setChecked(true);
    form->addRow(MakeProtocol_);
    Label_ = new QComboBox(settings);
    Label_->setObjectName("LabelField");
    form->addRow("Label", Label_);
    Tables_ = new QComboBox(settings);
    Tables_->setObjectName("TablesList");
    form->addRow("Tables list", Tables_);
    PointSize_ = new QSpinBox(settings);
    PointSize_->setObjectName("SizeOfPoints");
    PointSize_->setRange(1, 100);
    PointSize_->setValue(3);
    form->addRow("Size of points", PointSize_);
    ShowLegend_ = new QCheckBox("Show Legend", settings);
    ShowLegend_->setObjectName("ShowLegend");
    form->addRow(ShowLegend_);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(settings);
    Fields_ = TitledList(left, "Fields", leftLayout, "Fields");
    Fields_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Rules_ = TitledList(left, "DecisionRules", leftLayout, "Decision rules");
    connect(Rules_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Host_.Run([this, row] { ShowRule(row); });
    });

    Chart_ = new TRuleChartView(this);
    Protocol_ = new QPlainTextEdit(this);
    Protocol_->setObjectName("Protocol");
    Protocol_->setReadOnly(true);
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(Chart_);
    right->addWidget(Protocol_);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 1);
    auto* body = new QSplitter(Qt::Horizontal, this);
    body->addWidget(left);
    body->addWidget(right);
    body->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Toolbar_);
    layout->addWidget(body, 1);
    resize(900, 620);
}

QAction* TfmLinearMachine::Command(const QString& name) const
{
    return Toolbar_->findChild<QAction*>(name);
}

data::TData* TfmLinearMachine::Dataset() const
{
    return app::CurrentChain(Host_.Dispatcher().Project()).Dataset;
}

data::TDataTable* TfmLinearMachine::Table() const
{
    const data::TData* dataset = Dataset();
    return dataset ? dataset->Table : nullptr;
}

void TfmLinearMachine::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmLinearMachine::Refresh()
{
    const data::TData* dataset = Dataset();
    // Rules index the coordinates of the dataset they were fitted on.
    if (dataset != MachineData_ || (dataset && dataset->CoordCount != MachineCoords_)) {
        Machine_.CancelAll();
        MachineData_ = dataset;
        MachineCoords_ = dataset ? dataset->CoordCount : 0;
        Chart_->Clear();
    }
    const data::TDataTable* table = Table();
    FillClassBox(Class_, table ? analysis::ClassColorList(*table) : TArray1I());
    if (Class_->currentIndex() < 0 && Class_->count() > 0)
        Class_->setCurrentIndex(0);
    const QString label = Label_->currentText();
    Label_->clear();
    if (table)
        for (const std::string& name : table->FieldNames)
            Label_->addItem(QString::fromStdString(name));
    Label_->setCurrentIndex(std::max(0, Label_->findText(label)));

    Tables_->clear();
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (chain.Script)
        for (const auto& t : chain.Script->Tables)
            Tables_->addItem(QString::fromStdString(t->Name));
    if (chain.Script && chain.Table)
        Tables_->setCurrentIndex(chain.Script->IndexOfTable(chain.Table));
    FillLists();
    WriteProtocol();
}

analysis::TMachineSettings TfmLinearMachine::Settings() const
{
    analysis::TMachineSettings s;
    s.Discrete = Discrete_->isChecked();
    s.Iterations = Iterations_->value();
    s.Step = Step_->value();
    s.TargetColor = ChosenClass(Class_);
    return s;
}

void TfmLinearMachine::Report(const std::string& message)
{
    if (!message.empty())
        UserInterface().ShowMessage(message);
}

void TfmLinearMachine::FillLists()
{
    const data::TData* dataset = Dataset();
    Fields_->clear();
    ListedFields_ = Machine_.FreeFields(dataset ? dataset->CoordCount : 0);
    for (int f : ListedFields_)
        Fields_->addItem(QString::fromStdString(dataset->CoordNames[static_cast<std::size_t>(f)]));
    const QSignalBlocker block(Rules_);
    Rules_->clear();
    if (dataset)
        for (const std::string& text : Machine_.RuleTexts(dataset->CoordNames))
            Rules_->addItem(QString::fromStdString(text));
}

void TfmLinearMachine::WriteProtocol()
{
    QStringList lines;
    for (const std::string& line : Machine_.Protocol)
        lines << QString::fromStdString(line);
    Protocol_->setPlainText(lines.join('\n'));
    Protocol_->moveCursor(QTextCursor::End);
}

void TfmLinearMachine::DrawChart(int rule, const analysis::TMachineSample& sample, const data::TDataTable* table)
{
    const analysis::TRuleChart chart = Machine_.Chart(rule, sample, table, Label_->currentIndex());
    Chart_->ShowChart(chart, Machine_.Settings.TargetColor, PointSize_->value(), ShowLegend_->isChecked());
}

void TfmLinearMachine::ShowRule(int rule)
{
    const data::TData* dataset = Dataset();
    if (!dataset || rule < 0 || static_cast<std::size_t>(rule) >= Machine_.Rules.size())
        return;
    Machine_.TakeSettings(*dataset, Settings());
    DrawChart(rule, analysis::DatasetSample(*dataset, Machine_.Settings.TargetColor), dataset->Table);
}

void TfmLinearMachine::tbbAddRuleClick()
{
    const data::TData* dataset = Dataset();
    if (!dataset)
        return;
    TArray1I fields;
    for (int row = 0; row < Fields_->count(); ++row)
        if (Fields_->item(row)->isSelected())
            fields.push_back(ListedFields_[static_cast<std::size_t>(row)]);
    Report(Machine_.AddRule(*dataset, Settings(), fields));
    FillLists();
    WriteProtocol();
    if (!Machine_.Rules.empty())
        Rules_->setCurrentRow(Rules_->count() - 1);
}

void TfmLinearMachine::tbbFindTheBestClick()
{
    const data::TData* dataset = Dataset();
    if (!dataset || ListedFields_.empty())
        return;
    const std::size_t before = Machine_.Rules.size();
    Report(Machine_.FindTheBest(*dataset, Settings(), ListedFields_, MakeProtocol_->isChecked()));
    FillLists();
    WriteProtocol();
    if (Machine_.Rules.size() > before)
        Rules_->setCurrentRow(Rules_->count() - 1);
}

void TfmLinearMachine::tbbCancelAllClick()
{
    Machine_.CancelAll();
    FillLists();
    WriteProtocol();
    Chart_->Clear();
}

void TfmLinearMachine::tbbCancelLastClick()
{
    Machine_.CancelLast();
    FillLists();
    Chart_->Clear();
}

void TfmLinearMachine::tbbTestClick()
{
    const data::TData* dataset = Dataset();
    if (!dataset)
        return;
    Machine_.Test(*dataset, Settings());
    WriteProtocol();
}

void TfmLinearMachine::tbbTestOnTableClick()
{
    const data::TData* dataset = Dataset();
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    const int row = Tables_->currentIndex();
    if (!dataset || !chain.Script || row < 0 || static_cast<std::size_t>(row) >= chain.Script->Tables.size())
        return;
    const data::TDataTable& table = *chain.Script->Tables[static_cast<std::size_t>(row)];
    analysis::TMachineSample sample;
    const std::string refusal = Machine_.TestOnTable(*dataset, Settings(), table, sample);
    WriteProtocol();
    if (!refusal.empty()) {
        Report(refusal);
        return;
    }
    if (!Machine_.Rules.empty())
        DrawChart(static_cast<int>(Machine_.Rules.size()) - 1, sample, &table);
}

void TfmLinearMachine::tbbDeleteClick()
{
    // Only the list loses the entries; the next refresh of the lists brings them back.
    for (int row = Fields_->count() - 1; row >= 0; --row)
        if (Fields_->item(row)->isSelected()) {
            delete Fields_->takeItem(row);
            ListedFields_.erase(ListedFields_.begin() + row);
        }
}

} // namespace orbelin::gui

// The weights window's controls and commands.
#include "gui/TfmWeights.h"

#include "analysis/Histograms.h"
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "gui/TfmColorPoints.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

using analysis::TWeightRule;
using analysis::TWeightSource;

TfmWeights::TfmWeights(TfrmMainWnd& host)
    : QDialog(&host, Qt::Tool), Host_(host), Sources_(new QButtonGroup(this)), Rules_(new QButtonGroup(this))
{
    setObjectName("Weights");
    setWindowTitle("Weights");
    setModal(false);

    const auto option = [](QWidget* parent, QButtonGroup* group, const char* caption, const char* name, int id) {
        auto* button = new QRadioButton(caption, parent);
        button->setObjectName(name);
        group->addButton(button, id);
        return button;
    };

    auto* source = new QGroupBox(this);
    auto* sourceLayout = new QGridLayout(source);
    sourceLayout->addWidget(
        option(source, Sources_, " Assign automatically ", "AssignAutomatically", int(TWeightSource::Automatic)), 0, 0);
    sourceLayout->addWidget(
        option(source, Sources_, " Use  table field values ", "UseTableField", int(TWeightSource::TableField)), 1, 0);
    Fields_ = new QComboBox(source);
    Fields_->setObjectName("FieldList");
    sourceLayout->addWidget(Fields_, 1, 1);
    Sources_->button(int(TWeightSource::Automatic))->setChecked(true);

    auto* rules = new QGroupBox(this);
    auto* rulesLayout = new QGridLayout(rules);
    rulesLayout->addWidget(
        option(rules, Rules_, "Class proportional ", "ClassProportional", int(TWeightRule::ClassProportional)), 0, 0);
    rulesLayout->addWidget(
        option(rules, Rules_, "Radial center distribution", "RadialCenter", int(TWeightRule::RadialCenter)), 1, 0);
    rulesLayout->addWidget(option(rules, Rules_, "Only one class", "OnlyOneClass", int(TWeightRule::OnlyOneClass)), 2,
                           0);
    // Offered by the model but without effect: kept out of sight.
    option(rules, Rules_, "Density proportional", "DensityProportional", int(TWeightRule::DensityProportional))->hide();
    Rules_->button(int(TWeightRule::ClassProportional))->setChecked(true);
    Colors_ = new QListWidget(rules);
    Colors_->setObjectName("ClassColors");
    Colors_->setMaximumHeight(Colors_->fontMetrics().height() * 5);
    rulesLayout->addWidget(Colors_, 3, 0, 1, 2);

    auto* radial = new QGroupBox(this);
    auto* radialLayout = new QGridLayout(radial);
    Function_ = new QComboBox(radial);
    Function_->setObjectName("Function");
    Function_->addItems({"R^A", "Exp(R*A)", "Exp(R*R*A)"});
    radialLayout->addWidget(Function_, 0, 0, 1, 2);
    radialLayout->addWidget(new QLabel("A = ", radial), 1, 0);
    A_ = new QLineEdit("2", radial);
    A_->setObjectName("AValue");
    radialLayout->addWidget(A_, 1, 1);
    CalcAverage_ = new QCheckBox("CalcAverage", radial);
    CalcAverage_->setObjectName("CalcAverage");
    CalcAverage_->setChecked(true);
    radialLayout->addWidget(CalcAverage_, 2, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    for (const auto& [caption, name] : {std::pair{"Assign", "Assign"},
                                        {"Clear", "Clear"},
                                        {"To table", "ToTable"},
                                        {"Recalc PC", "RecalcPC"},
                                        {"Show Values", "ShowValues"}}) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        buttons->addWidget(button);
    }

    Status_ = new QLabel(this);
    Status_->setObjectName("Status");
    Status_->setWordWrap(true);

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(source);
    left->addWidget(rules);
    top->addLayout(left);
    top->addWidget(radial, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(Status_);

    connect(Sources_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            ChoicesChanged();
    });
    connect(Rules_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            ChoicesChanged();
    });
    const auto run = [this](void (TfmWeights::*command)()) {
        return [this, command] { Host_.Run([this, command] { (this->*command)(); }); };
    };
    connect(findChild<QPushButton*>("Assign"), &QPushButton::clicked, this, run(&TfmWeights::btnAssignClick));
    connect(findChild<QPushButton*>("Clear"), &QPushButton::clicked, this, run(&TfmWeights::btnClearClick));
    connect(findChild<QPushButton*>("ToTable"), &QPushButton::clicked, this, run(&TfmWeights::btnToTableClick));
    connect(findChild<QPushButton*>("RecalcPC"), &QPushButton::clicked, this, run(&TfmWeights::btnRecalcPCClick));
    connect(findChild<QPushButton*>("ShowValues"), &QPushButton::clicked, this, run(&TfmWeights::btnShowValuesClick));
    ChoicesChanged();
}

QRadioButton* TfmWeights::SourceOption(TWeightSource source) const
{
    return static_cast<QRadioButton*>(Sources_->button(int(source)));
}

QRadioButton* TfmWeights::RuleOption(TWeightRule rule) const
{
    return static_cast<QRadioButton*>(Rules_->button(int(rule)));
}

QString TfmWeights::Status() const
{
    return Status_->text();
}

void TfmWeights::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

bool TfmWeights::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Refresh();
    return QDialog::event(event);
}

void TfmWeights::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (OnClosed)
        OnClosed();
}

void TfmWeights::ChoicesChanged()
{
    const bool automatic = Sources_->checkedId() == int(TWeightSource::Automatic);
    Fields_->setEnabled(!automatic);
    for (QAbstractButton* rule : Rules_->buttons())
        rule->setEnabled(automatic);
    Colors_->setEnabled(automatic && Rules_->checkedId() == int(TWeightRule::OnlyOneClass));
    const bool radial = automatic && Rules_->checkedId() == int(TWeightRule::RadialCenter);
    for (QWidget* control : std::initializer_list<QWidget*>{Function_, A_, CalcAverage_})
        control->setEnabled(radial);
}

void TfmWeights::Refresh()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    const QString field = Fields_->currentText();
    const int colour = Colors_->currentRow() >= 0 ? ColorValues_[static_cast<std::size_t>(Colors_->currentRow())] : -1;
    Fields_->clear();
    Colors_->clear();
    ColorValues_.clear();
    if (!chain.Table)
        return;
    const data::TDataTable& table = *chain.Table;
    for (std::size_t f = 0; f < table.FieldNames.size() && f < table.FieldTypes.size(); ++f)
        if (data::IsNumericFieldType(table.FieldTypes[f]))
            Fields_->addItem(QString::fromStdString(table.FieldNames[f]));
    Fields_->setCurrentIndex(std::max(Fields_->findText(field), Fields_->count() > 0 ? 0 : -1));
    ColorValues_ = analysis::ClassColorList(table);
    for (const int value : ColorValues_) {
        auto* item = new QListWidgetItem(Colors_);
        item->setBackground(PackedColor(value));
        item->setToolTip(PackedColor(value).name());
        item->setSizeHint(QSize(0, Colors_->fontMetrics().height()));
    }
    const auto kept = std::find(ColorValues_.begin(), ColorValues_.end(), colour);
    Colors_->setCurrentRow(kept != ColorValues_.end() ? static_cast<int>(kept - ColorValues_.begin()) : -1);
}

analysis::TWeightSettings TfmWeights::Settings() const
{
    analysis::TWeightSettings settings;
    settings.Source = static_cast<TWeightSource>(Sources_->checkedId());
    settings.FieldName = Fields_->currentText().toStdString();
    settings.Rule = static_cast<TWeightRule>(Rules_->checkedId());
    if (Colors_->currentRow() >= 0 && static_cast<std::size_t>(Colors_->currentRow()) < ColorValues_.size())
        settings.ClassColor = ColorValues_[static_cast<std::size_t>(Colors_->currentRow())];
    settings.Function = static_cast<analysis::TRadialFunction>(Function_->currentIndex());
    // "A = " is read only where the rule uses it.
    const std::string a = data::TrimBlanks(A_->text().toStdString());
    if (settings.Source == TWeightSource::Automatic && settings.Rule == TWeightRule::RadialCenter &&
        !data::ParseDecimal(a, settings.A))
        throw TError("'" + a + "' is not a valid floating point value");
    settings.CalcAverage = CalcAverage_->isChecked();
    return settings;
}

void TfmWeights::ShowStatus(const QString& text)
{
    Status_->setText(text);
}

void TfmWeights::btnAssignClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Table || !chain.Dataset)
        return;
    const analysis::TWeightSettings settings = Settings();
    ShowStatus(QString());
    const analysis::TWeightAssignment result = analysis::AssignWeights(*chain.Dataset, chain.Map, settings);
    QString text;
    if (!result.FieldFound)
        text = QString("There is no field %1: the weights stay as they were.")
                   .arg(QString::fromStdString(settings.FieldName));
    else
        text = QString("%1 points weighted.").arg(chain.Dataset->PointWeights.size());
    if (!result.MapFlagged)
        text += " No map is current: k-means and the principal components use the weights; assign them again "
                "with a map current to train it with them.";
    ShowStatus(text);
}

void TfmWeights::btnClearClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Dataset)
        return;
    analysis::ClearWeights(*chain.Dataset, chain.Map);
    ShowStatus("The points carry no weights.");
    // The clusters go as well: the object analysis window's "Cancel" drops its centroids and
    // redraws the points.
    if (TfmColorPoints* objects = Host_.ObjectAnalysisWindow())
        objects->btnCancelClick();
    else
        Host_.DataPointsChanged();
}

void TfmWeights::btnToTableClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Dataset)
        return;
    analysis::WeightsToTable(*chain.Dataset);
    Host_.RefreshDatasetWindows();
}

void TfmWeights::btnRecalcPCClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Dataset)
        return;
    if (!chain.Map) {
        ShowStatus("No map is current: the principal components are a map's.");
        return;
    }
    analysis::RecalcWeightedComponents(*chain.Map);
    Host_.MapViewChanged();
}

void TfmWeights::btnShowValuesClick()
{
    TfmColorPoints* objects = Host_.ObjectAnalysisWindow();
    if (!objects)
        return;
    objects->Quantity()->setCurrentIndex(int(analysis::TValueQuantity::Weight));
    objects->Pages()->setCurrentIndex(TfmColorPoints::ValuesPage);
    objects->btnValuesAnalyzeClick();
}

} // namespace orbelin::gui

// The object analysis window's "Values analysis", "LDA" and "LR" pages.
#include "gui/TfmColorPoints.h"

#include "analysis/Discriminant.h"
#include "analysis/Marking.h"
#include "analysis/Regression.h"
#include "app/TDispatcher.h"
#include "coloring/Coloring.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/AnalysisSupport.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TfrmMainWnd.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace orbelin::gui {

namespace {

QSpinBox* SizeBox(const char* name, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, 100);
    box->setValue(value);
    return box;
}

QLabel* ResultLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

QWidget* TfmColorPoints::MakeValuesPage()
{
    auto* page = new QWidget(this);
    Quantity_ = new QComboBox(page);
    Quantity_->setObjectName("Quantity");
    for (const std::string& name : analysis::ValueQuantityNames())
        Quantity_->addItem(QString::fromStdString(name));
    ValueField_ = new QComboBox(page);
    ValueField_->setObjectName("ValueField");
    MinSize_ = SizeBox("MinimalSize", 5, page);
    MaxSize_ = SizeBox("MaximalSize", 20, page);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Value", page), 0, 0);
    grid->addWidget(Quantity_, 0, 1);
    grid->addWidget(ValueField_, 1, 1);
    grid->addWidget(new QLabel("Minimal size", page), 2, 0);
    grid->addWidget(MinSize_, 2, 1);
    grid->addWidget(new QLabel("Maximal size", page), 3, 0);
    grid->addWidget(MaxSize_, 3, 1);
    const char* captions[] = {"Min:", "Max:", "Mean:"};
    for (int i = 0; i < 3; ++i) {
        Range_[i] = ResultLabel(QString("Range%1").arg(i), page);
        grid->addWidget(new QLabel(captions[i], page), 4 + i, 0);
        grid->addWidget(Range_[i], 4 + i, 1);
    }
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton(page, "Analyze", "ValuesAnalyze", &TfmColorPoints::btnValuesAnalyzeClick));
    buttons->addWidget(AddButton(page, "Cancel", "ValuesCancel", &TfmColorPoints::btnValuesCancelClick));
    buttons->addWidget(AddButton(page, "Remember sizes", "RememberSizes", &TfmColorPoints::btnRememberSizesClick));
    buttons->addWidget(AddButton(page, "Values in table", "ValuesInTable", &TfmColorPoints::btnValuesInTableClick));
    buttons->addWidget(MakeResultButtons(page));
    auto* close = new QPushButton("Close", page);
    close->setObjectName("ValuesClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    const auto quantityChosen = [this] {
        ValueField_->setEnabled(Quantity_->currentIndex() == int(analysis::TValueQuantity::FieldValue));
    };
    connect(Quantity_, &QComboBox::currentIndexChanged, this, quantityChosen);
    quantityChosen();
    // The chosen field becomes the one field the points' hints show.
    connect(ValueField_, &QComboBox::activated, this, [this] {
        const int field = ValueField_->currentData().toInt();
        QListWidget* marks = Host_.SelectionsPanel()->Marks();
        for (int i = 0; i < marks->count(); ++i)
            marks->item(i)->setCheckState(i == field ? Qt::Checked : Qt::Unchecked);
    });
    return page;
}

QWidget* TfmColorPoints::MakeLdaPage()
{
    auto* page = new QWidget(this);
    LdaClass_ = new QComboBox(page);
    LdaClass_->setObjectName("LdaClass");
    Iterations_ = new QSpinBox(page);
    Iterations_->setObjectName("Iterations");
    Iterations_->setRange(0, 1000000);
    Iterations_->setValue(100);
    Step_ = new QDoubleSpinBox(page);
    Step_->setObjectName("Step");
    Step_->setRange(0, 1000);
    Step_->setValue(1);
    LdaFields_ = MakeCheckList("SeparatingFunction", page);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Separate class with color", page));
    top->addWidget(LdaClass_);
    top->addWidget(new QLabel("from others", page));
    top->addStretch();
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel("Iteration number", page));
    options->addWidget(Iterations_);
    options->addWidget(new QLabel("Step", page));
    options->addWidget(Step_);
    options->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton(page, "Analyze", "LdaAnalyze", &TfmColorPoints::btnLdaAnalyzeClick));
    buttons->addWidget(AddButton(page, "Cancel", "LdaCancel", &TfmColorPoints::btnValuesCancelClick));
    buttons->addWidget(AddButton(page, "Test", "LdaTest", &TfmColorPoints::btnLdaTestClick));
    buttons->addWidget(AddButton(page, "Values in table", "LdaInTable", &TfmColorPoints::btnLdaInTableClick));
    auto* close = new QPushButton("Close", page);
    close->setObjectName("LdaClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* middle = new QHBoxLayout;
    auto* list = new QVBoxLayout;
    list->addWidget(new QLabel("Separating function", page));
    list->addWidget(LdaFields_);
    middle->addLayout(list, 1);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(options);
    layout->addLayout(middle, 1);
    for (int i = 0; i < 3; ++i) {
        LdaLines_[i] = ResultLabel(QString("LdaLine%1").arg(i), page);
        layout->addWidget(LdaLines_[i]);
    }
    return page;
}

QWidget* TfmColorPoints::MakeLrPage()
{
    auto* page = new QWidget(this);
    LrField_ = new QComboBox(page);
    LrField_->setObjectName("CalculateField");
    LrFields_ = MakeCheckList("FunctionArguments", page);
    Quality_ = new QDoubleSpinBox(page);
    Quality_->setObjectName("ForQuality");
    Quality_->setDecimals(4);
    Quality_->setRange(0, std::numeric_limits<double>::max());
    Quality_->setSingleStep(0.01);
    Quality_->setValue(0.01);
    LrAmplitude_ = ResultLabel("LrAmplitude", page);
    LrErrors_ = ResultLabel("LrErrors", page);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Calculate field", page));
    top->addWidget(LrField_, 1);
    auto* quality = new QHBoxLayout;
    quality->addWidget(new QLabel("For quality", page));
    quality->addWidget(Quality_);
    quality->addWidget(LrAmplitude_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton(page, "Analyze", "LrAnalyze", &TfmColorPoints::btnLrAnalyzeClick));
    buttons->addWidget(AddButton(page, "Cancel", "LrCancel", &TfmColorPoints::btnCancelClick));
    buttons->addWidget(AddButton(page, "Test", "LrTest", &TfmColorPoints::btnLrTestClick));
    buttons->addWidget(AddButton(page, "Values in table", "LrInTable", &TfmColorPoints::btnLrInTableClick));
    auto* close = new QPushButton("Close", page);
    close->setObjectName("LrClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* middle = new QHBoxLayout;
    auto* list = new QVBoxLayout;
    list->addWidget(new QLabel("Function arguments", page));
    list->addWidget(LrFields_);
    middle->addLayout(list, 1);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(quality);
    layout->addWidget(LrErrors_);
    connect(Quality_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!Filling_)
            Host_.Run([this] { ShowQuality(); });
    });
    return page;
}

void TfmColorPoints::FunctionChanged(int coloring)
{
    const map::TMap* map = app::CurrentChain(Host_.Dispatcher().Project()).Map;
    if (map && map->ColoringCode == coloring)
        Host_.RefreshMapViews();
}

void TfmColorPoints::btnValuesAnalyzeClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    analysis::TValueSettings s;
    s.Quantity = static_cast<analysis::TValueQuantity>(std::max(0, Quantity_->currentIndex()));
    s.Field = ValueField_->currentIndex() >= 0 ? ValueField_->currentData().toInt() : -1;
    s.MinSize = MinSize_->value();
    s.MaxSize = MaxSize_->value();
    const bool onMap = s.Quantity == analysis::TValueQuantity::NodeDistance ||
                       s.Quantity == analysis::TValueQuantity::ProjectionDistance ||
                       s.Quantity == analysis::TValueQuantity::Unstability;
    analysis::TValueAnalysis values =
        analysis::AnalyzeValues(*dataset, onMap ? Grid("measure the points against it") : nullptr, s);
    if (!values.Message.empty()) {
        UserInterface().ShowMessage(values.Message);
        return;
    }
    Values_ = std::move(values);
    analysis::MarkValues(*dataset, Values_);
    Range_[0]->setText(QString::fromStdString(Values_.LoText()));
    Range_[1]->setText(QString::fromStdString(Values_.HiText()));
    Range_[2]->setText(QString::fromStdString(Values_.MeanText()));
    PointsChanged();
}

void TfmColorPoints::btnValuesCancelClick()
{
    if (data::TData* dataset = Dataset()) {
        data::ClearMarks(*dataset);
        PointsChanged();
    }
}

void TfmColorPoints::btnRememberSizesClick()
{
    if (data::TData* dataset = Dataset()) {
        analysis::RememberMarks(*dataset, RADIUS);
        PointsChanged();
    }
}

void TfmColorPoints::btnValuesInTableClick()
{
    data::TData* dataset = Dataset();
    if (!dataset || Values_.Values.size() != dataset->Points.size())
        return;
    analysis::ValuesInTable(*dataset, Values_);
    Host_.RefreshDatasetWindows();
}

void TfmColorPoints::btnLdaAnalyzeClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    analysis::TLdaSettings s;
    s.ClassColor = ChosenClass(LdaClass_);
    s.UseFields = CheckedItems(LdaFields_, dataset->CoordCount);
    s.Iterations = Iterations_->value();
    s.Step = Step_->value();
    const analysis::TLdaResult r = analysis::AnalyzeLda(*dataset, s);
    if (!r.Message.empty()) {
        UserInterface().ShowMessage(r.Message);
        return;
    }
    LdaCoefficients_ = r.Coefficients;
    LdaColor_ = s.ClassColor;
    SetItemTexts(LdaFields_, r.Items);
    for (int i = 0; i < 3; ++i)
        LdaLines_[i]->setText(QString::fromStdString(r.Lines[static_cast<std::size_t>(i)]));
    PointsChanged();
    FunctionChanged(coloring::ColoringLDA);
}

void TfmColorPoints::btnLdaTestClick()
{
    data::TData* dataset = Dataset();
    const int color = ChosenClass(LdaClass_);
    if (!dataset || LdaCoefficients_.empty() || color == -1)
        return;
    const analysis::TLdaTest t = analysis::TestLda(*dataset, LdaCoefficients_, color);
    for (int i = 0; i < 3; ++i)
        LdaLines_[i]->setText(QString::fromStdString(t.Lines[static_cast<std::size_t>(i)]));
    PointsChanged();
}

void TfmColorPoints::btnLdaInTableClick()
{
    data::TData* dataset = Dataset();
    if (!dataset || LdaCoefficients_.empty())
        return;
    analysis::LdaInTable(*dataset, LdaCoefficients_);
    Host_.RefreshDatasetWindows();
}

void TfmColorPoints::btnLrAnalyzeClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    analysis::TLrSettings s;
    s.TargetField = LrField_->currentIndex() >= 0 ? LrField_->currentData().toInt() : -1;
    s.UseFields = CheckedItems(LrFields_, dataset->CoordCount);
    const analysis::TLrResult r = analysis::AnalyzeLr(*dataset, s);
    for (std::size_t f = 0; f < r.UseFields.size() && f < s.UseFields.size(); ++f)
        if (s.UseFields[f] && !r.UseFields[f])
            LrFields_->item(static_cast<int>(f))->setCheckState(Qt::Unchecked);
    if (!r.Message.empty()) {
        UserInterface().ShowMessage(r.Message);
        return;
    }
    LrCoefficients_ = r.Coefficients;
    LrTargets_ = r.Targets;
    SetItemTexts(LrFields_, r.Items);
    {
        const QSignalBlocker block(Quality_);
        Quality_->setValue(r.Threshold);
    }
    ShowQuality();
    FunctionChanged(coloring::ColoringLRA);
}

void TfmColorPoints::ShowQuality()
{
    data::TData* dataset = Dataset();
    if (!dataset || LrCoefficients_.empty() || LrTargets_.size() != dataset->Points.size())
        return;
    const analysis::TLrQuality q = analysis::LrQuality(*dataset, LrCoefficients_, LrTargets_, Quality_->value());
    LrAmplitude_->setText(QString::fromStdString(q.AmplitudeText));
    LrErrors_->setText(QString::fromStdString(q.ErrorsText));
    analysis::MarkLrQuality(*dataset, q, LrTargets_, Quality_->value());
    PointsChanged();
}

void TfmColorPoints::btnLrTestClick()
{
    ShowQuality();
}

void TfmColorPoints::btnLrInTableClick()
{
    data::TData* dataset = Dataset();
    if (!dataset || LrCoefficients_.empty())
        return;
    analysis::LrInTable(*dataset, LrCoefficients_);
    Host_.RefreshDatasetWindows();
}

} // namespace orbelin::gui

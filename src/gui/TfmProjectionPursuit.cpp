// The projection pursuit window.
#include "gui/TfmProjectionPursuit.h"

#include "app/TDispatcher.h"
#include "data/TData.h"
#include "gui/TfrmMainWnd.h"
#include "numeric/TUserInterface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

QSpinBox* SpinBox(QWidget* parent, const char* name, int low, int high, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

TfmProjectionPursuit::TfmProjectionPursuit(TfrmMainWnd& host) : QDialog(&host, Qt::Window), Host_(host)
{
    setObjectName("ProjectionPursuit");
    setWindowTitle("Projection Pursuit methods");
    setModal(false);

    Pages_ = new QTabWidget(this);
    auto* page = new QWidget(Pages_);
    auto* form = new QFormLayout;
    Method_ = new QComboBox(page);
    Method_->setObjectName("Method");
    Method_->addItems({"Method with function G=log(cosh(u))", "Method with function G=-exp(-u*u/2)"});
    form->addRow("Method", Method_);
    Dimension_ = SpinBox(page, "NewDimension", 0, 10000, 0);
    form->addRow("New dimension", Dimension_);
    Sample_ = SpinBox(page, "SampleSize", 0, 100, 100);
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(Sample_);
    sampleRow->addWidget(new QLabel("% of all", page));
    form->addRow("Sample size", sampleRow);
    MaxIterations_ = SpinBox(page, "MaxIterations", 0, 100, 100);
    form->addRow("Max.iterations", MaxIterations_);
    Vectors_ = SpinBox(page, "VectorCount", 0, 100, 3);
    form->addRow("How many vectors to calculate", Vectors_);
    OnlyWhite_ = new QCheckBox("Only white", page);
    OnlyWhite_->setObjectName("OnlyWhite");
    form->addRow(OnlyWhite_);
    Log_ = new QPlainTextEdit(page);
    Log_->setObjectName("Log");
    Log_->setReadOnly(true);
    Log_->setFont(QFont("Monospace"));
    Log_->setMinimumHeight(200);
    auto* buttons = new QHBoxLayout;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(form);
    pageLayout->addLayout(buttons);
    pageLayout->addWidget(Log_, 1);
    Pages_->addTab(page, "FastICA");

    buttons->addWidget(AddButton("Calculate", "Calculate", &TfmProjectionPursuit::btnCalculateClick));
    buttons->addWidget(AddButton("Add to list", "AddToList", &TfmProjectionPursuit::btnAddToListClick));
    buttons->addWidget(AddButton("Clear log", "ClearLog", &TfmProjectionPursuit::btnClearLogClick));
    auto* close = new QPushButton("Close", page);
    close->setObjectName("Close");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_);
    resize(520, 560);
}

QPushButton* TfmProjectionPursuit::AddButton(const char* text, const char* name,
                                             void (TfmProjectionPursuit::*command)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [this, command] { Host_.Run([this, command] { (this->*command)(); }); });
    return button;
}

data::TData* TfmProjectionPursuit::Dataset() const
{
    return app::CurrentChain(Host_.Dispatcher().Project()).Dataset;
}

void TfmProjectionPursuit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmProjectionPursuit::Refresh()
{
    const data::TData* dataset = Dataset();
    if (dataset != ProjectorData_) {
        Projector_.reset();
        ProjectorData_ = nullptr;
    }
    Method_->setCurrentIndex(0);
    Dimension_->setValue(dataset ? dataset->CoordCount : 0);
    const analysis::TFastICA fresh;
    const analysis::TFastICA& current = Projector_ ? *Projector_ : fresh;
    Sample_->setValue(static_cast<int>(current.SampleSize));
    MaxIterations_->setValue(current.MaxIterations);
}

analysis::TFastIcaSettings TfmProjectionPursuit::Settings() const
{
    analysis::TFastIcaSettings s;
    s.Method = Method_->currentIndex();
    s.Dimension = Dimension_->value();
    s.SampleSize = Sample_->value();
    s.MaxIterations = MaxIterations_->value();
    s.VectorCount = Vectors_->value();
    s.OnlyWhite = OnlyWhite_->isChecked();
    return s;
}

void TfmProjectionPursuit::btnCalculateClick()
{
    const data::TData* dataset = Dataset();
    if (!dataset)
        return;
    analysis::TFastIcaRun run = analysis::CalculateFastIca(*dataset, Settings());
    for (const std::string& line : run.Lines)
        Log_->appendPlainText(QString::fromStdString(line));
    if (!run.Message.empty()) {
        UserInterface().ShowMessage(run.Message);
        return;
    }
    Projector_ = std::move(run.Projector);
    ProjectorData_ = dataset;
}

void TfmProjectionPursuit::btnAddToListClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    if (!Projector_) {
        UserInterface().ShowMessage("Nothing to add yet: \"Calculate\" finds the directions first.");
        return;
    }
    if (ProjectorData_ != dataset) {
        UserInterface().ShowMessage("The directions were calculated for another dataset: \"Calculate\" them for "
                                    "dataset " + dataset->Name + " first.");
        return;
    }
    if (Projector_->Directions.empty()) {
        UserInterface().ShowMessage("No direction was calculated, so there is no view to add.");
        return;
    }
    // The dataset owns what it lists; adding twice lists the same result twice.
    dataset->Projectors.push_back(std::make_unique<analysis::TFastICA>(*Projector_));
    if (OnAdded)
        OnAdded();
}

void TfmProjectionPursuit::btnClearLogClick()
{
    Log_->clear();
}

} // namespace orbelin::gui

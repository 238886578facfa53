// The principal components dialog.
#include "gui/TfmMainCompCalc.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace orbelin::gui {

TfmMainCompCalc::TfmMainCompCalc(QWidget* parent)
    : QDialog(parent), Count_(new QSpinBox(this)), Fields_(new QLabel(this)), Progress_(new QProgressBar(this)),
      Calculate_(new QPushButton("Calculate", this))
{
    setObjectName("MainCompCalc");
    setWindowTitle("Calculating principal components");
    Count_->setObjectName("ComponentCount");
    Count_->setRange(1, 3);
    Count_->setValue(3);
    Fields_->setObjectName("FieldCount");
    Progress_->setObjectName("ComponentsProgress");
    Progress_->setRange(0, 100);
    Calculate_->setObjectName("Calculate");
    Calculate_->setDefault(true);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Number of components:", this));
    row->addWidget(Count_);
    row->addWidget(Fields_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(Progress_);
    layout->addWidget(Calculate_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(Calculate_, &QPushButton::clicked, this, &QDialog::accept);
}

bool TfmMainCompCalc::Begin(int fieldCount)
{
    if (fieldCount < 1)
        return false;
    Progress_->setValue(0);
    // The last number chosen stays proposed while the fields allow it; a new dialog proposes 3.
    const int proposed = std::clamp(Count_->value(), 1, fieldCount);
    Count_->setRange(1, fieldCount);
    Count_->setValue(proposed);
    Fields_->setText("of " + QString::number(fieldCount));
    Calculate_->setEnabled(true);
    setModal(true);
    if (exec() != QDialog::Accepted)
        return false;
    // While the components are computed the dialog shows the progress; the number can
    // still be changed, and is read again before every component.
    Calculate_->setEnabled(false);
    setModal(false);
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

int TfmMainCompCalc::Count() const
{
    return Count_->value();
}

void TfmMainCompCalc::SetProgress(int percent)
{
    Progress_->setValue(std::clamp(percent, 0, 100));
}

void TfmMainCompCalc::Finish()
{
    hide();
    Calculate_->setEnabled(true);
}

} // namespace orbelin::gui

// The selection properties dialog.
#include "gui/TfmSelectionProperties.h"

#include "gui/TfrmTableGrid.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

int ToPacked(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace

TfmSelectionProperties::TfmSelectionProperties(QWidget* parent)
    : QDialog(parent), ColorButton_(new QPushButton(this)), SizeBox_(new QSpinBox(this))
{
    setWindowTitle(QStringLiteral("Selection properties"));
    ChooseColor = [](const QColor& initial, QWidget* owner) { return QColorDialog::getColor(initial, owner); };

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Color:"), ColorButton_);
    SizeBox_->setRange(view::MinSelectionSize, view::MaxSelectionSize);
    form->addRow(QStringLiteral("Size: "), SizeBox_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ColorButton_, &QPushButton::clicked, this, &TfmSelectionProperties::btnColorClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetProperties(view::TSelectionProperties());
}

void TfmSelectionProperties::SetProperties(const view::TSelectionProperties& marks)
{
    Color_ = marks.Color & 0xFFFFFF;
    SizeBox_->setValue(marks.Size);
    ShowColor();
}

view::TSelectionProperties TfmSelectionProperties::Properties() const
{
    view::TSelectionProperties marks;
    marks.Color = Color_;
    marks.Size = SizeBox_->value();
    return marks;
}

bool TfmSelectionProperties::Edit(view::TSelectionProperties& marks)
{
    SetProperties(marks);
    if (exec() != QDialog::Accepted)
        return false;
    marks = Properties();
    return true;
}

void TfmSelectionProperties::btnColorClick()
{
    if (!ChooseColor)
        return;
    const QColor chosen = ChooseColor(PackedColor(Color_), this);
    if (!chosen.isValid())
        return;
    Color_ = ToPacked(chosen);
    ShowColor();
}

void TfmSelectionProperties::ShowColor()
{
    QPixmap swatch(40, 14);
    swatch.fill(PackedColor(Color_));
    ColorButton_->setIcon(QIcon(swatch));
    ColorButton_->setIconSize(swatch.size());
    ColorButton_->setToolTip(PackedColor(Color_).name());
}

} // namespace orbelin::gui

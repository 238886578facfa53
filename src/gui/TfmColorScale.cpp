// The colour-grading dialog over the core's grading computation.
#include "gui/TfmColorScale.h"

#include "gui/TfrmTableGrid.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

TfmColorScale::TfmColorScale(QWidget* parent)
    : QDialog(parent), Count_(new QSpinBox(this)), Grid_(new QTableWidget(0, 2, this))
{
    setWindowTitle("Color Grading Schema");
    setObjectName("ColorScale");
    ChooseColor = [](const QColor& initial, QWidget* owner) { return QColorDialog::getColor(initial, owner); };

    Count_->setObjectName("ColorsNumber");
    Count_->setRange(2, 256);
    Count_->setValue(10);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel("Colors number", this));
    countRow->addWidget(Count_);

    auto* options = new QGroupBox(this);
    auto* optionLayout = new QVBoxLayout(options);
    const char* names[] = {"BlackWhite", "GreenRed", "Spektrum"};
    for (int i = 0; i < 3; ++i) {
        Options_[i] = new QRadioButton(names[i], options);
        Options_[i]->setObjectName(names[i]);
        optionLayout->addWidget(Options_[i]);
        connect(Options_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Recompute();
        });
    }

    Grid_->setObjectName("Intervals");
    Grid_->setHorizontalHeaderLabels({"From", "Color"});
    Grid_->verticalHeader()->hide();
    Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid_->horizontalHeader()->setStretchLastSection(true);

    auto* change = new QPushButton("Change", this);
    change->setObjectName("Change");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* side = new QVBoxLayout;
    side->addLayout(countRow);
    side->addWidget(options);
    side->addWidget(change);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(Grid_, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
    resize(380, 360);

    connect(Count_, &QSpinBox::valueChanged, this, [this] { Recompute(); });
    connect(change, &QPushButton::clicked, this, [this] { btnChangeClick(); });
    connect(Grid_, &QTableWidget::cellDoubleClicked, this, [this] { btnChangeClick(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Options_[2]->setChecked(true);
}

QRadioButton* TfmColorScale::Option(coloring::TGradingScheme scheme) const
{
    return Options_[static_cast<int>(scheme)];
}

void TfmColorScale::SetRange(double min, double max)
{
    if (min == Min_ && max == Max_ && !Rows_.empty())
        return;
    Min_ = min;
    Max_ = max;
    Recompute();
}

void TfmColorScale::Recompute()
{
    coloring::TGradingScheme scheme = coloring::TGradingScheme::Spektrum;
    for (int i = 0; i < 3; ++i)
        if (Options_[i]->isChecked())
            scheme = static_cast<coloring::TGradingScheme>(i);
    Rows_ = coloring::BuildColorGrading(Min_, Max_, Count_->value(), scheme);
    ShowRows();
}

void TfmColorScale::ShowRows()
{
    Grid_->setRowCount(static_cast<int>(Rows_.size()));
    for (int r = 0; r < static_cast<int>(Rows_.size()); ++r) {
        const coloring::TGradingRow& row = Rows_[static_cast<std::size_t>(r)];
        Grid_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(row.BoundText)));
        auto* swatch = new QTableWidgetItem;
        swatch->setBackground(PackedColor(row.Color));
        Grid_->setItem(r, 1, swatch);
    }
}

void TfmColorScale::btnChangeClick()
{
    const int r = Grid_->currentRow();
    if (r < 0 || r >= static_cast<int>(Rows_.size()) || !ChooseColor)
        return;
    coloring::TGradingRow& row = Rows_[static_cast<std::size_t>(r)];
    const QColor chosen = ChooseColor(PackedColor(row.Color), this);
    if (!chosen.isValid())
        return;
    row.Color = coloring::PackColor({chosen.red(), chosen.green(), chosen.blue()});
    Grid_->item(r, 1)->setBackground(chosen);
}

} // namespace orbelin::gui

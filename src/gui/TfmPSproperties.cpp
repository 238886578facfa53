// The PostScript options dialog.
#include "gui/TfmPSproperties.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbelin::gui {

TfmPSproperties::TfmPSproperties(QWidget* parent)
    : QDialog(parent), UseSymbols_(new QCheckBox("Use symbols instead of colors", this)), Group_(new QGroupBox(this)),
      Colors_(new QListWidget(this)), Symbol_(new QLineEdit(this)), InColor_(new QCheckBox("Color", this)),
      FontScale_(new QLineEdit(this))
{
    setObjectName("PSProperties");
    setWindowTitle("Specify PS import properties");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(UseSymbols_);
    auto* form = new QFormLayout(Group_);
    Colors_->setObjectName("SymbolColors");
    Colors_->setIconSize(QSize(32, 14));
    Colors_->setMaximumHeight(120);
    form->addRow("Color", Colors_);
    Symbol_->setObjectName("Symbol");
    form->addRow("Symbol", Symbol_);
    InColor_->setObjectName("SymbolsInColor");
    form->addRow(InColor_);
    FontScale_->setObjectName("FontScale");
    form->addRow("Font scale", FontScale_);
    layout->addWidget(Group_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);

    connect(UseSymbols_, &QCheckBox::toggled, Group_, &QWidget::setEnabled);
    connect(Colors_, &QListWidget::currentRowChanged, this, [this](int row) { ColorChosen(row); });
    connect(Symbol_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = Colors_->currentRow();
        if (row >= 0 && row < static_cast<int>(Options_.Symbols.size()))
            Options_.Symbols[static_cast<std::size_t>(row)] = text.toStdString();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

void TfmPSproperties::Show(const view::TPostScriptOptions& options)
{
    Options_ = options;
    UseSymbols_->setChecked(options.UseSymbols);
    Group_->setEnabled(options.UseSymbols);
    InColor_->setChecked(options.SymbolsInColor);
    FontScale_->setText(QString::fromStdString(options.FontScale));
    Colors_->clear();
    for (int packed : options.SymbolColors) {
        QPixmap swatch(32, 14);
        swatch.fill(QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF));
        Colors_->addItem(new QListWidgetItem(QIcon(swatch), QString()));
    }
    Colors_->setCurrentRow(Colors_->count() > 0 ? 0 : -1);
    ColorChosen(Colors_->currentRow());
}

void TfmPSproperties::ColorChosen(int row)
{
    const bool has = row >= 0 && row < static_cast<int>(Options_.Symbols.size());
    Symbol_->setText(has ? QString::fromStdString(Options_.Symbols[static_cast<std::size_t>(row)]) : QString());
    Symbol_->setEnabled(has);
}

bool TfmPSproperties::Edit(view::TPostScriptOptions& options)
{
    Show(options);
    if (exec() != QDialog::Accepted)
        return false;
    Options_.UseSymbols = UseSymbols_->isChecked();
    Options_.SymbolsInColor = InColor_->isChecked();
    Options_.FontScale = FontScale_->text().trimmed().toStdString();
    options = Options_;
    return true;
}

} // namespace orbelin::gui

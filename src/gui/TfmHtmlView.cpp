// The HTML page's options dialog.
#include "gui/TfmHtmlView.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbelin::gui {

TfmHtmlView::TfmHtmlView(QWidget* parent)
    : QDialog(parent), MainField_(new QComboBox(this)), Radius_(new QLineEdit("5", this)),
      Description_(new QListWidget(this)), Additional_(new QListWidget(this))
{
    setObjectName("HtmlViewDialog");
    setWindowTitle("generating an HTML Viewer");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    MainField_->setObjectName("MainAnnotationField");
    form->addRow("Main annotation field", MainField_);
    Radius_->setObjectName("AreaRadius");
    // The radius goes into the page as it is typed.
    Radius_->setValidator(new QIntValidator(0, 10000, Radius_));
    form->addRow("Area radius", Radius_);
    layout->addLayout(form);
    auto* lists = new QHBoxLayout;
    for (auto [list, caption, name] : {std::tuple{Description_, "Content of the description box", "DescriptionFields"},
                                       std::tuple{Additional_, "Content of the additional box", "AdditionalFields"}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(caption, this));
        list->setObjectName(name);
        column->addWidget(list);
        lists->addLayout(column);
    }
    layout->addLayout(lists, 1);
    auto* generate = new QPushButton("Generate", this);
    generate->setObjectName("Generate");
    generate->setDefault(true);
    layout->addWidget(generate, 0, Qt::AlignRight);
    connect(generate, &QPushButton::clicked, this, &QDialog::accept);
}

void TfmHtmlView::Fill(const data::TDataTable& table)
{
    MainField_->clear();
    Description_->clear();
    Additional_->clear();
    for (const std::string& name : table.FieldNames) {
        const QString text = QString::fromStdString(name);
        MainField_->addItem(text);
        for (QListWidget* list : {Description_, Additional_}) {
            auto* item = new QListWidgetItem(text, list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }
    MainField_->setCurrentIndex(MainField_->count() > 0 ? 0 : -1);
}

view::THtmlViewOptions TfmHtmlView::Options() const
{
    view::THtmlViewOptions options;
    options.MainField = MainField_->currentText().toStdString();
    options.AreaRadius = Radius_->text().trimmed().toStdString();
    const auto ticked = [](const QListWidget* list) {
        TArray1S names;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                names.push_back(list->item(i)->text().toStdString());
        return names;
    };
    options.DescriptionFields = ticked(Description_);
    options.AdditionalFields = ticked(Additional_);
    return options;
}

bool TfmHtmlView::Edit(const data::TDataTable& table, view::THtmlViewOptions& options)
{
    Fill(table);
    if (exec() != QDialog::Accepted)
        return false;
    options = Options();
    return true;
}

} // namespace orbelin::gui

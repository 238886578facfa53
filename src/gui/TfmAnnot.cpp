// The annotation window's controls and commands.
#include "gui/TfmAnnot.h"

#include "app/TDispatcher.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

QSpinBox* Spin(QWidget* parent, const char* name, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, 100);
    box->setValue(value);
    return box;
}

} // namespace

TfmAnnot::TfmAnnot(TfrmMainWnd& host)
    : QDialog(&host, Qt::Tool | Qt::WindowStaysOnTopHint), Host_(host), PointsGroup_(new QButtonGroup(this)),
      TextGroup_(new QButtonGroup(this))
{
    setObjectName("Annotation");
    setWindowTitle("Annotation");
    setModal(false);

    auto* points = new QGroupBox("Points", this);
    auto* pointsLayout = new QGridLayout(points);
    const auto option = [](QWidget* parent, QButtonGroup* group, const char* caption, int id) {
        auto* button = new QRadioButton(caption, parent);
        button->setObjectName(QString(caption).remove(' '));
        group->addButton(button, id);
        return button;
    };
    pointsLayout->addWidget(option(points, PointsGroup_, "Randomly selected", int(view::TAnnotPoints::Random)), 0, 0);
    Percentage_ = Spin(points, "Percentage", 50);
    pointsLayout->addWidget(Percentage_, 0, 1);
    pointsLayout->addWidget(new QLabel("%", points), 0, 2);
    pointsLayout->addWidget(option(points, PointsGroup_, "By color", int(view::TAnnotPoints::ByColor)), 1, 0);
    Colors_ = new QListWidget(points);
    Colors_->setObjectName("ColorList");
    Colors_->setMaximumHeight(Colors_->fontMetrics().height() * 5);
    pointsLayout->addWidget(Colors_, 2, 0, 1, 3);
    pointsLayout->addWidget(option(points, PointsGroup_, "Selected", int(view::TAnnotPoints::Selected)), 3, 0);
    PointsGroup_->button(int(view::TAnnotPoints::Selected))->setChecked(true);

    Fields_ = new QListWidget(this);
    Fields_->setObjectName("FieldNames");
    auto* fieldBox = new QGroupBox("Field names", this);
    auto* fieldLayout = new QVBoxLayout(fieldBox);
    fieldLayout->addWidget(Fields_);

    auto* texts = new QGroupBox(this);
    auto* textLayout = new QVBoxLayout(texts);
    const std::pair<const char*, view::TAnnotText> textOptions[] = {
        {"All fields", view::TAnnotText::AllFields},
        {"Max values", view::TAnnotText::MaxValues},
        {"Min values", view::TAnnotText::MinValues},
        {"Unexpected features", view::TAnnotText::Unexpected},
        {"Unexpexted in class", view::TAnnotText::UnexpectedInClass}};
    for (const auto& [caption, id] : textOptions)
        textLayout->addWidget(option(texts, TextGroup_, caption, int(id)));
    TextGroup_->button(int(view::TAnnotText::AllFields))->setChecked(true);

    auto* numbers = new QGridLayout;
    Depth_ = Spin(this, "Depth", 1);
    FontSize_ = Spin(this, "FontSize", 7);
    MaxLength_ = Spin(this, "MaxLength", 50);
    numbers->addWidget(new QLabel("Depth", this), 0, 0);
    numbers->addWidget(Depth_, 0, 1);
    numbers->addWidget(new QLabel("Font size", this), 1, 0);
    numbers->addWidget(FontSize_, 1, 1);
    numbers->addWidget(new QLabel("Max length", this), 2, 0);
    numbers->addWidget(MaxLength_, 2, 1);
    MaxLength_->setToolTip("The longest label, in characters (0: no limit)");

    auto* buttons = new QHBoxLayout;
    for (const auto& [caption, name] :
         {std::pair{"Apply", "Apply"}, {"Clear", "Clear"}, {"To table", "ToTable"}, {"Close", "Close"}}) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        buttons->addWidget(button);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(points);
    left->addWidget(texts);
    left->addLayout(numbers);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(fieldBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(PointsGroup_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            PointsChosen();
    });
    connect(Fields_, &QListWidget::itemDoubleClicked, this, [this] {
        for (int i = 0; i < Fields_->count(); ++i) {
            QListWidgetItem* item = Fields_->item(i);
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
    });
    const auto run = [this](void (TfmAnnot::*command)()) {
        return [this, command] { Host_.Run([this, command] { (this->*command)(); }); };
    };
    connect(findChild<QPushButton*>("Apply"), &QPushButton::clicked, this, run(&TfmAnnot::btnApplyClick));
    connect(findChild<QPushButton*>("Clear"), &QPushButton::clicked, this, run(&TfmAnnot::btnClearClick));
    connect(findChild<QPushButton*>("ToTable"), &QPushButton::clicked, this, run(&TfmAnnot::btnToTableClick));
    connect(findChild<QPushButton*>("Close"), &QPushButton::clicked, this, &QDialog::close);
    PointsChosen();
}

QRadioButton* TfmAnnot::PointsOption(view::TAnnotPoints points) const
{
    return static_cast<QRadioButton*>(PointsGroup_->button(int(points)));
}

QRadioButton* TfmAnnot::TextOption(view::TAnnotText text) const
{
    return static_cast<QRadioButton*>(TextGroup_->button(int(text)));
}

void TfmAnnot::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmAnnot::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (OnClosed)
        OnClosed();
}

void TfmAnnot::Refresh()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    Fields_->clear();
    if (chain.Table)
        for (const std::string& name : chain.Table->FieldNames) {
            auto* item = new QListWidgetItem(QString::fromStdString(name), Fields_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Fields_->count() == 1 ? Qt::Checked : Qt::Unchecked);
        }
    Fields_->setCurrentRow(Fields_->count() > 0 ? 0 : -1);
    if (PointsGroup_->checkedId() == int(view::TAnnotPoints::ByColor))
        FillColorList();
}

void TfmAnnot::PointsChosen()
{
    const int id = PointsGroup_->checkedId();
    Percentage_->setEnabled(id == int(view::TAnnotPoints::Random));
    Colors_->setEnabled(id == int(view::TAnnotPoints::ByColor));
    if (id == int(view::TAnnotPoints::ByColor))
        FillColorList();
}

void TfmAnnot::FillColorList()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    State_.ClassColors.clear();
    if (chain.Table)
        view::RefreshClassColors(State_, *chain.Table);
    Colors_->clear();
    for (const int color : State_.ClassColors) {
        auto* item = new QListWidgetItem(Colors_);
        item->setBackground(PackedColor(color));
        item->setToolTip(PackedColor(color).name());
        item->setSizeHint(QSize(0, Colors_->fontMetrics().height()));
    }
}

view::TAnnotationSettings TfmAnnot::Settings() const
{
    view::TAnnotationSettings settings;
    settings.Points = static_cast<view::TAnnotPoints>(PointsGroup_->checkedId());
    settings.Percentage = Percentage_->value();
    settings.ColorItem = Colors_->currentRow();
    for (int i = 0; i < Fields_->count(); ++i)
        if (Fields_->item(i)->checkState() == Qt::Checked)
            settings.TickedFields.push_back(i);
    settings.Text = static_cast<view::TAnnotText>(TextGroup_->checkedId());
    settings.Depth = Depth_->value();
    settings.FontSize = FontSize_->value();
    settings.MaxLength = MaxLength_->value();
    return settings;
}

void TfmAnnot::btnApplyClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Table || !chain.Dataset || !chain.Map)
        return;
    if (!view::ApplyAnnotations(chain.Map->Annotations, *chain.Dataset, *chain.Table, Settings(), State_))
        return;
    // The point selection was cleared.
    Host_.DataPointsChanged();
}

void TfmAnnot::btnClearClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Map)
        return;
    chain.Map->Annotations.clear();
    Host_.MapViewChanged();
}

void TfmAnnot::btnToTableClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    if (!chain.Dataset || !chain.Map)
        return;
    view::AnnotationsToTable(chain.Map->Annotations, *chain.Dataset);
    Host_.DatasetViewChanged();
}

} // namespace orbelin::gui

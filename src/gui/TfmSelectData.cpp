// The selection dialog's controls and commands.
#include "gui/TfmSelectData.h"

#include "app/TDispatcher.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "gui/TfmColorScale.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "view/MarkerShapes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

int ToPacked(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QPixmap Swatch(int fill, int border, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(PackedColor(border));
    painter.setBrush(PackedColor(fill));
    painter.drawRect(QRect(QPoint(1, 1), size - QSize(3, 3)));
    return pixmap;
}

// A marker shape as its outline of radius 6 pixels, filled and bordered in the style's
// colours; the no-change item stays empty.
QIcon ShapeIcon(int shape, const view::TSelectionStyle& style)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    if (shape < view::MarkerShapeCount) {
        QPolygonF outline;
        for (const TArray1D& vertex : view::MarkerShapes()[static_cast<std::size_t>(shape)])
            outline << QPointF(8 + 600 * vertex[0], 8 - 600 * vertex[1]);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(PackedColor(style.BorderColor));
        painter.setBrush(PackedColor(style.FillColor));
        painter.drawPolygon(outline);
    }
    return QIcon(pixmap);
}

} // namespace

TfmSelectData::TfmSelectData(TfrmMainWnd& host)
    : QDialog(&host, Qt::Tool | Qt::WindowStaysOnTopHint), Host_(host), Choices_(new QButtonGroup(this))
{
    setObjectName("SelectData");
    setWindowTitle("Points and classes selection");
    setModal(false);
    ChooseColor = [](const QColor& initial, QWidget* owner) { return QColorDialog::getColor(initial, owner); };

    // The style.
    auto* style = new QGroupBox(this);
    auto* styleLayout = new QGridLayout(style);
    FillButton_ = new QPushButton(style);
    FillButton_->setObjectName("FillColor");
    BorderButton_ = new QPushButton(style);
    BorderButton_->setObjectName("BorderColor");
    NoFill_ = new QCheckBox("not", style);
    NoFill_->setObjectName("NoFill");
    NoBorder_ = new QCheckBox("not", style);
    NoBorder_->setObjectName("NoBorder");
    Shape_ = new QComboBox(style);
    Shape_->setObjectName("Shape");
    for (int shape = 0; shape <= view::NoChangeShape; ++shape)
        Shape_->addItem(QString());
    Size_ = new QSpinBox(style);
    Size_->setObjectName("Size");
    Size_->setRange(view::MinSelectionSize, view::MaxSelectionSize);
    styleLayout->addWidget(new QLabel("Fill color", style), 0, 0);
    styleLayout->addWidget(FillButton_, 0, 1);
    styleLayout->addWidget(NoFill_, 0, 2);
    styleLayout->addWidget(new QLabel("Border:", style), 1, 0);
    styleLayout->addWidget(BorderButton_, 1, 1);
    styleLayout->addWidget(NoBorder_, 1, 2);
    styleLayout->addWidget(new QLabel("Shape", style), 0, 3);
    styleLayout->addWidget(Shape_, 0, 4);
    styleLayout->addWidget(new QLabel("Size", style), 1, 3);
    styleLayout->addWidget(Size_, 1, 4);

    // The three choices.
    const auto option = [this](const char* caption, const char* name, view::TSelectChoice id) {
        auto* button = new QRadioButton(caption, this);
        button->setObjectName(name);
        Choices_->addButton(button, int(id));
        return button;
    };
    auto* conditional = new QGroupBox(this);
    auto* conditionalLayout = new QVBoxLayout(conditional);
    conditionalLayout->addWidget(option("Conditional ", "Conditional", view::TSelectChoice::Conditional));
    conditionalLayout->addWidget(MakeRow(0));
    auto* joins = new QHBoxLayout;
    And_ = new QRadioButton("AND", conditional);
    And_->setObjectName("And");
    auto* orButton = new QRadioButton("OR", conditional);
    orButton->setObjectName("Or");
    And_->setChecked(true);
    joins->addWidget(And_);
    joins->addWidget(orButton);
    joins->addStretch(1);
    conditionalLayout->addLayout(joins);
    conditionalLayout->addWidget(MakeRow(1));
    ConditionWidgets_.insert(ConditionWidgets_.end(), {And_, orButton});

    auto* random = new QGroupBox(this);
    auto* randomLayout = new QHBoxLayout(random);
    randomLayout->addWidget(option("Random ", "Random", view::TSelectChoice::Random));
    RandomPercent_ = new QSpinBox(random);
    RandomPercent_->setObjectName("RandomPercentage");
    RandomPercent_->setRange(0, 100);
    RandomPercent_->setValue(100);
    randomLayout->addWidget(RandomPercent_);
    randomLayout->addWidget(new QLabel("% of all", random));
    Including_ = new QCheckBox("Including selected", random);
    Including_->setObjectName("IncludingSelected");
    randomLayout->addWidget(Including_);
    randomLayout->addStretch(1);

    auto* byColor = new QGroupBox(this);
    auto* byColorLayout = new QVBoxLayout(byColor);
    byColorLayout->addWidget(option("Selection by color", "ByColor", view::TSelectChoice::ByColor));
    Colors_ = new QListWidget(byColor);
    Colors_->setObjectName("ColorList");
    Colors_->setViewMode(QListView::IconMode);
    Colors_->setIconSize(QSize(28, 16));
    Colors_->setMaximumHeight(Colors_->fontMetrics().height() * 4);
    byColorLayout->addWidget(Colors_);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* select = button("Select", "Select");
    QPushButton* deselect = button("Deselect", "Deselect");
    Auto_ = button("Auto", "Auto");
    AutoInt_ = button("AutoInt", "AutoInt");
    QPushButton* closeButton = button("Close", "Close");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(style);
    layout->addWidget(conditional);
    layout->addWidget(random);
    layout->addWidget(byColor);
    layout->addLayout(buttons);

    view::TSelectionStyle& s = Host_.SelectionStyle();
    connect(FillButton_, &QPushButton::clicked, this, [this] { PickColor(true); });
    connect(BorderButton_, &QPushButton::clicked, this, [this] { PickColor(false); });
    connect(NoFill_, &QCheckBox::toggled, this, [this, &s](bool on) {
        s.SetNoFill(on);
        ShowStyle();
    });
    connect(NoBorder_, &QCheckBox::toggled, this, [this, &s](bool on) {
        s.SetNoBorder(on);
        ShowStyle();
    });
    connect(Shape_, &QComboBox::currentIndexChanged, this, [&s](int index) {
        if (index >= 0)
            s.Shape = index;
    });
    connect(Size_, &QSpinBox::valueChanged, this, [&s](int size) { s.Size = size; });
    connect(Choices_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            ChoiceChosen();
    });
    const auto run = [this](void (TfmSelectData::*command)()) {
        return [this, command] { Host_.Run([this, command] { (this->*command)(); }); };
    };
    connect(select, &QPushButton::clicked, this, run(&TfmSelectData::btnSelectClick));
    connect(deselect, &QPushButton::clicked, this, run(&TfmSelectData::btnDeselectClick));
    connect(Auto_, &QPushButton::clicked, this, run(&TfmSelectData::btnAutoClick));
    connect(AutoInt_, &QPushButton::clicked, this, run(&TfmSelectData::btnAutoIntClick));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

    Choices_->button(int(view::TSelectChoice::Conditional))->setChecked(true);
    Auto_->setEnabled(false);
    AutoInt_->setEnabled(false);
    ShowStyle();
}

QWidget* TfmSelectData::MakeRow(int row)
{
    auto* widget = new QWidget(this);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    TRow& r = Rows_[row];
    const QString n = QString::number(row + 1);
    r.Field = new QComboBox(widget);
    r.Field->setObjectName("Field" + n);
    r.Field->setMinimumContentsLength(10);
    r.Op = new QComboBox(widget);
    r.Op->setObjectName("Operator" + n);
    for (const std::string& item : view::CompareOpItems())
        r.Op->addItem(QString::fromStdString(item));
    r.Value = new QComboBox(widget);
    r.Value->setObjectName("Value" + n);
    r.Value->setEditable(true);
    r.Value->setInsertPolicy(QComboBox::NoInsert);
    r.Value->setMinimumContentsLength(10);
    r.Percent = new QComboBox(widget);
    r.Percent->setObjectName("Percentage" + n);
    r.Percent->setEditable(true);
    r.Percent->setInsertPolicy(QComboBox::NoInsert);
    r.Percent->setMinimumContentsLength(3);
    QStringList presets = {"75", "50", "25", "12", "6", "3", "1"};
    for (int p = 2; p <= 99; ++p)
        if (p != 6)
            presets << QString::number(p);
    r.Percent->addItems(presets);
    r.Percent->setCurrentIndex(-1);
    r.Percent->setToolTip("Fills in the value below (\"<\") or above (\">\") which this percentage of the "
                          "records lie");
    layout->addWidget(r.Field, 2);
    layout->addWidget(r.Op);
    layout->addWidget(r.Value, 2);
    layout->addWidget(r.Percent);
    layout->addWidget(new QLabel("%", widget));
    ConditionWidgets_.insert(ConditionWidgets_.end(), {r.Field, r.Op, r.Value, r.Percent});

    connect(r.Field, &QComboBox::activated, this, [this, row] { FieldChosen(row); });
    connect(r.Percent, &QComboBox::textActivated, this,
            [this, row] { Host_.Run([this, row] { PercentChosen(row); }); });
    return widget;
}

QRadioButton* TfmSelectData::ChoiceOption(view::TSelectChoice choice) const
{
    return static_cast<QRadioButton*>(Choices_->button(int(choice)));
}

void TfmSelectData::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmSelectData::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (OnClosed)
        OnClosed();
}

void TfmSelectData::Refresh()
{
    const data::TDataTable* table = app::CurrentChain(Host_.Dispatcher().Project()).Table;
    for (TRow& r : Rows_) {
        r.Field->clear();
        if (table)
            for (const std::string& name : table->FieldNames)
                r.Field->addItem(QString::fromStdString(name));
        r.Field->setCurrentIndex(-1);
        r.Value->clear();
    }
    Auto_->setEnabled(false);
    AutoInt_->setEnabled(false);
    Host_.SelectionStyle().Shape = 0;
    ShowStyle();
    if (Choices_->checkedId() == int(view::TSelectChoice::ByColor))
        FillColorList(-1);
}

void TfmSelectData::FieldChosen(int row)
{
    const data::TDataTable* table = app::CurrentChain(Host_.Dispatcher().Project()).Table;
    TRow& r = Rows_[row];
    const int field = r.Field->currentIndex();
    r.Value->clear();
    if (!table || field < 0)
        return;
    for (const std::string& value : view::DistinctFieldValues(*table, field))
        r.Value->addItem(QString::fromStdString(value));
    r.Value->setCurrentIndex(-1);
    if (row == 0) {
        Auto_->setEnabled(true);
        AutoInt_->setEnabled(data::IsNumericFieldType(table->FieldTypes[static_cast<std::size_t>(field)]));
    }
}

void TfmSelectData::PercentChosen(int row)
{
    const data::TDataTable* table = app::CurrentChain(Host_.Dispatcher().Project()).Table;
    const TRow& r = Rows_[row];
    if (!table)
        return;
    const auto value = view::PercentagePreset(*table, r.Field->currentIndex(),
                                              view::CompareOpFromItem(r.Op->currentText().toStdString()),
                                              r.Percent->currentText().toStdString());
    if (value)
        r.Value->setEditText(QString::fromStdString(*value));
}

void TfmSelectData::ChoiceChosen()
{
    const int choice = Choices_->checkedId();
    for (QWidget* widget : ConditionWidgets_)
        widget->setEnabled(choice == int(view::TSelectChoice::Conditional));
    RandomPercent_->setEnabled(choice == int(view::TSelectChoice::Random));
    Including_->setEnabled(choice == int(view::TSelectChoice::Random));
    Colors_->setEnabled(choice == int(view::TSelectChoice::ByColor));
    if (choice == int(view::TSelectChoice::ByColor))
        FillColorList(-1);
}

void TfmSelectData::FillColorList(int keepRow)
{
    const data::TDataTable* table = app::CurrentChain(Host_.Dispatcher().Project()).Table;
    Entries_ = table ? view::ColorEntries(*table) : std::vector<view::TColorEntry>();
    Colors_->clear();
    for (const view::TColorEntry& entry : Entries_)
        new QListWidgetItem(QIcon(Swatch(entry.Fill, entry.Border, QSize(28, 16))), QString(), Colors_);
    Colors_->setCurrentRow(keepRow < Colors_->count() ? keepRow : -1);
}

void TfmSelectData::ShowStyle()
{
    const view::TSelectionStyle& s = Host_.SelectionStyle();
    const auto show = [](QPushButton* button, int color) {
        QPixmap swatch(32, 14);
        swatch.fill(PackedColor(color));
        button->setIcon(QIcon(swatch));
        button->setIconSize(swatch.size());
        button->setToolTip(PackedColor(color).name());
    };
    show(FillButton_, s.FillColor);
    show(BorderButton_, s.BorderColor);
    const QSignalBlocker blockShape(Shape_), blockSize(Size_), blockFill(NoFill_), blockBorder(NoBorder_);
    for (int shape = 0; shape <= view::NoChangeShape; ++shape)
        Shape_->setItemIcon(shape, ShapeIcon(shape, s));
    Shape_->setCurrentIndex(std::clamp(s.Shape, 0, static_cast<int>(view::NoChangeShape)));
    Size_->setValue(s.Size);
    NoFill_->setChecked(s.NoFill);
    NoBorder_->setChecked(s.NoBorder);
}

void TfmSelectData::PickColor(bool fill)
{
    view::TSelectionStyle& s = Host_.SelectionStyle();
    if (!ChooseColor)
        return;
    const QColor chosen = ChooseColor(PackedColor(fill ? s.FillColor : s.BorderColor), this);
    if (!chosen.isValid())
        return;
    if (fill)
        s.SetFillColor(ToPacked(chosen));
    else
        s.SetBorderColor(ToPacked(chosen));
    ShowStyle();
}

view::TRecordChoice TfmSelectData::Choice() const
{
    view::TRecordChoice choice;
    choice.Choice = static_cast<view::TSelectChoice>(Choices_->checkedId());
    view::TConditions& c = choice.Conditions;
    c.FirstField = Rows_[0].Field->currentIndex();
    c.FirstOp = view::CompareOpFromItem(Rows_[0].Op->currentText().toStdString());
    c.FirstValue = Rows_[0].Value->currentText().toStdString();
    c.SecondField = Rows_[1].Field->currentIndex();
    c.SecondOp = view::CompareOpFromItem(Rows_[1].Op->currentText().toStdString());
    c.SecondValue = Rows_[1].Value->currentText().toStdString();
    c.UseAnd = And_->isChecked();
    choice.Percentage = RandomPercent_->value();
    choice.IncludingSelected = Including_->isChecked();
    const int entry = Colors_->currentRow();
    choice.ColorChosen = entry >= 0 && entry < static_cast<int>(Entries_.size());
    if (choice.ColorChosen)
        choice.Color = Entries_[static_cast<std::size_t>(entry)];
    return choice;
}

void TfmSelectData::OnTable(const std::function<void(data::TDataTable&)>& command)
{
    data::TDataTable* table = app::CurrentChain(Host_.Dispatcher().Project()).Table;
    if (!table)
        return;
    const int entry = Colors_->currentRow();
    // The styles change only where the command got to; the views show whatever it did.
    try {
        command(*table);
    } catch (...) {
        Host_.DataPointsChanged();
        throw;
    }
    if (Choices_->checkedId() == int(view::TSelectChoice::ByColor))
        FillColorList(entry);
    Host_.DataPointsChanged();
}

void TfmSelectData::btnSelectClick()
{
    const view::TRecordChoice choice = Choice();
    OnTable([&](data::TDataTable& table) { view::SelectRecords(table, choice, Host_.SelectionStyle()); });
}

void TfmSelectData::btnDeselectClick()
{
    const view::TRecordChoice choice = Choice();
    OnTable([&](data::TDataTable& table) { view::DeselectRecords(table, choice); });
}

void TfmSelectData::btnAutoClick()
{
    const view::TConditions conditions = Choice().Conditions;
    TArray1S values;
    for (int i = 0; i < Rows_[0].Value->count(); ++i)
        values.push_back(Rows_[0].Value->itemText(i).toStdString());
    OnTable([&](data::TDataTable& table) { view::AutoSelect(table, conditions, values, Host_.SelectionStyle()); });
}

void TfmSelectData::btnAutoIntClick()
{
    const int field = Rows_[0].Field->currentIndex();
    if (field < 0)
        throw TError("Choose the field of the first condition.");
    TArray1S values;
    for (int i = 0; i < Rows_[0].Value->count(); ++i)
        values.push_back(Rows_[0].Value->itemText(i).toStdString());
    if (values.empty())
        return;
    const auto [lo, hi] = view::ValueRange(values);
    TfmColorScale* scale = Host_.ColorScaleDialog();
    scale->SetRange(lo, hi);
    if (scale->exec() != QDialog::Accepted)
        return;
    const std::vector<coloring::TGradingRow> rows = scale->Rows();
    OnTable([&](data::TDataTable& table) { view::AutoIntSelect(table, field, rows, Host_.SelectionStyle()); });
}

} // namespace orbelin::gui

// The Table panel's widgets and their wiring to the field-choice rules.
#include "gui/TTablePanel.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orbelin::gui {

namespace {

constexpr std::array<const char*, 4> BoxCaptions = {"On logarithm", "On hyperbolic tangent", "On (-1;1) diapason",
                                                    "On standart deviation"};

bool Choice(const data::TFieldChoice& choice, int which)
{
    switch (static_cast<app::TNormalisation>(which)) {
    case app::TNormalisation::Log:
        return choice.Log;
    case app::TNormalisation::Tanh:
        return choice.Tanh;
    case app::TNormalisation::Range:
        return choice.Range;
    case app::TNormalisation::Std:
        return choice.Std;
    }
    return false;
}

} // namespace

TTablePanel::TTablePanel(TPanelHost& host, QWidget* parent)
    : TPanel(app::TablePanel, "Table", host, parent), Fields_(new QListWidget(this)),
      Group_(new QGroupBox("Field normal. : ...", this)), ExcludeGaps_(new QCheckBox("Exclude gaps", this))
{
    Fields_->setObjectName("FieldList");
    Fields_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Fields_->setContextMenuPolicy(Qt::CustomContextMenu);
    Body_->addWidget(Fields_, 1);

    auto* groupLayout = new QVBoxLayout(Group_);
    for (std::size_t i = 0; i < Boxes_.size(); ++i) {
        Boxes_[i] = new QCheckBox(BoxCaptions[i], Group_);
        groupLayout->addWidget(Boxes_[i]);
        const int which = static_cast<int>(i);
        connect(Boxes_[i], &QCheckBox::clicked, this, [this, which](bool state) { BoxClicked(which, state); });
    }
    Group_->setObjectName("NormalisationGroup");
    Body_->addWidget(Group_);

    ExcludeGaps_->setObjectName("ExcludeGaps");
    Body_->addWidget(ExcludeGaps_);
    connect(ExcludeGaps_, &QCheckBox::toggled, this, [this](bool on) { Host_.Dispatcher().ExcludeGaps = on; });

    std::vector<QWidget*> switched{Fields_, Group_, ExcludeGaps_};
    switched.push_back(AddButton(Body_, "Create dataset", "CreateDataset",
                                 [this] { Host_.Apply(Host_.Dispatcher().CreateDataset()); }));
    auto* structure = new QHBoxLayout;
    Body_->addLayout(structure);
    switched.push_back(AddButton(structure, "Add field", "AddField"));
    switched.push_back(AddButton(structure, "Delete field", "DeleteField"));
    switched.push_back(AddButton(Body_, "Table structure", "TableStructure"));
    AddSectionSwitch("Table", switched);

    connect(Fields_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { MarkChanged(item); });
    connect(Fields_, &QListWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });

    auto* menu = new QMenu(this);
    menu->setObjectName("FieldMenu");
    const auto addEntry = [&](const char* caption, std::function<void()> work) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, work] { Host_.Run(work); });
    };
    addEntry("Mark", [this] { ApplyMarkOperation(app::TMarkOperation::Mark); });
    addEntry("Clear marks", [this] { ApplyMarkOperation(app::TMarkOperation::Clear); });
    addEntry("Invert marks", [this] { ApplyMarkOperation(app::TMarkOperation::Invert); });
    menu->addSeparator();
    addEntry("Select all", [this] { Fields_->selectAll(); });
    addEntry("Clear selection", [this] { Fields_->clearSelection(); });
    addEntry("Invert selection", [this] {
        for (int row = 0; row < Fields_->count(); ++row)
            Fields_->item(row)->setSelected(!Fields_->item(row)->isSelected());
    });
    connect(Fields_, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& at) { menu->popup(Fields_->viewport()->mapToGlobal(at)); });
}

void TTablePanel::Refresh()
{
    Filling_ = true;
    Fields_->clear();
    const app::TCurrentChain chain = Chain();
    if (chain.Script) {
        for (const app::TFieldListRow& row : app::FieldList(*chain.Script)) {
            auto* item = new QListWidgetItem(QString::fromStdString(row.Name), Fields_);
            Qt::ItemFlags flags = Qt::ItemIsSelectable;
            if (row.Enabled)
                flags |= Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
            item->setFlags(flags);
            item->setCheckState(row.Marked ? Qt::Checked : Qt::Unchecked);
        }
        ShowGroup(app::GroupOnRefresh(*chain.Script));
    } else {
        ShowGroup(app::TNormalisationGroup{"Field normal. : ...", -1, {}, true});
    }
    ExcludeGaps_->setChecked(Host_.Dispatcher().ExcludeGaps);
    Filling_ = false;
}

std::vector<int> TTablePanel::Highlighted() const
{
    std::vector<int> rows;
    for (const QListWidgetItem* item : Fields_->selectedItems())
        rows.push_back(Fields_->row(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TTablePanel::ShowMarks()
{
    const app::TCurrentChain chain = Chain();
    if (!chain.Script)
        return;
    const std::vector<app::TFieldListRow> rows = app::FieldList(*chain.Script);
    Filling_ = true;
    for (int row = 0; row < Fields_->count() && row < static_cast<int>(rows.size()); ++row)
        Fields_->item(row)->setCheckState(rows[static_cast<std::size_t>(row)].Marked ? Qt::Checked : Qt::Unchecked);
    Filling_ = false;
}

void TTablePanel::ShowGroup(const app::TNormalisationGroup& group)
{
    Group_->setTitle(QString::fromStdString(group.Caption));
    if (!group.BoxesShowField)
        return;
    for (std::size_t i = 0; i < Boxes_.size(); ++i)
        Boxes_[i]->setChecked(Choice(group.Shown, static_cast<int>(i)));
}

void TTablePanel::MarkChanged(QListWidgetItem* item)
{
    if (Filling_)
        return;
    Host_.Run([this, item] {
        const app::TCurrentChain chain = Chain();
        if (!chain.Script)
            return;
        app::SetFieldMark(*chain.Script, Fields_->row(item), item->checkState() == Qt::Checked);
        ShowMarks();
        SelectionChanged();
    });
}

void TTablePanel::SelectionChanged()
{
    if (Filling_)
        return;
    const app::TCurrentChain chain = Chain();
    if (chain.Script)
        ShowGroup(app::GroupAfterClick(*chain.Script, Highlighted()));
}

void TTablePanel::ApplyMarkOperation(app::TMarkOperation operation)
{
    const app::TCurrentChain chain = Chain();
    if (!chain.Script)
        return;
    app::ApplyMarkOperation(*chain.Script, Highlighted(), operation);
    ShowMarks();
    SelectionChanged();
}

void TTablePanel::BoxClicked(int which, bool state)
{
    const app::TCurrentChain chain = Chain();
    if (chain.Script)
        app::SetNormalisation(*chain.Script, Highlighted(), static_cast<app::TNormalisation>(which), state);
}

} // namespace orbelin::gui

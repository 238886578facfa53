// The Selections panel's lists and buttons.
#include "gui/TSelectionsPanel.h"

#include "app/SelectionCommands.h"
#include "data/TDataTable.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

QListWidget* MakeList(QWidget* parent, const char* name, bool checkable)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setProperty("checkable", checkable);
    list->setMinimumHeight(list->fontMetrics().height() * 4);
    return list;
}

void Fill(QListWidget* list, const TArray1S& names, int current = -1)
{
    list->clear();
    for (const std::string& name : names)
        list->addItem(QString::fromStdString(name));
    list->setCurrentRow(current);
}

} // namespace

TSelectionsPanel::TSelectionsPanel(TPanelHost& host, QWidget* parent)
    : TPanel(app::SelectionsPanel, "Selections", host, parent)
{
    // The panel is narrow: its groups scroll.
    QWidget* content = AddScrollingContent();
    auto* layout = static_cast<QVBoxLayout*>(content->layout());

    Marks_ = MakeList(content, "Marks", true);
    Marks_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* marksMenu = new QMenu(this);
    QAction* write = marksMenu->addAction("Write selected to file");
    connect(write, &QAction::triggered, this, [this] {
        RunOnDataset([this](data::TData& d) { return app::WriteSelectedToFile(d, MarkedFields()); }, false);
    });
    connect(Marks_, &QWidget::customContextMenuRequested, this,
            [this, marksMenu](const QPoint& at) { marksMenu->popup(Marks_->viewport()->mapToGlobal(at)); });
    layout->addWidget(Group(" Marks ", Marks_, {}));

    const auto button = [&](const QString& caption, const char* name, std::function<bool(data::TData&)> command,
                            bool viewChanges) {
        auto* b = new QPushButton(caption, content);
        b->setObjectName(name);
        // The panel may be narrower than a caption: the button takes the panel's width and
        // its tooltip the whole caption.
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        b->setToolTip(caption);
        connect(b, &QPushButton::clicked, this, [this, command, viewChanges] { RunOnDataset(command, viewChanges); });
        return b;
    };

    StyleSets_ = MakeList(content, "StyleSets", false);
    connect(StyleSets_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = StyleSets_->row(item);
        RunOnDataset([row](data::TData& d) { return app::ChooseStyleSet(d, row); }, true);
    });
    layout->addWidget(
        Group(" Color and sizes ", StyleSets_,
              {button("Remember current celection", "RememberStyles", app::RememberStyles, false),
               button("Save this set to file", "SaveStyleSets", app::SaveStyleSetsToFile, false),
               button("Load Colors and Sizes table", "LoadStyleSets", app::LoadStyleSetsFromFile, false)}));

    VisibilitySets_ = MakeList(content, "VisibilitySets", false);
    connect(VisibilitySets_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = VisibilitySets_->row(item);
        RunOnDataset([row](data::TData& d) { return app::ChooseVisibilitySet(d, row); }, true);
    });
    layout->addWidget(
        Group(" Visibility ", VisibilitySets_,
              {button("Remember current celection", "RememberVisibility", app::RememberVisibility, false),
               button("Save this set to file", "SaveVisibilitySets", app::SaveVisibilitySetsToFile, false),
               button("Load Colors and Sizes table", "LoadVisibilitySets", app::LoadVisibilitySetsFromFile, false)}));

    Objects_ = MakeList(content, "Objects", true);
    connect(Objects_, &QListWidget::itemChanged, this, [this] {
        if (Filling_)
            return;
        std::vector<bool> ticks;
        for (int row = 0; row < Objects_->count(); ++row)
            ticks.push_back(Objects_->item(row)->checkState() == Qt::Checked);
        RunOnDataset(
            [ticks](data::TData& d) {
                app::SetObjectsVisible(d, ticks);
                return true;
            },
            true);
    });
    layout->addWidget(Group(" Objects ", Objects_,
                            {button("Load...", "LoadObjects", app::LoadObjectsFromFile, true),
                             button("Save...", "SaveObjects", app::SaveObjectsToFile, false),
                             button(
                                 "Clear", "ClearObjects",
                                 [](data::TData& d) {
                                     app::ClearObjects(d);
                                     return true;
                                 },
                                 true)}));

    SelectProp_ = new QPushButton("Select prop...", content);
    SelectProp_->setObjectName("SelectProp");
    layout->addWidget(SelectProp_);
    layout->addStretch(1);
}

QWidget* TSelectionsPanel::Group(const QString& title, QListWidget* list, const std::vector<QPushButton*>& buttons)
{
    auto* group = new QGroupBox(title, list->parentWidget());
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list);
    for (QPushButton* button : buttons)
        layout->addWidget(button);
    return group;
}

void TSelectionsPanel::RunOnDataset(const std::function<bool(data::TData&)>& command, bool viewChanges)
{
    Host_.Run([this, command, viewChanges] {
        data::TData* dataset = Chain().Dataset;
        if (!dataset)
            return;
        // The view is rebuilt even after a failed load: the objects read before the error stay.
        const bool done = command(*dataset);
        if (viewChanges || done)
            Refresh();
        if (viewChanges)
            Host_.DatasetViewChanged();
    });
}

std::vector<int> TSelectionsPanel::MarkedFields() const
{
    std::vector<int> fields;
    for (int row = 0; row < Marks_->count(); ++row)
        if (Marks_->item(row)->checkState() == Qt::Checked)
            fields.push_back(row);
    return fields;
}

void TSelectionsPanel::SelectFirstSets()
{
    Filling_ = true;
    if (StyleSets_->count() > 0)
        StyleSets_->setCurrentRow(0);
    if (VisibilitySets_->count() > 0)
        VisibilitySets_->setCurrentRow(0);
    Filling_ = false;
}

void TSelectionsPanel::Refresh()
{
    Filling_ = true;
    const app::TCurrentChain chain = Chain();
    QStringList names;
    if (chain.Table)
        for (const std::string& name : chain.Table->FieldNames)
            names << QString::fromStdString(name);
    if (names != MarkNames_) {
        Marks_->clear();
        for (const QString& name : names) {
            auto* item = new QListWidgetItem(name, Marks_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        MarkNames_ = names;
    }

    const data::TData* dataset = chain.Dataset;
    const int styleRow = StyleSets_->currentRow();
    const int visibilityRow = VisibilitySets_->currentRow();
    Fill(StyleSets_, dataset ? dataset->StyleSetNames : TArray1S());
    Fill(VisibilitySets_, dataset ? dataset->VisibilitySetNames : TArray1S());
    if (styleRow < StyleSets_->count())
        StyleSets_->setCurrentRow(styleRow);
    if (visibilityRow < VisibilitySets_->count())
        VisibilitySets_->setCurrentRow(visibilityRow);

    Objects_->clear();
    if (dataset)
        for (const auto& object : dataset->AddObjects) {
            auto* item = new QListWidgetItem(QString::fromStdString(object->Name), Objects_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(object->Visible ? Qt::Checked : Qt::Unchecked);
        }
    Filling_ = false;
}

} // namespace orbelin::gui

// The object dispatcher's tree widget.
#include "gui/TObjectTreeView.h"

#include <QHeaderView>

namespace orbelin::gui {

namespace {

bool IsRenamable(app::TNodeKind kind)
{
    return kind == app::TNodeKind::Script || kind == app::TNodeKind::Table || kind == app::TNodeKind::Dataset ||
           kind == app::TNodeKind::Map;
}

/// The positions of an item and its ancestors among their siblings, from the top down.
std::vector<int> PathOfItem(const QTreeWidget& tree, const QTreeWidgetItem* item)
{
    std::vector<int> path;
    for (; item; item = item->parent())
        path.insert(path.begin(), item->parent() ? item->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(item))
                                                 : tree.indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)));
    return path;
}

} // namespace

TObjectTreeView::TObjectTreeView(app::TDispatcher& dispatcher, QWidget* parent)
    : QTreeWidget(parent), Dispatcher_(dispatcher)
{
    setObjectName("ObjectTree");
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { CurrentChanged(current); });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) { ItemEdited(item); });
}

void TObjectTreeView::Rebuild()
{
    std::vector<int> selected;
    if (const QTreeWidgetItem* item = currentItem())
        selected = PathOfItem(*this, item);
    const int selectedCode = currentItem() ? currentItem()->data(0, CodeRole).toInt() : 0;

    Quiet_ = true;
    clear();
    for (const auto& child : Dispatcher_.Tree().Root().Children)
        AddItems(nullptr, *child);
    expandAll();
    const app::TTreeNode* node = selected.empty() ? nullptr : Dispatcher_.Tree().NodeAt(selected);
    if (node && node->Code == selectedCode)
        setCurrentItem(ItemOf(node));
    Quiet_ = false;
}

void TObjectTreeView::AddItems(QTreeWidgetItem* parent, const app::TTreeNode& node)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, QString::fromStdString(node.Label));
    item->setData(0, CodeRole, node.Code);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (IsRenamable(node.Kind()))
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    for (const auto& child : node.Children)
        AddItems(item, *child);
}

void TObjectTreeView::SelectNode(const app::TTreeNode* node)
{
    Quiet_ = true;
    if (QTreeWidgetItem* item = ItemOf(node)) {
        setCurrentItem(item);
        scrollToItem(item);
    }
    Quiet_ = false;
}

const app::TTreeNode* TObjectTreeView::NodeOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    const app::TTreeNode* node = Dispatcher_.Tree().NodeAt(PathOfItem(*this, item));
    return node && node->Code == item->data(0, CodeRole).toInt() ? node : nullptr;
}

QTreeWidgetItem* TObjectTreeView::ItemOf(const app::TTreeNode* node) const
{
    if (!node || !Dispatcher_.Tree().Contains(node))
        return nullptr;
    QTreeWidgetItem* item = nullptr;
    for (int index : Dispatcher_.Tree().PathOf(*node)) {
        item = item ? item->child(index) : topLevelItem(index);
        if (!item)
            return nullptr;
    }
    return item;
}

const app::TTreeNode* TObjectTreeView::SelectedNode() const
{
    return NodeOf(currentItem());
}

void TObjectTreeView::CurrentChanged(QTreeWidgetItem* current)
{
    if (Quiet_ || !current)
        return;
    if (const app::TTreeNode* node = NodeOf(current); node && OnSelectNode)
        OnSelectNode(*node);
}

void TObjectTreeView::ItemEdited(QTreeWidgetItem* item)
{
    if (Quiet_)
        return;
    const app::TTreeNode* node = NodeOf(item);
    if (!node)
        return;
    const std::string label = item->text(0).toStdString();
    if (label == node->Label)
        return;
    const bool renamed = Dispatcher_.Rename(*node, label);
    Quiet_ = true;
    item->setText(0, QString::fromStdString(node->Label));
    Quiet_ = false;
    if (renamed && OnRenamed)
        OnRenamed(*node);
}

} // namespace orbelin::gui

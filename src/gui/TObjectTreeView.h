// The object dispatcher's tree: the project's scripts, tables, datasets, maps and layers as
// the dispatcher's object tree holds them.
#pragma once

#include "app/TDispatcher.h"

#include <QTreeWidget>

#include <functional>

namespace orbelin::gui {

/// Shows the dispatcher's TObjectTree: one item per node, labelled as the node, with the
/// node's code kept beside it. Selecting an item (by the user) reports its node; editing
/// the label of a script, table, dataset or map item asks the dispatcher to rename it and
/// puts the old label back when the dispatcher refuses.
class TObjectTreeView : public QTreeWidget {
    Q_OBJECT
public:
    /// The role under which an item keeps its node's code.
    static constexpr int CodeRole = Qt::UserRole + 1;

    explicit TObjectTreeView(app::TDispatcher& dispatcher, QWidget* parent = nullptr);

    /// Rebuilds every item from the dispatcher's tree, expanded; the item of the node that
    /// was selected stays selected when the node is still there. Reports nothing.
    void Rebuild();
    /// Selects the node's item without reporting it.
    void SelectNode(const app::TTreeNode* node);
    /// The node of an item, or null when the tree has changed since.
    const app::TTreeNode* NodeOf(const QTreeWidgetItem* item) const;
    /// The item of a node, or null.
    QTreeWidgetItem* ItemOf(const app::TTreeNode* node) const;
    /// The selected node, or null.
    const app::TTreeNode* SelectedNode() const;

    /// A node chosen by the user.
    std::function<void(const app::TTreeNode& node)> OnSelectNode;
    /// A node renamed by the user (after the dispatcher accepted the name).
    std::function<void(const app::TTreeNode& node)> OnRenamed;

private:
    void AddItems(QTreeWidgetItem* parent, const app::TTreeNode& node);
    void CurrentChanged(QTreeWidgetItem* current);
    void ItemEdited(QTreeWidgetItem* item);

    app::TDispatcher& Dispatcher_;
    bool Quiet_ = false; ///< changes made here are not the user's
};

} // namespace orbelin::gui

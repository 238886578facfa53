// Helpers of the main-window tests: the tree widget as text and its items by code.
#pragma once

#include "gui/TObjectTreeView.h"

#include <QTreeWidgetItem>

#include <string>
#include <vector>

namespace orbelin::test {

/// The tree widget as text, in the form of DescribeTree: one line per item, its code and
/// label, indented by depth.
inline std::string DescribeItems(const QTreeWidget& tree)
{
    std::string text;
    const auto describe = [&](const auto& self, const QTreeWidgetItem* item, int depth) -> void {
        text += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                std::to_string(item->data(0, gui::TObjectTreeView::CodeRole).toInt()) + " " +
                item->text(0).toStdString() + "\n";
        for (int i = 0; i < item->childCount(); ++i)
            self(self, item->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        describe(describe, tree.topLevelItem(i), 0);
    return text;
}

/// The item reached by following codes from the top level (the first child with each code),
/// or null.
inline QTreeWidgetItem* ItemAt(const QTreeWidget& tree, const std::vector<int>& codes)
{
    QTreeWidgetItem* item = nullptr;
    for (int code : codes) {
        QTreeWidgetItem* next = nullptr;
        const int count = item ? item->childCount() : tree.topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* candidate = item ? item->child(i) : tree.topLevelItem(i);
            if (candidate->data(0, gui::TObjectTreeView::CodeRole).toInt() == code)
                next = candidate;
        }
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

} // namespace orbelin::test

// The Selections panel: the " Marks " field list, the point-style and visibility sets and the
// additional objects of the current dataset.
#pragma once

#include "gui/TObjectPanels.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace orbelin::gui {

/// Works on the current dataset through app/SelectionCommands.h. The ticks of the " Marks "
/// list belong to the panel (they choose the fields of the points' hints and of "Write
/// selected to file") and are kept while the table's field names stay the same.
class TSelectionsPanel : public TPanel {
    Q_OBJECT
public:
    explicit TSelectionsPanel(TPanelHost& host, QWidget* parent = nullptr);
    void Refresh() override;

    QListWidget* Marks() const { return Marks_; }
    QListWidget* StyleSets() const { return StyleSets_; }
    QListWidget* VisibilitySets() const { return VisibilitySets_; }
    QListWidget* Objects() const { return Objects_; }
    /// The fields ticked in the " Marks " list, in list order.
    std::vector<int> MarkedFields() const;
    /// Selects the first entries of the two set lists without applying them.
    void SelectFirstSets();
    /// The "Select prop..." button, for the selection-properties dialog.
    QPushButton* SelectPropButton() const { return SelectProp_; }

private:
    QWidget* Group(const QString& title, QListWidget* list, const std::vector<QPushButton*>& buttons);
    void RunOnDataset(const std::function<bool(data::TData&)>& command, bool viewChanges);

    QListWidget* Marks_;
    QListWidget* StyleSets_;
    QListWidget* VisibilitySets_;
    QListWidget* Objects_;
    QPushButton* SelectProp_ = nullptr;
    QStringList MarkNames_;
    bool Filling_ = false;
};

} // namespace orbelin::gui

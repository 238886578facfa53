// The Table panel: the current table's fields with their dataset-creation choices.
#pragma once

#include "app/FieldChoices.h"
#include "gui/TObjectPanels.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QListWidget;
class QListWidgetItem;

namespace orbelin::gui {

/// The field list (check mark = coordinate field, highlight = which fields the
/// normalisation boxes act on), the normalisation group, "Exclude gaps" and Create
/// dataset. The rules live in app/FieldChoices.h; this panel only shows them.
class TTablePanel : public TPanel {
    Q_OBJECT
public:
    explicit TTablePanel(TPanelHost& host, QWidget* parent = nullptr);
    void Refresh() override;

    QListWidget* Fields() const { return Fields_; }
    QGroupBox* NormalisationGroup() const { return Group_; }
    /// "On logarithm", "On hyperbolic tangent", "On (-1;1) diapason", "On standart deviation".
    QCheckBox* NormalisationBox(int which) const { return Boxes_[static_cast<std::size_t>(which)]; }
    QCheckBox* ExcludeGaps() const { return ExcludeGaps_; }

private:
    std::vector<int> Highlighted() const;
    void ShowMarks();
    void ShowGroup(const app::TNormalisationGroup& group);
    void MarkChanged(QListWidgetItem* item);
    void SelectionChanged();
    void ApplyMarkOperation(app::TMarkOperation operation);
    void BoxClicked(int which, bool state);

    QListWidget* Fields_;
    QGroupBox* Group_;
    std::array<QCheckBox*, 4> Boxes_{};
    QCheckBox* ExcludeGaps_;
    bool Filling_ = false;
};

} // namespace orbelin::gui

// The Coloring panel: the colorings tree and the parameters of the current map's coloring.
#pragma once

#include "coloring/ColoringTree.h"
#include "gui/TObjectPanels.h"

class QComboBox;
class QDoubleSpinBox;
class QSlider;
class QSpinBox;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TfrmMainWnd;

/// Refilled from the current map on every refresh: the tree's "Fields" and "PCs" follow the
/// map's dataset and its coloring is selected; the parameters are the map's. Each control
/// changes the map through view/ColoringEvents.h and then has the main window redraw the
/// map's views.
class TColoringPanel : public TPanel {
    Q_OBJECT
public:
    /// Tree items carry their coloring code in this role.
    static constexpr int CodeRole = Qt::UserRole + 1;

    explicit TColoringPanel(TfrmMainWnd& host, QWidget* parent = nullptr);
    void Refresh() override;

    QTreeWidget* Tree() const { return Tree_; }
    /// The first tree item with that code, or null.
    QTreeWidgetItem* ItemOf(int code) const;
    QComboBox* Scheme() const { return Scheme_; }
    QComboBox* Palette() const { return Palette_; }
    QSpinBox* TintsNumber() const { return Tints_; }
    QTableWidget* TintsGrid() const { return TintsGrid_; }
    QSpinBox* Smoothness() const { return Smoothness_; }
    QDoubleSpinBox* CorrRadius() const { return Radius_; }
    QSlider* Relief() const { return Relief_; }
    QSpinBox* ReliefValue() const { return ReliefValue_; }
    QCheckBox* Inversion() const { return Inversion_; }
    QCheckBox* Logarithmic() const { return Log_; }
    QCheckBox* ColoringsSwitch() const { return Colorings_; }

private:
    void OnMap(const std::function<void(map::TMap&)>& change);
    void FillTree(const map::TMap* map);
    void ShowTints(const map::TMap* map);

    TfrmMainWnd& Main_;
    coloring::TColoringTree Model_;
    QTreeWidget* Tree_;
    QComboBox* Scheme_;
    QComboBox* Palette_;
    QSpinBox* Tints_;
    QTableWidget* TintsGrid_;
    QSpinBox* Smoothness_;
    QDoubleSpinBox* Radius_;
    QSlider* Relief_;
    QSpinBox* ReliefValue_;
    QCheckBox* Inversion_;
    QCheckBox* Log_;
    QCheckBox* Colorings_;
    bool Filling_ = false;
};

} // namespace orbelin::gui

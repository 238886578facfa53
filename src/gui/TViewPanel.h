// The Datapoints/Net panel: the view of the current map, its axes, camera or sphere
// layout, projecting type, time series and node sizes, and the drawing switches.
#pragma once

#include "gui/TObjectPanels.h"
#include "view/DrawingSwitches.h"

#include <QHash>

class QComboBox;
class QLabel;

namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TfrmMainWnd;

/// Refilled from the current map on every refresh, so a map's own view comes back when its
/// node is selected again; the switches show what the map's layers show. Each control
/// changes the map through view/ViewChoices.h (or the main window, for the switches) and
/// then has the main window redraw the map's views.
class TViewPanel : public TPanel {
    Q_OBJECT
public:
    explicit TViewPanel(TfrmMainWnd& host, QWidget* parent = nullptr);
    void Refresh() override;
    /// The panel's title and which of its data-point and net switches is shown.
    void SetViewMode(const QString& title, bool dataPointSwitch, bool netSwitch);

    QCheckBox* DataPointSwitch() const { return DataPoints_; }
    QCheckBox* NetSwitch() const { return Net_; }
    QListWidget* ViewList() const { return Views_; }
    QComboBox* Axis(int i) const { return Axes_[i]; }
    QComboBox* ProjectingType() const { return Projecting_; }
    QComboBox* ViewMode() const { return Mode_; }
    QCheckBox* TimeSeries() const { return TimeSeries_; }
    QCheckBox* NodeSize() const { return NodeSize_; }
    /// The drawing switch with that caption ("Not draw all", "Axis X", "Connections" ...).
    QCheckBox* Switch(const QString& caption) const { return Switches_.value(caption); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Runs a change of the current map, then redraws its views.
    void OnMap(const std::function<void(map::TMap&)>& change);
    void ShowAxisColors();
    void SwitchChanged(const QString& caption, bool on);

    TfrmMainWnd& Main_;
    QCheckBox* DataPoints_;
    QCheckBox* Net_;
    QListWidget* Views_;
    QLabel* AxisLabels_[3];
    QComboBox* Axes_[3];
    QComboBox* Projecting_;
    QComboBox* Mode_;
    QCheckBox* TimeSeries_;
    QCheckBox* NodeSize_;
    QHash<QString, QCheckBox*> Switches_;
    bool Filling_ = false;
};

} // namespace orbelin::gui

// The map/value analysis window: follows the mouse over the 3D view of the current map and
// shows the table values of the points there and the data-space values of the map surface
// there; turns and shifts the map by hand.
#pragma once

#include "analysis/MapAnalysis.h"
#include "view/TCamera.h"

#include <QDialog>
#include <QPoint>

#include <array>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QChartView;
class QLabel;
class QLineEdit;
class QSlider;
class QStackedLayout;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TfrmMainWnd;
class TVisMap;

/// "Map/value analyze". Showing it takes a snapshot of the current map's nodes (what
/// "Move" turns and shifts), reads the table's Float fields and resets the sliders; another
/// current map is taken up by Reset, and so are nodes that something else has moved since
/// (a slider then starts again from them). Hover reports are coalesced: the
/// active page is recomputed at most once per RefreshInterval, with the last report, so a
/// mouse sweeping over the view never waits for the pages.
class TfmMapAnalyze : public QDialog {
    Q_OBJECT
public:
    /// Milliseconds between two page refreshes while the mouse moves.
    static constexpr int RefreshInterval = 40;
    enum TPage : int { ObjectsPage = 0, GraphPage = 1, MapValuesPage = 2, MovePage = 3 };

    explicit TfmMapAnalyze(TfrmMainWnd& host);

    /// Takes up the current map (or none): snapshot, fields, X coordinates when empty,
    /// sliders at 0 without moving the map, pages refreshed.
    void Reset();
    map::TMap* Map() const { return Map_; }

    /// What the 3D view reports under the mouse: the points there and the mouse position
    /// in the view's pixels. The view gives its size and camera.
    void Hover(const std::vector<int>& points, QPoint position, const TVisMap& view);
    /// Recomputes the active page now.
    void RefreshPage();
    /// How many times a page has been recomputed.
    int RefreshCount() const { return RefreshCount_; }

    void btnSubtractClick();
    void btnProjectionsToTableClick();
    void btnRecalcPCClick();

    std::function<void()> OnClosed;

    QTabWidget* Pages() const { return Pages_; }
    QTableWidget* ObjectsGrid() const { return ObjectsGrid_; }
    QLabel* ObjectsMessage() const { return ObjectsMessage_; }
    QChartView* Graph() const { return Graph_; }
    QTableWidget* MapValuesGrid() const { return MapValuesGrid_; }
    QLabel* MapValuesMessage() const { return MapValuesMessage_; }
    QCheckBox* MaximalInterval() const { return MaximalInterval_; }
    QCheckBox* Normalize() const { return Normalize_; }
    QLineEdit* XCoordinates() const { return XCoordinates_; }
    /// Rotation sliders X, Y, Z, then shift sliders X, Y, Z.
    QSlider* Slider(int index) const { return Sliders_[static_cast<std::size_t>(index)]; }
    const TArray2D& Snapshot() const { return Snapshot_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* CreateObjectsPage();
    QWidget* CreateGraphPage();
    QWidget* CreateMapValuesPage();
    QWidget* CreateMovePage();
    void ShowObjects();
    void ShowGraph();
    void ShowMapValues();
    void SlidersMoved();
    void MoveNow();
    /// The map taken up is still the current map and has its grid.
    bool MapUsable() const;

    TfrmMainWnd& Host_;
    map::TMap* Map_ = nullptr;
    TArray2D Snapshot_;
    TArray2D Placed_; ///< the nodes as this window left them
    analysis::TFloatFields Fields_;
    bool Resetting_ = false;

    std::vector<int> Hovered_;
    QPoint Position_;
    int ViewWidth_ = 0, ViewHeight_ = 0;
    view::TCamera Camera_;
    bool HasCursor_ = false;
    QTimer* RefreshTimer_;
    QTimer* MoveTimer_;
    int RefreshCount_ = 0;

    QTabWidget* Pages_;
    QStackedLayout* ObjectsStack_;
    QTableWidget* ObjectsGrid_;
    QLabel* ObjectsMessage_;
    QCheckBox* MaximalInterval_;
    QButtonGroup* Scale_;
    QChartView* Graph_;
    QCheckBox* Normalize_;
    QLineEdit* XCoordinates_;
    QLabel* GraphMessage_;
    QStackedLayout* MapValuesStack_;
    QTableWidget* MapValuesGrid_;
    QLabel* MapValuesMessage_;
    std::array<QSlider*, 6> Sliders_{};
};

} // namespace orbelin::gui

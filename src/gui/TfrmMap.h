// The map window: the maps of the current dataset. For now it names the dataset and the
// map it shows; the 3D view takes its place with the view panels.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTabBar;

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

/// One map window for the current dataset, one tab per map. It holds no object of its
/// own: the main window sets the dataset and the map and takes them away before they are
/// freed.
class TfrmMap : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMap(QWidget* parent = nullptr);

    void SetDataset(data::TData* dataset);
    void SwitchMap(map::TMap* map);
    data::TData* Dataset() const { return Dataset_; }
    map::TMap* Map() const { return Map_; }
    /// The zoom track bar's value, 20..1000.
    void SetZoomSlider(int value) { Zoom_ = value; }
    int ZoomSlider() const { return Zoom_; }

    /// Called when the user picks another map's tab.
    std::function<void(int map)> OnMapTab;

private:
    void ShowNames();

    data::TData* Dataset_ = nullptr;
    map::TMap* Map_ = nullptr;
    int Zoom_ = 300;
    QTabBar* Tabs_;
    QLabel* Text_;
};

} // namespace orbelin::gui

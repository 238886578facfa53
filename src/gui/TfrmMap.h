// The map window: the 3D view of the current map, one tab per map of the current dataset,
// the rotation and zoom track bars, the mouse tools, and the view's exports.
#pragma once

#include "gui/TVisMap.h"
#include "view/HtmlViewExport.h"
#include "view/PostScriptExport.h"

#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QMenuBar;
class QSlider;
class QTabBar;
class QToolButton;

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TMapVisMap;

/// One map window for the current dataset. It holds no object of its own: the main window
/// sets the dataset and the map and takes them away before they are freed. The shown map's
/// view is drawn by one 3D view widget pointed at that map's layers, camera and style, so
/// switching tabs shows each map as it was left.
class TfrmMap : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMap(QWidget* parent = nullptr);
    ~TfrmMap() override;

    /// Shows the dataset's maps as tabs and its current map; null shows nothing.
    void SetDataset(data::TData* dataset);
    /// Shows that map of the dataset: its view geometry is rebuilt, the track bars follow its
    /// camera, and the caption names it.
    void SwitchMap(map::TMap* map);
    data::TData* Dataset() const { return Dataset_; }
    map::TMap* Map() const { return Map_; }

    /// The zoom track bar, 20..1000: the camera distance follows it.
    void SetZoomSlider(int value);
    int ZoomSlider() const;
    void SetToolMode(int tool);
    void SetTextures(const TTextureImages* textures);

    /// Redraws the view (after the map's layers or camera changed) and moves the track bars
    /// to the camera's angles and zoom.
    void Redraw();
    /// Rebuilds the shown map's view geometry (not while it trains) and redraws.
    void RebuildAndRedraw();
    /// Moves the track bars to the camera's angles and zoom.
    void FollowCamera();

    /// The 3D view. Its OnHoverPoints and OnHoverRays are free for the owner; the other
    /// notifications are the window's own and reach the owner through the ones below.
    TVisMap* View() const;
    QSlider* RotationZSlider() const { return RotZ_; }
    QSlider* RotationXSlider() const { return RotX_; }
    QSlider* ZoomTrackBar() const { return Zoom_; }
    QTabBar* Tabs() const { return Tabs_; }
    QLabel* SizeLabel() const { return Size_; }
    QToolButton* ResetButton() const { return Reset_; }

    // The menu's commands, also called by the tests with the file names chosen.
    void miBackgroundColorClick();
    /// "Save as BMP ...": a 24-bit bitmap of the picture.
    void miSaveBitmapClick();
    void SaveBitmap(const std::string& fileName);
    /// "Make rotation frames...": 51 bitmaps, the view turned about X from -180 to 180.
    void miRotationFramesClick();
    void MakeRotationFrames(const std::string& fileName);
    /// "MakePSPlot...": the options dialog, then the file.
    void miPostScriptClick();
    void WritePostScript(const std::string& fileName);
    view::TPostScriptOptions& PostScriptOptions() { return PostScript_; }
    /// "Make HTML View": the options dialog; "Generate" writes the page.
    void miHtmlViewClick();
    /// Writes "htmlview.html" in the working directory, and the picture beside it as
    /// "image.jpg" unless the user keeps an existing one; returns the page's path.
    std::string WriteHtmlPage(const view::THtmlViewOptions& options);
    /// "Save as VRML...": a name ending in ".wrz" is written gzip-compressed.
    void miSaveVrmlClick();
    void SaveVrml(const std::string& fileName);

    /// The user picked another map's tab.
    std::function<void(int map)> OnMapTab;
    /// The tool menu chose a mouse tool (0 select .. 3 scale).
    std::function<void(int tool)> OnToolChosen;
    /// Reset in scale mode: the zoom box is to show this text.
    std::function<void(const QString& zoomText)> OnZoomBoxText;
    /// The select tool picked these data points.
    std::function<void(const std::vector<int>& points)> OnSelectPoints;
    /// A mouse button went down on the view (stops an animation).
    std::function<void()> OnViewPressed;

private:
    void CreateMenu(QMenuBar* bar);
    void FillTabs();
    void ShowCaption();
    void ShowSize();
    void RotationSliderMoved();
    void ZoomSliderMoved(int value);
    void ChooseTool(int tool);
    void ResetClick();
    /// The grabbed picture as the frame buffer gives it: RGB rows from the bottom, each
    /// padded to a multiple of four bytes.
    std::vector<std::uint8_t> FramePixels(int& width, int& height);
    bool CheckMapShown() const;
    /// The map's data points as the exports see them; false (with a message) when the map
    /// has no data points or its dataset no table.
    bool ExportView(view::TExportView& exportView) const;
    /// Runs an export, showing an error that escapes it.
    void Guard(const std::function<void()>& command);

    data::TData* Dataset_ = nullptr;
    map::TMap* Map_ = nullptr;
    TMapVisMap* View_;
    QTabBar* Tabs_;
    QSlider* RotZ_;
    QSlider* RotX_;
    QSlider* Zoom_;
    QToolButton* Tool_;
    QMenu* ToolMenu_;
    QToolButton* Reset_;
    QLabel* Size_;
    int ToolMode_ = 1;
    bool Following_ = false; ///< the track bars are being moved to the camera
    view::TPostScriptOptions PostScript_;
};

} // namespace orbelin::gui

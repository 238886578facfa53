// The 3D view of a map: an OpenGL panel that draws the layers' objects, the axes and the
// rubber band, and turns mouse gestures into camera changes, picks and hover reports.
#pragma once

#include "gui/TextureImages.h"
#include "view/MarkerShapes.h"
#include "view/SceneObjects.h"
#include "view/TCamera.h"

#include <QImage>
#include <QOpenGLWidget>

#include <functional>
#include <map>
#include <span>
#include <vector>

namespace orbelin::gui {

/// Draws what the view geometry put into the layers and nothing else. The view owns no
/// data: the layers, the camera and the dataset's visibility flags are the map's and its
/// dataset's, and the view only points at them (SetLayers, SetCamera, SetVisibility); a
/// view without a camera of its own uses a default one. Object i of the objects list is
/// kind i mod 4 (markers, lines, polygons, geometry) of layer i div 4.
class TVisMap : public QOpenGLWidget {
    Q_OBJECT
public:
    /// Object 0 holds the data points, object 12 the ray ends.
    static constexpr int DataPointObject = 0;
    static constexpr int RayEndObject = 12;

    explicit TVisMap(QWidget* parent = nullptr);
    ~TVisMap() override;

    /// The layers stay the caller's; set them again when their container is replaced or
    /// resized.
    void SetLayers(std::span<view::TLayer> layers);
    std::span<view::TLayer> Layers() const { return Layers_; }
    int ObjectCount() const { return static_cast<int>(Layers_.size()) * 4; }

    /// The camera to draw and move; null returns to the view's own default camera.
    void SetCamera(view::TCamera* camera);
    view::TCamera& Camera() const { return *Camera_; }

    /// The dataset's visibility flags, one per data point (1 shown); they decide which
    /// markers of object 0 are drawn and picked. Empty flags are filled with 1 on the first
    /// drawing. Null draws every data point.
    void SetVisibility(TArray1I* flags)
    {
        Visibility_ = flags;
        update();
    }

    /// The texture images that spheres with a texture index use (not owned).
    void SetTextures(const TTextureImages* textures);

    /// The zoom value 20..1000 of the track bar and the zoom box (clamped), as the camera
    /// distance 19 - 10000 / zoom; repaints.
    void SetZoom(double zoom);

    void SetToolMode(view::TToolMode mode) { ToolMode_ = mode; }
    view::TToolMode ToolMode() const { return ToolMode_; }

    void SetStyle(const view::TSceneStyle& style);
    const view::TSceneStyle& Style() const { return Style_; }
    /// Stores the packed colour and repaints.
    void SetBackground(int packedColor);

    /// Recomputes the markers' facing shapes from the camera's angles. Drawing also does
    /// this whenever the angles have changed since, so markers always face the viewer.
    void UpdateFacing();
    const view::TFacingShapes& Facing() const { return Facing_; }

    /// Marker indices of a point object at a window position (x0 = x, y0 = y) or in the
    /// rectangle from (x0, y0) to (x, y). Only markers that are drawn can be picked: a hidden
    /// object, a data point whose visibility flag is 0, or a marker with neither fill nor
    /// border gives nothing.
    std::vector<int> PickPoints(int objectIndex, int x, int y, int x0, int y0) const;

    /// One frame of the rotation animation: turns by one degree about the axis, updates the
    /// facing shapes and repaints at once. The caller paces the frames (see
    /// TRotationAnimation) and redraws the annotations.
    void AnimateStep(view::TRotationAxis axis);

    /// The rendered picture, as the screen shows it, without alpha.
    QImage GrabPicture();

    /// True while the rubber band of the select and scale tools is shown.
    bool RubberBandShown() const { return BandShown_; }

    /// Notifications for the owning window. Hover reports come on every mouse move with no
    /// button down, with an empty list when nothing is under the mouse or the mouse leaves
    /// the view.
    std::function<void(const std::vector<int>& points, QPoint position)> OnHoverPoints;
    std::function<void(const std::vector<int>& points, QPoint position)> OnHoverRays;
    std::function<void(const std::vector<int>& points)> OnSelect;
    std::function<void()> OnAfterMouseUp;
    std::function<void()> OnAfterRotate;
    /// The scale tool changed the camera distance: the zoom track bar's new value.
    std::function<void(int zoom)> OnZoomChanged;

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool IsObjectVisible(int objectIndex) const;
    bool IsMarkerShown(int objectIndex, std::size_t marker) const;
    void DrawAxes() const;
    void DrawPoints(const view::TVisPoint& points, int objectIndex);
    void DrawLines(const view::TVisLine& lines) const;
    void DrawPolygons(const view::TVisPol& polygons) const;
    void DrawGeometry(const view::TVisGeom& geometry);
    void DrawRubberBand() const;
    unsigned BindTexture(int index);
    void ReleaseTextures();

    std::span<view::TLayer> Layers_;
    view::TCamera OwnCamera_;
    view::TCamera* Camera_ = &OwnCamera_;
    TArray1I* Visibility_ = nullptr;
    const TTextureImages* Textures_ = nullptr;
    view::TToolMode ToolMode_ = view::TToolMode::Rotate;
    view::TSceneStyle Style_;

    view::TFacingShapes Facing_;
    int FacingRotX_ = 0, FacingRotZ_ = 0;

    view::TMouseState Mouse_;
    Qt::MouseButton PressButton_ = Qt::NoButton;
    bool BandShown_ = false;
    std::map<int, unsigned> TextureNames_; ///< texture index -> GL texture of this context
};

} // namespace orbelin::gui

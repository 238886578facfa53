// The map's 3D view: its settings, the frame, picking and the mouse tools.
#include "gui/TVisMap.h"

#include "coloring/ColorSchemes.h"

#include <QCursor>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <GL/gl.h>

#include <cmath>

namespace orbelin::gui {
namespace {

int PackedFromQColor(const QColor& color)
{
    return color.red() + 256 * color.green() + 65536 * color.blue();
}

QSurfaceFormat ViewFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setAlphaBufferSize(8);
    return format;
}

} // namespace

TVisMap::TVisMap(QWidget* parent) : QOpenGLWidget(parent)
{
    setFormat(ViewFormat());
    setMouseTracking(true);
    setMinimumSize(16, 16);
    Style_.BackgroundColor = PackedFromQColor(palette().color(QPalette::Base));
    Facing_ = view::UpdateFacing(0, 0);
}

TVisMap::~TVisMap()
{
    if (context()) {
        makeCurrent();
        ReleaseTextures();
        doneCurrent();
    }
}

void TVisMap::SetLayers(std::span<view::TLayer> layers)
{
    Layers_ = layers;
    update();
}

void TVisMap::SetCamera(view::TCamera* camera)
{
    Camera_ = camera ? camera : &OwnCamera_;
    UpdateFacing();
    update();
}

void TVisMap::SetTextures(const TTextureImages* textures)
{
    if (context()) {
        makeCurrent();
        ReleaseTextures();
        doneCurrent();
    }
    Textures_ = textures;
    update();
}

void TVisMap::SetZoom(double zoom)
{
    Camera_->CameraDistance = view::CameraDistanceForZoom(zoom);
    update();
}

void TVisMap::SetStyle(const view::TSceneStyle& style)
{
    Style_ = style;
    update();
}

void TVisMap::SetBackground(int packedColor)
{
    Style_.BackgroundColor = packedColor;
    update();
}

void TVisMap::UpdateFacing()
{
    FacingRotX_ = Camera_->RotX;
    FacingRotZ_ = Camera_->RotZ;
    Facing_ = view::UpdateFacing(FacingRotX_, FacingRotZ_);
}

void TVisMap::AnimateStep(view::TRotationAxis axis)
{
    view::StepRotation(*Camera_, axis);
    UpdateFacing();
    repaint();
}

QImage TVisMap::GrabPicture()
{
    return grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

void TVisMap::initializeGL()
{
    // Textures belong to the context; a widget moved to another window gets a new one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        ReleaseTextures();
        doneCurrent();
    });
}

bool TVisMap::IsObjectVisible(int objectIndex) const
{
    if (objectIndex < 0 || objectIndex >= ObjectCount())
        return false;
    const view::TLayer& layer = Layers_[static_cast<std::size_t>(objectIndex / 4)];
    switch (objectIndex % 4) {
    case view::ObjectPoints:
        return layer.PointObject.Visible != 0;
    case view::ObjectLines:
        return layer.LineObject.Visible != 0;
    case view::ObjectPolygons:
        return layer.PolygonObject.Visible != 0;
    default:
        return layer.GeometryObject.Visible != 0;
    }
}

std::vector<int> TVisMap::PickPoints(int objectIndex, int x, int y, int x0, int y0) const
{
    if (objectIndex % 4 != view::ObjectPoints || !IsObjectVisible(objectIndex))
        return {};
    const view::TVisPoint& points = Layers_[static_cast<std::size_t>(objectIndex / 4)].PointObject;
    std::vector<int> picked =
        view::PickMarkers(points.Positions, points.Radii, *Camera_, width(), height(), x, y, x0, y0);
    std::erase_if(picked, [&](int i) { return !IsMarkerShown(objectIndex, static_cast<std::size_t>(i)); });
    return picked;
}

void TVisMap::paintGL()
{
    // Anything painted over the scene with QPainter may leave a shader program bound.
    if (QOpenGLContext* gl = QOpenGLContext::currentContext(); gl && gl->format().majorVersion() >= 2)
        gl->functions()->glUseProgram(0);

    const int w = width(), h = height();
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(std::lround(w * ratio)), static_cast<GLsizei>(std::lround(h * ratio)));
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(view::ProjectionMatrix(*Camera_, w, h).data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(view::ModelViewMatrix(*Camera_).data());
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    const TArray1D background = coloring::ColorFromPacked(Style_.BackgroundColor);
    glClearColor(static_cast<GLfloat>(background[0]), static_cast<GLfloat>(background[1]),
                 static_cast<GLfloat>(background[2]), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (ObjectCount() > 0)
        DrawAxes();
    if (Camera_->RotX != FacingRotX_ || Camera_->RotZ != FacingRotZ_)
        UpdateFacing();
    for (int i = 0; i < ObjectCount(); ++i) {
        if (!IsObjectVisible(i))
            continue;
        view::TLayer& layer = Layers_[static_cast<std::size_t>(i / 4)];
        switch (i % 4) {
        case view::ObjectPoints:
            DrawPoints(layer.PointObject, i);
            break;
        case view::ObjectLines:
            DrawLines(layer.LineObject);
            break;
        case view::ObjectPolygons:
            DrawPolygons(layer.PolygonObject);
            break;
        default:
            DrawGeometry(layer.GeometryObject);
            break;
        }
    }
    if (BandShown_)
        DrawRubberBand();
}

void TVisMap::mousePressEvent(QMouseEvent* event)
{
    if (Mouse_.ButtonDown || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton))
        return;
    PressButton_ = event->button();
    const QPoint p = event->position().toPoint();
    view::MousePress(Mouse_, ToolMode_, p.x(), p.y());
}

void TVisMap::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const view::TMouseEffect effect = view::MouseMove(*Camera_, Mouse_, ToolMode_, p.x(), p.y(), height());
    if (effect.Rotated) {
        UpdateFacing();
        if (OnAfterRotate)
            OnAfterRotate();
    }
    if (effect.RubberBand) {
        BandShown_ = true;
        update();
    }
    if (effect.Repaint)
        update();
    if (effect.Hover) {
        if (OnHoverPoints)
            OnHoverPoints(PickPoints(DataPointObject, p.x(), p.y(), p.x(), p.y()), p);
        if (OnHoverRays)
            OnHoverRays(PickPoints(RayEndObject, p.x(), p.y(), p.x(), p.y()), p);
    }
}

void TVisMap::mouseReleaseEvent(QMouseEvent* event)
{
    if (!Mouse_.ButtonDown || event->button() != PressButton_)
        return;
    const QPoint p = event->position().toPoint();
    const view::TMouseButton button =
        PressButton_ == Qt::RightButton ? view::TMouseButton::Right : view::TMouseButton::Left;
    const view::TMouseEffect effect =
        view::MouseRelease(*Camera_, Mouse_, ToolMode_, button, p.x(), p.y(), width(), height());
    if (BandShown_) {
        BandShown_ = false;
        update();
    }
    if (effect.Select && OnSelect)
        OnSelect(PickPoints(DataPointObject, p.x(), p.y(), Mouse_.PressX, Mouse_.PressY));
    if (effect.ZoomChanged && OnZoomChanged)
        OnZoomChanged(effect.Zoom);
    if (effect.Repaint)
        update();
    if (effect.AfterMouseUp && OnAfterMouseUp)
        OnAfterMouseUp();
}

void TVisMap::leaveEvent(QEvent* event)
{
    QOpenGLWidget::leaveEvent(event);
    if (Mouse_.ButtonDown)
        return;
    // The hint of the last point under the mouse must not stay behind.
    const QPoint outside = mapFromGlobal(QCursor::pos());
    if (OnHoverPoints)
        OnHoverPoints({}, outside);
    if (OnHoverRays)
        OnHoverRays({}, outside);
}

} // namespace orbelin::gui

// The 3D view under a real X server: what it draws, and what its mouse tools do.
#include "gui/TVisMap.h"
#include "gui/TRotationAnimation.h"

#include "TestUtil.h"
#include "view/TAddObject.h"
#include "view/TCamera.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orbelin::gui {
namespace {

constexpr int Width = 400, Height = 300;
constexpr int Grey = 0x404040; // (64, 64, 64) / 256 per channel

// One marker's worth of point data.
struct TMarker {
    double X, Y, Z;
    int Shape;
    double Size, Radius;
    TArray1D Fill, Border;
    int FillFlag, BorderFlag;
};

void AddMarker(view::TVisPoint& points, const TMarker& m)
{
    points.Positions.push_back({m.X, m.Y, m.Z});
    points.Shapes.push_back(m.Shape);
    points.Sizes.push_back(m.Size);
    points.Radii.push_back(m.Radius);
    points.FillColors.push_back(m.Fill);
    points.BorderColors.push_back(m.Border);
    points.Flags[0].push_back(m.FillFlag);
    points.Flags[1].push_back(m.BorderFlag);
}

// A shown view of fixed size over layers, a camera and visibility flags owned by the test,
// as a map and its dataset own them.
struct TSceneFixture {
    std::vector<view::TLayer> Layers = std::vector<view::TLayer>(4);
    view::TCamera Camera;
    TArray1I Visibility;
    TVisMap View;

    TSceneFixture()
    {
        View.resize(Width, Height);
        View.SetLayers(Layers);
        View.SetCamera(&Camera);
        View.SetVisibility(&Visibility);
        view::TSceneStyle style;
        style.BackgroundColor = Grey;
        View.SetStyle(style);
        View.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&View));
    }

    // The mouse position (y down) of a scene point under the current camera.
    QPoint MouseAt(double x, double y, double z) const
    {
        const double p[3] = {x, y, z};
        double w[3];
        EXPECT_TRUE(view::ProjectToWindow(p, view::ModelViewMatrix(Camera),
                                          view::ProjectionMatrix(Camera, Width, Height), Width, Height, w));
        return {static_cast<int>(std::floor(w[0])), static_cast<int>(std::floor(Height - w[1]))};
    }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(at), View.mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&View, &event);
    }
    void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonPress, at, button, button);
    }
    void Move(QPoint at, Qt::MouseButtons buttons) { Send(QEvent::MouseMove, at, Qt::NoButton, buttons); }
    void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
};

// True when the pixel is within tol of (r, g, b) in every channel.
bool IsColor(const QImage& image, QPoint at, int r, int g, int b, int tol = 3)
{
    const QColor c = image.pixelColor(at);
    return std::abs(c.red() - r) <= tol && std::abs(c.green() - g) <= tol && std::abs(c.blue() - b) <= tol;
}

std::string Describe(const QImage& image, QPoint at)
{
    const QColor c = image.pixelColor(at);
    return "pixel (" + std::to_string(at.x()) + ", " + std::to_string(at.y()) + ") is " + std::to_string(c.red()) +
           " " + std::to_string(c.green()) + " " + std::to_string(c.blue());
}

// Any pixel next to the point has the colour: a line one pixel wide may fall on the
// neighbouring row or column.
bool LineNear(const QImage& image, QPoint at, int r, int g, int b)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (IsColor(image, at + QPoint(dx, dy), r, g, b))
                return true;
    return false;
}

TEST(TVisMapTest, DrawsEachObjectInItsColourAtItsPlace)
{
    TSceneFixture scene;
    // Layer 0: a red filled square, a green triangle and a marker with only a blue border.
    AddMarker(scene.Layers[0].PointObject, {-1, 1, 0, 0, 20, 5, {1, 0, 0}, {0, 0, 0}, 1, 0});
    AddMarker(scene.Layers[0].PointObject, {1, 1, 0, 1, 20, 5, {0, 1, 0}, {0, 0, 0}, 1, 0});
    AddMarker(scene.Layers[0].PointObject, {-1, -1, 0, 5, 20, 5, {1, 0, 0}, {0, 0, 1}, 0, 1});
    // Bad input is skipped, not drawn from stray memory: an unknown shape and a marker whose
    // size is missing.
    AddMarker(scene.Layers[0].PointObject, {0.5, 1.6, 0, 42, 20, 5, {0, 1, 0}, {0, 0, 0}, 1, 0});
    AddMarker(scene.Layers[0].PointObject, {-0.5, 1.6, 0, 0, 20, 5, {0, 1, 0}, {0, 0, 0}, 1, 0});
    scene.Layers[0].PointObject.Sizes.pop_back();
    // Layer 1: a yellow polyline below the markers, and net markers that are switched off.
    view::TVisLine& line = scene.Layers[1].LineObject;
    line.Vertices = {{-2, -0.5, 0}, {-0.5, -0.5, 0}, {0.5, -0.5, 0}};
    line.Colors = {{1, 1, 0}, {1, 1, 0}, {1, 1, 0}};
    line.Polylines = {{0, 1, 2}, {7, -1}}; // the second strip's indices are out of range
    AddMarker(scene.Layers[1].PointObject, {-1.8, -1.5, 0, 0, 20, 5, {1, 0, 1}, {0, 0, 0}, 1, 0});
    scene.Layers[1].PointObject.Visible = 0;
    // Layer 2: a smooth quad, red at the bottom and blue at the top.
    view::TVisPol& quad = scene.Layers[2].PolygonObject;
    quad.Vertices = {{0.6, -2, 0}, {1.6, -2, 0}, {1.6, -1, 0}, {0.6, -1, 0}};
    quad.Colors = {{1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 1}};
    quad.Polygons = {{0, 1, 2, 3}};

    QImage image = scene.View.GrabPicture();
    ASSERT_EQ(QSize(Width, Height), image.size());
    EXPECT_EQ(QImage::Format_RGB32, image.format());
    // The visibility flags were empty: drawing gave every data point a flag 1.
    EXPECT_EQ((TArray1I{1, 1, 1, 1, 1}), scene.Visibility);

    struct TProbe {
        const char* Name;
        QPoint At;
        int R, G, B;
    };
    const TProbe probes[] = {
        {"background corner", {2, 2}, 64, 64, 64},
        {"red square", scene.MouseAt(-1, 1, 0), 255, 0, 0},
        {"red square's corner", scene.MouseAt(-1, 1, 0) + QPoint(5, 5), 255, 0, 0},
        {"green triangle", scene.MouseAt(1, 1, 0), 0, 255, 0},
        {"unknown shape", scene.MouseAt(0.5, 1.6, 0), 64, 64, 64},
        {"missing size", scene.MouseAt(-0.5, 1.6, 0), 64, 64, 64},
        {"unfilled marker's centre", scene.MouseAt(-1, -1, 0), 64, 64, 64},
        {"hidden net marker", scene.MouseAt(-1.8, -1.5, 0), 64, 64, 64},
        {"bottom of the quad", scene.MouseAt(1.1, -1.97, 0), 250, 0, 5},
        {"middle of the quad", scene.MouseAt(1.1, -1.5, 0), 128, 0, 128},
    };
    for (const TProbe& p : probes)
        EXPECT_TRUE(IsColor(image, p.At, p.R, p.G, p.B, 8)) << p.Name << ": " << Describe(image, p.At);
    EXPECT_TRUE(LineNear(image, scene.MouseAt(-1.5, -0.5, 0), 255, 255, 0));
    // Axis colours are the packed channels / 256: teal and purple.
    EXPECT_TRUE(LineNear(image, scene.MouseAt(1.1, 0, 0), 0, 128, 128));
    EXPECT_TRUE(LineNear(image, scene.MouseAt(0, 1.1, 0), 128, 0, 128));
    // The border-only marker shows blue somewhere around its centre (radius about 11 pixels).
    bool blue = false;
    const QPoint c = scene.MouseAt(-1, -1, 0);
    for (int dx = -14; dx <= 14 && !blue; ++dx)
        for (int dy = -14; dy <= 14 && !blue; ++dy)
            blue = IsColor(image, c + QPoint(dx, dy), 0, 0, 255, 8);
    EXPECT_TRUE(blue);

    // The dataset hides the green point; the y axis is switched off and the x axis recoloured.
    scene.Visibility[1] = 0;
    view::TSceneStyle style = scene.View.Style();
    style.AxisVisible[1] = false;
    style.AxisColor[0] = 0x0000FF; // red
    scene.View.SetStyle(style);
    image = scene.View.GrabPicture();
    EXPECT_TRUE(IsColor(image, scene.MouseAt(1, 1, 0), 64, 64, 64)) << Describe(image, scene.MouseAt(1, 1, 0));
    EXPECT_FALSE(LineNear(image, scene.MouseAt(0, 1.1, 0), 128, 0, 128));
    EXPECT_TRUE(LineNear(image, scene.MouseAt(1.1, 0, 0), 255, 0, 0));

    // Turned 90 degrees about X and 30 about Z, the square still faces the viewer: its
    // centre and a point 6 pixels off it are red, where an unturned square would be edge-on.
    scene.Camera.RotX = 90;
    scene.Camera.RotZ = 30;
    image = scene.View.GrabPicture();
    const QPoint turned = scene.MouseAt(-1, 1, 0);
    EXPECT_TRUE(IsColor(image, turned, 255, 0, 0, 8)) << Describe(image, turned);
    EXPECT_TRUE(IsColor(image, turned + QPoint(0, 6), 255, 0, 0, 8)) << Describe(image, turned + QPoint(0, 6));
}

TEST(TVisMapTest, DrawsLitSpheresAndCylindersWithTheirTextures)
{
    test::TTempDir dir;
    QImage green(4, 4, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(dir.File("Text1.bmp")), "BMP"));
    const TTextureImages textures = LoadTextureImages(QString::fromStdString(dir.Path().string()));

    TSceneFixture scene;
    scene.View.SetTextures(&textures);
    // Spheres of radius 0.3 (about 17 pixels): red; white with the green texture; white with
    // a texture that does not exist; and one that is not ticked in the objects list.
    view::TAddObjects objects;
    objects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("red", {0, 0, 0}, 0.3, 0x0000FF)));
    objects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("textured", {0, 0, 0}, 0.3, 0xFFFFFF, 0)));
    objects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("no texture", {0, 0, 0}, 0.3, 0xFFFFFF, 7)));
    objects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("unticked", {0, 0, 0}, 0.3, 0x0000FF)));
    objects[3]->Visible = 0;
    // A sphere whose radius row is missing is left out.
    objects.push_back(std::make_unique<view::TAddObject>(view::MakeSphere("no radius", {0, 0, 0}, 0.3, 0x0000FF)));
    objects.back()->Coords.resize(1);
    // A blue tube lying along y, and one standing along z (seen end-on from the front).
    objects.push_back(
        std::make_unique<view::TAddObject>(view::MakeCylinder("along y", {0, 0, 0}, {0, 0, 0}, 0.1, 0.1, 0xFF0000)));
    objects.push_back(
        std::make_unique<view::TAddObject>(view::MakeCylinder("down z", {0, 0, 0}, {0, 0, 0}, 0.1, 0.1, 0xFF0000)));
    const std::array<std::array<double, 3>, 7> starts = {
        {{-1, 1, 0}, {-1, -1, 0}, {1, 1, 0}, {1, -1, 0}, {-0.3, 1.7, 0}, {1.8, -1.5, 0}, {-1.8, 0.5, 1}}};
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->PlacedStart = starts[i];
        scene.Layers[3].GeometryObject.Items.push_back(objects[i].get());
    }
    objects[5]->PlacedEnd = {1.8, 1.5, 0};
    objects[6]->PlacedEnd = {-1.8, 0.5, -1};

    QImage image = scene.View.GrabPicture();
    struct TProbe {
        const char* Name;
        QPoint At;
        int R, G, B;
    };
    // Lit from the viewer, with the fixed-function defaults a sphere's centre gets 1.2 times
    // its colour, clamped.
    const TProbe probes[] = {
        {"red sphere", scene.MouseAt(-1, 1, 0), 255, 0, 0},
        {"textured sphere", scene.MouseAt(-1, -1, 0), 0, 255, 0},
        {"missing texture", scene.MouseAt(1, 1, 0), 255, 255, 255},
        {"unticked sphere", scene.MouseAt(1, -1, 0), 64, 64, 64},
        {"sphere without radius", scene.MouseAt(-0.3, 1.7, 0), 64, 64, 64},
        {"tube along y", scene.MouseAt(1.8, 0.5, 0), 0, 0, 255},
    };
    for (const TProbe& p : probes)
        EXPECT_TRUE(IsColor(image, p.At, p.R, p.G, p.B, 12)) << p.Name << ": " << Describe(image, p.At);
    // The downward tube is turned over about x, not lost: seen from above it is a vertical bar.
    scene.Camera.RotX = -90;
    image = scene.View.GrabPicture();
    const QPoint bar = scene.MouseAt(-1.8, 0.5, 0.6);
    QColor c = image.pixelColor(bar);
    EXPECT_TRUE(c.blue() > 100 && c.red() < 30 && c.green() < 30) << Describe(image, bar);

    // "Objects" off hides them all.
    scene.Camera.RotX = 0;
    scene.Layers[3].GeometryObject.Visible = 0;
    image = scene.View.GrabPicture();
    EXPECT_TRUE(IsColor(image, scene.MouseAt(-1, 1, 0), 64, 64, 64));
}

TEST(TVisMapTest, AxesAreDrawnOnlyWhenTheObjectsListIsNotEmpty)
{
    struct TCase {
        const char* Name;
        int LayerCount;
        bool AxesExpected;
    };
    const TCase cases[] = {{"no layers", 0, false}, {"one empty layer", 1, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSceneFixture scene;
        scene.View.SetLayers(std::span(scene.Layers).first(static_cast<std::size_t>(c.LayerCount)));
        EXPECT_EQ(4 * c.LayerCount, scene.View.ObjectCount());
        const QImage image = scene.View.GrabPicture();
        int nonBackground = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                nonBackground += !IsColor(image, {x, y}, 64, 64, 64, 1);
        EXPECT_EQ(c.AxesExpected, nonBackground > 0) << nonBackground;
        EXPECT_EQ(c.AxesExpected, LineNear(image, scene.MouseAt(1.1, 0, 0), 0, 128, 128));
    }
}

TEST(TVisMapTest, RotateDragTurnsTheCameraAndScaleClickZooms)
{
    TSceneFixture scene;
    int rotations = 0, mouseUps = 0;
    scene.View.OnAfterRotate = [&] { ++rotations; };
    scene.View.OnAfterMouseUp = [&] { ++mouseUps; };
    ASSERT_EQ(view::TToolMode::Rotate, scene.View.ToolMode());

    // 200 pixels to the right in one move: RotZ 200 is the same turn as -160.
    scene.Press({100, 100});
    scene.Move({300, 100}, Qt::LeftButton);
    EXPECT_EQ(-160, scene.Camera.RotZ);
    EXPECT_EQ(0, scene.Camera.RotX);
    scene.Release({300, 100});
    // A second drag, 30 pixels right and down, goes on from there about both axes.
    scene.Press({10, 10});
    scene.Move({40, 40}, Qt::LeftButton);
    scene.Release({40, 40});
    EXPECT_EQ(-130, scene.Camera.RotZ);
    EXPECT_EQ(30, scene.Camera.RotX);
    EXPECT_EQ(2, rotations);
    EXPECT_EQ(2, mouseUps);
    EXPECT_EQ(view::UpdateFacing(30, -130).Fill, scene.View.Facing().Fill);

    // Moving with no button down turns nothing.
    scene.Move({350, 200}, Qt::NoButton);
    EXPECT_EQ(-130, scene.Camera.RotZ);
    EXPECT_EQ(30, scene.Camera.RotX);

    // The picture follows: the x axis now ends where the turned camera puts (1.1, 0, 0).
    const QImage image = scene.View.GrabPicture();
    const QPoint axis = scene.MouseAt(1.1, 0, 0);
    EXPECT_TRUE(LineNear(image, axis, 0, 128, 128)) << Describe(image, axis);

    // A right click with the scale tool moves the camera away by 4/3 and reports the zoom
    // track bar's value nearest(-10000 / (-40 - 19)).
    std::vector<int> zooms;
    scene.View.OnZoomChanged = [&](int zoom) { zooms.push_back(zoom); };
    scene.View.SetToolMode(view::TToolMode::Scale);
    scene.Press({Width / 2, Height / 2}, Qt::RightButton);
    scene.Release({Width / 2, Height / 2}, Qt::RightButton);
    EXPECT_DOUBLE_EQ(-40, scene.Camera.CameraDistance);
    EXPECT_EQ(std::vector<int>{169}, zooms);
    EXPECT_EQ(3, mouseUps);
}

TEST(TVisMapTest, SelectToolPicksTheMarkersThatAreShown)
{
    TSceneFixture scene;
    for (double x : {-1.0, 0.5, 1.5})
        AddMarker(scene.Layers[0].PointObject, {x, 1, 0, 0, 20, 6, {1, 0, 0}, {0, 0, 0}, 1, 0});
    AddMarker(scene.Layers[3].PointObject, {-1, -1, 0, 2, 20, 6, {0, 0, 1}, {0, 0, 0}, 1, 0}); // a ray end
    scene.Visibility = {1, 1, 0};
    scene.View.SetToolMode(view::TToolMode::Select);
    std::vector<std::vector<int>> selections, hoverPoints, hoverRays;
    int mouseUps = 0;
    scene.View.OnSelect = [&](const std::vector<int>& points) { selections.push_back(points); };
    scene.View.OnHoverPoints = [&](const std::vector<int>& points, QPoint) { hoverPoints.push_back(points); };
    scene.View.OnHoverRays = [&](const std::vector<int>& points, QPoint) { hoverRays.push_back(points); };
    scene.View.OnAfterMouseUp = [&] { ++mouseUps; };

    // A click 3 pixels off marker 1, within its pick radius of 6.
    const QPoint m1 = scene.MouseAt(0.5, 1, 0) + QPoint(3, 0);
    scene.Press(m1);
    scene.Release(m1);
    // A rectangle from the top left to below the right of all three: marker 2 is hidden.
    scene.Press({5, 5});
    scene.Move({200, 150}, Qt::LeftButton);
    EXPECT_TRUE(scene.View.RubberBandShown());
    const QImage banded = scene.View.GrabPicture();
    bool bandSeen = false;
    for (int x = 20; x < 40; ++x)
        bandSeen = bandSeen || !IsColor(banded, {x, 5}, 64, 64, 64, 1);
    EXPECT_TRUE(bandSeen);
    scene.Release({Width - 5, Height / 2 + 20});
    EXPECT_FALSE(scene.View.RubberBandShown());
    // A click on empty ground.
    scene.Press({5, Height - 5});
    scene.Release({5, Height - 5});
    ASSERT_EQ(3u, selections.size());
    EXPECT_EQ((std::vector<int>{1}), selections[0]);
    EXPECT_EQ((std::vector<int>{0, 1}), selections[1]);
    EXPECT_TRUE(selections[2].empty());
    EXPECT_EQ(3, mouseUps);

    // Hovering reports the data point and the ray end under the mouse, and nothing elsewhere.
    scene.Move(scene.MouseAt(-1, 1, 0), Qt::NoButton);
    scene.Move(scene.MouseAt(-1, -1, 0), Qt::NoButton);
    scene.Move(scene.MouseAt(1.5, 1, 0), Qt::NoButton); // the hidden marker
    const std::vector<std::vector<int>> expectedPoints = {{0}, {}, {}}, expectedRays = {{}, {0}, {}};
    EXPECT_EQ(expectedPoints, hoverPoints);
    EXPECT_EQ(expectedRays, hoverRays);
    // Leaving the view from over a point clears the hint.
    scene.Move(scene.MouseAt(-1, 1, 0), Qt::NoButton);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&scene.View, &leave);
    ASSERT_EQ(5u, hoverPoints.size());
    EXPECT_EQ((std::vector<int>{0}), hoverPoints[3]);
    EXPECT_TRUE(hoverPoints[4].empty());

    // With the data-point layer switched off nothing can be picked.
    scene.Layers[0].SetVisible(false);
    EXPECT_TRUE(scene.View.PickPoints(0, m1.x(), m1.y(), m1.x(), m1.y()).empty());
    EXPECT_TRUE(scene.View.PickPoints(1, m1.x(), m1.y(), m1.x(), m1.y()).empty()); // not a point object
}

TEST(TVisMapTest, RotationAnimationTurnsFramesWithThePause)
{
    TSceneFixture scene;
    TRotationAnimation animation;
    animation.SetView(&scene.View);
    int frames = 0;
    animation.OnFrame = [&] { ++frames; };
    // "Last": eleven frames about Z, then it stops by itself.
    animation.Start(view::TRotationAxis::Z, 0, 11);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !animation.IsRunning(); }, 5000));
    EXPECT_EQ(11, scene.Camera.RotZ);
    EXPECT_EQ(11, frames);
    EXPECT_EQ(view::UpdateFacing(0, 11).Fill, scene.View.Facing().Fill);
    // "Edit" held down: about X until released.
    animation.Start(view::TRotationAxis::X, 5, -1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return scene.Camera.RotX >= 3; }, 5000));
    animation.Stop();
    const int stoppedAt = scene.Camera.RotX;
    QTest::qWait(30);
    EXPECT_EQ(stoppedAt, scene.Camera.RotX);
    EXPECT_EQ(11, scene.Camera.RotZ);
}

} // namespace
} // namespace orbelin::gui

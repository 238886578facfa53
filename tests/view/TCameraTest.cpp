// Camera math, picking and the mouse tools of the 3D view.
#include "view/TCamera.h"
#include "view/MarkerShapes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::view {
namespace {

TEST(TCameraTest, OrthographicViewPutsTheOriginAtTheCentre)
{
    TCamera camera;
    const TMatrix4 mv = ModelViewMatrix(camera), proj = ProjectionMatrix(camera, 800, 600);
    const double origin[3] = {0, 0, 0};
    double w[3];
    ASSERT_TRUE(ProjectToWindow(origin, mv, proj, 800, 600, w));
    EXPECT_NEAR(400, w[0], 1e-9);
    EXPECT_NEAR(300, w[1], 1e-9);
    // Orthographic half height s = 0.0875 * 30 = 2.625: a point at y = 2.625 reaches the top.
    const double top[3] = {0, 2.625, 0};
    ASSERT_TRUE(ProjectToWindow(top, mv, proj, 800, 600, w));
    EXPECT_NEAR(600, w[1], 1e-9);
    // The depth of the origin: eye z = -30 within near 1 and far 500.
    EXPECT_NEAR((30.0 - 1) / (500 - 1), w[2], 1e-12);
}

TEST(TCameraTest, RotationsApplyAboutYThenXThenZ)
{
    TCamera camera;
    camera.RotZ = 90;
    const TMatrix4 mv = ModelViewMatrix(camera), proj = ProjectionMatrix(camera, 600, 600);
    // Turning 90 degrees about Z carries the X axis onto the Y axis.
    const double x[3] = {1, 0, 0};
    double w[3];
    ASSERT_TRUE(ProjectToWindow(x, mv, proj, 600, 600, w));
    EXPECT_NEAR(300, w[0], 1e-9);
    EXPECT_NEAR(300 + 300 / 2.625, w[1], 1e-9);
    camera.RotZ = 0;
    camera.RotX = 90;
    camera.Orthogonal = 0;
    // With X turned first by 90 degrees, Y points towards the viewer: straight ahead.
    const double y[3] = {0, 1, 0};
    ASSERT_TRUE(ProjectToWindow(y, ModelViewMatrix(camera), ProjectionMatrix(camera, 600, 600), 600, 600, w));
    EXPECT_NEAR(300, w[0], 1e-9);
    EXPECT_NEAR(300, w[1], 1e-9);
}

TEST(TCameraTest, PickingByClickAndByRectangle)
{
    TCamera camera;
    const int w = 800, h = 600;
    const TArray2D positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const TArray1D radii = {0, 5, 5};
    // A zero radius picks only an exact hit of the centre (400, 300), mouse y = h - 300.
    EXPECT_EQ((std::vector<int>{0}), PickMarkers(positions, radii, camera, w, h, 400, 300, 400, 300));
    EXPECT_TRUE(PickMarkers(positions, radii, camera, w, h, 401, 300, 401, 300).empty());
    // Marker 1 at x = 1 lies 300 / 2.625 pixels right of the centre; 3 pixels off is within 5.
    const int x1 = static_cast<int>(std::lround(400 + 300 / 2.625));
    EXPECT_EQ((std::vector<int>{1}), PickMarkers(positions, radii, camera, w, h, x1 + 3, 300, x1 + 3, 300));
    // A rectangle from the top left to the bottom right holds all three.
    EXPECT_EQ((std::vector<int>{0, 1, 2}), PickMarkers(positions, radii, camera, w, h, 799, 599, 1, 1));
    // Dragged leftwards, it picks nothing.
    EXPECT_TRUE(PickMarkers(positions, radii, camera, w, h, 1, 599, 799, 1).empty());
}

TEST(TCameraTest, ZoomAndCameraDistanceAgree)
{
    EXPECT_EQ(-481, CameraDistanceForZoom(20));
    EXPECT_EQ(9, CameraDistanceForZoom(1000));
    EXPECT_EQ(-481, CameraDistanceForZoom(5)); // clamped
    EXPECT_EQ(9, CameraDistanceForZoom(5000));
    EXPECT_EQ(320, ZoomForCameraDistance(CameraDistanceForZoom(320)));
    EXPECT_EQ(20, ZoomForCameraDistance(-481));
}

TEST(TCameraTest, RotateToolWrapsAnglesBeyond180ByWholeTurns)
{
    TCamera camera;
    TMouseState state;
    MousePress(state, TToolMode::Rotate, 100, 100);
    const TMouseEffect e = MouseMove(camera, state, TToolMode::Rotate, 300, 100, 600);
    EXPECT_TRUE(e.Rotated);
    EXPECT_EQ(-160, camera.RotZ);
    EXPECT_EQ(0, camera.RotX);
    // A move that leaves the angle alone must not turn the picture.
    MouseMove(camera, state, TToolMode::Rotate, 300, 110, 600);
    EXPECT_EQ(-160, camera.RotZ);
    EXPECT_EQ(10, camera.RotX);

    TCamera stepped;
    TMouseState s2;
    MousePress(s2, TToolMode::Rotate, 0, 0);
    for (int x = 1; x <= 181; ++x)
        MouseMove(stepped, s2, TToolMode::Rotate, x, 0, 600);
    EXPECT_EQ(-179, stepped.RotZ);
    MouseMove(stepped, s2, TToolMode::Rotate, 182, 0, 600);
    EXPECT_EQ(-178, stepped.RotZ);
    MouseRelease(stepped, s2, TToolMode::Rotate, TMouseButton::Left, 182, 0, 800, 600);
    EXPECT_TRUE(MouseMove(stepped, s2, TToolMode::Rotate, 190, 0, 600).Hover);
    EXPECT_EQ(-178, stepped.RotZ);
}

TEST(TCameraTest, ShiftAndScaleTools)
{
    TCamera camera;
    TMouseState state;
    MousePress(state, TToolMode::Shift, 0, 0);
    MouseMove(camera, state, TToolMode::Shift, 60, 30, 600);
    EXPECT_DOUBLE_EQ(60 * 30.0 / (600 * 5.714), camera.PanX);
    EXPECT_DOUBLE_EQ(-30 * 30.0 / (600 * 5.714), camera.PanY);

    TCamera close;
    close.CameraDistance = -1.2;
    TMouseState s2;
    MousePress(s2, TToolMode::Scale, 400, 300);
    const TMouseEffect e = MouseRelease(close, s2, TToolMode::Scale, TMouseButton::Left, 400, 300, 800, 600);
    EXPECT_EQ(-1, close.CameraDistance);
    EXPECT_EQ(0, close.PanX);
    EXPECT_EQ(0, close.PanY);
    EXPECT_TRUE(e.ZoomChanged);
    EXPECT_EQ(500, e.Zoom); // nearest(10000 / 20)

    TCamera far;
    far.CameraDistance = -400;
    TMouseState s3;
    MouseRelease(far, s3, TToolMode::Scale, TMouseButton::Right, 400, 300, 800, 600);
    EXPECT_EQ(-481, far.CameraDistance);

    TMouseState s4;
    MousePress(s4, TToolMode::Select, 10, 10);
    EXPECT_FALSE(MouseMove(far, s4, TToolMode::Select, 20, 10, 600).RubberBand); // only x changed
    EXPECT_TRUE(MouseMove(far, s4, TToolMode::Select, 25, 15, 600).RubberBand);
    EXPECT_TRUE(MouseRelease(far, s4, TToolMode::Select, TMouseButton::Left, 25, 15, 800, 600).Select);
}

TEST(TCameraTest, RotationAnimationStepsOneDegreeAndWrapsPast180)
{
    struct TCase {
        const char* Name;
        TRotationAxis Axis;
        int Start, Frames, ExpectedX, ExpectedZ;
    };
    const TCase cases[] = {
        {"eleven frames about z", TRotationAxis::Z, 0, 11, 5, 11},
        {"past 180 about x", TRotationAxis::X, 178, 4, -178, 7},
        {"a full turn", TRotationAxis::Z, 7, 360, 5, 7},
        {"from beyond -180", TRotationAxis::X, -200, 1, -199, 7},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCamera camera;
        camera.RotX = c.Axis == TRotationAxis::X ? c.Start : 5;
        camera.RotZ = c.Axis == TRotationAxis::Z ? c.Start : 7;
        for (int i = 0; i < c.Frames; ++i)
            StepRotation(camera, c.Axis);
        EXPECT_EQ(c.ExpectedX, camera.RotX);
        EXPECT_EQ(c.ExpectedZ, camera.RotZ);
    }
}

TEST(TCameraTest, RotationPauseText)
{
    struct TCase {
        const char* Text;
        std::optional<int> Expected;
    };
    const TCase cases[] = {
        {"60", 60}, {"", 0},     {"  ", 0},      {" 15 ", 15},        {"0", 0}, {"600000", 600000}, {"-5", {}},
        {"6x", {}}, {"1.5", {}}, {"600001", {}}, {"99999999999", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(c.Expected, RotationPause(c.Text));
    }
}

TEST(MarkerShapesTest, TemplatesAndFacingCopies)
{
    const TMarkerShapes& shapes = MarkerShapes();
    const std::size_t counts[] = {4, 3, 4, 5, 6, 10, 20};
    for (int k = 0; k < MarkerShapeCount; ++k)
        EXPECT_EQ(counts[k], shapes[k].size());
    EXPECT_NEAR(std::sqrt(0.5) / 100, shapes[0][0][0], 1e-15); // the square starts at pi/4
    EXPECT_EQ(0.0, shapes[1][0][0]);
    EXPECT_EQ(0.01, shapes[1][0][1]);

    const TFacingShapes still = UpdateFacing(0, 0);
    EXPECT_EQ(shapes[3], still.Fill[3]);
    EXPECT_NEAR(0.001, still.Border[3][0][2], 1e-18);
    // Turned 90 degrees about X, the template's y direction points along -z.
    const TFacingShapes turned = UpdateFacing(90, 0);
    EXPECT_NEAR(0, turned.Fill[1][0][1], 1e-9);
    EXPECT_NEAR(-0.01, turned.Fill[1][0][2], 1e-9);
}

} // namespace
} // namespace orbelin::view

// Camera math of the 3D view, following OpenGL's and GLU's definitions of glOrtho,
// gluPerspective, glTranslated, glRotatef and gluProject.
#include "view/TCamera.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace orbelin::view {
namespace {

TMatrix4 Identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

double& At(TMatrix4& m, int row, int col)
{
    return m[static_cast<std::size_t>(col * 4 + row)];
}
double At(const TMatrix4& m, int row, int col)
{
    return m[static_cast<std::size_t>(col * 4 + row)];
}

TMatrix4 Translation(double x, double y, double z)
{
    TMatrix4 m = Identity();
    At(m, 0, 3) = x;
    At(m, 1, 3) = y;
    At(m, 2, 3) = z;
    return m;
}

// glRotatef for a unit axis.
TMatrix4 Rotation(double degrees, double x, double y, double z)
{
    const double a = degrees * std::numbers::pi / 180;
    const double c = std::cos(a), s = std::sin(a), t = 1 - c;
    TMatrix4 m = Identity();
    At(m, 0, 0) = x * x * t + c;
    At(m, 0, 1) = x * y * t - z * s;
    At(m, 0, 2) = x * z * t + y * s;
    At(m, 1, 0) = y * x * t + z * s;
    At(m, 1, 1) = y * y * t + c;
    At(m, 1, 2) = y * z * t - x * s;
    At(m, 2, 0) = x * z * t - y * s;
    At(m, 2, 1) = y * z * t + x * s;
    At(m, 2, 2) = z * z * t + c;
    return m;
}

// Brings an angle back into -180..180 by whole turns. Negating an angle beyond 180 instead
// (200 -> -200) mirrors the picture, and every later move that leaves the angle beyond 180
// flips it back and forth.
int WrapAngle(int angle)
{
    while (angle > 180)
        angle -= 360;
    while (angle < -180)
        angle += 360;
    return angle;
}

double PanStep(const TCamera& camera, int pixels, int height)
{
    return pixels * (-camera.CameraDistance) / (height * 5.714);
}

} // namespace

TMatrix4 MultiplyMatrices(const TMatrix4& a, const TMatrix4& b)
{
    TMatrix4 r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double s = 0;
            for (int k = 0; k < 4; ++k)
                s += At(a, row, k) * At(b, k, col);
            At(r, row, col) = s;
        }
    return r;
}

TMatrix4 ProjectionMatrix(const TCamera& camera, int width, int height)
{
    const double aspect = height != 0 ? static_cast<double>(width) / height : 1.0;
    const double nearPlane = 1, farPlane = 500;
    TMatrix4 m{};
    if (camera.Orthogonal) {
        const double s = 0.0875 * (-camera.CameraDistance);
        const double l = -s * aspect, r = s * aspect, b = -s, t = s;
        At(m, 0, 0) = 2 / (r - l);
        At(m, 1, 1) = 2 / (t - b);
        At(m, 2, 2) = -2 / (farPlane - nearPlane);
        At(m, 0, 3) = -(r + l) / (r - l);
        At(m, 1, 3) = -(t + b) / (t - b);
        At(m, 2, 3) = -(farPlane + nearPlane) / (farPlane - nearPlane);
        At(m, 3, 3) = 1;
    } else {
        const double f = 1 / std::tan(10.0 / 2 * std::numbers::pi / 180);
        At(m, 0, 0) = f / aspect;
        At(m, 1, 1) = f;
        At(m, 2, 2) = (farPlane + nearPlane) / (nearPlane - farPlane);
        At(m, 2, 3) = 2 * farPlane * nearPlane / (nearPlane - farPlane);
        At(m, 3, 2) = -1;
    }
    return m;
}

TMatrix4 ModelViewMatrix(const TCamera& camera)
{
    TMatrix4 m = Translation(camera.PanX, camera.PanY, camera.CameraDistance);
    m = MultiplyMatrices(m, Rotation(camera.RotY, 0, 1, 0));
    m = MultiplyMatrices(m, Rotation(camera.RotX, 1, 0, 0));
    m = MultiplyMatrices(m, Rotation(camera.RotZ, 0, 0, 1));
    return m;
}

bool ProjectToWindow(const double point[3], const TMatrix4& modelView, const TMatrix4& projection, int width,
                     int height, double window[3])
{
    double eye[4], clip[4];
    for (int r = 0; r < 4; ++r)
        eye[r] = At(modelView, r, 0) * point[0] + At(modelView, r, 1) * point[1] + At(modelView, r, 2) * point[2] +
                 At(modelView, r, 3);
    for (int r = 0; r < 4; ++r)
        clip[r] = At(projection, r, 0) * eye[0] + At(projection, r, 1) * eye[1] + At(projection, r, 2) * eye[2] +
                  At(projection, r, 3) * eye[3];
    if (clip[3] == 0)
        return false;
    for (int r = 0; r < 3; ++r)
        clip[r] /= clip[3];
    window[0] = width * (clip[0] + 1) / 2;
    window[1] = height * (clip[1] + 1) / 2;
    window[2] = (clip[2] + 1) / 2;
    return true;
}

std::vector<int> PickMarkers(const TArray2D& positions, const TArray1D& radii, const TCamera& camera, int width,
                             int height, int x, int y, int x0, int y0)
{
    const TMatrix4 modelView = ModelViewMatrix(camera);
    const TMatrix4 projection = ProjectionMatrix(camera, width, height);
    const bool click = x == x0 && y == y0;
    std::vector<int> picked;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const TArray1D& p = positions[i];
        const double point[3] = {p.size() > 0 ? p[0] : 0, p.size() > 1 ? p[1] : 0, p.size() > 2 ? p[2] : 0};
        double w[3];
        if (!ProjectToWindow(point, modelView, projection, width, height, w))
            continue;
        if (click) {
            const double radius = i < radii.size() ? radii[i] : 0;
            const double dx = w[0] - x, dy = w[1] - (height - y);
            if (dx * dx + dy * dy <= radius * radius)
                picked.push_back(static_cast<int>(i));
        } else if (x0 < w[0] && w[0] < x && height - y < w[1] && w[1] < height - y0) {
            picked.push_back(static_cast<int>(i));
        }
    }
    return picked;
}

double CameraDistanceForZoom(double zoom)
{
    const double z = std::fmin(std::fmax(zoom, 20.0), 1000.0);
    return 19 - 10000 / z;
}

int ZoomForCameraDistance(double cameraDistance)
{
    return static_cast<int>(std::nearbyint(-10000 / (cameraDistance - 19)));
}

TMouseEffect MousePress(TMouseState& state, TToolMode mode, int x, int y)
{
    state.ButtonDown = true;
    state.PressX = state.LastX = x;
    state.PressY = state.LastY = y;
    if (mode == TToolMode::Select || mode == TToolMode::Scale) {
        state.BandX = x;
        state.BandY = y;
    }
    return {};
}

TMouseEffect MouseMove(TCamera& camera, TMouseState& state, TToolMode mode, int x, int y, int height)
{
    TMouseEffect effect;
    if (!state.ButtonDown) {
        effect.Hover = true;
    } else if (mode == TToolMode::Rotate) {
        camera.RotZ = WrapAngle(camera.RotZ + (x - state.LastX));
        camera.RotX = WrapAngle(camera.RotX + (y - state.LastY));
        effect.Rotated = effect.Repaint = true;
    } else if (mode == TToolMode::Shift) {
        camera.PanX += PanStep(camera, x - state.LastX, height);
        camera.PanY += PanStep(camera, state.LastY - y, height);
        effect.Repaint = true;
    } else if (x != state.BandX && y != state.BandY) {
        state.BandX = x;
        state.BandY = y;
        effect.RubberBand = true;
    }
    state.LastX = x;
    state.LastY = y;
    return effect;
}

TMouseEffect MouseRelease(TCamera& camera, TMouseState& state, TToolMode mode, TMouseButton button, int x, int y,
                          int width, int height)
{
    TMouseEffect effect;
    state.ButtonDown = false;
    effect.AfterMouseUp = true;
    switch (mode) {
    case TToolMode::Select:
        effect.Select = true;
        break;
    case TToolMode::Rotate:
    case TToolMode::Shift:
        break;
    case TToolMode::Scale: {
        const int cx = static_cast<int>(std::nearbyint(width / 2.0));
        const int cy = static_cast<int>(std::nearbyint(height / 2.0));
        camera.PanX += PanStep(camera, cx - x, height);
        camera.PanY += PanStep(camera, y - cy, height);
        if (button == TMouseButton::Left)
            camera.CameraDistance = std::fmin(camera.CameraDistance * 2 / 3, -1.0);
        else
            camera.CameraDistance = std::fmax(camera.CameraDistance * 4 / 3, -481.0);
        effect.ZoomChanged = true;
        effect.Zoom = ZoomForCameraDistance(camera.CameraDistance);
        effect.Repaint = true;
        break;
    }
    }
    return effect;
}

void StepRotation(TCamera& camera, TRotationAxis axis)
{
    int& angle = axis == TRotationAxis::X ? camera.RotX : camera.RotZ;
    angle = angle >= 180 ? angle - 359 : angle + 1;
}

std::optional<int> RotationPause(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return 0;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 600000)
        return std::nullopt;
    return value;
}

} // namespace orbelin::view

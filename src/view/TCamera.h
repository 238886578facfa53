// The 3D view's camera as plain math: the matrices the scene is drawn with, window
// positions of points, picking, zoom and the mouse tools. No OpenGL is needed, so the
// exporters and the tests see exactly what the screen shows.
#pragma once

#include "numeric/TArray.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace orbelin::view {

/// A 4 x 4 matrix in OpenGL's column-major order: element (row r, column c) is [c*4 + r].
using TMatrix4 = std::array<double, 16>;

/// The camera state of a map's view, with the defaults of a new view.
struct TCamera {
    double CameraDistance = -30; ///< translation along the view axis; negative is away
    int Orthogonal = 1;          ///< 1 orthographic, 0 perspective
    double PanX = 0, PanY = 0;
    int RotX = 0, RotY = 0, RotZ = 0; ///< whole degrees
};

/// glOrtho(-s w/h, s w/h, -s, s, 1, 500) with s = 0.0875 * -CameraDistance, or
/// gluPerspective(10, w/h, 1, 500).
TMatrix4 ProjectionMatrix(const TCamera& camera, int width, int height);
/// Translate by (PanX, PanY, CameraDistance), then rotate about Y, X and Z in that order.
TMatrix4 ModelViewMatrix(const TCamera& camera);
TMatrix4 MultiplyMatrices(const TMatrix4& a, const TMatrix4& b);

/// Window position of a point as gluProject gives it (y grows upwards, z in 0..1 for the
/// visible depth range). False when the point projects to infinity.
bool ProjectToWindow(const double point[3], const TMatrix4& modelView, const TMatrix4& projection, int width,
                     int height, double window[3]);

/// Marker indices picked at a mouse position. A click (x, y equal to x0, y0) picks the
/// markers whose window position lies within their radius of (x, h - y); a drag picks those
/// strictly inside x0 < px < x, h - y < py < h - y0 (nothing when dragged left or up).
std::vector<int> PickMarkers(const TArray2D& positions, const TArray1D& radii, const TCamera& camera, int width,
                             int height, int x, int y, int x0, int y0);

/// CameraDistance for a zoom value, clamped to 20..1000: 19 - 10000 / z.
double CameraDistanceForZoom(double zoom);
/// The zoom track bar's value for a camera distance: nearest(-10000 / (d - 19)).
int ZoomForCameraDistance(double cameraDistance);

enum class TToolMode : int { Select = 0, Rotate = 1, Shift = 2, Scale = 3 };
enum class TMouseButton { Left, Right };

/// Mouse state between events.
struct TMouseState {
    bool ButtonDown = false;
    int PressX = 0, PressY = 0;
    int LastX = 0, LastY = 0;
    int BandX = 0, BandY = 0; ///< the far corner of the rubber band drawn last
};

/// What the view must do after a mouse event; the window acts on it.
struct TMouseEffect {
    bool Repaint = false;
    bool Rotated = false;      ///< angles changed: follow the track bars, update facing shapes
    bool RubberBand = false;   ///< redraw the rubber band from (PressX, PressY) to (BandX, BandY)
    bool Hover = false;        ///< no button down: report the markers under the mouse
    bool Select = false;       ///< select mode release: pick from the press to the release position
    bool AfterMouseUp = false; ///< redraw the annotations
    bool ZoomChanged = false;
    int Zoom = 0;
};

TMouseEffect MousePress(TMouseState& state, TToolMode mode, int x, int y);
TMouseEffect MouseMove(TCamera& camera, TMouseState& state, TToolMode mode, int x, int y, int height);
TMouseEffect MouseRelease(TCamera& camera, TMouseState& state, TToolMode mode, TMouseButton button, int x, int y,
                          int width, int height);

/// The axis the rotation buttons turn the view about.
enum class TRotationAxis { X, Z };

/// One frame of the rotation animation: the angle about the axis grows by one degree. Past
/// 180 it carries on from -179, the same orientation, so the track bars (-180..180) can follow
/// a rotation that runs for ever.
void StepRotation(TCamera& camera, TRotationAxis axis);

/// The rotation pause box's text as milliseconds: blank text waits not at all (0); otherwise
/// a whole number 0..600000. Anything else gives nullopt, for the caller to report.
std::optional<int> RotationPause(std::string_view text);

} // namespace orbelin::view

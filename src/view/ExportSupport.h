// What the exporters share: window positions of the data-point markers, the general
// number form, and writing whole files in place only once they are complete.
#pragma once

#include "view/SceneObjects.h"
#include "view/TCamera.h"

#include <string>
#include <string_view>
#include <vector>

namespace orbelin::view {

/// A marker's position in the window, rounded to whole pixels, y counted from the bottom
/// edge as gluProject gives it. Placed is false for a point the camera cannot project.
struct TWindowPoint {
    int X = 0;
    int Y = 0;
    bool Placed = false;
};

/// What an export sees of the map window: the data-point markers (object 0 of the view)
/// under the current camera in a view of Width x Height pixels.
struct TExportView {
    const TVisPoint* DataPoints = nullptr;
    TCamera Camera;
    int Width = 0;
    int Height = 0;
};

/// The window positions of every marker of a point object under the camera.
std::vector<TWindowPoint> MarkerWindowPositions(const TVisPoint& points, const TCamera& camera, int width, int height);

/// The shortest general decimal form with at most 15 significant digits ("1", "0.5",
/// "0.501960784313725"), whatever the locale.
std::string GeneralText(double x);

/// Writes the bytes to a temporary file beside fileName and renames it over fileName
/// once it is complete. Raises TError naming the file on failure; the old file stays.
void WriteFileReplacing(const std::string& fileName, std::string_view bytes);

/// The same, gzip-compressed at the highest level.
void WriteGzipFileReplacing(const std::string& fileName, std::string_view bytes);

} // namespace orbelin::view

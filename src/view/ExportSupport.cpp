// Window positions of markers, number text and complete-or-nothing file writing for the
// exporters.
#include "view/ExportSupport.h"

#include "coloring/ColorSchemes.h"
#include "data/SafeFiles.h"
#include "data/TError.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace orbelin::view {
namespace {

// Rounds a window coordinate; a point far off screen is held where an int can hold it.
int Pixel(double v)
{
    return coloring::Nearest(std::clamp(v, -1e9, 1e9));
}

[[noreturn]] void FailWriting(const std::string& fileName, const std::string& tempName, const std::string& reason)
{
    std::remove(tempName.c_str());
    throw TError("cannot write file " + fileName + ": " + reason);
}

void ReplaceWithTemp(const std::string& fileName, const std::string& tempName)
{
    try {
        data::RenameReplacing(tempName, fileName);
    } catch (...) {
        std::remove(tempName.c_str());
        throw;
    }
}

} // namespace

std::vector<TWindowPoint> MarkerWindowPositions(const TVisPoint& points, const TCamera& camera, int width, int height)
{
    const TMatrix4 modelView = ModelViewMatrix(camera);
    const TMatrix4 projection = ProjectionMatrix(camera, width, height);
    std::vector<TWindowPoint> window(points.Positions.size());
    for (std::size_t i = 0; i < points.Positions.size(); ++i) {
        const TArray1D& p = points.Positions[i];
        const double point[3] = {p.size() > 0 ? p[0] : 0, p.size() > 1 ? p[1] : 0, p.size() > 2 ? p[2] : 0};
        double w[3];
        if (ProjectToWindow(point, modelView, projection, width, height, w))
            window[i] = {Pixel(w[0]), Pixel(w[1]), true};
    }
    return window;
}

std::string GeneralText(double x)
{
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, x, std::chars_format::general, 15).ptr;
    return std::string(text, end);
}

void WriteFileReplacing(const std::string& fileName, std::string_view bytes)
{
    data::WriteFileReplacing(fileName, bytes);
}

void WriteGzipFileReplacing(const std::string& fileName, std::string_view bytes)
{
    data::RemoveStaleTemporaries(fileName);
    const std::string tempName = data::UniqueTemporaryName(fileName);
    gzFile out = gzopen(tempName.c_str(), "wb9");
    if (!out)
        throw TError("cannot create file " + fileName + ": " + std::strerror(errno));
    // gzwrite takes an unsigned count, so large scenes go in pieces.
    constexpr std::size_t chunk = 1 << 20;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const auto n = static_cast<unsigned>(std::min(chunk, bytes.size() - at));
        if (gzwrite(out, bytes.data() + at, n) != static_cast<int>(n)) {
            int code = 0;
            const std::string reason = gzerror(out, &code);
            gzclose(out);
            FailWriting(fileName, tempName, reason);
        }
    }
    if (gzclose(out) != Z_OK)
        FailWriting(fileName, tempName, "the compressed stream could not be completed");
    ReplaceWithTemp(fileName, tempName);
}

} // namespace orbelin::view

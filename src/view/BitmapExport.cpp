// Writing 24-bit BMP files and naming the rotation frames.
#include "view/BitmapExport.h"

#include "coloring/ColorSchemes.h"
#include "data/TError.h"
#include "view/ExportSupport.h"

namespace orbelin::view {
namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::size_t InfoHeaderBytes = 40;
constexpr std::int32_t PixelsPerMetre = 2835; // 72 dots per inch

void Put16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

} // namespace

std::size_t BitmapRowBytes(int width)
{
    return (3 * static_cast<std::size_t>(width > 0 ? width : 0) + 3) / 4 * 4;
}

void SaveBitmap(const std::string& fileName, int width, int height, const std::vector<std::uint8_t>& pixels)
{
    if (width <= 0 || height <= 0)
        throw TError("cannot write file " + fileName + ": the picture has no pixels (" + std::to_string(width) + " x " +
                     std::to_string(height) + ")");
    const std::size_t rowBytes = BitmapRowBytes(width);
    const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(height);
    if (pixels.size() < imageBytes)
        throw TError("cannot write file " + fileName + ": expected " + std::to_string(imageBytes) +
                     " bytes of pixels, found " + std::to_string(pixels.size()));
    const std::size_t offset = FileHeaderBytes + InfoHeaderBytes;
    if (offset + imageBytes > 0xFFFFFFFFu)
        throw TError("cannot write file " + fileName + ": the picture is too large for a bitmap file");

    std::string out;
    out.reserve(offset + imageBytes);
    out += "BM";
    Put32(out, static_cast<std::uint32_t>(offset + imageBytes));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(offset));
    Put32(out, InfoHeaderBytes);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height)); // positive: rows stored from the bottom
    Put16(out, 1);                                  // planes
    Put16(out, 24);                                 // bits per pixel
    Put32(out, 0);                                  // no compression
    Put32(out, static_cast<std::uint32_t>(imageBytes));
    Put32(out, PixelsPerMetre);
    Put32(out, PixelsPerMetre);
    Put32(out, 0);
    Put32(out, 0);
    // The frame buffer's rows already run from the bottom with the bitmap's padding; only
    // the channel order differs (BMP stores blue, green, red).
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* src = pixels.data() + static_cast<std::size_t>(row) * rowBytes;
        for (int x = 0; x < width; ++x, src += 3) {
            out += static_cast<char>(src[2]);
            out += static_cast<char>(src[1]);
            out += static_cast<char>(src[0]);
        }
        out.append(rowBytes - 3 * static_cast<std::size_t>(width), '\0');
    }
    WriteFileReplacing(fileName, out);
}

int RotationFrameAngle(int k)
{
    return coloring::Nearest(360.0 * k / 50) - 180;
}

std::string RotationFrameName(const std::string& fileName, int k)
{
    const std::string base = fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
    return base + (k < 10 ? "0" : "") + std::to_string(k) + ".bmp";
}

void MakeRotationFrames(TCamera& camera, const std::string& fileName,
                        const std::function<void(const TCamera& camera, const std::string& frameFile)>& saveFrame)
{
    for (int k = 0; k < RotationFrameCount; ++k) {
        camera.RotX = RotationFrameAngle(k);
        saveFrame(camera, RotationFrameName(fileName, k));
    }
}

} // namespace orbelin::view

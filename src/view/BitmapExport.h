// Saving the view's picture as a 24-bit BMP file, and the rotation frames made from it.
#pragma once

#include "view/TCamera.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orbelin::view {

/// Bytes per row of an RGB frame read with 4-byte row alignment: 3 x width rounded up to
/// a multiple of 4 (a frame 1001 pixels wide has rows of 3004 bytes).
std::size_t BitmapRowBytes(int width);

/// Writes a width x height frame as an uncompressed 24-bit BMP. pixels holds the frame as
/// the frame buffer gives it: 8-bit RGB, rows from the bottom, each BitmapRowBytes(width)
/// long. Raises TError when the buffer is too small or the file cannot be written; an
/// existing file is replaced only once the new one is complete.
void SaveBitmap(const std::string& fileName, int width, int height, const std::vector<std::uint8_t>& pixels);

/// The number of rotation frames: the first and the last show the same angle.
constexpr int RotationFrameCount = 51;

/// RotX of frame k: nearest(360 k / 50) - 180.
int RotationFrameAngle(int k);

/// The file of frame k: fileName without its last four characters, k in two digits, ".bmp".
std::string RotationFrameName(const std::string& fileName, int k);

/// For each frame: sets the camera's RotX and calls saveFrame with the frame's file name;
/// the caller updates the facing shapes, repaints and saves the picture. The camera keeps
/// the last frame's angle.
void MakeRotationFrames(TCamera& camera, const std::string& fileName,
                        const std::function<void(const TCamera& camera, const std::string& frameFile)>& saveFrame);

} // namespace orbelin::view

// The texture images ("Text*.bmp" of the working directory) that textured spheres use.
#pragma once

#include <QString>

#include <vector>

namespace orbelin::gui {

/// A picture as OpenGL takes it: tightly packed RGB rows, bottom row first.
struct TTextureImage {
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Rgb;
};

/// Texture index k is the k-th image.
using TTextureImages = std::vector<TTextureImage>;

/// Loads every file of the folder whose name matches "Text*.bmp" (any letter case), in
/// name order. A file that cannot be read keeps its place as an empty image, so the
/// indices of the others do not shift; spheres that name it are drawn untextured.
TTextureImages LoadTextureImages(const QString& folder);

} // namespace orbelin::gui

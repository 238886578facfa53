// Loading the sphere textures.
#include "gui/TextureImages.h"

#include <QDir>
#include <QImage>

#include <cstring>

namespace orbelin::gui {

TTextureImages LoadTextureImages(const QString& folder)
{
    TTextureImages images;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({"Text*.bmp"}, QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        TTextureImage& image = images.emplace_back();
        QImage picture(dir.filePath(name), "BMP");
        if (picture.isNull())
            continue;
        // OpenGL's first texture row is the bottom one.
        picture = picture.convertToFormat(QImage::Format_RGB888).mirrored(false, true);
        image.Width = picture.width();
        image.Height = picture.height();
        const std::size_t rowBytes = static_cast<std::size_t>(image.Width) * 3;
        image.Rgb.resize(rowBytes * static_cast<std::size_t>(image.Height));
        for (int y = 0; y < image.Height; ++y)
            std::memcpy(image.Rgb.data() + rowBytes * static_cast<std::size_t>(y), picture.constScanLine(y), rowBytes);
    }
    return images;
}

} // namespace orbelin::gui

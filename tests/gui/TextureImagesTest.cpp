// Loading the sphere textures from the working directory.
#include "gui/TextureImages.h"

#include "TestUtil.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orbelin::gui {
namespace {

void SaveBmp(const std::string& path, int width, int height, const std::vector<QRgb>& pixels)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, pixels[static_cast<std::size_t>(y * width + x)]);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
}

TEST(TextureImagesTest, LoadsTextBitmapsInNameOrderAsBottomUpRgbRows)
{
    test::TTempDir dir;
    // Three pixels wide, so a row is 9 bytes: rows must come out unpadded.
    SaveBmp(dir.File("Text2.bmp"), 3, 1, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(1, 2, 3)});
    SaveBmp(dir.File("text1.BMP"), 1, 2, {qRgb(0, 0, 255), qRgb(255, 255, 255)}); // top blue, bottom white
    test::WriteBytes(dir.File("Text3.bmp"), "not a picture");
    SaveBmp(dir.File("Other.bmp"), 1, 1, {qRgb(9, 9, 9)});
    SaveBmp(dir.File("Text4.png.old"), 1, 1, {qRgb(9, 9, 9)});

    const TTextureImages images = LoadTextureImages(QString::fromStdString(dir.Path().string()));
    ASSERT_EQ(3u, images.size());
    EXPECT_EQ(1, images[0].Width);
    EXPECT_EQ(2, images[0].Height);
    EXPECT_EQ((std::vector<unsigned char>{255, 255, 255, 0, 0, 255}), images[0].Rgb);
    EXPECT_EQ(3, images[1].Width);
    EXPECT_EQ((std::vector<unsigned char>{255, 0, 0, 0, 255, 0, 1, 2, 3}), images[1].Rgb);
    // The unreadable file keeps index 2, empty.
    EXPECT_EQ(0, images[2].Width);
    EXPECT_TRUE(images[2].Rgb.empty());

    EXPECT_TRUE(LoadTextureImages(QString::fromStdString(dir.File("missing"))).empty());
}

} // namespace
} // namespace orbelin::gui

// The 24-bit BMP writer and the rotation frames.
#include "view/BitmapExport.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

using test::ReadBytes;
using test::TTempDir;

TEST(BitmapExportTest, RowsArePaddedToFourBytes)
{
    const std::pair<int, std::size_t> cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {1001, 3004}, {0, 0}};
    for (const auto& [width, bytes] : cases)
        EXPECT_EQ(bytes, BitmapRowBytes(width)) << width;
}

TEST(BitmapExportTest, WritesTheFrameBottomRowFirstInBlueGreenRedOrder)
{
    TTempDir dir;
    // Bottom row red, green; top row blue, white; two padding bytes per row.
    const std::vector<std::uint8_t> pixels = {255, 0, 0, 0, 255, 0, 9, 9, 0, 0, 255, 255, 255, 255, 9, 9};
    const std::string file = dir.File("view.bmp");
    SaveBitmap(file, 2, 2, pixels);
    const std::string expected =
        std::string("BM") + std::string("\x46\0\0\0", 4) + std::string(4, '\0') + std::string("\x36\0\0\0", 4) +
        std::string("\x28\0\0\0", 4) + std::string("\x02\0\0\0", 4) + std::string("\x02\0\0\0", 4) +
        std::string("\x01\0\x18\0", 4) + std::string(4, '\0') + std::string("\x10\0\0\0", 4) +
        std::string("\x13\x0b\0\0", 4) + std::string("\x13\x0b\0\0", 4) + std::string(8, '\0') +
        std::string("\0\0\xff\0\xff\0\0\0", 8) + std::string("\xff\0\0\xff\xff\xff\0\0", 8);
    EXPECT_EQ(expected, ReadBytes(file));

    ORBELIN_EXPECT_ERROR(SaveBitmap(file, 3, 2, pixels), "expected 24 bytes of pixels, found 16");
    ORBELIN_EXPECT_ERROR(SaveBitmap(file, 0, 2, pixels), "has no pixels");
    ORBELIN_EXPECT_ERROR(SaveBitmap(dir.File("no/view.bmp"), 2, 2, pixels), "no/view.bmp");
    EXPECT_EQ(expected, ReadBytes(file));
}

TEST(BitmapExportTest, RotationFramesTurnAboutXFromMinusToPlus180)
{
    struct TCase {
        int K;
        int Angle;
        const char* Name;
    };
    const TCase cases[] = {{0, -180, "/tmp/spin00.bmp"},
                           {1, -173, "/tmp/spin01.bmp"},
                           {9, -115, "/tmp/spin09.bmp"},
                           {25, 0, "/tmp/spin25.bmp"},
                           {50, 180, "/tmp/spin50.bmp"}};
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Angle, RotationFrameAngle(c.K)) << c.K;
        EXPECT_EQ(c.Name, RotationFrameName("/tmp/spin.BMP", c.K));
    }
    EXPECT_EQ("07.bmp", RotationFrameName("a", 7));

    TCamera camera;
    camera.RotZ = 30;
    std::vector<std::string> names;
    std::vector<int> angles;
    MakeRotationFrames(camera, "f.bmp", [&](const TCamera& c, const std::string& name) {
        names.push_back(name);
        angles.push_back(c.RotX);
        EXPECT_EQ(30, c.RotZ);
    });
    ASSERT_EQ(51u, names.size());
    EXPECT_EQ("f00.bmp", names.front());
    EXPECT_EQ("f50.bmp", names.back());
    EXPECT_EQ(-180, angles.front());
    EXPECT_EQ(180, angles.back());
    EXPECT_EQ(180, camera.RotX);
}

} // namespace
} // namespace orbelin::view

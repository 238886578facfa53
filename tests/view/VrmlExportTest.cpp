// The VRML scene file: layout, number forms, object order and compression.
#include "view/VrmlExport.h"

#include "TestUtil.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>

namespace orbelin::view {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

const std::string Header = "#VRML V2.0 utf8 \r\n"
                           "Viewpoint {position 0 0 6}\r\n"
                           "Background {skyColor 1.00 1.00 1.00}\r\n"
                           "Viewpoint {position 0 6 0}\r\n";

// Four layers: two markers in the data layer, the net's red segments, two triangles of
// the coloring and a line object without index lists in the objects layer. Hidden and
// empty objects are spread over the layers to check they are left out.
std::vector<TLayer> MakeScene()
{
    std::vector<TLayer> layers(4);
    TVisPoint& markers = layers[0].PointObject;
    markers.Positions = {{0.5, -1.25, 0}, {1, 2, 3}};
    markers.Sizes = {2, 0.4};
    markers.FillColors = {{1, 0.5, 0}, {1.2, -0.1, 0.333}};
    layers[0].LineObject.Vertices = {{9, 9, 9}};
    layers[0].LineObject.Visible = 0;

    TVisLine& net = layers[1].LineObject;
    net.Vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.0004}};
    net.Colors = TArray2D(3, TArray1D{255, 0, 0});
    net.Polylines = {{0, 1}, {1, 2}};
    layers[1].PointObject.Visible = 1; // visible but without markers

    TVisPol& surface = layers[2].PolygonObject;
    surface.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 2, -0.0004}};
    surface.Colors = {{0, 0, 1}, {0.125, 0.5, 1}, {0, 0, 0}, {1, 1, 1}, {0.5, 0.5, 0.5}, {0.994, 0.995, 0.996}};
    surface.Polygons = {{0, 1, 2}, {3, 4, 5}};
    // 0.995 is stored just below 0.995 and rounds down to "0.99"; 0.996 rounds up.

    layers[3].LineObject.Vertices = {{0.1, 0.2, 0.3}};
    layers[3].LineObject.Colors = {{0, 0, 255}};
    layers[3].PointObject.Positions = {{7, 7, 7}};
    layers[3].PointObject.Visible = 0;
    return layers;
}

TEST(VrmlExportTest, SceneIsWrittenExactlyAsLaidOut)
{
    TSceneStyle style;
    style.AxisVisible = {1, 0, 1};
    const std::string expected =
        Header +
        "Shape{geometry IndexedLineSet{coord Coordinate {point [-1.3 0 0, 1.3 0 0, 1.3 0 0, 1.2 0.03 0, 1.3 0 0, 1.2 "
        "-0.03 0]} color Color{color[0.00 0.50 0.50,0.00 0.50 0.50,0.00 0.50 0.50]} colorPerVertex FALSE coordIndex[0 "
        "1 -1 2 3 -1 4 5 -1]}}\r\n"
        "Shape{geometry IndexedLineSet{coord Coordinate {point [0 0 -1.3, 0 0 1.3, 0 0 1.3,0.03 0 1.2, 0 0 1.3,-0.03 0 "
        "1.2]} color Color{color[0.00 0.00 0.50,0.00 0.00 0.50,0.00 0.00 0.50]} colorPerVertex FALSE coordIndex[0 1 -1 "
        "2 3 -1 4 5 -1]}}\r\n"
        "Transform {scale 0.02 0.02 0.02 translation 0.500 -1.250 0.000  children [Shape{appearance "
        "Appearance{material Material{diffuseColor 1.00 0.50 0.00 }}geometry Sphere {}}]}\r\n"
        "Transform {scale 0.00 0.00 0.00 translation 1.000 2.000 3.000  children [Shape{appearance "
        "Appearance{material Material{diffuseColor 1.00 0.00 0.33 }}geometry Sphere {}}]}\r\n"
        "DEF PTS5 Coordinate {point [ 0.000 0.000 0.000, 1.000 0.000 0.000, 1.000 1.000 0.000]}\r\n"
        "Shape{geometry IndexedLineSet{coord USE PTS5 color Color{color[1.00 0.00 0.00,1.00 0.00 0.00,1.00 0.00 "
        "0.00]} colorPerVertex TRUE coordIndex[0 1 -1 1 2]}}\r\n"
        "DEF PTS13 Coordinate {point [ 0.100 0.200 0.300]}\r\n"
        "Shape{geometry IndexedLineSet{coord USE PTS13 color Color{color[0.00 0.00 1.00]} colorPerVertex TRUE "
        "coordIndex[]}}\r\n"
        "DEF PTSP10 Coordinate {point [ 0.000 0.000 0.000, 1.000 0.000 0.000, 0.000 1.000 0.000, 1.000 1.000 0.000, "
        "2.000 1.000 0.000, 1.000 2.000 0.000]}\r\n"
        "Shape{geometry IndexedFaceSet{coord USE PTSP10 color Color{color[0.00 0.00 1.00,0.13 0.50 1.00,0.00 0.00 "
        "0.00,1.00 1.00 1.00,0.50 0.50 0.50,0.99 0.99 1.00]} colorPerVertex TRUE solid FALSE coordIndex[0 1 2  -1 3 4 "
        "5  -1 ]}}\r\n";
    EXPECT_EQ(expected, VrmlText(MakeScene(), style));
}

TEST(VrmlExportTest, HiddenObjectsAndAxesLeaveTheFourHeaderLines)
{
    std::vector<TLayer> layers = MakeScene();
    for (TLayer& layer : layers)
        layer.SetVisible(false);
    TSceneStyle style;
    style.AxisVisible = {0, 0, 0};
    EXPECT_EQ(Header, VrmlText(layers, style));
    // The background is the packed colour divided by 255.
    style.BackgroundColor = 0x804020;
    EXPECT_NE(std::string::npos, VrmlText(layers, style).find("{skyColor 0.13 0.25 0.50}"));
    // Longer polylines keep all their vertices; shorter ones have no place in a line set.
    layers[1].LineObject.Visible = 1;
    layers[1].LineObject.Polylines = {{0}, {0, 1, 2}, {2, 1}};
    EXPECT_NE(std::string::npos, VrmlText(layers, style).find("coordIndex[0 1 2 -1 2 1]}}"));
}

std::string Gunzip(const std::string& fileName)
{
    gzFile in = gzopen(fileName.c_str(), "rb");
    std::string text;
    char buffer[4096];
    int n;
    while (in && (n = gzread(in, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    if (in)
        gzclose(in);
    return text;
}

TEST(VrmlExportTest, WritesPlainOrCompressedFilesAndReplacesOldOnes)
{
    TTempDir dir;
    const std::vector<TLayer> layers = MakeScene();
    const TSceneStyle style;
    const std::string text = VrmlText(layers, style);
    const std::string plain = dir.File("scene.wrl");

    WriteBytes(plain, "old scene");
    EXPECT_EQ(plain, WriteVrml(layers, style, plain, false));
    EXPECT_EQ(text, ReadBytes(plain));

    // Compressed: only scene.wrl.wrz is written, also over an older one, and the plain
    // file of that name is left alone.
    WriteBytes(plain + ".wrz", "stale");
    EXPECT_EQ(plain + ".wrz", WriteVrml(layers, style, plain, true));
    EXPECT_EQ(text, Gunzip(plain + ".wrz"));
    EXPECT_EQ("\x1f\x8b", ReadBytes(plain + ".wrz").substr(0, 2));
    EXPECT_EQ(text, ReadBytes(plain));
    const auto files = std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    EXPECT_EQ(2, files) << "no temporary file is left behind";
    if (std::system("gzip --version > /dev/null 2>&1") == 0) {
        const std::string check = "gzip -t '" + plain + ".wrz'";
        EXPECT_EQ(0, std::system(check.c_str()));
    }

    ORBELIN_EXPECT_ERROR(WriteVrml(layers, style, dir.File("missing/scene.wrl"), false), "missing/scene.wrl");
    ORBELIN_EXPECT_ERROR(WriteVrml(layers, style, dir.File("missing/scene.wrl"), true), "missing/scene.wrl.wrz");
}

} // namespace
} // namespace orbelin::view

// Additional objects: the .obo file and turning objects into scene geometry.
#include "view/AddObjectFile.h"
#include "view/TAddObject.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TAddObjects ReadText(const std::string& text, int d)
{
    data::TRWFile file;
    file.OpenBytes(text, "objects.obo");
    TAddObjects objects;
    ReadAddObjects(file, d, objects);
    return objects;
}

TEST(AddObjectFileTest, ReadsSpheresCylindersAndConnectionsSkippingOtherLines)
{
    // The documented examples for d = 2, with a comment line and letter case mixed.
    const TAddObjects objects = ReadText("objects of the study\r\n"
                                         "A sphere 0.5 1.5 0.2 255 0 0\r\n"
                                         "B SPHERE -1 2e-1 0.3 0 255 0 4\r\n"
                                         "note: the sphere line above is textured\r\n"
                                         "AB cylinder CONNECT A B 0.05 0.05 0 0 255\r\n"
                                         "T Cylinder 0 0 1 1 0.1 0.2 1 2 3\r\n",
                                         2);
    ASSERT_EQ(4u, objects.size());
    const TAddObject& a = *objects[0];
    EXPECT_EQ(TAddObjectKind::Sphere, a.Kind);
    EXPECT_EQ("A", a.Name);
    EXPECT_EQ((TArray2D{{0.5, 1.5}, {0.2}}), a.Coords);
    EXPECT_EQ(0x0000FF, a.Color);
    EXPECT_EQ(-1, a.TextureIndex);
    EXPECT_EQ(1, a.Visible);
    EXPECT_EQ(4, objects[1]->TextureIndex);
    EXPECT_EQ((TArray1D{-1, 0.2}), objects[1]->Start());

    const TAddObject& ab = *objects[2];
    EXPECT_EQ(TAddObjectKind::Cylinder, ab.Kind);
    EXPECT_EQ((TArray2D{{0.5, 1.5}, {-1, 0.2}, {0.05}, {0.05}}), ab.Coords);
    EXPECT_EQ(0xFF0000, ab.Color);
    const TAddObject& t = *objects[3];
    EXPECT_EQ((TArray2D{{0, 0}, {1, 1}, {0.1}, {0.2}}), t.Coords);
    EXPECT_DOUBLE_EQ(0.1, t.BaseRadius());
    EXPECT_DOUBLE_EQ(0.2, t.TopRadius());
    EXPECT_EQ(1 + 2 * 256 + 3 * 65536, t.Color);

    // d = 3: radius 10 at (1, 2, 3), colour (20, 30, 2), no texture; one more word is one.
    const TAddObjects x = ReadText("X sphere 1 2 3 10 20 30 2\r\nY sphere 1 2 3 10 20 30 2 7\r\n", 3);
    ASSERT_EQ(2u, x.size());
    EXPECT_EQ((TArray1D{1, 2, 3}), x[0]->Start());
    EXPECT_DOUBLE_EQ(10, x[0]->Radius());
    EXPECT_EQ(20 + 30 * 256 + 2 * 65536, x[0]->Color);
    EXPECT_EQ(-1, x[0]->TextureIndex);
    EXPECT_EQ(7, x[1]->TextureIndex);
}

TEST(AddObjectFileTest, WrittenObjectsReadBackInTheSameForms)
{
    TTempDir dir;
    TAddObjects objects;
    objects.push_back(std::make_unique<TAddObject>(MakeSphere("A", {0.5, -1.25}, 0.2, 0x0000FF)));
    objects.push_back(std::make_unique<TAddObject>(MakeSphere("Земля", {0.1, 3}, 1e-7, 0x010203, 2)));
    objects.push_back(std::make_unique<TAddObject>(MakeCylinder("AB", {0.5, -1.25}, {0.1, 3}, 0.05, 0.5, 0xFF0000)));
    const std::string file = dir.File("objects.obo");
    WriteAddObjects(file, objects);
    EXPECT_EQ("A sphere 0.5 -1.25 0.2 255 0 0\r\n"
              "\xC7\xE5\xEC\xEB\xFF sphere 0.1 3 1e-07 3 2 1 2\r\n"
              "AB cylinder 0.5 -1.25 0.1 3 0.05 0.5 0 0 255\r\n",
              ReadBytes(file));

    TAddObjects back;
    ReadAddObjects(file, 2, back);
    ASSERT_EQ(objects.size(), back.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(objects[i]->Kind, back[i]->Kind);
        EXPECT_EQ(objects[i]->Name, back[i]->Name);
        EXPECT_EQ(objects[i]->Coords, back[i]->Coords);
        EXPECT_EQ(objects[i]->Color, back[i]->Color);
        EXPECT_EQ(objects[i]->TextureIndex, back[i]->TextureIndex);
    }

    objects.push_back(std::make_unique<TAddObject>(MakeSphere("two words", {0, 0}, 1, 0)));
    ORBELIN_EXPECT_ERROR(WriteAddObjects(file, objects), "\"two words\" is empty or holds a blank");
    EXPECT_EQ(3u, back.size());
}

TEST(AddObjectFileTest, BadLinesRaiseErrorsNamingTheFileAndLineAndKeepWhatWasRead)
{
    struct TCase {
        const char* Name;
        std::string Line;
        std::string Fragment;
    };
    const TCase cases[] = {
        {"bad coordinate", "B sphere 1 x 0.2 0 0 0", "\"x\" is not a valid floating-point value"},
        {"decimal comma", "B sphere 1 2 0,2 0 0 0", "\"0,2\" is not a valid floating-point value"},
        {"no colour", "B sphere 1 2 0.2 0 0", "expected a colour channel as word 8, found the end"},
        {"no radius", "B sphere 1 2", "expected the radius as word 5"},
        {"channel above 255", "B sphere 1 2 0.2 0 256 0", "colour channel from 0 to 255, found \"256\""},
        {"bad texture", "B sphere 1 2 0.2 0 0 0 t", "\"t\" is not a valid integer value"},
        {"short cylinder", "C cylinder 1 2 3 4 0.1", "expected the top radius as word 8"},
        {"unknown name", "C cylinder CONNECT A Z 0.1 0.1 0 0 0", "no object named \"Z\" is loaded"},
        {"connect without names", "C cylinder connect A", "expected the second object's name as word 5"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        data::TRWFile file;
        file.OpenBytes("A sphere 0 0 1 0 0 0\r\n" + c.Line + "\r\nD sphere 0 0 1 0 0 0\r\n", "bad.obo");
        TAddObjects objects;
        try {
            ReadAddObjects(file, 2, objects);
            ADD_FAILURE() << "no error";
        } catch (const TError& e) {
            const std::string message = e.what();
            EXPECT_EQ(0u, message.find("file bad.obo, line 2: ")) << message << " / " << c.Fragment;
            EXPECT_NE(std::string::npos, message.find(c.Fragment)) << message << " / " << c.Fragment;
        }
        ASSERT_EQ(1u, objects.size());
        EXPECT_EQ("A", objects[0]->Name);
    }
}

TEST(AddObjectFileTest, PlacingListsTheVisibleObjectsAndLineSetsShareOneVertexList)
{
    TAddObjects objects;
    objects.push_back(std::make_unique<TAddObject>(MakeSphere("A", {1, 2}, 0.2, 0)));
    objects.push_back(std::make_unique<TAddObject>(MakeSphere("hidden", {1, 2}, 0.2, 0)));
    objects.push_back(std::make_unique<TAddObject>(MakeCylinder("C", {1, 2}, {3, 4}, 0.1, 0.1, 0)));
    objects.push_back(std::make_unique<TAddObject>(MakeCylinder("off view", {1, 2}, {-5, 0}, 0.1, 0.1, 0)));
    objects[1]->Visible = 0;
    // A stand-in for the view: x and y doubled, points with a negative coordinate not shown.
    const TPlaceFunction place = [](const TArray1D& v, std::array<double, 3>& p) {
        if (v[0] < 0 || v[1] < 0)
            return false;
        p = {2 * v[0], 2 * v[1], 0};
        return true;
    };
    TVisGeom geometry;
    geometry.Items.push_back(nullptr);
    PlaceAddObjects(objects, place, geometry);
    ASSERT_EQ(2u, geometry.Items.size());
    EXPECT_EQ(objects[0].get(), geometry.Items[0]);
    EXPECT_EQ(objects[2].get(), geometry.Items[1]);
    EXPECT_EQ((std::array<double, 3>{2, 4, 0}), objects[0]->PlacedStart);
    EXPECT_EQ((std::array<double, 3>{6, 8, 0}), objects[2]->PlacedEnd);

    const TPlaceFunction asIs = [](const TArray1D& v, std::array<double, 3>& p) {
        p = {v[0], v[1], 0};
        return true;
    };
    const std::vector<TAddLines> sets = {
        {{{0, 0}, {1, 1}, {2, 2}}, {{0, 1}}, false},
        {{{5, 5}, {-1, 0}, {6, 6}}, {{0, 2}, {0, 1}}, true},
    };
    TVisLine lines;
    AppendLineSets(sets, place, asIs, lines);
    EXPECT_EQ((TArray2D{{0, 0}, {2, 2}, {4, 4}, {5, 5, 0}, {-1, 0, 0}, {6, 6, 0}}).size(), lines.Vertices.size());
    EXPECT_EQ((TArray1D{-1, 0, 0}), lines.Vertices[4]);
    EXPECT_EQ((TArray2I{{0, 1}, {3, 5}, {3, 4}}), lines.Polylines);
    EXPECT_EQ(TArray2D(6, TArray1D{0, 0, 255}), lines.Colors);
    EXPECT_EQ(6u, lines.Tags.size());
}

} // namespace
} // namespace orbelin::view

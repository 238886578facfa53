// The drawing switches' effects on the objects of a map's layers.
#include "view/DrawingSwitches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbelin::view {
namespace {

// One character per object, in the objects-list order (points, lines, polygons, geometry
// of layer 0, then layer 1 ...): '1' visible, '0' hidden; layers separated by blanks.
std::string Pattern(const std::vector<TLayer>& layers)
{
    std::string s;
    for (const TLayer& layer : layers) {
        if (!s.empty())
            s += ' ';
        for (unsigned char v : {layer.PointObject.Visible, layer.LineObject.Visible, layer.PolygonObject.Visible,
                                layer.GeometryObject.Visible})
            s += v ? '1' : '0';
    }
    return s;
}

TEST(DrawingSwitchesTest, EachSwitchTurnsOffOnlyItsObjects)
{
    struct TCase {
        TDrawingSwitch Switch;
        const char* Expected;
    };
    const TCase cases[] = {
        {TDrawingSwitch::Datas, "0001 1111 1111 1111 1111"},
        {TDrawingSwitch::NetNodes, "1111 0111 1111 1111 1111"},
        {TDrawingSwitch::NetLines, "1111 1011 1111 1111 1111"},
        {TDrawingSwitch::Net, "1111 0001 1111 1111 1111"},
        {TDrawingSwitch::Colorings, "1111 1111 0001 1111 1111"},
        {TDrawingSwitch::Selections, "1111 1111 1111 0001 0001"},
        {TDrawingSwitch::Objects, "1111 1111 1111 1110 1111"},
        {TDrawingSwitch::Rays, "1111 1111 1111 0011 1111"},
        {TDrawingSwitch::NotDrawAll, "1111 1111 1111 1111 1111"}, // off: everything follows switches all on
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Switch));
        std::vector<TLayer> layers(5);
        TDrawingSwitches switches{false, true, true, true, true, true, true, true, true};
        switches[c.Switch] = false;
        ApplyDrawingSwitch(layers, switches, c.Switch);
        EXPECT_EQ(c.Expected, Pattern(layers));
        switches[c.Switch] = true;
        ApplyDrawingSwitch(layers, switches, c.Switch);
        const std::string shown =
            c.Switch == TDrawingSwitch::NotDrawAll ? "0001 0001 0001 0001 0001" : "1111 1111 1111 1111 1111";
        EXPECT_EQ(shown, Pattern(layers));
    }
}

TEST(DrawingSwitchesTest, NotDrawAllRestoresExactlyTheLayersWhoseSwitchesAreOn)
{
    struct TCase {
        const char* Name;
        TDrawingSwitches Switches;
        const char* Restored;
    };
    const TCase cases[] = {
        {"defaults", TDrawingSwitches{}, "1111 0111 0001 0001 0001"},
        {"nodes and selections only",
         {false, false, true, false, true, false, true, true, true},
         "0001 1011 0001 1111 1111"},
        {"net both off", {false, true, false, false, true, true, false, true, true}, "1111 0001 1111 0001 0001"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TLayer> layers(5);
        TDrawingSwitches switches = c.Switches;
        switches.NotDrawAll = true;
        ApplyDrawingSwitch(layers, switches, TDrawingSwitch::NotDrawAll);
        // Hidden layers keep their spheres and cylinders: those follow "Objects" alone.
        EXPECT_EQ("0001 0001 0001 0001 0001", Pattern(layers));
        for (const TLayer& layer : layers)
            EXPECT_FALSE(layer.Visible);
        switches.NotDrawAll = false;
        ApplyDrawingSwitch(layers, switches, TDrawingSwitch::NotDrawAll);
        EXPECT_EQ(c.Restored, Pattern(layers));
        EXPECT_EQ(c.Switches.NetNodes || c.Switches.NetLines, layers[1].Visible);
    }
}

TEST(DrawingSwitchesTest, MapsWithFewerLayersAreLeftAlone)
{
    std::vector<TLayer> layers(2);
    TDrawingSwitches switches;
    for (TDrawingSwitch s :
         {TDrawingSwitch::Colorings, TDrawingSwitch::Selections, TDrawingSwitch::Objects, TDrawingSwitch::Rays}) {
        switches[s] = false;
        ApplyDrawingSwitch(layers, switches, s);
    }
    EXPECT_EQ("1111 1111", Pattern(layers));
    ApplyDrawingSwitch(std::span<TLayer>(), switches, TDrawingSwitch::NotDrawAll);
}

} // namespace
} // namespace orbelin::view

// Effects of the drawing switches on layer visibility.
#include "view/DrawingSwitches.h"

namespace orbelin::view {

namespace {

bool TDrawingSwitches::*SwitchMember(TDrawingSwitch which)
{
    switch (which) {
    case TDrawingSwitch::NotDrawAll:
        return &TDrawingSwitches::NotDrawAll;
    case TDrawingSwitch::Datas:
        return &TDrawingSwitches::Datas;
    case TDrawingSwitch::NetNodes:
        return &TDrawingSwitches::NetNodes;
    case TDrawingSwitch::NetLines:
        return &TDrawingSwitches::NetLines;
    case TDrawingSwitch::Net:
        return &TDrawingSwitches::Net;
    case TDrawingSwitch::Colorings:
        return &TDrawingSwitches::Colorings;
    case TDrawingSwitch::Selections:
        return &TDrawingSwitches::Selections;
    case TDrawingSwitch::Objects:
        return &TDrawingSwitches::Objects;
    case TDrawingSwitch::Rays:
        break;
    }
    return &TDrawingSwitches::Rays;
}

} // namespace

bool& TDrawingSwitches::operator[](TDrawingSwitch which)
{
    return this->*SwitchMember(which);
}
bool TDrawingSwitches::operator[](TDrawingSwitch which) const
{
    return this->*SwitchMember(which);
}

namespace {

void SetNetParts(TLayer& net, bool nodes, bool lines)
{
    net.PointObject.Visible = nodes ? 1 : 0;
    net.LineObject.Visible = lines ? 1 : 0;
    net.Visible = nodes || lines;
}

} // namespace

void ApplyDrawingSwitch(std::span<TLayer> layers, const TDrawingSwitches& switches, TDrawingSwitch changed)
{
    const std::size_t count = layers.size();
    const bool on = switches[changed];
    switch (changed) {
    case TDrawingSwitch::NotDrawAll:
        if (on) {
            for (TLayer& layer : layers)
                layer.SetVisible(false);
            break;
        }
        if (count > 0)
            layers[0].SetVisible(switches.Datas);
        if (count > 1) {
            layers[1].SetVisible(switches.NetNodes || switches.NetLines);
            SetNetParts(layers[1], switches.NetNodes, switches.NetLines);
        }
        if (count > 2)
            layers[2].SetVisible(switches.Colorings);
        for (std::size_t i = 3; i < count; ++i)
            layers[i].SetVisible(switches.Selections);
        break;
    case TDrawingSwitch::Datas:
        if (count > 0)
            layers[0].SetVisible(on);
        break;
    case TDrawingSwitch::NetNodes:
        if (count > 1)
            SetNetParts(layers[1], on, layers[1].LineObject.Visible != 0);
        break;
    case TDrawingSwitch::NetLines:
        if (count > 1)
            SetNetParts(layers[1], layers[1].PointObject.Visible != 0, on);
        break;
    case TDrawingSwitch::Net:
        if (count > 1)
            layers[1].SetVisible(on);
        break;
    case TDrawingSwitch::Colorings:
        if (count > 2)
            layers[2].SetVisible(on);
        break;
    case TDrawingSwitch::Selections:
        for (std::size_t i = 3; i < count; ++i)
            layers[i].SetVisible(on);
        break;
    case TDrawingSwitch::Objects:
        if (count > 3)
            layers[3].GeometryObject.Visible = on ? 1 : 0;
        break;
    case TDrawingSwitch::Rays:
        if (count > 3) {
            layers[3].PointObject.Visible = on ? 1 : 0;
            layers[3].LineObject.Visible = on ? 1 : 0;
        }
        break;
    }
}

} // namespace orbelin::view

// The drawable contents of a map's layers: markers, polylines, polygons and additional
// objects, as plain data that the renderer, the exporters and the tests read.
#pragma once

#include "numeric/TArray.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace orbelin::map {
class TMap;
}

namespace orbelin::view {

struct TAddObject;

/// Markers. Rows of Positions, FillColors and BorderColors are three doubles; colours are
/// in 0..1. Radii are also the pick radii in pixels; Sizes are the drawing scales.
struct TVisPoint {
    unsigned char Visible = 1;
    TArray2D Positions;
    TArray1I Shapes;
    TArray1D Radii;
    TArray1D Sizes;
    TArray2D FillColors;
    TArray2D BorderColors;
    TArray2I Flags = TArray2I(2); ///< [0] fill flag, [1] border flag, one per marker
};

/// Polylines over shared vertices, one colour row per vertex.
struct TVisLine {
    unsigned char Visible = 1;
    TArray2D Vertices;
    TArray2I Polylines;
    TArray2D Colors;
    TArray1I Tags; ///< one integer per vertex, not used in drawing
};

/// Polygons over shared vertices, one colour row per vertex; Smooth selects smooth shading.
struct TVisPol {
    unsigned char Visible = 1;
    TArray2D Vertices;
    TArray2I Polygons;
    TArray2D Colors;
    unsigned char Smooth = 1;
};

/// Spheres and cylinders; the items belong to the dataset's additional objects.
struct TVisGeom {
    unsigned char Visible = 1;
    std::vector<const TAddObject*> Items;
};

/// A named group of the four objects of one layer. Setting Visible through SetVisible
/// shows or hides the point, line and polygon objects, not the geometry object.
struct TLayer {
    map::TMap* Map = nullptr;
    std::string Name;
    TVisPoint PointObject;
    TVisLine LineObject;
    TVisPol PolygonObject;
    TVisGeom GeometryObject;
    bool Visible = true;

    void SetVisible(bool visible)
    {
        Visible = visible;
        PointObject.Visible = LineObject.Visible = PolygonObject.Visible = visible ? 1 : 0;
    }
};

/// Kind of an object in the view's objects list: object index = 4 x layer + kind.
enum TObjectKind : int { ObjectPoints = 0, ObjectLines = 1, ObjectPolygons = 2, ObjectGeometry = 3 };

/// Index of a layer's object in the view's objects list.
constexpr int ObjectIndex(int layer, TObjectKind kind)
{
    return 4 * layer + kind;
}

/// The colours and axis switches of a map's view, beside its objects. Colours are packed.
struct TSceneStyle {
    int BackgroundColor = 0xFFFFFF;                             ///< the usual window colour
    std::array<unsigned char, 3> AxisVisible{1, 1, 1};          ///< X, Y, Z
    std::array<int, 3> AxisColor{0x808000, 0x800080, 0x800000}; ///< teal, purple, navy
};

} // namespace orbelin::view

// The additional 3D objects, line sets and biplot rays a dataset keeps beside its points,
// and the step that turns them into scene geometry once a view can place them.
#pragma once

#include "numeric/TArray.h"
#include "view/SceneObjects.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orbelin::view {

enum class TAddObjectKind : int { Sphere = 0, Cylinder = 1 };

/// A sphere or a cylinder placed in the data space. Coords are in table units:
/// a sphere holds its centre (d values) and then one row with its radius; a cylinder holds
/// its first end, its second end (d values each), one row with the base radius (at the
/// first end) and one with the top radius (at the second end). The radii are read from
/// Coords, so the two never disagree.
struct TAddObject {
    TAddObjectKind Kind = TAddObjectKind::Sphere;
    std::string Name;
    TArray2D Coords;
    int Color = 0;                       ///< packed colour
    unsigned char Visible = 1;           ///< ticked in the objects list
    int TextureIndex = -1;               ///< spheres only: the texture image, or -1
    std::array<double, 3> PlacedStart{}; ///< the placed centre or first end, scene coordinates
    std::array<double, 3> PlacedEnd{};   ///< the placed second end (cylinders)

    /// The centre of a sphere or the first end of a cylinder.
    const TArray1D& Start() const { return Coords.at(0); }
    /// The second end of a cylinder.
    const TArray1D& End() const { return Coords.at(1); }
    double Radius() const { return Coords.at(1).at(0); }
    double BaseRadius() const { return Coords.at(2).at(0); }
    double TopRadius() const { return Coords.at(3).at(0); }
};

TAddObject MakeSphere(const std::string& name, const TArray1D& centre, double radius, int color, int textureIndex = -1);
TAddObject MakeCylinder(const std::string& name, const TArray1D& first, const TArray1D& second, double baseRadius,
                        double topRadius, int color);

/// The dataset's objects. They are held by pointer because the scene's geometry lists
/// point at them while more objects are loaded.
using TAddObjects = std::vector<std::unique_ptr<TAddObject>>;

/// The last object whose name equals name exactly, or null.
const TAddObject* FindAddObject(const TAddObjects& objects, const std::string& name);

/// A set of segments between points. LinePoints are rows of d values in table units,
/// except for the connection set, whose points are already dataset coordinates.
struct TAddLines {
    TArray2D LinePoints;
    TArray2I Segments; ///< pairs of row indices into LinePoints
    bool DatasetUnits = false;
};

/// A biplot ray: a segment in dataset coordinates with a marker at its end.
struct TAddRay {
    TArray1D RayStart;
    TArray1D RayEnd;
    double RayRadius = 0;
    int RayShape = 0;
    int RayFillColor = 0;
    int RayBorderColor = 0;
    int RayFillFlag = 1;
    int RayBorderFlag = 0;
    int RayField = -1; ///< the dataset coordinate the ray stands for, -1 for none
};

/// Turns a vector of d values into a scene position for the current view. The view
/// geometry supplies it: for objects and loaded line sets it normalises table units like
/// dataset coordinates and then places them on the view's axes. False when the view does
/// not show the point.
using TPlaceFunction = std::function<bool(const TArray1D& values, std::array<double, 3>& placed)>;

/// Places every visible object (its centre, or both ends of a cylinder) and lists it in
/// the geometry object; objects the view cannot place are left out. The geometry list is
/// replaced.
void PlaceAddObjects(TAddObjects& objects, const TPlaceFunction& place, TVisGeom& geometry);

/// Appends the points of every line set, in load order, with their segments re-indexed
/// and every vertex coloured (0, 0, 255) in 0..255 units. Loaded sets are placed with
/// placeTableUnits, the connection set with placeDatasetUnits. A point that cannot be placed
/// drops the segments that use it.
void AppendLineSets(const std::vector<TAddLines>& lineSets, const TPlaceFunction& placeTableUnits,
                    const TPlaceFunction& placeDatasetUnits, TVisLine& lines);

} // namespace orbelin::view

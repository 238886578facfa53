// Additional objects and line sets: construction, lookup and turning them into geometry.
#include "view/TAddObject.h"

namespace orbelin::view {

TAddObject MakeSphere(const std::string& name, const TArray1D& centre, double radius, int color, int textureIndex)
{
    TAddObject object;
    object.Kind = TAddObjectKind::Sphere;
    object.Name = name;
    object.Coords = {centre, {radius}};
    object.Color = color;
    object.TextureIndex = textureIndex;
    return object;
}

TAddObject MakeCylinder(const std::string& name, const TArray1D& first, const TArray1D& second, double baseRadius,
                        double topRadius, int color)
{
    TAddObject object;
    object.Kind = TAddObjectKind::Cylinder;
    object.Name = name;
    object.Coords = {first, second, {baseRadius}, {topRadius}};
    object.Color = color;
    return object;
}

const TAddObject* FindAddObject(const TAddObjects& objects, const std::string& name)
{
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        if (*it && (*it)->Name == name)
            return it->get();
    return nullptr;
}

void PlaceAddObjects(TAddObjects& objects, const TPlaceFunction& place, TVisGeom& geometry)
{
    geometry.Items.clear();
    for (const auto& object : objects) {
        if (!object || !object->Visible || object->Coords.empty())
            continue;
        if (!place(object->Start(), object->PlacedStart))
            continue;
        if (object->Kind == TAddObjectKind::Cylinder) {
            if (object->Coords.size() < 4 || !place(object->End(), object->PlacedEnd))
                continue;
        } else {
            object->PlacedEnd = object->PlacedStart;
        }
        geometry.Items.push_back(object.get());
    }
}

void AppendLineSets(const std::vector<TAddLines>& lineSets, const TPlaceFunction& placeTableUnits,
                    const TPlaceFunction& placeDatasetUnits, TVisLine& lines)
{
    for (const TAddLines& set : lineSets) {
        const TPlaceFunction& place = set.DatasetUnits ? placeDatasetUnits : placeTableUnits;
        // Each set's segments index its own points; in the shared vertex list they move by
        // the number of vertices placed before them.
        std::vector<int> vertexOf(set.LinePoints.size(), -1);
        for (std::size_t i = 0; i < set.LinePoints.size(); ++i) {
            std::array<double, 3> p{};
            if (!place(set.LinePoints[i], p))
                continue;
            vertexOf[i] = static_cast<int>(lines.Vertices.size());
            lines.Vertices.push_back({p[0], p[1], p[2]});
            lines.Colors.push_back({0, 0, 255});
            lines.Tags.push_back(0);
        }
        for (const TArray1I& segment : set.Segments) {
            if (segment.size() < 2)
                continue;
            const auto a = static_cast<std::size_t>(segment[0]), b = static_cast<std::size_t>(segment[1]);
            if (a >= vertexOf.size() || b >= vertexOf.size() || vertexOf[a] < 0 || vertexOf[b] < 0)
                continue;
            lines.Polylines.push_back({vertexOf[a], vertexOf[b]});
        }
    }
}

} // namespace orbelin::view

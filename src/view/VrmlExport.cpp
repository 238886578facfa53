// Writing a map's view as a VRML 2.0 scene, optionally gzip-compressed.
#include "view/VrmlExport.h"

#include "coloring/ColorSchemes.h"
#include "data/NumberText.h"
#include "view/ExportSupport.h"

#include <algorithm>

namespace orbelin::view {
namespace {

const char* LineEnd = "\r\n";

std::string C3(double x)
{
    return data::FixedText(x, 0, 3);
}

std::string C2(double x)
{
    return data::FixedText(x, 0, 2);
}

std::string Channel(double c)
{
    return C2(std::clamp(c, 0.0, 1.0));
}

std::string PackedColor(int packed)
{
    const coloring::TRgb rgb = coloring::UnpackColor(packed);
    return Channel(rgb[0] / 255.0) + " " + Channel(rgb[1] / 255.0) + " " + Channel(rgb[2] / 255.0);
}

double Component(const TArray2D& rows, std::size_t i, std::size_t c)
{
    return i < rows.size() && c < rows[i].size() ? rows[i][c] : 0.0;
}

std::string RowColor(const TArray2D& colors, std::size_t i)
{
    return Channel(Component(colors, i, 0)) + " " + Channel(Component(colors, i, 1)) + " " +
           Channel(Component(colors, i, 2));
}

std::string Vertex(const TArray2D& vertices, std::size_t i)
{
    return C3(Component(vertices, i, 0)) + " " + C3(Component(vertices, i, 1)) + " " + C3(Component(vertices, i, 2));
}

std::string VertexList(const TArray2D& vertices)
{
    std::string text;
    for (std::size_t i = 0; i < vertices.size(); ++i)
        text += (i > 0 ? ", " : "") + Vertex(vertices, i);
    return text;
}

// One colour per vertex, so that colour and coordinate indices agree.
std::string VertexColors(const TArray2D& colors, std::size_t vertexCount)
{
    std::string text;
    for (std::size_t i = 0; i < vertexCount; ++i)
        text += (i > 0 ? "," : "") + RowColor(colors, i);
    return text;
}

const char* const AxisPrefix[3] = {
    "Shape{geometry IndexedLineSet{coord Coordinate {point [-1.3 0 0, 1.3 0 0, 1.3 0 0, 1.2 0.03 0, 1.3 0 0, 1.2 "
    "-0.03 0]} color Color{color[",
    "Shape{geometry IndexedLineSet{coord Coordinate {point [0 -1.3  0, 0 1.3  0, 0 1.3 0, 0.03 1.2 0, 0 1.3 0, -0.03 "
    "1.2 0]} color Color{color[",
    "Shape{geometry IndexedLineSet{coord Coordinate {point [0 0 -1.3, 0 0 1.3, 0 0 1.3,0.03 0 1.2, 0 0 1.3,-0.03 0 "
    "1.2]} color Color{color[",
};

void WriteAxes(std::string& out, const TSceneStyle& style)
{
    for (int a = 0; a < 3; ++a) {
        if (!style.AxisVisible[static_cast<std::size_t>(a)])
            continue;
        const std::string color = PackedColor(style.AxisColor[static_cast<std::size_t>(a)]);
        out += AxisPrefix[a] + color + "," + color + "," + color +
               "]} colorPerVertex FALSE coordIndex[0 1 -1 2 3 -1 4 5 -1]}}" + LineEnd;
    }
}

void WriteMarkers(std::string& out, const TVisPoint& points)
{
    for (std::size_t i = 0; i < points.Positions.size(); ++i) {
        const std::string s = C2((i < points.Sizes.size() ? points.Sizes[i] : 0.0) / 100);
        out += "Transform {scale " + s + " " + s + " " + s + " translation " + Vertex(points.Positions, i) +
               "  children [Shape{appearance Appearance{material Material{diffuseColor " +
               RowColor(points.FillColors, i) + " }}geometry Sphere {}}]}" + LineEnd;
    }
}

void WriteLines(std::string& out, const TVisLine& lines, int k)
{
    const std::string name = "PTS" + std::to_string(k);
    out += "DEF " + name + " Coordinate {point [ " + VertexList(lines.Vertices) + "]}" + LineEnd;
    out += "Shape{geometry IndexedLineSet{coord USE " + name + " color Color{color[" +
           VertexColors(lines.Colors, lines.Vertices.size()) + "]} colorPerVertex TRUE coordIndex[";
    // A polyline of fewer than two vertices draws nothing and has no place in a line set.
    bool first = true;
    for (const TArray1I& polyline : lines.Polylines) {
        if (polyline.size() < 2)
            continue;
        out += first ? "" : " -1 ";
        first = false;
        for (std::size_t j = 0; j < polyline.size(); ++j)
            out += (j > 0 ? " " : "") + std::to_string(polyline[j]);
    }
    out += std::string("]}}") + LineEnd;
}

void WritePolygons(std::string& out, const TVisPol& polygons, int k)
{
    const std::string name = "PTSP" + std::to_string(k);
    out += "DEF " + name + " Coordinate {point [ " + VertexList(polygons.Vertices) + "]}" + LineEnd;
    out += "Shape{geometry IndexedFaceSet{coord USE " + name + " color Color{color[" +
           VertexColors(polygons.Colors, polygons.Vertices.size()) + "]} colorPerVertex TRUE solid FALSE coordIndex[";
    for (const TArray1I& polygon : polygons.Polygons) {
        for (const int index : polygon)
            out += std::to_string(index) + " ";
        out += " -1 ";
    }
    out += std::string("]}}") + LineEnd;
}

} // namespace

std::string VrmlText(const std::vector<TLayer>& layers, const TSceneStyle& style)
{
    std::string out;
    out += std::string("#VRML V2.0 utf8 ") + LineEnd;
    out += std::string("Viewpoint {position 0 0 6}") + LineEnd;
    out += "Background {skyColor " + PackedColor(style.BackgroundColor) + "}" + LineEnd;
    out += std::string("Viewpoint {position 0 6 0}") + LineEnd;
    WriteAxes(out, style);
    for (const TLayer& layer : layers)
        if (layer.PointObject.Visible && !layer.PointObject.Positions.empty())
            WriteMarkers(out, layer.PointObject);
    for (std::size_t l = 0; l < layers.size(); ++l)
        if (layers[l].LineObject.Visible && !layers[l].LineObject.Vertices.empty())
            WriteLines(out, layers[l].LineObject, ObjectIndex(static_cast<int>(l), ObjectLines));
    for (std::size_t l = 0; l < layers.size(); ++l)
        if (layers[l].PolygonObject.Visible && !layers[l].PolygonObject.Vertices.empty())
            WritePolygons(out, layers[l].PolygonObject, ObjectIndex(static_cast<int>(l), ObjectPolygons));
    return out;
}

std::string WriteVrml(const std::vector<TLayer>& layers, const TSceneStyle& style, const std::string& fileName,
                      bool compress)
{
    const std::string text = VrmlText(layers, style);
    if (!compress) {
        WriteFileReplacing(fileName, text);
        return fileName;
    }
    const std::string compressedName = fileName + ".wrz";
    WriteGzipFileReplacing(compressedName, text);
    return compressedName;
}

} // namespace orbelin::view

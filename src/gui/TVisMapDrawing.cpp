// Drawing of the 3D view's objects with the fixed-function pipeline and GLU quadrics.
#include "gui/TVisMap.h"

#include "coloring/ColorSchemes.h"
#include "view/CylinderPose.h"
#include "view/TAddObject.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace orbelin::gui {
namespace {

// A row of three finite doubles, or false.
bool Row3(const TArray2D& rows, std::size_t i, double out[3])
{
    if (i >= rows.size() || rows[i].size() < 3)
        return false;
    for (int k = 0; k < 3; ++k) {
        out[k] = rows[i][static_cast<std::size_t>(k)];
        if (!std::isfinite(out[k]))
            return false;
    }
    return true;
}

void SetColor(const TArray2D& colors, std::size_t i)
{
    double c[3];
    if (Row3(colors, i, c))
        glColor3d(c[0], c[1], c[2]);
}

bool Finite(const std::array<double, 3>& v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// The radius rows of an object, or NaN when its coordinates lack them.
double CoordRow(const view::TAddObject& item, std::size_t row)
{
    return row < item.Coords.size() && !item.Coords[row].empty() ? item.Coords[row][0] : std::nan("");
}

void EnableLighting()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
}

void DisableLighting()
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
}

} // namespace

bool TVisMap::IsMarkerShown(int objectIndex, std::size_t marker) const
{
    const view::TVisPoint& points = Layers_[static_cast<std::size_t>(objectIndex / 4)].PointObject;
    if (points.Flags.size() < 2 || marker >= points.Flags[0].size() || marker >= points.Flags[1].size() ||
        marker >= points.Shapes.size() || marker >= points.Sizes.size())
        return false;
    const int shape = points.Shapes[marker];
    if (shape < 0 || shape >= view::MarkerShapeCount || !std::isfinite(points.Sizes[marker]))
        return false;
    double p[3];
    if (!Row3(points.Positions, marker, p))
        return false;
    if (points.Flags[0][marker] != 1 && points.Flags[1][marker] != 1)
        return false;
    // Flags missing for later points (a set saved for fewer points) leave those points shown.
    if (objectIndex == DataPointObject && Visibility_ && marker < Visibility_->size())
        return (*Visibility_)[marker] == 1;
    return true;
}

void TVisMap::DrawAxes() const
{
    // Each axis from -1.3 to 1.3 with a two-stroke arrow head at the positive end.
    static const double axes[3][6][3] = {
        {{-1.3, 0, 0}, {1.3, 0, 0}, {1.3, 0, 0}, {1.2, 0.03, 0}, {1.3, 0, 0}, {1.2, -0.03, 0}},
        {{0, -1.3, 0}, {0, 1.3, 0}, {0, 1.3, 0}, {0.03, 1.2, 0}, {0, 1.3, 0}, {-0.03, 1.2, 0}},
        {{0, 0, -1.3}, {0, 0, 1.3}, {0, 0, 1.3}, {0.03, 0, 1.2}, {0, 0, 1.3}, {-0.03, 0, 1.2}},
    };
    for (std::size_t a = 0; a < 3; ++a) {
        if (!Style_.AxisVisible[a])
            continue;
        const TArray1D color = coloring::ColorFromPacked(Style_.AxisColor[a]);
        glColor3d(color[0], color[1], color[2]);
        glBegin(GL_LINES);
        for (const auto& v : axes[a])
            glVertex3d(v[0], v[1], v[2]);
        glEnd();
    }
}

void TVisMap::DrawPoints(const view::TVisPoint& points, int objectIndex)
{
    const std::size_t count = points.Positions.size();
    if (objectIndex == DataPointObject && Visibility_ && Visibility_->empty() && count > 0)
        Visibility_->assign(count, 1);
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsMarkerShown(objectIndex, i))
            continue;
        double p[3], c[3];
        Row3(points.Positions, i, p);
        const double s = points.Sizes[i];
        const std::size_t shape = static_cast<std::size_t>(points.Shapes[i]);
        if (points.Flags[0][i] == 1 && Row3(points.FillColors, i, c)) {
            glColor3d(c[0], c[1], c[2]);
            glBegin(GL_POLYGON);
            for (const TArray1D& f : Facing_.Fill[shape])
                glVertex3d(p[0] + s * f[0], p[1] + s * f[1], p[2] + s * f[2]);
            glEnd();
        }
        if (points.Flags[1][i] == 1 && Row3(points.BorderColors, i, c)) {
            glColor3d(c[0], c[1], c[2]);
            glBegin(GL_LINE_LOOP);
            for (const TArray1D& b : Facing_.Border[shape])
                glVertex3d(p[0] + s * b[0], p[1] + s * b[1], p[2] + s * b[2]);
            glEnd();
        }
    }
}

void TVisMap::DrawLines(const view::TVisLine& lines) const
{
    for (const TArray1I& polyline : lines.Polylines) {
        glBegin(GL_LINE_STRIP);
        for (const int v : polyline) {
            double p[3];
            if (v < 0 || !Row3(lines.Vertices, static_cast<std::size_t>(v), p))
                continue;
            SetColor(lines.Colors, static_cast<std::size_t>(v));
            glVertex3d(p[0], p[1], p[2]);
        }
        glEnd();
    }
}

void TVisMap::DrawPolygons(const view::TVisPol& polygons) const
{
    glShadeModel(polygons.Smooth ? GL_SMOOTH : GL_FLAT);
    for (const TArray1I& polygon : polygons.Polygons) {
        glBegin(GL_POLYGON);
        for (const int v : polygon) {
            double p[3];
            if (v < 0 || !Row3(polygons.Vertices, static_cast<std::size_t>(v), p))
                continue;
            SetColor(polygons.Colors, static_cast<std::size_t>(v));
            glVertex3d(p[0], p[1], p[2]);
        }
        glEnd();
    }
    glShadeModel(GL_SMOOTH);
}

void TVisMap::DrawGeometry(const view::TVisGeom& geometry)
{
    if (geometry.Items.empty())
        return;
    GLUquadric* quadric = gluNewQuadric();
    if (!quadric)
        return;
    gluQuadricDrawStyle(quadric, GLU_FILL);
    for (const view::TAddObject* item : geometry.Items) {
        if (!item || !item->Visible || !Finite(item->PlacedStart))
            continue;
        if (item->Kind == view::TAddObjectKind::Sphere) {
            // The sphere's radius is the row after its centre.
            const double radius = CoordRow(*item, 1);
            if (!std::isfinite(radius))
                continue;
            glPushMatrix();
            EnableLighting();
            const bool textured = item->TextureIndex != -1 && BindTexture(item->TextureIndex) != 0;
            if (textured)
                glEnable(GL_TEXTURE_2D);
            gluQuadricTexture(quadric, textured ? GL_TRUE : GL_FALSE);
            glTranslated(item->PlacedStart[0], item->PlacedStart[1], item->PlacedStart[2]);
            const TArray1D color = coloring::ColorFromPacked(item->Color);
            glColor3d(color[0], color[1], color[2]);
            gluSphere(quadric, radius, 10, 10);
            DisableLighting();
            glPopMatrix();
        } else {
            const double baseRadius = CoordRow(*item, 2), topRadius = CoordRow(*item, 3);
            if (!Finite(item->PlacedEnd) || !std::isfinite(baseRadius) || !std::isfinite(topRadius))
                continue;
            const view::TCylinderPose pose = view::PoseCylinder(item->PlacedStart, item->PlacedEnd);
            EnableLighting();
            gluQuadricTexture(quadric, GL_FALSE);
            glPushMatrix();
            const coloring::TRgb rgb = coloring::UnpackColor(item->Color);
            glColor3d(rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0);
            glTranslated(item->PlacedStart[0], item->PlacedStart[1], item->PlacedStart[2]);
            glRotated(pose.Angle, pose.Axis[0], pose.Axis[1], pose.Axis[2]);
            gluCylinder(quadric, baseRadius, topRadius, pose.Length, 10, 2);
            DisableLighting();
            glPopMatrix();
        }
    }
    gluDeleteQuadric(quadric);
}

void TVisMap::DrawRubberBand() const
{
    // The band is drawn in XOR over the finished frame, in window coordinates, so it shows
    // on any background; alpha is left alone so the grabbed picture stays opaque.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width(), height(), 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_XOR);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0x5555);
    glColor3d(1, 1, 1);
    const double x0 = Mouse_.PressX + 0.5, y0 = Mouse_.PressY + 0.5;
    const double x1 = Mouse_.BandX + 0.5, y1 = Mouse_.BandY + 0.5;
    glBegin(GL_LINE_LOOP);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_COLOR_LOGIC_OP);
    glEnable(GL_DEPTH_TEST);
}

unsigned TVisMap::BindTexture(int index)
{
    if (!Textures_ || index < 0 || static_cast<std::size_t>(index) >= Textures_->size())
        return 0;
    const TTextureImage& image = (*Textures_)[static_cast<std::size_t>(index)];
    if (image.Width <= 0 || image.Height <= 0)
        return 0;
    GLuint name = 0;
    if (const auto found = TextureNames_.find(index); found != TextureNames_.end()) {
        name = found->second;
        glBindTexture(GL_TEXTURE_2D, name);
        return name;
    }
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.Width, image.Height, 0, GL_RGB, GL_UNSIGNED_BYTE, image.Rgb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    TextureNames_[index] = name;
    return name;
}

void TVisMap::ReleaseTextures()
{
    for (const auto& [index, name] : TextureNames_) {
        const GLuint texture = name;
        glDeleteTextures(1, &texture);
    }
    TextureNames_.clear();
}

} // namespace orbelin::gui

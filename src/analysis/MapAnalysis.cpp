// The map/value analysis tool's pages and commands.
#include "analysis/MapAnalysis.h"

#include "analysis/Histograms.h"
#include "analysis/Marking.h"
#include "coloring/Projection.h"
#include "data/DatasetBuild.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "numeric/Components.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"
#include "view/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace orbelin::analysis {

const char* const NoPointsLines[2] = {"No points correspond", "to the cursor position"};
const char* const NoProjectionLines[2] = {"No projections corresponding", "     to the cursor position"};

namespace {

// The cell of a point's record, or "" when the record or the field is not in the table.
const std::string& CellOf(const data::TDataTable& table, const data::TData& dataset, std::size_t point, int field)
{
    static const std::string empty;
    if (point >= dataset.NUMXI.size())
        return empty;
    const std::int32_t record = dataset.NUMXI[point];
    if (record < 0 || static_cast<std::size_t>(record) >= table.Values.size())
        return empty;
    const TArray1S& row = table.Values[static_cast<std::size_t>(record)];
    return static_cast<std::size_t>(field) < row.size() ? row[static_cast<std::size_t>(field)] : empty;
}

// Position t of v in [lo, hi]; 0 when the interval is below 1e-10.
double Relative(double v, double lo, double hi)
{
    return hi - lo < 1e-10 ? 0.0 : (v - lo) / (hi - lo);
}

// A node's coordinate, missing beyond its row.
double NodeAt(const TArray1D& node, std::size_t k)
{
    return k < node.size() ? node[k] : Missing();
}

// In-plane turn of s about c in the plane (p, q): the displacement of the turned node.
void AddPlaneTurn(const TArray1D& s, const TArray1D& c, const TArray1D* p, const TArray1D* q, double angle,
                  TArray1D& displacement)
{
    if (!p || !q || angle == 0)
        return;
    const double np = std::sqrt(numeric::SqNorm(*p)), nq = std::sqrt(numeric::SqNorm(*q));
    if (np == 0 || nq == 0)
        return;
    const TArray1D offset = numeric::VecSub(s, c);
    const double a = numeric::VecDot(offset, *p) / np, b = numeric::VecDot(offset, *q) / nq;
    const double r = std::hypot(a, b), phi = std::atan2(b, a);
    const double a2 = r * std::cos(phi + angle), b2 = r * std::sin(phi + angle);
    // s - P + c + a' p/|p| + b' q/|q|, less s, with P = c + a p/|p| + b q/|q|.
    for (std::size_t k = 0; k < displacement.size(); ++k) {
        const double pk = NodeAt(*p, k) / np, qk = NodeAt(*q, k) / nq;
        displacement[k] += (a2 - a) * pk + (b2 - b) * qk;
    }
}

void CheckFits(const map::TMap& map, const char* action)
{
    if (!map.Grid)
        throw TError("map " + map.Name + " has no grid to " + action);
    if (!map.Data)
        throw TError("map " + map.Name + " has no dataset to " + action);
    if (map.Grid->Dimension != map.Data->CoordCount)
        throw TError("map " + map.Name + " has " + std::to_string(map.Grid->Dimension) +
                     " coordinates per node, but its dataset " + map.Data->Name + " has " +
                     std::to_string(map.Data->CoordCount) + ": cannot " + action);
}

} // namespace

TFloatFields ReadFloatFields(const data::TData& dataset)
{
    TFloatFields fields;
    if (!dataset.Table)
        return fields;
    const data::TDataTable& table = *dataset.Table;
    const std::size_t n = dataset.Points.size();
    for (int f = 0; f < table.FieldCount && static_cast<std::size_t>(f) < table.FieldTypes.size(); ++f) {
        if (table.FieldTypes[static_cast<std::size_t>(f)] != TFieldType::Float)
            continue;
        fields.Fields.push_back(f);
        fields.Names.push_back(static_cast<std::size_t>(f) < table.FieldNames.size()
                                   ? table.FieldNames[static_cast<std::size_t>(f)]
                                   : std::string());
        TArray1D values(n, Missing());
        double lo = 1e10, hi = -1e10;
        for (std::size_t p = 0; p < n; ++p) {
            double v = 0;
            try {
                if (!ParseCell(CellOf(table, dataset, p, f), v))
                    continue;
            } catch (const TError& e) {
                if (fields.Problem.empty())
                    fields.Problem = std::string(e.what()) + " (field " + fields.Names.back() + ", record " +
                                     std::to_string(dataset.NUMXI[p] + 1) + ")";
                continue;
            }
            values[p] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        fields.Values.push_back(std::move(values));
        fields.Lo.push_back(lo);
        fields.Hi.push_back(hi);
        fields.OverallLo = std::min(fields.OverallLo, lo);
        fields.OverallHi = std::max(fields.OverallHi, hi);
    }
    return fields;
}

std::string DefaultXCoordinates(int fieldCount)
{
    std::string text;
    for (int f = 0; f < fieldCount; ++f)
        text += " " + std::to_string(f);
    return text;
}

TXCoordinates ParseXCoordinates(const std::string& text, int fieldCount)
{
    TXCoordinates result;
    const TArray1S words = data::SplitBlanks(text);
    for (int f = 0; f < fieldCount; ++f) {
        double x = f;
        if (static_cast<std::size_t>(f) < words.size() && !data::ParseDecimal(words[static_cast<std::size_t>(f)], x)) {
            x = f;
            if (result.Problem.empty())
                result.Problem = "'" + words[static_cast<std::size_t>(f)] + "' is not a valid floating point value";
        }
        result.X.push_back(x);
    }
    return result;
}

TArray1I AnalysisPoints(const data::TData& dataset, const std::vector<int>& underCursor)
{
    const auto n = static_cast<std::int32_t>(dataset.Points.size());
    TArray1I points;
    std::unordered_set<std::int32_t> listed;
    for (const std::int32_t p : dataset.MarkedPoints)
        if (p >= 0 && p < n && listed.insert(p).second)
            points.push_back(p);
    for (const int p : underCursor)
        if (p >= 0 && p < n && listed.insert(p).second)
            points.push_back(p);
    return points;
}

int ScaleColor(double t, coloring::TGradingScheme scale)
{
    return coloring::PackColor(coloring::GradingColor(t, scale));
}

TObjectsPage BuildObjectsPage(const TFloatFields& fields, const TArray1I& points, bool maximalInterval,
                              coloring::TGradingScheme scale)
{
    TObjectsPage page;
    page.Points = points;
    page.Cells.resize(fields.Fields.size());
    for (std::size_t f = 0; f < fields.Fields.size(); ++f) {
        const double lo = maximalInterval ? fields.OverallLo : fields.Lo[f];
        const double hi = maximalInterval ? fields.OverallHi : fields.Hi[f];
        for (const std::int32_t p : points) {
            TObjectsCell cell;
            const double v = static_cast<std::size_t>(p) < fields.Values[f].size()
                                 ? fields.Values[f][static_cast<std::size_t>(p)]
                                 : Missing();
            if (!IsMissing(v)) {
                const double t = Relative(v, lo, hi);
                cell.Text = data::ShortestText(t);
                cell.Color = ScaleColor(t, scale);
            }
            page.Cells[f].push_back(std::move(cell));
        }
    }
    return page;
}

std::vector<TGraphLine> BuildGraphLines(const TFloatFields& fields, const TArray1D& x, const TArray1I& points)
{
    std::vector<TGraphLine> lines;
    for (const std::int32_t p : points) {
        TGraphLine line;
        line.Point = p;
        for (std::size_t f = 0; f < fields.Fields.size() && f < x.size(); ++f) {
            const double v = static_cast<std::size_t>(p) < fields.Values[f].size()
                                 ? fields.Values[f][static_cast<std::size_t>(p)]
                                 : Missing();
            if (IsMissing(v))
                continue;
            line.X.push_back(x[f]);
            line.Y.push_back(v);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<TScreenTriangle> ScreenTriangles(const map::TMap& map, const view::TCamera& camera, int width, int height)
{
    std::vector<TScreenTriangle> triangles;
    if (width <= 0 || height <= 0)
        return triangles;
    const view::TMatrix4 modelView = view::ModelViewMatrix(camera);
    const view::TMatrix4 projection = view::ProjectionMatrix(camera, width, height);
    const std::vector<view::TTriangleCorners> corners = view::NetTriangleCorners(map);
    triangles.reserve(corners.size());
    for (std::size_t t = 0; t < corners.size(); ++t) {
        TScreenTriangle screen;
        screen.Triangle = static_cast<int>(t);
        bool projected = true;
        for (std::size_t k = 0; k < 3 && projected; ++k) {
            double window[3];
            projected = view::ProjectToWindow(corners[t][k].data(), modelView, projection, width, height, window);
            screen.X[k] = window[0];
            screen.Y[k] = window[1];
        }
        if (projected)
            triangles.push_back(screen);
    }
    return triangles;
}

TArray2D MapValuesAt(const map::TMap& map, const std::vector<TScreenTriangle>& triangles, int x, int y, int height)
{
    const std::size_t d = map.Data ? static_cast<std::size_t>(std::max(map.Data->CoordCount, 0)) : 0;
    TArray2D values(d);
    if (!map.Grid || !map.Data)
        return values;
    const map::TNetGrid& grid = *map.Grid;
    const double px = x, py = height - y;
    const double scale = map.Data->Scale != 0 ? map.Data->Scale : 1.0;
    for (const TScreenTriangle& s : triangles) {
        const double bx = s.X[1] - s.X[0], by = s.Y[1] - s.Y[0];
        const double cx = s.X[2] - s.X[0], cy = s.Y[2] - s.Y[0];
        const double det = bx * cy - cx * by;
        if (det == 0)
            continue;
        const double qx = px - s.X[0], qy = py - s.Y[0];
        const double u = (qx * cy - cx * qy) / det, v = (bx * qy - qx * by) / det;
        if (u < 0 || v < 0 || u + v > 1)
            continue;
        const TArray1I& triangle = grid.Triangles[static_cast<std::size_t>(s.Triangle)];
        const TArray1D& a = grid.Nodes[static_cast<std::size_t>(triangle[0])];
        const TArray1D& b = grid.Nodes[static_cast<std::size_t>(triangle[1])];
        const TArray1D& c = grid.Nodes[static_cast<std::size_t>(triangle[2])];
        for (std::size_t k = 0; k < d; ++k) {
            const double ak = NodeAt(a, k), bk = NodeAt(b, k), ck = NodeAt(c, k);
            double value = Missing();
            if (!IsMissing(ak) && !IsMissing(bk) && !IsMissing(ck))
                value = data::DenormaliseValue(*map.Data, static_cast<int>(k),
                                               (ak + u * (bk - ak) + v * (ck - ak)) / scale);
            values[k].push_back(value);
        }
    }
    return values;
}

double SliderAngle(int position)
{
    return position / 50.0 * 2 * 3.1415926;
}

TArray2D MovedNodes(const TArray2D& snapshot, const TArray1D& centre, const TArray2D& components,
                    const TMoveSliders& sliders)
{
    const auto axis = [&](std::size_t i) { return i < components.size() ? &components[i] : nullptr; };
    const TArray1D *e1 = axis(0), *e2 = axis(1), *e3 = axis(2);
    TArray2D nodes = snapshot;
    for (TArray1D& node : nodes) {
        const TArray1D s = node;
        TArray1D displacement(s.size(), 0.0);
        AddPlaneTurn(s, centre, e1, e2, SliderAngle(sliders.RotZ), displacement);
        AddPlaneTurn(s, centre, e2, e3, SliderAngle(sliders.RotX), displacement);
        AddPlaneTurn(s, centre, e1, e3, SliderAngle(sliders.RotY), displacement);
        for (std::size_t k = 0; k < node.size(); ++k) {
            double shift = 0;
            if (e1)
                shift += NodeAt(*e1, k) * (sliders.ShiftX / 50.0);
            if (e2)
                shift += NodeAt(*e2, k) * (sliders.ShiftY / 50.0);
            if (e3)
                shift += NodeAt(*e3, k) * (sliders.ShiftZ / 50.0);
            node[k] = s[k] + shift + displacement[k];
        }
    }
    return nodes;
}

void MoveMap(map::TMap& map, const TArray2D& snapshot, const TMoveSliders& sliders)
{
    if (!map.Grid)
        throw TError("map " + map.Name + " has no grid to move");
    map::CheckNotTraining(map, "move it");
    if (snapshot.size() != map.Grid->Nodes.size())
        throw TError("map " + map.Name + " has " + std::to_string(map.Grid->Nodes.size()) +
                     " nodes since the analysis window took its snapshot of " + std::to_string(snapshot.size()) +
                     ": show the window again to move it");
    map.Grid->Nodes = MovedNodes(snapshot, map.Centre, map.Components, sliders);
    coloring::InvalidateProjections(map);
    view::RebuildNet(map);
    view::ScaleMarkers(map);
}

void SubtractMap(map::TMap& map)
{
    CheckFits(map, "subtract it from the points");
    data::TData& dataset = *map.Data;
    for (const auto& other : dataset.Maps)
        map::CheckNotTraining(*other, "subtract a map from its dataset's points");
    const coloring::TProjector projector(*map.Grid);
    const std::size_t d = static_cast<std::size_t>(projector.Dimension());
    TArray1D closest(d);
    for (TArray1D& point : dataset.Points) {
        if (point.size() != d)
            continue;
        projector.ClosestPoint(point.data(), closest.data());
        point = numeric::VecSub(point, closest);
    }
    for (const auto& other : dataset.Maps)
        coloring::InvalidateProjections(*other);
    view::RebuildViews(map);
}

void ProjectionsToTable(map::TMap& map)
{
    if (!map.Data)
        throw TError("map " + map.Name + " has no dataset to write the projections of its points to");
    map::CheckNotTraining(map, "write the projections of its points");
    data::TData& dataset = *map.Data;
    const bool projected = coloring::EnsureProjections(map);
    TArray1S xs(dataset.Points.size()), ys(dataset.Points.size());
    for (std::size_t p = 0; projected && p < xs.size() && p < map.Projections.size(); ++p) {
        const TArray1D& row = map.Projections[p];
        if (row.size() >= 2) {
            xs[p] = data::FixedText(row[0], 10, 2);
            ys[p] = data::FixedText(row[1], 10, 2);
        }
    }
    SetResultColumn(dataset, "X", std::move(xs));
    SetResultColumn(dataset, "Y", std::move(ys));
}

void RecalcComponentsFromNodes(map::TMap& map)
{
    if (!map.Grid)
        throw TError("map " + map.Name + " has no grid to take the principal components of");
    map::CheckNotTraining(map, "recompute its principal components");
    numeric::TPrincipalComponents pc = numeric::PrincipalComponents(map.Grid->Nodes, {}, 3);
    map.Components = std::move(pc.Components);
    map.Centre = std::move(pc.Centre);
    view::RebuildViews(map);
}

} // namespace orbelin::analysis

// The map/value analysis tool: the table values of the points under the cursor, the
// data-space values of the map surface there, turning and shifting the map in its
// principal view space, and the three commands that write results back.
#pragma once

#include "coloring/ColorSchemes.h"
#include "numeric/TArray.h"
#include "view/TCamera.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::analysis {

/// The dataset table's Float fields with their values at the dataset's points, read once
/// when the window is shown.
struct TFloatFields {
    TArray1I Fields; ///< table field indices, in table order
    TArray1S Names;
    TArray2D Values; ///< [field][point]; missing for an empty cell or one that is no number
    TArray1D Lo, Hi; ///< per field over the points' values; 1e10 and -1e10 without any
    double OverallLo = 1e10, OverallHi = -1e10;
    /// The first cell that is not a number ("'TEXT' is not a valid floating point value"
    /// with its field and record), or empty.
    std::string Problem;
};

/// The Float fields of the dataset's table and their extremes over the dataset's points.
/// A dataset without a table, or a table without Float fields, gives no fields.
TFloatFields ReadFloatFields(const data::TData& dataset);

/// The "X-coordinates" text filled in on showing: " 0 1 2 ..." (each number preceded by
/// a blank), one per field.
std::string DefaultXCoordinates(int fieldCount);

/// The abscissae of "Graph": the numbers of the text split at blanks. A field without a
/// number of its own, or whose word is no number, takes its index; Problem names the first
/// word that is no number.
struct TXCoordinates {
    TArray1D X;
    std::string Problem;
};
TXCoordinates ParseXCoordinates(const std::string& text, int fieldCount);

/// The points the pages show: the dataset's marked points, then the points under the
/// cursor that are not marked. Indices outside the points are dropped.
TArray1I AnalysisPoints(const data::TData& dataset, const std::vector<int>& underCursor);

/// The two lines a page shows when it has nothing to list.
extern const char* const NoPointsLines[2];     ///< "No points correspond", "to the cursor position"
extern const char* const NoProjectionLines[2]; ///< "No projections corresponding", "     to the cursor position"

/// One cell of "Objects".
struct TObjectsCell {
    std::string Text;     ///< ShortestText of t; empty when the point has no value
    int Color = 0xFFFFFF; ///< packed fill colour of t (white without a value)
};

/// "Objects": one row per Float field, one column per listed point.
struct TObjectsPage {
    TArray1I Points;
    std::vector<std::vector<TObjectsCell>> Cells; ///< [field][point]
};

/// The colour of t by the chosen scale ("GreenRed", "Spektrum", "BlackWhite").
int ScaleColor(double t, coloring::TGradingScheme scale);

/// t = (v - lo_f) / (hi_f - lo_f) per field, or with the overall extremes when
/// maximalInterval ("Use maxumal interval") is set; 0 when that interval is below 1e-10.
TObjectsPage BuildObjectsPage(const TFloatFields& fields, const TArray1I& points, bool maximalInterval,
                              coloring::TGradingScheme scale);

/// One line of "Graph": the points (x_f, v_f) over the fields where the point has a value.
struct TGraphLine {
    int Point = 0;
    TArray1D X, Y;
};
std::vector<TGraphLine> BuildGraphLines(const TFloatFields& fields, const TArray1D& x, const TArray1I& points);

/// The window positions of the grid triangles of the current view, as the view's camera
/// shows them in a widget of that size (y grows upwards); a triangle a corner of which does
/// not project has no entry. Each entry carries its triangle index.
struct TScreenTriangle {
    int Triangle = 0;
    double X[3]{}, Y[3]{};
};
std::vector<TScreenTriangle> ScreenTriangles(const map::TMap& map, const view::TCamera& camera, int width, int height);

/// "Map values": for every screen triangle holding the mouse position (x, y from the top,
/// as the mouse gives it) by the barycentric test (u, v >= 0, u + v <= 1), the data-space
/// point A + u (B - A) + v (C - A) of the triangle's nodes, denormalised per coordinate
/// (divided by the dataset's Scale first, so a scaled dataset still reads in table units).
/// One row per dataset coordinate, one column per found point.
TArray2D MapValuesAt(const map::TMap& map, const std::vector<TScreenTriangle>& triangles, int x, int y, int height);

/// The "Move" sliders: rotations 0..100 and shifts -100..100.
struct TMoveSliders {
    int RotX = 0, RotY = 0, RotZ = 0;
    int ShiftX = 0, ShiftY = 0, ShiftZ = 0;
};

/// The angle of a rotation slider: position / 50 * 2 * 3.1415926 radians.
double SliderAngle(int position);

/// Every node from its snapshot s: with c the centre and e1, e2, e3 the first three
/// components, each of the planes (e1, e2) by RotZ, (e2, e3) by RotX and (e1, e3) by RotY
/// turns the node's in-plane coordinates about the centre, each from s, and the
/// displacements add up; then the shift e1 ShiftX/50 + e2 ShiftY/50 + e3 ShiftZ/50 is
/// added. A plane whose axis is absent or of zero length does not turn.
TArray2D MovedNodes(const TArray2D& snapshot, const TArray1D& centre, const TArray2D& components,
                    const TMoveSliders& sliders);

/// "Move" on the map: its nodes from the snapshot, the projections marked for
/// recomputation, the net rebuilt. Raises TError while the map trains or when the
/// snapshot does not fit the grid.
void MoveMap(map::TMap& map, const TArray2D& snapshot, const TMoveSliders& sliders);

/// "Subtract": every point x of the map's dataset becomes VecSub(x, its closest point on
/// the map) (a missing coordinate stays missing); every map of the dataset has its
/// projections marked for recomputation and this map's views are rebuilt. Raises TError
/// while a map of the dataset trains or when the map does not fit the dataset.
void SubtractMap(map::TMap& map);

/// "Data point projections to table": the result columns "X" and "Y", the first and
/// second internal coordinate of each point's projection as FixedText(x, 10, 2). The
/// projections are brought up to date first, so a map trained since its last projection
/// does not write where the points were; without projections the cells stay empty.
void ProjectionsToTable(map::TMap& map);

/// "Recalc PC view to map nodes": the principal components of the grid's nodes (no
/// weights, three fitted) replace the map's components and centre; its views are rebuilt.
void RecalcComponentsFromNodes(map::TMap& map);

} // namespace orbelin::analysis

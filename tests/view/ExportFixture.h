// A small table, dataset and view shared by the export and annotation tests.
#pragma once

#include "data/TData.h"
#include "data/TableMaker.h"
#include "view/ExportSupport.h"

namespace orbelin::test {

constexpr int Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, DarkBlue = 0x800000;

/// Three records: names, a float and a free text. Record 0 is a red triangle of radius 4
/// with a dark blue border, record 1 blue, record 2 a green square of radius 2 with a
/// black border.
inline data::TDataTable MakeExportTable()
{
    data::TDataTable table = MakeTable({{"name", TFieldType::String}, {"size", TFieldType::Float}},
                                       {{"Alpha", "1.5"}, {"Beta", "3"}, {" O'Brien \"Q\" <b> ", " 2 "}});
    table.PointStyles[0] = {1, 1, 4, Red, DarkBlue, 1, 0, 0};
    table.PointStyles[1] = {1, 1, 4, Blue, Blue, 1, 0, 0};
    table.PointStyles[2] = {1, 0, 2, Green, 0, 0, 1, 0};
    return table;
}

/// Two points, from records 0 and 2.
inline data::TData MakeExportData(data::TDataTable& table)
{
    data::TData data;
    data.Table = &table;
    data.PointCount = 2;
    data.CoordCount = 1;
    data.Points = {{1.5}, {2}};
    data.NUMXI = {0, 2};
    return data;
}

/// The data-point markers seen by the default camera in an 800 x 600 view: the
/// orthographic half height is 0.0875 x 30 = 2.625, so one unit is 600 / 5.25 pixels and
/// the markers land on the pixels (500, 400) and (200, 200), counted from the bottom.
inline view::TVisPoint MakeExportMarkers()
{
    view::TVisPoint points;
    points.Positions = {{0.875, 0.875, 0}, {-1.75, -0.875, 0.5}};
    points.Radii = {4, 2};
    return points;
}

inline view::TExportView MakeExportView(const view::TVisPoint& points)
{
    view::TExportView v;
    v.DataPoints = &points;
    v.Width = 800;
    v.Height = 600;
    return v;
}

} // namespace orbelin::test

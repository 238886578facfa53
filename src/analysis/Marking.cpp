// Marks, result columns and the per-point record styles the analysis tools use.
#include "analysis/Marking.h"

#include "data/PointStyle.h"
#include "data/TData.h"
#include "data/TDataTable.h"

#include <algorithm>

namespace orbelin::analysis {
namespace {

const PointStyle& RecordStyle(const data::TData& data, std::size_t p)
{
    const int record = data.NUMXI[p];
    if (data.Table && record >= 0 && static_cast<std::size_t>(record) < data.Table->PointStyles.size())
        return data.Table->PointStyles[static_cast<std::size_t>(record)];
    return DefaultPointStyle;
}

// Position of every point in the selection, -1 when unmarked.
std::vector<int> MarkPositions(const data::TData& data)
{
    std::vector<int> at(data.NUMXI.size(), -1);
    for (std::size_t m = 0; m < data.MarkedPoints.size(); ++m) {
        const int p = data.MarkedPoints[m];
        if (p >= 0 && static_cast<std::size_t>(p) < at.size())
            at[static_cast<std::size_t>(p)] = static_cast<int>(m);
    }
    return at;
}

// AddMarks with the selection's positions kept by the caller across calls.
void AddMarksAt(data::TData& data, std::vector<int>& at, const TArray1I& points, int colour, int size)
{
    for (int p : points) {
        if (p < 0 || static_cast<std::size_t>(p) >= at.size())
            continue;
        const auto point = static_cast<std::size_t>(p);
        const PointStyle& style = RecordStyle(data, point);
        const int c = colour == OwnStyle ? style[FILLCOLOR] : colour;
        const int s = size == OwnStyle ? style[RADIUS] : size;
        if (at[point] < 0) {
            at[point] = static_cast<int>(data.MarkedPoints.size());
            data.MarkedPoints.push_back(p);
            data.MarkColors.push_back(c);
            data.MarkSizes.push_back(s);
        } else {
            data.MarkColors[static_cast<std::size_t>(at[point])] = c;
            data.MarkSizes[static_cast<std::size_t>(at[point])] = s;
        }
    }
}

} // namespace

void AddMarks(data::TData& data, const TArray1I& points, int colour, int size)
{
    std::vector<int> at = MarkPositions(data);
    AddMarksAt(data, at, points, colour, size);
}

void AddClusterMarks(data::TData& data, const TArray2I& clusters, const TArray1I& colours)
{
    std::vector<int> at = MarkPositions(data);
    for (std::size_t i = 0; i < clusters.size() && i < colours.size(); ++i)
        AddMarksAt(data, at, clusters[i], colours[i], OwnStyle);
}

void MarkAllPoints(data::TData& data, const TArray1I& colours, const TArray1I& sizes)
{
    data::ClearMarks(data);
    for (std::size_t p = 0; p < data.NUMXI.size(); ++p) {
        const PointStyle& style = RecordStyle(data, p);
        const int c = p < colours.size() ? colours[p] : OwnStyle;
        const int s = p < sizes.size() ? sizes[p] : OwnStyle;
        data.MarkedPoints.push_back(static_cast<std::int32_t>(p));
        data.MarkColors.push_back(c == OwnStyle ? style[FILLCOLOR] : c);
        data.MarkSizes.push_back(s == OwnStyle ? style[RADIUS] : s);
    }
}

void RemoveMarks(data::TData& data, const TArray1I& points)
{
    std::vector<char> remove(data.NUMXI.size(), 0);
    for (int p : points)
        if (p >= 0 && static_cast<std::size_t>(p) < remove.size())
            remove[static_cast<std::size_t>(p)] = 1;
    std::size_t kept = 0;
    for (std::size_t m = 0; m < data.MarkedPoints.size(); ++m) {
        const int p = data.MarkedPoints[m];
        if (p >= 0 && static_cast<std::size_t>(p) < remove.size() && remove[static_cast<std::size_t>(p)])
            continue;
        data.MarkedPoints[kept] = p;
        data.MarkColors[kept] = data.MarkColors[m];
        data.MarkSizes[kept] = data.MarkSizes[m];
        ++kept;
    }
    data.MarkedPoints.resize(kept);
    data.MarkColors.resize(kept);
    data.MarkSizes.resize(kept);
}

void SetResultColumn(data::TData& data, const std::string& name, TArray1S values)
{
    const auto it = std::find(data.ResultColumnNames.begin(), data.ResultColumnNames.end(), name);
    if (it != data.ResultColumnNames.end()) {
        data.ResultColumns[static_cast<std::size_t>(it - data.ResultColumnNames.begin())] = std::move(values);
        return;
    }
    data.ResultColumnNames.push_back(name);
    data.ResultColumns.push_back(std::move(values));
}

void RememberMarks(data::TData& data, int key)
{
    if (!data.Table || (key != FILLCOLOR && key != RADIUS))
        return;
    for (std::size_t m = 0; m < data.MarkedPoints.size(); ++m) {
        const int p = data.MarkedPoints[m];
        if (p < 0 || static_cast<std::size_t>(p) >= data.NUMXI.size())
            continue;
        const int record = data.NUMXI[static_cast<std::size_t>(p)];
        if (record >= 0 && static_cast<std::size_t>(record) < data.Table->PointStyles.size())
            data.Table->PointStyles[static_cast<std::size_t>(record)][static_cast<std::size_t>(key)] =
                key == FILLCOLOR ? data.MarkColors[m] : data.MarkSizes[m];
    }
}

TArray1I PointColors(const data::TData& data)
{
    TArray1I colors(data.NUMXI.size());
    for (std::size_t p = 0; p < colors.size(); ++p)
        colors[p] = RecordStyle(data, p)[FILLCOLOR];
    return colors;
}

TArray1I PointRadii(const data::TData& data)
{
    TArray1I radii(data.NUMXI.size());
    for (std::size_t p = 0; p < radii.size(); ++p)
        radii[p] = RecordStyle(data, p)[RADIUS];
    return radii;
}

int PointOfRecord(const data::TData& data, int record)
{
    // NUMXI keeps the table's record order, so the points of a record sit together.
    const auto it = std::upper_bound(data.NUMXI.begin(), data.NUMXI.end(), record);
    if (it == data.NUMXI.begin() || *(it - 1) != record)
        return -1;
    return static_cast<int>(it - data.NUMXI.begin()) - 1;
}

} // namespace orbelin::analysis

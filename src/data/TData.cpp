// The dataset object: its members, its maps and their ownership.
#include "data/TData.h"

#include "data/TDataTable.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"

namespace orbelin::data {

double& TNormStat::At(int i)
{
    double* fields[Count] = {&RawMin, &RawMax, &Std, &Mean, &PreRangeMin, &PreRangeMax, &FinalMin, &FinalMax};
    return *fields[i];
}

double TNormStat::At(int i) const
{
    return const_cast<TNormStat*>(this)->At(i);
}

TData::TData() = default;
TData::~TData() = default;
TData::TData(TData&&) noexcept = default;
TData& TData::operator=(TData&&) noexcept = default;

map::TMap* TData::CurrentMap() const
{
    if (ActiveMap < 0 || ActiveMap >= static_cast<int>(Maps.size()))
        return nullptr;
    return Maps[static_cast<std::size_t>(ActiveMap)].get();
}

namespace {

const PointStyle& StyleOf(const TData& data, int point)
{
    const auto record = static_cast<std::size_t>(data.NUMXI[static_cast<std::size_t>(point)]);
    if (data.Table && record < data.Table->PointStyles.size())
        return data.Table->PointStyles[record];
    return DefaultPointStyle;
}

void Unmark(TData& data, int at)
{
    data.MarkedPoints.erase(data.MarkedPoints.begin() + at);
    data.MarkColors.erase(data.MarkColors.begin() + at);
    data.MarkSizes.erase(data.MarkSizes.begin() + at);
}

} // namespace

void MarkPoints(TData& data, const TArray1I& points, int colour, int size, int mode)
{
    const auto isPoint = [&](int p) { return p >= 0 && p < static_cast<int>(data.NUMXI.size()); };
    if (points.size() == 1 && isPoint(points[0])) {
        const int at = IndexOfInt(data.MarkedPoints, points[0]);
        // With colour -1 the point's own colour is the colour it would be marked in.
        const int wanted = colour == -1 ? StyleOf(data, points[0])[FILLCOLOR] : colour;
        if (at >= 0 && data.MarkColors[static_cast<std::size_t>(at)] == wanted) {
            Unmark(data, at);
            return;
        }
    }
    for (int p : points) {
        if (!isPoint(p))
            continue;
        const int at = IndexOfInt(data.MarkedPoints, p);
        if (at < 0 && mode != MarkRemove) {
            data.MarkedPoints.push_back(p);
            data.MarkColors.push_back(0);
            data.MarkSizes.push_back(0);
        } else if (at >= 0 && mode != MarkAdd) {
            Unmark(data, at);
        }
    }
    for (int p : points) {
        if (!isPoint(p))
            continue;
        const int at = IndexOfInt(data.MarkedPoints, p);
        if (at < 0)
            continue;
        const PointStyle& style = StyleOf(data, p);
        data.MarkColors[static_cast<std::size_t>(at)] = colour == -1 ? style[FILLCOLOR] : colour;
        data.MarkSizes[static_cast<std::size_t>(at)] = size == -1 ? style[RADIUS] : size;
    }
}

void ClearMarks(TData& data)
{
    data.MarkedPoints.clear();
    data.MarkColors.clear();
    data.MarkSizes.clear();
}

void RemoveMap(TData& data, int k)
{
    if (k < 0 || k >= static_cast<int>(data.Maps.size()))
        return;
    data.Maps.erase(data.Maps.begin() + k);
    const int last = static_cast<int>(data.Maps.size()) - 1;
    if (data.ActiveMap > last)
        data.ActiveMap = last;
}

} // namespace orbelin::data

// Rankings, distance diagram, nearest records, bar selections and centring of the
// statistics tool's "Objects" page.
#include "analysis/ObjectsPage.h"

#include "analysis/Marking.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TextRoutines.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {
namespace {

std::string Cell(const data::TDataTable& table, int record, int field)
{
    if (record < 0 || field < 0 || static_cast<std::size_t>(record) >= table.Values.size())
        return {};
    const TArray1S& row = table.Values[static_cast<std::size_t>(record)];
    return static_cast<std::size_t>(field) < row.size() ? row[static_cast<std::size_t>(field)] : std::string();
}

int ClassIndex(const TArray1I& colors, int color)
{
    const auto it = std::find(colors.begin(), colors.end(), color);
    return it == colors.end() ? -1 : static_cast<int>(it - colors.begin());
}

int RecordColor(const data::TDataTable& table, int record)
{
    return record >= 0 && static_cast<std::size_t>(record) < table.PointStyles.size()
               ? table.PointStyles[static_cast<std::size_t>(record)][FILLCOLOR]
               : DefaultPointStyle[FILLCOLOR];
}

std::vector<TRankEntry> Ranked(const TArray1S& fields, const TArray1D& counts)
{
    std::vector<TRankEntry> entries;
    for (std::int32_t i : OrderByValue(counts, true)) {
        const auto k = static_cast<std::size_t>(i);
        std::string text = std::to_string(static_cast<long long>(std::nearbyint(counts[k])));
        if (text.size() < 6)
            text.insert(0, 6 - text.size(), ' ');
        entries.push_back({fields[k], counts[k], std::move(text)});
    }
    return entries;
}

} // namespace

TObjectRanking RankObject(const data::TData& data, const data::TDataTable& table, const TFieldHistograms& histograms,
                          int record)
{
    const int classIndex = ClassIndex(histograms.ClassColors, RecordColor(table, record));
    TArray1D probable, inClass;
    for (const std::string& name : data.CoordNames) {
        const int field = data::IndexOfText(table.FieldNames, name);
        double v = 0;
        if (field >= 0 && ParseCell(Cell(table, record, field), v)) {
            probable.push_back(BinCount(histograms, field, v));
            inClass.push_back(ClassBinCount(histograms, field, classIndex, v));
        } else {
            probable.push_back(-1);
            inClass.push_back(-1);
        }
    }
    return {Ranked(data.CoordNames, probable), Ranked(data.CoordNames, inClass)};
}

TDistanceDiagram BuildDistanceDiagram(const data::TDataTable& table, const data::TData& data, int point, int bars)
{
    TDistanceDiagram d;
    bars = std::clamp(bars, 1, 100);
    d.ClassColors = ClassColorList(table);
    d.Counts.assign(static_cast<std::size_t>(bars), TArray1D(d.ClassColors.size(), 0.0));
    if (point < 0 || static_cast<std::size_t>(point) >= data.Points.size())
        return d;
    d.Point = point;
    const TArray1D& x = data.Points[static_cast<std::size_t>(point)];
    for (const TArray1D& y : data.Points) {
        d.Distances.push_back(std::sqrt(numeric::SqEuclideanDistance(x, y)));
        d.Min = std::min(d.Min, d.Distances.back());
        d.Max = std::max(d.Max, d.Distances.back());
    }
    d.Width = (d.Max - d.Min) / bars;
    for (int b = 0; b < bars; ++b)
        d.Centres.push_back(d.Min + (b + 0.5) * d.Width);
    if (d.Width == 0)
        return d;
    const TArray1I colors = PointColors(data);
    for (std::size_t p = 0; p < d.Distances.size(); ++p) {
        const int k = ClassIndex(d.ClassColors, colors[p]);
        if (k < 0)
            continue;
        const double b = std::clamp(std::trunc((d.Distances[p] - d.Min) / d.Width), 0.0, bars - 1.0);
        d.Counts[static_cast<std::size_t>(b)][static_cast<std::size_t>(k)] += 1;
    }
    return d;
}

std::vector<TNearObject> NearestObjects(const TDistanceDiagram& diagram, const data::TDataTable& table,
                                        const data::TData& data, int markField, int bars)
{
    std::vector<TNearObject> list;
    const std::size_t n = diagram.Distances.size();
    if (diagram.Point < 0 || n == 0)
        return list;
    bars = std::clamp(bars, 1, 100);
    const double m = std::nearbyint(0.5 * ((static_cast<double>(n) - 1) / bars + 1));
    std::vector<char> taken(n, 0);
    taken[static_cast<std::size_t>(diagram.Point)] = 1;
    for (int k = 1; k <= static_cast<int>(m); ++k) {
        double best = 1e10;
        int nearest = -1;
        for (std::size_t p = 0; p < n; ++p)
            if (!taken[p] && diagram.Distances[p] < best) {
                best = diagram.Distances[p];
                nearest = static_cast<int>(p);
            }
        if (nearest < 0)
            break;
        taken[static_cast<std::size_t>(nearest)] = 1;
        const std::string mark =
            data::TrimBlanks(Cell(table, data.NUMXI[static_cast<std::size_t>(nearest)], markField));
        list.push_back({nearest, best, std::to_string(k) + "\t" + mark + "\t" + data::FixedText(best, 1, 3)});
    }
    return list;
}

int NearestBar(const TArray1D& centres, double v)
{
    double best = 1e100;
    int bar = -1;
    for (std::size_t b = 0; b < centres.size(); ++b)
        if (std::fabs(centres[b] - v) < best) {
            best = std::fabs(centres[b] - v);
            bar = static_cast<int>(b);
        }
    return bar;
}

TArray1D HistogramCentres(const TFieldHistograms& histograms, int field)
{
    TArray1D centres;
    if (field < 0 || static_cast<std::size_t>(field) >= histograms.Width.size())
        return centres;
    const auto f = static_cast<std::size_t>(field);
    const std::size_t bars = f < histograms.Unified.size()   ? histograms.Unified[f].size()
                             : f < histograms.Classes.size() ? histograms.Classes[f].size()
                                                             : 0;
    for (std::size_t b = 0; b < bars; ++b)
        centres.push_back(histograms.Lo[f] + static_cast<double>(b) * histograms.Width[f] + histograms.Width[f] / 2);
    return centres;
}

TArray1I HistogramBarPoints(const data::TDataTable& table, const data::TData& data, const TFieldHistograms& histograms,
                            int field, bool unified, int series, int bar)
{
    TArray1I points;
    const TArray1D centres = HistogramCentres(histograms, field);
    const int seriesColor = series >= 0 && static_cast<std::size_t>(series) < histograms.ClassColors.size()
                                ? histograms.ClassColors[static_cast<std::size_t>(series)]
                                : -1;
    for (int r = 0; r < static_cast<int>(table.Values.size()); ++r) {
        double v = 0;
        if (!ParseCell(Cell(table, r, field), v) || NearestBar(centres, v) != bar)
            continue;
        if (!unified && RecordColor(table, r) != seriesColor)
            continue;
        if (const int p = PointOfRecord(data, r); p >= 0)
            points.push_back(p);
    }
    return points;
}

TArray1I DistanceBarPoints(const TDistanceDiagram& diagram, int bar)
{
    TArray1I points;
    for (std::size_t p = 0; p < diagram.Distances.size(); ++p)
        if (NearestBar(diagram.Centres, diagram.Distances[p]) == bar)
            points.push_back(static_cast<std::int32_t>(p));
    return points;
}

void CenterDataOnPoint(data::TData& data, int point)
{
    if (point < 0 || static_cast<std::size_t>(point) >= data.Points.size())
        return;
    const TArray1D centre = data.Points[static_cast<std::size_t>(point)];
    for (TArray1D& x : data.Points)
        for (std::size_t k = 0; k < x.size() && k < centre.size(); ++k)
            if (!IsMissing(x[k]) && !IsMissing(centre[k]))
                x[k] -= centre[k];
}

} // namespace orbelin::analysis

// Field histograms of a table, bin lookups and the stable ordering by value.
#include "analysis/Histograms.h"
#include "data/TDataTable.h"

#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace orbelin::analysis {
namespace {

constexpr int MaxBars = 100;

// Lo, Hi and Width of every field; Width stays 0 for fields that are not binned.
void FindRanges(const data::TDataTable& table, int bars, TFieldHistograms& h)
{
    const auto fieldCount = static_cast<std::size_t>(table.FieldCount);
    h.Lo.assign(fieldCount, 1e100);
    h.Hi.assign(fieldCount, -1e100);
    h.Width.assign(fieldCount, 0.0);
    for (std::size_t f = 0; f < fieldCount; ++f) {
        if (f >= table.FieldTypes.size() || !data::IsNumericFieldType(table.FieldTypes[f]))
            continue;
        bool any = false;
        for (const TArray1S& record : table.Values) {
            double v;
            if (f < record.size() && ParseCell(record[f], v)) {
                h.Lo[f] = std::min(h.Lo[f], v);
                h.Hi[f] = std::max(h.Hi[f], v);
                any = true;
            }
        }
        if (any)
            h.Width[f] = (h.Hi[f] - h.Lo[f]) / bars;
    }
}

int ClampBars(int bars)
{
    return std::clamp(bars, 1, MaxBars);
}

// Calls count(field, record, bin) for every value that is binned.
template <class TCount>
void CountValues(const data::TDataTable& table, const TFieldHistograms& h, int bars, TCount count)
{
    for (std::size_t f = 0; f < h.Width.size(); ++f) {
        if (h.Width[f] == 0)
            continue;
        for (std::size_t r = 0; r < table.Values.size(); ++r) {
            double v;
            if (f < table.Values[r].size() && ParseCell(table.Values[r][f], v))
                count(f, r, HistogramBin(h, static_cast<int>(f), v, bars));
        }
    }
}

} // namespace

TArray1I ClassColorList(const data::TDataTable& table)
{
    TArray1I colors;
    std::unordered_map<int, int> seen;
    for (const PointStyle& style : table.PointStyles)
        if (seen.emplace(style[FILLCOLOR], 0).second)
            colors.push_back(style[FILLCOLOR]);
    return colors;
}

bool ParseCell(const std::string& cell, double& value)
{
    const std::string text = data::TrimBlanks(cell);
    if (text.empty())
        return false;
    if (!data::ParseDecimal(text, value))
        throw TError("'" + text + "' is not a valid floating point value");
    return true;
}

void BuildUnifiedHistograms(const data::TDataTable& table, int bars, TFieldHistograms& histograms)
{
    bars = ClampBars(bars);
    TFieldHistograms h = histograms;
    FindRanges(table, bars, h);
    h.Unified.assign(h.Width.size(), TArray1D(static_cast<std::size_t>(bars), 0.0));
    CountValues(table, h, bars,
                [&](std::size_t f, std::size_t, int b) { h.Unified[f][static_cast<std::size_t>(b)] += 1; });
    histograms = std::move(h);
}

void BuildClassHistograms(const data::TDataTable& table, int bars, TFieldHistograms& histograms)
{
    bars = ClampBars(bars);
    TFieldHistograms h = histograms;
    FindRanges(table, bars, h);
    h.ClassColors = ClassColorList(table);
    std::unordered_map<int, int> classOf;
    for (std::size_t k = 0; k < h.ClassColors.size(); ++k)
        classOf.emplace(h.ClassColors[k], static_cast<int>(k));
    const TArray1D noCounts(h.ClassColors.size(), 0.0);
    h.Classes.assign(h.Width.size(), TArray2D(static_cast<std::size_t>(bars), noCounts));
    CountValues(table, h, bars, [&](std::size_t f, std::size_t r, int b) {
        // Records without a style of their own have no class and are not counted.
        if (r < table.PointStyles.size())
            h.Classes[f][static_cast<std::size_t>(b)]
                     [static_cast<std::size_t>(classOf[table.PointStyles[r][FILLCOLOR]])] += 1;
    });
    histograms = std::move(h);
}

int HistogramBin(const TFieldHistograms& histograms, int field, double value, int binCount)
{
    if (field < 0 || static_cast<std::size_t>(field) >= histograms.Width.size() || binCount <= 0)
        return -1;
    const double w = histograms.Width[static_cast<std::size_t>(field)];
    if (w == 0)
        return -1;
    const double b = std::trunc((value - histograms.Lo[static_cast<std::size_t>(field)]) / w);
    // A value below Lo (an empty cell counted as 0) would have no bar; it takes the first.
    return static_cast<int>(std::clamp(b, 0.0, static_cast<double>(binCount - 1)));
}

double BinCount(const TFieldHistograms& histograms, int field, double value)
{
    if (field < 0 || static_cast<std::size_t>(field) >= histograms.Unified.size())
        return 1;
    const TArray1D& counts = histograms.Unified[static_cast<std::size_t>(field)];
    const int b = HistogramBin(histograms, field, value, static_cast<int>(counts.size()));
    return b < 0 ? 1 : counts[static_cast<std::size_t>(b)];
}

double ClassBinCount(const TFieldHistograms& histograms, int field, int classIndex, double value)
{
    if (field < 0 || static_cast<std::size_t>(field) >= histograms.Classes.size())
        return 1;
    const TArray2D& counts = histograms.Classes[static_cast<std::size_t>(field)];
    const int b = HistogramBin(histograms, field, value, static_cast<int>(counts.size()));
    if (b < 0)
        return 1;
    const TArray1D& perClass = counts[static_cast<std::size_t>(b)];
    if (classIndex < 0 || static_cast<std::size_t>(classIndex) >= perClass.size())
        return 0;
    return perClass[static_cast<std::size_t>(classIndex)];
}

TArray1I OrderByValue(const TArray1D& values, bool ascending)
{
    TArray1I order(values.size());
    std::iota(order.begin(), order.end(), 0);
    // NaN goes last in both directions, which keeps the comparison a strict weak order.
    const auto before = [&](int a, int b) {
        const double x = values[static_cast<std::size_t>(a)], y = values[static_cast<std::size_t>(b)];
        if (std::isnan(x) || std::isnan(y))
            return !std::isnan(x) && std::isnan(y);
        return ascending ? x < y : x > y;
    };
    std::stable_sort(order.begin(), order.end(), before);
    return order;
}

} // namespace orbelin::analysis

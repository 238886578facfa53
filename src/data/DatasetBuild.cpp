// Dataset creation from a table and the forward and inverse normalisation chains.
#include "data/DatasetBuild.h"

#include "data/TDataTable.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "numeric/Missing.h"

#include <cfloat>
#include <algorithm>
#include <cmath>

namespace orbelin::data {
namespace {

// The k-th coordinate's minimum and maximum over its present values, from the starting
// values +1e100 and -1e100.
void MinMax(const TData& data, int k, double& lo, double& hi)
{
    lo = 1e100;
    hi = -1e100;
    for (const TArray1D& point : data.Points) {
        const double x = point[static_cast<std::size_t>(k)];
        if (IsMissing(x))
            continue;
        if (x < lo)
            lo = x;
        if (x > hi)
            hi = x;
    }
}

template <class TStep>
void ApplyStep(TData& data, int k, TStep step)
{
    for (TArray1D& point : data.Points) {
        double& x = point[static_cast<std::size_t>(k)];
        if (!IsMissing(x))
            x = step(x);
    }
}

} // namespace

TBuildResult BuildFromTable(TData& data, const std::vector<TFieldChoice>& choices)
{
    TBuildResult result;
    if (!data.Table)
        return result;
    const TDataTable& table = *data.Table;
    const auto fieldCount = static_cast<std::size_t>(table.FieldCount);

    std::vector<int> used;
    data.UsedFields.assign(fieldCount, false);
    for (std::size_t f = 0; f < fieldCount && f < choices.size(); ++f)
        if (choices[f].Use) {
            data.UsedFields[f] = true;
            used.push_back(static_cast<int>(f));
        }
    const int d = static_cast<int>(used.size());
    if (table.RecordCount == 0 || d == 0)
        return result;

    data.CoordCount = d;
    data.CoordNames.clear();
    data.LogFlags.clear();
    data.TanhFlags.clear();
    data.RangeFlags.clear();
    data.StdFlags.clear();
    for (int f : used) {
        const TFieldChoice& c = choices[static_cast<std::size_t>(f)];
        data.CoordNames.push_back(table.FieldNames[static_cast<std::size_t>(f)]);
        data.LogFlags.push_back(c.Log);
        data.TanhFlags.push_back(c.Tanh);
        data.RangeFlags.push_back(c.Range);
        data.StdFlags.push_back(c.Std);
    }

    data.Points.clear();
    data.NUMXI.clear();
    data.Points.reserve(static_cast<std::size_t>(table.RecordCount));
    data.NUMXI.reserve(static_cast<std::size_t>(table.RecordCount));
    TArray1D point(static_cast<std::size_t>(d));
    for (int r = 0; r < table.RecordCount; ++r) {
        const auto rr = static_cast<std::size_t>(r);
        if (table.PointStyles.size() > rr && table.PointStyles[rr][SELECTED] == 0)
            continue;
        const TArray1S& row = table.Values[rr];
        bool gap = false;
        for (int k = 0; k < d; ++k) {
            const std::string text = TrimBlanks(row[static_cast<std::size_t>(used[static_cast<std::size_t>(k)])]);
            double v = Missing();
            if (!text.empty() && !ParseDecimal(text, v)) {
                // The old reading stopped here and left the record's remaining
                // coordinates at 0.0: a point in a wrong place, reported as success.
                if (result.UnparsedCells++ == 0) {
                    result.FirstUnparsedRecord = r;
                    result.FirstUnparsedField = used[static_cast<std::size_t>(k)];
                }
                v = Missing();
            }
            gap = gap || IsMissing(v);
            point[static_cast<std::size_t>(k)] = v;
        }
        if (gap && data.ExcludeGaps)
            continue;
        data.Points.push_back(point);
        data.NUMXI.push_back(r);
    }
    data.PointCount = static_cast<int>(data.Points.size());
    data.NormStat.assign(static_cast<std::size_t>(d), TNormStat());
    data.Scale = 1;
    data.MarkedPoints.clear();
    data.MarkColors.clear();
    data.MarkSizes.clear();
    data.ResultColumnNames.clear();
    data.ResultColumns.clear();
    data.PointWeights.clear();
    data.TotalWeight = 0;
    result.Built = true;
    return result;
}

namespace {

// Mean and deviation of a coordinate over all N points (missing values skipped in the sums,
// counted in N). Values near the largest double (1e308) are first divided by the power of
// two above their largest magnitude, so the sums no longer overflow to infinity; the
// division is exact, so the result is what exact sums would round to.
void MeanAndDeviation(const TData& data, int k, double& mean, double& deviation)
{
    const auto kk = static_cast<std::size_t>(k);
    const double n = data.PointCount;
    double largest = 0;
    for (const TArray1D& point : data.Points)
        if (!IsMissing(point[kk]) && std::isfinite(point[kk]))
            largest = std::max(largest, std::fabs(point[kk]));
    int exponent = 0;
    if (largest > 0)
        std::frexp(largest, &exponent);
    // Values of ordinary size are summed as they are.
    if (exponent > -500 && exponent < 500)
        exponent = 0;
    const auto scaled = [exponent](double x) { return exponent == 0 ? x : std::ldexp(x, -exponent); };
    double sum = 0;
    for (const TArray1D& point : data.Points)
        if (!IsMissing(point[kk]))
            sum += scaled(point[kk]);
    const double scaledMean = n > 0 ? sum / n : 0;
    double sq = 0;
    for (const TArray1D& point : data.Points)
        if (!IsMissing(point[kk]))
            sq += (scaled(point[kk]) - scaledMean) * (scaled(point[kk]) - scaledMean);
    mean = std::ldexp(scaledMean, exponent);
    deviation = n > 0 ? std::ldexp(std::sqrt(sq / n), exponent) : 0;
}

// ln(x - rawMin + 1); where x - rawMin overflows, from the halves of both.
double LogStep(double x, double rawMin)
{
    const double shifted = x - rawMin;
    if (std::isinf(shifted) && std::isfinite(x) && std::isfinite(rawMin))
        return std::log(x / 2 - rawMin / 2 + 0.5) + std::log(2.0);
    return std::log(shifted + 1);
}

// (x - mean) / std, from the halves so that x - mean cannot overflow; halving is exact, so
// the bits are those of the plain form wherever that did not overflow.
double DeviationStep(double x, double mean, double std)
{
    if (std == 0)
        return x - mean;
    return (x / 2 - mean / 2) / std * 2;
}

double RangeStep(double x, double lo, double hi)
{
    if (lo == hi)
        return x - hi;
    // Halving first keeps hi - lo finite for the widest ranges; halving is exact, so the
    // result has the bits of (x - lo) * 2 / (hi - lo) - 1 wherever that did not overflow.
    return (x / 2 - lo / 2) / (hi / 2 - lo / 2) * 2 - 1;
}

} // namespace

void Normalise(TData& data)
{
    data.NormStat.assign(static_cast<std::size_t>(data.CoordCount), TNormStat());
    for (int k = 0; k < data.CoordCount; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        TNormStat& s = data.NormStat[kk];
        MinMax(data, k, s.RawMin, s.RawMax);
        if (data.LogFlags[kk]) {
            const double rawMin = s.RawMin;
            ApplyStep(data, k, [rawMin](double x) { return LogStep(x, rawMin); });
        }
        MeanAndDeviation(data, k, s.Mean, s.Std);
        if (data.StdFlags[kk]) {
            const double mean = s.Mean, std = s.Std;
            ApplyStep(data, k, [mean, std](double x) { return DeviationStep(x, mean, std); });
        }
        if (data.TanhFlags[kk])
            ApplyStep(data, k, [](double x) { return std::tanh(x); });
        MinMax(data, k, s.PreRangeMin, s.PreRangeMax);
        if (data.RangeFlags[kk]) {
            const double lo = s.PreRangeMin, hi = s.PreRangeMax;
            ApplyStep(data, k, [lo, hi](double x) { return RangeStep(x, lo, hi); });
        }
        MinMax(data, k, s.FinalMin, s.FinalMax);
    }
}

double NormaliseValue(const TData& data, int k, double x)
{
    if (IsMissing(x) || k < 0 || k >= static_cast<int>(data.NormStat.size()))
        return x;
    const auto kk = static_cast<std::size_t>(k);
    const TNormStat& s = data.NormStat[kk];
    if (data.LogFlags[kk]) {
        const double arg = x - s.RawMin + 1;
        if (!(arg > 0))
            return Missing();
        x = std::log(arg);
    }
    if (data.StdFlags[kk])
        x = DeviationStep(x, s.Mean, s.Std);
    if (data.TanhFlags[kk])
        x = std::tanh(x);
    if (data.RangeFlags[kk])
        x = RangeStep(x, s.PreRangeMin, s.PreRangeMax);
    return x;
}

double DenormaliseValue(const TData& data, int k, double x)
{
    if (IsMissing(x) || k < 0 || k >= static_cast<int>(data.NormStat.size()))
        return x;
    const auto kk = static_cast<std::size_t>(k);
    const TNormStat& s = data.NormStat[kk];
    if (data.RangeFlags[kk])
        x = s.PreRangeMin + (s.PreRangeMax - s.PreRangeMin) * (x + 1) / 2;
    if (data.TanhFlags[kk]) {
        if (x < -1)
            x = -0.999999;
        else if (x > 1)
            x = 0.999999;
        if (x == 1 || x == -1)
            x = std::copysign(DBL_MAX, x);
        else
            x = std::atanh(x);
    }
    if (data.StdFlags[kk])
        x = x * s.Std + s.Mean;
    if (data.LogFlags[kk])
        x = std::exp(x) + s.RawMin - 1;
    return x;
}

void ScaleDataset(TData& data)
{
    for (TArray1D& point : data.Points)
        for (double& x : point)
            if (!IsMissing(x))
                x *= 2;
    data.Scale *= 2;
}

void UnscaleDataset(TData& data)
{
    for (TArray1D& point : data.Points)
        for (double& x : point)
            if (!IsMissing(x))
                x /= 2;
    data.Scale /= 2;
}

} // namespace orbelin::data

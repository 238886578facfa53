// Sliding-window measures of a dataset read as a time series.
#include "analysis/TimeSeries.h"

#include "analysis/PointWeights.h"
#include "data/TData.h"
#include "numeric/Components.h"
#include "numeric/Missing.h"

#include <algorithm>

namespace orbelin::analysis {

namespace {

// A window has no spread exactly when, in every coordinate, its present values are all
// equal. Tested on the values themselves: the mean of equal values need not round back to
// them, and the spread left by that rounding would be fitted as if it were data.
bool IsFlat(const TArray2D& window)
{
    if (window.empty())
        return true;
    const std::size_t d = window[0].size();
    for (std::size_t k = 0; k < d; ++k) {
        bool seen = false;
        double first = 0;
        for (const TArray1D& row : window) {
            if (k >= row.size() || IsMissing(row[k]))
                continue;
            if (!seen) {
                seen = true;
                first = row[k];
            } else if (row[k] != first) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TTimeSeriesSettings DefaultTimeSeriesSettings(const data::TData& dataset)
{
    TTimeSeriesSettings settings;
    settings.From = 1;
    settings.To = static_cast<int>(dataset.Points.size());
    settings.Width = dataset.CoordCount + 1;
    return settings;
}

std::string TimeSeriesTitle(TSeriesMeasure measure)
{
    return measure == TSeriesMeasure::EffectiveDimension ? "Effective dimension of window" : "Part of pric.comp.";
}

double WindowMeasure(TArray2D& window, const TArray1D& w, const TTimeSeriesSettings& settings, bool& flat)
{
    flat = IsFlat(window);
    if (flat)
        return 0;
    if (settings.Measure == TSeriesMeasure::EffectiveDimension)
        return numeric::ComponentsForFraction(window, w, settings.Quality);
    const int d = static_cast<int>(window[0].size());
    return numeric::ExplainedFraction(window, std::min(settings.Components, d), w);
}

TTimeSeries AnalyzeTimeSeries(const data::TData& dataset, const TTimeSeriesSettings& settings,
                              const TSeriesObserver& observer)
{
    TTimeSeries series;
    series.Title = TimeSeriesTitle(settings.Measure);
    const int w = settings.Width;
    if (w < 1)
        return series;
    const int n = static_cast<int>(dataset.Points.size());
    const bool weighted = dataset.PointWeights.size() == dataset.Points.size();
    series.Problem = WeightsProblem(dataset);
    if (!series.Problem.empty())
        return series;
    TArray2D window;
    TArray1D weights;
    // "from" and "to" come from spin edits without limits: the windows inside the points are
    // found by arithmetic, and the others only counted.
    const long long start = static_cast<long long>(settings.From) + w, end = settings.To;
    const long long lo = std::max(start, static_cast<long long>(w) + 1);
    const long long hi = std::min(end - 1, static_cast<long long>(n) + 1);
    const long long inside = std::max(0LL, hi - lo + 1);
    series.OutsideWindows = std::max(0LL, end - start) - inside;
    for (long long r = lo; r <= hi; ++r) {
        const long long first = r - w; // one-based
        const auto begin = static_cast<std::size_t>(first - 1);
        window.assign(dataset.Points.begin() + static_cast<std::ptrdiff_t>(begin),
                      dataset.Points.begin() + static_cast<std::ptrdiff_t>(begin) + w);
        if (weighted) {
            weights.assign(dataset.PointWeights.begin() + static_cast<std::ptrdiff_t>(begin),
                           dataset.PointWeights.begin() + static_cast<std::ptrdiff_t>(begin) + w);
            if (std::all_of(weights.begin(), weights.end(), [](double v) { return v == 0; })) {
                ++series.WeightlessWindows;
                continue;
            }
        }
        bool flat = false;
        const double y = WindowMeasure(window, weights, settings, flat);
        if (flat) {
            ++series.FlatWindows;
            if (settings.Measure == TSeriesMeasure::ComponentsFraction)
                continue;
        }
        const double x = static_cast<double>(r - w / 2);
        series.X.push_back(x);
        series.Y.push_back(y);
        if (observer && !observer(x, y)) {
            series.Cancelled = true;
            break;
        }
    }
    return series;
}

} // namespace orbelin::analysis

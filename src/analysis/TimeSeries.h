// The dataset's points read in their order as a multidimensional time series: a window of
// consecutive points slides along it, and each position gives the window's effective
// dimension or the share of its spread that the first components explain.
#pragma once

#include "numeric/TArray.h"

#include <functional>
#include <string>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

enum class TSeriesMeasure : int {
    EffectiveDimension, ///< "Effective dimension": components until the share reaches Quality
    ComponentsFraction, ///< "Part of " ... "first components": the share of Components components
};

/// The window's settings; point numbers are one-based, as the window shows them.
struct TTimeSeriesSettings {
    int From = 1;  ///< "from"
    int To = 0;    ///< "to"
    int Width = 1; ///< W, "Width" "of window"
    TSeriesMeasure Measure = TSeriesMeasure::EffectiveDimension;
    double Quality = 0.8; ///< "Quality"
    int Components = 1;   ///< "first components"
};

/// The settings on showing: from 1 to N, a window of d + 1 points.
TTimeSeriesSettings DefaultTimeSeriesSettings(const data::TData& dataset);

/// "Effective dimension of window" or "Part of pric.comp.".
std::string TimeSeriesTitle(TSeriesMeasure measure);

/// The plotted points and what was left out.
struct TTimeSeries {
    std::string Title;
    TArray1D X; ///< window positions r - W div 2
    TArray1D Y; ///< the measure of each window
    /// Window ends r at or below "to" whose window would hold points past the last one (or
    /// before the first): not computed.
    long long OutsideWindows = 0;
    /// Windows of identical points: their spread is zero and the share of any number of
    /// components is not defined. Their effective dimension is 0 (no component is needed);
    /// their share of components is not plotted.
    int FlatWindows = 0;
    /// Windows whose points all weigh 0 (with weights from "Only one class", say): their
    /// weighted components are not defined, and they are not plotted.
    int WeightlessWindows = 0;
    /// Why nothing was computed (weights that cannot weigh a fit), or empty.
    std::string Problem;
    bool Cancelled = false;
};

/// Called after every plotted window with its x and y; returning false stops the analysis.
using TSeriesObserver = std::function<bool(double x, double y)>;

/// The measure of one window (its rows are overwritten); w holds the window's weights or
/// nothing. Sets flat when the window has no spread (the result is then 0).
double WindowMeasure(TArray2D& window, const TArray1D& w, const TTimeSeriesSettings& settings, bool& flat);

/// "Analyze": for r = From + W, From + W + 1, ... while r < To, the window of the points
/// r - W .. r - 1 (one-based, fresh copies with their weights when the dataset has one
/// weight per point) gives the point (r - (W div 2), measure). A width below 1 plots
/// nothing, and so do weights that WeightsProblem refuses. "Part of ... first components"
/// with more components than coordinates fits every coordinate's component.
TTimeSeries AnalyzeTimeSeries(const data::TData& dataset, const TTimeSeriesSettings& settings,
                              const TSeriesObserver& observer = {});

} // namespace orbelin::analysis

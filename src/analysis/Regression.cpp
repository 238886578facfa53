// Least-squares regression of a table field on dataset coordinates and its quality report.
#include "analysis/Regression.h"

#include "analysis/Marking.h"
#include "analysis/Moments.h"
#include "analysis/ValuesAnalysis.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "numeric/LinearAlgebra.h"
#include "numeric/Missing.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {
namespace {

// Whether the columns of [X 1] are linearly independent: the normal equations then have
// one solution, to which the sweeps converge.
bool FullRank(const TArray2D& x, std::size_t m)
{
    if (x.size() < m + 1)
        return false;
    Eigen::MatrixXd a(static_cast<Eigen::Index>(x.size()), static_cast<Eigen::Index>(m + 1));
    for (std::size_t p = 0; p < x.size(); ++p) {
        for (std::size_t j = 0; j < m; ++j)
            a(static_cast<Eigen::Index>(p), static_cast<Eigen::Index>(j)) = x[p][j];
        a(static_cast<Eigen::Index>(p), static_cast<Eigen::Index>(m)) = 1.0;
    }
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    qr.setThreshold(1e-10);
    return qr.rank() == static_cast<Eigen::Index>(m + 1);
}

} // namespace

TLrResult AnalyzeLr(data::TData& data, const TLrSettings& settings)
{
    TLrResult r;
    const auto d = static_cast<std::size_t>(data.CoordCount);
    if (!data.Table || settings.TargetField < 0 || settings.TargetField >= data.Table->FieldCount) {
        r.Message = "Choose the field to calculate.";
        return r;
    }
    const std::string& target = data.Table->FieldNames[static_cast<std::size_t>(settings.TargetField)];
    r.UseFields.assign(d, false);
    std::vector<std::size_t> arguments;
    for (std::size_t f = 0; f < d; ++f) {
        r.UseFields[f] = (f >= settings.UseFields.size() || settings.UseFields[f]) &&
                         !(f < data.CoordNames.size() && data.CoordNames[f] == target);
        if (r.UseFields[f])
            arguments.push_back(f);
    }
    for (std::size_t p = 0; p < data.Points.size(); ++p)
        r.Targets.push_back(PointFieldValue(data, static_cast<int>(p), settings.TargetField));
    if (arguments.empty()) {
        r.Message = "Check at least one argument other than " + target + ".";
        return r;
    }

    TArray2D x;
    TArray1D y;
    for (std::size_t p = 0; p < data.Points.size(); ++p) {
        if (IsMissing(r.Targets[p]))
            continue;
        TArray1D row;
        for (std::size_t f : arguments)
            row.push_back(f < data.Points[p].size() ? data.Points[p][f] : Missing());
        if (std::any_of(row.begin(), row.end(), [](double v) { return IsMissing(v); }))
            continue;
        x.push_back(std::move(row));
        y.push_back(r.Targets[p]);
    }
    r.FittedPoints = static_cast<int>(x.size());
    if (!FullRank(x, arguments.size())) {
        r.Message = "The arguments do not determine the function of " + target + " over the " +
                    std::to_string(x.size()) +
                    " points that have them all: some are linearly dependent (two identical fields, for example) or "
                    "there are fewer points than coefficients. Uncheck some arguments.";
        return r;
    }
    const TArray1D c = numeric::LinearRegression(x, y, 1e-5);
    const std::size_t m = arguments.size();
    r.Coefficients.assign(d + 1, 0.0);
    r.Coefficients[0] = c[m];
    for (std::size_t i = 0; i < m; ++i)
        r.Coefficients[arguments[i] + 1] = c[i];

    const TMoments moments = Moments(y);
    r.Threshold = y.size() > 1 ? std::sqrt(moments.Squares / static_cast<double>(y.size() - 1)) / 5 : 0.0;
    r.Items = FunctionItems(data.CoordNames, r.Coefficients, r.UseFields);
    data.RegressionFunction = r.Coefficients;
    return r;
}

TLrQuality LrQuality(const data::TData& data, const TArray1D& coefficients, const TArray1D& targets, double threshold)
{
    TLrQuality q;
    double lo = 1e100, hi = -1e100;
    for (double y : targets)
        if (!IsMissing(y)) {
            lo = std::min(lo, y);
            hi = std::max(hi, y);
        }
    q.Amplitude = lo <= hi ? hi - lo : 0.0;
    for (std::size_t p = 0; p < data.Points.size(); ++p) {
        q.Values.push_back(FunctionValue(coefficients, data.Points[p]));
        if (p < targets.size() && !IsMissing(targets[p]) && !IsMissing(q.Values[p]) &&
            std::fabs(targets[p] - q.Values[p]) > threshold)
            ++q.Errors;
    }
    if (q.Amplitude > 0)
        q.AmplitudeText = data::FixedText(threshold / q.Amplitude * 100, 4, 2) + " % from ampl.";
    q.ErrorsText = "number of errors = " + std::to_string(q.Errors) + " (" +
                   PercentText(q.Errors, static_cast<double>(data.Points.size()), 6, 4) + " %)";
    return q;
}

void MarkLrQuality(data::TData& data, const TLrQuality& quality, const TArray1D& targets, double threshold)
{
    const TArray1I radii = PointRadii(data);
    TArray1I sizes(radii.size(), OwnStyle);
    for (std::size_t p = 0; p < sizes.size() && p < quality.Values.size() && p < targets.size(); ++p) {
        if (IsMissing(targets[p]) || IsMissing(quality.Values[p]) || quality.Amplitude == 0)
            continue;
        const double error = std::fabs(targets[p] - quality.Values[p]);
        if (error > threshold)
            sizes[p] = static_cast<int>(std::nearbyint(50 * error / quality.Amplitude)) + radii[p];
    }
    MarkAllPoints(data, {}, sizes);
}

void LrInTable(data::TData& data, const TArray1D& coefficients)
{
    TArray1S texts;
    for (const TArray1D& x : data.Points) {
        const double v = FunctionValue(coefficients, x);
        texts.push_back(IsMissing(v) ? std::string() : data::FixedText(v, 8, 6));
    }
    SetResultColumn(data, "ЛР", std::move(texts));
}

} // namespace orbelin::analysis

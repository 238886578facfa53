// The "Common", "Correlations" and "PCA" pages of the statistics tool.
#include "analysis/DatasetStatistics.h"

#include "analysis/Moments.h"
#include "data/DatasetBuild.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "numeric/Components.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {
namespace {

using data::FixedText;

std::size_t Dimension(const data::TData& data)
{
    return static_cast<std::size_t>(data.CoordCount > 0 ? data.CoordCount
                                                        : (data.Points.empty() ? 0 : data.Points[0].size()));
}

double Coordinate(const TArray1D& point, std::size_t i)
{
    return i < point.size() ? point[i] : Missing();
}

std::string CoordName(const data::TData& data, std::size_t i)
{
    return i < data.CoordNames.size() ? data.CoordNames[i] : std::string();
}

// The table record of a point as the grid shows it, counted from 1.
std::string RecordMark(const data::TData& data, int point)
{
    const int record = point >= 0 && static_cast<std::size_t>(point) < data.NUMXI.size()
                           ? data.NUMXI[static_cast<std::size_t>(point)]
                           : point;
    return "(#" + std::to_string(record + 1) + ")";
}

TFieldSummary SummariseField(const data::TData& data, std::size_t i)
{
    TFieldSummary f;
    f.Name = CoordName(data, i);
    double min = 1e100, max = -1e100, sum = 0;
    for (std::size_t j = 0; j < data.Points.size(); ++j) {
        const double v = Coordinate(data.Points[j], i);
        if (IsMissing(v))
            continue;
        if (v > max) {
            max = v;
            f.MaxPoint = static_cast<int>(j);
        }
        if (v < min) {
            min = v;
            f.MinPoint = static_cast<int>(j);
        }
        sum += v;
        ++f.Count;
    }
    if (f.Count == 0)
        return f;
    f.Min = min;
    f.Max = max;
    f.Mean = sum / f.Count;
    double squares = 0, nearest = 1e100;
    for (std::size_t j = 0; j < data.Points.size(); ++j) {
        const double v = Coordinate(data.Points[j], i);
        if (IsMissing(v))
            continue;
        squares += (v - f.Mean) * (v - f.Mean);
        if (std::fabs(v - f.Mean) < nearest) {
            nearest = std::fabs(v - f.Mean);
            f.MeanPoint = static_cast<int>(j);
        }
    }
    f.Sd = std::sqrt(squares / f.Count);
    for (const TArray1D& point : data.Points) {
        const double v = Coordinate(point, i);
        if (!IsMissing(v) && std::fabs(v - f.Mean) < f.Sd)
            ++f.WithinSd;
    }
    const int k = static_cast<int>(i);
    if (i < data.NormStat.size()) {
        f.RealMin = data::DenormaliseValue(data, k, f.Min);
        f.RealMax = data::DenormaliseValue(data, k, f.Max);
        f.RealMean = data::DenormaliseValue(data, k, f.Mean);
    }
    return f;
}

void FillCommonGrid(const data::TData& data, TCommonStatistics& s)
{
    TStatGrid& g = s.Grid;
    g.Resize(static_cast<int>(s.Fields.size()) + 2, 9);
    const char* headers[] = {"N", "Field", "Min", "Max", "Mean", "Stand.dev.", "Real mean", "Real min", "Real max"};
    for (int c = 0; c < 9; ++c)
        g.At(0, c) = headers[c];
    g.At(1, 1) = "Field";
    if (!IsMissing(s.Spread)) {
        g.At(1, 4) = "#" + std::to_string(s.NearestPoint);
        g.At(1, 5) = FixedText(s.Spread, 10, 6) + "(" + std::to_string(s.WithinSpread) + ")";
    }
    for (std::size_t i = 0; i < s.Fields.size(); ++i) {
        const TFieldSummary& f = s.Fields[i];
        const int row = static_cast<int>(i) + 2;
        g.At(row, 0) = std::to_string(i + 1);
        g.At(row, 1) = f.Name;
        if (f.Count == 0)
            continue;
        g.At(row, 2) = FixedText(f.Min, 10, 6) + RecordMark(data, f.MinPoint);
        g.At(row, 3) = FixedText(f.Max, 10, 6) + RecordMark(data, f.MaxPoint);
        g.At(row, 4) = FixedText(f.Mean, 10, 6) + RecordMark(data, f.MeanPoint);
        g.At(row, 5) = FixedText(f.Sd, 10, 6) + "(" + std::to_string(f.WithinSd) + ")";
        if (!IsMissing(f.RealMean)) {
            g.At(row, 6) = FixedText(f.RealMean, 10, 8);
            g.At(row, 7) = FixedText(f.RealMin, 10, 6);
            g.At(row, 8) = FixedText(f.RealMax, 10, 6);
        }
    }
}

TCellColor CorrelationColor(double r)
{
    const double a = std::fabs(r);
    if (a > 0.8)
        return TCellColor::Red;
    if (a > 0.6)
        return TCellColor::Blue;
    if (a > 0.4)
        return TCellColor::Green;
    if (a < 0.2)
        return TCellColor::Grey;
    return TCellColor::Default;
}

// Population deviation of the values.
double PopulationSd(const TArray1D& values)
{
    const TMoments m = Moments(values);
    return m.Count > 0 ? std::sqrt(m.Squares / static_cast<double>(m.Count)) : 0.0;
}

// "No": the one-based place of every field when ordered by |v| from the largest, equal
// values keeping their field order.
TArray1I RankByMagnitude(const TArray1D& v)
{
    TArray1I order(v.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return std::fabs(v[static_cast<std::size_t>(a)]) > std::fabs(v[static_cast<std::size_t>(b)]);
    });
    TArray1I rank(v.size());
    for (std::size_t place = 0; place < order.size(); ++place)
        rank[static_cast<std::size_t>(order[place])] = static_cast<std::int32_t>(place + 1);
    return rank;
}

} // namespace

TCommonStatistics CalcCommon(const data::TData& data)
{
    TCommonStatistics s;
    const std::size_t d = Dimension(data);
    for (std::size_t i = 0; i < d; ++i) {
        s.Fields.push_back(SummariseField(data, i));
        s.Mean.push_back(s.Fields.back().Mean);
    }
    const std::size_t n = data.Points.size();
    if (n > 0) {
        double squares = 0;
        for (const TArray1D& point : data.Points)
            squares += numeric::SqEuclideanDistance(point, s.Mean);
        s.Spread = std::sqrt(squares / static_cast<double>(n));
        double nearest = 1e100;
        for (std::size_t j = 0; j < n; ++j) {
            const double q = numeric::SqEuclideanDistance(data.Points[j], s.Mean);
            if (q < nearest) {
                nearest = q;
                s.NearestPoint = static_cast<int>(j);
            }
            if (q < s.Spread * s.Spread)
                ++s.WithinSpread;
        }
    }
    FillCommonGrid(data, s);
    return s;
}

TCorrelations CalcCorr(const data::TData& data)
{
    TCorrelations c;
    const std::size_t d = Dimension(data);
    for (std::size_t i = 0; i < d; ++i)
        c.Fields.push_back(CoordName(data, i));
    c.R.assign(d, TArray1D(d, Missing()));

    std::vector<const TArray1D*> complete;
    for (const TArray1D& point : data.Points)
        if (point.size() >= d && !numeric::HasMissing(numeric::TVecView(point.data(), d)))
            complete.push_back(&point);
    c.CompletePoints = static_cast<int>(complete.size());
    if (!complete.empty()) {
        TArray1D mean(d, 0.0);
        for (const TArray1D* point : complete)
            for (std::size_t i = 0; i < d; ++i)
                mean[i] += (*point)[i];
        for (double& m : mean)
            m /= static_cast<double>(complete.size());
        for (std::size_t i = 0; i < d; ++i)
            for (std::size_t j = i + 1; j < d; ++j) {
                double sxy = 0, sxx = 0, syy = 0;
                for (const TArray1D* point : complete) {
                    const double a = (*point)[i] - mean[i], b = (*point)[j] - mean[j];
                    sxy += a * b;
                    sxx += a * a;
                    syy += b * b;
                }
                if (sxx != 0 && syy != 0)
                    c.R[i][j] = sxy / std::sqrt(sxx * syy);
            }
    }

    const int size = static_cast<int>(d) + 1;
    c.Grid.Resize(size, size);
    for (std::size_t i = 0; i < d; ++i) {
        c.Grid.At(0, static_cast<int>(i) + 1) = c.Fields[i];
        c.Grid.At(static_cast<int>(i) + 1, 0) = c.Fields[i];
    }
    for (std::size_t i = 0; i < d; ++i)
        for (std::size_t j = i + 1; j < d; ++j)
            if (!IsMissing(c.R[i][j])) {
                const int row = static_cast<int>(i) + 1, column = static_cast<int>(j) + 1;
                c.Grid.At(row, column) = FixedText(c.R[i][j], 8, 6);
                c.Grid.SetColor(row, column, CorrelationColor(c.R[i][j]));
            }
    return c;
}

TComponentStatistics CalcMGK(const data::TData& data, int components, std::optional<std::uint64_t> seed)
{
    TComponentStatistics s;
    s.Spread = CalcCommon(data).Spread;
    if (seed)
        numeric::SeedRandom(*seed);
    else
        numeric::SeedRandomFromClock();
    const std::size_t d = Dimension(data);
    const numeric::TPrincipalComponents pc = numeric::PrincipalComponents(data.Points, data.PointWeights, components);
    s.Count = pc.Count;

    const int rows = static_cast<int>(d) + 3;
    if (s.Count < 0) {
        s.Grid.Resize(rows, 2);
        s.Grid.At(0, 0) = "N";
        s.Grid.At(0, 1) = "No";
        for (std::size_t i = 0; i < d; ++i)
            s.Grid.At(static_cast<int>(i) + 3, 0) = std::to_string(i + 1);
        return s;
    }

    TArray2D residuals = data.Points;
    double cumulative = 0;
    const bool spread = !IsMissing(s.Spread) && s.Spread != 0;
    for (int c = 0; c < s.Count && static_cast<std::size_t>(c) < pc.Components.size(); ++c) {
        TArray1D e = pc.Components[static_cast<std::size_t>(c)];
        const double length = std::sqrt(numeric::SqNorm(e));
        if (length > 0)
            for (double& x : e)
                if (!IsMissing(x))
                    x /= length;
        TArray1D projections(residuals.size());
        for (std::size_t j = 0; j < residuals.size(); ++j) {
            const TArray1D centred = numeric::VecSub(residuals[j], pc.Centre);
            projections[j] = numeric::VecDot(centred, e);
            residuals[j] = numeric::VecSub(centred, numeric::VecScale(e, projections[j]));
        }
        if (spread) {
            const double ratio = PopulationSd(projections) / s.Spread;
            s.Fractions.push_back(ratio * ratio);
            cumulative += ratio * ratio;
            s.Cumulative.push_back(cumulative);
        } else {
            s.Fractions.push_back(Missing());
            s.Cumulative.push_back(Missing());
        }
        s.Components.push_back(std::move(e));
    }
    s.Count = static_cast<int>(s.Components.size());
    s.Rank = s.Components.empty() ? TArray1I(d, 0) : RankByMagnitude(s.Components[0]);

    s.Grid.Resize(rows, s.Count + 3);
    s.Grid.At(0, 0) = "N";
    s.Grid.At(0, 1) = "No";
    s.Grid.At(0, 2) = "Field";
    s.Grid.At(1, 2) = "Dispers";
    s.Grid.At(2, 2) = "Overall";
    for (int c = 0; c < s.Count; ++c) {
        const auto k = static_cast<std::size_t>(c);
        s.Grid.At(0, c + 3) = std::to_string(c + 1);
        if (!IsMissing(s.Fractions[k])) {
            s.Grid.At(1, c + 3) = FixedText(s.Fractions[k], 8, 6);
            s.Grid.At(2, c + 3) = FixedText(s.Cumulative[k], 8, 6);
        }
    }
    for (std::size_t i = 0; i < d; ++i) {
        const int row = static_cast<int>(i) + 3;
        s.Grid.At(row, 0) = std::to_string(i + 1);
        s.Grid.At(row, 2) = CoordName(data, i);
        if (s.Count == 0)
            continue;
        s.Grid.At(row, 1) = std::to_string(s.Rank[i]);
        for (int c = 0; c < s.Count; ++c)
            s.Grid.At(row, c + 3) = FixedText(s.Components[static_cast<std::size_t>(c)][i], 8, 6);
        const int rank = s.Rank[i];
        if (rank == 1)
            s.Grid.SetColor(row, 3, TCellColor::Red);
        else if (rank == 2)
            s.Grid.SetColor(row, 3, TCellColor::Green);
        else if (rank <= static_cast<int>(d) / 3)
            s.Grid.SetColor(row, 3, TCellColor::Blue);
    }
    return s;
}

} // namespace orbelin::analysis

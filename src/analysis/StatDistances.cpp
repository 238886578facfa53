// The distance types of the statistics tool and the tables, object distances and pair
// comparison built on them.
#include "analysis/StatDistances.h"

#include "data/DatasetBuild.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TRWFile.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {
namespace {

// Calls the progress every so many steps, percent of total done; false once cancelled.
class TProgressSteps {
public:
    TProgressSteps(const TProgress& progress, double total) : Progress_(progress), Total_(total > 0 ? total : 1) {}
    bool Step(double done)
    {
        if (!Progress_)
            return true;
        const int percent = static_cast<int>(100 * done / Total_);
        if (percent == Last_)
            return true;
        Last_ = percent;
        return Progress_(percent);
    }

private:
    const TProgress& Progress_;
    double Total_;
    int Last_ = -1;
};

std::size_t TriangleIndex(int i, int j)
{
    if (i < j)
        std::swap(i, j);
    const auto a = static_cast<std::size_t>(i);
    return a * (a + 1) / 2 + static_cast<std::size_t>(j);
}

} // namespace

const std::array<std::string, 3>& StatDistanceNames()
{
    static const std::array<std::string, 3> names = {"Euclidean", "L1", "1-r"};
    return names;
}

double StatDistance(numeric::TVecView a, numeric::TVecView b, TStatDistance kind)
{
    switch (kind) {
    case TStatDistance::L1:
        return numeric::CityBlockDistance(a, b);
    case TStatDistance::OneMinusR: {
        const std::size_t n = std::min(a.size(), b.size());
        if (numeric::HasMissing(a.first(n)) || numeric::HasMissing(b.first(n)))
            return 1.0;
        return numeric::CorrelationDistance(a.first(n), b.first(n));
    }
    case TStatDistance::Euclidean:
    default:
        return std::sqrt(numeric::SqEuclideanDistance(a, b));
    }
}

double TDistanceTable::Value(int i, int j) const
{
    return Lower_[TriangleIndex(i, j)];
}

std::string TDistanceTable::Text(int row, int column) const
{
    if (row == 0 && column == 0)
        return {};
    if (row == 0)
        return std::to_string(Records_[static_cast<std::size_t>(column - 1)] + 1);
    if (column == 0)
        return std::to_string(Records_[static_cast<std::size_t>(row - 1)] + 1);
    return data::FixedText(Value(column - 1, row - 1), 8, 6);
}

TArray2S TDistanceTable::Cells() const
{
    TArray2S cells(static_cast<std::size_t>(RowCount()));
    for (int r = 0; r < RowCount(); ++r) {
        cells[static_cast<std::size_t>(r)].reserve(static_cast<std::size_t>(ColumnCount()));
        for (int c = 0; c < ColumnCount(); ++c)
            cells[static_cast<std::size_t>(r)].push_back(Text(r, c));
    }
    return cells;
}

TDistanceResult CalcDist(const data::TData& data, TStatDistance kind, const TProgress& progress)
{
    TDistanceResult result;
    const int n = static_cast<int>(data.Points.size());
    if (n > MaxDistanceTablePoints) {
        result.Message = "The distance table holds at most " + std::to_string(MaxDistanceTablePoints) +
                         " points; the dataset " + data.Name + " has " + std::to_string(n) + ".";
        return result;
    }
    TArray1I records(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p)
        records[static_cast<std::size_t>(p)] =
            static_cast<std::size_t>(p) < data.NUMXI.size() ? data.NUMXI[static_cast<std::size_t>(p)] : p;
    std::vector<double> lower(static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1) / 2);
    TProgressSteps steps(progress, static_cast<double>(lower.size()));
    for (int i = 0; i < n; ++i) {
        const TArray1D& a = data.Points[static_cast<std::size_t>(i)];
        const std::size_t row = TriangleIndex(i, 0);
        for (int j = 0; j <= i; ++j)
            lower[row + static_cast<std::size_t>(j)] = StatDistance(a, data.Points[static_cast<std::size_t>(j)], kind);
        if (!steps.Step(static_cast<double>(row + static_cast<std::size_t>(i) + 1))) {
            result.Cancelled = true;
            return result;
        }
    }
    result.Table = TDistanceTable(std::move(records), std::move(lower));
    return result;
}

TObjectDistances CalcObjectDistances(const data::TData& data, TStatDistance kind)
{
    TObjectDistances result;
    const std::size_t m = data.AddObjects.size();
    TArray2D centres(m);
    for (std::size_t a = 0; a < m; ++a) {
        const view::TAddObject& object = *data.AddObjects[a];
        result.Names.push_back(object.Name);
        result.Colors.push_back(object.Color);
        if (object.Kind != view::TAddObjectKind::Sphere || object.Coords.empty())
            continue;
        const TArray1D& centre = object.Coords[0];
        for (std::size_t k = 0; k < centre.size(); ++k)
            centres[a].push_back(k < data.NormStat.size() ? data::NormaliseValue(data, static_cast<int>(k), centre[k])
                                                          : centre[k]);
    }
    result.Values.assign(m, TArray1D(m, Missing()));
    const int size = static_cast<int>(m) + 1;
    result.Grid.Resize(size, size);
    for (std::size_t a = 0; a < m; ++a) {
        result.Grid.At(0, static_cast<int>(a) + 1) = result.Names[a];
        result.Grid.At(static_cast<int>(a) + 1, 0) = result.Names[a];
    }
    for (std::size_t b = 0; b < m; ++b)
        for (std::size_t a = 0; a < b; ++a) {
            if (centres[a].empty() || centres[b].empty())
                continue;
            result.Values[b][a] = StatDistance(centres[a], centres[b], kind);
            result.Grid.At(static_cast<int>(b) + 1, static_cast<int>(a) + 1) =
                data::FixedText(result.Values[b][a], 8, 6);
        }
    return result;
}

TCompareResult CompareDistances(const TArray2D& points, TStatDistance first, TStatDistance second,
                                const std::string& distPath, const TProgress& progress)
{
    TCompareResult result;
    const std::size_t n = points.size();
    result.Pairs = static_cast<long long>(n) * static_cast<long long>(n > 0 ? n - 1 : 0) / 2;
    TProgressSteps steps(progress, 2.0 * static_cast<double>(result.Pairs));
    double done = 0;

    // The same two passes as Correlation: the means, then the centred sums.
    data::TRWFile file;
    file.CreateForWriting(distPath);
    double sumA = 0, sumB = 0;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const double a = StatDistance(points[i], points[j], first);
            const double b = StatDistance(points[i], points[j], second);
            sumA += a;
            sumB += b;
            file.WriteLine(data::SciText(a, 23) + " " + data::SciText(b, 23));
        }
        done += static_cast<double>(n - i - 1);
        if (!steps.Step(done)) {
            result.Cancelled = true;
            return result;
        }
    }
    if (result.Pairs > 0) {
        const double meanA = sumA / static_cast<double>(result.Pairs);
        const double meanB = sumB / static_cast<double>(result.Pairs);
        double sxx = 0, syy = 0, sxy = 0;
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = i + 1; j < n; ++j) {
                const double da = StatDistance(points[i], points[j], first) - meanA;
                const double db = StatDistance(points[i], points[j], second) - meanB;
                sxx += da * da;
                syy += db * db;
                sxy += da * db;
            }
            done += static_cast<double>(n - i - 1);
            if (!steps.Step(done)) {
                result.Cancelled = true;
                return result;
            }
        }
        if (sxx != 0 && syy != 0)
            result.Correlation = sxy / std::sqrt(sxx * syy);
    }
    file.Close();
    result.Text = "Corr.coeff = " + data::FixedText(result.Correlation, 5, 3);
    return result;
}

} // namespace orbelin::analysis

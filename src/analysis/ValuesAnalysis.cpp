// Values analysis: per-point distances to the map, projection instability, field values
// and weights, mapped to point sizes.
#include "analysis/ValuesAnalysis.h"

#include "analysis/Histograms.h"
#include "analysis/Marking.h"
#include "coloring/Projection.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "map/TNetGrid.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {
namespace {

std::string RangeText(double x, bool any)
{
    return any ? data::FixedText(x, 6, 4) : std::string();
}

// The point padded or cut to d coordinates, missing where it has none.
std::vector<double> Padded(const TArray1D& x, std::size_t d)
{
    std::vector<double> p(d, Missing());
    std::copy_n(x.begin(), std::min(d, x.size()), p.begin());
    return p;
}

TArray1D MapQuantity(const data::TData& data, const map::TNetGrid& grid, TValueQuantity quantity)
{
    const coloring::TProjector projector(grid);
    const auto d = static_cast<std::size_t>(projector.Dimension());
    TArray1D values(data.Points.size(), Missing());
    const bool lattice = grid.TopologyDim == 3 && grid.Lattice.size() == grid.Nodes.size();
    const TArray2D& internal = lattice ? grid.Lattice : grid.Internal;
    const std::size_t axes = lattice ? 3 : 2;
    std::vector<double> foot(d);
    for (std::size_t p = 0; p < data.Points.size(); ++p) {
        const std::vector<double> x = Padded(data.Points[p], d);
        const numeric::TVecView point(x);
        if (quantity == TValueQuantity::ProjectionDistance) {
            projector.ClosestPoint(x.data(), foot.data());
            values[p] = std::sqrt(numeric::SqEuclideanDistance(point, foot));
            continue;
        }
        const int nearest = projector.ClosestNode(x.data()).Node;
        const TArray1D& node = grid.Nodes[static_cast<std::size_t>(nearest)];
        if (quantity == TValueQuantity::NodeDistance) {
            values[p] = std::sqrt(numeric::SqEuclideanDistance(point, node));
            continue;
        }
        double best = 1e100;
        int second = -1;
        for (int i = 0; i < grid.NodeCount(); ++i) {
            if (i == nearest)
                continue;
            const double q = numeric::SqEuclideanDistance(point, grid.Nodes[static_cast<std::size_t>(i)]);
            if (q < best) {
                best = q;
                second = i;
            }
        }
        if (second < 0) {
            values[p] = 0;
            continue;
        }
        double s = 0;
        for (std::size_t a = 0; a < axes; ++a) {
            const double u =
                internal[static_cast<std::size_t>(nearest)][a] - internal[static_cast<std::size_t>(second)][a];
            s += u * u;
        }
        values[p] = s;
    }
    return values;
}

} // namespace

const std::array<std::string, 5>& ValueQuantityNames()
{
    static const std::array<std::string, 5> names = {"Distance from node", "Distance from proj.",
                                                     "Projection unstability", "Field value", "Weight"};
    return names;
}

std::string TValueAnalysis::LoText() const
{
    return RangeText(Lo, Lo <= Hi);
}

std::string TValueAnalysis::HiText() const
{
    return RangeText(Hi, Lo <= Hi);
}

std::string TValueAnalysis::MeanText() const
{
    return RangeText(Mean, Lo <= Hi);
}

double PointFieldValue(const data::TData& data, int point, int field)
{
    const int record = data.NUMXI[static_cast<std::size_t>(point)];
    if (!data.Table || record < 0 || static_cast<std::size_t>(record) >= data.Table->Values.size() || field < 0)
        return Missing();
    const TArray1S& row = data.Table->Values[static_cast<std::size_t>(record)];
    double v = 0;
    if (static_cast<std::size_t>(field) >= row.size() || !ParseCell(row[static_cast<std::size_t>(field)], v))
        return Missing();
    return v;
}

TValueAnalysis AnalyzeValues(const data::TData& data, const map::TNetGrid* grid, const TValueSettings& settings)
{
    TValueAnalysis a;
    a.Quantity = settings.Quantity;
    const std::size_t n = data.Points.size();
    switch (settings.Quantity) {
    case TValueQuantity::NodeDistance:
    case TValueQuantity::ProjectionDistance:
    case TValueQuantity::Unstability:
        if (!grid || grid->NodeCount() == 0) {
            a.Message = "\"" + ValueQuantityNames()[static_cast<std::size_t>(settings.Quantity)] +
                        "\" needs a current map with nodes.";
            return a;
        }
        if (grid->Dimension != data.CoordCount) {
            a.Message = "The current map has " + std::to_string(grid->Dimension) + " coordinates, the dataset " +
                        std::to_string(data.CoordCount) + ".";
            return a;
        }
        a.Values = MapQuantity(data, *grid, settings.Quantity);
        break;
    case TValueQuantity::FieldValue:
        if (!data.Table || settings.Field < 0 || settings.Field >= data.Table->FieldCount) {
            a.Message = "Choose the field whose values are shown.";
            return a;
        }
        for (std::size_t p = 0; p < n; ++p)
            a.Values.push_back(PointFieldValue(data, static_cast<int>(p), settings.Field));
        break;
    case TValueQuantity::Weight:
        a.Values.assign(n, 0.0);
        if (data.PointWeights.size() == n)
            a.Values = data.PointWeights;
        break;
    }
    a.Lo = numeric::VecMin(a.Values);
    a.Hi = numeric::VecMax(a.Values);
    a.Mean = numeric::VecMean(a.Values);
    const double smin = settings.MinSize, smax = settings.MaxSize;
    if (std::fabs(a.Lo - a.Hi) >= 1e-10 && a.Lo <= a.Hi) {
        a.A = (smax - smin) / (a.Hi - a.Lo);
        a.B = smin - a.A * a.Lo;
    } else if (a.Lo <= a.Hi && a.Lo != 0) {
        a.A = smin / a.Lo;
        a.B = 0;
    } else {
        a.A = 0;
        a.B = smin;
    }
    const TArray1I radii = PointRadii(data);
    for (std::size_t p = 0; p < n; ++p)
        a.Sizes.push_back(IsMissing(a.Values[p]) ? radii[p]
                                                 : static_cast<int>(std::nearbyint(a.A * a.Values[p] + a.B)));
    return a;
}

void MarkValues(data::TData& data, const TValueAnalysis& analysis)
{
    MarkAllPoints(data, {}, analysis.Sizes);
}

void ValuesInTable(data::TData& data, const TValueAnalysis& analysis)
{
    TArray1S texts;
    for (double v : analysis.Values)
        texts.push_back(IsMissing(v) ? std::string() : data::FixedText(v, 6, 4));
    static const char* names[] = {"MSE", "MSPE", "ProjUnst", "", ""};
    SetResultColumn(data, names[static_cast<int>(analysis.Quantity)], std::move(texts));
}

TArray1I NumericFields(const data::TDataTable& table)
{
    TArray1I fields;
    for (std::size_t f = 0; f < table.FieldTypes.size(); ++f)
        if (data::IsNumericFieldType(table.FieldTypes[f]))
            fields.push_back(static_cast<std::int32_t>(f));
    return fields;
}

} // namespace orbelin::analysis

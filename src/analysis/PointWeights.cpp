// Point weights by table field, class or distance from the centre, and what the weights
// tool does with them.
#include "analysis/PointWeights.h"

#include "analysis/Histograms.h"
#include "analysis/Marking.h"
#include "data/NumberText.h"
#include "data/PointStyle.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"
#include "view/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

namespace orbelin::analysis {

namespace {

// The last field of the name, letter case significant; -1 when there is none.
int LastFieldNamed(const data::TDataTable& table, const std::string& name)
{
    for (int f = static_cast<int>(table.FieldNames.size()); f-- > 0;)
        if (table.FieldNames[static_cast<std::size_t>(f)] == name)
            return f;
    return -1;
}

const data::TDataTable& TableOf(const data::TData& dataset)
{
    if (!dataset.Table)
        throw TError("dataset " + dataset.Name + " has no table to take the weights of its points from");
    return *dataset.Table;
}

void AssignFromField(data::TData& dataset, const std::string& fieldName, TWeightAssignment& result)
{
    const data::TDataTable& table = TableOf(dataset);
    const int field = LastFieldNamed(table, fieldName);
    if (field < 0) {
        result.FieldFound = false;
        return;
    }
    for (std::size_t p = 0; p < dataset.PointWeights.size() && p < dataset.NUMXI.size(); ++p) {
        const std::int32_t record = dataset.NUMXI[p];
        const std::string cell =
            record >= 0 && static_cast<std::size_t>(record) < table.Values.size() &&
                    static_cast<std::size_t>(field) < table.Values[static_cast<std::size_t>(record)].size()
                ? table.Values[static_cast<std::size_t>(record)][static_cast<std::size_t>(field)]
                : std::string();
        double value = 0;
        if (!ParseCell(cell, value) || !std::isfinite(value))
            throw TError("'" + data::TrimBlanks(cell) + "' is not a valid floating point value");
        dataset.PointWeights[p] = value;
    }
}

// The plain mean of all points: a coordinate missing in any point is missing.
TArray1D PlainMean(const data::TData& dataset)
{
    const std::size_t d = static_cast<std::size_t>(std::max(dataset.CoordCount, 0));
    TArray1D sum(d, 0.0);
    for (const TArray1D& point : dataset.Points)
        for (std::size_t k = 0; k < d; ++k)
            sum[k] += k < point.size() ? point[k] : Missing();
    for (double& s : sum)
        if (!IsMissing(s))
            s /= static_cast<double>(dataset.Points.size());
    return sum;
}

void AssignRadial(data::TData& dataset, const TWeightSettings& settings)
{
    const std::size_t d = static_cast<std::size_t>(std::max(dataset.CoordCount, 0));
    const TArray1D centre = settings.CalcAverage && !dataset.Points.empty() ? PlainMean(dataset) : TArray1D(d, 0.0);
    TArray1D weights = dataset.PointWeights;
    for (std::size_t p = 0; p < weights.size() && p < dataset.Points.size(); ++p) {
        const double r = std::sqrt(numeric::SqEuclideanDistance(dataset.Points[p], centre));
        weights[p] = RadialWeight(settings.Function, r, settings.A);
        if (!std::isfinite(weights[p]))
            throw TError("the weight of point " + std::to_string(p + 1) + " at distance " + data::GeneralText(r) +
                         " from the centre is not a finite number with A = " + data::GeneralText(settings.A) +
                         "; no weight was changed");
    }
    dataset.PointWeights = std::move(weights);
}

} // namespace

TArray1I PointClasses(const data::TData& dataset)
{
    if (!dataset.Table)
        throw TError("dataset " + dataset.Name + " has no table to take the classes of its points from");
    const auto& styles = dataset.Table->PointStyles;
    TArray1I classes;
    classes.reserve(dataset.NUMXI.size());
    for (std::size_t p = 0; p < dataset.NUMXI.size(); ++p) {
        const std::int32_t record = dataset.NUMXI[p];
        if (record < 0 || static_cast<std::size_t>(record) >= styles.size())
            throw TError("dataset " + dataset.Name + ": point " + std::to_string(p) + " refers to record " +
                         std::to_string(record) + ", but the table " + dataset.Table->Name + " has " +
                         std::to_string(styles.size()) + " records");
        classes.push_back(styles[static_cast<std::size_t>(record)][FILLCOLOR]);
    }
    return classes;
}

TArray1D ClassProportionalWeights(const data::TData& dataset)
{
    const TArray1I classes = PointClasses(dataset);
    std::unordered_map<std::int32_t, int> sizes;
    int largest = 0;
    for (std::int32_t key : classes)
        largest = std::max(largest, ++sizes[key]);
    TArray1D weights;
    weights.reserve(classes.size());
    for (std::int32_t key : classes)
        weights.push_back(static_cast<double>(largest) / sizes[key]);
    return weights;
}

double RadialWeight(TRadialFunction function, double r, double a)
{
    switch (function) {
    case TRadialFunction::Exp:
        return std::exp(r * a);
    case TRadialFunction::ExpSquare:
        return std::exp(r * r * a);
    case TRadialFunction::Power:
        break;
    }
    return std::pow(r, a);
}

TWeightAssignment AssignWeights(data::TData& dataset, map::TMap* map, const TWeightSettings& settings)
{
    TWeightAssignment result;
    dataset.PointWeights.resize(dataset.Points.size(), 0.0);
    if (map) {
        map->UseWeights = true;
        result.MapFlagged = true;
    }
    if (settings.Source == TWeightSource::TableField) {
        AssignFromField(dataset, settings.FieldName, result);
        return result;
    }
    switch (settings.Rule) {
    case TWeightRule::ClassProportional: {
        TArray1D weights = ClassProportionalWeights(dataset);
        weights.resize(dataset.Points.size(), 0.0);
        dataset.PointWeights = std::move(weights);
        break;
    }
    case TWeightRule::OnlyOneClass: {
        const TArray1I classes = settings.ClassColor ? PointClasses(dataset) : TArray1I();
        std::fill(dataset.PointWeights.begin(), dataset.PointWeights.end(), 0.0);
        for (std::size_t p = 0; p < classes.size() && p < dataset.PointWeights.size(); ++p)
            if (classes[p] == *settings.ClassColor)
                dataset.PointWeights[p] = 1;
        break;
    }
    case TWeightRule::RadialCenter:
        AssignRadial(dataset, settings);
        break;
    case TWeightRule::DensityProportional:
        break;
    }
    return result;
}

std::string WeightsProblem(const data::TData& dataset)
{
    if (dataset.PointWeights.size() != dataset.Points.size() || dataset.Points.empty())
        return {};
    double sum = 0;
    for (std::size_t p = 0; p < dataset.PointWeights.size(); ++p) {
        const double w = dataset.PointWeights[p];
        if (!std::isfinite(w) || w < 0)
            return "The point weights of dataset " + dataset.Name + " must be finite numbers, none negative: point " +
                   std::to_string(p + 1) + " weighs " + data::GeneralText(w) + ".";
        sum += w;
    }
    if (!(sum > 0))
        return "The point weights of dataset " + dataset.Name + " are all 0: no point weighs anything.";
    return {};
}

void ClearWeights(data::TData& dataset, map::TMap* map)
{
    if (map)
        map->UseWeights = false;
    dataset.PointWeights.clear();
    data::ClearMarks(dataset);
    dataset.ClusterLinks.clear();
}

TArray1S WeightTexts(const data::TData& dataset)
{
    TArray1S texts(dataset.Points.size());
    for (std::size_t p = 0; p < texts.size() && p < dataset.PointWeights.size(); ++p)
        texts[p] = data::FixedText(dataset.PointWeights[p], 5, 3);
    return texts;
}

void WeightsToTable(data::TData& dataset)
{
    SetResultColumn(dataset, "Weights", WeightTexts(dataset));
}

void RecalcWeightedComponents(map::TMap& map)
{
    if (!map.Data)
        throw TError("map " + map.Name + " has no dataset to take the principal components of");
    map::CheckNotTraining(map, "recompute its principal components");
    if (const std::string problem = WeightsProblem(*map.Data); !problem.empty())
        throw TError(problem);
    map.Centre = map::ComputeMapComponents(map, 3);
    view::RebuildViews(map);
}

} // namespace orbelin::analysis

// The object analysis tool's clustering: colour table, methods, marks and what the
// results write into the dataset.
#include "analysis/ObjectClustering.h"

#include "analysis/Marking.h"
#include "coloring/ColorSchemes.h"
#include "data/DatasetBuild.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "map/TNetGrid.h"
#include "numeric/Missing.h"
#include "view/TAddObject.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace orbelin::analysis {
namespace {

// The class colours of the points, in order of first appearance over the points, and each
// point's index among them.
TArray1I DistinctColors(const TArray1I& colors, TArray1I* keys = nullptr)
{
    TArray1I distinct;
    std::unordered_map<int, int> index;
    if (keys)
        keys->clear();
    for (int c : colors) {
        const auto [it, added] = index.emplace(c, static_cast<int>(distinct.size()));
        if (added)
            distinct.push_back(c);
        if (keys)
            keys->push_back(it->second);
    }
    return distinct;
}

int PackClamped(const coloring::TRgb& rgb)
{
    coloring::TRgb c = rgb;
    for (int& channel : c)
        channel = std::clamp(channel, 0, 255);
    return coloring::PackColor(c);
}

// LinearSpectrum of each of the first k nodes, its internal x and y scaled to 0..1 over them.
TArray1I NodeColors(const map::TNetGrid& grid, int k)
{
    const int n = std::min(k, static_cast<int>(grid.Internal.size()));
    double lo[2] = {1e100, 1e100}, hi[2] = {-1e100, -1e100};
    for (int i = 0; i < n; ++i)
        for (int a = 0; a < 2; ++a) {
            const double v = grid.Internal[static_cast<std::size_t>(i)][static_cast<std::size_t>(a)];
            lo[a] = std::min(lo[a], v);
            hi[a] = std::max(hi[a], v);
        }
    TArray1I colors;
    for (int i = 0; i < n; ++i) {
        double uw[2];
        for (int a = 0; a < 2; ++a) {
            const double v = grid.Internal[static_cast<std::size_t>(i)][static_cast<std::size_t>(a)];
            // One row or one column of nodes has no extent along that coordinate.
            uw[a] = hi[a] > lo[a] ? (v - lo[a]) / (hi[a] - lo[a]) : 0.0;
        }
        colors.push_back(PackClamped(coloring::LinearSpectrum(uw[0], uw[1])));
    }
    return colors;
}

TArray2D ObjectCentroids(const data::TData& data)
{
    TArray2D centroids;
    const auto d = static_cast<std::size_t>(data.CoordCount);
    for (const auto& object : data.AddObjects) {
        if (!object->Visible || object->Coords.empty())
            continue;
        TArray1D c(d, Missing());
        const TArray1D& start = object->Coords[0];
        for (std::size_t k = 0; k < d && k < start.size(); ++k)
            c[k] = k < data.NormStat.size() ? data::NormaliseValue(data, static_cast<int>(k), start[k]) : start[k];
        centroids.push_back(std::move(c));
    }
    return centroids;
}

} // namespace

const std::array<std::string, 7>& ClusterMethodNames()
{
    static const std::array<std::string, 7> names = {"K-Means",
                                                     "By colors",
                                                     "By nodes",
                                                     "Hierarchical",
                                                     "Hierarchical, specify number of clusters",
                                                     "By selected objects",
                                                     "Separate selected in cluster"};
    return names;
}

void TClusterAnalysis::SetK(int k)
{
    k = std::clamp(k, 0, MaxClusterCount);
    Colors.clear();
    for (int i = 0; i < k; ++i)
        Colors.push_back(coloring::PackColor(coloring::FourStep(k > 1 ? static_cast<double>(i) / (k - 1) : 0.0)));
}

int TClusterAnalysis::ChooseMethod(const TClusterSettings& settings, const data::TData& data, const map::TNetGrid* grid)
{
    switch (settings.Method) {
    case TClusterMethod::ByColors: {
        const TArray1I distinct = DistinctColors(PointColors(data));
        SetK(static_cast<int>(distinct.size()));
        Colors = distinct;
        return K();
    }
    case TClusterMethod::ByNodes:
        if (grid) {
            SetK(grid->NodeCount());
            Colors = NodeColors(*grid, grid->NodeCount());
            return K();
        }
        break;
    default:
        break;
    }
    if (K() != settings.K)
        SetK(settings.K);
    return settings.K;
}

void TClusterAnalysis::Cancel(data::TData& data)
{
    data::ClearMarks(data);
    data.ClusterLinks.clear();
    Clusters.clear();
    Centroids.clear();
    Deviations.clear();
    ClassDeviation = Missing();
}

std::string TClusterAnalysis::Analyze(TClusterSettings& settings, data::TData& data, const map::TNetGrid* grid,
                                      const numeric::TMergeObserver& redraw)
{
    const TArray2D& x = data.Points;
    const int kind = settings.Kind == 1 ? 1 : 0;
    numeric::TClustering result;
    TArray2I links;
    switch (settings.Method) {
    case TClusterMethod::KMeans: {
        const numeric::TKMeansResult kmeans =
            numeric::KMeans(x, std::clamp(settings.K, 1, MaxClusterCount), kind, data.PointWeights);
        Passes = kmeans.Passes;
        result = kmeans;
        SetK(settings.K);
        break;
    }
    case TClusterMethod::ByColors: {
        TArray1I keys;
        const TArray1I distinct = DistinctColors(PointColors(data), &keys);
        result = numeric::ClusterByKey(x, keys);
        settings.K = static_cast<int>(distinct.size());
        SetK(settings.K);
        Colors = distinct;
        break;
    }
    case TClusterMethod::ByNodes:
        if (!grid || grid->NodeCount() == 0)
            return "Clustering by nodes needs a current map with nodes.";
        if (grid->Dimension != data.CoordCount)
            return "The current map has " + std::to_string(grid->Dimension) + " coordinates, the dataset " +
                   std::to_string(data.CoordCount) + ".";
        result = numeric::ClusterByNodes(grid->Nodes, x, grid->NodeCount());
        settings.K = grid->NodeCount();
        SetK(settings.K);
        Colors = NodeColors(*grid, settings.K);
        break;
    case TClusterMethod::Hierarchical: {
        double fraction = std::clamp(settings.Sensitivity, 0, 100) / 100.0;
        numeric::THierarchy h = numeric::HierarchicalByThreshold(x, kind, fraction, redraw);
        links = std::move(h.Links);
        result = std::move(h);
        settings.K = static_cast<int>(result.Clusters.size());
        SetK(settings.K);
        break;
    }
    case TClusterMethod::HierarchicalCount: {
        numeric::THierarchy h =
            numeric::HierarchicalByCount(x, kind, std::clamp(settings.K, 1, MaxClusterCount), redraw);
        settings.Sensitivity = static_cast<int>(std::nearbyint(100 * h.Ratio));
        links = std::move(h.Links);
        result = std::move(h);
        SetK(settings.K);
        break;
    }
    case TClusterMethod::BySelectedObjects: {
        result.Centroids = ObjectCentroids(data);
        if (result.Centroids.empty())
            return "Tick the objects that are to be the centroids in the objects list first.";
        result.Clusters = numeric::AssignToNearest(x, result.Centroids);
        settings.K = static_cast<int>(result.Centroids.size());
        SetK(settings.K);
        break;
    }
    case TClusterMethod::SeparateSelected: {
        TArray1I marked, others;
        std::vector<char> isMarked(x.size(), 0);
        for (int p : data.MarkedPoints)
            if (p >= 0 && static_cast<std::size_t>(p) < x.size() && !isMarked[static_cast<std::size_t>(p)]) {
                isMarked[static_cast<std::size_t>(p)] = 1;
                marked.push_back(p);
            }
        if (marked.empty())
            return "Mark the points to separate first.";
        result.Centroids = Centroids;
        if (result.Centroids.empty()) {
            for (std::size_t p = 0; p < x.size(); ++p)
                if (!isMarked[p])
                    others.push_back(static_cast<std::int32_t>(p));
            if (others.empty())
                return "Every point is marked: leave the points to separate from unmarked.";
            std::sort(marked.begin(), marked.end());
            result.Centroids.push_back(numeric::MeanOfMembers(x, marked));
            result.Centroids.push_back(numeric::MeanOfMembers(x, others));
        } else {
            std::sort(marked.begin(), marked.end());
            result.Centroids.push_back(numeric::MeanOfMembers(x, marked));
        }
        result.Clusters = numeric::AssignToNearest(x, result.Centroids);
        settings.K = static_cast<int>(result.Centroids.size());
        SetK(settings.K);
        break;
    }
    }

    if (settings.Method != TClusterMethod::SeparateSelected)
        Cancel(data);
    Clusters = std::move(result.Clusters);
    Centroids = std::move(result.Centroids);
    data.ClusterLinks = std::move(links);
    AddClusterMarks(data, Clusters, Colors);

    Deviations.assign(Clusters.size(), 0.0);
    double sum = 0;
    for (std::size_t i = 0; i < Clusters.size(); ++i) {
        Deviations[i] = numeric::MeanDistanceToCentroid(x, Clusters[i], kind);
        sum += static_cast<double>(Clusters[i].size()) * Deviations[i];
    }
    ClassDeviation = x.empty() ? Missing() : std::sqrt(sum / static_cast<double>(x.size()));
    return {};
}

std::string TClusterAnalysis::DeviationText(int cluster) const
{
    if (cluster < 0 || static_cast<std::size_t>(cluster) >= Clusters.size() ||
        Clusters[static_cast<std::size_t>(cluster)].empty())
        return {};
    const auto i = static_cast<std::size_t>(cluster);
    return std::to_string(Clusters[i].size()) + "/" + data::FixedText(std::sqrt(Deviations[i]), 6, 5);
}

std::string TClusterAnalysis::ClassDeviationText() const
{
    if (IsMissing(ClassDeviation) || Clusters.empty())
        return {};
    return "Class-class deviation = " + data::FixedText(ClassDeviation, 6, 6);
}

TArray1S TClusterAnalysis::ClassTexts(int pointCount) const
{
    TArray1S texts(static_cast<std::size_t>(std::max(pointCount, 0)));
    for (std::size_t i = 0; i < Clusters.size(); ++i) {
        std::string number = std::to_string(i + 1);
        if (number.size() < 2)
            number.insert(0, 1, ' ');
        for (int p : Clusters[i])
            if (p >= 0 && static_cast<std::size_t>(p) < texts.size())
                texts[static_cast<std::size_t>(p)] = number;
    }
    return texts;
}

TArray1S TClusterAnalysis::DistanceTexts(const data::TData& data) const
{
    TArray1S texts(data.Points.size());
    for (std::size_t i = 0; i < Clusters.size() && i < Centroids.size(); ++i)
        for (int p : Clusters[i])
            if (p >= 0 && static_cast<std::size_t>(p) < texts.size())
                texts[static_cast<std::size_t>(p)] = data::FixedText(
                    std::sqrt(numeric::SqEuclideanDistance(data.Points[static_cast<std::size_t>(p)], Centroids[i])), 10,
                    5);
    return texts;
}

void TClusterAnalysis::NumbersInTable(data::TData& data) const
{
    SetResultColumn(data, "Class", ClassTexts(static_cast<int>(data.Points.size())));
}

void TClusterAnalysis::DistancesInTable(data::TData& data) const
{
    SetResultColumn(data, "Dist.", DistanceTexts(data));
}

void TClusterAnalysis::CentroidsAsObjects(data::TData& data) const
{
    const std::size_t k = Centroids.size();
    if (k == 0)
        return;
    double sum = 0, squares = 0;
    for (std::size_t i = 0; i < k; ++i) {
        const double n = i < Clusters.size() ? static_cast<double>(Clusters[i].size()) : 0.0;
        sum += n;
        squares += n * n;
    }
    const double m = sum / static_cast<double>(k);
    const double v = squares / static_cast<double>(k) - m * m;
    for (std::size_t i = 0; i < k; ++i) {
        const double n = i < Clusters.size() ? static_cast<double>(Clusters[i].size()) : 0.0;
        // Clusters of one size (no variance) all get the middle radius.
        double radius = v > 0 ? (n - m) * 0.1 / v + 0.2 : 0.2;
        if (radius < 0.05)
            radius = 0.05;
        TArray1D centre = Centroids[i];
        for (std::size_t c = 0; c < centre.size() && c < data.NormStat.size(); ++c)
            centre[c] = data::DenormaliseValue(data, static_cast<int>(c), centre[c]);
        const int color = i < Colors.size() ? Colors[i] : 0;
        data.AddObjects.push_back(
            std::make_unique<view::TAddObject>(view::MakeSphere("Centr" + std::to_string(i), centre, radius, color)));
    }
}

void ShowClasses(data::TData& data, const TArray1I& classColors, const std::vector<bool>& checked)
{
    const TArray1I colors = PointColors(data);
    data.Visibility.assign(colors.size(), 0);
    for (std::size_t p = 0; p < colors.size(); ++p) {
        const auto it = std::find(classColors.begin(), classColors.end(), colors[p]);
        const auto k = static_cast<std::size_t>(it - classColors.begin());
        if (it != classColors.end() && k < checked.size() && checked[k])
            data.Visibility[p] = 1;
    }
}

TArray1I PointsOfClass(const data::TData& data, int color)
{
    TArray1I points;
    const TArray1I colors = PointColors(data);
    for (std::size_t p = 0; p < colors.size(); ++p)
        if (colors[p] == color)
            points.push_back(static_cast<std::int32_t>(p));
    return points;
}

} // namespace orbelin::analysis

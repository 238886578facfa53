// The clustering page of the object analysis tool: the cluster colour table, the methods
// and how their clusters are marked, measured and written back into the dataset.
#pragma once

#include "numeric/Clustering.h"
#include "numeric/TArray.h"

#include <array>
#include <string>

namespace orbelin::data {
class TData;
}
namespace orbelin::map {
class TNetGrid;
}

namespace orbelin::analysis {

/// The items of "Method", in list order.
enum class TClusterMethod : int {
    KMeans,
    ByColors,
    ByNodes,
    Hierarchical,
    HierarchicalCount,
    BySelectedObjects,
    SeparateSelected,
};
const std::array<std::string, 7>& ClusterMethodNames();

/// The page's parameters.
struct TClusterSettings {
    TClusterMethod Method = TClusterMethod::KMeans;
    int K = 3;            ///< "Number of clusters", 1 to 100000
    int Kind = 0;         ///< "Dist.type": 0 "Euclidean" (squared), 1 "L1"
    int Sensitivity = 30; ///< the slider, 0 to 100: the fraction Sensitivity / 100
};

/// Largest "Number of clusters".
constexpr int MaxClusterCount = 100000;

/// The clusters of the last analysis and the colour table. A window holds one and calls it
/// with its settings; the results are written into the dataset given.
class TClusterAnalysis {
public:
    /// The colour table for k clusters: FourStep(i / (k - 1)) for cluster i, blue for the
    /// first through red for the last (a single cluster is blue).
    void SetK(int k);
    int K() const { return static_cast<int>(Colors.size()); }

    /// What choosing a method fixes: "By colors" takes K from the distinct class colours
    /// of the points and colours the table with them; "By nodes" takes the number of the
    /// grid's nodes and colours cluster i by LinearSpectrum of node i's internal position.
    /// Returns the K the method uses (the settings' K for the others).
    int ChooseMethod(const TClusterSettings& settings, const data::TData& data, const map::TNetGrid* grid);

    /// "Analyze": runs the method, rebuilds the colour table when K changed, then marks
    /// the clusters in the dataset's point selection (after doing what Cancel does, except
    /// for "Separate selected in cluster") and measures them. A method that cannot run
    /// (no map for "By nodes", no ticked objects, nothing marked to separate) changes
    /// nothing and returns the message; otherwise the result is empty. settings.K and
    /// settings.Sensitivity receive what the method sets ("Hierarchical" the number of
    /// clusters found, the count method the slider of its last merge).
    std::string Analyze(TClusterSettings& settings, data::TData& data, const map::TNetGrid* grid,
                        const numeric::TMergeObserver& redraw = {});

    /// "Cancel": the point selection, the cluster links and the clusters are emptied.
    void Cancel(data::TData& data);

    /// Column 2 of the colour table: n_i, "/" and the root of the mean distance to the
    /// centroid as 6:5; empty for a cluster without members.
    std::string DeviationText(int cluster) const;
    /// "Class-class deviation = " and the root of sum n_i v_i / N as 6:6 (empty without points).
    std::string ClassDeviationText() const;

    /// "Numbers in table": the "Class" column, each point's cluster number from 1
    /// right-aligned in 2 characters, empty for points in no cluster.
    void NumbersInTable(data::TData& data) const;
    /// "Distances in table": the "Dist." column, the Euclidean distance to the point's
    /// centroid as 10:5, empty for points in no cluster.
    void DistancesInTable(data::TData& data) const;
    /// The two columns' texts, one per point.
    TArray1S ClassTexts(int pointCount) const;
    TArray1S DistanceTexts(const data::TData& data) const;
    /// "Centroids as objects": one sphere "Centr0", "Centr1", ... per centroid, in the
    /// cluster's colour, sized by the cluster's share and placed in table units. All
    /// clusters of one size give spheres of radius 0.2.
    void CentroidsAsObjects(data::TData& data) const;

    TArray1I Colors;           ///< packed colour of each cluster
    TArray2I Clusters;         ///< member points of each cluster
    TArray2D Centroids;        ///< one per cluster, in dataset coordinates
    TArray1D Deviations;       ///< mean distance of each cluster's members to their mean
    double ClassDeviation = 0; ///< the root of sum n_i v_i / N; missing without points
    int Passes = 0;            ///< k-means passes of the last run
};

/// "Show only some classes", "Apply": a point is shown when the class of its record's
/// colour is checked (checked has one entry per class colour).
void ShowClasses(data::TData& data, const TArray1I& classColors, const std::vector<bool>& checked);

/// The points whose record has the class colour.
TArray1I PointsOfClass(const data::TData& data, int color);

} // namespace orbelin::analysis

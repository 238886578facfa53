// Clustering of data points: k-means, single-linkage merging, grouping by a key or by the
// nearest map node, all returning member lists and centroids.
#pragma once

#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

#include <functional>

namespace orbelin::numeric {

/// What every clustering method returns: one member list per cluster (point indices) and
/// one centroid of D coordinates per cluster. Distances are those of Distance(a, b, kind):
/// kind 0 squared Euclidean, kind 1 city-block, both skipping missing coordinates.
struct TClustering {
    TArray2I Clusters;
    TArray2D Centroids;
};

/// Index of the centroid nearest to x: distances in index order from 1e100, a centroid
/// replacing the best only when strictly closer (ties go to the lowest index); 0 when no
/// distance is below 1e100.
int NearestCentroid(TVecView x, const TArray2D& centroids, int kind);

/// One member list per centroid: every point, in ascending order, in the list of its
/// nearest centroid. Runs in parallel over the points.
TArray2I AssignToCentroids(const TArray2D& x, const TArray2D& centroids, int kind);

struct TKMeansResult : TClustering {
    double Change = 0; ///< the last pass's average centroid movement
    int Passes = 0;
};

/// K-means from k random points in the bounding box of the data (missing values skipped).
/// Every pass assigns the points to their nearest centroids and moves each centroid with
/// members to their mean, weighted when w has one entry per point (a cluster whose
/// weights sum to 0 takes the plain mean); missing values propagate into the mean. The
/// change is the sum over moved centroids of Distance(new, old)/k. A centroid without
/// members is drawn again: RandomPointInBox with weights, RandomUnitVector without. Stops
/// when the change is below NumericTolerance; after 1001 passes it shows "Maximal number of
/// iterations exceeded." through UserInterface() and stops. Returns the clusters of the
/// last pass, the centroids moved by it and its change. No points: k empty clusters.
TKMeansResult KMeans(const TArray2D& x, int k, int kind, const TArray1D& w);

/// Mean of Distance(X[p], m, kind) over the members, m being their plain mean; 0 for no
/// members.
double MeanDistanceToCentroid(const TArray2D& x, const TArray1I& members, int kind);

/// One cluster per distinct key, in order of first appearance; centroids are plain means.
TClustering ClusterByKey(const TArray2D& x, const TArray1I& keys);

/// One cluster per map node (nodeCount rows, at most the number of node positions given):
/// every point goes to its nearest node by squared Euclidean distance (ties to the lowest
/// node). A centroid is the plain mean of the members, or the node's position.
TClustering ClusterByNodes(const TArray2D& nodes, const TArray2D& x, int nodeCount);

/// As AssignToCentroids with squared Euclidean distance, but the search starts at 1e10: a
/// point at 1e10 or more from every centroid is in no cluster.
TArray2I AssignToNearest(const TArray2D& x, const TArray2D& centroids);

/// The closest pair between two member lists: members of a in order, each against the
/// members of b in order, replacing only on a strictly smaller distance (from 1e100).
struct TClusterLink {
    double Distance = -1; ///< -1 when a or b is empty
    int A = -1;           ///< the member of a
    int B = -1;           ///< the member of b
};
TClusterLink ClusterLinkDistance(const TArray1I& a, const TArray1I& b, const TArray2D& x, int kind);

/// Result of the single-linkage methods.
struct THierarchy : TClustering {
    TArray2I Links;   ///< per merge, the closest pair of points of the two clusters merged
    int Count = 0;    ///< the number of clusters
    double Ratio = 0; ///< last merge distance / largest distance (0 without either)
};

/// Called after each merge has been decided and its link appended, before the member
/// lists are joined: the clusters by their slot (a cluster's slot is its largest point
/// index; emptied slots are empty) and the links so far. The tool redraws the map there.
using TMergeObserver = std::function<void(const TArray2I& clusters, const TArray2I& links)>;

/// Single-linkage merging while the closest two clusters are nearer than fraction times
/// the largest pairwise distance; fraction receives that threshold. The closest pair is
/// the one met first when scanning slots (i, j), j < i, upwards; the merged cluster takes
/// slot i and lists the members of i, then those of j. Clusters are returned in slot
/// order, centroids are plain means. Equal to merging by the distance matrix, in O(n^2)
/// time and O(n) memory (a minimum spanning tree taken in increasing order), on data
/// without tied distances. Pending user-interface events are let through after each merge.
THierarchy HierarchicalByThreshold(const TArray2D& x, int kind, double& fraction, const TMergeObserver& redraw = {});

/// The same merging without a distance limit (a merge distance of 1e10 or more still
/// stops it) until at most k clusters are left; at least one merge when two points
/// exist. Ratio is the last merge distance over the largest pairwise distance.
THierarchy HierarchicalByCount(const TArray2D& x, int kind, int k, const TMergeObserver& redraw = {});

/// Plain mean of the members; a coordinate missing in any member is missing. Empty
/// members give D zeros.
TArray1D MeanOfMembers(const TArray2D& x, const TArray1I& members);

} // namespace orbelin::numeric

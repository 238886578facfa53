// A map trained on a dataset: its grid, node positions, layers and training state.
#pragma once

#include "map/TMapView.h"
#include "map/TNetGrid.h"
#include "numeric/TArray.h"
#include "numeric/TSparseMatrix.h"
#include "view/SceneObjects.h"

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::map {

struct TTrainingCache;

/// Placements of InitializeMap.
enum TInitType : int { InitRandom = 0, InitCoordAxes = 1, InitMainComps = 2 };

/// How points are projected onto the map: the list index of "Projecting type".
enum TProjectorType : int { ProjectInClosestPoint = 0, ProjectInClosestNode = 1 };

/// A notification from the map to a window; the context is captured by the function.
using TMapCallback = std::function<void()>;

/// One elastic map fitted to one dataset. Owned by its dataset (TData::Maps), which it
/// refers back to without owning. Create maps with AddMap, so they get their defaults,
/// their view and their place in the dataset.
///
/// Nothing here is stored per node and per point together: the taxons list each node's
/// own points, and the matrices of training are sparse, so a map of ten thousand nodes
/// stays small.
class TMap {
public:
    TMap();
    ~TMap();
    TMap(const TMap&) = delete;
    TMap& operator=(const TMap&) = delete;

    int GridType = GridRectangular; ///< TGridType code
    std::unique_ptr<TNetGrid> Grid; ///< null until the map is initialised or read
    int Smoothness = 1;             ///< refinement level of the coloring surface
    double CorrRadius = 0.25;       ///< kernel radius of the density colorings

    /// "Datasets", "Net", "Colorings", "Objects", side by side so a view can take them as
    /// one span. Adding or dropping a layer moves them: hold indices, not pointers.
    std::vector<view::TLayer> Layers;
    int CurrentLayer = -1;

    int RequestedColumns = 10; ///< Q asked for at initialisation
    int RequestedRows = 10;    ///< P
    int RequestedLayers = 1;   ///< R
    int NodeCount = 0;         ///< N, set by AllocateMapArrays

    numeric::TSparseMatrix SystemMatrix; ///< N x N matrix of the training equations
    int ProjectorType = ProjectInClosestPoint;
    TArray2D Projections; ///< [n][3] internal coordinates of the points' projections
    /// Cleared by training between steps (from its thread) and whenever the nodes move.
    std::atomic<bool> ProjectionsValid{false};

    bool UseWeights = false; ///< training weights points by the dataset's point weights
    TArray1I TaxonSizes;     ///< [N] points nearest to each node
    TArray1D TaxonWeights;   ///< [N] their weight sums
    TArray2I TaxonMembers;   ///< [N] rows, each listing its own points only
    TArray2I Tones;          ///< rows of two integers kept for the map file
    bool DiscretePalette = false;

    double Lambda = 1.0;     ///< stretching coefficient
    double Tolerance = 1e-5; ///< stopping tolerance of training and of its solver
    double Mu = 1.0;         ///< bending coefficient
    double InitSize = 0.25;
    double InitNoise = 30;

    data::TData* Data = nullptr; ///< the dataset the map belongs to, not owned

    TArray1D Rhs;      ///< [N] right-hand side of the training equations
    TArray1D Solution; ///< [N]
    TArray1D Centre;   ///< [D] centre used to place the map
    TArray1D SavedCentre;
    TArray1D PlaceAxis1; ///< [D] axes used to place the map
    TArray1D PlaceAxis2;
    TArray1D PlaceAxis3;
    TArray2D Components; ///< [D][D] principal components of the dataset, one per row

    std::string Name;
    /// Read by the training thread between steps, and every few sweeps of its solves so
    /// that an interruption need not wait for a slow solve to converge.
    std::atomic<bool> StopRequested{true};
    bool InitNoiseOn = false;
    int InitType = InitMainComps;

    TMapCallback ProgressCallback; ///< called after every training step

    /// Set from StartTraining until the end of the run has been handled on the
    /// user-interface thread. Commands that replace the grid, grow, re-initialise, read or
    /// free the map refuse to run meanwhile (CheckNotTraining).
    std::atomic<bool> Training{false};
    /// l and m typed while a training run works on the map: the worker moves them into
    /// Lambda and Mu before its next step. NaN when nothing is pending.
    std::atomic<double> PendingLambda{std::numeric_limits<double>::quiet_NaN()};
    std::atomic<double> PendingMu{std::numeric_limits<double>::quiet_NaN()};
    /// What training keeps between steps (the points' nearest nodes for the node positions
    /// they were found for); owned by the training routines, rebuilt whenever it is stale.
    std::shared_ptr<TTrainingCache> TrainingCache;

    double PreviousEnergy = 1e100;
    double ApproximationError = 0;
    double BendingEnergy = 0;
    double StretchingEnergy = 0;
    double TotalEnergy = 0;

    TMapView View; ///< scene state of the map's 3D view

    int ViewType = 0;
    int PPIndex = 0;
    bool DataAsTimeSeries = false;
    bool NodeSizeByTaxon = false;
    int ColoringCode = 0;
    double Relief = 0;
    int ColorScheme = 0;
    bool ColorInversion = false; ///< "Color inversion ": light and dark swapped (not saved)
    bool LogColoring = false;    ///< "Logarithmic coloring" (not saved)
    TArray2D Tints;              ///< band table of the colour scheme; five bands for a new map

    TMapCallback RedrawCallbacks[3]; ///< window notifications set by the main window

    int IterationCount = 0;
    int MaxIterations = 10000; ///< -1 for no cap; 0 stops before the first step
    long long AssignTime = 0;  ///< milliseconds
    long long SolveTime = 0;   ///< milliseconds

    int Axis1 = 0; ///< coordinate shown as X on the coordinate-plane view
    int Axis2 = 1;
    int Axis3 = 2;

    TArray2S Annotations;     ///< rows of four texts: point, font size, border flag, text
    /// What labels the biplot rays: the checked items of the biplot's field-annotation
    /// list, 0 for the field's name and c for its annotation "Dc" (not saved).
    TArray1I AnnotationColumns;
    std::string DataFileName; ///< DATAFILENAME as read from the map file

    /// The layer at CurrentLayer, or null.
    view::TLayer* CurrentLayerPtr();
    const view::TLayer* CurrentLayerPtr() const;
};

/// Creates a map with the defaults (no grid, stop requested, axes 0, 1, 2), appends it to
/// the dataset's maps and makes it the current map.
TMap& AddMap(data::TData& dataset, const std::string& name);

/// Appends a layer with four empty objects and makes it current; resets Smoothness to 1
/// and CorrRadius to 0.25. The reference is valid until the layers change again.
view::TLayer& AddLayer(TMap& map, const std::string& name);
/// Frees layer index and closes the gap; the last layer becomes current. An index outside
/// the layers does nothing.
void DropLayer(TMap& map, int index);
/// Resets the view's scene state to its defaults and lists every layer's four objects.
void RecreateView(TMap& map);

/// After a grid is built or read: NodeCount, the grid's Dimension (the length of its
/// first node row), empty taxons, an empty N x N system matrix, zero Rhs and Solution.
void AllocateMapArrays(TMap& map);

/// Raises TError when a training run works on the map; action says what the caller was
/// about to do ("re-initialise it", "delete it").
void CheckNotTraining(const TMap& map, const std::string& action);
/// Whether a training run works on one of the dataset's maps.
bool AnyMapTraining(const data::TData& dataset);
/// The message of CheckNotTraining.
std::string TrainingRefusal(const TMap& map, const std::string& action);

/// Per coordinate, the mean of the dataset's present values in it (0 where it has none).
TArray1D PresentMeans(const data::TData& dataset);

} // namespace orbelin::map

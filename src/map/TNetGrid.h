// The topology and node positions of an elastic map: nodes, edges, ribs, cells, internal
// coordinates and the elastic matrices built from them, for each kind of grid.
#pragma once

#include "numeric/TArray.h"
#include "numeric/TSparseMatrix.h"

#include <memory>

namespace orbelin::map {

/// Grid type codes as a map stores them. Code 4 is not used.
enum TGridType : int {
    GridRectangular = 0,
    GridSpherical = 1,
    GridHexagonal = 2,
    GridToroidal = 3,
    GridCircle = 5,
};

/// The trigonometric constants of every grid layout and placement. They are truncated on
/// purpose: stored maps were laid out with these values, and rebuilding a layout must give
/// the same coordinates.
constexpr double GridPi = 3.1415926;
constexpr double GridTwoPi = 6.2831852;
constexpr double GridHalfPi = 1.5707963;

/// A grid: which nodes exist, how they lie in the map's own internal coordinates, which
/// pairs are joined by stretching edges, which triples form bending ribs and which cells
/// tile the map. Build() generates the topology from the sizes of a derived class; a grid
/// read from a map file keeps the stored topology and is never rebuilt.
///
/// Node positions change during training; the topology stays fixed except for growth.
class TNetGrid {
public:
    TNetGrid() = default;
    virtual ~TNetGrid();
    TNetGrid(const TNetGrid&) = default;
    TNetGrid& operator=(const TNetGrid&) = default;

    /// Regenerates internal coordinates, edges, ribs, cells, weights and triangle shifts;
    /// sizes Nodes to N x Dimension zeros and the elastic matrices to N x N zeros.
    virtual void Build() = 0;

    /// Refills StretchMatrix and BendMatrix from the edges, ribs and their weights:
    /// an edge (a, b) of weight w adds w (y_a - y_b)^2 and a rib (c; a, b) adds
    /// w (y_a - 2 y_c + y_b)^2 to the quadratic forms the matrices stand for.
    void BuildElasticMatrices();

    /// Index of the first edge joining a and b in either order, or -1.
    int FindEdge(int a, int b) const;

    int NodeCount() const { return static_cast<int>(Nodes.size()); }

    TArray2D Nodes;                       ///< [N][Dimension] positions in data space
    TArray2I Edges;                       ///< rows (a, b)
    TArray2I Ribs;                        ///< rows (centre, end 1, end 2)
    TArray2I Triangles;                   ///< rows of three nodes tiling the surface
    TArray2I Tetrahedra;                  ///< rows of four nodes; layered grids only
    numeric::TSparseMatrix StretchMatrix; ///< N x N weighted edge Laplacian
    numeric::TSparseMatrix BendMatrix;    ///< N x N weighted rib matrix
    int Dimension = 0;                    ///< coordinates per node; set before Build
    TArray1D EdgeWeights;                 ///< one per edge
    TArray1D RibWeights;                  ///< one per rib
    TArray2D Internal;                    ///< [N][3] internal coordinates; z is 0 on flat layouts
    TArray2D Lattice;                     ///< [N][3] internal coordinates of a layered grid
    int TopologyDim = 0;                  ///< 1 chain, 2 surface, 3 layered
    TArray2D TriangleShift;               ///< one row of three per triangle, or empty
};

/// The rectangular family: P rows of Q nodes in R layers; node (layer m, row i, column j)
/// has index m P Q + i Q + j. With Q = 1 it is a chain (TopologyDim 1); with R > 1 a
/// layered lattice of tetrahedra (TopologyDim 3). Hexagonal and toroidal grids read back
/// from a map file are of this class, with their stored extra edges.
class TRectangularGrid : public TNetGrid {
public:
    void Build() override;

    int P = 0; ///< rows
    int Q = 0; ///< nodes per row
    int R = 0; ///< layers

protected:
    /// The rectangular surface, chain or lattice, with every weight 1.
    void BuildRectangular();
    /// Sets every edge and rib weight to 1 and sizes nodes and elastic matrices.
    void FinishBuild();
};

/// P meridians of Q latitude nodes and two poles (nodes PQ and PQ+1). Single layer only.
class TSphericalGrid : public TRectangularGrid {
public:
    void Build() override;
    /// Internal coordinates and triangle shifts for a flat view: 0 the globe, 1 two discs.
    /// A grid whose nodes or triangles no longer match P and Q is left as it is.
    void SetSphereLayout(int mode);
    /// One shift row per triangle, its first entry -1 for the half near the first pole and
    /// +1 for the other, so flat views draw the two halves apart. k = (Q+1) div 2 splits
    /// the latitudes. Does nothing when the triangles do not match P and Q.
    void BuildTriangleShifts(int k);
};

/// A rectangle whose opposite sides are joined by edges and ribs. Single layer only.
class TTorusGrid : public TRectangularGrid {
public:
    void Build() override;
};

/// A rectangle with one diagonal per cell, shifted every other column. Single layer only.
class THexagonalGrid : public TRectangularGrid {
public:
    void Build() override;
};

/// P rings of Q nodes around a centre node 0; ring r, position j is node rQ + j + 1.
class TCircleGrid : public TRectangularGrid {
public:
    void Build() override;
};

/// The grid class of a type code, empty (no sizes, nothing built); null for an unknown code.
std::unique_ptr<TRectangularGrid> NewGrid(int gridType);

/// Raises TError unless a grid of that type can be built with P rows of Q nodes in R
/// layers: every size at least 1; a single row only for a single node; several layers only
/// for rectangular grids of at least 2 x 2; spherical, toroidal and circle grids of at
/// least 2 x 2; hexagonal grids of at least 2 columns.
void CheckGridSizes(int gridType, int rows, int columns, int layers);

/// A built grid of that type and sizes, with its topology dimension set as maps set it (2;
/// for rectangular and hexagonal grids 1 with one column, then 3 with several layers) and
/// dimension coordinates per node. Raises TError for sizes CheckGridSizes refuses.
std::unique_ptr<TRectangularGrid> CreateGrid(int gridType, int rows, int columns, int layers, int dimension);

} // namespace orbelin::map

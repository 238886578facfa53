// The surface a coloring paints: the grid's triangles with unshared vertex rows, refined
// by halving their sides, and cut into bands of equal tint for the discrete palette.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::map {
class TNetGrid;
}

namespace orbelin::coloring {

/// Two parallel vertex matrices with the same row order, the polygons over them and one
/// colour row per vertex. Every triangle owns its three rows; after refinement polygon p
/// owns rows 3p, 3p + 1 and 3p + 2.
struct TColoringSurface {
    TArray2D DataVertices;     ///< [V][d] interpolated node coordinates
    TArray2D InternalVertices; ///< [V][3] interpolated internal coordinates
    TArray2I Polygons;
    TArray2D Colors; ///< [V][3]
    /// The grid triangle each polygon of the unrefined surface was built from.
    TArray1I BaseTriangles;
};

/// Three rows per grid triangle in list order, one per corner in the triangle's stored
/// order, and the polygon (3t, 3t + 1, 3t + 2). Internal rows come from the grid's
/// internal coordinates (the lattice coordinates of a layered grid). Grids without
/// triangles give an empty surface. Colours are left empty.
TColoringSurface BuildSurface(const map::TNetGrid& grid);

/// Runs steps refinement steps in place. A step splits every triangle present when it
/// starts, in list order, into four by the midpoints m01, m02, m12 of its corner vectors
/// V0, V1, V2 (both matrices alike; a midpoint entry is missing when either end is): the
/// triangle's rows become V0, m02, m01, and rows V2, m02, m12, m01, m12, V1, m01, m02, m12
/// and triangles (L+2, L+1, L), (L+5, L+4, L+3), (L+8, L+7, L+6) are appended, L being the
/// row count before.
void RefineSurface(TArray2D& dataVertices, TArray2D& internalVertices, TArray2I& triangles, int steps);

/// Stored values a refined surface may hold: its vertices take about d + 25 doubles each
/// with their colours, display rows and row bookkeeping, so 2^25 keeps it near 256 MB.
constexpr long long SurfaceValueBudget = 1LL << 25;

/// The refinement steps a smoothness asks for (smoothness - 1, none below 2), reduced to
/// the most that keeps triangleCount * 4^steps * 3 * (dimension + 25) within
/// SurfaceValueBudget; at least 0.
int RefinementSteps(int smoothness, long long triangleCount, int dimension);

/// The triangle of the unrefined surface (of baseCount triangles) that polygon p of the
/// refined surface lies in.
int SurfaceTriangleOrigin(int polygon, int baseCount);

/// The band level of a scalar s in a table of rows (lo, hi, c, ...): c of the first row
/// when s <= lo of it, c of the row with lo < s <= hi, the last row's c when s exceeds
/// every hi. 0 for an empty table.
double TintOf(const TArray2D& tints, double s);

/// Cuts every triangle into polygons of equal tint. The scalar of a vertex is the first
/// component of its colour row. Each side (V0, V1), (V1, V2), (V2, V0) gives its start
/// point, the band boundaries met between its ends (lo then hi of every row, ascending when
/// the scalar rises, hi then lo descending when it falls) and its end point, each with its
/// tint; the distinct tints of the three lists in order of first appearance, at most 100,
/// become one polygon each, of the points carrying that tint in list order. The new
/// vertices hold those points, polygon by polygon, both matrices interpolated alike, and
/// every colour row becomes (c, c, c). Polygons that are not triangles are dropped; a
/// table without rows of three values leaves the surface as it is.
void BandSurface(TColoringSurface& surface, const TArray2D& tints);

} // namespace orbelin::coloring

// Colorings of a map's surface: the coloring codes, the values and colours computed for
// each code on the refined surface, and the colours of the net's nodes.
#pragma once

#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

namespace orbelin::map {
class TMap;
}

namespace orbelin::coloring {

/// Values of TMap::ColoringCode. Field k is FieldColoringBase + k and principal component
/// k + 1 is ComponentColoringBase + k, for k below ColoringChildLimit.
enum TColoringCode : int {
    ColoringNone = 0,
    ColoringDensity2D = 111,
    ColoringDensityND = 121,
    ColoringLDA = 211,
    ColoringLRA = 212,
    ColoringSpectrum = 213,
    ColoringRadialSpectrum = 214,
    FieldColoringBase = 1001,
    ComponentColoringBase = 2001,
};
constexpr int ColoringChildLimit = 999;

/// The field k of a field coloring code, or -1.
int ColoringField(int code);
/// The component index k (0 for "PC1") of a principal-component coloring code, or -1.
int ColoringComponent(int code);

/// f(x) = c_0 + sum over i >= 1 of c_i x_(i-1) for a stored linear function c (the
/// constant first); an empty c gives 0. Coefficients beyond x count as 0, and a missing
/// coordinate makes f a NaN (the scores take every coordinate as it is).
double LinearFunctionValue(numeric::TVecView coefficients, numeric::TVecView x);

/// Rebuilds the polygon object of the map's coloring layer (layer 2) from the map, its
/// dataset and the coloring parameters: surface construction and refinement (Smoothness,
/// within SurfaceValueBudget), the values and grey levels of ColoringCode, the discrete
/// banding, the colour scheme, and the display positions of the view (view 0: the
/// coordinates Axis1..3 of the data-space vertices; view 1: their PCCoords; view 2: the
/// internal vertices, each triangle moved by its shift when the grid keeps one shift row
/// per triangle, lifted by Relief times the vertex's field value for field colorings).
///
/// Returns false and leaves the layer as it was when the map has fewer than three layers
/// or no grid, ColoringCode is 0, a code the map cannot compute (a field or component the
/// map lacks, a density or function without a dataset), or the view is not 0, 1 or 2.
bool BuildColoring(map::TMap& map);

/// Colour rows of the net's nodes: for a field coloring, the rounded grey levels of the
/// nodes' own coordinate k, otherwise (0, 0, 255) for every node; then the map's scheme.
TArray2D NodeFillColors(const map::TMap& map);

} // namespace orbelin::coloring

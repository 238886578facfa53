// Initialisation of a map: its grid built from the requested sizes and its nodes placed
// at random, on the coordinate axes or along the dataset's principal components.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::map {

class TMap;

/// Builds the map's grid of type GridType with RequestedRows x RequestedColumns x
/// RequestedLayers nodes and places its nodes by InitType, InitSize, InitNoise and
/// InitNoiseOn:
/// - lambda and mu become 1, Smoothness 1; a map without layers gets "Datasets", "Net",
///   "Coloring" and "Objects", a map with one layer "Net", "Colorings" and "Objects";
/// - the dataset's principal components (componentCount of them, -1 to ask the user) are
///   computed when the map has none of the dataset's dimension;
/// - CentreAndRandomAxes, then the placement, then the noise, then the elastic matrices;
/// - the projections are invalidated and StopRequested is set.
///
/// The random generator is reseeded from the clock unless reseedFromClock is false (the
/// caller has seeded it for a repeatable run). Raises TError, with the map unchanged, for
/// a map that is being trained (CheckNotTraining), for a map without a dataset of at
/// least one point and one coordinate, for grid sizes that
/// cannot be built (CheckGridSizes), for an unknown placement, for a size of 0 or less
/// where the placement divides by it, and for noise of 0 or less when noise is on.
void InitializeMap(TMap& map, int componentCount, bool reseedFromClock = true);

/// Centre and SavedCentre := the mean of the dataset's present values per coordinate;
/// PlaceAxis1 := RandomUnitVector(D); PlaceAxis2 := a second random unit vector made
/// orthogonal to it (zero when D < 2). Reseeds the generator from the clock first unless
/// reseedFromClock is false.
void CentreAndRandomAxes(TMap& map, bool reseedFromClock = true);

/// The map's Components (D x D) from the dataset's points and point weights with
/// componentCount components fitted. Returns the mean the fit reports; where that mean is
/// missing (a coordinate with gaps) it holds the mean of the present values instead, so
/// a map placed or read on data with gaps keeps a usable centre.
TArray1D ComputeMapComponents(TMap& map, int componentCount);

} // namespace orbelin::map

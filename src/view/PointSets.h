// Colours-and-sizes sets and visibility sets: what a dataset remembers of its points'
// styles and visibility, and how a remembered set is applied again.
#pragma once

#include "data/PointStyle.h"
#include "numeric/TArray.h"
#include "view/TAddObject.h"

#include <string>
#include <vector>

namespace orbelin::view {

/// One PointStyle per table record, in record order.
using TStyleSet = std::vector<PointStyle>;

/// The sets and objects a dataset keeps beside its points, under the names the views and
/// tools use. A dataset holds one of these and frees its objects with it.
struct TPointSetsAndObjects {
    std::vector<TStyleSet> StyleSets;
    TArray1S StyleSetNames;
    /// One flag per data point, 1 = shown; empty until the data points are first drawn.
    TArray1I Visibility;
    TArray2I VisibilitySets;
    TArray1S VisibilitySetNames;
    TAddObjects AddObjects;
    std::vector<TAddLines> LineSets;
    std::vector<TAddRay> Rays;
};

/// The name the naming dialog proposes: "Colors and sizes " + (setCount + 1).
std::string DefaultStyleSetName(int setCount);
/// The name the visibility naming dialog proposes: "Visibility " + (setCount + 1).
std::string DefaultVisibilitySetName(int setCount);

/// Appends a copy of every record's style under the name.
void RememberStyleSet(TPointSetsAndObjects& sets, const std::vector<PointStyle>& styles, const std::string& name);
/// Appends a copy of the current visibility flags under the name.
void RememberVisibilitySet(TPointSetsAndObjects& sets, const std::string& name);

/// Copies a set into the records' styles, record by record, up to the shorter of the two:
/// a set saved for another table applies to the leading records only.
void ApplyStyleSet(const TStyleSet& set, std::vector<PointStyle>& styles);
/// Copies a set into the visibility flags point by point, up to the shorter of the two.
/// While the flags are still empty nothing changes.
void ApplyVisibilitySet(const TArray1I& set, TArray1I& visibility);

/// What drawing the data points does first: gives every point the flag 1 when the
/// flags are still empty.
void EnsureVisibility(TArray1I& visibility, int pointCount);

} // namespace orbelin::view

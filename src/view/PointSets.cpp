// Remembering and applying colours-and-sizes and visibility sets.
#include "view/PointSets.h"

#include <algorithm>

namespace orbelin::view {

std::string DefaultStyleSetName(int setCount)
{
    return "Colors and sizes " + std::to_string(setCount + 1);
}

std::string DefaultVisibilitySetName(int setCount)
{
    return "Visibility " + std::to_string(setCount + 1);
}

void RememberStyleSet(TPointSetsAndObjects& sets, const std::vector<PointStyle>& styles, const std::string& name)
{
    sets.StyleSets.push_back(styles);
    sets.StyleSetNames.push_back(name);
}

void RememberVisibilitySet(TPointSetsAndObjects& sets, const std::string& name)
{
    sets.VisibilitySets.push_back(sets.Visibility);
    sets.VisibilitySetNames.push_back(name);
}

void ApplyStyleSet(const TStyleSet& set, std::vector<PointStyle>& styles)
{
    const std::size_t n = std::min(set.size(), styles.size());
    std::copy_n(set.begin(), n, styles.begin());
}

void ApplyVisibilitySet(const TArray1I& set, TArray1I& visibility)
{
    const std::size_t n = std::min(set.size(), visibility.size());
    std::copy_n(set.begin(), n, visibility.begin());
}

void EnsureVisibility(TArray1I& visibility, int pointCount)
{
    if (visibility.empty() && pointCount > 0)
        visibility.assign(static_cast<std::size_t>(pointCount), 1);
}

} // namespace orbelin::view

// The grid of texts an analysis page shows.
#include "analysis/StatGrid.h"

namespace orbelin::analysis {

void TStatGrid::Resize(int rows, int columns)
{
    const auto r = static_cast<std::size_t>(rows > 0 ? rows : 0);
    const auto c = static_cast<std::size_t>(columns > 0 ? columns : 0);
    Cells.assign(r, TArray1S(c));
    Colors.assign(r, std::vector<TCellColor>(c, TCellColor::Default));
}

} // namespace orbelin::analysis

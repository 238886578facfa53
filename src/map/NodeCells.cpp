// Cells over two coordinates of the nodes.
#include "map/NodeCells.h"

#include <algorithm>
#include <cmath>

namespace orbelin::map {

namespace {
constexpr int NodesPerCell = 2;
}

void TNodeCells::Build(const double* u, const double* v, int n)
{
    Nodes_.clear();
    Start_.assign(2, 0);
    Columns_ = Rows_ = 1;
    U0_ = V0_ = UScale_ = VScale_ = 0;
    if (n <= 0)
        return;
    double uMin = u[0], uMax = u[0], vMin = v[0], vMax = v[0];
    for (int i = 1; i < n; ++i) {
        uMin = std::min(uMin, u[i]);
        uMax = std::max(uMax, u[i]);
        vMin = std::min(vMin, v[i]);
        vMax = std::max(vMax, v[i]);
    }
    const double width = uMax - uMin, height = vMax - vMin;
    const double cells = std::max(1.0, static_cast<double>(n) / NodesPerCell);
    if (width > 0 && height > 0) {
        Columns_ = static_cast<int>(std::clamp(std::round(std::sqrt(cells * width / height)), 1.0, cells));
        Rows_ = static_cast<int>(std::clamp(std::round(cells / Columns_), 1.0, cells));
    } else if (width > 0) {
        Columns_ = static_cast<int>(cells);
    } else if (height > 0) {
        Rows_ = static_cast<int>(cells);
    }
    U0_ = uMin;
    V0_ = vMin;
    UScale_ = width > 0 ? Columns_ / width : 0.0;
    VScale_ = height > 0 ? Rows_ / height : 0.0;
    const std::size_t count = static_cast<std::size_t>(Columns_) * static_cast<std::size_t>(Rows_);
    std::vector<std::int32_t> cellOf(static_cast<std::size_t>(n));
    Start_.assign(count + 1, 0);
    for (int i = 0; i < n; ++i) {
        const std::size_t cell = static_cast<std::size_t>(Row(v[i])) * static_cast<std::size_t>(Columns_) +
                                 static_cast<std::size_t>(Column(u[i]));
        cellOf[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(cell);
        ++Start_[cell + 1];
    }
    for (std::size_t c = 0; c < count; ++c)
        Start_[c + 1] += Start_[c];
    Nodes_.resize(static_cast<std::size_t>(n));
    std::vector<std::int32_t> next(Start_.begin(), Start_.end() - 1);
    for (int i = 0; i < n; ++i)
        Nodes_[static_cast<std::size_t>(next[static_cast<std::size_t>(cellOf[static_cast<std::size_t>(i)])]++)] = i;
}

} // namespace orbelin::map

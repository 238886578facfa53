// The hexagonal grid: a rectangle with one diagonal per cell and every other column
// shifted by half a row.
#include "map/TNetGrid.h"

#include <cstddef>

namespace orbelin::map {

void THexagonalGrid::Build()
{
    BuildRectangular();
    for (int j = 0; j < Q - 1; ++j)
        for (int i = 0; i < P - 1; ++i) {
            if (j % 2 == 1)
                Edges.push_back({i * Q + j + 1, (i + 1) * Q + j});
            else
                Edges.push_back({i * Q + j, (i + 1) * Q + j + 1});
        }

    Ribs.clear();
    for (int i = 1; i < P - 1; ++i)
        for (int j = 0; j < Q; ++j)
            Ribs.push_back({i * Q + j, (i + 1) * Q + j, (i - 1) * Q + j});
    for (int m = 0; m < P - 1; ++m)
        for (int j = 0; j < Q - 2; ++j) {
            const int u = j % 2 == 1 ? m : m + 1;
            Ribs.push_back({u * Q + j + 1, m * Q + j, (m + 1) * Q + j + 2});
            Ribs.push_back({u * Q + j + 1, (m + 1) * Q + j, m * Q + j + 2});
        }

    if (P > 1)
        for (int i = 0; i < P; ++i)
            for (int j = 0; j < Q; j += 2)
                Internal[static_cast<std::size_t>(i * Q + j)][0] += 1.0 / (P - 1);

    Triangles.clear();
    for (int j = 0; j < Q - 1; ++j)
        for (int i = 0; i < P - 1; ++i) {
            if (j % 2 == 1) {
                Triangles.push_back({i * Q + j, i * Q + j + 1, (i + 1) * Q + j});
                Triangles.push_back({(i + 1) * Q + j + 1, i * Q + j + 1, (i + 1) * Q + j});
            } else {
                Triangles.push_back({(i + 1) * Q + j, i * Q + j, (i + 1) * Q + j + 1});
                Triangles.push_back({i * Q + j + 1, i * Q + j, (i + 1) * Q + j + 1});
            }
        }
    FinishBuild();
}

} // namespace orbelin::map

// The toroidal grid: a rectangle whose first and last rows and columns are joined.
#include "map/TNetGrid.h"

namespace orbelin::map {

void TTorusGrid::Build()
{
    BuildRectangular();
    for (int j = 0; j < Q; ++j)
        Edges.push_back({j, j + (P - 1) * Q});
    for (int i = 0; i < P; ++i)
        Edges.push_back({i * Q, (i + 1) * Q - 1});
    for (int j = 0; j < Q; ++j) {
        Ribs.push_back({j, Q + j, (P - 1) * Q + j});
        Ribs.push_back({(P - 1) * Q + j, (P - 2) * Q + j, j});
    }
    for (int i = 0; i < P; ++i) {
        Ribs.push_back({i * Q, i * Q + 1, (i + 1) * Q - 1});
        Ribs.push_back({(i + 1) * Q - 1, (i + 1) * Q - 2, i * Q});
    }
    // The seams get no triangles: a flat drawing of the torus stays a rectangle.
    FinishBuild();
}

} // namespace orbelin::map

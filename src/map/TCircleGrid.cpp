// The circle grid: rings of nodes around a centre node, joined by spokes.
#include "map/TNetGrid.h"

#include <cmath>
#include <cstddef>

namespace orbelin::map {

void TCircleGrid::Build()
{
    BuildRectangular();
    // The centre becomes node 0, so every node of the rings moves up by one.
    for (TArray2I* list : {&Edges, &Ribs, &Triangles})
        for (TArray1I& row : *list)
            for (auto& index : row)
                ++index;

    for (int r = 0; r < P; ++r)
        Edges.push_back({r * Q + 1, (r + 1) * Q});
    for (int j = 0; j < Q; ++j)
        Edges.push_back({j + 1, 0});

    for (int r = 0; r < P; ++r) {
        Ribs.push_back({r * Q + 1, r * Q + 2, (r + 1) * Q});
        Ribs.push_back({(r + 1) * Q, (r + 1) * Q - 1, r * Q + 1});
    }
    const int half = Q / 2;
    for (int k = 0; k < half; ++k)
        Ribs.push_back({0, k + 1, k + half + 1});
    for (int j = 0; j < Q; ++j)
        Ribs.push_back({j + 1, 0, j + Q + 1});

    Internal.assign(static_cast<std::size_t>(P * Q + 1), TArray1D(3, 0.0));
    for (int r = 0; r < P; ++r)
        for (int j = 0; j < Q; ++j) {
            const double radius = P > 1 ? 2.0 * (r + 1) / (P - 1) : 0.0;
            const double angle = GridTwoPi * j / Q;
            Internal[static_cast<std::size_t>(r * Q + j + 1)] = {radius * std::cos(angle), radius * std::sin(angle),
                                                                 0.0};
        }

    for (int r = 0; r < P - 1; ++r) {
        Triangles.push_back({r * Q + 1, (r + 1) * Q + 1, (r + 2) * Q});
        Triangles.push_back({r * Q + 1, (r + 1) * Q, (r + 2) * Q});
    }
    for (int j = 0; j < Q - 1; ++j)
        Triangles.push_back({j + 1, j + 2, 0});
    Triangles.push_back({Q, 1, 0});
    FinishBuild();
}

} // namespace orbelin::map

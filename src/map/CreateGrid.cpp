// Choosing, checking and building a grid from its type code and sizes.
#include "data/TError.h"
#include "map/TNetGrid.h"

#include <string>

namespace orbelin::map {
namespace {

// Grids beyond this many nodes would overflow the 32-bit node indices of the cell lists
// long before any machine could train them.
constexpr long long MaxGridNodes = 50'000'000;

std::string TypeName(int gridType)
{
    switch (gridType) {
    case GridRectangular:
        return "rectangular";
    case GridSpherical:
        return "spherical";
    case GridHexagonal:
        return "hexagonal";
    case GridToroidal:
        return "toroidal";
    case GridCircle:
        return "circle";
    default:
        return "unknown";
    }
}

std::string Sizes(int rows, int columns, int layers)
{
    return std::to_string(rows) + " x " + std::to_string(columns) + " x " + std::to_string(layers);
}

} // namespace

std::unique_ptr<TRectangularGrid> NewGrid(int gridType)
{
    switch (gridType) {
    case GridRectangular:
        return std::make_unique<TRectangularGrid>();
    case GridSpherical:
        return std::make_unique<TSphericalGrid>();
    case GridHexagonal:
        return std::make_unique<THexagonalGrid>();
    case GridToroidal:
        return std::make_unique<TTorusGrid>();
    case GridCircle:
        return std::make_unique<TCircleGrid>();
    default:
        return nullptr;
    }
}

void CheckGridSizes(int gridType, int rows, int columns, int layers)
{
    const std::string type = TypeName(gridType);
    if (type == "unknown")
        throw TError("unknown grid type code " + std::to_string(gridType) +
                     " (expected 0 rectangular, 1 spherical, 2 hexagonal, 3 toroidal or 5 circle)");
    const std::string what = "a " + type + " map of " + Sizes(rows, columns, layers) + " (rows x columns x layers)";
    if (rows < 1 || columns < 1 || layers < 1)
        throw TError(what + " cannot be built: every size must be at least 1");
    if (static_cast<long long>(rows) * columns * layers > MaxGridNodes)
        throw TError(what + " cannot be built: it would have more than " + std::to_string(MaxGridNodes) + " nodes");
    if (rows == 1 && columns > 1)
        throw TError(what + " is not supported: a map of one row must have one column as well "
                            "(for a chain of nodes, use several rows of one column)");
    if (layers > 1 && gridType != GridRectangular)
        throw TError(what + " is not supported: only rectangular maps may have more than one layer");
    if (layers > 1 && (rows < 2 || columns < 2))
        throw TError(what + " is not supported: a map of several layers needs at least 2 rows and 2 columns");
    if (gridType == GridHexagonal && columns < 2)
        throw TError(what + " is not supported: a hexagonal map needs at least 2 columns");
    if ((gridType == GridSpherical || gridType == GridToroidal || gridType == GridCircle) && (rows < 2 || columns < 2))
        throw TError(what + " is not supported: a " + type + " map needs at least 2 rows and 2 columns");
}

std::unique_ptr<TRectangularGrid> CreateGrid(int gridType, int rows, int columns, int layers, int dimension)
{
    CheckGridSizes(gridType, rows, columns, layers);
    auto grid = NewGrid(gridType);
    grid->P = rows;
    grid->Q = columns;
    grid->R = layers;
    grid->TopologyDim = 2;
    if (gridType == GridRectangular || gridType == GridHexagonal) {
        if (columns == 1)
            grid->TopologyDim = 1;
        if (layers > 1)
            grid->TopologyDim = 3;
    }
    grid->Dimension = dimension;
    grid->Build();
    return grid;
}

} // namespace orbelin::map

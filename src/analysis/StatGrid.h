// The grid of texts an analysis page shows, with the colour of each cell's text.
#pragma once

#include "numeric/TArray.h"

#include <functional>
#include <string>
#include <vector>

namespace orbelin::analysis {

/// The text colours the statistics pages give cells.
enum class TCellColor : unsigned char { Default, Grey, Green, Blue, Red };

/// A page grid: Cells[row][column] as the window shows it (row 0 holds the headers), and
/// one colour per cell. Every row has the same number of columns.
struct TStatGrid {
    TArray2S Cells;
    std::vector<std::vector<TCellColor>> Colors;

    /// rows x columns empty cells of the default colour.
    void Resize(int rows, int columns);
    int RowCount() const { return static_cast<int>(Cells.size()); }
    int ColumnCount() const { return Cells.empty() ? 0 : static_cast<int>(Cells[0].size()); }
    std::string& At(int row, int column)
    {
        return Cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    const std::string& At(int row, int column) const
    {
        return Cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    void SetColor(int row, int column, TCellColor color)
    {
        Colors[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = color;
    }
    TCellColor Color(int row, int column) const
    {
        return Colors[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
};

/// Reports the share done (0 to 100) of a long computation; returning false cancels it.
using TProgress = std::function<bool(int percent)>;

} // namespace orbelin::analysis

// The table window's grid written as a spreadsheet workbook (.xlsx).
#pragma once

#include "numeric/TArray.h"

#include <string>

namespace orbelin::data {

/// Most characters a worksheet cell holds.
constexpr int XlsxMaxCellLength = 32767;

/// "In Excel": writes the grid as an .xlsx workbook of one worksheet, cell (r, c) of the
/// grid becoming the text of worksheet row r + 1, column c + 1; the desktop program then
/// opens the file. The file is replaced only once the workbook is complete. Raises TError
/// naming the file when the grid does not fit a worksheet (1048576 rows, 16384 columns,
/// 32767 characters per cell) or the workbook cannot be written.
void WriteGridXlsx(const TArray2S& grid, const std::string& path);

} // namespace orbelin::data

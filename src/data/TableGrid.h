// The texts of the table window's grid, and their export as CSV text.
#pragma once

#include "numeric/TArray.h"

#include <string>

namespace orbelin::data {

class TData;
class TDataTable;

/// The grid of the table window: row 0 holds the field names (cell 0 is empty), column 0
/// the 1-based record numbers, and cell (r, c) the value in field c - 1 of the record shown
/// in row r, without leading and trailing blanks. When data is a dataset built on this
/// table, each of its result columns adds a column: its name in row 0, and in row r the
/// value of the record's point (empty when the record is not a point). order[i] is the
/// record shown in row i + 1; an order that does not fit the table stands for record order.
TArray2S TableGrid(const TDataTable& table, const TData* data, const TArray1I& order = {});

/// "In CSV": one line per grid row from row 0, CR LF; every cell from column 0 as a double
/// quote, the text, a double quote and a semicolon (also after the last cell). A double
/// quote inside a text is doubled, so every cell reads back whole. The text is UTF-8
/// after a byte-order mark, which spreadsheet programs need to recognise it. The file is
/// replaced only once it is completely written; raises TError naming the file.
void WriteGridCsv(const TArray2S& grid, const std::string& path);

} // namespace orbelin::data

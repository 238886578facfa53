// The table window's row sorts: a display order of a table's records, rearranged by a
// column's values or by the records' fill colours.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::data {

class TDataTable;

/// The commands "Sort ascending" and "Sort descending".
enum class TSortDirection {
    /// Largest key first; rows with equal keys keep their order.
    Ascending,
    /// Smallest key first; rows with equal keys do not keep their order (see SortRowsByField).
    Descending,
};

/// The display order in which nothing is sorted: order[i] = i.
TArray1I RecordOrder(int recordCount);

/// Rearranges order (order[i] is the record shown in grid row i + 1) by the values of one
/// table field, as the table window's bubble sort does: passes from the bottom row up,
/// "Sort ascending" exchanging neighbours when the lower key is greater, "Sort descending"
/// when it is not greater. The result depends on the order it starts from, since
/// "Sort descending" exchanges rows with equal keys. Keys of numeric fields (SmallInt,
/// Integer, Word, Float, Currency) are the values as numbers, an empty value or one that is
/// not a number counting as 1e100; keys of other fields are the values without leading
/// and trailing blanks, compared byte by byte. Runs in O(R log R) for most tables and
/// O(R^1.5) at worst, giving the bubble sort's result exactly.
void SortRowsByField(const TDataTable& table, int field, TSortDirection direction, TArray1I& order);

/// The same for a column that is not a table field (a result column): cells[r] is the text
/// the column shows for record r, compared byte by byte.
void SortRowsByTexts(const TArray1S& cells, TSortDirection direction, TArray1I& order);

/// "Sort by colors": the largest fill colour (FILLCOLOR as an integer) first, so rows of
/// one colour end up together; rows of equal colour keep their order.
void SortRowsByColor(const TDataTable& table, TArray1I& order);

} // namespace orbelin::data

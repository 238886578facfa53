// Paradox tables (.db) read as data tables.
#pragma once

#include <string>

namespace orbelin::data {

class TDataTable;

/// Reads a Paradox table into table (names, types, descriptors, values and counts; the
/// caller sets the rest).
///
/// Types: Alpha String; Short SmallInt; Long and AutoInc Integer; Number Float; Money
/// Currency; Logical Boolean ("TRUE"/"FALSE"); Date ("YYYY-MM-DD"); Time ("HH:MM:SS");
/// Timestamp DateTime ("YYYY-MM-DD HH:MM:SS"); memo, blob and graphic fields Memo with
/// empty values (the blob file is not read); BCD and Bytes Unknown with empty values.
/// Numbers are written in their shortest exact form; NULL values are empty. Text is
/// decoded by the table's code page (1251, 866 or 1252), else as UTF-8 when valid and as
/// Windows-1251 otherwise. Raises TError naming the file when it cannot be opened or its
/// header does not fit it.
void ReadParadoxTable(const std::string& path, TDataTable& table);

} // namespace orbelin::data

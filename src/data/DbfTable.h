// dBase tables (.dbf) read as data tables.
#pragma once

#include <string>

namespace orbelin::data {

class TDataTable;

/// Reads a dBase III or IV table into table (names, types, descriptors, values and counts;
/// the caller sets the rest). Deleted records are left out.
///
/// Types: C String; N SmallInt (no decimals, width up to 4), Integer (no decimals, width
/// up to 9) or Float; F Float; L Boolean ("TRUE"/"FALSE"); D Date ("YYYY-MM-DD"); M Memo
/// (empty values: the memo file is not read); any other type Unknown, with its text.
/// Numbers keep the text the file holds; blank and overflow ("***") cells are empty.
/// Text is decoded by the table's language driver or its .cpg file: Windows-1251, DOS
/// 866, Windows-1252 or UTF-8, else UTF-8 when valid and Windows-1251 otherwise.
/// Raises TError naming the file when it cannot be opened or its header does not fit it.
void ReadDbfTable(const std::string& path, TDataTable& table);

} // namespace orbelin::data

// CSV and TSV files read as tables: the first row names the fields, the types are
// inferred from the values.
#pragma once

#include <string>

namespace orbelin::data {

class TDataTable;

/// Reads a CSV or TSV file into table (names, types, descriptors, values and counts; the
/// caller sets the rest).
///
/// The delimiter is detected among comma, semicolon and tab (a first line "sep=X" names it);
/// quoting follows RFC 4180, line breaks inside quotes included. The bytes are UTF-8 (a
/// byte-order mark is dropped), UTF-16 with a byte-order mark, or else Windows-1251. Line
/// ends may be CR LF, LF or CR; empty lines are skipped. A field is INTEGER when every
/// non-empty value is an integer, FLOAT when every non-empty value is a number, else
/// STRING (also when it has no values at all); numbers lose surrounding blanks. Values
/// "@" and "nan" (any case) are empty, as a table file would read them. Field names are
/// made safe for the table file: characters that cannot stand in a token become "_", an
/// empty name becomes "_", and a repeated name (ignoring letter case) gets "_2", "_3"...
/// A row shorter than the header is filled with empty values; a longer one is an error
/// unless its surplus values are empty.
void ReadCsvTable(const std::string& path, TDataTable& table);

/// The same from bytes held in memory; displayName stands for the file in messages, and
/// its extension ".tsv" makes tab the preferred delimiter.
void ReadCsvBytes(std::string bytes, const std::string& displayName, TDataTable& table);

} // namespace orbelin::data

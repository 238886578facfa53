// The text data file (.dat): counts, one line per field, then the values as tokens.
#pragma once

#include <string>

namespace orbelin::data {

class TDataTable;

/// Reads the fields and values of a text data file into table (names, types, descriptors,
/// values and counts; the caller sets the rest). The first line holds the field count and
/// the record count; field lines give name, type keyword (any letter case) and
/// annotations; values follow as a stream of tokens, and values missing at the end of
/// the file are empty. Raises TError naming the file for a count that is not a
/// non-negative integer or that the file is far too short to hold.
void ReadTextDataFile(const std::string& path, TDataTable& table);

} // namespace orbelin::data

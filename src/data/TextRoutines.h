// Small text and index helpers shared by the readers, the writers and the tools.
#pragma once

#include "numeric/TArray.h"

#include <string>
#include <string_view>

namespace orbelin::data {

/// Index of the last element equal to text (letter case significant), -1 if none.
int IndexOfText(const TArray1S& list, std::string_view text);
/// Index of the last element equal to value, -1 if none.
int IndexOfInt(const TArray1I& list, std::int32_t value);
/// The elements of list other than list[k], in order; k must lie inside the list.
TArray1I DeleteAt(const TArray1I& list, int k);
/// File name without folder and without its last extension; blanks after the extension
/// belong to it. Both "/" and "\" separate folders.
std::string BaseName(std::string_view path);
/// The last extension of a file name with its dot, in lower case (".csv"); empty when the
/// name has none. Both "/" and "\" separate folders.
std::string LowerExtension(std::string_view path);
/// Words separated by runs of blanks, each trimmed, empty words dropped.
TArray1S SplitBlanks(std::string_view text);
/// The text without leading and trailing blanks.
std::string TrimBlanks(std::string_view text);

} // namespace orbelin::data

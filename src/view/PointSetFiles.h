// The colours-and-sizes set file (.obc) and the visibility set file (.obs).
#pragma once

#include "data/TRWFile.h"
#include "numeric/TArray.h"
#include "view/PointSets.h"

#include <string>
#include <vector>

namespace orbelin::view {

/// Writes every set: the number of sets, then per set its name and eight lines, one per
/// PointStyle member in key order, each value followed by one blank. FILLCOLOR and
/// BRDCOLOR are upper-case hexadecimal with at least four digits, the others decimal.
/// Raises TError when the file cannot be written or a name holds a line break; an
/// existing file is replaced only once the new one is complete.
void WriteStyleSets(const std::string& fileName, const std::vector<TStyleSet>& sets, const TArray1S& names);

/// Reads a .obc file (or resource) that is open for reading. A set's record count is the
/// number of values on its first line; its other seven lines must hold as many. Raises
/// TError naming the file and line for a bad count, a value that is not a number, a short
/// line or a file that ends early. sets and names are replaced only when the whole file
/// reads, so a bad file never costs the sets already remembered.
void ReadStyleSets(data::TRWFile& file, std::vector<TStyleSet>& sets, TArray1S& names);
void ReadStyleSets(const std::string& fileName, std::vector<TStyleSet>& sets, TArray1S& names);

/// Writes every visibility set: the number of sets, then per set its name and one line
/// with one flag per data point, each followed by one blank.
void WriteVisibilitySets(const std::string& fileName, const TArray2I& sets, const TArray1S& names);

/// Reads a .obs file (or resource) that is open for reading; the same rules as
/// ReadStyleSets, with one line of decimal integers per set.
void ReadVisibilitySets(data::TRWFile& file, TArray2I& sets, TArray1S& names);
void ReadVisibilitySets(const std::string& fileName, TArray2I& sets, TArray1S& names);

} // namespace orbelin::view

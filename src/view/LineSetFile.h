// The lines file (.obv): one point per line, consecutive points joined in pairs.
#pragma once

#include "data/TRWFile.h"
#include "view/TAddObject.h"

#include <string>

namespace orbelin::view {

/// Reads a .obv file (or resource) that is open for reading into one line set of
/// d = coordCount values per point. Every line that is not blank is one point: its numbers
/// fill the leading coordinates, the others keep the previous point's values (0 for the
/// first point), and numbers beyond d are ignored. L points give the segments (0, 1),
/// (2, 3), ..., L div 2 of them. A bad number raises TError naming the file and line.
TAddLines ReadLineSet(data::TRWFile& file, int coordCount);
TAddLines ReadLineSet(const std::string& fileName, int coordCount);

/// Writes the set so that ReadLineSet gives the same segments: the points as they stand
/// when the segments are (0, 1), (2, 3), ..., else the two ends of every segment in turn.
void WriteLineSet(const std::string& fileName, const TAddLines& set);

} // namespace orbelin::view

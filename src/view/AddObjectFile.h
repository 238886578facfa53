// The additional objects file (.obo): spheres and cylinders, one per line.
#pragma once

#include "data/TRWFile.h"
#include "view/TAddObject.h"

#include <string>

namespace orbelin::view {

/// Reads a .obo file (or resource) that is open for reading and appends its objects, with
/// d = coordCount values per point. Only lines whose second word is "SPHERE" or
/// "CYLINDER" (any letter case) are objects; other lines are skipped.
///
/// - NAME sphere c1 .. cd RADIUS R G B [TEXTURE]
/// - NAME cylinder a1 .. ad b1 .. bd BASERADIUS TOPRADIUS R G B
/// - NAME cylinder CONNECT A B BASERADIUS TOPRADIUS R G B, joining the first coordinate
///   rows of the last objects named A and B that precede it (in the list or in the file).
///
/// A bad number, a colour channel outside 0..255, a line that ends too early or a
/// CONNECT name that matches no object raises TError naming the file and line; the
/// objects appended before it stay.
void ReadAddObjects(data::TRWFile& file, int coordCount, TAddObjects& objects);
void ReadAddObjects(const std::string& fileName, int coordCount, TAddObjects& objects);

/// Writes one line per object in the forms ReadAddObjects reads: a sphere with its
/// texture number when it has one, a cylinder with both ends and both radii. Numbers are
/// written in the shortest form that reads back to the same value. Raises TError when the
/// file cannot be written or a name is empty or holds a blank.
void WriteAddObjects(const std::string& fileName, const TAddObjects& objects);

} // namespace orbelin::view

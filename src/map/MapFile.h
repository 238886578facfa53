// The map file (.obm): one map's parameters, grid, components, shifts and annotations.
#pragma once

#include <string>

namespace orbelin::data {
class TData;
class TRWFile;
} // namespace orbelin::data

namespace orbelin::map {

class TMap;
class TNetGrid;

/// The grid type word of the map file: "CIRCLE", "SPHERICAL", or "RECTANGULAR" for every
/// other grid (hexagonal and toroidal grids included).
const char* GridTypeWord(const TNetGrid& grid);

/// Writes the dataset's current map to BaseName(name) + ".obm" in the working directory;
/// does nothing when the dataset has no map. Raises TError when the map has no grid or
/// the file cannot be written.
void WriteMapFile(const data::TData& dataset, const std::string& name);
/// Writes the map to exactly that path (the file is replaced only when complete).
void WriteMapFileTo(const TMap& map, const std::string& path);
/// Writes the map's sections to a file open for writing.
void WriteMapSections(const TMap& map, data::TRWFile& file);

/// Reads BaseName(name) + ".obm" from the working directory, or the embedded resource
/// BaseName(name) + ".OBM", into the dataset's current map, whose Name becomes
/// BaseName(name). False when the dataset has no map, when its current map is being
/// trained, or on any error (error, when given,
/// receives the message). Parameters read before an error stay in the map; the grid, the
/// map's arrays and the components are replaced only once the grid has been read
/// completely and consistently, so the map never holds a half-read grid.
bool ReadMapFile(data::TData& dataset, const std::string& name, bool fromResource, std::string* error = nullptr);
/// As ReadMapFile, from exactly that path.
bool ReadMapFileFrom(data::TData& dataset, const std::string& path, std::string* error = nullptr);

/// Reads a map file on its own, without a dataset: parameters, grid (with its elastic
/// matrices), components when present, shifts and annotations, but no centre, axes or
/// computed components. For describing a file. Raises TError.
void ReadMapAlone(TMap& map, const std::string& path);

} // namespace orbelin::map

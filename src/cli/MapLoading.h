// Reading a map file together with the dataset it was built on, for the map commands.
#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
class Option;
} // namespace CLI
namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data
namespace orbelin::map {
class TMap;
}

namespace orbelin::cli {

/// The dataset file a map names in "# DATAFILENAME", in the map file's folder; the letter
/// case of the name is ignored when no file matches exactly. Raises TError when the map
/// names none, names a path, or the file is not there.
std::string DatasetBeside(const std::string& mapPath, const std::string& dataFileName);

/// Declares --dataset DATASET.obd, the dataset a map command reads the map with.
CLI::Option* AddDatasetOption(CLI::App& command);

/// Loads the dataset (datasetPath, or the one the map names beside it) with its table and
/// reads the map file into a new map of the dataset, named after the map file, which
/// becomes the dataset's current map. Raises TError when either file cannot be read.
map::TMap& LoadMapWithDataset(const std::string& mapPath, const std::optional<std::string>& datasetPath,
                              data::TData& dataset, data::TDataTable& table);

} // namespace orbelin::cli

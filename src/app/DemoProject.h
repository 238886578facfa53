// The demonstration project loaded at start-up: a map with its table, dataset, point-style
// sets and visibility sets, read from the embedded resources.
#pragma once

#include <string>
#include <vector>

namespace orbelin::app {

/// The files of the demonstration project and where they are read from. The map file names
/// its table and dataset ("# TABLENAME", "# DATAFILENAME"); Table and Dataset are used only
/// when the map is not there.
struct TDemoFiles {
    std::string Map = "IRIS_PC.OBM";
    std::string Table = "IRIS.OBT";
    std::string Dataset = "IRIS.OBD";
    std::string StyleSets = "IRIS.OBC";
    std::string VisibilitySets = "IRIS.OBS";
    /// Empty: the embedded resources. Otherwise a folder that holds the files.
    std::string Folder;
};

/// What loading the demonstration project found.
struct TDemoReport {
    std::vector<std::string> Loaded;  ///< files read, in reading order
    std::vector<std::string> Missing; ///< files that are not there
    std::vector<std::string> Errors;  ///< messages of files that are there but could not be read
    /// The two set lists select their first entries.
    bool SelectFirstSets = false;
    /// The "Connections" drawing switch was turned on: there is a map with a grid, and the
    /// dataset's line sets end with the set joining the points to it.
    bool Connections = false;

    bool Complete() const { return Missing.empty() && Errors.empty(); }
    /// "" when everything was read; otherwise one text that names what was loaded, what is
    /// missing and what failed.
    std::string Message() const;
};

} // namespace orbelin::app

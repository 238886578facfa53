// The project file (.obp): the list of a project's members, and the member files it names.
#pragma once

#include "app/TProject.h"

#include <functional>
#include <string>
#include <vector>

namespace orbelin::app {

/// The folder member files are read from and written to for a project file: the file's
/// own folder, or the working directory when the name has none.
std::string MemberFolder(const std::string& projectFileName);

/// Writes the project file and every member file into the project file's folder: each
/// dataset file, the file of each map that has a grid, and a table file for each table
/// that has none there yet (a table imported from a text, CSV or database file would
/// otherwise be missing when the project is opened again). Every file is written to a
/// temporary file and put in place only when complete, so a failed save leaves the
/// previous files whole; files written before the failure stay written. Raises TError
/// naming the file and the problem, and before writing anything when two datasets or two
/// maps would share one file. The datasets' ActiveMap is left as it was.
void SaveProject(TProject& project, const std::string& fileName);

/// What LoadProject does beyond filling the project.
struct TLoadProjectOptions {
    /// Called for every map once it has been read or created, so the caller can attach
    /// its views.
    std::function<void(map::TMap&)> ConnectMap;
    /// A dataset saved without maps gets a fresh map with its components computed; off,
    /// it stays without maps (for describing a file).
    bool CreateFreshMaps = true;
    /// Receives the message when the load fails.
    std::string* Error = nullptr;
    /// Receives one message per member that was read only in part (the load goes on).
    std::vector<std::string>* Warnings = nullptr;
};

/// Reads a project file into an empty project, with its members from the project file's
/// folder. Returns false when the file or a table it names cannot be read or a count does
/// not parse; what was built so far stays in the project, which the caller discards. A
/// dataset file that cannot be read completely leaves the dataset with what was read.
///
/// Keys are looked up in file order: each key is first searched as an exact header line
/// after the previous one, then, as every token file does, as the first header line
/// that contains it. Keys that run indices together ("# DATANAME120" is dataset 20 of
/// script 1 and dataset 0 of script 12) are thus told apart in files this program
/// writes, while files in any other order read as before.
bool LoadProject(TProject& project, const std::string& fileName, const TLoadProjectOptions& options = {});

} // namespace orbelin::app

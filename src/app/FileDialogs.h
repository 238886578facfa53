// The file dialogs of the main window's commands: their filters, default extensions and
// the working directory they set.
#pragma once

#include "data/TDataTable.h"

#include <string>

namespace orbelin::app {

/// Open dialog filters, numbered as the commands use them.
enum TOpenFilter : int {
    OpenProjectFilter = 0,
    OpenScriptFilter = 1, ///< no command opens script files
    OpenDatasetFilter = 2,
    OpenTableFilter = 3,
    OpenMapFilter = 4,
};
/// Save dialog filters, numbered as the commands use them.
enum TSaveFilter : int {
    SaveProjectFilter = 0,
    SaveScriptFilter = 1, ///< no command saves script files
    SaveDatasetFilter = 2,
    SaveTableFilter = 3,
    SaveMapFilter = 4,
};

/// The filter text of an open dialog, as "description|patterns|..." pairs.
const char* OpenFilterText(TOpenFilter filter);
/// The filter text of a save dialog.
const char* SaveFilterText(TSaveFilter filter);
/// The extension a save dialog gives a name typed without one (".obp").
const char* SaveDefaultExtension(TSaveFilter filter);

/// Choosing a file in a dialog makes its folder the working directory, where member files
/// are read and written by their bare names.
void SetWorkingDirectoryOf(const std::string& path);

/// Shows the open dialog through the user interface; on a choice, sets the working
/// directory and returns true with the path.
bool ChooseFileToOpen(TOpenFilter filter, std::string& path);
/// Shows the save dialog with path as the proposal; on a choice, appends the default
/// extension to a name without one, sets the working directory and returns true.
bool ChooseFileToSave(TSaveFilter filter, std::string& path);

/// The reader Load table uses for a file, by its extension in any letter case: ".obt"
/// table file, ".dat" text data, ".csv" and ".tsv" CSV, anything else a database table.
data::TTableKind TableKindOfFile(const std::string& path);

} // namespace orbelin::app

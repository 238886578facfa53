// The commands of the Selections panel: point-style and visibility sets, additional
// objects, line sets, and writing the marked points' values to a file.
#pragma once

#include "data/TData.h"

#include <string>
#include <vector>

namespace orbelin::app {

/// Dialog filters of these commands, as "description|patterns" pairs.
inline constexpr const char* StyleSetFilter = "Colors and sizes (*.obc)|*.obc";
inline constexpr const char* VisibilitySetFilter = "Visibility sets (*.obs)|*.obs";
inline constexpr const char* ObjectsFilter = "Additional objects (*.obo)|*.obo";
inline constexpr const char* LinesFilter = "Lines (*.obv)|*.obv";
inline constexpr const char* MarkedValuesFilter = "Text files (*.txt)|*.txt|All Files|*.*";

/// "Remember Colors and Sizes": asks for a name ("Name for this setting", "Enter name: ",
/// proposing "Colors and sizes " + (set count + 1)) and appends a copy of every record's
/// point style of the dataset's table. False when the user cancels or there is no table.
bool RememberStyles(data::TData& dataset);
/// The visibility group's "Remember current celection": "Name for this visibility
/// setting", proposing "Visibility " + (set count + 1); appends a copy of Visibility.
bool RememberVisibility(data::TData& dataset);

/// Choosing set index of a list: copies it into the table's point styles, or into the
/// visibility flags. False for an index outside the sets (nothing changes).
bool ChooseStyleSet(data::TData& dataset, int index);
bool ChooseVisibilitySet(data::TData& dataset, int index);

/// "Save this set to file" and "Load Colors and Sizes table" of both groups: a file dialog,
/// then every set is written, or the sets are replaced by the file's. Errors are shown and
/// leave the sets as they were. False when nothing was written or read.
bool SaveStyleSetsToFile(const data::TData& dataset);
bool LoadStyleSetsFromFile(data::TData& dataset);
bool SaveVisibilitySetsToFile(const data::TData& dataset);
bool LoadVisibilitySetsFromFile(data::TData& dataset);

/// "Load objects": appends the file's objects; on an error, shown to the user, the objects
/// appended before it stay. True when the file was read completely.
bool LoadObjectsFromFile(data::TData& dataset);
/// The objects list's save button: writes every object.
bool SaveObjectsToFile(const data::TData& dataset);
/// The objects list's clear button: frees every object.
void ClearObjects(data::TData& dataset);
/// Ticking in the objects list: each object's Visible from its tick; objects beyond the
/// ticks keep theirs.
void SetObjectsVisible(data::TData& dataset, const std::vector<bool>& ticks);

/// "Load lines": appends one line set read from the file.
bool LoadLinesFromFile(data::TData& dataset);

/// What "Write selected to file" writes: for every marked point in mark order, the value
/// of its table record in each of the fields, in the order given, one value per line.
/// Marked points and fields the table does not have are passed over.
std::vector<std::string> MarkedRecordValues(const data::TData& dataset, const std::vector<int>& fields);
/// Writes those values, each line ending with CR LF; raises TError.
void WriteMarkedRecordValues(const data::TData& dataset, const std::vector<int>& fields, const std::string& path);
/// "Write selected to file": a save dialog, then WriteMarkedRecordValues; errors are shown.
bool WriteSelectedToFile(const data::TData& dataset, const std::vector<int>& fields);

} // namespace orbelin::app

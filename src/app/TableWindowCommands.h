// The table window's commands on records, points and tables: what its right clicks and
// pop-up menu entries do to the current script, table and dataset.
#pragma once

#include "app/TProject.h"
#include "numeric/TArray.h"
#include "view/SelectionStyle.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TTablePage;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::app {

/// A right click on a record number: a selected record becomes unselected (its style
/// stays); an unselected one takes the selection style. Returns whether the record is now
/// selected; a record outside the table changes nothing and gives false.
bool ToggleRecordSelection(data::TDataTable& table, int record, const view::TSelectionStyle& style);
/// "Mark": every record listed becomes selected and takes the selection style.
void MarkRecords(data::TDataTable& table, const std::vector<int>& records, const view::TSelectionStyle& style);
/// "Unmark": every record listed becomes unselected.
void UnmarkRecords(data::TDataTable& table, const std::vector<int>& records);

/// "Select", "Deselect" and "Reverse selection" (mode MarkAdd, MarkRemove, MarkToggle):
/// MarkPoints on the points of the records listed that are points of data, with the
/// selection properties' colour and size. "Select" keeps a single point that already has
/// the colour marked, where MarkPoints alone would take its mark away. Returns whether any
/// listed record is a point.
bool MarkRecordPoints(data::TData& data, const std::vector<int>& records, const view::TSelectionProperties& marks,
                      int mode);

/// "Syncronize": rebuilds the dataset's points from the selected records of its table
/// (data::SyncronizeDataset). When no record would give a point, the dataset stays as it
/// was and a message says so; values that are not numbers are reported, as Create dataset
/// does. Visibility flags follow their records (new points are shown) and the maps'
/// projections are marked out of date. Returns whether the points were rebuilt; errors are
/// shown through the user interface.
bool SyncronizeWithTable(data::TData& data);

/// "Change table" without the dialog: re-reads table k of the script from the file (the
/// reader chosen by its extension), sets the script's field choices for it to the new
/// field count, all unset, and the used fields of the datasets built on it to their
/// coordinates' new positions. The table stays as it was, with a message, when the file
/// cannot be read or lacks what a dataset built on the table needs: a field of every
/// coordinate and a record for every point. Returns whether the table was re-read.
bool ChangeTableFromFile(TScript& script, int k, const std::string& path);
/// "Change table": the open dialog (no filter, proposing the table's path), then
/// ChangeTableFromFile. False when the dialog is cancelled.
bool ChangeTableCommand(TScript& script, int k);

/// Writes a derived table to its file in the working directory with SaveTable and reads it
/// back as a new table of the script, which becomes current. Returns its index, or -1
/// after a message when it cannot be written or read.
int AddDerivedTable(TScript& script, const data::TDataTable& derived);
/// "Transpose" of the script's current dataset and its table; -1 without a dataset.
int AddTransposedTable(TScript& script);
/// The first principal direction of the map's dataset: the map's first component when it
/// has one of the dataset's dimension, otherwise one fitted to the dataset's points.
TArray1D FirstPrincipalDirection(const data::TData& data, const map::TMap& map);
/// "Subtract first PC" with the script's current dataset, its table and its current map;
/// -1 without a current map.
int AddTableWithoutFirstComponent(TScript& script);

/// "In CSV": the save dialog (proposing the table's base name with ".csv", which a name
/// typed without an extension gets), then the page's grid as CSV text. Returns whether the
/// file was written; errors are shown.
bool ExportPageCsv(const data::TTablePage& page);
/// "In Excel": the page's grid as an .xlsx workbook at path. Returns whether it was
/// written; errors are shown.
bool ExportPageXlsx(const data::TTablePage& page, const std::string& path);

} // namespace orbelin::app

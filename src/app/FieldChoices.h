// The rules of the Table panel: marking coordinate fields, choosing their normalisations
// and creating a dataset from those choices.
#pragma once

#include "app/TProject.h"

#include <string>
#include <vector>

namespace orbelin::app {

/// The field choices of the script's current table, or null when it has none.
std::vector<data::TFieldChoice>* CurrentChoices(TScript& script);
const std::vector<data::TFieldChoice>* CurrentChoices(const TScript& script);

/// A check mark in the field list changed. Every mark change stores, for every field,
/// Use := its mark and Std := its mark, so a separately chosen Std is reset to the marks.
/// Marking a field that cannot be marked changes nothing and returns false.
bool SetFieldMark(TScript& script, int field, bool marked);

/// The field list's pop-up entries "Mark", "Clear marks" and "Invert marks".
enum class TMarkOperation { Mark, Clear, Invert };
/// Applies the operation to the highlighted fields (marking and inverting skip fields that
/// cannot be marked), then stores the marks as SetFieldMark does.
void ApplyMarkOperation(TScript& script, const std::vector<int>& highlighted, TMarkOperation operation);

/// The four normalisation check boxes.
enum class TNormalisation { Log, Tanh, Range, Std };
/// Sets that choice, for every highlighted field, to state. With no field highlighted
/// nothing changes.
void SetNormalisation(TScript& script, const std::vector<int>& highlighted, TNormalisation which, bool state);

/// One entry of the field list: the field's name, its mark (Use), and whether it can be
/// marked at all.
struct TFieldListRow {
    std::string Name;
    bool Marked = false;
    bool Enabled = false;
};
/// The field list of the current table, as the refreshed panel shows it; empty without one.
std::vector<TFieldListRow> FieldList(const TScript& script);

/// What the normalisation group shows.
struct TNormalisationGroup {
    std::string Caption;
    int ShownField = -1;         ///< the field whose choices the boxes show, -1 for none
    data::TFieldChoice Shown;    ///< that field's choices (all false when none)
    bool BoxesShowField = false; ///< false when the boxes keep their states (several fields highlighted)
};
/// The group after a click in the field list: "Normalizing selected fields" with two or
/// more fields highlighted, otherwise "Normalizing field : " and the name of the last
/// highlighted field (or of field 0 when none is), whose choices the boxes show.
TNormalisationGroup GroupAfterClick(const TScript& script, const std::vector<int>& highlighted);
/// The group when the panel is refreshed: "Field normal. : ..." and field 0's choices.
TNormalisationGroup GroupOnRefresh(const TScript& script);

/// What Create dataset did.
struct TCreateDatasetResult {
    data::TData* Dataset = nullptr; ///< the new current dataset; null when nothing was created
    int UnparsedCells = 0;          ///< values of marked fields that are not numbers (now gaps)
    int FirstUnparsedRecord = -1;   ///< table record of the first of them
    int FirstUnparsedField = -1;    ///< table field of the first of them
};

/// The name Create dataset gives the next dataset of the script: "Datasets", the script's
/// index and the script's dataset count + 1 ("Datasets01" for the first of script 0).
/// When that name is already taken in the project (digits run together, so script 1's
/// twelfth and script 11's second dataset would both be "Datasets112", and deleting
/// datasets frees low numbers), the count goes on up to the first free name: two datasets
/// of one name would write one file.
std::string NextDatasetName(const TScript& script);

/// Creates a dataset from the current table's choices: adds it under NextDatasetName,
/// copies excludeGaps, builds and normalises it. When the table has no records or no
/// field is marked, the new dataset is removed again and Dataset is null.
TCreateDatasetResult CreateDataset(TScript& script, bool excludeGaps);

/// The text that tells the user about values of marked fields that are not numbers, or ""
/// when there were none.
std::string UnparsedCellsMessage(const TCreateDatasetResult& result);

} // namespace orbelin::app

// The table window's operations on a table and the current dataset: rebuilding the
// dataset's points, re-reading the table and deriving new tables.
#pragma once

#include "data/DatasetBuild.h"
#include "data/TDataTable.h"

#include <string>

namespace orbelin::data {

/// "Syncronize": rebuilds data's points from the selected records of table (normally
/// data.Table) with the stored NormStat, which does not change. A coordinate's field is
/// found by name ignoring letter case. An empty value, or one that is not a number (these
/// are counted in the result), is a missing coordinate; a record with a missing coordinate
/// becomes a point unless data.ExcludeGaps, as in BuildFromTable. Points are multiplied by
/// data.Scale, so a scaled dataset stays scaled. The point selection, result columns and
/// weights follow their records; points of records that were not points before get no
/// mark, empty result texts and weight 0. Raises TError when a coordinate has no field.
TBuildResult SyncronizeDataset(TData& data, const TDataTable& table);

/// "Change table": re-reads table from another file, the reader chosen by the extension
/// (".obt" table file, ".dat" text data file, ".csv" and ".tsv" CSV, anything else a
/// database table). On an error the table is left as it was. The caller resets the
/// table's field choices and checks the datasets built on it.
void ChangeTable(TDataTable& table, const std::string& path);

/// The file a derived table is saved under: the table's Name followed by suffix and
/// ".obt" ("IRIS.OBT_T.obt" for "_T").
std::string DerivedTableFileName(const TDataTable& table, const std::string& suffix);

/// "Transpose": a table with one record per coordinate of data: the field "Feature" holds
/// the coordinate's name, the fields "D1", "D2"... the annotations of its table field,
/// and "F1".."FN" the N points' normalised values (FixedText with width 6 and 4
/// decimals; empty when missing). Field Fj's descriptor carries as annotations the String
/// values of the record of point j, quoted, "@" when empty. Widths are 5; Path and Name
/// are those of DerivedTableFileName(table, "_T").
TDataTable TransposeTable(const TData& data, const TDataTable& table);

/// "Subtract first PC": a copy of table in which every record's coordinate values x (all
/// records, normalised with the stored NormStat) are replaced by x - (x.v) v, v being the
/// principal direction (one entry per coordinate), over the coordinates present, converted
/// back to table units and written with up to 15 significant digits; a missing result is
/// an empty value. Integer coordinate fields become Float. Path and Name are those of
/// DerivedTableFileName(table, "_sPC1"). Raises TError when a coordinate has no field or
/// the direction has the wrong length.
TDataTable SubtractFirstComponent(const TData& data, const TDataTable& table, const TArray1D& direction);

} // namespace orbelin::data

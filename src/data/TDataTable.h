// A data table: records of typed fields whose values are all held as text, with a point
// style per record.
#pragma once

#include "data/PointStyle.h"
#include "numeric/TArray.h"

#include <optional>
#include <string>
#include <vector>

namespace orbelin::data {

/// Where LoadTable reads a table from. Database tables (dBase .dbf or Paradox .db, chosen by
/// the extension), text data files and CSV or TSV files are read by their own readers;
/// kinds 1 and 3 are the table file format.
enum class TTableKind : int {
    Database = 0,
    TableFile = 1,
    TextData = 2,
    Resource = 3,
    Csv = 4,
};

/// Values are never edited in place: a table is filled once by LoadTable, and only its
/// point styles change afterwards. Derived tables are new tables.
class TDataTable {
public:
    std::string Path;  ///< the source exactly as passed to LoadTable
    std::string Name;  ///< BaseName(Path) + ".OBT": identity in project and dataset files
    int RecordCount = 0;
    int FieldCount = 0;
    TArray1S FieldNames;
    TArray1T FieldTypes;
    TArray1I FieldWidths;
    TArray2S Values;            ///< [RecordCount][FieldCount]; "" is an empty value
    TArray2S FieldDescriptors;  ///< per field: name, type keyword, "TRUE", annotations...
    std::vector<PointStyle> PointStyles;

    /// Recomputes every field's display width: the longest value in characters, at
    /// least the name's length plus 2.
    void ComputeFieldWidths();
    /// Gives every record the default point style.
    void ResetPointStyles();
};

/// Fills table from a source. Raises TError when the source cannot be opened or does not
/// hold a table; the table is then left as it was. A path ending in ".csv" or ".tsv" (any
/// letter case) is read as a CSV file whatever file kind is asked for.
void LoadTable(TDataTable& table, const std::string& path, TTableKind kind);

/// Field names that a table file stores and reads back as they are, for tables read from
/// other formats: blanks around a name are dropped, characters that cannot stand in a token
/// become "_", an empty name becomes "_", a name a table file would read as empty ("@",
/// "nan") gets a leading "_", and a repeated name (letter case ignored, as FieldIndex does)
/// gets "_2", "_3"...
TArray1S SafeFieldNames(const TArray1S& names);

/// The kind of table a file name's extension stands for, letter case ignored: ".obt" table
/// file, ".dat" text data file, ".csv" and ".tsv" CSV, ".dbf" and ".db" database table;
/// nothing for any other extension.
std::optional<TTableKind> TableKindOfPath(const std::string& path);

/// True for the types a dataset takes coordinates from: SmallInt, Integer, Word, Float and
/// Currency.
bool IsNumericFieldType(TFieldType type);

/// Writes the table file, replacing an existing file only once the whole file is written.
void SaveTable(const TDataTable& table, const std::string& fileName);

/// Index of the first field whose name equals name ignoring letter case, -1 if none.
int FieldIndex(const TDataTable& table, const std::string& name);

/// The keyword a type is saved under in table files. Database types without a keyword
/// of their own are saved under the nearest one (Word as "INTEGER", Currency as "FLOAT",
/// Time as "DATE", Memo as "STRING"); only Unknown has none.
std::string FieldTypeKeyword(TFieldType type);
/// The type a table file's keyword stands for (letter case significant), or Unknown.
TFieldType FieldTypeFromKeyword(const std::string& keyword);
/// The upper-case name of a type for listings: "FLOAT", "SMALLINT", "CURRENCY", "UNKNOWN"...
std::string FieldTypeName(TFieldType type);

} // namespace orbelin::data

// The table file format (.obt) and the table operations that every kind of table shares.
#include "data/TDataTable.h"

#include "data/Cp1251.h"
#include "data/CsvTable.h"
#include "data/DbfTable.h"
#include "data/ParadoxTable.h"
#include "data/SafeFiles.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextDataFile.h"
#include "data/TextRoutines.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace orbelin::data {
namespace {

bool IsPlainToken(const std::string& value)
{
    std::string bytes;
    Utf8ToCp1251(value, bytes);
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return IsTokenByte(static_cast<unsigned char>(c)); });
}

std::string ValueText(TRWFile& file, const TDataTable& table, int record, int field)
{
    const std::string& value = table.Values[static_cast<std::size_t>(record)][static_cast<std::size_t>(field)];
    if (value.empty())
        return "@";
    // Strings are always quoted. Other values are written as they are, unless they would
    // not read back as one token (date-times hold blanks and colons). A double quote or a
    // character outside Windows-1251 makes the file a UTF-8 one (TRWFile).
    if (table.FieldTypes[static_cast<std::size_t>(field)] == TFieldType::String || !IsPlainToken(value))
        return file.QuotedToken(value);
    return value;
}

// Reads the table file sections into table (kinds 1 and 3).
void ReadTableSections(TRWFile& file, TDataTable& table)
{
    // Every table file declares its fields and records: a file without these sections
    // (an empty one, or one of another kind) holds no table.
    const auto require = [&file](const char* key) {
        if (!file.FindKey(key))
            throw TError("file " + file.FileName() + ": no \"# " + key + "\" section; this is not a table file");
    };
    int fieldCount = 0, recordCount = 0;
    require("FIELDCOUNT");
    file.ReadInt(fieldCount);
    require("TABLECOUNT");
    file.ReadInt(recordCount);
    const auto size = static_cast<long long>(file.SourceSize());
    if (fieldCount < 0 || recordCount < 0)
        throw TError("file " + file.FileName() + ": negative field or record count (" + std::to_string(fieldCount) +
                     " fields, " + std::to_string(recordCount) + " records)");
    // Every field line and every record line of a real file takes at least one line end,
    // and every value at least two bytes, so larger counts cannot be true.
    if (fieldCount > size || recordCount > size ||
        static_cast<long long>(fieldCount) * recordCount > size / 2)
        throw TError("file " + file.FileName() + ": declares " + std::to_string(recordCount) + " records of " +
                     std::to_string(fieldCount) + " fields but is only " + std::to_string(size) + " bytes long");
    table.FieldCount = fieldCount;
    table.RecordCount = recordCount;

    require("TABLEFIELDS");
    table.FieldDescriptors = file.ReadStringMatrix(0, fieldCount);
    table.FieldNames.assign(static_cast<std::size_t>(fieldCount), std::string());
    table.FieldTypes.assign(static_cast<std::size_t>(fieldCount), TFieldType::Unknown);
    for (int i = 0; i < fieldCount; ++i) {
        const TArray1S& descriptor = table.FieldDescriptors[static_cast<std::size_t>(i)];
        if (!descriptor.empty())
            table.FieldNames[static_cast<std::size_t>(i)] = descriptor[0];
        if (descriptor.size() > 1)
            table.FieldTypes[static_cast<std::size_t>(i)] = FieldTypeFromKeyword(descriptor[1]);
    }

    if (recordCount > 0)
        require("STRINGTABLE");
    if (fieldCount > 0)
        table.Values = file.ReadStringMatrix(fieldCount, recordCount);
    else
        table.Values.assign(static_cast<std::size_t>(recordCount), TArray1S());
}

void ReadDatabaseTable(const std::string& path, TDataTable& table)
{
    const std::string ext = LowerExtension(path);
    if (ext == ".dbf")
        ReadDbfTable(path, table);
    else if (ext == ".db")
        ReadParadoxTable(path, table);
    else
        throw TError("cannot load " + path + " as a database table: expected a dBase (.dbf) or Paradox (.db) file");
}

} // namespace

void TDataTable::ComputeFieldWidths()
{
    FieldWidths.assign(static_cast<std::size_t>(FieldCount), 0);
    for (int j = 0; j < FieldCount; ++j) {
        std::size_t width = Utf8Length(FieldNames[static_cast<std::size_t>(j)]) + 2;
        for (const TArray1S& row : Values)
            width = std::max(width, Utf8Length(row[static_cast<std::size_t>(j)]));
        FieldWidths[static_cast<std::size_t>(j)] = static_cast<int>(width);
    }
}

void TDataTable::ResetPointStyles()
{
    PointStyles.assign(static_cast<std::size_t>(RecordCount), DefaultPointStyle);
}

void LoadTable(TDataTable& table, const std::string& path, TTableKind kind)
{
    TDataTable loaded;
    loaded.Path = path;
    loaded.Name = BaseName(path) + ".OBT";
    if (kind != TTableKind::Resource && TableKindOfPath(path) == TTableKind::Csv)
        kind = TTableKind::Csv;
    if (kind != TTableKind::Resource)
        CheckNotDirectory(path);
    switch (kind) {
    case TTableKind::TableFile:
    case TTableKind::Resource: {
        TRWFile file;
        if (kind == TTableKind::TableFile)
            file.OpenForReading(path);
        else
            file.OpenResource(loaded.Name);
        ReadTableSections(file, loaded);
        file.Close();
        break;
    }
    case TTableKind::TextData:
        ReadTextDataFile(path, loaded);
        break;
    case TTableKind::Database:
        ReadDatabaseTable(path, loaded);
        break;
    case TTableKind::Csv:
        ReadCsvTable(path, loaded);
        break;
    default:
        throw TError("cannot load " + path + ": unknown kind of table " + std::to_string(static_cast<int>(kind)));
    }
    loaded.ComputeFieldWidths();
    loaded.ResetPointStyles();
    table = std::move(loaded);
}

void SaveTable(const TDataTable& table, const std::string& fileName)
{
    TRWFile file;
    file.CreateForWriting(fileName);
    file.WriteLine("# TABLENAME");
    file.WriteLine(table.Name);
    file.WriteLine("");
    file.WriteLine("# FIELDCOUNT");
    file.WriteLine(std::to_string(table.FieldCount));
    file.WriteLine("");
    file.WriteLine("# TABLECOUNT");
    file.WriteLine(std::to_string(table.RecordCount));
    file.WriteLine("");
    file.WriteLine("");
    file.WriteLine("# TABLEFIELDS");
    for (int j = 0; j < table.FieldCount; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        std::string line = table.FieldNames[jj] + " " + FieldTypeKeyword(table.FieldTypes[jj]) + " TRUE";
        const TArray1S& descriptor = table.FieldDescriptors.size() > jj ? table.FieldDescriptors[jj] : TArray1S();
        for (std::size_t k = 3; k < descriptor.size(); ++k)
            line += " " + descriptor[k];
        file.WriteLine(line);
    }
    file.WriteLine("");
    file.WriteLine("# STRINGTABLE");
    for (int i = 0; i < table.RecordCount; ++i) {
        for (int j = 0; j < table.FieldCount; ++j)
            file.Write(ValueText(file, table, i, j) + " ");
        file.WriteLine("");
    }
    file.WriteLine("");
    file.Close();
}

TArray1S SafeFieldNames(const TArray1S& names)
{
    TArray1S safe;
    std::unordered_set<std::string> taken;
    // The next suffix to try per name: each count only goes up, so a header of thousands of
    // equal names takes linear time instead of trying "_2", "_3"... again for every one.
    std::unordered_map<std::string, int> nextSuffix;
    for (const std::string& raw : names) {
        std::string bytes;
        // Characters without a Windows-1251 byte become "?", which is no token byte either.
        Utf8ToCp1251(TrimBlanks(raw), bytes);
        for (char& b : bytes)
            if (!IsTokenByte(static_cast<unsigned char>(b)))
                b = '_';
        const bool readsEmpty = bytes == "@" || (bytes.size() == 3 && FoldCase(bytes) == "nan");
        if (bytes.empty() || readsEmpty)
            bytes.insert(bytes.begin(), '_');
        const std::string base = Cp1251ToUtf8(bytes);
        std::string name = base;
        if (taken.count(FoldCase(name))) {
            int& k = nextSuffix.try_emplace(FoldCase(base), 2).first->second;
            do
                name = base + "_" + std::to_string(k++);
            while (taken.count(FoldCase(name)));
        }
        taken.insert(FoldCase(name));
        safe.push_back(std::move(name));
    }
    return safe;
}

std::optional<TTableKind> TableKindOfPath(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    if (ext == ".obt")
        return TTableKind::TableFile;
    if (ext == ".dat")
        return TTableKind::TextData;
    if (ext == ".csv" || ext == ".tsv")
        return TTableKind::Csv;
    if (ext == ".dbf" || ext == ".db")
        return TTableKind::Database;
    return std::nullopt;
}

bool IsNumericFieldType(TFieldType type)
{
    return type == TFieldType::SmallInt || type == TFieldType::Integer || type == TFieldType::Word ||
           type == TFieldType::Float || type == TFieldType::Currency;
}

int FieldIndex(const TDataTable& table, const std::string& name)
{
    const std::string folded = FoldCase(name);
    for (int j = 0; j < table.FieldCount; ++j)
        if (FoldCase(table.FieldNames[static_cast<std::size_t>(j)]) == folded)
            return j;
    return -1;
}

std::string FieldTypeKeyword(TFieldType type)
{
    switch (type) {
    case TFieldType::String:
    case TFieldType::Memo:
        return "STRING";
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    case TFieldType::Word:
        return "INTEGER";
    case TFieldType::Boolean:
        return "BOOLEAN";
    case TFieldType::Float:
    case TFieldType::Currency:
        return "FLOAT";
    case TFieldType::Date:
    case TFieldType::Time:
    case TFieldType::DateTime:
        return "DATE";
    case TFieldType::Unknown:
        break;
    }
    return "";
}

TFieldType FieldTypeFromKeyword(const std::string& keyword)
{
    if (keyword == "FLOAT")
        return TFieldType::Float;
    if (keyword == "INTEGER")
        return TFieldType::Integer;
    if (keyword == "STRING")
        return TFieldType::String;
    if (keyword == "DATE")
        return TFieldType::Date;
    if (keyword == "BOOLEAN")
        return TFieldType::Boolean;
    return TFieldType::Unknown;
}

std::string FieldTypeName(TFieldType type)
{
    switch (type) {
    case TFieldType::String: return "STRING";
    case TFieldType::SmallInt: return "SMALLINT";
    case TFieldType::Integer: return "INTEGER";
    case TFieldType::Word: return "WORD";
    case TFieldType::Boolean: return "BOOLEAN";
    case TFieldType::Float: return "FLOAT";
    case TFieldType::Currency: return "CURRENCY";
    case TFieldType::Date: return "DATE";
    case TFieldType::Time: return "TIME";
    case TFieldType::DateTime: return "DATETIME";
    case TFieldType::Memo: return "MEMO";
    case TFieldType::Unknown: break;
    }
    return "UNKNOWN";
}

} // namespace orbelin::data

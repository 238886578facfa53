// Reading the text data file (.dat).
#include "data/TextDataFile.h"

#include "data/MemoryBudget.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"

#include <algorithm>
#include <cctype>

namespace orbelin::data {
namespace {

int ReadCount(TRWFile& file, const char* what)
{
    const std::string token = file.ReadToken();
    int value = 0;
    if (!ParseInteger(token, value, false) || value < 0)
        throw TError("text data file " + file.FileName() + ": expected the " + what +
                     " as a non-negative integer on the first line, found " +
                     (token.empty() ? std::string("the end of the file") : "\"" + token + "\""));
    return value;
}

std::string UpperAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool IsEmptyValueToken(const std::string& token)
{
    return token == "@" || UpperAscii(token) == "NAN";
}

} // namespace

void ReadTextDataFile(const std::string& path, TDataTable& table)
{
    TRWFile file;
    file.OpenForReading(path);
    const int fieldCount = ReadCount(file, "field count");
    const int recordCount = ReadCount(file, "record count");
    const long long size = static_cast<long long>(file.SourceSize());
    // Each field takes a line of its own, and each value a byte and a separator.
    if (fieldCount > size || recordCount > size || static_cast<long long>(fieldCount) * recordCount > size / 2 + 1)
        throw TError("text data file " + path + ": declares " + std::to_string(recordCount) + " records of " +
                     std::to_string(fieldCount) + " fields but is only " + std::to_string(size) + " bytes long");

    table.FieldCount = fieldCount;
    table.RecordCount = recordCount;
    table.FieldNames.clear();
    table.FieldTypes.clear();
    table.FieldDescriptors.clear();
    for (TArray1S& tokens : file.ReadStringMatrix(0, fieldCount)) {
        // A line that starts with an empty quoted name gives no tokens at all; a table
        // cannot keep a field without a name.
        if (tokens.empty() || tokens[0].empty())
            throw TError("text data file " + path + ": field " + std::to_string(table.FieldNames.size() + 1) +
                         " has no name");
        TArray1S descriptor = {tokens[0], tokens.size() > 1 ? tokens[1] : std::string(), "TRUE"};
        descriptor.insert(descriptor.end(), tokens.begin() + std::min<std::ptrdiff_t>(2, tokens.size()), tokens.end());
        table.FieldNames.push_back(tokens[0]);
        table.FieldTypes.push_back(FieldTypeFromKeyword(UpperAscii(descriptor[1])));
        table.FieldDescriptors.push_back(std::move(descriptor));
    }

    // Line breaks do not matter between values, but every declared value must be there: a
    // file cut short would otherwise read as its declared records, nearly all empty.
    table.Values.clear();
    table.Values.reserve(static_cast<std::size_t>(recordCount));
    const std::size_t memoryLimit = TableMemoryLimit(file.SourceSize());
    std::size_t memory = 0;
    for (int r = 0; r < recordCount; ++r) {
        TArray1S row(static_cast<std::size_t>(fieldCount));
        for (int f = 0; f < fieldCount; ++f) {
            std::string token = file.ReadToken();
            // An empty token is either a quoted "" or the end of the stream.
            if (token.empty() && file.AtEnd())
                throw TError("text data file " + path + ": declares " + std::to_string(recordCount) +
                             " records of " + std::to_string(fieldCount) + " fields, but ends in record " +
                             std::to_string(r + 1) + " before the value of field " +
                             table.FieldNames[static_cast<std::size_t>(f)]);
            if (!IsEmptyValueToken(token))
                row[static_cast<std::size_t>(f)] = std::move(token);
        }
        memory += RecordMemory(row);
        if (memory > memoryLimit)
            RaiseTableTooLarge("text data file " + path + ", record " + std::to_string(r + 1), memoryLimit,
                               file.SourceSize());
        table.Values.push_back(std::move(row));
    }
    file.Close();
}

} // namespace orbelin::data

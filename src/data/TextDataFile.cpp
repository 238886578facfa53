// Reading the text data file (.dat).
#include "data/TextDataFile.h"

#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"

#include <algorithm>
#include <cctype>

namespace orbelin::data {
namespace {

// Values missing at the end of the file read as empty, so a count is only checked against
// the file's size loosely; this slack lets a short file declare a few more values than it
// holds without opening the way to a declared count of billions.
constexpr long long PaddingSlack = 4096;

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
    // Each field takes a line of its own.
    if (fieldCount > size || recordCount > size + PaddingSlack ||
        static_cast<long long>(fieldCount) * recordCount > size + PaddingSlack)
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

    table.Values.assign(static_cast<std::size_t>(recordCount), TArray1S(static_cast<std::size_t>(fieldCount)));
    bool atEnd = false;
    for (TArray1S& row : table.Values) {
        for (std::string& value : row) {
            std::string token = file.ReadToken();
            // An empty token is either a quoted "" or the end of the stream; at the end,
            // every remaining value stays empty.
            if (token.empty() && file.AtEnd()) {
                atEnd = true;
                break;
            }
            if (!IsEmptyValueToken(token))
                value = std::move(token);
        }
        if (atEnd)
            break;
    }
    file.Close();
}

} // namespace orbelin::data

// Reading CSV and TSV files as tables.
#include "data/CsvTable.h"

#include "data/Cp1251.h"
#include "data/MemoryBudget.h"
#include "data/SafeFiles.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace orbelin::data {
namespace {

constexpr int NoDelimiter = -1;
// Records and bytes looked at to choose the delimiter.
constexpr int SampleRecords = 100;
constexpr std::size_t SampleBytes = 1 << 20;

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        const auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD; // a lone surrogate
        AppendUtf8(out, c);
    }
    return out;
}

// The text with every byte that starts no valid UTF-8 sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i++];
            continue;
        }
        std::size_t length = 2;
        while (length <= 4 && !(i + length <= text.size() && IsValidUtf8(text.substr(i, length))))
            ++length;
        if (length <= 4) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            AppendUtf8(out, 0xFFFD);
            ++i;
        }
    }
    return out;
}

// Turns the bytes into UTF-8 text: byte-order marks decide first, then UTF-8 validity.
void DecodeText(std::string& bytes)
{
    const std::string_view view = bytes;
    if (view.starts_with("\xEF\xBB\xBF")) {
        bytes.erase(0, 3);
        // Text in memory is UTF-8 throughout: a damaged byte after the mark is replaced.
        if (!IsValidUtf8(bytes))
            bytes = RepairUtf8(bytes);
    }
    else if (view.starts_with("\xFF\xFE"))
        bytes = Utf16ToUtf8(view.substr(2), false);
    else if (view.starts_with("\xFE\xFF"))
        bytes = Utf16ToUtf8(view.substr(2), true);
    else if (!IsValidUtf8(bytes))
        bytes = Cp1251ToUtf8(bytes);
}

// Splits the text into records of cells, one record per call.
class TCsvParser {
public:
    TCsvParser(std::string_view text, int delimiter, const std::string& fileName)
        : Text_(text), Delimiter_(delimiter), FileName_(fileName)
    {
    }

    // Reads the next record into cells; false at the end of the text. An empty line gives
    // no cells. With stopAtEnd, a quote left open at the end ends the record instead of
    // raising (the text may be a cut-off sample).
    bool Next(std::vector<std::string>& cells, bool stopAtEnd = false)
    {
        cells.clear();
        const std::size_t n = Text_.size();
        if (Pos_ >= n)
            return false;
        RecordLine_ = Line_;
        if (Text_[Pos_] == '\n' || Text_[Pos_] == '\r') {
            SkipLineEnd();
            return true;
        }
        while (true) {
            std::string& cell = cells.emplace_back();
            if (Text_[Pos_] == '"') {
                if (!ReadQuoted(cell, stopAtEnd))
                    return true;
            }
            ReadPlain(cell);
            if (Pos_ >= n)
                return true;
            if (static_cast<unsigned char>(Text_[Pos_]) == Delimiter_) {
                ++Pos_;
                if (Pos_ >= n) {
                    cells.emplace_back();
                    return true;
                }
                continue;
            }
            SkipLineEnd();
            return true;
        }
    }

    // Line on which the last record read began (1-based).
    long long RecordLine() const { return RecordLine_; }

private:
    // Reads up to the next delimiter or line end, appending to cell. After a closing quote
    // this keeps any stray text, as most spreadsheet programs do.
    void ReadPlain(std::string& cell)
    {
        const std::size_t n = Text_.size();
        const std::size_t start = Pos_;
        while (Pos_ < n) {
            const char c = Text_[Pos_];
            if (c == '\n' || c == '\r' || static_cast<unsigned char>(c) == Delimiter_)
                break;
            ++Pos_;
        }
        cell.append(Text_.data() + start, Pos_ - start);
    }

    // Reads a quoted value from its opening quote; a doubled quote stands for one.
    bool ReadQuoted(std::string& cell, bool stopAtEnd)
    {
        const long long openLine = Line_;
        ++Pos_;
        while (true) {
            const std::size_t close = Text_.find('"', Pos_);
            if (close == std::string_view::npos) {
                if (stopAtEnd) {
                    Pos_ = Text_.size();
                    return false;
                }
                throw TError("file " + FileName_ + ": the quoted value that begins on line " +
                             std::to_string(openLine) + " is not closed before the end of the file");
            }
            const std::string_view part = Text_.substr(Pos_, close - Pos_);
            Line_ += std::count(part.begin(), part.end(), '\n');
            cell.append(part);
            Pos_ = close + 1;
            if (Pos_ < Text_.size() && Text_[Pos_] == '"') {
                cell += '"';
                ++Pos_;
                continue;
            }
            return true;
        }
    }

    void SkipLineEnd()
    {
        if (Pos_ < Text_.size() && Text_[Pos_] == '\r')
            ++Pos_;
        if (Pos_ < Text_.size() && Text_[Pos_] == '\n')
            ++Pos_;
        ++Line_;
    }

    std::string_view Text_;
    int Delimiter_;
    const std::string& FileName_;
    std::size_t Pos_ = 0;
    long long Line_ = 1;
    long long RecordLine_ = 1;
};

// The candidate whose header splits into the most fields and whose following records
// agree with the header most often; ties go to the preferred order.
int DetectDelimiter(std::string_view text, bool preferTab, const std::string& fileName)
{
    const std::string_view sample = text.substr(0, std::min(text.size(), SampleBytes));
    const int order[3] = {preferTab ? '\t' : ',', preferTab ? ',' : ';', preferTab ? ';' : '\t'};
    int best = NoDelimiter;
    long long bestAgreeing = -1;
    std::size_t bestFields = 1;
    std::vector<std::string> cells;
    for (const int candidate : order) {
        TCsvParser parser(sample, candidate, fileName);
        std::size_t headerFields = 0;
        while (parser.Next(cells, true) && cells.empty()) {
        }
        headerFields = cells.size();
        if (headerFields < 2)
            continue;
        long long agreeing = 0;
        for (int r = 0; r < SampleRecords && parser.Next(cells, true);) {
            if (cells.empty())
                continue;
            agreeing += cells.size() == headerFields;
            ++r;
        }
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && headerFields > bestFields)) {
            best = candidate;
            bestAgreeing = agreeing;
            bestFields = headerFields;
        }
    }
    return best;
}

bool IsEmptyValue(const std::string& cell)
{
    if (cell.size() == 1)
        return cell[0] == '@';
    return cell.size() == 3 && (cell[0] | 0x20) == 'n' && (cell[1] | 0x20) == 'a' && (cell[2] | 0x20) == 'n';
}

std::string_view TrimSpace(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "NA" and "N/A", as statistics programs write a missing number. In a column of texts
// they stay what they are (a country code, a chemical symbol).
bool IsNotAvailable(std::string_view cell)
{
    const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
    return (cell.size() == 2 && lower(cell[0]) == 'n' && lower(cell[1]) == 'a') ||
           (cell.size() == 3 && lower(cell[0]) == 'n' && cell[1] == '/' && lower(cell[2]) == 'a');
}

// A number written with one decimal comma ("1,5"), as spreadsheets write them where the
// comma is the decimal separator; such files separate their values by semicolons or tabs.
bool ParseCommaDecimal(std::string_view cell, double& value)
{
    const std::size_t comma = cell.find(',');
    if (comma == std::string_view::npos || cell.find(',', comma + 1) != std::string_view::npos ||
        cell.find('.') != std::string_view::npos)
        return false;
    std::string text(cell);
    text[comma] = '.';
    return ParseDecimal(text, value);
}

// Infers every column's type in one pass over the rows, and strips the blanks around the
// values of numeric columns, empties their "NA" cells and, where the comma does not
// separate values, turns their decimal commas into points.
TArray1T InferTypes(TArray2S& values, std::size_t fieldCount, bool commaDecimals)
{
    enum : unsigned char { AnyValue = 1, NotInteger = 2, NotNumber = 4, HasComma = 8 };
    std::vector<unsigned char> state(fieldCount, 0);
    bool anyPadded = false;
    bool anyNotAvailable = false;
    for (const TArray1S& row : values)
        for (std::size_t j = 0; j < fieldCount; ++j) {
            unsigned char& s = state[j];
            if (s & NotNumber)
                continue;
            const std::string_view cell = TrimSpace(row[j]);
            anyPadded = anyPadded || cell.size() != row[j].size();
            if (cell.empty())
                continue;
            if (IsNotAvailable(cell)) {
                anyNotAvailable = true;
                continue;
            }
            s |= AnyValue;
            int i;
            if (!(s & NotInteger) && ParseInteger(cell, i, false))
                continue;
            s |= NotInteger;
            double x;
            if (ParseDecimal(cell, x))
                continue;
            if (commaDecimals && ParseCommaDecimal(cell, x))
                s |= HasComma;
            else
                s |= NotNumber;
        }
    TArray1T types(fieldCount, TFieldType::String);
    for (std::size_t j = 0; j < fieldCount; ++j)
        if ((state[j] & AnyValue) && !(state[j] & NotNumber))
            types[j] = state[j] & NotInteger ? TFieldType::Float : TFieldType::Integer;
    const bool anyComma = std::any_of(state.begin(), state.end(),
                                      [](unsigned char s) { return (s & HasComma) && !(s & NotNumber); });
    if (anyPadded || anyNotAvailable || anyComma)
        for (TArray1S& row : values)
            for (std::size_t j = 0; j < fieldCount; ++j)
                if (types[j] != TFieldType::String) {
                    const std::string_view trimmed = TrimSpace(row[j]);
                    if (IsNotAvailable(trimmed))
                        row[j].clear();
                    else if (trimmed.size() != row[j].size())
                        row[j] = std::string(trimmed);
                    if (state[j] & HasComma)
                        std::replace(row[j].begin(), row[j].end(), ',', '.');
                }
    return types;
}

} // namespace

void ReadCsvBytes(std::string bytes, const std::string& displayName, TDataTable& table)
{
    DecodeText(bytes);
    std::string_view body = bytes;
    int delimiter = NoDelimiter;
    // A first line "sep=;" names the delimiter, as some spreadsheet programs write it.
    if (body.size() >= 5 && body.starts_with("sep=") && body[4] != '"' && body[4] != '\r' && body[4] != '\n' &&
        (body.size() == 5 || body[5] == '\r' || body[5] == '\n')) {
        delimiter = static_cast<unsigned char>(body[4]);
        body.remove_prefix(5);
        if (!body.empty() && body[0] == '\r')
            body.remove_prefix(1);
        if (!body.empty() && body[0] == '\n')
            body.remove_prefix(1);
    } else {
        delimiter = DetectDelimiter(body, LowerExtension(displayName) == ".tsv", displayName);
    }

    TCsvParser parser(body, delimiter, displayName);
    std::vector<std::string> cells;
    while (parser.Next(cells) && cells.empty()) {
    }
    if (cells.empty())
        throw TError("file " + displayName + " holds no header row of field names");
    const std::size_t fieldCount = cells.size();
    table.FieldNames = SafeFieldNames(cells);

    // Short rows are filled with empty values, but never with more of them than the file
    // has bytes, so a few short lines under a wide header cannot exhaust the memory.
    const std::size_t paddingLimit = body.size() + 1024;
    std::size_t padding = 0;
    TArray2S values;
    const std::size_t memoryLimit = TableMemoryLimit(body.size());
    std::size_t memory = 0;
    // Records are not counted ahead: blank lines would make a count of line ends overstate
    // them without bound.
    while (parser.Next(cells)) {
        // Empty lines, and lines of nothing but blanks, hold no record.
        if (cells.empty() || (cells.size() == 1 && fieldCount > 1 && TrimSpace(cells[0]).empty()))
            continue;
        if (cells.size() > fieldCount) {
            if (std::any_of(cells.begin() + static_cast<std::ptrdiff_t>(fieldCount), cells.end(),
                            [](const std::string& c) { return !TrimSpace(c).empty(); }))
                throw TError("file " + displayName + ", line " + std::to_string(parser.RecordLine()) + ": " +
                             std::to_string(cells.size()) + " values, but the header names only " +
                             std::to_string(fieldCount) + " fields");
            cells.resize(fieldCount);
        } else if (cells.size() < fieldCount) {
            padding += fieldCount - cells.size();
            if (padding > paddingLimit)
                throw TError("file " + displayName + ", line " + std::to_string(parser.RecordLine()) + ": " +
                             std::to_string(cells.size()) + " values, but the header names " +
                             std::to_string(fieldCount) + " fields (too many short rows to fill)");
            cells.resize(fieldCount);
        }
        for (std::string& cell : cells)
            if (IsEmptyValue(cell))
                cell.clear();
        memory += RecordMemory(cells);
        if (memory > memoryLimit)
            RaiseTableTooLarge("file " + displayName + ", line " + std::to_string(parser.RecordLine()), memoryLimit,
                               body.size());
        values.push_back(std::move(cells));
        cells = std::vector<std::string>();
        cells.reserve(fieldCount);
    }
    if (values.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw TError("file " + displayName + " holds more records than a table can have");

    table.FieldCount = static_cast<int>(fieldCount);
    table.RecordCount = static_cast<int>(values.size());
    table.FieldTypes = InferTypes(values, fieldCount, delimiter != ',');
    table.FieldDescriptors.clear();
    for (std::size_t j = 0; j < fieldCount; ++j)
        table.FieldDescriptors.push_back({table.FieldNames[j], FieldTypeKeyword(table.FieldTypes[j]), "TRUE"});
    table.Values = std::move(values);
}

void ReadCsvTable(const std::string& path, TDataTable& table)
{
    ReadCsvBytes(ReadFileBytes(path), path, table);
}

} // namespace orbelin::data

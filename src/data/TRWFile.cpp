// Token file reading and writing.
#include "data/TRWFile.h"

#include "data/Cp1251.h"
#include "data/MemoryBudget.h"
#include "data/Resources.h"
#include "data/SafeFiles.h"
#include "data/TError.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <limits>
#include <type_traits>

#include <unistd.h>

namespace orbelin::data {
namespace {

constexpr unsigned char Quote = '"';
constexpr std::string_view EncodingLine = "# ENCODING UTF-8";

bool IsNanText(std::string_view t)
{
    return t.size() == 3 && (t[0] | 0x20) == 'n' && (t[1] | 0x20) == 'a' && (t[2] | 0x20) == 'n';
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

} // namespace

bool IsTokenByte(unsigned char b)
{
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))
        return true;
    if (b == 168 || b == 184 || b >= 192)
        return true;
    switch (b) {
    case '(': case ')': case '*': case '+': case ',': case '-': case '.':
    case '/': case '=': case '@': case '\\': case '_':
        return true;
    default:
        return false;
    }
}

bool ParseDecimal(std::string_view text, double& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    bool negativeExponent = false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        std::size_t expDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    // from_chars is locale-independent, unlike strtod, whose decimal separator follows
    // the user's locale once a desktop toolkit has set it.
    double magnitude = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + n, magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        if (!negativeExponent)
            return false;
        magnitude = 0.0;
    } else if (result.ec != std::errc() || result.ptr != text.data() + n) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

bool ParseInteger(std::string_view text, int& value, bool allowHex)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (allowHex && i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    if (i == text.size())
        return false;
    long long magnitude = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), magnitude, base);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || magnitude < 0)
        return false;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue < std::numeric_limits<int>::min() || signedValue > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

TRWFile::~TRWFile() = default;

void TRWFile::CreateForWriting(const std::string& fileName)
{
    Close();
    FileName_ = fileName;
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec))
        throw TError("cannot create file " + fileName + ": " + fileName + " is a directory");
    // The file itself is written on Close; a folder that cannot take it is refused now.
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0)
        throw TError("cannot create file " + fileName + ": " + std::strerror(errno));
    Text_.clear();
    Escaped_ = false;
    State_ = TState::Writing;
}

void TRWFile::StartReading()
{
    Resource_ = false;
    Pos_ = 0;
    Utf8_ = false;
    FirstLine_ = 1;
    Section_.clear();
    if (Data_.starts_with(EncodingLine)) {
        std::size_t after = EncodingLine.size();
        if (after < Data_.size() && Data_[after] == '\r')
            ++after;
        if (after >= Data_.size() || Data_[after] == '\n') {
            Data_.remove_prefix(std::min(after + 1, Data_.size()));
            Utf8_ = true;
            FirstLine_ = 2;
            if (!IsValidUtf8(Data_)) {
                std::size_t bad = 0;
                while (true) {
                    const std::size_t lf = Data_.find('\n', bad);
                    const std::size_t end = lf == std::string_view::npos ? Data_.size() : lf;
                    if (!IsValidUtf8(Data_.substr(bad, end - bad)) || lf == std::string_view::npos)
                        break;
                    bad = lf + 1;
                }
                throw TError("file " + FileName_ + ", line " + std::to_string(LineAt(bad)) +
                             ": the file declares UTF-8 text, but this line is not valid UTF-8");
            }
        }
    }
    State_ = TState::Reading;
}

void TRWFile::OpenForReading(const std::string& fileName)
{
    Close();
    FileName_ = fileName;
    Owned_ = ReadFileBytes(fileName);
    Data_ = Owned_;
    StartReading();
}

void TRWFile::OpenResource(const std::string& name)
{
    Close();
    FileName_ = name;
    const auto bytes = FindResource(name);
    if (!bytes)
        throw TError("cannot open resource " + name + ": the program holds no such resource");
    Data_ = *bytes;
    StartReading();
    Resource_ = true;
}

void TRWFile::OpenBytes(std::string bytes, const std::string& displayName)
{
    Close();
    FileName_ = displayName;
    Owned_ = std::move(bytes);
    Data_ = Owned_;
    StartReading();
}

void TRWFile::Close()
{
    if (State_ == TState::Writing) {
        State_ = TState::Closed;
        std::string bytes;
        if (Escaped_ || !Utf8ToCp1251(Text_, bytes)) {
            if (!IsValidUtf8(Text_))
                throw TError("cannot write file " + FileName_ + ": its text is not valid UTF-8");
            bytes.assign(EncodingLine);
            bytes += "\r\n";
            bytes += Text_;
        }
        Text_.clear();
        Text_.shrink_to_fit();
        WriteFileReplacing(FileName_, bytes);
        return;
    }
    State_ = TState::Closed;
    Owned_.clear();
    Owned_.shrink_to_fit();
    Data_ = {};
    Pos_ = 0;
}

void TRWFile::CheckReading() const
{
    if (State_ != TState::Reading)
        throw TError("file " + FileName_ + " is not open for reading");
}

std::string TRWFile::ToText(std::string_view bytes) const
{
    return Utf8_ ? std::string(bytes) : Cp1251ToUtf8(bytes);
}

long long TRWFile::LineAt(std::size_t pos) const
{
    pos = std::min(pos, Data_.size());
    return FirstLine_ + std::count(Data_.begin(), Data_.begin() + static_cast<std::ptrdiff_t>(pos), '\n');
}

std::string TRWFile::Where() const
{
    std::string where = "file " + FileName_;
    if (!Section_.empty())
        where += ", section \"" + Section_ + "\"";
    // At the start of a line the position belongs to the line before: the value just read.
    std::size_t pos = Pos_;
    while (pos > 0 && (Data_[pos - 1] == '\n' || Data_[pos - 1] == '\r'))
        --pos;
    return where + ", line " + std::to_string(LineAt(pos));
}

bool TRWFile::FindKey(std::string_view key)
{
    CheckReading();
    std::string keyBytes;
    if (Utf8_)
        keyBytes = key;
    else
        Utf8ToCp1251(key, keyBytes);
    Pos_ = 0;
    while (Pos_ < Data_.size()) {
        const std::size_t start = Pos_;
        const std::size_t lf = Data_.find('\n', Pos_);
        std::size_t end = lf == std::string_view::npos ? Data_.size() : lf;
        Pos_ = lf == std::string_view::npos ? Data_.size() : lf + 1;
        if (end > start && Data_[end - 1] == '\r')
            --end;
        const std::string_view line = Data_.substr(start, end - start);
        if (!line.empty() && line[0] == '#' && line.find(keyBytes) != std::string_view::npos) {
            Section_ = ToText(line);
            return true;
        }
    }
    Section_.clear();
    return false;
}

std::string TRWFile::ReadLine()
{
    CheckReading();
    if (Pos_ >= Data_.size())
        return {};
    const std::size_t start = Pos_;
    const std::size_t lf = Data_.find('\n', Pos_);
    std::size_t end = lf == std::string_view::npos ? Data_.size() : lf;
    Pos_ = lf == std::string_view::npos ? Data_.size() : lf + 1;
    if (end > start && Data_[end - 1] == '\r')
        --end;
    return ToText(Data_.substr(start, end - start));
}

bool TRWFile::SkipToToken(int& lineEnds)
{
    const std::size_t n = Data_.size();
    while (Pos_ < n) {
        const unsigned char b = static_cast<unsigned char>(Data_[Pos_]);
        if (b == Quote || IsToken(b))
            return false;
        if (b == '#' && (Pos_ == 0 || Data_[Pos_ - 1] == '\n'))
            return true;
        if (b == '\n')
            ++lineEnds;
        ++Pos_;
    }
    return false;
}

bool TRWFile::ReadTokenBytes(std::string& token)
{
    token.clear();
    const std::size_t n = Data_.size();
    while (Pos_ < n) {
        const unsigned char b = static_cast<unsigned char>(Data_[Pos_]);
        if (b == Quote || IsToken(b))
            break;
        ++Pos_;
    }
    if (Pos_ >= n)
        return false;
    if (static_cast<unsigned char>(Data_[Pos_]) == Quote) {
        ++Pos_;
        while (true) {
            const std::size_t close = Data_.find('"', Pos_);
            const std::size_t end = close == std::string_view::npos ? n : close;
            token.append(Data_.substr(Pos_, end - Pos_));
            Pos_ = close == std::string_view::npos ? n : close + 1;
            // Only UTF-8 files escape a quote by doubling it; in the others "" ends the token.
            if (Utf8_ && Pos_ < n && Data_[Pos_] == '"') {
                token += '"';
                ++Pos_;
                continue;
            }
            return true;
        }
    }
    const std::size_t start = Pos_;
    while (Pos_ < n && IsToken(static_cast<unsigned char>(Data_[Pos_])))
        ++Pos_;
    token.assign(Data_.substr(start, Pos_ - start));
    if (Pos_ < n)
        ++Pos_; // the separator after a plain token is consumed
    return true;
}

bool TRWFile::ReadLineTokenBytes(std::string& token)
{
    token.clear();
    const std::size_t n = Data_.size();
    while (Pos_ < n) {
        const unsigned char b = static_cast<unsigned char>(Data_[Pos_]);
        if (b == Quote || IsToken(b))
            break;
        ++Pos_;
    }
    if (Pos_ >= n)
        return false;
    if (static_cast<unsigned char>(Data_[Pos_]) == Quote)
        return ReadTokenBytes(token);
    // The line ends at CR, or at a lone LF: files whose line ends lost their CR would
    // otherwise read as one long line.
    const std::size_t start = Pos_;
    while (Pos_ < n && Data_[Pos_] != '\r' && Data_[Pos_] != '\n')
        ++Pos_;
    token.assign(Data_.substr(start, Pos_ - start));
    if (Pos_ < n)
        ++Pos_;
    return true;
}

std::string TRWFile::ReadToken()
{
    CheckReading();
    std::string token;
    ReadTokenBytes(token);
    return ToText(token);
}

std::string TRWFile::ReadLineToken()
{
    CheckReading();
    std::string token;
    ReadLineTokenBytes(token);
    return ToText(token);
}

TArray1S TRWFile::SplitTokenBytes(std::string_view text) const
{
    std::string bytes(text);
    bytes += "  ";
    TRWFile scanner;
    scanner.Data_ = bytes;
    scanner.Utf8_ = Utf8_;
    scanner.State_ = TState::Reading;
    TArray1S tokens;
    std::string token;
    while (true) {
        scanner.ReadTokenBytes(token);
        if (token.empty() || (token.size() == 1 && token[0] == '\0'))
            break;
        tokens.push_back(ToText(token));
    }
    scanner.Data_ = {};
    scanner.State_ = TState::Closed;
    return tokens;
}

TArray1S TRWFile::SplitTokens(std::string_view text)
{
    std::string bytes;
    Utf8ToCp1251(text, bytes);
    TRWFile scanner;
    return scanner.SplitTokenBytes(bytes);
}

void TRWFile::RaiseTruncated(long long found, long long expected, const char* what) const
{
    std::string where = "file " + FileName_;
    if (!Section_.empty())
        where += ", section \"" + Section_ + "\"";
    throw TError(where + ": expected " + std::to_string(expected) + " " + what + ", found " +
                 std::to_string(found) + " before the end of the file");
}

template <class TValue, class TConvert>
std::vector<std::vector<TValue>> TRWFile::ReadTokenMatrix(int c, int r, TRowLayout layout, const char* what,
                                                          TConvert convert)
{
    CheckReading();
    const bool lines = layout == TRowLayout::Lines;
    // Rows are added as they are read, so a hostile count costs no more memory than the
    // file itself holds.
    std::vector<std::vector<TValue>> rows;
    std::string token;
    const auto fail = [&](const std::string& problem) { throw TError(Where() + ": " + problem); };
    const std::size_t memoryLimit = TableMemoryLimit(Data_.size());
    std::size_t memory = 0;
    for (int i = 0; i < r; ++i) {
        std::vector<TValue> row;
        for (int j = 0; j < c; ++j) {
            int lineEnds = 0;
            const std::size_t before = Pos_;
            const bool header = SkipToToken(lineEnds);
            if (lines) {
                const bool shortRow = j > 0 && (header || lineEnds > 0);
                if (shortRow || (j == 0 && header)) {
                    Pos_ = before;
                    fail(shortRow ? "row " + std::to_string(i + 1) + " holds " + std::to_string(j) + " of its " +
                                        std::to_string(c) + " " + what
                                  : "the section ends after " + std::to_string(i) + " of its " + std::to_string(r) +
                                        " rows");
                }
                if (j == 0 && i > 0 && lineEnds == 0) {
                    Pos_ = before;
                    fail("row " + std::to_string(i) + " holds more than its " + std::to_string(c) + " " + what);
                }
            }
            if (!ReadTokenBytes(token))
                RaiseTruncated(static_cast<long long>(i) * c + j, static_cast<long long>(r) * c, what);
            row.push_back(convert(token));
        }
        if constexpr (std::is_same_v<TValue, std::string>)
            memory += RecordMemory(row);
        else
            memory += sizeof(row) + 16 + row.capacity() * sizeof(TValue);
        if (memory > memoryLimit)
            RaiseTableTooLarge(Where(), memoryLimit, Data_.size());
        rows.push_back(std::move(row));
    }
    if (lines && c > 0) {
        const std::size_t after = Pos_;
        int lineEnds = 0;
        const bool header = SkipToToken(lineEnds);
        if (!header && Pos_ < Data_.size()) {
            if (lineEnds == 0 && r > 0) {
                Pos_ = after;
                fail("row " + std::to_string(r) + " holds more than its " + std::to_string(c) + " " + what);
            }
            ++Pos_;
            fail("a value follows the " + std::to_string(r) + " rows the section declares");
        }
        Pos_ = after;
    }
    return rows;
}

TArray2S TRWFile::ReadStringMatrix(int c, int r, TRowLayout layout)
{
    CheckReading();
    if (c > 0)
        return ReadTokenMatrix<std::string>(c, r, layout, "values", [this](const std::string& token) {
            if (token == "@" || IsNanText(token))
                return std::string();
            return ToText(token);
        });
    TArray2S rows;
    std::string token;
    for (int i = 0; i < r; ++i) {
        int lineEnds = 0;
        SkipToToken(lineEnds);
        const bool quoted = Pos_ < Data_.size() && Data_[Pos_] == '"';
        if (!ReadLineTokenBytes(token))
            RaiseTruncated(i, r, "lines");
        // A row that begins with a quoted token is that token split again; a double quote
        // inside it (which only a UTF-8 file can hold) separates as well, or it would open
        // a token that runs to the row's end, blanks included.
        if (quoted)
            std::replace(token.begin(), token.end(), '"', ' ');
        rows.push_back(SplitTokenBytes(token));
    }
    return rows;
}

bool ParseOwnNumber(std::string_view token, double& value)
{
    double v = 0;
    if (token == "Nan" || token == "@")
        v = Missing();
    else if (token == "+Inf" || token == "-Inf") // the writers' own forms of infinities
        v = token[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    else if (!ParseDecimal(token, v))
        return false;
    value = v;
    return true;
}

TArray2D TRWFile::ReadFloatMatrix(int c, int r, TRowLayout layout)
{
    return ReadTokenMatrix<double>(c, r, layout, "numbers", [this](const std::string& token) {
        double v = 0.0;
        if (!ParseOwnNumber(token, v))
            throw TError(Where() + ": " + Quoted(ToText(token)) + " is not a valid floating-point value");
        return v;
    });
}

TArray2I TRWFile::ReadIntMatrix(int c, int r, TRowLayout layout)
{
    return ReadTokenMatrix<std::int32_t>(c, r, layout, "integers", [this](const std::string& token) {
        int v = 0;
        if (token == "Nan" || token == "@")
            return 0;
        if (!ParseInteger(token, v, false))
            throw TError(Where() + ": " + Quoted(ToText(token)) + " is not a valid integer value");
        return v;
    });
}

bool TRWFile::ReadScalarToken(std::string& token)
{
    CheckReading();
    ReadTokenBytes(token);
    const std::size_t first = token.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    token = token.substr(first, token.find_last_not_of(' ') - first + 1);
    return true;
}

void TRWFile::ReadFloat(double& value)
{
    std::string token;
    if (!ReadScalarToken(token))
        return;
    // The writers put "Nan" for a missing number, so it must read back as one.
    double v;
    if (token == "@" || !ParseOwnNumber(token, v))
        throw TError(Where() + ": " + Quoted(ToText(token)) + " is not a valid floating-point value");
    value = v;
}

void TRWFile::ReadInt(int& value)
{
    std::string token;
    if (!ReadScalarToken(token))
        return;
    int v;
    if (!ParseInteger(token, v, true))
        throw TError(Where() + ": " + Quoted(ToText(token)) + " is not a valid integer value");
    value = v;
}

void TRWFile::Write(std::string_view text)
{
    if (State_ != TState::Writing)
        throw TError("file " + FileName_ + " is not open for writing");
    Text_.append(text);
}

void TRWFile::WriteLine(std::string_view text)
{
    Write(text);
    Write("\r\n");
}

std::string TRWFile::QuotedToken(std::string_view text)
{
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"') {
            quoted += '"';
            Escaped_ = true;
        }
        quoted += ch;
    }
    return quoted + "\"";
}

} // namespace orbelin::data

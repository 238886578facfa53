// Token file reading and writing.
#include "data/TRWFile.h"

#include "data/Cp1251.h"
#include "data/Resources.h"
#include "data/TError.h"
#include "numeric/Missing.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace orbelin::data {
namespace {

constexpr unsigned char Quote = '"';

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

TRWFile::~TRWFile()
{
    if (Out_) {
        std::fclose(Out_);
        std::remove(TempName_.c_str());
    }
}

void TRWFile::CreateForWriting(const std::string& fileName)
{
    Close();
    FileName_ = fileName;
    TempName_ = fileName + ".orbelin-tmp";
    Out_ = std::fopen(TempName_.c_str(), "wb");
    if (!Out_)
        throw TError("cannot create file " + fileName + ": " + std::strerror(errno));
    State_ = TState::Writing;
}

void TRWFile::OpenForReading(const std::string& fileName)
{
    Close();
    FileName_ = fileName;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw TError("cannot open file " + fileName + ": " + std::strerror(errno));
    Owned_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        throw TError("cannot read file " + fileName);
    Data_ = Owned_;
    Pos_ = 0;
    State_ = TState::Reading;
}

void TRWFile::OpenResource(const std::string& name)
{
    Close();
    FileName_ = name;
    const auto bytes = FindResource(name);
    if (!bytes)
        throw TError("cannot open resource " + name + ": the program holds no such resource");
    Data_ = *bytes;
    Pos_ = 0;
    State_ = TState::Reading;
}

void TRWFile::OpenBytes(std::string bytes, const std::string& displayName)
{
    Close();
    FileName_ = displayName;
    Owned_ = std::move(bytes);
    Data_ = Owned_;
    Pos_ = 0;
    State_ = TState::Reading;
}

void TRWFile::Close()
{
    if (State_ == TState::Writing && Out_) {
        std::FILE* out = Out_;
        Out_ = nullptr;
        State_ = TState::Closed;
        const bool written = std::fflush(out) == 0 && !std::ferror(out);
        const bool closed = std::fclose(out) == 0;
        if (!written || !closed) {
            std::remove(TempName_.c_str());
            throw TError("cannot write file " + FileName_ + ": " + std::strerror(errno));
        }
        if (std::rename(TempName_.c_str(), FileName_.c_str()) != 0) {
            const std::string reason = std::strerror(errno);
            std::remove(TempName_.c_str());
            throw TError("cannot replace file " + FileName_ + ": " + reason);
        }
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

bool TRWFile::FindKey(std::string_view key)
{
    CheckReading();
    std::string keyBytes;
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
            Section_ = Cp1251ToUtf8(line);
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
    return Cp1251ToUtf8(Data_.substr(start, end - start));
}

bool TRWFile::ReadTokenBytes(std::string& token)
{
    token.clear();
    const std::size_t n = Data_.size();
    while (Pos_ < n) {
        const unsigned char b = static_cast<unsigned char>(Data_[Pos_]);
        if (b == Quote || IsTokenByte(b))
            break;
        ++Pos_;
    }
    if (Pos_ >= n)
        return false;
    if (static_cast<unsigned char>(Data_[Pos_]) == Quote) {
        ++Pos_;
        const std::size_t close = Data_.find('"', Pos_);
        const std::size_t end = close == std::string_view::npos ? n : close;
        token.assign(Data_.substr(Pos_, end - Pos_));
        Pos_ = close == std::string_view::npos ? n : close + 1;
        return true;
    }
    const std::size_t start = Pos_;
    while (Pos_ < n && IsTokenByte(static_cast<unsigned char>(Data_[Pos_])))
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
        if (b == Quote || IsTokenByte(b))
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
    return Cp1251ToUtf8(token);
}

std::string TRWFile::ReadLineToken()
{
    CheckReading();
    std::string token;
    ReadLineTokenBytes(token);
    return Cp1251ToUtf8(token);
}

TArray1S TRWFile::SplitTokens(std::string_view text)
{
    std::string bytes;
    Utf8ToCp1251(text, bytes);
    bytes += "  ";
    TRWFile scanner;
    scanner.Data_ = bytes;
    scanner.State_ = TState::Reading;
    TArray1S tokens;
    std::string token;
    while (true) {
        scanner.ReadTokenBytes(token);
        if (token.empty() || (token.size() == 1 && token[0] == '\0'))
            break;
        tokens.push_back(Cp1251ToUtf8(token));
    }
    scanner.Data_ = {};
    scanner.State_ = TState::Closed;
    return tokens;
}

void TRWFile::RaiseTruncated(long long found, long long expected, const char* what) const
{
    std::string where = "file " + FileName_;
    if (!Section_.empty())
        where += ", section \"" + Section_ + "\"";
    throw TError(where + ": expected " + std::to_string(expected) + " " + what + ", found " +
                 std::to_string(found) + " before the end of the file");
}

TArray2S TRWFile::ReadStringMatrix(int c, int r)
{
    CheckReading();
    TArray2S rows;
    std::string token;
    // Rows are added as they are read, so a hostile count costs no more memory than the
    // file itself holds.
    for (int i = 0; i < r; ++i) {
        if (c <= 0) {
            if (!ReadLineTokenBytes(token))
                RaiseTruncated(i, r, "lines");
            rows.push_back(SplitTokens(Cp1251ToUtf8(token)));
            continue;
        }
        TArray1S row;
        for (int j = 0; j < c; ++j) {
            if (!ReadTokenBytes(token))
                RaiseTruncated(static_cast<long long>(i) * c + j, static_cast<long long>(r) * c, "values");
            if (token == "@" || IsNanText(token))
                row.emplace_back();
            else
                row.push_back(Cp1251ToUtf8(token));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

template <class TValue, class TConvert>
std::vector<std::vector<TValue>> TRWFile::ReadTokenMatrix(int c, int r, const char* what, TConvert convert)
{
    CheckReading();
    std::vector<std::vector<TValue>> rows;
    std::string token;
    for (int i = 0; i < r; ++i) {
        std::vector<TValue> row;
        for (int j = 0; j < c; ++j) {
            if (!ReadTokenBytes(token))
                RaiseTruncated(static_cast<long long>(i) * c + j, static_cast<long long>(r) * c, what);
            row.push_back(convert(token));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

TArray2D TRWFile::ReadFloatMatrix(int c, int r)
{
    return ReadTokenMatrix<double>(c, r, "numbers", [](const std::string& token) {
        double v = 0.0;
        if (token == "Nan" || token == "@")
            return Missing();
        return ParseDecimal(token, v) ? v : 0.0;
    });
}

TArray2I TRWFile::ReadIntMatrix(int c, int r)
{
    return ReadTokenMatrix<std::int32_t>(c, r, "integers", [](const std::string& token) {
        int v = 0;
        return ParseInteger(token, v, false) ? v : 0;
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
    if (token == "Nan") {
        value = Missing();
        return;
    }
    double v;
    if (!ParseDecimal(token, v))
        throw TError("file " + FileName_ + ": " + Quoted(Cp1251ToUtf8(token)) +
                     " is not a valid floating-point value");
    value = v;
}

void TRWFile::ReadInt(int& value)
{
    std::string token;
    if (!ReadScalarToken(token))
        return;
    int v;
    if (!ParseInteger(token, v, true))
        throw TError("file " + FileName_ + ": " + Quoted(Cp1251ToUtf8(token)) + " is not a valid integer value");
    value = v;
}

void TRWFile::Write(std::string_view text)
{
    if (State_ != TState::Writing || !Out_)
        throw TError("file " + FileName_ + " is not open for writing");
    std::string bytes;
    if (!Utf8ToCp1251(text, bytes))
        throw TError("cannot write file " + FileName_ + ": the text " + Quoted(text) +
                     " holds characters that the Windows-1251 code page cannot store");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), Out_) != bytes.size())
        throw TError("cannot write file " + FileName_ + ": " + std::strerror(errno));
}

void TRWFile::WriteLine(std::string_view text)
{
    Write(text);
    Write("\r\n");
}

} // namespace orbelin::data

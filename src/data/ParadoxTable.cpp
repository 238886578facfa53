// Reading Paradox tables through pxlib.
#include "data/ParadoxTable.h"

#include "data/CodePages.h"
#include "data/TDataTable.h"
#include "data/TError.h"

extern "C" {
#include <paradox.h>
}

#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace orbelin::data {
namespace {

// Julian day number of 1 January of year 1, the day before Paradox's day 1.
constexpr long PxDayOffset = 1721425;
constexpr long long MsPerDay = 86400000;
constexpr std::size_t HeaderBytes = 0x58;

void ErrorHandler(pxdoc_t*, int, const char* message, void* data)
{
    auto* error = static_cast<std::string*>(data);
    if (error && error->empty() && message)
        *error = message;
}

// Owns a pxlib document, and closes its file once it has been opened.
class TPxDocument {
public:
    explicit TPxDocument(std::string* error) : Doc_(PX_new3(ErrorHandler, nullptr, nullptr, nullptr, error)) {}
    TPxDocument(const TPxDocument&) = delete;
    TPxDocument& operator=(const TPxDocument&) = delete;
    ~TPxDocument()
    {
        if (Opened_)
            PX_close(Doc_);
        if (Doc_)
            PX_delete(Doc_);
    }
    bool Open(const std::string& path)
    {
        Opened_ = Doc_ && PX_open_file(Doc_, path.c_str()) >= 0;
        return Opened_;
    }
    pxdoc_t* Get() const { return Doc_; }

private:
    pxdoc_t* Doc_;
    bool Opened_ = false;
};

std::uint64_t ReadBig(const unsigned char* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

bool AllZero(const unsigned char* p, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        if (p[i])
            return false;
    return true;
}

// Paradox stores integers big-endian with the sign bit flipped, so that they sort as bytes.
long long FlippedInteger(const unsigned char* p, int bytes)
{
    const int bits = 8 * bytes;
    const std::uint64_t raw = ReadBig(p, bytes) ^ (std::uint64_t{1} << (bits - 1));
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    return raw & sign ? static_cast<long long>(raw) - static_cast<long long>(sign << 1) : static_cast<long long>(raw);
}

// Doubles likewise: positive values have the sign bit set, negative ones every bit inverted.
double FlippedDouble(const unsigned char* p)
{
    std::uint64_t raw = ReadBig(p, 8);
    raw = raw & 0x8000000000000000ull ? raw ^ 0x8000000000000000ull : ~raw;
    return std::bit_cast<double>(raw);
}

std::string ShortestNumber(double v)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
}

std::string TwoDigits(long long v)
{
    return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10);
}

std::string DayText(long long day)
{
    int year = 0, month = 0, dayOfMonth = 0;
    PX_SdnToGregorian(static_cast<long>(day + PxDayOffset), &year, &month, &dayOfMonth);
    if (year == 0)
        return {};
    std::string text = std::to_string(year);
    text.insert(0, text.size() < 4 ? 4 - text.size() : 0, '0');
    return text + "-" + TwoDigits(month) + "-" + TwoDigits(dayOfMonth);
}

std::string TimeText(long long ms)
{
    const long long seconds = ms / 1000;
    return TwoDigits(seconds / 3600 % 24) + ":" + TwoDigits(seconds / 60 % 60) + ":" + TwoDigits(seconds % 60);
}

TFieldType TypeOf(int pxType)
{
    switch (pxType) {
    case pxfAlpha:
        return TFieldType::String;
    case pxfDate:
        return TFieldType::Date;
    case pxfShort:
        return TFieldType::SmallInt;
    case pxfLong:
    case pxfAutoInc:
        return TFieldType::Integer;
    case pxfCurrency:
        return TFieldType::Currency;
    case pxfNumber:
        return TFieldType::Float;
    case pxfLogical:
        return TFieldType::Boolean;
    case pxfTime:
        return TFieldType::Time;
    case pxfTimestamp:
        return TFieldType::DateTime;
    case pxfMemoBLOb:
    case pxfBLOb:
    case pxfFmtMemoBLOb:
    case pxfOLE:
    case pxfGraphic:
        return TFieldType::Memo;
    default:
        return TFieldType::Unknown;
    }
}

std::string ValueText(int pxType, const unsigned char* p, int size, int codePage)
{
    switch (pxType) {
    case pxfAlpha: {
        const auto* text = reinterpret_cast<const char*>(p);
        std::string_view value(text, static_cast<std::size_t>(size));
        value = value.substr(0, value.find('\0'));
        value = value.substr(0, value.find_last_not_of(' ') + 1);
        return CodePageToUtf8(value, codePage);
    }
    case pxfShort:
        return size == 2 && !AllZero(p, 2) ? std::to_string(FlippedInteger(p, 2)) : std::string();
    case pxfLong:
    case pxfAutoInc:
        return size == 4 && !AllZero(p, 4) ? std::to_string(FlippedInteger(p, 4)) : std::string();
    case pxfNumber:
    case pxfCurrency:
        return size == 8 && !AllZero(p, 8) ? ShortestNumber(FlippedDouble(p)) : std::string();
    case pxfLogical:
        if (size != 1 || p[0] == 0)
            return {};
        return p[0] & 0x7F ? "TRUE" : "FALSE";
    case pxfDate:
        return size == 4 && !AllZero(p, 4) ? DayText(FlippedInteger(p, 4)) : std::string();
    case pxfTime:
        return size == 4 && !AllZero(p, 4) ? TimeText(FlippedInteger(p, 4)) : std::string();
    case pxfTimestamp: {
        if (size != 8 || AllZero(p, 8))
            return {};
        const double ms = FlippedDouble(p);
        if (!(ms >= 0 && ms < 1e17))
            return {};
        const auto whole = static_cast<long long>(ms);
        return DayText(whole / MsPerDay) + " " + TimeText(whole % MsPerDay);
    }
    default:
        return {};
    }
}

unsigned ReadLittle(const unsigned char* p, int bytes)
{
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// pxlib trusts the header it reads, so a damaged file is turned away here first.
void CheckHeader(const std::string& path)
{
    unsigned char header[HeaderBytes];
    long long fileSize = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in)
        throw TError("cannot open file " + path + ": " + std::strerror(errno));
    const std::size_t got = std::fread(header, 1, sizeof header, in.get());
    if (std::fseek(in.get(), 0, SEEK_END) == 0)
        fileSize = std::ftell(in.get());
    const auto fail = [&path](const std::string& problem) { throw TError("Paradox table " + path + ": " + problem); };
    if (got < sizeof header)
        fail("the file is too short to hold a Paradox header (" + std::to_string(got) + " bytes)");
    const long long recordSize = ReadLittle(header, 2);
    const long long headerSize = ReadLittle(header + 2, 2);
    const int fileType = header[4];
    const long long blockSize = static_cast<long long>(header[5]) * 1024;
    const long long recordCount = ReadLittle(header + 6, 4);
    const long long fieldCount = ReadLittle(header + 0x21, 2);
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        fail("the file is not a Paradox data table (file type " + std::to_string(fileType) + ")");
    if (recordSize < 1 || headerSize < static_cast<long long>(HeaderBytes) || headerSize > fileSize ||
        blockSize < 1024 || blockSize > 32 * 1024 || fieldCount < 1 || fieldCount > 255 ||
        recordCount * recordSize > fileSize - headerSize)
        fail("the header declares " + std::to_string(recordCount) + " records of " + std::to_string(recordSize) +
             " bytes in " + std::to_string(fieldCount) + " fields after " + std::to_string(headerSize) +
             " header bytes, which a file of " + std::to_string(fileSize) + " bytes cannot hold");
}

} // namespace

void ReadParadoxTable(const std::string& path, TDataTable& table)
{
    CheckHeader(path);
    static std::once_flag booted;
    std::call_once(booted, [] { PX_boot(); });

    std::string error;
    TPxDocument document(&error);
    pxdoc_t* doc = document.Get();
    if (!document.Open(path))
        throw TError("Paradox table " + path + ": cannot be opened" + (error.empty() ? "" : ": " + error));

    const int declaredPage = doc->px_head->px_doscodepage;
    const int codePage = declaredPage == 1251 || declaredPage == 866 || declaredPage == 1252 ? declaredPage : 65001;
    const int fieldCount = PX_get_num_fields(doc);
    const pxfield_t* fields = PX_get_fields(doc);
    const int recordSize = PX_get_recordsize(doc);
    std::vector<int> offsets;
    int offset = 0;
    table.FieldNames.clear();
    table.FieldTypes.clear();
    table.FieldDescriptors.clear();
    for (int j = 0; j < fieldCount; ++j) {
        offsets.push_back(offset);
        offset += fields[j].px_flen;
        if (fields[j].px_flen < 1 || offset > recordSize)
            throw TError("Paradox table " + path + ": field " + std::to_string(j + 1) +
                         " does not lie inside the record of " + std::to_string(recordSize) + " bytes");
        const std::string name = CodePageToUtf8(fields[j].px_fname ? fields[j].px_fname : "", codePage);
        const TFieldType type = TypeOf(static_cast<unsigned char>(fields[j].px_ftype));
        table.FieldNames.push_back(name);
        table.FieldTypes.push_back(type);
        table.FieldDescriptors.push_back({name, FieldTypeKeyword(type), "TRUE"});
    }

    const int recordCount = PX_get_num_records(doc);
    std::vector<char> record(static_cast<std::size_t>(recordSize));
    table.Values.clear();
    table.Values.reserve(static_cast<std::size_t>(recordCount));
    for (int r = 0; r < recordCount; ++r) {
        if (!PX_get_record(doc, r, record.data()))
            throw TError("Paradox table " + path + ": cannot read record " + std::to_string(r + 1) +
                         (error.empty() ? "" : ": " + error));
        TArray1S row;
        row.reserve(static_cast<std::size_t>(fieldCount));
        for (int j = 0; j < fieldCount; ++j)
            row.push_back(ValueText(static_cast<unsigned char>(fields[j].px_ftype),
                                    reinterpret_cast<const unsigned char*>(record.data()) + offsets[j],
                                    fields[j].px_flen, codePage));
        table.Values.push_back(std::move(row));
    }
    table.FieldCount = fieldCount;
    table.RecordCount = recordCount;
}

} // namespace orbelin::data

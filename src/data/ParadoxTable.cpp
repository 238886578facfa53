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
#include <vector>

namespace orbelin::data {
namespace {

// Julian day number of 1 January of year 1, the day before Paradox's day 1.
constexpr long PxDayOffset = 1721425;
constexpr long long MsPerDay = 86400000;
// The fixed header of Paradox 3 tables, and its extension from Paradox 4 on.
constexpr std::size_t HeaderBytes = 0x58;
constexpr std::size_t ExtendedHeaderBytes = 0x78;

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
    unsigned char header[ExtendedHeaderBytes] = {};
    long long fileSize = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in)
        throw TError("cannot open file " + path + ": " + std::strerror(errno));
    const std::size_t got = std::fread(header, 1, sizeof header, in.get());
    if (std::fseek(in.get(), 0, SEEK_END) == 0)
        fileSize = std::ftell(in.get());
    const auto fail = [&path](const std::string& problem) { throw TError("Paradox table " + path + ": " + problem); };
    if (got < HeaderBytes || (header[0x39] >= 5 && got < ExtendedHeaderBytes))
        fail("the file is too short to hold a Paradox header (" + std::to_string(got) + " bytes)");
    const long long recordSize = ReadLittle(header, 2);
    const long long headerSize = ReadLittle(header + 2, 2);
    const int fileType = header[4];
    const long long blockSize = static_cast<long long>(header[5]) * 1024;
    const long long recordCount = ReadLittle(header + 6, 4);
    const long long fieldCount = ReadLittle(header + 0x21, 2);
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        fail("the file is not a Paradox data table (file type " + std::to_string(fileType) + ")");
    const long long fileBlocks = ReadLittle(header + 0x0C, 2);
    if (recordSize < 1 || headerSize < static_cast<long long>(HeaderBytes) || headerSize > fileSize ||
        blockSize < 1024 || blockSize > 32 * 1024 || fieldCount < 1 || fieldCount > 255 ||
        recordCount * recordSize > fileSize - headerSize || headerSize + fileBlocks * blockSize > fileSize)
        fail("the header declares " + std::to_string(recordCount) + " records of " + std::to_string(recordSize) +
             " bytes in " + std::to_string(fieldCount) + " fields and " + std::to_string(fileBlocks) + " blocks of " +
             std::to_string(blockSize) + " bytes after " + std::to_string(headerSize) +
             " header bytes, which a file of " + std::to_string(fileSize) + " bytes cannot hold");

    // A password-protected table (encryption1 at 0x25, where 0xFF00FF00 also means none,
    // and from Paradox 4 on encryption2 at 0x5C) has its blocks scrambled; pxlib's attempt
    // to read them without the password can loop without end.
    const unsigned encryption1 = ReadLittle(header + 0x25, 4);
    const unsigned encryption2 = header[0x39] >= 5 ? ReadLittle(header + 0x5C, 4) : 0;
    if ((encryption1 != 0 && encryption1 != 0xFF00FF00u) || encryption2 != 0)
        fail("the table is password-protected, which this reader does not open");

    // Each field is described by a type and a size, from 0x78 in the headers of Paradox 4
    // and later (file version 5 and up), from 0x58 before; the sizes make up the record.
    const long long fieldInfo = header[0x39] >= 5 ? 0x78 : 0x58;
    if (fieldInfo + 2 * fieldCount > headerSize)
        fail("the header of " + std::to_string(headerSize) + " bytes cannot describe " + std::to_string(fieldCount) +
             " fields");
    std::vector<unsigned char> fieldBytes(static_cast<std::size_t>(2 * fieldCount));
    if (std::fseek(in.get(), static_cast<long>(fieldInfo), SEEK_SET) != 0 ||
        std::fread(fieldBytes.data(), 1, fieldBytes.size(), in.get()) != fieldBytes.size())
        fail("cannot read the field descriptions");
    long long sizes = 0;
    for (long long j = 0; j < fieldCount; ++j) {
        const int type = fieldBytes[static_cast<std::size_t>(2 * j)];
        const int size = fieldBytes[static_cast<std::size_t>(2 * j + 1)];
        if (type < pxfAlpha || type > pxfNumTypes || size < 1)
            fail("field " + std::to_string(j + 1) + " has type " + std::to_string(type) + " and size " +
                 std::to_string(size));
        sizes += size;
    }
    if (sizes != recordSize)
        fail("the fields take " + std::to_string(sizes) + " bytes of a record of " + std::to_string(recordSize));

    // The data blocks form a chain through the "next block" number at the start of each;
    // pxlib follows it without end when it loops, so it is walked here first.
    std::vector<bool> visited(static_cast<std::size_t>(fileBlocks) + 1, false);
    long long recordsInBlocks = 0;
    for (long long block = ReadLittle(header + 0x0E, 2); block != 0;) {
        if (block > fileBlocks || visited[static_cast<std::size_t>(block)])
            fail("the chain of data blocks is broken at block " + std::to_string(block) + " of " +
                 std::to_string(fileBlocks));
        visited[static_cast<std::size_t>(block)] = true;
        // Next and previous block, then the offset of the block's last record.
        unsigned char blockHeader[6];
        if (std::fseek(in.get(), static_cast<long>(headerSize + (block - 1) * blockSize), SEEK_SET) != 0 ||
            std::fread(blockHeader, 1, sizeof blockHeader, in.get()) != sizeof blockHeader)
            fail("cannot read data block " + std::to_string(block));
        const auto lastRecord = static_cast<std::int16_t>(ReadLittle(blockHeader + 4, 2));
        if (lastRecord < -recordSize || lastRecord % recordSize != 0 ||
            lastRecord + recordSize > blockSize - static_cast<long long>(sizeof blockHeader))
            fail("data block " + std::to_string(block) + " declares its last record at " + std::to_string(lastRecord) +
                 ", which does not fit records of " + std::to_string(recordSize) + " bytes in a block of " +
                 std::to_string(blockSize));
        recordsInBlocks += lastRecord / recordSize + 1;
        block = ReadLittle(blockHeader, 2);
    }
    if (recordsInBlocks != recordCount)
        fail("its data blocks hold " + std::to_string(recordsInBlocks) + " records, but the header declares " +
             std::to_string(recordCount));
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
    if (doc)
        PX_set_parameter(doc, "warnings", "false");
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
        table.FieldNames.push_back(CodePageToUtf8(fields[j].px_fname ? fields[j].px_fname : "", codePage));
        table.FieldTypes.push_back(TypeOf(static_cast<unsigned char>(fields[j].px_ftype)));
    }
    // Paradox names may hold blanks ("Unit Price"), which a table file cannot store.
    table.FieldNames = SafeFieldNames(table.FieldNames);
    for (int j = 0; j < fieldCount; ++j)
        table.FieldDescriptors.push_back({table.FieldNames[static_cast<std::size_t>(j)],
                                          FieldTypeKeyword(table.FieldTypes[static_cast<std::size_t>(j)]), "TRUE"});

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

// Reading dBase tables through shapelib.
#include "data/DbfTable.h"

#include "data/CodePages.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include <shapefil.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace orbelin::data {
namespace {

// Code page 0 lets each text decide between UTF-8 and Windows-1251.
constexpr int AutoCodePage = 0;

// shapelib opens "<base>.dbf" or "<base>.DBF" for whatever name it is given, and calls an
// error hook with no context; both are redirected to the file being read on this thread.
thread_local const std::string* OpeningPath = nullptr;
thread_local std::string LastLibraryError;
SAFile (*DefaultOpen)(const char*, const char*) = nullptr;

bool EndsWithDbf(const char* name)
{
    const std::size_t n = std::strlen(name);
    return n >= 4 && name[n - 4] == '.' && (name[n - 3] | 0x20) == 'd' && (name[n - 2] | 0x20) == 'b' &&
           (name[n - 1] | 0x20) == 'f';
}

SAFile OpenHook(const char* name, const char* access)
{
    if (OpeningPath && EndsWithDbf(name))
        return DefaultOpen(OpeningPath->c_str(), access);
    return DefaultOpen(name, access);
}

void ErrorHook(const char* message)
{
    LastLibraryError = message ? message : "";
}

struct TDbfCloser {
    void operator()(DBFInfo* handle) const { DBFClose(handle); }
};

unsigned ReadLittle(const unsigned char* p, int bytes)
{
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// The code page a .cpg text or a language driver id stands for.
int CodePageOf(const char* cpg, int languageDriver)
{
    if (cpg && std::strncmp(cpg, "LDID/", 5) != 0) {
        std::string text;
        for (const char* p = cpg; *p; ++p)
            text += static_cast<char>(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p);
        if (text.find("UTF-8") != std::string::npos || text.find("UTF8") != std::string::npos ||
            text.find("65001") != std::string::npos)
            return 65001;
        for (const int page : {1251, 866, 1252})
            if (text.find(std::to_string(page)) != std::string::npos)
                return page;
        return AutoCodePage;
    }
    switch (languageDriver) {
    case 0xC9:
        return 1251;
    case 0x26:
    case 0x65:
        return 866;
    case 0x03:
        return 1252;
    default:
        return AutoCodePage;
    }
}

std::string DecodeText(std::string_view bytes, int codePage)
{
    return CodePageToUtf8(bytes, codePage == AutoCodePage ? 65001 : codePage);
}

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \0", 0, 2);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \0", std::string_view::npos, 2) - first + 1);
}

std::string DateText(std::string_view raw)
{
    const std::string_view t = Trim(raw);
    if (t.empty() || t == "00000000")
        return {};
    if (t.size() == 8 && t.find_first_not_of("0123456789") == std::string_view::npos)
        return std::string(t.substr(0, 4)) + "-" + std::string(t.substr(4, 2)) + "-" + std::string(t.substr(6, 2));
    return std::string(t);
}

std::string LogicalText(std::string_view raw)
{
    const std::string_view t = Trim(raw);
    if (t.size() == 1 && std::strchr("TtYy", t[0]))
        return "TRUE";
    if (t.size() == 1 && std::strchr("FfNn", t[0]))
        return "FALSE";
    return {};
}

std::string NumberText(std::string_view raw)
{
    const std::string_view t = Trim(raw);
    if (t.empty() || t.find_first_not_of('*') == std::string_view::npos)
        return {};
    return std::string(t);
}

struct TDbfField {
    char Native;
    int Offset;
    int Size;
};

TFieldType TypeOf(char native, int width, int decimals)
{
    switch (native) {
    case 'C':
        return TFieldType::String;
    case 'N':
        if (decimals == 0 && width <= 4)
            return TFieldType::SmallInt;
        if (decimals == 0 && width <= 9)
            return TFieldType::Integer;
        return TFieldType::Float;
    case 'F':
        return TFieldType::Float;
    case 'L':
        return TFieldType::Boolean;
    case 'D':
        return TFieldType::Date;
    case 'M':
        return TFieldType::Memo;
    default:
        return TFieldType::Unknown;
    }
}

std::string ValueText(const TDbfField& field, TFieldType type, const unsigned char* record, int codePage)
{
    const std::string_view raw(reinterpret_cast<const char*>(record + field.Offset),
                               static_cast<std::size_t>(field.Size));
    switch (type) {
    case TFieldType::String: {
        std::string_view text = raw.substr(0, raw.find('\0'));
        text = text.substr(0, text.find_last_not_of(' ') + 1);
        return DecodeText(text, codePage);
    }
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    case TFieldType::Float:
        return NumberText(raw);
    case TFieldType::Boolean:
        return LogicalText(raw);
    case TFieldType::Date:
        return DateText(raw);
    case TFieldType::Memo:
        return {};
    default:
        return DecodeText(Trim(raw.substr(0, raw.find('\0'))), codePage);
    }
}

} // namespace

void ReadDbfTable(const std::string& path, TDataTable& table)
{
    // The header is checked against the file before shapelib trusts it.
    unsigned char header[32];
    long long fileSize = 0;
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
        if (!in)
            throw TError("cannot open file " + path + ": " + std::strerror(errno));
        const std::size_t got = std::fread(header, 1, sizeof header, in.get());
        if (got < sizeof header)
            throw TError("dBase table " + path + ": the file is too short to hold a dBase header (" +
                         std::to_string(got) + " bytes)");
        if (std::fseek(in.get(), 0, SEEK_END) == 0)
            fileSize = std::ftell(in.get());
    }
    const long long recordCount = ReadLittle(header + 4, 4);
    const long long headerLength = ReadLittle(header + 8, 2);
    const long long recordLength = ReadLittle(header + 10, 2);
    if (headerLength < 33 || recordLength < 1 || headerLength + recordCount * recordLength > fileSize)
        throw TError("dBase table " + path + ": the header declares " + std::to_string(recordCount) + " records of " +
                     std::to_string(recordLength) + " bytes after " + std::to_string(headerLength) +
                     " header bytes, but the file is " + std::to_string(fileSize) + " bytes long");

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    DefaultOpen = hooks.FOpen;
    hooks.FOpen = OpenHook;
    hooks.Error = ErrorHook;
    LastLibraryError.clear();
    OpeningPath = &path;
    std::unique_ptr<DBFInfo, TDbfCloser> dbf(DBFOpenLL(path.c_str(), "rb", &hooks));
    OpeningPath = nullptr;
    if (!dbf)
        throw TError("dBase table " + path + ": cannot be opened" +
                     (LastLibraryError.empty() ? std::string(" (not a dBase file)") : ": " + LastLibraryError));

    const int codePage = CodePageOf(DBFGetCodePage(dbf.get()), dbf->iLanguageDriver);
    const int fieldCount = DBFGetFieldCount(dbf.get());
    std::vector<TDbfField> fields;
    TArray1T types;
    TArray1S names;
    for (int i = 0; i < fieldCount; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(dbf.get(), i, name, &width, &decimals);
        const char native = DBFGetNativeFieldType(dbf.get(), i);
        const int offset = dbf->panFieldOffset[i];
        if (offset < 1 || width < 1 || offset + width > dbf->nRecordLength)
            throw TError("dBase table " + path + ": field " + std::to_string(i + 1) +
                         " does not lie inside the record of " + std::to_string(dbf->nRecordLength) + " bytes");
        fields.push_back({native, offset, width});
        types.push_back(TypeOf(native, width, decimals));
        names.push_back(DecodeText(Trim(name), codePage));
    }

    table.Values.clear();
    const int records = DBFGetRecordCount(dbf.get());
    for (int r = 0; r < records; ++r) {
        const auto* record = reinterpret_cast<const unsigned char*>(DBFReadTuple(dbf.get(), r));
        if (!record)
            throw TError("dBase table " + path + ": cannot read record " + std::to_string(r + 1) +
                         (LastLibraryError.empty() ? std::string() : ": " + LastLibraryError));
        if (record[0] == '*')
            continue;
        TArray1S row;
        row.reserve(fields.size());
        for (std::size_t j = 0; j < fields.size(); ++j)
            row.push_back(ValueText(fields[j], types[j], record, codePage));
        table.Values.push_back(std::move(row));
    }

    table.FieldCount = static_cast<int>(fields.size());
    table.RecordCount = static_cast<int>(table.Values.size());
    table.FieldNames = SafeFieldNames(names);
    table.FieldTypes = types;
    table.FieldDescriptors.clear();
    for (std::size_t j = 0; j < fields.size(); ++j)
        table.FieldDescriptors.push_back({table.FieldNames[j], FieldTypeKeyword(types[j]), "TRUE"});
}

} // namespace orbelin::data

// Reading and writing the colours-and-sizes (.obc) and visibility (.obs) set files.
#include "view/PointSetFiles.h"

#include "data/TError.h"
#include "view/LineReader.h"

#include <charconv>
#include <cstdio>

namespace orbelin::view {
namespace {

constexpr int StyleLineCount = 8;

bool IsColorKey(int key)
{
    return key == FILLCOLOR || key == BRDCOLOR;
}

std::string HexText(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

// Up to eight hexadecimal digits, read as the 32-bit pattern HexText wrote.
bool ParseHex(std::string_view text, int& value)
{
    std::uint32_t magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude, 16);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    value = static_cast<int>(magnitude);
    return true;
}

void CheckName(const std::string& fileName, const std::string& name)
{
    if (name.find_first_of("\r\n") != std::string::npos)
        throw TError("cannot write file " + fileName + ": the set name " + QuotedText(name) + " holds a line break");
}

// The set count on the first line that is not empty.
int ReadSetCount(TLineReader& lines)
{
    std::string line;
    do {
        if (!lines.Next(line))
            lines.FailTruncated("the number of sets", "nothing");
    } while (SplitWords(line).empty());
    const TArray1S words = SplitWords(line);
    int count = 0;
    if (words.size() != 1 || !data::ParseInteger(words[0], count, true) || count < 0)
        lines.Fail("expected the number of sets, found " + QuotedText(line));
    return count;
}

// One line of integers; expected < 0 accepts any number of values.
TArray1I ReadValueLine(TLineReader& lines, bool hex, int expected, const std::string& what)
{
    std::string line;
    if (!lines.Next(line))
        lines.FailTruncated(what, "nothing");
    const TArray1S words = SplitWords(line);
    if (expected >= 0 && static_cast<int>(words.size()) != expected)
        lines.Fail("expected " + std::to_string(expected) + " values as on the set's first line, found " +
                   std::to_string(words.size()));
    TArray1I values;
    values.reserve(words.size());
    for (const std::string& word : words) {
        int v = 0;
        const bool ok = hex ? ParseHex(word, v) : data::ParseInteger(word, v, false);
        if (!ok)
            lines.Fail(QuotedText(word) + " is not a valid " + (hex ? "hexadecimal colour" : "integer value"));
        values.push_back(v);
    }
    return values;
}

std::string ValueLine(const TArray1I& values, bool hex)
{
    std::string line;
    for (const int v : values)
        line += (hex ? HexText(v) : std::to_string(v)) + " ";
    return line;
}

} // namespace

void WriteStyleSets(const std::string& fileName, const std::vector<TStyleSet>& sets, const TArray1S& names)
{
    for (std::size_t s = 0; s < sets.size(); ++s)
        CheckName(fileName, s < names.size() ? names[s] : std::string());
    data::TRWFile file;
    file.CreateForWriting(fileName);
    file.WriteLine(std::to_string(sets.size()));
    TArray1I values;
    for (std::size_t s = 0; s < sets.size(); ++s) {
        file.WriteLine(s < names.size() ? names[s] : std::string());
        for (int key = 0; key < StyleLineCount; ++key) {
            values.clear();
            for (const PointStyle& style : sets[s])
                values.push_back(style[static_cast<std::size_t>(key)]);
            file.WriteLine(ValueLine(values, IsColorKey(key)));
        }
    }
    file.Close();
}

void ReadStyleSets(data::TRWFile& file, std::vector<TStyleSet>& sets, TArray1S& names)
{
    TLineReader lines(file);
    const int count = ReadSetCount(lines);
    std::vector<TStyleSet> readSets;
    TArray1S readNames;
    for (int s = 0; s < count; ++s) {
        std::string name;
        if (!lines.Next(name))
            lines.FailTruncated(std::to_string(count) + " sets", std::to_string(s));
        TStyleSet set;
        for (int key = 0; key < StyleLineCount; ++key) {
            const TArray1I values = ReadValueLine(lines, IsColorKey(key), key == 0 ? -1 : static_cast<int>(set.size()),
                                                  std::string("the ") + PointStyleKeys[static_cast<std::size_t>(key)] +
                                                      " line of set " + QuotedText(name));
            if (key == 0)
                set.assign(values.size(), PointStyle{});
            for (std::size_t r = 0; r < values.size(); ++r)
                set[r][static_cast<std::size_t>(key)] = values[r];
        }
        readSets.push_back(std::move(set));
        readNames.push_back(std::move(name));
    }
    sets = std::move(readSets);
    names = std::move(readNames);
}

void ReadStyleSets(const std::string& fileName, std::vector<TStyleSet>& sets, TArray1S& names)
{
    data::TRWFile file;
    file.OpenForReading(fileName);
    ReadStyleSets(file, sets, names);
}

void WriteVisibilitySets(const std::string& fileName, const TArray2I& sets, const TArray1S& names)
{
    for (std::size_t s = 0; s < sets.size(); ++s)
        CheckName(fileName, s < names.size() ? names[s] : std::string());
    data::TRWFile file;
    file.CreateForWriting(fileName);
    file.WriteLine(std::to_string(sets.size()));
    for (std::size_t s = 0; s < sets.size(); ++s) {
        file.WriteLine(s < names.size() ? names[s] : std::string());
        file.WriteLine(ValueLine(sets[s], false));
    }
    file.Close();
}

void ReadVisibilitySets(data::TRWFile& file, TArray2I& sets, TArray1S& names)
{
    TLineReader lines(file);
    const int count = ReadSetCount(lines);
    TArray2I readSets;
    TArray1S readNames;
    for (int s = 0; s < count; ++s) {
        std::string name;
        if (!lines.Next(name))
            lines.FailTruncated(std::to_string(count) + " sets", std::to_string(s));
        readSets.push_back(ReadValueLine(lines, false, -1, "the flags of set " + QuotedText(name)));
        readNames.push_back(std::move(name));
    }
    sets = std::move(readSets);
    names = std::move(readNames);
}

void ReadVisibilitySets(const std::string& fileName, TArray2I& sets, TArray1S& names)
{
    data::TRWFile file;
    file.OpenForReading(fileName);
    ReadVisibilitySets(file, sets, names);
}

} // namespace orbelin::view

// Line-by-line reading of the small set and object files.
#include "view/LineReader.h"

#include "data/TError.h"

namespace orbelin::view {

bool TLineReader::Next(std::string& line)
{
    if (File_.AtEnd())
        return false;
    line = File_.ReadLine();
    ++Line_;
    return true;
}

void TLineReader::Fail(const std::string& problem) const
{
    throw TError("file " + FileName() + ", line " + std::to_string(Line_) + ": " + problem);
}

void TLineReader::FailTruncated(const std::string& expected, const std::string& found) const
{
    throw TError("file " + FileName() + ": expected " + expected + ", found " + found + " before the end of the file");
}

TArray1S SplitWords(std::string_view line)
{
    TArray1S words;
    std::size_t i = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

std::string QuotedText(std::string_view text)
{
    // A hostile file may hold one enormous token; the message shows its beginning only,
    // cut before a UTF-8 continuation byte.
    constexpr std::size_t limit = 60;
    if (text.size() <= limit)
        return "\"" + std::string(text) + "\"";
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

} // namespace orbelin::view

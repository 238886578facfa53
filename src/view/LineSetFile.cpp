// Reading and writing the lines file (.obv).
#include "view/LineSetFile.h"

#include "view/LineReader.h"

#include <charconv>

namespace orbelin::view {
namespace {

bool PairsConsecutivePoints(const TAddLines& set)
{
    if (set.Segments.size() != set.LinePoints.size() / 2)
        return false;
    for (std::size_t s = 0; s < set.Segments.size(); ++s) {
        const TArray1I& segment = set.Segments[s];
        if (segment.size() != 2 || segment[0] != static_cast<int>(2 * s) || segment[1] != static_cast<int>(2 * s + 1))
            return false;
    }
    return true;
}

std::string PointLine(const TArray1D& p)
{
    std::string line;
    char text[32];
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (i > 0)
            line += ' ';
        line.append(text, std::to_chars(text, text + sizeof text, p[i]).ptr);
    }
    return line;
}

} // namespace

TAddLines ReadLineSet(data::TRWFile& file, int coordCount)
{
    const std::size_t d = static_cast<std::size_t>(std::max(coordCount, 0));
    TLineReader lines(file);
    TAddLines set;
    TArray1D point(d, 0.0);
    std::string text;
    while (lines.Next(text)) {
        // Blank lines separate groups of segments in hand-written files; they hold no point.
        const TArray1S words = SplitWords(text);
        if (words.empty())
            continue;
        for (std::size_t i = 0; i < words.size() && i < d; ++i)
            if (!data::ParseDecimal(words[i], point[i]))
                lines.Fail(QuotedText(words[i]) + " is not a valid floating-point value");
        set.LinePoints.push_back(point);
    }
    for (std::size_t i = 0; i + 1 < set.LinePoints.size(); i += 2)
        set.Segments.push_back({static_cast<int>(i), static_cast<int>(i + 1)});
    return set;
}

TAddLines ReadLineSet(const std::string& fileName, int coordCount)
{
    data::TRWFile file;
    file.OpenForReading(fileName);
    return ReadLineSet(file, coordCount);
}

void WriteLineSet(const std::string& fileName, const TAddLines& set)
{
    data::TRWFile file;
    file.CreateForWriting(fileName);
    if (PairsConsecutivePoints(set)) {
        for (const TArray1D& p : set.LinePoints)
            file.WriteLine(PointLine(p));
    } else {
        const auto valid = [&](int i) { return i >= 0 && static_cast<std::size_t>(i) < set.LinePoints.size(); };
        for (const TArray1I& segment : set.Segments)
            if (segment.size() >= 2 && valid(segment[0]) && valid(segment[1])) {
                file.WriteLine(PointLine(set.LinePoints[static_cast<std::size_t>(segment[0])]));
                file.WriteLine(PointLine(set.LinePoints[static_cast<std::size_t>(segment[1])]));
            }
    }
    file.Close();
}

} // namespace orbelin::view

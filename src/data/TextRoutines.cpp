// Small text and index helpers.
#include "data/TextRoutines.h"

namespace orbelin::data {

int IndexOfText(const TArray1S& list, std::string_view text)
{
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (list[static_cast<std::size_t>(i)] == text)
            return i;
    return -1;
}

int IndexOfInt(const TArray1I& list, std::int32_t value)
{
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (list[static_cast<std::size_t>(i)] == value)
            return i;
    return -1;
}

TArray1I DeleteAt(const TArray1I& list, int k)
{
    TArray1I result;
    if (list.empty())
        return result;
    result.reserve(list.size() - 1);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (static_cast<int>(i) != k)
            result.push_back(list[i]);
    return result;
}

std::string BaseName(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos)
        return std::string(name.substr(0, dot));
    return std::string(name);
}

TArray1S SplitBlanks(std::string_view text)
{
    TArray1S words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > start)
            words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

std::string TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string LowerExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

} // namespace orbelin::data

// Look-up of the embedded resources generated at build time.
#include "data/Resources.h"

#include <cctype>

namespace orbelin::data {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::optional<std::string_view> FindResource(std::string_view name)
{
    for (const detail::TResourceEntry* e = detail::ResourceTable; e->Name; ++e)
        if (EqualIgnoringCase(e->Name, name))
            return std::string_view(e->Bytes, e->Size);
    return std::nullopt;
}

std::vector<std::string> ResourceNames()
{
    std::vector<std::string> names;
    for (const detail::TResourceEntry* e = detail::ResourceTable; e->Name; ++e)
        names.emplace_back(e->Name);
    return names;
}

} // namespace orbelin::data

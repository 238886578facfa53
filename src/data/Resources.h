// Read-only data resources compiled into the program (the demonstration files).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbelin::data {

namespace detail {
struct TResourceEntry {
    const char* Name;
    const char* Bytes;
    std::size_t Size;
};
extern const TResourceEntry ResourceTable[];
} // namespace detail

/// The bytes of the resource of that name, compared ignoring letter case, or nothing.
std::optional<std::string_view> FindResource(std::string_view name);

/// Names of every embedded resource, in file-name order.
std::vector<std::string> ResourceNames();

} // namespace orbelin::data

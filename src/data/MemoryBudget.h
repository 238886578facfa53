// How much memory reading a table may take, so that a huge file is refused with a message
// instead of the process being killed when the machine runs out.
#pragma once

#include "numeric/TArray.h"

#include <cstddef>
#include <string>

namespace orbelin::data {

/// The most memory the values read from a source of that many bytes may take: 16 times the
/// source, but at least 1 GiB, and never more than half of the machine's memory.
std::size_t TableMemoryLimit(std::size_t sourceBytes);

/// Memory one record of texts holds: its vector, its strings and their heap blocks.
std::size_t RecordMemory(const TArray1S& record);

/// Raises TError: "WHERE: the table would take more than N MB of memory ...".
[[noreturn]] void RaiseTableTooLarge(const std::string& where, std::size_t limit, std::size_t sourceBytes);

} // namespace orbelin::data

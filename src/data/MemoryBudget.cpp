// The memory budget of table readers.
#include "data/MemoryBudget.h"

#include "data/TError.h"

#include <algorithm>

#include <unistd.h>

namespace orbelin::data {
namespace {

// Heap blocks carry a header and are rounded up; 16 bytes is what glibc adds.
constexpr std::size_t BlockOverhead = 16;
constexpr std::size_t MinimumLimit = std::size_t(1) << 30;
constexpr std::size_t SourceFactor = 16;

std::size_t PhysicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return static_cast<std::size_t>(-1);
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

std::string Megabytes(std::size_t bytes)
{
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

} // namespace

std::size_t TableMemoryLimit(std::size_t sourceBytes)
{
    const std::size_t bySource =
        sourceBytes > MinimumLimit / SourceFactor ? sourceBytes * SourceFactor : MinimumLimit;
    return std::min(bySource, PhysicalMemory() / 2);
}

std::size_t RecordMemory(const TArray1S& record)
{
    std::size_t bytes = sizeof(TArray1S) + BlockOverhead + record.capacity() * sizeof(std::string);
    for (const std::string& cell : record)
        if (cell.capacity() > 15) // longer texts leave the string's own buffer
            bytes += cell.capacity() + 1 + BlockOverhead;
    return bytes;
}

void RaiseTableTooLarge(const std::string& where, std::size_t limit, std::size_t sourceBytes)
{
    throw TError(where + ": the table would take more than " + Megabytes(limit) + " of memory, too much for a file of " +
                 Megabytes(sourceBytes) + "; split the file or remove columns that are not needed");
}

} // namespace orbelin::data

// Loads arbitrary bytes as a dBase or a Paradox table, chosen by the first byte.
#include "data/TDataTable.h"
#include "data/TError.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    if (size < 1)
        return 0;
    const std::string path = FuzzFolder() + "/db" + (bytes[0] % 2 ? ".dbf" : ".db");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes + 1), static_cast<std::streamsize>(size - 1));
    }
    data::TDataTable table;
    try {
        data::LoadTable(table, path, data::TTableKind::Database);
    } catch (const TError&) {
    }
    return 0;
}

// Loads arbitrary bytes as a table file, and saves and reloads what reads.
#include "data/TDataTable.h"
#include "data/TError.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    static const std::string path = FuzzFolder() + "/table.obt";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    }
    data::TDataTable table;
    try {
        data::LoadTable(table, path, data::TTableKind::TableFile);
    } catch (const TError&) {
        return 0;
    }
    try {
        data::SaveTable(table, path);
        data::TDataTable back;
        data::LoadTable(back, path, data::TTableKind::TableFile);
    } catch (const TError&) {
    }
    return 0;
}

// Loads arbitrary bytes as a text data file; whatever reads must save and read back the same.
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
    static const std::string stem = FuzzFolder() + "/dat";
    {
        std::ofstream out(stem + ".dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    }
    data::TDataTable table;
    try {
        data::LoadTable(table, stem + ".dat", data::TTableKind::TextData);
    } catch (const TError&) {
        return 0;
    }
    try {
        data::SaveTable(table, stem + ".obt");
    } catch (const TError&) {
        return 0;
    }
    data::TDataTable back;
    data::LoadTable(back, stem + ".obt", data::TTableKind::TableFile);
    if (back.FieldNames != table.FieldNames || back.FieldTypes != table.FieldTypes || back.Values != table.Values)
        __builtin_trap();
    return 0;
}

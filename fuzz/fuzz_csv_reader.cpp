// Reads arbitrary bytes as a CSV file; whatever reads must save and read back the same.
#include "data/CsvTable.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    // The first byte chooses the extension, so the tab preference of .tsv is tried too.
    const std::string name = size > 0 && bytes[0] % 2 ? "fuzz.tsv" : "fuzz.csv";
    data::TDataTable table;
    try {
        data::ReadCsvBytes(std::string(reinterpret_cast<const char*>(bytes), size), name, table);
    } catch (const TError&) {
        return 0;
    }
    table.Name = "FUZZ.OBT";
    table.ComputeFieldWidths();
    table.ResetPointStyles();
    static const std::string path = FuzzFolder() + "/csv.obt";
    try {
        data::SaveTable(table, path);
    } catch (const TError&) {
        return 0; // a field name that a table file cannot hold
    }
    data::TDataTable back;
    data::LoadTable(back, path, data::TTableKind::TableFile);
    if (back.FieldNames != table.FieldNames || back.FieldTypes != table.FieldTypes || back.Values != table.Values)
        __builtin_trap();
    return 0;
}

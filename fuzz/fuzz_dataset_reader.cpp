// Reads arbitrary bytes as a dataset file against a small table, and writes what reads.
#include "data/DatasetFile.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using namespace orbelin;
    data::TDataTable table;
    table.Name = "T.OBT";
    table.FieldCount = 2;
    table.RecordCount = 3;
    table.FieldNames = {"X", "Y"};
    table.FieldTypes = {TFieldType::Float, TFieldType::Integer};
    table.FieldDescriptors = {{"X", "FLOAT", "TRUE"}, {"Y", "INTEGER", "TRUE"}};
    table.Values = {{"1", "2"}, {"3", "4"}, {"", "6"}};
    table.ComputeFieldWidths();
    table.ResetPointStyles();

    data::TData dataset;
    dataset.Table = &table;
    std::vector<data::TFieldChoice> choices;
    data::TRWFile file;
    try {
        file.OpenBytes(std::string(reinterpret_cast<const char*>(bytes), size), "fuzz.obd");
        data::ReadDataset(dataset, file, &choices);
    } catch (const TError&) {
        return 0;
    }
    // What reads must be consistent enough to be written again.
    static const std::string path = FuzzFolder() + "/obd.obd";
    try {
        data::WriteDatasetFile(dataset, path);
    } catch (const TError&) {
    }
    return 0;
}

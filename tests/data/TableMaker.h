// Builds small tables in memory for the dataset and table-operation tests.
#pragma once

#include "data/TDataTable.h"

#include <string>
#include <utility>
#include <vector>

namespace orbelin::test {

/// A table of the given fields (name, type) and rows of value texts, with default styles.
inline data::TDataTable MakeTable(const std::vector<std::pair<std::string, TFieldType>>& fields,
                                  const TArray2S& rows, const std::string& name = "t")
{
    data::TDataTable table;
    table.Path = name + ".obt";
    table.Name = name + ".OBT";
    table.FieldCount = static_cast<int>(fields.size());
    table.RecordCount = static_cast<int>(rows.size());
    for (const auto& [fieldName, type] : fields) {
        table.FieldNames.push_back(fieldName);
        table.FieldTypes.push_back(type);
        table.FieldDescriptors.push_back({fieldName, data::FieldTypeKeyword(type), "TRUE"});
    }
    table.Values = rows;
    table.ComputeFieldWidths();
    table.ResetPointStyles();
    return table;
}

} // namespace orbelin::test

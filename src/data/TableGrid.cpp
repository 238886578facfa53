// The table window's grid texts and their CSV export.
#include "data/TableGrid.h"

#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/SafeFiles.h"
#include "data/TError.h"
#include "data/TextRoutines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace orbelin::data {
namespace {

bool FitsTable(const TArray1I& order, int recordCount)
{
    if (order.size() != static_cast<std::size_t>(recordCount))
        return false;
    std::vector<bool> seen(order.size(), false);
    for (const int r : order) {
        if (r < 0 || r >= recordCount || seen[static_cast<std::size_t>(r)])
            return false;
        seen[static_cast<std::size_t>(r)] = true;
    }
    return true;
}

} // namespace

TArray2S TableGrid(const TDataTable& table, const TData* data, const TArray1I& order)
{
    const bool results = data && data->Table == &table;
    const std::size_t resultColumns = results ? data->ResultColumnNames.size() : 0;
    std::unordered_map<int, std::size_t> pointOfRecord;
    if (results)
        for (std::size_t p = 0; p < data->NUMXI.size(); ++p)
            pointOfRecord.emplace(data->NUMXI[p], p);

    TArray2S grid;
    grid.reserve(static_cast<std::size_t>(table.RecordCount) + 1);
    TArray1S header = {""};
    header.insert(header.end(), table.FieldNames.begin(), table.FieldNames.end());
    for (std::size_t c = 0; c < resultColumns; ++c)
        header.push_back(data->ResultColumnNames[c]);
    grid.push_back(std::move(header));

    const bool ordered = FitsTable(order, table.RecordCount);
    for (int i = 0; i < table.RecordCount; ++i) {
        const int r = ordered ? order[static_cast<std::size_t>(i)] : i;
        TArray1S row = {std::to_string(r + 1)};
        for (const std::string& value : table.Values[static_cast<std::size_t>(r)])
            row.push_back(TrimBlanks(value));
        const auto point = pointOfRecord.find(r);
        for (std::size_t c = 0; c < resultColumns; ++c) {
            const TArray1S& column = c < data->ResultColumns.size() ? data->ResultColumns[c] : TArray1S();
            row.push_back(point != pointOfRecord.end() && point->second < column.size() ? column[point->second]
                                                                                        : std::string());
        }
        grid.push_back(std::move(row));
    }
    return grid;
}

void WriteGridCsv(const TArray2S& grid, const std::string& path)
{
    std::string text = "\xEF\xBB\xBF";
    for (const TArray1S& row : grid) {
        for (const std::string& cell : row) {
            text += '"';
            for (const char ch : cell) {
                if (ch == '"')
                    text += '"';
                text += ch;
            }
            text += "\";";
        }
        text += "\r\n";
    }
    WriteFileReplacing(path, text);
}

} // namespace orbelin::data

// Hint lines of the points under the mouse.
#include "view/PointHints.h"

#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TextRoutines.h"

namespace orbelin::view {

TArray1S PointHintLines(const data::TData& dataset, const std::vector<int>& points, const std::vector<int>& fields)
{
    TArray1S lines;
    const data::TDataTable* table = dataset.Table;
    if (!table || fields.empty())
        return lines;
    for (int p : points) {
        if (p < 0 || p >= dataset.PointCount || static_cast<std::size_t>(p) >= dataset.NUMXI.size())
            continue;
        if (static_cast<std::size_t>(p) < dataset.Visibility.size() &&
            dataset.Visibility[static_cast<std::size_t>(p)] != 1)
            continue;
        const int record = dataset.NUMXI[static_cast<std::size_t>(p)];
        if (record < 0 || static_cast<std::size_t>(record) >= table->Values.size())
            continue;
        const TArray1S& row = table->Values[static_cast<std::size_t>(record)];
        std::string line;
        bool first = true;
        for (int f : fields) {
            if (f < 0 || static_cast<std::size_t>(f) >= row.size())
                continue;
            if (!first)
                line += "/";
            line += data::TrimBlanks(row[static_cast<std::size_t>(f)]);
            first = false;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace orbelin::view

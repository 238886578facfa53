// Point weights by class.
#include "analysis/PointWeights.h"

#include "data/PointStyle.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace orbelin::analysis {

TArray1I PointClasses(const data::TData& dataset)
{
    if (!dataset.Table)
        throw TError("dataset " + dataset.Name + " has no table to take the classes of its points from");
    const auto& styles = dataset.Table->PointStyles;
    TArray1I classes;
    classes.reserve(dataset.NUMXI.size());
    for (std::size_t p = 0; p < dataset.NUMXI.size(); ++p) {
        const std::int32_t record = dataset.NUMXI[p];
        if (record < 0 || static_cast<std::size_t>(record) >= styles.size())
            throw TError("dataset " + dataset.Name + ": point " + std::to_string(p) + " refers to record " +
                         std::to_string(record) + ", but the table " + dataset.Table->Name + " has " +
                         std::to_string(styles.size()) + " records");
        classes.push_back(styles[static_cast<std::size_t>(record)][FILLCOLOR]);
    }
    return classes;
}

TArray1D ClassProportionalWeights(const data::TData& dataset)
{
    const TArray1I classes = PointClasses(dataset);
    std::unordered_map<std::int32_t, int> sizes;
    int largest = 0;
    for (std::int32_t key : classes)
        largest = std::max(largest, ++sizes[key]);
    TArray1D weights;
    weights.reserve(classes.size());
    for (std::int32_t key : classes)
        weights.push_back(static_cast<double>(largest) / sizes[key]);
    return weights;
}

} // namespace orbelin::analysis

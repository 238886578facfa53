// A map trained on a dataset: its grid, node positions, layers and training state.
#pragma once

namespace orbelin::data {
class TData;
}

namespace orbelin::map {

/// Owned by its dataset (TData::Maps); refers back to the dataset without owning it.
class TMap {
public:
    data::TData* Data = nullptr;
};

} // namespace orbelin::map

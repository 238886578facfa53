// Point weights of a dataset by the class of each point's table record.
#pragma once

#include "numeric/TArray.h"

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

/// The class of each point: the fill colour (FILLCOLOR) of its table record. Raises TError
/// when the dataset has no table or a point refers to a record the table does not have.
TArray1I PointClasses(const data::TData& dataset);

/// "Class proportional ": with n_k points in class k and M the largest n_k, every point of
/// class k weighs M / n_k (the largest class weighs 1), one weight per point in point
/// order. Raises TError as PointClasses does.
TArray1D ClassProportionalWeights(const data::TData& dataset);

} // namespace orbelin::analysis

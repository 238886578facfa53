// The biplot rays of a command line, shared by biplot and export.
#pragma once

#include "analysis/Biplot.h"
#include "cli/Options.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::cli {

/// The rays of the set file that stylesOption names, for the dataset's fields, scaled by
/// scaleOption (-100 to 100) when it is given; styles receives the file's records. Raises
/// TError for a set file that does not read, TUsageError for a scale out of range.
std::vector<view::TAddRay> RaysOfOptions(const TOptions& line, const std::string& stylesOption,
                                         const std::string& scaleOption, const data::TData& data,
                                         analysis::TBiplotStyles& styles);

} // namespace orbelin::cli

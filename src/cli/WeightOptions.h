// The weighting rules of the command line: the weights command and the --weights RULE of
// train and pca share their words and options.
#pragma once

#include "cli/Options.h"

#include <optional>
#include <string>

namespace CLI {
class App;
}
namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data
namespace orbelin::map {
class TMap;
}

namespace orbelin::cli {

/// "class|one-class|radial|field:NAME".
extern const char* const WeightRules;

/// --weights [RULE] of train and pca: alone it means "class".
void AddWeightsOption(CLI::App& command);
/// The rule's settings: --class-field NAME, --class VALUE, --function power|exp|exp-square,
/// --a A and --no-average.
void AddWeightRuleOptions(CLI::App& command);

/// The rule --weights asks for ("class" when it is given alone); nothing without it, in
/// which case the rule's settings must not be given either (TUsageError).
std::optional<std::string> WeightsRule(const TOptions& line);

/// Weighs the dataset's points by the rule and the settings given, as the weights tool's
/// "Assign" does; the map (when given) trains with them. With --class-field the classes are
/// the field's distinct values instead of the records' fill colours (the records take
/// their classes' colours in the table held in memory); --class names a class by its value
/// there, or by its colour "#rrggbb" otherwise. Raises TUsageError for a setting that does not fit the rule and
/// TError for a field or class the table lacks, or a value that is no number.
void AssignWeightRule(const TOptions& line, const std::string& rule, data::TData& dataset, data::TDataTable& table,
                      map::TMap* map);

} // namespace orbelin::cli

// The JSON that orbelin-cli prints: values built as nlohmann::ordered_json, so members keep
// the order they are added in, and written as one line.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace orbelin::cli {

/// A JSON value; objects keep their members in the order they were added.
using TJson = nlohmann::ordered_json;

/// The value as compact JSON text. Strings are escaped by nlohmann (bytes that are not
/// UTF-8 become U+FFFD); numbers that are not finite, missing values among them, are
/// written as null, and the others as the shortest text that reads back to the same
/// double ("4", "0.1", "1e-05", "1e+05"), where nlohmann's own writer would add ".0".
std::string JsonText(const TJson& value);

/// Prints JsonText(value) and a line end on standard output.
void PrintJson(const TJson& value);

} // namespace orbelin::cli

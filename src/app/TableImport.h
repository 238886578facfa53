// Reading a table for Load table apart from adding it, so that a large import can run off
// the user-interface thread.
#pragma once

#include "data/TDataTable.h"

#include <string>

namespace orbelin::app {

/// Reads the file with the reader Load table chooses by its extension. Touches nothing but
/// the returned table, so it may run on any thread. Raises TError naming the file and the
/// problem.
data::TDataTable ImportTable(const std::string& path);

} // namespace orbelin::app

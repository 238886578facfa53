// What the program sets up before its first window: number conventions and the settings
// file look-up.
#pragma once

#include <string>

namespace orbelin::app {

/// The settings file looked for beside the program.
inline constexpr const char* SettingsFileName = "Orbelin.alg";

/// "." as the decimal separator of every number conversion of the C library, and
/// NumericTolerance 1e-5.
void SetNumberConventions();

/// Whether the settings file is beside the program. It is only looked for, never read, so
/// the list of map-creation recipes stays empty.
bool SettingsFileFound(const std::string& programFolder);

} // namespace orbelin::app

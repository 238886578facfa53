// Start-up settings shared by the desktop program and its tests.
#include "app/StartUp.h"

#include "app/MemberFiles.h"
#include "numeric/Missing.h"

#include <clocale>

namespace orbelin::app {

void SetNumberConventions()
{
    // A toolkit may take the user's locale; the number texts of files always use ".".
    std::setlocale(LC_NUMERIC, "C");
    NumericTolerance = 1e-5;
}

bool SettingsFileFound(const std::string& programFolder)
{
    return !FindMember(programFolder, SettingsFileName).empty();
}

} // namespace orbelin::app

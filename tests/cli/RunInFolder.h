// Running orbelin-cli and other programs inside a test's folder, so that the file names on
// their command lines and in their output stay short.
#pragma once

#include "cli/CliFixtures.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace orbelin {

/// Runs a shell command in the folder, capturing its output and exit status.
inline TRun RunShellIn(const test::TTempDir& dir, const std::string& command)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string line =
        "cd " + Quoted(dir.Path().string()) + " && { " + command + "; } >" + Quoted(out) + " 2>" + Quoted(err);
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(out), test::ReadBytes(err)};
}

/// Runs orbelin-cli with the arguments (shell syntax) in the folder.
inline TRun RunIn(const test::TTempDir& dir, const std::string& arguments)
{
    return RunShellIn(dir, "'" + std::string(ORBELIN_CLI) + "' " + arguments);
}

} // namespace orbelin

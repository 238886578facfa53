// Running orbelin-cli inside a test's folder, so that the file names on its command line
// and in its output stay short.
#pragma once

#include "cli/CliFixtures.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace orbelin {

inline TRun RunIn(const test::TTempDir& dir, const std::string& arguments)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string command = "cd " + Quoted(dir.Path().string()) + " && '" + ORBELIN_CLI + "' " + arguments + " >" +
                                Quoted(out) + " 2>" + Quoted(err);
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(out), test::ReadBytes(err)};
}

} // namespace orbelin

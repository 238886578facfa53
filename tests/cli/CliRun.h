// Runs orbelin-cli as a user does, capturing its output and exit status.
#pragma once

#include "TestUtil.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace orbelin::test {

struct TRun {
    int Status;
    std::string Out, Err;
};

/// A file name of its own for captured output; the test's TTempDir stays the test's.
inline std::string CaptureFile()
{
    std::string name = (std::filesystem::temp_directory_path() / "orbelin-cli-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd >= 0)
        ::close(fd);
    return name;
}

/// Runs orbelin-cli with the arguments (shell syntax) in the current folder.
inline TRun RunCli(const std::string& arguments)
{
    const std::string out = CaptureFile(), err = CaptureFile();
    const std::string command = std::string("'") + ORBELIN_CLI + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    TRun run = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

} // namespace orbelin::test

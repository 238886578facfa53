// A folder of its own for the files a fuzz target writes: saves look through the folder
// for stale temporaries, which in /tmp itself would cost a scan of every file there.
#pragma once

#include <cstdlib>
#include <string>

inline const std::string& FuzzFolder()
{
    static const std::string folder = [] {
        char name[] = "/tmp/orbelin-fuzz-XXXXXX";
        const char* made = ::mkdtemp(name);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}

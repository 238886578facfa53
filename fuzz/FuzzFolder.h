// A folder of its own for the files a fuzz target writes: saves look through the folder
// for stale temporaries, which in /tmp itself would cost a scan of every file there. It
// lies in memory where it can (/dev/shm), since every save flushes its file to the disk.
#pragma once

#include <cstdlib>
#include <string>

inline const std::string& FuzzFolder()
{
    static const std::string folder = [] {
        char shared[] = "/dev/shm/orbelin-fuzz-XXXXXX";
        if (const char* made = ::mkdtemp(shared))
            return std::string(made);
        char name[] = "/tmp/orbelin-fuzz-XXXXXX";
        const char* made = ::mkdtemp(name);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}

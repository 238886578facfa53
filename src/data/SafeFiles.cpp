// Unique temporary files, renames into place and the folder lock of saves.
#include "data/SafeFiles.h"

#include "data/TError.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <random>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbelin::data {
namespace {

namespace fs = std::filesystem;

std::mutex HookMutex;
std::function<void(const std::string&, const std::string&)> RenameHook;

std::string Reason(int error)
{
    return std::strerror(error);
}

// The process id in a temporary's name "TARGET.PID-N-RANDOM.orbelin-tmp", or -1 when the
// name after the target's is not of that form.
long OwnerOf(std::string_view rest)
{
    // rest is "PID-N-RANDOM" (suffix removed).
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos)
        return -1;
    long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9' || pid > 1000000000)
            return -1;
        pid = pid * 10 + (rest[i] - '0');
    }
    return pid;
}

bool ProcessRuns(long pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace

std::string UniqueTemporaryName(const std::string& target)
{
    static std::atomic<unsigned long> counter{0};
    static const unsigned long salt = [] {
        std::random_device device;
        return static_cast<unsigned long>(device()) ^
               static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    const unsigned long n = ++counter;
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%ld-%lu-%08lx", static_cast<long>(::getpid()), n,
                  (salt * 2654435761UL + n * 40503UL) & 0xffffffffUL);
    return target + tail + std::string(TemporarySuffix);
}

namespace {

// Whether a file of our temporary naming is left over from a save that has ended: the
// process named in "NAME.PID-N-RANDOM.orbelin-tmp" runs no more, or, for the fixed name
// "NAME.orbelin-tmp" of older versions, which names no owner, the file is a minute old.
bool IsStaleTemporary(const fs::path& path, std::string_view name)
{
    std::string_view rest = name.substr(0, name.size() - TemporarySuffix.size());
    const std::size_t dot = rest.rfind('.');
    const long pid = dot == std::string_view::npos ? -1 : OwnerOf(rest.substr(dot + 1));
    if (pid > 0)
        return !ProcessRuns(pid);
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && std::time(nullptr) - info.st_mtime > 60;
}

// Removes the stale temporaries in folder whose names begin with prefix; none while an
// interrupted project save waits to be completed, since it still needs its temporaries.
void RemoveStale(const fs::path& folder, const std::string& prefix)
{
    std::error_code ec;
    std::vector<fs::path> staleFiles;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.ends_with(".orbelin-journal"))
            return;
        if (name.size() < prefix.size() + TemporarySuffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(TemporarySuffix))
            continue;
        // The target's own: "TARGET.orbelin-tmp" or "TARGET.SOMETHING.orbelin-tmp".
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        if (!prefix.empty() && rest[0] != '.')
            continue;
        if (IsStaleTemporary(it->path(), name))
            staleFiles.push_back(it->path());
    }
    for (const fs::path& path : staleFiles) {
        std::error_code removeError;
        fs::remove(path, removeError);
    }
}

} // namespace

void RemoveStaleTemporaries(const std::string& target)
{
    const fs::path targetPath(target);
    const std::string stem = targetPath.filename().string();
    if (stem.empty())
        return;
    RemoveStale(targetPath.parent_path().empty() ? fs::path(".") : targetPath.parent_path(), stem);
}

void RemoveStaleTemporariesIn(const std::string& folder)
{
    RemoveStale(folder.empty() ? fs::path(".") : fs::path(folder), "");
}

std::string WriteTemporary(const std::string& target, std::string_view bytes)
{
    const std::string temp = UniqueTemporaryName(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        std::error_code ec;
        if (fs::is_directory(target, ec))
            throw TError("cannot create file " + target + ": " + target + " is a directory");
        throw TError("cannot create file " + target + ": " + Reason(error));
    }
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw TError("cannot write file " + target + ": " + Reason(error));
    }
    return temp;
}

void RenameReplacing(const std::string& from, const std::string& to)
{
    {
        std::lock_guard<std::mutex> lock(HookMutex);
        if (RenameHook)
            RenameHook(from, to);
    }
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        std::error_code ec;
        if (fs::is_directory(to, ec))
            throw TError("cannot replace file " + to + ": " + to + " is a directory");
        throw TError("cannot replace file " + to + ": " + Reason(error));
    }
}

void WriteFileReplacing(const std::string& target, std::string_view bytes)
{
    RemoveStaleTemporaries(target);
    const std::string temp = WriteTemporary(target, bytes);
    try {
        RenameReplacing(temp, target);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

TFolderLock::TFolderLock(const std::string& folder, bool exclusive)
{
    Fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd_ < 0)
        throw TError("cannot open the folder " + folder + ": " + Reason(errno));
    while (::flock(Fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
        if (errno == EINTR)
            continue;
        const int error = errno;
        ::close(Fd_);
        Fd_ = -1;
        throw TError("cannot lock the folder " + folder + ": " + Reason(error));
    }
}

TFolderLock::~TFolderLock()
{
    if (Fd_ >= 0)
        ::close(Fd_); // closing releases the lock
}

void CheckNotDirectory(const std::string& path)
{
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw TError("cannot open file " + path + ": " + path + " is a directory");
}

std::string ReadFileBytes(const std::string& path)
{
    CheckNotDirectory(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw TError("cannot open file " + path + ": " + Reason(errno));
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            if (error == EISDIR)
                throw TError("cannot open file " + path + ": " + path + " is a directory");
            throw TError("cannot read file " + path + ": " + Reason(error));
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

void SetRenameFaultHook(std::function<void(const std::string& from, const std::string& to)> hook)
{
    std::lock_guard<std::mutex> lock(HookMutex);
    RenameHook = std::move(hook);
}

} // namespace orbelin::data

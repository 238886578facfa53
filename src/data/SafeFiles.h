// Writing files so that nothing saved before is lost: unique temporary files beside the
// target, renamed into place once complete, and a lock that orders the saves of a folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orbelin::data {

/// Suffix of every temporary file this program writes beside a target.
inline constexpr std::string_view TemporarySuffix = ".orbelin-tmp";

/// A name no other writer uses for a temporary file beside target:
/// "TARGET.PID-N-RANDOM.orbelin-tmp". Two saves of one path, in one process or in two,
/// never share a temporary file.
std::string UniqueTemporaryName(const std::string& target);

/// Removes the temporary files of target that no running save owns: those of the naming
/// above whose process has ended, and the fixed-name "TARGET.orbelin-tmp" of older versions
/// once it is a minute old. Never throws; a file that cannot be removed stays.
void RemoveStaleTemporaries(const std::string& target);

/// Removes every stale temporary of our naming in the folder, whatever its target.
void RemoveStaleTemporariesIn(const std::string& folder);

/// Writes bytes to a new unique temporary file beside target and flushes it to the disk.
/// Returns the temporary's name. Raises TError (and leaves no temporary) on failure.
std::string WriteTemporary(const std::string& target, std::string_view bytes);

/// Renames from to to, replacing to; raises TError naming to when that fails.
void RenameReplacing(const std::string& from, const std::string& to);

/// Writes the whole file or nothing: a unique temporary, then a rename over target. Stale
/// temporaries of target are removed first; the temporary is removed when the write fails.
void WriteFileReplacing(const std::string& target, std::string_view bytes);

/// Flushes a folder's entries (the renames in it) to the disk; failures are ignored.
void SyncFolder(const std::string& folder);

/// An advisory lock on a folder, held while the object lives. Saves that rename several
/// files take it exclusively, readers of several files shared, so a reader never sees half
/// of a save. The lock ends with the process, so a killed save never leaves it taken.
class TFolderLock {
public:
    TFolderLock(const std::string& folder, bool exclusive);
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

private:
    int Fd_ = -1;
};

/// The whole content of a file. Raises TError "cannot open file NAME: NAME is a directory"
/// for a folder, and a message with the system's reason for any other failure.
std::string ReadFileBytes(const std::string& path);
/// Raises the same error as ReadFileBytes when path is a folder.
void CheckNotDirectory(const std::string& path);

/// Called before every rename of a save with its source and target; tests use it to stop a
/// save at a chosen rename. Empty by default.
void SetRenameFaultHook(std::function<void(const std::string& from, const std::string& to)> hook);

} // namespace orbelin::data

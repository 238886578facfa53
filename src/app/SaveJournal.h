// Saving a project's files as one step: after any interruption the next open finds either
// the project before the save or the project after it, every member matching.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orbelin::app {

/// How a project save survives a crash, like a database's redo log:
///  1. every member (table, dataset and map files, the project file last) is written to a
///     unique temporary file beside it, and the old files stay as they were;
///  2. a journal "PROJECT.obp.orbelin-journal" naming each temporary and its target is
///     written in full and renamed into place: from that rename on, the save counts as done;
///  3. each temporary is renamed over its target, the project file last;
///  4. the journal is removed.
/// Killed before step 2, the folder holds the old project and some temporaries, which the
/// next save removes; killed after it, the next open (RecoverInterruptedSave) renames the
/// temporaries that are still there, which rolls the save forward to the new project. The
/// commit holds the folder's lock, so two saves of one folder never mix their members.
class TSaveJournal {
public:
    explicit TSaveJournal(const std::string& projectFile);
    /// A save that did not commit removes its temporaries.
    ~TSaveJournal();
    TSaveJournal(const TSaveJournal&) = delete;
    TSaveJournal& operator=(const TSaveJournal&) = delete;

    /// The file to write the member at target to; target must lie in the project's folder.
    std::string Temporary(const std::string& target);
    /// Puts every member in place (steps 2 to 4). Raises TError, before any member is
    /// replaced, when a target cannot be replaced; a failure after the journal is in place
    /// leaves it for the next open to complete.
    void Commit();

private:
    std::string ProjectFile_;
    std::string Folder_;
    std::vector<std::pair<std::string, std::string>> Members_; ///< temporary, target
    bool Committed_ = false;
};

/// The journal file of a project file.
std::string JournalPath(const std::string& projectFile);

/// Completes a save of the project that was interrupted after its journal was in place,
/// under the folder's lock; does nothing when there is no journal. Raises TError naming
/// the journal when it is damaged or a rename fails.
void RecoverInterruptedSave(const std::string& projectFile);

} // namespace orbelin::app

// The journal of project saves.
#include "app/SaveJournal.h"

#include "app/MemberFiles.h"
#include "data/SafeFiles.h"
#include "data/TError.h"

#include <filesystem>

#include <unistd.h>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* JournalSuffix = ".orbelin-journal";
constexpr const char* JournalHeader = "orbelin project save journal 1";

std::string NameOnly(const std::string& path)
{
    return fs::path(path).filename().string();
}

/// The renames a journal lists, as (temporary, target) file names of the folder.
std::vector<std::pair<std::string, std::string>> ReadJournal(const std::string& path)
{
    const std::string text = data::ReadFileBytes(path);
    std::vector<std::pair<std::string, std::string>> members;
    std::size_t pos = 0;
    bool header = true;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            throw TError("save journal " + path + " is damaged: its last line is incomplete");
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (header) {
            if (line != JournalHeader)
                throw TError("save journal " + path + " is damaged: it does not begin with \"" + JournalHeader + "\"");
            header = false;
            continue;
        }
        const std::size_t tab = line.find('\t');
        const std::string temporary = line.substr(0, tab);
        const std::string target = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        // Only files of the folder, and only our own temporaries, may be renamed.
        if (!IsPlainFileName(temporary) || !IsPlainFileName(target) || !temporary.ends_with(data::TemporarySuffix))
            throw TError("save journal " + path + " is damaged: the line \"" + line + "\" names no rename of a member");
        members.emplace_back(temporary, target);
    }
    if (header)
        throw TError("save journal " + path + " is damaged: it is empty");
    return members;
}

void RollForward(const std::string& folder, const std::string& journal)
{
    for (const auto& [temporary, target] : ReadJournal(journal)) {
        const std::string from = MemberPath(folder, temporary);
        std::error_code ec;
        // A temporary that is gone was renamed before the interruption.
        if (fs::exists(from, ec))
            data::RenameReplacing(from, MemberPath(folder, target));
    }
    data::SyncFolder(folder);
    std::error_code ec;
    fs::remove(journal, ec);
    data::SyncFolder(folder);
}

} // namespace

std::string JournalPath(const std::string& projectFile)
{
    return projectFile + JournalSuffix;
}

TSaveJournal::TSaveJournal(const std::string& projectFile)
    : ProjectFile_(projectFile), Folder_(FolderOf(projectFile))
{
}

TSaveJournal::~TSaveJournal()
{
    if (Committed_)
        return;
    for (const auto& member : Members_)
        ::unlink(member.first.c_str());
}

std::string TSaveJournal::Temporary(const std::string& target)
{
    data::RemoveStaleTemporaries(target);
    Members_.emplace_back(data::UniqueTemporaryName(target), target);
    return Members_.back().first;
}

void TSaveJournal::Commit()
{
    // The project file goes last, so a reader that takes no lock sees the old list of
    // members until all of them are new.
    std::vector<std::pair<std::string, std::string>> order;
    for (const auto& member : Members_)
        if (member.second != ProjectFile_)
            order.push_back(member);
    for (const auto& member : Members_)
        if (member.second == ProjectFile_)
            order.push_back(member);
    for (const auto& [temporary, target] : order) {
        std::error_code ec;
        if (!fs::is_regular_file(temporary, ec))
            throw TError("cannot save the project: the file for " + target + " was not written");
        if (fs::is_directory(target, ec))
            throw TError("cannot replace file " + target + ": " + target + " is a directory");
    }

    data::TFolderLock lock(Folder_, true);
    // Temporaries of saves that were killed before their journal: of any member, also of
    // one this project no longer has.
    data::RemoveStaleTemporariesIn(Folder_);
    std::string text = std::string(JournalHeader) + "\n";
    for (const auto& [temporary, target] : order)
        text += NameOnly(temporary) + "\t" + NameOnly(target) + "\n";
    const std::string journal = JournalPath(ProjectFile_);
    data::RemoveStaleTemporaries(journal);
    const std::string journalTemporary = data::WriteTemporary(journal, text);
    try {
        data::RenameReplacing(journalTemporary, journal);
    } catch (...) {
        ::unlink(journalTemporary.c_str());
        throw;
    }
    data::SyncFolder(Folder_);
    Committed_ = true;
    try {
        RollForward(Folder_, journal);
    } catch (const TError& e) {
        throw TError(std::string(e.what()) + "; the save is completed when the project is next opened");
    }
}

void RecoverInterruptedSave(const std::string& projectFile)
{
    const std::string journal = JournalPath(projectFile);
    std::error_code ec;
    if (!fs::exists(journal, ec))
        return;
    const std::string folder = FolderOf(projectFile);
    data::TFolderLock lock(folder, true);
    if (!fs::exists(journal, ec))
        return; // another process completed it meanwhile
    try {
        RollForward(folder, journal);
    } catch (const TError& e) {
        throw TError("project file " + projectFile + ": its last save was interrupted and cannot be completed: " +
                     e.what());
    }
}

} // namespace orbelin::app

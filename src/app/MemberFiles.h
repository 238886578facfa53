// Names of member files: where they are found and which names can be member files.
#pragma once

#include <string>

namespace orbelin::app {

/// The path of a file of that name in the folder, letter case ignored when there is no
/// exact match (files written on a system that ignores case keep their own spelling);
/// "" when there is none.
std::string FindMember(const std::string& folder, const std::string& fileName);
/// The path of fileName in folder.
std::string MemberPath(const std::string& folder, const std::string& fileName);
/// The folder part of a path, "." when it has none.
std::string FolderOf(const std::string& path);
/// The file-name part of a path, folder removed.
std::string FilePart(const std::string& path);
/// A non-empty name without folder separators or line breaks.
bool IsPlainFileName(const std::string& name);

} // namespace orbelin::app

// Finding and naming member files.
#include "app/MemberFiles.h"

#include "data/Cp1251.h"

#include <filesystem>

namespace orbelin::app {

namespace fs = std::filesystem;

std::string FindMember(const std::string& folder, const std::string& fileName)
{
    std::error_code ec;
    const fs::path exact = fs::path(folder) / fileName;
    if (fs::is_regular_file(exact, ec))
        return exact.string();
    const std::string folded = data::FoldCase(fileName);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && data::FoldCase(entry.path().filename().string()) == folded)
            return entry.path().string();
    return {};
}

std::string MemberPath(const std::string& folder, const std::string& fileName)
{
    return (fs::path(folder) / fileName).string();
}

std::string FolderOf(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string FilePart(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\\r\n") == std::string::npos;
}

} // namespace orbelin::app

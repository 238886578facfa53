// Helpers of the project tests: tables on disk and a working directory that is put back.
#pragma once

#include "TestUtil.h"
#include "data/TableMaker.h"

#include <filesystem>

namespace orbelin::test {

/// Makes the folder the working directory for the life of the guard.
class TWorkingDirectory {
public:
    explicit TWorkingDirectory(const std::filesystem::path& folder) : Saved_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~TWorkingDirectory() { std::filesystem::current_path(Saved_); }

private:
    std::filesystem::path Saved_;
};

/// A small numeric table: a String field "Name" and the Float fields "X" and "Y", with one
/// row per (x, y) pair.
inline data::TDataTable MakeXYTable(const std::string& name, const std::vector<std::pair<double, double>>& rows)
{
    TArray2S values;
    for (std::size_t i = 0; i < rows.size(); ++i)
        values.push_back({"p" + std::to_string(i), std::to_string(rows[i].first), std::to_string(rows[i].second)});
    return MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"Y", TFieldType::Float}}, values, name);
}

/// Writes an XY table file into the folder and returns its path.
inline std::string WriteXYTable(const TTempDir& dir, const std::string& name,
                                const std::vector<std::pair<double, double>>& rows)
{
    const std::string path = dir.File(name + ".obt");
    data::SaveTable(MakeXYTable(name, rows), path);
    return path;
}

} // namespace orbelin::test

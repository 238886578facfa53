// Helpers of the project tests: tables on disk and a working directory that is put back.
#pragma once

#include "TestUtil.h"
#include "app/TObjectTree.h"
#include "data/TableMaker.h"
#include "numeric/TUserInterface.h"

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

/// The tree as text: one line per node, its code and label, indented by depth.
inline std::string DescribeTree(const app::TTreeNode& node, int depth = 0)
{
    std::string text;
    for (const auto& child : node.Children) {
        text += std::string(static_cast<std::size_t>(depth) * 2, ' ') + std::to_string(child->Code) + " " +
                child->Label + "\n";
        text += DescribeTree(*child, depth + 1);
    }
    return text;
}

/// A user who answers questions and dialogs from a script and whose messages are kept.
class TScriptedUser : public TUserInterface {
public:
    TScriptedUser() { SetUserInterface(this); }
    ~TScriptedUser() override { SetUserInterface(nullptr); }

    std::vector<std::string> Messages;
    std::vector<std::string> Questions;
    std::vector<TAnswer> Answers;           ///< given in order; Cancel once they run out
    std::vector<std::string> Files;         ///< chosen in order; the dialog is cancelled once they run out
    std::vector<std::string> DialogFilters; ///< the filter of every dialog shown

    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    TAnswer Ask(const std::string& question, bool withCancel, TAnswer defaultAnswer) override
    {
        (void)withCancel;
        (void)defaultAnswer;
        Questions.push_back(question);
        if (Answers.empty())
            return TAnswer::Cancel;
        const TAnswer answer = Answers.front();
        Answers.erase(Answers.begin());
        return answer;
    }
    bool ChooseOpenFile(const std::string& filter, std::string& fileName) override { return Choose(filter, fileName); }
    bool ChooseSaveFile(const std::string& filter, const std::string& defaultExtension, std::string& fileName) override
    {
        (void)defaultExtension;
        return Choose(filter, fileName);
    }

private:
    bool Choose(const std::string& filter, std::string& fileName)
    {
        DialogFilters.push_back(filter);
        if (Files.empty())
            return false;
        fileName = Files.front();
        Files.erase(Files.begin());
        return true;
    }
};

} // namespace orbelin::test

// File dialog filters, default extensions and the working directory.
#include "app/FileDialogs.h"

#include "data/Cp1251.h"
#include "data/TError.h"
#include "numeric/TUserInterface.h"

#include <array>
#include <filesystem>

namespace orbelin::app {

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 5> OpenFilters = {
    "Orbelin Project (*.obp)|*.obp",
    "Orbelin Script (*.obs)|*.obs",
    "Orbelin Data (*.obd)|*.obd",
    "Data Files(*.dat)|*.dat|Structured Data Files(*.obt)|*.obt|Paradox table (*.db);DBase table (*.dbf)|*.db;*.dbf|"
    "CSV Files (*.csv;*.tsv)|*.csv;*.tsv|All Files|*.*",
    "Orbelin Map (*.obm)|*.obm",
};

constexpr std::array<const char*, 5> SaveFilters = {
    "Orbelin Project(*.obp)|*.obp",
    "Orbelin Script(*.obs)|*.obs",
    "Orbelin Data (*.obd)|*.obd",
    "Orbelin Table Files(*.obt)|*.obt|Paradox table (*.db);|*.db;|DBase table (*.dbf)|*.dbf|Data Files(*.dat)|*.dat",
    "Orbelin Data (*.obm)|*.obm",
};

constexpr std::array<const char*, 5> SaveExtensions = {".obp", ".obs", ".obd", ".obt", ".obm"};

} // namespace

const char* OpenFilterText(TOpenFilter filter)
{
    return OpenFilters.at(static_cast<std::size_t>(filter));
}

const char* SaveFilterText(TSaveFilter filter)
{
    return SaveFilters.at(static_cast<std::size_t>(filter));
}

const char* SaveDefaultExtension(TSaveFilter filter)
{
    return SaveExtensions.at(static_cast<std::size_t>(filter));
}

void SetWorkingDirectoryOf(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        return;
    std::error_code ec;
    fs::current_path(folder, ec);
    if (ec)
        throw TError("cannot make " + folder.string() + " the working directory: " + ec.message());
}

bool ChooseFileToOpen(TOpenFilter filter, std::string& path)
{
    if (!UserInterface().ChooseOpenFile(OpenFilterText(filter), path) || path.empty())
        return false;
    SetWorkingDirectoryOf(path);
    return true;
}

bool ChooseFileToSave(TSaveFilter filter, std::string& path)
{
    if (!UserInterface().ChooseSaveFile(SaveFilterText(filter), SaveDefaultExtension(filter), path) || path.empty())
        return false;
    if (!fs::path(path).has_extension())
        path += SaveDefaultExtension(filter);
    SetWorkingDirectoryOf(path);
    return true;
}

data::TTableKind TableKindOfFile(const std::string& path)
{
    const std::string extension = data::FoldCase(fs::path(path).extension().string());
    if (extension == ".obt")
        return data::TTableKind::TableFile;
    if (extension == ".dat")
        return data::TTableKind::TextData;
    if (extension == ".csv" || extension == ".tsv")
        return data::TTableKind::Csv;
    return data::TTableKind::Database;
}

} // namespace orbelin::app

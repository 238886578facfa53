// The Selections panel's commands on a dataset's sets, objects and marked points.
#include "app/SelectionCommands.h"

#include "app/FileDialogs.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "numeric/TUserInterface.h"
#include "view/AddObjectFile.h"
#include "view/LineSetFile.h"
#include "view/PointSetFiles.h"
#include "view/PointSets.h"

#include <filesystem>

namespace orbelin::app {

namespace {

bool ChooseToOpen(const char* filter, std::string& path)
{
    if (!UserInterface().ChooseOpenFile(filter, path) || path.empty())
        return false;
    SetWorkingDirectoryOf(path);
    return true;
}

bool ChooseToSave(const char* filter, const char* extension, std::string& path)
{
    if (!UserInterface().ChooseSaveFile(filter, extension, path) || path.empty())
        return false;
    if (!std::filesystem::path(path).has_extension())
        path += extension;
    SetWorkingDirectoryOf(path);
    return true;
}

/// Runs a command that chooses a file and works on it, showing its error; false when the
/// dialog was cancelled or the work failed.
template <class TWork>
bool Reported(const TWork& work)
{
    try {
        return work();
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
}

} // namespace

bool RememberStyles(data::TData& dataset)
{
    if (!dataset.Table)
        return false;
    std::string name = view::DefaultStyleSetName(static_cast<int>(dataset.StyleSets.size()));
    if (!UserInterface().AskText("Name for this setting", "Enter name: ", name))
        return false;
    view::RememberStyleSet(dataset, dataset.Table->PointStyles, name);
    return true;
}

bool RememberVisibility(data::TData& dataset)
{
    std::string name = view::DefaultVisibilitySetName(static_cast<int>(dataset.VisibilitySets.size()));
    if (!UserInterface().AskText("Name for this visibility setting", "Enter name: ", name))
        return false;
    // Flags are created when the points are first drawn; a set remembered before that
    // still has to say that every point is shown.
    view::EnsureVisibility(dataset.Visibility, dataset.PointCount);
    view::RememberVisibilitySet(dataset, name);
    return true;
}

bool ChooseStyleSet(data::TData& dataset, int index)
{
    if (!dataset.Table || index < 0 || index >= static_cast<int>(dataset.StyleSets.size()))
        return false;
    view::ApplyStyleSet(dataset.StyleSets[static_cast<std::size_t>(index)], dataset.Table->PointStyles);
    return true;
}

bool ChooseVisibilitySet(data::TData& dataset, int index)
{
    if (index < 0 || index >= static_cast<int>(dataset.VisibilitySets.size()))
        return false;
    view::ApplyVisibilitySet(dataset.VisibilitySets[static_cast<std::size_t>(index)], dataset.Visibility);
    return true;
}

bool SaveStyleSetsToFile(const data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToSave(StyleSetFilter, ".obc", path))
            return false;
        view::WriteStyleSets(path, dataset.StyleSets, dataset.StyleSetNames);
        return true;
    });
}

bool LoadStyleSetsFromFile(data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToOpen(StyleSetFilter, path))
            return false;
        view::ReadStyleSets(path, dataset.StyleSets, dataset.StyleSetNames);
        return true;
    });
}

bool SaveVisibilitySetsToFile(const data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToSave(VisibilitySetFilter, ".obs", path))
            return false;
        view::WriteVisibilitySets(path, dataset.VisibilitySets, dataset.VisibilitySetNames);
        return true;
    });
}

bool LoadVisibilitySetsFromFile(data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToOpen(VisibilitySetFilter, path))
            return false;
        view::ReadVisibilitySets(path, dataset.VisibilitySets, dataset.VisibilitySetNames);
        return true;
    });
}

bool LoadObjectsFromFile(data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToOpen(ObjectsFilter, path))
            return false;
        view::ReadAddObjects(path, dataset.CoordCount, dataset.AddObjects);
        return true;
    });
}

bool SaveObjectsToFile(const data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToSave(ObjectsFilter, ".obo", path))
            return false;
        view::WriteAddObjects(path, dataset.AddObjects);
        return true;
    });
}

void ClearObjects(data::TData& dataset)
{
    dataset.AddObjects.clear();
}

void SetObjectsVisible(data::TData& dataset, const std::vector<bool>& ticks)
{
    const std::size_t n = std::min(ticks.size(), dataset.AddObjects.size());
    for (std::size_t i = 0; i < n; ++i)
        dataset.AddObjects[i]->Visible = ticks[i] ? 1 : 0;
}

bool LoadLinesFromFile(data::TData& dataset)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToOpen(LinesFilter, path))
            return false;
        dataset.LineSets.push_back(view::ReadLineSet(path, dataset.CoordCount));
        return true;
    });
}

std::vector<std::string> MarkedRecordValues(const data::TData& dataset, const std::vector<int>& fields)
{
    std::vector<std::string> lines;
    const data::TDataTable* table = dataset.Table;
    if (!table)
        return lines;
    for (int point : dataset.MarkedPoints) {
        if (point < 0 || point >= static_cast<int>(dataset.NUMXI.size()))
            continue;
        const int record = dataset.NUMXI[static_cast<std::size_t>(point)];
        if (record < 0 || record >= static_cast<int>(table->Values.size()))
            continue;
        const TArray1S& values = table->Values[static_cast<std::size_t>(record)];
        for (int field : fields)
            if (field >= 0 && field < static_cast<int>(values.size()))
                lines.push_back(values[static_cast<std::size_t>(field)]);
    }
    return lines;
}

void WriteMarkedRecordValues(const data::TData& dataset, const std::vector<int>& fields, const std::string& path)
{
    data::TRWFile file;
    file.CreateForWriting(path);
    for (const std::string& line : MarkedRecordValues(dataset, fields))
        file.WriteLine(line);
    file.Close();
}

bool WriteSelectedToFile(const data::TData& dataset, const std::vector<int>& fields)
{
    std::string path;
    return Reported([&] {
        if (!ChooseToSave(MarkedValuesFilter, ".txt", path))
            return false;
        WriteMarkedRecordValues(dataset, fields, path);
        return true;
    });
}

} // namespace orbelin::app

// The project commands of the dispatcher: New, Open, Save, Save as, Close and Exit.
#include "app/FileDialogs.h"
#include "app/MapMembers.h"
#include "app/ProjectFile.h"
#include "app/TDispatcher.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "numeric/TUserInterface.h"

#include <filesystem>

namespace orbelin::app {

namespace {

void RefreshAllPanels(TUpdate& update)
{
    update.RefreshPanels.clear();
    for (int panel = 1; panel <= 10; ++panel)
        update.RefreshPanels.push_back(panel);
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

} // namespace

void TDispatcher::ReplaceProject(std::unique_ptr<TProject> project)
{
    // The windows may still show objects of the old project: the tree is rebuilt and the
    // map window forgets its objects before the old project is freed.
    MapWindowDataset_ = nullptr;
    MapWindowMap_ = nullptr;
    Project_.swap(project);
    if (Project_)
        Tree_.Rebuild(*Project_);
    else
        Tree_.Clear();
    project.reset();
    Current_ = Previous_ = TCurrentChain();
    RecomputeCurrent();
}

bool TDispatcher::ProjectIsTraining(const std::string& action) const
{
    return Project_ && RefusedWhileTraining(TrainingMapIn(*Project_), action);
}

bool TDispatcher::AskToSave(const std::string& question, bool& saved)
{
    saved = false;
    if (!Project_)
        return true;
    switch (UserInterface().Ask(question, true, TUserInterface::TAnswer::Cancel)) {
    case TUserInterface::TAnswer::Cancel:
        return false;
    case TUserInterface::TAnswer::Yes:
        saved = SaveProject();
        return saved;
    case TUserInterface::TAnswer::No:
        return true;
    }
    return false;
}

TUpdate TDispatcher::NewProject()
{
    TUpdate update;
    RecomputeCurrent();
    if (ProjectIsTraining("start a new project"))
        return update;
    bool saved = false;
    if (!AskToSave("Save changes in the project?", saved) || saved)
        return update;
    if (MapWindowOpen_)
        update.MapWindow.Close = true;
    MapWindowOpen_ = false;
    ReplaceProject(std::make_unique<TProject>());
    update.TreeChanged = true;
    update.MenusChanged = true;
    update.ShowObjectWindows = true;
    RefreshAllPanels(update);
    return update;
}

TUpdate TDispatcher::OpenProject()
{
    if (ProjectIsTraining("open another project"))
        return {};
    std::string path;
    if (!ChooseFileToOpen(OpenProjectFilter, path))
        return {};
    return OpenProjectFile(path);
}

TUpdate TDispatcher::OpenProjectFile(const std::string& path)
{
    TUpdate update;
    RecomputeCurrent();
    if (ProjectIsTraining("open another project"))
        return update;
    bool saved = false;
    if (!AskToSave("Save chenges in the project?", saved))
        return update;
    auto project = std::make_unique<TProject>();
    std::string error;
    std::vector<std::string> warnings;
    TLoadProjectOptions options;
    options.Error = &error;
    options.Warnings = &warnings;
    options.ConnectMap = ConnectMap;
    if (!app::LoadProject(*project, path, options)) {
        UserInterface().ShowMessage(error);
        return update;
    }
    project->FullName = AbsolutePath(path);
    SetWorkingDirectoryOf(project->FullName);
    if (MapWindowOpen_)
        update.MapWindow.Close = true;
    MapWindowOpen_ = false;
    ReplaceProject(std::move(project));
    update.TreeChanged = true;
    update.MenusChanged = true;
    RefreshAllPanels(update);
    UpdateMapWindow(update);
    if (!warnings.empty()) {
        std::string text;
        for (const std::string& w : warnings)
            text += (text.empty() ? "" : "\r\n") + w;
        UserInterface().ShowMessage(text);
    }
    return update;
}

bool TDispatcher::SaveTo(const std::string& path)
{
    try {
        app::SaveProject(*Project_, path);
        return true;
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
}

bool TDispatcher::SaveProject()
{
    // A map mid-step has half-solved nodes; its file would hold no map the engine made.
    if (!Project_ || ProjectIsTraining("save the project"))
        return false;
    // The file the project came from or was last saved as: the working directory moves
    // with every file dialog, and the project must not be saved beside a table loaded
    // from elsewhere.
    if (!Project_->FullName.empty())
        return SaveTo(Project_->FullName);
    if (!Project_->Name.empty())
        return SaveTo(Project_->Name + ".obp");
    return SaveProjectAs();
}

bool TDispatcher::SaveProjectAs()
{
    if (!Project_ || ProjectIsTraining("save the project"))
        return false;
    std::string path = Project_->Name;
    if (!ChooseFileToSave(SaveProjectFilter, path))
        return false;
    Project_->Name = data::BaseName(path);
    Project_->FullName = AbsolutePath(path);
    return SaveTo(Project_->FullName);
}

TUpdate TDispatcher::CloseProject()
{
    TUpdate update;
    RecomputeCurrent();
    if (ProjectIsTraining("close the project"))
        return update;
    bool saved = false;
    if (!Project_ || !AskToSave("Save changes in the project?", saved))
        return update;
    if (MapWindowOpen_)
        update.MapWindow.Close = true;
    MapWindowOpen_ = false;
    ReplaceProject(nullptr);
    update.TreeChanged = true;
    update.MenusChanged = true;
    update.ToggleObjectWindows = true;
    RefreshAllPanels(update);
    return update;
}

TUpdate TDispatcher::Exit()
{
    TUpdate update;
    update.CloseMainWindow = true;
    return update;
}

} // namespace orbelin::app

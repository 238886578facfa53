// demo: the embedded demonstration project, described, or written into a folder as a
// project file with its members and its point-style and visibility sets.
#include "app/DemoProject.h"
#include "app/ProjectFile.h"
#include "app/TDispatcher.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "view/PointSetFiles.h"

#include <filesystem>

namespace orbelin::cli {
namespace {

namespace fs = std::filesystem;

/// The name the written project file gets in the folder.
constexpr const char* DemoProjectName = "IRIS";

std::string OneLine(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.replace(at, 2, "; ");
    return text;
}

/// Loads the embedded project as the desktop program does at start-up and saves it as
/// "Save project as" would, with the dataset's sets beside it under the demo's own names.
void WriteDemo(const std::string& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder))
        throw TError("cannot create the folder " + folder + " for the demonstration project" +
                     (error ? ": " + error.message() : std::string()));

    app::TDispatcher dispatcher;
    app::TDemoReport report;
    dispatcher.LoadDemo(app::TDemoFiles(), report);
    if (!report.Complete())
        throw TError(OneLine(report.Message()));
    app::TProject& project = *dispatcher.Project();
    const app::TCurrentChain& chain = dispatcher.Current();
    if (!chain.Dataset || !chain.Map)
        throw TError("the embedded demonstration project holds no dataset with a map");

    const std::string projectFile = (fs::path(folder) / (std::string(DemoProjectName) + ".obp")).string();
    project.Name = DemoProjectName;
    project.FullName = projectFile;
    app::SaveProject(project, projectFile);
    const app::TDemoFiles names;
    const data::TData& dataset = *chain.Dataset;
    view::WriteStyleSets((fs::path(folder) / names.StyleSets).string(), dataset.StyleSets, dataset.StyleSetNames);
    view::WriteVisibilitySets((fs::path(folder) / names.VisibilitySets).string(), dataset.VisibilitySets,
                              dataset.VisibilitySetNames);

    TJson json;
    json["kind"] = "demo";
    json["folder"] = folder;
    json["project"] = projectFile;
    TJson& files = json["files"] = TJson::array();
    files.push_back(fs::path(projectFile).filename().string());
    for (const auto& script : project.Scripts)
        for (const auto& table : script->Tables)
            files.push_back(table->Name);
    files.push_back(data::BaseName(dataset.Name) + ".obd");
    files.push_back(data::BaseName(chain.Map->Name) + ".obm");
    files.push_back(names.StyleSets);
    files.push_back(names.VisibilitySets);
    json["table"] = chain.Table ? chain.Table->Name : std::string();
    json["records"] = chain.Table ? chain.Table->RecordCount : 0;
    json["dataset"] = dataset.Name;
    json["points"] = dataset.PointCount;
    json["map"] = chain.Map->Name;
    json["annotations"] = chain.Map->Annotations.size();
    json["style_sets"] = dataset.StyleSets.size();
    json["visibility_sets"] = dataset.VisibilitySets.size();
    PrintJson(json);
}

} // namespace

void RunDemo(const TOptions& line)
{
    if (!line.Paths.empty()) {
        WriteDemo(line.Path);
        return;
    }
    data::TDataTable table;
    data::LoadTable(table, "IRIS.OBT", data::TTableKind::Resource);
    PrintTableInfo(table);
}

void AddDemoCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "demo", "describe the embedded demonstration table, or write the demonstration project into DIR", RunDemo);
    AddPath(command, "DIR", "the folder to write the project, its members and its sets into", true);
}

} // namespace orbelin::cli

// demo: the embedded demonstration project, described, or written into a folder as a
// project file with its members and its point-style and visibility sets.
#include "app/DemoProject.h"
#include "app/ProjectFile.h"
#include "app/TDispatcher.h"
#include "cli/Commands.h"
#include "cli/TJsonWriter.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "view/PointSetFiles.h"

#include <cstdio>
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

    TJsonWriter json;
    json.BeginObject().Key("kind").String("demo").Key("folder").String(folder);
    json.Key("project").String(projectFile).Key("files").BeginArray();
    json.String(fs::path(projectFile).filename().string());
    for (const auto& script : project.Scripts)
        for (const auto& table : script->Tables)
            json.String(table->Name);
    json.String(data::BaseName(dataset.Name) + ".obd").String(data::BaseName(chain.Map->Name) + ".obm");
    json.String(names.StyleSets).String(names.VisibilitySets).EndArray();
    json.Key("table").String(chain.Table ? chain.Table->Name : std::string());
    json.Key("records").Int(chain.Table ? chain.Table->RecordCount : 0);
    json.Key("dataset").String(dataset.Name).Key("points").Int(dataset.PointCount);
    json.Key("map")
        .String(chain.Map->Name)
        .Key("annotations")
        .Int(static_cast<long long>(chain.Map->Annotations.size()));
    json.Key("style_sets").Int(static_cast<long long>(dataset.StyleSets.size()));
    json.Key("visibility_sets").Int(static_cast<long long>(dataset.VisibilitySets.size())).EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace

void RunDemo(const TArgs& args)
{
    if (args.size() > 1)
        throw TUsageError("demo takes at most one DIR (usage: orbelin-cli demo [DIR])");
    if (args.size() == 1) {
        if (!args[0].empty() && args[0][0] == '-')
            throw TUsageError("demo: unknown option \"" + args[0] + "\" (usage: orbelin-cli demo [DIR])");
        WriteDemo(args[0]);
        return;
    }
    data::TDataTable table;
    data::LoadTable(table, "IRIS.OBT", data::TTableKind::Resource);
    PrintTableInfo(table);
}

} // namespace orbelin::cli

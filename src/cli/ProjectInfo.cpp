// info for project files: the project's scripts with their tables, datasets and maps.
#include "app/ProjectFile.h"
#include "cli/Commands.h"
#include "cli/TJsonWriter.h"
#include "data/TError.h"
#include "map/TMap.h"

#include <cstdio>

namespace orbelin::cli {

void PrintProjectInfo(const std::string& path)
{
    app::TProject project;
    std::string error;
    std::vector<std::string> warnings;
    app::TLoadProjectOptions options;
    options.Error = &error;
    options.Warnings = &warnings;
    options.CreateFreshMaps = false;
    if (!app::LoadProject(project, path, options))
        throw TError(error);
    // Members that were read only in part still appear, with what was read.
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "orbelin-cli: warning: %s\n", warning.c_str());

    TJsonWriter json;
    json.BeginObject().Key("kind").String("project").Key("name").String(project.Name);
    json.Key("scripts").BeginArray();
    for (const auto& script : project.Scripts) {
        json.BeginObject().Key("name").String(script->Name).Key("tables").BeginArray();
        for (const auto& table : script->Tables)
            json.String(table->Name);
        json.EndArray().Key("datasets").BeginArray();
        for (const auto& dataset : script->Datasets) {
            json.BeginObject().Key("name").String(dataset->Name).Key("points").Int(dataset->PointCount);
            json.Key("maps").BeginArray();
            for (const auto& map : dataset->Maps)
                json.String(map->Name);
            json.EndArray().EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

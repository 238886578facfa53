// info for project files: the project's scripts with their tables, datasets and maps.
#include "app/ProjectFile.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
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

    TJson json;
    json["kind"] = "project";
    json["name"] = project.Name;
    TJson& scripts = json["scripts"] = TJson::array();
    for (const auto& script : project.Scripts) {
        TJson& s = scripts.emplace_back();
        s["name"] = script->Name;
        TJson& tables = s["tables"] = TJson::array();
        for (const auto& table : script->Tables)
            tables.push_back(table->Name);
        TJson& datasets = s["datasets"] = TJson::array();
        for (const auto& dataset : script->Datasets) {
            TJson& d = datasets.emplace_back();
            d["name"] = dataset->Name;
            d["points"] = dataset->PointCount;
            TJson& maps = d["maps"] = TJson::array();
            for (const auto& map : dataset->Maps)
                maps.push_back(map->Name);
        }
    }
    PrintJson(json);
}

} // namespace orbelin::cli

// project: gathers maps and datasets, with the tables they are built on, into a project
// saved as a project file with its members beside it.
#include "app/MapMembers.h"
#include "app/ProjectFile.h"
#include "app/TProject.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MapLoading.h"
#include "data/Cp1251.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/TMap.h"

#include <filesystem>
#include <map>

namespace orbelin::cli {
namespace {

namespace fs = std::filesystem;

/// The command's usage line, from its declaration.
std::string ProjectUsage;

[[noreturn]] void Usage(const std::string& problem)
{
    throw TUsageError("project: " + problem + " (usage: orbelin-cli " + ProjectUsage + ")");
}

/// A dataset file with the map files given for it, in the order given.
struct TDatasetMember {
    std::string Path;
    std::vector<std::string> Maps;
};

/// The table file a dataset names, beside the dataset file (letter case of the name
/// ignored when no file matches exactly).
std::string TableBeside(const std::string& datasetPath)
{
    const std::string name = data::DatasetTableName(datasetPath);
    const fs::path folder = fs::path(datasetPath).parent_path();
    std::error_code ec;
    if (fs::exists(folder / name, ec))
        return (folder / name).string();
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec))
        if (data::FoldCase(entry.path().filename().string()) == data::FoldCase(name))
            return (folder / entry.path().filename()).string();
    throw TError("dataset file " + datasetPath + ": its table " + name + " is not in the folder " +
                 (folder.empty() ? std::string(".") : folder.string()));
}

} // namespace

void RunProject(const TOptions& line)
{
    ProjectUsage = line.Usage;
    const std::string out = line.Path;
    const std::vector<std::string> members(line.Paths.begin() + 1, line.Paths.end());
    if (data::LowerExtension(out) != ".obp")
        Usage("the project file " + out + " must end in .obp");
    if (members.empty())
        Usage("needs at least one map (.obm) or dataset (.obd)");

    // Datasets in the order first named, each with its maps; the same dataset reached by
    // several maps is read once.
    std::vector<TDatasetMember> datasets;
    std::map<std::string, std::size_t> datasetIndex;
    for (const std::string& member : members) {
        const std::string ext = data::LowerExtension(member);
        if (ext != ".obm" && ext != ".obd")
            Usage("\"" + member + "\" is neither a map (.obm) nor a dataset (.obd)");
        std::string datasetPath = member;
        if (ext == ".obm") {
            map::TMap alone;
            map::ReadMapAlone(alone, member);
            datasetPath = DatasetBeside(member, alone.DataFileName);
        }
        std::error_code ec;
        const std::string key = fs::weakly_canonical(datasetPath, ec).string();
        const auto [it, added] = datasetIndex.emplace(key.empty() ? datasetPath : key, datasets.size());
        if (added)
            datasets.push_back({datasetPath, {}});
        if (ext == ".obm")
            datasets[it->second].Maps.push_back(member);
    }

    // One script per table, named after it, holding the datasets built on it.
    app::TProject project;
    project.Name = data::BaseName(out);
    project.FullName = out;
    std::map<std::string, int> scriptOfTable;
    for (const TDatasetMember& member : datasets) {
        const std::string tablePath = TableBeside(member.Path);
        std::error_code ec;
        const std::string key = fs::weakly_canonical(tablePath, ec).string();
        const auto [it, added] = scriptOfTable.emplace(key.empty() ? tablePath : key, int(project.Scripts.size()));
        if (added) {
            data::TDataTable table;
            data::LoadTable(table, tablePath, data::TTableKind::TableFile);
            app::TScript& script = app::AddScript(project, data::BaseName(table.Name));
            app::AppendTable(script, std::move(table));
        }
        app::TScript& script = *project.Scripts[static_cast<std::size_t>(it->second)];
        project.CurrentScript = it->second;

        data::TData& dataset = app::AddDataset(script, data::BaseName(member.Path));
        std::vector<data::TFieldChoice> choices;
        data::TRWFile file;
        file.OpenForReading(member.Path);
        data::ReadDataset(dataset, file, &choices);
        file.Close();
        script.FieldChoices[static_cast<std::size_t>(script.CurrentTable)] = choices;
        for (const std::string& mapPath : member.Maps) {
            map::TMap& map = map::AddMap(dataset, data::BaseName(mapPath));
            std::string error;
            if (!map::ReadMapFileFrom(dataset, mapPath, &error))
                throw TError(error);
            app::AddStandardLayers(map);
        }
        if (!dataset.Maps.empty())
            dataset.ActiveMap = 0;
    }
    if (const fs::path folder = fs::path(out).parent_path(); !folder.empty()) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            throw TError("cannot create the folder " + folder.string() + " for the project: " + error.message());
    }
    app::SaveProject(project, out);

    TJson json;
    json["kind"] = "project";
    json["file"] = out;
    json["name"] = project.Name;
    TJson& scripts = json["scripts"] = TJson::array();
    for (const auto& script : project.Scripts) {
        TJson& s = scripts.emplace_back();
        s["name"] = script->Name;
        TJson& datasets = s["datasets"] = TJson::array();
        for (const auto& dataset : script->Datasets) {
            TJson& d = datasets.emplace_back();
            d["name"] = dataset->Name;
            TJson& maps = d["maps"] = TJson::array();
            for (const auto& map : dataset->Maps)
                maps.push_back(map->Name);
        }
    }
    PrintJson(json);
}

void AddProjectCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "project", "gather maps and datasets with their tables into a project file and its members", RunProject);
    AddPath(command, "OUT.obp", "the project file to write; its members are saved beside it");
    AddPath(command, "MEMBER.obm|MEMBER.obd", "the maps and datasets, each dataset with the maps given for it", true,
            true);
}

} // namespace orbelin::cli

// Writing and reading the project file and its members.
#include "app/ProjectFile.h"

#include "app/MapMembers.h"
#include "app/MemberFiles.h"
#include "app/SaveJournal.h"

#include "data/Cp1251.h"
#include "data/DatasetFile.h"
#include "data/SafeFiles.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/TMap.h"

#include <filesystem>
#include <map>
#include <optional>

namespace orbelin::app {

namespace {

/// The source of a table, for telling two tables of one name apart.
std::string SourceOf(const data::TDataTable& table)
{
    std::error_code ec;
    const std::filesystem::path source = std::filesystem::weakly_canonical(table.Path, ec);
    return ec ? table.Path : source.string();
}

/// Refuses, before anything is written, names that cannot be member files and members
/// that would share one file: the second would overwrite the first, or read it back.
void CheckMemberNames(const TProject& project)
{
    std::map<std::string, const data::TDataTable*> tableFiles;
    std::map<std::string, std::string> datasetFiles, mapFiles;
    for (const auto& script : project.Scripts) {
        for (const auto& table : script->Tables) {
            if (!IsPlainFileName(table->Name))
                throw TError("cannot save the project: the table name \"" + table->Name +
                             "\" is not a plain file name");
            const auto [it, added] = tableFiles.emplace(data::FoldCase(table->Name), table.get());
            if (!added && SourceOf(*it->second) != SourceOf(*table))
                throw TError("cannot save the project: the tables \"" + it->second->Name + "\" (from " +
                             it->second->Path + ") and \"" + table->Name + "\" (from " + table->Path +
                             ") would both be saved as " + table->Name + "; rename one of them");
        }
        for (const auto& dataset : script->Datasets) {
            if (!IsPlainFileName(dataset->Name))
                throw TError("cannot save the project: the dataset name \"" + dataset->Name +
                             "\" is not a plain file name");
            const std::string file = data::FoldCase(data::BaseName(dataset->Name));
            if (!datasetFiles.emplace(file, dataset->Name).second)
                throw TError("cannot save the project: the datasets \"" + datasetFiles[file] + "\" and \"" +
                             dataset->Name + "\" would both be saved as " + data::BaseName(dataset->Name) +
                             ".obd; rename one of them");
            if (!dataset->Table)
                throw TError("cannot save the project: the dataset \"" + dataset->Name + "\" has no table");
            for (const auto& map : dataset->Maps) {
                if (!map->Grid)
                    continue;
                if (!IsPlainFileName(map->Name))
                    throw TError("cannot save the project: the map name \"" + map->Name +
                                 "\" is not a plain file name");
                const std::string mapFile = data::FoldCase(data::BaseName(map->Name));
                if (!mapFiles.emplace(mapFile, map->Name).second)
                    throw TError("cannot save the project: the maps \"" + mapFiles[mapFile] + "\" and \"" + map->Name +
                                 "\" would both be saved as " + data::BaseName(map->Name) + ".obm; rename one of them");
            }
        }
    }
}

void WriteMissingTables(const TScript& script, const std::string& folder, TSaveJournal& journal)
{
    for (const auto& table : script.Tables)
        if (FindMember(folder, table->Name).empty())
            data::SaveTable(*table, journal.Temporary(MemberPath(folder, table->Name)));
}

/// Header lines and their values, with the lookups of the project file.
class TProjectReader {
public:
    explicit TProjectReader(const std::string& fileName) : FileName_(fileName)
    {
        data::TRWFile file;
        file.OpenForReading(fileName);
        while (!file.AtEnd())
            Lines_.push_back(file.ReadLine());
        file.Close();
    }

    /// Moves to the line after the header of key; raises TError when there is none.
    void Find(const std::string& key)
    {
        for (std::size_t i = Pos_; i < Lines_.size(); ++i)
            if (IsHeader(i) && data::TrimBlanks(std::string_view(Lines_[i]).substr(1)) == key) {
                Pos_ = i + 1;
                return;
            }
        for (std::size_t i = 0; i < Lines_.size(); ++i)
            if (IsHeader(i) && Lines_[i].find(key) != std::string::npos) {
                Pos_ = i + 1;
                return;
            }
        throw TError("project file " + FileName_ + ": the section \"# " + key + "\" is missing");
    }

    std::string ReadLine() { return Pos_ < Lines_.size() ? Lines_[Pos_++] : std::string(); }

    /// The count on the next line; at most one per line of the file can be meant.
    int ReadCount(const std::string& key)
    {
        const std::size_t line = Pos_ + 1;
        const std::string text = data::TrimBlanks(ReadLine());
        int value = 0;
        if (!data::ParseInteger(text, value, false) || value < 0 || value > static_cast<int>(Lines_.size()))
            throw TError("project file " + FileName_ + ", line " + std::to_string(line) +
                         ": expected a count after \"# " + key + "\", found \"" + text + "\"");
        return value;
    }

private:
    bool IsHeader(std::size_t i) const { return !Lines_[i].empty() && Lines_[i][0] == '#'; }

    std::string FileName_;
    std::vector<std::string> Lines_;
    std::size_t Pos_ = 0;
};

/// The table a dataset file was built from, by the name in its "# TABLENAME" section;
/// without one (or when the script has no such table) the script's current table.
int TableForDataset(const TScript& script, const std::string& datasetPath)
{
    std::string tableName;
    try {
        tableName = data::DatasetTableName(datasetPath);
    } catch (const TError&) {
        return script.CurrentTable;
    }
    for (std::size_t t = 0; t < script.Tables.size(); ++t)
        if (script.Tables[t]->Name == tableName)
            return static_cast<int>(t);
    const std::string folded = data::FoldCase(tableName);
    for (std::size_t t = 0; t < script.Tables.size(); ++t)
        if (data::FoldCase(script.Tables[t]->Name) == folded)
            return static_cast<int>(t);
    return script.CurrentTable;
}

void ReadDatasetMember(TScript& script, data::TData& dataset, const std::string& path,
                       const TLoadProjectOptions& options)
{
    const int t = TableForDataset(script, path);
    dataset.Table = script.Tables[static_cast<std::size_t>(t)].get();
    dataset.UsedFields.assign(static_cast<std::size_t>(dataset.Table->FieldCount), false);
    std::vector<data::TFieldChoice> choices;
    try {
        data::TRWFile file;
        file.OpenForReading(path);
        data::ReadDataset(dataset, file, &choices);
        file.Close();
        script.FieldChoices[static_cast<std::size_t>(t)] = choices;
    } catch (const TError& e) {
        if (options.Warnings)
            options.Warnings->push_back(e.what());
    }
}

void ReadScript(TProject& project, TProjectReader& reader, int s, const std::string& folder,
                const TLoadProjectOptions& options)
{
    const std::string index = std::to_string(s);
    reader.Find("SCRIPTNAME" + index);
    TScript& script = AddScript(project, reader.ReadLine());

    reader.Find("TABLECOUNT" + index);
    const int tableCount = reader.ReadCount("TABLECOUNT" + index);
    reader.Find("TABLENAMES" + index);
    for (int t = 0; t < tableCount; ++t) {
        const std::string name = data::TrimBlanks(reader.ReadLine());
        if (!IsPlainFileName(name))
            throw TError("project file names the table \"" + name + "\", which is not a plain file name");
        std::string path = FindMember(folder, name);
        if (path.empty())
            path = MemberPath(folder, name);
        AddTable(script, path, data::TTableKind::TableFile).Name = name;
    }

    reader.Find("DATACOUNT" + index);
    const int datasetCount = reader.ReadCount("DATACOUNT" + index);
    for (int k = 0; k < datasetCount; ++k) {
        const std::string key = index + std::to_string(k);
        reader.Find("DATANAME" + key);
        const std::string name = FilePart(data::TrimBlanks(reader.ReadLine()));
        if (script.Tables.empty())
            throw TError("project file: the dataset \"" + name + "\" belongs to a script without tables");
        data::TData& dataset = AddDataset(script, name);
        dataset.Name = data::BaseName(name);
        ReadDatasetMember(script, dataset, MemberPath(folder, data::BaseName(name) + ".obd"), options);
        reader.Find("MAPCOUNT" + key);
        const int mapCount = reader.ReadCount("MAPCOUNT" + key);
        if (mapCount < 1 && options.CreateFreshMaps) {
            // A dataset saved without an initialised map comes back with a fresh one.
            map::TMap& map = map::AddMap(dataset, dataset.Name);
            map::AddLayer(map, "Datasets");
            ComputeComponentsInto(map);
            if (options.ConnectMap)
                options.ConnectMap(map);
        }
        for (int j = 0; j < mapCount; ++j) {
            reader.Find("MAPNAMES" + key + std::to_string(j));
            const std::string mapName = FilePart(data::TrimBlanks(reader.ReadLine()));
            map::TMap& map = map::AddMap(dataset, data::BaseName(mapName));
            std::string error;
            if (!map::ReadMapFileFrom(dataset, MemberPath(folder, data::BaseName(mapName) + ".obm"), &error) &&
                options.Warnings)
                options.Warnings->push_back(error);
            AddStandardLayers(map);
            if (options.ConnectMap)
                options.ConnectMap(map);
        }
    }
}

} // namespace

std::string MemberFolder(const std::string& projectFileName)
{
    return FolderOf(projectFileName);
}

void SaveProject(TProject& project, const std::string& fileName)
{
    CheckMemberNames(project);
    RecoverInterruptedSave(fileName);
    const std::string folder = MemberFolder(fileName);
    // Every member goes to a temporary file first; the journal puts them all in place.
    TSaveJournal journal(fileName);
    data::TRWFile file;
    file.CreateForWriting(journal.Temporary(fileName));
    file.WriteLine("# PROJECTNAME");
    file.WriteLine(project.Name);
    file.WriteLine("# FULLPROJECTNAME");
    file.WriteLine(project.FullName);
    file.WriteLine("");
    file.WriteLine("# SCRIPTCOUNT");
    file.WriteLine(std::to_string(project.Scripts.size()));
    for (std::size_t s = 0; s < project.Scripts.size(); ++s) {
        TScript& script = *project.Scripts[s];
        const std::string index = std::to_string(s);
        WriteMissingTables(script, folder, journal);
        file.WriteLine("# SCRIPTNAME" + index);
        file.WriteLine(script.Name);
        file.WriteLine("# TABLECOUNT" + index);
        file.WriteLine(std::to_string(script.Tables.size()));
        file.WriteLine("# TABLENAMES" + index);
        for (const auto& table : script.Tables)
            file.WriteLine(table->Name + " ");
        file.WriteLine("# DATACOUNT" + index);
        file.WriteLine(std::to_string(script.Datasets.size()));
        for (std::size_t k = 0; k < script.Datasets.size(); ++k) {
            data::TData& dataset = *script.Datasets[k];
            const std::string key = index + std::to_string(k);
            file.WriteLine("# DATANAME" + key);
            file.WriteLine(dataset.Name);
            data::WriteDatasetFile(dataset,
                                   journal.Temporary(MemberPath(folder, data::BaseName(dataset.Name) + ".obd")));
            // Maps never initialised have no grid and are not saved.
            std::vector<const map::TMap*> saved;
            for (const auto& map : dataset.Maps)
                if (map->Grid)
                    saved.push_back(map.get());
            file.WriteLine("# MAPCOUNT" + key);
            file.WriteLine(std::to_string(saved.size()));
            for (std::size_t j = 0; j < saved.size(); ++j) {
                file.WriteLine("# MAPNAMES" + key + std::to_string(j));
                file.WriteLine(saved[j]->Name);
                map::WriteMapFileTo(*saved[j],
                                    journal.Temporary(MemberPath(folder, data::BaseName(saved[j]->Name) + ".obm")));
            }
        }
    }
    file.Close();
    journal.Commit();
}

bool LoadProject(TProject& project, const std::string& fileName, const TLoadProjectOptions& options)
{
    try {
        RecoverInterruptedSave(fileName);
        const std::string folder = MemberFolder(fileName);
        // A save by another process waits until the whole project is read.
        std::optional<data::TFolderLock> lock;
        try {
            lock.emplace(folder, false);
        } catch (const TError&) {
            // A folder that cannot be locked is read as it is.
        }
        TProjectReader reader(fileName);
        reader.Find("PROJECTNAME");
        project.Name = reader.ReadLine();
        reader.Find("SCRIPTCOUNT");
        const int scriptCount = reader.ReadCount("SCRIPTCOUNT");
        for (int s = 0; s < scriptCount; ++s)
            ReadScript(project, reader, s, folder, options);
        return true;
    } catch (const TError& e) {
        if (options.Error)
            *options.Error = e.what();
        return false;
    }
}

} // namespace orbelin::app

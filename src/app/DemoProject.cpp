// Loading the demonstration project from the embedded resources or from a folder.
#include "app/DemoProject.h"

#include "app/MapMembers.h"
#include "app/MemberFiles.h"
#include "app/TDispatcher.h"
#include "data/DatasetFile.h"
#include "data/Resources.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/MapInit.h"
#include "map/TMap.h"
#include "view/ConnectionSet.h"
#include "view/PointSetFiles.h"

namespace orbelin::app {

namespace {

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

/// The demo's files, embedded or in a folder, behind one set of readers.
class TDemoSource {
public:
    explicit TDemoSource(std::string folder) : Folder_(std::move(folder)) {}

    bool Has(const std::string& name) const
    {
        if (Folder_.empty())
            return data::FindResource(name).has_value();
        return !FindMember(Folder_, name).empty();
    }

    void Open(data::TRWFile& file, const std::string& name) const
    {
        if (Folder_.empty())
            file.OpenResource(name);
        else
            file.OpenForReading(FindMember(Folder_, name));
    }

    void LoadTable(data::TDataTable& table, const std::string& name) const
    {
        if (Folder_.empty())
            data::LoadTable(table, name, data::TTableKind::Resource);
        else
            data::LoadTable(table, FindMember(Folder_, name), data::TTableKind::TableFile);
    }

    bool ReadMap(data::TData& dataset, const std::string& name, std::string& error) const
    {
        if (Folder_.empty())
            return map::ReadMapFile(dataset, name, true, &error);
        const bool read = map::ReadMapFileFrom(dataset, FindMember(Folder_, name), &error);
        dataset.CurrentMap()->Name = data::BaseName(name);
        return read;
    }

private:
    std::string Folder_;
};

/// The text of the line after a header, "" when the header is missing.
std::string SectionLine(data::TRWFile& file, const char* key)
{
    return file.FindKey(key) && !file.AtEnd() ? data::TrimBlanks(file.ReadLine()) : std::string();
}

} // namespace

std::string TDemoReport::Message() const
{
    if (Complete())
        return {};
    std::string text = "The demonstration project is incomplete.";
    text += " Loaded: " + (Loaded.empty() ? std::string("nothing") : JoinNames(Loaded)) + ".";
    if (!Missing.empty())
        text += " Missing: " + JoinNames(Missing) + ".";
    for (const std::string& error : Errors)
        text += "\r\n" + error;
    return text;
}

TUpdate TDispatcher::LoadDemo(const TDemoFiles& files, TDemoReport& report)
{
    TUpdate update;
    report = TDemoReport();
    RecomputeCurrent();
    const TDemoSource source(files.Folder);

    // The map names its table and dataset; without it the default names stand in.
    std::string tableName = files.Table;
    std::string datasetName = files.Dataset;
    bool haveMap = source.Has(files.Map);
    if (!haveMap) {
        report.Missing.push_back(files.Map);
    } else {
        try {
            data::TRWFile file;
            source.Open(file, files.Map);
            const std::string dataFile = SectionLine(file, "DATAFILENAME");
            const std::string table = SectionLine(file, "TABLENAME");
            file.Close();
            if (dataFile.empty() || table.empty())
                throw TError("map " + files.Map + " does not name its dataset and table (\"# DATAFILENAME\", " +
                             "\"# TABLENAME\")");
            tableName = table;
            datasetName = data::BaseName(dataFile) + ".OBD";
        } catch (const TError& e) {
            report.Errors.push_back(e.what());
            haveMap = false;
        }
    }
    const auto noteMissing = [&](const std::vector<std::string>& names) {
        for (const std::string& name : names)
            if (!source.Has(name))
                report.Missing.push_back(name);
    };

    if (!source.Has(tableName)) {
        report.Missing.push_back(tableName);
        noteMissing({datasetName, files.StyleSets, files.VisibilitySets});
        return update;
    }
    EnsureProject(update);
    TScript& script = EnsureScript("", update);
    const int s = Project_->CurrentScript;
    const TTreeNode* tableNode = nullptr;
    try {
        data::TDataTable table;
        source.LoadTable(table, tableName);
        AppendTable(script, std::move(table));
        tableNode = Tree_.AddTable(s, script.CurrentTable, script.Table()->Name);
        report.Loaded.push_back(tableName);
    } catch (const TError& e) {
        report.Errors.push_back(e.what());
        Current_ = CurrentChain(Project_.get());
        return update;
    }
    update.TreeChanged = true;
    update.MenusChanged = true;
    update.RefreshPanels.push_back(TablesPanel);

    if (!source.Has(datasetName)) {
        report.Missing.push_back(datasetName);
        noteMissing({files.StyleSets, files.VisibilitySets});
        // With the table alone the user starts at its field list.
        if (tableNode) {
            RunSelection(*tableNode, update);
            update.Select = tableNode;
        }
        Current_ = CurrentChain(Project_.get());
        return update;
    }

    data::TData& dataset = app::AddDataset(script, data::BaseName(haveMap ? files.Map : datasetName));
    const int k = script.CurrentDataset;
    Tree_.AddDataset(s, k, dataset.Name);
    try {
        std::vector<data::TFieldChoice> choices;
        data::TRWFile file;
        source.Open(file, datasetName);
        data::ReadDataset(dataset, file, &choices);
        file.Close();
        script.FieldChoices[static_cast<std::size_t>(script.CurrentTable)] = choices;
        report.Loaded.push_back(datasetName);
    } catch (const TError& e) {
        report.Errors.push_back(e.what());
        noteMissing({files.StyleSets, files.VisibilitySets});
        Current_ = CurrentChain(Project_.get());
        return update;
    }

    bool mapRead = false;
    if (haveMap) {
        map::TMap& map = map::AddMap(dataset, data::BaseName(files.Map));
        std::string error;
        mapRead = source.ReadMap(dataset, files.Map, error);
        AddStandardLayers(map);
        if (ConnectMap)
            ConnectMap(map);
        Tree_.AddMapWithLayers(s, k, dataset.ActiveMap, map);
        if (mapRead)
            report.Loaded.push_back(files.Map);
        else
            report.Errors.push_back(error);
    } else {
        // No map to read: the dataset gets a fresh one, as Load dataset gives it.
        map::TMap& map = map::AddMap(dataset, dataset.Name);
        map::AddLayer(map, "Datasets");
        Tree_.AddMapWithLayers(s, k, dataset.ActiveMap, map);
        ComputeComponentsInto(map);
        if (ConnectMap)
            ConnectMap(map);
        try {
            map::InitializeMap(map, 3);
        } catch (const TError& e) {
            report.Errors.push_back(e.what());
        }
        Tree_.AddLayerNodes(s, k, dataset.ActiveMap, map);
    }

    const auto readSets = [&](const std::string& name, const auto& read) {
        if (!source.Has(name)) {
            report.Missing.push_back(name);
            return;
        }
        try {
            data::TRWFile file;
            source.Open(file, name);
            read(file);
            file.Close();
            report.Loaded.push_back(name);
        } catch (const TError& e) {
            report.Errors.push_back(e.what());
        }
    };
    readSets(files.StyleSets,
             [&](data::TRWFile& file) { view::ReadStyleSets(file, dataset.StyleSets, dataset.StyleSetNames); });
    readSets(files.VisibilitySets, [&](data::TRWFile& file) {
        view::ReadVisibilitySets(file, dataset.VisibilitySets, dataset.VisibilitySetNames);
    });
    report.SelectFirstSets = !dataset.StyleSets.empty() || !dataset.VisibilitySets.empty();

    // The demo shows every point joined to its place on the map.
    map::TMap* map = dataset.CurrentMap();
    report.Connections = map && map->Grid;
    if (report.Connections)
        view::ApplyConnectionsSwitch(*map, true);
    if (const TTreeNode* mapNode = Tree_.MapNode(s, k, dataset.ActiveMap))
        if (const TTreeNode* layerNode = mapNode->Child(LayerNodeCode(0))) {
            RunSelection(*layerNode, update);
            update.Select = layerNode;
        }
    update.HideDispatcher = mapRead;
    Current_ = CurrentChain(Project_.get());
    return update;
}

} // namespace orbelin::app

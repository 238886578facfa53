// The object dispatcher: the open project, its tree, the current objects, and every
// command that changes them. The desktop program's windows show what it holds and carry
// out the TUpdate each call returns.
#pragma once

#include "app/TObjectTree.h"
#include "app/TProject.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orbelin::app {

struct TDemoFiles;
struct TDemoReport;

/// The current objects, recomputed from the project's indices before every command.
/// Members are null (Layer -1) where the chain breaks off.
struct TCurrentChain {
    TScript* Script = nullptr;
    data::TDataTable* Table = nullptr;
    data::TData* Dataset = nullptr;
    map::TMap* Map = nullptr;
    int Layer = -1;
};

/// The chain the project's indices give; all null without a project.
TCurrentChain CurrentChain(const TProject* project);

/// The panels of the object manipulation window.
enum TPanel : int {
    NoPanel = 0,
    ScriptsPanel = 1,
    TablesPanel = 2, ///< refreshing it shows the table window, or closes it without a current table
    TablePanel = 3,
    DatasetsPanel = 4,
    MapsPanel = 5,
    MapPanel = 6,
    ViewPanel = 7, ///< "Datapoints" or "Net"
    ColoringPanel = 8,
    SelectionsPanel = 9,
};

/// What the map window has to do.
struct TMapWindowUpdate {
    bool Close = false;     ///< close and free it
    bool Show = false;      ///< create it if needed, set it to the current dataset and show it
    bool SwitchMap = false; ///< switch it to the current map
    bool Maximise = false;
};

/// What the windows do after a call, in this order: rebuild the tree view when
/// TreeChanged, select Select (inside a TSyncScope, so the selection is not run again),
/// refresh the panels listed, show ShowPanel, then carry out the rest.
struct TUpdate {
    bool Ignored = false;              ///< the call arrived while an update was being applied
    bool TreeChanged = false;          ///< nodes were added, removed, renamed or renumbered
    const TTreeNode* Select = nullptr; ///< node to select in the tree view
    std::vector<int> RefreshPanels;    ///< panels to refresh, in order (10 refreshes nothing)
    int ShowPanel = NoPanel;           ///< panel to refresh and show
    std::string PanelTitle;            ///< the view panel's title
    bool DataPointSwitch = false;      ///< the view panel shows the data-point switch
    bool NetSwitch = false;            ///< the view panel shows the net switch
    int TablePage = -1;                ///< table window page to activate when the window is open
    TMapWindowUpdate MapWindow;
    bool MenusChanged = false;      ///< refresh menus and toolbars
    bool ShowObjectWindows = false; ///< dock and show the dispatcher and manipulation windows
    bool ToggleObjectWindows = false;
    bool HideDispatcher = false;
    bool CloseMainWindow = false;
};

/// The lists of the Scripts, Tables, Datasets and Maps panels.
enum class TObjectList { Scripts, Tables, Datasets, Maps };

/// Owns the open project (if any) and its tree. Every call first recomputes the current
/// chain, remembering the previous one, and a command whose object is absent does nothing.
/// Messages and questions go through orbelin::UserInterface().
class TDispatcher {
public:
    TDispatcher();
    ~TDispatcher();

    TProject* Project() const { return Project_.get(); }
    const TObjectTree& Tree() const { return Tree_; }
    /// The chain as of the last call.
    const TCurrentChain& Current() const { return Current_; }
    /// Recomputes the current chain from the indices; the chain before becomes Previous().
    const TCurrentChain& RecomputeCurrent();
    const TCurrentChain& Previous() const { return Previous_; }

    /// The Table panel's "Exclude gaps" box.
    bool ExcludeGaps = false;
    /// Called for every map the commands create or read, so that the main window can
    /// attach its view handlers to it.
    std::function<void(map::TMap&)> ConnectMap;

    /// Whether the map window exists; the main window reports a window closed by the user.
    bool MapWindowOpen() const { return MapWindowOpen_; }
    void MapWindowClosed() { MapWindowOpen_ = false; }

    /// While a scope is alive (the windows apply an update: select a tree node, set a list
    /// row), list clicks and node selections are echoes of that update and are ignored.
    class TSyncScope {
    public:
        explicit TSyncScope(TDispatcher& dispatcher) : Dispatcher_(dispatcher) { ++Dispatcher_.SyncDepth_; }
        ~TSyncScope() { --Dispatcher_.SyncDepth_; }
        TSyncScope(const TSyncScope&) = delete;
        TSyncScope& operator=(const TSyncScope&) = delete;

    private:
        TDispatcher& Dispatcher_;
    };
    bool Syncing() const { return SyncDepth_ > 0; }

    // The tree and the lists.
    /// Selecting a node makes its script, dataset and map current, then the node itself,
    /// and shows the node's panel.
    TUpdate SelectNode(const TTreeNode& node);
    /// A click on a list entry makes it current and selects its tree node.
    TUpdate ListClick(TObjectList list, int index);
    /// Renames the script, table, dataset or map behind a node to the edited label.
    /// Folder and layer nodes keep their labels. A name that is empty, is not a plain file
    /// name (tables, datasets, maps), or is taken by another dataset or map of the project
    /// is refused with a message; the node then keeps its label and the call returns false.
    bool Rename(const TTreeNode& node, const std::string& label);

    // The project commands.
    TUpdate NewProject();
    /// Asks for the file with the open dialog, then OpenProjectFile.
    TUpdate OpenProject();
    /// Opens that project file: asks whether to save an open project (Cancel ends the
    /// command), reads the file into a new project and, once it has been read, closes the
    /// open one. A file that cannot be read is reported and the open project stays.
    TUpdate OpenProjectFile(const std::string& path);
    /// Saves into the file the project was opened from or last saved as, else Name +
    /// ".obp" in the working directory, else as Save as. False when nothing was saved (the
    /// error has been shown).
    bool SaveProject();
    bool SaveProjectAs();
    TUpdate CloseProject();
    TUpdate Exit();

    // The commands that change the tree.
    TUpdate AddScript();
    /// Deletes the script at the script list's index.
    TUpdate DeleteScript(int index);
    /// Asks for the file with the open dialog, then LoadTableFile.
    TUpdate LoadTable();
    TUpdate LoadTableFile(const std::string& path);
    /// Load table for a table read beforehand (off the user-interface thread): the same
    /// steps as LoadTableFile after its load.
    TUpdate AddLoadedTable(data::TDataTable table);
    /// The table window appended table k to the current script (a derived table): its
    /// node is added and selected.
    TUpdate TableAppended(int table);
    /// Table k of the current script was read again from another file: its node takes the
    /// table's new name and the Table panel is refreshed.
    TUpdate TableReread(int table);
    /// Asks for the file with the open dialog, then LoadDatasetFile.
    TUpdate LoadDataset();
    TUpdate LoadDatasetFile(const std::string& path);
    TUpdate CreateDataset();
    /// Deletes the table at the table list's index, after asking, together with the
    /// datasets built on it.
    TUpdate DeleteTable(int index);
    /// Deletes the dataset at the dataset list's index, with its maps.
    TUpdate DeleteDataset(int index);
    /// "Save data": the current dataset's file under a name chosen in the save dialog,
    /// then the dataset's table file under the table's name. False when nothing was saved.
    bool SaveData();
    /// SaveData without the dialog.
    bool SaveDataTo(const std::string& path);

    // The commands on maps.
    /// Adds a map to the current dataset, computes its components and initialises it;
    /// readPanel, when given, first copies the map panel's settings into the map.
    TUpdate AddMap(const std::function<void(map::TMap&)>& readPanel = {});
    /// Deletes the map at the map list's index of the current dataset.
    TUpdate DeleteMap(int index);
    /// Asks for the file with the open dialog, then LoadMapFile.
    TUpdate LoadMap();
    /// Loads a map file with the table and the dataset it names, from the map file's folder.
    TUpdate LoadMapFile(const std::string& path);
    /// "Save map": the current map's file under a name chosen in the save dialog, then the
    /// table file of its dataset under the table's name. False when nothing was saved.
    bool SaveMap();
    /// SaveMap without the dialog. The dataset's file is written too when the folder has
    /// none, so that the map can be loaded from there.
    bool SaveMapTo(const std::string& path);

    /// A map that a command outside the dispatcher put into a dataset of the current
    /// script (the automatic construction adds one): it gets a tree node when it has none
    /// (ConnectMap is called for it) and nodes for layers added since, becomes the current
    /// map with its node selected, and the map window follows. A map the project does not
    /// hold changes nothing.
    TUpdate AdoptMap(const map::TMap& map);

    /// Loads the demonstration project as Load map does, from the embedded resources (or
    /// files.Folder): the map, the table and dataset it names, then the point-style and
    /// visibility sets into the dataset. Whatever is there is loaded; report lists what
    /// was read, what is missing and what failed.
    TUpdate LoadDemo(const TDemoFiles& files, TDemoReport& report);

private:
    /// Creates an empty project when there is none.
    void EnsureProject(TUpdate& update);
    /// The current script, adding one named name when there is none.
    TScript& EnsureScript(const std::string& name, TUpdate& update);
    /// Runs the node selection on the current chain into update.
    void RunSelection(const TTreeNode& node, TUpdate& update);
    /// The layer part of a selection: the current map's layer and the panel it opens.
    void SelectLayer(int layer, TUpdate& update);
    /// Applies the map window rule to the current and previous chains.
    void UpdateMapWindow(TUpdate& update);
    /// Replaces the project (null closes it) and rebuilds the tree.
    void ReplaceProject(std::unique_ptr<TProject> project);
    /// Asks "Save ... in the project?" when a project is open; false when the command has
    /// to end (Cancel, or Yes and the save did not happen). saved tells whether it saved.
    bool AskToSave(const std::string& question, bool& saved);
    /// Shows why the command cannot run and returns true while a map of the project is
    /// being trained (replacing the project would free it under the training thread).
    bool ProjectIsTraining(const std::string& action) const;
    /// Saves to that file, showing an error; false on failure.
    bool SaveTo(const std::string& path);
    /// Forgets the map window's objects when they are gone from the project.
    void CheckMapWindowObjects(TUpdate& update);

    std::unique_ptr<TProject> Project_;
    TObjectTree Tree_;
    TCurrentChain Current_;
    TCurrentChain Previous_;
    bool MapWindowOpen_ = false;
    data::TData* MapWindowDataset_ = nullptr;
    map::TMap* MapWindowMap_ = nullptr;
    int SyncDepth_ = 0;
};

/// The position of the map window's zoom slider for the 3D view's zoom z:
/// round(-10000 / (z - 19)), halves to even.
int ZoomSliderPosition(double z);

} // namespace orbelin::app

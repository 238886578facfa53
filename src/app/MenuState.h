// Which menu entries, toolbar buttons and toolbars the main window shows for the current
// objects.
#pragma once

#include "app/TDispatcher.h"

namespace orbelin::app {

/// The outcome of the menu refresh that follows every command that changes objects.
/// Entries not listed here do not depend on the current objects.
struct TMenuState {
    // With a project.
    bool Close = false;             ///< "Close"
    bool ScriptAdd = false;         ///< the Script menu's "Add"
    bool LoadData = false;          ///< "Load data"
    bool LoadObjects = false;       ///< "Load objects"
    bool ScriptMenu = false;        ///< the Script menu
    bool WindowMenu = false;        ///< the Window menu
    bool SaveProjectButton = false; ///< the "Save project" button is enabled

    // With a current script.
    bool AddTable = false;     ///< "Add table"
    bool ScriptDelete = false; ///< the Script menu's "Delete"

    // With a current table.
    bool DataMenu = false;             ///< the Data menu (also shown with a current dataset)
    bool CreateDataset = false;        ///< "Create dataset"
    bool DeleteTable = false;          ///< the Script menu's "Delete table"
    bool WorkWithTableToolbar = false; ///< the "Work with table" toolbar, and its menu entry ticked

    // With a current dataset.
    bool SetToolbar = false;            ///< the point-style and visibility set lists
    bool MapAutosettingToolbar = false; ///< the "Map autosetting" toolbar, and its entry ticked
    bool SaveData = false;
    bool DeleteDataset = false; ///< the Data menu's "Delete dataset"
    bool Statistics = false;
    bool AnalysisOfObjects = false;
    bool MapMenu = false;

    // With a current map; the rest only when it has a grid.
    bool Initialize = false;
    bool SaveMap = false;
    bool MapDelete = false;     ///< the Map menu's "Delete"
    bool MapProperties = false; ///< the Map menu's "Properties"
    bool Adjust = false;
    bool Interrupt = false;
    bool GridSwitches = false; ///< "Net nodes", "Net lines", "Colorings", "Selections" enabled

    // The child windows.
    bool InstrumentsToolbar = false; ///< the "Instruments" toolbar, and "Tools" ticked
    bool WindowEntries = false;      ///< the Window menu's entries are enabled

    // Which toolbar entries of the View menu can be ticked at all.
    bool WorkWithTableToggle = false;  ///< only with a current table
    bool ToolsToggle = false;          ///< only with a current map
    bool MapAutosettingToggle = false; ///< only with a current map
};

/// The menu refresh for the current chain: everything hidden first, then shown step by
/// step for a project, a current script, table, dataset and map; the toolbars and the
/// Window menu follow the map window and the table window.
TMenuState ComputeMenuState(bool projectOpen, const TCurrentChain& chain, bool mapWindowOpen, bool tableWindowOpen);

} // namespace orbelin::app

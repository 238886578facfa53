// The menu refresh of the main window.
#include "app/MenuState.h"

#include "map/TMap.h"

namespace orbelin::app {

TMenuState ComputeMenuState(bool projectOpen, const TCurrentChain& chain, bool mapWindowOpen, bool tableWindowOpen)
{
    TMenuState state;
    // The chain may outlive nothing but the project: without one, nothing of it counts.
    const TCurrentChain none;
    const TCurrentChain& c = projectOpen ? chain : none;

    if (projectOpen) {
        state.Close = state.ScriptAdd = state.LoadData = state.LoadObjects = true;
        state.ScriptMenu = state.WindowMenu = true;
        state.SaveProjectButton = true;
    }
    if (c.Script)
        state.AddTable = state.ScriptDelete = true;
    if (c.Table) {
        state.DataMenu = state.CreateDataset = state.DeleteTable = true;
        state.WorkWithTableToolbar = state.WorkWithTableToggle = true;
    }
    if (c.Dataset) {
        state.SetToolbar = state.MapAutosettingToolbar = true;
        state.SaveData = state.DeleteDataset = state.Statistics = state.AnalysisOfObjects = true;
        state.DataMenu = state.MapMenu = true;
    }
    if (c.Map) {
        state.Initialize = true;
        state.ToolsToggle = state.MapAutosettingToggle = true;
        if (c.Map->Grid) {
            state.SaveMap = state.MapDelete = state.MapProperties = true;
            state.Adjust = state.Interrupt = true;
            state.GridSwitches = true;
        }
    }
    state.InstrumentsToolbar = mapWindowOpen;
    state.WindowEntries = mapWindowOpen || tableWindowOpen;
    return state;
}

} // namespace orbelin::app

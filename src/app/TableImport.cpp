// Load table in two steps: reading the file, then adding the table to the project.
#include "app/TableImport.h"

#include "app/FileDialogs.h"
#include "app/TDispatcher.h"
#include "data/TextRoutines.h"

#include <algorithm>

namespace orbelin::app {

data::TDataTable ImportTable(const std::string& path)
{
    data::TDataTable table;
    data::LoadTable(table, path, TableKindOfFile(path));
    return table;
}

TUpdate TDispatcher::AddLoadedTable(data::TDataTable table)
{
    TUpdate update;
    RecomputeCurrent();
    EnsureProject(update);
    TScript& script = EnsureScript(data::BaseName(table.Path), update);
    const data::TDataTable& added = AppendTable(script, std::move(table));
    Tree_.AddTable(Project_->CurrentScript, script.CurrentTable, added.Name);
    Current_ = CurrentChain(Project_.get());
    update.TreeChanged = true;
    update.MenusChanged = true;
    update.RefreshPanels.push_back(TablesPanel);
    return update;
}

} // namespace orbelin::app

namespace orbelin::app {

TUpdate TDispatcher::TableAppended(int table)
{
    TUpdate update;
    RecomputeCurrent();
    TScript* script = Current_.Script;
    if (!script || table < 0 || table >= static_cast<int>(script->Tables.size()))
        return update;
    const int s = Project_->CurrentScript;
    // Nodes are appended in order: add those of every table that has none yet.
    for (int t = 0; t <= table; ++t)
        if (!Tree_.TableNode(s, t))
            Tree_.AddTable(s, t, script->Tables[static_cast<std::size_t>(t)]->Name);
    const TTreeNode* node = Tree_.TableNode(s, table);
    if (node) {
        RunSelection(*node, update);
        update.Select = node;
    }
    update.TreeChanged = true;
    update.MenusChanged = true;
    if (std::find(update.RefreshPanels.begin(), update.RefreshPanels.end(), TablesPanel) == update.RefreshPanels.end())
        update.RefreshPanels.push_back(TablesPanel);
    return update;
}

TUpdate TDispatcher::TableReread(int table)
{
    TUpdate update;
    RecomputeCurrent();
    TScript* script = Current_.Script;
    if (!script || table < 0 || table >= static_cast<int>(script->Tables.size()))
        return update;
    if (TTreeNode* node = Tree_.TableNode(Project_->CurrentScript, table))
        node->Label = script->Tables[static_cast<std::size_t>(table)]->Name;
    update.TreeChanged = true;
    update.MenusChanged = true;
    update.RefreshPanels = {TablesPanel, TablePanel, DatasetsPanel};
    return update;
}

} // namespace orbelin::app

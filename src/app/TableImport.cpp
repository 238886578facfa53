// Load table in two steps: reading the file, then adding the table to the project.
#include "app/TableImport.h"

#include "app/FileDialogs.h"
#include "app/TDispatcher.h"
#include "data/TextRoutines.h"

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

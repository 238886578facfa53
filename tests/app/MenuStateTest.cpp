// The menu refresh: which entries and toolbars each level of the current chain brings.
#include "app/MenuState.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "map/MapInit.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

namespace orbelin::app {
namespace {

TEST(MenuStateTest, EachLevelOfTheChainShowsItsEntries)
{
    TProject project;
    TScript& script = AddScript(project, "s");
    AppendTable(script, test::MakeXYTable("t", {{1, 2}, {3, 5}, {4, 1}, {2, 2}}));
    SetFieldMark(script, 1, true);
    SetFieldMark(script, 2, true);
    data::TData& dataset = *CreateDataset(script, false).Dataset;
    map::TMap& bare = map::AddMap(dataset, "bare");
    map::TMap& initialised = map::AddMap(dataset, "grid");
    initialised.RequestedRows = initialised.RequestedColumns = 2;
    map::InitializeMap(initialised, 2, false);

    const TCurrentChain full = CurrentChain(&project);
    const auto chainTo = [&](int level) {
        TCurrentChain c;
        c.Script = level >= 1 ? full.Script : nullptr;
        c.Table = level >= 2 ? full.Table : nullptr;
        c.Dataset = level >= 3 ? full.Dataset : nullptr;
        c.Map = level == 4 ? &bare : level == 5 ? &initialised : nullptr;
        return c;
    };
    struct TCase {
        const char* Name;
        bool Project;
        int Level;
        bool Close, AddTable, DataMenu, WorkWithTable, MapMenu, SaveData, Initialize, SaveMap, GridSwitches;
    };
    const TCase cases[] = {
        {"no project, stale chain", false, 5, false, false, false, false, false, false, false, false, false},
        {"empty project", true, 0, true, false, false, false, false, false, false, false, false},
        {"script", true, 1, true, true, false, false, false, false, false, false, false},
        {"table", true, 2, true, true, true, true, false, false, false, false, false},
        {"dataset", true, 3, true, true, true, true, true, true, false, false, false},
        {"map never initialised", true, 4, true, true, true, true, true, true, true, false, false},
        {"map with a grid", true, 5, true, true, true, true, true, true, true, true, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TMenuState s = ComputeMenuState(c.Project, chainTo(c.Level), false, false);
        EXPECT_EQ(c.Close, s.Close);
        EXPECT_EQ(c.Close, s.ScriptMenu && s.WindowMenu && s.SaveProjectButton);
        EXPECT_EQ(c.AddTable, s.AddTable && s.ScriptDelete);
        EXPECT_EQ(c.DataMenu, s.DataMenu && s.CreateDataset);
        EXPECT_EQ(c.WorkWithTable, s.WorkWithTableToolbar && s.WorkWithTableToggle);
        EXPECT_EQ(c.MapMenu, s.MapMenu && s.MapAutosettingToolbar && s.SetToolbar);
        EXPECT_EQ(c.SaveData, s.SaveData && s.Statistics && s.AnalysisOfObjects);
        EXPECT_EQ(c.Initialize, s.Initialize && s.ToolsToggle);
        EXPECT_EQ(c.SaveMap, s.SaveMap && s.MapDelete && s.Adjust);
        EXPECT_EQ(c.GridSwitches, s.GridSwitches);
    }

    // The toolbars and window entries follow the child windows, not the chain.
    EXPECT_TRUE(ComputeMenuState(true, TCurrentChain(), true, false).InstrumentsToolbar);
    EXPECT_FALSE(ComputeMenuState(true, full, false, true).InstrumentsToolbar);
    EXPECT_TRUE(ComputeMenuState(true, TCurrentChain(), false, true).WindowEntries);
    EXPECT_FALSE(ComputeMenuState(true, full, false, false).WindowEntries);
}

} // namespace
} // namespace orbelin::app

// Saving and reading projects with their member files.
#include "app/ProjectFile.h"
#include "AppTestUtil.h"
#include "app/FieldChoices.h"
#include "map/MapInit.h"
#include "map/TMap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin::app {
namespace {

namespace fs = std::filesystem;

/// A script holding one table file of the folder and datasets of its X and Y fields.
TScript& AddXYScript(TProject& project, const test::TTempDir& dir, const std::string& name, int datasets,
                     double shift = 0)
{
    TScript& script = AddScript(project, name);
    const std::string table = test::WriteXYTable(dir, "t_" + name, {{1 + shift, 2}, {3, 5 + shift}, {4, 1}});
    AddTable(script, table, data::TTableKind::TableFile);
    SetFieldMark(script, 1, true);
    SetFieldMark(script, 2, true);
    for (int k = 0; k < datasets; ++k)
        CreateDataset(script, false);
    return script;
}

TLoadProjectOptions ErrorTo(std::string& error)
{
    TLoadProjectOptions options;
    options.Error = &error;
    return options;
}

TLoadProjectOptions WarningsTo(std::vector<std::string>& warnings)
{
    TLoadProjectOptions options;
    options.Warnings = &warnings;
    return options;
}

/// Every script, table, dataset and saved map as one line each, with the first coordinate
/// of the dataset's first point and of the map's first node.
std::string Describe(const TProject& project)
{
    std::string text = "project " + project.Name + "\n";
    for (const auto& script : project.Scripts) {
        text += "script " + script->Name + "\n";
        for (const auto& table : script->Tables)
            text += " table " + table->Name + "\n";
        for (const auto& dataset : script->Datasets) {
            char value[32];
            std::snprintf(value, sizeof value, "%.4f", dataset->PointCount > 0 ? dataset->Points[0][0] : NAN);
            text += " dataset " + dataset->Name + " on " + (dataset->Table ? dataset->Table->Name : "-") + " points " +
                    std::to_string(dataset->PointCount) + " x0 " + value + "\n";
            // Maps without a grid are not saved; a dataset without any gets a fresh one.
            for (const auto& map : dataset->Maps) {
                if (!map->Grid)
                    continue;
                std::snprintf(value, sizeof value, "%.4f", map->Grid->Nodes[0][0]);
                text +=
                    "  map " + map->Name + " nodes " + std::to_string(map->Grid->NodeCount()) + " n0 " + value + "\n";
            }
        }
    }
    return text;
}

/// An initialised 2 x 3 map on the dataset.
map::TMap& AddInitialisedMap(data::TData& dataset, const std::string& name)
{
    map::TMap& map = map::AddMap(dataset, name);
    map.RequestedRows = 2;
    map.RequestedColumns = 3;
    map::InitializeMap(map, 3, false);
    return map;
}

TEST(ProjectFileTest, TwoScriptsRoundTrip)
{
    test::TTempDir dir;
    TProject project;
    project.Name = "two";
    AddXYScript(project, dir, "first", 1);
    TScript& second = AddXYScript(project, dir, "second", 1, 10);
    second.Tables[0]->PointStyles[1][FILLCOLOR] = 0x00FF00;
    second.Tables[0]->PointStyles[2][RADIUS] = 9;
    const std::string file = dir.File("two.obp");
    SaveProject(project, file);

    const std::string bytes = test::ReadBytes(file);
    EXPECT_EQ("# PROJECTNAME\r\ntwo\r\n# FULLPROJECTNAME\r\n\r\n\r\n# SCRIPTCOUNT\r\n2\r\n"
              "# SCRIPTNAME0\r\nfirst\r\n# TABLECOUNT0\r\n1\r\n# TABLENAMES0\r\nt_first.OBT \r\n"
              "# DATACOUNT0\r\n1\r\n# DATANAME00\r\nDatasets01\r\n# MAPCOUNT00\r\n0\r\n"
              "# SCRIPTNAME1\r\nsecond\r\n# TABLECOUNT1\r\n1\r\n# TABLENAMES1\r\nt_second.OBT \r\n"
              "# DATACOUNT1\r\n1\r\n# DATANAME10\r\nDatasets11\r\n# MAPCOUNT10\r\n0\r\n",
              bytes);

    TProject back;
    std::string error;
    ASSERT_TRUE(LoadProject(back, file, ErrorTo(error))) << error;
    EXPECT_EQ(Describe(project), Describe(back));
    const data::TData& d = *back.Scripts[1]->Datasets[0];
    EXPECT_EQ(0x00FF00, d.Table->PointStyles[1][FILLCOLOR]);
    EXPECT_EQ(9, d.Table->PointStyles[2][RADIUS]);
    EXPECT_EQ(1, back.CurrentScript);
    // The dataset file gives its choices back to the table's row.
    EXPECT_TRUE(back.Scripts[0]->FieldChoices[0][1].Use);
    EXPECT_TRUE(back.Scripts[0]->FieldChoices[0][2].Std);
    EXPECT_FALSE(back.Scripts[0]->FieldChoices[0][0].Use);
}

// With ten or more scripts or datasets, keys that run indices together coincide:
// "DATANAME120" is dataset 20 of script 1 and dataset 0 of script 12.
TEST(ProjectFileTest, CoincidingKeysReadTheirOwnMembers)
{
    test::TTempDir dir;
    TProject project;
    project.Name = "many";
    for (int s = 0; s < 13; ++s)
        AddXYScript(project, dir, "s" + std::to_string(s), s == 1 ? 21 : 1, s);
    const std::string file = dir.File("many.obp");
    SaveProject(project, file);
    const std::string bytes = test::ReadBytes(file);
    const std::size_t first = bytes.find("# DATANAME120\r\n");
    ASSERT_NE(std::string::npos, first);
    ASSERT_NE(std::string::npos, bytes.find("# DATANAME120\r\n", first + 1)) << "the keys must coincide";

    TProject back;
    ASSERT_TRUE(LoadProject(back, file));
    EXPECT_EQ(Describe(project), Describe(back));
    EXPECT_EQ(project.Scripts[12]->Datasets[0]->Name, back.Scripts[12]->Datasets[0]->Name);
    EXPECT_EQ(project.Scripts[1]->Datasets[20]->Name, back.Scripts[1]->Datasets[20]->Name);
}

// A file laid out by hand: sections out of order are still found, as every token file's
// sections are, by the first header that contains the key.
TEST(ProjectFileTest, HandWrittenFileReadsByFirstMatchingHeader)
{
    test::TTempDir dir;
    test::WriteXYTable(dir, "t", {{1, 2}, {3, 4}});
    {
        TProject project;
        AddXYScript(project, dir, "x", 1);
        SaveProject(project, dir.File("scratch.obp"));
    }
    test::WriteBytes(dir.File("hand.obp"), "# PROJECTNAME\r\nhand\r\n# SCRIPTCOUNT\r\n2\r\n"
                                           "# SCRIPTNAME1\r\nlater\r\n# TABLECOUNT1\r\n1\r\n# TABLENAMES1\r\nt.OBT\r\n"
                                           "# DATACOUNT1\r\n0\r\n"
                                           "# SCRIPTNAME0\r\nearlier\r\n# TABLECOUNT0\r\n1\r\n"
                                           "# TABLENAMES0\r\nt_x.OBT\r\n# DATACOUNT0\r\n1\r\n"
                                           "# DATANAME00\r\nsub/Datasets01\r\n# MAPCOUNT00\r\n0\r\n");
    TProject back;
    std::string error;
    ASSERT_TRUE(LoadProject(back, dir.File("hand.obp"), ErrorTo(error))) << error;
    EXPECT_EQ("project hand\n"
              "script earlier\n table t_x.OBT\n dataset Datasets01 on t_x.OBT points 3 x0 -1.3363\n"
              "script later\n table t.OBT\n",
              Describe(back));
}

TEST(ProjectFileTest, MapsRoundTripAndUninitialisedMapsComeBackFresh)
{
    test::TTempDir dir;
    TProject project;
    TScript& script = AddXYScript(project, dir, "s", 2);
    data::TData& withMaps = *script.Datasets[0];
    AddInitialisedMap(withMaps, "Map001");
    map::AddMap(withMaps, "never initialised");
    AddInitialisedMap(withMaps, "Map003").Lambda = 0.5;
    withMaps.ActiveMap = 1;
    map::AddMap(*script.Datasets[1], "only uninitialised");
    const std::string file = dir.File("p.obp");
    SaveProject(project, file);
    EXPECT_EQ(1, withMaps.ActiveMap) << "saving does not change the current map";
    const std::string bytes = test::ReadBytes(file);
    EXPECT_NE(std::string::npos, bytes.find("# MAPCOUNT00\r\n2\r\n# MAPNAMES000\r\nMap001\r\n"
                                            "# MAPNAMES001\r\nMap003\r\n# DATANAME01\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("# MAPCOUNT01\r\n0\r\n"));
    EXPECT_FALSE(fs::exists(dir.File("never initialised.obm")));

    TProject back;
    int connected = 0;
    TLoadProjectOptions options;
    options.ConnectMap = [&](map::TMap&) { ++connected; };
    ASSERT_TRUE(LoadProject(back, file, options));
    EXPECT_EQ(3, connected);
    const data::TData& read = *back.Scripts[0]->Datasets[0];
    ASSERT_EQ(2u, read.Maps.size());
    EXPECT_EQ("Map001", read.Maps[0]->Name);
    EXPECT_EQ(0.5, read.Maps[1]->Lambda);
    EXPECT_EQ(1, read.ActiveMap);
    for (const auto& map : read.Maps) {
        ASSERT_EQ(4u, map->Layers.size());
        EXPECT_EQ("Colorings", map->Layers[2].Name);
        EXPECT_EQ(&read, map->Data);
    }
    for (int i = 0; i < 6; ++i)
        for (int c = 0; c < 2; ++c)
            EXPECT_NEAR(withMaps.Maps[0]->Grid->Nodes[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)],
                        read.Maps[0]->Grid->Nodes[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)], 1e-5);

    const data::TData& fresh = *back.Scripts[0]->Datasets[1];
    ASSERT_EQ(1u, fresh.Maps.size());
    const map::TMap& map = *fresh.Maps[0];
    EXPECT_EQ(fresh.Name, map.Name);
    EXPECT_EQ(nullptr, map.Grid);
    ASSERT_EQ(1u, map.Layers.size());
    EXPECT_EQ("Datasets", map.Layers[0].Name);
    ASSERT_EQ(2u, map.Components.size()) << "the principal components are computed";
    EXPECT_EQ(2u, map.Centre.size());
}

// "MAPNAMES0110" is map 10 of dataset 1 and map 0 of dataset 11 (script 0).
TEST(ProjectFileTest, CoincidingMapKeysReadTheirOwnMaps)
{
    test::TTempDir dir;
    TProject project;
    TScript& script = AddXYScript(project, dir, "s", 12);
    for (int j = 0; j < 11; ++j)
        AddInitialisedMap(*script.Datasets[1], "a" + std::to_string(j));
    AddInitialisedMap(*script.Datasets[11], "b0").Mu = 0.25;
    const std::string file = dir.File("p.obp");
    SaveProject(project, file);
    const std::string bytes = test::ReadBytes(file);
    ASSERT_NE(bytes.find("# MAPNAMES0110\r\na10"), std::string::npos);
    ASSERT_NE(bytes.find("# MAPNAMES0110\r\nb0"), std::string::npos);

    TProject back;
    ASSERT_TRUE(LoadProject(back, file));
    EXPECT_EQ(Describe(project), Describe(back));
    const data::TData& eleventh = *back.Scripts[0]->Datasets[11];
    ASSERT_EQ(1u, eleventh.Maps.size());
    EXPECT_EQ("b0", eleventh.Maps[0]->Name);
    EXPECT_EQ(0.25, eleventh.Maps[0]->Mu);
    EXPECT_EQ("a10", back.Scripts[0]->Datasets[1]->Maps[10]->Name);
}

TEST(ProjectFileTest, LoadFailsOnMissingTablesAndBadCounts)
{
    test::TTempDir dir;
    test::WriteXYTable(dir, "t", {{1, 2}});
    struct TCase {
        const char* Name;
        std::string Text;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"missing table",
         "# PROJECTNAME\r\np\r\n# SCRIPTCOUNT\r\n1\r\n# SCRIPTNAME0\r\ns\r\n# TABLECOUNT0\r\n1\r\n"
         "# TABLENAMES0\r\nnone.OBT \r\n# DATACOUNT0\r\n0\r\n",
         "none.OBT"},
        {"bad count", "# PROJECTNAME\r\np\r\n# SCRIPTCOUNT\r\nmany\r\n",
         "line 4: expected a count after \"# SCRIPTCOUNT\", found \"many\""},
        {"huge count", "# PROJECTNAME\r\np\r\n# SCRIPTCOUNT\r\n2000000000\r\n", "found \"2000000000\""},
        {"missing section", "# PROJECTNAME\r\np\r\n# SCRIPTCOUNT\r\n1\r\n", "\"# SCRIPTNAME0\" is missing"},
        {"table name with a folder",
         "# PROJECTNAME\r\np\r\n# SCRIPTCOUNT\r\n1\r\n# SCRIPTNAME0\r\ns\r\n"
         "# TABLECOUNT0\r\n1\r\n# TABLENAMES0\r\n../t.OBT\r\n",
         "not a plain file name"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::WriteBytes(dir.File("bad.obp"), c.Text);
        TProject back;
        std::string error;
        EXPECT_FALSE(LoadProject(back, dir.File("bad.obp"), ErrorTo(error)));
        EXPECT_NE(std::string::npos, error.find(c.Fragment)) << error;
    }
    std::string error;
    TProject none;
    EXPECT_FALSE(LoadProject(none, dir.File("absent.obp"), ErrorTo(error)));
    EXPECT_NE(std::string::npos, error.find("absent.obp")) << error;
}

TEST(ProjectFileTest, UnreadableDatasetIsKeptWithAWarning)
{
    test::TTempDir dir;
    TProject project;
    AddXYScript(project, dir, "s", 2);
    const std::string file = dir.File("p.obp");
    SaveProject(project, file);
    AddInitialisedMap(*project.Scripts[0]->Datasets[1], "m");
    SaveProject(project, file);
    fs::remove(dir.File("Datasets01.obd"));
    test::WriteBytes(dir.File("m.obm"), "# GRIDTYPE\r\nHEXAGONAL\r\n");

    TProject back;
    std::vector<std::string> warnings;
    ASSERT_TRUE(LoadProject(back, file, WarningsTo(warnings)));
    ASSERT_EQ(2u, back.Scripts[0]->Datasets.size());
    EXPECT_EQ(0, back.Scripts[0]->Datasets[0]->PointCount);
    EXPECT_EQ(3, back.Scripts[0]->Datasets[1]->PointCount);
    ASSERT_EQ(2u, warnings.size());
    EXPECT_NE(std::string::npos, warnings[0].find("Datasets01.obd")) << warnings[0];
    EXPECT_NE(std::string::npos, warnings[1].find("m.obm")) << warnings[1];
    EXPECT_EQ("m", back.Scripts[0]->Datasets[1]->Maps.at(0)->Name);
}

// A table imported from elsewhere has no table file beside the project; saving writes one,
// or the project could not be opened again.
TEST(ProjectFileTest, SaveWritesTableFilesThatAreMissing)
{
    test::TTempDir source;
    const fs::path target = source.Path() / "target";
    fs::create_directory(target);
    TProject project;
    AddXYScript(project, source, "s", 1);
    const std::string kept = (target / "t_s.OBT").string();
    const std::string file = (target / "p.obp").string();
    SaveProject(project, file);
    ASSERT_TRUE(fs::exists(kept));

    // An existing file of that name, in any letter case, is left as it is.
    fs::remove(kept);
    const std::string copy = (target / "t_s.obt").string();
    test::WriteBytes(copy, test::ReadBytes(source.File("t_s.obt")) + "\r\n");
    const std::string before = test::ReadBytes(copy);
    SaveProject(project, file);
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_EQ(before, test::ReadBytes(copy));

    TProject back;
    std::string error;
    ASSERT_TRUE(LoadProject(back, file, ErrorTo(error))) << error;
    EXPECT_EQ(Describe(project), Describe(back));
}

// A dataset names its table in its own file; a script with several tables gets each
// dataset back on the table it was built from.
TEST(ProjectFileTest, DatasetsReturnToTheirOwnTable)
{
    test::TTempDir dir;
    TProject project;
    TScript& script = AddXYScript(project, dir, "s", 1);
    AddTable(script, test::WriteXYTable(dir, "other", {{7, 8}, {9, 1}}), data::TTableKind::TableFile);
    SetFieldMark(script, 2, true);
    CreateDataset(script, false);
    const std::string file = dir.File("p.obp");
    SaveProject(project, file);

    TProject back;
    ASSERT_TRUE(LoadProject(back, file));
    const TScript& s = *back.Scripts[0];
    EXPECT_EQ(s.Tables[0].get(), s.Datasets[0]->Table);
    EXPECT_EQ(s.Tables[1].get(), s.Datasets[1]->Table);
    EXPECT_TRUE(s.FieldChoices[0][1].Use);
    EXPECT_FALSE(s.FieldChoices[1][1].Use);
    EXPECT_TRUE(s.FieldChoices[1][2].Use);
}

// Every member goes through a temporary file: a save that fails on one member leaves the
// previous project file and the previous member of that name whole.
TEST(ProjectFileTest, FailedSaveLeavesPreviousFilesWhole)
{
    test::TTempDir dir;
    TProject project;
    AddXYScript(project, dir, "s", 2);
    const std::string file = dir.File("p.obp");
    SaveProject(project, file);
    const std::string projectBefore = test::ReadBytes(file);
    const std::string datasetBefore = test::ReadBytes(dir.File("Datasets02.obd"));

    AddXYScript(project, dir, "t", 1);
    project.Scripts[0]->Datasets[1]->Points[0][0] = 42;
    // A folder where the new dataset's file would go makes the save fail.
    fs::create_directory(dir.File("Datasets11.obd"));
    ORBELIN_EXPECT_ERROR(SaveProject(project, file), "Datasets11.obd is a directory");
    EXPECT_EQ(projectBefore, test::ReadBytes(file));
    EXPECT_EQ(datasetBefore, test::ReadBytes(dir.File("Datasets02.obd")));
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path()))
        EXPECT_TRUE(entry.path().extension() != ".orbelin-tmp" || entry.is_directory()) << entry.path();
}

TEST(ProjectFileTest, SaveRefusesMembersThatWouldShareAFile)
{
    test::TTempDir dir;
    struct TCase {
        const char* Name;
        std::string First, Second;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"same name", "d", "d", "would both be saved as d.obd"},
        {"same base name", "d.one", "D.two", "would both be saved as"},
        {"folder in name", "sub/d", "e", "not a plain file name"},
        {"empty name", "", "e", "not a plain file name"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProject project;
        TScript& script = AddXYScript(project, dir, "s", 2);
        AddTable(script, dir.File("t_s.obt"), data::TTableKind::TableFile); // the same file twice is no clash
        script.Datasets[0]->Name = c.First;
        script.Datasets[1]->Name = c.Second;
        const std::string file = dir.File(std::string("refused") + ".obp");
        ORBELIN_EXPECT_ERROR(SaveProject(project, file), c.Fragment);
        EXPECT_FALSE(fs::exists(file));
    }

    // Two different tables of one name: the second would read the first back.
    TProject project;
    TScript& script = AddXYScript(project, dir, "s", 0);
    AppendTable(script, test::MakeXYTable("t_s", {{9, 9}}));
    ORBELIN_EXPECT_ERROR(SaveProject(project, dir.File("refused.obp")), "would both be saved as t_s.OBT");
    EXPECT_FALSE(fs::exists(dir.File("refused.obp")));
}

} // namespace
} // namespace orbelin::app

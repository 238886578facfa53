// The map file: layout, round trips of every grid kind, older files, key rules and
// damaged files.
#include "map/MapFile.h"
#include "MapFixtures.h"
#include "TestUtil.h"
#include "data/TDataTable.h"
#include "map/TMap.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <typeinfo>

namespace orbelin::map {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// A chain of three nodes in two coordinates with every section filled by hand.
struct TChainFixture {
    data::TDataTable Table;
    data::TData Dataset;
    TMap* Map = nullptr;

    TChainFixture()
    {
        Table.Name = "POINTS.OBT";
        fixture::FillDataset(Dataset, 10, 2);
        Dataset.Table = &Table;
        Map = &AddMap(Dataset, "chain");
        Map->Grid = CreateGrid(GridRectangular, 3, 1, 1, 2);
        Map->Grid->Nodes = {{0.5, 1}, {1.25, -2}, {3, 1e-7}};
        Map->Grid->BuildElasticMatrices();
        AllocateMapArrays(*Map);
        Map->Components = {{1, 0}, {0, 1}};
        Map->Annotations = {{"0", "12", "TRUE", "hello world"}, {"2", "8", "FALSE", ""}};
        Map->Tones = {{1, 2}};
        Map->InitType = InitCoordAxes;
        Map->InitSize = 1;
        Map->Lambda = 0.5;
        Map->Mu = 2;
        Map->DiscretePalette = true;
        Map->Smoothness = 3;
    }
};

std::string Lines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

const std::string ChainFile = Lines({
    "# DATAFILENAME",
    "points",
    "",
    "# TABLENAME",
    "POINTS.OBT",
    "",
    "# DIMENSION",
    "2",
    "",
    "# INITIALIZATION",
    "COORD 1 30 FALSE",
    "",
    "# ELASTICITY",
    "0.5 2",
    "",
    "# DISCRETE",
    "TRUE",
    "",
    "# SMOOTHNESS",
    "3",
    "",
    "# TONES",
    "1",
    "1 2 ",
    "",
    "# GRIDTYPE",
    "RECTANGULAR",
    "1 3",
    "",
    "# NODES",
    "3",
    "",
    "# EDGES",
    "2",
    "",
    "# RIBS",
    "1",
    "",
    "# TRIANGLES",
    "0",
    "",
    "",
    "# GRIDNODES",
    "0.5 1 ",
    "1.25 -2 ",
    "3 1E-7 ",
    "",
    "# GRIDEDGES",
    "0 1 ",
    "1 2 ",
    "",
    "# GRIDRIBS",
    "1 0 2 ",
    "",
    "# GRIDNODES2D",
    "-1 0 ",
    "0 0 ",
    "1 0 ",
    "",
    "# GRIDTRIANGLES",
    "",
    "# GRIDEP",
    "1 1 ",
    "# GRIDRP",
    "1 ",
    "# MAINCOMPS",
    "1 0 ",
    "0 1 ",
    "",
    "# SHIFTTR",
    "",
    "# ANNOTATIONS",
    "2",
    "0 12 TRUE \"hello world\" ",
    "2 8 FALSE @ ",
    "",
});

TEST(MapFileTest, WritesEverySectionInOrder)
{
    test::TTempDir dir;
    TChainFixture f;
    WriteMapFileTo(*f.Map, dir.File("chain.obm"));
    EXPECT_EQ(ChainFile, test::ReadBytes(dir.File("chain.obm")));
}

TEST(MapFileTest, ReadsEverySectionBack)
{
    test::TTempDir dir;
    TChainFixture f;
    test::WriteBytes(dir.File("c.obm"), ChainFile);
    TMap& map = AddMap(f.Dataset, "other");
    std::string error;
    ASSERT_TRUE(ReadMapFileFrom(f.Dataset, dir.File("c.obm"), &error)) << error;
    EXPECT_EQ("c", map.Name);
    EXPECT_EQ("points", map.DataFileName);
    EXPECT_EQ(InitCoordAxes, map.InitType);
    EXPECT_EQ(1.0, map.InitSize);
    EXPECT_EQ(30.0, map.InitNoise);
    EXPECT_FALSE(map.InitNoiseOn);
    EXPECT_EQ(0.5, map.Lambda);
    EXPECT_EQ(2.0, map.Mu);
    EXPECT_TRUE(map.DiscretePalette);
    EXPECT_EQ(3, map.Smoothness);
    EXPECT_EQ((TArray2I{{1, 2}}), map.Tones);
    ASSERT_NE(nullptr, map.Grid);
    EXPECT_EQ(typeid(TRectangularGrid), typeid(*map.Grid));
    const auto& g = static_cast<const TRectangularGrid&>(*map.Grid);
    EXPECT_EQ(3, g.P);
    EXPECT_EQ(1, g.Q);
    EXPECT_EQ(1, g.TopologyDim);
    EXPECT_EQ(f.Map->Grid->Nodes, g.Nodes);
    EXPECT_EQ(f.Map->Grid->Edges, g.Edges);
    EXPECT_EQ(f.Map->Grid->Ribs, g.Ribs);
    EXPECT_EQ(f.Map->Grid->Internal, g.Internal);
    EXPECT_EQ((TArray1D{1, 1}), g.EdgeWeights);
    EXPECT_EQ((TArray1D{1}), g.RibWeights);
    EXPECT_TRUE(g.TriangleShift.empty());
    EXPECT_EQ(f.Map->Grid->StretchMatrix.ToDense(), g.StretchMatrix.ToDense());
    EXPECT_EQ(f.Map->Grid->BendMatrix.ToDense(), g.BendMatrix.ToDense());
    EXPECT_EQ((TArray2D{{1, 0}, {0, 1}}), map.Components);
    EXPECT_EQ((TArray2S{{"0", "12", "TRUE", "hello world"}, {"2", "8", "FALSE", ""}}), map.Annotations);
    EXPECT_EQ(3, map.NodeCount);
    EXPECT_EQ(2, g.Dimension);
    EXPECT_EQ(PresentMeans(f.Dataset), map.Centre);
    EXPECT_NEAR(0.0, numeric::VecDot(map.PlaceAxis1, map.PlaceAxis2), 1e-12);
}

// The sphere of the demonstration project's kind: 20 x 20 in four dimensions, with its
// 800 shift rows and 75 annotations.
TEST(MapFileTest, SphereRoundTripKeepsEverySection)
{
    test::TTempDir dir;
    data::TData dataset;
    fixture::FillDataset(dataset, 150, 4);
    TMap& sphere = fixture::AddInitialisedMap(dataset, "globe", GridSpherical, 20, 20);
    sphere.InitType = InitCoordAxes;
    sphere.InitSize = 1;
    for (int a = 0; a < 75; ++a)
        sphere.Annotations.push_back(
            {std::to_string(a * 2), "10", a % 2 ? "TRUE" : "FALSE", "note" + std::to_string(a)});
    sphere.Annotations[3][3] = "two words";
    sphere.Annotations[4][3] = "";
    static_cast<TSphericalGrid&>(*sphere.Grid).SetSphereLayout(1);
    const std::string path = dir.File("globe.obm");
    WriteMapFileTo(sphere, path);
    const std::string written = test::ReadBytes(path);
    EXPECT_FALSE(written.starts_with("# ENCODING")) << "a map Windows-1251 holds is written in it";

    // Labels made from table values keep their quotes and their characters outside
    // Windows-1251 (the quote became an apostrophe before, the others failed the save).
    for (const std::string text : {"She said \"hi\"", "M\xC3\xBCnchen \xF0\x9F\x98\x80"}) {
        SCOPED_TRACE(text);
        TMap& labelled = fixture::AddInitialisedMap(dataset, "labelled", GridRectangular, 3, 3);
        labelled.Annotations = {{"1", "8", "N", text}};
        WriteMapFileTo(labelled, dir.File("labelled.obm"));
        TMap& back = AddMap(dataset, "labelled");
        ASSERT_TRUE(ReadMapFileFrom(dataset, dir.File("labelled.obm")));
        EXPECT_EQ(labelled.Annotations, back.Annotations);
        dataset.Maps.resize(1);
        dataset.ActiveMap = 0;
    }

    TMap& copy = AddMap(dataset, "copy");
    std::string error;
    ASSERT_TRUE(ReadMapFileFrom(dataset, path, &error)) << error;
    EXPECT_EQ(GridSpherical, copy.GridType);
    ASSERT_NE(nullptr, dynamic_cast<TSphericalGrid*>(copy.Grid.get()));
    const TNetGrid &a = *sphere.Grid, &b = *copy.Grid;
    EXPECT_EQ(402, b.NodeCount());
    EXPECT_EQ(a.Edges, b.Edges);
    EXPECT_EQ(820u, b.Edges.size());
    EXPECT_EQ(a.Ribs, b.Ribs);
    EXPECT_EQ(820u, b.Ribs.size());
    EXPECT_EQ(a.Triangles, b.Triangles);
    EXPECT_EQ(800u, b.Triangles.size());
    EXPECT_EQ(a.TriangleShift, b.TriangleShift);
    EXPECT_EQ(a.EdgeWeights, b.EdgeWeights);
    EXPECT_EQ(a.RibWeights, b.RibWeights);
    for (std::size_t i = 0; i < a.Nodes.size(); ++i)
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(a.Nodes[i][k], b.Nodes[i][k], 1e-14 * std::fabs(a.Nodes[i][k]));
            if (k < 2) {
                EXPECT_NEAR(a.Internal[i][k], b.Internal[i][k], 1e-14);
            }
        }
    for (std::size_t r = 0; r < 4; ++r)
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(sphere.Components[r][k], copy.Components[r][k], 1e-14);
    EXPECT_EQ(sphere.Annotations, copy.Annotations);
    EXPECT_EQ(a.StretchMatrix.NonZeros(), b.StretchMatrix.NonZeros());
    const auto& sizes = static_cast<const TSphericalGrid&>(b);
    EXPECT_EQ(20, sizes.P);
    EXPECT_EQ(20, sizes.Q);

    // What was read is written back section for section, number for number.
    copy.Name = "globe";
    WriteMapFileTo(copy, dir.File("again.obm"));
    EXPECT_EQ(written, test::ReadBytes(dir.File("again.obm")));
}

TEST(MapFileTest, RectangleFamilyReadsBackWithItsOwnEdges)
{
    test::TTempDir dir;
    data::TData dataset;
    fixture::FillDataset(dataset, 60, 3);
    struct TCase {
        const char* Name;
        int Type, P, Q, R;
        const char* Word;
    };
    const TCase cases[] = {
        {"rectangle", GridRectangular, 4, 5, 1, "RECTANGULAR"},
        {"hexagon", GridHexagonal, 4, 5, 1, "RECTANGULAR"},
        {"torus", GridToroidal, 5, 4, 1, "RECTANGULAR"},
        {"lattice", GridRectangular, 3, 3, 2, "RECTANGULAR"},
        {"circle", GridCircle, 3, 6, 1, "CIRCLE"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMap& original = fixture::AddInitialisedMap(dataset, c.Name, c.Type, c.P, c.Q, c.R);
        const std::string path = dir.File(std::string(c.Name) + ".obm");
        WriteMapFileTo(original, path);
        EXPECT_NE(std::string::npos, test::ReadBytes(path).find(std::string("# GRIDTYPE\r\n") + c.Word + "\r\n"));
        TMap& copy = AddMap(dataset, "copy");
        ASSERT_TRUE(ReadMapFileFrom(dataset, path));
        const TNetGrid &a = *original.Grid, &b = *copy.Grid;
        EXPECT_EQ(c.Type == GridCircle ? GridCircle : GridRectangular, copy.GridType);
        EXPECT_EQ(c.Type == GridCircle ? typeid(TCircleGrid) : typeid(TRectangularGrid), typeid(b));
        EXPECT_EQ(a.Edges, b.Edges);
        EXPECT_EQ(a.Ribs, b.Ribs);
        EXPECT_EQ(a.Triangles, b.Triangles);
        EXPECT_EQ(a.StretchMatrix.ToDense(), b.StretchMatrix.ToDense());
        EXPECT_TRUE(b.TriangleShift.empty());
        EXPECT_EQ(2, b.TopologyDim);
        EXPECT_NE(std::string::npos, test::ReadBytes(path).find("# SHIFTTR\r\n\r\n# ANNOTATIONS"));
    }
}

TEST(MapFileTest, OlderSpacingReorderedSectionsAndMissingComponentsStillRead)
{
    test::TTempDir dir;
    TChainFixture f;
    struct TCase {
        const char* Name;
        std::string Text;
    };
    std::string old = Replace(ChainFile, "COORD 1 30 FALSE", "MAINCOMP    1.00000   30.00000 TRUE");
    old = Replace(old, "# NODES\r\n3\r\n", "# NODES\r\n     3\r\n");
    old = Replace(old, "0.5 1 \r\n1.25 -2 ", "    0.50000    1.00000\r\n    1.25000   -2.00000");
    old = Replace(old, "0.5 2", "  0.5000  2.0000");
    const std::string moved = "# MAINCOMPS\r\n1 0 \r\n0 1 \r\n\r\n";
    std::string reordered = Replace(ChainFile, moved, "");
    reordered = Replace(reordered, "# ANNOTATIONS", "#  ANNOTATIONS of the points");
    reordered = moved + reordered;
    const TCase cases[] = {
        {"older spacing", old},
        {"sections moved", reordered},
        {"no components", Replace(ChainFile, moved, "")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::WriteBytes(dir.File("c.obm"), c.Text);
        TMap& map = AddMap(f.Dataset, "c");
        std::string error;
        ASSERT_TRUE(ReadMapFileFrom(f.Dataset, dir.File("c.obm"), &error)) << error;
        EXPECT_EQ(f.Map->Grid->Nodes, map.Grid->Nodes);
        EXPECT_EQ(f.Map->Grid->Edges, map.Grid->Edges);
        EXPECT_EQ(0.5, map.Lambda);
        EXPECT_EQ(2u, map.Annotations.size());
        ASSERT_EQ(2u, map.Components.size());
        if (c.Name == std::string("no components")) {
            // Computed from the dataset, whose points spread most along the first
            // coordinate; the centre is the mean of that computation.
            EXPECT_GT(std::fabs(map.Components[0][0]), 0.9);
            for (std::size_t k = 0; k < 2; ++k)
                EXPECT_NEAR(PresentMeans(f.Dataset)[k], map.Centre[k], 1e-12);
            EXPECT_EQ(map.Centre, map.SavedCentre);
        } else {
            EXPECT_EQ((TArray2D{{1, 0}, {0, 1}}), map.Components);
        }
        if (c.Name == std::string("older spacing")) {
            EXPECT_EQ(InitMainComps, map.InitType);
            EXPECT_TRUE(map.InitNoiseOn);
        }
    }
}

TEST(MapFileTest, ValuesThatDoNotReadFollowTheListRules)
{
    test::TTempDir dir;
    TChainFixture f;
    TMap& map = AddMap(f.Dataset, "c");
    map.InitType = InitRandom;
    std::string text = Replace(ChainFile, "COORD 1", "SOMEWHERE 1");
    text = Replace(text, "3 1E-7 ", "Nan @ ");
    text = Replace(text, "2 8 FALSE @", "2 nAn FALSE @");
    test::WriteBytes(dir.File("c.obm"), text);
    ASSERT_TRUE(ReadMapFileFrom(f.Dataset, dir.File("c.obm")));
    EXPECT_EQ(InitRandom, map.InitType); // an unknown placement word keeps the map's own
    EXPECT_TRUE(IsMissing(map.Grid->Nodes[2][0]));
    EXPECT_TRUE(IsMissing(map.Grid->Nodes[2][1]));
    EXPECT_EQ((TArray1S{"2", "", "FALSE", ""}), map.Annotations[1]);
}

TEST(MapFileTest, DamagedFilesReadAsFalseWithoutTouchingTheGrid)
{
    test::TTempDir dir;
    struct TCase {
        const char* Name;
        std::string Text;
        const char* Fragment;
        bool AfterGrid = false; ///< the grid was complete when the error came
    };
    const std::string& c = ChainFile;
    const TCase cases[] = {
        {"bad placement size", Replace(c, "COORD 1 30", "COORD x1 30"), "\"x1\" is not a valid floating-point value"},
        {"bad elasticity", Replace(c, "0.5 2", "0.5 two"), "\"two\" is not a valid floating-point value"},
        {"bad count", Replace(c, "# EDGES\r\n2", "# EDGES\r\nthree"), "\"three\" is not a valid integer value"},
        {"unknown grid word", Replace(c, "RECTANGULAR", "HEXAGONAL"), "found \"HEXAGONAL\""},
        {"no grid type", Replace(c, "# GRIDTYPE", "# GRID"), "no \"# GRIDTYPE\" section"},
        {"huge node count", Replace(c, "# NODES\r\n3", "# NODES\r\n2000000000"), "more than a file of"},
        {"huge annotation count", Replace(c, "# ANNOTATIONS\r\n2", "# ANNOTATIONS\r\n99999999"), "more than a file",
         true},
        {"huge tone count", Replace(c, "# TONES\r\n1", "# TONES\r\n1000000"), "more than a file"},
        {"huge dimension", Replace(c, "# DIMENSION\r\n2", "# DIMENSION\r\n2147483647"), "its dataset points has 2"},
        {"negative edge count", Replace(c, "# EDGES\r\n2", "# EDGES\r\n-2"), "negative count -2"},
        {"no nodes", Replace(c, "# NODES\r\n3", "# NODES\r\n0"), "node count of at least 1"},
        {"no dimension", Replace(c, "# DIMENSION\r\n2", "# DIMENSION\r\n0"), "dimension of at least 1"},
        {"edge to no node", Replace(c, "1 2 \r\n\r\n# GRIDRIBS", "1 9 \r\n\r\n# GRIDRIBS"), "node 9 does not exist"},
        {"rib to a negative node", Replace(c, "1 0 2 ", "1 -4 2 "), "node -4 does not exist"},
        {"empty sizes", Replace(c, "RECTANGULAR\r\n1 3", "RECTANGULAR\r\n0 3"), "at least 1, found 0 and 3"},
        {"edges without their list", Replace(c, "# GRIDEDGES", "# GRIDE"), "no \"# GRIDEDGES\" section"},
        {"nodes cut short", c.substr(0, c.find("1.25 -2")), "before the end of the file"},
        // These read as 0, or shifted the rest of the list, before.
        {"text node", Replace(c, "1.25 -2 ", "1.25 x "), "\"x\" is not a valid floating-point value"},
        {"nan node", Replace(c, "1.25 -2 ", "1.25 nan "), "section \"# GRIDNODES\", line"},
        {"overflowing node", Replace(c, "1.25 -2 ", "1.25 1e400 "), "\"1e400\" is not a valid floating-point"},
        {"split node", Replace(c, "1.25 -2 ", "1 .25 -2 "), "row 2 holds more than its 2 numbers"},
        {"weight cut by a separator", Replace(c, "# GRIDEP\r\n1 1 ", "# GRIDEP\r\n1 ? "), "row 1 holds 1 of its 2"},
        {"extra edge", Replace(c, "1 2 \r\n\r\n# GRIDRIBS", "1 2 \r\n2 0 \r\n\r\n# GRIDRIBS"),
         "a value follows the 2 rows"},
        {"empty file", "", "no \"# GRIDTYPE\""},
    };
    for (const TCase& t : cases) {
        SCOPED_TRACE(t.Name);
        TChainFixture f;
        test::WriteBytes(dir.File("bad.obm"), t.Text);
        const TNetGrid* grid = f.Map->Grid.get();
        f.Map->Lambda = 7;
        std::string error;
        EXPECT_FALSE(ReadMapFileFrom(f.Dataset, dir.File("bad.obm"), &error));
        EXPECT_NE(std::string::npos, error.find(t.Fragment)) << error;
        EXPECT_NE(std::string::npos, error.find("file " + dir.File("bad.obm"))) << error;
        if (t.AfterGrid) {
            ASSERT_NE(grid, f.Map->Grid.get());
            EXPECT_EQ(f.Map->Grid->NodeCount(), f.Map->NodeCount);
        } else {
            EXPECT_EQ(grid, f.Map->Grid.get());
        }
        if (t.Name == std::string("unknown grid word")) {
            EXPECT_EQ(0.5, f.Map->Lambda); // read before the error, and kept
        }
    }

    TChainFixture f;
    std::string error;
    EXPECT_FALSE(ReadMapFileFrom(f.Dataset, dir.File("absent.obm"), &error));
    EXPECT_NE(std::string::npos, error.find("cannot open file")) << error;
    data::TData empty;
    empty.Name = "empty";
    EXPECT_FALSE(ReadMapFileFrom(empty, dir.File("absent.obm"), &error));
    EXPECT_NE(std::string::npos, error.find("the dataset empty has no map")) << error;
}

// The working folder is where maps are read and written by base name.
class TWorkingFolder {
public:
    explicit TWorkingFolder(const std::filesystem::path& path) : Old_(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~TWorkingFolder() { std::filesystem::current_path(Old_); }

private:
    std::filesystem::path Old_;
};

TEST(MapFileTest, BaseNamesAreReadAndWrittenInTheWorkingFolder)
{
    test::TTempDir dir;
    TWorkingFolder here(dir.Path());
    TChainFixture f;
    WriteMapFile(f.Dataset, "/some/where/Map 1.txt");
    EXPECT_EQ(ChainFile, test::ReadBytes(dir.File("Map 1.obm")));
    TMap& map = AddMap(f.Dataset, "new");
    ASSERT_TRUE(ReadMapFile(f.Dataset, "elsewhere/Map 1.abc", false));
    EXPECT_EQ("Map 1", map.Name);
    EXPECT_EQ(3, map.Grid->NodeCount());
    EXPECT_FALSE(ReadMapFile(f.Dataset, "Map 1", true)); // no such embedded resource

    data::TData none;
    WriteMapFile(none, "nothing");
    EXPECT_FALSE(std::filesystem::exists(dir.File("nothing.obm")));
    TMap& blank = AddMap(none, "blank");
    ORBELIN_EXPECT_ERROR(WriteMapFileTo(blank, dir.File("blank.obm")), "the map has not been initialised");
    EXPECT_FALSE(std::filesystem::exists(dir.File("blank.obm")));
}

TEST(MapFileTest, ReadsAloneWithoutADataset)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("lone.obm"), Replace(ChainFile, "# MAINCOMPS\r\n1 0 \r\n0 1 \r\n\r\n", ""));
    TMap map;
    ReadMapAlone(map, dir.File("lone.obm"));
    EXPECT_EQ("lone", map.Name);
    EXPECT_EQ(3, map.NodeCount);
    EXPECT_TRUE(map.Components.empty());
    EXPECT_TRUE(map.Centre.empty());
    EXPECT_EQ((TArray2D{{1, -2, 1}, {-2, 4, -2}, {1, -2, 1}}), map.Grid->BendMatrix.ToDense());
    ORBELIN_EXPECT_ERROR(ReadMapAlone(map, dir.File("none.obm")), "cannot open file");
}

} // namespace
} // namespace orbelin::map

// Writing and reading the map file (.obm).
#include "map/MapFile.h"

#include "coloring/Projection.h"
#include "data/Cp1251.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapInit.h"
#include "map/TMap.h"

#include <algorithm>

namespace orbelin::map {
namespace {

// ---------------------------------------------------------------------------------------
// Writing

std::string NumberRow(const TArray1D& values, std::size_t count)
{
    std::string line;
    for (std::size_t k = 0; k < count; ++k)
        line += data::GeneralText(k < values.size() ? values[k] : 0.0) + " ";
    return line;
}

std::string IndexRow(const TArray1I& values)
{
    std::string line;
    for (int v : values)
        line += std::to_string(v) + " ";
    return line;
}

// Annotation texts are read back as tokens: an empty text is written "@", and a text
// holding blanks or other separators is quoted, so it comes back whole.
std::string TokenText(data::TRWFile& file, const std::string& text)
{
    if (text.empty())
        return "@";
    std::string bytes;
    data::Utf8ToCp1251(text, bytes);
    bool plain = true;
    for (unsigned char b : bytes)
        plain = plain && data::IsTokenByte(b);
    if (plain)
        return text;
    // A double quote inside is kept: the file then becomes a UTF-8 one (TRWFile).
    return file.QuotedToken(text);
}

const char* InitWord(int initType)
{
    switch (initType) {
    case InitRandom:
        return "RANDOM";
    case InitCoordAxes:
        return "COORD";
    default:
        return "MAINCOMP";
    }
}

void Section(data::TRWFile& file, const char* key, const std::string& line)
{
    file.WriteLine(std::string("# ") + key);
    file.WriteLine(line);
    file.WriteLine("");
}

// ---------------------------------------------------------------------------------------
// Reading

[[noreturn]] void Fail(const data::TRWFile& file, const std::string& what)
{
    throw TError("map file " + file.FileName() + ": " + what);
}

// Every value of a list takes at least one character and one separator, so a count that
// the rest of the file cannot hold is refused before anything is allocated for it.
void CheckRows(const data::TRWFile& file, const char* key, long long rows, long long perRow)
{
    const auto size = static_cast<long long>(file.SourceSize());
    if (rows < 0)
        Fail(file, std::string("section \"") + key + "\" declares a negative count " + std::to_string(rows));
    if (rows * std::max(perRow, 1LL) > (size + 1) / 2)
        Fail(file, std::string("section \"") + key + "\" declares " + std::to_string(rows) + " rows of " +
                       std::to_string(perRow) + " values, more than a file of " + std::to_string(size) +
                       " bytes can hold");
}

int ReadCount(data::TRWFile& file, const char* key)
{
    int count = 0;
    if (file.FindKey(key))
        file.ReadInt(count);
    return count;
}

void CheckIndices(const data::TRWFile& file, const char* key, const TArray2I& rows, int nodeCount)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int v : rows[r])
            if (v < 0 || v >= nodeCount)
                Fail(file, std::string("section \"") + key + "\", row " + std::to_string(r + 1) + ": node " +
                               std::to_string(v) + " does not exist (the map has " + std::to_string(nodeCount) +
                               " nodes)");
}

TArray1D ReadWeights(data::TRWFile& file, const char* key, int count)
{
    if (!file.FindKey(key))
        return TArray1D(static_cast<std::size_t>(count), 1.0);
    CheckRows(file, key, 1, count);
    return file.ReadFloatMatrix(count, 1)[0];
}

// Whether the section just found holds a row before the next blank or header line.
bool SectionHasRows(data::TRWFile& file, const char* key)
{
    const std::string line = data::TrimBlanks(file.ReadLine());
    file.FindKey(key);
    return !line.empty() && line[0] != '#';
}

void ReadMap(TMap& map, data::TRWFile& file, data::TData* dataset)
{
    if (file.FindKey("DATAFILENAME"))
        map.DataFileName = data::TrimBlanks(file.ReadLine());
    if (file.FindKey("MAPSIZE")) {
        file.ReadInt(map.RequestedColumns);
        file.ReadInt(map.RequestedRows);
    }
    int d = 0;
    if (file.FindKey("DIMENSION"))
        file.ReadInt(d);
    if (file.FindKey("INITIALIZATION")) {
        const std::string word = file.ReadToken();
        if (word == "RANDOM")
            map.InitType = InitRandom;
        else if (word == "COORD")
            map.InitType = InitCoordAxes;
        else if (word == "MAINCOMP")
            map.InitType = InitMainComps;
        file.ReadFloat(map.InitSize);
        file.ReadFloat(map.InitNoise);
        map.InitNoiseOn = file.ReadToken() != "FALSE";
    }
    if (file.FindKey("ELASTICITY")) {
        file.ReadFloat(map.Lambda);
        file.ReadFloat(map.Mu);
    }
    if (file.FindKey("DISCRETE"))
        map.DiscretePalette = data::TrimBlanks(file.ReadLine()) != "FALSE";
    if (file.FindKey("SMOOTHNESS"))
        file.ReadInt(map.Smoothness);
    if (file.FindKey("TONES")) {
        int k = 0;
        file.ReadInt(k);
        CheckRows(file, "TONES", k, 2);
        map.Tones = file.ReadIntMatrix(2, k);
    }

    // The counts come first: "NODES" is also part of "GRIDNODES", and the first header
    // holding a key is the one that counts.
    const int n = ReadCount(file, "NODES"), e = ReadCount(file, "EDGES"), rb = ReadCount(file, "RIBS"),
              t = ReadCount(file, "TRIANGLES");

    if (!file.FindKey("GRIDTYPE"))
        Fail(file, "no \"# GRIDTYPE\" section: the file holds no grid");
    const std::string word = data::TrimBlanks(file.ReadLine());
    int gridType;
    if (word == "RECTANGULAR")
        gridType = GridRectangular;
    else if (word == "CIRCLE")
        gridType = GridCircle;
    else if (word == "SPHERICAL")
        gridType = GridSpherical;
    else
        Fail(file, "section \"GRIDTYPE\": expected RECTANGULAR, CIRCLE or SPHERICAL, found \"" + word + "\"");
    auto grid = NewGrid(gridType);
    file.ReadInt(grid->Q);
    file.ReadInt(grid->P);
    grid->R = 1;
    if (grid->P < 1 || grid->Q < 1)
        Fail(file, "section \"GRIDTYPE\": expected a row length and a row count of at least 1, found " +
                       std::to_string(grid->Q) + " and " + std::to_string(grid->P));
    grid->TopologyDim = grid->Q == 1 ? 1 : 2;

    if (d < 1)
        Fail(file, "section \"DIMENSION\": expected a dimension of at least 1, found " + std::to_string(d));
    if (dataset && d != dataset->CoordCount)
        Fail(file, "the map has " + std::to_string(d) + " coordinates, but its dataset " + dataset->Name + " has " +
                       std::to_string(dataset->CoordCount));
    if (n < 1)
        Fail(file, "section \"NODES\": expected a node count of at least 1, found " + std::to_string(n));
    CheckRows(file, "NODES", n, d);
    CheckRows(file, "EDGES", e, 2);
    CheckRows(file, "RIBS", rb, 3);
    CheckRows(file, "TRIANGLES", t, 3);
    grid->Dimension = d;

    const auto list = [&](const char* key, int rows, int perRow) {
        if (rows == 0)
            return TArray2I();
        if (!file.FindKey(key))
            Fail(file, std::string("no \"# ") + key + "\" section for the " + std::to_string(rows) + " rows declared");
        TArray2I values = file.ReadIntMatrix(perRow, rows);
        CheckIndices(file, key, values, n);
        return values;
    };
    if (!file.FindKey("GRIDNODES"))
        Fail(file, "no \"# GRIDNODES\" section for the " + std::to_string(n) + " nodes declared");
    grid->Nodes = file.ReadFloatMatrix(d, n);
    grid->Edges = list("GRIDEDGES", e, 2);
    grid->Ribs = list("GRIDRIBS", rb, 3);
    grid->Internal.assign(static_cast<std::size_t>(n), TArray1D(3, 0.0));
    if (file.FindKey("GRIDNODES2D")) {
        const TArray2D flat = file.ReadFloatMatrix(2, n);
        for (std::size_t i = 0; i < flat.size(); ++i)
            grid->Internal[i] = {flat[i][0], flat[i][1], 0.0};
    }
    grid->Triangles = list("GRIDTRIANGLES", t, 3);
    grid->EdgeWeights = ReadWeights(file, "GRIDEP", e);
    grid->RibWeights = ReadWeights(file, "GRIDRP", rb);

    // The grid is complete: only now does it replace the map's grid and arrays.
    map.Grid = std::move(grid);
    map.GridType = gridType;
    map.RequestedLayers = 1;
    AllocateMapArrays(map);
    coloring::InvalidateProjections(map);
    if (dataset)
        CentreAndRandomAxes(map);
    // Components of another dimension would not fit the new grid, even if the file ends
    // before its own.
    bool fits = map.Components.size() == static_cast<std::size_t>(d);
    for (const TArray1D& row : map.Components)
        fits = fits && row.size() == static_cast<std::size_t>(d);
    if (!fits)
        map.Components.clear();
    if (file.FindKey("MAINCOMPS")) {
        CheckRows(file, "MAINCOMPS", d, d);
        map.Components = file.ReadFloatMatrix(d, d);
    } else if (dataset) {
        map.Centre = ComputeMapComponents(map, 3);
        map.SavedCentre = map.Centre;
    }
    map.Grid->BuildElasticMatrices();

    map.Annotations.clear();
    if (file.FindKey("ANNOTATIONS")) {
        int count = 0;
        file.ReadInt(count);
        CheckRows(file, "ANNOTATIONS", count, 4);
        map.Annotations = file.ReadStringMatrix(4, count);
    }
    map.Grid->TriangleShift.clear();
    if (file.FindKey("SHIFTTR") && SectionHasRows(file, "SHIFTTR"))
        map.Grid->TriangleShift = file.ReadFloatMatrix(3, t);
}

bool ReadInto(data::TData& dataset, const std::string& name, const std::string& open, bool fromResource,
              std::string* error)
{
    TMap* map = dataset.CurrentMap();
    if (!map) {
        if (error)
            *error = "the dataset " + dataset.Name + " has no map to read " + open + " into";
        return false;
    }
    if (map->Training) {
        if (error)
            *error = TrainingRefusal(*map, "read a map file into it");
        return false;
    }
    map->Name = data::BaseName(name);
    try {
        data::TRWFile file;
        if (fromResource)
            file.OpenResource(open);
        else
            file.OpenForReading(open);
        ReadMap(*map, file, &dataset);
        file.Close();
        return true;
    } catch (const TError& e) {
        if (error)
            *error = e.what();
        return false;
    }
}

} // namespace

const char* GridTypeWord(const TNetGrid& grid)
{
    if (dynamic_cast<const TCircleGrid*>(&grid))
        return "CIRCLE";
    if (dynamic_cast<const TSphericalGrid*>(&grid))
        return "SPHERICAL";
    return "RECTANGULAR";
}

void WriteMapSections(const TMap& map, data::TRWFile& file)
{
    if (!map.Grid)
        throw TError("cannot write map " + map.Name + " to " + file.FileName() + ": the map has not been initialised");
    const TNetGrid& g = *map.Grid;
    const std::size_t d = g.Nodes.empty() ? static_cast<std::size_t>(std::max(g.Dimension, 0)) : g.Nodes[0].size();
    const data::TData* dataset = map.Data;
    Section(file, "DATAFILENAME", dataset ? dataset->Name : map.DataFileName);
    Section(file, "TABLENAME", dataset && dataset->Table ? dataset->Table->Name : "");
    Section(file, "DIMENSION", std::to_string(d));
    Section(file, "INITIALIZATION",
            std::string(InitWord(map.InitType)) + " " + data::GeneralText(map.InitSize) + " " +
                data::GeneralText(map.InitNoise) + " " + data::BoolText(map.InitNoiseOn));
    Section(file, "ELASTICITY", data::GeneralText(map.Lambda) + " " + data::GeneralText(map.Mu));
    Section(file, "DISCRETE", data::BoolText(map.DiscretePalette));
    Section(file, "SMOOTHNESS", std::to_string(map.Smoothness));

    file.WriteLine("# TONES");
    file.WriteLine(std::to_string(map.Tones.size()));
    for (const TArray1I& row : map.Tones)
        file.WriteLine(IndexRow(row));
    file.WriteLine("");

    const auto* rectangular = dynamic_cast<const TRectangularGrid*>(&g);
    file.WriteLine("# GRIDTYPE");
    file.WriteLine(GridTypeWord(g));
    file.WriteLine(rectangular ? std::to_string(rectangular->Q) + " " + std::to_string(rectangular->P)
                               : "1 " + std::to_string(g.NodeCount()));
    file.WriteLine("");

    Section(file, "NODES", std::to_string(g.Nodes.size()));
    Section(file, "EDGES", std::to_string(g.Edges.size()));
    Section(file, "RIBS", std::to_string(g.Ribs.size()));
    Section(file, "TRIANGLES", std::to_string(g.Triangles.size()));
    file.WriteLine("");

    file.WriteLine("# GRIDNODES");
    for (const TArray1D& node : g.Nodes)
        file.WriteLine(NumberRow(node, d));
    file.WriteLine("");
    file.WriteLine("# GRIDEDGES");
    for (const TArray1I& edge : g.Edges)
        file.WriteLine(IndexRow(edge));
    file.WriteLine("");
    file.WriteLine("# GRIDRIBS");
    for (const TArray1I& rib : g.Ribs)
        file.WriteLine(IndexRow(rib));
    file.WriteLine("");
    file.WriteLine("# GRIDNODES2D");
    for (std::size_t i = 0; i < g.Nodes.size(); ++i)
        file.WriteLine(NumberRow(i < g.Internal.size() ? g.Internal[i] : TArray1D(), 2));
    file.WriteLine("");
    file.WriteLine("# GRIDTRIANGLES");
    for (const TArray1I& triangle : g.Triangles)
        file.WriteLine(IndexRow(triangle));
    file.WriteLine("");
    file.WriteLine("# GRIDEP");
    file.WriteLine(NumberRow(g.EdgeWeights, g.Edges.size()));
    file.WriteLine("# GRIDRP");
    file.WriteLine(NumberRow(g.RibWeights, g.Ribs.size()));

    // Without components of the map's dimension the section is left out, and reading the
    // file computes them from the dataset.
    bool components = map.Components.size() == d;
    for (const TArray1D& row : map.Components)
        components = components && row.size() == d;
    if (components) {
        file.WriteLine("# MAINCOMPS");
        for (const TArray1D& row : map.Components)
            file.WriteLine(NumberRow(row, d));
        file.WriteLine("");
    }

    file.WriteLine("# SHIFTTR");
    for (const TArray1D& shift : g.TriangleShift)
        file.WriteLine(NumberRow(shift, 3));
    file.WriteLine("");

    file.WriteLine("# ANNOTATIONS");
    file.WriteLine(std::to_string(map.Annotations.size()));
    for (const TArray1S& row : map.Annotations) {
        std::string line;
        for (std::size_t k = 0; k < 4; ++k)
            line += TokenText(file, k < row.size() ? row[k] : std::string()) + " ";
        file.WriteLine(line);
    }
    file.WriteLine("");
}

void WriteMapFileTo(const TMap& map, const std::string& path)
{
    data::TRWFile file;
    file.CreateForWriting(path);
    WriteMapSections(map, file);
    file.Close();
}

void WriteMapFile(const data::TData& dataset, const std::string& name)
{
    const TMap* map = dataset.CurrentMap();
    if (!map)
        return;
    WriteMapFileTo(*map, data::BaseName(name) + ".obm");
}

bool ReadMapFile(data::TData& dataset, const std::string& name, bool fromResource, std::string* error)
{
    const std::string base = data::BaseName(name);
    return ReadInto(dataset, name, base + (fromResource ? ".OBM" : ".obm"), fromResource, error);
}

bool ReadMapFileFrom(data::TData& dataset, const std::string& path, std::string* error)
{
    return ReadInto(dataset, path, path, false, error);
}

void ReadMapAlone(TMap& map, const std::string& path)
{
    map.Name = data::BaseName(path);
    data::TRWFile file;
    file.OpenForReading(path);
    ReadMap(map, file, nullptr);
    file.Close();
}

} // namespace orbelin::map

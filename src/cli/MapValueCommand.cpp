// mapvalue: the map/value analysis tool's commands on a map file: the residual dataset,
// the projection columns, the components of the nodes and the hand-made move.
#include "analysis/MapAnalysis.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MapLoading.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/TMap.h"
#include "numeric/Random.h"

#include <filesystem>
#include <limits>

namespace orbelin::cli {
namespace {

// A column text as the number it shows; null (NaN) for an empty cell.
TJson ColumnNumbers(const TArray1S& column)
{
    TJson numbers = TJson::array();
    for (const std::string& cell : column) {
        double value = 0;
        if (data::ParseDecimal(data::TrimBlanks(cell), value))
            numbers.push_back(value);
        else
            numbers.push_back(nullptr);
    }
    return numbers;
}

void CheckOutput(const TOptions& line, const std::optional<std::string>& out, const char* extension)
{
    if (!out)
        line.Fail(std::string("mapvalue: this command needs -o OUT") + extension);
    if (data::LowerExtension(*out) != extension)
        line.Fail("mapvalue: the output file " + *out + " must end in " + extension);
}

void RunMapValue(const TOptions& line)
{
    const bool subtract = line.Flag("--subtract"), projections = line.Flag("--projections"),
               recalc = line.Flag("--recalc-pc");
    const auto move = line.Value("--move");
    if (int(subtract) + int(projections) + int(recalc) + int(move.has_value()) != 1)
        line.Fail("mapvalue needs exactly one of --subtract, --projections, --recalc-pc and --move");
    const auto out = line.Value("-o");
    if (projections && out)
        line.Fail("mapvalue: --projections prints the columns and writes no file");
    if (!projections)
        CheckOutput(line, out, subtract ? ".obd" : ".obm");
    std::vector<int> sliders;
    if (move) {
        sliders = WholeListOption(line, "--move", 6, -100, 100);
        for (int i = 0; i < 3; ++i)
            if (sliders[static_cast<std::size_t>(i)] < 0)
                line.Fail("mapvalue: the rotations of --move run from 0 to 100, found " +
                          std::to_string(sliders[static_cast<std::size_t>(i)]));
    }

    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(line.Path, line.Value("--dataset"), dataset, table);
    TJson json;
    if (subtract) {
        analysis::SubtractMap(map);
        // The table goes beside the dataset, where loading the dataset looks for it.
        const std::filesystem::path tableBeside = std::filesystem::path(*out).parent_path() / table.Name;
        if (!std::filesystem::exists(tableBeside))
            data::SaveTable(table, tableBeside.string());
        data::WriteDatasetFile(dataset, *out);
        json["points"] = dataset.Points.size();
        json["file"] = *out;
    } else if (projections) {
        analysis::ProjectionsToTable(map);
        for (std::size_t c = 0; c < dataset.ResultColumnNames.size(); ++c)
            json[dataset.ResultColumnNames[c]] = ColumnNumbers(dataset.ResultColumns[c]);
    } else {
        if (recalc) {
            // The components start from random directions: a fixed seed repeats the output.
            numeric::SeedRandom(1);
            analysis::RecalcComponentsFromNodes(map);
            json["centre"] = map.Centre;
            json["components"] = map.Components;
        } else {
            const analysis::TMoveSliders s{sliders[0], sliders[1], sliders[2], sliders[3], sliders[4], sliders[5]};
            analysis::MoveMap(map, map.Grid->Nodes, s);
            json["nodes"] = map.Grid->Nodes.size();
        }
        map.Name = data::BaseName(*out);
        map::WriteMapFileTo(map, *out);
        json["file"] = *out;
    }
    PrintJson(json);
}

} // namespace

void AddMapValueCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("mapvalue", "the map/value analysis tool's commands on a map and its dataset", RunMapValue);
    AddPath(command, "MAP.obm", "the map");
    AddDatasetOption(command);
    AddFlag(command, "--subtract", "write the dataset of the points less their closest points on the map");
    AddFlag(command, "--projections", "print the X and Y columns of the points' projections");
    AddFlag(command, "--recalc-pc", "write the map with the principal components of its nodes");
    AddValue(command, "--move", "RX,RY,RZ,SX,SY,SZ",
             "write the map turned in its principal planes (0..100, 50 a full turn) and shifted along its "
             "components (-100..100, 50 one component)");
    AddValue(command, "-o", "OUT", "the dataset (.obd) or map (.obm) file to write");
    command.footer("Give exactly one of --subtract, --projections, --recalc-pc and --move.");
}

} // namespace orbelin::cli

// ica: projection pursuit by FastICA on a dataset: the found vectors, their directions in
// the dataset's normalised space and the log the window shows.
#include "analysis/TFastICA.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include <cstdint>

namespace orbelin::cli {

void RunIca(const TOptions& line)
{
    data::TData data;
    data::TDataTable table;
    data::LoadDatasetWithTable(line.Path, data, table);

    analysis::TFastIcaSettings settings;
    settings.VectorCount = static_cast<int>(WholeOption(line, "--vectors", 3, 0, 100));
    settings.Dimension = static_cast<int>(WholeOption(line, "--dimension", -1, 0, 10000));
    settings.Method = ChoiceOption(line, "--method", "logcosh") == "exp" ? 1 : 0;
    settings.SampleSize = NumberOption(line, "--sample", 100, 0, 100);
    settings.MaxIterations = static_cast<int>(WholeOption(line, "--max-iter", 100, 0, 1000000));
    settings.OnlyWhite = line.Flag("--only-white");
    // The start vectors and the estimates draw at random: a fixed seed gives the same
    // output on every run.
    settings.Seed = static_cast<std::uint64_t>(WholeOption(line, "--seed", 1, 0, INT64_MAX));

    const analysis::TFastIcaRun run = analysis::CalculateFastIca(data, settings);
    if (!run.Message.empty())
        throw TError("ica: " + line.Path + ": " + run.Message);
    const analysis::TFastICA& ica = *run.Projector;

    TJson json;
    json["kind"] = "ica";
    json["white"] = run.White;
    json["vectors"] = ica.Vectors;
    json["directions"] = ica.Directions;
    json["centre"] = ica.Centre;
    TJson& log = json["log"] = TJson::array();
    for (const analysis::TFastIcaRecord& r : ica.Log)
        log.push_back({{"before", r.Before}, {"after", r.After}, {"iterations", r.Iterations}});
    json["lines"] = run.Lines;
    PrintJson(json);
}

void AddIcaCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "ica", "find the least Gaussian directions of a dataset by FastICA (projection pursuit)", RunIca);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--vectors", "A", "how many vectors to calculate")->default_str("3");
    AddValue(command, "--dimension", "K", "the number of principal components the data are reduced to "
                                          "(the dataset's dimension without it)");
    AddChoice(command, "--method", {"logcosh", "exp"}, "the contrast function G = log(cosh(u)) or -exp(-u*u/2)")
        ->default_str("logcosh");
    AddValue(command, "--sample", "PERCENT", "the share of the points the estimates draw")->default_str("100");
    AddValue(command, "--max-iter", "N", "the fixed-point rounds per vector")->default_str("100");
    AddFlag(command, "--only-white", "take the whitened principal components as the directions");
    AddValue(command, "--seed", "S", "the seed of the random draws")->default_str("1");
}

} // namespace orbelin::cli

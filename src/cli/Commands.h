// The subcommands of orbelin-cli and what they share.
//
// Adding a command: give it a file of its own (StatsCommand.cpp) with
//   - void RunStats(const TOptions& line): reads its arguments from the checked line
//     (line.Path, line.Value("--bins"), line.Flag("--weights"), WholeOption, NumberOption,
//     ChoiceOption), calls the core and prints its result with PrintJson (cli/JsonOutput.h):
//         TJson out;                          // nlohmann::ordered_json: members keep their order
//         out["kind"] = "stats";
//         out["means"] = means;               // vectors become arrays
//         PrintJson(out);
//     A wrong argument raises TUsageError (exit status 2, line.Fail adds the usage line),
//     bad input TError (exit status 1); both reach the user as one line on stderr.
//   - void AddStatsCommand(TCommandLine& cli): declares it with CLI11 (cli/CommandLine.h):
//         CLI::App& command = cli.AddCommand("stats", "describe a dataset's fields", RunStats);
//         AddPath(command, "DATASET.obd", "the dataset");
//         AddValue(command, "-o", "OUT.txt", "the file to write")->required();
//         AddChoice(command, "--order", {"name", "mean"}, "the order of the fields");
//         AddFlag(command, "--weights", "weigh the points by class");
//         AddValue(command, "--bins", "N", "histogram bins")->default_str("10");
//     A default given with default_str is shown in the help, and WholeOption(line, "--bins",
//     10, ...) checks that it is the one the command falls back to. Option sets that
//     several commands share have their own declarations (AddInitOptions, AddSceneOptions,
//     AddDatasetOption). That declaration is the one place the command's arguments are
//     written down: its usage line, `orbelin-cli stats --help` and the checks of the
//     command line all come from it, and the command may read only what it declares.
// Then declare AddStatsCommand below and call it in main.cpp, where the order of the list
// is the order of `orbelin-cli --help`.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace orbelin::data {
class TDataTable;
}

namespace orbelin::cli {

class TCommandLine;

/// A wrong option or argument: reported with exit status 2, where bad input gets 1.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using TArgs = std::vector<std::string>;

/// info PATH
void AddInfoCommand(TCommandLine& cli);
/// demo [DIR]: without DIR describes the embedded table; with DIR writes the demonstration
/// project into it (project file, members, point-style and visibility sets).
void AddDemoCommand(TCommandLine& cli);
/// dataset: a dataset built from a table's numeric fields, written with its table.
void AddDatasetCommand(TCommandLine& cli);
/// pca and cluster: principal components and clusterings of a dataset's points.
void AddPcaCommand(TCommandLine& cli);
void AddClusterCommand(TCommandLine& cli);
/// init and project-points: a map initialised on a dataset; the projections of its points.
void AddInitCommand(TCommandLine& cli);
void AddProjectPointsCommand(TCommandLine& cli);
/// color: a map coloured and laid out for a view, written as its layers' geometry.
void AddColorCommand(TCommandLine& cli);
/// export: a map's scene as VRML, a PostScript plot or an HTML image map.
void AddExportCommand(TCommandLine& cli);
/// classes and annotate: the classes of a table field as point styles and as map labels.
void AddClassesCommand(TCommandLine& cli);
void AddAnnotateCommand(TCommandLine& cli);
/// project: maps and datasets gathered into a project file; the members are saved beside
/// it, one script per table.
void AddProjectCommand(TCommandLine& cli);
/// train and grow: a map trained on a dataset; a map grown, refined or ringed.
void AddTrainCommand(TCommandLine& cli);
void AddGrowCommand(TCommandLine& cli);
/// weights, timeseries and mapvalue: the point weights of a dataset, its sliding-window
/// measures, and the map/value analysis commands on a map.
void AddWeightsCommand(TCommandLine& cli);
void AddTimeSeriesCommand(TCommandLine& cli);
void AddMapValueCommand(TCommandLine& cli);
/// bench training: the training workloads timed against the plain method.
void AddBenchCommand(TCommandLine& cli);
/// stats and ttest: the statistics tool's dataset pages; Welch's test of a class.
void AddStatsCommand(TCommandLine& cli);
void AddTTestCommand(TCommandLine& cli);
/// analyze, values, lda and regress: the object analysis tool's clustering, values
/// analysis, discriminant and regression.
void AddAnalyzeCommand(TCommandLine& cli);
void AddValuesCommand(TCommandLine& cli);
void AddLdaCommand(TCommandLine& cli);
void AddRegressCommand(TCommandLine& cli);
/// machine, ica and biplot: the linear separation machine, projection pursuit by FastICA
/// and the rays of a biplot.
void AddMachineCommand(TCommandLine& cli);
void AddIcaCommand(TCommandLine& cli);
void AddBiplotCommand(TCommandLine& cli);

/// Prints the JSON description of a table (the table kind of info).
void PrintTableInfo(const data::TDataTable& table);
/// Prints the JSON description of a map file (the map kind of info).
void PrintMapInfo(const std::string& path);

/// Prints the JSON description of a project file; raises TError when it cannot be read.
void PrintProjectInfo(const std::string& path);

/// Lower-cased extension of a path, with its dot (".obt"), or "" when it has none.
std::string ExtensionOf(const std::string& path);

} // namespace orbelin::cli

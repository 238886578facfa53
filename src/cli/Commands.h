// The subcommands of orbelin-cli and what they share.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace orbelin::data {
class TDataTable;
}

namespace orbelin::cli {

/// A wrong option or argument: reported with exit status 2, where bad input gets 1.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using TArgs = std::vector<std::string>;

struct TCommand {
    const char* Name;
    const char* Usage;
    const char* Summary;
    /// Prints the result on stdout; raises TUsageError or TError.
    void (*Run)(const TArgs& args);
};

/// Every subcommand, in the order --help lists them.
const std::vector<TCommand>& Commands();

void RunInfo(const TArgs& args);
/// demo [DIR]: without DIR describes the embedded table; with DIR writes the demonstration
/// project into it (project file, members, point-style and visibility sets).
void RunDemo(const TArgs& args);
/// dataset TABLE -o OUT.obd --fields A,B,... [--log ...] [--tanh ...] [--range ...] [--std ... | --no-std]
/// [--exclude-gaps]
void RunDataset(const TArgs& args);
/// pca DATASET.obd [--components K] [--weights]
void RunPca(const TArgs& args);
/// cluster DATASET.obd --method ... [--k K] [--fraction F] [--distance euclidean|l1] [--seed S]
void RunCluster(const TArgs& args);

/// init DATASET.obd -o MAP.obm [--grid ...] [--rows P] [--cols Q] [--layers R] [--init ...] [--size S]
/// [--noise X] [--seed S]
void RunInit(const TArgs& args);
/// train DATASET.obd -o MAP.obm [init options] [--map START.obm] [--lambda L] [--mu M] [--max-iter N]
/// [--weights] [--quiet]
void RunTrain(const TArgs& args);
/// grow MAP.obm -o OUT.obm (--extrapolate L,R,U,D | --interpolate L,R,U,D | --ring) [--dataset DATASET.obd]
void RunGrow(const TArgs& args);
/// bench training [--workload w1|w2|w3|both] [--no-oracle] [--export DIR]
void RunBench(const TArgs& args);
/// project-points MAP.obm [--dataset DATASET.obd] [--node] -o OUT.txt
void RunProjectPoints(const TArgs& args);
/// color MAP.obm [--dataset D.obd] --coloring ... [--smoothness S] [--radius R] [--scheme NAME]
/// [--palette continuous|discrete] [--tints N] [--relief X] [--view coords|pca|internal] [--axes A,B,C]
/// -o OUT.json
void RunColor(const TArgs& args);
/// export MAP.obm [--dataset D.obd] [color's coloring and view options] [--width W] [--height H] [--zoom Z]
/// [--rotx A] [--rotz A] [--vrml OUT.wrl [--gzip]] [--ps OUT.ps] [--html DIR]
void RunExport(const TArgs& args);
/// classes DATASET.obd --field NAME -o OUT.obd [--styles OUT.obc] [--visibility OUT.obs]
void RunClasses(const TArgs& args);
/// annotate MAP.obm [--dataset D.obd] --class NAME [--font-size N] -o OUT.obm
void RunAnnotate(const TArgs& args);
/// project OUT.obp MEMBER.obm|MEMBER.obd...: one script per table, the datasets with the
/// maps given for them; the members are saved beside the project file.
void RunProject(const TArgs& args);
/// Prints the JSON description of a table (the table kind of info).
void PrintTableInfo(const data::TDataTable& table);
/// Prints the JSON description of a map file (the map kind of info).
void PrintMapInfo(const std::string& path);

/// Prints the JSON description of a project file; raises TError when it cannot be read.
void PrintProjectInfo(const std::string& path);

/// Lower-cased extension of a path, with its dot (".obt"), or "" when it has none.
std::string ExtensionOf(const std::string& path);

} // namespace orbelin::cli

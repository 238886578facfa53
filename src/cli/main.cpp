// orbelin-cli: validates its arguments, calls the core and prints JSON on stdout. Errors
// are one line on stderr: exit status 1 for bad input, 2 for bad usage.
#include "cli/CommandLine.h"
#include "cli/Commands.h"

int main(int argc, char** argv)
{
    using namespace orbelin::cli;
    TCommandLine cli;
    // The order of `orbelin-cli --help`.
    AddInfoCommand(cli);
    AddDatasetCommand(cli);
    AddDemoCommand(cli);
    AddPcaCommand(cli);
    AddClusterCommand(cli);
    AddInitCommand(cli);
    AddProjectPointsCommand(cli);
    AddColorCommand(cli);
    AddExportCommand(cli);
    AddClassesCommand(cli);
    AddAnnotateCommand(cli);
    AddProjectCommand(cli);
    AddTrainCommand(cli);
    AddGrowCommand(cli);
    AddStatsCommand(cli);
    AddTTestCommand(cli);
    AddAnalyzeCommand(cli);
    AddValuesCommand(cli);
    AddLdaCommand(cli);
    AddRegressCommand(cli);
    AddMachineCommand(cli);
    AddIcaCommand(cli);
    AddBiplotCommand(cli);
    AddWeightsCommand(cli);
    AddTimeSeriesCommand(cli);
    AddMapValueCommand(cli);
    AddBenchCommand(cli);
    return cli.Run(TArgs(argv + 1, argv + argc));
}

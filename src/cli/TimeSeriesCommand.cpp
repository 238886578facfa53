// timeseries: a dataset's points read in their order as a time series, measured window by
// window as the time-series tool charts them.
#include "analysis/TimeSeries.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "numeric/Random.h"

#include <climits>

namespace orbelin::cli {
namespace {

void RunTimeSeries(const TOptions& line)
{
    const bool dimension = line.Flag("--dimension"), fraction = line.Flag("--fraction");
    if (dimension == fraction)
        line.Fail("timeseries needs exactly one of --dimension and --fraction");
    if (dimension && line.Value("--components"))
        line.Fail("timeseries: --components goes with --fraction");
    if (fraction && line.Value("--quality"))
        line.Fail("timeseries: --quality goes with --dimension");

    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(line.Path, dataset, table);
    analysis::TTimeSeriesSettings settings = analysis::DefaultTimeSeriesSettings(dataset);
    // The window's spin edits have no limits; only what an int holds is asked.
    settings.From = static_cast<int>(WholeOption(line, "--from", settings.From, -INT_MAX, INT_MAX));
    settings.To = static_cast<int>(WholeOption(line, "--to", settings.To, -INT_MAX, INT_MAX));
    settings.Width = static_cast<int>(WholeOption(line, "--width", settings.Width, -INT_MAX, INT_MAX));
    settings.Measure =
        dimension ? analysis::TSeriesMeasure::EffectiveDimension : analysis::TSeriesMeasure::ComponentsFraction;
    settings.Quality = NumberOption(line, "--quality", 0.8, -1e300, 1e300);
    settings.Components = static_cast<int>(WholeOption(line, "--components", 1, -INT_MAX, INT_MAX));

    // Every component starts from a random direction: a fixed seed repeats the output.
    numeric::SeedRandom(1);
    const analysis::TTimeSeries series = analysis::AnalyzeTimeSeries(dataset, settings);
    TJson json;
    json["title"] = series.Title;
    json["x"] = series.X;
    json["y"] = series.Y;
    json["outside_windows"] = series.OutsideWindows;
    json["flat_windows"] = series.FlatWindows;
    PrintJson(json);
}

} // namespace

void AddTimeSeriesCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "timeseries", "the effective dimension or the share of the first components of a sliding window of points",
        RunTimeSeries);
    AddPath(command, "DATASET.obd", "the dataset, its points in their order");
    AddValue(command, "--from", "F", "the first point, one-based (without it: 1)");
    AddValue(command, "--to", "T", "windows end before this point (without it: the number of points)");
    AddValue(command, "--width", "W", "points in a window (without it: the dimension plus one)");
    AddFlag(command, "--dimension", "measure the components needed for the share --quality of the spread");
    AddValue(command, "--quality", "Q", "--dimension: the share to reach")->default_str("0.8");
    AddFlag(command, "--fraction", "measure the share of the spread that --components components explain");
    AddValue(command, "--components", "C", "--fraction: the number of first components")->default_str("1");
    command.footer("Give exactly one of --dimension and --fraction. A window of points r-W..r-1 is plotted at "
                   "r - W div 2 for r = F+W, F+W+1, ... below T.");
}

} // namespace orbelin::cli

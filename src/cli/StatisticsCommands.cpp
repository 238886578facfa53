// stats and ttest: the statistics tool's dataset pages and Welch's test of a table's
// classes.
#include "analysis/DatasetStatistics.h"
#include "analysis/StatDistances.h"
#include "analysis/TTest.h"
#include "cli/AnalysisInput.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include <optional>

namespace orbelin::cli {
namespace {

const std::vector<std::string> DistanceChoices = {"euclidean", "l1", "1-r"};

analysis::TStatDistance DistanceOf(const std::string& choice)
{
    const auto it = std::find(DistanceChoices.begin(), DistanceChoices.end(), choice);
    return static_cast<analysis::TStatDistance>(it - DistanceChoices.begin());
}

struct TStatsRequest {
    std::string Path;
    std::string Page;
    analysis::TStatDistance Distance = analysis::TStatDistance::Euclidean;
    std::optional<int> Components;
    std::optional<analysis::TStatDistance> Compare;
    std::string DistFile;
};

TStatsRequest ParseStats(const TOptions& line)
{
    TStatsRequest r;
    r.Path = line.Path;
    r.Page = ChoiceOption(line, "--page", "common");
    r.Distance = DistanceOf(ChoiceOption(line, "--distance", "euclidean"));
    if (line.Value("--components")) {
        if (r.Page != "pca")
            line.Fail("stats: --components applies to --page pca only");
        r.Components = static_cast<int>(WholeOption(line, "--components", 0, 0, 1000000));
    }
    if (line.Value("--compare").has_value() != line.Value("--dist-file").has_value())
        line.Fail("stats: --compare and --dist-file go together");
    if (line.Value("--compare")) {
        r.Compare = DistanceOf(ChoiceOption(line, "--compare", "euclidean"));
        r.DistFile = *line.Value("--dist-file");
    }
    return r;
}

TJson RecordOf(const data::TData& data, int point)
{
    return point < 0 ? TJson() : TJson(data.NUMXI[static_cast<std::size_t>(point)] + 1);
}

void AddCommon(TJson& out, const data::TData& data, const analysis::TCommonStatistics& s)
{
    TJson fields = TJson::array();
    for (const analysis::TFieldSummary& f : s.Fields) {
        TJson field;
        field["name"] = f.Name;
        field["min"] = f.Min;
        field["min_record"] = RecordOf(data, f.MinPoint);
        field["max"] = f.Max;
        field["max_record"] = RecordOf(data, f.MaxPoint);
        field["mean"] = f.Mean;
        field["mean_record"] = RecordOf(data, f.MeanPoint);
        field["sd"] = f.Sd;
        field["within_sd"] = f.WithinSd;
        field["real_min"] = f.RealMin;
        field["real_max"] = f.RealMax;
        field["real_mean"] = f.RealMean;
        fields.push_back(std::move(field));
    }
    out["fields"] = std::move(fields);
    TJson overall;
    overall["spread"] = s.Spread;
    overall["nearest_point"] = s.NearestPoint < 0 ? TJson() : TJson(s.NearestPoint);
    overall["within"] = s.WithinSpread;
    out["overall"] = std::move(overall);
}

void AddPage(TJson& out, const TStatsRequest& r, const data::TData& data)
{
    out["page"] = r.Page;
    if (r.Page == "common") {
        const analysis::TCommonStatistics s = analysis::CalcCommon(data);
        out["grid"] = s.Grid.Cells;
        AddCommon(out, data, s);
    } else if (r.Page == "correlations") {
        const analysis::TCorrelations c = analysis::CalcCorr(data);
        out["grid"] = c.Grid.Cells;
        out["fields"] = c.Fields;
        out["r"] = c.R;
    } else if (r.Page == "pca") {
        // The components start from random directions: a fixed seed gives the same output
        // on every run.
        const analysis::TComponentStatistics s =
            analysis::CalcMGK(data, r.Components.value_or(data.CoordCount), std::uint64_t{1});
        out["grid"] = s.Grid.Cells;
        out["components"] = s.Components;
        out["fractions"] = s.Fractions;
        out["cumulative"] = s.Cumulative;
    } else {
        const analysis::TDistanceResult d = analysis::CalcDist(data, r.Distance);
        if (!d.Message.empty())
            throw TError(d.Message);
        out["grid"] = d.Table.Cells();
        TArray2D matrix(static_cast<std::size_t>(d.Table.PointCount()));
        for (int i = 0; i < d.Table.PointCount(); ++i)
            for (int j = 0; j < d.Table.PointCount(); ++j)
                matrix[static_cast<std::size_t>(i)].push_back(d.Table.Value(i, j));
        out["matrix"] = std::move(matrix);
    }
}

void RunStats(const TOptions& line)
{
    const TStatsRequest r = ParseStats(line);
    TAnalysisInput in;
    in.Load(r.Path);
    TJson out;
    AddPage(out, r, in.Data);
    if (r.Compare) {
        const analysis::TCompareResult c =
            analysis::CompareDistances(in.Data.Points, r.Distance, *r.Compare, r.DistFile);
        out["correlation"] = c.Correlation;
        out["pairs"] = c.Pairs;
    }
    PrintJson(out);
}

void RunTTest(const TOptions& line)
{
    const TClassOptions option = ClassOptions(line);
    TAnalysisInput in;
    in.Load(line.Path);
    const TFieldClasses classes =
        ColourRecordsByField(in.Table, TableFieldOption(in.Table, "--class-field", option.Field));
    const int first = ClassColorOption(classes, "--class", option.Value);
    const std::optional<std::string> versus = line.Value("--versus");
    const int second = versus ? ClassColorOption(classes, "--versus", *versus) : -1;
    if (second == first)
        throw TError("--versus names the class of --class (\"" + option.Value + "\"): the test needs two groups");
    const analysis::TTTestPage page = analysis::CalcTTest(in.Table, analysis::GroupsByColor(in.Table, first, second));

    TJson fields = TJson::array();
    for (const analysis::TFieldTTest& f : page.Fields) {
        TJson field;
        field["name"] = f.Name;
        field["t"] = f.Test.T;
        field["df"] = f.Test.Df;
        field["p"] = f.Test.P;
        field["n1"] = f.Test.N1;
        field["n2"] = f.Test.N2;
        fields.push_back(std::move(field));
    }
    TJson out;
    out["fields"] = std::move(fields);
    out["grid"] = page.Grid.Cells;
    PrintJson(out);
}

} // namespace

void AddStatsCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("stats", "the statistics tool's page of a dataset: its grid and its numbers", RunStats);
    AddPath(command, "DATASET.obd", "the dataset");
    AddChoice(command, "--page", {"common", "correlations", "pca", "distances"}, "the page to compute")->required();
    AddChoice(command, "--distance", DistanceChoices, "the distance type of the distances and of --compare")
        ->default_str("euclidean");
    AddValue(command, "--components", "K", "pca: the number of components (without it: one per coordinate)");
    AddChoice(command, "--compare", DistanceChoices,
              "the second distance type: the correlation of both over every pair of points");
    AddValue(command, "--dist-file", "PATH", "with --compare: the file of the pairs' two distances");
}

void AddTTestCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "ttest", "Welch's t-test of every numeric field between a class of a table field and the rest", RunTTest);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--class-field", "NAME", "the table field whose values name the classes")->required();
    AddValue(command, "--class", "VALUE", "the class: the records whose value in the field this is")->required();
    AddValue(command, "--versus", "VALUE", "the class to compare with (without it: every other record)");
}

} // namespace orbelin::cli

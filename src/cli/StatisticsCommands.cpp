// stats and ttest: the statistics tool's dataset pages and Welch's test of a table's
// classes.
#include "analysis/DatasetStatistics.h"
#include "analysis/StatDistances.h"
#include "analysis/TTest.h"
#include "cli/AnalysisInput.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TJsonWriter.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"

#include <cstdio>
#include <optional>

namespace orbelin::cli {
namespace {

constexpr const char* StatsUsage = "stats DATASET.obd --page common|correlations|pca|distances "
                                   "[--distance euclidean|l1|1-r] [--components K] [--compare SECOND --dist-file PATH]";
constexpr const char* TTestUsage = "ttest DATASET.obd --class-field NAME --class VALUE [--versus VALUE]";

analysis::TStatDistance DistanceOf(const TOptions& line, const std::string& option, const std::string& text)
{
    const std::vector<std::string> names = {"euclidean", "l1", "1-r"};
    for (std::size_t k = 0; k < names.size(); ++k)
        if (text == names[k])
            return static_cast<analysis::TStatDistance>(k);
    line.Fail("stats: " + option + " expects euclidean, l1 or 1-r, found \"" + text + "\"");
}

struct TStatsRequest {
    std::string Path;
    std::string Page;
    analysis::TStatDistance Distance = analysis::TStatDistance::Euclidean;
    std::optional<int> Components;
    std::optional<analysis::TStatDistance> Compare;
    std::string DistFile;
};

TStatsRequest ParseStats(const TArgs& args)
{
    const TOptions line = ParseOptions(args, "stats", StatsUsage, "DATASET.obd",
                                       {"--page", "--distance", "--components", "--compare", "--dist-file"}, {});
    TStatsRequest r;
    r.Path = line.Path;
    if (!line.Value("--page"))
        line.Fail("stats needs --page common|correlations|pca|distances");
    r.Page = ChoiceOption(line, "--page", "", {"common", "correlations", "pca", "distances"});
    if (const auto text = line.Value("--distance"))
        r.Distance = DistanceOf(line, "--distance", *text);
    if (line.Value("--components")) {
        if (r.Page != "pca")
            line.Fail("stats: --components applies to --page pca only");
        r.Components = static_cast<int>(WholeOption(line, "--components", 0, 0, 1000000));
    }
    if (line.Value("--compare").has_value() != line.Value("--dist-file").has_value())
        line.Fail("stats: --compare and --dist-file go together");
    if (const auto text = line.Value("--compare")) {
        r.Compare = DistanceOf(line, "--compare", *text);
        r.DistFile = *line.Value("--dist-file");
    }
    return r;
}

void WriteCommon(TJsonWriter& json, const data::TData& data, const analysis::TCommonStatistics& s)
{
    const auto record = [&](int point) {
        if (point < 0)
            json.Null();
        else
            json.Int(data.NUMXI[static_cast<std::size_t>(point)] + 1);
    };
    json.Key("fields").BeginArray();
    for (const analysis::TFieldSummary& f : s.Fields) {
        json.BeginObject().Key("name").String(f.Name);
        json.Key("min").Number(f.Min).Key("min_record");
        record(f.MinPoint);
        json.Key("max").Number(f.Max).Key("max_record");
        record(f.MaxPoint);
        json.Key("mean").Number(f.Mean).Key("mean_record");
        record(f.MeanPoint);
        json.Key("sd").Number(f.Sd).Key("within_sd").Int(f.WithinSd);
        json.Key("real_min").Number(f.RealMin).Key("real_max").Number(f.RealMax).Key("real_mean").Number(f.RealMean);
        json.EndObject();
    }
    json.EndArray();
    json.Key("overall").BeginObject().Key("spread").Number(s.Spread).Key("nearest_point");
    if (s.NearestPoint < 0)
        json.Null();
    else
        json.Int(s.NearestPoint);
    json.Key("within").Int(s.WithinSpread).EndObject();
}

void WritePage(TJsonWriter& json, const TStatsRequest& r, const data::TData& data)
{
    json.Key("page").String(r.Page);
    if (r.Page == "common") {
        const analysis::TCommonStatistics s = analysis::CalcCommon(data);
        json.Key("grid");
        WriteGrid(json, s.Grid.Cells);
        WriteCommon(json, data, s);
    } else if (r.Page == "correlations") {
        const analysis::TCorrelations c = analysis::CalcCorr(data);
        json.Key("grid");
        WriteGrid(json, c.Grid.Cells);
        json.Key("fields");
        WriteTexts(json, c.Fields);
        json.Key("r");
        WriteRows(json, c.R);
    } else if (r.Page == "pca") {
        // The components start from random directions: a fixed seed gives the same output
        // on every run.
        const analysis::TComponentStatistics s =
            analysis::CalcMGK(data, r.Components.value_or(data.CoordCount), std::uint64_t{1});
        json.Key("grid");
        WriteGrid(json, s.Grid.Cells);
        json.Key("components");
        WriteRows(json, s.Components);
        json.Key("fractions");
        WriteNumbers(json, s.Fractions);
        json.Key("cumulative");
        WriteNumbers(json, s.Cumulative);
    } else {
        const analysis::TDistanceResult d = analysis::CalcDist(data, r.Distance);
        if (!d.Message.empty())
            throw TError(d.Message);
        json.Key("grid");
        WriteGrid(json, d.Table.Cells());
        json.Key("matrix").BeginArray();
        for (int i = 0; i < d.Table.PointCount(); ++i) {
            json.BeginArray();
            for (int j = 0; j < d.Table.PointCount(); ++j)
                json.Number(d.Table.Value(i, j));
            json.EndArray();
        }
        json.EndArray();
    }
}

} // namespace

void RunStats(const TArgs& args)
{
    const TStatsRequest r = ParseStats(args);
    TAnalysisInput in;
    in.Load(r.Path);
    TJsonWriter json;
    json.BeginObject();
    WritePage(json, r, in.Data);
    if (r.Compare) {
        const analysis::TCompareResult c =
            analysis::CompareDistances(in.Data.Points, r.Distance, *r.Compare, r.DistFile);
        json.Key("correlation").Number(c.Correlation).Key("pairs").Int(c.Pairs);
    }
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

namespace {

struct TTTestRequest {
    std::string Path;
    TClassOptions Class;
    std::optional<std::string> Versus;
};

TTTestRequest ParseTTest(const TArgs& args)
{
    const TOptions line =
        ParseOptions(args, "ttest", TTestUsage, "DATASET.obd", {"--class-field", "--class", "--versus"}, {});
    TTTestRequest r;
    r.Path = line.Path;
    r.Class = ClassOptions(line);
    r.Versus = line.Value("--versus");
    return r;
}

} // namespace

void RunTTest(const TArgs& args)
{
    const TTTestRequest r = ParseTTest(args);
    TAnalysisInput in;
    in.Load(r.Path);
    const TFieldClasses classes =
        ColourRecordsByField(in.Table, TableFieldOption(in.Table, "--class-field", r.Class.Field));
    const int first = ClassColorOption(classes, "--class", r.Class.Value);
    const int second = r.Versus ? ClassColorOption(classes, "--versus", *r.Versus) : -1;
    if (second == first)
        throw TError("--versus names the class of --class (\"" + r.Class.Value + "\"): the test needs two groups");
    const analysis::TTTestPage page = analysis::CalcTTest(in.Table, analysis::GroupsByColor(in.Table, first, second));

    TJsonWriter json;
    json.BeginObject().Key("fields").BeginArray();
    for (const analysis::TFieldTTest& f : page.Fields)
        json.BeginObject()
            .Key("name")
            .String(f.Name)
            .Key("t")
            .Number(f.Test.T)
            .Key("df")
            .Number(f.Test.Df)
            .Key("p")
            .Number(f.Test.P)
            .Key("n1")
            .Int(f.Test.N1)
            .Key("n2")
            .Int(f.Test.N2)
            .EndObject();
    json.EndArray().Key("grid");
    WriteGrid(json, page.Grid.Cells);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

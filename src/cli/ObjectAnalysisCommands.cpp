// analyze, values, lda and regress: the object analysis tool's clustering, values
// analysis, discriminant and regression of a dataset file.
#include "analysis/Discriminant.h"
#include "analysis/Marking.h"
#include "analysis/ObjectClustering.h"
#include "analysis/PointWeights.h"
#include "analysis/Regression.h"
#include "analysis/ValuesAnalysis.h"
#include "cli/AnalysisInput.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TJsonWriter.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "map/TMap.h"
#include "numeric/Random.h"
#include "numeric/TUserInterface.h"
#include "view/AddObjectFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace orbelin::cli {
namespace {

constexpr const char* AnalyzeUsage =
    "analyze DATASET.obd --method kmeans|colors|nodes|hierarchical|hierarchical-count|objects|separate [--k K] "
    "[--distance euclidean|l1] [--sensitivity S] [--map MAP.obm] [--class-field NAME] [--objects FILE.obo] [--seed S]";
constexpr const char* ValuesUsage = "values DATASET.obd [--map MAP.obm] "
                                    "--quantity node|projection|unstability|field:NAME|weight "
                                    "[--min-size A] [--max-size B]";
constexpr const char* LdaUsage = "lda DATASET.obd --class-field NAME --class VALUE [--fields A,B,...] [--iterations N]";
constexpr const char* RegressUsage = "regress DATASET.obd --target FIELD [--args A,B,...] [--quality Q]";

// Messages of the core (k-means' pass limit) go to stderr; the result still follows.
class TCliMessages : public TUserInterface {
public:
    TCliMessages() { SetUserInterface(this); }
    ~TCliMessages() override { SetUserInterface(nullptr); }
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "orbelin-cli: %s\n", text.c_str()); }
};

struct TAnalyzeRequest {
    std::string Path;
    analysis::TClusterSettings Settings;
    std::optional<std::string> Map;
    std::optional<std::string> ClassField;
    std::optional<std::string> Objects;
    std::uint64_t Seed = 1;
};

TAnalyzeRequest ParseAnalyze(const TArgs& args)
{
    const TOptions line = ParseOptions(
        args, "analyze", AnalyzeUsage, "DATASET.obd",
        {"--method", "--k", "--distance", "--sensitivity", "--map", "--class-field", "--objects", "--seed"}, {});
    TAnalyzeRequest r;
    r.Path = line.Path;
    if (!line.Value("--method"))
        line.Fail("analyze needs --method");
    const std::vector<std::string> methods = {"kmeans",  "colors",  "nodes", "hierarchical", "hierarchical-count",
                                              "objects", "separate"};
    const std::string method = ChoiceOption(line, "--method", "", methods);
    r.Settings.Method =
        static_cast<analysis::TClusterMethod>(std::find(methods.begin(), methods.end(), method) - methods.begin());
    r.Settings.K = static_cast<int>(WholeOption(line, "--k", 3, 1, analysis::MaxClusterCount));
    r.Settings.Kind = ChoiceOption(line, "--distance", "euclidean", {"euclidean", "l1"}) == "l1" ? 1 : 0;
    r.Settings.Sensitivity = static_cast<int>(std::nearbyint(100 * NumberOption(line, "--sensitivity", 0.3, 0, 1)));
    r.Map = line.Value("--map");
    r.ClassField = line.Value("--class-field");
    r.Objects = line.Value("--objects");
    r.Seed = static_cast<std::uint64_t>(WholeOption(line, "--seed", 1, 0, INT64_MAX));
    if (r.Settings.Method == analysis::TClusterMethod::SeparateSelected && !r.ClassField)
        line.Fail("analyze: --method separate needs --class-field NAME: each class but the last is separated in turn");
    if (r.ClassField && r.Settings.Method != analysis::TClusterMethod::ByColors &&
        r.Settings.Method != analysis::TClusterMethod::SeparateSelected)
        line.Fail("analyze: --class-field applies to --method colors and separate only");
    if (r.Objects && r.Settings.Method != analysis::TClusterMethod::BySelectedObjects)
        line.Fail("analyze: --objects applies to --method objects only");
    return r;
}

// "Separate selected in cluster" once for each class but the last, with that class's
// points as the selection: k classes give k centroids.
std::string SeparateClasses(analysis::TClusterAnalysis& tool, analysis::TClusterSettings& settings, data::TData& data,
                            const TFieldClasses& classes)
{
    if (classes.Colors.size() < 2)
        return "the field " + classes.Field + " has one class only: there is nothing to separate it from";
    for (std::size_t c = 0; c + 1 < classes.Colors.size(); ++c) {
        data::ClearMarks(data);
        analysis::AddMarks(data, analysis::PointsOfClass(data, classes.Colors[c]), classes.Colors[c], 1);
        if (std::string message = tool.Analyze(settings, data, nullptr); !message.empty())
            return message;
    }
    return {};
}

void WriteClusters(TJsonWriter& json, const analysis::TClusterAnalysis& tool, const data::TData& data,
                   const analysis::TClusterSettings& settings)
{
    json.Key("k").Int(tool.K()).Key("clusters").BeginArray();
    for (std::size_t i = 0; i < static_cast<std::size_t>(tool.K()); ++i) {
        const TArray1I members = i < tool.Clusters.size() ? tool.Clusters[i] : TArray1I();
        json.BeginObject().Key("size").Int(static_cast<long long>(members.size())).Key("deviation");
        if (members.empty())
            json.Null();
        else
            json.Number(std::sqrt(tool.Deviations[i]));
        json.Key("colour").String(HexColor(tool.Colors[i])).Key("members").BeginArray();
        for (int p : members)
            json.Int(p);
        json.EndArray().EndObject();
    }
    json.EndArray();
    json.Key("class_deviation").Number(tool.ClassDeviation);
    json.Key("sensitivity").Number(settings.Sensitivity / 100.0);
    json.Key("columns").BeginObject().Key("Class");
    WriteTexts(json, tool.ClassTexts(static_cast<int>(data.Points.size())));
    json.Key("Dist.");
    WriteTexts(json, tool.DistanceTexts(data));
    json.EndObject();
}

} // namespace

void RunAnalyze(const TArgs& args)
{
    TAnalyzeRequest r = ParseAnalyze(args);
    TAnalysisInput in;
    in.Load(r.Path, r.Map);
    if (r.Settings.Method == analysis::TClusterMethod::ByNodes && !in.Grid())
        throw TError("analyze --method nodes needs the map to cluster by: give --map MAP.obm");
    if (r.Objects)
        view::ReadAddObjects(*r.Objects, in.Data.CoordCount, in.Data.AddObjects);
    std::optional<TFieldClasses> classes;
    if (r.ClassField)
        classes = ColourRecordsByField(in.Table, TableFieldOption(in.Table, "--class-field", *r.ClassField));

    TCliMessages messages;
    numeric::SeedRandom(r.Seed);
    analysis::TClusterAnalysis tool;
    tool.ChooseMethod(r.Settings, in.Data, in.Grid());
    const std::string message = r.Settings.Method == analysis::TClusterMethod::SeparateSelected
                                    ? SeparateClasses(tool, r.Settings, in.Data, *classes)
                                    : tool.Analyze(r.Settings, in.Data, in.Grid());
    if (!message.empty())
        throw TError(r.Path + ": " + message);

    TJsonWriter json;
    json.BeginObject();
    WriteClusters(json, tool, in.Data, r.Settings);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

namespace {

struct TValuesRequest {
    std::string Path;
    std::optional<std::string> Map;
    analysis::TValueSettings Settings;
    std::string FieldName; ///< of field:NAME
};

TValuesRequest ParseValues(const TArgs& args)
{
    const TOptions line = ParseOptions(args, "values", ValuesUsage, "DATASET.obd",
                                       {"--map", "--quantity", "--min-size", "--max-size"}, {});
    TValuesRequest r;
    r.Path = line.Path;
    r.Map = line.Value("--map");
    const std::optional<std::string> quantity = line.Value("--quantity");
    if (!quantity)
        line.Fail("values needs --quantity node|projection|unstability|field:NAME|weight");
    const std::vector<std::string> names = {"node", "projection", "unstability"};
    if (quantity->rfind("field:", 0) == 0) {
        r.Settings.Quantity = analysis::TValueQuantity::FieldValue;
        r.FieldName = quantity->substr(6);
    } else if (*quantity == "weight") {
        r.Settings.Quantity = analysis::TValueQuantity::Weight;
    } else {
        const auto it = std::find(names.begin(), names.end(), *quantity);
        if (it == names.end())
            line.Fail("values: --quantity expects node, projection, unstability, field:NAME or weight, found \"" +
                      *quantity + "\"");
        r.Settings.Quantity = static_cast<analysis::TValueQuantity>(it - names.begin());
    }
    r.Settings.MinSize = static_cast<int>(WholeOption(line, "--min-size", 5, 1, 100));
    r.Settings.MaxSize = static_cast<int>(WholeOption(line, "--max-size", 20, 1, 100));
    return r;
}

} // namespace

void RunValues(const TArgs& args)
{
    TValuesRequest r = ParseValues(args);
    const bool onMap = r.Settings.Quantity == analysis::TValueQuantity::NodeDistance ||
                       r.Settings.Quantity == analysis::TValueQuantity::ProjectionDistance ||
                       r.Settings.Quantity == analysis::TValueQuantity::Unstability;
    if (onMap && !r.Map)
        throw TError("values: the quantity is measured against a map: give --map MAP.obm");
    TAnalysisInput in;
    in.Load(r.Path, r.Map);
    if (r.Settings.Quantity == analysis::TValueQuantity::FieldValue)
        r.Settings.Field = TableFieldOption(in.Table, "--quantity field:", r.FieldName);
    const analysis::TValueAnalysis a = analysis::AnalyzeValues(in.Data, in.Grid(), r.Settings);
    if (!a.Message.empty())
        throw TError(r.Path + ": " + a.Message);

    const bool any = a.Lo <= a.Hi;
    TJsonWriter json;
    json.BeginObject().Key("values");
    WriteNumbers(json, a.Values);
    json.Key("lo");
    any ? json.Number(a.Lo) : json.Null();
    json.Key("hi");
    any ? json.Number(a.Hi) : json.Null();
    json.Key("mean");
    any ? json.Number(a.Mean) : json.Null();
    json.Key("sizes").BeginArray();
    for (int size : a.Sizes)
        json.Int(size);
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

namespace {

struct TLdaRequest {
    std::string Path;
    TClassOptions Class;
    std::optional<std::string> Fields;
    int Iterations = 100;
};

TLdaRequest ParseLda(const TArgs& args)
{
    const TOptions line = ParseOptions(args, "lda", LdaUsage, "DATASET.obd",
                                       {"--class-field", "--class", "--fields", "--iterations"}, {});
    TLdaRequest r;
    r.Path = line.Path;
    r.Class = ClassOptions(line);
    r.Fields = line.Value("--fields");
    r.Iterations = static_cast<int>(WholeOption(line, "--iterations", 100, 0, 1000000));
    return r;
}

} // namespace

void RunLda(const TArgs& args)
{
    const TLdaRequest r = ParseLda(args);
    TAnalysisInput in;
    in.Load(r.Path, std::nullopt);
    const TFieldClasses classes =
        ColourRecordsByField(in.Table, TableFieldOption(in.Table, "--class-field", r.Class.Field));
    analysis::TLdaSettings s;
    s.ClassColor = ClassColorOption(classes, "--class", r.Class.Value);
    s.UseFields = CoordinateFlags(in.Data, "--fields", r.Fields);
    s.Iterations = r.Iterations;
    const analysis::TLdaResult result = analysis::AnalyzeLda(in.Data, s);
    if (!result.Message.empty())
        throw TError(r.Path + ": " + result.Message);

    TJsonWriter json;
    json.BeginObject().Key("coefficients");
    WriteNumbers(json, result.Coefficients);
    json.Key("tp").Int(result.Counts.TP).Key("tn").Int(result.Counts.TN);
    json.Key("fp").Int(result.Counts.FP).Key("fn").Int(result.Counts.FN);
    json.Key("lines");
    WriteTexts(json, {result.Lines.begin(), result.Lines.end()});
    json.Key("scores");
    WriteNumbers(json, analysis::FunctionScores(in.Data, result.Coefficients));
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

namespace {

struct TRegressRequest {
    std::string Path;
    std::string Target;
    std::optional<std::string> Arguments;
    std::optional<double> Quality;
};

TRegressRequest ParseRegress(const TArgs& args)
{
    const TOptions line =
        ParseOptions(args, "regress", RegressUsage, "DATASET.obd", {"--target", "--args", "--quality"}, {});
    TRegressRequest r;
    r.Path = line.Path;
    if (!line.Value("--target"))
        line.Fail("regress needs --target FIELD");
    r.Target = *line.Value("--target");
    r.Arguments = line.Value("--args");
    if (line.Value("--quality"))
        r.Quality = NumberOption(line, "--quality", 0, 0, 1e300);
    return r;
}

} // namespace

void RunRegress(const TArgs& args)
{
    const TRegressRequest r = ParseRegress(args);
    TAnalysisInput in;
    in.Load(r.Path, std::nullopt);
    analysis::TLrSettings s;
    s.TargetField = TableFieldOption(in.Table, "--target", r.Target);
    if (!data::IsNumericFieldType(in.Table.FieldTypes[static_cast<std::size_t>(s.TargetField)]))
        throw TError("--target: the field " + in.Table.FieldNames[static_cast<std::size_t>(s.TargetField)] + " of " +
                     in.Table.Name + " is not numeric");
    s.UseFields = CoordinateFlags(in.Data, "--args", r.Arguments);
    const analysis::TLrResult result = analysis::AnalyzeLr(in.Data, s);
    if (!result.Message.empty())
        throw TError(r.Path + ": " + result.Message);
    const double threshold = r.Quality.value_or(result.Threshold);
    const analysis::TLrQuality q = analysis::LrQuality(in.Data, result.Coefficients, result.Targets, threshold);

    TJsonWriter json;
    json.BeginObject().Key("coefficients");
    WriteNumbers(json, result.Coefficients);
    json.Key("threshold").Number(threshold).Key("amplitude").Number(q.Amplitude).Key("errors").Int(q.Errors);
    json.Key("values");
    WriteNumbers(json, q.Values);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

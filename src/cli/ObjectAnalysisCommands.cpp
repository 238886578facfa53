// analyze, values, lda and regress: the object analysis tool's clustering, values
// analysis, discriminant and regression of a dataset file.
#include "analysis/Discriminant.h"
#include "analysis/Marking.h"
#include "analysis/ObjectClustering.h"
#include "analysis/Regression.h"
#include "analysis/ValuesAnalysis.h"
#include "cli/AnalysisInput.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
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

const std::vector<std::string> MethodChoices = {"kmeans",  "colors",  "nodes", "hierarchical", "hierarchical-count",
                                                "objects", "separate"};

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

TAnalyzeRequest ParseAnalyze(const TOptions& line)
{
    TAnalyzeRequest r;
    r.Path = line.Path;
    const std::string method = ChoiceOption(line, "--method", "kmeans");
    r.Settings.Method = static_cast<analysis::TClusterMethod>(
        std::find(MethodChoices.begin(), MethodChoices.end(), method) - MethodChoices.begin());
    r.Settings.K = static_cast<int>(WholeOption(line, "--k", 3, 1, analysis::MaxClusterCount));
    r.Settings.Kind = ChoiceOption(line, "--distance", "euclidean") == "l1" ? 1 : 0;
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

TJson ClustersOf(const analysis::TClusterAnalysis& tool, const data::TData& data,
                 const analysis::TClusterSettings& settings)
{
    TJson out;
    out["k"] = tool.K();
    TJson clusters = TJson::array();
    for (std::size_t i = 0; i < static_cast<std::size_t>(tool.K()); ++i) {
        const TArray1I members = i < tool.Clusters.size() ? tool.Clusters[i] : TArray1I();
        TJson cluster;
        cluster["size"] = members.size();
        cluster["deviation"] = members.empty() ? TJson() : TJson(std::sqrt(tool.Deviations[i]));
        cluster["colour"] = HexColor(tool.Colors[i]);
        cluster["members"] = members;
        clusters.push_back(std::move(cluster));
    }
    out["clusters"] = std::move(clusters);
    out["class_deviation"] = tool.ClassDeviation;
    out["sensitivity"] = settings.Sensitivity / 100.0;
    TJson columns;
    columns["Class"] = tool.ClassTexts(static_cast<int>(data.Points.size()));
    columns["Dist."] = tool.DistanceTexts(data);
    out["columns"] = std::move(columns);
    return out;
}

void RunAnalyze(const TOptions& line)
{
    TAnalyzeRequest r = ParseAnalyze(line);
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
    PrintJson(ClustersOf(tool, in.Data, r.Settings));
}

// --quantity node|projection|unstability|field:NAME|weight, and the field's name.
analysis::TValueQuantity QuantityOf(const TOptions& line, std::string& fieldName)
{
    const std::string quantity = line.Value("--quantity").value_or("");
    if (quantity.rfind("field:", 0) == 0) {
        fieldName = quantity.substr(6);
        return analysis::TValueQuantity::FieldValue;
    }
    if (quantity == "weight")
        return analysis::TValueQuantity::Weight;
    const std::vector<std::string> names = {"node", "projection", "unstability"};
    const auto it = std::find(names.begin(), names.end(), quantity);
    if (it == names.end())
        line.Fail("values: --quantity expects node, projection, unstability, field:NAME or weight, found \"" +
                  quantity + "\"");
    return static_cast<analysis::TValueQuantity>(it - names.begin());
}

void RunValues(const TOptions& line)
{
    analysis::TValueSettings s;
    std::string fieldName;
    s.Quantity = QuantityOf(line, fieldName);
    s.MinSize = static_cast<int>(WholeOption(line, "--min-size", 5, 1, 100));
    s.MaxSize = static_cast<int>(WholeOption(line, "--max-size", 20, 1, 100));
    const std::optional<std::string> mapPath = line.Value("--map");
    const bool onMap = s.Quantity == analysis::TValueQuantity::NodeDistance ||
                       s.Quantity == analysis::TValueQuantity::ProjectionDistance ||
                       s.Quantity == analysis::TValueQuantity::Unstability;
    if (onMap && !mapPath)
        throw TError("values: the quantity is measured against a map: give --map MAP.obm");
    TAnalysisInput in;
    in.Load(line.Path, mapPath);
    if (s.Quantity == analysis::TValueQuantity::FieldValue)
        s.Field = TableFieldOption(in.Table, "--quantity field:", fieldName);
    const analysis::TValueAnalysis a = analysis::AnalyzeValues(in.Data, in.Grid(), s);
    if (!a.Message.empty())
        throw TError(line.Path + ": " + a.Message);

    const bool any = a.Lo <= a.Hi;
    TJson out;
    out["values"] = a.Values;
    out["lo"] = any ? TJson(a.Lo) : TJson();
    out["hi"] = any ? TJson(a.Hi) : TJson();
    out["mean"] = any ? TJson(a.Mean) : TJson();
    out["sizes"] = a.Sizes;
    PrintJson(out);
}

void RunLda(const TOptions& line)
{
    const TClassOptions option = ClassOptions(line);
    TAnalysisInput in;
    in.Load(line.Path);
    const TFieldClasses classes =
        ColourRecordsByField(in.Table, TableFieldOption(in.Table, "--class-field", option.Field));
    analysis::TLdaSettings s;
    s.ClassColor = ClassColorOption(classes, "--class", option.Value);
    s.UseFields = CoordinateFlags(in.Data, "--fields", line.Value("--fields"));
    s.Iterations = static_cast<int>(WholeOption(line, "--iterations", 100, 0, 1000000));
    const analysis::TLdaResult result = analysis::AnalyzeLda(in.Data, s);
    if (!result.Message.empty())
        throw TError(line.Path + ": " + result.Message);

    TJson out;
    out["coefficients"] = result.Coefficients;
    out["tp"] = result.Counts.TP;
    out["tn"] = result.Counts.TN;
    out["fp"] = result.Counts.FP;
    out["fn"] = result.Counts.FN;
    out["lines"] = result.Lines;
    out["scores"] = analysis::FunctionScores(in.Data, result.Coefficients);
    PrintJson(out);
}

void RunRegress(const TOptions& line)
{
    TAnalysisInput in;
    in.Load(line.Path);
    analysis::TLrSettings s;
    s.TargetField = TableFieldOption(in.Table, "--target", line.Value("--target").value_or(""));
    if (!data::IsNumericFieldType(in.Table.FieldTypes[static_cast<std::size_t>(s.TargetField)]))
        throw TError("--target: the field " + in.Table.FieldNames[static_cast<std::size_t>(s.TargetField)] + " of " +
                     in.Table.Name + " is not numeric");
    s.UseFields = CoordinateFlags(in.Data, "--args", line.Value("--args"));
    const std::optional<double> quality =
        line.Value("--quality") ? std::optional<double>(NumberOption(line, "--quality", 0, 0, 1e300)) : std::nullopt;
    const analysis::TLrResult result = analysis::AnalyzeLr(in.Data, s);
    if (!result.Message.empty())
        throw TError(line.Path + ": " + result.Message);
    const double threshold = quality.value_or(result.Threshold);
    const analysis::TLrQuality q = analysis::LrQuality(in.Data, result.Coefficients, result.Targets, threshold);

    TJson out;
    out["coefficients"] = result.Coefficients;
    out["threshold"] = threshold;
    out["amplitude"] = q.Amplitude;
    out["errors"] = q.Errors;
    out["values"] = q.Values;
    PrintJson(out);
}

} // namespace

void AddAnalyzeCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("analyze", "cluster a dataset's points as the object analysis tool does", RunAnalyze);
    AddPath(command, "DATASET.obd", "the dataset");
    AddChoice(command, "--method", MethodChoices,
              "k-means, the classes of the records' colours, the map's nodes, hierarchical merging cut at a distance "
              "or a count, the objects as centroids, or the classes of --class-field separated in turn")
        ->required();
    AddValue(command, "--k", "K", "the number of clusters of kmeans and hierarchical-count")->default_str("3");
    AddChoice(command, "--distance", {"euclidean", "l1"}, "the distance of kmeans and the hierarchical methods")
        ->default_str("euclidean");
    AddValue(command, "--sensitivity", "S", "hierarchical: the cut as a fraction (0 to 1) of the largest distance")
        ->default_str("0.3");
    AddValue(command, "--map", "MAP.obm", "nodes: the map whose nodes gather the points");
    AddValue(command, "--class-field", "NAME", "colors and separate: the table field whose values name the classes");
    AddValue(command, "--objects", "FILE.obo", "objects: the additional objects whose centres are the centroids");
    AddValue(command, "--seed", "S", "the seed of the random start")->default_str("1");
}

void AddValuesCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("values", "one value per point and the point sizes it maps to", RunValues);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--map", "MAP.obm", "the map the node, projection and unstability quantities are measured on");
    AddValue(command, "--quantity", "node|projection|unstability|field:NAME|weight",
             "the distance to the nearest node or to the projection, the projection's unstability, a table "
             "field's value or the point's weight")
        ->required();
    AddValue(command, "--min-size", "A", "the size of the smallest value")->default_str("5");
    AddValue(command, "--max-size", "B", "the size of the largest value")->default_str("20");
}

void AddLdaCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("lda", "separate a class of a table field by a linear function of coordinates", RunLda);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--class-field", "NAME", "the table field whose values name the classes")->required();
    AddValue(command, "--class", "VALUE", "the class to separate from the other records")->required();
    AddValue(command, "--fields", "A,B,...", "the coordinates the function uses (without it: every one)");
    AddValue(command, "--iterations", "N", "the correction steps of the fit")->default_str("100");
}

void AddRegressCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "regress", "fit a numeric table field linearly on coordinates and count the large errors", RunRegress);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--target", "FIELD", "the numeric table field to fit")->required();
    AddValue(command, "--args", "A,B,...", "the coordinates it is fitted on (without it: every one but the target)");
    AddValue(command, "--quality", "Q",
             "the error above which a point counts as wrong (without it: a fifth of the targets' deviation)");
}

} // namespace orbelin::cli

// pca and cluster: principal components and clusterings of a dataset file's points.
#include "analysis/PointWeights.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/WeightOptions.h"
#include "data/DatasetFile.h"
#include "data/PointStyle.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "numeric/Clustering.h"
#include "numeric/Components.h"
#include "numeric/Random.h"
#include "numeric/TUserInterface.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <unordered_map>

namespace orbelin::cli {
namespace {

void LoadPoints(const std::string& path, data::TData& data, data::TDataTable& table)
{
    data::LoadDatasetWithTable(path, data, table);
    for (std::size_t p = 0; p < data.NUMXI.size(); ++p)
        if (data.NUMXI[p] < 0 || static_cast<std::size_t>(data.NUMXI[p]) >= table.PointStyles.size())
            throw TError(path + ": point " + std::to_string(p) + " refers to record " + std::to_string(data.NUMXI[p]) +
                         ", but the table has " + std::to_string(table.PointStyles.size()) + " records");
}

// Messages of the core (k-means' pass limit) go to stderr; the result still follows.
class TCliUserInterface : public TUserInterface {
public:
    TCliUserInterface() { SetUserInterface(this); }
    ~TCliUserInterface() override { SetUserInterface(nullptr); }
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "orbelin-cli: %s\n", text.c_str()); }
};

} // namespace

void RunPca(const TOptions& line)
{
    data::TData data;
    data::TDataTable table;
    LoadPoints(line.Path, data, table);
    const int d = data.Points.empty() ? 0 : static_cast<int>(data.Points[0].size());
    const int k = static_cast<int>(WholeOption(line, "--components", d, 0, 1000000));
    if (const std::optional<std::string> rule = WeightsRule(line))
        AssignWeightRule(line, *rule, data, table, nullptr);
    if (const std::string problem = analysis::WeightsProblem(data); !problem.empty())
        throw TError(problem);
    const TArray1D& weights = data.PointWeights;

    TCliUserInterface ui;
    // The components start from random directions: a fixed seed gives the same output on
    // every run.
    numeric::SeedRandom(1);
    const numeric::TPrincipalComponents pc = numeric::PrincipalComponents(data.Points, weights, k);

    TJson json;
    json["count"] = pc.Count;
    json["centre"] = pc.Centre;
    json["components"] = pc.Components;
    PrintJson(json);
}

void RunCluster(const TOptions& line)
{
    const std::optional<std::string> method = line.Value("--method");
    if (!method)
        throw TUsageError("cluster needs --method kmeans|colors|hierarchical|hierarchical-count");
    if (*method != "kmeans" && *method != "colors" && *method != "hierarchical" && *method != "hierarchical-count")
        throw TUsageError("cluster: unknown --method \"" + *method +
                          "\" (expected kmeans, colors, hierarchical or hierarchical-count)");
    const bool usesK = *method == "kmeans" || *method == "hierarchical-count";
    const bool usesFraction = *method == "hierarchical";
    const bool usesDistance = *method != "colors";
    for (const auto& [option, applies] :
         {std::pair<std::string, bool>{"--k", usesK}, {"--fraction", usesFraction}, {"--distance", usesDistance}})
        if (!applies && line.Value(option))
            throw TUsageError("cluster: " + option + " does not apply to --method " + *method);

    const int k = static_cast<int>(WholeOption(line, "--k", 3, 1, 100000));
    double fraction = NumberOption(line, "--fraction", 0.3, 0, 1);
    int kind = 0;
    if (const auto text = line.Value("--distance")) {
        if (*text == "l1")
            kind = 1;
        else if (*text != "euclidean")
            throw TUsageError("cluster: --distance expects euclidean or l1, found \"" + *text + "\"");
    }
    const auto seed = static_cast<std::uint64_t>(WholeOption(line, "--seed", 1, 0, INT64_MAX));

    data::TData data;
    data::TDataTable table;
    LoadPoints(line.Path, data, table);

    TCliUserInterface ui;
    numeric::SeedRandom(seed);
    TJson json;
    if (*method == "kmeans" || *method == "colors") {
        const numeric::TClustering result = *method == "kmeans"
                                                ? numeric::KMeans(data.Points, k, kind, data.PointWeights)
                                                : numeric::ClusterByKey(data.Points, analysis::PointClasses(data));
        json["clusters"] = result.Clusters;
        json["centroids"] = result.Centroids;
    } else {
        const numeric::THierarchy result = *method == "hierarchical"
                                               ? numeric::HierarchicalByThreshold(data.Points, kind, fraction)
                                               : numeric::HierarchicalByCount(data.Points, kind, k);
        json["clusters"] = result.Clusters;
        json["centroids"] = result.Centroids;
        json["links"] = result.Links;
        if (*method == "hierarchical")
            json["threshold"] = fraction;
        else
            json["ratio"] = result.Ratio;
    }
    PrintJson(json);
}

void AddPcaCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("pca", "principal components of a dataset's points", RunPca);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--components", "K", "the number of components (without it: one per coordinate)");
    AddWeightsOption(command);
    AddWeightRuleOptions(command);
}

void AddClusterCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand("cluster", "cluster a dataset's points", RunCluster);
    AddPath(command, "DATASET.obd", "the dataset");
    AddChoice(command, "--method", {"kmeans", "colors", "hierarchical", "hierarchical-count"},
              "k-means, the classes of the points' colours, or hierarchical clustering cut at a distance or a count")
        ->required();
    AddValue(command, "--k", "K", "the number of clusters of kmeans and hierarchical-count")->default_str("3");
    AddValue(command, "--fraction", "F", "hierarchical: the cut as a fraction of the largest distance")
        ->default_str("0.3");
    AddChoice(command, "--distance", {"euclidean", "l1"}, "the distance of kmeans and the hierarchical methods")
        ->default_str("euclidean");
    AddValue(command, "--seed", "S", "the seed of the random start")->default_str("1");
}

} // namespace orbelin::cli

// pca and cluster: principal components and clusterings of a dataset file's points.
#include "cli/Commands.h"
#include "cli/TJsonWriter.h"
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
#include <set>
#include <unordered_map>

namespace orbelin::cli {
namespace {

constexpr const char* PcaUsage = "pca DATASET.obd [--components K] [--weights]";
constexpr const char* ClusterUsage = "cluster DATASET.obd --method kmeans|colors|hierarchical|hierarchical-count "
                                     "[--k K] [--fraction F] [--distance euclidean|l1] [--seed S]";

// The one positional argument and the options of a command line.
struct TCommandLine {
    std::string Path;
    std::map<std::string, std::string> Values;
    std::set<std::string> Flags;

    std::optional<std::string> Value(const std::string& name) const
    {
        const auto it = Values.find(name);
        return it == Values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

TCommandLine ParseCommandLine(const TArgs& args, const std::string& command, const std::string& usage,
                              const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    TCommandLine line;
    bool havePath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) == 0) {
            if (flags.count(arg) != 0) {
                line.Flags.insert(arg);
            } else if (valued.count(arg) != 0) {
                if (i + 1 >= args.size())
                    throw TUsageError(command + ": " + arg + " needs a value (usage: orbelin-cli " + usage + ")");
                line.Values[arg] = args[++i];
            } else {
                throw TUsageError(command + ": unknown option \"" + arg + "\" (usage: orbelin-cli " + usage + ")");
            }
        } else if (!havePath) {
            line.Path = arg;
            havePath = true;
        } else {
            throw TUsageError(command + " takes one DATASET.obd, found also \"" + arg + "\" (usage: orbelin-cli " +
                              usage + ")");
        }
    }
    if (!havePath)
        throw TUsageError(command + " needs a DATASET.obd (usage: orbelin-cli " + usage + ")");
    return line;
}

long long WholeNumber(const std::string& command, const std::string& option, const std::string& text, long long lo,
                      long long hi)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lo || value > hi)
        throw TUsageError(command + ": " + option + " expects a whole number from " + std::to_string(lo) + " to " +
                          std::to_string(hi) + ", found \"" + text + "\"");
    return value;
}

double Fraction(const std::string& command, const std::string& option, const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= 0.0 && value <= 1.0))
        throw TUsageError(command + ": " + option + " expects a number from 0 to 1, found \"" + text + "\"");
    return value;
}

// The fill colour (class colour) of every point's record.
TArray1I PointColours(const data::TData& data)
{
    TArray1I keys;
    keys.reserve(data.NUMXI.size());
    for (std::int32_t record : data.NUMXI)
        keys.push_back(data.Table->PointStyles[static_cast<std::size_t>(record)][FILLCOLOR]);
    return keys;
}

// The weights tool's default assignment: with n_k points in class k and M the largest
// n_k, each point of class k weighs M / n_k.
TArray1D ClassProportionalWeights(const data::TData& data)
{
    const TArray1I keys = PointColours(data);
    std::unordered_map<std::int32_t, int> sizes;
    int largest = 0;
    for (std::int32_t key : keys)
        largest = std::max(largest, ++sizes[key]);
    TArray1D weights;
    weights.reserve(keys.size());
    for (std::int32_t key : keys)
        weights.push_back(static_cast<double>(largest) / sizes[key]);
    return weights;
}

void LoadPoints(const std::string& path, data::TData& data, data::TDataTable& table)
{
    data::LoadDatasetWithTable(path, data, table);
    for (std::size_t p = 0; p < data.NUMXI.size(); ++p)
        if (data.NUMXI[p] < 0 || static_cast<std::size_t>(data.NUMXI[p]) >= table.PointStyles.size())
            throw TError(path + ": point " + std::to_string(p) + " refers to record " + std::to_string(data.NUMXI[p]) +
                         ", but the table has " + std::to_string(table.PointStyles.size()) + " records");
}

void WriteRows(TJsonWriter& json, const TArray2D& rows)
{
    json.BeginArray();
    for (const TArray1D& row : rows) {
        json.BeginArray();
        for (double v : row)
            json.Number(v);
        json.EndArray();
    }
    json.EndArray();
}

void WriteRows(TJsonWriter& json, const TArray2I& rows)
{
    json.BeginArray();
    for (const TArray1I& row : rows) {
        json.BeginArray();
        for (std::int32_t v : row)
            json.Int(v);
        json.EndArray();
    }
    json.EndArray();
}

// Messages of the core (k-means' pass limit) go to stderr; the result still follows.
class TCliUserInterface : public TUserInterface {
public:
    TCliUserInterface() { SetUserInterface(this); }
    ~TCliUserInterface() override { SetUserInterface(nullptr); }
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "orbelin-cli: %s\n", text.c_str()); }
};

} // namespace

void RunPca(const TArgs& args)
{
    const TCommandLine line = ParseCommandLine(args, "pca", PcaUsage, {"--components"}, {"--weights"});
    data::TData data;
    data::TDataTable table;
    LoadPoints(line.Path, data, table);
    const int d = data.Points.empty() ? 0 : static_cast<int>(data.Points[0].size());
    int k = d;
    if (const auto text = line.Value("--components"))
        k = static_cast<int>(WholeNumber("pca", "--components", *text, 0, 1000000));
    const TArray1D weights = line.Flags.count("--weights") != 0 ? ClassProportionalWeights(data) : TArray1D{};

    TCliUserInterface ui;
    // The components start from random directions: a fixed seed gives the same output on
    // every run.
    numeric::SeedRandom(1);
    const numeric::TPrincipalComponents pc = numeric::PrincipalComponents(data.Points, weights, k);

    TJsonWriter json;
    json.BeginObject().Key("count").Int(pc.Count).Key("centre").BeginArray();
    for (double v : pc.Centre)
        json.Number(v);
    json.EndArray().Key("components");
    WriteRows(json, pc.Components);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

void RunCluster(const TArgs& args)
{
    const TCommandLine line =
        ParseCommandLine(args, "cluster", ClusterUsage, {"--method", "--k", "--fraction", "--distance", "--seed"}, {});
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

    int k = 3;
    if (const auto text = line.Value("--k"))
        k = static_cast<int>(WholeNumber("cluster", "--k", *text, 1, 100000));
    double fraction = 0.3;
    if (const auto text = line.Value("--fraction"))
        fraction = Fraction("cluster", "--fraction", *text);
    int kind = 0;
    if (const auto text = line.Value("--distance")) {
        if (*text == "l1")
            kind = 1;
        else if (*text != "euclidean")
            throw TUsageError("cluster: --distance expects euclidean or l1, found \"" + *text + "\"");
    }
    std::uint64_t seed = 1;
    if (const auto text = line.Value("--seed"))
        seed = static_cast<std::uint64_t>(WholeNumber("cluster", "--seed", *text, 0, INT64_MAX));

    data::TData data;
    data::TDataTable table;
    LoadPoints(line.Path, data, table);

    TCliUserInterface ui;
    numeric::SeedRandom(seed);
    TJsonWriter json;
    json.BeginObject();
    if (*method == "kmeans" || *method == "colors") {
        const numeric::TClustering result = *method == "kmeans"
                                                ? numeric::KMeans(data.Points, k, kind, data.PointWeights)
                                                : numeric::ClusterByKey(data.Points, PointColours(data));
        json.Key("clusters");
        WriteRows(json, result.Clusters);
        json.Key("centroids");
        WriteRows(json, result.Centroids);
    } else {
        const numeric::THierarchy result = *method == "hierarchical"
                                               ? numeric::HierarchicalByThreshold(data.Points, kind, fraction)
                                               : numeric::HierarchicalByCount(data.Points, kind, k);
        json.Key("clusters");
        WriteRows(json, result.Clusters);
        json.Key("centroids");
        WriteRows(json, result.Centroids);
        json.Key("links");
        WriteRows(json, result.Links);
        if (*method == "hierarchical")
            json.Key("threshold").Number(fraction);
        else
            json.Key("ratio").Number(result.Ratio);
    }
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace orbelin::cli

// machine: the linear separation machine on a dataset, its rules added and found in the
// order the command line gives, and optionally tested on another table.
#include "analysis/TLRuleMachine.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"

#include <algorithm>
#include <optional>

namespace orbelin::cli {
namespace {

// The class gets one fill colour, every other record another: the machine separates the
// records of a colour.
constexpr int ClassColour = 0x0000FF;
constexpr int OtherColour = 0x800000;

std::string Joined(const TArray1S& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

/// Colours the records whose trimmed text in the field equals value with ClassColour and
/// the others with OtherColour; returns the field.
int ColourClass(data::TDataTable& table, const std::string& fieldName, const std::string& value)
{
    const int field = data::FieldIndex(table, fieldName);
    if (field < 0)
        throw TError("machine: --class-field: the table " + table.Name + " has no field \"" + fieldName +
                     "\" (its fields: " + Joined(table.FieldNames) + ")");
    for (std::size_t r = 0; r < table.Values.size() && r < table.PointStyles.size(); ++r) {
        const bool in = data::TrimBlanks(table.Values[r][static_cast<std::size_t>(field)]) == data::TrimBlanks(value);
        table.PointStyles[r][FILLCOLOR] = in ? ClassColour : OtherColour;
    }
    return field;
}

/// Raises TError when the class holds none of the dataset's points, or all of them.
void CheckClass(const data::TData& data, const data::TDataTable& table, int field, const std::string& value)
{
    int members = 0;
    TArray1S values;
    for (int record : data.NUMXI) {
        if (record < 0 || static_cast<std::size_t>(record) >= table.PointStyles.size())
            continue;
        members += table.PointStyles[static_cast<std::size_t>(record)][FILLCOLOR] == ClassColour ? 1 : 0;
        const std::string text = data::TrimBlanks(table.Values[static_cast<std::size_t>(record)][static_cast<std::size_t>(field)]);
        if (std::find(values.begin(), values.end(), text) == values.end())
            values.push_back(text);
    }
    const std::string name = table.FieldNames[static_cast<std::size_t>(field)];
    if (members == 0)
        throw TError("machine: --class: no point of the dataset has " + name + " = " + value + " (its values: " +
                     Joined(values) + ")");
    if (members == static_cast<int>(data.NUMXI.size()))
        throw TError("machine: --class: every point of the dataset has " + name + " = " + value +
                     ": there is nothing to separate the class from");
}

/// The dataset coordinates a comma-separated list names.
TArray1I CoordinateList(const data::TData& data, const std::string& option, const std::string& list)
{
    TArray1I fields;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = data::TrimBlanks(list.substr(start, comma - start));
        const auto it = std::find(data.CoordNames.begin(), data.CoordNames.end(), name);
        if (it == data.CoordNames.end())
            throw TError("machine: " + option + ": the dataset has no field \"" + name +
                         "\" (its fields: " + Joined(data.CoordNames) + ")");
        fields.push_back(static_cast<int>(it - data.CoordNames.begin()));
        start = comma + 1;
    }
    return fields;
}

/// A share as JSON: null when nothing was counted for it.
TJson Share(int part, int whole)
{
    return whole > 0 ? TJson(static_cast<double>(part) / whole) : TJson(nullptr);
}

TJson CountsJson(const analysis::TLRule& r)
{
    TJson json = TJson::object();
    json["tp"] = r.TP;
    json["tn"] = r.TN;
    json["fp"] = r.FP;
    json["fn"] = r.FN;
    json["sn"] = Share(r.TP, r.TP + r.FN);
    json["sp"] = Share(r.TP, r.TP + r.FP);
    return json;
}

} // namespace

void RunMachine(const TOptions& line)
{
    if (line.Steps.empty())
        line.Fail("machine: needs at least one --rule or --find-best");
    analysis::TMachineSettings settings;
    settings.Discrete = line.Flag("--discrete");
    settings.Iterations = static_cast<int>(WholeOption(line, "--iterations", 100, 0, 1000000));
    settings.TargetColor = ClassColour;
    const std::string classField = *line.Value("--class-field");
    const std::string classValue = *line.Value("--class");
    const std::optional<std::string> testTable = line.Value("--test-table");
    std::optional<data::TTableKind> testKind;
    if (testTable && !(testKind = data::TableKindOfPath(*testTable)))
        line.Fail("machine: --test-table expects a table file (.obt, .csv, .tsv, .dat, .dbf or .db), found \"" +
                  *testTable + "\"");

    data::TData data;
    data::TDataTable table;
    data::LoadDatasetWithTable(line.Path, data, table);
    CheckClass(data, table, ColourClass(table, classField, classValue), classValue);

    analysis::TLRuleMachine machine;
    for (const auto& [option, value] : line.Steps) {
        std::string refusal;
        if (option == "--rule")
            refusal = machine.AddRule(data, settings, CoordinateList(data, option, value));
        else if (value.empty() && machine.FreeFields(data.CoordCount).empty())
            refusal = "every field of the dataset is used by a rule already: name the fields to try";
        else if (value.empty())
            refusal = machine.FindTheBest(data, settings, machine.FreeFields(data.CoordCount), true);
        else
            refusal = machine.FindTheBest(data, settings, CoordinateList(data, option, value), true);
        if (!refusal.empty())
            throw TError("machine: " + option + (value.empty() ? "" : " " + value) + ": " + refusal + " (the class is " +
                         classField + " = " + classValue + ")");
    }

    // The rules' counts are those of their fit: the test on another table goes apart.
    TJson json;
    json["kind"] = "machine";
    TJson& rules = json["rules"] = TJson::array();
    for (std::size_t i = 0; i < machine.Rules.size(); ++i) {
        const analysis::TLRule& r = machine.Rules[i];
        TJson rule;
        rule["text"] = machine.RuleText(static_cast<int>(i), data.CoordNames);
        TJson& fields = rule["fields"] = TJson::array();
        for (int f : r.Fields)
            fields.push_back(data.CoordNames[static_cast<std::size_t>(f)]);
        rule["coefficients"] = r.Coefficients;
        rule.update(CountsJson(r));
        rule["margin"] = r.Margin;
        rules.push_back(std::move(rule));
    }
    TJson test;
    if (testTable) {
        data::TDataTable other;
        data::LoadTable(other, *testTable, *testKind);
        ColourClass(other, classField, classValue);
        analysis::TMachineSample sample;
        const std::string refusal = machine.TestOnTable(data, settings, other, sample);
        if (!refusal.empty())
            throw TError("machine: --test-table: " + refusal);
        test["table"] = other.Name;
        test["records"] = sample.Records.size();
        TJson& counts = test["rules"] = TJson::array();
        for (const analysis::TLRule& r : machine.Rules)
            counts.push_back(CountsJson(r));
    }
    json["protocol"] = machine.Protocol;
    if (testTable)
        json["test"] = std::move(test);
    PrintJson(json);
}

void AddMachineCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "machine", "separate the records of one class from the others by a cascade of linear rules", RunMachine);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--class-field", "NAME", "the table field that names the classes")->required();
    AddValue(command, "--class", "VALUE", "the class: the records with this text in the field")->required();
    AddFlag(command, "--discrete", "each rule answers +1 or -1, and passes only that to the next rule");
    AddValue(command, "--iterations", "N", "the perceptron's rounds per rule")->default_str("100");
    AddStep(command, "--rule", "A,B,...", "add a rule on these dataset fields");
    AddStep(command, "--find-best", "A,B,...",
            "add the rule on the best single field of these (of the fields no rule uses, without a list)", true);
    AddValue(command, "--test-table", "TABLE", "test every rule on this table, laid out as the dataset's table");
    command.footer("The rules are added in the order --rule and --find-best are given; each rule after the first "
                   "also takes the output of the rule before it.");
}

} // namespace orbelin::cli

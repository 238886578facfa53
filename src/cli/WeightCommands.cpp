// weights, and the weighting rules that train and pca take with --weights RULE.
#include "analysis/PointWeights.h"
#include "cli/AnalysisInput.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/WeightOptions.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"

namespace orbelin::cli {

const char* const WeightRules = "class|one-class|radial|field:NAME";

namespace {

const std::string FieldPrefix = "field:";

bool IsRuleWord(const std::string& rule)
{
    return rule == "class" || rule == "one-class" || rule == "radial" ||
           (rule.size() > FieldPrefix.size() && rule.compare(0, FieldPrefix.size(), FieldPrefix) == 0);
}

CLI::Validator RuleCheck()
{
    return CLI::Validator(
        [](std::string& rule) {
            return IsRuleWord(rule) ? std::string()
                                    : "expects class, one-class, radial or field:NAME, found \"" + rule + "\"";
        },
        "");
}

std::string FieldList(const data::TDataTable& table)
{
    std::string list;
    for (const std::string& f : table.FieldNames)
        list += (list.empty() ? "" : ", ") + f;
    return list;
}

// "#rrggbb" as a packed colour (red in the low byte).
std::optional<int> ParseHexColor(const std::string& text)
{
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    int rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        rgb = rgb * 16 + digit;
    }
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

void CheckApplies(const TOptions& line, const std::string& rule)
{
    const bool classes = rule == "class" || rule == "one-class";
    const std::pair<const char*, bool> settings[] = {{"--class-field", classes},
                                                     {"--class", rule == "one-class"},
                                                     {"--function", rule == "radial"},
                                                     {"--a", rule == "radial"},
                                                     {"--no-average", rule == "radial"}};
    for (const auto& [option, applies] : settings)
        if (!applies && (line.Value(option) || line.Flag(option)))
            line.Fail(line.Command + ": " + option + " does not apply to the rule " + rule);
    if (rule == "one-class" && !line.Value("--class"))
        line.Fail(line.Command + ": the rule one-class needs --class VALUE");
}

void RunWeights(const TOptions& line)
{
    const std::string rule = *line.Value("--rule");
    if (!IsRuleWord(rule))
        line.Fail("weights: --rule expects class, one-class, radial or field:NAME, found \"" + rule + "\"");
    CheckApplies(line, rule);
    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(line.Path, dataset, table);
    AssignWeightRule(line, rule, dataset, table, nullptr);
    TJson json;
    json["weights"] = dataset.PointWeights;
    PrintJson(json);
}

} // namespace

void AddWeightsOption(CLI::App& command)
{
    AddOptionalValue(command, "--weights", "RULE",
                     std::string("weigh the points by a rule: ") + WeightRules +
                         " (alone: class, each point inversely to the size of its class)",
                     RuleCheck());
}

void AddWeightRuleOptions(CLI::App& command)
{
    AddValue(command, "--class-field", "NAME",
             "the table field whose values are the classes (without it: the records' colours)");
    AddValue(command, "--class", "VALUE", "one-class: the class, a value of --class-field or a colour #rrggbb");
    AddChoice(command, "--function", {"power", "exp", "exp-square"},
              "radial: R^A, exp(R A) or exp(R^2 A) of the distance R from the centre")
        ->default_str("power");
    AddValue(command, "--a", "A", "radial: the number A")->default_str("2");
    AddFlag(command, "--no-average", "radial: measure R from the origin instead of the mean of the points");
}

std::optional<std::string> WeightsRule(const TOptions& line)
{
    if (line.Value("--weights") || line.Flag("--weights")) {
        const std::string rule = line.Value("--weights").value_or("class");
        CheckApplies(line, rule);
        return rule;
    }
    for (const char* option : {"--class-field", "--class", "--function", "--a", "--no-average"})
        if (line.Value(option) || line.Flag(option))
            line.Fail(line.Command + ": " + option + " goes with --weights");
    return std::nullopt;
}

void AssignWeightRule(const TOptions& line, const std::string& rule, data::TData& dataset, data::TDataTable& table,
                      map::TMap* map)
{
    CheckApplies(line, rule);
    analysis::TWeightSettings settings;
    if (rule.compare(0, FieldPrefix.size(), FieldPrefix) == 0) {
        settings.Source = analysis::TWeightSource::TableField;
        settings.FieldName = rule.substr(FieldPrefix.size());
        const int field = data::IndexOfText(table.FieldNames, settings.FieldName);
        if (field < 0)
            throw TError(line.Command + ": the table " + table.Name + " has no field \"" + settings.FieldName +
                         "\" (its fields: " + FieldList(table) + ")");
        if (static_cast<std::size_t>(field) >= table.FieldTypes.size() ||
            !data::IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(field)]))
            throw TError(line.Command + ": the field " + settings.FieldName + " of " + table.Name + " is not numeric");
    } else if (rule == "radial") {
        settings.Rule = analysis::TWeightRule::RadialCenter;
        const std::string function = ChoiceOption(line, "--function", "power");
        settings.Function = function == "exp"          ? analysis::TRadialFunction::Exp
                            : function == "exp-square" ? analysis::TRadialFunction::ExpSquare
                                                       : analysis::TRadialFunction::Power;
        settings.A = NumberOption(line, "--a", 2, -1e300, 1e300);
        settings.CalcAverage = !line.Flag("--no-average");
    } else {
        settings.Rule =
            rule == "class" ? analysis::TWeightRule::ClassProportional : analysis::TWeightRule::OnlyOneClass;
        const auto classField = line.Value("--class-field");
        std::optional<TFieldClasses> classes;
        if (classField)
            classes =
                ColourRecordsByField(table, TableFieldOption(table, line.Command + ": --class-field", *classField));
        if (const auto chosen = line.Value("--class")) {
            if (classes) {
                settings.ClassColor = ClassColorOption(*classes, line.Command + ": --class", *chosen);
            } else {
                settings.ClassColor = ParseHexColor(*chosen);
                if (!settings.ClassColor)
                    line.Fail(line.Command + ": --class expects a colour #rrggbb without --class-field, found \"" +
                              *chosen + "\"");
            }
        }
    }
    analysis::AssignWeights(dataset, map, settings);
}

void AddWeightsCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("weights", "weigh a dataset's points as the weights tool assigns them", RunWeights);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--rule", WeightRules,
             "by class size, one class only, the distance from the centre, or a numeric table field")
        ->required();
    AddWeightRuleOptions(command);
}

} // namespace orbelin::cli

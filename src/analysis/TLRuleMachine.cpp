// The cascade of linear decision rules, its commands, protocol and chart.
#include "analysis/TLRuleMachine.h"

#include "analysis/Discriminant.h"
#include "analysis/LinearRule.h"
#include "data/DatasetBuild.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace orbelin::analysis {

namespace {

bool IsNumber(double x)
{
    return !IsMissing(x) && !std::isnan(x);
}

// The error "Find the best" ranks a trial rule by. A rule that answers nothing at all
// (every score exactly 0, as for a constant field) counts as wrong on both sides.
double RuleError(const TLRule& r)
{
    const int positive = r.TP + r.FP, negative = r.TN + r.FN;
    if (positive != 0 && negative != 0)
        return static_cast<double>(r.FP) / positive + static_cast<double>(r.FN) / negative;
    if (positive != 0)
        return static_cast<double>(r.FP) / positive;
    if (negative != 0)
        return static_cast<double>(r.FN) / negative;
    return 2;
}

std::string FieldName(const TArray1S& names, int field)
{
    return field >= 0 && static_cast<std::size_t>(field) < names.size() ? names[static_cast<std::size_t>(field)]
                                                                        : std::to_string(field);
}

double Coordinate(numeric::TVecView x, int field)
{
    return field >= 0 && static_cast<std::size_t>(field) < x.size() ? x[static_cast<std::size_t>(field)] : Missing();
}

} // namespace

void TLRule::SetCounts(int tp, int tn, int fp, int fn)
{
    TP = tp;
    TN = tn;
    FP = fp;
    FN = fn;
    Sn = TP + FN > 0 ? static_cast<double>(TP) / (TP + FN) : 0.0;
    Sp = TP + FP > 0 ? static_cast<double>(TP) / (TP + FP) : 0.0;
}

void TLRuleMachine::TakeSettings(const data::TData& data, const TMachineSettings& settings)
{
    Settings = settings;
    Labels = ClassLabels(data, settings.TargetColor);
}

double TLRuleMachine::RuleOutput(int rule, numeric::TVecView x) const
{
    if (rule < 0 || static_cast<std::size_t>(rule) >= Rules.size())
        return 0;
    const TLRule& r = Rules[static_cast<std::size_t>(rule)];
    const TArray1D& w = r.Coefficients;
    double score = w.empty() ? 0.0 : w[0];
    for (std::size_t i = 0; i < r.Fields.size() && i + 1 < w.size(); ++i) {
        const double value = Coordinate(x, r.Fields[i]);
        if (!IsMissing(value) && !IsMissing(w[i + 1]))
            score += w[i + 1] * value;
    }
    // The previous rule always stands before this one, so the recursion ends.
    if (r.Previous >= 0 && r.Previous < rule && w.size() == r.Fields.size() + 2)
        score += w.back() * RuleOutput(r.Previous, x);
    if (r.Discrete)
        return score > 0 ? 1.0 : -1.0;
    return score;
}

TArray2D TLRuleMachine::RuleInputs(const TArray2D& points, const TArray1I& fields) const
{
    const int previous = static_cast<int>(Rules.size()) - 1;
    TArray2D x(points.size());
    for (std::size_t p = 0; p < points.size(); ++p) {
        TArray1D& row = x[p];
        row.reserve(fields.size() + 1);
        for (int f : fields)
            row.push_back(Coordinate(points[p], f));
        if (previous >= 0)
            row.push_back(RuleOutput(previous, points[p]));
    }
    return x;
}

int TLRuleMachine::AppendRule(const data::TData& data, const TArray1I& fields)
{
    TLRule rule;
    rule.Fields = fields;
    rule.Previous = static_cast<int>(Rules.size()) - 1;
    const TLinearRuleFit fit = FitLinearRule(RuleInputs(data.Points, fields), Labels, Settings.Iterations);
    rule.Coefficients = fit.Coefficients;
    rule.SetCounts(fit.TP, fit.TN, fit.FP, fit.FN);
    rule.Margin = fit.Margin;
    rule.Discrete = Settings.Discrete;
    Rules.push_back(std::move(rule));
    return static_cast<int>(Rules.size()) - 1;
}

std::string TLRuleMachine::Refusal(const data::TData& data) const
{
    if (data.Points.empty())
        return "The dataset has no points: there is nothing to separate.";
    int positives = 0;
    for (int l : Labels)
        positives += l != 0 ? 1 : 0;
    if (positives == 0)
        return "No point of the dataset has the colour of the class: choose another \"Color of the class\".";
    if (positives == static_cast<int>(Labels.size()))
        return "Every point of the dataset has the colour of the class: there is nothing to separate it from.";
    return {};
}

std::string TLRuleMachine::AddRule(const data::TData& data, const TMachineSettings& settings, const TArray1I& fields)
{
    TakeSettings(data, settings);
    if (fields.empty())
        return "Select the fields of the rule in the \"Fields\" list.";
    for (int f : fields)
        if (f < 0 || f >= data.CoordCount)
            return "Field " + std::to_string(f + 1) + " is not a coordinate of the dataset.";
    if (std::string refusal = Refusal(data); !refusal.empty())
        return refusal;
    AppendRule(data, fields);
    return {};
}

std::string TLRuleMachine::FindTheBest(const data::TData& data, const TMachineSettings& settings,
                                       const TArray1I& fields, bool makeProtocol)
{
    if (fields.empty())
        return {};
    TakeSettings(data, settings);
    for (int f : fields)
        if (f < 0 || f >= data.CoordCount)
            return "Field " + std::to_string(f + 1) + " is not a coordinate of the dataset.";
    if (std::string refusal = Refusal(data); !refusal.empty())
        return refusal;
    if (makeProtocol)
        Protocol.push_back("Starting find the best...");
    double best = 1e10, bestMargin = 0;
    int bestField = fields.front();
    for (int f : fields) {
        const TLRule& trial = Rules[static_cast<std::size_t>(AppendRule(data, {f}))];
        const double er = RuleError(trial);
        if (er < best) {
            best = er;
            bestMargin = trial.Margin;
            bestField = f;
            if (makeProtocol)
                Protocol.push_back("Er=" + data::FixedText(er, 2, 2) + " " + FieldName(data.CoordNames, f));
        } else if (std::fabs(er - best) < 1e-8 && trial.Margin > bestMargin) {
            if (makeProtocol)
                Protocol.push_back("Er=" + data::FixedText(best, 2, 2) + " " + FieldName(data.CoordNames, f) + "(" +
                                   data::FixedText(trial.Margin, 2, 2) + ")" + " better than " +
                                   FieldName(data.CoordNames, bestField) + "(" + data::FixedText(bestMargin, 2, 2) +
                                   ")");
            bestField = f;
            bestMargin = trial.Margin;
        }
        Rules.pop_back();
    }
    AppendRule(data, {bestField});
    return {};
}

void TLRuleMachine::CancelAll()
{
    Rules.clear();
    Protocol.clear();
}

void TLRuleMachine::CancelLast()
{
    if (!Rules.empty())
        Rules.pop_back();
}

void TLRuleMachine::Evaluate(const TMachineSample& sample, const TArray1S& coordNames)
{
    for (std::size_t i = 0; i < Rules.size(); ++i) {
        int tp = 0, tn = 0, fp = 0, fn = 0;
        for (std::size_t p = 0; p < sample.Points.size() && p < sample.Labels.size(); ++p) {
            const bool positive = RuleOutput(static_cast<int>(i), sample.Points[p]) > 0;
            const bool inClass = sample.Labels[p] != 0;
            if (positive)
                (inClass ? tp : fp) += 1;
            else
                (inClass ? fn : tn) += 1;
        }
        TLRule& r = Rules[i];
        r.SetCounts(tp, tn, fp, fn);
        Protocol.push_back(RuleText(static_cast<int>(i), coordNames));
        Protocol.push_back("TP=" + std::to_string(tp) + " TN=" + std::to_string(tn) + " (" +
                           PercentText(tp, tp + fn, 4, 2) + "%)");
        Protocol.push_back("FP=" + std::to_string(fp) + " FN=" + std::to_string(fn) + " (" +
                           PercentText(tn, tn + fp, 4, 2) + "%)");
        Protocol.push_back("Overall=" + PercentText(tp + tn, tp + tn + fp + fn, 4, 2) + "%");
    }
}

void TLRuleMachine::Test(const data::TData& data, const TMachineSettings& settings)
{
    TakeSettings(data, settings);
    Protocol.push_back("");
    Protocol.push_back("Testing...");
    Evaluate(DatasetSample(data, settings.TargetColor), data.CoordNames);
}

std::string TLRuleMachine::TestOnTable(const data::TData& data, const TMachineSettings& settings,
                                       const data::TDataTable& table, TMachineSample& sample)
{
    TakeSettings(data, settings);
    if (std::string mismatch = TableLayoutMismatch(data, table); !mismatch.empty())
        return mismatch;
    sample = TableSample(data, table, settings.TargetColor);
    Protocol.push_back("");
    Protocol.push_back("Testing on table " + table.Name + "...");
    Evaluate(sample, data.CoordNames);
    return {};
}

std::string TLRuleMachine::RuleText(int rule, const TArray1S& coordNames) const
{
    if (rule < 0 || static_cast<std::size_t>(rule) >= Rules.size())
        return {};
    const TLRule& r = Rules[static_cast<std::size_t>(rule)];
    const TArray1D& w = r.Coefficients;
    if (w.empty())
        return {};
    std::string text = data::ShortestText(w[0]) + "+";
    for (std::size_t j = 1; j < w.size(); ++j) {
        if ((!IsNumber(w[j]) || w[j] < 0) && !text.empty() && text.back() == '+')
            text.pop_back();
        const std::string name = j <= r.Fields.size() ? FieldName(coordNames, r.Fields[j - 1]) : std::string("*");
        text += data::ShortestText(w[j]) + name + "+";
    }
    if (text.back() == '+')
        text.pop_back();
    return text;
}

TArray1S TLRuleMachine::RuleTexts(const TArray1S& coordNames) const
{
    TArray1S texts;
    for (std::size_t i = 0; i < Rules.size(); ++i)
        texts.push_back(RuleText(static_cast<int>(i), coordNames));
    return texts;
}

TArray1I TLRuleMachine::FreeFields(int coordCount) const
{
    TArray1I free;
    for (int f = 0; f < coordCount; ++f) {
        const bool used = std::any_of(Rules.begin(), Rules.end(), [f](const TLRule& r) {
            return std::find(r.Fields.begin(), r.Fields.end(), f) != r.Fields.end();
        });
        if (!used)
            free.push_back(f);
    }
    return free;
}

TRuleChart TLRuleMachine::Chart(int rule, const TMachineSample& sample, const data::TDataTable* table,
                                int labelField) const
{
    TRuleChart chart;
    if (rule < 0 || static_cast<std::size_t>(rule) >= Rules.size())
        return chart;
    const TLRule& r = Rules[static_cast<std::size_t>(rule)];
    const int all = r.TP + r.TN + r.FP + r.FN;
    chart.Title = "TP=" + std::to_string(r.TP) + " TN=" + std::to_string(r.TN) + " " +
                  PercentText(r.TP, r.TP + r.FN, 4, 2) + "% FP=" + std::to_string(r.FP) +
                  " FN=" + std::to_string(r.FN) + " " + PercentText(r.TN, r.TN + r.FP, 4, 2) +
                  "% Ov=" + PercentText(r.TP + r.TN, all, 4, 2) + "%" + " Sn=" +
                  PercentText(r.TP, r.TP + r.FN, 4, 2) + "% Sp=" + PercentText(r.TP, r.TP + r.FP, 4, 2) + "%";
    if (r.Fields.empty())
        return chart;

    double minX = 1e10, maxX = -1e10, minY = 1e10, maxY = -1e10;
    for (std::size_t p = 0; p < sample.Points.size(); ++p) {
        const TArray1D& x = sample.Points[p];
        TChartPoint point;
        point.X = Coordinate(x, r.Fields.front());
        if (r.Previous >= 0)
            point.Y = RuleOutput(r.Previous, x);
        else if (r.Fields.size() > 1)
            point.Y = Coordinate(x, r.Fields.back());
        // A point without a place on the chart's axes is left out.
        if (!IsNumber(point.X) || !IsNumber(point.Y))
            continue;
        point.InClass = p < sample.Labels.size() && sample.Labels[p] != 0;
        if (table && p < sample.Records.size() && labelField >= 0 && labelField < table->FieldCount) {
            const auto record = static_cast<std::size_t>(sample.Records[p]);
            if (record < table->Values.size())
                point.Mark = data::TrimBlanks(table->Values[record][static_cast<std::size_t>(labelField)]);
        }
        minX = std::min(minX, point.X);
        maxX = std::max(maxX, point.X);
        minY = std::min(minY, point.Y);
        maxY = std::max(maxY, point.Y);
        chart.Points.push_back(std::move(point));
    }

    // The separating line w[0] + w[1] x + w[last] y = 0, in 100 points.
    const TArray1D& w = r.Coefficients;
    if (w.size() < 2 || !std::all_of(w.begin(), w.end(), IsNumber))
        return chart;
    const double w0 = w[0], w1 = w[1], wl = w.back();
    constexpr int Steps = 100;
    if (r.Fields.size() == 1 && r.Previous < 0) {
        if (w1 != 0)
            for (int i = 0; i < Steps; ++i)
                chart.Line.push_back({-w0 / w1, -1 + 0.02 * i});
    } else if (!chart.Points.empty()) {
        if (wl != 0) {
            for (int i = 0; i < Steps; ++i) {
                const double x = minX + (maxX - minX) * i / Steps;
                chart.Line.push_back({x, (-w1 * x - w0) / wl});
            }
        } else if (w1 != 0) {
            for (int i = 0; i < Steps; ++i) {
                const double y = minY + (maxY - minY) * i / Steps;
                chart.Line.push_back({(-wl * y - w0) / w1, y});
            }
        }
    }
    return chart;
}

TMachineSample DatasetSample(const data::TData& data, int targetColor)
{
    TMachineSample sample;
    sample.Points = data.Points;
    sample.Labels = ClassLabels(data, targetColor);
    sample.Records = data.NUMXI;
    return sample;
}

TMachineSample TableSample(const data::TData& data, const data::TDataTable& table, int targetColor)
{
    TMachineSample sample;
    TArray1I used;
    for (std::size_t f = 0; f < data.UsedFields.size() && f < static_cast<std::size_t>(table.FieldCount); ++f)
        if (data.UsedFields[f])
            used.push_back(static_cast<int>(f));
    for (std::size_t r = 0; r < table.Values.size() && r < table.PointStyles.size(); ++r) {
        if (table.PointStyles[r][SELECTED] <= 0)
            continue;
        TArray1D point;
        bool parsed = true;
        for (std::size_t k = 0; k < used.size() && parsed; ++k) {
            const std::string cell = data::TrimBlanks(table.Values[r][static_cast<std::size_t>(used[k])]);
            double value = Missing();
            if (!cell.empty()) {
                parsed = data::ParseDecimal(cell, value);
                if (parsed) {
                    value = data::NormaliseValue(data, static_cast<int>(k), value);
                    // The scale commands multiplied the dataset's points; its rules were fitted on those.
                    if (!IsMissing(value))
                        value *= data.Scale;
                }
            }
            point.push_back(value);
        }
        if (!parsed)
            continue;
        sample.Points.push_back(std::move(point));
        sample.Labels.push_back(table.PointStyles[r][FILLCOLOR] == targetColor ? 1 : 0);
        sample.Records.push_back(static_cast<int>(r));
    }
    return sample;
}

std::string TableLayoutMismatch(const data::TData& data, const data::TDataTable& table)
{
    const data::TDataTable* own = data.Table;
    if (!own)
        return "The dataset has no table to compare the table \"" + table.Name + "\" with.";
    const std::string rule = ": rules can only be tested on a table with the same fields in the same order.";
    if (table.FieldCount != own->FieldCount)
        return "The table \"" + table.Name + "\" has " + std::to_string(table.FieldCount) +
               " fields where the dataset's table \"" + own->Name + "\" has " + std::to_string(own->FieldCount) + rule;
    for (int f = 0; f < table.FieldCount; ++f) {
        const std::string& mine = own->FieldNames[static_cast<std::size_t>(f)];
        const std::string& theirs = table.FieldNames[static_cast<std::size_t>(f)];
        const bool same = mine.size() == theirs.size() &&
                          std::equal(mine.begin(), mine.end(), theirs.begin(), [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
        if (!same)
            return "Field " + std::to_string(f + 1) + " of the table \"" + table.Name + "\" is \"" + theirs +
                   "\" where the dataset's table \"" + own->Name + "\" has \"" + mine + "\"" + rule;
    }
    return {};
}

} // namespace orbelin::analysis

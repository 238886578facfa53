// The linear separation machine: a cascade of linear decision rules that separates the
// points of one class colour from all other points of a dataset.
#pragma once

#include "numeric/TArray.h"
#include "numeric/VectorRoutines.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data

namespace orbelin::analysis {

/// One rule of the cascade: a linear function of a few dataset coordinates and, for every
/// rule after the first, of the previous rule's output.
struct TLRule {
    TArray1I Fields;       ///< dataset coordinate indices, in the order given
    TArray1D Coefficients; ///< the constant, one per field, then one for the previous rule's output if any
    bool Discrete = false; ///< the output is +1 or -1 instead of the score
    int Previous = -1;     ///< index of the previous rule in the machine, -1 for none
    int TP = 0, TN = 0, FP = 0, FN = 0;
    double Sn = 0;     ///< TP / (TP + FN); 0 when nothing is in the class
    double Sp = 0;     ///< TP / (TP + FP): the share of true answers among the positive ones; 0 without any
    double Margin = 0; ///< sum of |score| over the correctly answered training points

    /// Sets the four counts and Sn and Sp from them.
    void SetCounts(int tp, int tn, int fp, int fn);
};

/// What the machine takes from its window before every command.
struct TMachineSettings {
    bool Discrete = false; ///< "Dicrete answer": copied into every rule created while set
    int Iterations = 100;  ///< "Iterations number" of the perceptron
    double Step = 1;       ///< "Step": kept with the settings; the fit does not use it
    int TargetColor = -1;  ///< "Color of the class": a packed fill colour
};

/// Points to evaluate rules on, with their class labels (1 for the target colour) and the
/// table record each one came from.
struct TMachineSample {
    TArray2D Points;
    TArray1I Labels;
    TArray1I Records;
};

/// One circle of a rule chart.
struct TChartPoint {
    double X = 0, Y = 0;
    bool InClass = false; ///< drawn in the target colour, else black
    std::string Mark;     ///< the label field's trimmed text
};

/// What the rule chart shows: its title, the points and the green separating line.
struct TRuleChart {
    std::string Title;
    std::vector<TChartPoint> Points;
    TArray2D Line; ///< points (x, y) of the separating line, empty when it cannot be drawn
};

/// Holds the rules, the labels of the last command's training points and the protocol.
/// Every command takes the dataset and the window's settings again, so the training points
/// are never copied into the machine and a changed class colour takes effect at once.
/// Use FitLinearRule directly for a single rule without a cascade.
class TLRuleMachine {
public:
    std::vector<TLRule> Rules;
    TArray1S Protocol;
    TMachineSettings Settings; ///< as taken by the last command
    TArray1I Labels;           ///< of the dataset's points, as taken by the last command

    /// Takes the settings and recomputes the labels of the dataset's points.
    void TakeSettings(const data::TData& data, const TMachineSettings& settings);

    /// The output of a rule on a vector of dataset coordinates: the constant plus the
    /// coefficients times the present coordinates of its fields, plus the last coefficient
    /// times the previous rule's output; +1 or -1 (score above 0 or not) for a discrete rule.
    double RuleOutput(int rule, numeric::TVecView x) const;

    /// "Add rule" on the coordinates (several may be given): a rule after the existing ones,
    /// fitted by FitLinearRule on the training points, that takes the discrete flag. Returns
    /// why no rule was added (no field, a field outside the dataset, a class without points
    /// or with every point), or an empty text.
    std::string AddRule(const data::TData& data, const TMachineSettings& settings, const TArray1I& fields);

    /// "Find the best": tries each of the fields alone as a rule after the existing ones and
    /// adds the one with the smallest error FP/(TP+FP) + FN/(TN+FN), the larger margin
    /// deciding between equal errors. Writes its lines into the protocol when makeProtocol
    /// is set. Nothing happens for an empty list; the return value is as for AddRule.
    std::string FindTheBest(const data::TData& data, const TMachineSettings& settings, const TArray1I& fields,
                            bool makeProtocol);

    /// "Cancel all rules": no rules and an empty protocol.
    void CancelAll();
    /// "Cancel last": the last rule goes.
    void CancelLast();

    /// "Test": every rule on the dataset's points (an output above 0 is a positive answer);
    /// the rules take the counts and the protocol gets an empty line, "Testing..." and four
    /// lines per rule.
    void Test(const data::TData& data, const TMachineSettings& settings);

    /// "Test on the table": every rule on the selected records of a table laid out as the
    /// dataset's table. Returns why the table was refused (other fields), or an empty text;
    /// sample receives the records tested, for the chart of the last rule.
    std::string TestOnTable(const data::TData& data, const TMachineSettings& settings, const data::TDataTable& table,
                            TMachineSample& sample);

    /// The formula of a rule: coefficients in their shortest form, each followed by its
    /// field's name (or "*" for the previous rule's output), joined by "+" or by the
    /// coefficient's own minus sign.
    std::string RuleText(int rule, const TArray1S& coordNames) const;

    /// The "Decision rules" list.
    TArray1S RuleTexts(const TArray1S& coordNames) const;

    /// The "Fields" list: the coordinates no rule uses, in dataset order.
    TArray1I FreeFields(int coordCount) const;

    /// The chart of a rule on a sample, its marks the trimmed texts of the label field of
    /// each sample record in the table (none for a field outside it).
    TRuleChart Chart(int rule, const TMachineSample& sample, const data::TDataTable* table, int labelField) const;

private:
    /// The fitting inputs of a new rule on its fields: one row per point, the fields'
    /// coordinates, then the last rule's output when there is one.
    TArray2D RuleInputs(const TArray2D& points, const TArray1I& fields) const;
    /// Fits and appends a rule; returns its index.
    int AppendRule(const data::TData& data, const TArray1I& fields);
    /// Why no rule can be fitted now, or an empty text.
    std::string Refusal(const data::TData& data) const;
    /// Counts every rule on the sample and writes the four protocol lines per rule.
    void Evaluate(const TMachineSample& sample, const TArray1S& coordNames);
};

/// The dataset's points with their labels for the target colour.
TMachineSample DatasetSample(const data::TData& data, int targetColor);

/// The records of the table whose SELECTED is positive and whose coordinate cells all
/// parse: each one's point is built from the cells of the fields the dataset uses, in
/// order (trimmed, an empty cell missing), normalised like the dataset's coordinates.
TMachineSample TableSample(const data::TData& data, const data::TDataTable& table, int targetColor);

/// Why the table cannot be tested by rules of the dataset: it has not the fields of the
/// dataset's table in the same order (names compared ignoring letter case). Empty when it has.
std::string TableLayoutMismatch(const data::TData& data, const data::TDataTable& table);

} // namespace orbelin::analysis

// Linear discriminant of one class colour: fit, test, marking and the result column.
#include "analysis/Discriminant.h"

#include "analysis/Marking.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "numeric/Missing.h"

#include <cmath>

namespace orbelin::analysis {
namespace {

std::string Count(int n)
{
    return std::to_string(n);
}

bool Uses(const std::vector<bool>& used, std::size_t f)
{
    return f >= used.size() || used[f];
}

} // namespace

TArray1I ClassLabels(const data::TData& data, int color)
{
    TArray1I labels;
    for (int c : PointColors(data))
        labels.push_back(c == color ? 1 : 0);
    return labels;
}

std::array<std::string, 3> FitLines(const TRuleCounts& c)
{
    const double all = c.TP + c.TN + c.FP + c.FN;
    return {
        "Overall " + PercentText(c.FP + c.FN, all, 4, 3) + "% T=" + Count(c.TP + c.TN) + ",F=" + Count(c.FP + c.FN) +
            " Sn=" + PercentText(c.TP, c.TP + c.FN, 4, 2) + " Sp=" + PercentText(c.TP, c.TP + c.FP, 4, 2),
        "Error 1 type " + PercentText(c.FN, c.TP + c.FN, 4, 3) + "% TP=" + Count(c.TP) + ",FN=" + Count(c.FN) + ")",
        "Error 2 type " + PercentText(c.FP, c.TN + c.FP, 4, 3) + "% TN=" + Count(c.TN) + ",FP=" + Count(c.FP) + ")"};
}

std::array<std::string, 3> TestLines(const TRuleCounts& c)
{
    const double all = c.TP + c.TN + c.FP + c.FN;
    return {
        "Overall error " + PercentText(c.FP + c.FN, all, 4, 3) + "% (Rgt.:" + Count(c.TP + c.TN) + ",Wr." +
            Count(c.FP + c.FN) + ")",
        "Error 1 type " + PercentText(c.FP, c.TP + c.FP, 4, 3) + "% (Rgt.:" + Count(c.TP) + ",Wr." + Count(c.FP) + ")",
        "Error 2 type " + PercentText(c.FN, c.TN + c.FN, 4, 3) + "% (Rgt.:" + Count(c.TN) + ",Wr." + Count(c.FN) + ")"};
}

TArray1D FunctionScores(const data::TData& data, const TArray1D& coefficients)
{
    TArray1D scores;
    for (const TArray1D& x : data.Points)
        scores.push_back(FunctionValue(coefficients, x));
    return scores;
}

void MarkByFunction(data::TData& data, const TArray1D& coefficients, const TArray1I& labels, int color)
{
    const TArray1D scores = FunctionScores(data, coefficients);
    const TArray1I radii = PointRadii(data);
    TArray1I colours(scores.size(), OwnStyle), sizes(scores.size(), OwnStyle);
    for (std::size_t p = 0; p < scores.size(); ++p) {
        const double s = scores[p];
        if (IsMissing(s))
            continue;
        colours[p] = s > 0 ? color : 0;
        const bool label = p < labels.size() && labels[p] != 0;
        if ((s > 0) != label)
            sizes[p] = static_cast<int>(std::nearbyint(10 * std::fabs(s))) + radii[p];
    }
    MarkAllPoints(data, colours, sizes);
}

TLdaResult AnalyzeLda(data::TData& data, const TLdaSettings& settings)
{
    TLdaResult r;
    const auto d = static_cast<std::size_t>(data.CoordCount);
    if (settings.ClassColor == -1) {
        r.Message = "Choose the colour of the class to separate.";
        return r;
    }
    const TArray1I labels = ClassLabels(data, settings.ClassColor);
    int positives = 0;
    for (int l : labels)
        positives += l;
    if (positives == 0 || positives == static_cast<int>(labels.size())) {
        r.Message = positives == 0 ? "No point of the dataset has the chosen class colour."
                                   : "Every point of the dataset has the chosen class colour: there is nothing to "
                                     "separate it from.";
        return r;
    }
    std::vector<std::size_t> inputs;
    for (std::size_t f = 0; f < d; ++f)
        if (Uses(settings.UseFields, f))
            inputs.push_back(f);
    if (inputs.empty()) {
        r.Message = "Check at least one field of the separating function.";
        return r;
    }
    TArray2D x(data.Points.size(), TArray1D(inputs.size()));
    for (std::size_t p = 0; p < data.Points.size(); ++p)
        for (std::size_t i = 0; i < inputs.size(); ++i)
            x[p][i] = inputs[i] < data.Points[p].size() ? data.Points[p][inputs[i]] : Missing();
    const TLinearRuleFit fit = FitLinearRule(x, labels, settings.Iterations);

    r.Coefficients.assign(d + 1, 0.0);
    r.Coefficients[0] = fit.Coefficients[0];
    std::vector<bool> used(d, false);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        r.Coefficients[inputs[i] + 1] = fit.Coefficients[i + 1];
        used[inputs[i]] = true;
    }
    r.Counts = fit;
    r.Lines = FitLines(fit);
    r.Items = FunctionItems(data.CoordNames, r.Coefficients, used);
    MarkByFunction(data, r.Coefficients, labels, settings.ClassColor);
    data.SeparatingFunction = r.Coefficients;
    return r;
}

TLdaTest TestLda(data::TData& data, const TArray1D& coefficients, int color)
{
    TLdaTest test;
    const TArray1I labels = ClassLabels(data, color);
    const TArray1D scores = FunctionScores(data, coefficients);
    for (std::size_t p = 0; p < scores.size(); ++p) {
        if (IsMissing(scores[p]))
            continue;
        const bool label = labels[p] != 0;
        if (scores[p] > 0)
            ++(label ? test.Counts.TP : test.Counts.FP);
        else
            ++(label ? test.Counts.FN : test.Counts.TN);
    }
    test.Lines = TestLines(test.Counts);
    MarkByFunction(data, coefficients, labels, color);
    return test;
}

void LdaInTable(data::TData& data, const TArray1D& coefficients)
{
    TArray1S texts;
    for (double s : FunctionScores(data, coefficients))
        texts.push_back(IsMissing(s) ? std::string() : data::FixedText(s, 8, 6));
    SetResultColumn(data, "LDA", std::move(texts));
}

} // namespace orbelin::analysis

// The perceptron fit of a linear decision rule.
#include "analysis/LinearRule.h"

#include "data/NumberText.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {
namespace {

double Present(numeric::TVecView x, std::size_t j)
{
    return j < x.size() && !IsMissing(x[j]) ? x[j] : 0.0;
}

} // namespace

double LinearScore(const TArray1D& w, numeric::TVecView x)
{
    if (w.empty())
        return 0;
    double s = w[0];
    for (std::size_t j = 0; j + 1 < w.size(); ++j)
        if (j < x.size() && !IsMissing(x[j]) && !IsMissing(w[j + 1]))
            s += w[j + 1] * x[j];
    return s;
}

double FunctionValue(const TArray1D& c, numeric::TVecView x)
{
    if (c.empty())
        return Missing();
    double s = c[0];
    for (std::size_t j = 0; j + 1 < c.size(); ++j) {
        if (c[j + 1] == 0)
            continue;
        if (j >= x.size() || IsMissing(x[j]))
            return Missing();
        s += c[j + 1] * x[j];
    }
    return s;
}

TArray1S FunctionItems(const TArray1S& fields, const TArray1D& c, const std::vector<bool>& used)
{
    TArray1S items;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (f < used.size() && used[f] && f + 1 < c.size())
            items.push_back(fields[f] + " (" + data::FixedText(c[f + 1], 8, 6) + ")");
        else
            items.push_back(fields[f]);
    }
    items.push_back("A0 (" + data::FixedText(c.empty() ? 0.0 : c[0], 8, 6) + ")");
    return items;
}

std::string PercentText(double part, double whole, int width, int decimals)
{
    return whole == 0 ? std::string("-") : data::FixedText(part / whole * 100, width, decimals);
}

TRuleCounts CountRule(const TArray1D& w, const TArray2D& x, const TArray1I& labels)
{
    TRuleCounts c;
    for (std::size_t p = 0; p < x.size() && p < labels.size(); ++p) {
        const double s = LinearScore(w, x[p]);
        if (s > 0) {
            if (labels[p] != 0) {
                ++c.TP;
                c.Margin += s;
            } else {
                ++c.FP;
            }
        } else if (s < 0) {
            if (labels[p] != 0) {
                ++c.FN;
            } else {
                ++c.TN;
                c.Margin -= s;
            }
        }
    }
    return c;
}

TLinearRuleFit FitLinearRule(const TArray2D& x, const TArray1I& labels, int iterations)
{
    const std::size_t n = std::min(x.size(), labels.size());
    std::size_t m = 0;
    for (std::size_t p = 0; p < n; ++p)
        m = std::max(m, x[p].size());

    // Class means over the present values of each coordinate.
    TArray1D mp(m, 0.0), mn(m, 0.0), countP(m, 0.0), countN(m, 0.0);
    int t = 0, u = 0;
    for (std::size_t p = 0; p < n; ++p) {
        const bool positive = labels[p] != 0;
        (positive ? t : u) += 1;
        for (std::size_t j = 0; j < x[p].size(); ++j)
            if (!IsMissing(x[p][j])) {
                (positive ? mp : mn)[j] += x[p][j];
                (positive ? countP : countN)[j] += 1;
            }
    }
    for (std::size_t j = 0; j < m; ++j) {
        mp[j] = countP[j] > 0 ? mp[j] / countP[j] : 0.0;
        mn[j] = countN[j] > 0 ? mn[j] / countN[j] : 0.0;
    }
    TArray1D w(m + 1, 0.0);
    double sqP = 0, sqN = 0;
    for (std::size_t j = 0; j < m; ++j) {
        w[j + 1] = mp[j] - mn[j];
        sqP += mp[j] * mp[j];
        sqN += mn[j] * mn[j];
    }
    w[0] = -(sqP - sqN) / 2;

    const double eta = (static_cast<double>(n) - 1) / 10;
    const auto criterion = [&](const TRuleCounts& c) {
        return (t > 0 ? static_cast<double>(c.TP) / t : 0.0) + (u > 0 ? static_cast<double>(c.TN) / u : 0.0);
    };
    TArray1D kept = iterations > 0 ? TArray1D(m + 1, 0.0) : w;
    double best = -1, bestMargin = -1;
    TArray1D l(m + 1);
    for (int iteration = 0; iteration < iterations; ++iteration) {
        std::fill(l.begin(), l.end(), 0.0);
        for (std::size_t p = 0; p < n; ++p) {
            const double sign = labels[p] != 0 ? 1.0 : -1.0;
            if (sign * LinearScore(w, x[p]) < 0) {
                l[0] += sign;
                for (std::size_t j = 0; j < m; ++j)
                    l[j + 1] += sign * Present(x[p], j);
            }
        }
        if (numeric::SqNorm(l) < 1e-8) {
            kept = w;
            break;
        }
        for (std::size_t j = 0; j <= m; ++j)
            w[j] += eta * l[j];
        const TRuleCounts c = CountRule(w, x, labels);
        const double g = criterion(c);
        if (g > best) {
            kept = w;
            best = g;
            bestMargin = c.Margin;
        } else if (std::fabs(g - best) < 1e-8 && c.Margin > bestMargin) {
            kept = w;
            bestMargin = c.Margin;
        }
    }

    const double length = std::sqrt(numeric::SqNorm(kept));
    if (length > 0)
        for (double& v : kept)
            v /= length;
    TLinearRuleFit fit;
    static_cast<TRuleCounts&>(fit) = CountRule(kept, x, labels);
    fit.Coefficients = std::move(kept);
    return fit;
}

} // namespace orbelin::analysis

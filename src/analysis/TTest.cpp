// Welch's t-test; the t distribution comes from Boost.Math.
#include "analysis/TTest.h"

#include "analysis/Histograms.h"
#include "analysis/Moments.h"
#include "data/NumberText.h"
#include "data/TDataTable.h"

#include <boost/math/distributions/students_t.hpp>

#include <cmath>

namespace orbelin::analysis {
namespace {

std::string Number(double x, int decimals)
{
    return IsMissing(x) ? std::string() : data::FixedText(x, 10, decimals);
}

// Six decimals, or four significant digits for a p below 0.0001.
std::string PText(double p)
{
    if (IsMissing(p))
        return {};
    return p >= 1e-4 || p == 0 ? data::FixedText(p, 10, 6) : data::SciText(p, 12);
}

} // namespace

TWelchResult WelchTest(const TArray1D& first, const TArray1D& second)
{
    TWelchResult r;
    r.N1 = static_cast<int>(first.size());
    r.N2 = static_cast<int>(second.size());
    const TMoments m1 = Moments(first), m2 = Moments(second);
    if (r.N1 > 0)
        r.Mean1 = m1.Mean;
    if (r.N2 > 0)
        r.Mean2 = m2.Mean;
    if (r.N1 < 2 || r.N2 < 2)
        return r;
    // v = s^2 / n with the sample variance s^2 = squares / (n - 1).
    const double v1 = m1.Squares / (r.N1 - 1) / r.N1, v2 = m2.Squares / (r.N2 - 1) / r.N2;
    if (!(v1 + v2 > 0) || !std::isfinite(v1 + v2))
        return r;
    r.T = (r.Mean1 - r.Mean2) / std::sqrt(v1 + v2);
    r.Df = (v1 + v2) * (v1 + v2) / (v1 * v1 / (r.N1 - 1) + v2 * v2 / (r.N2 - 1));
    const boost::math::students_t_distribution<double> distribution(r.Df);
    r.P = 2 * boost::math::cdf(boost::math::complement(distribution, std::fabs(r.T)));
    return r;
}

TRecordGroups GroupsByColor(const data::TDataTable& table, int first, int second)
{
    TRecordGroups groups(table.Values.size(), 0);
    for (std::size_t r = 0; r < groups.size(); ++r) {
        const int color = r < table.PointStyles.size() ? table.PointStyles[r][FILLCOLOR] : DefaultPointStyle[FILLCOLOR];
        if (color == first)
            groups[r] = 1;
        else if (second == -1 || color == second)
            groups[r] = 2;
    }
    return groups;
}

TTTestPage CalcTTest(const data::TDataTable& table, const TRecordGroups& groups)
{
    TTTestPage page;
    for (int f = 0; f < table.FieldCount && static_cast<std::size_t>(f) < table.FieldTypes.size(); ++f) {
        if (!data::IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(f)]))
            continue;
        TArray1D samples[2];
        for (std::size_t r = 0; r < table.Values.size() && r < groups.size(); ++r) {
            double v = 0;
            if (groups[r] != 1 && groups[r] != 2)
                continue;
            if (static_cast<std::size_t>(f) < table.Values[r].size() &&
                ParseCell(table.Values[r][static_cast<std::size_t>(f)], v))
                samples[groups[r] - 1].push_back(v);
        }
        page.Fields.push_back({f, table.FieldNames[static_cast<std::size_t>(f)], WelchTest(samples[0], samples[1])});
    }

    page.Grid.Resize(static_cast<int>(page.Fields.size()) + 1, 8);
    const char* headers[] = {"Field", "n1", "n2", "Mean 1", "Mean 2", "t", "df", "p"};
    for (int c = 0; c < 8; ++c)
        page.Grid.At(0, c) = headers[c];
    for (std::size_t i = 0; i < page.Fields.size(); ++i) {
        const TFieldTTest& f = page.Fields[i];
        const int row = static_cast<int>(i) + 1;
        page.Grid.At(row, 0) = f.Name;
        page.Grid.At(row, 1) = std::to_string(f.Test.N1);
        page.Grid.At(row, 2) = std::to_string(f.Test.N2);
        page.Grid.At(row, 3) = Number(f.Test.Mean1, 6);
        page.Grid.At(row, 4) = Number(f.Test.Mean2, 6);
        page.Grid.At(row, 5) = Number(f.Test.T, 6);
        page.Grid.At(row, 6) = Number(f.Test.Df, 4);
        page.Grid.At(row, 7) = PText(f.Test.P);
        if (!IsMissing(f.Test.P) && f.Test.P < 0.05)
            page.Grid.SetColor(row, 7, TCellColor::Red);
    }
    return page;
}

} // namespace orbelin::analysis

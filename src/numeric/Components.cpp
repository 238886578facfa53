// Principal components by alternating least squares with deflation. The passes over the
// points run in parallel; sums over points go through fixed blocks merged in block order,
// so one thread and many give the same bits.
#include "numeric/Components.h"

#include "numeric/Missing.h"
#include "numeric/TUserInterface.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace orbelin::numeric {
namespace {

struct TBlocks {
    std::size_t Count = 0;
    std::size_t Size = 0;
};

// At most 256 blocks of at least 1024 points: enough to share among threads, few enough
// that the per-block partial sums stay small. Depends on n only, never on the threads.
TBlocks SplitIntoBlocks(std::size_t n)
{
    if (n == 0)
        return {};
    const std::size_t wanted = std::min<std::size_t>((n + 1023) / 1024, 256);
    const std::size_t size = (n + wanted - 1) / wanted;
    return {(n + size - 1) / size, size};
}

// |a - before|^2 / |a|^2 over coordinates present in both; absolute when |a| is zero.
double RelativeChange(const TArray1D& a, const TArray1D& before)
{
    double moved = 0.0;
    for (std::size_t j = 0; j < a.size(); ++j)
        if (!IsMissing(a[j]) && !IsMissing(before[j])) {
            const double diff = a[j] - before[j];
            moved += diff * diff;
        }
    const double norm = SqNorm(a);
    return norm != 0.0 ? moved / norm : moved;
}

void ScaleToUnitLength(TArray1D& v)
{
    const double norm = SqNorm(v);
    if (norm == 0.0)
        return;
    const double length = std::sqrt(norm);
    for (double& e : v)
        if (!IsMissing(e))
            e /= length;
}

// rows[p] := rows[p] - (v t + c) with t = VecDot(scoreRows[p] - c, v) / SqNorm(v); the
// scores may be taken from the rows themselves. A missing v[j] or c[j] makes the residual
// missing; a missing entry stays missing.
// VecDot(row - c, v) / vv over the coordinates present in the row, c and v; 0 when vv is 0.
double ScoreOf(const TArray1D& row, const TArray1D& v, const TArray1D& c, double vv)
{
    double s = 0.0;
    for (std::size_t j = 0, len = std::min(row.size(), v.size()); j < len; ++j)
        if (!IsMissing(row[j]) && !IsMissing(c[j]) && !IsMissing(v[j]))
            s += (row[j] - c[j]) * v[j];
    return vv != 0.0 ? s / vv : 0.0;
}

void RemoveComponent(const TArray2D& scoreRows, TArray2D& rows, const TArray1D& v, const TArray1D& c, TArray1D* scores)
{
    const double vv = SqNorm(v);
    const std::size_t d = v.size();
    const auto n = static_cast<std::ptrdiff_t>(rows.size());
#pragma omp parallel for schedule(static) if (n > 1024)
    for (std::ptrdiff_t p = 0; p < n; ++p) {
        const double t = ScoreOf(scoreRows[static_cast<std::size_t>(p)], v, c, vv);
        TArray1D& row = rows[static_cast<std::size_t>(p)];
        for (std::size_t j = 0, len = std::min(row.size(), d); j < len; ++j) {
            if (IsMissing(row[j]))
                continue;
            row[j] = IsMissing(v[j]) || IsMissing(c[j]) ? Missing() : row[j] - (v[j] * t + c[j]);
        }
        if (scores != nullptr)
            (*scores)[static_cast<std::size_t>(p)] = t;
    }
}

// Sum of w[p] X[p] / sum of w[p] (plain mean without matching weights); a missing entry in
// any point makes its coordinate missing. Zero total weight falls back to the plain mean.
TArray1D MeanOfRows(const TArray2D& x, const TArray1D& w, std::size_t d)
{
    const std::size_t n = x.size();
    TArray1D mean(d, 0.0);
    if (n == 0)
        return mean;
    bool weighted = w.size() == n;
    if (weighted) {
        double total = 0.0;
        for (double wp : w)
            total += wp;
        weighted = total != 0.0;
    }
    double total = 0.0;
    for (std::size_t p = 0; p < n; ++p) {
        const double u = weighted ? w[p] : 1.0;
        total += u;
        const TArray1D& row = x[p];
        for (std::size_t j = 0; j < d; ++j) {
            if (IsMissing(mean[j]))
                continue;
            if (j >= row.size() || IsMissing(row[j]))
                mean[j] = Missing();
            else
                mean[j] += weighted ? u * row[j] : row[j];
        }
    }
    for (double& m : mean)
        if (!IsMissing(m))
            m /= total;
    return mean;
}

// Mean squared distance of the rows from their per-coordinate means over present values.
double TotalSpread(const TArray2D& x, std::size_t d)
{
    const std::size_t n = x.size();
    if (n == 0)
        return 0.0;
    TArray1D mean(d, 0.0);
    std::vector<std::size_t> present(d, 0);
    for (const TArray1D& row : x)
        for (std::size_t j = 0, len = std::min(row.size(), d); j < len; ++j)
            if (!IsMissing(row[j])) {
                mean[j] += row[j];
                ++present[j];
            }
    for (std::size_t j = 0; j < d; ++j)
        mean[j] = present[j] > 0 ? mean[j] / static_cast<double>(present[j]) : Missing();
    double total = 0.0;
    for (const TArray1D& row : x)
        total += SqEuclideanDistance(TVecView(row).first(std::min(row.size(), d)), mean);
    return total / static_cast<double>(n);
}

// Fits and removes components while keepGoing(count, explained) holds; returns the count.
template <class TKeepGoing>
int RemoveComponents(TArray2D& x, const TArray1D& w, double& explained, TKeepGoing&& keepGoing)
{
    explained = 0.0;
    const std::size_t n = x.size();
    const std::size_t d = n > 0 ? x[0].size() : 0;
    const double total = TotalSpread(x, d);
    if (total == 0.0)
        return 0;
    TArray1D scores(n);
    int count = 0;
    while (keepGoing(count, explained)) {
        TArray1D v = RandomUnitVector(static_cast<int>(d));
        TArray1D c = RandomUnitVector(static_cast<int>(d));
        FirstComponent(x, v, c, w);
        ScaleToUnitLength(v);
        RemoveComponent(x, x, v, c, &scores);
        double mean = 0.0;
        for (double t : scores)
            mean += t;
        mean /= static_cast<double>(n);
        double spread = 0.0;
        for (double t : scores)
            spread += (t - mean) * (t - mean);
        explained += spread / static_cast<double>(n) / total;
        ++count;
    }
    return count;
}

const TArray1D* ComponentRow(const TArray2D& components, int k)
{
    return k >= 0 && static_cast<std::size_t>(k) < components.size() ? &components[static_cast<std::size_t>(k)]
                                                                     : nullptr;
}

// VecDot(x - centre, component), without building the difference.
double CentredDot(TVecView x, const TArray1D& centre, const TArray1D* component)
{
    if (component == nullptr)
        return 0.0;
    double s = 0.0;
    const std::size_t len = std::min({x.size(), centre.size(), component->size()});
    for (std::size_t j = 0; j < len; ++j)
        if (!IsMissing(x[j]) && !IsMissing(centre[j]) && !IsMissing((*component)[j]))
            s += (x[j] - centre[j]) * (*component)[j];
    return s;
}

// MaskedDot(a, b, x): the products over coordinates where a, b and x are present.
double PointMaskedDot(const TArray1D* a, const TArray1D* b, TVecView x)
{
    if (a == nullptr || b == nullptr)
        return 0.0;
    double s = 0.0;
    const std::size_t len = std::min({a->size(), b->size(), x.size()});
    for (std::size_t j = 0; j < len; ++j)
        if (!IsMissing((*a)[j]) && !IsMissing((*b)[j]) && !IsMissing(x[j]))
            s += (*a)[j] * (*b)[j];
    return s;
}

double Det3(const double m[3][3])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

double Ratio(double numerator, double denominator)
{
    return denominator != 0.0 ? numerator / denominator : 0.0;
}

// The rows a component is fitted to, as given.
struct TGivenRows {
    const TArray2D& X;
    std::size_t Size() const { return X.size(); }
    // Row p, its first `limit` entries at most; scratch is not needed.
    TVecView Row(std::size_t p, std::size_t limit, std::vector<double>&) const
    {
        return TVecView(X[p]).first(std::min(X[p].size(), limit));
    }
};

// The rows less the components fitted so far, in one block of n x d values (a copy of the
// rows only from the first deflation on): RemoveComponent's operations on a copy, kept
// contiguous.
struct TDeflatedRows {
    const TArray2D& X;
    std::size_t D = 0;
    std::vector<double> Values; ///< [n][D] once a component has been removed, else empty

    std::size_t Size() const { return X.size(); }
    TVecView Row(std::size_t p, std::size_t limit, std::vector<double>&) const
    {
        const std::size_t len = std::min({X[p].size(), limit, D});
        if (Values.empty())
            return TVecView(X[p]).first(std::min(X[p].size(), limit));
        return TVecView(Values.data() + p * D, len);
    }
    // Removes the component v with centre c, the scores taken from the input rows.
    void Remove(const TArray1D& v, const TArray1D& c)
    {
        const std::size_t n = X.size();
        if (Values.empty()) {
            Values.assign(n * D, 0.0);
            for (std::size_t p = 0; p < n; ++p)
                std::copy(X[p].begin(), X[p].begin() + static_cast<std::ptrdiff_t>(std::min(X[p].size(), D)),
                          Values.begin() + static_cast<std::ptrdiff_t>(p * D));
        }
        const double vv = SqNorm(v);
        const auto count = static_cast<std::ptrdiff_t>(n);
#pragma omp parallel for schedule(static) if (count > 1024)
        for (std::ptrdiff_t q = 0; q < count; ++q) {
            const auto p = static_cast<std::size_t>(q);
            const double t = ScoreOf(X[p], v, c, vv);
            double* row = Values.data() + p * D;
            for (std::size_t j = 0, len = std::min({X[p].size(), D, v.size()}); j < len; ++j) {
                if (IsMissing(row[j]))
                    continue;
                row[j] = IsMissing(v[j]) || IsMissing(c[j]) ? Missing() : row[j] - (v[j] * t + c[j]);
            }
        }
    }
};

template <class TRows>
bool StepOver(const TRows& x, TArray1D& v, TArray1D& c, const TArray1D& w)
{
    const std::size_t d = v.size();
    if (c.size() != d)
        c.resize(d, 0.0);
    const std::size_t n = x.Size();
    const bool weighted = w.size() == n;
    double vv = 0.0;
    for (double e : v)
        vv += e * e;

    // Per block: S_tt, S_t, S_1, then S_xt[d] and S_x[d].
    const TBlocks blocks = SplitIntoBlocks(n);
    const std::size_t stride = 3 + 2 * d;
    std::vector<double> partial(blocks.Count * stride, 0.0);
    const auto blockCount = static_cast<std::ptrdiff_t>(blocks.Count);
#pragma omp parallel for schedule(static) if (blockCount > 1)
    for (std::ptrdiff_t b = 0; b < blockCount; ++b) {
        double* acc = partial.data() + static_cast<std::size_t>(b) * stride;
        double* sxt = acc + 3;
        double* sx = acc + 3 + d;
        const std::size_t first = static_cast<std::size_t>(b) * blocks.Size;
        const std::size_t end = std::min(n, first + blocks.Size);
        std::vector<double> scratch;
        for (std::size_t p = first; p < end; ++p) {
            const TVecView row = x.Row(p, d, scratch);
            const std::size_t len = row.size();
            // A row without gaps takes the same sums without the tests, which lets the
            // loops over its coordinates run as vectors.
            bool complete = true;
            for (std::size_t j = 0; j < len; ++j)
                complete = complete & !IsMissing(row[j]);
            double t = 0.0;
            if (vv != 0.0) {
                double s = 0.0;
                if (complete)
                    for (std::size_t j = 0; j < len; ++j)
                        s += (row[j] - c[j]) * v[j];
                else
                    for (std::size_t j = 0; j < len; ++j)
                        if (!IsMissing(row[j]))
                            s += (row[j] - c[j]) * v[j];
                t = s / vv;
            }
            const double u = weighted ? w[p] : 1.0;
            acc[0] += u * t * t;
            acc[1] += u * t;
            acc[2] += u;
            if (complete) {
                for (std::size_t j = 0; j < len; ++j) {
                    const double ux = u * row[j];
                    sxt[j] += ux * t;
                    sx[j] += ux;
                }
            } else {
                for (std::size_t j = 0; j < len; ++j)
                    if (!IsMissing(row[j])) {
                        const double ux = u * row[j];
                        sxt[j] += ux * t;
                        sx[j] += ux;
                    }
            }
        }
    }
    std::vector<double> sums(stride, 0.0);
    for (std::size_t b = 0; b < blocks.Count; ++b)
        for (std::size_t k = 0; k < stride; ++k)
            sums[k] += partial[b * stride + k];

    const double stt = sums[0], st = sums[1], s1 = sums[2];
    const double f = stt * s1 - st * st;
    if (f == 0.0)
        return false;
    for (std::size_t j = 0; j < d; ++j) {
        const double sxt = sums[3 + j], sx = sums[3 + d + j];
        v[j] = (s1 * sxt - st * sx) / f;
        c[j] = (stt * sx - st * sxt) / f;
    }
    return true;
}

template <class TRows>
int FirstComponentOver(const TRows& x, TArray1D& v, TArray1D& c, const TArray1D& w)
{
    constexpr int MaxSteps = 101;
    const TArray1D start = v;
    bool fitted = false;
    std::size_t nextAxis = 0;
    double changeV = 1e100, changeC = 1e100;
    int steps = 0;
    TArray1D vBefore, cBefore;
    while (changeV + changeC > NumericTolerance) {
        vBefore = v;
        cBefore = c;
        const bool moved = StepOver(x, v, c, w);
        ++steps;
        if (moved) {
            fitted = true;
            changeV = RelativeChange(v, vBefore);
            changeC = RelativeChange(c, cBefore);
        } else if (!fitted && nextAxis < v.size()) {
            // Every score is equal along this start (it is orthogonal to all the spread,
            // as a random start can be to data on a line through simple directions): start
            // again along the next coordinate axis.
            std::fill(v.begin(), v.end(), 0.0);
            v[nextAxis++] = 1.0;
        } else {
            changeV = changeC = 0.0;
        }
        if (steps == MaxSteps)
            changeV = changeC = 0.0;
    }
    // No direction showed any spread (one point, identical points, no weight).
    if (!fitted)
        v = start;
    ScaleToUnitLength(v);
    if (!v.empty() && v[0] < 0.0)
        for (double& e : v)
            e = -e;
    return steps;
}

} // namespace

bool ComponentStep(const TArray2D& x, TArray1D& v, TArray1D& c, const TArray1D& w)
{
    return StepOver(TGivenRows{x}, v, c, w);
}

int FirstComponent(const TArray2D& x, TArray1D& v, TArray1D& c, const TArray1D& w)
{
    return FirstComponentOver(TGivenRows{x}, v, c, w);
}

TPrincipalComponents PrincipalComponents(const TArray2D& x, const TArray1D& w, int k)
{
    const std::size_t d = x.empty() ? 0 : x[0].size();
    const int dim = static_cast<int>(d);
    TPrincipalComponents result;
    result.Components.assign(d, TArray1D(d, 0.0));
    result.Centre.assign(d, 0.0);

    const bool interactive = k == -1;
    int count = k;
    if (!interactive)
        count = std::clamp(k, 0, dim);
    TUserInterface& ui = UserInterface();
    if (interactive) {
        if (!ui.BeginComponentsDialog(dim)) {
            result.Count = -1;
            return result;
        }
        count = std::clamp(ui.ComponentsDialogCount(dim), 0, dim);
    }

    TDeflatedRows work{x, d, {}};
    TArray1D centre(d, 0.0);
    for (int i = 0; i < dim; ++i) {
        if (interactive) {
            count = std::clamp(ui.ComponentsDialogCount(count), 0, dim);
            const int percent =
                count > 0 ? static_cast<int>(std::nearbyint(100.0 * static_cast<double>(i) / count)) : 100;
            ui.SetComponentsProgress(std::min(percent, 100));
        }
        ui.ProcessEvents();
        TArray1D v;
        if (i < count) {
            v = RandomUnitVector(dim);
            FirstComponentOver(work, v, centre, w);
        } else {
            v.assign(d, 0.0);
            v[static_cast<std::size_t>(i)] = 1.0;
        }
        result.Components[static_cast<std::size_t>(i)] = v;
        if (i + 1 < count)
            work.Remove(v, centre);
    }
    if (interactive)
        ui.EndComponentsDialog();

    result.Centre = MeanOfRows(x, w, d);
    result.Count = count;
    return result;
}

TArray2D ProjectOnComponents(const TArray2D& x, const TArray1D& centre, const TArray2D& components, int k1, int k2,
                             int k3, bool independent)
{
    const TArray1D* c[3] = {ComponentRow(components, k1), ComponentRow(components, k2), ComponentRow(components, k3)};
    const auto n = static_cast<std::ptrdiff_t>(x.size());
    TArray2D result(x.size(), TArray1D(3, 0.0));
#pragma omp parallel for schedule(static) if (n > 1024)
    for (std::ptrdiff_t p = 0; p < n; ++p) {
        const TArray1D& point = x[static_cast<std::size_t>(p)];
        double b[3], g[3][3];
        for (int a = 0; a < 3; ++a) {
            b[a] = CentredDot(point, centre, c[a]);
            for (int e = 0; e < 3; ++e)
                g[a][e] = PointMaskedDot(c[a], c[e], point);
        }
        TArray1D& t = result[static_cast<std::size_t>(p)];
        const double det = Det3(g);
        if (std::fabs(det) <= 1e-8 || independent) {
            for (int a = 0; a < 3; ++a)
                t[static_cast<std::size_t>(a)] = Ratio(b[a], g[a][a]);
            continue;
        }
        for (int a = 0; a < 3; ++a) {
            double replaced[3][3];
            for (int r = 0; r < 3; ++r)
                for (int e = 0; e < 3; ++e)
                    replaced[r][e] = e == a ? b[r] : g[r][e];
            t[static_cast<std::size_t>(a)] = Det3(replaced) / det;
        }
    }
    return result;
}

TArray1D ProjectPointOnComponents(std::span<const double> x, const TArray1D& centre, const TArray2D& components, int k1,
                                  int k2, int k3)
{
    TArray1D t(3, 0.0);
    const int ks[3] = {k1, k2, k3};
    for (int a = 0; a < 3; ++a) {
        const TArray1D* c = ComponentRow(components, ks[a]);
        t[static_cast<std::size_t>(a)] = Ratio(CentredDot(x, centre, c), PointMaskedDot(c, c, x));
    }
    return t;
}

int ComponentsForFraction(TArray2D& x, const TArray1D& w, double fraction)
{
    const int limit = x.empty() ? 0 : static_cast<int>(x[0].size());
    double explained = 0.0;
    return RemoveComponents(x, w, explained,
                            [&](int count, double share) { return count < limit && share < fraction; });
}

double ExplainedFraction(TArray2D& x, int k, const TArray1D& w)
{
    double explained = 0.0;
    RemoveComponents(x, w, explained, [&](int count, double) { return count < k; });
    return explained;
}

} // namespace orbelin::numeric

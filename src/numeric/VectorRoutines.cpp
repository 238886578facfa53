// Vector routines. Sums are kept in double precision: the fast and the plain versions of
// later algorithms must agree bit for bit, which extended precision would make
// compiler-dependent.
#include "numeric/VectorRoutines.h"

#include "numeric/Missing.h"
#include "numeric/Random.h"

#include <cmath>

namespace orbelin::numeric {

double VecSum(TVecView a)
{
    double s = 0.0;
    for (double x : a)
        if (!IsMissing(x))
            s += x;
    return s;
}

double VecMax(TVecView a)
{
    double m = -1e100;
    for (double x : a)
        if (!IsMissing(x) && x > m)
            m = x;
    return m;
}

double VecMin(TVecView a)
{
    double m = 1e100;
    for (double x : a)
        if (!IsMissing(x) && x < m)
            m = x;
    return m;
}

double VecMean(TVecView a)
{
    if (a.empty())
        return 0.0;
    return VecSum(a) / static_cast<double>(a.size());
}

double SqEuclideanDistance(TVecView a, TVecView b)
{
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!IsMissing(a[i]) && !IsMissing(b[i])) {
            const double d = a[i] - b[i];
            s += d * d;
        }
    return s;
}

double CityBlockDistance(TVecView a, TVecView b)
{
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!IsMissing(a[i]) && !IsMissing(b[i]))
            s += std::fabs(a[i] - b[i]);
    return s;
}

double Distance(TVecView a, TVecView b, int kind)
{
    return kind == 1 ? CityBlockDistance(a, b) : SqEuclideanDistance(a, b);
}

TArray1D VecSub(TVecView a, TVecView b)
{
    TArray1D r(a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        r[i] = IsMissing(a[i]) || IsMissing(b[i]) ? Missing() : a[i] - b[i];
    return r;
}

TArray1D VecAdd(TVecView a, TVecView b)
{
    TArray1D r(a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        r[i] = IsMissing(a[i]) || IsMissing(b[i]) ? Missing() : a[i] + b[i];
    return r;
}

TArray1D VecScale(TVecView a, double x)
{
    TArray1D r(a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        r[i] = IsMissing(a[i]) ? Missing() : a[i] * x;
    return r;
}

double VecDot(TVecView a, TVecView b)
{
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!IsMissing(a[i]) && !IsMissing(b[i]))
            s += a[i] * b[i];
    return s;
}

double MaskedDot(TVecView a, TVecView b, TVecView mask)
{
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!IsMissing(a[i]) && !IsMissing(b[i]) && !IsMissing(mask[i]))
            s += a[i] * b[i];
    return s;
}

double SqNorm(TVecView a)
{
    double s = 0.0;
    for (double x : a)
        if (!IsMissing(x))
            s += x * x;
    return s;
}

double MaskedSqNorm(TVecView a, TVecView mask)
{
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!IsMissing(a[i]) && !IsMissing(mask[i]))
            s += a[i] * a[i];
    return s;
}

bool HasMissing(TVecView a)
{
    for (double x : a)
        if (IsMissing(x))
            return true;
    return false;
}

double Correlation(TVecView a, TVecView b)
{
    const std::size_t n = a.size();
    if (n == 0)
        return 0.0;
    double meanA = 0.0, meanB = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        meanA += a[i];
        meanB += b[i];
    }
    meanA /= static_cast<double>(n);
    meanB /= static_cast<double>(n);
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double da = a[i] - meanA, db = b[i] - meanB;
        sxx += da * da;
        syy += db * db;
        sxy += da * db;
    }
    if (sxx == 0.0 || syy == 0.0)
        return 0.0;
    return sxy / std::sqrt(sxx * syy);
}

double CorrelationDistance(TVecView a, TVecView b)
{
    return 1.0 - Correlation(a, b);
}

TArray1D RandomUnitVector(int n)
{
    TArray1D v(static_cast<std::size_t>(n > 0 ? n : 0));
    if (v.empty())
        return v;
    double norm = 0.0;
    while (norm == 0.0) {
        for (double& x : v)
            x = (RandInt(1000) - 500) / 500.0;
        norm = SqNorm(v);
    }
    const double length = std::sqrt(norm);
    for (double& x : v)
        x /= length;
    return v;
}

TArray1D RandomPointInBox(TVecView lo, TVecView hi)
{
    TArray1D p(lo.size());
    for (std::size_t i = 0; i < lo.size(); ++i)
        p[i] = lo[i] + (hi[i] - lo[i]) * RandInt(1000) / 1000.0;
    return p;
}

} // namespace orbelin::numeric

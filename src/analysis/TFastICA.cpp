// FastICA: whitening on principal components, the deflationary fixed point and the
// window's "Calculate".
#include "analysis/TFastICA.h"

#include "data/DatasetBuild.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "numeric/Components.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <algorithm>
#include <cmath>

namespace orbelin::analysis {

namespace {

// Below this share of the largest spread (or of its own spread, for the part of a reduced
// coordinate that the coordinates before it do not explain) a reduced coordinate counts as
// constant: whitening it would blow rounding noise up to unit variance.
constexpr double NoSpread = 1e-10;

// The mean of each coordinate over its present values; 0 where none is present.
TArray1D PresentMeans(const TArray2D& points, std::size_t d)
{
    TArray1D sum(d, 0.0), count(d, 0.0);
    for (const TArray1D& x : points)
        for (std::size_t j = 0; j < d && j < x.size(); ++j)
            if (!IsMissing(x[j])) {
                sum[j] += x[j];
                count[j] += 1;
            }
    for (std::size_t j = 0; j < d; ++j)
        sum[j] = count[j] > 0 ? sum[j] / count[j] : 0.0;
    return sum;
}

// The name cut to width characters (not bytes: names are UTF-8) and padded with blanks.
std::string PaddedName(const std::string& name, std::size_t width)
{
    std::string text;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < name.size() && chars < width; ++chars) {
        const auto lead = static_cast<unsigned char>(name[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
        text.append(name, i, length);
        i += length;
    }
    text.append(width - chars, ' ');
    return text;
}

double Dot(const TArray1D& a, const TArray1D& b)
{
    double s = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        s += a[i] * b[i];
    return s;
}

} // namespace

double ContrastG(int method, double u)
{
    if (method == 1)
        return -std::exp(-u * u / 2);
    // log(cosh(u)) without overflow for large |u|: |u| + log((1 + exp(-2|u|)) / 2).
    const double a = std::fabs(u);
    return a + std::log1p(std::exp(-2 * a)) - std::log(2.0);
}

double ContrastDerivative(int method, double u)
{
    if (method == 1)
        return u * std::exp(-u * u / 2);
    return std::tanh(u);
}

double ContrastSecond(int method, double u)
{
    if (method == 1)
        return std::exp(-u * u / 2) * (1 - u * u);
    const double c = std::cosh(u);
    return std::isinf(c) ? 0.0 : 1 / (c * c);
}

int TFastICA::PrepareData(const TArray2D& points, int k)
{
    const std::size_t d = points.empty() ? 0 : points.front().size();
    const int dim = static_cast<int>(d);
    k = std::clamp(k, dim > 0 ? 1 : 0, dim);
    Samples.clear();
    Vectors.clear();
    Directions.clear();
    ScaledComponents.clear();
    Components.clear();
    ReducedMeans.clear();
    SumsOfSquares.clear();
    Log.clear();
    if (k == 0)
        return 0;

    const numeric::TPrincipalComponents pc = numeric::PrincipalComponents(points, {}, k);
    DataMean = pc.Centre;
    const TArray1D present = PresentMeans(points, d);
    for (std::size_t j = 0; j < d; ++j)
        if (IsMissing(DataMean[j]))
            DataMean[j] = present[j];

    const std::size_t n = points.size();
    TArray2D z(n, TArray1D(static_cast<std::size_t>(k), 0.0));
    for (std::size_t p = 0; p < n; ++p) {
        const TArray1D centred = numeric::VecSub(points[p], DataMean);
        for (int i = 0; i < k; ++i) {
            const TArray1D& c = pc.Components[static_cast<std::size_t>(i)];
            const double length = std::sqrt(numeric::SqNorm(c));
            z[p][static_cast<std::size_t>(i)] = length > 0 ? numeric::VecDot(centred, c) / length : 0.0;
        }
    }

    TArray1D mean(static_cast<std::size_t>(k), 0.0), squares(static_cast<std::size_t>(k), 0.0);
    for (std::size_t i = 0; i < static_cast<std::size_t>(k); ++i) {
        for (std::size_t p = 0; p < n; ++p)
            mean[i] += z[p][i];
        mean[i] /= static_cast<double>(n);
        for (std::size_t p = 0; p < n; ++p) {
            z[p][i] -= mean[i];
            squares[i] += z[p][i] * z[p][i];
        }
    }
    double largest = 0;
    for (double s : squares)
        largest = std::max(largest, std::sqrt(s / static_cast<double>(n)));

    // A reduced coordinate that is (nearly) a combination of the ones kept before it has no
    // spread of its own: the components of data of lower rank than k repeat one another or
    // keep their random start. Its column is checked against an orthonormal basis of the
    // kept columns; the samples themselves are not changed.
    std::vector<std::size_t> kept;
    TArray2D basis;
    TArray1D rest(n);
    for (std::size_t i = 0; i < static_cast<std::size_t>(k); ++i) {
        const double sigma = std::sqrt(squares[i] / static_cast<double>(n));
        if (sigma <= 0 || sigma <= NoSpread * largest)
            continue;
        for (std::size_t p = 0; p < n; ++p)
            rest[p] = z[p][i];
        for (const TArray1D& b : basis) {
            const double along = Dot(rest, b);
            for (std::size_t p = 0; p < n; ++p)
                rest[p] -= along * b[p];
        }
        const double left = Dot(rest, rest);
        if (left <= NoSpread * squares[i])
            continue;
        for (double& r : rest)
            r /= std::sqrt(left);
        basis.push_back(rest);
        kept.push_back(i);
        const TArray1D& c = pc.Components[i];
        Components.push_back(c);
        ReducedMeans.push_back(mean[i]);
        SumsOfSquares.push_back(squares[i]);
        TArray1D scaled(c.size());
        for (std::size_t j = 0; j < c.size(); ++j)
            scaled[j] = c[j] * sigma;
        ScaledComponents.push_back(std::move(scaled));
    }
    Samples.assign(n, TArray1D(kept.size(), 0.0));
    for (std::size_t p = 0; p < n; ++p)
        for (std::size_t i = 0; i < kept.size(); ++i)
            Samples[p][i] = z[p][kept[i]] / std::sqrt(SumsOfSquares[i] / static_cast<double>(n));
    Centre = DataMean;
    return static_cast<int>(kept.size());
}

bool TFastICA::IsWhite() const
{
    const std::size_t n = Samples.size();
    const auto k = static_cast<std::size_t>(Dimension());
    if (n == 0 || k == 0)
        return false;
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i; j < k; ++j) {
            double c = 0;
            for (const TArray1D& z : Samples)
                c += z[i] * z[j];
            c /= static_cast<double>(n);
            if (i == j ? std::fabs(c - 1) > 0.001 : c / static_cast<double>(i + j + 1) > 0.01)
                return false;
        }
    return true;
}

double TFastICA::ContrastEstimate(const TArray1D& w) const
{
    const int m = SampleCount();
    if (m == 0)
        return 0;
    const int n = static_cast<int>(Samples.size());
    double sum = 0;
    for (int draw = 0; draw < m; ++draw)
        sum += ContrastG(Method, Dot(w, Samples[static_cast<std::size_t>(numeric::RandInt(n))]));
    return sum / m;
}

TFastIcaRecord TFastICA::FindOneVector(TArray1D& w) const
{
    const int k = Dimension();
    const std::size_t n = Samples.size();
    TFastIcaRecord record;
    w = numeric::RandomUnitVector(k);
    record.Before = ContrastEstimate(w);
    const bool sampled = SampleSize < 100;
    const int m = SampleCount();
    const int drawRange = static_cast<int>(n);
    TArray1D projections(n), v(static_cast<std::size_t>(k));
    for (int round = 0; round < MaxIterations && n > 0; ++round) {
        const TArray1D old = w;
        for (std::size_t p = 0; p < n; ++p)
            projections[p] = Dot(w, Samples[p]);
        double beta = 0;
        std::fill(v.begin(), v.end(), 0.0);
        if (!sampled) {
            for (std::size_t p = 0; p < n; ++p) {
                beta += ContrastSecond(Method, projections[p]);
                const double g = ContrastDerivative(Method, projections[p]);
                for (std::size_t i = 0; i < v.size(); ++i)
                    v[i] += g * Samples[p][i];
            }
        } else {
            for (int draw = 0; draw < m; ++draw)
                beta += ContrastSecond(Method, projections[static_cast<std::size_t>(numeric::RandInt(drawRange))]);
            for (std::size_t i = 0; i < v.size(); ++i)
                for (int draw = 0; draw < m; ++draw) {
                    const auto q = static_cast<std::size_t>(numeric::RandInt(drawRange));
                    v[i] += ContrastDerivative(Method, projections[q]) * Samples[q][i];
                }
        }
        beta /= static_cast<double>(n);
        for (std::size_t i = 0; i < v.size(); ++i)
            w[i] = v[i] / static_cast<double>(n) - beta * old[i];
        Deflate(w);
        if (ScaleToUnit(w) == 0) {
            // The step left nothing outside the found vectors: the last vector stands.
            w = old;
            break;
        }
        const double change = std::fabs(Dot(w, old)) - 1;
        if (std::fabs(change / k) < Tolerance)
            break;
        ++record.Iterations;
    }
    record.After = ContrastEstimate(w);
    return record;
}

void TFastICA::FindVectors(int a)
{
    Vectors.clear();
    Log.clear();
    Directions.clear();
    const int k = Dimension();
    a = std::clamp(a, 0, k);
    for (int j = 0; j < a; ++j) {
        TArray1D w;
        const TFastIcaRecord record = FindOneVector(w);
        AddVector(w);
        Log.push_back(record);
        LastIterations = record.Iterations;
    }
    for (int j = 0; j < a; ++j) {
        TArray1D e(static_cast<std::size_t>(a), 0.0);
        e[static_cast<std::size_t>(j)] = 1;
        Directions.push_back(BackProject(e));
    }
}

void TFastICA::TakeWhiteComponents()
{
    const auto k = static_cast<std::size_t>(Dimension());
    Vectors.assign(k, TArray1D(k, 0.0));
    for (std::size_t i = 0; i < k; ++i)
        Vectors[i][i] = 1;
    Log.clear();
    Directions = ScaledComponents;
}

TArray1D TFastICA::ProjectPoint(const TArray1D& x) const
{
    const std::size_t k = Components.size();
    const auto n = static_cast<double>(Samples.size());
    if (k == 0 || n == 0)
        return {};
    const TArray1D centred = numeric::VecSub(x, DataMean);
    TArray1D z(k, 0.0);
    for (std::size_t i = 0; i < k; ++i) {
        const double length = std::sqrt(numeric::SqNorm(Components[i]));
        const double reduced = length > 0 ? numeric::VecDot(centred, Components[i]) / length : 0.0;
        z[i] = (reduced - ReducedMeans[i]) / std::sqrt(SumsOfSquares[i] / n);
    }
    TArray1D coordinates;
    for (const TArray1D& v : Vectors)
        coordinates.push_back(Dot(v, z));
    return coordinates;
}

TArray1D TFastICA::BackProject(const TArray1D& c) const
{
    const std::size_t k = ScaledComponents.size();
    TArray1D y(k, 0.0);
    for (std::size_t j = 0; j < Vectors.size() && j < c.size(); ++j)
        for (std::size_t i = 0; i < k && i < Vectors[j].size(); ++i)
            y[i] += c[j] * Vectors[j][i];
    const std::size_t d = k > 0 ? ScaledComponents.front().size() : 0;
    TArray1D direction(d, 0.0);
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = 0; j < d; ++j)
            direction[j] += y[i] * ScaledComponents[i][j];
    return direction;
}

std::string LogNumber(double x)
{
    return data::GeneralText(x).substr(0, 5);
}

TFastIcaRun CalculateFastIca(const data::TData& data, const TFastIcaSettings& settings)
{
    TFastIcaRun run;
    const int d = static_cast<int>(data.Points.empty() ? 0 : data.Points.front().size());
    if (data.Points.empty() || d == 0) {
        run.Message = "The dataset has no points to look for directions in.";
        return run;
    }
    const int asked = settings.Dimension < 0 ? d : settings.Dimension;
    if (asked == 0) {
        run.Message = "\"New dimension\" is 0: the data need at least one dimension.";
        return run;
    }
    const int vectors = std::max(settings.VectorCount, 0);
    if (!settings.OnlyWhite && vectors > 0 && settings.SampleSize <= 0) {
        run.Message = "\"Sample size\" is 0% of all: the estimates need at least one sample.";
        return run;
    }

    if (settings.Seed)
        numeric::SeedRandom(*settings.Seed);
    else
        numeric::SeedRandomFromClock();
    auto ica = std::make_unique<TFastICA>();
    ica->SampleSize = std::min(settings.SampleSize, 100.0);
    ica->MaxIterations = std::max(settings.MaxIterations, 0);
    ica->Method = settings.Method == 1 ? 1 : 0;

    run.Lines.push_back("Whitening data...");
    const int wanted = std::min(asked, d);
    if (asked > d)
        run.Lines.push_back("New dimension " + std::to_string(asked) + " is above the dataset's dimension " +
                            std::to_string(d) + ": " + std::to_string(d) + " is used.");
    const int k = ica->PrepareData(data.Points, wanted);
    if (k < wanted)
        run.Lines.push_back("The data spread in " + std::to_string(k) + " of the " + std::to_string(wanted) +
                            " dimensions only: " + std::to_string(k) + " are used.");
    if (k == 0) {
        run.Message = "The data have no spread: there is no direction to find.";
        return run;
    }
    run.White = ica->IsWhite();
    run.Lines.push_back(run.White ? "The data is white..." : "The data isn't white...");
    run.Lines.push_back("Calculate...");
    if (settings.OnlyWhite) {
        ica->TakeWhiteComponents();
    } else {
        if (vectors > k)
            run.Lines.push_back("Only " + std::to_string(k) + " vectors exist in " + std::to_string(k) +
                                " dimensions: " + std::to_string(k) + " are calculated.");
        ica->FindVectors(vectors);
        for (const TFastIcaRecord& r : ica->Log)
            run.Lines.push_back("B:" + LogNumber(r.Before) + " A:" + LogNumber(r.After) +
                                " I:" + std::to_string(r.Iterations));
    }
    run.Lines.push_back("Finished...");
    for (int i = 0; i < d; ++i) {
        std::string line = PaddedName(
            static_cast<std::size_t>(i) < data.CoordNames.size() ? data.CoordNames[static_cast<std::size_t>(i)] : "",
            10);
        for (const TArray1D& direction : ica->Directions)
            line += " " + LogNumber(data::DenormaliseValue(data, i, direction[static_cast<std::size_t>(i)]));
        run.Lines.push_back(std::move(line));
    }
    run.Projector = std::move(ica);
    return run;
}

} // namespace orbelin::analysis

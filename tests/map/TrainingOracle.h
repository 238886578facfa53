// A plain dense implementation of map training, step by step as the method reads, kept as
// the oracle of the fast engine: dense N x N matrices, every point scanned against every
// node for the assignment and again for the energy, one coordinate solved after another.
// Also the seeded test data shared by the tests and the benchmarks.
#pragma once

#include "data/TData.h"
#include "map/TMap.h"
#include "numeric/LinearAlgebra.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace orbelin::map::oracle {

/// The training state of one map, copied out of a TMap.
struct TOracleMap {
    TArray2D Nodes;
    TArray2I Edges, Ribs;
    TArray1D EdgeWeights, RibWeights;
    int TopologyDim = 2;
    double Lambda = 1, Mu = 1, Tolerance = 1e-5;
    int MaxIterations = 10000;
    bool UseWeights = false;

    int IterationCount = 0;
    bool StopRequested = false;
    double PreviousEnergy = 1e100, ApproximationError = 0, StretchingEnergy = 0, BendingEnergy = 0, TotalEnergy = 0;
    TArray1I TaxonSizes;
    TArray1D TaxonWeights;
    TArray2I TaxonMembers;
    TArray2D SystemMatrix;
};

inline TOracleMap FromMap(const TMap& map)
{
    TOracleMap m;
    const TNetGrid& g = *map.Grid;
    m.Nodes = g.Nodes;
    m.Edges = g.Edges;
    m.Ribs = g.Ribs;
    m.EdgeWeights = g.EdgeWeights;
    m.RibWeights = g.RibWeights;
    m.TopologyDim = g.TopologyDim;
    m.Lambda = map.Lambda;
    m.Mu = map.Mu;
    m.Tolerance = map.Tolerance;
    m.MaxIterations = map.MaxIterations;
    m.UseWeights = map.UseWeights;
    m.IterationCount = map.IterationCount;
    m.StopRequested = map.StopRequested;
    m.PreviousEnergy = map.PreviousEnergy;
    m.TotalEnergy = map.TotalEnergy;
    return m;
}

/// The points and their weights (an empty vector: no weights).
struct TOracleData {
    const TArray2D* Points = nullptr;
    const TArray1D* Weights = nullptr;
    bool Weighted(const TOracleMap& m) const { return m.UseWeights && Weights->size() == Points->size(); }
};

inline void Assign(TOracleMap& m, const TOracleData& data)
{
    const std::size_t nodes = m.Nodes.size(), points = data.Points->size();
    m.TaxonSizes.assign(nodes, 0);
    m.TaxonWeights.assign(nodes, 0.0);
    m.TaxonMembers.assign(nodes, TArray1I());
    for (std::size_t p = 0; p < points; ++p) {
        const TArray1D& x = (*data.Points)[p];
        double best = 1e100;
        int nearest = -1;
        for (std::size_t i = 0; i < nodes; ++i) {
            double s = 0.0;
            for (std::size_t k = 0; k < x.size(); ++k)
                if (!IsMissing(x[k])) {
                    const double t = x[k] - m.Nodes[i][k];
                    s += t * t;
                }
            if (s < best) {
                best = s;
                nearest = static_cast<int>(i);
            }
        }
        if (nearest < 0)
            continue;
        m.TaxonMembers[static_cast<std::size_t>(nearest)].push_back(static_cast<std::int32_t>(p));
        ++m.TaxonSizes[static_cast<std::size_t>(nearest)];
        if (data.Weighted(m))
            m.TaxonWeights[static_cast<std::size_t>(nearest)] += (*data.Weights)[p];
    }
}

inline double Divisor(const TOracleMap& m, const TOracleData& data)
{
    return data.Weighted(m) ? numeric::VecSum(*data.Weights) : static_cast<double>(data.Points->size());
}

inline void BuildSystem(TOracleMap& m, const TOracleData& data)
{
    const std::size_t n = m.Nodes.size();
    TArray2D stretch(n, TArray1D(n, 0.0)), bend(n, TArray1D(n, 0.0));
    for (std::size_t e = 0; e < m.Edges.size(); ++e) {
        const auto a = static_cast<std::size_t>(m.Edges[e][0]), b = static_cast<std::size_t>(m.Edges[e][1]);
        const double w = m.EdgeWeights[e];
        stretch[a][a] += w;
        stretch[b][b] += w;
        stretch[a][b] -= w;
        stretch[b][a] -= w;
    }
    for (std::size_t r = 0; r < m.Ribs.size(); ++r) {
        const auto c = static_cast<std::size_t>(m.Ribs[r][0]), a = static_cast<std::size_t>(m.Ribs[r][1]),
                   b = static_cast<std::size_t>(m.Ribs[r][2]);
        const double w = m.RibWeights[r];
        bend[a][a] += w;
        bend[c][c] += 4 * w;
        bend[b][b] += w;
        bend[a][c] -= 2 * w;
        bend[c][a] -= 2 * w;
        bend[c][b] -= 2 * w;
        bend[b][c] -= 2 * w;
        bend[a][b] += w;
        bend[b][a] += w;
    }
    const int b = m.TopologyDim;
    const double scale = std::pow(static_cast<double>(n), (2.0 - b) / b);
    const double lambda = m.Lambda * scale / 100, mu = m.Mu * scale / std::pow(10.0, b);
    m.SystemMatrix.assign(n, TArray1D(n, 0.0));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            m.SystemMatrix[i][j] = lambda * stretch[i][j] + mu * bend[i][j];
    const double divisor = Divisor(m, data);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = data.Weighted(m) ? m.TaxonWeights[i] / divisor : m.TaxonSizes[i] / divisor;
        m.SystemMatrix[i][i] += m.Lambda < 0 ? -t : t;
    }
}

/// One step; false when a solve did not stay finite (the nodes then keep their places).
inline bool Step(TOracleMap& m, const TOracleData& data)
{
    if (m.MaxIterations == 0) {
        m.StopRequested = true;
        return false;
    }
    Assign(m, data);
    BuildSystem(m, data);
    const std::size_t n = m.Nodes.size(), d = m.Nodes[0].size();
    const double divisor = Divisor(m, data);
    TArray2D solved(d);
    for (std::size_t k = 0; k < d; ++k) {
        TArray1D rhs(n, 0.0), x(n);
        for (std::size_t i = 0; i < n; ++i) {
            double sum = 0.0;
            for (std::int32_t p : m.TaxonMembers[i]) {
                const double v = (*data.Points)[static_cast<std::size_t>(p)][k];
                if (!IsMissing(v))
                    sum += data.Weighted(m) ? v * (*data.Weights)[static_cast<std::size_t>(p)] : v;
            }
            rhs[i] = sum / divisor;
            x[i] = IsMissing(m.Nodes[i][k]) ? 0.0 : m.Nodes[i][k];
        }
        const numeric::TSolveResult result =
            numeric::GaussSeidelSolve(static_cast<int>(n), m.SystemMatrix, rhs, x, m.Tolerance);
        for (double v : x)
            if (result.Status == numeric::TSolveStatus::NotFinite || !std::isfinite(v)) {
                m.StopRequested = true;
                return false;
            }
        solved[k] = x;
    }
    for (std::size_t k = 0; k < d; ++k)
        for (std::size_t i = 0; i < n; ++i)
            m.Nodes[i][k] = solved[k][i];
    ++m.IterationCount;
    if (m.MaxIterations != -1 && m.IterationCount > m.MaxIterations)
        m.StopRequested = true;
    if (std::fabs(m.PreviousEnergy - m.TotalEnergy) < m.Tolerance)
        m.StopRequested = true;
    return true;
}

inline void Energy(TOracleMap& m, const TOracleData& data)
{
    const std::size_t n = m.Nodes.size();
    double approximation = 0.0;
    for (const TArray1D& x : *data.Points) {
        double best = 1e100;
        for (const TArray1D& y : m.Nodes) {
            const double s = numeric::SqEuclideanDistance(x, y);
            if (s < best)
                best = s;
        }
        if (best < 1e100)
            approximation += best;
    }
    approximation /= static_cast<double>(data.Points->size());
    double stretching = 0.0;
    for (std::size_t e = 0; e < m.Edges.size(); ++e)
        stretching += m.EdgeWeights[e] * numeric::SqEuclideanDistance(m.Nodes[static_cast<std::size_t>(m.Edges[e][0])],
                                                                      m.Nodes[static_cast<std::size_t>(m.Edges[e][1])]);
    double bending = 0.0;
    for (std::size_t r = 0; r < m.Ribs.size(); ++r) {
        const TArray1D& yc = m.Nodes[static_cast<std::size_t>(m.Ribs[r][0])];
        const TArray1D& ya = m.Nodes[static_cast<std::size_t>(m.Ribs[r][1])];
        const TArray1D& yb = m.Nodes[static_cast<std::size_t>(m.Ribs[r][2])];
        double s = 0.0;
        for (std::size_t k = 0; k < ya.size(); ++k)
            if (!IsMissing(ya[k]) && !IsMissing(yb[k]) && !IsMissing(yc[k])) {
                const double t = ya[k] + yb[k] - 2 * yc[k];
                s += t * t;
            }
        bending += m.RibWeights[r] * s;
    }
    m.ApproximationError = approximation;
    m.StretchingEnergy = m.Lambda * stretching / static_cast<double>(n);
    m.BendingEnergy = m.Mu * bending / static_cast<double>(n);
    m.PreviousEnergy = m.TotalEnergy;
    m.TotalEnergy = m.ApproximationError + m.Lambda * m.StretchingEnergy + m.Mu * m.BendingEnergy;
}

/// Steps, each followed by the energy, until a stop; afterStep after each when given.
template <class TAfterStep>
void Train(TOracleMap& m, const TOracleData& data, TAfterStep&& afterStep)
{
    do {
        Step(m, data);
        Energy(m, data);
        afterStep();
    } while (!m.StopRequested);
}

inline void Train(TOracleMap& m, const TOracleData& data)
{
    Train(m, data, [] {});
}

/// n points near a curved two-dimensional sheet in d >= 3 coordinates, turned by a random
/// rotation, with noise, each coordinate standardised; every gapEvery-th value missing
/// when gapEvery > 0. The same for the same seed on every machine.
inline void MakeSheet(data::TData& dataset, int n, int d, std::uint64_t seed, int gapEvery = 0)
{
    std::mt19937_64 random(seed);
    const auto uniform = [&random] { return static_cast<double>(random() >> 11) * 0x1.0p-53; };
    const auto normal = [&uniform] {
        const double u = 1 - uniform(), v = uniform();
        return std::sqrt(-2 * std::log(u)) * std::cos(6.283185307179586 * v);
    };
    const auto dd = static_cast<std::size_t>(d);
    // A random rotation: Gram-Schmidt on random rows.
    TArray2D rotation(dd, TArray1D(dd));
    for (std::size_t r = 0; r < dd; ++r) {
        for (double& v : rotation[r])
            v = normal();
        for (std::size_t q = 0; q < r; ++q) {
            const double dot = numeric::VecDot(rotation[r], rotation[q]);
            for (std::size_t k = 0; k < dd; ++k)
                rotation[r][k] -= dot * rotation[q][k];
        }
        const double norm = std::sqrt(numeric::SqNorm(rotation[r]));
        for (double& v : rotation[r])
            v /= norm;
    }
    dataset.Name = "sheet";
    dataset.CoordCount = d;
    dataset.PointCount = n;
    dataset.Points.assign(static_cast<std::size_t>(n), TArray1D(dd, 0.0));
    dataset.NUMXI.resize(static_cast<std::size_t>(n));
    TArray1D local(dd);
    for (std::size_t p = 0; p < static_cast<std::size_t>(n); ++p) {
        dataset.NUMXI[p] = static_cast<std::int32_t>(p);
        const double u = 2 * uniform() - 1, v = 2 * uniform() - 1;
        std::fill(local.begin(), local.end(), 0.0);
        local[0] = 3 * u;
        local[1] = 2 * v;
        local[2] = 1.5 * std::sin(2 * u) * std::cos(v);
        for (std::size_t k = 3; k < dd; ++k)
            local[k] = 0.05 * normal();
        for (std::size_t r = 0; r < dd; ++r)
            dataset.Points[p][r] = numeric::VecDot(rotation[r], local);
    }
    for (std::size_t k = 0; k < dd; ++k) {
        double mean = 0, square = 0;
        for (const TArray1D& x : dataset.Points)
            mean += x[k];
        mean /= n;
        for (const TArray1D& x : dataset.Points)
            square += (x[k] - mean) * (x[k] - mean);
        const double deviation = std::sqrt(square / n);
        for (TArray1D& x : dataset.Points)
            x[k] = (x[k] - mean) / deviation;
    }
    if (gapEvery > 0) {
        long long counter = 0;
        for (TArray1D& x : dataset.Points)
            for (double& v : x)
                if (++counter % gapEvery == 0)
                    v = Missing();
    }
}

} // namespace orbelin::map::oracle

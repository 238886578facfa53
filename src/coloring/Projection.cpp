// Projection of points onto a map's nodes and cells, the projection table and its export.
//
// Every sum skips the coordinates where a missing value is involved, and differences,
// scalings and sums of vectors propagate missing values, exactly as the vector routines
// do; the loops below follow those routines term by term and in the same order, so a
// projection is the same number whichever way it is computed.
#include "coloring/Projection.h"

#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "map/TMap.h"
#include "map/TNetGrid.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <cstddef>

namespace orbelin::coloring {
namespace {

constexpr double NoScore = 1e100;

inline bool Absent(double v)
{
    return IsMissing(v);
}

// a - b with missing propagation, as VecSub.
inline double Sub(double a, double b)
{
    return Absent(a) || Absent(b) ? Missing() : a - b;
}

// a + e * s with missing propagation, as VecAdd(a, VecScale(e, s)).
inline double AddScaled(double a, double e, double s)
{
    return Absent(a) || Absent(e) ? Missing() : a + e * s;
}

inline double Det3(const double m[3][3])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// Cramer's rule for g t = r; a determinant of exactly 0 becomes 1e-10.
void Solve3(const double g[3][3], const double r[3], double t[3])
{
    double det = Det3(g);
    if (det == 0)
        det = 1e-10;
    for (int c = 0; c < 3; ++c) {
        double m[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = j == c ? r[i] : g[i][j];
        t[c] = Det3(m) / det;
    }
}

} // namespace

TProjector::TProjector(const map::TNetGrid& grid)
{
    N_ = grid.NodeCount();
    D_ = N_ > 0 ? static_cast<int>(grid.Nodes[0].size()) : 0;
    const auto n = static_cast<std::size_t>(N_), d = static_cast<std::size_t>(D_);
    Nodes_.assign(n * d, Missing());
    for (std::size_t i = 0; i < n; ++i)
        std::copy_n(grid.Nodes[i].begin(), std::min(d, grid.Nodes[i].size()),
                    Nodes_.begin() + static_cast<std::ptrdiff_t>(i * d));

    Kind_ = grid.TopologyDim == 1 || grid.TopologyDim == 3 ? grid.TopologyDim : 2;
    const TArray2D& internal = Kind_ == 3 && grid.Lattice.size() == n ? grid.Lattice : grid.Internal;
    Internal_.assign(n * 3, 0.0);
    for (std::size_t i = 0; i < n && i < internal.size(); ++i)
        for (std::size_t k = 0; k < 3 && k < internal[i].size(); ++k)
            Internal_[i * 3 + k] = internal[i][k];

    const TArray2I& cells = Kind_ == 1 ? grid.Edges : Kind_ == 3 ? grid.Tetrahedra : grid.Triangles;
    CellSize_ = Kind_ + 1;
    const auto size = static_cast<std::size_t>(CellSize_);
    Cells_.assign(cells.size() * size, 0);
    // Cells naming nodes that do not exist are never candidates.
    std::vector<char> usable(cells.size(), 1);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (cells[c].size() < size)
            usable[c] = 0;
        for (std::size_t k = 0; k < size && usable[c]; ++k) {
            const int v = cells[c][k];
            if (v < 0 || v >= N_)
                usable[c] = 0;
            else
                Cells_[c * size + k] = v;
        }
    }
    // Per node, the usable cells it belongs to in list order (once even if a cell names
    // it twice).
    CellStart_.assign(n + 1, 0);
    const auto forEachIncidence = [&](auto&& visit) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (!usable[c])
                continue;
            for (std::size_t k = 0; k < size; ++k) {
                const int v = Cells_[c * size + k];
                bool repeated = false;
                for (std::size_t j = 0; j < k; ++j)
                    repeated = repeated || Cells_[c * size + j] == v;
                if (!repeated)
                    visit(v, static_cast<std::int32_t>(c));
            }
        }
    };
    forEachIncidence([&](int v, std::int32_t) { ++CellStart_[static_cast<std::size_t>(v) + 1]; });
    for (std::size_t i = 0; i < n; ++i)
        CellStart_[i + 1] += CellStart_[i];
    NodeCells_.assign(static_cast<std::size_t>(CellStart_[n]), 0);
    std::vector<std::int32_t> fill(CellStart_.begin(), CellStart_.end() - 1);
    forEachIncidence(
        [&](int v, std::int32_t c) { NodeCells_[static_cast<std::size_t>(fill[static_cast<std::size_t>(v)]++)] = c; });

    if (Kind_ == 2 && !grid.TriangleShift.empty() && grid.TriangleShift.size() == grid.Triangles.size()) {
        Shifted_ = true;
        Shifts_.assign(grid.Triangles.size() * 3, 0.0);
        for (std::size_t t = 0; t < grid.Triangles.size(); ++t)
            for (std::size_t k = 0; k < 3 && k < grid.TriangleShift[t].size(); ++k)
                Shifts_[t * 3 + k] = grid.TriangleShift[t][k];
    }
}

TNodeProjection TProjector::ClosestNode(const double* x) const
{
    TNodeProjection result;
    double best = NoScore;
    for (int i = 0; i < N_; ++i) {
        const double* y = Node(i);
        double s = 0.0;
        for (int k = 0; k < D_; ++k)
            if (!Absent(x[k]) && !Absent(y[k])) {
                const double d = x[k] - y[k];
                s += d * d;
            }
        if (s < best) {
            best = s;
            result.Node = i;
        }
    }
    if (N_ > 0) {
        const double* u = Internal_.data() + static_cast<std::size_t>(result.Node) * 3;
        result.Internal = {u[0], u[1], Kind_ == 3 ? u[2] : 0.0};
    }
    return result;
}

TProjector::TScore TProjector::EdgeScore(const double* x, const double* a, const double* b) const
{
    double num = 0.0, den = 0.0;
    for (int k = 0; k < D_; ++k) {
        const double e = Sub(b[k], a[k]);
        const double d = Sub(x[k], a[k]);
        if (!Absent(d) && !Absent(e))
            num += d * e;
        if (!Absent(e) && !Absent(x[k]))
            den += e * e;
    }
    // An edge of zero length over the point's coordinates has no direction: its start is
    // as near as any of its points.
    double t = den == 0.0 ? 0.0 : num / den;
    if (t < 0)
        t = 0;
    if (t > 1)
        t = 1;
    double score = 0.0;
    for (int k = 0; k < D_; ++k) {
        const double foot = AddScaled(a[k], Sub(b[k], a[k]), t);
        if (!Absent(x[k]) && !Absent(foot)) {
            const double d = x[k] - foot;
            score += d * d;
        }
    }
    return {score, {t, 0, 0}};
}

TProjector::TScore TProjector::TriangleScore(const double* x, const double* a, const double* b, const double* c) const
{
    double a11 = 0, a22 = 0, a12 = 0, b1 = 0, b2 = 0;
    for (int k = 0; k < D_; ++k) {
        const double e1 = Sub(b[k], a[k]), e2 = Sub(c[k], a[k]), d = Sub(x[k], a[k]);
        const bool xPresent = !Absent(x[k]);
        if (!Absent(e1) && xPresent)
            a11 += e1 * e1;
        if (!Absent(e2) && xPresent)
            a22 += e2 * e2;
        if (!Absent(e1) && !Absent(e2))
            a12 += e1 * e2;
        if (!Absent(d) && !Absent(e1) && xPresent)
            b1 += d * e1;
        if (!Absent(d) && !Absent(e2) && xPresent)
            b2 += d * e2;
    }
    double det = a11 * a22 - a12 * a12;
    if (det == 0)
        det = 1e-10;
    double s = (b1 * a22 - a12 * b2) / det;
    double t = (b2 * a11 - a12 * b1) / det;
    if (s >= 0 && t >= 0 && s + t <= 1)
        return {0.0, {s, t, 0}};

    const TScore ab = EdgeScore(x, a, b), ac = EdgeScore(x, a, c), cb = EdgeScore(x, c, b);
    const double m = std::min(ab.Score, std::min(ac.Score, cb.Score));
    if (m == ab.Score) {
        s = ab.P[0];
        t = 0;
    } else if (m == ac.Score) {
        s = 0;
        t = ac.P[0];
    } else {
        // The foot C + t3 (B - C) on the edges from A.
        s = cb.P[0];
        t = 1 - cb.P[0];
    }
    double score = 0.0;
    for (int k = 0; k < D_; ++k) {
        const double foot = AddScaled(AddScaled(a[k], Sub(b[k], a[k]), s), Sub(c[k], a[k]), t);
        if (!Absent(x[k]) && !Absent(foot)) {
            const double d = x[k] - foot;
            score += d * d;
        }
    }
    return {score, {s, t, 0}};
}

TProjector::TScore TProjector::TetrahedronScore(const double* x, const std::int32_t* cell) const
{
    const double *a = Node(cell[0]), *b = Node(cell[1]), *c = Node(cell[2]), *dd = Node(cell[3]);
    double g[3][3] = {};
    // Normal equations of the foot of f on the three edges from A.
    const auto rightSide = [&](const auto& f, double r[3]) {
        r[0] = r[1] = r[2] = 0;
        for (int k = 0; k < D_; ++k) {
            const double diff = Sub(f(k), a[k]);
            const double e[3] = {Sub(b[k], a[k]), Sub(c[k], a[k]), Sub(dd[k], a[k])};
            for (int j = 0; j < 3; ++j)
                if (!Absent(diff) && !Absent(e[j]))
                    r[j] += diff * e[j];
        }
    };
    for (int k = 0; k < D_; ++k) {
        const double e[3] = {Sub(b[k], a[k]), Sub(c[k], a[k]), Sub(dd[k], a[k])};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (!Absent(e[i]) && !Absent(e[j]))
                    g[i][j] += e[i] * e[j];
    }
    double r[3], p[3];
    rightSide([&](int k) { return x[k]; }, r);
    Solve3(g, r, p);
    if (p[0] >= 0 && p[1] >= 0 && p[2] >= 0 && p[0] + p[1] + p[2] <= 1)
        return {0.0, {p[0], p[1], p[2]}};

    const TScore abc = TriangleScore(x, a, b, c), abd = TriangleScore(x, a, b, dd), bcd = TriangleScore(x, b, c, dd),
                 acd = TriangleScore(x, a, c, dd);
    const double m = std::min(std::min(abc.Score, abd.Score), std::min(acd.Score, bcd.Score));
    if (m == abc.Score) {
        p[0] = abc.P[0], p[1] = abc.P[1], p[2] = 0;
    } else if (m == abd.Score) {
        p[0] = abd.P[0], p[1] = 0, p[2] = abd.P[1];
    } else if (m == acd.Score) {
        p[0] = 0, p[1] = acd.P[0], p[2] = acd.P[1];
    } else {
        const double s = bcd.P[0], t = bcd.P[1];
        rightSide([&](int k) { return AddScaled(AddScaled(b[k], Sub(c[k], b[k]), s), Sub(dd[k], b[k]), t); }, r);
        Solve3(g, r, p);
    }
    double score = 0.0;
    for (int k = 0; k < D_; ++k) {
        const double foot =
            AddScaled(AddScaled(AddScaled(a[k], Sub(b[k], a[k]), p[0]), Sub(c[k], a[k]), p[1]), Sub(dd[k], a[k]), p[2]);
        if (!Absent(x[k]) && !Absent(foot)) {
            const double diff = x[k] - foot;
            score += diff * diff;
        }
    }
    return {score, {p[0], p[1], p[2]}};
}

std::array<double, 3> TProjector::ClosestPoint(const double* x, double* projection) const
{
    if (N_ == 0)
        return {};
    const int n = ClosestNode(x).Node;
    const std::int32_t* first = NodeCells_.data() + CellStart_[static_cast<std::size_t>(n)];
    const std::int32_t* last = NodeCells_.data() + CellStart_[static_cast<std::size_t>(n) + 1];
    const auto size = static_cast<std::size_t>(CellSize_);
    const double* u0 = Internal_.data() + static_cast<std::size_t>(n) * 3;
    if (first == last) {
        // A node outside every cell (left by growth, or by a file) is its own projection.
        if (projection)
            std::copy_n(Node(n), D_, projection);
        return {u0[0], u0[1], u0[2]};
    }

    TScore best{NoScore, {0, 0, 0}};
    std::int32_t winner = *first;
    for (const std::int32_t* c = first; c != last; ++c) {
        const std::int32_t* v = Cells_.data() + static_cast<std::size_t>(*c) * size;
        TScore score;
        if (Kind_ == 1)
            score = EdgeScore(x, Node(v[0]), Node(v[1]));
        else if (Kind_ == 2)
            score = TriangleScore(x, Node(v[0]), Node(v[1]), Node(v[2]));
        else
            score = TetrahedronScore(x, v);
        if (score.Score < best.Score) {
            best = score;
            winner = *c;
        }
    }

    const std::int32_t* v = Cells_.data() + static_cast<std::size_t>(winner) * size;
    const int params = CellSize_ - 1;
    if (projection) {
        const double* y0 = Node(v[0]);
        for (int k = 0; k < D_; ++k) {
            double value = y0[k];
            for (int j = 0; j < params; ++j)
                value = AddScaled(value, Sub(Node(v[j + 1])[k], y0[k]), best.P[j]);
            projection[k] = value;
        }
    }
    std::array<double, 3> internal{};
    const double* w0 = Internal_.data() + static_cast<std::size_t>(v[0]) * 3;
    for (int k = 0; k < 3; ++k) {
        double value = w0[k];
        for (int j = 0; j < params; ++j)
            value = AddScaled(value,
                              Internal_[static_cast<std::size_t>(v[j + 1]) * 3 + static_cast<std::size_t>(k)] - w0[k],
                              best.P[j]);
        internal[static_cast<std::size_t>(k)] = value;
    }
    if (Shifted_)
        for (std::size_t k = 0; k < 3; ++k)
            internal[k] += Shifts_[static_cast<std::size_t>(winner) * 3 + k];
    return internal;
}

namespace {

// The point's coordinates padded with missing values (or cut) to the grid's dimension.
std::vector<double> Padded(numeric::TVecView point, int d)
{
    std::vector<double> x(static_cast<std::size_t>(d), Missing());
    std::copy_n(point.begin(), std::min(point.size(), x.size()), x.begin());
    return x;
}

} // namespace

TNodeProjection ProjectToClosestNode(const map::TNetGrid& grid, numeric::TVecView point)
{
    const TProjector projector(grid);
    return projector.ClosestNode(Padded(point, projector.Dimension()).data());
}

TPointProjection ProjectToClosestPoint(const map::TNetGrid& grid, numeric::TVecView point)
{
    const TProjector projector(grid);
    TPointProjection result;
    result.Point.assign(static_cast<std::size_t>(projector.Dimension()), 0.0);
    result.Internal = projector.ClosestPoint(Padded(point, projector.Dimension()).data(), result.Point.data());
    return result;
}

TArray2D ProjectPoints(const map::TNetGrid& grid, const TArray2D& points, int projectorType)
{
    const TProjector projector(grid);
    const auto n = static_cast<std::ptrdiff_t>(points.size());
    const auto d = static_cast<std::size_t>(projector.Dimension());
    TArray2D table(points.size(), TArray1D(3, 0.0));
    // Each point is projected on its own, so any split over threads gives the same table.
#pragma omp parallel
    {
        std::vector<double> x(d);
#pragma omp for schedule(dynamic, 64)
        for (std::ptrdiff_t p = 0; p < n; ++p) {
            const TArray1D& row = points[static_cast<std::size_t>(p)];
            std::fill(x.begin(), x.end(), Missing());
            std::copy_n(row.begin(), std::min(row.size(), d), x.begin());
            const std::array<double, 3> u = projectorType == map::ProjectInClosestNode
                                                ? projector.ClosestNode(x.data()).Internal
                                                : projector.ClosestPoint(x.data(), nullptr);
            std::copy(u.begin(), u.end(), table[static_cast<std::size_t>(p)].begin());
        }
    }
    return table;
}

bool EnsureProjections(map::TMap& map)
{
    if (map.ProjectionsValid)
        return true;
    if (!map.Grid || !map.Data || map.Grid->NodeCount() == 0 ||
        static_cast<int>(map.Grid->Nodes[0].size()) != map.Data->CoordCount)
        return false;
    map.Projections = ProjectPoints(*map.Grid, map.Data->Points, map.ProjectorType);
    map.ProjectionsValid = true;
    return true;
}

void InvalidateProjections(map::TMap& map)
{
    map.ProjectionsValid = false;
}

void WriteProjections(map::TMap& map, const std::string& path)
{
    if (!EnsureProjections(map))
        throw TError("cannot export the projections of map " + map.Name + " to " + path +
                     ": the map has no grid of its dataset's dimension to project onto");
    data::TRWFile file;
    file.CreateForWriting(path);
    for (const TArray1D& row : map.Projections)
        file.WriteLine(data::GeneralText(row[0]) + " " + data::GeneralText(row[1]));
    file.Close();
}

} // namespace orbelin::coloring

// Projection of points onto maps: closest node, closest point on edges, triangles and
// tetrahedra, the projection table and its export.
#include "coloring/Projection.h"
#include "TestUtil.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "map/TNetGrid.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"
#include "numeric/VectorRoutines.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <bit>
#include <cstdint>

namespace orbelin::coloring {
namespace {

using namespace orbelin::numeric;
using map::TNetGrid;

// ---------------------------------------------------------------------------------------
// The method as written, with the vector routines and a scan of the whole cell list: the
// oracle for the fast projector.

struct TOracleScore {
    double Score;
    double P[3];
};

int OracleClosestNode(const TNetGrid& g, const TArray1D& x)
{
    double best = 1e100;
    int winner = 0;
    for (int i = 0; i < g.NodeCount(); ++i) {
        const double d = SqEuclideanDistance(g.Nodes[static_cast<std::size_t>(i)], x);
        if (d < best) {
            best = d;
            winner = i;
        }
    }
    return winner;
}

TOracleScore OracleEdge(const TArray1D& x, const TArray1D& a, const TArray1D& b)
{
    const TArray1D e = VecSub(b, a);
    const double den = MaskedSqNorm(e, x);
    double t = den == 0 ? 0 : VecDot(VecSub(x, a), e) / den;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return {SqEuclideanDistance(x, VecAdd(a, VecScale(e, t))), {t, 0, 0}};
}

TOracleScore OracleTriangle(const TArray1D& x, const TArray1D& a, const TArray1D& b, const TArray1D& c)
{
    const TArray1D e1 = VecSub(b, a), e2 = VecSub(c, a), xa = VecSub(x, a);
    const double a11 = MaskedSqNorm(e1, x), a22 = MaskedSqNorm(e2, x), a12 = VecDot(e1, e2);
    const double b1 = MaskedDot(xa, e1, x), b2 = MaskedDot(xa, e2, x);
    double det = a11 * a22 - a12 * a12;
    if (det == 0)
        det = 1e-10;
    double s = (b1 * a22 - a12 * b2) / det, t = (b2 * a11 - a12 * b1) / det;
    if (s >= 0 && t >= 0 && s + t <= 1)
        return {0, {s, t, 0}};
    const TOracleScore d1 = OracleEdge(x, a, b), d2 = OracleEdge(x, a, c), d3 = OracleEdge(x, c, b);
    const double m = std::min({d1.Score, d2.Score, d3.Score});
    if (m == d1.Score)
        s = d1.P[0], t = 0;
    else if (m == d2.Score)
        s = 0, t = d2.P[0];
    else
        s = d3.P[0], t = 1 - d3.P[0];
    return {SqEuclideanDistance(x, VecAdd(VecAdd(a, VecScale(e1, s)), VecScale(e2, t))), {s, t, 0}};
}

double Det(const double m[3][3])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

void Cramer(const double g[3][3], const double r[3], double out[3])
{
    double det = Det(g);
    if (det == 0)
        det = 1e-10;
    for (int c = 0; c < 3; ++c) {
        double m[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = j == c ? r[i] : g[i][j];
        out[c] = Det(m) / det;
    }
}

TOracleScore OracleTetrahedron(const TArray1D& x, const TArray1D& a, const TArray1D& b, const TArray1D& c,
                               const TArray1D& d)
{
    const TArray1D e[3] = {VecSub(b, a), VecSub(c, a), VecSub(d, a)};
    double g[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            g[i][j] = i == j ? SqNorm(e[i]) : VecDot(e[i], e[j]);
    const auto solveFor = [&](const TArray1D& f, double p[3]) {
        const TArray1D fa = VecSub(f, a);
        const double r[3] = {VecDot(fa, e[0]), VecDot(fa, e[1]), VecDot(fa, e[2])};
        Cramer(g, r, p);
    };
    double p[3];
    solveFor(x, p);
    if (p[0] >= 0 && p[1] >= 0 && p[2] >= 0 && p[0] + p[1] + p[2] <= 1)
        return {0, {p[0], p[1], p[2]}};
    const TOracleScore abc = OracleTriangle(x, a, b, c), abd = OracleTriangle(x, a, b, d),
                       acd = OracleTriangle(x, a, c, d), bcd = OracleTriangle(x, b, c, d);
    const double m = std::min({abc.Score, abd.Score, acd.Score, bcd.Score});
    if (m == abc.Score) {
        p[0] = abc.P[0], p[1] = abc.P[1], p[2] = 0;
    } else if (m == abd.Score) {
        p[0] = abd.P[0], p[1] = 0, p[2] = abd.P[1];
    } else if (m == acd.Score) {
        p[0] = 0, p[1] = acd.P[0], p[2] = acd.P[1];
    } else {
        const TArray1D f = VecAdd(VecAdd(b, VecScale(VecSub(c, b), bcd.P[0])), VecScale(VecSub(d, b), bcd.P[1]));
        solveFor(f, p);
    }
    const TArray1D foot = VecAdd(VecAdd(VecAdd(a, VecScale(e[0], p[0])), VecScale(e[1], p[1])), VecScale(e[2], p[2]));
    return {SqEuclideanDistance(x, foot), {p[0], p[1], p[2]}};
}

TPointProjection OracleClosestPoint(const TNetGrid& g, const TArray1D& x)
{
    const int kind = g.TopologyDim;
    const TArray2I& cells = kind == 1 ? g.Edges : kind == 3 ? g.Tetrahedra : g.Triangles;
    const TArray2D& u = kind == 3 ? g.Lattice : g.Internal;
    const int n = OracleClosestNode(g, x);
    const auto node = [&](int i) { return g.Nodes[static_cast<std::size_t>(i)]; };
    double best = 1e100;
    int winner = -1;
    double params[3] = {0, 0, 0};
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const TArray1I& v = cells[c];
        if (std::find(v.begin(), v.end(), n) == v.end())
            continue;
        if (winner < 0)
            winner = static_cast<int>(c);
        const TOracleScore s = kind == 1   ? OracleEdge(x, node(v[0]), node(v[1]))
                               : kind == 2 ? OracleTriangle(x, node(v[0]), node(v[1]), node(v[2]))
                                           : OracleTetrahedron(x, node(v[0]), node(v[1]), node(v[2]), node(v[3]));
        if (s.Score < best) {
            best = s.Score;
            winner = static_cast<int>(c);
            std::copy(s.P, s.P + 3, params);
        }
    }
    const TArray1I& v = cells[static_cast<std::size_t>(winner)];
    TArray1D point = node(v[0]), internal = u[static_cast<std::size_t>(v[0])];
    for (std::size_t j = 1; j < v.size(); ++j) {
        point = VecAdd(point, VecScale(VecSub(node(v[j]), node(v[0])), params[j - 1]));
        internal =
            VecAdd(internal, VecScale(VecSub(u[static_cast<std::size_t>(v[j])], u[static_cast<std::size_t>(v[0])]),
                                      params[j - 1]));
    }
    if (kind == 2 && !g.TriangleShift.empty())
        internal = VecAdd(internal, g.TriangleShift[static_cast<std::size_t>(winner)]);
    return {point, {internal[0], internal[1], internal[2]}};
}

// ---------------------------------------------------------------------------------------

bool Same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

double Draw(double lo, double hi)
{
    return lo + (hi - lo) * RandInt(100000) / 100000.0;
}

// A built grid whose nodes are scattered in d dimensions around its own layout, with a
// few coordinates missing.
std::unique_ptr<map::TRectangularGrid> CrumpledGrid(int type, int p, int q, int r, int d, bool missingNodes)
{
    auto g = map::CreateGrid(type, p, q, r, d);
    const TArray2D& u = g->TopologyDim == 3 ? g->Lattice : g->Internal;
    for (std::size_t i = 0; i < g->Nodes.size(); ++i)
        for (std::size_t k = 0; k < g->Nodes[i].size(); ++k) {
            g->Nodes[i][k] = (k < 3 ? u[i][k] : 0.0) + Draw(-0.3, 0.3);
            if (missingNodes && RandInt(40) == 0)
                g->Nodes[i][k] = Missing();
        }
    return g;
}

TArray2D ScatteredPoints(int count, int d, double spread)
{
    TArray2D points(static_cast<std::size_t>(count), TArray1D(static_cast<std::size_t>(d)));
    for (TArray1D& x : points)
        for (double& v : x)
            v = RandInt(8) == 0 ? Missing() : Draw(-spread, spread);
    return points;
}

struct TGridCase {
    const char* Name;
    int Type, P, Q, R, D;
    bool MissingNodes;
};

const TGridCase GridCases[] = {
    {"chain", map::GridRectangular, 9, 1, 1, 3, false},
    {"chain with gaps", map::GridRectangular, 9, 1, 1, 4, true},
    {"rectangle", map::GridRectangular, 6, 7, 1, 3, false},
    {"rectangle with gaps", map::GridRectangular, 5, 5, 1, 5, true},
    {"hexagon", map::GridHexagonal, 5, 6, 1, 3, false},
    {"torus", map::GridToroidal, 5, 6, 1, 4, false},
    {"sphere", map::GridSpherical, 6, 5, 1, 3, false},
    {"circle", map::GridCircle, 3, 7, 1, 3, false},
    {"lattice", map::GridRectangular, 3, 4, 3, 3, false},
    {"lattice in 5 dimensions", map::GridRectangular, 3, 3, 3, 5, true},
};

TEST(ProjectionTest, FastProjectorAgreesWithTheWrittenMethod)
{
    SeedRandom(11);
    for (const TGridCase& c : GridCases) {
        SCOPED_TRACE(c.Name);
        const auto g = CrumpledGrid(c.Type, c.P, c.Q, c.R, c.D, c.MissingNodes);
        for (const TArray1D& x : ScatteredPoints(400, c.D, 2.5)) {
            const int node = OracleClosestNode(*g, x);
            EXPECT_EQ(node, ProjectToClosestNode(*g, x).Node);
            const TPointProjection expected = OracleClosestPoint(*g, x);
            const TPointProjection got = ProjectToClosestPoint(*g, x);
            for (std::size_t k = 0; k < 3; ++k)
                ASSERT_TRUE(Same(expected.Internal[k], got.Internal[k]))
                    << k << ": " << expected.Internal[k] << " vs " << got.Internal[k];
            ASSERT_EQ(expected.Point.size(), got.Point.size());
            for (std::size_t k = 0; k < got.Point.size(); ++k)
                ASSERT_TRUE(Same(expected.Point[k], got.Point[k]))
                    << k << ": " << expected.Point[k] << " vs " << got.Point[k];
        }
    }
}

TEST(ProjectionTest, TableIsTheSameForOneAndTwoThreads)
{
    SeedRandom(5);
    const auto g = CrumpledGrid(map::GridSpherical, 12, 10, 1, 4, false);
    const TArray2D points = ScatteredPoints(3000, 4, 2);
    for (int type : {map::ProjectInClosestPoint, map::ProjectInClosestNode}) {
        omp_set_num_threads(1);
        const TArray2D one = ProjectPoints(*g, points, type);
        omp_set_num_threads(2);
        const TArray2D two = ProjectPoints(*g, points, type);
        ASSERT_EQ(one.size(), two.size());
        for (std::size_t p = 0; p < one.size(); ++p)
            for (std::size_t k = 0; k < 3; ++k)
                ASSERT_TRUE(Same(one[p][k], two[p][k]));
        // Row by row, the table holds the per-point projections.
        for (std::size_t p = 0; p < points.size(); p += 97) {
            const std::array<double, 3> u = type == map::ProjectInClosestNode
                                                ? ProjectToClosestNode(*g, points[p]).Internal
                                                : ProjectToClosestPoint(*g, points[p]).Internal;
            EXPECT_EQ((TArray1D{u[0], u[1], u[2]}), one[p]);
        }
    }
}

// A hand-made grid: nodes given in data space, internal coordinates equal to them (padded
// to three), one list of cells of the given kind.
std::unique_ptr<map::TRectangularGrid> FlatGrid(const TArray2D& nodes, const TArray2I& cells, int kind)
{
    auto g = std::make_unique<map::TRectangularGrid>();
    g->Nodes = nodes;
    g->TopologyDim = kind;
    for (const TArray1D& y : nodes)
        g->Internal.push_back({y[0], y.size() > 1 ? y[1] : 0.0, y.size() > 2 && kind == 3 ? y[2] : 0.0});
    if (kind == 3)
        g->Lattice = g->Internal;
    (kind == 1 ? g->Edges : kind == 2 ? g->Triangles : g->Tetrahedra) = cells;
    return g;
}

TEST(ProjectionTest, ClosestNodeTiesGoToTheLowerIndex)
{
    const auto g = FlatGrid({{2, 0}, {0, 0}, {1, 1}, {1, -1}}, {{0, 1}, {1, 2}, {2, 3}}, 1);
    struct TCase {
        const char* Name;
        TArray1D Point;
        int Node;
    };
    const TCase cases[] = {
        {"between 0 and 1", {1, 0}, 0},
        {"between 1 and 2", {0.5, 0.5}, 1},
        {"missing coordinate ignored", {Missing(), 1}, 2},
        {"all missing", {Missing(), Missing()}, 0},
        {"plain", {0.9, -0.8}, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TNodeProjection p = ProjectToClosestNode(*g, c.Point);
        EXPECT_EQ(c.Node, p.Node);
        const TArray1D& u = g->Internal[static_cast<std::size_t>(c.Node)];
        EXPECT_EQ((std::array<double, 3>{u[0], u[1], 0}), p.Internal);
    }
}

TEST(ProjectionTest, CurveEndsClampTheEdgeParameter)
{
    // A bent chain 0 - 1 - 2 along x, then up.
    const auto g = FlatGrid({{0, 0}, {1, 0}, {1, 1}}, {{0, 1}, {1, 2}}, 1);
    struct TCase {
        const char* Name;
        TArray1D Point, Projection;
    };
    const TCase cases[] = {
        {"before the start", {-2, 0.5}, {0, 0}},
        {"beyond the end", {1.2, 3}, {1, 1}},
        {"on the first edge", {0.25, -1}, {0.25, 0}},
        {"outside the bend", {2, -1}, {1, 0}},
        {"equidistant nodes: the lowest one's edge", {0.5, 0.5}, {0.5, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPointProjection p = ProjectToClosestPoint(*g, c.Point);
        EXPECT_EQ(c.Projection, p.Point);
        EXPECT_EQ((std::array<double, 3>{c.Projection[0], c.Projection[1], 0}), p.Internal);
    }
}

TEST(ProjectionTest, TriangleFeetAndNearestEdges)
{
    // One triangle A (0,0), B (1,0), C (0,1), lifted out of the plane by a third
    // coordinate the point does not share, and drawn in internal coordinates (10 + x, y).
    auto g = FlatGrid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, 2);
    for (TArray1D& u : g->Internal)
        u[0] += 10;
    struct TCase {
        const char* Name;
        TArray1D Point, Projection;
    };
    const TCase cases[] = {
        {"foot inside, above the plane", {0.2, 0.3, 5}, {0.2, 0.3, 0}},
        {"beyond AB", {0.5, -1, 0}, {0.5, 0, 0}},
        {"beyond AC", {-1, 0.25, 0}, {0, 0.25, 0}},
        {"beyond the edge opposite A", {1, 0.8, 0}, {0.6, 0.4, 0}},
        {"beyond the corner B", {3, -1, 0}, {1, 0, 0}},
        // With the second coordinate missing the triangle's system is singular and the
        // replaced determinant puts the foot on the first vertex.
        {"missing coordinate", {0.1, Missing(), 0}, {0, 0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPointProjection p = ProjectToClosestPoint(*g, c.Point);
        ASSERT_EQ(3u, p.Point.size());
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(c.Projection[k], p.Point[k], 1e-12) << k;
        // The internal point lies on the same place of the triangle, edges included.
        EXPECT_NEAR(10 + c.Projection[0], p.Internal[0], 1e-12);
        EXPECT_NEAR(c.Projection[1], p.Internal[1], 1e-12);
        EXPECT_EQ(0.0, p.Internal[2]);
    }
}

TEST(ProjectionTest, PointOnASharedEdgeGoesToTheFirstTriangle)
{
    // Unit square split along 1-2; the two triangles are told apart by their shifts.
    auto g = FlatGrid({{0, 0}, {0, 1}, {1, 0}, {1, 1}}, {{0, 1, 2}, {3, 1, 2}}, 2);
    g->TriangleShift = {{-1, 0, 0}, {1, 0, 0}};
    EXPECT_EQ(1, ProjectToClosestNode(*g, TArray1D{0.3, 0.7}).Node);
    TPointProjection p = ProjectToClosestPoint(*g, TArray1D{0.3, 0.7});
    EXPECT_NEAR(0.3 - 1, p.Internal[0], 1e-12);
    EXPECT_NEAR(0.7, p.Internal[1], 1e-12);
    // Swapping the list order swaps the winner.
    std::swap(g->Triangles[0], g->Triangles[1]);
    std::swap(g->TriangleShift[0], g->TriangleShift[1]);
    g->TriangleShift[0][0] = 5;
    p = ProjectToClosestPoint(*g, TArray1D{0.3, 0.7});
    EXPECT_NEAR(0.3 + 5, p.Internal[0], 1e-12);
    // Without a shift table nothing is added.
    g->TriangleShift.clear();
    p = ProjectToClosestPoint(*g, TArray1D{0.3, 0.7});
    EXPECT_NEAR(0.3, p.Internal[0], 1e-12);
}

TEST(ProjectionTest, PointsNearALatticeNodeProjectOntoThemselves)
{
    SeedRandom(9);
    const auto g = map::CreateGrid(map::GridRectangular, 2, 2, 2, 3);
    g->Nodes = g->Lattice;
    for (int node = 0; node < g->NodeCount(); ++node) {
        const TArray1D& y = g->Lattice[static_cast<std::size_t>(node)];
        for (int sample = 0; sample < 20; ++sample) {
            TArray1D x = y;
            for (double& v : x)
                v -= (v > 0 ? 1 : -1) * Draw(0.001, 0.4);
            const TPointProjection p = ProjectToClosestPoint(*g, x);
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_NEAR(x[k], p.Point[k], 1e-12);
                EXPECT_NEAR(x[k], p.Internal[k], 1e-12);
            }
        }
    }
    // Outside the box the projection falls on its surface.
    const TPointProjection outside = ProjectToClosestPoint(*g, TArray1D{0.9, 0.8, 3});
    EXPECT_NEAR(0.9, outside.Point[0], 1e-12);
    EXPECT_NEAR(0.8, outside.Point[1], 1e-12);
    EXPECT_NEAR(1.0, outside.Point[2], 1e-12);
    EXPECT_EQ(7, ProjectToClosestNode(*g, TArray1D{0.9, 0.8, 3}).Node);
    EXPECT_EQ((std::array<double, 3>{1, 1, 1}), ProjectToClosestNode(*g, TArray1D{0.9, 0.8, 3}).Internal);
}

TEST(ProjectionTest, DegenerateInputsStillProject)
{
    // A point with every coordinate missing goes to node 0 and to the first cell around it.
    const auto g = map::CreateGrid(map::GridRectangular, 3, 3, 1, 2);
    g->Nodes = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
    const TPointProjection p = ProjectToClosestPoint(*g, TArray1D{Missing(), Missing()});
    EXPECT_EQ((TArray1D{0, 0}), p.Point);
    EXPECT_EQ((std::array<double, 3>{-1, -1, 0}), p.Internal);

    // A node that belongs to no cell (as growth leaves one) is its own projection.
    auto grown = FlatGrid({{0, 0}, {1, 0}, {0, 1}, {5, 5}}, {{0, 1, 2}}, 2);
    grown->Edges = {{0, 1}, {1, 2}, {2, 0}, {1, 3}};
    const TPointProjection q = ProjectToClosestPoint(*grown, TArray1D{5, 6});
    EXPECT_EQ((TArray1D{5, 5}), q.Point);
    EXPECT_EQ((std::array<double, 3>{5, 5, 0}), q.Internal);

    // An edge of zero length is scored from its start.
    const auto flat = FlatGrid({{0, 0}, {0, 0}, {1, 0}}, {{0, 1}, {1, 2}}, 1);
    EXPECT_EQ((TArray1D{0, 0}), ProjectToClosestPoint(*flat, TArray1D{-1, 1}).Point);
    // A point of another length is read over the grid's coordinates.
    EXPECT_EQ(2u, ProjectToClosestPoint(*flat, TArray1D{0.8, 0, 7}).Point.size());
    EXPECT_EQ((std::array<double, 3>{0.8, 0, 0}), ProjectToClosestPoint(*flat, TArray1D{0.8, 0, 7}).Internal);
}

TEST(ProjectionTest, ClosestNodeOnSurfacesDropsTheThirdInternalCoordinate)
{
    auto grid = map::CreateGrid(map::GridSpherical, 6, 5, 1, 3);
    auto& g = static_cast<map::TSphericalGrid&>(*grid);
    g.SetSphereLayout(0);
    g.Nodes = g.Internal;
    const TArray2D table = ProjectPoints(g, {{0.1, 0.5, 0.8}, {-0.9, 0.1, -0.2}}, map::ProjectInClosestNode);
    for (const TArray1D& row : table)
        EXPECT_EQ(0.0, row[2]);
    // In the closest point the globe keeps its depth.
    const TArray2D points = ProjectPoints(g, {{0.1, 0.5, 0.8}}, map::ProjectInClosestPoint);
    EXPECT_NE(0.0, points[0][2]);
}

struct TMapFixture {
    data::TData Data;
    map::TMap* Map = nullptr;

    TMapFixture()
    {
        Data.CoordCount = 2;
        Data.Points = {{0.1, 0.1}, {0.9, 0.2}, {0.4, 0.95}, {Missing(), 0.5}};
        Data.PointCount = 4;
        Map = &map::AddMap(Data, "m");
        Map->Grid = map::CreateGrid(map::GridRectangular, 2, 2, 1, 2);
        Map->Grid->Nodes = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    }
};

TEST(ProjectionTest, TableIsComputedOnDemandAndKeptUntilInvalidated)
{
    TMapFixture f;
    map::TMap& m = *f.Map;
    EXPECT_FALSE(m.ProjectionsValid);
    ASSERT_TRUE(EnsureProjections(m));
    EXPECT_TRUE(m.ProjectionsValid);
    ASSERT_EQ(4u, m.Projections.size());
    // Internal x follows the data's first coordinate, y the second.
    EXPECT_NEAR(-0.8, m.Projections[0][0], 1e-12);
    EXPECT_NEAR(-0.8, m.Projections[0][1], 1e-12);
    const TArray2D before = m.Projections;

    // Moving the nodes changes nothing until the table is invalidated.
    m.Grid->Nodes[0] = {0.1, 0.1};
    m.ProjectorType = map::ProjectInClosestNode;
    EnsureProjections(m);
    EXPECT_EQ(before, m.Projections);
    InvalidateProjections(m);
    EXPECT_FALSE(m.ProjectionsValid);
    EnsureProjections(m);
    EXPECT_EQ((TArray1D{-1, -1, 0}), m.Projections[0]);
    EXPECT_EQ((TArray1D{1, -1, 0}), m.Projections[1]);

    // A map without a grid, or of another dimension, cannot be projected.
    InvalidateProjections(m);
    f.Data.CoordCount = 3;
    EXPECT_FALSE(EnsureProjections(m));
    m.Grid.reset();
    EXPECT_FALSE(EnsureProjections(m));
}

TEST(ProjectionTest, ExportWritesXAndYPerPoint)
{
    test::TTempDir dir;
    TMapFixture f;
    const std::string path = dir.File("proj.txt");
    WriteProjections(*f.Map, path);
    EXPECT_TRUE(f.Map->ProjectionsValid);
    EXPECT_EQ("-0.8 -0.8\r\n0.8 -0.6\r\n-0.2 0.9\r\n-1 -1\r\n", test::ReadBytes(path));

    f.Map->Grid.reset();
    InvalidateProjections(*f.Map);
    ORBELIN_EXPECT_ERROR(WriteProjections(*f.Map, dir.File("none.txt")), "cannot export the projections of map m");
}

} // namespace
} // namespace orbelin::coloring

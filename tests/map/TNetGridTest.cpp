// Grid topologies: element counts and orders, layouts, shifts, elastic matrices and the
// sizes that are refused.
#include "map/TNetGrid.h"
#include "TestUtil.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace orbelin::map {
namespace {

using TEdgeSet = std::set<std::pair<int, int>>;

std::pair<int, int> Sorted(int a, int b)
{
    return {std::min(a, b), std::max(a, b)};
}

TEdgeSet EdgeSet(const TNetGrid& g)
{
    TEdgeSet set;
    for (const TArray1I& e : g.Edges)
        set.insert(Sorted(e[0], e[1]));
    return set;
}

// Element counts from the closed formulas of each topology.
struct TCounts {
    long long Nodes, Edges, Ribs, Triangles, Tetrahedra;
};

TCounts ExpectedCounts(int type, long long p, long long q, long long r)
{
    switch (type) {
    case GridSpherical:
        return {p * q + 2, 2 * p * q + p, 2 * p * q + 2 * (p / 2), 2 * p * q, 0};
    case GridToroidal:
        return {p * q, 2 * p * q, 2 * p * q, 2 * (p - 1) * (q - 1), 0};
    case GridHexagonal:
        return {p * q, 3 * p * q - 2 * p - 2 * q + 1, 3 * p * q - 4 * p - 4 * q + 4, 2 * (p - 1) * (q - 1), 0};
    case GridCircle:
        return {p * q + 1, 2 * p * q, 2 * p * q - q + q / 2, (2 * p - 1) * q, 0};
    default:
        if (q == 1)
            return {p, p - 1, p - 2, 0, 0};
        if (r > 1)
            return {p * q * r, (2 * p * q - p - q) * r + (r - 1) * p * q, 2 * (p * q - p - q) * r + (r - 2) * p * q,
                    2 * (p - 1) * (q - 1) * r, 6 * (p - 1) * (q - 1) * (r - 1)};
        return {p * q, 2 * p * q - p - q, 2 * p * q - 2 * p - 2 * q, 2 * (p - 1) * (q - 1), 0};
    }
}

struct TShape {
    const char* Name;
    int Type, P, Q, R;
};

const TShape Shapes[] = {
    {"rectangular 3x4", GridRectangular, 3, 4, 1}, {"rectangular 6x5", GridRectangular, 6, 5, 1},
    {"chain 5", GridRectangular, 5, 1, 1},         {"lattice 3x4x3", GridRectangular, 3, 4, 3},
    {"lattice 2x2x2", GridRectangular, 2, 2, 2},   {"spherical 20x20", GridSpherical, 20, 20, 1},
    {"spherical 5x6", GridSpherical, 5, 6, 1},     {"spherical 4x3", GridSpherical, 4, 3, 1},
    {"toroidal 4x5", GridToroidal, 4, 5, 1},       {"toroidal 3x3", GridToroidal, 3, 3, 1},
    {"hexagonal 4x5", GridHexagonal, 4, 5, 1},     {"hexagonal 5x6", GridHexagonal, 5, 6, 1},
    {"circle 2x6", GridCircle, 2, 6, 1},           {"circle 4x7", GridCircle, 4, 7, 1},
};

TEST(TNetGridTest, ElementCountsMatchEveryTopology)
{
    for (const TShape& s : Shapes) {
        SCOPED_TRACE(s.Name);
        const auto g = CreateGrid(s.Type, s.P, s.Q, s.R, 3);
        const TCounts c = ExpectedCounts(s.Type, s.P, s.Q, s.R);
        EXPECT_EQ(c.Nodes, g->NodeCount());
        EXPECT_EQ(c.Edges, static_cast<long long>(g->Edges.size()));
        EXPECT_EQ(c.Ribs, static_cast<long long>(g->Ribs.size()));
        EXPECT_EQ(c.Triangles, static_cast<long long>(g->Triangles.size()));
        EXPECT_EQ(c.Tetrahedra, static_cast<long long>(g->Tetrahedra.size()));
        EXPECT_EQ(g->Edges.size(), g->EdgeWeights.size());
        EXPECT_EQ(g->Ribs.size(), g->RibWeights.size());
        EXPECT_TRUE(std::all_of(g->EdgeWeights.begin(), g->EdgeWeights.end(), [](double w) { return w == 1.0; }));
        EXPECT_TRUE(std::all_of(g->RibWeights.begin(), g->RibWeights.end(), [](double w) { return w == 1.0; }));
        EXPECT_EQ(static_cast<std::size_t>(g->NodeCount()), g->Internal.size());
        for (const TArray1D& node : g->Nodes)
            EXPECT_EQ(3u, node.size());
        EXPECT_EQ(g->NodeCount(), g->StretchMatrix.Rows());
        EXPECT_EQ(0u, g->StretchMatrix.NonZeros());
    }
}

// Every rib bends two edges that meet at its centre, every index names a node, and no
// edge is listed twice (the smallest toroidal and circle grids excepted, whose seams fall
// on existing edges).
TEST(TNetGridTest, RibsLieAlongEdgesAndIndicesNameNodes)
{
    for (const TShape& s : Shapes) {
        SCOPED_TRACE(s.Name);
        const auto g = CreateGrid(s.Type, s.P, s.Q, s.R, 2);
        const int n = g->NodeCount();
        for (const TArray2I* list : {&g->Edges, &g->Ribs, &g->Triangles, &g->Tetrahedra})
            for (const TArray1I& row : *list)
                for (int index : row) {
                    EXPECT_GE(index, 0);
                    EXPECT_LT(index, n);
                }
        const TEdgeSet edges = EdgeSet(*g);
        EXPECT_EQ(g->Edges.size(), edges.size());
        for (const TArray1I& rib : g->Ribs) {
            EXPECT_TRUE(edges.count(Sorted(rib[0], rib[1]))) << rib[0] << " " << rib[1] << " " << rib[2];
            EXPECT_TRUE(edges.count(Sorted(rib[0], rib[2]))) << rib[0] << " " << rib[1] << " " << rib[2];
        }
    }
}

// V - E + F of the surface the triangles tile: 1 for a disc, 2 for a sphere. The
// toroidal grid has no triangles over its seams, so it tiles a disc as well.
TEST(TNetGridTest, TrianglesTileTheExpectedSurface)
{
    for (const TShape& s : Shapes) {
        if (s.R > 1 || s.Q == 1)
            continue;
        SCOPED_TRACE(s.Name);
        const auto g = CreateGrid(s.Type, s.P, s.Q, s.R, 2);
        TEdgeSet sides;
        std::map<std::pair<int, int>, int> uses;
        for (const TArray1I& t : g->Triangles)
            for (int k = 0; k < 3; ++k) {
                sides.insert(Sorted(t[k], t[(k + 1) % 3]));
                ++uses[Sorted(t[k], t[(k + 1) % 3])];
            }
        const long long euler =
            g->NodeCount() - static_cast<long long>(sides.size()) + static_cast<long long>(g->Triangles.size());
        EXPECT_EQ(s.Type == GridSpherical ? 2 : 1, euler);
        for (const auto& [side, count] : uses)
            EXPECT_LE(count, 2) << side.first << "-" << side.second;
    }
}

double SignedArea(const TNetGrid& g, const TArray1I& t)
{
    const TArray1D &a = g.Internal[static_cast<std::size_t>(t[0])], &b = g.Internal[static_cast<std::size_t>(t[1])],
                   &c = g.Internal[static_cast<std::size_t>(t[2])];
    return 0.5 * ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]));
}

// In internal coordinates the triangles of a rectangle, sheared or not, tile it once: each
// is half a cell and their areas add up to the 4 of the square [-1, 1]^2.
TEST(TNetGridTest, TrianglesCoverTheInternalSquare)
{
    for (int type : {GridRectangular, GridHexagonal, GridToroidal}) {
        SCOPED_TRACE(type);
        const auto g = CreateGrid(type, 5, 6, 1, 2);
        double total = 0;
        for (const TArray1I& t : g->Triangles) {
            const double area = std::fabs(SignedArea(*g, t));
            EXPECT_NEAR((2.0 / 4) * (2.0 / 5) / 2, area, 1e-12);
            total += area;
        }
        EXPECT_NEAR(4.0, total, 1e-12);
    }
}

TEST(TNetGridTest, RectangleListsItsElementsInOrder)
{
    const auto g = CreateGrid(GridRectangular, 3, 4, 1, 2);
    ASSERT_EQ(17u, g->Edges.size());
    EXPECT_EQ((TArray1I{0, 1}), g->Edges[0]);
    EXPECT_EQ((TArray1I{0, 4}), g->Edges[1]);
    EXPECT_EQ((TArray1I{1, 2}), g->Edges[2]);
    ASSERT_EQ(10u, g->Ribs.size());
    EXPECT_EQ((TArray1I{1, 0, 2}), g->Ribs[0]);
    EXPECT_EQ((TArray1I{4, 0, 8}), g->Ribs[1]);
    ASSERT_EQ(12u, g->Triangles.size());
    EXPECT_EQ((TArray1I{0, 1, 4}), g->Triangles[0]);
    EXPECT_EQ((TArray1I{5, 1, 4}), g->Triangles[1]);
    // Column by column: the second pair is the next row of the first column.
    EXPECT_EQ((TArray1I{4, 5, 8}), g->Triangles[2]);
    EXPECT_EQ(1, g->FindEdge(4, 0));
    EXPECT_EQ(1, g->FindEdge(0, 4));
    EXPECT_EQ(-1, g->FindEdge(0, 5));
    EXPECT_EQ((TArray1D{-1, -1, 0}), g->Internal[0]);
    EXPECT_EQ((TArray1D{0, 1, 0}), g->Internal[7]);
    EXPECT_EQ(2, g->TopologyDim);
    EXPECT_TRUE(g->TriangleShift.empty());
}

TEST(TNetGridTest, ChainRunsAlongTheInternalAxis)
{
    const auto g = CreateGrid(GridRectangular, 5, 1, 1, 2);
    EXPECT_EQ(1, g->TopologyDim);
    EXPECT_EQ((TArray2I{{0, 1}, {1, 2}, {2, 3}, {3, 4}}), g->Edges);
    EXPECT_EQ((TArray2I{{1, 0, 2}, {2, 1, 3}, {3, 2, 4}}), g->Ribs);
    EXPECT_TRUE(g->Triangles.empty());
    // The nodes keep their order along x, so projections onto a chain can be told apart.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ((TArray1D{-1 + 0.5 * i, 0, 0}), g->Internal[static_cast<std::size_t>(i)]);
}

// Six times the signed volume of the tetrahedron (a, b, c, d).
double SignedVolume6(const TArray1D& a, const TArray1D& b, const TArray1D& c, const TArray1D& d)
{
    const double e[3][3] = {{b[0] - a[0], b[1] - a[1], b[2] - a[2]},
                            {c[0] - a[0], c[1] - a[1], c[2] - a[2]},
                            {d[0] - a[0], d[1] - a[1], d[2] - a[2]}};
    return e[0][0] * (e[1][1] * e[2][2] - e[1][2] * e[2][1]) - e[0][1] * (e[1][0] * e[2][2] - e[1][2] * e[2][0]) +
           e[0][2] * (e[1][0] * e[2][1] - e[1][1] * e[2][0]);
}

// Whether x lies strictly inside the tetrahedron: putting x in place of any vertex keeps
// the sign of the volume.
bool Contains(const TNetGrid& g, const TArray1I& t, const TArray1D& x)
{
    TArray2D v;
    for (int index : t)
        v.push_back(g.Lattice[static_cast<std::size_t>(index)]);
    const double whole = SignedVolume6(v[0], v[1], v[2], v[3]);
    for (std::size_t k = 0; k < 4; ++k) {
        TArray2D w = v;
        w[k] = x;
        if (SignedVolume6(w[0], w[1], w[2], w[3]) * whole <= 0)
            return false;
    }
    return true;
}

double TetrahedronVolume(const TNetGrid& g, const TArray1I& t)
{
    const auto at = [&](int k) { return g.Lattice[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])]; };
    return std::fabs(SignedVolume6(at(0), at(1), at(2), at(3))) / 6;
}

// The six tetrahedra of every cell fill it exactly: none is flat and their volumes add up
// to the volume of the lattice box [-1, 1]^3.
TEST(TNetGridTest, LatticeTetrahedraFillTheBox)
{
    const auto g = CreateGrid(GridRectangular, 3, 4, 3, 2);
    EXPECT_EQ(3, g->TopologyDim);
    ASSERT_EQ(36u, g->Lattice.size());
    EXPECT_EQ((TArray1D{-1, -1, -1}), g->Lattice[0]);
    EXPECT_EQ((TArray1D{1, 1, 1}), g->Lattice[35]);
    EXPECT_EQ(g->Lattice, g->Internal);
    double total = 0;
    for (const TArray1I& t : g->Tetrahedra) {
        const double v = TetrahedronVolume(*g, t);
        EXPECT_GT(v, 1e-9);
        total += v;
    }
    EXPECT_NEAR(8.0, total, 1e-12);
    // Positive volumes adding up could still hide an overlap next to a gap: every point of
    // the box must lie in exactly one tetrahedron.
    numeric::SeedRandom(3);
    for (int sample = 0; sample < 2000; ++sample) {
        const TArray1D x = {numeric::RandInt(100000) / 50000.0 - 1 + 3e-6,
                            numeric::RandInt(100000) / 50000.0 - 1 + 7e-6,
                            numeric::RandInt(100000) / 50000.0 - 1 + 5e-6};
        int containing = 0;
        for (const TArray1I& t : g->Tetrahedra)
            containing += Contains(*g, t, x) ? 1 : 0;
        ASSERT_EQ(1, containing) << x[0] << " " << x[1] << " " << x[2];
    }
    EXPECT_EQ((TArray1I{0, 1, 4, 12}), g->Tetrahedra[0]);
    // The layer edges follow all surface edges; the first joins node 0 to its copy.
    EXPECT_EQ((TArray1I{0, 12}), g->Edges[3 * 17]);
    EXPECT_EQ((TArray1I{12, 0, 24}), g->Ribs[3 * 10]);
}

TEST(TNetGridTest, ToroidalNodesHaveFourEdges)
{
    for (auto [p, q] : {std::pair{4, 5}, std::pair{3, 3}, std::pair{6, 4}}) {
        SCOPED_TRACE(std::to_string(p) + "x" + std::to_string(q));
        const auto g = CreateGrid(GridToroidal, p, q, 1, 2);
        std::vector<int> degree(static_cast<std::size_t>(g->NodeCount()), 0);
        for (const TArray1I& e : g->Edges) {
            ++degree[static_cast<std::size_t>(e[0])];
            ++degree[static_cast<std::size_t>(e[1])];
        }
        EXPECT_TRUE(std::all_of(degree.begin(), degree.end(), [](int d) { return d == 4; }));
    }
}

TEST(TNetGridTest, HexagonalShiftsEvenColumnsByHalfARow)
{
    const auto g = CreateGrid(GridHexagonal, 3, 4, 1, 2);
    EXPECT_EQ((TArray1D{-0.5, -1, 0}), g->Internal[0]);
    EXPECT_NEAR(-1.0, g->Internal[1][0], 1e-15);
    EXPECT_EQ((TArray1I{0, 5}), g->Edges[17]); // the first diagonal, column 0 (even)
    EXPECT_EQ((TArray1I{2, 5}), g->Edges[19]); // column 1 (odd) leans the other way
    EXPECT_EQ((TArray1I{4, 8, 0}), g->Ribs[0]);
    EXPECT_EQ((TArray1I{4, 0, 5}), g->Triangles[0]);
}

TEST(TNetGridTest, CircleClosesItsRingsAroundTheCentre)
{
    const auto g = CreateGrid(GridCircle, 2, 6, 1, 2);
    ASSERT_EQ(13, g->NodeCount());
    EXPECT_EQ((TArray1I{6, 0}), g->Edges.back());
    EXPECT_EQ((TArray1I{6, 1, 0}), g->Triangles.back());
    EXPECT_EQ((TArray1I{1, 2}), g->Edges[0]);
    EXPECT_EQ((TArray1D{0, 0, 0}), g->Internal[0]);
    // Ring r lies at radius 2(r+1)/(P-1); position 3 of six is opposite position 0.
    EXPECT_NEAR(2.0, g->Internal[1][0], 1e-12);
    EXPECT_NEAR(-4.0, g->Internal[10][0], 1e-6);
    EXPECT_NEAR(0.0, g->Internal[10][1], 1e-6);
    EXPECT_EQ((TArray1I{0, 1, 4}), g->Ribs[12]); // first diameter
}

TEST(TNetGridTest, SphereLayouts)
{
    auto grid = CreateGrid(GridSpherical, 20, 20, 1, 4);
    auto& g = static_cast<TSphericalGrid&>(*grid);
    const double s = std::sin(3.1415926 / 21), c = std::cos(3.1415926 / 21);
    EXPECT_NEAR(0.0222136, g.Internal[0][0], 1e-7);
    EXPECT_DOUBLE_EQ(s * s, g.Internal[0][0]);
    EXPECT_EQ(0.0, g.Internal[0][1]);
    EXPECT_EQ((TArray1D{0, 0, 0}), g.Internal[400]);
    EXPECT_EQ((TArray1I{400, 0}), g.Edges[760]);
    EXPECT_EQ((TArray1I{0, 400, 1}), g.Ribs[720]);
    EXPECT_EQ((TArray1I{0, 400, 20}), g.Triangles[722]);

    g.SetSphereLayout(0);
    EXPECT_NEAR(0.98883, g.Internal[0][0], 1e-5);
    EXPECT_NEAR(0.14904, g.Internal[0][1], 1e-5);
    EXPECT_EQ(0.0, g.Internal[0][2]);
    EXPECT_DOUBLE_EQ(c, g.Internal[0][0]);
    EXPECT_EQ((TArray1D{1, 0, 0}), g.Internal[400]);
    EXPECT_EQ((TArray1D{-1, 0, 0}), g.Internal[401]);
    ASSERT_EQ(800u, g.TriangleShift.size());
    EXPECT_TRUE(std::all_of(g.TriangleShift.begin(), g.TriangleShift.end(), [](const TArray1D& r) {
        return r == TArray1D{0, 0, 0};
    }));

    g.SetSphereLayout(1);
    // Polar angle pi/21 lies on the inner disc at radius 2 theta / pi.
    EXPECT_NEAR(2.0 / 21, g.Internal[0][0], 1e-9);
    EXPECT_NEAR(2.0 / 21, g.Internal[19][0], 1e-9); // the mirrored latitude on the other disc
    EXPECT_EQ((TArray1D{0, 0, 0}), g.Internal[401]);
    ASSERT_EQ(800u, g.TriangleShift.size());
}

// A triangle is shifted left exactly when it lies on the half of the sphere nearest the
// first pole: all its latitude nodes have a column index below k = (Q+1) div 2.
TEST(TNetGridTest, TriangleShiftsSplitTheSphereAtTheMiddleLatitude)
{
    for (auto [p, q] : {std::pair{20, 20}, std::pair{5, 6}, std::pair{4, 7}}) {
        SCOPED_TRACE(std::to_string(p) + "x" + std::to_string(q));
        const auto g = CreateGrid(GridSpherical, p, q, 1, 2);
        const int k = (q + 1) / 2;
        ASSERT_EQ(g->Triangles.size(), g->TriangleShift.size());
        for (std::size_t t = 0; t < g->Triangles.size(); ++t) {
            int highest = -1;
            for (int v : g->Triangles[t])
                highest = std::max(highest, v == p * q ? -1 : v == p * q + 1 ? q : v % q);
            EXPECT_EQ(highest <= k - 1 ? -1.0 : 1.0, g->TriangleShift[t][0]) << "triangle " << t;
            EXPECT_EQ(0.0, g->TriangleShift[t][1]);
            EXPECT_EQ(0.0, g->TriangleShift[t][2]);
        }
    }
}

// The matrices are the quadratic forms of stretching and bending: y' S y is the weighted
// sum of squared edge differences and y' B y that of squared second differences.
TEST(TNetGridTest, ElasticMatricesAreTheEnergyForms)
{
    numeric::SeedRandom(7);
    for (const TShape& s : Shapes) {
        SCOPED_TRACE(s.Name);
        auto g = CreateGrid(s.Type, s.P, s.Q, s.R, 1);
        for (double& w : g->EdgeWeights)
            w = 0.5 + numeric::RandInt(1000) / 1000.0;
        for (double& w : g->RibWeights)
            w = 0.5 + numeric::RandInt(1000) / 1000.0;
        g->BuildElasticMatrices();
        const int n = g->NodeCount();
        std::vector<double> y(static_cast<std::size_t>(n)), sy(y.size()), by(y.size());
        for (double& v : y)
            v = numeric::RandInt(1000) / 100.0 - 5;
        const auto at = [&](int i) { return y[static_cast<std::size_t>(i)]; };
        double stretch = 0, bend = 0;
        for (std::size_t e = 0; e < g->Edges.size(); ++e)
            stretch += g->EdgeWeights[e] * std::pow(at(g->Edges[e][0]) - at(g->Edges[e][1]), 2);
        for (std::size_t r = 0; r < g->Ribs.size(); ++r)
            bend += g->RibWeights[r] * std::pow(at(g->Ribs[r][1]) - 2 * at(g->Ribs[r][0]) + at(g->Ribs[r][2]), 2);
        g->StretchMatrix.Multiply(y, sy);
        g->BendMatrix.Multiply(y, by);
        double ySy = 0, yBy = 0;
        for (std::size_t i = 0; i < y.size(); ++i) {
            ySy += y[i] * sy[i];
            yBy += y[i] * by[i];
        }
        EXPECT_NEAR(stretch, ySy, 1e-9 * stretch);
        EXPECT_NEAR(bend, yBy, 1e-9 * bend);
        // Both forms vanish on a constant vector; the matrices are symmetric.
        std::vector<double> ones(y.size(), 1.0), out(y.size());
        g->StretchMatrix.Multiply(ones, out);
        EXPECT_NEAR(
            0.0,
            *std::max_element(out.begin(), out.end(), [](double a, double b) { return std::fabs(a) < std::fabs(b); }),
            1e-12);
        g->BendMatrix.Multiply(ones, out);
        EXPECT_NEAR(
            0.0,
            *std::max_element(out.begin(), out.end(), [](double a, double b) { return std::fabs(a) < std::fabs(b); }),
            1e-12);
        for (const numeric::TSparseMatrix* m : {&g->StretchMatrix, &g->BendMatrix})
            for (int i = 0; i < n; ++i)
                for (std::size_t k = 0; k < m->RowCols(i).size(); ++k)
                    EXPECT_EQ(m->RowValues(i)[k], m->At(m->RowCols(i)[k], i));
    }
}

TEST(TNetGridTest, ElasticMatricesOfALargeMapStaySparse)
{
    auto g = CreateGrid(GridRectangular, 100, 100, 1, 3);
    g->BuildElasticMatrices();
    EXPECT_EQ(10000, g->StretchMatrix.Rows());
    EXPECT_LE(g->StretchMatrix.NonZeros(), 5u * 10000);
    EXPECT_LE(g->BendMatrix.NonZeros(), 13u * 10000);
    EXPECT_DOUBLE_EQ(2.0, g->StretchMatrix.At(0, 0));
    EXPECT_DOUBLE_EQ(-1.0, g->StretchMatrix.At(0, 1));
    EXPECT_DOUBLE_EQ(1.0, g->BendMatrix.At(0, 2));
}

TEST(TNetGridTest, UnsupportedSizesAreRefused)
{
    struct TCase {
        const char* Name;
        int Type, P, Q, R;
        const char* Fragment; // empty: accepted
    };
    const TCase cases[] = {
        {"single row", GridRectangular, 1, 5, 1, "one row must have one column"},
        {"single row sphere", GridSpherical, 1, 5, 1, "one row must have one column"},
        {"single node", GridRectangular, 1, 1, 1, ""},
        {"chain", GridRectangular, 7, 1, 1, ""},
        {"hexagonal chain", GridHexagonal, 5, 1, 1, "at least 2 columns"},
        {"layered sphere", GridSpherical, 5, 5, 2, "only rectangular maps"},
        {"layered hexagon", GridHexagonal, 5, 5, 2, "only rectangular maps"},
        {"layered torus", GridToroidal, 5, 5, 3, "only rectangular maps"},
        {"layered circle", GridCircle, 5, 5, 2, "only rectangular maps"},
        {"layered chain", GridRectangular, 5, 1, 3, "at least 2 rows and 2 columns"},
        {"lattice", GridRectangular, 2, 3, 4, ""},
        {"circle of one ring", GridCircle, 1, 1, 1, "at least 2 rows and 2 columns"},
        {"torus of one column", GridToroidal, 4, 1, 1, "at least 2 rows and 2 columns"},
        {"sphere of one latitude", GridSpherical, 4, 1, 1, "at least 2 rows and 2 columns"},
        {"zero rows", GridRectangular, 0, 3, 1, "at least 1"},
        {"negative layers", GridRectangular, 3, 3, -1, "at least 1"},
        {"code 4", 4, 3, 3, 1, "unknown grid type code 4"},
        {"huge", GridRectangular, 100000, 100000, 1, "more than"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        if (*c.Fragment == '\0')
            EXPECT_NO_THROW(CreateGrid(c.Type, c.P, c.Q, c.R, 2));
        else
            ORBELIN_EXPECT_ERROR(CreateGrid(c.Type, c.P, c.Q, c.R, 2), c.Fragment);
    }
}

} // namespace
} // namespace orbelin::map

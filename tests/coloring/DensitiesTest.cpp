// Kernel densities against plain implementations of their formulas, and grey levels.
#include "coloring/Densities.h"
#include "numeric/Missing.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbelin::coloring {
namespace {

// The formulas as written, one vertex and one point at a time.
TArray1D PlainDensity2D(const TArray2D& projections, const TArray2D& vertices, double r)
{
    TArray1D d(vertices.size(), 0.0);
    const double n = static_cast<double>(projections.size());
    for (std::size_t v = 0; v < vertices.size(); ++v)
        for (const TArray1D& p : projections) {
            const double dx = vertices[v][0] - p[0], dy = vertices[v][1] - p[1];
            d[v] += std::exp(-(dx * dx + dy * dy) / (r * r)) / (std::numbers::pi * n * r * r);
        }
    return d;
}

TArray1D PlainDensityND(const TArray2D& points, const TArray2D& vertices, double radius)
{
    const std::size_t dim = points[0].size();
    const double h = radius * (dim > 1 ? dim - 1.0 : 1.0);
    TArray1D d(vertices.size(), 0.0);
    for (std::size_t v = 0; v < vertices.size(); ++v)
        for (const TArray1D& x : points) {
            double s = 0;
            for (std::size_t k = 0; k < dim; ++k)
                if (!IsMissing(x[k]) && !IsMissing(vertices[v][k]))
                    s += std::pow((x[k] - vertices[v][k]) / h, 2);
            d[v] += std::exp(-s) / (std::numbers::pi * points.size() * h * h);
        }
    return d;
}

TArray2D RandomRows(std::size_t n, std::size_t d, double scale, bool gaps)
{
    TArray2D rows(n, TArray1D(d));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < d; ++k)
            rows[i][k] = gaps && (i * d + k) % 11 == 3 ? Missing() : (numeric::RandInt(2001) - 1000) / 1000.0 * scale;
    return rows;
}

// Vertices as a refined surface holds them: every position several times.
TArray2D WithRepeats(const TArray2D& rows)
{
    TArray2D out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out.push_back(rows[i]);
        out.push_back(rows[(i * 7) % rows.size()]);
    }
    return out;
}

// The positions of a refined rectangular map's surface: a lattice of columns x rows in
// [-1, 1]^2, each position twice, other coordinates 0.5, a few lattice places left out.
TArray2D LatticeRows(std::size_t columns, std::size_t rows, std::size_t d)
{
    TArray2D out;
    for (std::size_t i = 0; i < columns; ++i)
        for (std::size_t j = 0; j < rows; ++j) {
            if ((i * rows + j) % 13 == 4)
                continue;
            TArray1D v(d, 0.5);
            v[0] = 2.0 * static_cast<double>(i) / static_cast<double>(columns - 1) - 1;
            v[1] = 2.0 * static_cast<double>(j) / static_cast<double>(rows - 1) - 1;
            out.push_back(v);
            out.push_back(v);
        }
    return out;
}

// Colours read densities relative to the largest one, so they are compared at that scale.
// (A term e^x carries the rounding of its argument times |x|: the kernels scale by 1 / r^2
// where the formula divides.)
void ExpectClose(const TArray1D& fast, const TArray1D& plain)
{
    ASSERT_EQ(fast.size(), plain.size());
    double largest = 0;
    for (const double v : plain)
        largest = std::max(largest, v);
    ASSERT_GT(largest, 0);
    for (std::size_t i = 0; i < fast.size(); ++i)
        EXPECT_NEAR(fast[i], plain[i], 1e-13 * largest) << "vertex " << i;
}

TEST(DensitiesTest, KernelExpFollowsTheExponential)
{
    for (double x = -708; x <= 0; x += 0.0137) {
        const double e = std::exp(x);
        EXPECT_NEAR(KernelExp(x), e, 3e-16 * e) << x;
    }
    EXPECT_EQ(KernelExp(0), 1);
    EXPECT_EQ(KernelExp(-0.0), 1);
    EXPECT_EQ(KernelExp(-708.5), 0);
    EXPECT_EQ(KernelExp(-1e300), 0);
}

TEST(DensitiesTest, DensitiesMatchTheirFormulas)
{
    numeric::SeedRandom(5);
    struct TCase {
        const char* Name;
        std::size_t Points, Vertices, Dimension;
        double Radius;
        bool Gaps;
        std::size_t LatticeRows = 0; ///< vertices on a lattice of Vertices x LatticeRows
    };
    const TCase cases[] = {
        {"default radius", 300, 37, 3, 0.25, false},
        {"wide kernel", 50, 20, 5, 3.0, false},
        {"narrow kernel", 200, 23, 2, 0.01, false},
        {"one coordinate", 40, 9, 1, 0.5, false},
        {"missing coordinates skipped", 120, 17, 4, 0.3, true},
        {"fewer vertices than a block", 10, 3, 3, 0.25, false},
        {"lattice of vertices", 3000, 23, 3, 0.25, false, 19},
        {"lattice, narrow kernel", 500, 31, 2, 0.01, false, 9},
        {"lattice, wide kernel", 2500, 6, 4, 3.0, false, 40},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TArray2D points = RandomRows(c.Points, c.Dimension, 1.5, c.Gaps);
        const TArray2D vertices = c.LatticeRows > 0 ? LatticeRows(c.Vertices, c.LatticeRows, c.Dimension)
                                                    : WithRepeats(RandomRows(c.Vertices, c.Dimension, 1.5, c.Gaps));
        ExpectClose(GaussianDensityND(points, vertices, c.Radius), PlainDensityND(points, vertices, c.Radius));
        if (c.Dimension >= 2 && !c.Gaps)
            ExpectClose(GaussianDensity2D(points, vertices, c.Radius), PlainDensity2D(points, vertices, c.Radius));
    }
}

TEST(DensitiesTest, DensitiesAreTheSameForOneAndTwoThreads)
{
    numeric::SeedRandom(6);
    const TArray2D points = RandomRows(2000, 4, 1, true), projections = RandomRows(2000, 3, 1, false);
    const TArray2D vertices = WithRepeats(RandomRows(301, 4, 1, false)), lattice = LatticeRows(40, 30, 4);
    const int threads = omp_get_max_threads();
    omp_set_num_threads(1);
    const TArray1D nd1 = GaussianDensityND(points, vertices, 0.25);
    const TArray1D d1 = GaussianDensity2D(projections, vertices, 0.25);
    const TArray1D l1 = GaussianDensity2D(projections, lattice, 0.25);
    omp_set_num_threads(2);
    const TArray1D nd2 = GaussianDensityND(points, vertices, 0.25);
    const TArray1D d2 = GaussianDensity2D(projections, vertices, 0.25);
    const TArray1D l2 = GaussianDensity2D(projections, lattice, 0.25);
    omp_set_num_threads(threads);
    EXPECT_EQ(nd1, nd2);
    EXPECT_EQ(d1, d2);
    EXPECT_EQ(l1, l2);
}

TEST(DensitiesTest, NoPointsGiveZeroDensity)
{
    const TArray2D vertices = {{0, 0, 0}, {1, 1, 1}};
    EXPECT_EQ(GaussianDensity2D({}, vertices, 0.25), (TArray1D{0, 0}));
    EXPECT_EQ(GaussianDensityND({}, vertices, 0.25), (TArray1D{0, 0}));
    EXPECT_TRUE(GaussianDensityND({{1, 2}}, {}, 0.25).empty());
}

TEST(DensitiesTest, GreyLevelsRunFromWhiteAtTheSmallestToBlackAtTheLargest)
{
    struct TCase {
        const char* Name;
        TArray1D Values;
        TArray1D Smooth;  // NormalizeToGray
        TArray1D Rounded; // the field rule
    };
    const double nan = Missing();
    const TCase cases[] = {
        {"ramp", {0, 1, 2, 4}, {1, 0.75, 0.5, 0}, {1, 191 / 255.0, 127 / 255.0, 0}},
        {"negative values", {-3, -1}, {1, 0}, {1, 0}},
        {"uniform is middle grey", {2, 2, 2}, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}},
        {"one value", {7}, {0.5}, {0.5}},
        {"missing values are grey and out of the range", {nan, 10, 20}, {0.5, 1, 0}, {0.5, 1, 0}},
        {"nothing", {}, {}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TArray2D smooth = NormalizeToGray(c.Values), rounded = RoundedGrayLevels(c.Values);
        ASSERT_EQ(smooth.size(), c.Values.size());
        ASSERT_EQ(rounded.size(), c.Values.size());
        for (std::size_t i = 0; i < c.Values.size(); ++i) {
            EXPECT_EQ(smooth[i], (TArray1D{c.Smooth[i], c.Smooth[i], c.Smooth[i]}));
            EXPECT_EQ(rounded[i], (TArray1D{c.Rounded[i], c.Rounded[i], c.Rounded[i]}));
        }
    }
}

} // namespace
} // namespace orbelin::coloring

// Kernel densities over the coloring surface and the grey levels of value lists.
#include "coloring/Densities.h"

#include "coloring/ColorSchemes.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <unordered_map>

namespace orbelin::coloring {
namespace {

// The distinct rows of a vertex matrix, compared by their first `width` entries' bits:
// refined surfaces repeat every corner and midpoint in each triangle that shares it, so
// a density computed per distinct position costs several times less and gives the very
// same numbers.
struct TDistinctRows {
    std::vector<double> Values;   ///< [U][width], missing entries where a row is short
    std::vector<std::int32_t> Of; ///< [V] the distinct row of each vertex
    std::size_t Count = 0;
};

TDistinctRows DistinctRows(const TArray2D& rows, std::size_t width)
{
    TDistinctRows distinct;
    distinct.Of.resize(rows.size());
    std::vector<double> row(width);
    const auto hash = [&](std::size_t u) {
        std::uint64_t h = 1469598103934665603ull;
        for (std::size_t k = 0; k < width; ++k) {
            h ^= std::bit_cast<std::uint64_t>(distinct.Values[u * width + k]);
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h);
    };
    const auto equal = [&](std::size_t a, std::size_t b) {
        return std::memcmp(&distinct.Values[a * width], &distinct.Values[b * width], width * sizeof(double)) == 0;
    };
    std::unordered_map<std::size_t, std::int32_t, decltype(hash), decltype(equal)> seen(rows.size(), hash, equal);
    distinct.Values.reserve(rows.size() * width + width);
    for (std::size_t v = 0; v < rows.size(); ++v) {
        // The candidate goes at the end; it stays there only when it is new.
        const std::size_t u = distinct.Count;
        for (std::size_t k = 0; k < width; ++k)
            distinct.Values.push_back(k < rows[v].size() ? rows[v][k] : Missing());
        const auto [it, inserted] = seen.try_emplace(u, static_cast<std::int32_t>(u));
        if (inserted) {
            ++distinct.Count;
        } else {
            distinct.Values.resize(u * width);
        }
        distinct.Of[v] = it->second;
    }
    return distinct;
}

TArray1D Spread(const TDistinctRows& distinct, const std::vector<double>& perDistinct)
{
    TArray1D values(distinct.Of.size());
    for (std::size_t v = 0; v < values.size(); ++v)
        values[v] = perDistinct[static_cast<std::size_t>(distinct.Of[v])];
    return values;
}

// Positions summed side by side: each lane of the vector unit keeps one position's sum
// and adds the points in order, so the sums are those of a plain loop whatever the width.
constexpr std::size_t Block = 8;

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define ORBELIN_KERNEL_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define ORBELIN_KERNEL_CLONES
#endif

inline __attribute__((always_inline)) double InlineKernelExp(double x)
{
    constexpr double Log2e = 1.4426950408889634;
    constexpr double Ln2Hi = 6.93147180369123816490e-01; // trailing zeros: k * Ln2Hi is exact
    constexpr double Ln2Lo = 1.90821492927058770002e-10;
    constexpr double Shift = 6755399441055744.0; // 1.5 * 2^52: adding it rounds to an integer
    const bool tiny = x < -708.0;
    x = tiny ? 0.0 : x;
    const double shifted = x * Log2e + Shift;
    const double k = shifted - Shift;
    const double r = (x - k * Ln2Hi) - k * Ln2Lo;
    double p = 1.0 / 6227020800.0; // 1/13!
    p = p * r + 1.0 / 479001600.0;
    p = p * r + 1.0 / 39916800.0;
    p = p * r + 1.0 / 3628800.0;
    p = p * r + 1.0 / 362880.0;
    p = p * r + 1.0 / 40320.0;
    p = p * r + 1.0 / 5040.0;
    p = p * r + 1.0 / 720.0;
    p = p * r + 1.0 / 120.0;
    p = p * r + 1.0 / 24.0;
    p = p * r + 1.0 / 6.0;
    p = p * r + 0.5;
    p = p * r + 1.0;
    p = p * r + 1.0;
    // The low bits of `shifted` hold k; k + 1023 in the exponent field is 2^k.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(shifted);
    const double scale = std::bit_cast<double>((bits + 1023) << 52);
    // Selecting between values already computed keeps the lanes free of branches.
    const double value = p * scale;
    return tiny ? 0.0 : value;
}

ORBELIN_KERNEL_CLONES
void Density2DBlock(const double* xs, const double* ys, const double* px, const double* py, std::size_t n, double invR2,
                    double* out)
{
    double x[Block], y[Block], sum[Block] = {};
    for (std::size_t b = 0; b < Block; ++b) {
        x[b] = xs[b];
        y[b] = ys[b];
    }
    for (std::size_t j = 0; j < n; ++j) {
        const double p = px[j], q = py[j];
#pragma omp simd
        for (std::size_t b = 0; b < Block; ++b) {
            const double dx = x[b] - p, dy = y[b] - q;
            sum[b] += InlineKernelExp(-(dx * dx + dy * dy) * invR2);
        }
    }
    for (std::size_t b = 0; b < Block; ++b)
        out[b] = sum[b];
}

// v holds the block's positions coordinate by coordinate: v[k * Block + b]. The points
// go in chunks: first every point's S for every lane, coordinate by coordinate, then the
// kernel terms, so that both steps are straight runs of lane operations.
template <bool Masked>
[[gnu::always_inline]] inline void DensityNDTerms(const double* v, const double* points, std::size_t n, std::size_t d,
                                                  double invH, double* out)
{
    constexpr std::size_t Chunk = 64;
    double sum[Block] = {};
    double s[Chunk][Block];
    for (std::size_t first = 0; first < n; first += Chunk) {
        const std::size_t m = std::min(Chunk, n - first);
        for (std::size_t j = 0; j < m; ++j)
            for (std::size_t b = 0; b < Block; ++b)
                s[j][b] = 0;
        for (std::size_t k = 0; k < d; ++k) {
            const double* vk = v + k * Block;
            for (std::size_t j = 0; j < m; ++j) {
                const double xk = points[(first + j) * d + k];
                double* sj = s[j];
#pragma omp simd
                for (std::size_t b = 0; b < Block; ++b) {
                    // A missing entry on either side makes t a NaN, which is left out.
                    const double t = (xk - vk[b]) * invH;
                    const double square = t * t;
                    if constexpr (Masked)
                        sj[b] += t == t ? square : 0.0;
                    else
                        sj[b] += square;
                }
            }
        }
        for (std::size_t j = 0; j < m; ++j) {
            const double* sj = s[j];
#pragma omp simd
            for (std::size_t b = 0; b < Block; ++b)
                sum[b] += InlineKernelExp(-sj[b]);
        }
    }
    for (std::size_t b = 0; b < Block; ++b)
        out[b] = sum[b];
}

// Where every point and position is finite no term is left out: the sums are the same
// without the test.
ORBELIN_KERNEL_CLONES
void DensityNDBlock(const double* v, const double* points, std::size_t n, std::size_t d, double invH, bool finite,
                    double* out)
{
    if (finite)
        DensityNDTerms<false>(v, points, n, d, invH, out);
    else
        DensityNDTerms<true>(v, points, n, d, invH, out);
}

// The distinct positions of a 2D density when they make up most of a lattice: every
// position is (X[a], Y[b]) for sorted distinct X and Y.
struct TLattice {
    std::vector<double> X, Y;
    std::vector<std::int32_t> A, B; ///< [U] the lattice indices of each position
};

/// A lattice pays where it holds at most this many points per distinct position.
constexpr std::size_t LatticeSlack = 4;

bool FindLattice(const TDistinctRows& distinct, TLattice& lattice)
{
    const std::size_t count = distinct.Count;
    for (int axis = 0; axis < 2; ++axis) {
        std::vector<double>& values = axis == 0 ? lattice.X : lattice.Y;
        values.resize(count);
        for (std::size_t u = 0; u < count; ++u)
            values[u] = distinct.Values[u * 2 + static_cast<std::size_t>(axis)];
        // Positions that are not numbers have no place on a lattice.
        for (double v : values)
            if (!std::isfinite(v))
                return false;
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
    }
    if (lattice.X.size() * lattice.Y.size() > LatticeSlack * count)
        return false;
    lattice.A.resize(count);
    lattice.B.resize(count);
    for (std::size_t u = 0; u < count; ++u) {
        lattice.A[u] = static_cast<std::int32_t>(
            std::lower_bound(lattice.X.begin(), lattice.X.end(), distinct.Values[u * 2]) - lattice.X.begin());
        lattice.B[u] = static_cast<std::int32_t>(
            std::lower_bound(lattice.Y.begin(), lattice.Y.end(), distinct.Values[u * 2 + 1]) - lattice.Y.begin());
    }
    return true;
}

/// Points per pass of the lattice sums, and lattice rows and columns per block of them.
constexpr std::size_t LatticeChunk = 1024;
constexpr std::size_t LatticeRows = 4;

// sums[a][b] += sum over the chunk's points c, in order, of ex[a][c] * ey[c][b], for the
// LatticeRows rows from a and every b (ey padded to whole blocks).
ORBELIN_KERNEL_CLONES
void LatticeBlock(const double* ex, const double* ey, std::size_t chunk, std::size_t columns, std::size_t a,
                  std::size_t rows, double* sums)
{
    for (std::size_t b = 0; b < columns; b += Block) {
        double acc[LatticeRows][Block] = {};
        for (std::size_t c = 0; c < chunk; ++c) {
            const double* e = ey + c * columns + b;
            for (std::size_t i = 0; i < LatticeRows; ++i) {
                const double f = ex[(a + i) * chunk + c];
#pragma omp simd
                for (std::size_t k = 0; k < Block; ++k)
                    acc[i][k] += f * e[k];
            }
        }
        for (std::size_t i = 0; i < LatticeRows && a + i < rows; ++i)
            for (std::size_t k = 0; k < Block; ++k)
                sums[(a + i) * columns + b + k] += acc[i][k];
    }
}

// Each term of the 2D density factors: e^-((dx^2 + dy^2) / r^2) = e^-(dx^2 / r^2) e^-(dy^2 / r^2),
// so on a lattice the sums over the points are the products of two small tables.
std::vector<double> LatticeDensity(const TLattice& lattice, const std::vector<double>& px,
                                   const std::vector<double>& py, double invR2)
{
    const std::size_t rows = lattice.X.size();
    const std::size_t paddedRows = (rows + LatticeRows - 1) / LatticeRows * LatticeRows;
    const std::size_t columns = (lattice.Y.size() + Block - 1) / Block * Block;
    const std::size_t n = px.size();
    std::vector<double> sums(paddedRows * columns, 0.0);
    std::vector<double> ex(paddedRows * LatticeChunk), ey(LatticeChunk * columns);
    const auto rowBlocks = static_cast<std::ptrdiff_t>(paddedRows / LatticeRows);
    for (std::size_t first = 0; first < n; first += LatticeChunk) {
        const std::size_t chunk = std::min(LatticeChunk, n - first);
        const auto chunkSize = static_cast<std::ptrdiff_t>(chunk);
#pragma omp parallel for schedule(static)
        for (std::ptrdiff_t c = 0; c < chunkSize; ++c) {
            const std::size_t j = first + static_cast<std::size_t>(c);
            for (std::size_t a = 0; a < paddedRows; ++a) {
                const double dx = a < rows ? lattice.X[a] - px[j] : 0.0;
                ex[a * chunk + static_cast<std::size_t>(c)] = a < rows ? InlineKernelExp(-(dx * dx) * invR2) : 0.0;
            }
            for (std::size_t b = 0; b < columns; ++b) {
                const double dy = b < lattice.Y.size() ? lattice.Y[b] - py[j] : 0.0;
                ey[static_cast<std::size_t>(c) * columns + b] =
                    b < lattice.Y.size() ? InlineKernelExp(-(dy * dy) * invR2) : 0.0;
            }
        }
#pragma omp parallel for schedule(static)
        for (std::ptrdiff_t r = 0; r < rowBlocks; ++r)
            LatticeBlock(ex.data(), ey.data(), chunk, columns, static_cast<std::size_t>(r) * LatticeRows, paddedRows,
                         sums.data());
    }
    std::vector<double> density(lattice.A.size());
    for (std::size_t u = 0; u < density.size(); ++u)
        density[u] = sums[static_cast<std::size_t>(lattice.A[u]) * columns + static_cast<std::size_t>(lattice.B[u])];
    return density;
}

std::size_t BlockCount(std::size_t count)
{
    return (count + Block - 1) / Block;
}

} // namespace

double KernelExp(double x)
{
    return InlineKernelExp(x);
}

TArray1D GaussianDensity2D(const TArray2D& projections, const TArray2D& vertices, double radius)
{
    const std::size_t n = projections.size();
    if (n == 0)
        return TArray1D(vertices.size(), 0.0);
    std::vector<double> px(n), py(n);
    for (std::size_t j = 0; j < n; ++j) {
        px[j] = projections[j].size() > 0 ? projections[j][0] : 0.0;
        py[j] = projections[j].size() > 1 ? projections[j][1] : 0.0;
    }
    const TDistinctRows distinct = DistinctRows(vertices, 2);
    const double r2 = radius * radius;
    const double denominator = std::numbers::pi * static_cast<double>(n) * r2;
    TLattice lattice;
    if (FindLattice(distinct, lattice)) {
        std::vector<double> density = LatticeDensity(lattice, px, py, 1 / r2);
        for (double& v : density)
            v /= denominator;
        return Spread(distinct, density);
    }
    const std::size_t blocks = BlockCount(distinct.Count);
    // Positions split into x and y, the last block padded with copies of the last one.
    std::vector<double> xs(blocks * Block), ys(blocks * Block), density(blocks * Block);
    for (std::size_t u = 0; u < xs.size(); ++u) {
        const std::size_t from = std::min(u, distinct.Count - 1);
        xs[u] = distinct.Values[from * 2];
        ys[u] = distinct.Values[from * 2 + 1];
    }
    const auto blockCount = static_cast<std::ptrdiff_t>(blocks);
#pragma omp parallel for schedule(dynamic, 4)
    for (std::ptrdiff_t b = 0; b < blockCount; ++b) {
        const std::size_t at = static_cast<std::size_t>(b) * Block;
        Density2DBlock(xs.data() + at, ys.data() + at, px.data(), py.data(), n, 1 / r2, density.data() + at);
    }
    for (double& v : density)
        v /= denominator;
    return Spread(distinct, density);
}

TArray1D GaussianDensityND(const TArray2D& points, const TArray2D& vertices, double radius)
{
    const std::size_t n = points.size();
    if (n == 0 || vertices.empty())
        return TArray1D(vertices.size(), 0.0);
    std::size_t d = 0;
    for (const TArray1D& point : points)
        d = std::max(d, point.size());
    std::vector<double> x(n * d, Missing());
    for (std::size_t j = 0; j < n; ++j)
        std::copy(points[j].begin(), points[j].end(), x.begin() + static_cast<std::ptrdiff_t>(j * d));
    const double h = radius * (d > 1 ? static_cast<double>(d - 1) : 1.0);
    const TDistinctRows distinct = DistinctRows(vertices, d);
    const std::size_t blocks = BlockCount(distinct.Count);
    std::vector<double> v(blocks * Block * d), density(blocks * Block);
    for (std::size_t b = 0; b < blocks; ++b)
        for (std::size_t lane = 0; lane < Block; ++lane) {
            const std::size_t from = std::min(b * Block + lane, distinct.Count - 1);
            for (std::size_t k = 0; k < d; ++k)
                v[(b * d + k) * Block + lane] = distinct.Values[from * d + k];
        }
    const bool finite = std::all_of(x.begin(), x.end(), [](double e) { return std::isfinite(e); }) &&
                        std::all_of(v.begin(), v.end(), [](double e) { return std::isfinite(e); });
    const auto blockCount = static_cast<std::ptrdiff_t>(blocks);
#pragma omp parallel for schedule(dynamic, 4)
    for (std::ptrdiff_t b = 0; b < blockCount; ++b) {
        const std::size_t at = static_cast<std::size_t>(b);
        DensityNDBlock(v.data() + at * d * Block, x.data(), n, d, 1 / h, finite, density.data() + at * Block);
    }
    const double denominator = std::numbers::pi * static_cast<double>(n) * h * h;
    for (double& value : density)
        value /= denominator;
    return Spread(distinct, density);
}

TArray2D NormalizeToGray(const TArray1D& values)
{
    double lo = 1e100, hi = -1e100;
    for (const double v : values) {
        if (v < lo)
            lo = v;
        if (v > hi)
            hi = v;
    }
    TArray2D rows(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        // A uniform list gives 0 / 0, a value that is no number gives NaN: both are grey.
        const double t = (values[i] - lo) / (hi - lo);
        const double g = t >= 0 && t <= 1 ? 1 - t : 0.5;
        rows[i] = {g, g, g};
    }
    return rows;
}

TArray2D RoundedGrayLevels(const TArray1D& values)
{
    double lo = 1e100, hi = -1e100;
    for (const double v : values) {
        if (v < lo)
            lo = v;
        if (v > hi)
            hi = v;
    }
    TArray2D rows(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double t = (values[i] - lo) / (hi - lo);
        const double g = t >= 0 && t <= 1 ? (255 - Nearest(255 * t)) / 255.0 : 0.5;
        rows[i] = {g, g, g};
    }
    return rows;
}

} // namespace orbelin::coloring

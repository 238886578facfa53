// The missing-value marker and the process-wide convergence tolerance.
#pragma once

#include <bit>
#include <cstdint>

namespace orbelin {

/// A double is missing exactly when its top 16 bits (sign, exponent, top four fraction
/// bits) equal 0x7FFF. Ordinary NaNs (0x7FF8..., 0xFFF8...) and the infinities are not.
constexpr std::uint64_t MissingTopBits = 0x7FFF;

constexpr bool IsMissing(double x) noexcept
{
    return (std::bit_cast<std::uint64_t>(x) >> 48) == MissingTopBits;
}

/// Writes the marker into the top 16 bits and keeps the low 48 bits.
constexpr void SetMissing(double& x) noexcept
{
    const std::uint64_t low = std::bit_cast<std::uint64_t>(x) & 0x0000FFFFFFFFFFFFull;
    x = std::bit_cast<double>((MissingTopBits << 48) | low);
}

/// The canonical missing value, bit pattern 0x7FFF000000000000.
constexpr double Missing() noexcept
{
    return std::bit_cast<double>(MissingTopBits << 48);
}

/// Stopping threshold of the first-component iteration and of k-means.
extern double NumericTolerance;

} // namespace orbelin

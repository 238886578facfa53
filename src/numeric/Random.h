// The one process-wide uniform random generator behind every random draw of the core.
#pragma once

#include <cstdint>

namespace orbelin::numeric {

/// A uniform integer in 0..n-1 (the system draws with n = 1000). Thread-safe.
int RandInt(int n);

/// Restarts the generator from a fixed seed, so runs can be repeated.
void SeedRandom(std::uint64_t seed);

/// Restarts the generator from the clock.
void SeedRandomFromClock();

} // namespace orbelin::numeric

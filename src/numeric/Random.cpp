// The process-wide generator: a Mersenne twister behind a mutex, since the training
// thread and the user-interface thread may both draw.
#include "numeric/Random.h"

#include <chrono>
#include <mutex>
#include <random>

namespace orbelin::numeric {
namespace {

std::mutex& GeneratorMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::mt19937_64& Generator()
{
    static std::mt19937_64 generator(5489u);
    return generator;
}

} // namespace

int RandInt(int n)
{
    if (n <= 1)
        return 0;
    std::lock_guard lock(GeneratorMutex());
    // Rejection keeps the draw exactly uniform; distributions differ between library
    // versions, so the arithmetic is our own.
    const std::uint64_t range = static_cast<std::uint64_t>(n);
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    std::uint64_t r;
    do
        r = Generator()();
    while (r >= limit);
    return static_cast<int>(r % range);
}

void SeedRandom(std::uint64_t seed)
{
    std::lock_guard lock(GeneratorMutex());
    Generator().seed(seed);
}

void SeedRandomFromClock()
{
    SeedRandom(static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

} // namespace orbelin::numeric

// Vector width of the training kernels.
#include "map/SimdWidth.h"

#include <atomic>

namespace orbelin::map {
namespace {

int Widest()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return 8;
    if (__builtin_cpu_supports("avx2"))
        return 4;
    return 2;
}

// AVX2 where there is AVX2: measured on the project's machines, the nearest-node search
// ran twice as fast with it as with AVX-512, and the solves as fast.
int Preferred(int widest)
{
    return widest > 4 ? 4 : widest;
}

std::atomic<int> forced{0};

} // namespace

int SimdWidth()
{
    static const int widest = Widest();
    const int width = forced.load(std::memory_order_relaxed);
    return width > 0 && width <= widest ? width : Preferred(widest);
}

void ForceSimdWidth(int width)
{
    forced.store(width == 2 || width == 4 || width == 8 ? width : 0, std::memory_order_relaxed);
}

} // namespace orbelin::map

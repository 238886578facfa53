// Which vector instruction set the training kernels run with.
#pragma once

namespace orbelin::map {

/// Doubles per vector of the training kernels on this processor: 8 with AVX-512, 4 with
/// AVX2, else 2. Every width gives the same results.
int SimdWidth();

/// Makes the kernels run with a narrower width (2, 4 or 8; one the processor supports),
/// so that every code path can be tested on one machine; 0 returns to the widest. Not for
/// use while a training run works.
void ForceSimdWidth(int width);

} // namespace orbelin::map

// Which vector instruction set the training kernels run with.
#pragma once

namespace orbelin::map {

/// Doubles per vector of the training kernels: 4 with AVX2, else 2, unless another width
/// is forced. Every width gives the same results.
int SimdWidth();

/// Makes the kernels run with the given width (2, 4 or 8 for AVX-512; one the processor
/// supports), so that every code path can be tested and timed on one machine; 0 returns
/// to the default. Not for use while a training run works.
void ForceSimdWidth(int width);

} // namespace orbelin::map

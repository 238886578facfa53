// The process-wide tolerance; the application sets it again at start-up.
#include "numeric/Missing.h"

namespace orbelin {

double NumericTolerance = 1e-5;

} // namespace orbelin

#ifndef CMATH_H
#define CMATH_H

#include <cstdint>

namespace CMath {

// floor(sqrt(x)) for every non-negative 32-bit x, from a 256-byte seed table
// and at most one Newton step; 0 for negative x.
int32_t Sqrt(int32_t x);

}  // namespace CMath

#endif

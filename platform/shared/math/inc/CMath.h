#ifndef CMATH_H
#define CMATH_H

#include <cstdint>

namespace CMath {

// floor(sqrt(x)) for every non-negative 32-bit x, from a 256-byte seed table
// and at most one Newton step; 0 for negative x.
int32_t Sqrt(int32_t x);
// The same root for values beyond 32 bits (0 for negative ones).
int32_t SqrtWide(int64_t x);

}  // namespace CMath

#endif

#ifndef MGLFIXED_H
#define MGLFIXED_H

#include <cstdint>

#include "CFixedWide.h"

// 32-bit arithmetic as the handset's processor does it: sums, differences
// and negations wrap instead of overflowing.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t WrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

// The low 32 bits of a product, as a 32-bit multiply gives them.
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// a << n of a possibly negative a, bits shifted out of the top lost (0 <= n < 32).
inline int32_t WrapShiftLeft(int32_t a, int32_t n) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) << n);
}

// |v|, the magnitude of the most negative value held at the largest one.
inline int32_t Magnitude(int32_t v) {
    const int64_t m = v < 0 ? -int64_t{v} : int64_t{v};
    return m > INT32_MAX ? INT32_MAX : static_cast<int32_t>(m);
}

// Dot products of 16.16 values: each term is its own FixedMul16 (rounded on
// its own), the terms summed in wrapping 32-bit arithmetic.
inline int32_t Dot2x16(int32_t a0, int32_t b0, int32_t a1, int32_t b1) {
    return WrapAdd(FixedMul16(a0, b0), FixedMul16(a1, b1));
}

inline int32_t Dot3x16(int32_t a0, int32_t b0, int32_t a1, int32_t b1, int32_t a2, int32_t b2) {
    return WrapAdd(Dot2x16(a0, b0, a1, b1), FixedMul16(a2, b2));
}

#endif

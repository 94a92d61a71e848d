#ifndef CFIXEDWIDE_H
#define CFIXEDWIDE_H

#include <cstdint>

#include "CMathFixed.h"

// Multiplies for fixed-point formats other than 16.16 (shifts of 24, 30, 32
// among them). Every shift is arithmetic on the full 64-bit value, so results
// round toward minus infinity; a result wider than 32 bits keeps its low 32.

// The shift to use for an n outside 0..63: 63 for a larger n (the result is
// then 0 or -1, as an ever longer arithmetic shift gives); a negative n is
// reported and acts as 0.
int32_t FixedShiftInRange(int32_t n);

// FixedMulShift for an n its caller holds within 0..63.
inline int32_t FixedMulShiftIn(int32_t a, int32_t b, int32_t n) {
    const int64_t product = static_cast<int64_t>(a) * b;
    return static_cast<int32_t>(static_cast<uint32_t>(product >> n));
}

// The signed 64-bit product a*b shifted right by n.
inline int32_t FixedMulShift(int32_t a, int32_t b, int32_t n) {
    if (n < 0 || n > 63) n = FixedShiftInRange(n);
    return FixedMulShiftIn(a, b, n);
}

inline int32_t FixedMul16(int32_t a, int32_t b) { return FixedMulShift(a, b, 16); }

// 16.16 intermediates held in 64 bits: dot products of coordinates of some
// thousand units, and their products, pass 32 bits. Each product rounds
// like FixedMul, so where FixedMul's result would have fitted the wide one is
// the same value. A product of two dot products of 3-D differences stays in
// 64 bits while every difference component is below about 1988 units.
inline int64_t FixedMulWide(int64_t a, int64_t b) {
    return static_cast<int64_t>((static_cast<__int128>(a) * b) >> 16);
}

// FixedDiv of wide operands: the same truncated quotient and the same
// answers for a zero divisor; the low 32 bits of the quotient are returned.
inline int32_t FixedDivWide(int64_t a, int64_t b) {
    if (b == 0) return a == 0 ? 0 : (a > 0 ? INT32_MAX : -INT32_MAX);
    const __int128 quotient = (static_cast<__int128>(a) * 65536) / b;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(quotient)));
}

// num / den for weights and parameters. While den fits 16.16 this goes
// through its reciprocal, FixedMul(FixedDiv(1.0, den), num), as the 32-bit
// routines always did, so their results stay; a larger den would have a
// reciprocal that rounds to nothing, and the quotient is taken directly.
inline int32_t FixedRatioWide(int64_t num, int64_t den) {
    if (den < INT32_MIN || den > INT32_MAX) return FixedDivWide(num, den);
    const int32_t reciprocal = FixedDiv(CMathFixed::ONE, static_cast<int32_t>(den));
    return static_cast<int32_t>(FixedMulWide(reciprocal, num));
}
inline int32_t FixedMul24(int32_t a, int32_t b) { return FixedMulShift(a, b, 24); }
inline int32_t FixedMul30(int32_t a, int32_t b) { return FixedMulShift(a, b, 30); }

// (a*b + c*d + e*f) >> n with the three products summed in 64 bits before the
// single shift, so no term is truncated on its own; the 64-bit sum wraps.
// Same range of n.
int32_t FixedDot3Shift(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t n);

// For each of count records of stride words: word k = FixedDot3Shift(word 0,
// m0, word 1, m1, word 2, m2, 16) + t. Called once per output word with one
// matrix row and its translation, with k beyond the source words 0-2. A
// record must hold the source words and word k (3 <= stride, 0 <= k < stride);
// other shapes are reported and refused. A count of 0 or less touches nothing.
void FixedTransformArray(int32_t* records, int32_t count, int32_t stride, int32_t k, int32_t m0, int32_t m1,
                         int32_t m2, int32_t t = 0);

// Enters run-time span code as a function of three arguments and returns its
// result. That code is ARM machine code, which this host cannot execute: the
// call is refused (reported, result 0) and callers must run the code through
// the span-code interpreter instead.
uint64_t CallGenerated(const void* code, uintptr_t a, uintptr_t b, uintptr_t c);

#endif

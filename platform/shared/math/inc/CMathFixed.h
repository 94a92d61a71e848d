#ifndef CMATHFIXED_H
#define CMATHFIXED_H

#include <cstdint>

// Signed 16.16 fixed point: a 32-bit integer whose real value is the integer
// divided by 65536. Angles are 16.16 degrees. Sums wrap in 32 bits (the build
// uses -fwrapv); nothing saturates.

// The 64-bit product shifted right arithmetically by 16, so results round
// toward minus infinity (FixedMul(-1, 1) == -1). A product outside the 16.16
// range keeps its low 32 bits.
inline int32_t FixedMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>((static_cast<int64_t>(a) * b) >> 16));
}

// a widened to 64 bits, scaled by 65536 and divided by b with truncation
// toward zero; the low 32 bits are the result. A zero divisor has a defined
// answer instead of trapping: 0 for a == 0, 0x7FFFFFFF for a > 0 and
// -0x7FFFFFFF for a < 0 (the quotient's sign with the largest magnitude).
inline int32_t FixedDiv(int32_t a, int32_t b) {
    if (b == 0) {
        return a == 0 ? 0 : (a > 0 ? INT32_MAX : -INT32_MAX);
    }
    const int64_t quotient = (static_cast<int64_t>(a) * 65536) / b;
    return static_cast<int32_t>(static_cast<uint32_t>(quotient));
}

namespace CMathFixed {

inline constexpr int32_t SHIFT = 16;
inline constexpr int32_t ONE = 0x10000;
inline constexpr int32_t PI = 0x3243F;
inline constexpr int32_t PI_SQUARED = 0x9DE9E;
inline constexpr int32_t DEG_15 = 0xF0000;
inline constexpr int32_t DEG_33 = 0x210000;
inline constexpr int32_t DEG_45 = 0x2D0000;
inline constexpr int32_t DEG_90 = 0x5A0000;
inline constexpr int32_t DEG_180 = 0xB40000;
inline constexpr int32_t DEG_270 = 0x10E0000;
inline constexpr int32_t DEG_360 = 0x1680000;
inline constexpr int32_t EPSILON = 0x28F;
// Tolerance of the unit-range check of the arc functions (1.01).
inline constexpr int32_t ONE_PLUS_EPSILON = 0x1028F;
inline constexpr int32_t ZERO = 0;

// Number of entries of the quarter-wave sine table and of the arc-sine table.
inline constexpr int32_t SIN_TABLE_SIZE = 1023;
inline constexpr int32_t ASIN_TABLE_SIZE = 1024;

// Constant tables: entry i of the sine table is sin(i * 90/1023 degrees) in
// 16.16, entry i of the arc-sine table arcsin(i/1023) in 16.16 degrees, both
// truncated toward zero.
extern const int32_t kSinTable[SIN_TABLE_SIZE];
extern const int32_t kASinTable[ASIN_TABLE_SIZE];

// Square root of a 16.16 value as 16.16 with 8 significant fraction bits;
// 0 for negative input.
int32_t Sqrt(int32_t x);

// Table sine and cosine of a 16.16 angle in degrees, no interpolation.
int32_t Sin(int32_t angle);
int32_t Cos(int32_t angle);

// Arc sine in [-90, 90] and arc cosine in [0, 180] degrees. The argument must
// lie within 1.01 in magnitude (checked); from 1.0 up to that the result is
// +-90 degrees (0 or 180 for the arc cosine).
int32_t ASin(int32_t x);
int32_t ACos(int32_t x);

// Arc tangent of x in degrees: ATan2(x, 1.0).
int32_t ATan(int32_t x);

// Angle of the vector (x, y) in (-180, 180] degrees; (0, 0) gives 0. The
// components are brought to a magnitude between 1.0 and 128.0 (a power-of-two
// scale, which keeps the angle) before the hypotenuse is taken, so short
// vectors do not lose it to rounding and long ones do not overflow.
int32_t ATan2(int32_t y, int32_t x);

// The same for plain integer coordinates; (0, 0) gives 0.
int32_t ATan2Int(int32_t y, int32_t x);

// x limited to [-1.0, 1.0]; checks that |x| < 1.01.
int32_t ClampUnit(int32_t x);

// Real roots of a*t^2 + b*t + c. False (outputs untouched) when a is 0 or the
// discriminant is negative; otherwise root1 = (-b + sqrt(D)) / 2a and
// root2 = (-b - sqrt(D)) / 2a, so root1 is the larger one when a > 0.
bool SolveQuadratic(int32_t* root1, int32_t* root2, int32_t a, int32_t b, int32_t c);

// The larger of v and -v; the most negative value is returned unchanged.
inline int32_t Abs(int32_t v) {
    const int32_t negated = static_cast<int32_t>(0u - static_cast<uint32_t>(v));
    return v > negated ? v : negated;
}

// low when v < low, else high when v >= high, else v.
inline int32_t Clamp(int32_t v, int32_t low, int32_t high) {
    if (v < low) return low;
    if (v >= high) return high;
    return v;
}

}  // namespace CMathFixed

#endif

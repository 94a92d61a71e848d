#include "CMathFixed.h"

#include "CAssert.h"
#include "CMath.h"

namespace {

// 90/1023 degrees in 16.16, truncated: the angle step of the sine table.
constexpr uint32_t kSinStep = 0x1685;
// Magnitudes from here up to 1.0 read as the end of the arc-sine table.
constexpr uint32_t kASinEnd = 0xFFFC;

uint32_t Magnitude(int32_t v) {
    return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
}

int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrapShiftLeft(int32_t v, uint32_t n) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) << n);
}

// Sine of an angle folded into [0, 90] degrees.
int32_t QuarterSin(uint32_t angle) {
    const uint32_t index = angle / kSinStep;
    if (index >= static_cast<uint32_t>(CMathFixed::SIN_TABLE_SIZE)) return CMathFixed::ONE;
    return CMathFixed::kSinTable[index];
}

uint32_t LargerMagnitude(int32_t y, int32_t x) { return Magnitude(x) > Magnitude(y) ? Magnitude(x) : Magnitude(y); }

// Scales (y, x) by a power of two so that the larger magnitude lies in
// [low, high): the angle of the vector stays, the arithmetic fits. The
// magnitude is taken from the shifted values themselves: a negative odd
// value shifts away from zero (-65535 >> 1 is -32768), onto the bound.
void ScaleIntoRange(int32_t& y, int32_t& x, uint32_t low, uint32_t high) {
    while (LargerMagnitude(y, x) >= high) {
        x >>= 1;
        y >>= 1;
    }
    while (LargerMagnitude(y, x) < low) {
        x *= 2;
        y *= 2;
    }
}

// The angle in (-180, 180] of a vector whose cosine is given, on the side of
// the x axis that y says.
int32_t AngleFromCosine(int32_t cosine, int32_t y) {
    int32_t angle = CMathFixed::ACos(cosine);
    if (y < 0 && angle != 0) angle = CMathFixed::DEG_360 - angle;
    if (angle > CMathFixed::DEG_180) angle -= CMathFixed::DEG_360;
    return angle;
}

}  // namespace

namespace CMathFixed {

int32_t Sqrt(int32_t x) {
    return CMath::Sqrt(x) << 8;
}

int32_t Sin(int32_t angle) {
    bool negate = angle < 0;
    uint32_t a = Magnitude(angle);
    if (a >= static_cast<uint32_t>(DEG_360)) a %= static_cast<uint32_t>(DEG_360);
    if (a > static_cast<uint32_t>(DEG_180)) {
        a = DEG_360 - a;
        negate = !negate;
    }
    if (a > static_cast<uint32_t>(DEG_90)) a = DEG_180 - a;
    const int32_t value = QuarterSin(a);
    return negate ? -value : value;
}

int32_t Cos(int32_t angle) {
    return Sin(WrapAdd(angle, DEG_90));
}

int32_t ClampUnit(int32_t x) {
    if (Magnitude(x) >= static_cast<uint32_t>(ONE_PLUS_EPSILON)) ASSERT(false);
    return Clamp(x, -ONE, ONE);
}

int32_t ASin(int32_t x) {
    ClampUnit(x);
    const uint32_t ax = Magnitude(x);
    const int32_t magnitude = ax >= kASinEnd ? DEG_90 : kASinTable[ax >> 6];
    return x < 0 ? -magnitude : magnitude;
}

int32_t ACos(int32_t x) {
    return DEG_90 - ASin(x);
}

int32_t ATan(int32_t x) {
    return ATan2(x, ONE);
}

int32_t ATan2(int32_t y, int32_t x) {
    if (x == 0 && y == 0) return 0;
    // At least 1.0 so the rounded root keeps |x| / h within the unit range,
    // below 128.0 so the sum of squares fits.
    ScaleIntoRange(y, x, 0x10000, 0x800000);
    const int32_t h = Sqrt(FixedMul(x, x) + FixedMul(y, y));
    return AngleFromCosine(FixedDiv(x, h), y);
}

int32_t ATan2Int(int32_t y, int32_t x) {
    if (x == 0 && y == 0) return 0;
    // At least 256 so the integer root keeps the angle, below 32768 so the
    // sum of squares fits 31 bits.
    ScaleIntoRange(y, x, 0x100, 0x8000);
    const int32_t h = CMath::Sqrt(x * x + y * y);
    return AngleFromCosine((x * 65536) / h, y);
}

bool SolveQuadratic(int32_t* root1, int32_t* root2, int32_t a, int32_t b, int32_t c) {
    if (root1 == nullptr || root2 == nullptr) {
        ASSERT(false);
        return false;
    }
    const int32_t discriminant = FixedMul(b, b) - WrapShiftLeft(FixedMul(a, c), 2);
    if (discriminant < 0 || a == 0) return false;
    const int32_t s = Sqrt(discriminant);
    const int32_t k = FixedDiv(ONE, WrapShiftLeft(a, 1));
    *root1 = FixedMul(s - b, k);
    *root2 = FixedMul(-b - s, k);
    return true;
}

}  // namespace CMathFixed

#ifndef FIXEDTESTUTIL_H
#define FIXEDTESTUTIL_H

#include <cmath>
#include <cstdint>

// Conversions between real numbers and 16.16 for computing expected values
// independently of the code under test.
namespace FixedTest {

inline constexpr double kOne = 65536.0;
inline constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

inline int32_t ToFixed(double value) {
    return static_cast<int32_t>(std::lround(value * kOne));
}

inline double ToReal(int32_t value) {
    return value / kOne;
}

// Fixed-point degrees of an angle given in radians.
inline double FixedDegrees(double radians) {
    return radians / kRadiansPerDegree * kOne;
}

// Keeps the low 32 bits of an integer, as the handset's registers did.
inline int32_t Wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace FixedTest

#endif

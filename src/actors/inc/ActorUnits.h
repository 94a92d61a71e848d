#ifndef ACTORUNITS_H
#define ACTORUNITS_H

#include <cstdint>

// Actor positions are 22.10 fixed point (1024 units a pixel); speeds are
// units per second. Shifts of negative values are arithmetic (C++20), as on
// the handset, so positions left of or above the map stay exact.
namespace ActorUnits {

constexpr int32_t kShift = 10;
constexpr int32_t kPerPixel = 1 << kShift;

constexpr int32_t FromPixels(int32_t pixels) {
    return static_cast<int32_t>(static_cast<uint32_t>(pixels) << kShift);
}
constexpr int32_t ToPixels(int32_t units) { return units >> kShift; }

// The handset computed in 32 bits; products that could leave that range are
// taken in 64 bits and narrowed, which keeps every in-range result.
constexpr int32_t Narrow(int64_t value) { return static_cast<int32_t>(static_cast<uint64_t>(value)); }
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t divisor) {
    return divisor == 0 ? 0 : Narrow(static_cast<int64_t>(a) * b / divisor);
}

}  // namespace ActorUnits

#endif

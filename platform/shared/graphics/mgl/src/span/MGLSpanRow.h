#ifndef MGLSPANROW_H
#define MGLSPANROW_H

#include <cstdint>
#include <cstring>

#include "CMathFixed.h"
#include "MGLContext.h"

namespace span_detail {

// The bytes of a depth-buffer word the spans test and write.
inline constexpr uint32_t kDepthBytes = 4;
inline constexpr int32_t kMaxInterpolants = static_cast<int32_t>(MGLRecord::kInterpolantWords);
// The alpha (of 65535) below which a texel leaves its pixel as it is.
inline constexpr int32_t kMinAlpha = 15;
// The interpolants of the texture coordinates u and v.
inline constexpr int32_t kU = 1;
inline constexpr int32_t kV = 2;

// The row segment a span writes, in host memory.
struct SpanRow {
    uint8_t* colour = nullptr;
    uint8_t* depth = nullptr;  // null: no depth work
    int32_t xs = 0;
    int32_t count = 0;
    uint32_t format = 0;
    int32_t bpp = 0;
    int32_t zbpp = 0;
    int32_t interpolants = 0;  // the record's count, bounded
};

inline uint32_t LoadWord(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void StoreWord(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }

inline void StoreHalf(uint8_t* p, uint32_t v) {
    const uint16_t h = static_cast<uint16_t>(v);
    std::memcpy(p, &h, sizeof h);
}

inline int32_t Interpolants(const MGLRecord& s) { return CMathFixed::Clamp(s.numInterpolants, 0, kMaxInterpolants); }

}  // namespace span_detail

#endif

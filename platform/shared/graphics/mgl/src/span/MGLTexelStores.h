#ifndef MGLTEXELSTORES_H
#define MGLTEXELSTORES_H

#include <cstdint>
#include <cstring>

#include "CColor.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"
#include "PixelFormatLayouts.h"

namespace span_detail {

// The bytes of a row's plane its pixels write, [start, end).
inline const uint8_t* PlaneEnd(const uint8_t* start, const SpanRow& row, int32_t bytes) {
    return start != nullptr ? start + static_cast<ptrdiff_t>(row.count) * bytes : nullptr;
}

// A memo of the quads a row reads, apart from the bytes it writes.
inline QuadMemo RowMemo(const SpanRow& row) {
    return QuadMemo(row.colour, PlaneEnd(row.colour, row, row.bpp), row.depth, PlaneEnd(row.depth, row, row.zbpp));
}

#if MGL_VECTOR_UNIT(SSE2)
// PixelR5G6B5 worked in the vector the sampler's sums leave the colour
// in, rather than after taking its channels out one by one: red masked,
// green and blue moved down in their lanes (the high half of a product,
// whole for channels of 0..65535) and masked, then the lanes gathered.
inline uint32_t FilteredPixelR5G6B5(const RSBFormat_ARGB_fixed& c) {
    constexpr PixelLayout kStored = pixel_layout::kR5G6B5;
    static_assert(kStored.r.shift + kStored.r.bits == 16, "red's field is its channel's top bits");
    // x times 2^(16 - n), high half: x >> n.
    const auto down = [](PixelLayout::Field f) { return 1 << (f.shift + f.bits); };
    const auto mask = [](PixelLayout::Field f) { return static_cast<int32_t>(f.Mask()); };
    __m128i argb;
    std::memcpy(&argb, &c, sizeof argb);
    const __m128i moved = _mm_mulhi_epu16(argb, _mm_set_epi32(down(kStored.b), down(kStored.g), 0, 0));
    const __m128i fields = _mm_or_si128(_mm_and_si128(argb, _mm_set_epi32(0, 0, mask(kStored.r), 0)),
                                        _mm_and_si128(moved, _mm_set_epi32(mask(kStored.b), mask(kStored.g), 0, 0)));
    const __m128i pairs = _mm_or_si128(fields, _mm_shuffle_epi32(fields, _MM_SHUFFLE(3, 2, 3, 2)));
    const __m128i gathered = _mm_or_si128(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(1, 1, 1, 1)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(gathered));
}
#else
inline uint32_t FilteredPixelR5G6B5(const RSBFormat_ARGB_fixed& c) { return texel_format::PixelR5G6B5(c); }
#endif

// A fixed colour (channels 0..65535) stored in the target format; nothing
// for a format without a store.
inline void StoreTexel(uint8_t* at, uint32_t format, const RSBFormat_ARGB_fixed& c) {
    const uint32_t r = static_cast<uint32_t>(c.r);
    const uint32_t g = static_cast<uint32_t>(c.g);
    const uint32_t b = static_cast<uint32_t>(c.b);
    switch (format) {
        case RSBFormat_R5G6B5: StoreHalf(at, texel_format::PixelR5G6B5(c)); break;
        case RSBFormat_X8R8G8B8: StoreWord(at, pixel_layout::Of(RSBFormat_X8R8G8B8).PackedWide(0, r, g, b)); break;
        case RSBFormat_X14R6G6B6: StoreWord(at, pixel_layout::Of(RSBFormat_X14R6G6B6).PackedWide(0, r, g, b)); break;
        default: break;
    }
}

// Weighted texels stored in the row's target, Stores or, for StoreFormat::RowFormat,
// `format`.
template <StoreFormat Stores>
void StoreWeighted(uint8_t* at, uint32_t format, const texel_format::WeightedTexels& texel) {
    if constexpr (Stores == StoreFormat::R5G6B5) {
        StoreHalf(at, texel.PixelR5G6B5());
    } else {
        StoreTexel(at, format, texel.Colour());
    }
}

}  // namespace span_detail

#endif

#ifndef MGLDECODEDTEXEL_H
#define MGLDECODEDTEXEL_H

#include <cstdint>

#include "CColor.h"
#include "MGLSpanRow.h"
#include "MGLTexel.h"

namespace span_detail {

// A texel of the decoder's format stored in the target's: StoreTexel's
// rules applied to the 8-bit channels, which the fixed colour holds times
// 257 (so its top bits are the channel's own), and the alpha test likewise.
template <class Decoder, StoreFormat Stores>
struct DecodedTexel {
    // A format without a store stores nothing: no pixel size to fix.
    static constexpr StoreFormat kStoreFormat = Stores;
    // Where the decoder packs its own texels as r5g6b5, the pixel of one.
    static constexpr bool kPacked =
        Stores == StoreFormat::R5G6B5 && requires(const uint8_t* p) { Decoder::PixelR5G6B5(p); };
    texel_format::Channels colour = {0, 0, 0, 0};
    uint32_t pixel = 0;

    bool Take(const uint8_t* texel) {
        colour = Decoder::Read(texel);
        if constexpr (kPacked) pixel = Decoder::PixelR5G6B5(texel);
        // The fixed colour's alpha is a x 257: at least 15 for any a but 0.
        static_assert(kMinAlpha > 0 && kMinAlpha <= static_cast<int32_t>(texel_format::kChannelScale));
        return colour.a != 0;
    }
    void Store(uint8_t* at) const {
        const texel_format::Channels& c = colour;
        if constexpr (kPacked) {
            StoreHalf(at, pixel);
        } else if constexpr (Stores == StoreFormat::R5G6B5) {
            StoreHalf(at, (c.r & 0xF8u) << 8 | (c.g >> 2) << 5 | c.b >> 3);
        }
        if constexpr (Stores == StoreFormat::X8R8G8B8) StoreWord(at, c.r << 16 | c.g << 8 | c.b);
        if constexpr (Stores == StoreFormat::X14R6G6B6) StoreWord(at, (c.r >> 2) << 12 | (c.g >> 2) << 6 | c.b >> 2);
    }
};

}  // namespace span_detail

#endif

#ifndef MGLDECODEDTEXEL_H
#define MGLDECODEDTEXEL_H

#include <cstdint>

#include "CColor.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexel.h"

namespace span_detail {

// A texel of the decoder's format stored in the target's: StoreTexel's
// rules applied to the 8-bit channels, which the fixed colour holds times
// 257 (so its top bits are the channel's own), and the alpha test likewise.
template <class Decoder, StoreFormat Stores>
struct DecodedTexel {
    // A format without a store stores nothing: no pixel size to fix.
    static constexpr StoreFormat kStoreFormat = Stores;
    // Where the decoder packs its texels as r5g6b5 as they are read, the pixel of one.
    static constexpr bool kPacked = Stores == StoreFormat::R5G6B5 && Decoder::kRepacked;
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
            StoreHalf(at, pixel_layout::kR5G6B5.Packed(0, c.r, c.g, c.b));
        }
        if constexpr (Stores == StoreFormat::X8R8G8B8) StoreWord(at, pixel_layout::kX8R8G8B8.Packed(0, c.r, c.g, c.b));
        if constexpr (Stores == StoreFormat::X14R6G6B6) {
            StoreWord(at, pixel_layout::kX14R6G6B6.Packed(0, c.r, c.g, c.b));
        }
    }
};

}  // namespace span_detail

#endif

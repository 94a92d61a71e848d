#ifndef MGLCOPIEDTEXEL_H
#define MGLCOPIEDTEXEL_H

#include <cstdint>
#include <cstring>

#include "CColor.h"
#include "MGLStoreFormat.h"

namespace span_detail {

// An r5g6b5 texel decoded and stored again as r5g6b5 is the texel itself,
// read when it is taken, as every rule reads its texels.
struct CopiedTexel {
    static constexpr StoreFormat kStoreFormat = StoreFormat::R5G6B5;
    uint16_t texel = 0;

    bool Take(const uint8_t* at) {
        std::memcpy(&texel, at, sizeof texel);
        return true;
    }
    void Store(uint8_t* to) const { std::memcpy(to, &texel, sizeof texel); }
};

}  // namespace span_detail

#endif

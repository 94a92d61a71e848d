#ifndef MGLSTOREFORMAT_H
#define MGLSTOREFORMAT_H

#include <cstdint>

#include "CColor.h"

namespace span_detail {

// The format a texel rule stores: a target format it has a store of its
// own for, fixed for the rule's rows (r5g6b5, the common one, for the
// filtered rows), or the row's format looked at for each pixel (which stores
// nothing where it has no store for the format).
enum class StoreFormat : uint32_t {
    RowFormat = 0,
    R5G6B5 = RSBFormat_R5G6B5,
    X8R8G8B8 = RSBFormat_X8R8G8B8,
    X14R6G6B6 = RSBFormat_X14R6G6B6,
};

// The pixel format a store format fixes; 0 for the row's format.
constexpr uint32_t PixelFormatOf(StoreFormat format) { return static_cast<uint32_t>(format); }

}  // namespace span_detail

#endif

#ifndef MGLROWCURSOR_H
#define MGLROWCURSOR_H

#include <cstddef>
#include <cstdint>

#include "MGLSpanRow.h"

namespace span_detail {

// Where a row's pixel loop is, in locals rather than the row's fields: the
// pixel stores go through byte pointers, after which anything in memory
// would be read again.
struct RowCursor {
    uint8_t* colour;
    uint8_t* depth;  // null: no depth buffer
    const int32_t count;
    const int32_t bpp;
    const int32_t zbpp;

    explicit RowCursor(const SpanRow& row)
        : colour(row.colour), depth(row.depth), count(row.count), bpp(row.bpp), zbpp(row.zbpp) {}

    void Step() {
        colour += bpp;
        if (depth != nullptr) depth += zbpp;
    }
    // `pixels` pixels on, for a row with a depth buffer.
    void StepWithDepth(int32_t pixels) {
        colour += static_cast<ptrdiff_t>(pixels) * bpp;
        depth += static_cast<ptrdiff_t>(pixels) * zbpp;
    }
};

}  // namespace span_detail

#endif

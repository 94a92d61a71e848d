#ifndef MGLCALLTARGET_H
#define MGLCALLTARGET_H

#include <algorithm>
#include <cstdint>

#include "CColor.h"
#include "MGLContextCore.h"
#include "MGLFixed.h"
#include "MGLSpanRow.h"

namespace span_detail {

// What the rows of one span call share: the planes' formats and the
// columns the scissor and the target leave. Nothing a span or the fill
// writes between rows (pixels, the row pointers, the interpolants and
// their terms) changes them, so they are read once. No column is drawn
// without a colour buffer of known size, or with a depth buffer of narrow
// words: the rows then ask the columns alone, not a flag as well.
struct CallTarget {
    uint32_t format = 0;
    int32_t bpp = 0;
    int32_t zbpp = 0;
    bool depth = false;
    int32_t firstColumn = 0;
    int32_t endColumn = 0;
    int32_t interpolants = 0;

    explicit CallTarget(const MGLContext& context) {
        using Plane = MGLContext::Plane;
        const MGLRecord& s = context.Record();
        const MGLContextCore& core = MGLContextCore::Of(context);
        format = core.PlaneOf(Plane::Colour).format;
        bpp = static_cast<int32_t>(CColor::BytesPerPixel(format));
        depth = core.PlaneOf(Plane::Depth).pixels != nullptr;
        zbpp = depth ? static_cast<int32_t>(CColor::BytesPerPixel(core.PlaneOf(Plane::Depth).format)) : 0;
        const bool drawable = core.PlaneOf(Plane::Colour).pixels != nullptr && bpp != 0 &&
                              (!depth || zbpp >= static_cast<int32_t>(kDepthBytes));
        firstColumn = std::max(s.scissorx0, 0);
        endColumn = drawable ? std::min(s.scissorx1, context.TargetWidth()) : 0;
        interpolants = Interpolants(s);
    }

    // The columns drawn of a row from x0 to x1 (16.16 pixels) start at the
    // first and end before the end.
    int32_t FirstColumnOf(int32_t x0) const { return std::max(WrapAdd(x0, 32767) >> 16, firstColumn); }
    int32_t EndColumnOf(int32_t x1) const { return std::min(WrapAdd(x1, 32768) >> 16, endColumn); }
};

}  // namespace span_detail

#endif

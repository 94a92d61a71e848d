#ifndef MGLCALLPLANES_H
#define MGLCALLPLANES_H

#include "MGLContext.h"
#include "MGLPlaneAddressing.h"

namespace span_detail {

// The colour and depth rows of a span call.
struct CallPlanes {
    PlaneAddressing colour;
    PlaneAddressing depth;

    explicit CallPlanes(const MGLContext& context)
        : colour(context, MGLContext::Plane::Colour, context.Record().destptr, context.Record().deststride),
          depth(context, MGLContext::Plane::Depth, context.Record().zptr, context.Record().zstride) {}

    // The record at row k, and no longer stepped.
    void Follow(const MGLRecord& s, int32_t k) {
        colour.Follow(k, s.destptr, s.deststride);
        depth.Follow(k, s.zptr, s.zstride);
    }
};

}  // namespace span_detail

#endif

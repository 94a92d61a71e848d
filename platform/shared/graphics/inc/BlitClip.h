#ifndef BLITCLIP_H
#define BLITCLIP_H

#include <cstdint>

// Result bits of the clippers. Callers draw only when kClipVisible is set.
constexpr uint32_t kClipLeft = 1;
constexpr uint32_t kClipRight = 2;
constexpr uint32_t kClipTop = 4;
constexpr uint32_t kClipBottom = 8;
constexpr uint32_t kClipTrivialReject = 16;  // with kClipEmpty: wholly outside on one side
constexpr uint32_t kClipVisible = 32;
constexpr uint32_t kClipEmpty = 64;
// Lines only: the start point lay beyond that edge.
constexpr uint32_t kClipStartLeft = 0x1000000;
constexpr uint32_t kClipStartRight = 0x2000000;
constexpr uint32_t kClipStartTop = 0x4000000;
constexpr uint32_t kClipStartBottom = 0x8000000;

// Cuts a destination rectangle to the clip rectangle (columns clipX to
// clipX + clipWidth - 1, rows likewise), moving the destination origin inward,
// shrinking the size and moving the source origin to match: from the
// opposite side of the source where a flip is set. A rectangle of no area,
// given or left after cutting, yields kClipEmpty.
uint32_t BlitClipRect(int32_t* x, int32_t* y, int16_t clipX, int16_t clipY, int16_t clipWidth, int16_t clipHeight,
                      int16_t* sourceX, int16_t* sourceY, int16_t* width, int16_t* height, uint8_t flipX,
                      uint8_t flipY);

// A rectangle with pixels that lies wholly in the clip rectangle: one that
// BlitClipRect would leave as it is, visible. Inline, so that the many small
// pieces of a batch (tiles) skip the call.
inline bool BlitRectInsideClip(int32_t x, int32_t y, int16_t width, int16_t height, int16_t clipX, int16_t clipY,
                               int16_t clipWidth, int16_t clipHeight) {
    return width >= 1 && height >= 1 && x >= clipX && y >= clipY &&
           static_cast<int64_t>(x) + width <= static_cast<int64_t>(clipX) + clipWidth &&
           static_cast<int64_t>(y) + height <= static_cast<int64_t>(clipY) + clipHeight;
}

// Clips the line from (x, y) by (dx, dy), end point excluded, against the clip
// rectangle in 19.13 fixed point: the start moves and the deltas shrink. Every
// pixel the line routines then plot lies inside the clip rectangle.
uint32_t BlitClipTransformed(int32_t* x, int32_t* y, int16_t clipX, int16_t clipY, int16_t clipWidth,
                             int16_t clipHeight, int16_t* dx, int16_t* dy);

#endif

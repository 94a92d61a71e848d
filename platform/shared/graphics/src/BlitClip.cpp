#include "BlitClip.h"

#include <cstdlib>

namespace {

// 19.13 coordinates of the line clipper; the crossing parameter is a 16.16
// fraction of the segment.
constexpr int64_t kFixedOne = 0x10000;
constexpr int64_t kCoordScale = 1 << 13;

// 16.16 products and quotients kept in 64 bits: a long line times a tall
// clip rectangle does not fit in 32.
int64_t Mul16(int64_t a, int64_t b) { return (a * b) >> 16; }
int64_t Div16(int64_t a, int64_t b) { return (a * kFixedOne) / b; }

struct AxisBits {
    uint32_t low;
    uint32_t high;
    uint32_t startLow;
    uint32_t startHigh;
};

constexpr AxisBits kHorizontal = {kClipLeft, kClipRight, kClipStartLeft, kClipStartRight};
constexpr AxisBits kVertical = {kClipTop, kClipBottom, kClipStartTop, kClipStartBottom};

// One axis of the segment in 19.13, with the other axis carried along: p is
// the start and d the extent on the axis being clipped, q and e on the other.
struct AxisView {
    int64_t& p;
    int64_t& d;
    int64_t& q;
    int64_t& e;
};

uint32_t Crossings(int64_t p, int64_t d, int64_t low, int64_t high, const AxisBits& bits) {
    uint32_t result = 0;
    if (p < low && p + d >= low) {
        result |= bits.startLow | bits.low;
    } else if (p >= low && p + d < low) {
        result |= bits.low;
    }
    if (p < high && p + d >= high) {
        result |= bits.high;
    } else if (p >= high && p + d < high) {
        result |= bits.startHigh | bits.high;
    }
    return result;
}

// Keeps the part of the segment on the inside of the edge. The numerator and
// denominator are both scaled by the clip span across the axis, which sets
// the precision of the crossing exactly as the line routines expect it.
void CutAtEdge(AxisView line, int64_t edge, int64_t span, bool startOutside) {
    const int64_t denominator = Mul16(line.d, span);
    if (denominator == 0) return;
    int64_t t = Div16(Mul16(edge - line.p, span), denominator);
    if (t < 0 || t > kFixedOne) return;
    if (startOutside) {
        line.p += Mul16(t, line.d);
        line.q += Mul16(t, line.e);
        t = kFixedOne - t;
    }
    line.d = Mul16(t, line.d);
    line.e = Mul16(t, line.e);
}

uint32_t ClipAxis(AxisView line, int64_t low, int64_t high, int64_t span, const AxisBits& bits) {
    const uint32_t crossed = Crossings(line.p, line.d, low, high, bits);
    if ((crossed & bits.low) != 0) CutAtEdge(line, low, span, (crossed & bits.startLow) != 0);
    if ((crossed & bits.high) != 0) CutAtEdge(line, high, span, (crossed & bits.startHigh) != 0);
    return crossed;
}

bool OutsideOneSide(int64_t p, int64_t d, int64_t low, int64_t high) {
    return (p < low && p + d < low) || (p >= high && p + d >= high);
}

int32_t ToPixels(int64_t fixed) { return static_cast<int16_t>(fixed >> 13); }

// Rounding can leave the start a pixel outside, and the excluded end may lie
// on the far edge itself.
void ClampAxis(int32_t* p, int32_t* d, int32_t low, int32_t high) {
    if (*p < low) *p = low;
    if (*p > high - 1) *p = high - 1;
    if (*p + *d > high) *d = high - *p;
    if (*p + *d < low) *d = low - *p;
}

// The line routines exclude the end point on the major axis only: the minor
// axis reaches its full extent on the last pixels. An end on the far edge is
// therefore pulled one pixel inside on the minor axis, or those pixels would
// land one column right of, or one row below, the clip rectangle.
void KeepMinorEndInside(int32_t x, int32_t y, int16_t* dx, int16_t* dy, int32_t right, int32_t bottom) {
    if (std::abs(*dx) > std::abs(*dy) && y + *dy > bottom - 1) *dy = static_cast<int16_t>(bottom - 1 - y);
    if (std::abs(*dy) > std::abs(*dx) && x + *dx > right - 1) *dx = static_cast<int16_t>(right - 1 - x);
}

// Which edge of one axis the clipped end lies on, when the segment leaves the
// rectangle there: 0 none, -1 the low edge, 1 the high edge. Within a pixel
// of the edge, as the cut's rounding leaves it.
int32_t ExitEdge(uint32_t bits, int64_t end, int64_t low, int64_t high, const AxisBits& axis) {
    if ((bits & axis.high) != 0 && (bits & axis.startHigh) == 0 && end > high - kCoordScale) return 1;
    if ((bits & axis.low) != 0 && (bits & axis.startLow) == 0 && end < low + kCoordScale) return -1;
    return 0;
}

// A segment that leaves the rectangle lights the pixel on the edge it leaves
// by. The cut's rounding falls short of it, and the excluded end point
// (excluded on the major axis only) would leave it dark even then: the end
// goes one past the edge pixel on the major axis, onto it on the minor one.
void ReachExitEdge(int32_t exit, bool major, int32_t p, int32_t* d, int32_t low, int32_t high) {
    if (exit > 0) *d = (major ? high : high - 1) - p;
    if (exit < 0) *d = (major ? low - 1 : low) - p;
}

}  // namespace

uint32_t BlitClipRect(int32_t* x, int32_t* y, int16_t clipX, int16_t clipY, int16_t clipWidth, int16_t clipHeight,
                      int16_t* sourceX, int16_t* sourceY, int16_t* width, int16_t* height, uint8_t flipX,
                      uint8_t flipY) {
    // A rectangle of no area is never drawn, whether or not an edge cuts it.
    if (*width < 1 || *height < 1) return kClipEmpty;

    const int64_t right = static_cast<int64_t>(clipX) + clipWidth;
    const int64_t bottom = static_cast<int64_t>(clipY) + clipHeight;
    int64_t left = *x;
    int64_t top = *y;
    int64_t w = *width;
    int64_t h = *height;
    int64_t sx = *sourceX;
    int64_t sy = *sourceY;
    uint32_t bits = 0;

    // Distances are kept wide: a 16-bit distance from a far-off origin would
    // move the source origin by a wrong amount.
    if (left < clipX) {
        const int64_t d = clipX - left;
        w -= d;
        bits |= kClipLeft;
        if (w < 1) return bits | kClipEmpty;
        if (flipX == 0) sx += d;
        left = clipX;
    }
    if (left + w > right) {
        const int64_t d = left + w - right;
        w -= d;
        bits |= kClipRight;
        if (w < 1) return bits | kClipEmpty;
        if (flipX != 0) sx += d;
    }
    if (top < clipY) {
        const int64_t d = clipY - top;
        h -= d;
        bits |= kClipTop;
        if (h < 1) return bits | kClipEmpty;
        if (flipY == 0) sy += d;
        top = clipY;
    }
    if (top + h > bottom) {
        const int64_t d = top + h - bottom;
        h -= d;
        bits |= kClipBottom;
        if (h < 1) return bits | kClipEmpty;
        if (flipY != 0) sy += d;
    }

    *x = static_cast<int32_t>(left);
    *y = static_cast<int32_t>(top);
    *width = static_cast<int16_t>(w);
    *height = static_cast<int16_t>(h);
    *sourceX = static_cast<int16_t>(sx);
    *sourceY = static_cast<int16_t>(sy);
    return bits | kClipVisible;
}

uint32_t BlitClipTransformed(int32_t* x, int32_t* y, int16_t clipX, int16_t clipY, int16_t clipWidth,
                             int16_t clipHeight, int16_t* dx, int16_t* dy) {
    const int32_t right = clipX + clipWidth;
    const int32_t bottom = clipY + clipHeight;
    // An empty clip rectangle has no pixel to draw into; the clamps below
    // would otherwise place the start outside it.
    if (clipWidth < 1 || clipHeight < 1) return kClipEmpty | kClipTrivialReject;
    if (OutsideOneSide(*x, *dx, clipX, right) || OutsideOneSide(*y, *dy, clipY, bottom)) {
        return kClipEmpty | kClipTrivialReject;
    }

    int64_t fx = static_cast<int64_t>(*x) * kCoordScale;
    int64_t fy = static_cast<int64_t>(*y) * kCoordScale;
    int64_t fdx = static_cast<int64_t>(*dx) * kCoordScale;
    int64_t fdy = static_cast<int64_t>(*dy) * kCoordScale;
    const int64_t cx = static_cast<int64_t>(clipX) * kCoordScale;
    const int64_t cy = static_cast<int64_t>(clipY) * kCoordScale;
    const int64_t cw = static_cast<int64_t>(clipWidth) * kCoordScale;
    const int64_t ch = static_cast<int64_t>(clipHeight) * kCoordScale;

    uint32_t bits = ClipAxis({fx, fdx, fy, fdy}, cx, cx + cw, ch, kHorizontal);
    if (OutsideOneSide(fy, fdy, cy, cy + ch)) return kClipEmpty;
    bits |= ClipAxis({fy, fdy, fx, fdx}, cy, cy + ch, cw, kVertical);

    int32_t px = ToPixels(fx);
    int32_t py = ToPixels(fy);
    int32_t pdx = ToPixels(fdx);
    int32_t pdy = ToPixels(fdy);
    ClampAxis(&px, &pdx, clipX, right);
    ClampAxis(&py, &pdy, clipY, bottom);
    // Diagonals exclude their end on both axes.
    const bool xMajor = std::abs(pdx) >= std::abs(pdy);
    const bool yMajor = std::abs(pdy) >= std::abs(pdx);
    ReachExitEdge(ExitEdge(bits, fx + fdx, cx, cx + cw, kHorizontal), xMajor, px, &pdx, clipX, right);
    ReachExitEdge(ExitEdge(bits, fy + fdy, cy, cy + ch, kVertical), yMajor, py, &pdy, clipY, bottom);

    *x = px;
    *y = py;
    *dx = static_cast<int16_t>(pdx);
    *dy = static_cast<int16_t>(pdy);
    KeepMinorEndInside(px, py, dx, dy, right, bottom);
    return bits | kClipVisible;
}

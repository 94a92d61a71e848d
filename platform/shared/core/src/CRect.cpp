#include "CRect.h"

#include "CGenUtil.h"

namespace {

int16_t Narrow(int value) { return static_cast<int16_t>(value); }

// Inclusive at both ends: a span that starts where the other ends touches it.
bool SpansTouch(int a, int aLength, int b, int bLength) {
    return (b <= a && a <= b + bLength) || (a < b && b <= a + aLength);
}

// The position that keeps [position, position + length) inside
// [low + margin, high - margin], favouring the low side.
int16_t ClampPosition(int position, int length, int low, int high, int margin) {
    if (position + length + margin > high) position = Narrow(high - (length + margin));
    if (position < low + margin) position = low + margin;
    return Narrow(position);
}

}  // namespace

void CRect::Set(int16_t left, int16_t top, int16_t w, int16_t h) {
    x = left;
    y = top;
    width = w;
    height = h;
}

void CRect::SetFromInts(int left, int top, int w, int h) { Set(Narrow(left), Narrow(top), Narrow(w), Narrow(h)); }

void CRect::ClipSpan(CRect& rect, const CRect& clip) {
    CGenUtil::ClipSpan(clip.x, clip.width, &rect.x, &rect.width);
    CGenUtil::ClipSpan(clip.y, clip.height, &rect.y, &rect.height);
}

void CRect::ClampInside(CRect& rect, const CRect& bounds, int margin) {
    rect.x = ClampPosition(rect.x, rect.width, bounds.x, bounds.x + bounds.width, margin);
    rect.y = ClampPosition(rect.y, rect.height, bounds.y, bounds.y + bounds.height, margin);
}

CRect& CRect::Union(CRect& dst, const CRect& src) {
    if (src.IsEmpty()) return dst;
    if (dst.IsEmpty()) {
        dst = src;
        return dst;
    }
    const int left = dst.x < src.x ? dst.x : src.x;
    const int top = dst.y < src.y ? dst.y : src.y;
    const int dstRight = dst.x + dst.width;
    const int srcRight = src.x + src.width;
    const int dstBottom = dst.y + dst.height;
    const int srcBottom = src.y + src.height;
    const int right = dstRight > srcRight ? dstRight : srcRight;
    const int bottom = dstBottom > srcBottom ? dstBottom : srcBottom;
    dst.SetFromInts(left, top, right - left, bottom - top);
    return dst;
}

void CRect::SubtractEdge(CRect& a, const CRect& b) {
    if (b.x < a.x) {
        const int d = a.x - b.x;
        a.x = Narrow(a.x + d);
        a.width = Narrow(a.width - d);
    } else if (b.x > a.x) {
        a.width = Narrow(a.width - b.width);
    } else if (b.y < a.y) {
        const int d = a.y - b.y;
        a.y = Narrow(a.y + d);
        a.height = Narrow(a.height - d);
    } else if (b.y > a.y) {
        a.height = Narrow(a.height - b.height);
    }
}

bool CRect::Overlaps(const CRect& a, const CRect& b) {
    return SpansTouch(a.x, a.width, b.x, b.width) && SpansTouch(a.y, a.height, b.y, b.height);
}

bool CRect::Contains(const CRect& outer, const CRect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y && outer.x + outer.width >= inner.x + inner.width &&
           outer.y + outer.height >= inner.y + inner.height;
}

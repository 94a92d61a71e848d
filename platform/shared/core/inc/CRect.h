#ifndef CRECT_H
#define CRECT_H

#include "EngineTypes.h"

// A 16-bit rectangle covering [x, x + width) x [y, y + height); a width or
// height of 0 makes it empty. Arithmetic is done in int and narrowed back to
// 16 bits, wrapping as the handset did.
class CRect {
public:
    CRect() = default;
    CRect(const CRect&) = default;
    CRect& operator=(const CRect&) = default;

    void SetEmpty() { Set(0, 0, 0, 0); }
    void Set(int16_t left, int16_t top, int16_t w, int16_t h);
    void SetFromInts(int left, int top, int w, int h);

    // Cuts rect to clip on each axis; an axis without overlap gets length 0.
    static void ClipSpan(CRect& rect, const CRect& clip);
    // Moves rect, keeping its size, inside bounds less margin on every side;
    // a rectangle too large to fit ends at the top-left margin.
    static void ClampInside(CRect& rect, const CRect& bounds, int margin);
    // Grows dst to cover src too; an empty src changes nothing and an empty
    // dst becomes src.
    static CRect& Union(CRect& dst, const CRect& src);
    // Takes the part of b that lies on one edge of a off a.
    static void SubtractEdge(CRect& a, const CRect& b);
    // Edges count, so rectangles that touch overlap.
    static bool Overlaps(const CRect& a, const CRect& b);
    static bool Contains(const CRect& outer, const CRect& inner);

    bool IsEmpty() const { return width == 0 || height == 0; }

    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
};

#endif

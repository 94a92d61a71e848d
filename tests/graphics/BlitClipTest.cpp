#include "BlitClip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "BlitLineFill.h"
#include "CColor.h"
#include "PixelReference.h"

namespace {

struct Rect {
    int32_t x;
    int32_t y;
    int16_t sourceX;
    int16_t sourceY;
    int16_t width;
    int16_t height;
};

uint32_t Clip(Rect* r, int16_t cx, int16_t cy, int16_t cw, int16_t ch, bool flipX = false, bool flipY = false) {
    return BlitClipRect(&r->x, &r->y, cx, cy, cw, ch, &r->sourceX, &r->sourceY, &r->width, &r->height,
                        static_cast<uint8_t>(flipX), static_cast<uint8_t>(flipY));
}

TEST(BlitClipRect, CutsEachEdgeAndMovesTheSourceByTheFlips) {
    Rect r = {-3, 0, 10, 20, 10, 5};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 33u);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.width, 7);
    EXPECT_EQ(r.sourceX, 13);

    r = {-3, 0, 10, 20, 10, 5};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100, true), 33u);
    EXPECT_EQ(r.sourceX, 10);
    EXPECT_EQ(r.width, 7);

    r = {95, 0, 10, 20, 10, 5};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100, true), 34u);
    EXPECT_EQ(r.width, 5);
    EXPECT_EQ(r.sourceX, 15);

    r = {95, 0, 10, 20, 10, 5};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 34u);
    EXPECT_EQ(r.sourceX, 10);

    r = {0, -2, 10, 20, 4, 6};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 36u);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.height, 4);
    EXPECT_EQ(r.sourceY, 22);

    r = {0, -2, 10, 20, 4, 6};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100, false, true), 36u);
    EXPECT_EQ(r.sourceY, 20);

    r = {0, 97, 10, 20, 4, 6};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100, false, true), 40u);
    EXPECT_EQ(r.height, 3);
    EXPECT_EQ(r.sourceY, 23);

    // All four at once.
    r = {-1, -1, 0, 0, 12, 12};
    EXPECT_EQ(Clip(&r, 0, 0, 10, 10), 47u);
    EXPECT_EQ(r.width, 10);
    EXPECT_EQ(r.height, 10);
    EXPECT_EQ(r.sourceX, 1);
    EXPECT_EQ(r.sourceY, 1);
}

TEST(BlitClipRect, RectanglesOutsideOrWithoutAreaAreRefused) {
    Rect r = {-20, 0, 0, 0, 10, 5};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 65u);
    r = {0, 200, 0, 0, 10, 10};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 72u);
    r = {100, 0, 0, 0, 10, 10};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 66u);

    // Inside the clip, but with no area: nothing to draw.
    for (const auto& [w, h] : {std::pair<int16_t, int16_t>{0, 5}, {5, 0}, {-4, 5}, {5, -1}}) {
        r = {10, 10, 0, 0, w, h};
        EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 64u) << w << "x" << h;
    }

    // Far left of the clip: a 16-bit distance would wrap and leave a
    // "visible" rectangle with a source origin 25536 pixels off.
    r = {-40000, 0, 0, 0, 30000, 5};
    EXPECT_EQ(Clip(&r, 0, 0, 100, 100), 65u);
}

// Every destination pixel that survives shows the source pixel it showed
// before clipping, the surviving area is the intersection, and nothing is
// drawn exactly when the intersection is empty.
TEST(BlitClipRect, KeepsTheSourceMappingOfEverySurvivingPixel) {
    std::mt19937 random(7);
    const auto value = [&](int lo, int hi) {
        return lo + static_cast<int>(random() % static_cast<uint32_t>(hi - lo + 1));
    };
    for (int i = 0; i < 20000; ++i) {
        const Rect before = {value(-40, 60), value(-40, 60), static_cast<int16_t>(value(0, 50)),
                             static_cast<int16_t>(value(0, 50)), static_cast<int16_t>(value(-2, 50)),
                             static_cast<int16_t>(value(-2, 50))};
        const int16_t cx = static_cast<int16_t>(value(-5, 20));
        const int16_t cy = static_cast<int16_t>(value(-5, 20));
        const int16_t cw = static_cast<int16_t>(value(0, 30));
        const int16_t ch = static_cast<int16_t>(value(0, 30));
        const bool flipX = random() % 2 != 0;
        const bool flipY = random() % 2 != 0;
        Rect after = before;
        const uint32_t bits = Clip(&after, cx, cy, cw, ch, flipX, flipY);

        const int32_t left = std::max(before.x, static_cast<int32_t>(cx));
        const int32_t top = std::max(before.y, static_cast<int32_t>(cy));
        const int32_t right = std::min(before.x + before.width, cx + cw);
        const int32_t bottom = std::min(before.y + before.height, cy + ch);
        const bool visible = before.width > 0 && before.height > 0 && left < right && top < bottom;
        ASSERT_EQ((bits & kClipVisible) != 0, visible) << i;
        ASSERT_EQ((bits & kClipEmpty) != 0, !visible) << i;
        if (!visible) continue;
        ASSERT_EQ(after.x, left);
        ASSERT_EQ(after.y, top);
        ASSERT_EQ(after.x + after.width, right);
        ASSERT_EQ(after.y + after.height, bottom);
        for (int32_t px : {left, right - 1}) {
            const auto column = [&](const Rect& r) {
                return r.sourceX + (flipX ? r.width - 1 - (px - r.x) : px - r.x);
            };
            ASSERT_EQ(column(after), column(before)) << i;
        }
        for (int32_t py : {top, bottom - 1}) {
            const auto row = [&](const Rect& r) {
                return r.sourceY + (flipY ? r.height - 1 - (py - r.y) : py - r.y);
            };
            ASSERT_EQ(row(after), row(before)) << i;
        }
    }
}

struct Line {
    int32_t x;
    int32_t y;
    int16_t dx;
    int16_t dy;
};

uint32_t Clip(Line* l, int16_t cx, int16_t cy, int16_t cw, int16_t ch) {
    return BlitClipTransformed(&l->x, &l->y, cx, cy, cw, ch, &l->dx, &l->dy);
}

TEST(BlitClipTransformed, WorkedCases) {
    Line l = {10, 10, 5, 0};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100), 32u);
    EXPECT_EQ(l.x, 10);
    EXPECT_EQ(l.dx, 5);

    l = {-10, 5, 20, 0};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100), 0x1000000u | 1u | 32u);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.y, 5);
    EXPECT_EQ(l.dx, 10);
    EXPECT_EQ(l.dy, 0);

    l = {-10, 5, 5, 0};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100), 80u);
    l = {5, 120, 3, -10};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100), 80u);

    // Starts inside and runs past the right edge: the cut's rounding leaves
    // dx = 9, a pixel short, but the last pixel drawn must be right - 1.
    l = {90, 50, 30, 0};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100), 2u | 32u);
    EXPECT_EQ(l.x, 90);
    EXPECT_EQ(l.dx, 10);

    // Starts below and ends inside: halfway the start reaches row 100,
    // which the clamp brings back to 99, with 10 rows of extent left.
    l = {50, 110, 0, -20};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100), 0x8000000u | 8u | 32u);
    EXPECT_EQ(l.x, 50);
    EXPECT_EQ(l.y, 99);
    EXPECT_EQ(l.dy, -10);
}

TEST(BlitClipTransformed, EmptyClipDrawsNothing) {
    Line l = {0, 0, 5, 5};
    EXPECT_EQ(Clip(&l, 0, 0, 0, 10), 80u);
    l = {0, 0, 5, 5};
    EXPECT_EQ(Clip(&l, 0, 0, 10, -3), 80u);
}

TEST(BlitClipTransformed, LongLineAgainstTallClipKeepsItsPrecision) {
    // dx × clip height overflows a 32-bit 16.16 product. The segment enters
    // at x = 0 halfway (y = 150) and leaves at x = 240 (y = 152.4).
    Line l = {-15000, 0, 30000, 300};
    EXPECT_EQ(Clip(&l, 0, 0, 240, 320), 0x1000000u | 1u | 2u | 32u);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.y, 150);
    EXPECT_NEAR(l.x + l.dx, 240, 1);
    EXPECT_NEAR(l.y + l.dy, 152, 1);
}

TEST(BlitClipTransformed, MinorAxisEndOnTheFarEdgeIsPulledInside) {
    // Unclipped, this line's last pixel would be (3, 100): one row below a
    // clip of 100 rows.
    Line l = {0, 98, 4, 2};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100) & kClipVisible, kClipVisible);
    EXPECT_EQ(l.dx, 4);
    EXPECT_EQ(l.y + l.dy, 99);

    l = {97, 0, 3, 9};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100) & kClipVisible, kClipVisible);
    EXPECT_EQ(l.dy, 9);
    EXPECT_EQ(l.x + l.dx, 99);

    // A diagonal never reaches its minor end and is left alone.
    l = {96, 96, 4, 4};
    EXPECT_EQ(Clip(&l, 0, 0, 100, 100) & kClipVisible, kClipVisible);
    EXPECT_EQ(l.dx, 4);
    EXPECT_EQ(l.dy, 4);
}

// A line from inside that leaves the clip rectangle lights the pixel on the
// edge it leaves by, on whichever axis that edge lies, and nothing beyond.
TEST(BlitClipTransformed, LinesLeavingTheClipReachTheEdgePixel) {
    const int16_t cx = 3, cy = 5, cw = 20, ch = 16;
    enum Edge { kLeftEdge, kRightEdge, kTopEdge, kBottomEdge };
    const struct {
        int32_t x, y;
        int16_t dx, dy;
        Edge edge;
    } cases[] = {
        {13, 13, 40, 0, kRightEdge},   {13, 13, -40, 0, kLeftEdge},   {13, 13, 0, 40, kBottomEdge},
        {13, 13, 0, -40, kTopEdge},    {13, 13, 40, 9, kRightEdge},   {13, 13, -40, -9, kLeftEdge},
        {13, 13, -40, 7, kLeftEdge},   {13, 13, 40, -7, kRightEdge},  {13, 13, 9, 40, kBottomEdge},
        {13, 13, -9, -40, kTopEdge},   {13, 13, 7, -40, kTopEdge},    {13, 13, -7, 40, kBottomEdge},
        {13, 13, 30, 20, kRightEdge},  {13, 13, -20, -25, kTopEdge},  {13, 13, 12, 12, kBottomEdge},
        {13, 13, -30, 11, kLeftEdge},
        // Leaving by a side while the other axis is the major one.
        {20, 8, 10, 40, kRightEdge},   {6, 8, -10, 40, kLeftEdge},    {8, 18, 40, 10, kBottomEdge}};
    std::mt19937 random(5);
    const uint32_t colour = 0xFFFFFFFF;
    for (const auto& c : cases) {
        Line l = {c.x, c.y, c.dx, c.dy};
        SCOPED_TRACE(testing::Message() << "line from (" << c.x << ", " << c.y << ") by (" << c.dx << ", " << c.dy
                                        << ")");
        ASSERT_NE(Clip(&l, cx, cy, cw, ch) & kClipVisible, 0u);
        pixref::Canvas canvas(cw, ch, 2, 3, random);
        BlitSolidDesc desc = {static_cast<int16_t>(canvas.Stride()), canvas.At(l.x - cx, l.y - cy), RSBFormat_A8R8G8B8,
                              &colour, l.dx, l.dy};
        DrawLine_R5G6B5(&desc);
        EXPECT_TRUE(canvas.FrameIntact());
        bool edgeLit = false;
        for (int i = 0; i < (c.edge <= kRightEdge ? ch : cw); ++i) {
            const int x = c.edge == kLeftEdge ? 0 : c.edge == kRightEdge ? cw - 1 : i;
            const int y = c.edge == kTopEdge ? 0 : c.edge == kBottomEdge ? ch - 1 : i;
            const int column = c.edge <= kRightEdge ? x : i;
            const int row = c.edge <= kRightEdge ? i : y;
            edgeLit = edgeLit || canvas.Get(column, row) != canvas.Original(column, row);
        }
        EXPECT_TRUE(edgeLit);
    }
}

// Random lines through a small clip rectangle, drawn by the real line
// routine into a canvas that is exactly the clip plus a frame: nothing may
// land in the frame, and what is drawn stays near the original segment.
TEST(BlitClipTransformed, ClippedLinesStayInsideTheClip) {
    std::mt19937 random(11);
    const auto value = [&](int lo, int hi) {
        return lo + static_cast<int>(random() % static_cast<uint32_t>(hi - lo + 1));
    };
    const uint32_t colour = 0xFFFFFFFF;
    for (int i = 0; i < 4000; ++i) {
        const int16_t cw = static_cast<int16_t>(value(1, 24));
        const int16_t ch = static_cast<int16_t>(value(1, 24));
        const Line before = {value(-30, 50), value(-30, 50), static_cast<int16_t>(value(-60, 60)),
                             static_cast<int16_t>(value(-60, 60))};
        Line l = before;
        const int16_t cx = 3;
        const int16_t cy = 5;
        if ((Clip(&l, cx, cy, cw, ch) & kClipVisible) == 0) continue;
        pixref::Canvas canvas(cw, ch, 2, 3, random);
        // The canvas's area is the clip rectangle.
        BlitSolidDesc desc = {static_cast<int16_t>(canvas.Stride()), canvas.At(l.x - cx, l.y - cy), RSBFormat_A8R8G8B8,
                              &colour, l.dx, l.dy};
        DrawLine_R5G6B5(&desc);
        ASSERT_TRUE(canvas.FrameIntact()) << "line " << i << " (" << before.x << "," << before.y << ") by ("
                                          << before.dx << "," << before.dy << ") clip " << cw << "x" << ch;
        for (int y = 0; y < ch; ++y) {
            for (int x = 0; x < cw; ++x) {
                if (canvas.Get(x, y) == canvas.Original(x, y)) continue;
                // Distance of the pixel from the infinite line through the segment.
                const double px = x + cx - before.x;
                const double py = y + cy - before.y;
                const double length = std::hypot(before.dx, before.dy);
                const double distance =
                    length == 0 ? std::hypot(px, py) : std::fabs(px * before.dy - py * before.dx) / length;
                // The 13-bit truncations of the start and of each extent
                // may each move the line by up to a pixel.
                ASSERT_LE(distance, 3.0) << "line " << i;
            }
        }
    }
}

}  // namespace

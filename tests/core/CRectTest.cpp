#include "CRect.h"

#include <gtest/gtest.h>

namespace {

CRect Make(int x, int y, int w, int h) {
    CRect rect;
    rect.SetFromInts(x, y, w, h);
    return rect;
}

void ExpectRect(const CRect& rect, int x, int y, int w, int h) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, w);
    EXPECT_EQ(rect.height, h);
}

TEST(CRect, ConstructsEmptyAndNarrowsIntsTo16Bits) {
    ExpectRect(CRect(), 0, 0, 0, 0);
    CRect rect = Make(70000, -40000, 65535, 3);
    ExpectRect(rect, 70000 - 65536, -40000 + 65536, -1, 3);
    rect.SetEmpty();
    ExpectRect(rect, 0, 0, 0, 0);
}

TEST(CRect, ClipSpanCutsEachAxisToTheClip) {
    CRect rect = Make(-10, 90, 30, 30);
    CRect::ClipSpan(rect, Make(0, 0, 100, 100));
    ExpectRect(rect, 0, 90, 20, 10);
    CRect outside = Make(5, 100, 10, 5);
    CRect::ClipSpan(outside, Make(0, 0, 100, 100));
    ExpectRect(outside, 5, 100, 10, 0);
}

TEST(CRect, OverlapCountsTouchingEdges) {
    EXPECT_TRUE(CRect::Overlaps(Make(0, 0, 10, 10), Make(10, 10, 5, 5)));
    EXPECT_FALSE(CRect::Overlaps(Make(0, 0, 10, 10), Make(11, 0, 5, 5)));
    EXPECT_FALSE(CRect::Overlaps(Make(0, 20, 10, 10), Make(0, 0, 5, 19)));
    EXPECT_TRUE(CRect::Contains(Make(0, 0, 10, 10), Make(2, 2, 8, 8)));
    EXPECT_FALSE(CRect::Contains(Make(0, 0, 10, 10), Make(2, 2, 9, 8)));
}

TEST(CRect, UnionIgnoresEmptySourcesAndAdoptsIntoEmptyTargets) {
    CRect dst = Make(1, 1, 2, 2);
    CRect::Union(dst, Make(0, 0, 0, 5));
    ExpectRect(dst, 1, 1, 2, 2);
    CRect empty;
    CRect::Union(empty, Make(4, 5, 6, 7));
    ExpectRect(empty, 4, 5, 6, 7);
    ExpectRect(CRect::Union(dst, Make(-3, 2, 2, 10)), -3, 1, 6, 11);
}

TEST(CRect, ClampInsideMovesWithoutResizing) {
    CRect rect = Make(95, -5, 10, 10);
    CRect::ClampInside(rect, Make(0, 0, 100, 50), 2);
    ExpectRect(rect, 88, 2, 10, 10);
    CRect huge = Make(30, 30, 200, 80);
    CRect::ClampInside(huge, Make(10, 10, 100, 50), 3);
    ExpectRect(huge, 13, 13, 200, 80);
}

TEST(CRect, SubtractEdgeTakesTheLeadingOrTrailingStrip) {
    struct Case {
        int rect[4], cut[4], want[4];
    };
    const Case cases[] = {
        {{10, 0, 20, 5}, {4, 0, 8, 5}, {16, 0, 14, 5}},   {{10, 0, 20, 5}, {25, 0, 5, 5}, {10, 0, 15, 5}},
        {{0, 10, 5, 20}, {0, 7, 5, 5}, {0, 13, 5, 17}},   {{0, 10, 5, 20}, {0, 26, 5, 4}, {0, 10, 5, 16}},
        {{0, 10, 5, 20}, {0, 10, 1, 1}, {0, 10, 5, 20}},
    };
    for (const Case& c : cases) {
        CRect rect = Make(c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
        CRect::SubtractEdge(rect, Make(c.cut[0], c.cut[1], c.cut[2], c.cut[3]));
        ExpectRect(rect, c.want[0], c.want[1], c.want[2], c.want[3]);
    }
}

}  // namespace

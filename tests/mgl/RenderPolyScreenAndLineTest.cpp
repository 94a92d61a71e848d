#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "MGLContextCore.h"
#include "RenderPolyRig.h"

using rig::Fixed;
using rig::ONE;

namespace {

struct Corner {
    int32_t x, y;
    bool operator==(const Corner&) const = default;
};

class RenderPolyScreenTest : public rig::RenderPolyTest<240, 320> {
protected:
    void Prepare() override {
        r.UseScreenBounds();
        r.RecordSpans(1);
        r.poly->SetPolygonObserver([this](const MGLVertexList& list) {
            std::vector<Corner> corners;
            for (int32_t i = 0; i < list.count; ++i) corners.push_back({list.v[i][4], list.v[i][5]});
            polygons.push_back(corners);
        });
    }

    // Line routine calls: (x, y, dx, dy).
    RenderPoly::LineRoutine Recorder() {
        return [this](const MGLLineRecord& line, int32_t x, int32_t y) {
            lines.push_back({x, y, line.dx, line.dy});
            firstPixels.push_back(line.firstPixel);
        };
    }

    std::vector<std::vector<Corner>> polygons;
    std::vector<std::array<int32_t, 4>> lines;
    std::vector<uint8_t*> firstPixels;
};

TEST_F(RenderPolyScreenTest, RectanglesFromElementPairs) {
    r.SetPositions({{10, 20}, {30, 40}, {1, 2}, {3, 4}, {99, 99}});
    r.poly->DrawRects2D(0, 5, 0);
    ASSERT_EQ(polygons.size(), 2u) << "an odd last element is left out";
    EXPECT_EQ(polygons[0], (std::vector<Corner>{{10 * ONE, 40 * ONE}, {10 * ONE, 20 * ONE}, {30 * ONE, 20 * ONE},
                                                {30 * ONE, 40 * ONE}}));
    EXPECT_EQ(polygons[1][0], (Corner{1 * ONE, 4 * ONE}));
    // The rectangle covers rows 20..39 and columns 10..29 of the target.
    ASSERT_FALSE(r.calls.empty());
    EXPECT_EQ(r.calls.front().row, 20);
    EXPECT_EQ(r.calls[19].row, 39);
    EXPECT_EQ(r.calls.front().r1, 10 * ONE);
    EXPECT_EQ(r.calls.front().r2, 30 * ONE);
}

TEST_F(RenderPolyScreenTest, ScreenRectFlipsAgainstTheTargetHeight) {
    r.RecordSpans(1, 3, 0);
    const int32_t a[4] = {1 * ONE, 2 * ONE, 3 * ONE, 4 * ONE};
    const int32_t b[4] = {5 * ONE, 6 * ONE, 7 * ONE, 8 * ONE};
    r.poly->DrawScreenRect(20 * ONE, 10 * ONE, a, b, true);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0][0], (Corner{0, 320 * ONE}));
    EXPECT_EQ(polygons[0][2], (Corner{20 * ONE, 310 * ONE}));
    EXPECT_EQ(r.calls.front().row, 310);
    EXPECT_EQ(r.calls.back().row, 319);
    // The left edge runs from corner 1 (a = 2, top) down to corner 0 (a = 1):
    // at the centre of the last row, 9.5 of its 10 rows down.
    EXPECT_NEAR(r.calls.back().intp[1], Fixed(1.05), 8);
    EXPECT_NEAR(r.calls.back().intp[2], Fixed(5.05), 8);
}

// With one interpolant, the rectangle's attributes have nowhere to go and
// write nothing past the vertex.
TEST_F(RenderPolyScreenTest, ScreenRectWritesOnlyInterpolantsTheVertexHas) {
    MGLRecord& s = r.context->Record();
    const int32_t used = s.vertexPoolUsed;
    int32_t* next = r.context->VertexPool() + used + 4 * 15;
    next[0] = 0x1234;
    const int32_t a[4] = {1, 2, 3, 4};
    r.poly->DrawScreenRect(ONE, ONE, a, a, false);
    EXPECT_EQ(next[0], 0x1234);
    EXPECT_EQ(s.vertexPoolUsed, used + 4 * 15);
}

TEST_F(RenderPolyScreenTest, PolygonsOfTooManyCornersOrOutsideAreDropped) {
    std::vector<std::vector<double>> points;
    for (int32_t i = 0; i < 16; ++i) points.push_back({10.0 + i, 10.0 + (i % 2)});
    r.SetPositions(points);
    r.poly->DrawPolygon2D(0, 16, 0);
    EXPECT_TRUE(polygons.empty());
    r.SetPositions({{-30, -30}, {-10, -30}, {-10, -10}});
    r.poly->DrawPolygon2D(0, 3, 0);
    EXPECT_EQ(polygons.size(), 1u);
    EXPECT_TRUE(r.calls.empty()) << "wholly left of the target";
}

// Pairs (first, first + 1), (first + 2, first + 3); ends in whole pixels,
// the start's row rounded up less one, clamped to the bounds.
TEST_F(RenderPolyScreenTest, LinesInScreenSpace) {
    r.poly->SetScreenSpace(true);
    r.SetPositions({{0, 0}, {5.5, 7.25}, {10, 10.5}, {300, 10.5}, {50, 50}});
    r.poly->DrawLines2D(0, 5, Recorder(), 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (std::array<int32_t, 4>{0, 0, 5, 7})) << "row -1 clamps to 0";
    EXPECT_EQ(lines[1], (std::array<int32_t, 4>{10, 9, 229, 1})) << "x ends at the last column; 10.5 starts on row 9";
    const MGLRecord& s = r.context->Record();
    EXPECT_EQ(firstPixels[1],
              MGLContextCore::Of(*r.context).GuestMemory().ToHost(s.destbase + 10 * 2 + 9 * s.deststride, 2));

    AssertCounter asserts;
    r.poly->DrawLines2D(0, 2, nullptr, 0);
    EXPECT_EQ(asserts.Count(), 1);
}

class RenderPolyLine3DTest : public RenderPolyScreenTest {
protected:
    void Prepare() override { r.Reset(); }
};

// x / -z at the right bound lands on the last column; a segment from far
// right to far left is cut at both bounds (each end from the original
// segment), and a segment beyond the far plane draws nothing.
TEST_F(RenderPolyLine3DTest, LinesClipAgainstEveryBound) {
    r.SetPositions({{4, 0.5, -2}, {-4, 0.5, -2}, {0, 0, -10}, {1, 1, -12}, {0.5, 0, 0.5}, {0.5, 0, -4}});
    r.poly->DrawLines3D(3, Recorder());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][0], 239);
    EXPECT_EQ(lines[0][0] + lines[0][2], 0);
    EXPECT_EQ(lines[0][1], 119) << "y 0.25 of the half height above the centre";
    // The second drawn segment crosses the near plane: its near end is cut
    // at z = -1, where x = 0.5 lands three quarters across.
    EXPECT_EQ(lines[1][0], 180);
    EXPECT_EQ(lines[1][0] + lines[1][2], 135);
}

}  // namespace

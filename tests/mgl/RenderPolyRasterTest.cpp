#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "CoverageReference.h"
#include "MGLBufferOps.h"
#include "MGLContextCore.h"
#include "MGLSpans.h"
#include "RenderPolyRig.h"

using rig::Fixed;
using rig::ONE;
using reference::Cover;
using reference::Point;
using reference::Point4;

namespace {

constexpr uint16_t kWhite565 = 0xFFFF;

// Draws through the portable flat span with the depth test off and compares
// the written pixels with a reference coverage image.
class RenderPolyRasterTest : public rig::RenderPolyTest<64, 48> {
protected:
    // The portable span takes x values; the polygon fill hands over edge
    // records, whose x (word 9) an adapter passes on.
    void BindFlat(int32_t fillMode) {
        RenderPoly::NativeSpan span = SpanFlatDepth;
        if (fillMode <= MGLContext::kFillPolygonLast) {
            span = [](MGLContext& c, uint32_t left, uint32_t right) {
                auto x = [&c](uint32_t edge) {
                    const uint8_t* at =
                        MGLContextCore::Of(c).GuestMemory().ToHost(edge + 4 * RenderPoly::kWordPixelX, 4);
                    int32_t value;
                    std::memcpy(&value, at, 4);
                    return static_cast<uint32_t>(value);
                };
                SpanFlatDepth(c, x(left), x(right));
            };
        }
        ASSERT_TRUE(r.poly->BindNativeSpan(span, MGLNativeSpanLayout{1, 0, 0, 0, fillMode}));
        MGLRecord& s = r.context->Record();
        s.depthTest = 0;
        s.depthWrite = 0;
        for (int32_t& channel : s.drawColor) channel = 255;
    }

    // Pixels that differ from the reference where it is sure (edge pixels
    // may go either way), and the count of pixels drawn.
    struct Comparison {
        int32_t wrong = 0;
        int32_t drawn = 0;
    };
    Comparison Compare(const reference::Image& expected) const {
        Comparison c;
        for (int32_t y = 0; y < r.Height(); ++y) {
            for (int32_t x = 0; x < r.Width(); ++x) {
                const bool drawn = r.Pixel16(x, y) == kWhite565;
                c.drawn += drawn ? 1 : 0;
                const Cover want = expected.At(x, y);
                if ((want == Cover::In && !drawn) || (want == Cover::Out && drawn)) ++c.wrong;
            }
        }
        return c;
    }

    void DrawScreenPolygon(const std::vector<Point>& polygon) {
        std::vector<std::vector<double>> points;
        for (const Point& p : polygon) points.push_back({p.x, p.y});
        r.SetPositions(points);
        r.poly->DrawPolygon2D(0, static_cast<int32_t>(polygon.size()), 0);
    }

    void Draw3D(const std::vector<Point4>& polygon) {
        std::vector<std::vector<double>> points;
        for (const Point4& p : polygon) points.push_back({p.x, p.y, p.z});
        r.SetPositions(points);
        r.poly->DrawPolygons(static_cast<int32_t>(polygon.size()), static_cast<int32_t>(polygon.size()), 1);
    }

    reference::Image Reference3D(const std::vector<Point4>& polygon, double edge = 0.05) const {
        const MGLRecord& s = r.context->Record();
        reference::Image image(r.Width(), r.Height());
        image.Add(reference::ClipAndProject(polygon, 1, 9, rig::ToDouble(s.cfx0), rig::ToDouble(s.cfx1),
                                            rig::ToDouble(s.cfy0), rig::ToDouble(s.cfy1)),
                  edge);
        return image;
    }
};

// Rows from (y + 32767) >> 16 of the top to (y + 32768) >> 16 of the
// bottom, exclusive: pixel y 10.2 to 12.9 fills rows 10, 11 and 12, in
// both fills, with the smaller x first and destptr on each row.
TEST_F(RenderPolyRasterTest, RowsAndSpanArgumentsAsTheFillRuleStates) {
    r.UseScreenBounds();
    for (const int32_t fill : {1, 3}) {
        r.RecordSpans(fill);
        r.SetPositions({{5, 10.2}, {20, 12.9}, {2, 12.9}});
        r.poly->DrawPolygon2D(0, 3, 0);
        ASSERT_EQ(r.calls.size(), 3u) << fill;
        const MGLRecord& s = r.context->Record();
        for (size_t i = 0; i < r.calls.size(); ++i) {
            EXPECT_EQ(r.calls[i].row, 10 + static_cast<int32_t>(i));
            EXPECT_EQ(r.calls[i].destptr, s.destbase + static_cast<uint32_t>((10 + i) * s.deststride));
            EXPECT_LE(r.calls[i].r1, r.calls[i].r2);
        }
        // Row 11's centre is 1.3 rows below the top of the 2.7-row edges.
        EXPECT_NEAR(rig::ToDouble(r.calls[1].r1), 5 - 3 * 1.3 / 2.7, 1e-3);
        EXPECT_NEAR(rig::ToDouble(r.calls[1].r2), 5 + 15 * 1.3 / 2.7, 1e-3);
    }
}

TEST_F(RenderPolyRasterTest, ScissorRowsFromFirstToLastExclusive) {
    r.UseScreenBounds();
    r.RecordSpans(3);
    MGLRecord& s = r.context->Record();
    s.scissory0 = 12;
    s.scissory1 = 14;
    r.SetPositions({{5, 5}, {40, 30}, {3, 30}});
    r.poly->DrawPolygon2D(0, 3, 0);
    ASSERT_EQ(r.calls.size(), 2u);
    EXPECT_EQ(r.calls[0].row, 12);
    EXPECT_EQ(r.calls[1].row, 13);
}

// Seeded random triangles and convex quadrilaterals, partly off the target,
// in both fills: every pixel whose centre is clearly inside is drawn, every
// one clearly outside is not.
TEST_F(RenderPolyRasterTest, RandomPolygonsMatchReferenceCoverage) {
    std::mt19937 random(27);
    std::uniform_real_distribution<double> coordinate(-20, 84);
    int32_t drawn = 0;
    for (const int32_t fill : {1, 3}) {
        for (int32_t n = 0; n < 60; ++n) {
            std::vector<Point> polygon;
            if (n % 2 == 0) {
                for (int32_t i = 0; i < 3; ++i) polygon.push_back({coordinate(random), coordinate(random)});
            } else {
                const double cx = coordinate(random), cy = coordinate(random), rx = 5 + coordinate(random) / 3;
                const double angle = coordinate(random) / 10;
                for (int32_t i = 0; i < 4; ++i) {
                    const double a = angle + i * 1.5707963;
                    polygon.push_back({cx + rx * std::cos(a), cy + rx * 0.7 * std::sin(a)});
                }
            }
            r.Reset();
            r.UseScreenBounds();
            BindFlat(fill);
            r.FillPlane(0, 0);
            DrawScreenPolygon(polygon);
            reference::Image expected(r.Width(), r.Height());
            expected.Add(reference::ClipToScreen(polygon, r.Width(), r.Height()), 0.05);
            const Comparison c = Compare(expected);
            EXPECT_EQ(c.wrong, 0) << "fill " << fill << " polygon " << n;
            drawn += c.drawn;
        }
    }
    EXPECT_GT(drawn, 10000) << "the polygons cover something";
}

// Each interpolant at the first pixel of each row lies on the plane through
// the three projected vertices; the depth is cfz0 + cfz1 x 2^32 / w.
TEST_F(RenderPolyRasterTest, InterpolantsAndDepthFollowTheScreenPlane) {
    r.RecordSpans(3, 3, 0);
    const std::vector<Point4> triangle = {{-1.5, -1.2, -2.5}, {1.8, -0.4, -4}, {0.2, 1.5, -3}};
    const double u[3] = {3, 40, 11};
    const double v[3] = {-7, 2, 30};
    r.poly->SetVertexHook([&](int32_t* vertex, int32_t n) {
        vertex[15] = Fixed(u[n]);
        vertex[16] = Fixed(v[n]);
    });
    Draw3D(triangle);
    ASSERT_GT(r.calls.size(), 20u);

    const MGLRecord& s = r.context->Record();
    double px[3], py[3], depth[3];
    for (int32_t i = 0; i < 3; ++i) {
        const double w = -triangle[i].z;
        px[i] = rig::ToDouble(s.cfx0) + triangle[i].x / w * rig::ToDouble(s.cfx1);
        py[i] = rig::ToDouble(s.cfy0) + triangle[i].y / w * rig::ToDouble(s.cfy1);
        depth[i] = s.cfz0 + s.cfz1 * 4294967296.0 / (w * ONE);
    }
    // The plane of values a over the projected triangle, at (x, y).
    auto plane = [&](const double a[3], double x, double y) {
        const double det = (px[1] - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (py[1] - py[0]);
        const double l1 = ((x - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (y - py[0])) / det;
        const double l2 = ((px[1] - px[0]) * (y - py[0]) - (x - px[0]) * (py[1] - py[0])) / det;
        return a[0] + l1 * (a[1] - a[0]) + l2 * (a[2] - a[0]);
    };
    for (const rig::SpanCall& call : r.calls) {
        const double x = rig::FirstPixel(call.r1) + 0.5;
        const double y = call.row + 0.5;
        EXPECT_NEAR(call.intp[0], plane(depth, x, y), 0.001 * (1 << 27)) << call.row;
        EXPECT_NEAR(rig::ToDouble(call.intp[1]), plane(u, x, y), 0.02) << call.row;
        EXPECT_NEAR(rig::ToDouble(call.intp[2]), plane(v, x, y), 0.02) << call.row;
    }
}

TEST_F(RenderPolyRasterTest, CullingDropsOneWindingAsAsked) {
    r.UseScreenBounds();
    r.RecordSpans(3);
    MGLRecord& s = r.context->Record();
    s.cullEnable = 1;
    s.cullSense = 1;
    r.SetPositions({{0, 0}, {10, 0}, {0, 10}});  // positive area
    r.poly->DrawPolygon2D(0, 3, 0);
    EXPECT_TRUE(r.calls.empty());
    r.SetPositions({{0, 0}, {0, 10}, {10, 0}});
    r.poly->DrawPolygon2D(0, 3, 0);
    EXPECT_FALSE(r.calls.empty());
    r.calls.clear();
    s.cullSense = 0;
    r.poly->DrawPolygon2D(0, 3, 0);
    EXPECT_TRUE(r.calls.empty());
}

// In 3D a pentagon is filled as the fan (0,1,2), (0,2,3), (0,3,4); a
// screen-space draw walks it whole. Both cover the same pixels.
TEST_F(RenderPolyRasterTest, FanSplitAndWholeWalkCoverTheSame) {
    const std::vector<Point4> pentagon = {{0, -1.5, -2}, {1.4, -0.4, -2}, {0.9, 1.3, -2}, {-0.9, 1.3, -2}, {-1.4, -0.4, -2}};
    r.RecordSpans(3);
    Draw3D(pentagon);
    const size_t fanCalls = r.calls.size();
    std::vector<Point> projected;
    const MGLRecord& s = r.context->Record();
    for (const Point4& p : pentagon) {
        projected.push_back({rig::ToDouble(s.cfx0) + p.x / 2 * rig::ToDouble(s.cfx1),
                             rig::ToDouble(s.cfy0) + p.y / 2 * rig::ToDouble(s.cfy1)});
    }
    r.Reset();
    r.UseScreenBounds();
    r.RecordSpans(3);
    DrawScreenPolygon(projected);
    const size_t wholeCalls = r.calls.size();
    EXPECT_EQ(static_cast<int32_t>(wholeCalls), static_cast<int32_t>(std::ceil(projected[0].y - 0.5) -
                                                                     std::ceil(projected[2].y - 0.5)));
    EXPECT_GT(fanCalls, wholeCalls + 20) << "three triangles share rows";

    reference::Image expected(r.Width(), r.Height());
    expected.Add(projected, 0.05);
    for (const bool whole : {false, true}) {
        r.Reset();
        BindFlat(3);
        r.FillPlane(0, 0);
        if (whole) {
            r.UseScreenBounds();
            DrawScreenPolygon(projected);
        } else {
            Draw3D(pentagon);
        }
        EXPECT_EQ(Compare(expected).wrong, 0) << whole;
    }
}

// Triangles across each of the six planes of the view volume, and one
// across several at once: clipped, projected and filled as the reference
// clips and projects them in double precision.
TEST_F(RenderPolyRasterTest, ClippingAgainstEveryFrustumPlane) {
    const std::vector<std::vector<Point4>> scenes = {
        {{0.5, -0.5, -2}, {4, 0, -2}, {0.5, 0.8, -2}},       // right
        {{-0.5, -0.5, -2}, {-0.5, 0.8, -2}, {-4, 0, -2}},    // left
        {{-0.5, 0.5, -2}, {0.8, 0.5, -2}, {0, 4, -2}},       // top
        {{-0.5, -0.5, -2}, {0, -4, -2}, {0.8, -0.5, -2}},    // bottom
        {{-0.5, -0.2, -3}, {0.5, -0.2, -3}, {0, 0.3, 2}},    // across near
        {{-3, -1, -4}, {3, -1, -4}, {0, 2, -14}},            // across far
        {{-6, -5, 1}, {7, -4, -12}, {0.5, 6, -3}},           // near, far and the sides
        {{-0.9, -0.9, -1.5}, {0.9, -0.9, -8.5}, {0.9, 0.9, -8.5}, {-0.9, 0.9, -1.5}},  // inside, a quad
    };
    for (size_t i = 0; i < scenes.size(); ++i) {
        for (const int32_t fill : {1, 3}) {
            r.Reset();
            BindFlat(fill);
            r.FillPlane(0, 0);
            Draw3D(scenes[i]);
            const Comparison c = Compare(Reference3D(scenes[i]));
            EXPECT_EQ(c.wrong, 0) << "scene " << i << " fill " << fill;
            EXPECT_GT(c.drawn, 20) << "scene " << i;
        }
    }
}

TEST_F(RenderPolyRasterTest, OutsideDegenerateAndHugePolygons) {
    BindFlat(3);
    const std::vector<std::vector<Point4>> nothing = {
        {{3, 0, -2}, {5, 1, -2}, {4, 2, -2}},            // right of the volume
        {{0, 0, 1}, {1, 0, 0.5}, {0, 1, 2}},             // behind the eye
        {{0, 0, -10}, {1, 0, -12}, {0, 1, -20}},         // beyond far
        {{-1, -1, -3}, {0, 0, -3}, {1, 1, -3}},          // collinear
        {{0.2, 0.2, -3}, {0.2, 0.2, -3}, {0.5, -0.5, -3}},  // two corners at one place
    };
    for (size_t i = 0; i < nothing.size(); ++i) {
        r.Reset();
        BindFlat(3);
        r.FillPlane(0, 0);
        Draw3D(nothing[i]);
        EXPECT_EQ(Compare(reference::Image(r.Width(), r.Height())).drawn, 0) << i;
    }
    // Corners near the ends of the 16.16 range: the whole target is covered.
    r.Reset();
    BindFlat(1);
    r.FillPlane(0, 0);
    Draw3D({{-30000, -30000, -2}, {30000, -30000, -2}, {0, 30000, -2}});
    EXPECT_EQ(Compare(reference::Image(r.Width(), r.Height())).drawn, r.Width() * r.Height());
    // Raw extremes: whatever is drawn stays in the target (the sanitizer
    // watches), and nothing hangs.
    for (const int32_t extreme : {INT32_MIN, INT32_MAX, INT32_MIN + 1}) {
        r.Reset();
        BindFlat(1);
        r.positions = {extreme, 0, -2 * ONE, ONE, 0, extreme, extreme, ONE, ONE, ONE, extreme, ONE};
        r.poly->PositionFetcher().Setup(r.positions.data(), 4, CInterpolantFetcher::kTypeInt32, 0, 0, 16);
        r.poly->DrawPolygons(3, 3, 1);
        r.poly->DrawTriangleStrip(3);
    }
}

// A polygon that fits the pool but whose clipped corners do not is dropped.
TEST_F(RenderPolyRasterTest, PoolExhaustedWhileClippingDropsThePolygon) {
    BindFlat(3);
    r.FillPlane(0, 0);
    MGLRecord& s = r.context->Record();
    const int32_t stride = RenderPoly::kWordInterpolants + 1;
    s.vertexPoolUsed = s.vertexPoolLimit - 4 * stride;
    Draw3D({{0.5, -0.5, -2}, {4, 0, -2}, {0.5, 0.8, -2}});
    EXPECT_EQ(Compare(reference::Image(r.Width(), r.Height())).drawn, 0);
    r.Reset();
    BindFlat(3);
    Draw3D({{0.5, -0.5, -2}, {4, 0, -2}, {0.5, 0.8, -2}});
    EXPECT_GT(Compare(reference::Image(r.Width(), r.Height())).drawn, 50);
}

}  // namespace

namespace {

// With wireframe set, polygons become white outlines in the colour slot
// CreateBuffers made, corner to corner in whole pixels; nothing is filled.
TEST_F(RenderPolyRasterTest, WireframeDrawsOutlinesIntoTheColourSlot) {
    BindFlat(3);
    r.FillPlane(0, 0);
    MGLRecord& s = r.context->Record();
    ASSERT_GE(r.context->CreateBuffers(r.Width(), r.Height(), RSBFormat_R5G6B5), 0);
    s.wireframe = 1;
    r.UseScreenBounds();
    r.SetPositions({{4.5, 4.5}, {40.5, 4.5}, {4.5, 30.5}});
    r.poly->DrawPolygon2D(0, 3, 0);
    const BufferTable& table = *r.context->Buffers();
    auto white = [&](int32_t x, int32_t y) {
        ArgbPixel p{};
        return GetBufferPixel(table, s.colorBuffer, x, y, &p) && p.r == 0xF8 && p.g == 0xFC && p.b == 0xF8;
    };
    for (const auto& [x, y] : {std::pair{4, 4}, {40, 4}, {4, 30}, {20, 4}, {4, 17}, {22, 17}}) {
        EXPECT_TRUE(white(x, y)) << x << ", " << y;
    }
    EXPECT_FALSE(white(10, 10)) << "the inside stays";
    EXPECT_EQ(Compare(reference::Image(r.Width(), r.Height())).drawn, 0) << "the target is not filled";
}

}  // namespace

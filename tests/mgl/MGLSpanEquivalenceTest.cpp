#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "FlatDepthSpanCode.h"
#include "MGLSpans.h"
#include "RenderPolyRig.h"
#include "ShaderStateBuilder.h"

namespace {

// Overlapping flat triangles at different depths, some through the clip
// planes, each in its own colour.
struct Triangle {
    std::vector<std::vector<double>> corners;
    int32_t r, g, b;
};

const std::vector<Triangle>& Scene() {
    static const std::vector<Triangle> scene = {
        {{{-1.2, -1, -3}, {1.5, -0.8, -5}, {0.1, 1.3, -2.5}}, 255, 0, 0},
        {{{-0.5, -1.5, -2}, {0.8, 0.2, -6}, {-1.5, 0.9, -4}}, 0, 255, 0},
        {{{-4, -0.3, -3.5}, {4, -0.1, -3.5}, {0, 0.6, -3.6}}, 0, 0, 255},
        {{{-0.7, -0.7, 0.5}, {0.9, -0.2, -3}, {0.2, 0.8, -3}}, 255, 255, 0},
        {{{-2, -2, -8.7}, {2, -2, -9.5}, {0, 2, -4}}, 0, 255, 255},
    };
    return scene;
}

class MGLSpanEquivalenceTest : public rig::RenderPolyTest<96, 80> {
protected:
    // Draws the scene with whatever span is bound, returning colour and
    // depth buffers.
    std::pair<std::vector<uint16_t>, std::vector<uint32_t>> DrawScene(bool interpreted) {
        r.Reset();
        r.FillPlane(0, 0);
        r.FillPlane(1, 0);
        const MGLShaderState state =
            ShaderStateBuilder().Code(FlatDepthSpan(SpanColumns::FillRounded).Words()).Keys({{37, 1}, {31, 0}, {32, 128}, {42, 3}}).State();
        for (const Triangle& t : Scene()) {
            if (interpreted) {
                EXPECT_TRUE(r.context->BindShaderState(&state));
                const uint32_t packed = static_cast<uint32_t>((t.b >> 3) | ((t.g & 0xFC) << 3) | ((t.r & 0xF8) << 8));
                r.context->SetRegister(0, static_cast<int32_t>(packed));
            } else {
                EXPECT_TRUE(r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
            }
            MGLRecord& s = r.context->Record();
            s.drawColor[0] = 255;
            s.drawColor[1] = t.r;
            s.drawColor[2] = t.g;
            s.drawColor[3] = t.b;
            r.SetPositions(t.corners);
            r.poly->DrawPolygons(3, 3, 1);
        }
        std::pair<std::vector<uint16_t>, std::vector<uint32_t>> planes;
        for (int32_t y = 0; y < r.Height(); ++y) {
            for (int32_t x = 0; x < r.Width(); ++x) {
                planes.first.push_back(r.Pixel16(x, y));
                planes.second.push_back(r.Depth(x, y));
            }
        }
        return planes;
    }
};

// The same depth-tested scene through the portable routine and through the
// hand-written span code on the interpreter: identical pixels, identical
// depth words.
TEST_F(MGLSpanEquivalenceTest, PortableAndInterpretedSpansAgreeExactly) {
    const auto portable = DrawScene(false);
    const auto interpreted = DrawScene(true);
    int32_t drawn = 0;
    int32_t colours[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < portable.first.size(); ++i) {
        drawn += portable.first[i] != 0 ? 1 : 0;
        colours[0] += portable.first[i] == 0xF800 ? 1 : 0;
        colours[1] += portable.first[i] == 0x07E0 ? 1 : 0;
        colours[2] += portable.first[i] == 0x001F ? 1 : 0;
        colours[3] += portable.first[i] == 0xFFE0 ? 1 : 0;
    }
    EXPECT_GT(drawn, 800);
    for (const int32_t count : colours) EXPECT_GT(count, 50) << "each triangle shows somewhere";
    EXPECT_EQ(portable.first, interpreted.first);
    EXPECT_EQ(portable.second, interpreted.second);
}

}  // namespace

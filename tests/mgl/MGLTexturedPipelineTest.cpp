#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLSpans.h"
#include "MGLTexel.h"
#include "RenderPolyRig.h"

using rig::Fixed;
using rig::ONE;

namespace {

constexpr int32_t kTextureSize = 64;

// Colour k (1..7) has red, green and blue full or off by its three bits;
// the top bit of each channel tells them apart in every target format.
int32_t ColourIndex(uint32_t format, uint32_t pixel) {
    int32_t red = 0, green = 0, blue = 0;
    switch (format) {
        case RSBFormat_R5G6B5: red = pixel >> 15 & 1; green = pixel >> 10 & 1; blue = pixel >> 4 & 1; break;
        case RSBFormat_X8R8G8B8: red = pixel >> 23 & 1; green = pixel >> 15 & 1; blue = pixel >> 7 & 1; break;
        default: red = pixel >> 17 & 1; green = pixel >> 11 & 1; blue = pixel >> 5 & 1; break;
    }
    return red | green << 1 | blue << 2;
}

uint16_t Colour565(int32_t k) {
    return static_cast<uint16_t>(((k & 1) ? 0xF800 : 0) | ((k & 2) ? 0x07E0 : 0) | ((k & 4) ? 0x001F : 0));
}

// Renders textured quads through the portable textured span into targets of
// each format it supports.
class MGLTexturedPipelineTest : public ::testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override {
        ASSERT_TRUE(r.ok);
        slot = r.context->Buffers()->AllocBuffer(kTextureSize, kTextureSize, RSBFormat_R5G6B5, 0);
        ASSERT_GE(slot, 0);
    }

    // Every texel of a level set by a function of its column.
    void PaintLevel(int32_t level, int32_t (*colourOf)(int32_t column, int32_t level)) {
        const BufferRecord* record = BufferSlots::Of(*r.context->Buffers()).Slot(slot);
        const int32_t w = LevelExtent(kTextureSize, level);
        const int32_t h = LevelExtent(kTextureSize, level);
        for (int32_t i = 0; i < w * h; ++i) {
            const uint16_t texel = Colour565(colourOf(i % w, level));
            std::memcpy(record->levels[level] + 2 * i, &texel, 2);
        }
    }

    // Binds the texture and the span; corners with (u, v) in texels, split
    // into `polygons` polygons of as many corners each. onVertex, when set,
    // runs in the vertex hook.
    void Draw(const std::vector<std::vector<double>>& corners, const std::vector<std::pair<double, double>>& uv,
              TextureFilter filter, bool perspective, RenderPoly::NativeSpan span = SpanTexturedPerspective,
              int32_t polygons = 1) {
        r.Reset();
        // Depth offsets scale u and v and enter the perspective terms as
        // products: a depth range of 1/16 keeps those within 32 bits.
        r.context->SetViewport(0, 0, r.Width(), r.Height(), 0, ONE / 16);
        r.context->UpdateProjection(1);
        r.FillPlane(0, 0);
        r.FillPlane(1, 0);
        r.context->BindBufferToUnit(0, slot, *r.context->Buffers());
        TextureUnit& unit = r.context->Record().texture_units[0];
        unit.filter_mode = rig::UnitField(filter);
        unit.texmode = rig::UnitField(TextureWrap::Repeat);
        ASSERT_TRUE(r.poly->BindNativeSpan(std::move(span), MGLNativeSpanLayout{3, 0, 0, 6, 3}));
        r.context->Record().perspectiveGradients = perspective ? 1 : 0;
        r.context->Record().clearDepth = 0;
        r.poly->SetVertexHook([this, uv](int32_t* vertex, int32_t n) {
            if (onVertex) onVertex(n);
            vertex[15] = Fixed(uv[n].first);
            vertex[16] = Fixed(uv[n].second);
        });
        r.SetPositions(corners);
        const int32_t count = static_cast<int32_t>(corners.size());
        r.poly->DrawPolygons(count / polygons, count, polygons);
    }

    uint32_t PixelAt(int32_t x, int32_t y) const {
        return GetParam() == RSBFormat_R5G6B5 ? r.Pixel16(x, y) : r.Pixel32(x, y);
    }

    rig::Renderer r{64, 48, GetParam()};
    int32_t slot = -1;
    std::function<void(int32_t n)> onVertex;
};

// A floor receding from z = -1.2 to -8.5, its texture repeated (coordinates
// scaled by the depth offset must stay within 32 bits, some hundred texels).
// Each mip level has its own colour; the level drawn in the middle column
// follows the texel step there (the larger of u across and v down, from the
// floor's geometry), within one level, through at least three levels.
TEST_P(MGLTexturedPipelineTest, MipLevelFollowsTheTexelStep) {
    BuildMipChain(*r.context->Buffers(), slot);
    const int32_t levels = BufferSlots::Of(*r.context->Buffers()).Slot(slot)->maxD;
    ASSERT_GE(levels, 5);
    for (int32_t level = 0; level <= levels; ++level) PaintLevel(level, [](int32_t, int32_t l) { return l % 7 + 1; });
    Draw({{-3, -1, -1.2}, {3, -1, -1.2}, {3, -1, -8.5}, {-3, -1, -8.5}},
         {{0, 0}, {128, 0}, {128, 160}, {0, 160}}, TextureFilter::NearestMip, true);
    const MGLRecord& s = r.context->Record();
    const double cfx1 = rig::ToDouble(s.cfx1), cfy0 = rig::ToDouble(s.cfy0), cfy1 = rig::ToDouble(s.cfy1);
    auto depthAt = [&](double py) { return -cfy1 / (py - cfy0); };  // -z of the floor (y = -1) under row py
    auto vAt = [&](double py) { return 160 * (depthAt(py) - 1.2) / 7.3; };
    std::set<int32_t> seen;
    int32_t rows = 0;
    for (int32_t y = 0; y < r.Height(); ++y) {
        const uint32_t pixel = PixelAt(r.Width() / 2, y);
        if (pixel == 0) continue;
        ++rows;
        const int32_t level = ColourIndex(GetParam(), pixel) - 1;
        seen.insert(level);
        const double py = y + 0.5;
        const double across = 128.0 / 6 * depthAt(py) / cfx1;
        const double down = std::fabs(vAt(py + 0.5) - vAt(py - 0.5));
        const double step = across > down ? across : down;
        int32_t expected = step < 1 ? 0 : static_cast<int32_t>(std::floor(std::log2(step))) + 1;
        expected = expected > levels - 1 ? levels - 1 : expected;
        EXPECT_LE(std::abs(level - expected), 1) << "row " << y << " step " << step;
        for (int32_t x = 0; x < r.Width(); ++x) {
            if (PixelAt(x, y) == 0) continue;
            EXPECT_LE(std::abs(ColourIndex(GetParam(), PixelAt(x, y)) - 1 - level), 1) << x << ", " << y;
        }
    }
    EXPECT_GT(rows, 15);
    EXPECT_GE(seen.size(), 3u);
}

// A quad facing the eye has one texel step over its whole face: at any
// depth, with its size and texture coordinates scaled so the step stays
// three texels a pixel, it draws one and the same mip level, the level the
// affine walk picks for it.
TEST_P(MGLTexturedPipelineTest, OneTexelDensityDrawsOneLevelAtEveryDepth) {
    BuildMipChain(*r.context->Buffers(), slot);
    const int32_t levels = BufferSlots::Of(*r.context->Buffers()).Slot(slot)->maxD;
    for (int32_t level = 0; level <= levels; ++level) PaintLevel(level, [](int32_t, int32_t l) { return l % 7 + 1; });
    const std::vector<std::pair<double, double>> uv = {{0, 36}, {48, 36}, {48, 0}, {0, 0}};
    auto levelsDrawn = [&](double depth, bool perspective) {
        const double half = depth / 4;
        Draw({{-half, -half, -depth}, {half, -half, -depth}, {half, half, -depth}, {-half, half, -depth}}, uv,
             TextureFilter::NearestMip, perspective);
        std::set<int32_t> drawn;
        for (int32_t y = 0; y < r.Height(); ++y) {
            for (int32_t x = 0; x < r.Width(); ++x) {
                if (PixelAt(x, y) != 0) drawn.insert(ColourIndex(GetParam(), PixelAt(x, y)) - 1);
            }
        }
        return drawn;
    };
    const std::set<int32_t> affine = levelsDrawn(2, false);
    ASSERT_EQ(affine.size(), 1u);
    for (const double depth : {1.5, 2.5, 4.0, 6.0, 8.5}) EXPECT_EQ(levelsDrawn(depth, true), affine) << depth;
}

// A wall receding to the right with eight vertical stripes: each pixel of
// the middle row shows the stripe its centre sees in perspective; the affine
// walk puts stripes visibly elsewhere.
TEST_P(MGLTexturedPipelineTest, StripesLandWherePerspectiveSaysTheyDo) {
    PaintLevel(0, [](int32_t column, int32_t) { return column / 8 % 7 + 1; });
    const std::vector<std::vector<double>> wall = {{-1.5, -1, -2}, {2.5, -1.2, -6}, {2.5, 1.2, -6}, {-1.5, 1, -2}};
    const std::vector<std::pair<double, double>> uv = {{0, 64}, {63.99, 64}, {63.99, 0}, {0, 0}};
    const MGLRecord& s = r.context->Record();
    const int32_t row = r.Height() / 2;
    int32_t wrong[2] = {0, 0};
    int32_t checked = 0;
    for (const bool perspective : {true, false}) {
        Draw(wall, uv, TextureFilter::Nearest, perspective);
        const double cfx0 = rig::ToDouble(s.cfx0), cfx1 = rig::ToDouble(s.cfx1);
        for (int32_t x = 0; x < r.Width(); ++x) {
            const uint32_t pixel = PixelAt(x, row);
            if (pixel == 0) continue;
            // The wall point under the pixel centre: x / -z = q along L + s (R - L).
            auto along = [&](double px) {
                const double q = (px - cfx0) / cfx1;
                return (q * 2 + 1.5) / (4 - q * 4);
            };
            const double u = 64 * along(x + 0.5);
            const double slack = 64 * std::fabs(along(x + 1) - along(x));
            if (std::fabs(u / 8 - std::round(u / 8)) * 8 < slack) continue;  // next to a stripe boundary
            const int32_t stripe = static_cast<int32_t>(u / 8) % 7 + 1;
            if (ColourIndex(GetParam(), pixel) != stripe) ++wrong[perspective ? 0 : 1];
            if (perspective) ++checked;
        }
    }
    EXPECT_GT(checked, 15);
    EXPECT_EQ(wrong[0], 0);
    EXPECT_GT(wrong[1], 5) << "affine texturing misplaces the stripes";
}

// The span's sampler serves no longer than the unit it was made from: a
// texture bound between draws, or between the rows of a routine that wraps
// the span, is the one drawn.
TEST_P(MGLTexturedPipelineTest, EachRowSamplesTheTextureBoundForIt) {
    const int32_t first = slot;
    const int32_t second = r.context->Buffers()->AllocBuffer(kTextureSize, kTextureSize, RSBFormat_R5G6B5, 0);
    ASSERT_GE(second, 0);
    PaintLevel(0, [](int32_t, int32_t) { return 1; });
    slot = second;
    PaintLevel(0, [](int32_t, int32_t) { return 6; });
    const std::vector<std::vector<double>> square = {{-1, -1, -2}, {1, -1, -2}, {1, 1, -2}, {-1, 1, -2}};
    const std::vector<std::pair<double, double>> uv = {{0, 0}, {63, 0}, {63, 63}, {0, 63}};
    auto coloursDrawn = [this] {
        std::set<int32_t> colours;
        for (int32_t y = 0; y < r.Height(); ++y) {
            for (int32_t x = 0; x < r.Width(); ++x) {
                if (PixelAt(x, y) != 0) colours.insert(ColourIndex(GetParam(), PixelAt(x, y)));
            }
        }
        return colours;
    };
    for (const int32_t bound : {first, second, first}) {
        slot = bound;
        Draw(square, uv, TextureFilter::Nearest, true);
        EXPECT_EQ(coloursDrawn(), (std::set<int32_t>{bound == first ? 1 : 6}));
    }
    // Odd rows bind the second texture, even rows the first.
    Draw(square, uv, TextureFilter::Nearest, true, [&](MGLContext& context, uint32_t x0, uint32_t x1) {
        const int32_t row = r.RowOf(context.Record().destptr);
        context.BindBufferToUnit(0, row % 2 != 0 ? second : first, *context.Buffers());
        context.Record().texture_units[0].filter_mode = rig::UnitField(TextureFilter::Nearest);
        context.Record().texture_units[0].texmode = rig::UnitField(TextureWrap::Repeat);
        SpanTexturedPerspective(context, x0, x1);
    });
    int32_t rows = 0;
    for (int32_t y = 0; y < r.Height(); ++y) {
        if (PixelAt(r.Width() / 2, y) == 0) continue;
        ++rows;
        EXPECT_EQ(ColourIndex(GetParam(), PixelAt(r.Width() / 2, y)), y % 2 != 0 ? 6 : 1) << "row " << y;
    }
    EXPECT_GT(rows, 10);
}

// A fill takes the sampler the one before it left only while nothing it was
// made from changed: a texture bound between two polygons of a draw, or made
// anew in the same slot at the same guest address and bound again (the unit
// reading as it did), is the one the second polygon draws.
TEST_P(MGLTexturedPipelineTest, APolygonSamplesTheTextureBoundOrMadeBeforeIt) {
    const int32_t first = slot;
    const int32_t second = r.context->Buffers()->AllocBuffer(kTextureSize, kTextureSize, RSBFormat_R5G6B5, 0);
    ASSERT_GE(second, 0);
    slot = second;
    PaintLevel(0, [](int32_t, int32_t) { return 6; });
    slot = first;
    TextureUnit& unit = r.context->Record().texture_units[0];
    // The filter and wrap stay those of `modes`.
    auto bind = [&](int32_t bound, const TextureUnit modes) {
        r.context->BindBufferToUnit(0, bound, *r.context->Buffers());
        unit.filter_mode = modes.filter_mode;
        unit.texmode = modes.texmode;
    };
    auto makeFirstAnew = [&] {
        const TextureUnit before = unit;
        r.context->Buffers()->FreeBuffer(first);
        ASSERT_EQ(r.context->Buffers()->AllocBuffer(kTextureSize, kTextureSize, RSBFormat_R5G6B5, 0), first);
        PaintLevel(0, [](int32_t, int32_t) { return 6; });
        bind(first, before);
        EXPECT_EQ(std::memcmp(&before, &unit, sizeof before), 0);
    };
    const std::pair<double, double> a{0, 0}, b{63, 0}, c{63, 63}, d{0, 63};
    for (const std::function<void()>& change : {std::function<void()>([&] { bind(second, unit); }),
                                                std::function<void()>(makeFirstAnew)}) {
        PaintLevel(0, [](int32_t, int32_t) { return 1; });
        onVertex = [&change](int32_t n) {
            if (n == 4) change();
        };
        Draw({{-1, -1, -2}, {0, -1, -2}, {0, 1, -2}, {-1, 1, -2}, {0, -1, -2}, {1, -1, -2}, {1, 1, -2}, {0, 1, -2}},
             {a, b, c, d, a, b, c, d}, TextureFilter::Nearest, true, SpanTexturedPerspective, 2);
        EXPECT_EQ(ColourIndex(GetParam(), PixelAt(3 * r.Width() / 8, r.Height() / 2)), 1);
        EXPECT_EQ(ColourIndex(GetParam(), PixelAt(5 * r.Width() / 8, r.Height() / 2)), 6);
    }
}

// A luminance texel is opaque grey: a white one draws white.
TEST_P(MGLTexturedPipelineTest, LuminanceTexturesDrawOpaqueGrey) {
    slot = r.context->Buffers()->AllocBuffer(4, 4, RSBFormat_L8, 0);
    ASSERT_GE(slot, 0);
    std::memset(BufferSlots::Of(*r.context->Buffers()).Slot(slot)->levels[0], 0xFF, 16);
    Draw({{-1, -1, -2}, {1, -1, -2}, {1, 1, -2}, {-1, 1, -2}}, {{0, 0}, {3, 0}, {3, 3}, {0, 3}},
         TextureFilter::Nearest, true);
    EXPECT_EQ(ColourIndex(GetParam(), PixelAt(r.Width() / 2, r.Height() / 2)), 7);
}

INSTANTIATE_TEST_SUITE_P(TargetFormats, MGLTexturedPipelineTest,
                         ::testing::Values(RSBFormat_R5G6B5, RSBFormat_X8R8G8B8, RSBFormat_X14R6G6B6));

}  // namespace

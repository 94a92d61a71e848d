#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "MGLBufferOps.h"
#include "MGLBufferTable.h"
#include "MGLContextCore.h"
#include "MGLSpans.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"
#include "MGLVectorUnit.h"
#include "RenderPolyRig.h"

using rig::ONE;

namespace {

// Row y of a target: depth0 at column 0 stepping by depthStep, u and v likewise.
void AtRow(rig::Renderer& target, int32_t y, int32_t depth0, int32_t depthStep, int32_t u0 = 0, int32_t du = 0,
           int32_t v0 = 0, int32_t dv = 0) {
    MGLRecord& s = target.context->Record();
    s.destptr = s.destbase + static_cast<uint32_t>(y * s.deststride);
    s.zptr = s.zbase + static_cast<uint32_t>(y * s.zstride);
    s.numInterpolants = 3;
    s.depthInterpolant = 0;
    const int32_t start[3] = {depth0, u0, v0};
    const int32_t step[3] = {depthStep, du, dv};
    for (int32_t i = 0; i < 3; ++i) {
        s.intp_y[i] = start[i];
        s.intp_dx[i] = step[i];
    }
}

std::vector<int32_t> DrawnColumns(const rig::Renderer& target, int32_t y) {
    std::vector<int32_t> columns;
    for (int32_t x = 0; x < target.Width(); ++x) {
        if (target.Pixel16(x, y) != 0) columns.push_back(x);
    }
    return columns;
}

uint8_t Channel(int32_t i) { return static_cast<uint8_t>(i * 4); }

// A texture in the context's buffer table bound to unit 0.
int32_t Texture(rig::Renderer& target, int32_t w, int32_t h, uint32_t format, TextureFilter filter,
                TextureWrap wrap) {
    BufferTable& table = *target.context->Buffers();
    const int32_t slot = table.AllocBuffer(w, h, format, 0);
    target.context->BindBufferToUnit(0, slot, table);
    TextureUnit& unit = target.context->Record().texture_units[0];
    unit.filter_mode = rig::UnitField(filter);
    unit.texmode = rig::UnitField(wrap);
    return slot;
}

// The sampler of unit 0 a fill that keeps one hands the portable spans:
// made in the place of the one before once anything it was made from
// changed.
MGLTextureSampler& KeptSampler(MGLContext& context) {
    MGLContextCore& core = MGLContextCore::Of(context);
    core.KeepSpanSampler(true);
    return *core.KeptSpanSampler();
}

// Direct calls of the portable spans on one row of a small r5g6b5 target.
class MGLSpansTest : public rig::RenderPolyTest<16, 4> {};

using Columns = std::vector<int32_t>;

// Pixel i is drawn when its centre lies in [x0, x1]; the scissor bounds the columns.
TEST_F(MGLSpansTest, ColumnsCoveredFollowPixelCentres) {
    MGLRecord& s = r.context->Record();
    s.depthTest = 0;
    s.drawColor[1] = 255;
    const std::pair<int32_t, int32_t> spans[] = {{0x10000, 0x30000}, {0x18000, 0x28000}, {0x18001, 0x28000}};
    const Columns expected[] = {{1, 2}, {1, 2}, {2}};
    for (int32_t i = 0; i < 3; ++i) {
        r.FillPlane(0, 0);
        AtRow(r, 1, 0, 0);
        SpanFlatDepth(*r.context, static_cast<uint32_t>(spans[i].first), static_cast<uint32_t>(spans[i].second));
        EXPECT_EQ(DrawnColumns(r, 1), expected[i]) << i;
    }
    r.FillPlane(0, 0);
    s.scissorx0 = 3;
    s.scissorx1 = 5;
    SpanFlatDepth(*r.context, static_cast<uint32_t>(-40 * ONE), static_cast<uint32_t>(90 * ONE));
    EXPECT_EQ(DrawnColumns(r, 1), (Columns{3, 4}));
}

TEST_F(MGLSpansTest, FlatColourInEachTargetFormat) {
    MGLRecord& s = r.context->Record();
    const int32_t colour[4] = {255, 255, 0, 0};
    std::memcpy(s.drawColor, colour, sizeof colour);
    AtRow(r, 0, 5, 0);
    SpanFlatDepth(*r.context, 0, static_cast<uint32_t>(2 * ONE));
    EXPECT_EQ(r.Pixel16(0, 0), 0xF800);
}

// Depth words wider than four bytes (a format no surface of ours has) are
// tested and written four bytes each, at their own step.
TEST(MGLSpansFormatTest, FlatDepthOnWideDepthWords) {
    constexpr uint32_t kEightByteDepth = RSBFormat_Z32 + 4;
    constexpr int32_t kDepth = 1000;
    rig::Renderer r(4, 1, RSBFormat_R5G6B5, kEightByteDepth);
    ASSERT_TRUE(r.ok);
    r.FillPlane(1, 0);
    MGLRecord& s = r.context->Record();
    s.drawColor[3] = 255;
    s.depthTest = 1;
    s.depthWrite = 1;
    AtRow(r, 0, kDepth, 0);
    SpanFlatDepth(*r.context, 0, static_cast<uint32_t>(4 * ONE - 1));
    for (int32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(r.Pixel16(x, 0), 0x001F) << x;
        uint32_t words[2];
        std::memcpy(words, r.Row(1, 0) + 8 * x, sizeof words);
        EXPECT_EQ(words[0], static_cast<uint32_t>(kDepth)) << x;
        EXPECT_EQ(words[1], 0u) << x;
    }
}

TEST(MGLSpansFormatTest, FlatColourOnX8R8G8B8) {
    const int32_t colour[4] = {255, 255, 0, 0};
    rig::Renderer wide(8, 2, RSBFormat_X8R8G8B8);
    ASSERT_TRUE(wide.ok);
    std::memcpy(wide.context->Record().drawColor, colour, sizeof colour);
    AtRow(wide, 0, 5, 0);
    SpanFlatDepth(*wide.context, 0, static_cast<uint32_t>(2 * ONE));
    EXPECT_EQ(wide.Pixel32(0, 0), 0xFFFF0000u);
}

// Greater passes, compared unsigned: an equal depth fails, 0x80000000 beats
// 0x7FFFFFFF; without depth writes the plane keeps its values; a target
// without a depth buffer draws every pixel.
TEST_F(MGLSpansTest, DepthTestIsGreaterUnsigned) {
    MGLRecord& s = r.context->Record();
    s.drawColor[3] = 255;
    auto stored = [&](int32_t x, uint32_t value) { std::memcpy(r.Row(1, 0) + 4 * x, &value, 4); };
    stored(0, 0x7FFFFFFF);
    stored(1, 0x80000000u);
    stored(2, 0x90000000u);
    AtRow(r, 0, static_cast<int32_t>(0x80000000u), 0);
    SpanFlatDepth(*r.context, 0, static_cast<uint32_t>(2 * ONE));
    EXPECT_EQ(DrawnColumns(r, 0), (Columns{0}));
    EXPECT_EQ(r.Depth(0, 0), 0x80000000u);
    EXPECT_EQ(r.Depth(2, 0), 0x90000000u);

    s.depthWrite = 0;
    stored(3, 5);
    AtRow(r, 0, 100, 0);
    SpanFlatDepth(*r.context, static_cast<uint32_t>(3 * ONE), static_cast<uint32_t>(4 * ONE));
    EXPECT_NE(r.Pixel16(3, 0), 0);
    EXPECT_EQ(r.Depth(3, 0), 5u);
}

TEST(MGLSpansFormatTest, WithoutADepthPlaneEveryPixelIsDrawn) {
    rig::Renderer flat(8, 2, RSBFormat_R5G6B5, 0);
    ASSERT_TRUE(flat.ok);
    flat.context->Record().drawColor[3] = 255;
    AtRow(flat, 1, 0, 0);
    SpanFlatDepth(*flat.context, 0, static_cast<uint32_t>(8 * ONE));
    EXPECT_EQ(DrawnColumns(flat, 1).size(), 8u);
}

TEST_F(MGLSpansTest, TexelAddressesWrapClampAndMirror) {
    uint8_t texels[8 * 4] = {};
    const uint8_t* levels[kTexelLevels];
    for (const uint8_t*& level : levels) level = texels;
    auto column = [&](TextureWrap wrap, int32_t tu) {
        return static_cast<int32_t>(TexelAddress(levels, 1, wrap, 8, 4, tu * ONE, 0, 0) - texels);
    };
    EXPECT_EQ(column(TextureWrap::Repeat, -1), 7);
    EXPECT_EQ(column(TextureWrap::Clamp, -3), 0);
    EXPECT_EQ(column(TextureWrap::Clamp, 20), 7);
    EXPECT_EQ(column(TextureWrap::Mirror, 8), 7);
    EXPECT_EQ(column(TextureWrap::Mirror, 9), 6);
    // A repeat quad at the last column and row takes column 0 and row 0.
    const uint8_t* quad[4];
    TexelQuadAddress(levels, 1, TextureWrap::Repeat, 8, 4, 7 * ONE, 3 * ONE, 0, quad);
    const int32_t offsets[4] = {3 * 8 + 7, 3 * 8 + 0, 0 * 8 + 0, 0 * 8 + 7};
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(quad[i] - texels, offsets[i]) << i;
    // Clamped at the edge and before the start: no step.
    TexelQuadAddress(levels, 1, TextureWrap::Clamp, 8, 4, -ONE, 3 * ONE, 0, quad);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(quad[i] - texels, 3 * 8) << i;
    // A level narrower than its shift is one texel wide, never zero.
    EXPECT_EQ(TexelAddress(levels, 1, TextureWrap::Repeat, 8, 1, 5 * ONE, 9 * ONE, 3) - texels, 0);
}

// BilinearOrMip switches from bilinear on level 0 to nearest on level 1
// past a level of detail of 1.0; NearestBlend on the last level blends it
// with itself.
TEST_F(MGLSpansTest, SamplerModesPickLevels) {
    const int32_t slot = Texture(r, 4, 4, RSBFormat_A8R8G8B8, TextureFilter::BilinearOrMip, TextureWrap::Repeat);
    BufferTable& table = *r.context->Buffers();
    FillBufferRect(table, slot, 0, 0, 4, 4, 255, 200, 0, 0);
    BuildMipChain(table, slot);
    FillBufferRect(table, slot, 0, 0, 4, 4, 255, 0, 100, 0);  // level 0 green, level 1 stays red
    r.context->BindBufferToUnit(0, slot, table);
    TextureUnit& unit = r.context->Record().texture_units[0];
    unit.texmode = rig::UnitField(TextureWrap::Repeat);
    RSBFormat_ARGB_fixed c;
    unit.filter_mode = rig::UnitField(TextureFilter::BilinearOrMip);
    SampleTexture(*r.context, 0, 2 * ONE, 2 * ONE, ONE, &c);
    EXPECT_EQ(c.g >> 8, 99) << "bilinear weights lose a little";
    EXPECT_EQ(c.r, 0);
    SampleTexture(*r.context, 0, 2 * ONE, 2 * ONE, ONE + 1, &c);
    EXPECT_EQ(c.r >> 8, 200);
    EXPECT_EQ(c.g, 0);
    unit.filter_mode = rig::UnitField(TextureFilter::NearestBlend);
    const int32_t last = (unit.b.maxD - 1) << 16;
    SampleTexture(*r.context, 0, ONE, ONE, last | 0x8000, &c);
    RSBFormat_ARGB_fixed direct;
    unit.filter_mode = rig::UnitField(TextureFilter::NearestMip);
    SampleTexture(*r.context, 0, ONE, ONE, last, &direct);
    EXPECT_NEAR(c.r, direct.r, 2 * 257);
    unit.filter_mode = 9;  // no mode has it
    c = {1, 2, 3, 4};
    SampleTexture(*r.context, 0, ONE, ONE, 0, &c);
    EXPECT_EQ(c.b, 4) << "an unknown mode leaves the colour";
}

// A texel of alpha 0 writes neither colour nor depth; x14r6g6b6 receives the
// channels' top six bits.
TEST_F(MGLSpansTest, TexturedSpanSkipsTransparentTexelsAndStoresEachFormat) {
    const int32_t slot = Texture(r, 2, 1, RSBFormat_A8R8G8B8, TextureFilter::Nearest, TextureWrap::Repeat);
    BufferTable& table = *r.context->Buffers();
    PutBufferPixel(table, slot, 0, 0, ArgbPixel{0, 255, 255, 255});
    PutBufferPixel(table, slot, 1, 0, ArgbPixel{255, 255, 0, 128});
    AtRow(r, 0, 1000, 0, 0, ONE);
    SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(3 * ONE));
    EXPECT_EQ(r.Pixel16(0, 0), 0);
    EXPECT_EQ(r.Depth(0, 0), 0u);
    EXPECT_EQ(r.Pixel16(1, 0), 0xF810);
    EXPECT_EQ(r.Depth(1, 0), 1000u);
    EXPECT_EQ(r.Pixel16(2, 0), 0) << "column 2 repeats column 0";
}

// A pixel's texel is read before its depth is written, whatever the
// texture's format: here a level aliasing the depth buffer, nearest, into
// an r5g6b5 target (which copies an r5g6b5 texel as it is) and an
// a4r4g4b4 one (decoded).
TEST_F(MGLSpansTest, ATexelIsReadBeforeThePixelsDepthIsWritten) {
    constexpr uint32_t kDepth = 0x7BEF1234u;
    MGLRecord& s = r.context->Record();
    for (const uint32_t format : {RSBFormat_R5G6B5, RSBFormat_A4R4G4B4}) {
        Texture(r, 2, 1, format, TextureFilter::Nearest, TextureWrap::Repeat);
        s.texture_units[0].b.levels[0] = s.zbase;
        r.FillPlane(0, 0);
        r.FillPlane(1, 0);
        const uint16_t before = 0xFFFF;
        std::memcpy(r.Row(1, 0), &before, sizeof before);
        AtRow(r, 0, static_cast<int32_t>(kDepth), 0);
        SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(ONE));
        EXPECT_EQ(r.Depth(0, 0), kDepth) << std::hex << format;
        EXPECT_EQ(r.Pixel16(0, 0), 0xFFFF) << std::hex << format;
    }
}

// The 32-bit targets store their own formats, the nearest texel and the
// nearest texels of two levels blended alike (x14r6g6b6 the channels' top
// six bits; a blend weighs texels in 255ths, which loses a little).
TEST(MGLSpansFormatTest, TexturedSpanOnWideTargetsStoresTheirFormats) {
    struct Target {
        uint32_t format;
        uint32_t nearest;
        uint32_t blended;
    };
    for (const Target& target : {Target{RSBFormat_X8R8G8B8, 0xFF840Cu, 0xFE830Bu},
                                 Target{RSBFormat_X14R6G6B6, (0x3Fu << 12) | (0x21u << 6) | 0x03u,
                                        (0x3Fu << 12) | (0x20u << 6) | 0x02u}}) {
        rig::Renderer wide(4, 1, target.format);
        ASSERT_TRUE(wide.ok);
        const int32_t slot = Texture(wide, 1, 1, RSBFormat_A8R8G8B8, TextureFilter::Nearest, TextureWrap::Repeat);
        PutBufferPixel(*wide.context->Buffers(), slot, 0, 0, ArgbPixel{255, 0xFF, 0x84, 0x0C});
        for (const TextureFilter filter : {TextureFilter::Nearest, TextureFilter::NearestBlend}) {
            wide.context->Record().texture_units[0].filter_mode = rig::UnitField(filter);
            wide.FillPlane(0, 0);
            wide.FillPlane(1, 0);
            AtRow(wide, 0, 1, 0);
            SpanTexturedPerspective(*wide.context, 0, static_cast<uint32_t>(ONE));
            EXPECT_EQ(wide.Pixel32(0, 0), filter == TextureFilter::Nearest ? target.nearest : target.blended)
                << std::hex << target.format << " filter " << rig::UnitField(filter);
        }
    }
}

// Bilinear texels, and trilinear ones without a blend, of a texture that
// is the target itself, magnified four times: each pixel reads the texels
// as the pixels before it left them (neighbours read the same quad, and
// some of it has just been drawn), and the last quad's addresses (the
// second level's, weightless as it is, for trilinear) stay in rp123, as
// sampling pixel by pixel gives both.
TEST_F(MGLSpansTest, FilteredRowReadsTexelsItDrewAsSamplingPixelByPixel) {
    Texture(r, 16, 4, RSBFormat_R5G6B5, TextureFilter::Bilinear, TextureWrap::Repeat);
    MGLRecord& s = r.context->Record();
    TextureUnit& unit = s.texture_units[0];
    unit.b.levels[0] = s.destbase;
    unit.b.levels[1] = s.destbase + 64;  // rows 2 and 3: an 8 x 2 level
    unit.b.maxD = 2;
    s.K1[1] = s.K1[2] = -ONE;  // the affine level of detail: level 0, no blend
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const uint16_t texel = static_cast<uint16_t>(0x9A53u * static_cast<uint32_t>(x + 16 * y + 1));
            std::memcpy(r.Row(0, y) + 2 * x, &texel, 2);
        }
    }
    const std::vector<uint8_t> before(r.Row(0, 0), r.Row(0, 0) + 32);
    constexpr int32_t kU0 = 2 * ONE + ONE / 8;
    constexpr int32_t kStep = ONE / 4;
    std::vector<int32_t> quad;
    for (const TextureFilter mode : {TextureFilter::Bilinear, TextureFilter::Trilinear}) {
        unit.filter_mode = rig::UnitField(mode);
        std::memcpy(r.Row(0, 0), before.data(), before.size());
        r.FillPlane(1, 0);
        AtRow(r, 0, 1000, 0, kU0, kStep, ONE, 0);
        SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(16 * ONE - 1));
        const std::vector<uint8_t> drawn(r.Row(0, 0), r.Row(0, 0) + 32);
        quad.assign(s.rp123, s.rp123 + 4);

        std::memcpy(r.Row(0, 0), before.data(), before.size());
        s.rp123[0] = s.rp123[1] = s.rp123[2] = s.rp123[3] = 0;
        for (int32_t x = 0; x < 16; ++x) {
            RSBFormat_ARGB_fixed c = {0, 0, 0, 0};
            SampleTexture(*r.context, 0, kU0 + x * kStep, ONE, -ONE, &c);
            const uint16_t pixel = static_cast<uint16_t>((c.r & 0xF800) | ((c.g >> 10) << 5) | (c.b >> 11));
            std::memcpy(r.Row(0, 0) + 2 * x, &pixel, 2);
        }
        EXPECT_EQ(drawn, std::vector<uint8_t>(r.Row(0, 0), r.Row(0, 0) + 32)) << "mode " << rig::UnitField(mode);
        EXPECT_EQ(quad, std::vector<int32_t>(s.rp123, s.rp123 + 4)) << "mode " << rig::UnitField(mode);
    }
    // The last pixel's second level quad: texel (2, 0) of the 8 x 2 level and
    // its neighbours.
    const int32_t level1 = static_cast<int32_t>(s.destbase + 64);
    EXPECT_EQ(quad, (std::vector<int32_t>{level1 + 4, level1 + 6, level1 + 22, level1 + 20}));
}

// A perspective row long enough to work its texels out ahead (bilinear,
// or nearest on two levels blended) reads the texels the pixels before it
// drew, as the same row drawn in short pieces (each pixel sampled in turn)
// does, wherever the row's bytes lie in a level it reads: the texture is
// the target itself, magnified four times; only the second of the two
// levels blended is; or only a level's last texel is the row's first
// pixel. A row that tests depth without writing it leaves the plane as it
// was.
TEST_F(MGLSpansTest, LongPerspectiveRowReadsTexelsItDrewAsShortPiecesDo) {
    MGLRecord& s = r.context->Record();
    s.perspectiveGradients = 1;
    s.cfz0 = 0;
    for (int32_t x = 0; x < 32; ++x) {
        const uint16_t texel = static_cast<uint16_t>(0x9A53u * static_cast<uint32_t>(x + 1));
        std::memcpy(r.Row(0, 0) + 2 * x, &texel, 2);
    }
    const std::vector<uint8_t> before(r.Row(0, 0), r.Row(0, 0) + 64);
    // A depth 2^20 past the offset: the divide leaves u and v as they are.
    struct Case {
        TextureFilter mode;
        int32_t width;  // four texels high
        int32_t level0, level1;  // bytes from the target's first pixel; -1: the texture's own
        int32_t row, u0, du, v0;
        int32_t k2;  // the perspective term of u's step: 12.0 gives a level of detail of 0.5
    } const cases[] = {
        {TextureFilter::NearestBlend, 16, 0, -1, 0, 2 * ONE + ONE / 8, ONE / 4, ONE / 2, 0},
        {TextureFilter::Bilinear, 16, 0, -1, 0, 2 * ONE + ONE / 8, ONE / 4, ONE / 2, 0},
        {TextureFilter::NearestBlend, 16, -1, 0, 0, 2 * ONE + ONE / 8, ONE * 3 / 4, ONE / 2, 12 * ONE},
        // Texel (3, 3) at row 1's first pixel.
        {TextureFilter::Bilinear, 4, 2, -1, 1, 3 * ONE, 0, 3 * ONE + ONE / 2, 0},
    };
    for (const Case& c : cases) {
        Texture(r, c.width, 4, RSBFormat_R5G6B5, c.mode, TextureWrap::Repeat);
        TextureUnit& unit = s.texture_units[0];
        unit.b.maxD = 2;
        if (c.level0 >= 0) unit.b.levels[0] = s.destbase + static_cast<uint32_t>(c.level0);
        if (c.level1 >= 0) unit.b.levels[1] = s.destbase + static_cast<uint32_t>(c.level1);
        s.K2x[1] = c.k2;  // u
        const auto draw = [&](int32_t piece) {
            std::memcpy(r.Row(0, 0), before.data(), before.size());
            r.FillPlane(1, 0);
            AtRow(r, c.row, 1 << 20, 0, c.u0, c.du, c.v0, 0);
            for (int32_t x = 0; x < 16; x += piece) {
                SpanTexturedPerspective(*r.context, static_cast<uint32_t>(x * ONE),
                                        static_cast<uint32_t>((x + piece) * ONE - 1));
            }
            return std::vector<uint8_t>(r.Row(0, 0), r.Row(0, 0) + 64);
        };
        const std::vector<uint8_t> whole = draw(16);
        EXPECT_EQ(whole, draw(5)) << "mode " << rig::UnitField(c.mode) << " level " << c.level0 << " " << c.level1;
        EXPECT_NE(whole, before) << "mode " << rig::UnitField(c.mode) << " level " << c.level0 << " " << c.level1;
    }

    s.depthWrite = 0;
    AtRow(r, 0, 1 << 20, 0, 2 * ONE + ONE / 8, ONE / 4, ONE / 2, 0);
    SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(16 * ONE - 1));
    for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(r.Depth(x, 0), 0u) << x;
}

// A texture whose level aliases the record's quad addresses, which each
// bilinear or trilinear sample writes before it reads its texels: a long
// row reads them as the same row drawn one pixel per call does.
TEST_F(MGLSpansTest, LevelOverTheQuadAddressesReadAsOnePixelRowsReadIt) {
    MGLRecord& s = r.context->Record();
    s.perspectiveGradients = 1;
    s.cfz0 = 0;
    s.depthTest = 0;
    for (const TextureFilter mode : {TextureFilter::Bilinear, TextureFilter::Trilinear}) {
        Texture(r, 2, 2, RSBFormat_R5G6B5, mode, TextureWrap::Repeat);
        s.texture_units[0].b.levels[0] =
            MGLContextCore::Of(*r.context).RecordGuestAddress() + offsetof(MGLRecord, rp123);
        const auto draw = [&](int32_t piece) {
            r.FillPlane(0, 0);
            std::fill_n(s.rp123, 4, 0x12345678);
            AtRow(r, 0, 1 << 20, 0, ONE / 3, ONE / 5, ONE / 7, ONE / 9);
            for (int32_t x = 0; x < 16; x += piece) {
                SpanTexturedPerspective(*r.context, static_cast<uint32_t>(x * ONE),
                                        static_cast<uint32_t>((x + piece) * ONE - 1));
            }
            return std::vector<uint8_t>(r.Row(0, 0), r.Row(0, 0) + 32);
        };
        EXPECT_EQ(draw(16), draw(1)) << "mode " << rig::UnitField(mode);
    }
}

// Nearest texels blended between two levels (NearestBlend) draw what the
// sampler gives pixel by pixel: at levels of detail below zero, within a
// level, on the last level (blended with itself) and with the next level
// unreadable, with and without a blend, in every wrap mode, for an opaque
// texture and one with transparent texels.
TEST_F(MGLSpansTest, BlendedNearestRowDrawsAsSamplingPixelByPixel) {
    constexpr int32_t kU0 = -3 * ONE - ONE / 3;
    constexpr int32_t kStep = ONE + ONE * 7 / 10;
    constexpr int32_t kV = 5 * ONE + ONE / 2;
    MGLRecord& s = r.context->Record();
    BufferTable& table = *r.context->Buffers();
    for (const uint32_t format : {RSBFormat_R5G6B5, RSBFormat_A4R4G4B4}) {
        const int32_t slot = Texture(r, 16, 16, format, TextureFilter::NearestBlend, TextureWrap::Repeat);
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                const uint8_t alpha = (x + y) % 5 == 0 ? 0 : 255;
                PutBufferPixel(table, slot, x, y, ArgbPixel{alpha, Channel(x * 4), Channel(y * 4), Channel(x ^ y)});
            }
        }
        BuildMipChain(table, slot);
        r.context->BindBufferToUnit(0, slot, table);
        TextureUnit& unit = s.texture_units[0];
        unit.filter_mode = rig::UnitField(TextureFilter::NearestBlend);
        const int32_t last = (unit.b.maxD - 1) << 16;
        for (const TextureWrap wrap : {TextureWrap::Repeat, TextureWrap::Clamp, TextureWrap::Mirror}) {
            unit.texmode = rig::UnitField(wrap);
            for (const int32_t lod : {-0x4000, 0x8000, 0x10000, 0x1C000, last | 0x4000, -1}) {
                const uint32_t level1 = unit.b.levels[1];
                if (lod == -1) unit.b.levels[1] = 0;  // level 0 blended with an unreadable level
                s.K1[1] = s.K1[2] = lod == -1 ? 0x4000 : lod;
                r.FillPlane(0, 0);
                r.FillPlane(1, 0);
                AtRow(r, 0, 1000, 0, kU0, kStep, kV, 0);
                SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(16 * ONE - 1));
                for (int32_t x = 0; x < 16; ++x) {
                    RSBFormat_ARGB_fixed c = {0, 0, 0, 0};
                    SampleTexture(*r.context, 0, kU0 + x * kStep, kV, s.K1[1], &c);
                    const uint16_t pixel = c.a >= 15 ? static_cast<uint16_t>(texel_format::PixelR5G6B5(c)) : 0;
                    EXPECT_EQ(r.Pixel16(x, 0), pixel)
                        << format << " wrap " << rig::UnitField(wrap) << " lod " << lod << " x " << x;
                }
                unit.b.levels[1] = level1;
            }
        }
        table.FreeBuffer(slot);
    }
}

// A texture whose format no decoder knows, or whose level lies in no mapped
// memory, samples as transparent and draws nothing.
TEST_F(MGLSpansTest, UnsupportedOrUnmappedTexturesDrawNothing) {
    Texture(r, 2, 2, 0x7F0302, TextureFilter::Nearest, TextureWrap::Repeat);
    AtRow(r, 0, 1000, 0);
    SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(3 * ONE));
    EXPECT_TRUE(DrawnColumns(r, 0).empty());
    TextureUnit& unit = r.context->Record().texture_units[0];
    unit.b.format = RSBFormat_R5G6B5;
    unit.b.levels[0] = 0xFFFF0000u;
    SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(3 * ONE));
    EXPECT_TRUE(DrawnColumns(r, 0).empty());
    unit.b.levels[0] = r.context->Record().destbase;  // mapped, but a level of 2 x 2 does not fit there
    unit.b.width = 4096;
    SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(3 * ONE));
    EXPECT_TRUE(DrawnColumns(r, 0).empty());
}

// A level the unit names no address for samples as transparent, even where
// an earlier sampler in the same place had resolved that level of a texture
// freed since.
TEST_F(MGLSpansTest, ALevelWithoutAnAddressSamplesNothing) {
    BufferTable& table = *r.context->Buffers();
    const int32_t mipped = Texture(r, 4, 4, RSBFormat_R5G6B5, TextureFilter::NearestMip, TextureWrap::Repeat);
    BuildMipChain(table, mipped);
    r.context->BindBufferToUnit(0, mipped, table);
    r.context->Record().texture_units[0].filter_mode = rig::UnitField(TextureFilter::NearestMip);
    RSBFormat_ARGB_fixed colour = {0, 0, 0, 0};
    KeptSampler(*r.context).Sample(0, 0, ONE, &colour);
    EXPECT_EQ(colour.a, 0xFFFF);
    table.FreeBuffer(mipped);

    const int32_t flat = Texture(r, 4, 4, RSBFormat_R5G6B5, TextureFilter::NearestMip, TextureWrap::Repeat);
    TextureUnit& unit = r.context->Record().texture_units[0];
    unit.b.maxD = 2;
    unit.b.levels[1] = 0;
    colour = {0, 0, 0, 0};
    KeptSampler(*r.context).Sample(0, 0, ONE, &colour);
    EXPECT_EQ(colour.a, 0);
    table.FreeBuffer(flat);
}

// A sampler reads its levels as its unit was when it was made: a step
// between texels changed in the record since is not what a level is found
// mapped by, either (here a 4 x 4 level read at a step of 64 bytes cannot
// be mapped, and samples nothing).
TEST_F(MGLSpansTest, ASamplerChecksItsLevelsByTheFieldsItReadsThemBy) {
    Texture(r, 4, 4, RSBFormat_R5G6B5, TextureFilter::Nearest, TextureWrap::Repeat);
    TextureUnit& unit = r.context->Record().texture_units[0];
    unit.bpp = 64;
    MGLTextureSampler sampler(*r.context, 0);
    unit.bpp = 0;
    RSBFormat_ARGB_fixed colour = {0, 0, 0, 0};
    sampler.Sample(3 * ONE, 3 * ONE, 0, &colour);
    EXPECT_EQ(colour.a, 0);
}

// A level whose bytes cannot be counted is not read, though its first
// texel, the one the unit reads, lies in the texture's block: a size whose
// texel count wraps to one in 32 bits (INT32_MAX x INT32_MAX), one of more
// texels than 32 bits count whose bytes at its step wrap to 59 in 64 bits,
// and a step back from texel to texel on a level of one texel.
TEST_F(MGLSpansTest, ALevelWhoseBytesCannotBeCountedSamplesNothing) {
    Texture(r, 8, 4, RSBFormat_R5G6B5, TextureFilter::Nearest, TextureWrap::Repeat);  // 64 bytes
    TextureUnit& unit = r.context->Record().texture_units[0];
    RSBFormat_ARGB_fixed colour = {0, 0, 0, 0};
    MGLTextureSampler(*r.context, 0).Sample(0, 0, 0, &colour);
    EXPECT_EQ(colour.a, 0xFFFF) << "the texel is read";
    struct Level {
        int32_t width, height, bpp;
    };
    for (const Level& level :
         {Level{INT32_MAX, INT32_MAX, 2}, Level{56629969, 2147430360, 1006998255}, Level{1, 1, -2}}) {
        unit.b.width = level.width;
        unit.b.height = level.height;
        unit.bpp = level.bpp;
        colour = {0, 0, 0, 0};
        MGLTextureSampler(*r.context, 0).Sample(0, 0, 0, &colour);
        EXPECT_EQ(colour.a, 0) << level.width << " x " << level.height << " at a step of " << level.bpp;
    }
}

// A palette texture looks its index up; an index past a 16-entry palette,
// or no palette, leaves the texel transparent.
TEST_F(MGLSpansTest, PaletteTexturesLookUpTheirEntries) {
    uint32_t palette[16] = {};
    palette[3] = 0xFF00FF00u;
    const uint8_t index[2] = {3, 200};
    RSBFormat_ARGB_fixed c = {0, 0, 0, 0};
    DecodeTexel(&index[0], RSBFormat_P16A8R8G8B8, &c, reinterpret_cast<const uint8_t*>(palette), 16);
    EXPECT_EQ(c.g, 0xFFFF);
    EXPECT_EQ(c.a, 0xFFFF);
    c = {0, 0, 0, 0};
    DecodeTexel(&index[1], RSBFormat_P16A8R8G8B8, &c, reinterpret_cast<const uint8_t*>(palette), 16);
    EXPECT_EQ(c.a, 0);
    DecodeTexel(&index[0], RSBFormat_P256X8R8G8B8, &c, nullptr, 256);
    EXPECT_EQ(c.a, 0);
}

// A depth below cfz0 makes the perspective divide's operand near 2^32; the
// reciprocal search still ends.
TEST_F(MGLSpansTest, PerspectiveSpanEndsForDepthsBelowTheOffset) {
    const int32_t slot = Texture(r, 2, 2, RSBFormat_R5G6B5, TextureFilter::Nearest, TextureWrap::Repeat);
    FillBufferRect(*r.context->Buffers(), slot, 0, 0, 2, 2, 255, 255, 255, 255);
    MGLRecord& s = r.context->Record();
    s.perspectiveGradients = 1;
    s.cfz0 = 2;
    AtRow(r, 0, 1, 0, 3 * ONE, 0, 3 * ONE, 0);
    s.depthTest = 0;
    SpanTexturedPerspective(*r.context, 0, static_cast<uint32_t>(3 * ONE));
    EXPECT_EQ(DrawnColumns(r, 0), (Columns{0, 1, 2}));
}

constexpr uint8_t kFar = 0x04;  // each byte of the depth buffer
constexpr uint32_t kFarDepth = kFar * 0x01010101u;

// A perspective row across a target of one row, drawn whole or in pieces,
// its texture on unit 0 a mip chain of random texels.
class MGLSpansLongRowTest : public ::testing::Test {
protected:
    static constexpr int32_t kWidth = 150;

    // A row's filter mode, depth offset and depths.
    struct Row {
        TextureFilter mode;
        int32_t cfz0;
        int32_t depth0;
        int32_t depthStep;
    };
    // Nearest texels of the level of detail's level, nearest texels of two
    // levels blended, and bilinear and trilinear filtering on depths close
    // to the offset, minified over every level (BilinearOrMip from
    // magnified to minified).
    static constexpr Row kRows[] = {Row{TextureFilter::NearestMip, 0x100, 0x08000000, -0x200000},
                                    Row{TextureFilter::BilinearOrMip, 0x100, 0x08000000, -0x200000},
                                    Row{TextureFilter::BilinearOrMip, 0x04000000, 0x04200000, -0x4000},
                                    Row{TextureFilter::NearestBlend, 0x04000000, 0x04200000, -0x4000},
                                    Row{TextureFilter::Bilinear, 0x04000000, 0x04200000, -0x4000},
                                    Row{TextureFilter::BilinearMip, 0x04000000, 0x04200000, -0x4000},
                                    Row{TextureFilter::Trilinear, 0x04000000, 0x04200000, -0x4000}};
    using Pixels = std::vector<std::pair<uint16_t, uint32_t>>;

    void SetUp() override {
        ASSERT_TRUE(target.ok);
        MGLRecord& s = target.context->Record();
        s.perspectiveGradients = 1;
        s.K1[1] = 0x3000;
        s.K1[2] = -0x2000;
        s.K2x[1] = 0x80000;
        s.K2x[2] = 0x40000;
        s.K3y[1] = 0x400000;
        s.K3y[2] = -0x300000;
    }

    TextureUnit& MipChain(int32_t size, uint32_t format) {
        const int32_t slot = Texture(target, size, size, format, TextureFilter::NearestMip, TextureWrap::Repeat);
        BufferTable& table = *target.context->Buffers();
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                PutBufferPixel(table, slot, x, y, ArgbPixel{255, Channel(x), Channel(y), Channel(x ^ y)});
            }
        }
        BuildMipChain(table, slot);
        target.context->BindBufferToUnit(0, slot, table);
        return target.context->Record().texture_units[0];
    }

    // The row's pixels and depths, drawn `piece` pixels a call: a row of
    // kWidth works its pixels out ahead, pieces of 5 each pixel in turn.
    Pixels Draw(const Row& row, int32_t piece) {
        MGLRecord& s = target.context->Record();
        target.FillPlane(0, 0);
        target.FillPlane(1, kFar);
        s.texture_units[0].filter_mode = rig::UnitField(row.mode);
        s.cfz0 = row.cfz0;
        AtRow(target, 0, row.depth0, row.depthStep, 0x10000000, 0x300000, -0x8000000, 0x100000);
        for (int32_t x = 0; x < kWidth; x += piece) {
            SpanTexturedPerspective(*target.context, static_cast<uint32_t>(x * ONE),
                                    static_cast<uint32_t>((x + piece) * ONE - 1));
        }
        Pixels pixels;
        for (int32_t x = 0; x < kWidth; ++x) pixels.emplace_back(target.Pixel16(x, 0), target.Depth(x, 0));
        return pixels;
    }

    // Draw(row, kWidth), expected the same as in pieces and as with the
    // one-pixel routines forced (which then fill no pixel eight at a time),
    // with the same last quad read left in rp123.
    Pixels DrawnAsPieces(const Row& row) {
        const MGLRecord& s = target.context->Record();
        const Pixels whole = Draw(row, kWidth);
        const std::vector<int32_t> quad(s.rp123, s.rp123 + 4);
        EXPECT_EQ(whole, Draw(row, 3)) << "mode " << rig::UnitField(row.mode);
        EXPECT_EQ(quad, std::vector<int32_t>(s.rp123, s.rp123 + 4)) << "mode " << rig::UnitField(row.mode);
        const bool forced = MGLVectorUnit::OnePixelForced();
        MGLVectorUnit::ForceOnePixel(true);
        const uint64_t coordinates = MGLVectorUnit::PixelsFilled(MGLVectorUnit::Pass::Coordinates);
        EXPECT_EQ(whole, Draw(row, kWidth)) << "mode " << rig::UnitField(row.mode) << ", one-pixel routines";
        EXPECT_EQ(MGLVectorUnit::PixelsFilled(MGLVectorUnit::Pass::Coordinates), coordinates);
        EXPECT_EQ(quad, std::vector<int32_t>(s.rp123, s.rp123 + 4))
            << "mode " << rig::UnitField(row.mode) << ", one-pixel routines";
        MGLVectorUnit::ForceOnePixel(forced);
        return whole;
    }

    rig::Renderer target{kWidth, 1};
};

// A perspective row long enough to be worked out in runs ahead of its
// pixels draws what the same row drawn a few pixels at a time draws: each
// pixel's coordinates, level of detail and depth test as it has them alone,
// across the runs' seams, through depths past zero and far-off depths.
TEST_F(MGLSpansLongRowTest, LongPerspectiveRowDrawsAsShortPieces) {
    // CI runs the renderer's tests with MCHVX_MGL_ONE_PIXEL=1 as well as without.
    EXPECT_EQ(MGLVectorUnit::OnePixelForced(), MGLVectorUnit::OnePixelAskedBy(std::getenv("MCHVX_MGL_ONE_PIXEL")))
        << "the environment forces the one-pixel routines";
    EXPECT_TRUE(MGLVectorUnit::OnePixelAskedBy("1"));
    for (const char* notAsked : {static_cast<const char*>(nullptr), "", "0"}) {
        EXPECT_FALSE(MGLVectorUnit::OnePixelAskedBy(notAsked)) << (notAsked != nullptr ? notAsked : "unset");
    }
    MipChain(64, RSBFormat_R5G6B5);
    for (const Row& row : kRows) {
        const Pixels whole = DrawnAsPieces(row);
        const auto drawn = std::count_if(whole.begin(), whole.end(), [](auto p) { return p.second != kFarDepth; });
        EXPECT_GT(drawn, 100) << "the row is drawn";
        EXPECT_LT(drawn, kWidth) << "some of it fails the depth test";
    }
}

// A unit whose step between texels (bpp) or format no longer fits its
// level, as span code or a host may leave them, draws in a long row what
// it draws a pixel at a time, and reads nothing past the level's bytes:
// a one-texel level whose unit claims 64 x 64 at a step of 0, a step of 1
// on a 4-byte format, an r5g6b5 level its unit calls a8r8g8b8, and a step
// of 4 on an r5g6b5 level.
TEST_F(MGLSpansLongRowTest, LevelsWhoseStepOrFormatIsNotTheirsDrawAsShortPieces) {
    struct Hostile {
        int32_t size;
        uint32_t format;
        int32_t claimedWidth;  // the unit's size claimed, w x 64
        int32_t bpp;
        uint32_t claimedFormat;
    };
    for (const Hostile& hostile : {Hostile{1, RSBFormat_A8R8G8B8, 64, 0, RSBFormat_A8R8G8B8},
                                   Hostile{64, RSBFormat_A8R8G8B8, 128, 1, RSBFormat_A8R8G8B8},
                                   Hostile{64, RSBFormat_R5G6B5, 64, 2, RSBFormat_A8R8G8B8},
                                   Hostile{64, RSBFormat_R5G6B5, 32, 4, RSBFormat_R5G6B5}}) {
        TextureUnit& unit = MipChain(hostile.size, hostile.format);
        unit.b.width = hostile.claimedWidth;
        unit.b.height = 64;
        unit.bpp = hostile.bpp;
        unit.b.format = hostile.claimedFormat;
        for (const Row& row : kRows) {
            SCOPED_TRACE(testing::Message() << "bpp " << hostile.bpp << " format " << std::hex << hostile.format);
            DrawnAsPieces(row);
        }
    }
}

}  // namespace

namespace {

// The sampler decodes r5g6b5 texels itself; every value comes out as the
// colour conversions make it.
TEST(MGLTexelDecodeTest, R5G6B5DecodesAsTheColourConversions) {
    int32_t differing = 0;
    for (uint32_t value = 0; value < 0x10000; ++value) {
        const uint16_t texel = static_cast<uint16_t>(value);
        RSBFormat_ARGB_fixed ours = {0, 0, 0, 0};
        RSBFormat_ARGB_fixed reference = {0, 0, 0, 0};
        DecodeTexel(reinterpret_cast<const uint8_t*>(&texel), RSBFormat_R5G6B5, &ours, nullptr, 0);
        CColor::ConvertToFormat(&reference, RSBFormat_R5G6B5, &texel);
        if (ours.a != reference.a || ours.r != reference.r || ours.g != reference.g || ours.b != reference.b) {
            ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

// Every format with a decoder of its own: what DecodeTexel makes of a texel
// (the filters read a format so when its decoder says so) is its decoder's
// colour. A format DecodeTexel does not know leaves the colour as it was,
// which no decoded colour is (their channels are multiples of 257).
template <class Decoder>
void ExpectDecodeTexelAgreesWith() {
    int32_t differing = 0;
    for (uint32_t t = 0; t < 0x10000; ++t) {
        // Every 16-bit value in the low half; a high half that runs apart.
        const uint32_t word = t | ((t * 40503u + 12345u) & 0xFFFFu) << 16;
        uint8_t texel[4];
        std::memcpy(texel, &word, sizeof texel);
        RSBFormat_ARGB_fixed ours = {1, 2, 3, 4};
        RSBFormat_ARGB_fixed decoded = ours;
        DecodeTexel(texel, Decoder::kFormat, &ours, nullptr, 0);
        Decoder{}.Decode(texel, &decoded);
        if (ours.a != decoded.a || ours.r != decoded.r || ours.g != decoded.g || ours.b != decoded.b) ++differing;
    }
    EXPECT_EQ(differing, 0) << "format 0x" << std::hex << Decoder::kFormat;
}

template <class... Formats>
void ExpectDecodeTexelAgreesWithEach(texel_format::DecoderList<Formats...>) {
    (ExpectDecodeTexelAgreesWith<Formats>(), ...);
}

TEST(MGLTexelDecodeTest, DecodeTexelGivesEveryDecodersColour) {
    ExpectDecodeTexelAgreesWithEach(texel_format::Decoders{});
}

// A 16-bit texel packed as r5g6b5 straight from its fields is the pixel of
// its decoded colour, for every value: fields narrower, as wide and wider
// than the pixel's.
template <class Decoder>
int32_t DifferingPackedTexels() {
    int32_t differing = 0;
    for (uint32_t value = 0; value < 0x10000; ++value) {
        const uint16_t texel = static_cast<uint16_t>(value);
        const auto* at = reinterpret_cast<const uint8_t*>(&texel);
        RSBFormat_ARGB_fixed colour = {0, 0, 0, 0};
        Decoder{}.Decode(at, &colour);
        if (Decoder::PixelR5G6B5(at) != texel_format::PixelR5G6B5(colour)) ++differing;
    }
    return differing;
}

TEST(MGLTexelDecodeTest, SixteenBitTexelsPackAsTheirDecodedColour) {
    EXPECT_EQ(DifferingPackedTexels<texel_format::A4R4G4B4>(), 0);
    EXPECT_EQ(DifferingPackedTexels<texel_format::R5G6B5>(), 0);
    EXPECT_EQ(DifferingPackedTexels<texel_format::A1R5G5B5>(), 0);
}

// Quads of the format, texel i of quad t being v = (t + i x 4099 + 40503) x
// 40503 (every 16-bit value as t runs through them) in each half of 32
// bits, weighted at once and each texel alone: how many differ.
template <class Format>
int32_t QuadsWeightedApart(uint32_t format, uint32_t quads, const texel_format::QuadWeights& weights) {
    int32_t values[4];
    weights.Values(values);
    int32_t differing = 0;
    for (uint32_t t = 0; t < quads; ++t) {
        uint32_t texels[4];
        const uint8_t* quad[4];
        for (uint32_t i = 0; i < 4; ++i) {
            texels[i] = (t + i * 4099u + 40503u) * 40503u % 0x10000u * 0x10001u;
            quad[i] = reinterpret_cast<const uint8_t*>(&texels[i]);
        }
        texel_format::QuadTexels decoded;
        decoded.Read<Format>(quad);
        RSBFormat_ARGB_fixed ours = {1, 2, 3, 4};
        RSBFormat_ARGB_fixed reference = ours;
        decoded.AddWeighted(weights, &ours);
        for (int32_t i = 0; i < 4; ++i) AccumulateTexelWeighted(quad[i], values[i], format, &reference, nullptr, 0);
        if (ours.a != reference.a || ours.r != reference.r || ours.g != reference.g || ours.b != reference.b) {
            ++differing;
        }
    }
    return differing;
}

// A quad weighted at once gives each texel's own weighted channels, summed:
// every 16-bit texel, 32-bit ones of every byte value, and every pair of
// fractions on one level, on either level of a blend and raised.
TEST(MGLTexelDecodeTest, QuadWeightsAsEachTexelAlone) {
    using namespace texel_format;
    const QuadWeights uneven{201, 77};
    EXPECT_EQ(QuadsWeightedApart<R5G6B5>(RSBFormat_R5G6B5, 0x10000, uneven), 0);
    EXPECT_EQ(QuadsWeightedApart<A4R4G4B4>(RSBFormat_A4R4G4B4, 0x10000, uneven), 0);
    EXPECT_EQ(QuadsWeightedApart<X8R8G8B8>(RSBFormat_X8R8G8B8, 0x10000, uneven), 0);
    EXPECT_EQ(QuadsWeightedApart<A8R8G8B8>(RSBFormat_A8R8G8B8, 0x10000, uneven), 0);
    int32_t differing = 0;
    for (int32_t fx = 0; fx < 256; ++fx) {
        for (int32_t fy = 0; fy < 256; ++fy) {
            const int32_t blend = (fx * 7 + fy) & 255;
            for (const QuadWeights weights : {QuadWeights{fx, fy}, QuadWeights{fx, fy, 255 - blend, blend >> 2},
                                              QuadWeights{fx, fy, blend}}) {
                differing += QuadsWeightedApart<A8R8G8B8>(RSBFormat_A8R8G8B8, 1, weights);
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

// Whether a blend's colour, alpha or r5g6b5 pixel differs from the colour.
bool BlendDiffers(const texel_format::WeightedTexels& blend, const RSBFormat_ARGB_fixed& reference) {
    const RSBFormat_ARGB_fixed ours = blend.Colour();
    return ours.a != reference.a || ours.r != reference.r || ours.g != reference.g || ours.b != reference.b ||
           blend.Alpha() != reference.a || blend.PixelR5G6B5() != texel_format::PixelR5G6B5(reference);
}

// Pairs of texels of the format, made as QuadsWeightedApart makes them,
// weighted at once and each texel alone (255 - share and share): how many
// differ. Without a share the first texel weighed alone is compared too.
template <class Format>
int32_t PairsWeightedApart(uint32_t format, uint32_t pairs, int32_t share) {
    using texel_format::WeightedTexels;
    int32_t differing = 0;
    for (uint32_t t = 0; t < pairs; ++t) {
        const uint32_t texels[2] = {(t + 40503u) * 40503u % 0x10000u * 0x10001u,
                                    (t + 4099u + 40503u) * 40503u % 0x10000u * 0x10001u};
        const uint8_t* first = reinterpret_cast<const uint8_t*>(&texels[0]);
        const uint8_t* second = reinterpret_cast<const uint8_t*>(&texels[1]);
        RSBFormat_ARGB_fixed reference = {0, 0, 0, 0};
        AccumulateTexelWeighted(first, 255 - share, format, &reference, nullptr, 0);
        AccumulateTexelWeighted(second, share, format, &reference, nullptr, 0);
        if (BlendDiffers(WeightedTexels::OfPair<Format>(first, second, share), reference)) ++differing;
        if (share == 0 && BlendDiffers(WeightedTexels::OfOne<Format>(first), reference)) ++differing;
    }
    return differing;
}

// Two texels weighted at once give each one's own weighted channels, summed:
// every 16-bit texel and 32-bit ones of every byte value, at every share.
TEST(MGLTexelDecodeTest, PairWeightsAsEachTexelAlone) {
    using namespace texel_format;
    int32_t differing = 0;
    for (int32_t share = 0; share < 256; share += 17) {
        differing += PairsWeightedApart<R5G6B5>(RSBFormat_R5G6B5, 0x10000, share);
        differing += PairsWeightedApart<A1R5G5B5>(RSBFormat_A1R5G5B5, 0x10000, share);
        differing += PairsWeightedApart<A4R4G4B4>(RSBFormat_A4R4G4B4, 0x10000, share);
        differing += PairsWeightedApart<X8R8G8B8>(RSBFormat_X8R8G8B8, 0x10000, share);
        differing += PairsWeightedApart<A8R8G8B8>(RSBFormat_A8R8G8B8, 0x10000, share);
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace

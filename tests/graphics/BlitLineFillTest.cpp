#include "BlitLineFill.h"

#include <gtest/gtest.h>

#include <random>
#include <cstring>
#include <set>
#include <utility>

#include "CBlitUtil.h"
#include "CColor.h"
#include "PixelReference.h"

using namespace pixref;

namespace {

enum class Mode { Opaque, AlphaTest, Blend };

struct SolidRoutine {
    const char* name;
    BlitRoutine routine;
    bool isLine;
    Target target;
    Mode mode;
};

void PrintTo(const SolidRoutine& r, std::ostream* os) { *os << r.name; }

const SolidRoutine kSolids[] = {
    {"DrawLine_R5G6B5", DrawLine_R5G6B5, true, Target::R565, Mode::Opaque},
    {"DrawLine_R5G6B5_AlphaTest", DrawLine_R5G6B5_AlphaTest, true, Target::R565, Mode::AlphaTest},
    {"DrawLine_R5G6B5_Blend", DrawLine_R5G6B5_Blend, true, Target::R565, Mode::Blend},
    {"DrawLine_X14R6G6B6", DrawLine_X14R6G6B6, true, Target::X14, Mode::Opaque},
    {"DrawLine_X14R6G6B6_AlphaTest", DrawLine_X14R6G6B6_AlphaTest, true, Target::X14, Mode::AlphaTest},
    {"DrawLine_X14R6G6B6_Blend", DrawLine_X14R6G6B6_Blend, true, Target::X14, Mode::Blend},
    {"DrawLine_X8R8G8B8", DrawLine_X8R8G8B8, true, Target::X8, Mode::Opaque},
    {"DrawLine_X8R8G8B8_AlphaTest", DrawLine_X8R8G8B8_AlphaTest, true, Target::X8, Mode::AlphaTest},
    {"DrawLine_X8R8G8B8_Blend", DrawLine_X8R8G8B8_Blend, true, Target::X8, Mode::Blend},
    {"FillRect_R5G6B5", FillRect_R5G6B5, false, Target::R565, Mode::Opaque},
    {"FillRect_R5G6B5_AlphaTest", FillRect_R5G6B5_AlphaTest, false, Target::R565, Mode::AlphaTest},
    {"FillRect_R5G6B5_Blend", FillRect_R5G6B5_Blend, false, Target::R565, Mode::Blend},
    {"FillRect_X14R6G6B6", FillRect_X14R6G6B6, false, Target::X14, Mode::Opaque},
    {"FillRect_X14R6G6B6_AlphaTest", FillRect_X14R6G6B6_AlphaTest, false, Target::X14, Mode::AlphaTest},
    {"FillRect_X14R6G6B6_Blend", FillRect_X14R6G6B6_Blend, false, Target::X14, Mode::Blend},
    {"FillRect_X8R8G8B8", FillRect_X8R8G8B8, false, Target::X8, Mode::Opaque},
    {"FillRect_X8R8G8B8_AlphaTest", FillRect_X8R8G8B8_AlphaTest, false, Target::X8, Mode::AlphaTest},
    {"FillRect_X8R8G8B8_Blend", FillRect_X8R8G8B8_Blend, false, Target::X8, Mode::Blend},
};

// A colour as the routines receive it, with the a8r8g8b8 value it stands for.
struct Colour {
    uint32_t format;
    std::vector<uint8_t> bytes;
    uint32_t alpha;
    Rgb rgb;
};

std::vector<Colour> Colours() {
    std::vector<Colour> colours;
    for (uint32_t argb : {0xFF123456u, 0x80FF8040u, 0x01FFFFFFu, 0x00A0B0C0u, 0xFFFFFFFFu, 0x7F000000u}) {
        std::vector<uint8_t> bytes(4);
        Write32(bytes.data(), argb);
        colours.push_back({0xC4404, bytes, argb / 0x1000000, From8888(argb)});
    }
    // An r5g6b5 colour is opaque.
    std::vector<uint8_t> r565(2);
    Write16(r565.data(), 0x8A51);
    colours.push_back({0x21302, r565, 255, From565(0x8A51)});
    // A fixed record: each 24.8 channel shifted down and clamped.
    const int32_t fixed[4] = {0x4000, 0x1FFFF, -300, 0x7F80};
    std::vector<uint8_t> record(sizeof(fixed));
    std::memcpy(record.data(), fixed, sizeof(fixed));
    colours.push_back({0x1E4410, record, 0x40, {255, 0, 0x7F}});
    // A format the conversion does not know reads as 0: black, alpha 0.
    colours.push_back({0x11302, r565, 0, {0, 0, 0}});
    return colours;
}

uint32_t Expected(const SolidRoutine& r, const Colour& c, uint32_t old) {
    if (r.mode != Mode::Opaque && c.alpha == 0) return old;
    if (r.mode == Mode::Blend) return ToTarget(r.target, Blend(c.rgb, FromTarget(r.target, old), c.alpha));
    return ToTarget(r.target, c.rgb);
}

// The pixels a line from (0, 0) by (dx, dy) covers, end point excluded: the
// major axis steps through max(|dx|, |dy|) pixels and the minor axis follows
// the segment, rounding halves away from the start.
std::set<std::pair<int, int>> LinePixels(int dx, int dy) {
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    std::set<std::pair<int, int>> pixels = {{0, 0}};
    if (ay > ax) {
        for (int k = 0; k < ay; ++k) pixels.insert({sx * ((2 * k * ax + ay) / (2 * ay)), sy * k});
    } else {
        for (int k = 0; k < ax; ++k) pixels.insert({sx * k, sy * ((2 * k * ay + ax) / (2 * ax))});
    }
    return pixels;
}

class BlitSolidTest : public ::testing::TestWithParam<SolidRoutine> {};

TEST_P(BlitSolidTest, MatchesReferenceForEveryColourAndShape) {
    const SolidRoutine& r = GetParam();
    std::mt19937 random(77);
    const int bytes = BytesOf(r.target);
    for (const Colour& colour : Colours()) {
        for (int a = -6; a <= 6; ++a) {
            for (int b = -3; b <= 6; ++b) {
                // Lines: dx = a, dy = b from the middle of a 13 x 13 area.
                // Fills: width a, height b from an even or an odd column.
                if (!r.isLine && a < -1) continue;
                SCOPED_TRACE(::testing::Message() << r.name << " colour format " << colour.format << " alpha "
                                                  << colour.alpha << " extents " << a << "," << b);
                Canvas canvas(13, 13, bytes, 2, random);
                const int startX = r.isLine ? 6 : (b & 1);
                const int startY = r.isLine ? 6 : 1;
                BlitSolidDesc desc = {static_cast<int16_t>(canvas.Stride()), canvas.At(startX, startY), colour.format,
                                      colour.bytes.data(), a, b};
                r.routine(&desc);
                std::set<std::pair<int, int>> covered;
                if (r.isLine) {
                    covered = LinePixels(a, b);
                } else {
                    for (int y = 0; y < b; ++y) {
                        for (int x = 0; x < a; ++x) covered.insert({x, y});
                    }
                }
                for (int y = 0; y < 13; ++y) {
                    for (int x = 0; x < 13; ++x) {
                        const uint32_t old = canvas.Original(x, y);
                        const bool in = covered.count({x - startX, y - startY}) != 0;
                        ASSERT_EQ(canvas.Get(x, y), in ? Expected(r, colour, old) : old) << "pixel " << x << "," << y;
                    }
                }
                ASSERT_TRUE(canvas.FrameIntact());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSolids, BlitSolidTest, ::testing::ValuesIn(kSolids),
                         [](const ::testing::TestParamInfo<SolidRoutine>& info) { return info.param.name; });

TEST(BlitLineShapes, WorkedLines) {
    EXPECT_EQ(LinePixels(0, 0), (std::set<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(LinePixels(-3, 0), (std::set<std::pair<int, int>>{{0, 0}, {-1, 0}, {-2, 0}}));
    EXPECT_EQ(LinePixels(4, 2), (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 1}, {3, 2}}));
    EXPECT_EQ(LinePixels(2, 7).size(), 7u);
}

TEST(BlitFillValues, BlendAtFullAlphaFallsOneStepShort) {
    // Each channel becomes (c × 255) >> 8: white turns to 254, 254, 254.
    uint8_t pixel[2] = {0, 0};
    const uint32_t white = 0xFFFFFFFF;
    BlitSolidDesc desc = {2, pixel, 0xC4404, &white, 1, 1};
    FillRect_R5G6B5_Blend(&desc);
    EXPECT_EQ(Read16(pixel), (31u << 11) | (63u << 5) | 31u);
    const uint32_t grey = 0xFF808080;
    desc.color = &grey;
    Write16(pixel, 0);
    FillRect_R5G6B5_Blend(&desc);
    // 0x80 × 255 >> 8 = 0x7F: 15, 31, 15.
    EXPECT_EQ(Read16(pixel), (15u << 11) | (31u << 5) | 15u);
}

TEST(BlitFillValues, RawFillLeavesTheTopByteZero) {
    std::mt19937 random(5);
    Canvas canvas(3, 2, 4, 1, random);
    const uint32_t colour = 0x80123456;
    BlitSolidDesc desc = {static_cast<int16_t>(canvas.Stride()), canvas.At(0, 0), 0xC4404, &colour, 3, 2};
    FillRect_X8R8G8B8_Raw(&desc);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(canvas.Get(x, y), 0x00123456u);
    }
    EXPECT_TRUE(canvas.FrameIntact());
}

TEST(BlitFillValues, BottomUpPlaneFillsUpwards) {
    std::mt19937 random(6);
    Canvas canvas(2, 3, 2, 1, random);
    const uint32_t colour = 0xFF00FF00;
    // Row 0 of a bottom-up plane is the last row in memory.
    BlitSolidDesc desc = {static_cast<int16_t>(-canvas.Stride()), canvas.At(0, 2), 0xC4404, &colour, 2, 2};
    FillRect_R5G6B5(&desc);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(canvas.Get(x, 0), canvas.Original(x, 0));
        EXPECT_EQ(canvas.Get(x, 1), 0x07E0u);
    }
}

}  // namespace

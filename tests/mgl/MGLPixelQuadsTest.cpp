#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "EightLanesTier.h"
#include "MGLPixelCoordinates.h"
#include "MGLPixelQuads.h"

namespace {

// Coordinates and levels of detail a hostile record may give, beside
// random ones: every level and blend, and values at the wrap of 32 bits.
int32_t AnyValue(std::mt19937& random) {
    constexpr int32_t kEdges[] = {0, 1, -1, 0x7FFF, 0x8000, 0x8001, 0xFFFF, 0x10000, -0x10000, INT32_MAX, INT32_MIN,
                                  INT32_MIN + 0x7FFF, 0x90000, 0x9FF00};
    switch (random() % 4) {
        case 0: return kEdges[random() % std::size(kEdges)];
        case 1: return static_cast<int32_t>(random() % 0xC0000) - 0x20000;
        default: return static_cast<int32_t>(random());
    }
}

// Levels of any shape a hostile unit may give: sizes of one texel to past
// 31 bits of texels, not all powers of two, any step and wrap mode.
MGLPixelQuads::Levels AnyLevels(std::mt19937& random) {
    constexpr int32_t kSizes[] = {1, 2, 3, 5, 8, 64, 100, 256, 0x10000, INT32_MAX, -4};
    constexpr int32_t kSteps[] = {0, 1, 2, 3, 4, 6, 0x10000, INT32_MAX};
    const int32_t width = kSizes[random() % std::size(kSizes)];
    const int32_t height = kSizes[random() % std::size(kSizes)];
    const int32_t bpp = kSteps[random() % std::size(kSteps)];
    const auto wrap = static_cast<TextureWrap>(random() % 5);
    const uint8_t* const none[kTexelLevels] = {};
    TexelLevel shapes[kTexelLevels];
    for (int32_t level = 0; level < kTexelLevels; ++level) shapes[level] = LevelOf(none, bpp, wrap, width, height, level);
    return MGLPixelQuads::Levels(shapes, static_cast<int32_t>(random() % kTexelLevels));
}

TEST(MGLPixelQuadsTest, EightAtATimeGiveThePixelsOwnQuads) {
    if (!EightLanesRun()) GTEST_SKIP() << "the eight-at-a-time passes do not run";
    std::mt19937 random{20261208};
    for (int32_t trial = 0; trial < 2000; ++trial) {
        MGLPixelCoordinates at{};
        for (int32_t i = 0; i < MGLPixelCoordinates::kPixels; ++i) {
            at.u[i] = AnyValue(random);
            at.v[i] = AnyValue(random);
            at.lod[i] = AnyValue(random);
        }
        const MGLPixelQuads::Levels levels = AnyLevels(random);
        const int32_t count = 1 + static_cast<int32_t>(random() % MGLPixelQuads::kPixels);
        MGLPixelQuads each{}, lanes{};
        each.FillEach(at, levels, count);
        ASSERT_TRUE(lanes.FillByEight(at, levels, count));
        for (int32_t i = 0; i < count; ++i) {
            const auto where = [&] {
                return testing::Message() << "pixel " << i << " u " << at.u[i] << " v " << at.v[i] << " lod "
                                          << at.lod[i] << " last " << levels.last << " wrap "
                                          << static_cast<int32_t>(levels.Wrap()) << " size " << levels.shapes[0].w
                                          << " x " << levels.shapes[0].h << " bpp " << levels.Bpp();
            };
            ASSERT_EQ(lanes.level[i], each.level[i]) << where();
            for (int32_t q = 0; q < MGLPixelQuads::kQuads; ++q) {
                ASSERT_EQ(lanes.weights[q][i], each.weights[q][i]) << where() << " quad " << q;
                for (int32_t k = 0; k < MGLPixelQuads::kCorners; ++k) {
                    ASSERT_EQ(lanes.offsets[q][k][i], each.offsets[q][k][i]) << where() << " quad " << q << " texel " << k;
                }
            }
        }
    }
}

}  // namespace

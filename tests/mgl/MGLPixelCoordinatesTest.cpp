#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>

#include "EightLanesTier.h"
#include "MGLLookupTables.h"
#include "MGLPixelCoordinates.h"

namespace {

// Values a hostile record may hold, beside random ones.
constexpr int32_t kEdges[] = {0, 1, -1, 2, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x12345678, INT32_MAX, INT32_MIN,
                              INT32_MIN + 1, -0x10000, 0x40000000, -0x40000000};
// Table limits: the context's own, the smallest, odd ones and the largest a
// record can give.
constexpr uint64_t kLimits[] = {MGLLookupTables::kTableSizeM1, 1, 2, 100, 4096, 65535, 0x12345678, INT32_MAX};

class MGLPixelCoordinatesTest : public ::testing::Test {
protected:
    std::unique_ptr<MGLLookupTables> tables = std::make_unique<MGLLookupTables>();
    std::mt19937 random{20261208};

    int32_t Any() {
        const uint32_t pick = random() % 4;
        if (pick == 0) return kEdges[random() % std::size(kEdges)];
        if (pick == 1) return static_cast<int32_t>(random() % 0x20000) - 0x10000;
        return static_cast<int32_t>(random());
    }

    // The lanes against the pixels one by one, every value of every pixel.
    void ExpectLanesMatch(const TexturedWalk& w, const PerspectiveDivide& divide,
                          const MGLPixelCoordinates::Lod& lod, int32_t count) {
        MGLPixelCoordinates each{}, lanes{};
        each.FillEach(w, divide, lod, count);
        ASSERT_TRUE(lanes.FillByEight(w, divide, lod, count));
        for (int32_t i = 0; i < count; ++i) {
            ASSERT_EQ(lanes.u[i], each.u[i]) << "pixel " << i << " depth " << w.depth << " cfz0 " << divide.cfz0;
            ASSERT_EQ(lanes.v[i], each.v[i]) << "pixel " << i;
            ASSERT_EQ(lanes.lod[i], each.lod[i]) << "pixel " << i << " depth " << w.depth << " cfz0 " << divide.cfz0;
        }
    }
};

TEST_F(MGLPixelCoordinatesTest, EightAtATimeGiveThePixelsOwnValues) {
    if (!EightLanesRun()) GTEST_SKIP() << "the eight-at-a-time passes do not run";
    for (int32_t trial = 0; trial < 4000; ++trial) {
        const TexturedWalk w{Any(), Any(), Any(), Any(), Any(), Any(), Any() & INT32_MAX, Any(), Any(), Any(), Any()};
        const PerspectiveDivide divide{tables->RecipTable4(), kLimits[random() % std::size(kLimits)], Any()};
        const MGLPixelCoordinates::Lod lod{random() % 4 != 0, Any(), Any()};
        ExpectLanesMatch(w, divide, lod, 1 + static_cast<int32_t>(random() % MGLPixelCoordinates::kPixels));
    }
}

TEST_F(MGLPixelCoordinatesTest, EightAtATimeAlongARealisticFloor) {
    if (!EightLanesRun()) GTEST_SKIP() << "the eight-at-a-time passes do not run";
    // Depths near the depth offset and far past it, small steps: every
    // count of doublings and levels of detail from magnified to minified.
    for (int64_t at = -0x100; at <= INT32_MAX; at += at < 0x100000 ? 0x3001 : at / 3) {
        const int32_t depth = static_cast<int32_t>(at);
        for (const int32_t cfz0 : {0, 0x100, depth - 3}) {
            const TexturedWalk w{depth, 0x123456, -0x7654321, 0x777, 0x4321, -0x1234, 0x40000, 0x20000, -0x30000,
                                 0x100, -0x80};
            const PerspectiveDivide divide{tables->RecipTable4(), MGLLookupTables::kTableSizeM1, cfz0};
            ExpectLanesMatch(w, divide, MGLPixelCoordinates::Lod{true, 0, 0x90000}, MGLPixelCoordinates::kPixels);
        }
    }
}

// The level alone, for rules that read one level's nearest texel, is the
// level of detail less its fraction, from magnified to minified along a
// floor and on hostile walks.
TEST_F(MGLPixelCoordinatesTest, LevelAloneIsTheLevelOfDetailLessItsFraction) {
    constexpr int32_t kWholePart = ~0xFFFF;
    const auto expectLevel = [](const TexturedWalk& w, const PerspectiveDivide& divide) {
        const PixelReciprocal q = ReciprocalOf(divide, w.depth);
        const int32_t lod = PerspectiveLevelLod(q, w);
        ASSERT_EQ(lod, PerspectiveLod(q, w) & kWholePart) << "depth " << w.depth;
        for (const int32_t highest : {1, 3, 9}) {
            ASSERT_EQ(PerspectiveLevel(q, w, highest), std::clamp(lod >> 16, 0, highest)) << "depth " << w.depth;
        }
    };
    for (int64_t at = -0x100; at <= INT32_MAX; at += at < 0x100000 ? 0x301 : at / 31) {
        const int32_t depth = static_cast<int32_t>(at);
        expectLevel(TexturedWalk{depth, 0, 0, 0, 0, 0, 0x40000, 0x20000, -0x30000, 0, 0},
                    PerspectiveDivide{tables->RecipTable4(), MGLLookupTables::kTableSizeM1, 0x100});
    }
    for (int32_t trial = 0; trial < 4000; ++trial) {
        expectLevel(TexturedWalk{Any(), Any(), Any(), Any(), Any(), Any(), Any() & INT32_MAX, Any(), Any(), Any(), Any()},
                    PerspectiveDivide{tables->RecipTable4(), kLimits[random() % std::size(kLimits)], Any()});
    }
}

// A row's reciprocals taken in turn, which measure the table limit's
// doublings again only where a depth leaves the last one's band, are each
// pixel's own: along walks that cross bands up and down, on hostile limits.
TEST_F(MGLPixelCoordinatesTest, ReciprocalsInTurnAreEachPixelsOwn) {
    for (int32_t trial = 0; trial < 3000; ++trial) {
        const PerspectiveDivide divide{tables->RecipTable4(), kLimits[random() % std::size(kLimits)], Any()};
        PixelReciprocals reciprocals(divide);
        // From a few offsets before or after a band's edge, by a texel or by any step.
        const uint32_t edge = static_cast<uint32_t>(divide.limit << (random() % 24));
        int32_t depth = static_cast<int32_t>(edge + static_cast<uint32_t>(divide.cfz0) + random() % 8 - 4);
        const int32_t step = trial % 3 == 0 ? Any() : (trial % 3 == 1 ? 1 : -1);
        for (int32_t i = 0; i < 16; ++i, depth = static_cast<int32_t>(static_cast<uint32_t>(depth) + step)) {
            const PixelReciprocal inTurn = reciprocals.Of(depth);
            const PixelReciprocal own = ReciprocalOf(divide, depth);
            ASSERT_EQ(inTurn.r, own.r) << "depth " << depth << " limit " << divide.limit;
            ASSERT_EQ(inTurn.shift, own.shift) << "depth " << depth << " limit " << divide.limit;
        }
    }
}

}  // namespace

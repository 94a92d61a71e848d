#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "CColor.h"
#include "CPixelChannels.h"
#include "EightLanesTier.h"
#include "MGLPixelTexels.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"

namespace {

constexpr TextureWrap kWraps[] = {TextureWrap::Repeat, TextureWrap::Clamp, TextureWrap::Mirror};
// Power-of-two sizes and others, down to one texel.
constexpr int32_t kSizes[] = {1, 2, 3, 5, 8, 16, 64};

int32_t AnyCoordinate(std::mt19937& random) {
    constexpr int32_t kEdges[] = {0,      1,       -1,       0x7FFF,    0x8000,    0x8001,
                                  0xFFFF, 0x10000, -0x10000, INT32_MAX, INT32_MIN, INT32_MIN + 0x7FFF};
    switch (random() % 4) {
        case 0: return kEdges[random() % std::size(kEdges)];
        case 1: return static_cast<int32_t>(random() % 0x1000000) - 0x800000;
        default: return static_cast<int32_t>(random());
    }
}

// A sum of weighted texels' channels (each below 2^16), 16 bits each in
// one word, a lowest.
uint64_t LanesOf(const RSBFormat_ARGB_fixed& c) {
    return static_cast<uint64_t>(c.a) | static_cast<uint64_t>(c.r) << 16 | static_cast<uint64_t>(c.g) << 32 |
           static_cast<uint64_t>(c.b) << 48;
}

// The sampler's bilinear sum for one pixel, its lanes in one word.
template <TextureWrap Wrap, class Format>
uint64_t SampledLanes(const TexelLevel& texels, int32_t u, int32_t v) {
    using namespace sampler_detail;
    const int32_t uu = static_cast<int32_t>(static_cast<uint32_t>(u) - kHalfTexel);
    const int32_t vv = static_cast<int32_t>(static_cast<uint32_t>(v) - kHalfTexel);
    const uint8_t* quad[4];
    texels.QuadIn<Wrap>(uu, vv, quad);
    texel_format::QuadTexels kept;
    kept.Read<Format>(quad);
    const texel_format::QuadWeights weights{FractionOf(uu, texels.level), FractionOf(vv, texels.level)};
    RSBFormat_ARGB_fixed sum = {0, 0, 0, 0};
    kept.AddWeighted(weights, &sum);
    return LanesOf(sum);
}

template <TextureWrap Wrap>
uint64_t SampledIn(uint32_t format, const TexelLevel& texels, int32_t u, int32_t v) {
    uint64_t lanes = 0;
    texel_format::VisitDecoder(format, [&](auto texel) { lanes = SampledLanes<Wrap, decltype(texel)>(texels, u, v); });
    return lanes;
}

uint64_t Sampled(TextureWrap wrap, uint32_t format, const TexelLevel& texels, int32_t u, int32_t v) {
    switch (wrap) {
        case TextureWrap::Clamp: return SampledIn<TextureWrap::Clamp>(format, texels, u, v);
        case TextureWrap::Mirror: return SampledIn<TextureWrap::Mirror>(format, texels, u, v);
        default: return SampledIn<TextureWrap::Repeat>(format, texels, u, v);
    }
}

// The blended nearest texels of two levels, as the spans' NearestBlend filter
// weighs them, their lanes in one word.
template <TextureWrap Wrap>
uint64_t BlendedIn(uint32_t format, const TexelLevel& near, const TexelLevel& far, int32_t u, int32_t v, int32_t lod) {
    const int32_t blend = (lod >> 8) & sampler_detail::kFull;
    uint64_t lanes = 0;
    texel_format::VisitDecoder(format, [&](auto texel) {
        using Format = decltype(texel);
        const texel_format::WeightedTexels weighted =
            texel_format::WeightedTexels::OfPair<Format>(near.AtIn<Wrap>(u, v), far.AtIn<Wrap>(u, v), blend);
        lanes = LanesOf(weighted.Colour());
    });
    return lanes;
}

uint64_t Blended(TextureWrap wrap, uint32_t format, const TexelLevel& near, const TexelLevel& far, int32_t u,
                 int32_t v, int32_t lod) {
    switch (wrap) {
        case TextureWrap::Clamp: return BlendedIn<TextureWrap::Clamp>(format, near, far, u, v, lod);
        case TextureWrap::Mirror: return BlendedIn<TextureWrap::Mirror>(format, near, far, u, v, lod);
        default: return BlendedIn<TextureWrap::Repeat>(format, near, far, u, v, lod);
    }
}

// A level of random texels and random size, held in exactly its own bytes
// (so that a read past it is seen under AddressSanitizer).
struct RandomLevel {
    std::vector<uint8_t> bytes;
    TexelLevel texels;

    RandomLevel(std::mt19937& random, int32_t bpp, TextureWrap wrap, int32_t level)
        : texels{nullptr, bpp, wrap, 0, 0, level, 0, 0, 0} {
        texels.w = kSizes[random() % std::size(kSizes)];
        texels.h = kSizes[random() % std::size(kSizes)];
        bytes.resize(static_cast<size_t>(texels.w * texels.h * bpp));
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        texels.base = bytes.data();
        texels.bytes = static_cast<uint32_t>(bytes.size());
    }
};

// Runs a trial of random levels and coordinates many times for every
// format and wrap mode: trial(format, bytes per texel, wrap, random).
template <class Trial>
void ForEachFormatAndWrap(uint32_t seed, Trial trial) {
    constexpr int32_t kTrials = 60;
    std::mt19937 random{seed};
    for (const uint32_t format : texel_format::kFilteredFormats) {
        const int32_t bpp = static_cast<int32_t>(CColor::BytesPerPixel(format));
        for (const TextureWrap wrap : kWraps) {
            for (int32_t i = 0; i < kTrials; ++i) trial(format, bpp, wrap, random);
        }
    }
}

// Whether the format's layout is one the eight-at-a-time passes read: the
// others are the sampler's, with no routine of those passes.
bool ReadEightAtATime(uint32_t format) {
    bool read = false;
    texel_format::VisitDecoder(format, [&](auto texel) { read = texel_format::kEightAtATime<decltype(texel)>; });
    return read;
}

// Random coordinates and levels of detail for the group from `first`.
void RandomGroup(std::mt19937& random, MGLPixelCoordinates& at, int32_t first) {
    for (int32_t i = first; i < first + MGLPixelTexels::kGroup; ++i) {
        at.u[i] = AnyCoordinate(random);
        at.v[i] = AnyCoordinate(random);
        at.lod[i] = AnyCoordinate(random);
    }
}

// Every level size too, the texels' bytes random: each pixel's lanes are
// the sampler's. A level whose step is not the format's size, or whose
// bytes end before its last texel does, is left to the sampler.
TEST(MGLPixelTexelsTest, EightAtATimeGiveTheSamplersBilinearTexels) {
    if (!EightLanesRun()) GTEST_SKIP() << "the eight-at-a-time passes do not run";
    ForEachFormatAndWrap(20261208, [](uint32_t format, int32_t bpp, TextureWrap wrap, std::mt19937& random) {
        const MGLPixelTexels::Routine routine = MGLPixelTexels::BilinearRoutine(format, wrap);
        if (!ReadEightAtATime(format)) {
            ASSERT_EQ(routine, nullptr) << "format " << format;
            return;
        }
        ASSERT_NE(routine, nullptr) << "format " << format;
        const RandomLevel level(random, bpp, wrap, static_cast<int32_t>(random() % 4));
        const TexelLevel& texels = level.texels;
        MGLPixelCoordinates at{};
        RandomGroup(random, at, 8);
        MGLPixelTexels out{};
        TexelLevel unpacked = texels;
        unpacked.bpp = bpp / 2;
        EXPECT_FALSE(routine(out, at, 8, unpacked));
        unpacked = texels;
        unpacked.bytes -= 1;
        EXPECT_FALSE(routine(out, at, 8, unpacked));
        ASSERT_TRUE(routine(out, at, 8, texels));
        for (int32_t i = 8; i < 8 + MGLPixelTexels::kGroup; ++i) {
            ASSERT_EQ(out.lanes[i], Sampled(wrap, format, texels, at.u[i], at.v[i]))
                << "format " << format << " wrap " << static_cast<int32_t>(wrap) << " level " << texels.level
                << " size " << texels.w << " x " << texels.h << " u " << at.u[i] << " v " << at.v[i];
        }
    });
}

TEST(MGLPixelTexelsTest, EightAtATimeGiveTheBlendOfTwoLevelsNearestTexels) {
    if (!EightLanesRun()) GTEST_SKIP() << "the eight-at-a-time passes do not run";
    ForEachFormatAndWrap(20261209, [](uint32_t format, int32_t bpp, TextureWrap wrap, std::mt19937& random) {
        const MGLPixelTexels::BlendRoutine routine = MGLPixelTexels::NearestBlendRoutine(format, wrap);
        if (!ReadEightAtATime(format)) {
            ASSERT_EQ(routine, nullptr) << "format " << format;
            return;
        }
        ASSERT_NE(routine, nullptr) << "format " << format;
        const int32_t level = static_cast<int32_t>(random() % 4);
        const RandomLevel near(random, bpp, wrap, level);
        const RandomLevel far(random, bpp, wrap, level + 1);
        MGLPixelCoordinates at{};
        RandomGroup(random, at, 0);
        MGLPixelTexels out{};
        ASSERT_TRUE(routine(out, at, 0, near.texels, far.texels));
        for (int32_t i = 0; i < MGLPixelTexels::kGroup; ++i) {
            ASSERT_EQ(out.lanes[i], Blended(wrap, format, near.texels, far.texels, at.u[i], at.v[i], at.lod[i]))
                << "format " << format << " wrap " << static_cast<int32_t>(wrap) << " level " << level << " u "
                << at.u[i] << " v " << at.v[i] << " lod " << at.lod[i];
        }
    });
}

TEST(MGLPixelTexelsTest, AGroupHasALevelOnlyWhereItsPixelsShareOne) {
    if (!EightLanesRun()) GTEST_SKIP() << "the eight-at-a-time passes do not run";
    MGLPixelCoordinates at{};
    for (int32_t i = 0; i < MGLPixelTexels::kGroup; ++i) at.lod[i] = 0x28000 + i;  // level 2
    EXPECT_EQ(MGLPixelTexels::GroupLevel(at, 0, 9), 2);
    EXPECT_EQ(MGLPixelTexels::GroupLevel(at, 0, 1), 1) << "clamped to the last level";
    at.lod[7] = -0x10000;
    EXPECT_EQ(MGLPixelTexels::GroupLevel(at, 0, 9), -1);
    for (int32_t i = 0; i < MGLPixelTexels::kGroup; ++i) at.lod[8 + i] = i == 3 ? -5 : 0x4000;
    EXPECT_EQ(MGLPixelTexels::GroupLevel(at, 8, 9), 0) << "below zero is level 0";
}

// A format outside the decoder list, given no more than its id and layout,
// reads every texel as the colour conversions read it, and its channel
// lanes agree with its reads: what a new format added
// to the list starts from. The 18-bit format also widens by its low bits.
TEST(MGLPixelTexelsTest, ADecoderOfIdAndLayoutAloneReadsAsTheColourConversions) {
    using X14R6G6B6 = texel_format::Decoder<RSBFormat_X14R6G6B6>;
    constexpr uint32_t kWords = 1u << 18;
    for (uint32_t word = 0; word < kWords; word += 7) {
        uint8_t texel[4];
        PixelChannels::Store32(texel, word | 0xABC00000u);
        RSBFormat_ARGB_fixed expected = {0, 0, 0, 0};
        CColor::ConvertToFormat(&expected, RSBFormat_X14R6G6B6, texel);
        RSBFormat_ARGB_fixed decoded = {0, 0, 0, 0};
        X14R6G6B6().Decode(texel, &decoded);
        ASSERT_EQ(std::tie(decoded.a, decoded.r, decoded.g, decoded.b), std::tie(expected.a, expected.r, expected.g, expected.b))
            << std::hex << word;
        const texel_format::Channels c = X14R6G6B6::Read(texel);
        const texel_format::ChannelLanes lanes = X14R6G6B6::Lanes(texel);
        ASSERT_EQ(lanes.ag, uint64_t{c.a} << 32 | c.g);
        ASSERT_EQ(lanes.rb, uint64_t{c.r} << 32 | c.b);
    }
}

}  // namespace

#include "BlitCopy.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CBlitUtil.h"
#include "PixelReference.h"

using namespace pixref;

namespace {

enum class Source { R565, X14, X8, P256, A1555, A4444, R888 };

// What a routine does with one source pixel.
enum class Op {
    Copy,        // the pixel, converted when the formats differ
    Key,         // keyed pixels skipped
    KeyAlpha,    // keyed pixels skipped, the others blended with the constant alpha
    AlphaTest,   // pixels whose own alpha is 0 skipped
    OwnAlpha,    // blended with the pixel's own alpha
    ConstAlpha,  // blended with the constant alpha, no key
};

struct CopyRoutine {
    const char* name;
    BlitRoutine routine;
    Source source;
    Target target;
    Op op;
};

const CopyRoutine kCopies[] = {
    {"R5G6B5", Blit_R5G6B5, Source::R565, Target::R565, Op::Copy},
    {"R5G6B5_ColorKey", Blit_R5G6B5_ColorKey, Source::R565, Target::R565, Op::Key},
    {"R5G6B5_ColorKeyAlpha", Blit_R5G6B5_ColorKeyAlpha, Source::R565, Target::R565, Op::KeyAlpha},
    {"X14R6G6B6", Blit_X14R6G6B6, Source::X14, Target::X14, Op::Copy},
    {"X14R6G6B6_ColorKey", Blit_X14R6G6B6_ColorKey, Source::X14, Target::X14, Op::Key},
    {"X14R6G6B6_ColorKeyAlpha", Blit_X14R6G6B6_ColorKeyAlpha, Source::X14, Target::X14, Op::KeyAlpha},
    {"X8R8G8B8", Blit_X8R8G8B8, Source::X8, Target::X8, Op::Copy},
    {"X8R8G8B8_ColorKey", Blit_X8R8G8B8_ColorKey, Source::X8, Target::X8, Op::Key},
    {"X8R8G8B8_ColorKeyAlpha", Blit_X8R8G8B8_ColorKeyAlpha, Source::X8, Target::X8, Op::KeyAlpha},
    {"P256_R5G6B5", Blit_P256_R5G6B5, Source::P256, Target::R565, Op::Copy},
    {"P256_R5G6B5_ColorKey", Blit_P256_R5G6B5_ColorKey, Source::P256, Target::R565, Op::Key},
    {"P256_R5G6B5_ColorKeyAlpha", Blit_P256_R5G6B5_ColorKeyAlpha, Source::P256, Target::R565, Op::KeyAlpha},
    {"P256_X14R6G6B6", Blit_P256_X14R6G6B6, Source::P256, Target::X14, Op::Copy},
    {"P256_X14R6G6B6_ColorKey", Blit_P256_X14R6G6B6_ColorKey, Source::P256, Target::X14, Op::Key},
    {"P256_X14R6G6B6_ColorKeyAlpha", Blit_P256_X14R6G6B6_ColorKeyAlpha, Source::P256, Target::X14, Op::KeyAlpha},
    {"P256_X8R8G8B8", Blit_P256_X8R8G8B8, Source::P256, Target::X8, Op::Copy},
    {"P256_X8R8G8B8_ColorKey", Blit_P256_X8R8G8B8_ColorKey, Source::P256, Target::X8, Op::Key},
    {"P256_X8R8G8B8_ColorKeyAlpha", Blit_P256_X8R8G8B8_ColorKeyAlpha, Source::P256, Target::X8, Op::KeyAlpha},
    // Not registered.
    {"A1R5G5B5_R5G6B5_AlphaTest", Blit_A1R5G5B5_R5G6B5_AlphaTest, Source::A1555, Target::R565, Op::AlphaTest},
    {"Copy16", Blit_Copy16, Source::R565, Target::R565, Op::Copy},
    {"A4R4G4B4_R5G6B5_Alpha", Blit_A4R4G4B4_R5G6B5_Alpha, Source::A4444, Target::R565, Op::OwnAlpha},
    {"R5G6B5_X8R8G8B8", Blit_R5G6B5_X8R8G8B8, Source::R565, Target::X8, Op::Copy},
    {"R8G8B8_X8R8G8B8", Blit_R8G8B8_X8R8G8B8, Source::R888, Target::X8, Op::Copy},
    {"Copy32", Blit_Copy32, Source::X8, Target::X8, Op::Copy},
    {"Copy16_Single", Blit_Copy16_Single, Source::R565, Target::R565, Op::Copy},
    {"Copy16_Single2", Blit_Copy16_Single2, Source::R565, Target::R565, Op::Copy},
    {"P256_R5G6B5_Alias", Blit_P256_R5G6B5_Alias, Source::P256, Target::R565, Op::Copy},
    {"P256_R5G6B5_AlphaTest", Blit_P256_R5G6B5_AlphaTest, Source::P256, Target::R565, Op::AlphaTest},
    {"P256_R5G6B5_PaletteAlpha", Blit_P256_R5G6B5_PaletteAlpha, Source::P256, Target::R565, Op::OwnAlpha},
    {"P256_R5G6B5_Alpha", Blit_P256_R5G6B5_Alpha, Source::P256, Target::R565, Op::ConstAlpha},
};

void PrintTo(const CopyRoutine& c, std::ostream* os) { *os << c.name; }

int BytesOf(Source s) {
    switch (s) {
        case Source::P256:
            return 1;
        case Source::R888:
            return 3;
        case Source::X14:
        case Source::X8:
            return 4;
        default:
            return 2;
    }
}

// One source pixel as the reference sees it.
struct SourcePixel {
    uint32_t raw;
    Rgb rgb;
    bool keyed;
    uint32_t ownAlpha;
};

SourcePixel ReadSource(Source s, const uint8_t* p, const std::vector<uint32_t>& palette) {
    switch (s) {
        case Source::R565: {
            const uint32_t v = Read16(p);
            return {v, From565(v), v == 0xF81F, 255};
        }
        case Source::X14: {
            const uint32_t v = Read32(p);
            return {v, FromX14(v), v % 0x40000 == 0x3F03F, 255};
        }
        case Source::X8: {
            const uint32_t v = Read32(p);
            return {v, From8888(v), v % 0x1000000 == 0xFF00FF, 255};
        }
        case Source::P256: {
            const uint32_t e = palette[p[0]];
            return {p[0], From8888(e), e % 0x1000000 == 0xFF00FF, e / 0x1000000};
        }
        case Source::A1555: {
            const uint32_t v = Read16(p);
            return {v, From1555(v), false, v >= 0x8000 ? 255u : 0u};
        }
        case Source::A4444: {
            const uint32_t v = Read16(p);
            return {v, From4444(v), false, Widen4(v / 4096)};
        }
        case Source::R888:
            return {0, {p[2], p[1], p[0]}, false, 255};
    }
    return {};
}

bool SameFormat(const CopyRoutine& c) {
    return (c.source == Source::R565 && c.target == Target::R565) ||
           (c.source == Source::X14 && c.target == Target::X14) || (c.source == Source::X8 && c.target == Target::X8);
}

uint32_t Expected(const CopyRoutine& c, const SourcePixel& s, uint32_t old, uint32_t alpha) {
    // Same-format copies move whole pixels, ignored bits included.
    const uint32_t converted = SameFormat(c) ? s.raw : ToTarget(c.target, s.rgb);
    const auto blended = [&](uint32_t a) { return ToTarget(c.target, Blend(s.rgb, FromTarget(c.target, old), a)); };
    switch (c.op) {
        case Op::Copy:
            return converted;
        case Op::Key:
            return s.keyed ? old : converted;
        case Op::KeyAlpha:
            return s.keyed || alpha == 0 ? old : blended(alpha);
        case Op::AlphaTest:
            return s.ownAlpha == 0 ? old : converted;
        case Op::OwnAlpha:
            return s.ownAlpha == 0 ? old : blended(s.ownAlpha);
        case Op::ConstAlpha:
            return alpha == 0 ? old : blended(alpha);
    }
    return old;
}

bool UsesConstantAlpha(Op op) { return op == Op::KeyAlpha || op == Op::ConstAlpha; }

// Random pixels of the format, a quarter of them on the colour key (with
// random ignored bits) so that the keyed paths are exercised.
void FillSource(Source s, uint8_t* p, std::mt19937& random) {
    const bool key = random() % 4 == 0;
    switch (s) {
        case Source::R565:
            Write16(p, key ? 0xF81F : random() % 0x10000);
            break;
        case Source::X14:
            Write32(p, key ? (random() % 0x4000) * 0x40000 + 0x3F03F : random());
            break;
        case Source::X8:
            Write32(p, key ? (random() % 256) * 0x1000000 + 0xFF00FF : random());
            break;
        case Source::A4444:
            // Alpha nibbles of 0 and 15 are the interesting ends.
            Write16(p, key ? random() % 0x1000 : random() % 0x10000);
            break;
        default:
            for (int i = 0; i < BytesOf(s); ++i) p[i] = static_cast<uint8_t>(random());
    }
}

std::vector<uint32_t> MakePalette(std::mt19937& random) {
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t e = random();
        if (i % 4 == 1) e = (e & 0xFF000000u) | 0xFF00FF;  // keyed, whatever the top byte
        if (i % 5 == 2) e &= 0x00FFFFFFu;                   // alpha 0
        palette[i] = e;
    }
    return palette;
}

// A source image of whole rows, stored top-down or bottom-up, allocated to
// its exact size so that a read outside it is caught.
class SourceImage {
public:
    SourceImage(Source s, int width, int height, bool bottomUp, std::mt19937& random)
        : m_bytes(BytesOf(s)), m_rowBytes(width * m_bytes), m_height(height), m_bottomUp(bottomUp),
          m_data(static_cast<size_t>(m_rowBytes) * height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) FillSource(s, At(x, y), random);
        }
    }
    uint8_t* At(int x, int y) {
        const int row = m_bottomUp ? m_height - 1 - y : y;
        return m_data.data() + static_cast<ptrdiff_t>(row) * m_rowBytes + x * m_bytes;
    }
    int16_t Stride() const { return static_cast<int16_t>(m_bottomUp ? -m_rowBytes : m_rowBytes); }

private:
    int m_bytes;
    int m_rowBytes;
    int m_height;
    bool m_bottomUp;
    std::vector<uint8_t> m_data;
};

class BlitCopyTest : public ::testing::TestWithParam<CopyRoutine> {};

TEST_P(BlitCopyTest, MatchesReferenceForEverySizeFlipAndStride) {
    const CopyRoutine& c = GetParam();
    std::mt19937 random(1234);
    const std::vector<uint32_t> palette = MakePalette(random);
    const std::vector<uint32_t> alphas = UsesConstantAlpha(c.op) ? std::vector<uint32_t>{0, 1, 128, 255}
                                                                  : std::vector<uint32_t>{200};
    for (int width : {1, 2, 3, 4, 5, 8}) {
        for (int height : {1, 2, 3}) {
            for (int config = 0; config < 16; ++config) {
                const bool flipX = (config & 1) != 0;
                const bool flipY = (config & 2) != 0;
                const int offset = (config & 4) != 0 ? 1 : 0;  // 1: the rectangle starts on an odd pixel
                const bool bottomUp = (config & 8) != 0;
                for (uint32_t alpha : alphas) {
                    SCOPED_TRACE(::testing::Message() << c.name << " " << width << "x" << height << " flip " << flipX
                                                      << flipY << " offset " << offset << " bottomUp " << bottomUp
                                                      << " alpha " << alpha);
                    SourceImage source(c.source, width + offset, height + offset, bottomUp, random);
                    Canvas dest(width, height, BytesOf(c.target), 2, random);
                    BlitCopyDesc desc = {source.Stride(), source.At(offset, offset), palette.data(),
                                         static_cast<int16_t>(dest.Stride()), dest.At(0, 0), width, height,
                                         static_cast<uint8_t>(flipX), static_cast<uint8_t>(flipY),
                                         static_cast<uint8_t>(alpha)};
                    c.routine(&desc);
                    for (int y = 0; y < height; ++y) {
                        for (int x = 0; x < width; ++x) {
                            const int sx = offset + (flipX ? width - 1 - x : x);
                            const int sy = offset + (flipY ? height - 1 - y : y);
                            const SourcePixel s = ReadSource(c.source, source.At(sx, sy), palette);
                            ASSERT_EQ(dest.Get(x, y), Expected(c, s, dest.Original(x, y), alpha))
                                << "pixel " << x << "," << y;
                        }
                    }
                    ASSERT_TRUE(dest.FrameIntact());
                }
            }
        }
    }
}

// A rectangle of no area copies nothing, whatever the routine's loop shape.
TEST_P(BlitCopyTest, EmptyOrNegativeSizeTouchesNothing) {
    const CopyRoutine& c = GetParam();
    std::mt19937 random(99);
    const std::vector<uint32_t> palette = MakePalette(random);
    SourceImage source(c.source, 4, 4, false, random);
    for (const auto& [width, height] : {std::pair{0, 3}, {3, 0}, {-2, 3}, {3, -1}, {0, 0}}) {
        Canvas dest(4, 4, BytesOf(c.target), 2, random);
        BlitCopyDesc desc = {source.Stride(), source.At(1, 1), palette.data(), static_cast<int16_t>(dest.Stride()),
                             dest.At(1, 1), width, height, 0, 0, 255};
        c.routine(&desc);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) EXPECT_EQ(dest.Get(x, y), dest.Original(x, y)) << width << "x" << height;
        }
        EXPECT_TRUE(dest.FrameIntact());
    }
}

INSTANTIATE_TEST_SUITE_P(AllCopies, BlitCopyTest, ::testing::ValuesIn(kCopies),
                         [](const ::testing::TestParamInfo<CopyRoutine>& info) { return info.param.name; });

// The values the format definitions give, written out.
TEST(BlitCopyValues, HalfAlphaWhiteOnBlackAndKeyNeighbours) {
    uint8_t source[4];
    Write16(source, 0xFFFF);
    Write16(source + 2, 0xF81F);
    uint8_t dest[4] = {0, 0, 0, 0};
    BlitCopyDesc desc = {4, source, nullptr, 4, dest, 2, 1, 0, 0, 128};
    Blit_R5G6B5_ColorKeyAlpha(&desc);
    EXPECT_EQ(Read16(dest), (15u << 11) | (31u << 5) | 15u);
    EXPECT_EQ(Read16(dest + 2), 0u);

    // 0xF81E is one step off the key and is drawn.
    Write16(source, 0xF81E);
    Blit_R5G6B5_ColorKey(&desc);
    EXPECT_EQ(Read16(dest), 0xF81Eu);
    EXPECT_EQ(Read16(dest + 2), 0u);
}

// A keyed copy onto itself one pixel to the right reads each pixel after
// its left neighbour was written, as a pixel-by-pixel copy does: the first
// pixel runs along the row.
TEST(BlitCopyValues, KeyedCopyOverlappingItselfGoesPixelByPixel) {
    constexpr int32_t kWidth = 32;
    uint8_t row[2 * (kWidth + 1)];
    for (int32_t i = 0; i <= kWidth; ++i) Write16(row + 2 * i, static_cast<uint16_t>(0x100 + i));
    BlitCopyDesc desc = {2 * (kWidth + 1), row, nullptr, 2 * (kWidth + 1), row + 2, kWidth, 1, 0, 0, 0};
    Blit_R5G6B5_ColorKey(&desc);
    for (int32_t i = 0; i <= kWidth; ++i) EXPECT_EQ(Read16(row + 2 * i), 0x100u) << i;
}

// Plain copies of rows of every length from one pixel to well past those
// copied inline: each pixel lands where it belongs, nothing beside the rows
// changes.
TEST(BlitCopyValues, PlainCopiesOfEveryRowLength) {
    constexpr int kLongestRowBytes = 320;
    constexpr int kHeight = 2;
    std::mt19937 random(7);
    for (const CopyRoutine& c : kCopies) {
        if (c.op != Op::Copy || !SameFormat(c)) continue;
        const int bytes = BytesOf(c.source);
        for (int width = 1; width <= kLongestRowBytes / bytes; ++width) {
            SCOPED_TRACE(::testing::Message() << c.name << " " << width);
            SourceImage source(c.source, width, kHeight, false, random);
            Canvas dest(width, kHeight, bytes, 2, random);
            BlitCopyDesc desc = {source.Stride(), source.At(0, 0), nullptr, static_cast<int16_t>(dest.Stride()),
                                 dest.At(0, 0), width, kHeight, 0, 0, 0};
            c.routine(&desc);
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < width; ++x) ASSERT_EQ(dest.Get(x, y), ReadN(source.At(x, y), bytes)) << x;
            }
            ASSERT_TRUE(dest.FrameIntact());
        }
    }
}

TEST(BlitCopyValues, StartAndStepsFollowTheFlips) {
    BlitCopyDesc desc = {-40, nullptr, nullptr, 0, nullptr, 5, 3, 1, 1, 0};
    int32_t xStep = 0;
    int32_t yStep = 0;
    // Last pixel of the last row: 2 × 4 bytes in, two rows of -40 bytes down.
    EXPECT_EQ(GetBlitStartAndSteps(2, &desc, &xStep, &yStep), 8 - 80);
    EXPECT_EQ(xStep, -2);
    EXPECT_EQ(yStep, 40);
    desc.flipX = 0;
    desc.flipY = 0;
    EXPECT_EQ(GetBlitStartAndSteps(4, &desc, &xStep, &yStep), 0);
    EXPECT_EQ(xStep, 4);
    EXPECT_EQ(yStep, -40);
}

}  // namespace

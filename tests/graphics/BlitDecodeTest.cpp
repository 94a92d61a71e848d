#include "BlitDecode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CBlitUtil.h"
#include "PixelReference.h"

using namespace pixref;

namespace {

enum class Src { R888, P16, P256 };
enum class Dst { R565, A1555, R5551, A4444, X14, X8, P256 };

struct DecodeRoutine {
    const char* name;
    BlitRoutine routine;
    Src source;
    Dst dest;
    bool keyed;
};

void PrintTo(const DecodeRoutine& r, std::ostream* os) { *os << r.name; }

const DecodeRoutine kDecoders[] = {
    {"R8G8B8_R5G6B5", Decode_R8G8B8_R5G6B5, Src::R888, Dst::R565, false},
    {"R8G8B8_R5G5B5A1", Decode_R8G8B8_R5G5B5A1, Src::R888, Dst::R5551, true},
    {"R8G8B8_X8R8G8B8", Decode_R8G8B8_X8R8G8B8, Src::R888, Dst::X8, false},
    {"P16_R5G6B5", Decode_P16_R5G6B5, Src::P16, Dst::R565, false},
    {"P16_A1R5G5B5", Decode_P16_A1R5G5B5, Src::P16, Dst::A1555, true},
    {"P16_R5G5B5A1", Decode_P16_R5G5B5A1, Src::P16, Dst::R5551, true},
    {"P16_X14R6G6B6", Decode_P16_X14R6G6B6, Src::P16, Dst::X14, false},
    {"P16_X8R8G8B8", Decode_P16_X8R8G8B8, Src::P16, Dst::X8, false},
    {"P16_P256", Decode_P16_P256, Src::P16, Dst::P256, false},
    {"P256_R5G6B5", Decode_P256_R5G6B5, Src::P256, Dst::R565, false},
    {"P256_A1R5G5B5", Decode_P256_A1R5G5B5, Src::P256, Dst::A1555, true},
    {"P256_R5G5B5A1", Decode_P256_R5G5B5A1, Src::P256, Dst::R5551, true},
    {"P256_A4R4G4B4", Decode_P256_A4R4G4B4, Src::P256, Dst::A4444, true},
    {"P256_X14R6G6B6", Decode_P256_X14R6G6B6, Src::P256, Dst::X14, false},
    {"P256_X8R8G8B8", Decode_P256_X8R8G8B8, Src::P256, Dst::X8, false},
    {"P256_P256", Decode_P256_P256, Src::P256, Dst::P256, false},
};

int BytesOf(Dst d) {
    switch (d) {
        case Dst::X14:
        case Dst::X8:
            return 4;
        case Dst::P256:
            return 1;
        default:
            return 2;
    }
}

uint32_t Pack(Dst d, Rgb c, uint32_t index) {
    switch (d) {
        case Dst::R565:
            return To565(c);
        case Dst::A1555:
            return 0x8000 + c.r / 8 * 1024 + c.g / 8 * 32 + c.b / 8;
        case Dst::R5551:
            return 1 + c.b / 8 * 2 + c.g / 8 * 64 + c.r / 8 * 2048;
        case Dst::A4444:
            return 0xF000 + c.r / 16 * 256 + c.g / 16 * 16 + c.b / 16;
        case Dst::X14:
            return ToX14(c);
        case Dst::X8:
            return ToX8(c);
        case Dst::P256:
            return index;
    }
    return 0;
}

// The key's colour, and a palette in which entries 5 and 9 carry it with
// different top bytes.
constexpr uint32_t kKey = 0x11ABCDEF;

std::vector<uint32_t> MakePalette(Src s, std::mt19937& random) {
    std::vector<uint32_t> palette(s == Src::P16 ? 16 : 256);
    for (uint32_t& e : palette) e = random();
    palette[5] = 0x00ABCDEF;
    palette[9] = 0xFFABCDEF;
    palette[6] = 0xFFABCDEE;  // one step off the key
    return palette;
}

// The pixels of an image in stream order, with the bytes that encode them.
struct Image {
    std::vector<uint32_t> values;  // palette index, or the colour for r8g8b8
    std::vector<uint8_t> stream;
};

Image Encode(Src s, int width, int height, int skip, std::mt19937& random) {
    Image image;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t v = 0;
            if (s == Src::R888) {
                v = random() % 4 == 0 ? kKey % 0x1000000 : random() % 0x1000000;
                image.stream.push_back(static_cast<uint8_t>(v % 256));
                image.stream.push_back(static_cast<uint8_t>(v / 256 % 256));
                image.stream.push_back(static_cast<uint8_t>(v / 65536));
            } else if (s == Src::P256) {
                v = random() % 3 == 0 ? 5 + random() % 5 : random() % 256;
                image.stream.push_back(static_cast<uint8_t>(v));
            } else {
                v = random() % 16;
                if (x % 2 == 0) {
                    // The low nibble is filled in by the next pixel, or is
                    // padding the decoder must ignore.
                    image.stream.push_back(static_cast<uint8_t>(v * 16 + random() % 16));
                } else {
                    image.stream.back() = static_cast<uint8_t>(image.stream.back() / 16 * 16 + v);
                }
            }
            image.values.push_back(v);
        }
        for (int i = 0; i < skip; ++i) image.stream.push_back(static_cast<uint8_t>(random()));
    }
    return image;
}

class BlitDecodeTest : public ::testing::TestWithParam<DecodeRoutine> {};

TEST_P(BlitDecodeTest, MatchesReferenceForEveryPlacement) {
    const DecodeRoutine& r = GetParam();
    std::mt19937 random(4321);
    const std::vector<uint32_t> palette = MakePalette(r.source, random);
    const int bytes = BytesOf(r.dest);
    // 2049 pixels: rows longer than the block the decoders read them in.
    for (int width : {0, 1, 2, 3, 4, 5, 2049}) {
        for (int height = 0; height <= 3; ++height) {
            for (int config = 0; config < 32; ++config) {
                const bool transpose = (config & 1) != 0;
                const bool mirrorX = (config & 2) != 0;
                const bool mirrorY = (config & 4) != 0;
                const bool bottomUp = (config & 8) != 0;
                const int skip = (config & 16) != 0 ? 3 : 0;
                SCOPED_TRACE(::testing::Message() << r.name << " " << width << "x" << height << " transpose "
                                                  << transpose << " mirror " << mirrorX << mirrorY << " bottomUp "
                                                  << bottomUp << " skip " << skip);
                const Image image = Encode(r.source, width, height, skip, random);
                const int columns = transpose ? height : width;
                const int rows = transpose ? width : height;
                Canvas plane(columns, rows, bytes, 2, random);
                CArrayInputStream stream;
                ASSERT_TRUE(stream.Open(image.stream.data(), static_cast<uint32_t>(image.stream.size())));
                const int16_t stride = static_cast<int16_t>(bottomUp ? -plane.Stride() : plane.Stride());
                BlitDecodeDesc desc = {&stream, skip, palette.data(), stride,
                                       plane.At(0, bottomUp ? rows - 1 : 0), width, height, kKey, 1,
                                       static_cast<uint8_t>(transpose), static_cast<uint8_t>(mirrorX),
                                       static_cast<uint8_t>(mirrorY)};
                r.routine(&desc);
                EXPECT_EQ(stream.GetPosition(), image.stream.size());
                EXPECT_FALSE(stream.HasError());

                std::vector<uint32_t> expected(static_cast<size_t>(columns * rows));
                for (int y = 0; y < rows; ++y) {
                    for (int x = 0; x < columns; ++x) {
                        expected[y * columns + x] = plane.Original(x, bottomUp ? rows - 1 - y : y);
                    }
                }
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        const uint32_t v = image.values[static_cast<size_t>(y * width + x)];
                        const uint32_t colour = r.source == Src::R888 ? v : palette[v];
                        if (r.keyed && colour % 0x1000000 == kKey % 0x1000000) continue;
                        const int px = transpose ? (mirrorX ? height - 1 - y : y) : (mirrorX ? width - 1 - x : x);
                        const int py = transpose ? (mirrorY ? width - 1 - x : x) : (mirrorY ? height - 1 - y : y);
                        expected[py * columns + px] = Pack(r.dest, From8888(colour), v);
                    }
                }
                for (int y = 0; y < rows; ++y) {
                    for (int x = 0; x < columns; ++x) {
                        ASSERT_EQ(plane.Get(x, bottomUp ? rows - 1 - y : y), expected[y * columns + x])
                            << "column " << x << " row " << y;
                    }
                }
                ASSERT_TRUE(plane.FrameIntact());
            }
        }
    }
}

// A stream that runs dry yields zero bytes: palette index 0, or black.
TEST_P(BlitDecodeTest, DryStreamDecodesZeroBytesToTheEnd) {
    const DecodeRoutine& r = GetParam();
    std::mt19937 random(8);
    const std::vector<uint32_t> palette = MakePalette(r.source, random);
    Canvas plane(3, 2, BytesOf(r.dest), 1, random);
    const uint8_t oneByte[1] = {0};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(oneByte, 1));
    BlitDecodeDesc desc = {&stream, 1, palette.data(), static_cast<int16_t>(plane.Stride()), plane.At(0, 0), 3, 2,
                           0x00FF00FF, 0, 0, 0, 0};
    {
        // The stream reports each failed read as a failed check.
        AssertCounter failedReads;
        r.routine(&desc);
        EXPECT_GT(failedReads.Count(), 0);
    }
    EXPECT_TRUE(stream.HasError());
    const uint32_t zero = r.source == Src::R888 ? 0 : palette[0];
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(plane.Get(x, y), Pack(r.dest, From8888(zero), 0));
    }
    EXPECT_TRUE(plane.FrameIntact());
}

INSTANTIATE_TEST_SUITE_P(AllDecoders, BlitDecodeTest, ::testing::ValuesIn(kDecoders),
                         [](const ::testing::TestParamInfo<DecodeRoutine>& info) { return info.param.name; });

// Counts what the decoders ask of their stream.
class CountingStream : public CInputStream {
public:
    uint32_t Available() override { return 1000; }
    void Skip(uint32_t n) override {
        ++skips;
        skipped += n;
    }
    void Read(void* dst, uint32_t n) override {
        bytesRead += n;
        std::memset(dst, 0, n);
    }
    int skips = 0;
    uint32_t skipped = 0;
    uint32_t bytesRead = 0;
};

TEST(BlitDecodeRows, SkipFollowsEveryRowEvenWhenEmpty) {
    const uint32_t palette[16] = {};
    uint8_t plane[16] = {};
    CountingStream stream;
    BlitDecodeDesc desc = {&stream, 0, palette, 4, plane, 3, 0, 0, 0, 0, 0, 0};
    Decode_P16_X8R8G8B8(&desc);
    EXPECT_EQ(stream.skips, 0);
    EXPECT_EQ(stream.bytesRead, 0u);

    desc.width = 0;
    desc.height = 2;
    Decode_P16_X8R8G8B8(&desc);
    EXPECT_EQ(stream.skips, 2);
    EXPECT_EQ(stream.bytesRead, 0u);

    // Width 3 from p16: two bytes a row, the next row on a fresh byte.
    CountingStream rows;
    desc.stream = &rows;
    desc.width = 3;
    desc.skipCount = 2;
    desc.destStride = 1;
    Decode_P16_P256(&desc);
    EXPECT_EQ(rows.bytesRead, 4u);
    EXPECT_EQ(rows.skips, 2);
    EXPECT_EQ(rows.skipped, 4u);

    // A negative skip count skips nothing.
    CountingStream negative;
    desc.stream = &negative;
    desc.skipCount = -5;
    Decode_P16_P256(&desc);
    EXPECT_EQ(negative.skips, 2);
    EXPECT_EQ(negative.skipped, 0u);
}

}  // namespace

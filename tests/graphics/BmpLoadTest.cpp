#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CColor.h"
#include "CMemory.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "ImageFileBuilder.h"
#include "PlaneLoadTest.h"

using imagetest::BmpSpec;
using imagetest::BuildBmp;
using imagetest::ExpectedPixel;
using imagetest::PlanePixel;

namespace {

// An image using every colour its depth can index.
BmpSpec FullPaletteBmp(int32_t width, int32_t height, uint16_t bits) {
    return imagetest::IndexedBmp(width, height, bits, bits == 4 ? 16 : 256);
}

uint32_t MixedRgb(int32_t x, int32_t y) {
    return static_cast<uint32_t>((x * 71 + y * 29) & 0xFF) << 16 | static_cast<uint32_t>((x * 13 + 200) & 0xFF) << 8 |
           static_cast<uint32_t>((y * 97 + x) & 0xFF);
}

BmpSpec MixedColourBmp(int32_t width, int32_t height) { return imagetest::TrueColourBmp(width, height, MixedRgb); }

uint32_t SourceFormatOf(const BmpSpec& spec) {
    if (spec.bitCount == 24) return RSBFormat_R8G8B8;
    return spec.bitCount == 4 ? RSBFormat_P16X8R8G8B8 : RSBFormat_P256X8R8G8B8;
}

uint32_t ColourAt(const BmpSpec& spec, int32_t x, int32_t y) {
    const uint32_t value = spec.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
    return spec.bitCount == 24 ? value : spec.palette[value];
}

class BmpLoad : public PlaneLoadTest {
protected:
    bool Load(const std::vector<uint8_t>& file, uint32_t source, uint32_t destination, int32_t pitchMode = 0) {
        Prepare(file, source, destination);
        params.type = CRenderSurfaceLoadParams::kTypeBMP;
        return plane.Create(0, 0, 0, false, &keptPalette, &params, pitchMode, 0, nullptr);
    }

    void ExpectImage(const BmpSpec& spec, uint32_t keyColour = 0xFFFFFFFF) {
        ExpectPlane(spec.width, spec.height, spec.rows, spec.palette, keyColour);
    }
};

struct DecodeCase {
    uint16_t bits;
    uint32_t destination;
    bool keyed;
};

}  // namespace

TEST_F(BmpLoad, EveryDepthIntoEveryPlaneFormat) {
    const DecodeCase cases[] = {
        {4, RSBFormat_R5G6B5, false},    {4, RSBFormat_X14R6G6B6, false}, {4, RSBFormat_X8R8G8B8, false},
        {4, RSBFormat_A1R5G5B5, true},   {8, RSBFormat_R5G6B5, false},    {8, RSBFormat_R5G6B5, true},
        {8, RSBFormat_X14R6G6B6, false}, {8, RSBFormat_X8R8G8B8, false},  {8, RSBFormat_A1R5G5B5, true},
        {8, RSBFormat_A4R4G4B4, true},   {24, RSBFormat_R5G6B5, false},   {24, RSBFormat_X8R8G8B8, false},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits into 0x" << std::hex << c.destination
                                        << (c.keyed ? " keyed" : ""));
        const BmpSpec spec = c.bits == 24 ? MixedColourBmp(7, 3) : FullPaletteBmp(5, 3, c.bits);
        uint32_t keyColour = 0xFFFFFFFF;
        params.colorKeyPresent = c.keyed ? 1 : 0;
        if (c.keyed) {
            keyColour = spec.palette[spec.rows[1][2]];
            params.colorKey = 0x5A000000u | keyColour;  // the top byte plays no part
        }
        ASSERT_TRUE(Load(BuildBmp(spec), SourceFormatOf(spec), c.destination));
        EXPECT_EQ(plane.GetFormat(), c.destination);
        EXPECT_EQ(plane.GetPitch(), spec.width * static_cast<int32_t>(c.destination & 0x1F));
        // The r5g6b5 plane has no alpha: its keyed decode draws the key colour.
        ExpectImage(spec, c.destination == RSBFormat_R5G6B5 ? 0xFFFFFFFF : keyColour);
        EXPECT_EQ(keptPalette, nullptr);
    }
}

TEST_F(BmpLoad, PalettesAreKeptForIndexedPlanes) {
    for (uint16_t bits : {4, 8}) {
        const BmpSpec spec = FullPaletteBmp(5, 2, bits);
        MemFree(keptPalette);
        keptPalette = nullptr;
        // The 16-colour destination is widened to 256 colours.
        ASSERT_TRUE(Load(BuildBmp(spec), SourceFormatOf(spec), SourceFormatOf(spec)));
        EXPECT_EQ(plane.GetFormat(), RSBFormat_P256X8R8G8B8);
        ExpectImage(spec);
        ASSERT_NE(keptPalette, nullptr);
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t expected = i < spec.palette.size() ? 0xFF000000u | spec.palette[i] : 0u;
            ASSERT_EQ(keptPalette[i], expected) << i;
        }
    }
}

TEST_F(BmpLoad, ACallersPaletteReplacesTheFilesAndTakesTheKey) {
    const BmpSpec spec = FullPaletteBmp(5, 2, 8);
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i) table[i] = 0x01000000u * (i & 1) | (255 - i) << 16 | i;
    std::vector<uint32_t> expected = table;
    uint32_t* callers = table.data();
    params.colorKeyPresent = 1;
    params.colorKey = table[7];
    const std::vector<uint8_t> file = BuildBmp(spec);
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    params.stream = &stream;
    params.type = CRenderSurfaceLoadParams::kTypeBMP;
    params.formatMap[0] = {RSBFormat_P256X8R8G8B8, RSBFormat_R5G6B5};
    ASSERT_TRUE(plane.Create(0, 0, 0, false, &callers, &params, 0, 0, nullptr));
    EXPECT_EQ(callers, table.data());
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const uint32_t index = spec.rows[y][x];
            ASSERT_EQ(PlanePixel(plane, x, y), ExpectedPixel(RSBFormat_R5G6B5, expected[index] & 0xFFFFFF, index));
        }
    }
    // Alpha bytes: the key's entry transparent, the file's other entries opaque.
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t alpha = i == 7 ? 0u : 0xFF000000u;
        ASSERT_EQ(table[i], (expected[i] & 0xFFFFFF) | alpha) << i;
    }
}

TEST_F(BmpLoad, BottomUpPlanesKeepTheFilesRowOrder) {
    const BmpSpec spec = FullPaletteBmp(5, 3, 8);
    ASSERT_TRUE(Load(BuildBmp(spec), RSBFormat_P256X8R8G8B8, RSBFormat_X8R8G8B8, CRenderSurfaceBuffer::kPitchBottomUp));
    EXPECT_EQ(plane.GetPitch(), -20);
    // Row 0 of a bottom-up plane is the image's bottom row.
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            ASSERT_EQ(PlanePixel(plane, x, y), ExpectedPixel(RSBFormat_X8R8G8B8, ColourAt(spec, x, 2 - y), 0));
        }
    }
    plane.FlipToTop();
    ExpectImage(spec);
}

TEST_F(BmpLoad, OrientationFlags) {
    const BmpSpec spec = MixedColourBmp(5, 3);
    const std::vector<uint8_t> file = BuildBmp(spec);
    struct Orientation {
        uint8_t swap, mirrorX, mirrorY;
    };
    for (const Orientation o : {Orientation{0, 1, 0}, Orientation{0, 0, 1}, Orientation{1, 0, 0}, Orientation{1, 1, 0},
                                Orientation{1, 0, 1}, Orientation{1, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << int(o.swap) << int(o.mirrorX) << int(o.mirrorY));
        params.swapAxes = o.swap;
        params.mirrorX = o.mirrorX;
        params.mirrorY = o.mirrorY;
        ASSERT_TRUE(Load(file, RSBFormat_R8G8B8, RSBFormat_X8R8G8B8));
        ASSERT_EQ(plane.GetWidth(), o.swap ? 3 : 5);
        ASSERT_EQ(plane.GetHeight(), o.swap ? 5 : 3);
        for (int32_t py = 0; py < plane.GetHeight(); ++py) {
            for (int32_t px = 0; px < plane.GetWidth(); ++px) {
                // Where image pixel (x, y) (top row 0) lands: mirrored in x, in y, then transposed.
                int32_t x = o.swap ? py : px;
                int32_t y = o.swap ? px : py;
                if (o.swap) {
                    if (o.mirrorX) y = 2 - y;
                    if (o.mirrorY) x = 4 - x;
                } else {
                    if (o.mirrorX) x = 4 - x;
                    if (o.mirrorY) y = 2 - y;
                }
                ASSERT_EQ(PlanePixel(plane, px, py), 0xFF000000u | ColourAt(spec, x, y)) << px << "," << py;
            }
        }
    }
}

TEST_F(BmpLoad, PresetPlaneSizeAndFormatMustMatch) {
    const std::vector<uint8_t> file = BuildBmp(FullPaletteBmp(10, 10, 8));
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    params.stream = &stream;
    params.type = CRenderSurfaceLoadParams::kTypeBMP;
    EXPECT_FALSE(plane.Create(RSBFormat_R5G6B5, 12, 0, false, nullptr, &params, 0, 0, nullptr));
    EXPECT_EQ(plane.GetPixels(0), nullptr);
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    ASSERT_TRUE(plane.Create(RSBFormat_R5G6B5, 10, 10, false, nullptr, &params, 0, 0, nullptr));
    EXPECT_EQ(plane.GetPitch(), 20);
    // An explicit pitch with row padding does not suit a loaded image.
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    EXPECT_FALSE(plane.Create(RSBFormat_R5G6B5, 10, 10, false, nullptr, &params, 2, 24, nullptr));
    // No pair of the map for the file's format.
    params.formatMap[0] = {RSBFormat_R8G8B8, RSBFormat_R5G6B5};
    EXPECT_FALSE(Load(file, RSBFormat_R8G8B8, RSBFormat_R5G6B5));
}

TEST_F(BmpLoad, IntoCallersMemory) {
    const BmpSpec spec = FullPaletteBmp(4, 2, 4);
    const std::vector<uint8_t> file = BuildBmp(spec);
    std::vector<uint8_t> memory(8 * 2, 0xEE);
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    params.stream = &stream;
    params.type = CRenderSurfaceLoadParams::kTypeBMP;
    ASSERT_TRUE(plane.Create(RSBFormat_R5G6B5, 4, 2, false, nullptr, &params, 0, 0, memory.data()));
    EXPECT_EQ(plane.GetFlags(), CRenderSurfaceBuffer::kFlagExternal);
    EXPECT_EQ(plane.GetPixels(0), memory.data());
    ExpectImage(spec);
}

TEST_F(BmpLoad, LongInfoHeadersAndGapsBeforeThePixels) {
    BmpSpec spec = FullPaletteBmp(5, 2, 8);
    spec.infoSize = 108;
    spec.gap = 10;
    ASSERT_TRUE(Load(BuildBmp(spec), RSBFormat_P256X8R8G8B8, RSBFormat_R5G6B5));
    ExpectImage(spec);
}

TEST_F(BmpLoad, HostileFilesAreRefusedWithoutOverruns) {
    std::vector<std::vector<uint8_t>> files;
    BmpSpec spec = FullPaletteBmp(5, 2, 8);
    spec.colorsUsed = 1000;
    files.push_back(BuildBmp(spec));
    spec = FullPaletteBmp(5, 2, 4);
    spec.colorsUsed = 17;  // more than 4 bits index
    files.push_back(BuildBmp(spec));
    spec = FullPaletteBmp(5, 2, 8);
    spec.storedHeight = -5;
    files.push_back(BuildBmp(spec));
    BmpSpec wide = MixedColourBmp(1, 1);
    wide.width = 40000;  // a row no 16-bit pitch reaches
    wide.rows.clear();
    files.push_back(BuildBmp(wide));
    spec = FullPaletteBmp(8, 2, 8);
    spec.bitCount = 1;
    spec.palette.resize(2);
    spec.rows.clear();
    files.push_back(BuildBmp(spec));
    spec = FullPaletteBmp(5, 2, 8);
    spec.compression = 1;
    files.push_back(BuildBmp(spec));
    std::vector<uint8_t> truncated = BuildBmp(FullPaletteBmp(9, 9, 8));
    truncated.resize(truncated.size() - 3);
    files.push_back(truncated);
    std::vector<uint8_t> cutPalette = BuildBmp(FullPaletteBmp(9, 9, 8));
    cutPalette.resize(54 + 100);
    files.push_back(cutPalette);
    std::vector<uint8_t> overlap = BuildBmp(FullPaletteBmp(5, 2, 8));
    overlap[10] = 54;  // pixels said to start inside the palette
    overlap[11] = 0;
    files.push_back(overlap);

    for (size_t i = 0; i < files.size(); ++i) {
        AssertCounter counter;
        const uint32_t source = i == 3 ? RSBFormat_R8G8B8 : RSBFormat_P256X8R8G8B8;
        params.formatMap[1] = {RSBFormat_P16X8R8G8B8, RSBFormat_R5G6B5};
        EXPECT_FALSE(Load(files[i], source, RSBFormat_R5G6B5)) << "file " << i;
        EXPECT_EQ(plane.GetPixels(0), nullptr);
        EXPECT_EQ(plane.GetWidth(), 0);
    }
}

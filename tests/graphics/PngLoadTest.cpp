#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CColor.h"
#include "CMemory.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "ImageFileBuilder.h"
#include "PlaneLoadTest.h"

using imagetest::BuildPng;
using imagetest::ExpectedPixel;
using imagetest::PlanePixel;
using imagetest::PngSpec;

namespace {

PngSpec IndexedPng(int32_t width, int32_t height, uint8_t depth, uint32_t colours) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.depth = depth;
    spec.palette = imagetest::TestPalette(colours);
    for (const std::vector<uint32_t>& row : imagetest::TestIndices(width, height, colours)) {
        spec.rows.emplace_back(row.begin(), row.end());
    }
    return spec;
}

uint32_t SourceFormatOf(const PngSpec& spec) {
    return spec.depth == 4 ? RSBFormat_P16X8R8G8B8 : RSBFormat_P256X8R8G8B8;
}

// Offset of the first byte of the named chunk's type in the file.
size_t ChunkAt(const std::vector<uint8_t>& file, const char* type) {
    const auto at = std::search(file.begin(), file.end(), type, type + 4);
    EXPECT_NE(at, file.end());
    return static_cast<size_t>(at - file.begin());
}

class PngLoad : public PlaneLoadTest {
protected:
    bool Load(const std::vector<uint8_t>& file, uint32_t source, uint32_t destination, int32_t pitchMode = 0) {
        Prepare(file, source, destination);
        plane.Release();
        return plane.LoadPNG(scratch, &keptPalette, &params, pitchMode, 0, nullptr);
    }

    void ExpectImage(const PngSpec& spec, uint32_t keyColour = 0xFFFFFFFF) {
        ExpectPlane(spec.width, spec.height, spec.rows, spec.palette, keyColour);
    }

    uint32_t scratch[256];
};

}  // namespace

TEST_F(PngLoad, IndexedImagesIntoEveryPlaneFormat) {
    struct Case {
        uint8_t depth;
        uint32_t destination;
        bool keyed;
    };
    const Case cases[] = {
        {4, RSBFormat_R5G6B5, false},   {4, RSBFormat_X14R6G6B6, false}, {4, RSBFormat_X8R8G8B8, false},
        {4, RSBFormat_A1R5G5B5, true},  {8, RSBFormat_R5G6B5, false},    {8, RSBFormat_X14R6G6B6, false},
        {8, RSBFormat_X8R8G8B8, false}, {8, RSBFormat_A1R5G5B5, true},   {8, RSBFormat_A4R4G4B4, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.depth) << " bits into 0x" << std::hex << c.destination);
        const PngSpec spec = IndexedPng(7, 4, c.depth, c.depth == 4 ? 16 : 200);
        uint32_t keyColour = 0xFFFFFFFF;
        params.colorKeyPresent = c.keyed ? 1 : 0;
        if (c.keyed) {
            keyColour = spec.palette[spec.rows[2][3]];
            params.colorKey = keyColour;
        }
        ASSERT_TRUE(Load(BuildPng(spec), SourceFormatOf(spec), c.destination));
        EXPECT_EQ(plane.GetFormat(), c.destination);
        ExpectImage(spec, keyColour);
    }
}

TEST_F(PngLoad, PaletteKeptWithTransparency) {
    PngSpec spec = IndexedPng(5, 3, 8, 40);
    spec.alphas = {0x10, 0x80};
    ASSERT_TRUE(Load(BuildPng(spec), RSBFormat_P256X8R8G8B8, RSBFormat_P256X8R8G8B8));
    ExpectImage(spec);
    ASSERT_NE(keptPalette, nullptr);
    EXPECT_EQ(keptPalette[0], 0x10000000u | spec.palette[0]);
    EXPECT_EQ(keptPalette[1], 0x80000000u | spec.palette[1]);
    for (uint32_t i = 2; i < 40; ++i) ASSERT_EQ(keptPalette[i], 0xFF000000u | spec.palette[i]);
    for (uint32_t i = 40; i < 256; ++i) ASSERT_EQ(keptPalette[i], 0u);
}

TEST_F(PngLoad, SixteenColourImageWidensToA256ColourPlane) {
    PngSpec spec = IndexedPng(9, 3, 4, 16);
    spec.alphas = std::vector<uint8_t>(20, 0x33);  // longer than the palette: the rest is skipped
    ASSERT_TRUE(Load(BuildPng(spec), RSBFormat_P16X8R8G8B8, RSBFormat_P16X8R8G8B8));
    EXPECT_EQ(plane.GetFormat(), RSBFormat_P256X8R8G8B8);
    ExpectImage(spec);
    EXPECT_EQ(keptPalette[15], 0x33000000u | spec.palette[15]);
}

TEST_F(PngLoad, FilteredScanlinesAreUndone) {
    for (uint8_t depth : {4, 8}) {
        PngSpec spec = IndexedPng(97, 61, depth, depth == 4 ? 16 : 256);
        for (int32_t y = 0; y < spec.height; ++y) spec.filters.push_back(static_cast<uint8_t>(y % 5));
        ASSERT_TRUE(Load(BuildPng(spec), SourceFormatOf(spec), RSBFormat_X8R8G8B8));
        ExpectImage(spec);
    }
}

TEST_F(PngLoad, ACallersPaletteIsUsedAndKeyed) {
    PngSpec spec = IndexedPng(4, 2, 8, 8);
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i) table[i] = i * 0x010203u;
    const std::vector<uint32_t> colours = table;
    uint32_t* callers = table.data();
    params.colorKeyPresent = 1;
    params.colorKey = table[3];
    const std::vector<uint8_t> file = BuildPng(spec);
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    params.stream = &stream;
    params.formatMap[0] = {RSBFormat_P256X8R8G8B8, RSBFormat_A1R5G5B5};
    ASSERT_TRUE(plane.LoadPNG(scratch, &callers, &params, 0, 0, nullptr));
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            const uint32_t index = spec.rows[y][x];
            const uint32_t expected = index == 3 ? 0u : ExpectedPixel(RSBFormat_A1R5G5B5, colours[index], index);
            ASSERT_EQ(PlanePixel(plane, x, y), expected);
        }
    }
    // The file's eight entries made opaque, the key's transparent, the rest untouched.
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t alpha = i >= 8 ? (colours[i] & 0xFF000000u) : (i == 3 ? 0u : 0xFF000000u);
        ASSERT_EQ(table[i], (colours[i] & 0xFFFFFF) | alpha) << i;
    }
}

TEST_F(PngLoad, ExplicitPitchAndPresetSize) {
    const PngSpec spec = IndexedPng(6, 2, 8, 16);
    const std::vector<uint8_t> file = BuildPng(spec);
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    params.stream = &stream;
    params.formatMap[0] = {RSBFormat_P256X8R8G8B8, RSBFormat_R5G6B5};
    ASSERT_TRUE(plane.LoadPNG(scratch, nullptr, &params, CRenderSurfaceBuffer::kPitchExplicit, 12, nullptr));
    ExpectImage(spec);
    plane.Release();
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    EXPECT_FALSE(plane.LoadPNG(scratch, nullptr, &params, CRenderSurfaceBuffer::kPitchExplicit, 16, nullptr));
    // A plane that already owns pixels of the right size is refilled.
    ASSERT_TRUE(plane.Create(RSBFormat_R5G6B5, 6, 2, false, nullptr, nullptr, 0, 0, nullptr));
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    ASSERT_TRUE(plane.LoadPNG(nullptr, nullptr, &params, 0, 0, nullptr));
    ExpectImage(spec);
    ASSERT_TRUE(plane.Create(RSBFormat_R5G6B5, 7, 2, false, nullptr, nullptr, 0, 0, nullptr));
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    EXPECT_FALSE(plane.LoadPNG(scratch, nullptr, &params, 0, 0, nullptr));
}

// 62 KB that would inflate to an 8000 x 8000 image: its plane of 256 MB is
// refused before any memory is taken for it.
TEST_F(PngLoad, ImagesBeyondThePlaneCapAreRefused) {
    const std::vector<uint8_t> small = BuildPng(IndexedPng(6, 5, 8, 16));
    std::vector<uint8_t> file(small.begin(), small.begin() + static_cast<long>(ChunkAt(small, "IDAT")) - 4);
    for (size_t at : {ChunkAt(file, "IHDR") + 4, ChunkAt(file, "IHDR") + 8}) {
        const uint8_t side[4] = {0, 0, 0x1F, 0x40};  // 8000, big-endian
        std::memcpy(&file[at], side, 4);
    }
    imagetest::AppendChunk(&file, "IDAT", std::vector<uint8_t>(8000u * 8001u / 1032u + 1, 0));
    imagetest::AppendChunk(&file, "IEND", {});
    AssertCounter counter;
    EXPECT_FALSE(Load(file, RSBFormat_P256X8R8G8B8, RSBFormat_X8R8G8B8));
    EXPECT_TRUE(counter.Logged("image plane is too large"));
}

TEST_F(PngLoad, MalformedFilesAreRefused) {
    const PngSpec good = IndexedPng(6, 5, 8, 16);
    const std::vector<uint8_t> base = BuildPng(good);
    std::vector<std::pair<const char*, std::vector<uint8_t>>> files;

    std::vector<uint8_t> file = base;
    file[1] = 'Q';
    files.push_back({"signature", file});
    file = base;
    std::memcpy(&file[ChunkAt(file, "IHDR")], "IHDX", 4);
    files.push_back({"first chunk not IHDR", file});
    file = base;
    file[11] = 12;
    files.push_back({"IHDR of length 12", file});
    PngSpec spec = good;
    spec.ancillaryBeforeData = true;
    files.push_back({"gAMA before IDAT", BuildPng(spec)});
    spec = good;
    spec.paletteLengthOverride = 10;
    files.push_back({"PLTE of length 10", BuildPng(spec)});
    spec = good;
    spec.palette = imagetest::TestPalette(300);
    files.push_back({"300 palette entries", BuildPng(spec)});
    spec = good;
    spec.colorType = 2;
    files.push_back({"truecolour", BuildPng(spec)});
    spec = good;
    spec.interlace = 1;
    files.push_back({"interlaced", BuildPng(spec)});
    spec = IndexedPng(8, 2, 2, 4);
    files.push_back({"2-bit depth", BuildPng(spec)});
    spec = good;
    spec.width = 0;
    spec.rows.assign(5, {});
    files.push_back({"width 0", BuildPng(spec)});
    spec = good;
    spec.filters = {0, 1, 7, 0, 0};
    files.push_back({"filter type 7", BuildPng(spec)});
    spec = good;
    spec.rows.resize(3);  // fewer scanlines than the header's height
    spec.height = 5;
    files.push_back({"short image data", BuildPng(spec)});
    file = base;
    file[ChunkAt(file, "IDAT") + 4] ^= 0xFF;  // zlib header
    files.push_back({"broken zlib header", file});
    file = base;
    file.resize(ChunkAt(base, "IDAT") + 10);
    files.push_back({"cut inside IDAT", file});
    file = base;
    file.resize(ChunkAt(base, "PLTE") + 20);
    files.push_back({"cut inside PLTE", file});
    file = base;
    file.erase(file.begin() + static_cast<long>(ChunkAt(base, "PLTE")) - 4,
               file.begin() + static_cast<long>(ChunkAt(base, "IDAT")) - 4);
    files.push_back({"no PLTE", file});

    for (const auto& [what, bytes] : files) {
        AssertCounter counter;
        EXPECT_FALSE(Load(bytes, RSBFormat_P256X8R8G8B8, RSBFormat_X8R8G8B8)) << what;
    }
}

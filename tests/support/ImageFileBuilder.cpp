#include "ImageFileBuilder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "BlitTable.h"
#include "CBlitUtil.h"
#include "CColor.h"
#include "CRenderSurfaceBuffer.h"
#include "CSingleton.h"

namespace imagetest {

namespace {

void Le16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void Le32(std::vector<uint8_t>* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Be32(std::vector<uint8_t>* out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One row of indices packed at `depth` bits, most significant first.
std::vector<uint8_t> PackIndices(const std::vector<uint32_t>& row, uint32_t depth, size_t bytes) {
    std::vector<uint8_t> packed(bytes, 0);
    for (size_t x = 0; x < row.size(); ++x) {
        const size_t bit = x * depth;
        packed[bit / 8] = static_cast<uint8_t>(packed[bit / 8] | row[x] << (8 - depth - bit % 8));
    }
    return packed;
}

int32_t Paeth(int32_t a, int32_t b, int32_t c) {
    const int32_t p = a + b - c;
    const int32_t pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Applies the PNG filter to a raw row (encoder side).
std::vector<uint8_t> Filter(uint8_t type, const std::vector<uint8_t>& raw, const std::vector<uint8_t>& prior) {
    std::vector<uint8_t> out(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const int32_t a = i > 0 ? raw[i - 1] : 0;
        const int32_t b = prior[i];
        const int32_t c = i > 0 ? prior[i - 1] : 0;
        int32_t predicted = 0;
        if (type == 1) predicted = a;
        if (type == 2) predicted = b;
        if (type == 3) predicted = (a + b) / 2;
        if (type == 4) predicted = Paeth(a, b, c);
        out[i] = static_cast<uint8_t>(raw[i] - predicted);
    }
    return out;
}

}  // namespace

std::vector<uint8_t> BuildBmp(const BmpSpec& spec) {
    const uint32_t rowBytes = ((static_cast<uint32_t>(spec.width) * spec.bitCount + 31) / 32) * 4;
    const uint32_t paletteBytes = static_cast<uint32_t>(spec.palette.size()) * 4;
    const uint32_t pixelOffset = 14 + spec.infoSize + paletteBytes + spec.gap;
    const uint32_t fileSize = pixelOffset + rowBytes * static_cast<uint32_t>(spec.rows.size());
    std::vector<uint8_t> out = {'B', 'M'};
    Le32(&out, fileSize);
    Le32(&out, 0);
    Le32(&out, pixelOffset);
    Le32(&out, spec.infoSize);
    Le32(&out, static_cast<uint32_t>(spec.width));
    Le32(&out, static_cast<uint32_t>(spec.storedHeight != 0 ? spec.storedHeight : spec.height));
    Le16(&out, 1);
    Le16(&out, spec.bitCount);
    Le32(&out, spec.compression);
    Le32(&out, rowBytes * static_cast<uint32_t>(spec.height));
    Le32(&out, 2835);
    Le32(&out, 2835);
    Le32(&out, static_cast<uint32_t>(spec.colorsUsed.value_or(static_cast<int32_t>(spec.palette.size()))));
    Le32(&out, 0);
    if (spec.infoSize > 40) out.resize(out.size() + (spec.infoSize - 40), 0);
    for (uint32_t colour : spec.palette) Le32(&out, colour & 0xFFFFFF);
    out.resize(out.size() + spec.gap, 0xA5);
    // Rows bottom-up, padded to 4 bytes.
    for (size_t i = spec.rows.size(); i-- > 0;) {
        const std::vector<uint32_t>& row = spec.rows[i];
        std::vector<uint8_t> bytes;
        if (spec.bitCount == 24) {
            for (uint32_t rgb : row) {
                bytes.push_back(static_cast<uint8_t>(rgb));
                bytes.push_back(static_cast<uint8_t>(rgb >> 8));
                bytes.push_back(static_cast<uint8_t>(rgb >> 16));
            }
            bytes.resize(rowBytes, 0xCD);
        } else if (spec.bitCount == 16) {
            for (uint32_t value : row) Le16(&bytes, value);
            bytes.resize(rowBytes, 0xCD);
        } else if (spec.bitCount <= 8) {
            bytes = PackIndices(row, spec.bitCount, rowBytes);
        } else {
            bytes.assign(rowBytes, 0);
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

BmpSpec IndexedBmp(int32_t width, int32_t height, uint16_t bitCount, uint32_t colours) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitCount = bitCount;
    spec.palette = TestPalette(colours);
    spec.rows = TestIndices(width, height, colours);
    return spec;
}

BmpSpec TrueColourBmp(int32_t width, int32_t height, uint32_t (*rgbAt)(int32_t x, int32_t y)) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitCount = 24;
    for (int32_t y = 0; y < height; ++y) {
        spec.rows.emplace_back();
        for (int32_t x = 0; x < width; ++x) spec.rows.back().push_back(rgbAt(x, y));
    }
    return spec;
}

void AppendChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& body) {
    Be32(out, static_cast<uint32_t>(body.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), body.begin(), body.end());
    const uLong crc = crc32(0, out->data() + start, static_cast<uInt>(out->size() - start));
    Be32(out, static_cast<uint32_t>(crc));
}

std::vector<uint8_t> PngScanlines(const PngSpec& spec) {
    const size_t rowBytes = (static_cast<size_t>(spec.width) * spec.depth + 7) / 8;
    std::vector<uint8_t> out;
    std::vector<uint8_t> prior(rowBytes, 0);
    for (size_t y = 0; y < spec.rows.size(); ++y) {
        const std::vector<uint32_t> indices(spec.rows[y].begin(), spec.rows[y].end());
        const std::vector<uint8_t> raw = PackIndices(indices, spec.depth, rowBytes);
        const uint8_t type = y < spec.filters.size() ? spec.filters[y] : 0;
        out.push_back(type);
        const std::vector<uint8_t> filtered = Filter(type, raw, prior);
        out.insert(out.end(), filtered.begin(), filtered.end());
        prior = raw;
    }
    return out;
}

std::vector<uint8_t> BuildPng(const PngSpec& spec) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    Be32(&ihdr, static_cast<uint32_t>(spec.width));
    Be32(&ihdr, static_cast<uint32_t>(spec.height));
    ihdr.insert(ihdr.end(), {spec.depth, spec.colorType, 0, 0, spec.interlace});
    AppendChunk(&out, "IHDR", ihdr);
    std::vector<uint8_t> plte;
    for (uint32_t rgb : spec.palette) {
        plte.insert(plte.end(),
                    {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)});
    }
    AppendChunk(&out, "PLTE", plte);
    if (spec.paletteLengthOverride != 0) {
        const size_t at = 8 + 25;  // signature and IHDR chunk
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(spec.paletteLengthOverride >> (8 * (3 - i)));
    }
    if (!spec.alphas.empty()) AppendChunk(&out, "tRNS", spec.alphas);
    if (spec.ancillaryBeforeData) AppendChunk(&out, "gAMA", {0, 0, 0xB1, 0x8F});
    const std::vector<uint8_t> scanlines = PngScanlines(spec);
    uLongf packedSize = compressBound(static_cast<uLong>(scanlines.size()));
    std::vector<uint8_t> packed(packedSize);
    EXPECT_EQ(compress(packed.data(), &packedSize, scanlines.data(), static_cast<uLong>(scanlines.size())), Z_OK);
    packed.resize(packedSize);
    AppendChunk(&out, "IDAT", packed);
    AppendChunk(&out, "IEND", {});
    return out;
}

std::vector<uint32_t> TestPalette(uint32_t count) {
    std::vector<uint32_t> palette(count);
    for (uint32_t i = 0; i < count; ++i) {
        palette[i] = ((i * 37 + 200) & 0xFF) << 16 | ((i * 91 + 13) & 0xFF) << 8 | ((i * 53 + 7) & 0xFF);
    }
    return palette;
}

std::vector<std::vector<uint32_t>> TestIndices(int32_t width, int32_t height, uint32_t count) {
    std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            rows[static_cast<size_t>(y)].push_back(static_cast<uint32_t>(x * 3 + y * width * 3 + y) % count);
        }
    }
    return rows;
}

std::vector<uint8_t> BuildAttributePairs(const AttributePairs& pairs) {
    std::vector<uint8_t> out;
    for (const auto& [attribute, value] : pairs) {
        Le32(&out, attribute);
        Le32(&out, value);
    }
    return out;
}

uint32_t PlanePixel(const CRenderSurfaceBuffer& plane, int32_t x, int32_t y) {
    const uint32_t bytes = plane.GetFormat() & 0x1F;
    const uint8_t* p = static_cast<const uint8_t*>(plane.GetPixels(0)) + static_cast<intptr_t>(y) * plane.GetPitch() +
                       static_cast<intptr_t>(x) * bytes;
    uint32_t value = 0;
    for (uint32_t i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
    return value;
}

uint32_t ExpectedPixel(uint32_t format, uint32_t rgb, uint32_t index) {
    const uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    switch (format) {
        case RSBFormat_R5G6B5: return (r / 8) * 2048 + (g / 4) * 32 + b / 8;
        case RSBFormat_A1R5G5B5: return 0x8000 + (r / 8) * 1024 + (g / 8) * 32 + b / 8;
        case RSBFormat_A4R4G4B4: return 0xF000 + (r / 16) * 256 + (g / 16) * 16 + b / 16;
        case RSBFormat_X14R6G6B6: return (r / 4) * 4096 + (g / 4) * 64 + b / 4;
        case RSBFormat_X8R8G8B8: return 0xFF000000u + rgb;
        case RSBFormat_P256X8R8G8B8:
        case RSBFormat_P256A8R8G8B8: return index;
        default: ADD_FAILURE() << "no expectation for format " << format; return 0;
    }
}

BlitRegistryScope::BlitRegistryScope() {
    EXPECT_TRUE(m_singletons.Init(8, 8, true));
    CSingleton::SetTable(&m_singletons);
    RegisterBlitTable();
}

BlitRegistryScope::~BlitRegistryScope() {
    delete CBlitUtil::GetInstance();
    CSingleton::SetTable(nullptr);
}

}  // namespace imagetest

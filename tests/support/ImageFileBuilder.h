#ifndef IMAGEFILEBUILDER_H
#define IMAGEFILEBUILDER_H

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "CHash.h"

class CRenderSurfaceBuffer;

// Builders of small BMP and PNG files and image resource bodies for the
// image-loader and renderer tests, written from the file formats, plus a
// scope that provides the blit registry.
namespace imagetest {

struct BmpSpec {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 8;
    std::vector<uint32_t> palette;            // 0x00RRGGBB, stored blue, green, red, 0
    std::vector<std::vector<uint32_t>> rows;  // top row first: indices, 16-bit words, or 0xRRGGBB at 24 bits
    std::optional<int32_t> colorsUsed;        // none: the palette's size
    uint32_t infoSize = 40;                   // stated size; bytes beyond 40 are zeros
    uint32_t gap = 0;                         // bytes between palette and pixels
    uint32_t compression = 0;
    int32_t storedHeight = 0;  // 0: `height`; else written instead (e.g. negative)
};

std::vector<uint8_t> BuildBmp(const BmpSpec& spec);
// An indexed image: the palette TestPalette(colours), the pixels TestIndices.
BmpSpec IndexedBmp(int32_t width, int32_t height, uint16_t bitCount, uint32_t colours);
// A 24-bit image whose pixel (x, y), top row 0, is rgbAt(x, y).
BmpSpec TrueColourBmp(int32_t width, int32_t height, uint32_t (*rgbAt)(int32_t x, int32_t y));

struct PngSpec {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t depth = 8;
    uint8_t colorType = 3;
    uint8_t interlace = 0;
    std::vector<uint32_t> palette;           // 0xRRGGBB
    std::vector<uint8_t> alphas;             // tRNS body; empty: no tRNS chunk
    std::vector<std::vector<uint8_t>> rows;  // indices
    std::vector<uint8_t> filters;            // per row; empty: all 0
    bool ancillaryBeforeData = false;        // a gAMA chunk just before IDAT
    uint32_t paletteLengthOverride = 0;      // written as PLTE's length when non-zero
};

std::vector<uint8_t> BuildPng(const PngSpec& spec);
// The scanlines (filter byte + packed indices, filters applied) of the image.
std::vector<uint8_t> PngScanlines(const PngSpec& spec);
// A PNG chunk with its CRC.
void AppendChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& body);

// A palette of `count` distinct colours (0xRRGGBB) and an index pattern
// that uses all of them.
std::vector<uint32_t> TestPalette(uint32_t count);
std::vector<std::vector<uint32_t>> TestIndices(int32_t width, int32_t height, uint32_t count);

// The body of an image resource: (attribute, value) pairs, each word
// little-endian.
using AttributePairs = std::vector<std::pair<uint32_t, uint32_t>>;
std::vector<uint8_t> BuildAttributePairs(const AttributePairs& pairs);

// The stored value of pixel (x, y) of a plane: 1, 2 or 4 bytes, little-endian.
uint32_t PlanePixel(const CRenderSurfaceBuffer& plane, int32_t x, int32_t y);
// What a decoder writes for colour 0xRRGGBB (palette index `index`) into a
// plane of `format`.
uint32_t ExpectedPixel(uint32_t format, uint32_t rgb, uint32_t index);

// Publishes a singleton table holding the blit registry with the standard
// blitter set for the scope's life.
class BlitRegistryScope {
public:
    BlitRegistryScope();
    ~BlitRegistryScope();

    BlitRegistryScope(const BlitRegistryScope&) = delete;
    BlitRegistryScope& operator=(const BlitRegistryScope&) = delete;

private:
    CHash m_singletons;
};

}  // namespace imagetest

#endif

#ifndef BITMAPFILE_H
#define BITMAPFILE_H

#include "Raster.h"

#include <cstdint>
#include <string>
#include <vector>

// What the engine's BMP reader needs to know of a file, and the colours its
// pixels use.
struct BitmapInfo {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    // Every colour a pixel uses, 0xRRGGBB.
    std::vector<uint32_t> usedColours;
};

// Windows bitmaps as the engine loads them: a 14-byte file header, a 40-byte
// info header, a full palette, bottom-up rows padded to four bytes, no
// compression.
class BitmapFile {
public:
    static constexpr uint32_t kFileHeaderBytes = 14;
    static constexpr uint32_t kInfoHeaderBytes = 40;

    // 8-bit with a 256-entry palette when the picture has at most 256
    // colours, else 24-bit. Palette order is by colour value, so the same
    // picture always gives the same bytes.
    static std::vector<uint8_t> Encode(const Raster& raster);

    // Checks a file against the engine's reader: 4, 8 or 24 bits, 40-byte
    // info header, bottom-up, uncompressed, full palette right behind the
    // headers, rows inside the file, every index inside the palette.
    static bool Inspect(const std::vector<uint8_t>& bytes, BitmapInfo& info, std::string& error);

    // True for a colour that the colour key of a 16-bit display would make
    // transparent (pure magenta and its 5-6-5 neighbours).
    static bool IsKeyed(uint32_t colour);

private:
    static uint32_t RowBytes(int32_t width, uint16_t bitCount);
};

#endif

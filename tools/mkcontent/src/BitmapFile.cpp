#include "BitmapFile.h"

#include "LittleEndianReader.h"
#include "LittleEndianWriter.h"

#include <algorithm>
#include <set>

namespace {

constexpr uint32_t kPaletteEntries = 256;

uint32_t PixelIndex(const uint8_t* row, int32_t x, uint16_t bitCount) {
    if (bitCount == 8) return row[x];
    const uint8_t pair = row[x / 2];
    return (x % 2 == 0) ? pair >> 4 : pair & 0x0F;
}

bool Refuse(const char* reason, std::string& error) {
    error = reason;
    return false;
}

uint32_t TrueColourAt(const uint8_t* row, int32_t x) {
    const uint8_t* pixel = row + 3 * x;
    return static_cast<uint32_t>(pixel[2]) << 16 | static_cast<uint32_t>(pixel[1]) << 8 | pixel[0];
}

}  // namespace

uint32_t BitmapFile::RowBytes(int32_t width, uint16_t bitCount) {
    const uint32_t bits = static_cast<uint32_t>(width) * bitCount;
    return (bits + 31) / 32 * 4;
}

bool BitmapFile::IsKeyed(uint32_t colour) {
    const uint32_t red = colour >> 16 & 0xFF;
    const uint32_t green = colour >> 8 & 0xFF;
    const uint32_t blue = colour & 0xFF;
    return red >= 248 && green < 4 && blue >= 248;
}

std::vector<uint8_t> BitmapFile::Encode(const Raster& raster) {
    const std::set<uint32_t> colours(raster.Pixels().begin(), raster.Pixels().end());
    const bool paletted = colours.size() <= kPaletteEntries;
    const uint16_t bitCount = paletted ? 8 : 24;
    const std::vector<uint32_t> palette(colours.begin(), colours.end());
    const uint32_t paletteBytes = paletted ? kPaletteEntries * 4 : 0;
    const uint32_t rowBytes = RowBytes(raster.Width(), bitCount);
    const uint32_t pixelOffset = kFileHeaderBytes + kInfoHeaderBytes + paletteBytes;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(raster.Height());

    std::vector<uint8_t> out;
    LittleEndianWriter writer(out);
    writer.U8('B');
    writer.U8('M');
    writer.U32(pixelOffset + imageBytes);
    writer.U32(0);
    writer.U32(pixelOffset);
    writer.U32(kInfoHeaderBytes);
    writer.U32(static_cast<uint32_t>(raster.Width()));
    writer.U32(static_cast<uint32_t>(raster.Height()));
    writer.U16(1);
    writer.U16(bitCount);
    writer.U32(0);
    writer.U32(imageBytes);
    writer.U32(2835);  // 72 dpi
    writer.U32(2835);
    writer.U32(0);
    writer.U32(0);
    if (paletted) {
        for (uint32_t i = 0; i < kPaletteEntries; ++i) writer.U32(i < palette.size() ? palette[i] : 0);
    }
    for (int32_t y = raster.Height() - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int32_t x = 0; x < raster.Width(); ++x) {
            const uint32_t colour = raster.At(x, y);
            if (paletted) {
                const auto found = std::lower_bound(palette.begin(), palette.end(), colour);
                writer.U8(static_cast<uint8_t>(found - palette.begin()));
            } else {
                writer.U8(static_cast<uint8_t>(colour));
                writer.U8(static_cast<uint8_t>(colour >> 8));
                writer.U8(static_cast<uint8_t>(colour >> 16));
            }
        }
        writer.Zeros(rowBytes - (out.size() - rowStart));
    }
    return out;
}

bool BitmapFile::Inspect(const std::vector<uint8_t>& bytes, BitmapInfo& info, std::string& error) {
    LittleEndianReader reader(bytes.data(), bytes.size());
    const uint8_t b = reader.U8();
    const uint8_t m = reader.U8();
    const uint32_t fileSize = reader.U32();
    reader.Skip(4);
    const uint32_t pixelOffset = reader.U32();
    const uint32_t infoSize = reader.U32();
    const int32_t width = static_cast<int32_t>(reader.U32());
    const int32_t height = static_cast<int32_t>(reader.U32());
    const uint16_t planes = reader.U16();
    const uint16_t bitCount = reader.U16();
    const uint32_t compression = reader.U32();
    reader.Skip(12);
    const uint32_t coloursUsed = reader.U32();
    if (!reader.Ok() || b != 'B' || m != 'M') return Refuse("not a bitmap file", error);
    if (fileSize == 0) return Refuse("the bitmap's file size is 0", error);
    if (infoSize != kInfoHeaderBytes) return Refuse("the bitmap's info header is not 40 bytes", error);
    if (width <= 0 || height <= 0) return Refuse("the bitmap is not stored bottom-up with a positive size", error);
    if (planes != 1 || compression != 0) return Refuse("the bitmap is compressed or has several planes", error);
    if (bitCount != 4 && bitCount != 8 && bitCount != 24) return Refuse("the bitmap is not 4, 8 or 24 bits deep", error);
    const uint32_t paletteEntries = bitCount == 24 ? 0 : 1u << bitCount;
    if (bitCount != 24 && coloursUsed != 0 && coloursUsed != paletteEntries) {
        return Refuse("the bitmap's palette is not full", error);
    }
    if (pixelOffset != kFileHeaderBytes + kInfoHeaderBytes + paletteEntries * 4) {
        return Refuse("the bitmap's pixels do not follow its palette", error);
    }
    const uint64_t rows = static_cast<uint64_t>(RowBytes(width, bitCount)) * static_cast<uint64_t>(height);
    if (pixelOffset + rows > bytes.size()) return Refuse("the bitmap's rows run past its end", error);

    std::vector<uint32_t> palette(paletteEntries);
    reader.Seek(kFileHeaderBytes + kInfoHeaderBytes);
    for (uint32_t& entry : palette) entry = reader.U32() & 0xFFFFFF;
    std::set<uint32_t> used;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = bytes.data() + pixelOffset + static_cast<size_t>(y) * RowBytes(width, bitCount);
        for (int32_t x = 0; x < width; ++x) {
            used.insert(bitCount == 24 ? TrueColourAt(row, x) : palette[PixelIndex(row, x, bitCount)]);
        }
    }
    info.width = width;
    info.height = height;
    info.bitCount = bitCount;
    info.usedColours.assign(used.begin(), used.end());
    return true;
}

#include "SpriteBitmapWriter.h"

#include "LittleEndianWriter.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint16_t kPlanes = 1;
constexpr uint16_t kBitCount = 8;

uint32_t RowBytes(int32_t width) { return (static_cast<uint32_t>(width) + 3u) & ~3u; }

}  // namespace

bool SpriteBitmapWriter::EncodeIndexed(int32_t width, int32_t height, const std::vector<uint32_t>& palette,
                                       const std::vector<uint8_t>& indices, std::vector<uint8_t>* bytes,
                                       std::string* error) {
    if (width <= 0 || height <= 0 || indices.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        *error = "the picture is empty or its pixels do not fill it";
        return false;
    }
    if (palette.empty() || palette.size() > kMaxColours) {
        *error = "a palette of " + std::to_string(palette.size()) + " colours";
        return false;
    }
    for (uint8_t index : indices) {
        if (index >= palette.size()) {
            *error = "pixel index " + std::to_string(index) + " outside the palette";
            return false;
        }
    }
    const uint32_t paletteBytes = static_cast<uint32_t>(palette.size()) * 4;
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;
    const uint32_t pixelBytes = RowBytes(width) * static_cast<uint32_t>(height);
    bytes->clear();
    LittleEndianWriter out(*bytes);
    out.U8('B');
    out.U8('M');
    out.U32(pixelOffset + pixelBytes);
    out.U32(0);
    out.U32(pixelOffset);
    out.U32(kInfoHeaderSize);
    out.U32(static_cast<uint32_t>(width));
    out.U32(static_cast<uint32_t>(height));
    out.U16(kPlanes);
    out.U16(kBitCount);
    out.U32(0);  // no compression
    out.U32(pixelBytes);
    out.U32(0);
    out.U32(0);
    out.U32(static_cast<uint32_t>(palette.size()));
    out.U32(0);
    for (uint32_t rgb : palette) out.U32(rgb & 0xFFFFFF);
    for (int32_t y = height - 1; y >= 0; --y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int32_t x = 0; x < width; ++x) out.U8(indices[row + static_cast<size_t>(x)]);
        out.Zeros(RowBytes(width) - static_cast<uint32_t>(width));
    }
    return true;
}

#include <algorithm>
#include <cstring>

#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"

namespace {

// One axis of a copy: start positions in both planes and the length, cut to
// what lies inside both. False when nothing is left.
bool ClipCopyAxis(int64_t& src, int64_t& dst, int64_t& length, int64_t srcSize, int64_t dstSize) {
    const int64_t before = std::max(-src, -dst);
    if (before > 0) {
        src += before;
        dst += before;
        length -= before;
    }
    length = std::min({length, srcSize - src, dstSize - dst});
    return length > 0;
}

}  // namespace

bool GetBufferPixel(const BufferTable& table, int32_t slot, int32_t x, int32_t y, ArgbPixel* out) {
    const BufferRecord* record = BufferSlots::Of(table).UsedSlot(slot);
    const uint8_t* pixel = record != nullptr ? record->PixelAt(x, y) : nullptr;
    return pixel != nullptr && UnpackPixel(pixel, record->format, out);
}

void PutBufferPixel(BufferTable& table, int32_t slot, int32_t x, int32_t y, ArgbPixel colour) {
    const BufferRecord* record = BufferSlots::Of(table).UsedSlot(slot);
    uint8_t* pixel = record != nullptr ? record->PixelAt(x, y) : nullptr;
    if (pixel != nullptr) PackPixel(pixel, record->format, colour);
}

void FillBufferRect(BufferTable& table, int32_t slot, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t a,
                    int32_t r, int32_t g, int32_t b) {
    const BufferRecord* record = BufferSlots::Of(table).UsedSlot(slot);
    if (record == nullptr) return;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, record->width);
    y1 = std::min(y1, record->height);
    uint8_t value[kMaxPixelBytes];
    if (x1 <= x0 || y1 <= y0 || !PackSolidPixel(value, record->format, a, r, g, b)) return;
    // The far corner inside the block means every row between is too.
    if (record->PixelAt(x1 - 1, y1 - 1) == nullptr) return;
    const size_t bpp = static_cast<size_t>(record->BytesPerPixel());
    uint8_t* firstRow = record->PixelAt(x0, y0);
    for (int32_t x = x0; x < x1; ++x) std::memcpy(firstRow + static_cast<size_t>(x - x0) * bpp, value, bpp);
    const size_t rowBytes = static_cast<size_t>(x1 - x0) * bpp;
    for (int32_t y = y0 + 1; y < y1; ++y) std::memcpy(record->PixelAt(x0, y), firstRow, rowBytes);
}

void CopyBufferRect(BufferTable& table, int32_t dstSlot, int32_t srcSlot, int32_t srcX, int32_t srcY, int32_t w,
                    int32_t h, int32_t dstX, int32_t dstY) {
    const BufferRecord* src = BufferSlots::Of(table).UsedSlot(srcSlot);
    const BufferRecord* dst = BufferSlots::Of(table).UsedSlot(dstSlot);
    if (src == nullptr || dst == nullptr) return;
    int64_t sx = srcX, sy = srcY, dx = dstX, dy = dstY;
    int64_t width = w < 0 ? src->width : w;
    int64_t height = h < 0 ? src->height : h;
    if (!ClipCopyAxis(sx, dx, width, src->width, dst->width) ||
        !ClipCopyAxis(sy, dy, height, src->height, dst->height)) {
        return;
    }
    for (int64_t row = 0; row < height; ++row) {
        for (int64_t column = 0; column < width; ++column) {
            const uint8_t* from = src->PixelAt(static_cast<int32_t>(sx + column), static_cast<int32_t>(sy + row));
            uint8_t* to = dst->PixelAt(static_cast<int32_t>(dx + column), static_cast<int32_t>(dy + row));
            ArgbPixel colour;
            if (from == nullptr || to == nullptr || !UnpackPixel(from, src->format, &colour) ||
                !PackPixel(to, dst->format, colour)) {
                return;
            }
        }
    }
}

#include <algorithm>
#include <cstring>
#include <span>

#include "CColor.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"

namespace {

constexpr int32_t kLargestLog2 = 10;
// Every mip level takes at least a word.
constexpr uint64_t kSmallestLevel = 4;

uint64_t LevelBytes(const BufferRecord& record, int32_t level) {
    const uint64_t w = static_cast<uint64_t>(std::max(1, record.width >> level));
    const uint64_t h = static_cast<uint64_t>(std::max(1, record.height >> level));
    return std::max(kSmallestLevel, w * h * static_cast<uint64_t>(record.BytesPerPixel()));
}

uint64_t Level0Bytes(const BufferRecord& record) {
    return uint64_t(uint32_t(record.width)) * uint32_t(record.height) * uint32_t(record.BytesPerPixel());
}

// The format a level's pixels are averaged as: x8r8g8b8 has the layout of
// a8r8g8b8 and r4g4b4 that of a4r4g4b4, their unused bits averaged with the
// rest, so the levels keep them as level 0 has them (a fill leaves them 0).
uint32_t AveragedFormat(uint32_t format) {
    switch (format) {
        case RSBFormat_X8R8G8B8: return RSBFormat_A8R8G8B8;
        case RSBFormat_R4G4B4: return RSBFormat_A4R4G4B4;
        default: return format;
    }
}

// The channel-wise mean of `count` pixels (2 or 4) written to `to`; a
// format whose pixels have no channels to average (palette indices) keeps
// the first pixel.
void AveragePixels(const uint8_t* const* from, int32_t count, uint8_t* to, uint32_t format, size_t bpp) {
    uint32_t sum[4] = {0, 0, 0, 0};
    for (int32_t i = 0; i < count; ++i) {
        ArgbPixel pixel;
        if (!UnpackPixel(from[i], format, &pixel)) {
            std::memcpy(to, from[0], bpp);
            return;
        }
        sum[0] += pixel.a;
        sum[1] += pixel.r;
        sum[2] += pixel.g;
        sum[3] += pixel.b;
    }
    const int32_t shift = count == 4 ? 2 : 1;
    PackPixel(to, format,
              {uint8_t(sum[0] >> shift), uint8_t(sum[1] >> shift), uint8_t(sum[2] >> shift), uint8_t(sum[3] >> shift)});
}

// Level L + 1 from level L (w x h pixels), destination pixels in order.
void Downsample(const uint8_t* src, int32_t w, int32_t h, uint8_t* dst, uint32_t format, size_t bpp) {
    auto at = [&](int32_t x, int32_t y) { return src + (static_cast<size_t>(y) * w + x) * bpp; };
    if (w == 1 && h == 1) {
        std::memcpy(dst, src, bpp);
    } else if (h == 1 || w == 1) {
        // Pairs of neighbours along the one side longer than a pixel.
        const int32_t pairs = (h == 1 ? w : h) / 2;
        for (int32_t i = 0; i < pairs; ++i, dst += bpp) {
            const uint8_t* pair[2] = {h == 1 ? at(2 * i, 0) : at(0, 2 * i),
                                      h == 1 ? at(2 * i + 1, 0) : at(0, 2 * i + 1)};
            AveragePixels(pair, 2, dst, format, bpp);
        }
    } else {
        for (int32_t y = 0; y + 1 < h; y += 2) {
            for (int32_t x = 0; x + 1 < w; x += 2, dst += bpp) {
                const uint8_t* quad[4] = {at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y + 1)};
                AveragePixels(quad, 4, dst, format, bpp);
            }
        }
    }
}

// The record's level 0 is readable as width x height pixels.
bool HoldsLevel0(const BufferRecord& record) { return Level0Bytes(record) <= record.blockBytes; }

// Level 0 of the slot (one in use) with rows of `dstStride` pixels from
// rows of `srcStride` pixels, every byte copied; false when the block
// cannot be had.
bool Restride(BufferSlots& slots, int32_t slot, int32_t srcStride, int32_t dstStride, int32_t miptype) {
    const BufferRecord& record = *slots.UsedSlot(slot);
    const size_t bpp = static_cast<size_t>(record.BytesPerPixel());
    const uint64_t rows = static_cast<uint64_t>(record.height);
    const PixelBlock block = BufferSlots::NewPixelBlock(rows * static_cast<uint64_t>(dstStride) * bpp);
    if (block.data == nullptr) return false;
    const size_t rowBytes = static_cast<size_t>(record.width) * bpp;
    for (uint64_t y = 0; y < rows; ++y) {
        std::memcpy(block.data + y * static_cast<size_t>(dstStride) * bpp,
                    record.levels[0] + y * static_cast<size_t>(srcStride) * bpp, rowBytes);
    }
    slots.AdoptBlock(slot, block);
    slots.SetStorage(slot, miptype, 0, {});
    return true;
}

bool HoldsWideRows(const BufferRecord& record) { return 2 * Level0Bytes(record) <= record.blockBytes; }

}  // namespace

int32_t Log2Exact(uint32_t n) {
    for (int32_t bits = 0; bits <= kLargestLog2; ++bits) {
        if (n == uint32_t{1} << bits) return bits;
    }
    return 0;
}

void BuildMipChain(BufferTable& table, int32_t slot) {
    BufferSlots& slots = BufferSlots::Of(table);
    const BufferRecord* record = slots.UsedSlot(slot);
    if (record == nullptr || record->miptype == kBufferMipChain) return;
    CompactWideBuffer(table, slot);
    if (record->miptype != kBufferLevel0Only || record->width == 0 || record->height == 0 || !HoldsLevel0(*record)) {
        return;
    }
    const int32_t maxD = std::max(Log2Exact(uint32_t(record->width)), Log2Exact(uint32_t(record->height)));
    uint64_t offsets[kLargestLog2 + 2] = {0};
    for (int32_t level = 0; level <= maxD; ++level) offsets[level + 1] = offsets[level] + LevelBytes(*record, level);
    const PixelBlock block = BufferSlots::NewPixelBlock(offsets[maxD + 1]);
    if (block.data == nullptr) return;
    std::memcpy(block.data, record->levels[0], static_cast<size_t>(Level0Bytes(*record)));
    slots.AdoptBlock(slot, block);
    slots.SetStorage(slot, kBufferMipChain, maxD, std::span<const uint64_t>(offsets, static_cast<size_t>(maxD) + 1));
    const size_t bpp = static_cast<size_t>(record->BytesPerPixel());
    for (int32_t level = 0; level < maxD; ++level) {
        Downsample(block.data + offsets[level], std::max(1, record->width >> level),
                   std::max(1, record->height >> level), block.data + offsets[level + 1],
                   AveragedFormat(record->format), bpp);
    }
}

void FlattenBuffer(BufferTable& table, int32_t slot) {
    BufferSlots& slots = BufferSlots::Of(table);
    const BufferRecord* record = slots.UsedSlot(slot);
    if (record == nullptr) return;
    if (record->miptype == kBufferWideRows) {
        CompactWideBuffer(table, slot);
    } else if (record->miptype == kBufferMipChain && HoldsLevel0(*record)) {
        Restride(slots, slot, record->width, record->width, kBufferLevel0Only);
    }
}

void SetBufferWideLayout(BufferTable& table, int32_t slot) {
    BufferSlots& slots = BufferSlots::Of(table);
    const BufferRecord* record = slots.UsedSlot(slot);
    if (record == nullptr || record->miptype == kBufferWideRows) return;
    FlattenBuffer(table, slot);
    if (record->miptype == kBufferLevel0Only && HoldsLevel0(*record)) {
        Restride(slots, slot, record->width, 2 * record->width, kBufferWideRows);
    }
}

void CompactWideBuffer(BufferTable& table, int32_t slot) {
    BufferSlots& slots = BufferSlots::Of(table);
    const BufferRecord* record = slots.UsedSlot(slot);
    if (record == nullptr) return;
    if (record->miptype == kBufferMipChain) {
        FlattenBuffer(table, slot);
    } else if (record->miptype == kBufferWideRows && HoldsWideRows(*record)) {
        Restride(slots, slot, 2 * record->width, record->width, kBufferLevel0Only);
    }
}

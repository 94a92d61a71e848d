#include "MGLTextureUnit.h"

#include "CAssert.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"

namespace {

constexpr uint32_t kBytesPerPixelMask = 31;
constexpr uint32_t kChannelMask = 0x700;
constexpr uint32_t kChannelShift = 8;

// The guest address of a level: the block's guest base plus the level's
// offset inside the block; 0 when the block is not mapped.
uint32_t LevelGuestAddress(const BufferRecord& record, int32_t level) {
    const uint8_t* pixels = record.levels[level];
    if (pixels == nullptr || record.guestBase == 0) return 0;
    return record.guestBase + static_cast<uint32_t>(pixels - record.levels[0]);
}

int32_t LevelsMirrored(const BufferRecord& record) {
    if (record.miptype != kBufferMipChain || record.maxD <= 1) return 1;
    return record.maxD < BufferRecord::kMaxLevels ? record.maxD : BufferRecord::kMaxLevels;
}

}  // namespace

void ResetTextureUnit(TextureUnit& unit) {
    unit = TextureUnit();
    unit.filter_mode = kTextureUnitFilterMode;
    unit.texmode = kTextureUnitTexMode;
    unit.id = -1;
}

void DeriveTextureUnitSizes(TextureUnit& unit) {
    const TextureUnitBuffer& b = unit.b;
    unit.width_log2 = Log2Exact(static_cast<uint32_t>(b.width));
    unit.height_log2 = Log2Exact(static_cast<uint32_t>(b.height));
    unit.bpp = static_cast<int32_t>(b.format & kBytesPerPixelMask);
    unit.cpp = static_cast<int32_t>((b.format & kChannelMask) >> kChannelShift);
}

int32_t FillTextureUnit(TextureUnit& unit, const BufferTable& table, int32_t slot) {
    const BufferRecord* record = BufferSlots::Of(table).UsedSlot(slot);
    if (record == nullptr) {
        DebugPrintf("FillTextureUnit: slot %d holds no plane", slot);
        return -1;
    }
    TextureUnitBuffer& b = unit.b;
    b.format = record->format;
    b.flags = record->flags;
    b.width = record->width;
    b.height = record->height;
    b.miptype = record->miptype;
    b.maxD = record->maxD;
    for (uint32_t& level : b.levels) level = 0;
    const int32_t levels = LevelsMirrored(*record);
    for (int32_t j = 0; j < levels; ++j) b.levels[j] = LevelGuestAddress(*record, j);
    DeriveTextureUnitSizes(unit);
    unit.filter_mode = kTextureUnitFilterMode;
    unit.texmode = kTextureUnitTexMode;
    unit.id = slot;
    return unit.height_log2;
}

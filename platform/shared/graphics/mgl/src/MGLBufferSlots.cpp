#include "MGLBufferSlots.h"

#include "CAssert.h"
#include "CMemory.h"
#include "MGLGuestMemory.h"
#include "MGLTextureUnit.h"

namespace {

// Stored sizes keep 16 bits, as in the handset's record.
int32_t Masked16(int32_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value) & 0xFFFFu); }

constexpr uint64_t kSmallestBlock = 4;

}  // namespace

BufferSlots::BufferSlots(MGLGuestMemory* guestMemory, std::span<TextureUnit> mirrors)
    : m_guestMemory(guestMemory), m_mirrors(mirrors), m_count(0), m_slots() {
    for (int32_t& sheet : m_fontSheets) sheet = -1;
}

BufferSlots::~BufferSlots() {
    for (int32_t slot = 0; slot < kSlotCount; ++slot) ReleaseBlock(m_slots[slot]);
}

void* BufferSlots::operator new(size_t bytes) noexcept { return MemAlloc(bytes); }

void BufferSlots::operator delete(void* block) noexcept { MemFree(block); }

BufferTable* CreateBufferTable(MGLGuestMemory* guestMemory, std::span<TextureUnit> mirrors) {
    BufferTable* table = new BufferSlots(guestMemory, mirrors);
    if (table == nullptr) DebugPrintf("BufferTable: no memory for the table");
    return table;
}

uint64_t BufferSlots::PlaneBytes(int32_t width, int32_t height, uint32_t format) {
    if (width < 0 || height < 0) return kMaxBlockBytes + 1;
    return uint64_t(uint32_t(width)) * uint32_t(height) * (format & 31u);
}

PixelBlock BufferSlots::NewPixelBlock(uint64_t bytes) {
    if (bytes > kMaxBlockBytes) {
        DebugPrintf("BufferTable: refused a pixel block of %llu bytes", static_cast<unsigned long long>(bytes));
        return {nullptr, 0};
    }
    const size_t size = static_cast<size_t>(bytes < kSmallestBlock ? kSmallestBlock : bytes);
    uint8_t* data = static_cast<uint8_t*>(MemAllocRaw(size));
    if (data == nullptr) return {nullptr, 0};
    MemSetRaw(data, 0, size);
    return {data, size};
}

void BufferSlots::ReleaseBlock(BufferRecord& record) {
    if (record.levels[0] == nullptr) return;
    if (record.guestBase != 0 && m_guestMemory != nullptr) {
        EmptyMirrorsOf(record.guestBase);
        m_guestMemory->Unmap(record.guestBase);
    }
    FreeMemory(record.levels[0]);
    for (uint8_t*& level : record.levels) level = nullptr;
    record.blockBytes = 0;
    record.guestBase = 0;
}

// Level 0 lies at the start of the block, so a unit mirroring it names its base.
void BufferSlots::EmptyMirrorsOf(uint32_t guestBase) {
    for (TextureUnit& unit : m_mirrors) {
        if (unit.b.levels[0] == guestBase) ResetTextureUnit(unit);
    }
}

void BufferSlots::AdoptBlock(int32_t slot, PixelBlock block) {
    BufferRecord* held = MutableSlot(slot);
    if (held == nullptr) {
        FreeMemory(block.data);
        return;
    }
    BufferRecord& record = *held;
    ReleaseBlock(record);
    record.levels[0] = block.data;
    record.blockBytes = block.bytes;
    if (block.data != nullptr && m_guestMemory != nullptr)
        record.guestBase = m_guestMemory->Map(block.data, block.bytes);
}

void BufferSlots::SetStorage(int32_t slot, int32_t miptype, int32_t maxD, std::span<const uint64_t> levelOffsets) {
    BufferRecord* record = MutableSlot(slot);
    if (record == nullptr || !record->InUse()) return;
    record->miptype = miptype;
    record->maxD = maxD;
    for (size_t level = 1; level < BufferRecord::kMaxLevels; ++level) {
        const bool inBlock = level < levelOffsets.size() && levelOffsets[level] < record->blockBytes;
        record->levels[level] = inBlock ? record->levels[0] + levelOffsets[level] : nullptr;
    }
}

int32_t BufferSlots::FindFreeSlot() const {
    for (int32_t slot = m_count - 1; slot >= 0; --slot) {
        if (!m_slots[slot].InUse()) return slot;
    }
    return m_count < kSlotCount ? m_count : -1;
}

void BufferSlots::StorePlane(BufferRecord& record, int32_t width, int32_t height, uint32_t format, uint32_t flags) {
    record.format = format;
    record.flags = static_cast<uint16_t>(flags);
    record.width = Masked16(width);
    record.height = Masked16(height);
    record.miptype = kBufferLevel0Only;
    record.maxD = 0;
}

int32_t BufferSlots::PlaceBlock(PixelBlock block, int32_t width, int32_t height, uint32_t format, uint32_t flags) {
    const int32_t slot = FindFreeSlot();
    if (slot < 0) {
        DebugPrintf("BufferTable: all %d slots are in use", kSlotCount);
        FreeMemory(block.data);
        return -1;
    }
    if (slot == m_count) ++m_count;
    StorePlane(m_slots[slot], width, height, format, flags);
    AdoptBlock(slot, block);
    return slot;
}

uint8_t* BufferSlots::ReplacePixels(int32_t slot, uint32_t format, int32_t width, int32_t height) {
    BufferRecord* record = MutableSlot(slot);
    if (record == nullptr) return nullptr;
    ReleaseBlock(*record);
    StorePlane(*record, width, height, format, record->flags);
    AdoptBlock(slot, NewPixelBlock(PlaneBytes(width, height, format)));
    return record->levels[0];
}

const BufferRecord* BufferSlots::Slot(int32_t slot) const {
    return slot >= 0 && slot < m_count ? &m_slots[slot] : nullptr;
}

const BufferRecord* BufferSlots::UsedSlot(int32_t slot) const {
    const BufferRecord* record = Slot(slot);
    return record != nullptr && record->InUse() ? record : nullptr;
}

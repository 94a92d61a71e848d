#include "MGLBufferTable.h"

#include "CMemory.h"
#include "MGLBufferSlots.h"

BufferTable::~BufferTable() = default;

BufferSlots& BufferTable::Slots() { return static_cast<BufferSlots&>(*this); }

const BufferSlots& BufferTable::Slots() const { return static_cast<const BufferSlots&>(*this); }

BufferTable* CreateBufferTable() { return CreateBufferTable(nullptr, {}); }

int32_t BufferTable::AllocBuffer(int32_t width, int32_t height, uint32_t format, uint32_t flags) {
    const PixelBlock block = BufferSlots::NewPixelBlock(BufferSlots::PlaneBytes(width, height, format));
    return Slots().PlaceBlock(block, width, height, format, flags);
}

int32_t BufferTable::TryAllocBuffer(int32_t width, int32_t height, uint32_t format, uint32_t flags) {
    const PixelBlock block = BufferSlots::NewPixelBlock(BufferSlots::PlaneBytes(width, height, format));
    return block.data != nullptr ? Slots().PlaceBlock(block, width, height, format, flags) : -1;
}

void BufferTable::FreeBuffer(int32_t slot) {
    BufferSlots& slots = Slots();
    if (BufferRecord* record = slots.MutableSlot(slot)) slots.ReleaseBlock(*record);
}

uint8_t* BufferTable::ResizeBuffer(int32_t slot, int32_t width, int32_t height) {
    const BufferRecord* record = Slots().Slot(slot);
    return record != nullptr ? Slots().ReplacePixels(slot, record->format, width, height) : nullptr;
}

uint8_t* BufferTable::ReformatBuffer(int32_t slot, uint32_t format, int32_t width, int32_t height) {
    return Slots().ReplacePixels(slot, format, width, height);
}

int32_t BufferTable::GetBufferWidth(int32_t slot) const {
    const BufferRecord* record = Slots().Slot(slot);
    return record != nullptr ? record->width : 0;
}

int32_t BufferTable::Count() const { return Slots().m_count; }

int32_t BufferTable::FontSheet(int32_t font) const {
    return font >= 0 && font < kFontSheetCount ? Slots().m_fontSheets[font] : -1;
}

void BufferTable::SetFontSheet(int32_t font, int32_t slot) {
    if (font >= 0 && font < kFontSheetCount) Slots().m_fontSheets[font] = slot;
}

void* BufferTable::AllocBlock(size_t size) { return MemAllocRaw(size); }

void BufferTable::FreeBlock(void* block) {
    if (block != nullptr) FreeMemory(block);
}

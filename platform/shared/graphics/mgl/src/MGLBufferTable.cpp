#include "MGLBufferTable.h"

#include "CMemory.h"
#include "MGLBufferSlots.h"

BufferTable::~BufferTable() = default;

BufferSlots& BufferTable::Slots() { return static_cast<BufferSlots&>(*this); }

const BufferSlots& BufferTable::Slots() const { return static_cast<const BufferSlots&>(*this); }

BufferTable* CreateBufferTable() { return CreateBufferTable(nullptr, {}); }

int32_t BufferTable::AllocBuffer(int32_t width, int32_t height, uint32_t format, uint32_t flags) {
    return Slots().AllocBuffer(width, height, format, flags);
}

int32_t BufferTable::TryAllocBuffer(int32_t width, int32_t height, uint32_t format, uint32_t flags) {
    return Slots().TryAllocBuffer(width, height, format, flags);
}

void BufferTable::FreeBuffer(int32_t slot) { Slots().FreeBuffer(slot); }

uint8_t* BufferTable::ResizeBuffer(int32_t slot, int32_t width, int32_t height) {
    return Slots().ResizeBuffer(slot, width, height);
}

uint8_t* BufferTable::ReformatBuffer(int32_t slot, uint32_t format, int32_t width, int32_t height) {
    return Slots().ReformatBuffer(slot, format, width, height);
}

int32_t BufferTable::GetBufferWidth(int32_t slot) const { return Slots().GetBufferWidth(slot); }

int32_t BufferTable::Count() const { return Slots().Count(); }

int32_t BufferTable::FontSheet(int32_t font) const { return Slots().FontSheet(font); }

void BufferTable::SetFontSheet(int32_t font, int32_t slot) { Slots().SetFontSheet(font, slot); }

void* BufferTable::AllocBlock(size_t size) { return MemAllocRaw(size); }

void BufferTable::FreeBlock(void* block) {
    if (block != nullptr) FreeMemory(block);
}

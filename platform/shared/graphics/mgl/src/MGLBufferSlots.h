#ifndef MGLBUFFERSLOTS_H
#define MGLBUFFERSLOTS_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "MGLBufferTable.h"
#include "TextureUnit.h"

class MGLGuestMemory;

// Storage states of a slot's pixels (BufferRecord::miptype).
constexpr int32_t kBufferLevel0Only = 0;
// Every mip level lies in the one block at levels[0], level 0 first.
constexpr int32_t kBufferMipChain = 1;
// Level 0 alone, each row stored with a stride of twice the width.
constexpr int32_t kBufferWideRows = 2;

// A pixel block and its size in bytes.
struct PixelBlock {
    uint8_t* data;
    size_t bytes;
};

// One pixel plane of the renderer. The pointers are host pointers: span code
// never reads this record; a texture unit copies it field by field, turning
// the pointers into guest addresses.
struct BufferRecord {
    static constexpr int32_t kMaxLevels = 10;

    uint32_t format;              // pixel-format id; low 5 bits = bytes per pixel
    uint16_t flags;               // the caller's, kept as given
    int32_t width;                // pixels, masked to 16 bits
    int32_t height;               // rows, masked to 16 bits
    void* palette;                // of a palette format, owned by the caller
    int32_t miptype;              // kBufferLevel0Only, kBufferMipChain or kBufferWideRows
    int32_t maxD;                 // index of the smallest mip level
    uint8_t* levels[kMaxLevels];  // levels[0] is the block; null when the slot is free

    // Bookkeeping of the block at levels[0]: its size, which bounds every
    // pixel access, and its guest base (0 when not mapped).
    size_t blockBytes;
    uint32_t guestBase;

    int32_t BytesPerPixel() const { return static_cast<int32_t>(format & 31u); }
    bool InUse() const { return levels[0] != nullptr; }
    // Pixel (x, y) of level 0 in rows of `width` pixels; null outside the
    // plane or the block.
    uint8_t* PixelAt(int32_t x, int32_t y) const {
        if (levels[0] == nullptr || x < 0 || y < 0 || x >= width || y >= height) return nullptr;
        const uint64_t bpp = static_cast<uint64_t>(BytesPerPixel());
        const uint64_t offset =
            (static_cast<uint64_t>(y) * static_cast<uint64_t>(width) + static_cast<uint64_t>(x)) * bpp;
        return offset + bpp <= blockBytes ? levels[0] + offset : nullptr;
    }
};

// The slots of a buffer table, as the renderer keeps them: each slot's
// record and pixel block. When the table is given a guest address space,
// every block it owns is mapped there for as long as it lives, so span code
// can reach textures and planes through their guest addresses. A texture
// unit mirroring a slot holds a copy of its guest base; the table is told
// which units may hold one, and empties each that still names a block it
// unmaps, since the base may be given to another block after.
class BufferSlots final : public BufferTable {
public:
    explicit BufferSlots(MGLGuestMemory* guestMemory = nullptr, std::span<TextureUnit> mirrors = {});
    ~BufferSlots() override;

    static void* operator new(size_t bytes) noexcept;
    static void operator delete(void* block) noexcept;

    // Every table is one of these.
    static BufferSlots& Of(BufferTable& table) { return table.Slots(); }
    static const BufferSlots& Of(const BufferTable& table) { return table.Slots(); }

    // The slot's record, null for an index outside 0 .. Count() - 1. Its
    // block bounds every pixel access, so only the table changes a record:
    // the block through AdoptBlock, the storage state through SetStorage.
    const BufferRecord* Slot(int32_t slot) const;
    // The record of a slot in use, else null.
    const BufferRecord* UsedSlot(int32_t slot) const;

    // A zero-filled pixel block of at least `bytes` bytes (never empty, so
    // a plane without pixels is still a slot in use); data is null when the
    // size is refused or the heap is out of memory. Owned by no slot yet.
    static PixelBlock NewPixelBlock(uint64_t bytes);
    // Makes the block the pixels of slot `slot` of this table, releasing the
    // old block; the mip level pointers beyond level 0 are cleared. A slot
    // outside the table takes nothing: the block is freed. Named by index,
    // so only a record of this very table, as the table holds it, is ever
    // changed.
    void AdoptBlock(int32_t slot, PixelBlock block);
    // How the block of a slot in use holds its pixels: the storage state,
    // the smallest mip level and where each level starts in the block (as
    // many as the record holds; a level that would start past the block is
    // left out). A free slot or one outside the table changes nothing.
    void SetStorage(int32_t slot, int32_t miptype, int32_t maxD, std::span<const uint64_t> levelOffsets);

private:
    // The table's operations (MGLBufferTable.h) are the public class's own,
    // made of the steps below.
    friend class BufferTable;

    BufferRecord* MutableSlot(int32_t slot) { return slot >= 0 && slot < m_count ? &m_slots[slot] : nullptr; }
    static uint64_t PlaneBytes(int32_t width, int32_t height, uint32_t format);
    int32_t FindFreeSlot() const;
    int32_t PlaceBlock(PixelBlock block, int32_t width, int32_t height, uint32_t format, uint32_t flags);
    void ReleaseBlock(BufferRecord& record);
    void EmptyMirrorsOf(uint32_t guestBase);
    void StorePlane(BufferRecord& record, int32_t width, int32_t height, uint32_t format, uint32_t flags);
    uint8_t* ReplacePixels(int32_t slot, uint32_t format, int32_t width, int32_t height);

    MGLGuestMemory* m_guestMemory;
    std::span<TextureUnit> m_mirrors;
    int32_t m_count;
    BufferRecord m_slots[kSlotCount];
    int32_t m_fontSheets[kFontSheetCount];
};

// Makes an empty table, its blocks mapped into `guestMemory` and `mirrors`
// the units that may mirror its slots; null when there is no memory for it.
BufferTable* CreateBufferTable(MGLGuestMemory* guestMemory, std::span<TextureUnit> mirrors);

#endif

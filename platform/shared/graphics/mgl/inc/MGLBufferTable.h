#ifndef MGLBUFFERTABLE_H
#define MGLBUFFERTABLE_H

#include <cstddef>
#include <cstdint>
#include <span>

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

// The renderer's table of pixel planes; every plane is named by its slot
// index. Freed slots are reused highest index first and the number of slots
// handed out never shrinks. When the table is given a guest address space,
// every block it owns is mapped there for as long as it lives, so span code
// can reach textures and planes through their guest addresses. A texture
// unit mirroring a slot holds a copy of its guest base; the table is told
// which units may hold one, and empties each that still names a block it
// unmaps, since the base may be given to another block after.
class BufferTable {
public:
    static constexpr int32_t kSlotCount = 2048;
    static constexpr int32_t kFontSheetCount = 2;
    // Largest pixel block a slot may have. The handset had a few megabytes
    // of memory; a request past this is a bad size, not a plane.
    static constexpr uint64_t kMaxBlockBytes = uint64_t{64} << 20;

    explicit BufferTable(MGLGuestMemory* guestMemory = nullptr, std::span<TextureUnit> mirrors = {});
    ~BufferTable();
    BufferTable(const BufferTable&) = delete;
    BufferTable& operator=(const BufferTable&) = delete;

    static void* operator new(size_t bytes) noexcept;
    static void operator delete(void* block) noexcept;

    // A slot for a new plane of width x height pixels. A failed pixel
    // allocation still hands out the slot, which is then at once free again;
    // -1 when all slots are in use.
    int32_t AllocBuffer(int32_t width, int32_t height, uint32_t format, uint32_t flags);
    // The same, but -1 without touching the table when the pixels cannot be had.
    int32_t TryAllocBuffer(int32_t width, int32_t height, uint32_t format, uint32_t flags);
    // Frees the slot's pixels; free slots and indices outside the table are ignored.
    void FreeBuffer(int32_t slot);
    // New pixels of the new size (old ones are dropped); the mip state goes
    // back to level 0 only. Returns the new block, null when it failed (the
    // slot is then free).
    uint8_t* ResizeBuffer(int32_t slot, int32_t width, int32_t height);
    uint8_t* ReformatBuffer(int32_t slot, uint32_t format, int32_t width, int32_t height);
    int32_t GetBufferWidth(int32_t slot) const;

    int32_t Count() const { return m_count; }
    // The slot's record, null for an index outside 0 .. Count() - 1.
    BufferRecord* Slot(int32_t slot);
    const BufferRecord* Slot(int32_t slot) const;
    // The record of a slot in use, else null.
    BufferRecord* UsedSlot(int32_t slot);
    const BufferRecord* UsedSlot(int32_t slot) const;

    // Slots of the small (0) and large (1) debug-font glyph sheets; -1 when none.
    int32_t FontSheet(int32_t font) const;
    void SetFontSheet(int32_t font, int32_t slot);

    // A zero-filled pixel block of at least `bytes` bytes (never empty, so
    // a plane without pixels is still a slot in use); data is null when the
    // size is refused or the heap is out of memory. Owned by no slot yet.
    static PixelBlock NewPixelBlock(uint64_t bytes);
    // Makes the block the slot's pixels, releasing the old block; the mip
    // level pointers beyond level 0 are cleared.
    void AdoptBlock(BufferRecord& record, PixelBlock block);

    // Raw renderer memory outside any slot.
    static void* AllocBlock(size_t size);
    static void FreeBlock(void* block);

private:
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

// Makes an empty table, its blocks mapped into `guestMemory` (when given)
// and `mirrors` the units that may mirror its slots; null when there is no
// memory for it.
BufferTable* CreateBufferTable(MGLGuestMemory* guestMemory = nullptr, std::span<TextureUnit> mirrors = {});

#endif

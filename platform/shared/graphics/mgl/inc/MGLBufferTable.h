#ifndef MGLBUFFERTABLE_H
#define MGLBUFFERTABLE_H

#include <cstddef>
#include <cstdint>

class BufferSlots;

// The renderer's table of pixel planes; every plane is named by its slot
// index. Freed slots are reused highest index first and the number of slots
// handed out never shrinks. A context makes its own table, whose blocks are
// mapped where its span code reaches them; a host may make one of its own
// (CreateBufferTable) for the buffer pixel operations and the debug text.
// How a slot's pixels are kept (its record and block) is the table's own
// business: the operations below and those of MGLBufferOps.h are a host's
// way to them.
class BufferTable {
public:
    static constexpr int32_t kSlotCount = 2048;
    static constexpr int32_t kFontSheetCount = 2;
    // Largest pixel block a slot may have. The handset had a few megabytes
    // of memory; a request past this is a bad size, not a plane.
    static constexpr uint64_t kMaxBlockBytes = uint64_t{64} << 20;

    virtual ~BufferTable();
    BufferTable(const BufferTable&) = delete;
    BufferTable& operator=(const BufferTable&) = delete;

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

    int32_t Count() const;

    // Slots of the small (0) and large (1) debug-font glyph sheets; -1 when none.
    int32_t FontSheet(int32_t font) const;
    void SetFontSheet(int32_t font, int32_t slot);

    // Raw renderer memory outside any slot.
    static void* AllocBlock(size_t size);
    static void FreeBlock(void* block);

private:
    // Every table is the renderer's BufferSlots, which keeps the slots.
    friend class BufferSlots;
    BufferTable() = default;
    BufferSlots& Slots();
    const BufferSlots& Slots() const;
};

// Makes an empty table of the host's own, mirrored into no context's
// texture units; null when there is no memory for it.
BufferTable* CreateBufferTable();

#endif

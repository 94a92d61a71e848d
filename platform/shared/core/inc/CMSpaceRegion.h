#ifndef CMSPACEREGION_H
#define CMSPACEREGION_H

#include <cstdint>
#include <cstring>

// A view of one region run by the region allocator, and the region's layout.
//
// Everything inside the region is 32-bit: size words, and links (bins, tree
// children and parents, victim, top, segment) kept as offsets from the
// region's 8-byte aligned base rather than host pointers. The layout is
// therefore the same on every host: 4-byte headers, 8-byte alignment,
// 16-byte minimum chunks, a 456-byte control chunk at offset 0 and a 40-byte
// fence at the end. Offset 0 is the control chunk, which is never free, so
// 0 serves as "no chunk" in every link.
//
// A chunk at offset c:  c+0 previous chunk's size (only while that one is
// free), c+4 size | flags, c+8 user data. A free chunk keeps its bin links
// in its user part and repeats its size in the next chunk's first word.
//
// Every word access is bounded by the region's end. A link or size that a
// caller has overwritten can make the allocator misbehave inside the region
// but never reach outside it: such an access is dropped (a load reads 0) and
// remembered, and the operation is then reported as corrupt.
class CMSpaceRegion {
public:
    // Chunk fields.
    static constexpr uint32_t kPrevFoot = 0;
    static constexpr uint32_t kHead = 4;
    static constexpr uint32_t kForward = 8;
    static constexpr uint32_t kBack = 12;
    static constexpr uint32_t kChild0 = 16;
    static constexpr uint32_t kChild1 = 20;
    static constexpr uint32_t kParent = 24;
    static constexpr uint32_t kTreeIndexField = 28;

    // Head flags.
    static constexpr uint32_t kPrevInUse = 1;
    static constexpr uint32_t kInUse = 2;
    static constexpr uint32_t kInUseBits = kPrevInUse | kInUse;
    static constexpr uint32_t kFlagBits = 7;

    // Sizes.
    static constexpr uint32_t kAlignMask = 7;
    static constexpr uint32_t kChunkOverhead = 4;
    static constexpr uint32_t kUserOffset = 8;
    static constexpr uint32_t kMinChunk = 16;
    static constexpr uint32_t kMinRequest = kMinChunk - kChunkOverhead - 1;
    static constexpr uint32_t kMaxRequest = 0xFFFFFFC0u;
    static constexpr uint32_t kMaxSmallRequest = 244;
    static constexpr uint32_t kFenceSize = 40;

    // Control record, laid out as the user part of the chunk at offset 0.
    static constexpr uint32_t kSmallMap = 8;
    static constexpr uint32_t kTreeMap = 12;
    static constexpr uint32_t kVictimSize = 16;
    static constexpr uint32_t kTopSize = 20;
    static constexpr uint32_t kLeastAddress = 24;
    static constexpr uint32_t kVictim = 28;
    static constexpr uint32_t kTop = 32;
    static constexpr uint32_t kTrimCheck = 36;
    static constexpr uint32_t kMagic = 40;
    static constexpr uint32_t kSmallBins = 44;  // 32 bins of {forward, back}
    static constexpr uint32_t kTreeBins = 300;  // 32 tree roots
    static constexpr uint32_t kFootprint = 428;
    static constexpr uint32_t kMaxFootprint = 432;
    static constexpr uint32_t kFlags = 436;
    static constexpr uint32_t kSegmentBase = 440;
    static constexpr uint32_t kSegmentSize = 444;
    static constexpr uint32_t kSegmentNext = 448;
    static constexpr uint32_t kSegmentFlags = 452;
    static constexpr uint32_t kControlChunkSize = 456;
    static constexpr uint32_t kFirstChunk = kControlChunkSize;

    static constexpr uint32_t kMagicValue = 0x58585858u;
    static constexpr uint32_t kPageSize = 4096;
    static constexpr uint32_t kGranularity = 0x10000;
    static constexpr uint32_t kNever = 0xFFFFFFFFu;  // trim and mapping thresholds
    static constexpr uint32_t kNonContiguous = 4;
    static constexpr uint32_t kExternalSegment = 8;

    // A view of the region whose control chunk starts at `base` and whose
    // usable part ends `end` bytes later.
    CMSpaceRegion(uint8_t* base, uint32_t end) : m_base(base), m_end(end), m_lastWord(end - 4) {}

    // A space, as callers see it, is the address of its control record.
    static bool IsSpace(const void* space) {
        if (space == nullptr || (reinterpret_cast<uintptr_t>(space) & kAlignMask) != 0) return false;
        return ReadWord(static_cast<const uint8_t*>(space) + kMagic - kUserOffset) == kMagicValue;
    }
    static CMSpaceRegion OfSpace(void* space) {
        uint8_t* base = static_cast<uint8_t*>(space) - kUserOffset;
        return CMSpaceRegion(base, ReadWord(base + kSegmentSize));
    }
    void* Space() const { return m_base + kUserOffset; }

    // Lays out the control record of a fresh region of `capacity` bytes and
    // makes everything between it and the fence the top chunk.
    void Format(uint32_t capacity);

    uint8_t* Base() const { return m_base; }
    uint32_t End() const { return m_end; }
    uint32_t FenceOffset() const { return m_end - kFenceSize; }
    bool IsCorrupt() const { return m_corrupt; }
    void MarkCorrupt() { m_corrupt = true; }

    uint32_t Load(uint32_t offset) {
        if (offset > m_lastWord) return DroppedLoad();
        uint32_t value;
        std::memcpy(&value, m_base + offset, sizeof value);
        return value;
    }

    void Store(uint32_t offset, uint32_t value) {
        if (offset > m_lastWord) {
            m_corrupt = true;
            return;
        }
        std::memcpy(m_base + offset, &value, sizeof value);
    }

    // Host address of an offset, and back; OffsetOf gives a value beyond the
    // end for addresses outside the region, below the base included.
    uint8_t* Address(uint32_t offset) const { return m_base + offset; }
    uintptr_t OffsetOf(const void* address) const {
        return reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(m_base);
    }
    uint8_t* UserPointer(uint32_t chunk) const { return m_base + chunk + kUserOffset; }

    // Chunk heads.
    uint32_t Head(uint32_t chunk) { return Load(chunk + kHead); }
    void SetHead(uint32_t chunk, uint32_t head) { Store(chunk + kHead, head); }
    uint32_t Size(uint32_t chunk) { return Head(chunk) & ~kFlagBits; }
    bool IsInUse(uint32_t chunk) { return (Head(chunk) & kInUse) != 0; }
    bool IsPrevInUse(uint32_t chunk) { return (Head(chunk) & kPrevInUse) != 0; }
    uint32_t PrevFoot(uint32_t chunk) { return Load(chunk + kPrevFoot); }

    // Marks `size` bytes at `chunk` in use, keeping its previous-in-use bit,
    // and tells the next chunk.
    void SetInUse(uint32_t chunk, uint32_t size) {
        SetHead(chunk, (Head(chunk) & kPrevInUse) | size | kInUse);
        SetPrevInUseBit(chunk + size);
    }

    void SetInUseAndPrevInUse(uint32_t chunk, uint32_t size) {
        SetHead(chunk, size | kInUseBits);
        SetPrevInUseBit(chunk + size);
    }

    // The head of an in-use chunk whose neighbour's bit is set by its caller.
    void SetInUseHead(uint32_t chunk, uint32_t size) { SetHead(chunk, size | kInUseBits); }

    void SetFreeChunk(uint32_t chunk, uint32_t size) {
        SetHead(chunk, size | kPrevInUse);
        Store(chunk + size + kPrevFoot, size);
    }

    void SetFreeBeforeChunk(uint32_t chunk, uint32_t size, uint32_t next) {
        SetHead(next, Head(next) & ~kPrevInUse);
        SetFreeChunk(chunk, size);
    }

    void SetPrevInUseBit(uint32_t chunk) { SetHead(chunk, Head(chunk) | kPrevInUse); }

    // Links of free chunks.
    uint32_t Forward(uint32_t chunk) { return Load(chunk + kForward); }
    uint32_t Back(uint32_t chunk) { return Load(chunk + kBack); }
    void SetForward(uint32_t chunk, uint32_t link) { Store(chunk + kForward, link); }
    void SetBack(uint32_t chunk, uint32_t link) { Store(chunk + kBack, link); }
    uint32_t Child(uint32_t chunk, uint32_t side) { return Load(chunk + kChild0 + 4 * side); }
    void SetChild(uint32_t chunk, uint32_t side, uint32_t link) { Store(chunk + kChild0 + 4 * side, link); }
    uint32_t Parent(uint32_t chunk) { return Load(chunk + kParent); }
    void SetParent(uint32_t chunk, uint32_t link) { Store(chunk + kParent, link); }
    uint32_t TreeIndex(uint32_t chunk) { return Load(chunk + kTreeIndexField); }
    void SetTreeIndex(uint32_t chunk, uint32_t index) { Store(chunk + kTreeIndexField, index); }

    // The chunk size a request of n bytes needs (n below kMaxRequest).
    static uint32_t RequestToSize(uint32_t n) {
        return n < kMinRequest ? kMinChunk : (n + kChunkOverhead + kAlignMask) & ~kAlignMask;
    }

private:
    static uint32_t ReadWord(const uint8_t* address) {
        uint32_t value;
        std::memcpy(&value, address, sizeof value);
        return value;
    }

    uint32_t DroppedLoad() {
        m_corrupt = true;
        return 0;
    }

    uint8_t* m_base;
    uint32_t m_end;
    uint32_t m_lastWord;
    bool m_corrupt = false;
};

static_assert((CMSpaceRegion::kPageSize & (CMSpaceRegion::kPageSize - 1)) == 0, "page size is a power of two");
static_assert((CMSpaceRegion::kGranularity & (CMSpaceRegion::kGranularity - 1)) == 0,
              "granularity is a power of two");
static_assert(CMSpaceRegion::kSegmentFlags + 4 == CMSpaceRegion::kControlChunkSize,
              "the control record fills its chunk");
static_assert(CMSpaceRegion::kTreeBins == CMSpaceRegion::kSmallBins + 32 * 8, "32 small bins");

#endif

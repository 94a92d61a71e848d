#ifndef CMSPACEBINS_H
#define CMSPACEBINS_H

#include "CMSpaceRegion.h"

// The free-chunk indexes of a region: 32 exact-size small bins (one per
// 8-byte size class below 256 bytes, circular lists through fake chunks in
// the control record) and 32 tree bins (bitwise tries of the chunks of 256
// bytes and more, each node heading a ring of same-size chunks), with a bit
// map of non-empty bins of each kind. Also keeps the designated victim: the
// remainder of the last split, reused first by small requests.
class CMSpaceBins {
public:
    static constexpr uint32_t kBinCount = 32;
    static constexpr uint32_t kTreeBinShift = 8;
    // A trie consumes one size bit per level.
    static constexpr uint32_t kMaxTreeDepth = 33;

    explicit CMSpaceBins(CMSpaceRegion& region) : m_region(region) {}

    static bool IsSmall(uint32_t size) { return (size >> 3) < kBinCount; }
    static uint32_t SmallIndex(uint32_t size) { return size >> 3; }
    // The fake chunk whose forward and back words are the bin's list head.
    static uint32_t SmallBinChunk(uint32_t index) {
        return CMSpaceRegion::kSmallBins + 8 * index - CMSpaceRegion::kForward;
    }
    static uint32_t TreeBinSlot(uint32_t index) { return CMSpaceRegion::kTreeBins + 4 * index; }
    static uint32_t TreeIndexFor(uint32_t size);
    // Shift that brings the first size bit below a tree bin's range to bit 31.
    static uint32_t TreeLeftShift(uint32_t index);
    static uint32_t TreeMinSize(uint32_t index);
    // Every bit above `bit`, a single set bit.
    static uint32_t BitsAbove(uint32_t bit) { return (bit << 1) | (0u - (bit << 1)); }

    uint32_t SmallMap() { return m_region.Load(CMSpaceRegion::kSmallMap); }
    uint32_t TreeMap() { return m_region.Load(CMSpaceRegion::kTreeMap); }
    uint32_t Victim() { return m_region.Load(CMSpaceRegion::kVictim); }
    uint32_t VictimSize() { return m_region.Load(CMSpaceRegion::kVictimSize); }
    void SetVictim(uint32_t chunk, uint32_t size) {
        m_region.Store(CMSpaceRegion::kVictim, chunk);
        m_region.Store(CMSpaceRegion::kVictimSize, size);
    }

    void Insert(uint32_t chunk, uint32_t size) {
        if (IsSmall(size)) InsertSmall(chunk, size);
        else InsertLarge(chunk, size);
    }
    void Unlink(uint32_t chunk, uint32_t size) {
        if (IsSmall(size)) UnlinkSmall(chunk, size);
        else UnlinkLarge(chunk);
    }

    // Removes and answers the first chunk of the non-empty small bin.
    uint32_t TakeFirstSmall(uint32_t index);
    // Makes a fresh remainder the designated victim, binning the old one.
    void ReplaceVictim(uint32_t chunk, uint32_t size);

    // The smallest chunk of the lowest non-empty tree bin (which must exist).
    uint32_t SmallestTreeChunk(uint32_t size);
    // The smallest tree chunk of at least `size` bytes, or 0.
    uint32_t BestTreeFit(uint32_t size);
    void UnlinkLarge(uint32_t chunk);

private:
    void InsertSmall(uint32_t chunk, uint32_t size);
    void UnlinkSmall(uint32_t chunk, uint32_t size);
    void InsertLarge(uint32_t chunk, uint32_t size);
    void InsertTreeRoot(uint32_t chunk, uint32_t index);
    void InsertInTree(uint32_t root, uint32_t chunk, uint32_t size, uint32_t index);
    void LinkAsRing(uint32_t chunk);
    uint32_t DetachRightmostLeaf(uint32_t chunk);
    void ReplaceInParent(uint32_t chunk, uint32_t parent, uint32_t replacement);
    uint32_t LeftmostChild(uint32_t chunk);
    uint32_t DescendForFit(uint32_t root, uint32_t size, uint32_t index, uint32_t* best, uint32_t* bestRest);
    void SetMapBit(uint32_t field, uint32_t index, bool set);

    CMSpaceRegion& m_region;
};

// The small-bin operations sit on every allocation and free.

inline void CMSpaceBins::SetMapBit(uint32_t field, uint32_t index, bool set) {
    if (index >= kBinCount) {
        m_region.MarkCorrupt();
        return;
    }
    const uint32_t map = m_region.Load(field);
    const uint32_t bit = 1u << index;
    m_region.Store(field, set ? map | bit : map & ~bit);
}

inline void CMSpaceBins::InsertSmall(uint32_t chunk, uint32_t size) {
    const uint32_t index = SmallIndex(size);
    const uint32_t bin = SmallBinChunk(index);
    uint32_t first = bin;
    if ((SmallMap() & (1u << index)) == 0) SetMapBit(CMSpaceRegion::kSmallMap, index, true);
    else first = m_region.Forward(bin);
    m_region.SetForward(bin, chunk);
    m_region.SetBack(first, chunk);
    m_region.SetForward(chunk, first);
    m_region.SetBack(chunk, bin);
}

inline void CMSpaceBins::UnlinkSmall(uint32_t chunk, uint32_t size) {
    const uint32_t forward = m_region.Forward(chunk);
    const uint32_t back = m_region.Back(chunk);
    if (forward == back) {
        // The bin's own links go stale; its map bit says it is empty.
        SetMapBit(CMSpaceRegion::kSmallMap, SmallIndex(size), false);
        return;
    }
    m_region.SetBack(forward, back);
    m_region.SetForward(back, forward);
}

inline uint32_t CMSpaceBins::TakeFirstSmall(uint32_t index) {
    const uint32_t bin = SmallBinChunk(index);
    const uint32_t chunk = m_region.Forward(bin);
    const uint32_t next = m_region.Forward(chunk);
    if (next == bin) {
        SetMapBit(CMSpaceRegion::kSmallMap, index, false);
    } else {
        m_region.SetForward(bin, next);
        m_region.SetBack(next, bin);
    }
    return chunk;
}

#endif

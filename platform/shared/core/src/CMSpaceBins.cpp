#include "CMSpaceBins.h"

namespace {

constexpr uint32_t kTreeMap = CMSpaceRegion::kTreeMap;

uint32_t LowestBitIndex(uint32_t bits) { return static_cast<uint32_t>(__builtin_ctz(bits)); }

}  // namespace

uint32_t CMSpaceBins::TreeIndexFor(uint32_t size) {
    const uint32_t units = size >> kTreeBinShift;
    if (units == 0) return 0;
    if (units > 0xFFFF) return kBinCount - 1;
    const uint32_t topBit = 31u - static_cast<uint32_t>(__builtin_clz(units));
    return (topBit << 1) + ((size >> (topBit + kTreeBinShift - 1)) & 1);
}

uint32_t CMSpaceBins::TreeLeftShift(uint32_t index) {
    return index == kBinCount - 1 ? 0 : 31 - ((index >> 1) + kTreeBinShift - 2);
}

uint32_t CMSpaceBins::TreeMinSize(uint32_t index) {
    const uint32_t power = (index >> 1) + kTreeBinShift;
    return (1u << power) | ((index & 1) << (power - 1));
}

void CMSpaceBins::ReplaceVictim(uint32_t chunk, uint32_t size) {
    const uint32_t oldSize = VictimSize();
    if (oldSize != 0) Insert(Victim(), oldSize);
    SetVictim(chunk, size);
}

void CMSpaceBins::LinkAsRing(uint32_t chunk) {
    m_region.SetForward(chunk, chunk);
    m_region.SetBack(chunk, chunk);
}

void CMSpaceBins::InsertLarge(uint32_t chunk, uint32_t size) {
    const uint32_t index = TreeIndexFor(size);
    m_region.SetTreeIndex(chunk, index);
    m_region.SetChild(chunk, 0, 0);
    m_region.SetChild(chunk, 1, 0);
    if ((TreeMap() & (1u << index)) == 0) InsertTreeRoot(chunk, index);
    else InsertInTree(m_region.Load(TreeBinSlot(index)), chunk, size, index);
}

void CMSpaceBins::InsertTreeRoot(uint32_t chunk, uint32_t index) {
    SetMapBit(kTreeMap, index, true);
    m_region.Store(TreeBinSlot(index), chunk);
    // A root's parent is its bin slot, which tells it apart from the
    // same-size chunks hanging off a node (parent 0).
    m_region.SetParent(chunk, TreeBinSlot(index));
    LinkAsRing(chunk);
}

void CMSpaceBins::InsertInTree(uint32_t root, uint32_t chunk, uint32_t size, uint32_t index) {
    uint32_t node = root;
    uint32_t bits = size << TreeLeftShift(index);
    for (uint32_t depth = 0; depth < kMaxTreeDepth; ++depth) {
        if (m_region.Size(node) == size) {
            const uint32_t forward = m_region.Forward(node);
            m_region.SetForward(node, chunk);
            m_region.SetBack(forward, chunk);
            m_region.SetForward(chunk, forward);
            m_region.SetBack(chunk, node);
            m_region.SetParent(chunk, 0);
            return;
        }
        const uint32_t side = bits >> 31;
        bits <<= 1;
        const uint32_t child = m_region.Child(node, side);
        if (child == 0) {
            m_region.SetChild(node, side, chunk);
            m_region.SetParent(chunk, node);
            LinkAsRing(chunk);
            return;
        }
        node = child;
    }
    m_region.MarkCorrupt();
}

uint32_t CMSpaceBins::DetachRightmostLeaf(uint32_t chunk) {
    uint32_t link = chunk + CMSpaceRegion::kChild1;
    uint32_t leaf = m_region.Load(link);
    if (leaf == 0) {
        link = chunk + CMSpaceRegion::kChild0;
        leaf = m_region.Load(link);
        if (leaf == 0) return 0;
    }
    for (uint32_t depth = 0; depth < kMaxTreeDepth; ++depth) {
        uint32_t next = leaf + CMSpaceRegion::kChild1;
        if (m_region.Load(next) == 0) next = leaf + CMSpaceRegion::kChild0;
        if (m_region.Load(next) == 0) {
            m_region.Store(link, 0);
            return leaf;
        }
        link = next;
        leaf = m_region.Load(next);
    }
    m_region.MarkCorrupt();
    return 0;
}

void CMSpaceBins::ReplaceInParent(uint32_t chunk, uint32_t parent, uint32_t replacement) {
    const uint32_t index = m_region.TreeIndex(chunk);
    if (index >= kBinCount) {
        m_region.MarkCorrupt();
        return;
    }
    const uint32_t slot = TreeBinSlot(index);
    if (m_region.Load(slot) == chunk) {
        m_region.Store(slot, replacement);
        if (replacement == 0) SetMapBit(kTreeMap, index, false);
    } else {
        m_region.SetChild(parent, m_region.Child(parent, 0) == chunk ? 0 : 1, replacement);
    }
    if (replacement == 0) return;
    m_region.SetParent(replacement, parent);
    for (uint32_t side = 0; side < 2; ++side) {
        const uint32_t child = m_region.Child(chunk, side);
        if (child == 0) continue;
        m_region.SetChild(replacement, side, child);
        m_region.SetParent(child, replacement);
    }
}

void CMSpaceBins::UnlinkLarge(uint32_t chunk) {
    const uint32_t parent = m_region.Parent(chunk);
    uint32_t replacement;
    if (m_region.Back(chunk) != chunk) {
        // A same-size chunk takes this one's place in the tree, if it had one.
        const uint32_t forward = m_region.Forward(chunk);
        replacement = m_region.Back(chunk);
        m_region.SetBack(forward, replacement);
        m_region.SetForward(replacement, forward);
    } else {
        replacement = DetachRightmostLeaf(chunk);
    }
    if (parent != 0) ReplaceInParent(chunk, parent, replacement);
}

uint32_t CMSpaceBins::LeftmostChild(uint32_t chunk) {
    const uint32_t left = m_region.Child(chunk, 0);
    return left != 0 ? left : m_region.Child(chunk, 1);
}

uint32_t CMSpaceBins::SmallestTreeChunk(uint32_t size) {
    const uint32_t index = LowestBitIndex(TreeMap());
    uint32_t node = m_region.Load(TreeBinSlot(index));
    uint32_t best = node;
    uint32_t bestRest = m_region.Size(node) - size;
    for (uint32_t depth = 0; depth < kMaxTreeDepth && (node = LeftmostChild(node)) != 0; ++depth) {
        const uint32_t rest = m_region.Size(node) - size;
        if (rest < bestRest) {
            bestRest = rest;
            best = node;
        }
    }
    return best;
}

// Walks the trie along the bits of `size`, keeping the best fit so far in
// *best; answers the subtree that may still hold a closer fit: the deepest
// right subtree passed over on the way, or 0.
uint32_t CMSpaceBins::DescendForFit(uint32_t root, uint32_t size, uint32_t index, uint32_t* best,
                                    uint32_t* bestRest) {
    uint32_t node = root;
    uint32_t bits = size << TreeLeftShift(index);
    uint32_t untakenRight = 0;
    for (uint32_t depth = 0; depth < kMaxTreeDepth; ++depth) {
        const uint32_t rest = m_region.Size(node) - size;
        if (rest < *bestRest) {
            *best = node;
            *bestRest = rest;
            if (rest == 0) return node;
        }
        const uint32_t right = m_region.Child(node, 1);
        node = m_region.Child(node, bits >> 31);
        if (right != 0 && right != node) untakenRight = right;
        if (node == 0) return untakenRight;
        bits <<= 1;
    }
    m_region.MarkCorrupt();
    return 0;
}

uint32_t CMSpaceBins::BestTreeFit(uint32_t size) {
    uint32_t best = 0;
    uint32_t bestRest = 0u - size;
    const uint32_t index = TreeIndexFor(size);
    uint32_t node = m_region.Load(TreeBinSlot(index));
    if (node != 0) node = DescendForFit(node, size, index, &best, &bestRest);
    if (node == 0 && best == 0) {
        const uint32_t larger = BitsAbove(1u << index) & TreeMap();
        if (larger != 0) node = m_region.Load(TreeBinSlot(LowestBitIndex(larger)));
    }
    for (uint32_t depth = 0; depth < kMaxTreeDepth && node != 0; ++depth) {
        const uint32_t rest = m_region.Size(node) - size;
        if (rest < bestRest) {
            bestRest = rest;
            best = node;
        }
        node = LeftmostChild(node);
    }
    return best;
}

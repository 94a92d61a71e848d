#include "CMSpaceChecker.h"

#include "CAssert.h"

namespace {

using Region = CMSpaceRegion;

// Depth of the deepest node of a trie: one level per size bit.
constexpr uint32_t kDeepestNode = 32;

}  // namespace

void CMSpaceChecker::Fingerprint::Add(uint32_t chunk) {
    ++count;
    sum += chunk;
    squares += static_cast<uint64_t>(chunk) * chunk;
}

CMSpaceChecker::CMSpaceChecker(uint8_t* base, uint32_t end)
    : m_region(base, end), m_bins(m_region), m_top(0), m_maxListLength(end / Region::kMinChunk) {}

uint32_t CMSpaceChecker::Check(MSpace space, MSpaceCensus* census) {
    if (!CMSpaceRegion::IsSpace(space)) {
        DebugPrintf("MSpace check: %p is not a space", space);
        return 1;
    }
    const CMSpaceRegion region = CMSpaceRegion::OfSpace(space);
    return CheckRegion(region.Base(), region.End(), census);
}

uint32_t CMSpaceChecker::CheckRegion(uint8_t* base, uint32_t end, MSpaceCensus* census) {
    CMSpaceChecker checker(base, end);
    return checker.Run(census);
}

uint32_t CMSpaceChecker::Run(MSpaceCensus* census) {
    CheckControl();
    WalkChunks();
    for (uint32_t index = 0; index < CMSpaceBins::kBinCount; ++index) {
        CheckSmallBin(index);
        CheckTreeBin(index);
    }
    if (m_bins.VictimSize() != 0 && !m_victimSeen) Problem("the designated victim is no free chunk", m_bins.Victim());
    if (m_bins.VictimSize() == 0 && m_bins.Victim() != 0) Problem("an empty victim keeps a chunk", m_bins.Victim());
    if (!(m_walked == m_binned)) Problem("the bins do not hold exactly the free chunks", 0);
    if (m_region.IsCorrupt()) Problem("a link or size points outside the region", 0);
    if (census != nullptr) *census = m_census;
    return m_problems;
}

void CMSpaceChecker::CheckControl() {
    if (m_region.Load(Region::kMagic) != Region::kMagicValue) Problem("the magic is damaged", Region::kMagic);
    if (m_region.Head(0) != (Region::kControlChunkSize | Region::kInUseBits)) {
        Problem("the control chunk's head is damaged", 0);
    }
    if ((m_region.End() & Region::kAlignMask) != 0 || m_region.End() < Region::kFirstChunk + Region::kFenceSize) {
        Problem("the segment size is damaged", Region::kSegmentSize);
    }
    if ((m_bins.SmallMap() & 3) != 0) Problem("a small bin below the minimum chunk is marked", Region::kSmallMap);
    m_top = m_region.Load(Region::kTop);
    if (m_top < Region::kFirstChunk || m_top > m_region.FenceOffset() || (m_top & Region::kAlignMask) != 0) {
        Problem("the top chunk is outside the region", m_top);
        m_top = Region::kFirstChunk;
    }
}

void CMSpaceChecker::WalkChunks() {
    ++m_census.inUseChunks;
    uint32_t chunk = Region::kFirstChunk;
    bool prevInUse = true;
    while (chunk < m_top) {
        const uint32_t head = m_region.Head(chunk);
        const uint32_t size = head & ~Region::kFlagBits;
        if (size < Region::kMinChunk || size > m_top - chunk) {
            Problem("a chunk size leaves the chunks", chunk);
            return;
        }
        if (((head & Region::kPrevInUse) != 0) != prevInUse) Problem("a previous-in-use bit is wrong", chunk);
        if ((head & Region::kInUse) != 0) {
            ++m_census.inUseChunks;
        } else {
            CheckWalkedFree(chunk, size, prevInUse);
        }
        prevInUse = (head & Region::kInUse) != 0;
        chunk += size;
    }
    CheckTop(prevInUse);
}

void CMSpaceChecker::CheckWalkedFree(uint32_t chunk, uint32_t size, bool prevInUse) {
    ++m_census.freeChunks;
    m_census.freeBytes += size;
    if (!prevInUse) Problem("two free chunks touch", chunk);
    if (m_region.PrevFoot(chunk + size) != size) Problem("a free chunk's footer is wrong", chunk);
    if (chunk != m_bins.Victim()) {
        m_walked.Add(chunk);
        return;
    }
    m_victimSeen = true;
    if (size != m_bins.VictimSize()) Problem("the designated victim's size is wrong", chunk);
}

void CMSpaceChecker::CheckTop(bool prevInUse) {
    const uint32_t topSize = m_region.Load(Region::kTopSize);
    m_census.topSize = topSize;
    if (!prevInUse) Problem("a free chunk touches the top chunk", m_top);
    if (topSize < Region::kAlignMask + 1 || m_top + topSize != m_region.FenceOffset()) {
        Problem("the top chunk does not reach the fence", m_top);
    }
    if (m_region.Head(m_top) != (topSize | Region::kPrevInUse)) Problem("the top chunk's head is wrong", m_top);
    if (m_region.Head(m_region.FenceOffset()) != Region::kFenceSize) {
        Problem("the fence is damaged", m_region.FenceOffset());
    }
}

bool CMSpaceChecker::IsChunkOffset(uint32_t offset) const {
    return offset >= Region::kFirstChunk && offset < m_top && (offset & Region::kAlignMask) == 0;
}

// A chunk met in a bin: free, of the bin's size, and not the victim.
void CMSpaceChecker::CheckBinned(uint32_t chunk, uint32_t size) {
    m_binned.Add(chunk);
    if (m_region.Head(chunk) != (size | Region::kPrevInUse)) Problem("a binned chunk is not free or misplaced", chunk);
    if (m_region.PrevFoot(chunk + size) != size) Problem("a binned chunk's footer is wrong", chunk);
    if (chunk == m_bins.Victim() && m_bins.VictimSize() != 0) Problem("the designated victim is binned", chunk);
}

void CMSpaceChecker::CheckSmallBin(uint32_t index) {
    if ((m_bins.SmallMap() & (1u << index)) == 0) return;  // an empty bin's links are stale
    const uint32_t bin = CMSpaceBins::SmallBinChunk(index);
    uint32_t prev = bin;
    uint32_t chunk = m_region.Forward(bin);
    if (chunk == bin) Problem("a marked small bin is empty", bin);
    for (uint32_t length = 0; chunk != bin; ++length) {
        if (length > m_maxListLength || !IsChunkOffset(chunk)) {
            Problem("a small bin list leaves the chunks", chunk);
            return;
        }
        if (m_region.Back(chunk) != prev) Problem("a small bin back link is wrong", chunk);
        CheckBinned(chunk, index << 3);
        prev = chunk;
        chunk = m_region.Forward(chunk);
    }
    if (m_region.Back(bin) != prev) Problem("a small bin's last link is wrong", bin);
}

void CMSpaceChecker::CheckTreeBin(uint32_t index) {
    const uint32_t slot = CMSpaceBins::TreeBinSlot(index);
    const uint32_t root = m_region.Load(slot);
    const bool marked = (m_bins.TreeMap() & (1u << index)) != 0;
    if (marked != (root != 0)) Problem("a tree bin's map bit is wrong", slot);
    if (root == 0) return;
    if (m_region.Parent(root) != slot) Problem("a tree root's parent is not its bin", root);
    CheckTree(root, index, 0, 0);
}

// `path` holds the `depth` side bits that lead from the root to `node`; they
// must be the leading bits of the node's size below the bin's common prefix.
void CMSpaceChecker::CheckTree(uint32_t node, uint32_t index, uint32_t depth, uint32_t path) {
    if (depth > kDeepestNode || !IsChunkOffset(node)) {
        Problem("a tree link leaves the chunks", node);
        return;
    }
    const uint32_t size = m_region.Size(node);
    if (m_region.TreeIndex(node) != index || CMSpaceBins::TreeIndexFor(size) != index) {
        Problem("a tree chunk is in the wrong bin", node);
    }
    const uint32_t keyBits = size << CMSpaceBins::TreeLeftShift(index);
    if (depth > 0 && (keyBits >> (32 - depth)) != path) Problem("a tree chunk is off its size's path", node);
    CheckSameSizeRing(node, index);
    for (uint32_t side = 0; side < 2; ++side) {
        const uint32_t child = m_region.Child(node, side);
        if (child == 0) continue;
        if (m_region.Parent(child) != node) Problem("a tree child's parent link is wrong", child);
        CheckTree(child, index, depth + 1, (path << 1) | side);
    }
}

// The chunks of a node's size hang off it in a ring, outside the tree.
void CMSpaceChecker::CheckSameSizeRing(uint32_t node, uint32_t index) {
    const uint32_t size = m_region.Size(node);
    CheckBinned(node, size);
    uint32_t prev = node;
    uint32_t member = m_region.Forward(node);
    for (uint32_t length = 0; member != node; ++length) {
        if (length > m_maxListLength || !IsChunkOffset(member)) {
            Problem("a same-size ring leaves the chunks", member);
            return;
        }
        if (m_region.Back(member) != prev) Problem("a same-size ring back link is wrong", member);
        if (m_region.Parent(member) != 0 || m_region.Child(member, 0) != 0 || m_region.Child(member, 1) != 0 ||
            m_region.TreeIndex(member) != index) {
            Problem("a same-size ring member has tree links", member);
        }
        CheckBinned(member, size);
        prev = member;
        member = m_region.Forward(member);
    }
    if (m_region.Back(node) != prev) Problem("a same-size ring's last link is wrong", node);
}

void CMSpaceChecker::Problem(const char* what, uint32_t offset) {
    ++m_problems;
    DebugPrintf("MSpace check: %s (offset 0x%X)", what, offset);
}

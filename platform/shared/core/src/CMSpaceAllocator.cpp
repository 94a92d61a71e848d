#include "CMSpaceAllocator.h"

#include "CAssert.h"
#include "CMSpaceChecker.h"
#include "CMemory.h"

namespace {

using Region = CMSpaceRegion;

constexpr uint32_t kMinChunk = Region::kMinChunk;
constexpr size_t kLargestProduct = 0xFFFFFFFFu;
constexpr size_t kLargestAlignment = 0x80000000u;
// Marks a total that no region could hold.
constexpr uint64_t kTooLarge = Region::kMaxRequest;

uint64_t ChunkBytesFor(size_t bytes) {
    return bytes >= Region::kMaxRequest ? kTooLarge : Region::RequestToSize(static_cast<uint32_t>(bytes));
}

// Bytes of the element chunks of an independent allocation; kTooLarge or
// more when no region could hold them.
uint64_t ElementChunkBytes(size_t count, const size_t* sizes, bool sameSize) {
    if (count >= Region::kMaxRequest) return kTooLarge;
    if (sameSize) return count * ChunkBytesFor(sizes[0]);
    uint64_t total = 0;
    for (size_t i = 0; i < count && total < kTooLarge; ++i) total += ChunkBytesFor(sizes[i]);
    return total;
}

}  // namespace

void CMSpaceAllocator::SetTop(uint32_t chunk, uint32_t size) {
    m_region.Store(Region::kTop, chunk);
    m_region.Store(Region::kTopSize, size);
    m_region.SetHead(chunk, size | Region::kPrevInUse);
}

void* CMSpaceAllocator::Malloc(size_t bytes) {
    if (bytes >= Region::kMaxRequest) return nullptr;
    const uint32_t size = Region::RequestToSize(static_cast<uint32_t>(bytes));
    uint32_t chunk = bytes <= Region::kMaxSmallRequest ? TakeSmall(size) : TakeLarge(size);
    if (chunk == 0) chunk = TakeFromVictimOrTop(size);
    return chunk == 0 ? nullptr : m_region.UserPointer(chunk);
}

uint32_t CMSpaceAllocator::TakeSmall(uint32_t size) {
    uint32_t index = CMSpaceBins::SmallIndex(size);
    const uint32_t fitting = m_bins.SmallMap() >> index;
    if ((fitting & 3) != 0) {
        // An exact fit, or one 8 bytes over, which is too little to split off.
        index += ~fitting & 1;
        const uint32_t chunk = m_bins.TakeFirstSmall(index);
        m_region.SetInUseAndPrevInUse(chunk, index << 3);
        return chunk;
    }
    if (size <= m_bins.VictimSize()) return 0;
    if (fitting != 0) {
        const uint32_t larger = (fitting << index) & CMSpaceBins::BitsAbove(1u << index);
        const uint32_t binIndex = static_cast<uint32_t>(__builtin_ctz(larger));
        const uint32_t chunk = m_bins.TakeFirstSmall(binIndex);
        const uint32_t rest = (binIndex << 3) - size;
        m_region.SetInUseHead(chunk, size);
        m_region.SetFreeChunk(chunk + size, rest);
        m_bins.ReplaceVictim(chunk + size, rest);
        return chunk;
    }
    if (m_bins.TreeMap() == 0) return 0;
    return SplitTreeChunk(m_bins.SmallestTreeChunk(size), size, true);
}

uint32_t CMSpaceAllocator::TakeLarge(uint32_t size) {
    if (m_bins.TreeMap() == 0) return 0;
    const uint32_t chunk = m_bins.BestTreeFit(size);
    if (chunk == 0) return 0;
    // The designated victim is used instead when it fits at least as closely.
    if (m_region.Size(chunk) - size >= m_bins.VictimSize() - size) return 0;
    return SplitTreeChunk(chunk, size, false);
}

uint32_t CMSpaceAllocator::SplitTreeChunk(uint32_t chunk, uint32_t size, bool remainderIsVictim) {
    const uint32_t rest = m_region.Size(chunk) - size;
    m_bins.UnlinkLarge(chunk);
    if (rest < kMinChunk) {
        m_region.SetInUseAndPrevInUse(chunk, size + rest);
        return chunk;
    }
    m_region.SetInUseHead(chunk, size);
    m_region.SetFreeChunk(chunk + size, rest);
    if (remainderIsVictim) m_bins.ReplaceVictim(chunk + size, rest);
    else m_bins.Insert(chunk + size, rest);
    return chunk;
}

uint32_t CMSpaceAllocator::TakeFromVictimOrTop(uint32_t size) {
    const uint32_t victimSize = m_bins.VictimSize();
    if (size <= victimSize) {
        const uint32_t chunk = m_bins.Victim();
        const uint32_t rest = victimSize - size;
        if (rest >= kMinChunk) {
            m_bins.SetVictim(chunk + size, rest);
            m_region.SetFreeChunk(chunk + size, rest);
            m_region.SetInUseHead(chunk, size);
        } else {
            m_bins.SetVictim(0, 0);
            m_region.SetInUseAndPrevInUse(chunk, victimSize);
        }
        return chunk;
    }
    const uint32_t topSize = TopSize();
    if (size >= topSize) return 0;
    const uint32_t chunk = Top();
    SetTop(chunk + size, topSize - size);
    m_region.SetInUseHead(chunk, size);
    return chunk;
}

void CMSpaceAllocator::Free(void* block) {
    if (block == nullptr) return;
    const uint32_t chunk = ChunkOfBlock(block, "free");
    if (chunk != 0) Release(chunk);
}

uint32_t CMSpaceAllocator::ChunkOfBlock(const void* block, const char* operation) {
    const uintptr_t offset = m_region.OffsetOf(block);
    const uint32_t top = Top();
    const char* problem = nullptr;
    if ((offset & Region::kAlignMask) != 0 || offset < Region::kFirstChunk + Region::kUserOffset ||
        offset - Region::kUserOffset >= top) {
        problem = "not inside the region's chunks";
    } else {
        problem = LiveChunkProblem(static_cast<uint32_t>(offset - Region::kUserOffset), top);
    }
    if (problem == nullptr) return static_cast<uint32_t>(offset - Region::kUserOffset);
    DebugPrintf("MSpace %s: block %p is %s", operation, block, problem);
    ReportAfterWalk();
    return 0;
}

const char* CMSpaceAllocator::LiveChunkProblem(uint32_t chunk, uint32_t top) {
    const uint32_t head = m_region.Head(chunk);
    if ((head & Region::kInUse) == 0) return "not in use";
    const uint32_t size = head & ~Region::kFlagBits;
    if (size < kMinChunk || size > top - chunk) return "of a damaged size";
    if (!m_region.IsPrevInUse(chunk + size)) return "followed by a damaged chunk";
    if ((head & Region::kPrevInUse) == 0 && !HasSoundFreePrev(chunk)) return "preceded by a damaged chunk";
    return nullptr;
}

bool CMSpaceAllocator::HasSoundFreePrev(uint32_t chunk) {
    const uint32_t prevSize = m_region.PrevFoot(chunk);
    if (prevSize < kMinChunk || (prevSize & Region::kAlignMask) != 0 || prevSize > chunk - Region::kFirstChunk) {
        return false;
    }
    // Free chunks never touch, so a free chunk's predecessor is in use.
    return m_region.Head(chunk - prevSize) == (prevSize | Region::kPrevInUse);
}

void CMSpaceAllocator::Release(uint32_t chunk) {
    uint32_t size = m_region.Size(chunk);
    const uint32_t next = chunk + size;
    if (!m_region.IsPrevInUse(chunk) && ReleaseIntoPrev(&chunk, &size, next)) return;
    if (m_region.IsInUse(next)) {
        m_region.SetFreeBeforeChunk(chunk, size, next);
    } else if (ReleaseIntoNext(chunk, &size, next)) {
        return;
    }
    m_bins.Insert(chunk, size);
}

// Merges the chunk into its free predecessor; true when that was the
// designated victim and nothing more is to be done.
bool CMSpaceAllocator::ReleaseIntoPrev(uint32_t* chunk, uint32_t* size, uint32_t next) {
    const uint32_t prevSize = m_region.PrevFoot(*chunk);
    *chunk -= prevSize;
    *size += prevSize;
    if (*chunk != m_bins.Victim()) {
        m_bins.Unlink(*chunk, prevSize);
        return false;
    }
    if ((m_region.Head(next) & Region::kInUseBits) != Region::kInUseBits) return false;
    m_bins.SetVictim(*chunk, *size);
    m_region.SetFreeBeforeChunk(*chunk, *size, next);
    return true;
}

// Merges the free successor into the chunk; true when the result is the top
// chunk or the designated victim, which live outside the bins.
bool CMSpaceAllocator::ReleaseIntoNext(uint32_t chunk, uint32_t* size, uint32_t next) {
    if (next == Top()) {
        SetTop(chunk, TopSize() + *size);
        if (chunk == m_bins.Victim()) m_bins.SetVictim(0, 0);
        return true;
    }
    if (next == m_bins.Victim()) {
        const uint32_t merged = m_bins.VictimSize() + *size;
        m_bins.SetVictim(chunk, merged);
        m_region.SetFreeChunk(chunk, merged);
        return true;
    }
    const uint32_t nextSize = m_region.Size(next);
    m_bins.Unlink(next, nextSize);
    *size += nextSize;
    m_region.SetFreeChunk(chunk, *size);
    if (chunk != m_bins.Victim()) return false;
    m_bins.SetVictim(chunk, *size);
    return true;
}

void* CMSpaceAllocator::Calloc(size_t count, size_t elementSize) {
    size_t bytes = 0;
    if (count != 0) {
        // A product beyond 32 bits asks for more than any region holds.
        bytes = elementSize > kLargestProduct / count ? kLargestProduct : count * elementSize;
    }
    void* block = Malloc(bytes);
    if (block != nullptr) MemSet(block, 0, bytes);
    return block;
}

void* CMSpaceAllocator::Realloc(void* block, size_t bytes) {
    if (block == nullptr) return Malloc(bytes);
    if (bytes >= Region::kMaxRequest) return nullptr;
    const uint32_t chunk = ChunkOfBlock(block, "realloc");
    if (chunk == 0) return nullptr;
    const uint32_t size = Region::RequestToSize(static_cast<uint32_t>(bytes));
    if (m_region.Size(chunk) >= size) {
        TrimInUse(chunk, size);
        return block;
    }
    if (GrowIntoTop(chunk, size)) return block;
    return MoveBlock(chunk, bytes);
}

void CMSpaceAllocator::TrimInUse(uint32_t chunk, uint32_t size) {
    const uint32_t rest = m_region.Size(chunk) - size;
    if (rest < kMinChunk) return;
    m_region.SetInUse(chunk, size);
    m_region.SetInUse(chunk + size, rest);
    Release(chunk + size);
}

bool CMSpaceAllocator::GrowIntoTop(uint32_t chunk, uint32_t size) {
    const uint32_t current = m_region.Size(chunk);
    const uint32_t joined = current + TopSize();
    if (chunk + current != Top() || joined <= size) return false;
    m_region.SetInUse(chunk, size);
    SetTop(chunk + size, joined - size);
    return true;
}

void* CMSpaceAllocator::MoveBlock(uint32_t chunk, size_t bytes) {
    void* moved = Malloc(bytes);
    if (moved == nullptr) return nullptr;
    const size_t kept = m_region.Size(chunk) - Region::kChunkOverhead;
    MemCopy(moved, m_region.UserPointer(chunk), bytes < kept ? bytes : kept);
    Release(chunk);
    return moved;
}

void* CMSpaceAllocator::Memalign(size_t alignment, size_t bytes) {
    if (alignment <= Region::kAlignMask + 1) return Malloc(bytes);
    // Rounding beyond 2^31 would overflow 32 bits: such alignments fail.
    size_t power = kMinChunk;
    while (power < alignment && power < kLargestAlignment) power <<= 1;
    if (power < alignment || bytes >= Region::kMaxRequest - power) return nullptr;
    const uint32_t size = Region::RequestToSize(static_cast<uint32_t>(bytes));
    void* padded = Malloc(size + power + kMinChunk - Region::kChunkOverhead);
    if (padded == nullptr) return nullptr;
    const uint32_t padChunk = static_cast<uint32_t>(m_region.OffsetOf(padded) - Region::kUserOffset);
    const uint32_t chunk = AlignChunk(padChunk, power);
    TrimInUse(chunk, size);
    return m_region.UserPointer(chunk);
}

// Gives back the lead of an in-use chunk up to the first place where a chunk
// with an aligned user pointer fits, and answers that chunk.
uint32_t CMSpaceAllocator::AlignChunk(uint32_t chunk, size_t alignment) {
    const uintptr_t address = reinterpret_cast<uintptr_t>(m_region.UserPointer(chunk));
    if (address % alignment == 0) return chunk;
    const uintptr_t alignedAddress = (address + alignment - 1) & ~static_cast<uintptr_t>(alignment - 1);
    uint32_t aligned = chunk + static_cast<uint32_t>(alignedAddress - address);
    if (aligned - chunk < kMinChunk) aligned += static_cast<uint32_t>(alignment);
    const uint32_t lead = aligned - chunk;
    m_region.SetInUse(aligned, m_region.Size(chunk) - lead);
    m_region.SetInUse(chunk, lead);
    Release(chunk);
    return aligned;
}

void** CMSpaceAllocator::IndependentAlloc(size_t count, const size_t* sizes, bool sameSize, bool zeroed,
                                          void** blocks) {
    if (count == 0) return blocks != nullptr ? blocks : static_cast<void**>(Malloc(0));
    if (sizes == nullptr) return nullptr;
    const uint64_t arrayBytes =
        blocks != nullptr ? 0 : ChunkBytesFor(count < kTooLarge ? count * sizeof(void*) : kTooLarge);
    const uint64_t contents = ElementChunkBytes(count, sizes, sameSize);
    const uint64_t total = contents + arrayBytes;
    if (total >= kTooLarge) return nullptr;
    uint8_t* first = static_cast<uint8_t*>(Malloc(total - Region::kChunkOverhead));
    if (first == nullptr) return nullptr;
    uint32_t chunk = static_cast<uint32_t>(m_region.OffsetOf(first) - Region::kUserOffset);
    uint32_t remaining = m_region.Size(chunk);
    if (zeroed) MemSet(first, 0, remaining - Region::kChunkOverhead - arrayBytes);
    void** pointers = blocks;
    if (pointers == nullptr) {
        const uint32_t arrayChunk = chunk + static_cast<uint32_t>(contents);
        m_region.SetInUseHead(arrayChunk, remaining - static_cast<uint32_t>(contents));
        pointers = reinterpret_cast<void**>(m_region.UserPointer(arrayChunk));
        remaining = static_cast<uint32_t>(contents);
    }
    for (size_t i = 0; i + 1 < count; ++i) {
        const uint32_t size = static_cast<uint32_t>(ChunkBytesFor(sizes[sameSize ? 0 : i]));
        pointers[i] = m_region.UserPointer(chunk);
        m_region.SetInUseHead(chunk, size);
        chunk += size;
        remaining -= size;
    }
    // The last block takes whatever the allocation had to spare.
    pointers[count - 1] = m_region.UserPointer(chunk);
    m_region.SetInUseHead(chunk, remaining);
    return pointers;
}

void* CMSpaceAllocator::Settle(void* result) {
    if (!m_region.IsCorrupt()) return result;
    DebugPrintf("MSpace: damaged chunk links or sizes met in the region");
    ReportAfterWalk();
    return nullptr;
}

void CMSpaceAllocator::ReportAfterWalk() {
    CMSpaceChecker::CheckRegion(m_region.Base(), m_region.End(), nullptr);
    ASSERT(false);
}

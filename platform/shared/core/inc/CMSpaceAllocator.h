#ifndef CMSPACEALLOCATOR_H
#define CMSPACEALLOCATOR_H

#include "CMSpaceBins.h"

#include <cstddef>

// The allocation operations of one region. A small request takes a chunk of
// its size class (or 8 bytes over) whole; failing that, the designated
// victim when it fits, else a split of the next larger small chunk or of the
// smallest tree chunk. A large request takes the best-fitting tree chunk or
// the victim, whichever fits more closely. The top chunk comes last. Freed
// chunks coalesce with free neighbours at once. The region never grows: when
// nothing fits, the answer is null.
//
// A block handed back that the region never gave out (outside it, not at a
// chunk, already free, or with a damaged neighbour) is reported after the
// whole region has been checked, and then ignored.
class CMSpaceAllocator {
public:
    explicit CMSpaceAllocator(CMSpaceRegion& region) : m_region(region), m_bins(region) {}

    void* Malloc(size_t bytes);
    void Free(void* block);
    void* Calloc(size_t count, size_t elementSize);
    void* Realloc(void* block, size_t bytes);
    void* Memalign(size_t alignment, size_t bytes);
    // `count` blocks carved from one allocation, of one size (`sameSize`,
    // sizes[0]) or of sizes[i] each, optionally zeroed. Their pointers go
    // into `blocks`, or into an array allocated after them when it is null.
    void** IndependentAlloc(size_t count, const size_t* sizes, bool sameSize, bool zeroed, void** blocks);

    // The result of an operation, or null when it met damaged links or
    // sizes on the way (reported here).
    void* Settle(void* result);

private:
    uint32_t Top() { return m_region.Load(CMSpaceRegion::kTop); }
    uint32_t TopSize() { return m_region.Load(CMSpaceRegion::kTopSize); }
    void SetTop(uint32_t chunk, uint32_t size);

    uint32_t TakeSmall(uint32_t size);
    uint32_t TakeLarge(uint32_t size);
    uint32_t SplitTreeChunk(uint32_t chunk, uint32_t size, bool remainderIsVictim);
    uint32_t TakeFromVictimOrTop(uint32_t size);

    // The chunk of a block the caller hands back, or 0 after a report.
    uint32_t ChunkOfBlock(const void* block, const char* operation);
    // Why a chunk below the top chunk cannot be one the region handed out,
    // or null.
    const char* LiveChunkProblem(uint32_t chunk, uint32_t top);
    bool HasSoundFreePrev(uint32_t chunk);
    void Release(uint32_t chunk);
    bool ReleaseIntoPrev(uint32_t* chunk, uint32_t* size, uint32_t next);
    bool ReleaseIntoNext(uint32_t chunk, uint32_t* size, uint32_t next);
    // Cuts the in-use chunk to `size` bytes and frees the rest when it makes
    // a chunk of its own.
    void TrimInUse(uint32_t chunk, uint32_t size);
    bool GrowIntoTop(uint32_t chunk, uint32_t size);
    void* MoveBlock(uint32_t chunk, size_t bytes);
    uint32_t AlignChunk(uint32_t chunk, size_t alignment);
    // Checks the whole region, reporting what it finds, then fails a check.
    void ReportAfterWalk();

    CMSpaceRegion& m_region;
    CMSpaceBins m_bins;
};

#endif

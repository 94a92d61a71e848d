#include "MSpace.h"

#include "CAssert.h"
#include "CMSpaceAllocator.h"

namespace {

constexpr size_t kSmallestCapacity = CMSpaceRegion::kControlChunkSize + CMSpaceRegion::kFenceSize;
// Sizes and links inside a region are 32-bit offsets.
constexpr size_t kCapacityLimit = 0x100000000ull - (kSmallestCapacity + CMSpaceRegion::kPageSize);
// A top chunk of less than 8 bytes would have its head inside the fence's.
constexpr uint32_t kSmallestLayout = kSmallestCapacity + CMSpaceRegion::kAlignMask + 1;

bool IsUsableSpace(MSpace space) {
    if (CMSpaceRegion::IsSpace(space)) return true;
    DebugPrintf("MSpace: %p is not a space", space);
    ASSERT(false);
    return false;
}

template <typename Operation>
void* WithAllocator(MSpace space, Operation operation) {
    if (!IsUsableSpace(space)) return nullptr;
    CMSpaceRegion region = CMSpaceRegion::OfSpace(space);
    CMSpaceAllocator allocator(region);
    return allocator.Settle(operation(allocator));
}

}  // namespace

MSpace MSpaceCreate(void* base, size_t capacity, int32_t locked) {
    static_cast<void>(locked);  // a space belongs to one thread; nothing to lock
    if (base == nullptr || capacity <= kSmallestCapacity || capacity >= kCapacityLimit) return nullptr;
    // The layout starts at the first 8-byte boundary and ends at the last.
    const size_t lead = (0u - reinterpret_cast<uintptr_t>(base)) & CMSpaceRegion::kAlignMask;
    const uint32_t end = static_cast<uint32_t>((capacity - lead) & ~size_t{CMSpaceRegion::kAlignMask});
    if (end < kSmallestLayout) return nullptr;
    CMSpaceRegion region(static_cast<uint8_t*>(base) + lead, end);
    region.Format(static_cast<uint32_t>(capacity));
    return region.Space();
}

void* MSpaceMalloc(MSpace space, size_t bytes) {
    return WithAllocator(space, [bytes](CMSpaceAllocator& allocator) { return allocator.Malloc(bytes); });
}

void MSpaceFree(MSpace space, void* block) {
    if (block == nullptr) return;
    WithAllocator(space, [block](CMSpaceAllocator& allocator) {
        allocator.Free(block);
        return static_cast<void*>(nullptr);
    });
}

void* MSpaceCalloc(MSpace space, size_t count, size_t elementSize) {
    return WithAllocator(space, [count, elementSize](CMSpaceAllocator& allocator) {
        return allocator.Calloc(count, elementSize);
    });
}

void* MSpaceRealloc(MSpace space, void* block, size_t bytes) {
    return WithAllocator(space,
                         [block, bytes](CMSpaceAllocator& allocator) { return allocator.Realloc(block, bytes); });
}

void* MSpaceMemalign(MSpace space, size_t alignment, size_t bytes) {
    return WithAllocator(space, [alignment, bytes](CMSpaceAllocator& allocator) {
        return allocator.Memalign(alignment, bytes);
    });
}

void** MSpaceIndependentCalloc(MSpace space, size_t count, size_t elementSize, void** blocks) {
    return static_cast<void**>(WithAllocator(space, [count, elementSize, blocks](CMSpaceAllocator& allocator) {
        return static_cast<void*>(allocator.IndependentAlloc(count, &elementSize, true, true, blocks));
    }));
}

void** MSpaceIndependentComalloc(MSpace space, size_t count, const size_t* sizes, void** blocks) {
    return static_cast<void**>(WithAllocator(space, [count, sizes, blocks](CMSpaceAllocator& allocator) {
        return static_cast<void*>(allocator.IndependentAlloc(count, sizes, false, false, blocks));
    }));
}

int32_t MSpaceTrim(MSpace space, size_t pad) {
    static_cast<void>(pad);
    IsUsableSpace(space);
    return 0;
}

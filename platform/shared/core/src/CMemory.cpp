#include "CMemory.h"

#include "CAssert.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kLargestBlock = 0xFFFFFFFEu;

bool ArrayFits(size_t count, size_t elementSize) { return elementSize == 0 || count <= kLargestBlock / elementSize; }

}  // namespace

void* MemAlloc(size_t bytes) {
    if (bytes > kLargestBlock) return nullptr;
    return std::malloc(bytes);
}

void MemFree(void* block) { std::free(block); }

void* MemAllocArray(size_t bytes) { return MemAlloc(bytes); }

void MemFreeArray(void* block) { std::free(block); }

void* MemAllocNonZero(size_t bytes) {
    if (bytes == 0) return nullptr;
    return MemAlloc(bytes);
}

void* MemAllocRaw(size_t bytes) { return MemAllocNonZero(bytes); }

void FreeMemory(void* block) { CrtFree(block); }

void CrtFree(void* block) { std::free(block); }

size_t ArrayBytes(size_t count, size_t elementSize) { return ArrayFits(count, elementSize) ? count * elementSize : 0; }

void* MemAllocArrayOf(size_t count, size_t elementSize) {
    if (!ArrayFits(count, elementSize)) {
        DebugPrintf("MemAllocArrayOf: %zu elements of %zu bytes do not fit the heap", count, elementSize);
        return nullptr;
    }
    return MemAllocArray(count * elementSize);
}

void* MemSet(void* dst, int value, size_t n) { return MemSetRaw(dst, value, n); }

void* MemSetRaw(void* dst, int value, size_t n) { return n == 0 ? dst : std::memset(dst, value, n); }

void* MemCopy(void* dst, const void* src, size_t n) { return MemCopyRaw(dst, src, n); }

void* MemCopyRaw(void* dst, const void* src, size_t n) {
    return n == 0 ? dst : std::memcpy(dst, src, n);
}

int MemCompare(const void* a, const void* b, size_t n) { return MemCompareRaw(a, b, n); }

int MemCompareRaw(const void* a, const void* b, size_t n) {
    return n == 0 ? 0 : std::memcmp(a, b, n);
}

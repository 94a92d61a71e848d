#ifndef CMEMORY_H
#define CMEMORY_H

#include "EngineTypes.h"

// The engine's one heap. Every object, array and buffer comes from here, and
// so do the allocations of zlib and the Ogg Vorbis decoder. All allocators
// return null on failure and never throw.

void* MemAlloc(size_t bytes);
void MemFree(void* block);
void* MemAllocArray(size_t bytes);
void MemFreeArray(void* block);
// Null for a request of 0 bytes, without touching the heap.
void* MemAllocNonZero(size_t bytes);
void* MemAllocRaw(size_t bytes);
void FreeMemory(void* block);
void CrtFree(void* block);

// Bytes for an array of `count` elements of `elementSize` bytes, or 0 when
// the product does not fit in 32 bits: the handset could never allocate
// such a block, so callers refuse it instead of asking the heap. Never pass
// the result straight to an allocator: 0 would come back as a live block.
size_t ArrayBytes(size_t count, size_t elementSize);
// An array block (MemFreeArray) of `count` elements, or null when the size
// does not fit in 32 bits or the heap cannot hold it.
void* MemAllocArrayOf(size_t count, size_t elementSize);

void* MemSet(void* dst, int value, size_t n);
void* MemSetRaw(void* dst, int value, size_t n);
void* MemCopy(void* dst, const void* src, size_t n);
void* MemCopyRaw(void* dst, const void* src, size_t n);
int MemCompare(const void* a, const void* b, size_t n);
int MemCompareRaw(const void* a, const void* b, size_t n);

#endif

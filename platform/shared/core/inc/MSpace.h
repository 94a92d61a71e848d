#ifndef MSPACE_H
#define MSPACE_H

#include <cstddef>
#include <cstdint>

// Allocation from one memory region supplied by the caller, apart from the
// engine heap. The region holds its own bookkeeping at its start and never
// grows: when it is exhausted, allocation fails. A space must be used from
// one thread.
//
// Blocks are 8-byte aligned; a request of n bytes takes a chunk of the
// larger of 16 and n + 4 rounded up to 8 bytes. Requests of 0xFFFFFFC0 bytes
// or more always fail.
typedef void* MSpace;

// Lays out a space over `capacity` bytes at `base`. Null when the capacity is
// 496 bytes or less, leaves no room for an 8-byte top chunk, or comes within
// 496 + 4096 bytes of 4 GiB. The locked flag is accepted and ignored.
MSpace MSpaceCreate(void* base, size_t capacity, int32_t locked);

void* MSpaceMalloc(MSpace space, size_t bytes);
// Null is ignored. A block the space never handed out is reported through a
// failed check and otherwise ignored.
void MSpaceFree(MSpace space, void* block);
// count x size zeroed bytes; null when the product does not fit in 32 bits.
void* MSpaceCalloc(MSpace space, size_t count, size_t elementSize);
// Null block: MSpaceMalloc. Shrinks in place, grows in place into the top
// chunk when it follows the block, or else moves the contents to a new block.
// On failure the old block is untouched and null is answered.
void* MSpaceRealloc(MSpace space, void* block, size_t bytes);
// Alignments of 8 or less give a plain block; others are raised to at least
// 16 and to a power of two (up to 2^31).
void* MSpaceMemalign(MSpace space, size_t alignment, size_t bytes);
// `count` zeroed blocks of `elementSize` bytes carved from one allocation,
// each freeable on its own. Their pointers go into `blocks`, or into a
// pointer array allocated with them when `blocks` is null; that array is the
// result (freeable as well), null on failure.
void** MSpaceIndependentCalloc(MSpace space, size_t count, size_t elementSize, void** blocks);
// The same with a size per block (sizes[i]), not zeroed.
void** MSpaceIndependentComalloc(MSpace space, size_t count, const size_t* sizes, void** blocks);
// Nothing is ever given back from a caller's region: always 0.
int32_t MSpaceTrim(MSpace space, size_t pad);

#endif

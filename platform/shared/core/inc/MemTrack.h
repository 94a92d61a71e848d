#ifndef MEMTRACK_H
#define MEMTRACK_H

#include "EngineTypes.h"

// A debugging allocator over the engine heap. Each block it hands out is
// followed by the guard bytes AA CC AA CC and recorded with a sequence number
// and its size, so that releasing it detects a write past its end and the
// bytes still held can be accounted for. Misuse is reported through failed
// checks, with the caller's source file in the debug log.

// Null for a size of 0 or when the heap refuses.
void* MemTrackAlloc(size_t size, const char* sourceFile);
// Checks the guard of a tracked block, forgets it and releases it. A block
// that was never tracked is released all the same.
void MemTrackFree(void* block, const char* sourceFile);
// As MemTrackFree, but the block stays allocated.
void MemTrackUntrack(void* block, const char* sourceFile);
// Walks the records from the newest to the oldest; returns how many there are.
uint32_t MemTrackWalk();
// Drops every record (the blocks stay allocated) and their bytes from the total.
void MemTrackForgetAll();
// The part of a path after its last separator ("\" or "/"), the whole path
// when it has none, null for null.
const char* MemTrackBaseName(const char* path);

// Bytes held in tracked blocks, and allocations requested so far.
size_t MemTrackTotalBytes();
uint32_t MemTrackSequence();

#endif

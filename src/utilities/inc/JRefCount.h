#ifndef JREFCOUNT_H
#define JREFCOUNT_H

#include <cstdint>

#include "CAssert.h"
#include "CMemory.h"

// The shared reference count of the runtime's holders: one separately
// allocated 32-bit word, counting the holders. Plain integers: the runtime
// runs on one thread.

// A new count of 1, or null (with a debug line) when the heap refuses.
inline uint32_t* JNewRefCount() {
    uint32_t* count = static_cast<uint32_t*>(MemAlloc(sizeof(uint32_t)));
    if (count == nullptr) {
        DebugPrintf("JRefCount: no memory for a reference count");
        return nullptr;
    }
    *count = 1;
    return count;
}

inline void JAddRef(uint32_t* count) {
    if (count != nullptr) ++*count;
}

// Drops one reference. True when the caller held the last one (or there was
// no count at all); the word is then freed and the pointer cleared.
inline bool JDropRef(uint32_t*& count) {
    if (count != nullptr) {
        --*count;
        if (*count > 0) return false;
    }
    MemFree(count);
    count = nullptr;
    return true;
}

#endif

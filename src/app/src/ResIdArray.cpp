#include "ResIdArray.h"

#include "CAssert.h"
#include "CMemory.h"

bool ResIdArray::set(const uint32_t* source, int32_t n) {
    release();
    count = 0;
    if (n < 0 || n >= kMaxCount || (n > 0 && source == nullptr)) {
        DebugPrintf("ResIdArray: cannot hold %d ids", n);
        return false;
    }
    if (n == 0) return true;
    ids = static_cast<uint32_t*>(MemAllocArray(static_cast<size_t>(n) * sizeof(uint32_t)));
    if (ids == nullptr) return false;
    MemCopy(ids, source, static_cast<uint32_t>(n) * sizeof(uint32_t));
    count = n;
    return true;
}

const uint32_t* ResIdArray::at(int32_t i) const {
    const bool inside = i >= 0 && i < count;
    ASSERT(inside);
    return inside ? &ids[i] : nullptr;
}

void ResIdArray::release() {
    if (ids != nullptr) MemFreeArray(ids);
    ids = nullptr;
    count = 0;
}

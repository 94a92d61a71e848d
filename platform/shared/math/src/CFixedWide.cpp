#include "CFixedWide.h"

#include <cstddef>

#include "CAssert.h"

int32_t FixedShiftInRange(int32_t n) {
    if (n > 63) return 63;
    ASSERT(n >= 0);
    return n < 0 ? 0 : n;
}

int32_t FixedDot3Shift(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t n) {
    if (n < 0 || n > 63) n = FixedShiftInRange(n);
    // Three full products can exceed the signed 64-bit range together; the
    // sum wraps in 64 bits as the handset's add-with-carry did.
    const uint64_t sum = static_cast<uint64_t>(static_cast<int64_t>(a) * b) +
                         static_cast<uint64_t>(static_cast<int64_t>(c) * d) +
                         static_cast<uint64_t>(static_cast<int64_t>(e) * f);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(sum) >> n));
}

void FixedTransformArray(int32_t* records, int32_t count, int32_t stride, int32_t k, int32_t m0, int32_t m1,
                         int32_t m2, int32_t t) {
    if (count <= 0) return;
    if (records == nullptr || stride < 3 || k < 0 || k >= stride) {
        ASSERT(false);
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        int32_t* record = records + static_cast<ptrdiff_t>(i) * stride;
        const int32_t value = FixedDot3Shift(record[0], m0, record[1], m1, record[2], m2, 16);
        record[k] = static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(t));
    }
}

uint64_t CallGenerated(const void* code, uintptr_t, uintptr_t, uintptr_t) {
    DebugPrintf("CallGenerated: span code at %p is ARM code and cannot run on this host", code);
    ASSERT(false);
    return 0;
}

#ifndef JSYSTEM_H
#define JSYSTEM_H

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "CAssert.h"
#include "JSmartObject.h"

// Lines under which the array copy reports its checks.
namespace JSystemCheck {
constexpr const char* kSource = "JSystem";
constexpr int kSourceRange = 13;
constexpr int kDestinationRange = 14;
}  // namespace JSystemCheck

class JSystem {
public:
    // Copies count elements with the element type's assignment (strings
    // share their buffers). Within one array a shift towards higher indices
    // copies from the end, so every element is read before it is written.
    // A range outside either array is reported and nothing is copied.
    template <typename T>
    static void arraycopy(const JSmartObject<T>& src, int32_t srcPos, JSmartObject<T>& dst, int32_t dstPos,
                          int32_t count);

    static uint32_t currentTimeMillis();

private:
    static bool RangeFits(int32_t pos, int32_t count, int32_t length) {
        return pos >= 0 && static_cast<int64_t>(pos) + count <= length;
    }
};

template <typename T>
void JSystem::arraycopy(const JSmartObject<T>& src, int32_t srcPos, JSmartObject<T>& dst, int32_t dstPos,
                        int32_t count) {
    const bool sourceFits = RangeFits(srcPos, count, src.length());
    Assert(sourceFits, JSystemCheck::kSource, JSystemCheck::kSourceRange);
    const bool destinationFits = RangeFits(dstPos, count, dst.length());
    Assert(destinationFits, JSystemCheck::kSource, JSystemCheck::kDestinationRange);
    if (!sourceFits || !destinationFits || count <= 0) return;
    const T* from = src.getData() + srcPos;
    T* to = dst.getData() + dstPos;
    if (from == to) return;
    if constexpr (std::is_trivially_copyable_v<T>) {
        std::memmove(to, from, static_cast<size_t>(count) * sizeof(T));
    } else if (src.getData() == dst.getData() && srcPos < dstPos) {
        for (int32_t i = count - 1; i >= 0; --i) to[i] = from[i];
    } else {
        for (int32_t i = 0; i < count; ++i) to[i] = from[i];
    }
}

#endif

#ifndef JARRAY_H
#define JARRAY_H

#include <cstddef>
#include <new>
#include <type_traits>

#include "CAssert.h"
#include "CMemory.h"

// Arrays handed to the runtime's holders (JSmartObject, JVector storage).
// The element count sits in a small header in front of the elements, so the
// holder that drops the last reference can destroy every element, last first,
// without being told the length. Class-type elements are default-constructed;
// plain elements are left as the heap gives them.

// The handset's heap never held a block of 2 GB or more; such requests are
// refused here instead of being passed to the host allocator.
constexpr size_t kJLargestArrayBytes = 0x7FFFFFFF;

namespace jarray_detail {

constexpr size_t kHeaderBytes = alignof(std::max_align_t);

template <typename T>
int32_t& CountOf(T* elements) {
    return *reinterpret_cast<int32_t*>(reinterpret_cast<unsigned char*>(elements) - kHeaderBytes);
}

}  // namespace jarray_detail

// A new array of count elements, or null (with a debug line) when count is
// negative or the block would be too large or cannot be had.
template <typename T>
T* JNewArray(int32_t count) {
    static_assert(alignof(T) <= jarray_detail::kHeaderBytes, "element alignment beyond the heap's");
    if (count < 0) {
        DebugPrintf("JNewArray: negative element count %d refused", count);
        return nullptr;
    }
    const size_t elementBytes = ArrayBytes(static_cast<size_t>(count), sizeof(T));
    if ((elementBytes == 0 && count != 0) || elementBytes > kJLargestArrayBytes - jarray_detail::kHeaderBytes) {
        DebugPrintf("JNewArray: %d elements of %u bytes refused", count, static_cast<unsigned>(sizeof(T)));
        return nullptr;
    }
    void* block = MemAllocArray(jarray_detail::kHeaderBytes + elementBytes);
    if (block == nullptr) {
        DebugPrintf("JNewArray: out of memory for %d elements", count);
        return nullptr;
    }
    T* elements = reinterpret_cast<T*>(static_cast<unsigned char*>(block) + jarray_detail::kHeaderBytes);
    jarray_detail::CountOf(elements) = count;
    if constexpr (!std::is_trivially_default_constructible_v<T>) {
        for (int32_t i = 0; i < count; ++i) new (elements + i) T();
    }
    return elements;
}

// Destroys the elements, last first, and frees the block; null is allowed.
template <typename T>
void JDeleteArray(T* elements) {
    if (elements == nullptr) return;
    if constexpr (!std::is_trivially_destructible_v<T>) {
        for (int32_t i = jarray_detail::CountOf(elements) - 1; i >= 0; --i) elements[i].~T();
    }
    MemFreeArray(reinterpret_cast<unsigned char*>(elements) - jarray_detail::kHeaderBytes);
}

#endif

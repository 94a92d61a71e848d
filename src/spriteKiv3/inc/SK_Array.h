#ifndef SK_ARRAY_H
#define SK_ARRAY_H

#include <new>

#include "CMemory.h"

// A fixed-size array on the engine heap that owns its elements: the tables
// of the sprite data. Allocation failure leaves it empty and answers false.
template <typename T>
class SK_Array {
public:
    SK_Array() = default;
    ~SK_Array() { Reset(); }

    SK_Array(const SK_Array&) = delete;
    SK_Array& operator=(const SK_Array&) = delete;

    // `count` value-initialised elements in place of the old ones.
    bool Allocate(uint32_t count) {
        Reset();
        if (count == 0) return true;
        void* block = MemAllocArrayOf(count, sizeof(T));
        if (block == nullptr) return false;
        m_items = static_cast<T*>(block);
        for (uint32_t i = 0; i < count; ++i) new (&m_items[i]) T();
        m_count = count;
        return true;
    }

    void Reset() {
        for (uint32_t i = 0; i < m_count; ++i) m_items[i].~T();
        if (m_items != nullptr) MemFreeArray(m_items);
        m_items = nullptr;
        m_count = 0;
    }

    uint32_t Count() const { return m_count; }
    T* Data() { return m_items; }
    const T* Data() const { return m_items; }
    T& operator[](uint32_t i) { return m_items[i]; }
    const T& operator[](uint32_t i) const { return m_items[i]; }

private:
    T* m_items = nullptr;
    uint32_t m_count = 0;
};

#endif

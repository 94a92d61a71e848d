#ifndef TCSTACK_H
#define TCSTACK_H

#include <type_traits>

#include "CAssert.h"
#include "CMemory.h"

// A stack of fixed capacity whose bottom entry exists from Init on: Push
// copies the top entry, Pop never removes the bottom one. Entries are plain
// values, zeroed at Init. A push beyond the capacity or a pop of the bottom
// entry is reported and refused.
template <typename T>
class TCStack {
    static_assert(std::is_trivially_copyable_v<T>, "stack entries are copied as plain values");

public:
    TCStack() = default;
    ~TCStack() { Release(); }

    TCStack(const TCStack&) = delete;
    TCStack& operator=(const TCStack&) = delete;

    // False when the entries cannot be allocated (or capacity is 0).
    bool Init(uint32_t capacity) {
        Release();
        const size_t bytes = ArrayBytes(capacity, sizeof(T));
        m_data = bytes != 0 ? static_cast<T*>(MemAlloc(bytes)) : nullptr;
        ASSERT(m_data != nullptr);
        if (m_data == nullptr) return false;
        MemSet(m_data, 0, bytes);
        m_capacity = capacity;
        m_count = 1;
        return true;
    }

    void Release() {
        MemFree(m_data);
        m_data = nullptr;
        m_capacity = 0;
        m_count = 0;
    }

    // Before Init, a zeroed stand-in entry that nothing else reads.
    T& Top() {
        if (m_count > 0) return m_data[m_count - 1];
        ASSERT(m_count > 0);
        return m_empty;
    }
    const T& Top() const {
        if (m_count > 0) return m_data[m_count - 1];
        ASSERT(m_count > 0);
        return m_empty;
    }

    bool Push() {
        const bool room = m_count > 0 && m_count < m_capacity;
        ASSERT(room);
        if (!room) return false;
        m_data[m_count] = m_data[m_count - 1];
        ++m_count;
        return true;
    }

    bool Pop() {
        ASSERT(m_count >= 2);
        if (m_count < 2) return false;
        --m_count;
        return true;
    }

    uint32_t GetCount() const { return m_count; }
    uint32_t GetCapacity() const { return m_capacity; }

private:
    T* m_data = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    T m_empty = {};
};

#endif

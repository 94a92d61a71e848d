#ifndef CVECTOR_H
#define CVECTOR_H

#include "CClass.h"

// A growable array of pointer-sized slots, holding integers (ids, packed
// records) or object pointers. Operations answer result codes and never
// assert on indices.
//
// Growth is deliberately tight: a non-exact reserve for n slots asks for
// max(10, 2n), so once more than half the storage is used every append
// reallocates. A vector that is cleared and refilled reuses its storage.
class CVector : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x36034282;

    static constexpr int32_t kResultOk = 0;
    static constexpr int32_t kResultOutOfMemory = 2;
    static constexpr int32_t kResultNegativeCapacity = 3;
    static constexpr int32_t kResultIndexOutOfRange = 5;
    static constexpr int32_t kResultValueNotFound = 6;

    // Construction, appends and destruction are inline and hand the vector
    // to nothing opaque, so a vector in a caller's frame stays in registers.
    CVector() : CClass(kClassKey) {}
    ~CVector() override { FreeStorage(); }

    CVector(const CVector&) = delete;
    CVector& operator=(const CVector&) = delete;

    int32_t Size() const { return m_size; }
    int32_t GetCapacity() const { return m_capacity; }
    uintptr_t* GetData() const { return m_data; }
    bool IsEmpty() const { return m_size == 0; }
    // Size 0; the storage stays for the next fill.
    void Clear() { m_size = 0; }

    int32_t Add(uintptr_t value) {
        if (m_size >= m_appendLimit && !GrowToAppend()) return kResultOutOfMemory;
        m_data[m_size] = value;
        ++m_size;
        return kResultOk;
    }
    int32_t InsertAt(int32_t index, uintptr_t value);
    // The removed value goes to outValue when that is not null. Removal
    // never fails for want of memory.
    int32_t RemoveAt(int32_t index, uintptr_t* outValue);
    int32_t RemoveAt(int32_t index, uint32_t* outValue);
    int32_t RemoveValue(uintptr_t value);
    int32_t SetAt(int32_t index, uintptr_t value);
    // outValue is left untouched when the index is out of range.
    int32_t GetAt(int32_t index, uintptr_t* outValue) const;
    // For callers that keep 32-bit ids: the slot's low 32 bits.
    int32_t GetAt(int32_t index, uint32_t* outValue) const;

    // First index >= start holding the value, or -1; a negative start
    // searches from the beginning.
    int32_t IndexOf(uintptr_t value, int32_t start = 0) const;
    // Last index <= start holding the value, or -1; a start past the end
    // searches from the last element.
    int32_t LastIndexOf(uintptr_t value) const;
    int32_t LastIndexOf(uintptr_t value, int32_t start) const;

    // Slots revealed without reallocation show what storage held before.
    int32_t SetSize(int32_t size);
    int32_t TrimToSize();
    int32_t EnsureCapacity(int32_t capacity);
    // Non-exact: grows to max(10, 2n) when that exceeds the capacity and
    // never shrinks. Exact: storage of exactly n slots (none for 0); a size
    // above n is cut to n.
    int32_t Reserve(int32_t count, bool exact);

private:
    static constexpr int32_t kMinimumGrowth = 10;

    // The capacity a non-exact reserve for `count` slots asks for.
    static int64_t GrowthTarget(int64_t count) { return count * 2 > kMinimumGrowth ? count * 2 : kMinimumGrowth; }
    // New storage of `capacity` slots: the first min(size, capacity) taken
    // from `data`, which is freed, and zeros after them. Null, with `data`
    // untouched, when out of memory.
    static uintptr_t* Regrow(uintptr_t* data, int32_t size, int32_t capacity);

    // The non-exact reserve for one more slot, past the append limit (where
    // it always reallocates).
    bool GrowToAppend() {
        const int64_t target = GrowthTarget(static_cast<int64_t>(m_size) + 1);
        if (target > INT32_MAX) return false;
        uintptr_t* data = Regrow(m_data, m_size, static_cast<int32_t>(target));
        if (data == nullptr) return false;
        m_data = data;
        SetCapacity(static_cast<int32_t>(target));
        return true;
    }
    void SetCapacity(int32_t capacity) {
        m_capacity = capacity;
        m_appendLimit = capacity >= kMinimumGrowth ? capacity / 2 : 0;
    }
    void FreeStorage() {
        MemFreeArray(m_data);
        m_data = nullptr;
        m_size = 0;
        SetCapacity(0);
    }
    int32_t Reallocate(int32_t capacity);

    uintptr_t* m_data = nullptr;
    int32_t m_size = 0;
    int32_t m_capacity = 0;
    // Appends keep the storage while the size stays below this: the largest
    // n with max(10, 2n) <= capacity.
    int32_t m_appendLimit = 0;
};

#endif

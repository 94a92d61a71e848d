#include "CVector.h"

#include "CAssert.h"
#include "CRuntime.h"

#include <cstdint>
#include <cstring>

int32_t CVector::InsertAt(int32_t index, uintptr_t value) {
    if (index < 0 || index > m_size) return kResultIndexOutOfRange;
    if (m_size == INT32_MAX) return kResultOutOfMemory;
    const int32_t result = Reserve(m_size + 1, false);
    if (result != kResultOk) return result;
    std::memmove(m_data + index + 1, m_data + index, static_cast<size_t>(m_size - index) * sizeof(uintptr_t));
    ++m_size;
    m_data[index] = value;
    return kResultOk;
}

int32_t CVector::RemoveAt(int32_t index, uintptr_t* outValue) {
    if (index < 0 || index >= m_size) return kResultIndexOutOfRange;
    if (outValue != nullptr) *outValue = m_data[index];
    std::memmove(m_data + index, m_data + index + 1, static_cast<size_t>(m_size - index - 1) * sizeof(uintptr_t));
    // The storage may grow here (a trimmed vector regains room to append),
    // but the removal is already complete: a failed growth changes nothing.
    Reserve(m_size - 1, false);
    --m_size;
    return kResultOk;
}

int32_t CVector::RemoveAt(int32_t index, uint32_t* outValue) {
    uintptr_t value = 0;
    const int32_t result = RemoveAt(index, &value);
    if (result == kResultOk && outValue != nullptr) *outValue = static_cast<uint32_t>(value);
    return result;
}

int32_t CVector::RemoveValue(uintptr_t value) {
    const int32_t index = IndexOf(value, 0);
    if (index < 0) return kResultValueNotFound;
    return RemoveAt(index, static_cast<uintptr_t*>(nullptr));
}

int32_t CVector::SetAt(int32_t index, uintptr_t value) {
    if (index < 0 || index >= m_size) return kResultIndexOutOfRange;
    m_data[index] = value;
    return kResultOk;
}

int32_t CVector::GetAt(int32_t index, uintptr_t* outValue) const {
    if (index < 0 || index >= m_size) return kResultIndexOutOfRange;
    if (outValue != nullptr) *outValue = m_data[index];
    return kResultOk;
}

int32_t CVector::GetAt(int32_t index, uint32_t* outValue) const {
    if (index < 0 || index >= m_size) return kResultIndexOutOfRange;
    if (outValue != nullptr) *outValue = static_cast<uint32_t>(m_data[index]);
    return kResultOk;
}

int32_t CVector::IndexOf(uintptr_t value, int32_t start) const {
    for (int32_t i = start < 0 ? 0 : start; i < m_size; ++i) {
        if (m_data[i] == value) return i;
    }
    return -1;
}

int32_t CVector::LastIndexOf(uintptr_t value) const { return LastIndexOf(value, m_size - 1); }

int32_t CVector::LastIndexOf(uintptr_t value, int32_t start) const {
    for (int32_t i = start < m_size ? start : m_size - 1; i >= 0; --i) {
        if (m_data[i] == value) return i;
    }
    return -1;
}

int32_t CVector::SetSize(int32_t size) {
    const int32_t result = Reserve(size, false);
    if (result == kResultOk) m_size = size;
    return result;
}

int32_t CVector::TrimToSize() { return Reserve(m_size, true); }

int32_t CVector::EnsureCapacity(int32_t capacity) {
    if (capacity < 0) return kResultNegativeCapacity;
    return Reserve(capacity, false);
}

int32_t CVector::Reserve(int32_t count, bool exact) {
    ASSERT(count >= 0);
    if (count < 0) return kResultNegativeCapacity;
    const int64_t target = exact ? count : GrowthTarget(count);
    if (exact && target == 0) {
        FreeStorage();
        return kResultOk;
    }
    if (!exact && target <= m_capacity) return kResultOk;
    if (target > INT32_MAX) return kResultOutOfMemory;
    return Reallocate(static_cast<int32_t>(target));
}

uintptr_t* CVector::Regrow(uintptr_t* data, int32_t size, int32_t capacity) {
    const size_t bytes = ArrayBytes(static_cast<size_t>(capacity), sizeof(uintptr_t));
    uintptr_t* grown = bytes != 0 ? static_cast<uintptr_t*>(MemAllocArray(bytes)) : nullptr;
    if (grown == nullptr) return nullptr;
    const int32_t kept = MinInt(size, capacity);
    MemCopy(grown, data, static_cast<size_t>(kept) * sizeof(uintptr_t));
    MemSet(grown + kept, 0, static_cast<size_t>(capacity - kept) * sizeof(uintptr_t));
    MemFreeArray(data);
    return grown;
}

int32_t CVector::Reallocate(int32_t capacity) {
    uintptr_t* data = Regrow(m_data, m_size, capacity);
    if (data == nullptr) return kResultOutOfMemory;
    m_data = data;
    m_size = MinInt(m_size, capacity);
    SetCapacity(capacity);
    return kResultOk;
}

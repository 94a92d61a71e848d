#include "CEventQueue.h"

#include "CMemory.h"

CEventQueue::~CEventQueue() { Clear(); }

bool CEventQueue::Grow() {
    const int64_t capacity = m_capacity == 0 ? kInitialCapacity : static_cast<int64_t>(m_capacity) * 2;
    if (capacity > INT32_MAX) return false;
    const size_t bytes = ArrayBytes(static_cast<size_t>(capacity), sizeof(CAppEvent));
    CAppEvent* entries = bytes != 0 ? static_cast<CAppEvent*>(MemAllocRaw(bytes)) : nullptr;
    if (entries == nullptr) return false;
    MemCopy(entries, m_entries, static_cast<size_t>(m_count) * sizeof(CAppEvent));
    FreeMemory(m_entries);
    m_entries = entries;
    m_capacity = static_cast<int32_t>(capacity);
    return true;
}

void CEventQueue::Post(uint32_t id, uint32_t arg1, uint32_t arg2) {
    if (m_count == m_capacity && !Grow()) return;
    CAppEvent& entry = m_entries[m_count++];
    entry.id = id;
    entry.arg1 = arg1;
    entry.arg2 = arg2;
}

void CEventQueue::GetAt(CAppEvent* outEvent, int32_t index) const {
    if (outEvent == nullptr) return;
    *outEvent = index >= 0 && index < m_count ? m_entries[index] : CAppEvent();
}

void CEventQueue::Clear() {
    FreeMemory(m_entries);
    m_entries = nullptr;
    m_capacity = 0;
    m_count = 0;
}

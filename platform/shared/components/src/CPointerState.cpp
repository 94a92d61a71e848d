#include "CPointerState.h"

#include "CAssert.h"

void CPointerState::Reset() {
    m_current = 0;
    m_previous = 0;
    m_time = 0;
}

void CPointerState::Update(uint32_t frameMs) {
    m_time += frameMs;
    m_previous = m_current;
}

bool CPointerState::IsListened(uint32_t id) const {
    for (const uint32_t* listened = ListenedIds(); *listened != 0; ++listened) {
        if (*listened == id) return true;
    }
    return false;
}

void CPointerState::HandleEvent(uint32_t id, uint32_t) {
    if (IsResetEvent(id)) {
        Reset();
        return;
    }
    ASSERT(IsListened(id));
}

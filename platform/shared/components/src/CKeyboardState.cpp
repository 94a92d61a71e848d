#include "CKeyboardState.h"

#include "CAssert.h"

const uint32_t* CKeyboardState::ListenedIds() const {
    static const uint32_t kIds[] = {kAppFocus, kAppResume, kFocusChange, kKeyPressed, kKeyReleased, 0};
    return kIds;
}

void CKeyboardState::Reset() {
    m_current = Block{};
    m_previous = Block{};
    m_idleTime = 0;
}

void CKeyboardState::HandleEvent(uint32_t id, uint32_t key) {
    if (IsResetEvent(id)) {
        Reset();
        return;
    }
    if (id != kKeyPressed && id != kKeyReleased) {
        ASSERT(false);
        return;
    }
    if (key >= kKeyCount) return;
    if (id == kKeyPressed) {
        ++m_current.pressCount[key];
        ++m_current.heldCount[key];
    } else {
        ++m_current.releaseCount[key];
        if (m_current.heldCount[key] > 0) --m_current.heldCount[key];
        m_current.heldTime[key] = 0;
    }
    m_idleTime = 0;
}

void CKeyboardState::Update(uint32_t frameMs) {
    m_current.anyHeld = 0;
    for (uint32_t key = 0; key < kKeyCount; ++key) {
        if (m_current.heldCount[key] != 0) {
            m_current.heldTime[key] += frameMs;
            m_current.anyHeld = 1;
        } else {
            m_current.heldTime[key] = 0;
        }
    }
    m_idleTime = m_current.anyHeld != 0 ? 0 : m_idleTime + frameMs;
    m_previous = m_current;
    MemSet(m_current.pressCount, 0, sizeof m_current.pressCount);
    MemSet(m_current.releaseCount, 0, sizeof m_current.releaseCount);
}

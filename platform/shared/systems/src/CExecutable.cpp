#include "CExecutable.h"

#include "CAppBase.h"
#include "CAppTicker.h"

int32_t CExecutable::Update(CExecutable* executable) {
    if (executable->m_repeats != 0) {
        executable->m_inUpdate = 1;
        CAppTicker* ticker = GetAppTicker();
        const bool frozen = ticker != nullptr && ticker->IsTimeHalted();
        if (frozen) {
            executable->Fire();
        } else {
            executable->m_elapsed += ticker != nullptr ? ticker->GetFrameSeconds() : 0;
            if (executable->m_elapsed >= executable->m_period) {
                executable->Fire();
                executable->m_elapsed = 0;
            }
        }
        executable->m_inUpdate = 0;
    }
    if (executable->m_repeats != 0) return kActive;
    if (executable->m_autoDelete != 0) {
        delete executable;
        return kDeleted;
    }
    return kFinished;
}

void CExecutable::Fire() {
    Execute();
    if (m_repeats != 0 && m_repeats != kRepeatForever) --m_repeats;
}

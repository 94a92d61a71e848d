#include "CGameTimers.h"

CGameTimers::CGameTimers() {
    for (int32_t i = 0; i < kCount; ++i) {
        active.addElement(0);
        remaining.addElement(0);
        period.addElement(0);
    }
}

void CGameTimers::Start(int32_t i, int32_t ms) {
    if (!IsTimer(i)) return;
    remaining.elementAt(i) = ms;
    active.elementAt(i) = 1;
}

void CGameTimers::StartRepeating(int32_t i, int32_t ms) {
    if (!IsTimer(i)) return;
    Start(i, ms);
    period.elementAt(i) = ms;
}

bool CGameTimers::Tick(int32_t i, int32_t dt) {
    if (!IsRunning(i)) return false;
    remaining.elementAt(i) -= dt;
    if (remaining.elementAt(i) > 0) return false;
    if (period.elementAt(i) >= 1) {
        remaining.elementAt(i) += period.elementAt(i);
    } else {
        active.elementAt(i) = 0;
    }
    return true;
}

bool CGameTimers::IsRunning(int32_t i) const { return IsTimer(i) && active.elementAt(i) != 0; }

void CGameTimers::Stop(int32_t i) {
    if (IsTimer(i)) active.elementAt(i) = 0;
}

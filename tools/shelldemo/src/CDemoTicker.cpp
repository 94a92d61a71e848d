#include "CDemoTicker.h"

#include "CDemoApp.h"
#include "CExecutable.h"
#include "CExecutableRegistry.h"

void CDemoTicker::OnTick() {
    if (GetState() != kRunning) return;
    if (!IsTimeHalted()) {
        if (GetRegistry() != nullptr) CExecutable::Update(GetRegistry());
        m_app->Update(GetFrameMs());
        SetTimeFrozen(true);
    }
    if (IsTimeHalted()) {
        m_app->Paint();
        SetTimeFrozen(false);
    }
}

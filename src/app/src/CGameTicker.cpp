#include "CGameTicker.h"

#include "AppServices.h"
#include "CExecutable.h"
#include "CExecutableRegistry.h"
#include "CGameApp.h"
#include "CGameData.h"

void CGameTicker::OnTick() {
    if (GetState() != kRunning) return;
    if (!IsTimeHalted()) {
        if (GetRegistry() != nullptr) CExecutable::Update(GetRegistry());
        m_app->Tick();
        SetTimeFrozen(true);
    }
    if (IsTimeHalted()) {
        const CGameData* data = GetGameData();
        if (data == nullptr || data->IsPaintSuppressed() == 0) m_app->Paint();
        SetTimeFrozen(false);
    }
}

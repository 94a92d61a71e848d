#include "CTimedExecutableRegistry.h"

#include "CAppBase.h"
#include "CAppTicker.h"
#include "CMathFixed.h"

CTimedExecutableRegistry::CTimedExecutableRegistry(uint32_t a, uint32_t b, uint32_t c, int32_t reload)
    : CExecutableRegistry(kClassKey), m_a(a), m_b(b), m_c(c), m_reload(reload) {}

void CTimedExecutableRegistry::Execute() {
    m_countdown -= GetElapsed();
    if (m_countdown < 0) m_countdown = 0;
    CAppTicker* ticker = GetAppTicker();
    if (ticker == nullptr || !ticker->IsTimeHalted()) Sample();
    CExecutableRegistry::Execute();
}

void CTimedExecutableRegistry::Sample() {
    m_rate = FixedDiv(m_count << 16, 100 << 16);
    m_lastCount = m_count;
    if (static_cast<uint32_t>(m_count) >= m_b) m_countdown = m_reload;
    m_count = 0;
}

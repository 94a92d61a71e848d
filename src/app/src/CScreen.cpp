#include "CScreen.h"

uint8_t CScreen::HandleEvent(uint32_t, uint32_t, uint32_t) { return 0; }

uint8_t CScreen::Update(int32_t) { return 0; }

uint8_t CScreen::Paint() { return 0; }

void CScreen::SetNextState(int32_t value) {
    if (m_nextState == 0) m_nextState = value;
}

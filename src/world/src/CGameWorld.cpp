#include "CGameWorld.h"

int32_t CGameWorld::LoadStep(int32_t) {
    loaded = true;
    return kLoaded;
}

void CGameWorld::Paint(JGraphics&) {}

uint8_t CGameWorld::Update(int32_t) { return 0; }

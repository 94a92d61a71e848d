#include "CGameWorld.h"

// Level loading and the play frame come with the level loader and the
// script runner; until then a level counts as loaded at once and a play
// frame keeps the world as it is.

int32_t CGameWorld::LoadStep(int32_t) {
    loaded = true;
    return kLoaded;
}

void CGameWorld::Paint(JGraphics&) {}

uint8_t CGameWorld::Update(int32_t) { return 0; }

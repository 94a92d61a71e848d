#include "CStates.h"

#include "CGame.h"
#include "CHud.h"

void CStates::Update(int32_t ms) {
    CHud* hud = CGame::GetHud();
    if (hud != nullptr) hud->Update(ms);
}

void CStates::Paint(JGraphics&) {}

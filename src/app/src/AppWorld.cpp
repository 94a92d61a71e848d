#include "AppWorld.h"

#include "CGame.h"

CGameWorld* GetAppWorld() { return CGame::GetWorld(); }

void SetAppWorld(CGameWorld* world) {
    CGame* game = CGame::Get();
    if (game != nullptr) game->SetWorld(world);
}

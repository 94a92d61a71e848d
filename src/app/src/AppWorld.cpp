#include "AppWorld.h"

namespace {

CGameWorld* g_appWorld = nullptr;

}  // namespace

CGameWorld* GetAppWorld() { return g_appWorld; }

void SetAppWorld(CGameWorld* world) { g_appWorld = world; }

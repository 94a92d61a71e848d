#include "CreateGameApp.h"

#include "CGameApp.h"

CAppBase* CreateGameApp() { return new CGameApp(); }

#include "CApplet.h"
#include "CGameApp.h"

// The shell's application: the game's.
CAppBase* CreateGameApp() { return new CGameApp(); }

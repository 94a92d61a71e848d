#ifndef CREATEGAMEAPP_H
#define CREATEGAMEAPP_H

class CAppBase;

// The game's application object, for the shell; null when memory is
// exhausted.
CAppBase* CreateGameApp();

#endif

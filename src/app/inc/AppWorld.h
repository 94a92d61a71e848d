#ifndef APPWORLD_H
#define APPWORLD_H

class CGameWorld;

// The one play world of the run, as the game object registers it when it
// makes it (and withdraws it when it deletes it); the actors and the sprite
// instances reach the world through it, and tests put their own world in
// its place. Null while none is registered.
CGameWorld* GetAppWorld();
void SetAppWorld(CGameWorld* world);

#endif

#ifndef APPWORLD_H
#define APPWORLD_H

class CGameWorld;

// The play world kept in the game object, reached through the application;
// null without a game. SetAppWorld puts another world in its place (the
// game still deletes only the world it made).
CGameWorld* GetAppWorld();
void SetAppWorld(CGameWorld* world);

#endif
